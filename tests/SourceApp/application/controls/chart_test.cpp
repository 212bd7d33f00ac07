// The heat-curve and analog charts by their pixels: polylines in the plot, points clamped or cut at its
// edges, labels and the working point.
#include "SourceApp/application/controls/AnalogChart.h"
#include "SourceApp/application/controls/HeatCurveChart.h"
#include "SourceApp/application/controls/Label.h"
#include "tests/support/heat_chart_pixels.h"
#include "tests/support/screen_harness.h"

namespace tdx::test {
namespace {

constexpr unsigned RED = 0x312CD8;
constexpr unsigned GREY = 0x808080;

// The plot of a 277 x 170 analog chart at (9, 30): insets 26 left, 6 top, 8 right, 14 bottom (the heat-curve
// chart's in heat_chart_pixels.h).
constexpr Box ANALOG_PLOT = Box::fromCorners(9 + 26, 30 + 6, 9 + 276 - 8, 30 + 169 - 14);
// Temperature 0 .. 80 degrees across, 0 .. 10 V up.
Point analogPixel(int t, int u) {
    const int w = ANALOG_PLOT.getWidth() - 1, h = ANALOG_PLOT.getHeight() - 1;
    return {ANALOG_PLOT.x1 + static_cast<int>(t * 1LL * w / 8000),
            ANALOG_PLOT.y2 - static_cast<int>(u * 1LL * h / 1000)};
}

class ChartTest : public ScreenHarness {
protected:
    void SetUp() override {
        ScreenHarness::SetUp();
        form = blank();
    }
    static bool dark(int x, int y) { return countNear(Box(x, y, 1, 1), 0x000000) == 1; }
    Form* form = nullptr;
};

TEST_F(ChartTest, TheHeatCurveDrawsPolylinesClampedToThePlot) {
    auto* chart = new HeatCurveChart(form, 9, 57, 277, 160);
    chart->setColor(RED);
    chart->moveTo(4000, 0);
    chart->drawTo(1000, 0, false);
    chart->drawTo(-3000, 9000, false); // beyond both axes: clamped to (-2000, 8000)
    chart->setColor(GREY);
    chart->moveTo(3000, 7000); // a new polyline starts unconnected
    chart->drawTo(3000, 6000, false);
    runTasks();
    EXPECT_EQ(at(heatPixel(2500, 0).x, heatPixel(1000, 0).y), RED) << "the flat part at 0";
    EXPECT_EQ(heatPixel(-2000, 8000), (Point{HEAT_PLOT.x2, HEAT_PLOT.y1}));
    EXPECT_EQ(at(HEAT_PLOT.x2, HEAT_PLOT.y1), RED) << "the clamped end in the plot's corner";
    EXPECT_EQ(countColour(Box::fromCorners(HEAT_PLOT.x2 + 1, 57, 9 + 276, 57 + 159), RED), 0);
    const Point top = heatPixel(3000, 7000);
    EXPECT_EQ(at(top.x, top.y), GREY);
    EXPECT_EQ(at(top.x, heatPixel(3000, 6500).y), GREY);
    EXPECT_NE(at(top.x, heatPixel(3000, 3000).y), GREY);

    chart->clear();
    runTasks();
    EXPECT_EQ(countColour(chart->getBoundingBox(), RED), 0);
    EXPECT_EQ(
        countColour(Box::fromCorners(HEAT_PLOT.x1 + 1, HEAT_PLOT.y1, HEAT_PLOT.x2, HEAT_PLOT.y2 - 1), GREY),
        0)
        << "clear removes the curves (grid lines are light)";
    chart->drawTo(0, 0, false); // without moveTo: starts a line there
    runTasks();
}

TEST_F(ChartTest, TheHeatCurveLabelReadsWholeDegreesTruncatedTowardsZero) {
    auto* chart = new HeatCurveChart(form, 0, 0, 320, 200);
    chart->setColor(0x000000);
    chart->drawTo(-150, 4599, true);
    new Label(form, 10, 215, &bif_myriad10, "45\xC2\xB0/ -1\xC2\xB0");
    runTasks();
    // The label is the only dark text inside the plot: compare it with the reference below the chart.
    auto darkBox = [](const Box& area) {
        Box r = Box::fromCorners(W, H, -1, -1);
        for (int y = area.y1; y <= area.y2; ++y)
            for (int x = area.x1; x <= area.x2; ++x)
                if (dark(x, y))
                    r = Box::fromCorners(std::min(r.x1, x), std::min(r.y1, y), std::max(r.x2, x),
                                         std::max(r.y2, y));
        return r;
    };
    const Box label = darkBox(Box::fromCorners(27, 6, 311, 185));
    const Box reference = darkBox(Box::fromCorners(0, 200, 319, 239));
    ASSERT_FALSE(reference.isEmpty());
    ASSERT_EQ(label.getWidth(), reference.getWidth());
    ASSERT_EQ(label.getHeight(), reference.getHeight());
    int differing = 0;
    for (int y = 0; y < label.getHeight(); ++y)
        for (int x = 0; x < label.getWidth(); ++x)
            differing += dark(label.x1 + x, label.y1 + y) != dark(reference.x1 + x, reference.y1 + y);
    EXPECT_EQ(differing, 0);
}

TEST_F(ChartTest, AnalogSegmentsAreCutAtThePlotsEdgesAndLabelledOnceAnotherPointFollows) {
    auto* chart = new AnalogChart(form, 9, 30, 277, 170);
    chart->setColor(RED);
    chart->moveTo(-4000, -500);
    chart->drawTo(4000, 500, false);  // enters the plot at (0, 0)
    chart->drawTo(8000, 1500, false); // cut at (6000, 10 V)
    runTasks();
    const Point origin = analogPixel(0, 0), corner = analogPixel(6000, 1000);
    EXPECT_EQ(at(origin.x, origin.y), RED);
    EXPECT_EQ(at(corner.x, corner.y), RED);
    EXPECT_EQ(
        countColour(Box::fromCorners(corner.x + 3, ANALOG_PLOT.y1, ANALOG_PLOT.x2, ANALOG_PLOT.y2), RED), 0)
        << "the part above 10 V is not drawn, not even flattened";
    EXPECT_EQ(countColour(Box::fromCorners(9, 30, ANALOG_PLOT.x1 - 1, 30 + 169), RED), 0);

    const Box labelArea = Box::fromCorners(corner.x + 3, corner.y + 3, ANALOG_PLOT.x2, corner.y + 20);
    chart->clear();
    chart->moveTo(0, 0);
    chart->drawTo(2000, 0, false);
    chart->drawTo(6000, 1000, true);
    runTasks();
    EXPECT_EQ(countNear(labelArea, RED), 0) << "the last point has no label yet";
    chart->drawTo(8000, 1000, false);
    runTasks();
    EXPECT_GT(countNear(labelArea, RED), 10) << "labelled once another point followed";

    chart->clear();
    chart->moveTo(-32768, -32768);
    chart->drawTo(-1, 32767, false);
    chart->drawTo(32767, 32767, false);
    runTasks();
    EXPECT_EQ(countColour(chart->getBoundingBox(), RED), 0) << "entirely outside: nothing";
}

// A corner's label stands in the plot where no curve runs through it or touches it, also where the curve
// goes on through the corner (the threshold's jump, 1.0 V at 15 degrees, then up to 10 V), and near its
// point.
TEST_F(ChartTest, AnAnalogLabelStandsInThePlotClearOfTheCurve) {
    using Points = std::vector<std::pair<int, int>>; // (temperature, voltage); the second is labelled
    const struct {
        const char* story;
        Points points;
    } cases[] = {
        {"a jump at the threshold, then the line",
         {{0, 0}, {1500, 0}, {1500, 100}, {6000, 1000}, {8000, 1000}}},
        {"a low jump under a steep line", {{0, 0}, {1000, 0}, {1000, 50}, {2500, 1000}, {8000, 1000}}},
        {"0 V up to the crossing", {{0, 0}, {500, 0}, {1000, 0}, {6000, 1000}, {8000, 1000}}},
        {"a flat line through the corner", {{0, 0}, {3000, 500}, {3000, 500}, {8000, 500}, {8000, 500}}},
        {"10 V from the corner on", {{0, 0}, {2000, 0}, {6000, 1000}, {6000, 1000}, {8000, 1000}}},
    };
    auto* chart = new AnalogChart(form, 9, 30, 277, 170);
    const Box box = chart->getBoundingBox();
    const auto draw = [&](const Points& points, bool labelled) {
        chart->clear();
        chart->setColor(RED);
        chart->moveTo(points[0].first, points[0].second);
        for (size_t i = 1; i < points.size(); ++i) {
            chart->drawTo(points[i].first, points[i].second, labelled && i == 2);
        }
        runTasks();
        std::vector<unsigned> shown;
        for (int y = box.y1; y <= box.y2; ++y)
            for (int x = box.x1; x <= box.x2; ++x)
                shown.push_back(pixel(x, y));
        return shown;
    };
    for (const auto& c : cases) {
        const std::vector<unsigned> curve = draw(c.points, false);
        const std::vector<unsigned> withLabel = draw(c.points, true);
        // The label's ink is what the second drawing added.
        Box label = Box::fromCorners(W, H, -1, -1);
        for (size_t i = 0; i < curve.size(); ++i) {
            if (curve[i] != withLabel[i]) {
                const int x = box.x1 + static_cast<int>(i) % box.getWidth();
                const int y = box.y1 + static_cast<int>(i) / box.getWidth();
                label = Box::fromCorners(std::min(label.x1, x), std::min(label.y1, y), std::max(label.x2, x),
                                         std::max(label.y2, y));
            }
        }
        ASSERT_FALSE(label.isEmpty()) << c.story;
        EXPECT_GT(label.getWidth(), 30) << c.story << ": a whole label";
        EXPECT_EQ(label.intersect(ANALOG_PLOT), label) << c.story;
        const Box around = Box::fromCorners(label.x1 - 1, label.y1 - 1, label.x2 + 1, label.y2 + 1);
        int crossed = 0;
        for (int y = around.y1; y <= around.y2; ++y)
            for (int x = around.x1; x <= around.x2; ++x)
                crossed += curve[static_cast<size_t>((y - box.y1) * box.getWidth() + (x - box.x1))] == RED;
        EXPECT_EQ(crossed, 0) << c.story;
        const Point corner = analogPixel(c.points[2].first, c.points[2].second);
        const int dx = std::max({label.x1 - corner.x, corner.x - label.x2, 0});
        const int dy = std::max({label.y1 - corner.y, corner.y - label.y2, 0});
        EXPECT_LE(std::max(dx, dy), 40) << c.story << ": near its corner";
    }
}

TEST_F(ChartTest, TheWorkingPointIsClampedOrHiddenAndRepaintedOnlyWhenItMoves) {
    auto* heat = new HeatCurveChart(form, 9, 57, 277, 160);
    runTasks();
    EXPECT_FALSE(flipsAfter([&] { heat->setWorkingPoint(-500, 5000); }).empty());
    const Point w = heatPixel(-500, 5000);
    EXPECT_EQ(at(w.x, w.y), 0x000000u);
    EXPECT_EQ(at(w.x + 3, w.y), 0x000000u) << "radius 3";
    EXPECT_TRUE(flipsAfter([&] { heat->setWorkingPoint(-500, 5000); }).empty()) << "unmoved: no repaint";
    heat->setWorkingPoint(-32768, 32767);
    runTasks();
    EXPECT_EQ(at(HEAT_PLOT.x2, HEAT_PLOT.y1), 0x000000u) << "clamped into the corner";
    heat->clear();
    runTasks();
    EXPECT_EQ(countColour(heat->getBoundingBox(), 0x000000), 0) << "clear removes the working point";
    delete heat;

    auto* analog = new AnalogChart(form, 9, 30, 277, 170);
    runTasks();
    EXPECT_EQ(countColour(analog->getBoundingBox(), 0x000000), 0) << "none when new";
    const struct {
        int t, u;
        std::optional<Point> shown;
    } cases[] = {
        {4000, 1500, analogPixel(4000, 1000)}, {8001, 500, std::nullopt}, {0, -32768, analogPixel(0, 0)}};
    for (const auto& c : cases) {
        analog->setWorkingPoint(c.t, c.u);
        runTasks();
        if (c.shown) {
            EXPECT_EQ(at(c.shown->x, c.shown->y), 0x000000u) << c.t << ", " << c.u;
        } else {
            EXPECT_EQ(countColour(analog->getBoundingBox(), 0x000000), 0) << "beyond the temperature axis";
        }
    }
    analog->clear();
    runTasks();
    EXPECT_EQ(countColour(analog->getBoundingBox(), 0x000000), 0) << "clear hides it again";
}

TEST_F(ChartTest, ZeroSizeAndTinyChartsDrawNothingAndSurvive) {
    auto* none = new HeatCurveChart(form, 10, 10, 0, 0);
    auto* tiny = new AnalogChart(form, 50, 50, 30, 16);
    none->setColor(RED);
    tiny->setColor(RED);
    none->moveTo(-32768, -32768);
    none->drawTo(32767, 32767, true);
    none->setWorkingPoint(0, 0);
    tiny->moveTo(-32768, 32767);
    tiny->drawTo(32767, -32768, true);
    tiny->drawTo(0, 0, false);
    tiny->setWorkingPoint(100, 100);
    runTasks();
    EXPECT_EQ(inked(Box::fromCorners(0, 0, 319, 239), 0xFFFFFF), 0);
}

} // namespace
} // namespace tdx::test
