#include "SourceApp/application/forms/schedule/FormScheduleCopyTo.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/forms/schedule/ScheduleValue.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/ProxyStructure.h"

namespace tdx {

FormScheduleCopyTo::FormScheduleCopyTo(const State& state)
    : ScheduleCopyForm(state, "FormScheduleCopyTo", N_("Schedule Copy Whole")) {
    const auto* withOvi = dynamic_cast<const SingleParamState<Ovi>*>(&state);
    const ProxyObject* source = withOvi != nullptr ? Structure.find(withOvi->getParam().oid) : nullptr;
    if (source == nullptr) {
        backOrDefault();
        return;
    }
    mOvi = withOvi->getParam();
    std::string name;
    source->getText(name, VID_NAME);
    addHeading(fmt_gettext("Copy schedule from %s", name));
    for (const ProxyObject* object : Structure) {
        if (object == source || object->type().type() != source->type().type() ||
            !object->hasValue(mOvi.vid)) {
            continue;
        }
        std::string text;
        if (object->getText(text, VID_NAME) != 0) {
            text = fmt("%08X", object->oid());
        }
        addTarget(text, object->oid());
    }
    getContent()->fitToContent();
}

FormScheduleCopyTo::~FormScheduleCopyTo() = default;

void FormScheduleCopyTo::copyAndStore() {
    const std::optional<week_schedule_t> week = ScheduleValue::read(mOvi);
    if (!week) {
        return;
    }
    for (const Checkbox* target : getTargets()) {
        ProxyObject* object = target->getChecked() ? Structure.find(target->tag) : nullptr;
        if (object == nullptr) {
            continue;
        }
        if (const int result = object->setData(mOvi.vid, &*week, sizeof *week); result != 0) {
            dbg_printf_h("schedule copy to %08X: not written (%d)", object->oid(), result);
        }
    }
}

} // namespace tdx
