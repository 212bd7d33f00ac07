#include "SourceApp/application/controls/DatePicker.h"

#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"
#include "Libraries/base/timestamp.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/gfx/gfx.h"

#include <algorithm>
#include <tuple>

namespace tdx {

namespace {

constexpr int COLUMN = 40;
constexpr int ROW = 26;

// Cancel and OK fill a column 40 wide and 80 high. A translation too wide for it, even in the small font,
// runs up the column instead of losing its ends.
class ColumnButton : public Button {
public:
    ColumnButton(Container* parent, int x, int y, const std::string& text)
        : Button(parent, x, y, COLUMN, DatePicker::HEIGHT, text) {
        setFont(fits(bif_myriad12) ? &bif_myriad12 : &bif_myriad10);
    }

    void handleDraw() override {
        if (fits(bif_myriad10)) {
            Button::handleDraw();
            return;
        }
        const Box& box = getBoundingBox();
        gfx_setcolor(isActive() ? colour::PRESSED : colour::CONTROL);
        gfx_fill_rect(box);
        gfx_setcolor(isEnabled() ? colour::TEXT : colour::DISABLED);
        const bif_t* font = bif_myriad12.getFont();
        const int length = bif_text_width(font, getText());
        bif_print_text_rotated(font, text_top_centered(font, box.x1, box.getWidth()),
                               box.y2 - std::max(0, (box.getHeight() - length) / 2), getText());
    }

private:
    bool fits(Font& font) const { return bif_text_width(font.getFont(), getText()) <= COLUMN - 4; }
};

std::tuple<int, int, int> ymd(const Date& d) {
    return {d.getYear(), d.getMonth(), d.getDay()};
}

} // namespace

DatePicker::DatePicker(Container* parent, int x, int y)
    : Container(parent, x, y, WIDTH, HEIGHT)
    , mDate(widget_local_time()) {
    init();
}

DatePicker::DatePicker(Container* parent, int x, int y, const Date& date)
    : Container(parent, x, y, WIDTH, HEIGHT)
    , mDate(date) {
    init();
}

void DatePicker::init() {
    setName("DatePicker");
    const int left = getLeft();
    const int top = getTop();
    auto button = [&](int x, const char* text) { return new ColumnButton(this, x, top, gettext(text)); };
    mCancel = button(left, N_("Cancel"));
    for (int c = 0; c < 3; ++c) {
        const int x = left + (COLUMN + 1) * (c + 1);
        auto arrow = [&](int y, resource_id icon) {
            return IconButton::Builder{.parent = this,
                                       .x = x,
                                       .y = y,
                                       .width = COLUMN,
                                       .height = ROW,
                                       .backColor = colour::CONTROL,
                                       .faceColor = colour::TEXT,
                                       .activeBackColor = colour::PRESSED,
                                       .activeFaceColor = colour::TEXT,
                                       .icon = icon}
                .build();
        };
        mUp[c] = arrow(top, res_arrow_up);
        mLabels[c] = new ContainedLabel(this, x, top + ROW + 1, COLUMN, ROW, &bif_myriad12, "",
                                        HorizontalAlign::Center, VerticalAlign::Middle);
        mDown[c] = arrow(top + 2 * (ROW + 1), res_arrow_down);
    }
    mOk = button(left + WIDTH - COLUMN, N_("OK"));
    clamp();
    update();
}

void DatePicker::update() {
    mLabels[0]->setText(fmt("%02d", static_cast<int>(mDate.getDay())));
    mLabels[1]->setText(fmt("%02d", mDate.getMonth() + 1));
    mLabels[2]->setText(fmt("%04d", mDate.getYear()));
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

void DatePicker::handleMessage(Message* message) {
    Container::handleMessage(message);
    if (message->isClick(mOk)) {
        sendMessage(MSG_OK);
        return;
    }
    if (message->isClick(mCancel)) {
        sendMessage(MSG_CANCEL);
        return;
    }
    if (message->id != MSG_PRESS || message->source == nullptr || !message->source->isChildOf(this)) {
        return;
    }
    static constexpr int SIGN[2] = {1, -1};
    for (int c = 0; c < 3; ++c) {
        for (int dir = 0; dir < 2; ++dir) {
            if (message->source == (dir == 0 ? mUp[c] : mDown[c])) {
                if (c == 0) {
                    stepDays(SIGN[dir]);
                } else {
                    stepMonths(SIGN[dir] * (c == 1 ? 1 : 12));
                }
                message->stopPropagation();
                return;
            }
        }
    }
}

void DatePicker::handleDraw() {
    gfx_setcolor(colour::CONTROL);
    for (const ContainedLabel* label : mLabels) {
        gfx_fill_rect(label->getBoundingBox());
    }
    Container::handleDraw();
}

} // namespace tdx
