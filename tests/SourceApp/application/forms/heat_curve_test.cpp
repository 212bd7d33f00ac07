// The heat curve: its arithmetic, the curves it draws for each place of the cut-off and the working point by
// their pixels, which changes redraw it, and the values it ignores.
#include "SourceApp/application/commands/bindings/RoomController.h"
#include "SourceApp/application/controls/HeatCurveChart.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/application/forms/installer/FormHeatCurve.h"
#include "tests/SourceApp/application/forms/function_editors_fixture.h"
#include "tests/support/heat_chart_pixels.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace tdx::test {
namespace {

constexpr oid_t ITC = 0x08000316;
constexpr oid_t HCC = 0x09000316;
constexpr oid_t LIVING = 0x01000316;
constexpr oid_t BEDROOM = 0x02000316;
constexpr oid_t HALL = 0x04000316;
constexpr oid_t ELSEWHERE = 0x03000316;

constexpr unsigned RED = FormHeatCurve::ACTIVE_COLOUR;
constexpr unsigned GREY = FormHeatCurve::ROOM_COLOUR;

// A corner of a curve as the chart shows it (outdoor, inlet in hundredths of a degree), and whether the
// chart writes "inlet°/ outdoor°" beside it.
struct Corner {
    int outdoor;
    int inlet;
    bool labelled = false;
};

// How far a pixel lies from the line between two others, in pixels.
double distance(Point p, Point a, Point b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length = dx * dx + dy * dy;
    const double t = length == 0 ? 0 : std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

double distance(Point p, const std::vector<Corner>& curve) {
    double nearest = 1e9;
    for (size_t i = 0; i + 1 < curve.size(); ++i) {
        nearest = std::min(nearest, distance(p, heatPixel(curve[i].outdoor, curve[i].inlet),
                                             heatPixel(curve[i + 1].outdoor, curve[i + 1].inlet)));
    }
    return nearest;
}

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
    // The centre of the working point's black disc: the only black in and around the plot (the curves'
    // labels take their curve's colour, the axes' numbers are grey). None when no disc shows.
    static std::optional<Point> workingPoint() {
        Box disc = Box::fromCorners(W, H, -1, -1);
        // The disc's radius of 3 around a point on the plot's edge reaches outside it.
        for (int y = HEAT_PLOT.y1 - 3; y <= HEAT_PLOT.y2 + 3; ++y) {
            for (int x = HEAT_PLOT.x1 - 3; x <= HEAT_PLOT.x2 + 3; ++x) {
                if (pixel(x, y) == colour::TEXT) {
                    disc = Box::fromCorners(std::min(disc.x1, x), std::min(disc.y1, y), std::max(disc.x2, x),
                                            std::max(disc.y2, y));
                }
            }
        }
        if (disc.x1 > disc.x2) {
            return std::nullopt;
        }
        return Point{(disc.x1 + disc.x2) / 2, (disc.y1 + disc.y2) / 2};
    }
    // Whether the colour shows in the 5 x 5 pixels around the data point.
    static bool near(int outdoor, int inlet, unsigned colour) {
        const Point p = heatPixel(outdoor, inlet);
        return shows(Box(p.x - 2, p.y - 2, 5, 5), colour);
    }
    // The chart draws the curve in the colour and nothing else of it: the line passes within a pixel of every
    // point along each edge, no pixel near that colour inside the plot lies more than two pixels off the line
    // (the axes' own grey lines aside) but those of a label beside a labelled corner, and each labelled
    // corner has one.
    void expectCurve(unsigned colour, const std::vector<Corner>& curve, const std::string& what) const {
        for (size_t i = 0; i + 1 < curve.size(); ++i) {
            const Corner& a = curve[i];
            const Corner& b = curve[i + 1];
            for (int step = 0; step <= 20; ++step) {
                const int outdoor = a.outdoor + (b.outdoor - a.outdoor) * step / 20;
                const int inlet = a.inlet + (b.inlet - a.inlet) * step / 20;
                const Point p = heatPixel(outdoor, inlet);
                EXPECT_TRUE(shows(Box(p.x - 1, p.y - 1, 3, 3), colour))
                    << what << ": no line at " << outdoor << "/" << inlet;
            }
        }
        std::vector<int> labelInk(curve.size(), 0);
        int stray = 0;
        for (int y = HEAT_PLOT.y1; y <= HEAT_PLOT.y2; ++y) {
            for (int x = HEAT_PLOT.x1; x <= HEAT_PLOT.x2; ++x) {
                const bool axis = x == HEAT_PLOT.x1 || y == HEAT_PLOT.y2;
                // Labels are anti-aliased: their ink counts in shades near the colour.
                if (countNear(Box(x, y, 1, 1), colour) == 0 || (colour == GREY && axis) ||
                    distance({x, y}, curve) <= 2.0) {
                    continue;
                }
                bool label = false;
                for (size_t i = 0; i < curve.size(); ++i) {
                    const Point corner = heatPixel(curve[i].outdoor, curve[i].inlet);
                    if (curve[i].labelled && std::abs(x - corner.x) <= 50 && std::abs(y - corner.y) <= 16) {
                        ++labelInk[i];
                        label = true;
                        break;
                    }
                }
                stray += label ? 0 : 1;
            }
        }
        EXPECT_EQ(stray, 0) << what << ": pixels off the curve";
        for (size_t i = 0; i < curve.size(); ++i) {
            EXPECT_EQ(labelInk[i] > 0, curve[i].labelled)
                << what << ": label at " << curve[i].outdoor << "/" << curve[i].inlet;
        }
    }
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

// The function's curve from 20 to 55 degrees inlet, between the outdoor temperatures it reaches them at, for
// each place of the cut-off.
TEST_F(HeatCurveTest, EachPlaceOfTheCutOffDrawsItsCurve) {
    const struct {
        const char* story;
        int xAtMin, xAtMax, xCut;
        std::vector<Corner> curve;
    } cases[] = {
        {"cut-off below the maximum: straight up, flat to the end",
         1000,
         -1000,
         -1500,
         {{4000, 0}, {-1500, 0}, {-1500, 5500, true}, {-2000, 5500}}},
        {"cut-off on the slope: up to the slope, then the maximum",
         1000,
         -1000,
         0,
         {{4000, 0}, {0, 0}, {0, 3750, true}, {-1000, 5500, true}, {-2000, 5500}}},
        {"cut-off above the minimum: the flat minimum first",
         1000,
         -1000,
         2000,
         {{4000, 0}, {2000, 0}, {2000, 2000}, {1000, 2000, true}, {-1000, 5500, true}, {-2000, 5500}}},
        {"maximum beyond the end: the end on the slope, not labelled",
         0,
         -3000,
         2000,
         {{4000, 0}, {2000, 0}, {2000, 2000}, {0, 2000, true}, {-2000, 4345}}},
        {"both ends at one point beyond the end: the minimum, labelled at the edge",
         -2500,
         -2500,
         0,
         {{4000, 0}, {0, 0}, {0, 2000}, {-2000, 2000, true}}},
    };
    for (const auto& c : cases) {
        auto* chart = new HeatCurveChart(blank(), 9, 57, 277, 160);
        FormHeatCurve::plot(*chart, 2000, 5500, c.xAtMin, c.xAtMax, c.xCut, true);
        runTasks();
        expectCurve(RED, c.curve, c.story);
        EXPECT_FALSE(
            shows(Box::fromCorners(HEAT_PLOT.x1 + 1, HEAT_PLOT.y1, HEAT_PLOT.x2, HEAT_PLOT.y2 - 1), GREY))
            << c.story << ": no grey curve";
    }
    // A room's curve is grey and has no labels.
    auto* chart = new HeatCurveChart(blank(), 9, 57, 277, 160);
    FormHeatCurve::plot(*chart, 2000, 5500, 1000, -1000, -1500, false);
    runTasks();
    expectCurve(GREY, {{4000, 0}, {-1500, 0}, {-1500, 5500}, {-2000, 5500}}, "a room");
    EXPECT_FALSE(shows(HEAT_PLOT, RED));
}

TEST_F(HeatCurveTest, TheWorkingPointShowsTodaysOutdoorTemperatureOnTheRedCurve) {
    given();
    open(FormHeatCurve::STATE_ID, ITC);
    // Desired room 21.5 degrees, curve 1.2, gain 0.5: inlet 24.6 + 1.2 x (21.5 - outdoor) + 0.9.
    EXPECT_EQ(workingPoint(), heatPixel(520, 4506)) << "the fixture: 5.2 degrees outdoor, 45.06 inlet";
    const Point point = heatPixel(520, 4506);
    EXPECT_TRUE(shows(Box(point.x - 5, point.y - 5, 11, 11), RED)) << "on the red curve";
    const struct {
        const char* what;
        int outdoor;
        std::optional<Point> point;
    } cases[] = {
        {"colder: 54.9 inlet", -300, heatPixel(-300, 5490)},
        {"colder still: held at the maximum inlet", -1500, heatPixel(-1500, 5500)},
        {"just below the cut-off of 20 degrees", 1990, heatPixel(1990, 2742)},
        {"at the cut-off: no heating, no point", 2000, std::nullopt},
        {"warmer", 2500, std::nullopt},
    };
    for (const auto& c : cases) {
        receive(OID_LOCATION, 0x0028, c.outdoor);
        runTasks(2);
        EXPECT_EQ(workingPoint(), c.point) << c.what;
    }
    // A function that demands nothing has no red curve and no working point.
    receive(OID_LOCATION, 0x0028, 520);
    receive(ITC, 0x0039, 0);
    runTasks(2);
    EXPECT_EQ(workingPoint(), std::nullopt);
    EXPECT_FALSE(shows(HEAT_PLOT, RED));
}

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

// A listed room's grey curve stands where the room screen shows the room: at the unit's desired temperature,
// and at the user's change while it waits for the unit, which the unit then derives that temperature from.
// The room's set temperature changed by the unit alone moves nothing.
TEST_F(HeatCurveTest, ARoomsCurveFollowsItsDesiredTemperatureAndTheUsersWaitingChange) {
    given(0); // the function demands nothing: only the rooms' grey curves
    location().value(0x803D, 0).value(0x8085, 0).value(0x8087, 0);
    room(LIVING).value(0x8004, 1).value(0x8005, 0).value(0x801A, 2150); // a fixed mode: 0x801A is set
    open(FormHeatCurve::STATE_ID, ITC);
    const auto drawn = [this] {
        runTasks(2);
        std::vector<unsigned> pixels;
        const Box box = chartBox();
        for (int y = box.y1; y <= box.y2; ++y) {
            for (int x = box.x1; x <= box.x2; ++x) {
                pixels.push_back(pixel(x, y));
            }
        }
        return pixels;
    };
    const std::vector<unsigned> at21 = drawn();
    receive(LIVING, 0x001D, 2400);
    const std::vector<unsigned> at24 = drawn();
    ASSERT_NE(at24, at21) << "the highest room moved";
    receive(LIVING, 0x001D, 2150);
    ASSERT_EQ(drawn(), at21);
    receive(LIVING, 0x801A, 2400);
    EXPECT_EQ(drawn(), at21) << "the unit's set temperature alone, nothing waiting";
    receive(LIVING, 0x801A, 2150);
    RoomController(LIVING).setDesiredTemperature(2400);
    ASSERT_EQ(publishPending(), 1u) << "the change waits for the unit";
    EXPECT_EQ(drawn(), at24) << "the user's change waiting";
    receive(LIVING, 0x001D, 2150);
    EXPECT_EQ(drawn(), at24) << "the unit's desired temperature from before the change, while it waits";
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
    // Without a maximum inlet and a curve the red curve lies on 0 degrees across the chart, and the working
    // point with it: the inlet it would ask for is above that maximum.
    open(FormHeatCurve::STATE_ID, ITC);
    EXPECT_EQ(workingPoint(), heatPixel(520, 0));
    EXPECT_TRUE(near(3500, 0, RED));
    EXPECT_TRUE(near(-1500, 0, RED));
    const int above = heatPixel(0, 2000).y;
    EXPECT_EQ(countColour(Box::fromCorners(HEAT_PLOT.x1, HEAT_PLOT.y1, HEAT_PLOT.x2, above), RED), 0)
        << "nothing red above 20 degrees";
}

TEST_F(HeatCurveTest, AClosedScreenHearsNothingAndAnotherObjectHasNoCurve) {
    given();
    object(0x06000316, BT_OBJ_OUTPUT, 7);
    open(11);
    open(FormHeatCurve::STATE_ID, ITC);
    EXPECT_TRUE(near(-1800, 5500, RED)) << "flat at the maximum inlet of 55 degrees";
    open(11);
    // The system screen stays as it is while the curve's inputs change.
    const std::vector<Box> flipped = flipsAfter([&] {
        receive(ITC, 0x8064, 6000);
        receive(OID_LOCATION, 0x0028, 100);
    });
    EXPECT_TRUE(flipped.empty());
    EXPECT_EQ(screen()->getName(), "FormSystem");
    // Opened again, the curve shows them: flat at 60 degrees, the working point at 1 degree outdoor.
    open(FormHeatCurve::STATE_ID, ITC);
    EXPECT_TRUE(near(-1800, 6000, RED));
    EXPECT_FALSE(near(-1800, 5500, RED));
    EXPECT_EQ(workingPoint(), heatPixel(100, 5010));

    // An output has no curve: the screen goes back to where it came from.
    open(11);
    open(FormHeatCurve::STATE_ID, 0x06000316);
    EXPECT_EQ(screen()->getName(), "FormSystem");
    EXPECT_EQ(state().getStateId(), 11u);
    FormHeatCurve::HeatCurveParams untouched;
    EXPECT_FALSE(FormHeatCurve::fillCurveParams(*Structure.find(0x06000316), untouched));
}

} // namespace
} // namespace tdx::test
