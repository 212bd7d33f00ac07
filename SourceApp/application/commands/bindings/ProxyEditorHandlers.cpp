#include "SourceApp/application/commands/bindings/ProxyEditorHandlers.h"

#include "Libraries/base/dbg.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/DataModel.h"
#include "SourceApp/storage/ProxyObject.h"

#include <string>

namespace tdx {

namespace {

void traceNotWritten(const char* what, const Ovi& ovi, int result) {
    dbg_printf_h("%s: %06X:%02X vid %04X not written (%d)", what, oid_address(ovi.oid), oid_index(ovi.oid),
                 unsigned{ovi.vid}, result);
}

} // namespace

// ---- ValueFollower ----

ValueFollower::ValueFollower(const Ovi& ovi, std::function<void()> follow)
    : mOvi(ovi)
    , mFollow(std::move(follow)) {
    Structure.addValueChangeHandler(this);
}

ValueFollower::~ValueFollower() {
    Structure.removeValueChangeHandler(this);
}

void ValueFollower::handleProxyValueChange(ProxyObject&, const OviEx& change) {
    if (change == mOvi) {
        mFollow();
    }
}

// ---- ProxyStringEditorHandler ----

void bind_name_row(EditableStringRow* row, const ProxyObject& object) {
    const DataModel::ObjectTemplate* objectTemplate = object.getTemplate();
    const DataModel::DataValue* name =
        objectTemplate != nullptr ? objectTemplate->find<DataModel::DataValue>(VID_NAME) : nullptr;
    if (name != nullptr) {
        row->setOnAcceptCommand(std::make_unique<ProxyStringEditorHandler>(row, name->ovi(object.oid())));
    } else {
        row->setEnabled(false);
    }
}

ProxyStringEditorHandler::ProxyStringEditorHandler(EditableStringRow* row, const DataOvi& ovi)
    : mRow(row)
    , mOvi(ovi)
    , mFollower(ovi, [this] { follow(); }) {}

void ProxyStringEditorHandler::execute() {
    ProxyObject* object = Structure.find(mOvi.oid);
    if (object == nullptr) {
        return;
    }
    const std::string text = mRow->getString();
    std::string stored;
    if (object->getText(stored, mOvi.vid) == PT_OK && stored == text) {
        return;
    }
    if (const int result = object->setText(mOvi, text); result != PT_OK) {
        traceNotWritten("text row", mOvi, result);
    }
}

void ProxyStringEditorHandler::follow() {
    const ProxyObject* object = Structure.find(mOvi.oid);
    std::string text;
    if (object != nullptr && !mRow->isBeingEdited() && object->getText(text, mOvi.vid) == PT_OK) {
        mRow->setString(text);
    }
}

// ---- ProxyDropdownEditorHandler ----

ProxyDropdownEditorHandler::ProxyDropdownEditorHandler(EditableDropdownRow* row, const EnumOvi& ovi)
    : mRow(row)
    , mOvi(ovi)
    , mFollower(ovi, [this] { follow(); }) {}

void ProxyDropdownEditorHandler::execute(DropdownItem* item) {
    const ProxyObject* object = Structure.find(mOvi.oid);
    if (item == nullptr || object == nullptr || !object->hasValue(mOvi.vid) || mOvi.descriptor == nullptr) {
        return;
    }
    if (item->getIndex() >= mOvi.descriptor->optionCount) {
        dbg_printf_h("dropdown: item %u has no option of vid %04X", unsigned{item->getIndex()},
                     unsigned{mOvi.vid});
        return;
    }
    const unsigned chosen = mOvi.descriptor->options[item->getIndex()].value;
    int stored = 0;
    const unsigned old =
        pt_get_int(&stored, mOvi.oid, mOvi.vid) == PT_OK ? static_cast<unsigned>(stored) : 0xFFFFFFFFu;
    if (chosen == old) {
        return;
    }
    if (const int result = pt_set_int(mOvi.oid, mOvi.vid, static_cast<int>(chosen), mOvi.vtype);
        result != PT_OK) {
        traceNotWritten("dropdown", mOvi, result);
        return;
    }
    handleChange(item, old, chosen);
}

void ProxyDropdownEditorHandler::handleChange(DropdownItem*, unsigned, unsigned) {}

void ProxyDropdownEditorHandler::handleFollow(unsigned) {}

void ProxyDropdownEditorHandler::follow() {
    if (mRow->isBeingEdited() || mOvi.descriptor == nullptr) {
        return;
    }
    int stored = 0;
    uint16_t index = 0xFFFF; // none: the row shows "--"
    if (pt_get_int(&stored, mOvi.oid, mOvi.vid) == PT_OK) {
        for (uint16_t i = 0; i < mOvi.descriptor->optionCount; ++i) {
            if (mOvi.descriptor->options[i].value == static_cast<unsigned>(stored)) {
                index = i; // of equal options the later one is shown, as the row was built
            }
        }
    }
    // Shown without running the row's command: the value changed elsewhere and is not the user's choice.
    mRow->showItem(index);
    handleFollow(index == 0xFFFF ? 0xFFFFFFFFu : mOvi.descriptor->options[index].value);
}

// ---- ProxyDatePickerHandler ----

ProxyDatePickerHandler::ProxyDatePickerHandler(EditableDatePickerRow* row, const UnsignedOvi& ovi)
    : mRow(row)
    , mOvi(ovi)
    , mFollower(ovi, [this] { follow(); }) {}

void ProxyDatePickerHandler::execute() {
    if (Structure.find(mOvi.oid) == nullptr) {
        return;
    }
    const int moment = static_cast<int>(static_cast<uint32_t>(mRow->getDate().getTimestamp()));
    int stored = 0;
    if (pt_get_int(&stored, mOvi.oid, mOvi.vid) == PT_OK && stored == moment) {
        return;
    }
    if (const int result = pt_set_int(mOvi.oid, mOvi.vid, moment, mOvi.vtype); result != PT_OK) {
        traceNotWritten("date row", mOvi, result);
    }
}

void ProxyDatePickerHandler::follow() {
    int stored = 0;
    if (!mRow->isBeingEdited() && pt_get_int(&stored, mOvi.oid, mOvi.vid) == PT_OK) {
        mRow->setDate(
            Date(static_cast<time_t>(static_cast<uint32_t>(stored)), mRow->getDate().getLocalTimeOffset()));
    }
}

} // namespace tdx
