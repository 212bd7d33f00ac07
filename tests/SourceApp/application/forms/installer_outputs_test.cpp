// The installer's editors of hot water, its tank, analog outputs, outputs under manual control and the
// district-heating unit: what they show of the installation and what the control unit receives from them.
#include "Libraries/base/fmt.h"
#include "SourceApp/application/commands/bindings/ProxyUpDownRow.h"
#include "SourceApp/application/controls/AnalogChart.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/SwitchButton.h"
#include "SourceApp/application/controls/UpDown.h"
#include "SourceApp/application/forms/installer/FormDHWTankEdit.h"
#include "SourceApp/application/forms/installer/FormMireloService.h"
#include "SourceApp/application/forms/installer/FormOutput.h"
#include "SourceApp/gui/core/layout/Viewport.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace tdx::test {
namespace {

constexpr unsigned DHW_EDIT = 36;
constexpr unsigned OUTPUT = 37;
constexpr unsigned ANALOG_EDIT = 69;
constexpr unsigned MIRELO_EDIT = 73;
constexpr unsigned MIRELO_SERVICE = 74;
constexpr unsigned TANK_EDIT = 75;
constexpr unsigned HOME = 9;

constexpr oid_t HOT_WATER = 0x0A000316;
constexpr oid_t TANK = 0x0B000316;
constexpr oid_t PUMP = 0x11000316; // a relay under manual control
constexpr oid_t ANALOG = 0x12000316;
constexpr oid_t OTHER = 0x07000316;
constexpr vid_t REQUEST = FormOutput::VID_REQUEST;

class InstallerOutputsTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        object(0, BT_OBJ_LOCATION); // somewhere to go back to: the home screen
        open(HOME);
    }

    void openAnalog(oid_t oid, const std::string& title = "Circuit | Analog output") {
        mCore.changeState(SingleParamState<std::string>(ANALOG_EDIT, oid, 0, 0, 0, title));
        runTasks(2);
    }
    static std::string titleOf(const ProxyUpDownRow& row) {
        return static_cast<const ContainedLabel*>(row.getChildren().front())->getText();
    }
    // The visible up-down rows' titles, top to bottom.
    std::vector<std::string> upDownTitles() const {
        std::vector<std::string> titles;
        for (ProxyUpDownRow* row : findAll<ProxyUpDownRow>()) {
            if (row->isGloballyVisible()) {
                titles.push_back(titleOf(*row));
            }
        }
        return titles;
    }
    ProxyUpDownRow* upDown(const std::string& title) const {
        return find<ProxyUpDownRow>([&title](const ProxyUpDownRow& row) { return titleOf(row) == title; });
    }
    // Scrolls the content so that the component shows at the top, as the user scrolls to it.
    void showRow(const Component* c) {
        auto* viewport = find<Viewport>();
        viewport->setVerticalPosition(c->getTop() - viewport->getContent()->getTop());
        runTasks();
    }
    void tapShown(const Component* c) {
        showRow(c);
        tap(c);
    }
    // Taps the row's up (or down) arrow n times, then lets its commit delay pass.
    void step(const std::string& title, int n, bool up = true) {
        ProxyUpDownRow* row = upDown(title);
        ASSERT_NE(row, nullptr) << title;
        showRow(row);
        const Component* arrow = row->getUpDown()->getChildren().at(up ? 1 : 0);
        for (int i = 0; i < n; ++i) {
            tap(arrow);
            tick();
        }
        wait(ProxyUpDownRow::COMMIT_DELAY_MS + 200);
    }
    SwitchButton* outputSwitch() const { return find<SwitchButton>(); }
};

// ---- Hot water ----

