#include "SourceApp/application/forms/VexalWizardForm.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/gui/core/layout/Viewport.h"

namespace tdx {

namespace {

constexpr int FOOTER_Y = 210;
constexpr int FOOTER_HEIGHT = 30;
constexpr int BUTTON_WIDTH = 80;

Button* footerButton(Container* footer, int x, const char* text) {
    return Button::Builder{.parent = footer,
                           .x = x,
                           .y = FOOTER_Y,
                           .width = BUTTON_WIDTH,
                           .height = FOOTER_HEIGHT,
                           .backColor = static_cast<int>(colour::LIGHT),
                           .faceColor = static_cast<int>(colour::TEXT),
                           .activeBackColor = static_cast<int>(colour::CONTROL),
                           .activeFaceColor = static_cast<int>(colour::TEXT),
                           .font = &bif_myriad12,
                           .text = gettext(text)}
        .build();
}

void enableWithFace(Button* button, bool enabled) {
    button->setEnabled(enabled);
    button->setFaceColor(enabled ? colour::TEXT : colour::DISABLED);
}

} // namespace

VexalWizardForm::VexalWizardForm(const State& state, bool withExit)
    : VexalForm(state) {
    setName("VexalWizardForm");
    Viewport* viewport = createViewport(9, 39, 277, 160);
    attachContent(StackedContainer::Builder{.parent = viewport,
                                            .width = 277,
                                            .fitHeight = true,
                                            .direction = DIRECTION_VERTICAL,
                                            .spacing = 5}
                      .build(),
                  178);

    auto* footer = new Container(this, 0, FOOTER_Y, 320, FOOTER_HEIGHT);
    mNextButton = footerButton(footer, footer->getRight() - (BUTTON_WIDTH - 1), N_("Next"));
    if (withExit) {
        mExitButton = footerButton(footer, 0, N_("Skip setup"));
        new Oblong(footer, BUTTON_WIDTH + 1, FOOTER_Y, 158, FOOTER_HEIGHT, colour::LIGHT);
    } else {
        new Oblong(footer, 0, FOOTER_Y, 239, FOOTER_HEIGHT, colour::LIGHT);
    }
}

VexalWizardForm::~VexalWizardForm() = default;

void VexalWizardForm::setNextEnabled(bool enabled) {
    enableWithFace(mNextButton, enabled);
}

void VexalWizardForm::setExitEnabled(bool enabled) {
    mHomeButton->setEnabled(enabled);
    if (mExitButton != nullptr) {
        enableWithFace(mExitButton, enabled);
    }
}

} // namespace tdx
