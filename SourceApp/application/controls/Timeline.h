// One day of a schedule as a horizontal bar: each run of quarter hours in its period type's colour, hour
// labels below, grid lines at 06, 12 and 18, optionally a marker at the current time with its "H:i" above the
// bar and the interval being edited in a chosen type's colour. A press on a period of type 1 to 3 clicks and
// sends MSG_CLICK with the period's start and end (seconds of the day) as p1 and p2.
#pragma once

#include "SourceApp/gui/core/Component.h"
#include "SourceApp/storage/schedule.h"

namespace tdx {

class Timeline : public Component {
public:
    Timeline(Container* parent, int x, int y, int width, int height, const day_schedule_t& schedule,
             bool markerEnabled);

    void setSchedule(const day_schedule_t& schedule);
    // Seconds of the day, at most 86400; ignored by a timeline built without a marker.
    void setMarker(unsigned seconds);
    // Types above 2 select type 1.
    void setSelectionType(period_type_t type);
    // An interval with start at or after its end is not drawn.
    void setSelectionStart(unsigned seconds);
    void setSelectionEnd(unsigned seconds);
    // Fills [start, end) of the bar in the colour of the type (of the selection, when selected); a type
    // without a colour draws nothing.
    void drawInterval(int start, int end, period_type_t type, bool selected);

    // Where on the screen time t (seconds of the day) lies.
    int xOf(int seconds) const;

    void handleEvent(Event* event) override;
    void handleDraw() override;

private:
    int barTop() const { return getTop() + (mMarkerEnabled ? 10 : 0); }
    int barBottom() const { return getBottom() - 10; }
    int quarterScale() const { return getWidth() * 100 / 96; } // a quarter hour in 1/100 pixel

    day_schedule_t mSchedule;
    unsigned mMarker = 0;
    unsigned mSelectionStart = 0;
    unsigned mSelectionEnd = 0;
    period_type_t mSelectionType = 0;
    bool mMarkerEnabled;
};

} // namespace tdx
