#include "SourceApp/application/forms/schedule/FormScheduleCopyTo.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/forms/schedule/FormScheduleCopyOrigin.h"
#include "SourceApp/application/forms/schedule/ScheduleValue.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/ProxyStructure.h"

namespace tdx {

namespace {
constexpr int ROW_WIDTH = 277;
} // namespace

FormScheduleCopyTo::FormScheduleCopyTo(const State& state)
    : VexalWizardForm(state, true) {
    setName("FormScheduleCopyTo");
    setHelp(gettext("Schedule Copy Whole"));
    schedule_copy_footer(*this, mNextButton, mExitButton);
    const auto* withOvi = dynamic_cast<const SingleParamState<Ovi>*>(&state);
    const ProxyObject* source = withOvi != nullptr ? Structure.find(withOvi->getParam().oid) : nullptr;
    if (source == nullptr) {
        backOrDefault();
        return;
    }
    mOvi = withOvi->getParam();
    std::string name;
    source->getText(name, VID_NAME);
    StackedContainer* content = getContent();
    content->setSpacing(9);
    new ContainedLabel(content, 0, 0, ROW_WIDTH, 17, &bif_myriad14,
                       fmt_gettext("Copy schedule from %s", name));
    for (const ProxyObject* object : Structure) {
        if (object == source || object->type().type() != source->type().type() ||
            !object->hasValue(mOvi.vid)) {
            continue;
        }
        std::string text;
        if (object->getText(text, VID_NAME) != 0) {
            text = fmt("%08X", object->oid());
        }
        auto* target = new CheckButton(content, 0, 0, ROW_WIDTH, 26, text);
        target->tag = object->oid();
        mTargets.push_back(target);
    }
    content->fitToContent();
}

FormScheduleCopyTo::~FormScheduleCopyTo() = default;

void FormScheduleCopyTo::copyAndStore() {
    const std::optional<week_schedule_t> week = ScheduleValue::read(mOvi);
    if (!week) {
        return;
    }
    for (const Checkbox* target : mTargets) {
        ProxyObject* object = target->getChecked() ? Structure.find(target->tag) : nullptr;
        if (object == nullptr) {
            continue;
        }
        if (const int result = object->setData(mOvi.vid, &*week, sizeof *week); result != 0) {
            dbg_printf_h("schedule copy to %08X: not written (%d)", object->oid(), result);
        }
    }
}

void FormScheduleCopyTo::handleMessage(Message* message) {
    // The base and the children may consume the message; what it was is decided on a copy.
    const Message m = *message;
    VexalWizardForm::handleMessage(message);
    if (m.isClick(mNextButton)) {
        copyAndStore();
        backOrDefault();
    } else if (m.isClick(mExitButton)) {
        backOrDefault();
    } else if (m.id == MSG_CHANGE) {
        setNextEnabled(schedule_any_checked(mTargets));
    }
}

} // namespace tdx