TEST_F(InstallerOutputsTest, HotWaterStepsStayWithinTheirBand) {
    object(HOT_WATER, BT_OBJ_DHW)
        .text(VID_NAME, "Hot water")
        .value(0x0031, 5000)
        .value(0x8092, 3500)
        .value(0x8093, 6000)
        .value(0x8094, 5000);
    const struct {
        const char* row;
        int taps;
        bool up;
        vid_t vid;
        int written;
    } cases[] = {
        {"Set temperature", 15, true, 0x8094, 6000},     // up to the highest
        {"Set temperature", 30, false, 0x8094, 3500},    // down to the lowest
        {"Lowest temperature", 30, true, 0x8092, 6000},  // not past the highest
        {"Highest temperature", 40, false, 0x8093, 3500} // not below the lowest
    };
    for (const auto& c : cases) {
        receive(HOT_WATER, 0x8092, 3500);
        receive(HOT_WATER, 0x8093, 6000);
        receive(HOT_WATER, 0x8094, 5000);
        open(DHW_EDIT, HOT_WATER);
        const size_t before = published().size();
        step(c.row, c.taps, c.up);
        ASSERT_EQ(published().size(), before + 1) << c.row;
        EXPECT_EQ(published().back(), PublishedValue(HOT_WATER, c.vid, c.written)) << c.row;
    }
    EXPECT_NE(findByText("DHW | Hot water"), nullptr);
    EXPECT_NE(findByText("50\u00B0"), nullptr) << "the desired temperature in whole degrees";
}

// ---- Tank ----

TEST_F(InstallerOutputsTest, TheTankStatusShowsTickHeatingOrNothing) {
    object(TANK, BT_OBJ_DHW_TANK).text(VID_NAME, "Tank").value(0x0060, 0);
    open(TANK_EDIT, TANK);
    auto* icon = find<MultiIcon>();
    ASSERT_NE(icon, nullptr);
    const struct {
        int status;
        signed char index;
    } cases[] = {{0, 0}, {1, 1}, {2, 2}, {5, 2}, {127, 2}, {200, -1}, {255, -1}};
    for (const auto& c : cases) {
        receive(TANK, 0x0060, c.status);
        runTasks();
        EXPECT_EQ(icon->getIconIndex(), c.index) << c.status;
    }
    EXPECT_TRUE(published().empty());
}

TEST_F(InstallerOutputsTest, TheCleaningTimeIsReadOnlyFromAWholeEvent) {
    const struct {
        const char* stored;
        std::vector<uint8_t> bytes;
        WeekdayEvent shown;
    } cases[] = {
        {"none", {}, FormDHWTankEdit::DEFAULT_CLEANING},
        {"one byte", {0xDE}, FormDHWTankEdit::DEFAULT_CLEANING},
        {"two bytes", {0xDE, 0x40}, WeekdayEvent(0, 2, 3, 30)},
        {"three bytes", {0xDE, 0x40, 0x00}, FormDHWTankEdit::DEFAULT_CLEANING},
    };
    for (const auto& c : cases) {
        ObjectBuilder tank = object(TANK, BT_OBJ_DHW_TANK);
        if (!c.bytes.empty()) {
            tank.data(0x811A, c.bytes);
        }
        EXPECT_EQ(FormDHWTankEdit::cleaningTime(tank.object()), c.shown) << c.stored;
        Structure.remove(TANK);
    }
}

TEST_F(InstallerOutputsTest, AnAcceptedCleaningTimeIsWrittenAsItsTwoBytesWhileTheTankIsThere) {
    object(TANK, BT_OBJ_DHW_TANK).text(VID_NAME, "Tank");
    open(TANK_EDIT, TANK);
    auto* row = find<EditableWeekdayEventPickerRow>();
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->getWeekdayEvent(), FormDHWTankEdit::DEFAULT_CLEANING);
    row->setWeekdayEvent(WeekdayEvent(0, 2, 3, 30)); // Wednesday 03:30, weekly
    FormDHWTankEdit::ChangeWeekdayEvent(row, TANK).execute();
    EXPECT_EQ(published(), (Published{{TANK, 0x811A, std::string("\xDE\x40", 2)}}));
    FormDHWTankEdit::ChangeWeekdayEvent(row, 0x2B000316).execute(); // gone
    EXPECT_EQ(published().size(), 1u);
    for (const auto* group : findAll<DropdownButton>()) {
        EXPECT_FALSE(group->isOpen()) << "both groups closed at first";
    }
}

// ---- Output under manual control ----

