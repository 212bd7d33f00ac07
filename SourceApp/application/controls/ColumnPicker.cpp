#include "SourceApp/application/controls/ColumnPicker.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/gfx/gfx.h"

#include <algorithm>

namespace tdx {

namespace {

constexpr int COLUMN = ColumnPicker::BUTTON_WIDTH;

// Cancel and OK fill a column 40 wide and 80 high. A translation too wide for it, even in the small font,
// runs up the column instead of losing its ends.
class ColumnButton : public Button {
public:
    ColumnButton(Container* parent, int x, int y, const std::string& text)
        : Button(parent, x, y, COLUMN, ColumnPicker::HEIGHT, text) {
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

} // namespace

ColumnPicker::ColumnPicker(Container* parent, int x, int y, int width)
    : Container(parent, x, y, width, HEIGHT) {}

void ColumnPicker::buildColumns(std::initializer_list<int> widths) {
    const int top = getTop();
    mCancel = new ColumnButton(this, getLeft(), top, gettext("Cancel"));
    int x = mCancel->getRight() + 2;
    for (int width : widths) {
        // The arrows keep the builders' colours: grey, a black icon, dark grey while pressed.
        mUp.push_back(new IconButton(this, x, top, width, ROW_HEIGHT, res_arrow_up));
        mLabels.push_back(new ContainedLabel(this, x, top + ROW_HEIGHT + 1, width, ROW_HEIGHT, &bif_myriad12,
                                             "", HorizontalAlign::Center, VerticalAlign::Middle));
        mDown.push_back(
            new IconButton(this, x, top + 2 * (ROW_HEIGHT + 1), width, ROW_HEIGHT, res_arrow_down));
        x += width + 1;
    }
    mOk = new ColumnButton(this, getRight() - (COLUMN - 1), top, gettext("OK"));
}

void ColumnPicker::setColumnText(int column, const std::string& text) {
    mLabels.at(static_cast<size_t>(column))->setText(text);
}

void ColumnPicker::handleMessage(Message* message) {
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
    for (size_t c = 0; c < mLabels.size(); ++c) {
        if (message->source == mUp[c] || message->source == mDown[c]) {
            step(static_cast<int>(c), message->source == mUp[c] ? 1 : -1);
            message->stopPropagation();
            return;
        }
    }
}

void ColumnPicker::handleDraw() {
    gfx_setcolor(colour::CONTROL);
    for (const ContainedLabel* label : mLabels) {
        gfx_fill_rect(label->getBoundingBox());
    }
    Container::handleDraw();
}

} // namespace tdx
