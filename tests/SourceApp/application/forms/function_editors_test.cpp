// The editors of inlet temperature controllers and heating/cooling circuits: which rows each shows for its
// curve type, limiter mode and curve control, what a choice in a dropdown writes and shows, the limits that
// bound each other, and where the links lead.
#include "SourceApp/application/commands/bindings/ProxyUpDownRow.h"
#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/Popup.h"
#include "SourceApp/application/controls/factories/ProxyDropdownFactory.h"
#include "SourceApp/application/forms/installer/FormHccEdit.h"
#include "SourceApp/application/forms/installer/FormHeatCurve.h"
#include "SourceApp/application/forms/installer/FormItcEdit.h"
#include "SourceApp/application/forms/installer/FormItcRooms.h"
#include "SourceApp/gui/core/state/State.h"
#include "SourceApp/storage/values/Catalogue.h"
#include "tests/SourceApp/application/forms/function_editors_fixture.h"

namespace tdx::test {
namespace {

using Rows = std::vector<std::string>;

const Rows ITC_ALWAYS = {"Parallel displacement", "Min. inlet temperature", "Max. inlet temperature", "Gain"};
const Rows DIMENSIONED = {"Dim. inlet temperature", "Dim. outdoor temperature", "Dim. indoor temperature"};

Rows join(Rows a, const Rows& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class ItcEditTest : public FunctionEditorsTest {
protected:
    DropdownButton* curveGroup() const { return headers().at(1); }
    ProxyUpDownRow* upDownRow(const std::string& title) const {
        return find<ProxyUpDownRow>([&](const ProxyUpDownRow& r) { return firstText(&r) == title; });
    }
    // The row's arrows: down at the left, up at the right.
    IconButton* arrow(const std::string& title, bool up) const {
        std::vector<IconButton*> arrows;
        for (IconButton* b : findAll<IconButton>()) {
            if (b->isChildOf(upDownRow(title))) {
                arrows.push_back(b);
            }
        }
        return up ? arrows.at(1) : arrows.at(0);
    }
};

TEST_F(ItcEditTest, EachCurveTypeAndLimiterModeShowsItsOwnRows) {
    const struct {
        unsigned type;
        Rows curveRows;
    } curves[] = {
        {0, join({"Heat curve type", "Heat curve"}, ITC_ALWAYS)},
        {1, join(join({"Heat curve type"}, DIMENSIONED), ITC_ALWAYS)},
        {2, join({"Heat curve type", "Heat curve UFH"}, ITC_ALWAYS)},
        {3, join({"Heat curve type", "Heat curve radiators"}, ITC_ALWAYS)},
        {0xFF, join({"Heat curve type"}, ITC_ALWAYS)},
    };
    for (const auto& c : curves) {
        itc(c.type);
        open(FormItcEdit::STATE_ID, ITC);
        EXPECT_EQ(shownRows(curveGroup()), c.curveRows) << "curve type " << c.type;
    }
    const struct {
        unsigned mode;
        Rows limiterRows;
    } limiters[] = {
        {0, {"Return temperature limiter", "Priority over inlet temperature"}},
        {1,
         {"Return temperature limiter", "Min. return temperature", "Gain min. return temperature",
          "Priority over inlet temperature"}},
        {2,
         {"Return temperature limiter", "Max. return temperature", "Gain max. return temperature",
          "Priority over inlet temperature"}},
        {0xFF, {"Return temperature limiter", "Priority over inlet temperature"}},
    };
    for (const auto& c : limiters) {
        itc(1, c.mode);
        open(FormItcEdit::STATE_ID, ITC);
        EXPECT_EQ(shownRows(headers().at(2)), c.limiterRows) << "limiter mode " << c.mode;
    }
}

TEST_F(ItcEditTest, AControllerWithoutALimiterHasNoLimiterGroup) {
    object(ITC, BT_OBJ_ITC).text(0x8090, "Loop").value(0x80C8, 0);
    open(FormItcEdit::STATE_ID, ITC);
    ASSERT_EQ(headers().size(), 5u);
    EXPECT_EQ(shownRows(headers().at(2)),
              (Rows{"Boost", "Boost percent", "Ramping", "Ramping time"})); // optimisation follows the curve
}

TEST_F(ItcEditTest, ChoosingCalculatedWritesItOnceAndSwapsTheRowsOnTheSameScreen) {
    itc(0);
    open(FormItcEdit::STATE_ID, ITC);
    const Form* built = screen();
    openGroup(curveGroup());
    pickItem(find<EditableDropdownRow>(), 1);
    wait(500);
    EXPECT_EQ(published(), (Published{{ITC, 0x80C8, 1}}));
    EXPECT_EQ(shownRows(curveGroup()), join(join({"Heat curve type"}, DIMENSIONED), ITC_ALWAYS));
    EXPECT_EQ(screen(), built);

    // Changed on the control unit, the choice and its rows follow.
    receive(ITC, 0x80C8, 2);
    runTasks();
    EXPECT_EQ(find<EditableDropdownRow>()->getSelectedItem()->getTitle(), "Underfloor");
    EXPECT_EQ(shownRows(curveGroup()), join({"Heat curve type", "Heat curve UFH"}, ITC_ALWAYS));

    // Choosing the type it has writes nothing.
    pickItem(find<EditableDropdownRow>(), 2);
    wait(500);
    EXPECT_EQ(published().size(), 1u);
    EXPECT_EQ(shownRows(curveGroup()), join({"Heat curve type", "Heat curve UFH"}, ITC_ALWAYS));
}

TEST_F(ItcEditTest, MinimumAndMaximumInletTemperatureBoundEachOther) {
    itc().value(0x8063, 5300).value(0x8064, 5500);
    open(FormItcEdit::STATE_ID, ITC);
    openGroup(curveGroup());
    ProxyUpDownRow* minimum = upDownRow("Min. inlet temperature");
    ASSERT_NE(minimum, nullptr);
    reveal(minimum);
    for (int i = 0; i < 3 && arrow("Min. inlet temperature", true)->isEnabled(); ++i) {
        tap(arrow("Min. inlet temperature", true));
        tick(); // as a finger does
    }
    wait(1200);
    EXPECT_EQ(published(), (Published{{ITC, 0x8063, 5500}}));
    EXPECT_FALSE(arrow("Min. inlet temperature", true)->isEnabled());
    EXPECT_FALSE(arrow("Max. inlet temperature", false)->isEnabled());
}

TEST_F(ItcEditTest, LinksOpenTheCurveAndTheRoomsAndTheResetStaysDisabled) {
    const struct {
        const char* link;
        unsigned state;
    } links[] = {{"See heat curve", 64}, {"Room assignment for this loop", 63}};
    for (const auto& l : links) {
        itc();
        open(FormItcEdit::STATE_ID, ITC);
        Component* link = findByText(l.link);
        ASSERT_NE(link, nullptr) << l.link;
        reveal(link);
        tap(link);
        runTasks();
        EXPECT_EQ(state().getStateId(), l.state) << l.link;
        EXPECT_EQ(state().getP1(), ITC) << l.link;
    }
    open(FormItcEdit::STATE_ID, ITC);
    Component* reset = findByText("Reset parameters to defaults");
    reveal(reset);
    EXPECT_FALSE(reset->isEnabled());
    tap(reset);
    runTasks();
    EXPECT_EQ(find<Popup>(), nullptr);
}

// The controller's editor, its rooms and its curve, opened for anything but a controller, go back.
TEST_F(ItcEditTest, AScreenWithoutItsFunctionGoesBack) {
    hcc();
    object(0x06000316, BT_OBJ_OUTPUT, 7);
    open(11);
    const struct {
        unsigned state;
        oid_t p1;
    } cases[] = {{FormItcEdit::STATE_ID, HCC},
                 {FormItcEdit::STATE_ID, 0x7F000316},
                 {FormItcRooms::STATE_ID, 0x7F000316},
                 {FormHeatCurve::STATE_ID, 0x06000316}};
    for (const auto& c : cases) {
        open(c.state, c.p1);
        runTasks(2);
        EXPECT_EQ(state().getStateId(), 11u) << c.state << " " << std::hex << c.p1;
    }
}

// Where an installer sees the curve's title and the editors' bold headings: the title ten rows below the top
// bar, each heading across its whole column or group row with its text from that row's left edge.
TEST_F(FunctionEditorsTest, TheCurvesTitleAndTheHeadingsStandWhereTheyShow) {
    itc();
    hcc();
    const struct {
        unsigned state;
        oid_t function;
        const char* text;
        Box box; // the heading's, from its column or group row; the title's on the screen
        bool title;
    } cases[] = {
        {FormHeatCurve::STATE_ID, ITC, "Functions | Inlet controller | Heat Curve", Box(0, 39, 295, 12),
         true},
        {FormHeatCurve::STATE_ID, HCC, "Functions | Floor heating circuit | Heat Curve", Box(0, 39, 295, 12),
         true},
        {FormItcEdit::STATE_ID, ITC, "Regulation cut-off", Box(0, 0, 267, 26), false},
        {FormItcEdit::STATE_ID, ITC, "Configuration reset", Box(0, 0, 277, 26), false},
        {FormHccEdit::STATE_ID, HCC, "Regulation cut-off", Box(0, 0, 267, 26), false},
    };
    for (const auto& c : cases) {
        open(c.state, c.function);
        auto* label = dynamic_cast<ContainedLabel*>(findByText(c.text));
        if (label == nullptr) { // folded in its group
            for (DropdownButton* header : headers()) {
                openGroup(header);
            }
            label = dynamic_cast<ContainedLabel*>(findByText(c.text));
        }
        ASSERT_NE(label, nullptr) << c.text;
        reveal(label);
        const Box& box = label->getBoundingBox();
        const Container* row = label->getParent();
        if (c.title) {
            EXPECT_EQ(box, c.box) << c.text;
        } else {
            EXPECT_EQ(Box(box.x1 - row->getLeft(), 0, box.getWidth(), box.getHeight()), c.box) << c.text;
            EXPECT_EQ(row->getWidth(), c.box.getWidth()) << c.text << ": across the whole row";
        }
        const Box ink = inkOf(*label);
        ASSERT_FALSE(ink.isEmpty()) << c.text;
        if (c.title) {
            EXPECT_LE(std::abs((ink.y1 - box.y1) - (box.y2 - ink.y2)), 1)
                << c.text << ": centred in its rows";
        } else {
            EXPECT_LE(ink.x1 - row->getLeft(), 1) << c.text << ": the text begins at the row's left edge";
        }
    }
}

class HccEditTest : public FunctionEditorsTest {};

TEST_F(HccEditTest, CurveControlAndCurveTypeDecideTheRows) {
    const Rows always = {"Parallel displacement", "Min. inlet temperature", "Max. inlet temperature",
                         "Gain if no room thermostat"};
    const struct {
        unsigned flag;
        unsigned type;
        size_t overviewRows;
        Rows curveRows; // empty: no curve group and no link to the chart
        const char* lastCutOffRow;
    } cases[] = {
        {0, 1, 3, {}, "Inlet exceeds"},
        {2, 1, 3, {}, "Inlet exceeds"},
        {255, 1, 3, {}, "Inlet exceeds"},
        {1, 1, 4, join(join({"Heat curve type"}, DIMENSIONED), always), "Inlet exceeded by"},
        {1, 2, 4, join({"Heat curve type", "Heat curve UFH"}, always), "Inlet exceeded by"},
        {1, 3, 4, join({"Heat curve type", "Heat curve radiators"}, always), "Inlet exceeded by"},
        {1, 0, 4, join({"Heat curve type", "Heat curve"}, always), "Inlet exceeded by"},
        {1, 0xFF, 4, join({"Heat curve type"}, always), "Inlet exceeded by"},
    };
    for (const auto& c : cases) {
        hcc(c.flag, c.type);
        open(FormHccEdit::STATE_ID, HCC);
        const std::vector<DropdownButton*> groups = headers();
        ASSERT_EQ(groups.size(), c.curveRows.empty() ? 2u : 3u) << c.flag << "/" << c.type;
        EXPECT_EQ(shownRows(groups.front()).size(), c.overviewRows) << c.flag << "/" << c.type;
        EXPECT_EQ(findByText("See heat curve") != nullptr, !c.curveRows.empty()) << c.flag << "/" << c.type;
        if (!c.curveRows.empty()) {
            EXPECT_EQ(shownRows(groups.at(1)), c.curveRows) << c.flag << "/" << c.type;
        }
        EXPECT_EQ(shownRows(groups.back()).back(), c.lastCutOffRow) << c.flag << "/" << c.type;
    }
}

TEST_F(HccEditTest, ChoosingUnderfloorHidesTheDimensionedRows) {
    hcc(1, 1);
    open(FormHccEdit::STATE_ID, HCC);
    openGroup(headers().at(1));
    pickItem(find<EditableDropdownRow>(), 2);
    wait(500);
    EXPECT_EQ(published(), (Published{{HCC, 0x8104, 2}}));
    EXPECT_EQ(shownRows(headers().at(1)).at(1), "Heat curve UFH");
}

TEST_F(HccEditTest, TheStatusIconFollowsTheCircuitsState) {
    hcc();
    open(FormHccEdit::STATE_ID, HCC);
    const MultiIcon* status = find<MultiIcon>();
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->getIconIndex(), 1);
    for (const auto& [value, index] : {std::pair{2, 2}, {0, 0}, {255, -1}}) {
        receive(HCC, 0x0065, value);
        runTasks();
        EXPECT_EQ(status->getIconIndex(), index) << value;
    }
}

TEST_F(HccEditTest, TheAnalogLinkOpensTheFirstOutputThatFollowsTheCircuit) {
    const std::vector<uint8_t> follows = {0, 0, 0, 0, 0x16, 0x03, 0x00, 0x09};
    const struct {
        std::vector<std::pair<oid_t, std::vector<uint8_t>>> outputs;
        oid_t opens; // 0: no link
    } cases[] = {
        {{}, 0},
        {{{0x12000316, {0, 0, 0, 0, 0x16, 0x03, 0x00}}}, 0}, // too short
        {{{0x12000316, {0, 0, 0, 0, 0x16, 0x03, 0x00, 0x08}}}, 0},
        {{{0x13000316, follows}, {0x12000316, follows}}, 0x12000316},
    };
    for (const auto& c : cases) {
        Structure.clear();
        proxytab_init();
        hcc();
        for (const auto& [oid, source] : c.outputs) {
            object(oid, BT_OBJ_OUTPUT, 2).text(0x8090, "Circuit 0-10 V").data(0x80A0, source);
        }
        open(FormHccEdit::STATE_ID, HCC);
        Component* link = findByText("Setup analog output");
        ASSERT_EQ(link != nullptr, c.opens != 0) << c.outputs.size();
        if (link == nullptr) {
            continue;
        }
        reveal(link);
        tap(link);
        runTasks();
        EXPECT_EQ(state().getStateId(), 69u);
        EXPECT_EQ(state().getP1(), c.opens);
        const auto* titled = dynamic_cast<const SingleParamState<std::string>*>(&state());
        ASSERT_NE(titled, nullptr);
        EXPECT_EQ(titled->getParam(), "System | Hardware profile | Configuration | Circuit 0-10 V");
    }
}

// The group-level visibility command, on a controller's curve type.
class GroupVisibilityTest : public FunctionEditorsTest {
protected:
    void SetUp() override {
        FunctionEditorsTest::SetUp();
        itc(0);
        Form* page = blank();
        auto* column =
            StackedContainer::Builder{
                .parent = page, .y = 40, .width = 277, .fitHeight = true, .direction = DIRECTION_VERTICAL}
                .build();
        mRow = ProxyDropdownFactory::create(
            column, EnumOvi(ITC, 0x80C8, BT_VTYPE_U8, &DataModel::Implementation::ITC::CurveType));
        mButton = new DropdownButton(column, 0, 0, 277, 26, "Group");
        mContent = new Container(column, 10, 0, 267, 30);
        mButton->setCollapsibleContent(mContent);
        auto command = std::make_unique<FormItcEdit::ProxyDropdownToggleDropdownButtonVisibility>(
            mRow, mButton, EnumOvi(ITC, 0x80C8, BT_VTYPE_U8, &DataModel::Implementation::ITC::CurveType));
        mCommand = command.get();
        mRow->setOnItemClickCommand(std::move(command));
        runTasks();
    }
    EditableDropdownRow* mRow = nullptr;
    DropdownButton* mButton = nullptr;
    Container* mContent = nullptr;
    FormItcEdit::ProxyDropdownToggleDropdownButtonVisibility* mCommand = nullptr;
};

TEST_F(GroupVisibilityTest, TheGroupShowsFoldedOnlyForItsOptionsAndGoesWithItsRows) {
    mCommand->add(1);
    mCommand->add(1);
    mCommand->add(3);
    EXPECT_TRUE(mButton->isVisible()) << "adding changes nothing";
    tap(mButton);
    runTasks();
    ASSERT_TRUE(mContent->isVisible());
    const struct {
        int pick;
        bool shown;
    } steps[] = {{2, false}, {1, true}, {3, true}, {0, false}};
    for (const auto& s : steps) {
        pickItem(mRow, s.pick);
        EXPECT_EQ(mButton->isVisible(), s.shown) << s.pick;
        EXPECT_FALSE(mButton->isOpen()) << s.pick;
        EXPECT_FALSE(mContent->isVisible()) << "no rows without their header, none open: " << s.pick;
        if (s.shown) {
            tap(mButton); // open again for the next step
            runTasks();
        }
    }
}

TEST_F(GroupVisibilityTest, AnEmptySetHidesTheGroupAtTheFirstChoice) {
    pickItem(mRow, 1);
    EXPECT_FALSE(mButton->isVisible());
}

} // namespace
} // namespace tdx::test
