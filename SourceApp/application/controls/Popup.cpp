#include "SourceApp/application/controls/Popup.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/gui/gfx/gfx.h"

namespace tdx {

namespace {

constexpr int BORDER = 2;
constexpr int TITLE_HEIGHT = 24;
constexpr unsigned VEIL_ALPHA = 96;
constexpr int BUTTON_WIDTH = 80;
constexpr int BUTTON_HEIGHT = 30;
constexpr int BUTTON_Y = 162;
constexpr int TEXT_Y = 92;

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
    Button* button = Button::Builder{.parent = &popup,
                                     .x = x,
                                     .y = BUTTON_Y,
                                     .width = BUTTON_WIDTH,
                                     .height = BUTTON_HEIGHT,
                                     .tag = static_cast<uint32_t>(result),
                                     .text = gettext(text)}
                         .build();
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
    : Container(nullptr, 0, 0, 320, 240)
    , mTitle(title) {
    setName("Popup");
    const int inner = FRAME.x1 + 9;
    const int innerWidth = FRAME.getWidth() - 18;
    new ContainedLabel(this, inner, 70, innerWidth, 20, &bif_myriad12_bold, heading, HorizontalAlign::Left,
                       VerticalAlign::Middle);
    new TextFrame(this, inner, TEXT_Y, innerWidth, BUTTON_Y - 4 - TEXT_Y, &bif_myriad12, text);
    if (buttons == PopupButtons::OkCancel) {
        popup_button(*this, inner, N_("Cancel"), RESULT_CANCEL);
        popup_button(*this, FRAME.x2 - 8 - BUTTON_WIDTH, N_("OK"), RESULT_OK);
    } else {
        popup_button(*this, FRAME.x1 + (FRAME.getWidth() - BUTTON_WIDTH) / 2, N_("Close"), RESULT_CANCEL);
    }
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
    if (event->kind == EVENT_TOUCH_PRESS && !FRAME.contains(event->x, event->y)) {
        event->kind = EVENT_NONE;
        finish(RESULT_CANCEL);
        return;
    }
    Container::handleEvent(event);
}

void Popup::handleDraw() {
    // The screen below shows through a dark veil.
    gfx_blend_rect(getBoundingBox(), 0x000000, VEIL_ALPHA);
    gfx_setcolor(colour::PRESSED);
    gfx_fill_rect(FRAME);
    const Box inside =
        Box::fromCorners(FRAME.x1 + BORDER, FRAME.y1 + BORDER, FRAME.x2 - BORDER, FRAME.y2 - BORDER);
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
    gfx_set_clip(saved);
    Container::handleDraw();
}

} // namespace tdx
