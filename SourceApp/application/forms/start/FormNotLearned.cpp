#include "SourceApp/application/forms/start/FormNotLearned.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/App.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/storage/net/TaviProtocol.h"

namespace tdx {

namespace {

constexpr unsigned CONTROL_UNIT_COLOUR = 0xCCCCCC;
constexpr unsigned SYMBOLS_COLOUR = 0x808080;
constexpr unsigned LED_COLOUR = 0x312CD8;
constexpr int LEARN_BACK_COLOUR = 0x000000; // pressed too: only the text darkens
constexpr state_id_t SPLASH_STATE_ID = 2;

} // namespace

FormNotLearned::FormNotLearned(const State& state)
    : Form(state) {
    setName("FormNotLearned");
    new Oblong(this, 0, 0, getWidth(), getHeight(), colour::WHITE);
    new ContainedLabel(this, 9, 9, 302, 20, &bif_myriad14, gettext("Not enrolled?"));
    auto* text =
        new TextFrame(this, 9, 29, 302, 0, &bif_myriad12,
                      gettext("Use arrow buttons on the control unit to select global channel and then "
                              "press the \"Learn\" button on this screen."));
    Icon* unit = Icon::create(this, 0, text->getBottom() + 10, res_control_unit, CONTROL_UNIT_COLOUR);
    unit->setPosition((getWidth() - unit->getWidth()) / 2, unit->getTop());
    Icon::create(this, unit->getLeft() + 10, unit->getTop() + 15, res_control_unit_symbols, SYMBOLS_COLOUR);
    mLed = Icon::create(this, unit->getLeft() + 110, unit->getTop() + 31, res_control_unit_led, LED_COLOUR);

    const char* learn = gettext("Learn");
    const int width = bif_text_width(bif_myriad12.getFont(), learn) + 18;
    Button::Builder builder;
    builder.parent = this;
    builder.x = 160 - width / 2;
    builder.y = 208;
    builder.width = width;
    builder.height = 26;
    builder.backColor = LEARN_BACK_COLOUR;
    builder.faceColor = static_cast<int>(colour::CONTROL);
    builder.activeBackColor = LEARN_BACK_COLOUR;
    builder.activeFaceColor = static_cast<int>(colour::PRESSED);
    builder.text = learn;
    mLearn = builder.build();
    setAwakeOverride(true);
}

void FormNotLearned::handleEvent(Event* event) {
    if (event->kind == EVENT_NETWORK_CONNECTED) {
        getApplication()->getCore()->changeState(SPLASH_STATE_ID, 0, 0, 0, 0);
    }
    Form::handleEvent(event);
}

void FormNotLearned::handleMessage(Message* message) {
    if (message->id == MSG_TIMER && (message->p1 & 7) == 0) {
        // The LED on the pictured control unit blinks, about twice a second.
        mLed->setVisible(!mLed->isVisible());
    } else if (message->isClick(mLearn)) {
        Net::Tavi.requestLearn();
    }
    Form::handleMessage(message);
}

} // namespace tdx
