#include "SourceApp/application/forms/schedule/ScheduleCopyForm.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/Label.h"

#include <algorithm>

namespace tdx {

namespace {
constexpr int ROW_WIDTH = 277;
} // namespace

ScheduleCopyForm::ScheduleCopyForm(const State& state, const char* name, const char* helpTopic)
    : VexalWizardForm(state, true) {
    setName(name);
    setHelp(gettext(helpTopic));
    mNextButton->setText(gettext("Copy"));
    mExitButton->setText(gettext("Cancel"));
    setNextEnabled(false);
    getContent()->setSpacing(9);
}

ScheduleCopyForm::~ScheduleCopyForm() = default;

void ScheduleCopyForm::addHeading(const std::string& text) {
    new ContainedLabel(getContent(), 0, 0, ROW_WIDTH, 17, &bif_myriad14, text);
}

Checkbox* ScheduleCopyForm::addTarget(const std::string& text, uint32_t tag) {
    auto* target = new CheckButton(getContent(), 0, 0, ROW_WIDTH, 26, text);
    target->tag = tag;
    mTargets.push_back(target);
    return target;
}

void ScheduleCopyForm::handleMessage(Message* message) {
    // The base and the children may consume the message; what it was is decided on a copy.
    const Message m = *message;
    VexalWizardForm::handleMessage(message);
    if (m.isClick(mNextButton)) {
        copyAndStore();
        backOrDefault();
    } else if (m.isClick(mExitButton)) {
        backOrDefault();
    } else if (m.id == MSG_CHANGE) {
        setNextEnabled(
            std::any_of(mTargets.begin(), mTargets.end(), [](const Checkbox* b) { return b->getChecked(); }));
    }
}

} // namespace tdx