class OutputScreenTest : public InstallerOutputsTest {
protected:
    void givenOutput(int value, std::optional<int> request, int low = 0, int high = 10000) {
        ObjectBuilder output = object(PUMP, BT_OBJ_OUTPUT, 10);
        output.text(VID_NAME, "Circulation pump").value(0x80E7, 1).value(0x004C, value);
        output.value(0x80A1, BT_VTYPE_S16_X100, low).value(0x80A2, BT_VTYPE_S16_X100, high);
        if (request) {
            output.value(REQUEST, BT_VTYPE_S16_X100, *request);
        }
        runTasks();
    }
};

TEST_F(OutputScreenTest, OpeningOrTheControlUnitMovingTheSwitchWritesNothing) {
    givenOutput(10000, std::nullopt);
    open(OUTPUT, PUMP);
    EXPECT_NE(findByText("Output | Circulation pump"), nullptr);
    ASSERT_TRUE(outputSwitch()->getChecked());
    for (const int reported : {0, 10000, 32767, 0}) {
        receive(PUMP, 0x004C, reported);
        runTasks(2);
        EXPECT_EQ(outputSwitch()->getChecked(), reported == 10000) << reported;
    }
    EXPECT_TRUE(published().empty());
}

TEST_F(OutputScreenTest, AFlipAsksForTheSourceValueOnlyWhenItIsValidAndNotThereYet) {
    const struct {
        const char* story;
        int value;                  // 0x004C when opened
        std::optional<int> request; // 0x80F0 when opened
        int low;
        int high;
        Published written;
        bool gone = false;
    } cases[] = {
        {"on, no request yet", 0, std::nullopt, 0, 10000, {{PUMP, REQUEST, 10000}}},
        {"off, no request yet", 10000, std::nullopt, 0, 10000, {{PUMP, REQUEST, 0}}},
        {"on, asked already", 0, 10000, 0, 10000, {}},
        {"off, asked already", 10000, 0, 0, 10000, {}},
        {"on, from the low request", 0, 0, 0, 10000, {{PUMP, REQUEST, 10000}}},
        {"on, no valid maximum", 0, 0, 0, 32767, {}},
        {"off, no valid minimum", 10000, 10000, 32767, 10000, {}},
        {"the output gone before the flip", 0, std::nullopt, 0, 10000, {}, true},
    };
    for (const auto& c : cases) {
        givenOutput(c.value, c.request, c.low, c.high);
        open(OUTPUT, PUMP);
        const size_t before = published().size();
        SwitchButton* flip = outputSwitch();
        if (c.gone) {
            Structure.remove(PUMP);
        }
        tap(flip);
        runTasks(2);
        const Published all = published();
        EXPECT_EQ(Published(all.begin() + static_cast<long>(before), all.end()), c.written) << c.story;
        Structure.remove(PUMP);
        runTasks();
    }
}

// A flip that could ask the control unit for nothing leaves the switch where the output stands; a flip that
// asked keeps the user's position until the unit reports the output.
TEST_F(OutputScreenTest, AFlipThatAsksNothingShowsTheOutputAgain) {
    const struct {
        const char* story;
        int value; // 0x004C
        int low;
        int high;
        bool gone;
        bool shown;
    } cases[] = {
        {"on, no valid maximum", 0, 0, 32767, false, false},
        {"off, no valid minimum", 10000, 32767, 10000, false, true},
        {"on, asked for the maximum", 0, 0, 10000, false, true},
        {"off, asked for the minimum", 10000, 0, 10000, false, false},
        {"on, the output gone before the flip", 0, 0, 10000, true, false},
    };
    for (const auto& c : cases) {
        givenOutput(c.value, std::nullopt, c.low, c.high);
        open(OUTPUT, PUMP);
        SwitchButton* flip = outputSwitch();
        ASSERT_EQ(flip->getChecked(), c.value != 0) << c.story;
        if (c.gone) {
            Structure.remove(PUMP);
        }
        tap(flip);
        runTasks(2);
        EXPECT_EQ(flip->getChecked(), c.shown) << c.story;
        Structure.remove(PUMP);
        runTasks();
    }
}

