#include "SourceApp/application/controls/Popup.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/gui/gfx/gfx.h"
#include "SourceHost/api_lib/layer.h"

#include <algorithm>

namespace tdx {

namespace {

constexpr int BORDER = 2;
constexpr int TITLE_HEIGHT = 24;
constexpr unsigned VEIL_ALPHA = 96;
constexpr int BUTTON_WIDTH = 80;
constexpr int BUTTON_HEIGHT = 30;
// Offsets from the frame's top, and the button row's from its bottom.
constexpr int HEADING_Y = 30;
constexpr int TEXT_Y = 52;
constexpr int BUTTON_FROM_BOTTOM = 38;
constexpr int TEXT_GAP = 4; // above the buttons
constexpr int SCROLL_MARK_WIDTH = 3;

class FinishCommand : public ICommand {
public:
    FinishCommand(Popup& popup, int result)
        : mPopup(popup)
        , mResult(result) {}
    void execute() override { mPopup.finish(mResult); }

private:
    Popup& mPopup;
    int mResult;
};

Button* popup_button(Popup& popup, int x, const char* text, int result) {
    auto* button = new Button(&popup, x, popup.getFrame().y2 + 1 - BUTTON_FROM_BOTTOM, BUTTON_WIDTH,
                              BUTTON_HEIGHT, gettext(text));
    button->tag = static_cast<uint32_t>(result);
    button->setClickCommand(std::make_unique<FinishCommand>(popup, result));
    return button;
}

} // namespace

Popup* Popup::create(const std::string& title, const std::string& heading, const std::string& text,
                     PopupButtons buttons) {
    if (Core::current() == nullptr) {
        dbg_printf_h("Popup: no GUI core, \"%s\" not shown", title);
        return nullptr;
    }
    return new Popup(title, heading, text, buttons);
}

Popup::Popup(const std::string& title, const std::string& heading, const std::string& text,
             PopupButtons buttons)
    : Container(nullptr, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT)
    , mTitle(title)
    , mText(text) {
    setName("Popup");
    const int inner = FRAME.x1 + 9;
    const int innerWidth = FRAME.getWidth() - 18;
    // Translations run longer than English: the frame grows by what the text needs beyond four lines.
    const bif_t* font = bif_myriad12.getFont();
    const int textWidth = innerWidth - SCROLL_MARK_WIDTH - 2;
    mTextHeight = font != nullptr ? bif_count_lines(font, text, textWidth) * font->line_step : 0;
    // What the frame holds besides the text: title, heading, the gap and the button row.
    const int fixed = TEXT_Y + TEXT_GAP + BUTTON_FROM_BOTTOM;
    const int height = std::clamp(fixed + mTextHeight, FRAME.getHeight(), SCREEN_HEIGHT);
    mFrame = Box(FRAME.x1, (SCREEN_HEIGHT - height) / 2, FRAME.getWidth(), height);
    mTextBox = Box(inner, mFrame.y1 + TEXT_Y, textWidth, height - fixed);
    new ContainedLabel(this, inner, mFrame.y1 + HEADING_Y, innerWidth, 20, &bif_myriad12_bold, heading,
                       HorizontalAlign::Left, VerticalAlign::Middle);
    if (buttons == PopupButtons::OkCancel) {
        popup_button(*this, inner, N_("Cancel"), RESULT_CANCEL);
        popup_button(*this, mFrame.x2 - 8 - BUTTON_WIDTH, N_("OK"), RESULT_OK);
    } else {
        popup_button(*this, mFrame.x1 + (mFrame.getWidth() - BUTTON_WIDTH) / 2, N_("Close"), RESULT_CANCEL);
    }
}

void Popup::scrollTo(int scroll) {
    repaintIfChanged(mScroll, std::clamp(scroll, 0, std::max(0, mTextHeight - mTextBox.getHeight())));
}

void Popup::finish(int result) {
    if (mFinished) {
        return;
    }
    mFinished = true;
    Core* core = Core::current();
    if (core != nullptr) {
        core->sendMessage(nullptr, MSG_POPUP_RESULT, result, 0, 0, 0);
    }
    ICommand* command = result == RESULT_OK ? mAccept.get() : mCancel.get();
    if (command != nullptr) {
        command->execute();
    }
    if (core != nullptr) {
        core->closeModalLayer(this);
    }
}

void Popup::handleEvent(Event* event) {
    if (event->kind == EVENT_TOUCH_PRESS && !mFrame.contains(event->x, event->y)) {
        event->kind = EVENT_NONE;
        finish(RESULT_CANCEL);
        return;
    }
    // A text taller than its box follows the finger.
    if (event->kind == EVENT_TOUCH_PRESS && mTextBox.contains(event->x, event->y)) {
        mDragY = event->y;
        mDragScroll = mScroll;
    } else if (event->kind == EVENT_TOUCH_MOVE && mDragY >= 0) {
        scrollTo(mDragScroll + mDragY - event->y);
    } else if (event->kind == EVENT_TOUCH_RELEASE || event->kind == EVENT_TOUCH_CANCEL) {
        mDragY = -1;
    }
    Container::handleEvent(event);
}

void Popup::handleDraw() {
    // The screen below shows through a dark veil.
    gfx_blend_rect(getBoundingBox(), 0x000000, VEIL_ALPHA);
    gfx_setcolor(colour::PRESSED);
    gfx_fill_rect(mFrame);
    const Box inside =
        Box::fromCorners(mFrame.x1 + BORDER, mFrame.y1 + BORDER, mFrame.x2 - BORDER, mFrame.y2 - BORDER);
    gfx_setcolor(colour::WHITE);
    gfx_fill_rect(inside);
    const Box bar(inside.x1, inside.y1, inside.getWidth(), TITLE_HEIGHT);
    gfx_setcolor(colour::TITLE);
    gfx_fill_rect(bar);
    const bif_t* font = bif_myriad12_bold.getFont();
    gfx_setcolor(colour::WHITE);
    const Box saved = gfx_get_clip();
    gfx_set_clip(saved.intersect(bar));
    print_text_centered_in(font, bar, text_top_centered(font, bar.y1, TITLE_HEIGHT), mTitle);
    gfx_set_clip(saved.intersect(mTextBox));
    gfx_setcolor(colour::TEXT);
    bif_print_multiline(bif_myriad12.getFont(),
                        Box(mTextBox.x1, mTextBox.y1 - mScroll, mTextBox.getWidth(), mTextHeight), mText);
    gfx_set_clip(saved);
    if (mTextHeight > mTextBox.getHeight()) {
        // Where the box shows the text: a mark along its right edge.
        const int h = mTextBox.getHeight();
        const int length = std::max(8, h * h / mTextHeight);
        const int top = mTextBox.y1 + (h - length) * mScroll / (mTextHeight - h);
        gfx_setcolor(colour::CONTROL);
        gfx_fill_rect(Box(mTextBox.x2 + 2, mTextBox.y1, SCROLL_MARK_WIDTH, h));
        gfx_setcolor(colour::PRESSED);
        gfx_fill_rect(Box(mTextBox.x2 + 2, top, SCROLL_MARK_WIDTH, length));
    }
    Container::handleDraw();
}

} // namespace tdx
