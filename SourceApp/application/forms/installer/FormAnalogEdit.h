// A 0-10 V output's editor (state 69, p1 the output, the heading in the state's text): its name, the voltage
// it puts out now, and by its Function either the temperature-to-voltage curve with its chart (8) or three
// fixed voltages (7); then its service settings. The rows are chosen once, when the screen is built.
#pragma once

#include "SourceApp/application/forms/VexalStackedContentForm.h"
#include "SourceApp/storage/ProxyStructure.h"

namespace tdx {

class AnalogChart;

class FormAnalogEdit : public VexalStackedContentForm, public ProxyValueChangeHandler {
public:
    static constexpr int FUNCTION_FIXED = 7;
    static constexpr int FUNCTION_CURVE = 8;

    explicit FormAnalogEdit(const State& state);
    ~FormAnalogEdit() override;

protected:
    void handleProxyValueChange(ProxyObject& object, const OviEx& change) override;

private:
    void buildCurveRows(StackedContainer* content, const ProxyObject& output);
    void buildFixedRows(StackedContainer* content, oid_t oid);
    void updateChart(const ProxyObject& output);

    oid_t mOid = 0;
    AnalogChart* mChart = nullptr;
};

} // namespace tdx
