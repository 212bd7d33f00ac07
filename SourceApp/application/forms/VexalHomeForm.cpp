#include "SourceApp/application/forms/VexalHomeForm.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/commands/ChangeStateCommand.h"
#include "SourceApp/application/controls/Button.h"

namespace tdx {

namespace {

constexpr int LARGE_TAB_COLOR = 0x9B7B3A;
constexpr int SMALL_TAB_COLOR = 0x6C5527;

constexpr int TAB_WIDTH = 68;
constexpr int TAB_TEXT_MARGIN = 8;

// The tab's font, or a smaller one that shows the whole translated text.
Font* fitting(Font* font, const std::string& text) {
    for (Font* candidate : {font, &bif_myriad12, &bif_myriad10}) {
        if (bif_text_width(candidate->getFont(), text) <= TAB_WIDTH - TAB_TEXT_MARGIN) {
            return candidate;
        }
    }
    return &bif_myriad10;
}

Button* tab(Container* sidebar, const char* text, int height, int back, Font* font, unsigned stateId) {
    const std::string caption = gettext(text);
    Button* button = Button::Builder{.parent = sidebar,
                                     .width = TAB_WIDTH,
                                     .height = height,
                                     .backColor = back,
                                     .faceColor = static_cast<int>(colour::WHITE),
                                     .activeBackColor = back,
                                     .activeFaceColor = static_cast<int>(colour::WHITE),
                                     .font = fitting(font, caption),
                                     .text = caption}
                         .build();
    button->setPressCommand(std::make_unique<ChangeStateCommand>(stateId));
    return button;
}

} // namespace

VexalHomeForm::VexalHomeForm(const State& state)
    : VexalSidebarForm(state)
    , mInfoButton(tab(mSidebar, N_("Info"), 66, LARGE_TAB_COLOR, &bif_myriad14, HOME_STATE_ID))
    , mProgramsButton(tab(mSidebar, N_("Programs"), 66, LARGE_TAB_COLOR, &bif_myriad14, PROGRAMS_STATE_ID))
    , mSystemButton(tab(mSidebar, N_("System"), 37, SMALL_TAB_COLOR, &bif_myriad10, SYSTEM_STATE_ID))
    , mDisplayButton(tab(mSidebar, N_("Display"), 37, SMALL_TAB_COLOR, &bif_myriad10, DISPLAY_STATE_ID)) {}

VexalHomeForm::~VexalHomeForm() = default;

void VexalHomeForm::selectTab(Button* tab) {
    tab->setBackColor(colour::WHITE);
    tab->setFaceColor(colour::TEXT);
    tab->setEnabled(false);
}

} // namespace tdx