TEST_F(InstallerOutputsTest, AScreenWithoutItsObjectSendsTheUserBack) {
    object(TANK, BT_OBJ_DHW_TANK);
    for (const unsigned state : {OUTPUT, DHW_EDIT, ANALOG_EDIT, MIRELO_EDIT}) {
        for (const oid_t oid : {TANK, 0x3F000316u}) {
            open(state, oid);
            runTasks(2);
            EXPECT_EQ(this->state().getStateId(), HOME) << state << " " << std::hex << oid;
        }
    }
    object(PUMP, BT_OBJ_OUTPUT, 10);
    for (const unsigned state : {TANK_EDIT, ANALOG_EDIT}) { // the analog editor without its heading
        open(state, PUMP);
        runTasks(2);
        EXPECT_EQ(this->state().getStateId(), HOME) << state;
    }
}

// ---- Analog output ----

class AnalogTest : public InstallerOutputsTest {
protected:
    ObjectBuilder analog(std::optional<int> function) {
        ObjectBuilder output = object(ANALOG, BT_OBJ_OUTPUT, 2);
        output.text(VID_NAME, "Circuit 0-10 V").invalid(0x004C);
        if (function) {
            output.value(0x80E7, *function);
        }
        return output;
    }
    // Whether the curve passes near the chart's data point (hundredths of a degree and of a volt).
    bool curveAt(int x, int y) const {
        const AnalogChart* chart = find<AnalogChart>();
        const Box& b = chart->getBoundingBox();
        const Box plot = Box::fromCorners(b.x1 + Chart::INSET_LEFT, b.y1 + Chart::INSET_TOP,
                                          b.x2 - Chart::INSET_RIGHT, b.y2 - Chart::INSET_BOTTOM);
        const int px = plot.x1 + x * (plot.getWidth() - 1) / 8000;
        const int py = plot.y2 - y * (plot.getHeight() - 1) / 1000;
        return countColour(Box::fromCorners(px - 1, py - 1, px + 1, py + 1), colour::ACCENT) > 0;
    }
};

TEST_F(AnalogTest, TheFunctionChoosesTheRowsOnce) {
    const std::vector<std::string> service = {"Service value"};
    const struct {
        std::optional<int> function;
        bool chart;
        std::vector<std::string> rows;
    } cases[] = {
        {std::nullopt, false, service},
        {0, false, service},
        {1, false, service},
        {7, false, {"Cooling voltage", "Heating voltage", "Idle voltage", "Service value"}},
        {8,
         true,
         {"Temperature threshold", "Temperature", "Voltage", "Temperature", "Voltage", "Delay start",
          "Delay stop", "Service value"}},
    };
    for (const auto& c : cases) {
        analog(c.function);
        openAnalog(ANALOG);
        const std::string which = c.function ? std::to_string(*c.function) : "none";
        EXPECT_EQ(upDownTitles(), c.rows) << which;
        EXPECT_EQ(find<AnalogChart>() != nullptr, c.chart) << which;
        EXPECT_NE(findByText("Service mode"), nullptr) << which;
        EXPECT_NE(findByText("Circuit | Analog output"), nullptr) << which;
        open(HOME);
        Structure.remove(ANALOG);
    }
    analog(7);
    openAnalog(ANALOG);
    receive(ANALOG, 0x80E7, 8);
    runTasks(2);
    EXPECT_EQ(find<AnalogChart>(), nullptr) << "built once";
}

TEST_F(AnalogTest, FixedVoltagesBoundEachOther) {
    analog(7).value(0x80F8, 300).value(0x80F7, 700);
    openAnalog(ANALOG);
    step("Cooling voltage", 45);
    EXPECT_EQ(published().back(), PublishedValue(ANALOG, 0x80F8, 700));
    step("Heating voltage", 45, false);
    EXPECT_EQ(published().size(), 1u) << "the heating voltage cannot go below the cooling voltage";
    receive(ANALOG, 0x80F8, 300);
    step("Heating voltage", 45, false);
    EXPECT_EQ(published().back(), PublishedValue(ANALOG, 0x80F7, 300));
}

