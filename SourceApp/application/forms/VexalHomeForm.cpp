#include "SourceApp/application/forms/VexalHomeForm.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/commands/ChangeStateCommand.h"
#include "SourceApp/application/controls/Button.h"

namespace tdx {

namespace {

constexpr int LARGE_TAB_COLOR = 0x9B7B3A;
constexpr int SMALL_TAB_COLOR = 0x6C5527;

// The captions are translated already; they use the tab's whole width.
Button* tab(Container* sidebar, const char* caption, int height, int back, Font* font, unsigned stateId) {
    Button* button = Button::Builder{.parent = sidebar,
                                     .width = 68,
                                     .height = height,
                                     .backColor = back,
                                     .faceColor = static_cast<int>(colour::WHITE),
                                     .activeBackColor = back,
                                     .activeFaceColor = static_cast<int>(colour::WHITE),
                                     .font = font,
                                     .text = caption,
                                     .textMargin = 0}
                         .build();
    button->setPressCommand(std::make_unique<ChangeStateCommand>(stateId));
    return button;
}

} // namespace

VexalHomeForm::VexalHomeForm(const State& state)
    : VexalSidebarForm(state)
    , mInfoButton(tab(mSidebar, gettext("Info"), 66, LARGE_TAB_COLOR, &bif_myriad14, HOME_STATE_ID))
    // TRANSLATORS: The caption of a tab 68 pixels wide and tall enough for two lines: a word that is wider
    // may break with a hyphen and a line break, as "Program-\nmer".
    , mProgramsButton(
          tab(mSidebar, pgettext("tab", "Programs"), 66, LARGE_TAB_COLOR, &bif_myriad14, PROGRAMS_STATE_ID))
    , mSystemButton(tab(mSidebar, gettext("System"), 37, SMALL_TAB_COLOR, &bif_myriad10, SYSTEM_STATE_ID))
    , mDisplayButton(
          tab(mSidebar, gettext("Display"), 37, SMALL_TAB_COLOR, &bif_myriad10, DISPLAY_STATE_ID)) {}

VexalHomeForm::~VexalHomeForm() = default;

void VexalHomeForm::selectTab(Button* tab) {
    tab->setBackColor(colour::WHITE);
    tab->setFaceColor(colour::TEXT);
    // Disabled so that it takes no press, yet its caption stays black like the screen it names.
    tab->setDisabledFaceColor(colour::TEXT);
    tab->setEnabled(false);
}

} // namespace tdx
