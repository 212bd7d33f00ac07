// A step of a wizard: stacked rows above a footer with "Next" at the right and, when the wizard may be left,
// "Skip setup" at the left. The buttons carry no command: the step reacts to their clicks itself.
#pragma once

#include "SourceApp/application/forms/VexalForm.h"
#include "SourceApp/gui/core/layout/StackedContainer.h"

namespace tdx {

class Button;

class VexalWizardForm : public VexalForm {
public:
    VexalWizardForm(const State& state, bool withExit);
    ~VexalWizardForm() override;

    StackedContainer* getContent() const { return static_cast<StackedContainer*>(mContent); }
    void setNextEnabled(bool enabled);
    // The home button, and "Skip setup" when there is one.
    void setExitEnabled(bool enabled);

protected:
    Button* mNextButton;
    Button* mExitButton = nullptr; // null without "Skip setup"
};

} // namespace tdx
