#include "SourceApp/application/forms/installer/FunctionEditorLayout.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/commands/ChangeStateCommand.h"
#include "SourceApp/application/commands/bindings/FormModel.h"
#include "SourceApp/application/commands/bindings/ProxyDropdownToggleVisibilityHandler.h"
#include "SourceApp/application/commands/bindings/ProxyEditorHandlers.h"
#include "SourceApp/application/commands/bindings/ProxySwitchButton.h"
#include "SourceApp/application/commands/bindings/ProxyUpDownRow.h"
#include "SourceApp/application/commands/bindings/ValueAdapters.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/factories/ProxyDropdownFactory.h"
#include "SourceApp/application/forms/installer/ValueEditorRows.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/gui/core/layout/StackedContainer.h"
#include "SourceApp/storage/DataModel.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/values/Catalogue.h"

namespace tdx {

using namespace DataModel::Descriptor;

SignedOvi ovi_of(oid_t oid, const VidSignedNumber& d) {
    return SignedOvi(oid, d.vid, d.vtype, &d);
}

UnsignedOvi ovi_of(oid_t oid, const VidUnsignedNumber& d) {
    return UnsignedOvi(oid, d.vid, d.vtype, &d);
}

EnumOvi ovi_of(oid_t oid, const VidEnum& d) {
    return EnumOvi(oid, d.vid, d.vtype, &d);
}

DataOvi ovi_of(oid_t oid, const VidData& d) {
    return DataOvi(oid, d.vid, d.vtype, &d);
}

unsigned read_setting_byte(oid_t oid, vid_t vid) {
    int value = 0;
    return pt_get_int(&value, oid, vid) == PT_OK ? static_cast<unsigned>(value) & 0xFFu : 0xFFu;
}

FunctionEditorLayout::FunctionEditorLayout(StackedContainer* content, FormModel& model)
    : mContent(content)
    , mModel(model) {}

ContainedLabel* FunctionEditorLayout::addTitle(const std::string& text) {
    return editor_rows::addHeading(mContent, text);
}

EditableStringRow* FunctionEditorLayout::addNameRow(const ProxyObject& object, const std::string& name) {
    return editor_rows::addNameRow(mContent, object.oid(), name);
}

StackedContainer* FunctionEditorLayout::addGroup(const std::string& title) {
    return editor_rows::addGroup(mContent, title);
}

NavigationLink* FunctionEditorLayout::addLink(const std::string& text, std::unique_ptr<ICommand> press,
                                              Container* parent) {
    NavigationLink* link = editor_rows::addLink(parent != nullptr ? parent : mContent, ROW_WIDTH, text);
    if (press) {
        link->setPressCommand(std::move(press));
    }
    return link;
}

NavigationLink* FunctionEditorLayout::addLink(const std::string& text, unsigned state, oid_t p1) {
    return addLink(text, std::make_unique<ChangeStateCommand>(state, p1));
}

ContainedLabel* FunctionEditorLayout::addHeading(Container* parent, const std::string& text) {
    return new ContainedLabel(parent, 0, 0, parent->getWidth(), ROW_HEIGHT, &bif_myriad12_bold, text);
}

RowContainer* FunctionEditorLayout::addValueRow(Container* group, const SignedOvi& ovi,
                                                const std::string& caption) {
    auto* row = new RowContainer(group, 0, 0, GROUP_ROW_WIDTH, ROW_HEIGHT);
    const std::string text =
        caption.empty() && ovi.descriptor != nullptr ? std::string(gettext(ovi.descriptor->name)) : caption;
    editor_rows::addLabel(row, CAPTION_X, CAPTION_WIDTH, text);
    auto* value = new ContainedLabel(row, 0, 0, VALUE_WIDTH, ROW_HEIGHT, &bif_myriad12, NO_VALUE_TEXT,
                                     HorizontalAlign::Center);
    mModel.bind(new NumberValueToStringComponentAdapter(value, ovi), ovi);
    return row;
}

ProxyUpDownRow* FunctionEditorLayout::addUpDownRow(Container* group, const SignedOvi& ovi) {
    return new ProxyUpDownRow(group, 0, 0, GROUP_ROW_WIDTH, ROW_HEIGHT, ovi, mModel, "");
}

ProxyUpDownRow* FunctionEditorLayout::addUpDownRow(Container* group, const UnsignedOvi& ovi) {
    return new ProxyUpDownRow(group, 0, 0, GROUP_ROW_WIDTH, ROW_HEIGHT, ovi, mModel, "");
}

RowContainer* FunctionEditorLayout::addSwitchRow(Container* group, const UnsignedOvi& ovi,
                                                 const std::string& text) {
    auto* row = new RowContainer(group, 0, 0, GROUP_ROW_WIDTH, ROW_HEIGHT);
    row->setSpacing(0);
    editor_rows::addLabel(row, CAPTION_X, CAPTION_WIDTH, text);
    new ProxySwitchButton(row, 0, 2, ovi, pgettext("switch", "On"), pgettext("switch", "Off"));
    return row;
}

StackedContainer* FunctionEditorLayout::addCurveGroup(oid_t oid, const CurveValues& v, unsigned curveType) {
    enum CurveType : unsigned { MANUAL = 0, CALCULATED = 1, UNDERFLOOR = 2, RADIATORS = 3 };
    StackedContainer* group = addGroup(gettext("Heat curve settings"));
    OptionRows rows(group, ovi_of(oid, v.type), curveType);
    rows.add(addValueRow(group, ovi_of(oid, v.curve), gettext("Heat curve UFH")), UNDERFLOOR);
    rows.add(addValueRow(group, ovi_of(oid, v.curve), gettext("Heat curve radiators")), RADIATORS);
    rows.add(addUpDownRow(group, ovi_of(oid, v.manual)), MANUAL);
    rows.add(addUpDownRow(group, ovi_of(oid, v.designInlet)), CALCULATED);
    rows.add(addUpDownRow(group, ovi_of(oid, v.designOutdoor)), CALCULATED);
    rows.add(addUpDownRow(group, ovi_of(oid, v.designRoom)), CALCULATED);
    for (const VidSignedNumber* always : {&v.displacement, &v.minInlet, &v.maxInlet, &v.gain}) {
        addUpDownRow(group, ovi_of(oid, *always));
    }
    return group;
}

FunctionEditorLayout::OptionRows::OptionRows(Container* group, const EnumOvi& ovi, unsigned current)
    : mCurrent(current) {
    mRow = ProxyDropdownFactory::create(group, ovi);
    if (mRow == nullptr) {
        return;
    }
    auto handler = std::make_unique<ProxyDropdownToggleVisibilityHandler>(mRow, ovi);
    mHandler = handler.get();
    mRow->setOnItemClickCommand(std::move(handler));
}

void FunctionEditorLayout::OptionRows::registerRow(Component* row, unsigned option) {
    row->setVisible(option == mCurrent);
    if (mHandler != nullptr) {
        mHandler->add(row, option);
    }
}

} // namespace tdx
