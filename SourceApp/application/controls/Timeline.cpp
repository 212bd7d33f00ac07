#include "SourceApp/application/controls/Timeline.h"

#include "Libraries/base/dbg.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/application/utils/Date.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/gui/gfx/gfx.h"
#include "SourceApp/gui/i18n/I18n.h"

#include <algorithm>
#include <iterator>

namespace tdx {

namespace {

// Period types 0 to 3, then the selection of types 0 to 2.
constexpr unsigned COLOURS[] = {0xE1E1E1, 0x52A6EC, 0x6D2AE5, 0xE1E1E1, 0x52A6EC, 0x6D2AE5};
constexpr unsigned SELECTION = 3;
constexpr unsigned LABEL_COLOUR = 0x808080;
constexpr unsigned MARKER_COLOUR = 0x6C5527;

} // namespace

Timeline::Timeline(Container* parent, int x, int y, int width, int height, const day_schedule_t& schedule,
                   bool markerEnabled)
    : Component(parent, x, y, width, height)
    , mSchedule(schedule)
    , mMarkerEnabled(markerEnabled) {
    setName("Timeline");
}

void Timeline::setSchedule(const day_schedule_t& schedule) {
    mSchedule = schedule;
    invalidate();
}

void Timeline::setMarker(unsigned seconds) {
    if (mMarkerEnabled) {
        mMarker = std::min<unsigned>(seconds, SCHEDULE_DAY);
        invalidate();
    }
}

void Timeline::setSelectionType(period_type_t type) {
    mSelectionType = type > 2 ? 1 : type;
    invalidate();
}

void Timeline::setSelectionStart(unsigned seconds) {
    mSelectionStart = seconds;
    invalidate();
}

void Timeline::setSelectionEnd(unsigned seconds) {
    mSelectionEnd = seconds;
    invalidate();
}

int Timeline::xOf(int seconds) const {
    return getLeft() + (seconds / SCHEDULE_STEP) * quarterScale() / 100;
}

void Timeline::drawInterval(int start, int end, period_type_t type, bool selected) {
    const unsigned entry = type + (selected ? SELECTION : 0);
    if ((selected && type > 2) || entry >= std::size(COLOURS)) {
        dbg_printf_h("timeline: period type %u has no colour", unsigned{type});
        return;
    }
    gfx_setcolor(COLOURS[entry]);
    gfx_fill_rect(xOf(start), barTop(), xOf(end), barBottom());
}

void Timeline::handleDraw() {
    // Runs of equal type; the last one ends at the bar's right end.
    period_type_t type = schedule_get_period_type(&mSchedule, 0);
    int start = 0;
    for (int next = schedule_find_first_period_not_of(&mSchedule, type, start); next >= 0;
         next = schedule_find_first_period_not_of(&mSchedule, type, start)) {
        drawInterval(start, next, type, false);
        start = next;
        type = schedule_get_period_type(&mSchedule, next);
    }
    drawInterval(start, SCHEDULE_DAY, type, false);

    if (mSelectionStart < mSelectionEnd) {
        drawInterval(static_cast<int>(std::min<unsigned>(mSelectionStart, SCHEDULE_DAY)),
                     static_cast<int>(std::min<unsigned>(mSelectionEnd, SCHEDULE_DAY)), mSelectionType, true);
    }

    const int left = getLeft();
    const int width = getWidth();
    const int labelY = getBottom() - 10;
    const bif_t* font = bif_myriad10.getFont();
    gfx_setcolor(LABEL_COLOUR);
    bif_print_text(font, left, labelY, "00");
    bif_print_text(font, left + width / 4 - 6, labelY, "06");
    bif_print_text(font, left + width / 2 - 3, labelY, "12");
    bif_print_text(font, left + width / 2 + width / 4 - 4, labelY, "18");
    // Ends on the box's last column: 10 pixels in, as the other labels are placed, would cut its last digit.
    bif_print_text(font, left + width - bif_text_width(font, "24"), labelY, "24");

    const int gridLength = (getHeight() - 10) - (mMarkerEnabled ? 10 : 0);
    for (int quarters : {24, 48, 72}) {
        gfx_vert_line(left + quarterScale() * quarters / 100, barTop(), gridLength);
    }

    if (mMarkerEnabled) {
        // The end of the day is drawn on the last column, inside the box.
        const int mx =
            std::min(static_cast<int>(static_cast<unsigned>(width) * mMarker / SCHEDULE_DAY), width - 1);
        const std::string text = i18n.format(Date(static_cast<time_t>(mMarker), 0), DateFormatOptions::Time);
        // Centred over the marker, but never cut by the box at either end of the day.
        const int textWidth = bif_text_width(font, text);
        const int textX =
            std::clamp(left + mx - textWidth / 2, left, std::max(left, getRight() + 1 - textWidth));
        bif_print_text(font, textX, getTop() - 2, text);
        gfx_setcolor(MARKER_COLOUR);
        gfx_vert_line(left + mx, getTop() + 10, getHeight() - 20);
    }
}

void Timeline::handleEvent(Event* event) {
    if (event->kind != EVENT_TOUCH_PRESS || !isGloballyVisible() ||
        !getBoundingBox().contains(Point{event->x, event->y})) {
        return;
    }
    // Inside the box the point lies before the end of the day.
    const int t = (event->x - getLeft()) * SCHEDULE_DAY / getWidth() / SCHEDULE_STEP * SCHEDULE_STEP;
    const period_type_t type = schedule_get_period_type(&mSchedule, t);
    if (type == 0) {
        return;
    }
    const int begin = schedule_find_period_beginning(&mSchedule, t);
    const int end = schedule_find_first_period_not_of(&mSchedule, type, begin);
    if (Core* core = Core::current(); core != nullptr && core->getHooks().click) {
        core->getHooks().click();
    }
    sendMessage(MSG_CLICK, begin, end < 0 ? SCHEDULE_DAY : end);
}

} // namespace tdx
