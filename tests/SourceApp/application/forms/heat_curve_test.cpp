// The heat curve: its arithmetic, the curves it draws for each place of the cut-off, which changes redraw
// it, and the values it ignores.
#include "SourceApp/application/controls/HeatCurveChart.h"
#include "SourceApp/application/forms/installer/FormHeatCurve.h"
#include "tests/SourceApp/application/forms/function_editors_fixture.h"

namespace tdx::test {
namespace {

constexpr oid_t ITC = 0x08000316;
constexpr oid_t HCC = 0x09000316;
constexpr oid_t LIVING = 0x01000316;
constexpr oid_t BEDROOM = 0x02000316;
constexpr oid_t HALL = 0x04000316;
constexpr oid_t ELSEWHERE = 0x03000316;

// Writes down what a curve asks of its chart.
struct RecordingChart {
    std::vector<std::string> calls;
    void setColor(unsigned colour) {
        calls.push_back(colour == FormHeatCurve::ACTIVE_COLOUR ? "red" : "grey");
    }
    void moveTo(int x, int y) { calls.push_back("move " + std::to_string(x) + " " + std::to_string(y)); }
    void drawTo(int x, int y, bool labelled) {
        calls.push_back(std::to_string(x) + " " + std::to_string(y) + (labelled ? " labelled" : ""));
    }
};

TEST(HeatCurveArithmetic, InletAndOutdoorTemperatures) {
    const struct {
        int room, gain, outdoor, curve, inlet;
    } inlets[] = {
        {2000, 0, 0, 10, 4460},
        {2200, 5, -1000, 15, 7410},
        {1990, 1, 1990, 15, 2459},            // the gain term -150 / 100 is -1
        {32767, 32767, -32768, 32767, 19806}, // 64-bit products, then the low 16 bits
    };
    for (const auto& c : inlets) {
        EXPECT_EQ(FormHeatCurve::calcInletTemperature(c.room, c.gain, c.outdoor, c.curve), c.inlet)
            << c.inlet;
    }
    const struct {
        int room, gain, inlet, curve, outdoor;
    } outdoors[] = {
        {2000, 0, 4460, 10, 0},    {2000, 0, 2465, 10, 2000}, // less than one curve step: 5 / 10 = 0
        {2000, 0, 2470, 0, 1900},                             // a curve of 0 counts as 1
        {2000, 0, 2470, -4, 1900}, {-32768, 32767, 32767, -5, -30890},
    };
    for (const auto& c : outdoors) {
        EXPECT_EQ(FormHeatCurve::calcOutdoorTemperature(c.room, c.gain, c.inlet, c.curve), c.outdoor)
            << c.outdoor;
    }
}

TEST(HeatCurvePlot, EachPlaceOfTheCutOffDrawsItsCurve) {
    using Calls = std::vector<std::string>;
    const Calls start = {"red", "move 4000 0"};
    const struct {
        const char* story;
        int xAtMin, xAtMax, xCut;
        Calls then;
    } cases[] = {
        {"cut-off below the maximum: straight up, flat to the end",
         1000,
         -1000,
         -1500,
         {"-1500 0", "-1500 5500 labelled", "-2000 5500"}},
        {"cut-off on the slope: up to the slope, then the maximum",
         1000,
         -1000,
         0,
         {"0 0", "0 3750 labelled", "-1000 5500 labelled", "-2000 5500"}},
        {"cut-off above the minimum: the flat minimum first",
         1000,
         -1000,
         2000,
         {"2000 0", "2000 2000", "1000 2000 labelled", "-1000 5500 labelled", "-2000 5500"}},
        {"maximum beyond the end: the end on the slope, not labelled",
         0,
         -3000,
         2000,
         {"2000 0", "2000 2000", "0 2000 labelled", "-2000 4345"}},
        {"both ends at one point beyond the end: the minimum",
         -2500,
         -2500,
         0,
         {"0 0", "0 2000", "-2500 2000 labelled", "-2000 2000"}},
    };
    for (const auto& c : cases) {
        RecordingChart chart;
        FormHeatCurve::plot(chart, 2000, 5500, c.xAtMin, c.xAtMax, c.xCut, true);
        Calls expected = start;
        expected.insert(expected.end(), c.then.begin(), c.then.end());
        EXPECT_EQ(chart.calls, expected) << c.story;
    }
    RecordingChart grey;
    FormHeatCurve::plot(grey, 2000, 5500, 1000, -1000, -1500, false);
    EXPECT_EQ(grey.calls.front(), "grey");
    EXPECT_EQ(grey.calls.at(3), "-1500 5500") << "a room's curve has no labels";
}

class HeatCurveTest : public FunctionEditorsTest {
protected:
    void given(int sourceDemand = 1) {
        location().value(0x0028, 520);
        object(ITC, BT_OBJ_ITC)
            .text(0x8090, "Inlet controller")
            .value(0x0039, sourceDemand)
            .value(0x0029, 2150)
            .value(0x8063, 2000)
            .value(0x8064, 5500)
            .value(0x8066, 0)
            .value(0x80C4, 5)
            .value(0x003D, 12)
            .value(0x80C3, 2000)
            .oids(0x80B8, {LIVING, BEDROOM, HALL});
        room(LIVING).value(0x001D, 2150);
        room(BEDROOM).value(0x001D, 2000);
        room(HALL).value(0x001D, 2100);
        room(ELSEWHERE).value(0x001D, 1500);
    }
    Box chartBox() const { return static_cast<FormHeatCurve*>(screen())->getChart()->getBoundingBox(); }
    // Whether the change makes the chart draw itself again.
    bool redraws(oid_t oid, vid_t vid, int value) {
        for (const Box& flipped : flipsAfter([&] { receive(oid, vid, value); })) {
            if (flipped.intersects(chartBox())) {
                return true;
            }
        }
        return false;
    }
};

TEST_F(HeatCurveTest, RoomsDrawGreyAndTheDemandingFunctionRed) {
    const struct {
        int demand;
        bool red;
    } cases[] = {{1, true}, {0, false}};
    for (const auto& c : cases) {
        given(c.demand);
        open(FormHeatCurve::STATE_ID, ITC);
        EXPECT_EQ(shows(chartBox(), FormHeatCurve::ACTIVE_COLOUR), c.red) << c.demand;
        EXPECT_TRUE(shows(chartBox(), FormHeatCurve::ROOM_COLOUR)) << c.demand;
    }
}

TEST_F(HeatCurveTest, OnlyTheCurvesInputsRedrawIt) {
    given();
    open(FormHeatCurve::STATE_ID, ITC);
    const struct {
        const char* change;
        oid_t oid;
        vid_t vid;
        int value;
        bool redraw;
    } cases[] = {
        {"the function's maximum inlet", ITC, 0x8064, 6000, true},
        {"the function's inlet temperature", ITC, 0x003E, 3000, false},
        {"the outdoor temperature", OID_LOCATION, 0x0028, -300, true},
        {"another location value", OID_LOCATION, 0x0036, -300, false},
        {"a listed room's desired, a new highest", LIVING, 0x001D, 2300, true},
        {"a listed room's desired, extremes kept", HALL, 0x001D, 2050, false},
        {"a room of no concern", ELSEWHERE, 0x001D, 1000, false},
        {"the function's source demand", ITC, 0x0039, 0, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(redraws(c.oid, c.vid, c.value), c.redraw) << c.change;
    }
    bool listRedraws = false;
    for (const Box& flipped : flipsAfter([] { ObjectBuilder(ITC).oids(0x80B8, {BEDROOM}); })) {
        listRedraws = listRedraws || flipped.intersects(chartBox());
    }
    EXPECT_TRUE(listRedraws) << "the room list";
}

TEST_F(HeatCurveTest, ValuesWithoutAValidValueCountAsAbsent) {
    given();
    ObjectBuilder(ITC).invalid(0x8064).invalid(0x003D);
    FormHeatCurve::HeatCurveParams p;
    ASSERT_TRUE(FormHeatCurve::fillCurveParams(*Structure.find(ITC), p));
    EXPECT_EQ(p.maxInlet, 0);
    EXPECT_EQ(p.curve, 0);
    EXPECT_EQ(p.minInlet, 2000);
    EXPECT_EQ(p.outdoor, 520);
    open(FormHeatCurve::STATE_ID, ITC); // and it draws
    EXPECT_EQ(screen()->getName(), "FormHeatCurve");
}

TEST_F(HeatCurveTest, AClosedScreenHearsNothingAndAnotherObjectHasNoCurve) {
    given();
    object(0x06000316, BT_OBJ_OUTPUT, 7);
    open(11);
    open(FormHeatCurve::STATE_ID, ITC);
    open(11);
    receive(ITC, 0x8064, 6000);
    receive(OID_LOCATION, 0x0028, 100);
    runTasks(2);
    EXPECT_EQ(screen()->getName(), "FormSystem");
    FormHeatCurve::HeatCurveParams untouched;
    EXPECT_FALSE(FormHeatCurve::fillCurveParams(*Structure.find(0x06000316), untouched));
}

} // namespace
} // namespace tdx::test
