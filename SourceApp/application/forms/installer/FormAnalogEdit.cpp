#include "SourceApp/application/forms/installer/FormAnalogEdit.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/commands/bindings/FormModel.h"
#include "SourceApp/application/commands/bindings/ProxySwitchButton.h"
#include "SourceApp/application/commands/bindings/ValueAdapters.h"
#include "SourceApp/application/controls/AnalogChart.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/forms/installer/ValueEditorRows.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/values/Catalogue.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

namespace tdx {

using namespace editor_rows;

namespace {

namespace Output = DataModel::Implementation::Output;
namespace Analog = DataModel::Implementation::Output::Analog;

constexpr int CHART_HEIGHT = 170;
constexpr int NO_VOLTAGE = 32767;
constexpr int CHART_RIGHT = 8000; // 80 degrees
constexpr int TEN_VOLTS = 1000;

// The low 16 bits of a number, as a signed 16-bit number.
int low16(int64_t value) {
    return static_cast<int16_t>(static_cast<uint16_t>(value & 0xFFFF));
}

// A value of the curve as the chart takes it: a signed 16-bit number, or the default without a valid one.
int curveValue(oid_t oid, vid_t vid, int fallback) {
    int value = 0;
    return pt_get_int(&value, oid, vid) == PT_OK ? low16(value) : fallback;
}

bool redrawsChart(vid_t vid) {
    switch (vid) {
        case 0x004C:
        case 0x80A1:
        case 0x80A2:
        case 0x80A3:
        case 0x80F7:
        case 0x80F8:
            return true;
        default:
            return false;
    }
}

} // namespace

FormAnalogEdit::FormAnalogEdit(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormAnalogEdit");
    // The opener hands over the heading; a state without it (a stray change to this id) goes back rather
    // than stopping the program.
    const auto* titled = dynamic_cast<const SingleParamState<std::string>*>(&state);
    const ProxyObject* output = Structure.find(state.getP1());
    if (titled == nullptr || output == nullptr || !output->type().is(BT_OBJ_OUTPUT)) {
        dbg_printf_h("FormAnalogEdit: no heading or no output under %08X, going back", state.getP1());
        backOrDefault();
        return;
    }
    mOid = output->oid();
    int function = 0;
    if (pt_get_int(&function, mOid, Analog::Function.vid) == PT_OK) {
        function &= 0xFF;
    } else {
        function = 0;
    }
    StackedContainer* content = getContent();
    addHeading(content, titled->getParam());
    addNameRow(content, mOid, objectName(*output));
    const SignedOvi voltage = signedOvi(mOid, Analog::Value);
    getModel().bind(
        new NumberValueToStringComponentAdapter(addValueRow(content, gettext("Voltage")), voltage), voltage);
    if (function == FUNCTION_CURVE) {
        buildCurveRows(content, *output);
    } else if (function == FUNCTION_FIXED) {
        buildFixedRows(content, mOid);
    }
    addSectionHeading(content, gettext("Service settings"));
    auto* serviceRow = new RowContainer(content, 0, 0, ROW_WIDTH, ROW_HEIGHT);
    serviceRow->setSpacing(0);
    addLabel(serviceRow, LABEL_INSET, LABEL_WIDTH, gettext("Service mode"));
    new ProxySwitchButton(serviceRow, 0, 2, unsignedOvi(mOid, Output::ServiceMode), pgettext("switch", "On"),
                          pgettext("switch", "Off"));
    addUpDown(content, ROW_WIDTH, mOid, Analog::ServiceValue, getModel());
    content->fitToContent();
    Structure.addValueChangeHandler(this);
}

FormAnalogEdit::~FormAnalogEdit() {
    Structure.removeValueChangeHandler(this);
}

void FormAnalogEdit::buildCurveRows(StackedContainer* content, const ProxyObject& output) {
    FormModel& model = getModel();
    mChart = new AnalogChart(content, 0, 0, ROW_WIDTH, CHART_HEIGHT);
    updateChart(output);
    addUpDown(content, ROW_WIDTH, mOid, Analog::AnalogThreshold, model);
    addSectionHeading(content, gettext("First point"));
    addUpDown(content, ROW_WIDTH, mOid, Analog::AnalogLowTemperature, model);
    addUpDown(content, ROW_WIDTH, mOid, Analog::AnalogLowVoltage, model);
    addSectionHeading(content, gettext("Second point"));
    addUpDown(content, ROW_WIDTH, mOid, Analog::AnalogHighTemperature, model);
    addUpDown(content, ROW_WIDTH, mOid, Analog::AnalogHighVoltage, model);
    addSectionHeading(content, gettext("Other settings"));
    addUpDown(content, ROW_WIDTH, mOid, Output::DelayedStart, model);
    addUpDown(content, ROW_WIDTH, mOid, Output::DelayedStop, model);
}

void FormAnalogEdit::buildFixedRows(StackedContainer* content, oid_t oid) {
    FormModel& model = getModel();
    addUpDown(content, ROW_WIDTH, oid, Analog::AnalogLowVoltage, model, gettext("Cooling voltage"));
    addUpDown(content, ROW_WIDTH, oid, Analog::AnalogHighVoltage, model, gettext("Heating voltage"));
    addUpDown(content, ROW_WIDTH, oid, Analog::AnalogIdleVoltage, model, gettext("Idle voltage"));
}

void FormAnalogEdit::handleProxyValueChange(ProxyObject& object, const OviEx& change) {
    if (mChart != nullptr && change.oid == mOid && redrawsChart(change.vid)) {
        updateChart(object);
    }
}

void FormAnalogEdit::updateChart(const ProxyObject& output) {
    if (mChart == nullptr) {
        return;
    }
    const oid_t oid = output.oid();
    const std::optional<int> voltage = pt_read_int(oid, Analog::Value.vid);
    const int64_t u = voltage ? low16(*voltage) : NO_VOLTAGE;
    const int64_t threshold = curveValue(oid, Analog::AnalogThreshold.vid, 0);
    const int64_t t1 = curveValue(oid, Analog::AnalogLowTemperature.vid, 0);
    const int64_t t2 = curveValue(oid, Analog::AnalogHighTemperature.vid, 10000);
    const int64_t u1 = curveValue(oid, Analog::AnalogLowVoltage.vid, 0);
    const int64_t u2 = curveValue(oid, Analog::AnalogHighVoltage.vid, TEN_VOLTS);
    mChart->clear();
    const int64_t dT = t2 - t1;
    const int64_t dU = u2 - u1;
    // Two equal temperatures, or a line too flat to reach another voltage, make no line to draw: the chart
    // stays empty and the rows stay usable to mend the values.
    if (dT == 0) {
        return;
    }
    const int64_t slope = dU * 10000 / dT;
    if (slope == 0) {
        return;
    }
    const int64_t t0 = t2 - (u2 * 10000) / slope; // where the line gives 0 V
    int working = low16(t0 + (u * 10000) / slope);
    // An unknown voltage has no place on the line: its stand-in would mark a made-up point at 10 V.
    if (!voltage || working > CHART_RIGHT || working < threshold) {
        working = NO_VOLTAGE;
    }
    mChart->setWorkingPoint(working, static_cast<int>(u));
    mChart->setColor(colour::ACCENT);
    mChart->moveTo(0, 0);
    mChart->drawTo(static_cast<int>(threshold), 0, false);
    const int k = low16((threshold - t1) * 10000 / dT);
    const int atThreshold = low16(u1 + (dU * k) / 10000);
    if (atThreshold >= 0) {
        mChart->drawTo(static_cast<int>(threshold), std::min(atThreshold, TEN_VOLTS), true);
    } else {
        mChart->drawTo(static_cast<int>(t0), 0, true);
    }
    const int t10 = low16(t0 + 10000000 / slope); // where the line reaches 10 V
    mChart->drawTo(t10, TEN_VOLTS, true);
    if (t10 < CHART_RIGHT) {
        mChart->drawTo(CHART_RIGHT, TEN_VOLTS, false);
    }
}

} // namespace tdx
