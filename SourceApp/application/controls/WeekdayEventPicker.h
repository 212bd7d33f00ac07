// The editor of a recurring moment (day, hour, minute) that a weekday-event row opens in place, between
// "Cancel" and "OK". The day's up arrow goes to the previous day of Monday .. Sunday, its down arrow to the
// next, neither wrapping; hour and minute count up on their up arrows and wrap, the minute carrying into the
// hour but never the hour into the day. The mode bits are never touched. The event comes from the control
// unit: a day the list has no name for shows "--", and an hour or minute out of range comes back into range
// on its first step.
#pragma once

#include "SourceApp/application/controls/ColumnPicker.h"
#include "SourceApp/storage/WeekdayEvent.h"

#include <string>

namespace tdx {

class WeekdayEventPicker : public ColumnPicker {
public:
    static constexpr int WIDTH = 224;

    // The mode of this event fixes the day column's width: 60 weekly, 40 monthly.
    WeekdayEventPicker(Container* parent, int x, int y, const WeekdayEvent& event);

    WeekdayEvent getWeekdayEvent() const { return mEvent; }
    void setWeekdayEvent(const WeekdayEvent& event);
    void update();

    // The day as the pickers and rows show it: the weekday's name in weekly mode ("--" for a day beyond
    // Sunday), the number otherwise.
    static std::string dayText(const WeekdayEvent& event);

protected:
    void step(int column, int direction) override;

private:
    WeekdayEvent mEvent;
};

} // namespace tdx
