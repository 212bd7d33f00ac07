// The inspector's model on the real GUI core: what the bridge raises and when, the model's record of the
// selection, the edits and their target, and the self-contained record of one inspected component.
#include "inspector_fixture.h"

#include "SourceHost/inspector/InspectedComponent.h"
#include "SourceHost/inspector/ViewSelectedComponent.h"

#include <algorithm>

namespace tdx::test {
namespace {

using Lines = std::vector<std::string>;

class ModelEvents : public InspectorTest {
protected:
    void SetUp() override {
        InspectorTest::SetUp();
        log.listen(model, MODEL_EVENTS);
    }
    BusLog log;
};

TEST_F(ModelEvents, SelectingAThenBDeselectsAFirstAndTheRecordHoldsBWithItsGeometry) {
    TestForm* form = openScreen(12);
    Patch* a = add(form, "A", 10, 20, 30, 40);
    Patch* b = add(form, "B", 100, 50, 20, 10);
    pass();
    log.take();
    model.bridge().setSelectedComponent(a);
    EXPECT_EQ(model.bridge().getSelectedComponent(), a);
    model.bridge().setSelectedComponent(b);
    model.bridge().setSelectedComponent(nullptr);
    model.bridge().setSelectedComponent(nullptr); // nothing selected: nothing raised
    // The bridge names the component it last announced, also once the core let go of it.
    EXPECT_EQ(model.bridge().getSelectedComponent(), b);
    EXPECT_EQ(coreSelection(model), nullptr);
    EXPECT_EQ(log.take(), (Lines{"COMPONENT_SELECT A", "COMPONENT_DESELECT", "COMPONENT_SELECT B",
                                 "COMPONENT_DESELECT"}));
    model.bridge().setSelectedComponent(b);
    EXPECT_EQ(model.selected().getComponent(), b);
    EXPECT_EQ(model.selected().getSavedLeft() * 1000 + model.selected().getSavedHeight(), 100 * 1000 + 10);
}

TEST_F(ModelEvents, AScreenChangeRaisesOneStateChangeThenOneTreeChangeAtThePassEnd) {
    openScreen(12);
    model.bridge().setSelectedComponent(add(screen(), "A", 0, 0, 10, 10));
    log.take();
    mScreens[13] = [this](TestForm& f) {
        for (int i = 0; i < 3; ++i) {
            add(&f, "P", i * 10, 0, 10, 10);
        }
    };
    openScreen(13);
    EXPECT_EQ(log.take(), (Lines{"COMPONENT_DESELECT", "STATE_CHANGE", "COMPONENT_TREE_CHANGE -"}));
    EXPECT_EQ(model.selected().getComponent(), nullptr);
    EXPECT_EQ(model.bridge().getSelectedComponent(), nullptr);
    EXPECT_EQ(model.rows().size(), 4u);
    pass();
    EXPECT_TRUE(log.take().empty());
}

TEST_F(ModelEvents, ThreeAddsAndARemoveInOnePassGiveOneTreeChangeAfterTheDeletions) {
    TestForm* form = openScreen(12);
    log.take();
    Patch* doomed = add(form, "X", 0, 0, 5, 5);
    add(form, "Y", 0, 0, 5, 5);
    add(form, "Z", 0, 0, 5, 5);
    mCore.deleteLater(doomed);
    pass();
    EXPECT_EQ(log.take(), (Lines{"COMPONENT_TREE_CHANGE -"}));
    const ComponentRows rows = model.rows();
    ASSERT_EQ(rows.size(), 3u) << "the deleted one is gone from the rows";
    EXPECT_EQ(rows[1].component.typeName + rows[2].component.typeName, "YZ");
    pass();
    EXPECT_TRUE(log.take().empty());
}

TEST_F(ModelEvents, ATreeChangeDeselectsThroughTheBridgeFirst) {
    TestForm* form = openScreen(12);
    Patch* a = add(form, "A", 0, 0, 10, 10);
    pass();
    model.bridge().setSelectedComponent(a);
    log.take();
    add(form, "B", 0, 0, 5, 5);
    pass();
    EXPECT_EQ(log.take(), (Lines{"COMPONENT_DESELECT", "COMPONENT_TREE_CHANGE -"}));
    EXPECT_EQ(coreSelection(model), nullptr);
    EXPECT_FALSE(a->isDebugSelected());
}

TEST_F(ModelEvents, MovesOfAnyComponentAreReportedOnlyWhenRealAndMessagesNotAtAll) {
    TestForm* form = openScreen(12);
    Patch* a = add(form, "A", 10, 10, 10, 10);
    pass();
    log.take();
    a->setPosition(10, 10);
    a->setPosition(12, 10);
    a->setVisible(false);
    mCore.sendMessage(nullptr, MSG_USER, 0, 0, 0, 0);
    EXPECT_EQ(log.take(), (Lines{"COMPONENT_NOTIFY_CHANGE A", "COMPONENT_NOTIFY_CHANGE A"}));
}

TEST_F(ModelEvents, ASelectedComponentDestroyedByAScreenChangeIsForgottenEverywhere) {
    TestForm* form = openScreen(12);
    add(form, "Old", 0, 0, 50, 50);
    pass();
    host.SelectComponent(5, 5);
    step();
    ASSERT_NE(model.selected().getComponent(), nullptr);
    mScreens[13] = [this](TestForm& f) { add(&f, "New", 0, 0, 50, 50); };
    openScreen(13);
    EXPECT_EQ(coreSelection(model), nullptr);
    EXPECT_EQ(model.selected().getComponent(), nullptr);
    // A right-click starts with a deselection: it must not reach the freed component.
    log.take();
    host.SelectComponent(5, 5);
    step();
    EXPECT_EQ(log.take(), (Lines{"COMPONENT_SELECT New"}));
}

TEST_F(InspectorTest, ResetRestoresTheGeometryAndRedrawsBothAreas) {
    TestForm* form = openScreen(12);
    Patch* a = add(form, "A", 10, 20, 100, 30);
    pass();
    model.bridge().setSelectedComponent(a);
    SelectedComponent& record = model.selected();
    record.setLeft(40);
    record.setWidth(120);
    EXPECT_EQ(a->getBoundingBox(), Box(40, 20, 120, 30));
    pass();
    sFlips.clear();
    record.reset();
    pass();
    EXPECT_EQ(a->getBoundingBox(), Box(10, 20, 100, 30));
    auto covered = [](const Box& area) {
        return std::any_of(sFlips.begin(), sFlips.end(),
                           [&](const Box& f) { return f.intersect(area) == area; });
    };
    EXPECT_TRUE(covered(Box(40, 20, 120, 30)));
    EXPECT_TRUE(covered(Box(10, 20, 100, 30)));
    model.bridge().setSelectedComponent(nullptr);
    a->setPosition(0, 0);
    record.reset(); // deselected: nothing, although the saved geometry is still there
    EXPECT_EQ(a->getLeft(), 0);
}

TEST_F(InspectorTest, AnEditAppliesOnlyToTheComponentItWasMadeFor) {
    TestForm* form = openScreen(12);
    Patch* a = add(form, "A", 10, 10, 20, 20);
    Patch* b = add(form, "B", 50, 50, 20, 20);
    pass();
    model.bridge().setSelectedComponent(a);
    const ComponentId idA = model.idOf(a);
    struct Row {
        Component* selected;
        ComponentAttribute attribute;
        int value;
        Box a, b;
    };
    const Row rows[] = {
        {a, Width, 80, Box(10, 10, 80, 20), Box(50, 50, 20, 20)},
        {a, Top, 5, Box(10, 5, 80, 20), Box(50, 50, 20, 20)},
        {b, Width, 30, Box(10, 5, 80, 20), Box(50, 50, 20, 20)},     // another selected meanwhile
        {nullptr, Left, 0, Box(10, 5, 80, 20), Box(50, 50, 20, 20)}, // none selected
    };
    for (const Row& row : rows) {
        model.bridge().setSelectedComponent(row.selected);
        host.sendCommand(std::make_shared<ComponentSetAttributeCommand>(idA, row.attribute, row.value));
        step();
        EXPECT_EQ(a->getBoundingBox(), row.a);
        EXPECT_EQ(b->getBoundingBox(), row.b);
    }
    EXPECT_TRUE(mTrace.contains("no longer selected"));
}

// The bus-driven road: the demultiplexer hands each edit's value to the command of its attribute, run on the
// application thread; each command acts on its own component only while that is the selected one.
TEST_F(InspectorTest, ModifyCommandsChosenByAttributeActOnlyOnTheComponentTheyName) {
    TestForm* form = openScreen(12);
    Patch* a = add(form, "A", 10, 10, 20, 20);
    Patch* b = add(form, "B", 50, 50, 20, 20);
    pass();
    const ComponentId idA = model.idOf(a);
    auto demux = std::make_shared<ComponentChangeDemux>();
    demux->setAttributeListener(Left, std::make_shared<ComponentLeftAttributeModifyCommand>(model, idA));
    demux->setAttributeListener(Top, std::make_shared<ComponentTopAttributeModifyCommand>(model, idA));
    demux->setAttributeListener(Width, std::make_shared<ComponentWidthAttributeModifyCommand>(model, idA));
    demux->setAttributeListener(Height, std::make_shared<ComponentHeightAttributeModifyCommand>(model, idA));
    struct Row {
        Component* selected;
        int attribute; // 4: a payload of another kind
        int value;
        Box a;
    };
    const Row rows[] = {
        {a, Left, 30, Box(30, 10, 20, 20)},    {a, Top, 5, Box(30, 5, 20, 20)},
        {a, Width, 40, Box(30, 5, 40, 20)},    {a, Height, 25, Box(30, 5, 40, 25)},
        {a, 4, 99, Box(30, 5, 40, 25)},        {b, Left, 0, Box(30, 5, 40, 25)}, // another one selected
        {nullptr, Top, 0, Box(30, 5, 40, 25)},                                   // none selected
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.attribute);
        model.bridge().setSelectedComponent(row.selected);
        host.sendCommand(std::make_shared<LambdaCommand>([&](MessageArgument*) {
            MessageArgumentComponentAttribute edit(static_cast<ComponentAttribute>(row.attribute), row.value);
            MessageArgumentInteger other(row.value);
            demux->execute(row.attribute < 4 ? static_cast<MessageArgument*>(&edit) : &other);
        }));
        step();
        EXPECT_EQ(a->getBoundingBox(), row.a);
        EXPECT_EQ(b->getBoundingBox(), Box(50, 50, 20, 20));
    }
    EXPECT_TRUE(mTrace.contains("modification of component"));

