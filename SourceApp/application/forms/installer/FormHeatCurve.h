// The heat curve of one heating function (state parameter 1, an inlet temperature controller or a
// heating/cooling circuit): the inlet temperature aimed at against the outdoor temperature, between the
// minimum and maximum inlet temperature and cut off above an outdoor temperature. Grey curves for the lowest
// and highest desired temperature of the function's rooms; while the function demands heat or cold, its own
// curve in red with the working point at today's filtered outdoor temperature. The chart follows every input.
//
// All arithmetic is on integers in hundredths of a degree (curve and gain in tenths). Products are formed in
// 64 bits, so that values far outside their range cannot overflow; results keep their low 16 bits.
#pragma once

#include "SourceApp/application/forms/VexalForm.h"
#include "SourceApp/storage/ProxyStructure.h"

#include <cstdint>

namespace tdx {

class HeatCurveChart;

class FormHeatCurve : public VexalForm, public ProxyValueChangeHandler {
public:
    static constexpr state_id_t STATE_ID = 64;
    static constexpr unsigned ACTIVE_COLOUR = 0x312CD8;
    static constexpr unsigned ROOM_COLOUR = 0x808080;
    static constexpr int AXIS_LEFT = 4000;   // outdoor temperature at the chart's left edge
    static constexpr int AXIS_RIGHT = -2000; // and at its right edge

    // The inputs of one redraw; a value that cannot be read keeps its initial value here.
    struct HeatCurveParams {
        int16_t desiredRoom = 32767;
        int16_t minInlet = 0;
        int16_t maxInlet = 0;
        int16_t parallelDisplacement = 0;
        int16_t gain = 0;  // tenths
        int16_t curve = 0; // tenths
        int16_t outdoor = 0;
        int16_t outsideExceeds = 0;
        uint8_t sourceDemand = 0;
    };

    explicit FormHeatCurve(const State& state);
    ~FormHeatCurve() override;

    // False, leaving params alone, for an object that is no heating function or without the location.
    static bool fillCurveParams(const ProxyObject& function, HeatCurveParams& params);
    // Whether the change is of a value that feeds the function's curve (its room list included).
    static bool isCurveParam(const ProxyObject& function, const OviEx& change);

    // The inlet temperature of the curve at an outdoor temperature (without the parallel displacement).
    static int16_t calcInletTemperature(int desiredRoom, int gain, int outdoor, int curve);
    // The outdoor temperature at which the curve reaches an inlet temperature: a whole multiple of 0.1 K
    // from the desired room temperature; a curve of 0 or below counts as 1 here.
    static int16_t calcOutdoorTemperature(int desiredRoom, int gain, int inlet, int curve);

    // Draws one curve from the left edge: 0 above the cut-off xCut, then between yMin (reached at xAtMin)
    // and yMax (reached at xAtMax), flat at yMax to the right edge. Chart: setColor, moveTo, drawTo.
    template <class Chart>
    static void plot(Chart& chart, int yMin, int yMax, int xAtMin, int xAtMax, int xCut, bool active);

    HeatCurveChart* getChart() const { return mChart; }

protected:
    void handleProxyValueChange(ProxyObject& object, const OviEx& change) override;

private:
    bool updateDesiredTemperatures(const ProxyObject& function);
    void updateChart(const ProxyObject& function);

    oid_t mFunction;
    HeatCurveChart* mChart = nullptr;
    int16_t mDesiredMin = 32767;
    int16_t mDesiredMax = -32768;
    bool mListening = false;
};

template <class Chart>
void FormHeatCurve::plot(Chart& chart, int yMin, int yMax, int xAtMin, int xAtMax, int xCut, bool active) {
    const auto yAt = [&](int64_t from, int64_t span) {
        // A whole percentage of the way first, then that share of the inlet span.
        const int64_t percent = span == 0 ? 0 : (from * 100) / span;
        return static_cast<int>((int64_t{yMax} - yMin) * percent / 100);
    };
    chart.setColor(active ? ACTIVE_COLOUR : ROOM_COLOUR);
    chart.moveTo(AXIS_LEFT, 0);
    chart.drawTo(xCut, 0, false);
    if (xCut <= xAtMax) {
        chart.drawTo(xCut, yMax, active);
        chart.drawTo(AXIS_RIGHT, yMax, false);
        return;
    }
    if (xCut <= xAtMin) {
        chart.drawTo(xCut, yMin + yAt(int64_t{xAtMin} - xCut, int64_t{xAtMin} - xAtMax), active);
    } else {
        chart.drawTo(xCut, yMin, false);
        chart.drawTo(xAtMin, yMin, active);
    }
    if (xAtMax > AXIS_RIGHT) {
        chart.drawTo(xAtMax, yMax, active);
        chart.drawTo(AXIS_RIGHT, yMax, false);
    } else if (xAtMin == xAtMax) {
        // Minimum and maximum reached at the same point beyond the right edge: the curve stays at its minimum
        // as far as the chart goes.
        chart.drawTo(AXIS_RIGHT, yMin, false);
    } else {
        chart.drawTo(AXIS_RIGHT, yMax - yAt(int64_t{AXIS_RIGHT} - xAtMax, int64_t{xAtMin} - xAtMax), false);
    }
}

} // namespace tdx