TEST_F(AnalogTest, TheCurveAsItsValuesDrawItAndNoLineWhereTheyMakeNone) {
    // The chart's upper half shows under the rows above it. (20 degC, 2 V) to (60 degC, 10 V) gives 0 V at 10
    // degC; points are (hundredths of a degree, hundredths of a volt).
    using Points = std::vector<std::pair<int, int>>;
    const struct {
        const char* story;
        std::array<int, 5> values; // threshold, T1, T2, U1, U2
        Points on, off;
    } cases[] = {
        {"a jump at the threshold",
         {3900, 2000, 6000, 200, 1000},
         {{3900, 450}, {4000, 600}, {7000, 1000}},
         {}},
        {"0 V up to the crossing", {500, 2000, 6000, 200, 1000}, {{4000, 600}, {7000, 1000}}, {{3900, 450}}},
        {"10 V only at 100 degC", {0, 0, 10000, 0, 1000}, {{6000, 600}, {7990, 799}}, {{7990, 1000}}},
        {"equal temperatures: no line", {1000, 4000, 4000, 200, 1000}, {}, {{7000, 1000}, {4000, 600}}},
        {"equal voltages: no line", {1000, 2000, 6000, 500, 500}, {}, {{7000, 1000}, {4000, 500}}},
    };
    for (const auto& c : cases) {
        ObjectBuilder output = analog(8);
        const vid_t vids[] = {0x80A3, 0x80A1, 0x80A2, 0x80F8, 0x80F7};
        for (size_t i = 0; i < c.values.size(); ++i) {
            output.value(vids[i], c.values[i]);
        }
        openAnalog(ANALOG);
        for (const auto& [x, y] : c.on) {
            EXPECT_TRUE(curveAt(x, y)) << c.story << " at " << x << ", " << y;
        }
        for (const auto& [x, y] : c.off) {
            EXPECT_FALSE(curveAt(x, y)) << c.story << " at " << x << ", " << y;
        }
        const size_t before = published().size();
        step("Temperature threshold", 1);
        EXPECT_EQ(published().size(), before + 1) << c.story << ": the screen stays usable";
        Structure.remove(ANALOG);
        open(HOME);
    }
}

// With points 20 degC / 0 V and 60 degC / 10 V, a voltage marks its temperature on the line; an unknown one
// marks nothing (its stand-in would put a point at 10 V, near 20 degC).
TEST_F(AnalogTest, TheWorkingPointMarksAKnownVoltageOnly) {
    const struct {
        std::optional<int> voltage;
        std::optional<std::pair<int, int>> marked; // (hundredths of a degree, of a volt)
    } cases[] = {
        {std::nullopt, std::nullopt},
        {500, std::pair{4000, 500}},
        {800, std::pair{5200, 800}},
        {std::nullopt, std::nullopt},
    };
    analog(8).value(0x80A1, 2000).value(0x80A2, 6000).value(0x80F8, 0).value(0x80F7, 1000);
    openAnalog(ANALOG);
    const AnalogChart* chart = find<AnalogChart>();
    ASSERT_NE(chart, nullptr);
    const Box b = chart->getBoundingBox();
    const Box plot = Box::fromCorners(b.x1 + Chart::INSET_LEFT, b.y1 + Chart::INSET_TOP,
                                      b.x2 - Chart::INSET_RIGHT, b.y2 - Chart::INSET_BOTTOM);
    for (const auto& c : cases) {
        const std::string story = c.voltage ? std::to_string(*c.voltage) : "unknown";
        if (c.voltage) {
            receive(ANALOG, 0x004C, *c.voltage);
        } else {
            ObjectBuilder(ANALOG).invalid(0x004C);
        }
        runTasks(2);
        const Box shown = b.intersect(find<Viewport>()->getBoundingBox());
        if (!c.marked) {
            EXPECT_EQ(countColour(shown, colour::TEXT), 0) << story << ": no marker";
            continue;
        }
        const int x = plot.x1 + c.marked->first * (plot.getWidth() - 1) / 8000;
        const int y = plot.y2 - c.marked->second * (plot.getHeight() - 1) / 1000;
        EXPECT_GT(countColour(Box(x - 1, y - 1, 3, 3), colour::TEXT), 0) << story;
    }
    EXPECT_TRUE(published().empty());
}

