#include "SourceApp/application/forms/installer/FormMireloService.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/commands/bindings/ValueAdapters.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/forms/installer/ValueEditorRows.h"
#include "SourceApp/gui/core/layout/StyleContainer.h"

namespace tdx {

using namespace editor_rows;

namespace {

constexpr int READING_LABEL_WIDTH = 176;
constexpr int HEADING_HEIGHT = 10;

// Like every text the user sees, these go through the catalogue, so that the unit's page reads in the
// user's language as the rest of the display does; the flow is spelled "Volume flow", as English has it.
constexpr const char* READINGS[] = {N_("Primary inlet temperature"), N_("Primary outlet temperature"),
                                    N_("Cold water temperature"), N_("Hot water temperature"),
                                    N_("Volume flow")};

void addReading(Container* parent, const char* name) {
    StyleContainer* row = addGreyRow(parent);
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

} // namespace

FormMireloService::FormMireloService(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormMireloService");
    StackedContainer* content = getContent();
    // The line is taller than its box: it hangs from the box's top, where the other screens' titles stand,
    // so that the view's upper edge cuts none of it.
    new ContainedLabel(content, 0, 0, content->getWidth(), HEADING_HEIGHT, &bif_myriad12,
                       gettext("Functions | Mirelo # | Service"), HorizontalAlign::Center,
                       VerticalAlign::Top);

    StackedContainer* sensors = addGroup(content, gettext("Sensor overview"));
    for (const char* reading : READINGS) {
        addReading(sensors, reading);
    }
    sensors->fitToContent();

    StackedContainer* manual = addGroup(content, gettext("Manual operation"));
    addFixedSwitchRow(manual, gettext("Open servo"), gettext("Open"), gettext("Stop"), false);
    addFixedSwitchRow(manual, gettext("Close servo"), gettext("Close"), gettext("Stop"), false);
    mCalibrate = addLink(manual, GROUP_WIDTH, gettext("Calibrate servo"));
    mCalibrate->setEnabled(false);
    addFixedSwitchRow(manual, gettext("Pump running"), pgettext("switch", "On"), pgettext("switch", "Off"),
                      false);
    manual->fitToContent();
    content->fitToContent();
}

FormMireloService::~FormMireloService() = default;

void FormMireloService::handleMessage(Message* message) {
    VexalStackedContentForm::handleMessage(message);
}

} // namespace tdx
