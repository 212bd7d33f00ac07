#include "SourceApp/application/controls/TimePicker.h"

#include "Libraries/base/fmt.h"
#include "Libraries/base/os.h"
#include "SourceApp/application/controls/widgets.h"

#include <algorithm>
#include <cstdint>

namespace tdx {

TimePicker::TimePicker(Container* parent, int x, int y)
    : ColumnPicker(parent, x, y, WIDTH)
    , mDate(widget_local_time())
    , mRunning(true)
    , mLastSecond(os_time()) {
    init();
}

TimePicker::TimePicker(Container* parent, int x, int y, const Date& date)
    : ColumnPicker(parent, x, y, WIDTH)
    , mDate(date)
    , mRunning(false)
    , mLastSecond(0) {
    init();
}

void TimePicker::init() {
    setName("TimePicker");
    buildColumns({BUTTON_WIDTH, BUTTON_WIDTH, BUTTON_WIDTH});
    update();
}

void TimePicker::setDate(const Date& date) {
    mDate = date;
    update();
}

void TimePicker::update() {
    setColumnText(0, fmt("%02d", int{mDate.getHours()}));
    setColumnText(1, fmt("%02d", int{mDate.getMinutes()}));
    setColumnText(2, fmt("%02d", int{mDate.getSeconds()}));
}

void TimePicker::step(int column, int direction) {
    switch (column) {
        case 0:
            mDate.addHours(direction);
            break;
        case 1:
            mDate.addMinutes(direction);
            break;
        default:
            mDate.addSeconds(direction);
            break;
    }
    update();
}

void TimePicker::handleMessage(Message* message) {
    ColumnPicker::handleMessage(message);
    if (!mRunning || message->id != MSG_TIMER || (message->p1 & 1) != 0) {
        return;
    }
    // A clock set back leaves the shown time alone until the wall clock passes the last second again.
    const int64_t now = os_time();
    if (now > mLastSecond) {
        mDate.addSeconds(static_cast<int>(std::min<int64_t>(now - mLastSecond, INT32_MAX)));
        mLastSecond = now;
        update();
    }
}

} // namespace tdx