TEST_F(AnalogTest, TheChartRedrawsForItsOwnCurveValuesOnly) {
    analog(8).value(0x80A1, 2000).value(0x80A2, 6000).value(0x80F8, 200).value(0x80F7, 1000);
    object(OTHER, BT_OBJ_OUTPUT, 8).value(0x80A1, 2000);
    openAnalog(ANALOG);
    const Box chart = find<AnalogChart>()->getBoundingBox();
    const auto redraws = [&](oid_t oid, vid_t vid, int value) {
        for (const Box& flip : flipsAfter([&] { receive(oid, vid, value); })) {
            if (flip.intersects(chart)) {
                return true;
            }
        }
        return false;
    };
    EXPECT_FALSE(redraws(OTHER, 0x80A1, 3000)) << "another output";
    EXPECT_FALSE(redraws(ANALOG, 0x80A6, 4000)) << "the service value";
    EXPECT_TRUE(redraws(ANALOG, 0x80A1, 2500));
    EXPECT_TRUE(redraws(ANALOG, 0x004C, 600)) << "the working point";
    open(HOME);
    receive(ANALOG, 0x80A1, 2200); // heard by nobody once the screen has gone
    runTasks(2);
}

// ---- District-heating unit ----

TEST_F(InstallerOutputsTest, TheUnitsScheduleAndAdvancedRowsAreReadOnly) {
    const struct {
        std::optional<int> schedule;
        const char* shown;
    } cases[] = {{std::nullopt, "Manual"}, {2, "Comfort"}, {0x0103, "User"}, {4, "--"}};
    for (const auto& c : cases) {
        ObjectBuilder unit = object(HOT_WATER, BT_OBJ_DHW);
        unit.text(VID_NAME, "Mirelo");
        if (c.schedule) {
            unit.value(0xF017, BT_VTYPE_U16, *c.schedule);
        }
        open(MIRELO_EDIT, HOT_WATER);
        auto* schedule = find<EditableDropdownRow>();
        ASSERT_NE(schedule, nullptr);
        EXPECT_EQ(schedule->getSelectedItem() ? schedule->getSelectedItem()->getTitle() : "--", c.shown);
        EXPECT_FALSE(schedule->isEnabled());
        Structure.remove(HOT_WATER);
    }
    object(HOT_WATER, BT_OBJ_DHW).text(VID_NAME, "Mirelo");
    open(MIRELO_EDIT, HOT_WATER);
    tapShown(find<DropdownButton>());
    for (const char* row : {"Bypass type", "Reset to factory default"}) {
        const Component* c = findByText(row);
        ASSERT_NE(c, nullptr) << row;
        EXPECT_FALSE(c->isEnabled()) << row;
    }
    for (SwitchButton* toggle : findAll<SwitchButton>()) {
        EXPECT_FALSE(toggle->isEnabled());
    }
    for (UpDownBase* temperature : findAll<UpDownBase>()) {
        EXPECT_FALSE(temperature->isEnabled());
    }
    EXPECT_EQ(findAll<UpDownBase>().size(), 4u);
    EXPECT_TRUE(published().empty());
    tapShown(findByText("Service"));
    EXPECT_EQ(state().getStateId(), MIRELO_SERVICE);
    EXPECT_EQ(state().getP1(), 0u);
}

Form* withService(unsigned previous, unsigned next, const State& state);

