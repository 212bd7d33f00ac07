// The date editor that a date row opens in place: day, month and year columns, each with an up arrow, the
// number and a down arrow, between "Cancel" on the left and "OK" on the right. Steps follow the calendar:
// a day step carries into the month, month and year steps keep the day within the month. The date stays
// within the minimum and maximum (ignored while the minimum lies after the maximum). Sends MSG_OK or
// MSG_CANCEL with itself as source.
#pragma once

#include "SourceApp/application/controls/ColumnPicker.h"
#include "SourceApp/application/utils/Date.h"

#include <optional>

namespace tdx {

class DatePicker : public ColumnPicker {
public:
    static constexpr int WIDTH = 204;

    // Starts at today's local date (widget_local_time).
    DatePicker(Container* parent, int x, int y);
    DatePicker(Container* parent, int x, int y, const Date& date);

    // The picked day at the time of day and UTC offset of the date the picker was given.
    Date getDate() const { return mDate; }
    void setDate(const Date& date);
    void setMinimum(const Date& date);
    void setMaximum(const Date& date);

protected:
    void step(int column, int direction) override;

private:
    void init();
    void update();
    void stepDays(int days);
    void stepMonths(int months);
    void clamp();
    // Moves the date to day/month/year (month from 0), keeping its time of day and offset.
    void moveTo(int day, int month, int year);

    Date mDate;
    std::optional<Date> mMinimum;
    std::optional<Date> mMaximum;
};

} // namespace tdx
