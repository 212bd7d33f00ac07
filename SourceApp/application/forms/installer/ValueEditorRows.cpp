#include "SourceApp/application/forms/installer/ValueEditorRows.h"

#include "SourceApp/application/commands/bindings/ProxyEditorHandlers.h"
#include "SourceApp/application/commands/bindings/ProxyUpDownRow.h"
#include "SourceApp/application/commands/bindings/ValueAdapters.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/SwitchButton.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/core/layout/StyleContainer.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/values/Catalogue.h"

namespace tdx::editor_rows {

ContainedLabel* addLabel(Container* parent, int x, int width, const std::string& text) {
    return new ContainedLabel(parent, x, 0, width, ROW_HEIGHT, fitting_font(text, width), text);
}

std::string objectName(const ProxyObject& object) {
    std::string name;
    object.getText(name, VID_NAME);
    return name;
}

ContainedLabel* addHeading(StackedContainer* content, const std::string& text) {
    return new ContainedLabel(content, 0, 0, content->getWidth(), 12, fitting_font(text, content->getWidth()),
                              text, HorizontalAlign::Center);
}

EditableStringRow* addNameRow(StackedContainer* content, oid_t oid, const std::string& name) {
    auto* row = new EditableStringRow(content, 0, 0, content->getWidth(), gettext("Name"), name);
    const auto& value = DataModel::Implementation::General::ObjectName;
    row->setOnAcceptCommand(
        std::make_unique<ProxyStringEditorHandler>(row, DataOvi(oid, value.vid, value.vtype, &value)));
    return row;
}

ContainedLabel* addValueRow(Container* parent, const std::string& label) {
    auto* row = new RowContainer(parent, 0, 0, ROW_WIDTH, ROW_HEIGHT);
    addLabel(row, LABEL_INSET, LABEL_WIDTH, label);
    return new ContainedLabel(row, 0, 0, VALUE_WIDTH, ROW_HEIGHT, &bif_myriad12, NO_VALUE_TEXT,
                              HorizontalAlign::Center);
}

ContainedLabel* addSectionHeading(Container* parent, const std::string& text) {
    return new ContainedLabel(parent, 0, 0, ROW_WIDTH, ROW_HEIGHT, &bif_myriad12_bold, text,
                              HorizontalAlign::Left, VerticalAlign::Bottom);
}

ProxyUpDownRow* addUpDown(Container* parent, int width, oid_t oid,
                          const DataModel::Descriptor::VidSignedNumber& value, FormModel& model,
                          const std::string& label) {
    return new ProxyUpDownRow(parent, 0, 0, width, ROW_HEIGHT, signedOvi(oid, value), model, label);
}

ProxyUpDownRow* addUpDown(Container* parent, int width, oid_t oid,
                          const DataModel::Descriptor::VidUnsignedNumber& value, FormModel& model,
                          const std::string& label) {
    return new ProxyUpDownRow(parent, 0, 0, width, ROW_HEIGHT, unsignedOvi(oid, value), model, label);
}

void disableRow(ContainedLabel* caption, Component* control) {
    // The whole row reads as out of reach, as a disabled dropdown or link row does: its caption greys with
    // the control.
    caption->setFaceColor(colour::DISABLED);
    control->setEnabled(false);
}

StyleContainer* addGreyRow(Container* parent) {
    return StyleContainer::Builder{
        .parent = parent, .width = GROUP_WIDTH, .height = ROW_HEIGHT, .backColor = RowContainer::BACK_COLOR}
        .build();
}

SwitchButton* addFixedSwitchRow(Container* parent, const std::string& label, const std::string& onText,
                                const std::string& offText, bool on) {
    constexpr int SWITCH_X = 185;
    constexpr int SWITCH_LABEL_WIDTH = 178;
    StyleContainer* row = addGreyRow(parent);
    ContainedLabel* caption = addLabel(row, LABEL_INSET, SWITCH_LABEL_WIDTH, label);
    auto* toggle = new SwitchButton(row, SWITCH_X, 2, onText, offText);
    toggle->setChecked(on);
    disableRow(caption, toggle);
    return toggle;
}

NavigationLink* addLink(Container* parent, int width, const std::string& text) {
    return NavigationLink::Builder{.parent = parent,
                                   .width = width,
                                   .height = ROW_HEIGHT,
                                   .text = text,
                                   .buttonIcon = {res_arrow_right_double, 0, 0}}
        .build();
}

StackedContainer* addGroup(StackedContainer* content, const std::string& title) {
    auto* button = new DropdownButton(content, 0, 0, ROW_WIDTH, ROW_HEIGHT, title);
    StackedContainer* rows = StackedContainer::Builder{.parent = content,
                                                       .x = GROUP_INDENT,
                                                       .width = GROUP_WIDTH,
                                                       .fitHeight = true,
                                                       .direction = DIRECTION_VERTICAL,
                                                       .spacing = 5}
                                 .build();
    rows->setVisible(false);
    button->setCollapsibleContent(rows);
    return rows;
}

} // namespace tdx::editor_rows