// A row the installer cannot change reads so at a glance, as the disabled dropdown row "Bypass type" does:
// nothing in it is drawn black, and its caption and control are drawn in the disabled grey.
TEST_F(InstallerOutputsTest, DisabledSwitchAndUpDownRowsLookDisabledAsTheDisabledDropdownRowDoes) {
    auto expectReadsDisabled = [](const Component& control, const std::string& what) {
        const Container* row = control.getParent();
        ASSERT_NE(row, nullptr) << what;
        const Box box = row->getVisibleBox();
        ASSERT_FALSE(box.isEmpty()) << what;
        EXPECT_EQ(countNear(box, colour::TEXT), 0) << what << ": black ink in a disabled row";
        const Component* caption = row->getChildren().front();
        EXPECT_GT(countNear(caption->getVisibleBox(), colour::DISABLED), 0) << what << ": caption";
        EXPECT_GT(countNear(control.getVisibleBox(), colour::DISABLED), 0) << what << ": control";
    };
    object(HOT_WATER, BT_OBJ_DHW).text(VID_NAME, "Mirelo");
    open(MIRELO_EDIT, HOT_WATER);
    tapShown(find<DropdownButton>());
    std::vector<const Component*> controls;
    controls.push_back(find<EditableDropdownRow>([](const EditableDropdownRow& r) {
        return r.getSelectedItem() != nullptr && r.getSelectedItem()->getTitle() == "Circulation";
    }));
    for (UpDownBase* temperature : findAll<UpDownBase>()) {
        controls.push_back(temperature);
    }
    for (SwitchButton* toggle : findAll<SwitchButton>()) {
        controls.push_back(toggle);
    }
    ASSERT_EQ(controls.size(), 8u);
    for (const Component* control : controls) {
        auto* framed = static_cast<VexalForm*>(screen());
        framed->scrollTo(control, FOCUS_TOP, control->getParent()->getTop(),
                         control->getParent()->getBottom());
        runTasks(2);
        const std::string what = textOf(*control->getParent()->getChildren().front()).value_or("a row");
        if (control == controls.front()) {
            // The dropdown row is its own row: its title is the caption.
            EXPECT_EQ(countNear(control->getVisibleBox(), colour::TEXT), 0) << "Bypass type";
            continue;
        }
        expectReadsDisabled(*control, what);
    }

    setRegistry(&withService);
    open(MIRELO_SERVICE);
    for (DropdownButton* group : findAll<DropdownButton>()) {
        tapShown(group);
    }
    for (SwitchButton* toggle : findAll<SwitchButton>()) {
        static_cast<VexalForm*>(screen())->scrollTo(toggle, FOCUS_TOP, toggle->getParent()->getTop(),
                                                    toggle->getParent()->getBottom());
        runTasks(2);
        expectReadsDisabled(*toggle, textOf(*toggle->getParent()->getChildren().front()).value_or("a row"));
    }
}

Form* withService(unsigned previous, unsigned next, const State& state) {
    return next == MIRELO_SERVICE ? new FormMireloService(state) : AppChangeState(previous, next, state);
}

TEST_F(InstallerOutputsTest, TheServiceScreenShowsNoReadingsAndNoManualOperation) {
    setRegistry(&withService);
    open(MIRELO_SERVICE);
    for (DropdownButton* group : findAll<DropdownButton>()) {
        tapShown(group);
    }
    for (const char* reading : {"Primary inlet temperature", "Volume flow"}) {
        const Component* name = findByText(reading);
        ASSERT_NE(name, nullptr) << reading;
        const auto& row = name->getParent()->getChildren();
        EXPECT_EQ(textOf(*row.back()), "--") << reading;
    }
    for (SwitchButton* toggle : findAll<SwitchButton>()) {
        EXPECT_FALSE(toggle->isEnabled());
        EXPECT_FALSE(toggle->getChecked());
    }
    EXPECT_TRUE(published().empty());
}

// The unit takes no calibration from the display: its link reads disabled and a tap on it, or on its row's
// arrow, leaves the user on the service screen with nothing sent.
TEST_F(InstallerOutputsTest, TheCalibrateServoLinkLeadsNowhereAndSendsNothing) {
    setRegistry(&withService);
    open(MIRELO_SERVICE);
    const std::size_t depth = historyDepth();
    for (DropdownButton* group : findAll<DropdownButton>()) {
        tapShown(group);
    }
    auto* link = find<NavigationLink>(
        [](const NavigationLink& l) { return textOf(l) == std::optional<std::string>("Calibrate servo"); });
    ASSERT_NE(link, nullptr);
    EXPECT_FALSE(link->isEnabled());
    showRow(link);
    const Box box = link->getVisibleBox();
    const struct {
        const char* where;
        int x;
    } taps[] = {{"caption", box.x1 + 20}, {"arrow", box.x2 - 10}};
    for (const auto& t : taps) {
        tap(t.x, box.y1 + box.getHeight() / 2);
        runTasks(2);
        EXPECT_EQ(state().getStateId(), MIRELO_SERVICE) << t.where;
        EXPECT_EQ(historyDepth(), depth) << t.where;
        EXPECT_EQ(messages(MSG_CLICK, link), 0) << t.where;
        EXPECT_EQ(countNear(box, colour::TEXT), 0) << t.where << ": drawn as disabled";
    }
    EXPECT_TRUE(published().empty());
}

