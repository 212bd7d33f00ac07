#include "SourceApp/application/controls/WeekdayEventPicker.h"

#include "Libraries/base/fmt.h"
#include "SourceApp/gui/i18n/I18n.h"

namespace tdx {

namespace {

constexpr u8 LAST_DAY = 6; // Sunday
constexpr u8 LAST_HOUR = 23;
constexpr u8 LAST_MINUTE = 59;

enum Column { DAY = 0, HOUR = 1, MINUTE = 2 };

// Up wraps 23 to 0; an hour beyond 23 counts as the last one.
u8 hourUp(u8 hour) {
    return hour >= LAST_HOUR ? 0 : static_cast<u8>(hour + 1);
}
u8 hourDown(u8 hour) {
    return hour == 0 || hour > LAST_HOUR ? LAST_HOUR : static_cast<u8>(hour - 1);
}

} // namespace

WeekdayEventPicker::WeekdayEventPicker(Container* parent, int x, int y, const WeekdayEvent& event)
    : ColumnPicker(parent, x, y, WIDTH)
    , mEvent(event) {
    setName("WeekdayEventPicker");
    buildColumns({event.isWeekly() ? 60 : BUTTON_WIDTH, BUTTON_WIDTH, BUTTON_WIDTH});
    update();
}

std::string WeekdayEventPicker::dayText(const WeekdayEvent& event) {
    if (!event.isWeekly()) {
        return fmt("%u", unsigned{event.day()});
    }
    return event.day() <= LAST_DAY ? i18n.getWeekdayLong(event.day()) : "--";
}

void WeekdayEventPicker::setWeekdayEvent(const WeekdayEvent& event) {
    mEvent = event;
    update();
}

void WeekdayEventPicker::update() {
    setColumnText(DAY, dayText(mEvent));
    setColumnText(HOUR, fmt("%02d", int{mEvent.hour()}));
    setColumnText(MINUTE, fmt("%02d", int{mEvent.minute()}));
}

void WeekdayEventPicker::step(int column, int direction) {
    const u8 day = mEvent.day();
    const u8 hour = mEvent.hour();
    const u8 minute = mEvent.minute();
    switch (column) {
        case DAY:
            // Up is the previous day of the list, down the next one.
            if (direction > 0 && day > 0) {
                mEvent.setDay(static_cast<u8>(day - 1));
            } else if (direction < 0 && day < LAST_DAY) {
                mEvent.setDay(static_cast<u8>(day + 1));
            }
            break;
        case HOUR:
            mEvent.setHour(direction > 0 ? hourUp(hour) : hourDown(hour));
            break;
        default:
            if (direction > 0) {
                if (minute >= LAST_MINUTE) {
                    mEvent.setMinute(0);
                    mEvent.setHour(hourUp(hour));
                } else {
                    mEvent.setMinute(static_cast<u8>(minute + 1));
                }
            } else if (minute == 0) {
                mEvent.setMinute(LAST_MINUTE);
                mEvent.setHour(hourDown(hour));
            } else {
                mEvent.setMinute(minute > LAST_MINUTE ? LAST_MINUTE : static_cast<u8>(minute - 1));
            }
            break;
    }
    update();
}

} // namespace tdx