    // A command replaced for its attribute is no longer run; the commands read integers only.
    model.bridge().setSelectedComponent(a);
    auto log = std::make_shared<LambdaCommand>([&](MessageArgument* argument) {
        MessageReaderInteger value;
        ASSERT_TRUE(value.tryRead(argument));
        EXPECT_EQ(value.getIntegerValue(), 7);
    });
    demux->setAttributeListener(Left, log);
    MessageArgumentComponentAttribute left(Left, 7);
    demux->execute(&left);
    demux->execute(nullptr);
    EXPECT_EQ(a->getLeft(), 30);
    ComponentWidthAttributeModifyCommand width(model, idA);
    MessageArgumentComponentAttribute notAnInteger(Width, 60);
    width.execute(&notAnInteger);
    width.execute(nullptr);
    EXPECT_EQ(a->getWidth(), 40);
    width.setAttribute(60);
    EXPECT_EQ(a->getWidth(), 60);
    EXPECT_EQ(&width.getComponent(), &model.selected());

    // The list's pick carries its component and changes nothing on the application thread.
    auto pick = std::make_shared<ComponentListViewToHostCommand>(model.idOf(b));
    EXPECT_EQ(pick->getComponent(), model.idOf(b));
    host.sendCommand(pick);
    step();
    EXPECT_EQ(model.selected().getComponent(), a);
    EXPECT_EQ(b->getBoundingBox(), Box(50, 50, 20, 20));
}

TEST_F(InspectorTest, IdsAreNeverReusedSoAStaleIdFindsNothing) {
    TestForm* form = openScreen(12);
    Patch* a = add(form, "A", 0, 0, 5, 5);
    pass();
    const ComponentId id = model.idOf(a);
    EXPECT_EQ(model.find(id), a);
    delete a;
    Patch* b = add(form, "B", 0, 0, 5, 5); // may well get the same address
    pass();
    EXPECT_EQ(model.find(id), nullptr);
    EXPECT_NE(model.idOf(b), id);
    EXPECT_EQ(model.find(model.idOf(b)), b);
}

// ---- the window's selection and its two touch areas ----

TEST(ViewSelection, TellsTheBodyFromTheResizeCorner) {
    ViewSelectedComponent view;
    IsInAreaCond area(view);
    IsInResizeAreaCond corner(view);
    MessageArgumentMouseEvent anywhere(15, 25);
    EXPECT_FALSE(area(&anywhere) || corner(&anywhere) || view.intersects(15, 25));
    view.setComponent({7, "Patch", Box(10, 20, 30, 40), true}); // right 39, bottom 59
    struct Row {
        int x, y;
        bool area, corner;
    };
    const Row rows[] = {{42, 62, false, true}, {43, 59, false, false}, {39, 59, false, true},
                        {40, 59, false, true}, {42, 56, false, true},  {44, 59, false, false},
                        {39, 55, true, false}, {10, 20, true, false},  {9, 20, false, false}};
    for (const Row& row : rows) {
        MessageArgumentMouseEvent at(row.x, row.y);
        EXPECT_EQ(area(&at), row.area) << row.x << "," << row.y;
        EXPECT_EQ(corner(&at), row.corner) << row.x << "," << row.y;
    }
    EXPECT_FALSE(area(nullptr) || corner(nullptr));
    view.update({8, "Other", Box(0, 0, 5, 5), true});
    EXPECT_EQ(view.getLeft(), 10) << "a copy of another component is not the selection's";
    view.clear();
    EXPECT_EQ(view.getState(), 0);
}

TEST(ViewSelection, KeepsItsPressCommandsWithoutRunningThem) {
    ViewSelectedComponent view;
    view.setComponent({7, "Patch", Box(10, 20, 30, 40), true});
    int runs = 0;
    auto count = [&runs] { return std::make_shared<LambdaCommand>([&runs](MessageArgument*) { ++runs; }); };
    auto first = count();
    view.setOnAreaDownCommand(first);
    view.setOnAreaDownCommand(count()); // the first is released
    view.setOnResizeAreaDownCommand(count());
    EXPECT_EQ(first.use_count(), 1);
    MessageArgumentMouseEvent onBody(15, 25), atCorner(39, 59);
    view.execute(&onBody);
    view.execute(&atCorner);
    view.execute(nullptr);
    EXPECT_EQ(runs, 0);
    EXPECT_NE(view.getOnAreaDownCommand(), nullptr);
    EXPECT_NE(view.getOnResizeAreaDownCommand(), nullptr);
    EXPECT_EQ(view.getLeft(), 10); // the selection stays as it was
}

// Writes the attribute edits raised on it.
class EditLog : public Command {
public:
    void execute(MessageArgument* argument) override {
        MessageReaderComponentAttribute edit;
        if (edit.tryRead(argument)) {
            edits.push_back("LTWH"[edit.getComponentAttribute()] + std::to_string(edit.getIntegerValue()));
        }
    }
    std::vector<std::string> edits;
};

TEST(ViewSelection, MovingKeepsTheGrabPointAndResizingKeepsTheCornerOnTheDisplay) {
    ViewSelectedComponent view;
    view.setComponent({7, "Patch", Box(10, 20, 30, 40), true});
    auto edits = std::make_shared<EditLog>();
    MovingStateCommand moving("Moving", view, edits);
    ResizingStateCommand resizing("Resizing", view, edits);
    MessageArgumentMouseEvent grab(15, 30), to(115, 10);
    moving.onEnter("TouchStartAtArea", &grab);
    moving.onEvent("TouchDrag", &to);
    EXPECT_EQ(edits->edits, (Lines{"L110", "T0"}));
    edits->edits.clear();

    MessageArgumentMouseEvent corner(41, 60); // 2 right of and 1 below the corner pixel (39, 59)
    resizing.onEnter("TouchStartAtResizeArea", &corner);
    struct Row {
        int x, y;
        const char* width;
        const char* height;
    };
    const Row rows[] = {
        {52, 71, "W41", "H51"},     // the corner follows, offset kept
        {5, 71, "W41", "H51"},      // at or left of the left edge: the last place
        {900, 900, "W310", "H220"}, // beyond the display: its last column and row
    };
    for (const Row& row : rows) {
        MessageArgumentMouseEvent at(row.x, row.y);
        resizing.onEvent("TouchDrag", &at);
        EXPECT_EQ(edits->edits, (Lines{row.width, row.height})) << row.x;
        edits->edits.clear();
    }
}

// ---- the self-contained record ----

TEST_F(InspectorTest, TheInspectedComponentRecordMovesResizesAndResets) {
    TestForm* form = openScreen(12);
    auto* panel = add<Panel>(form, "Container", 0, 0, 320, 240);
    Patch* p = add(panel, "Component", 10, 20, 30, 40);
    pass();
    CInspectedComponent record(p);
    EXPECT_EQ(record.Name(), "TestForm > Container > Component");
    EXPECT_EQ(CInspectedComponent::CreateNameRecursively(form), "TestForm");
    EXPECT_EQ(CInspectedComponent(form).ToString(), "TestForm, Top 0, Left 0, Bottom 239, Right 319");
    EXPECT_THROW(record.BeginState(Selected, 0, 0), std::logic_error);
    record.Move(5, 0);
    EXPECT_TRUE(record.IsDirty());
    record.Reset();
    EXPECT_FALSE(record.IsDirty());

    record.BeginState(Resizing, 39, 59);
    record.BeginState(Moving, 0, 0); // ignored while resizing
    EXPECT_TRUE(record.IsResizing());
    record.CursorAt(49, 69);
    EXPECT_EQ(p->getBoundingBox(), Box(10, 20, 40, 50));
    record.CursorAt(5, 69); // at or left of the left edge: the width stays
    EXPECT_EQ(p->getWidth(), 40);
    record.CursorAt(600, 600);
    EXPECT_EQ(p->getRight() * 1000 + p->getBottom(), 319 * 1000 + 239);
    record.EndState();
    record.BeginState(Moving, 15, 25);
    record.CursorAt(105, 5);
    EXPECT_EQ(p->getLeft() * 1000 + p->getTop(), 100 * 1000 + 0);
}

} // namespace
} // namespace tdx::test
