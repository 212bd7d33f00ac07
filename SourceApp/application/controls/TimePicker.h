// The time editor that a time row opens in place: hours, minutes and seconds between "Cancel" and "OK". The
// arrows step the time through the calendar (23:59:59 plus a second is 00:00:00 of the next day). Opened
// without a date it starts at the local time and keeps running with the wall clock, arrows or not.
#pragma once

#include "SourceApp/application/controls/ColumnPicker.h"
#include "SourceApp/application/utils/Date.h"

#include <cstdint>
#include <ctime>

namespace tdx {

class TimePicker : public ColumnPicker {
public:
    static constexpr int WIDTH = 204;

    // Starts at the local time (widget_local_time) and runs.
    TimePicker(Container* parent, int x, int y);
    // Shows the date's time and stands still.
    TimePicker(Container* parent, int x, int y, const Date& date);

    Date getDate() const { return mDate; }
    time_t getTimestamp() const { return mDate.getTimestamp(); }
    void setDate(const Date& date);
    void update();

    void handleMessage(Message* message) override;

protected:
    void step(int column, int direction) override;

private:
    void init();

    Date mDate;
    bool mRunning;
    int64_t mLastSecond; // the wall clock at the last advance
};

} // namespace tdx
