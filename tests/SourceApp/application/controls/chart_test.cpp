#include "SourceApp/application/controls/AnalogChart.h"
#include "SourceApp/application/controls/HeatCurveChart.h"
#include "widget_fixture.h"

namespace tdx::test {
namespace {

using ChartTest = WidgetTest;

constexpr unsigned RED = 0x312CD8;
constexpr unsigned GREY = 0x808080;

// The plot of a 277 x 160 chart at (9, 57): insets 26 left, 6 top, 8 right, 14 bottom.
constexpr Box HEAT_PLOT = Box::fromCorners(9 + 26, 57 + 6, 9 + 276 - 8, 57 + 159 - 14);

// Pixel of a data point in a plot (the charts' own mapping, written out).
Point heat_pixel(int outdoor, int inlet) {
    const int w = HEAT_PLOT.getWidth() - 1, h = HEAT_PLOT.getHeight() - 1;
    return {HEAT_PLOT.x1 + static_cast<int>((outdoor - 4000LL) * w / -6000),
            HEAT_PLOT.y2 - static_cast<int>(inlet * 1LL * h / 8000)};
}

TEST_F(ChartTest, HeatCurveDrawsPolylinesAndClampsPoints) {
    auto* chart = new HeatCurveChart(form(), 9, 57, 277, 160);
    chart->setColor(RED);
    chart->moveTo(4000, 0);
    chart->drawTo(1000, 0, false);
    chart->drawTo(-3000, 9000, false); // beyond both axes: clamped to (-2000, 8000)
    pass();
    const Point corner = heat_pixel(1000, 0);
    EXPECT_EQ(at(heat_pixel(2500, 0).x, corner.y), RED) << "the flat part at 0";
    const Point end = heat_pixel(-2000, 8000);
    EXPECT_EQ(end, (Point{HEAT_PLOT.x2, HEAT_PLOT.y1}));
    EXPECT_EQ(at(end.x, end.y), RED) << "the clamped end in the plot's corner";
    EXPECT_EQ(count_colour(Box::fromCorners(HEAT_PLOT.x2 + 1, 57, 9 + 276, 57 + 159), RED), 0)
        << "nothing right of the plot";

    // A new polyline starts unconnected.
    chart->setColor(GREY);
    chart->moveTo(3000, 7000);
    chart->drawTo(3000, 6000, false);
    pass();
    const Point top = heat_pixel(3000, 7000);
    EXPECT_EQ(at(top.x, top.y), GREY);
    EXPECT_EQ(at(top.x, heat_pixel(3000, 6500).y), GREY);
    EXPECT_NE(at(top.x, heat_pixel(3000, 3000).y), GREY);

    chart->clear();
    pass();
    EXPECT_EQ(count_colour(chart->getBoundingBox(), RED), 0);
    EXPECT_EQ(
        count_colour(Box::fromCorners(HEAT_PLOT.x1 + 1, HEAT_PLOT.y1, HEAT_PLOT.x2, HEAT_PLOT.y2 - 1), GREY),
        0)
        << "clear removes the curves (grid lines are light)";
    chart->drawTo(0, 0, false); // without moveTo: starts a line there, no crash
    pass();
}

TEST_F(ChartTest, HeatCurveLabelsAndWorkingPoint) {
    auto* chart = new HeatCurveChart(form(), 9, 57, 277, 160);
    chart->setColor(RED);
    chart->moveTo(4000, 0);
    chart->drawTo(1550, 4599, true);
    pass();
    const Point p = heat_pixel(1550, 4599);
    EXPECT_GT(count_near(Box::fromCorners(p.x + 4, p.y - 20, p.x + 60, p.y - 1), RED), 10)
        << "label above right";

    sFlips.clear();
    chart->setWorkingPoint(-500, 5000);
    pass();
    EXPECT_FALSE(sFlips.empty());
    const Point w = heat_pixel(-500, 5000);
    EXPECT_EQ(at(w.x, w.y), 0x000000u);
    EXPECT_EQ(at(w.x + 3, w.y), 0x000000u) << "radius 3";
    sFlips.clear();
    chart->setWorkingPoint(-500, 5000);
    pass();
    EXPECT_TRUE(sFlips.empty()) << "unmoved: no repaint";
    chart->setWorkingPoint(-32768, 32767);
    pass();
    EXPECT_EQ(at(HEAT_PLOT.x2, HEAT_PLOT.y1), 0x000000u) << "clamped into the corner";
    chart->clear();
    pass();
    EXPECT_EQ(count_colour(chart->getBoundingBox(), 0x000000), 0) << "clear removes the working point";
}

// Black text on the chart's white ground, drawn by hand for comparison.
class Text : public Component {
public:
    Text(Container* parent, int x, int y, std::string text)
        : Component(parent, x, y, 100, 14)
        , mText(std::move(text)) {}
    void handleDraw() override {
        gfx_setcolor(0x000000);
        bif_print_text(bif_myriad10.getFont(), getLeft(), getTop(), mText);
    }

private:
    std::string mText;
};

TEST_F(ChartTest, HeatCurveLabelTextTruncatesTowardsZero) {
    // Outdoor -150 / 100 = -1 and inlet 4599 / 100 = 45: the label reads "45°/ -1°".
    auto* chart = new HeatCurveChart(form(), 0, 0, 320, 200);
    chart->setColor(0x000000);
    chart->drawTo(-150, 4599, true);
    new Text(form(), 10, 215, "45\xC2\xB0/ -1\xC2\xB0");
    pass();
    auto dark = [](int x, int y) { return count_near(Box(x, y, 1, 1), 0x000000) == 1; };
    // The label is the only dark text inside the plot; find it and compare it with the reference.
    const Box plot = Box::fromCorners(26, 6, 311, 185);
    Box label = Box::fromCorners(1000, 1000, -1, -1);
    for (int y = plot.y1; y <= plot.y2; ++y)
        for (int x = plot.x1 + 1; x <= plot.x2; ++x)
            if (dark(x, y))
                label = Box::fromCorners(std::min(label.x1, x), std::min(label.y1, y), std::max(label.x2, x),
                                         std::max(label.y2, y));
    Box reference = Box::fromCorners(1000, 1000, -1, -1);
    for (int y = 200; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            if (dark(x, y))
                reference = Box::fromCorners(std::min(reference.x1, x), std::min(reference.y1, y),
                                             std::max(reference.x2, x), std::max(reference.y2, y));
    ASSERT_FALSE(reference.isEmpty());
    ASSERT_EQ(label.getWidth(), reference.getWidth());
    ASSERT_EQ(label.getHeight(), reference.getHeight());
    int differing = 0;
    for (int y = 0; y < label.getHeight(); ++y)
        for (int x = 0; x < label.getWidth(); ++x)
            differing += dark(label.x1 + x, label.y1 + y) != dark(reference.x1 + x, reference.y1 + y);
    EXPECT_EQ(differing, 0);
}

constexpr Box ANALOG_PLOT = Box::fromCorners(9 + 26, 30 + 6, 9 + 276 - 8, 30 + 169 - 14);

Point analog_pixel(int t, int u) {
    const int w = ANALOG_PLOT.getWidth() - 1, h = ANALOG_PLOT.getHeight() - 1;
    return {ANALOG_PLOT.x1 + static_cast<int>(t * 1LL * w / 8000),
            ANALOG_PLOT.y2 - static_cast<int>(u * 1LL * h / 1000)};
}

TEST_F(ChartTest, AnalogSegmentsAreCutAtTheEdges) {
    auto* chart = new AnalogChart(form(), 9, 30, 277, 170);
    chart->setColor(RED);
    // From (-4000, -500) to (4000, 500): enters the plot at (0, 0).
    chart->moveTo(-4000, -500);
    chart->drawTo(4000, 500, false);
    // Then up beyond 10 V: cut at (6000, 1000) on the way to (8000, 1500).
    chart->drawTo(8000, 1500, false);
    pass();
    const Point origin = analog_pixel(0, 0);
    EXPECT_EQ(at(origin.x, origin.y), RED);
    const Point corner = analog_pixel(6000, 1000);
    EXPECT_EQ(at(corner.x, corner.y), RED);
    EXPECT_EQ(
        count_colour(Box::fromCorners(corner.x + 3, ANALOG_PLOT.y1, ANALOG_PLOT.x2, ANALOG_PLOT.y2), RED), 0)
        << "the part above 10 V is not drawn, not even flattened";
    EXPECT_EQ(count_colour(Box::fromCorners(9, 30, ANALOG_PLOT.x1 - 1, 30 + 169), RED), 0);

    // Entirely outside: nothing.
    chart->clear();
    chart->moveTo(-32768, -32768);
    chart->drawTo(-1, 32767, false);
    chart->drawTo(32767, 32767, false);
    pass();
    EXPECT_EQ(count_colour(chart->getBoundingBox(), RED), 0);
}

TEST_F(ChartTest, AnalogLabelWaitsForItsSuccessor) {
    auto* chart = new AnalogChart(form(), 9, 30, 277, 170);
    chart->setColor(RED);
    chart->moveTo(0, 0);
    chart->drawTo(2000, 0, false);
    chart->drawTo(6000, 1000, true);
    pass();
    const Point p = analog_pixel(6000, 1000);
    const Box labelArea = Box::fromCorners(p.x + 3, p.y + 3, ANALOG_PLOT.x2, p.y + 20);
    EXPECT_EQ(count_near(labelArea, RED), 0) << "the last point has no label yet";
    chart->drawTo(8000, 1000, false);
    pass();
    EXPECT_GT(count_near(labelArea, RED), 10) << "labelled once another point followed";
}

TEST_F(ChartTest, AnalogWorkingPointHidesOutsideTheTemperatureAxis) {
    auto* chart = new AnalogChart(form(), 9, 30, 277, 170);
    pass();
    EXPECT_EQ(count_colour(chart->getBoundingBox(), 0x000000), 0)
        << "(32767, 32767) after construction: hidden";
    chart->setWorkingPoint(4000, 1500);
    pass();
    const Point w = analog_pixel(4000, 1000);
    EXPECT_EQ(at(w.x, w.y), 0x000000u) << "y clamped to 10 V";
    chart->setWorkingPoint(8001, 500);
    pass();
    EXPECT_EQ(count_colour(chart->getBoundingBox(), 0x000000), 0);
    chart->setWorkingPoint(0, -32768);
    pass();
    const Point z = analog_pixel(0, 0);
    EXPECT_EQ(at(z.x, z.y), 0x000000u);
    chart->clear();
    pass();
    EXPECT_EQ(count_colour(chart->getBoundingBox(), 0x000000), 0) << "clear hides it again";
}

TEST_F(ChartTest, ZeroSizeAndTinyChartsDrawNothingAndSurvive) {
    auto* none = new HeatCurveChart(form(), 10, 10, 0, 0);
    auto* tiny = new AnalogChart(form(), 50, 50, 30, 16);
    for (Chart* c : {static_cast<Chart*>(none), static_cast<Chart*>(tiny)}) {
        c->setColor(RED);
    }
    none->moveTo(-32768, -32768);
    none->drawTo(32767, 32767, true);
    none->setWorkingPoint(0, 0);
    tiny->moveTo(-32768, 32767);
    tiny->drawTo(32767, -32768, true);
    tiny->drawTo(0, 0, false);
    tiny->setWorkingPoint(100, 100);
    pass();
    EXPECT_EQ(inked(Box::fromCorners(0, 0, 319, 239), 0xFFFFFF), 0);
}

} // namespace
} // namespace tdx::test
