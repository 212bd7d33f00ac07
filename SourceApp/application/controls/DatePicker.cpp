#include "SourceApp/application/controls/DatePicker.h"

#include "Libraries/base/fmt.h"
#include "Libraries/base/timestamp.h"
#include "SourceApp/application/controls/widgets.h"

#include <algorithm>
#include <tuple>

namespace tdx {

namespace {

std::tuple<int, int, int> ymd(const Date& d) {
    return {d.getYear(), d.getMonth(), d.getDay()};
}

} // namespace

DatePicker::DatePicker(Container* parent, int x, int y)
    : ColumnPicker(parent, x, y, WIDTH)
    , mDate(widget_local_time()) {
    init();
}

DatePicker::DatePicker(Container* parent, int x, int y, const Date& date)
    : ColumnPicker(parent, x, y, WIDTH)
    , mDate(date) {
    init();
}

void DatePicker::init() {
    setName("DatePicker");
    buildColumns({BUTTON_WIDTH, BUTTON_WIDTH, BUTTON_WIDTH});
    clamp();
    update();
}

void DatePicker::update() {
    setColumnText(0, fmt("%02d", static_cast<int>(mDate.getDay())));
    setColumnText(1, fmt("%02d", mDate.getMonth() + 1));
    setColumnText(2, fmt("%04d", mDate.getYear()));
}

void DatePicker::moveTo(int day, int month, int year) {
    // Built afresh rather than stepped by days: the distance may exceed what addDays takes.
    const int offset = mDate.getLocalTimeOffset();
    const long long timeOfDay = mDate.getHours() * 3600LL + mDate.getMinutes() * 60LL + mDate.getSeconds();
    const long long local = timestamp_make_simple(year, month + 1, day, 0, 0, 0) + timeOfDay;
    mDate = Date(static_cast<time_t>(local - offset), offset);
}

void DatePicker::clamp() {
    if (mMinimum && mMaximum && ymd(*mMinimum) > ymd(*mMaximum)) {
        return;
    }
    if (mMinimum && ymd(mDate) < ymd(*mMinimum)) {
        moveTo(mMinimum->getDay(), mMinimum->getMonth(), mMinimum->getYear());
    }
    if (mMaximum && ymd(mDate) > ymd(*mMaximum)) {
        moveTo(mMaximum->getDay(), mMaximum->getMonth(), mMaximum->getYear());
    }
}

void DatePicker::stepDays(int days) {
    mDate.addDays(days);
    clamp();
    update();
}

void DatePicker::stepMonths(int months) {
    // Within years 1..9999 the picker's numbers fit their columns; Date takes years as unsigned short.
    // Counted in 64 bits: a date from a corrupt timestamp may lie a billion years away.
    const long long total = std::clamp(
        static_cast<long long>(mDate.getYear()) * 12 + mDate.getMonth() + months, 12LL, 9999LL * 12 + 11);
    const int year = static_cast<int>(total / 12);
    const int month = static_cast<int>(total % 12);
    moveTo(std::min<int>(mDate.getDay(), timestamp_days_in_month(year, month + 1)), month, year);
    clamp();
    update();
}

void DatePicker::setDate(const Date& date) {
    mDate = date;
    clamp();
    update();
}

void DatePicker::setMinimum(const Date& date) {
    mMinimum = date;
    clamp();
    update();
}

void DatePicker::setMaximum(const Date& date) {
    mMaximum = date;
    clamp();
    update();
}

void DatePicker::step(int column, int direction) {
    if (column == 0) {
        stepDays(direction);
    } else {
        stepMonths(direction * (column == 1 ? 1 : 12));
    }
}

} // namespace tdx
