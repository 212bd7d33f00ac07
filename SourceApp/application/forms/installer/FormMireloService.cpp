#include "SourceApp/application/forms/installer/FormMireloService.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/commands/bindings/ValueAdapters.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/SwitchButton.h"
#include "SourceApp/application/forms/installer/ValueEditorRows.h"
#include "SourceApp/gui/core/layout/StyleContainer.h"

namespace tdx {

using namespace editor_rows;

namespace {

constexpr int READING_LABEL_WIDTH = 176;
constexpr int SWITCH_LABEL_WIDTH = 178;
constexpr int SWITCH_X = 185;

constexpr const char* READINGS[] = {N_("Primary inlet temperature"), N_("Primary outlet temperature"),
                                    N_("Cold water temperature"), N_("Hot water temperature"),
                                    N_("Volume flow")};

StyleContainer* greyRow(Container* parent) {
    return StyleContainer::Builder{
        .parent = parent, .width = GROUP_WIDTH, .height = ROW_HEIGHT, .backColor = RowContainer::BACK_COLOR}
        .build();
}

void addReading(Container* parent, const char* name) {
    StyleContainer* row = greyRow(parent);
    StackedContainer* columns = StackedContainer::Builder{.parent = row,
                                                          .width = GROUP_WIDTH,
                                                          .height = ROW_HEIGHT,
                                                          .spacing = 1,
                                                          .spacingFillColor = RowContainer::GAP_COLOR}
                                    .build();
    addLabel(columns, LABEL_INSET, READING_LABEL_WIDTH, gettext(name));
    new ContainedLabel(columns, 0, 0, VALUE_WIDTH, ROW_HEIGHT, &bif_myriad12, NO_VALUE_TEXT,
                       HorizontalAlign::Center);
}

void addSwitch(Container* parent, const std::string& label, const std::string& on, const std::string& off) {
    StyleContainer* row = greyRow(parent);
    addLabel(row, LABEL_INSET, SWITCH_LABEL_WIDTH - LABEL_INSET, label);
    auto* toggle = new SwitchButton(row, SWITCH_X, 2, on, off);
    toggle->setEnabled(false);
}

} // namespace

FormMireloService::FormMireloService(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormMireloService");
    StackedContainer* content = getContent();
    addHeading(content, gettext("Functions | Mirelo # | Service"));

    StackedContainer* sensors = addGroup(content, gettext("Sensor overview"));
    for (const char* reading : READINGS) {
        addReading(sensors, reading);
    }
    sensors->fitToContent();

    StackedContainer* manual = addGroup(content, gettext("Manual operation"));
    addSwitch(manual, gettext("Open servo"), gettext("Open"), gettext("Stop"));
    addSwitch(manual, gettext("Close servo"), gettext("Close"), gettext("Stop"));
    NavigationLink* calibrate = NavigationLink::Builder{
        .parent = manual,
        .width = GROUP_WIDTH,
        .height = ROW_HEIGHT,
        .text = gettext("Calibrate servo"),
        .buttonIcon = {res_arrow_right_double, 0,
                       0}}.build();
    calibrate->setEnabled(false);
    addSwitch(manual, gettext("Pump running"), pgettext("switch", "On"), pgettext("switch", "Off"));
    manual->fitToContent();
    content->fitToContent();
}

FormMireloService::~FormMireloService() = default;

} // namespace tdx