// ---- Pictures ----

TEST_F(DefaultInstallationTest, InstallerOutputScreens) {
    static const char* const LANGUAGES[] = {"en", "da", "cs", "nl"};
    constexpr int PAGE = 170;
    // Every one-line label shows its text whole.
    const auto expectNoLabelCut = [this](const std::string& picture) {
        const Viewport* viewport = find<Viewport>();
        for (ContainedLabel* label : findAll<ContainedLabel>()) {
            // A name longer than its row's value column is cut as in every name row; a label that the
            // viewport shows in part is not judged.
            const bool name = find<EditableStringRow>([label](const EditableStringRow& row) {
                                  return label->isChildOf(&row);
                              }) != nullptr;
            const Box& whole = label->getBoundingBox();
            const bool inPart =
                label->isChildOf(viewport) && viewport->getBoundingBox().intersect(whole) != whole;
            if (!label->isGloballyVisible() || name || inPart || label->getText().empty()) {
                continue;
            }
            expectWhole(*label, picture);
        }
    };
    useCatalogues();
    loadDefaultInstallation();
    setRegistry(&withService);
    runTasks();
    const auto openGroups = [this] {
        for (DropdownButton* group : findAll<DropdownButton>()) {
            group->setCollapsed(true, false);
        }
        runTasks(2);
    };
    const struct {
        const char* name;
        std::function<void()> show;
    } screens[] = {
        {"FormDhwEdit", [this] { open(DHW_EDIT, HOT_WATER); }},
        {"FormDHWTankEdit", [this] { open(TANK_EDIT, TANK); }},
        {"FormOutput", [this] { open(OUTPUT, PUMP); }},
        {"FormAnalogEdit",
         [this] {
             mCore.changeState(SingleParamState<std::string>(
                 ANALOG_EDIT, ANALOG, 0, 0, 0,
                 fmt_gettext("System | Hardware profile | Configuration | %s", "Analog output")));
             runTasks(2);
         }},
        {"FormAnalogEdit_fixed",
         [this] {
             mCore.changeState(SingleParamState<std::string>(
                 ANALOG_EDIT, OTHER, 0, 0, 0,
                 fmt_gettext("System | Hardware profile | Configuration | %s", "Analog output")));
             runTasks(2);
         }},
        {"FormMireloEdit", [this] { open(MIRELO_EDIT, HOT_WATER); }},
        {"FormMireloService", [this] { open(MIRELO_SERVICE); }},
    };
    for (uint8_t language = 0; language < 4; ++language) {
        speak(language);
        for (const auto& s : screens) {
            s.show();
            const std::string name =
                language == 0 ? std::string(s.name) : std::string(s.name) + "_" + LANGUAGES[language];
            EXPECT_EQ(screen()->getName(), std::string(s.name).substr(0, std::string(s.name).find('_')));
            screenshot(name);
            expectNoLabelCut(name);
            expectTranslated(name);
            // The groups open, page by page, for a person to look at every row.
            openGroups();
            auto* viewport = find<Viewport>();
            for (int page = 1; (page - 1) * PAGE < viewport->getMaxVerticalPosition(); ++page) {
                viewport->setVerticalPosition(page * PAGE);
                runTasks();
                screenshot(name + "_" + std::to_string(page + 1));
                expectNoLabelCut(name + "_" + std::to_string(page + 1));
                expectTranslated(name + "_" + std::to_string(page + 1));
            }
        }
    }
}

} // namespace
} // namespace tdx::test
