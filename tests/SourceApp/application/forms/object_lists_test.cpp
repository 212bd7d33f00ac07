// The lists of peripherals, thermoheads and objects, and the generic object editor: which tiles stand in
// which order, what stands in for a peripheral not yet mirrored, and where a screen goes without its object.
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/Widget.h"
#include "SourceApp/application/controls/fragments/ProxyObjectFragment.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tdx::test {
namespace {

constexpr unsigned THERMOHEADS = 59;
constexpr unsigned PERIPHERALS = 60;
constexpr unsigned OBJECT_EDITOR = 70;
constexpr unsigned OBJECT_OVERVIEW = 71;
constexpr vid_t VID_PERIPHERALS = 0x80AE;
constexpr vid_t VID_THERMOHEADS = 0x808F;
constexpr vid_t VID_DEVICE_STATE = 0x002F;
constexpr oid_t ROOM = 0x01000316;
constexpr uint32_t HALL = 0x000520;
constexpr uint32_t KITCHEN = 0x000521;
constexpr uint32_t MISSING = 0x0004D2;
constexpr const char* NOTICE = "There are no items to be shown";

class ObjectListsTest : public FormsTest {
protected:
    // The visible tiles top to bottom, each by its object id; "?" marks a disabled stand-in.
    std::vector<std::string> tiles() const {
        std::vector<Widget*> shown;
        for (Widget* tile : findAll<Widget>()) {
            if (tile->isGloballyVisible()) {
                shown.push_back(tile);
            }
        }
        std::sort(shown.begin(), shown.end(), [](Widget* a, Widget* b) { return a->getTop() < b->getTop(); });
        std::vector<std::string> ids;
        for (const Widget* tile : shown) {
            char id[16];
            std::snprintf(id, sizeof id, "%08X%s", tile->tag, tile->isEnabled() ? "" : "?");
            ids.emplace_back(id);
        }
        return ids;
    }
    bool noticeShown() const { return findByText(NOTICE) != nullptr; }
    // Opens a state from a screen of its own, so that going back has somewhere to go.
    void openFromSystem(const State& state) {
        open(11);
        mCore.changeState(state);
        runTasks(3);
    }
};

TEST_F(ObjectListsTest, PeripheralsShowAtOnceInListOrderWithAStandInForOneNotYetMirrored) {
    device(HALL);
    device(KITCHEN);
    location().oids(VID_PERIPHERALS, {KITCHEN, MISSING, HALL, KITCHEN});
    runTasks();
    open(PERIPHERALS, OID_LOCATION);
    EXPECT_EQ(tiles(), (std::vector<std::string>{"00000521", "000004D2?", "00000520"}));
    EXPECT_FALSE(noticeShown());
    const auto* standIn = dynamic_cast<const Widget*>(findByTag(MISSING));
    EXPECT_EQ(standIn->getHeadingLabel()->getText(), "1530-00-0000-1234");
    EXPECT_NE(findByText("Peripheral is unreachable"), nullptr);

    // The peripheral is mirrored and reports its state: its live tile goes to the end of the list.
    device(MISSING);
    runTasks();
    EXPECT_EQ(tiles(), (std::vector<std::string>{"00000521", "00000520", "000004D2"}));
    EXPECT_EQ(findByText("Peripheral is unreachable"), nullptr);
    // A later change of a live peripheral's state changes nothing.
    receive(oid_make(HALL, 0), VID_DEVICE_STATE, 1);
    runTasks();
    EXPECT_EQ(tiles(), (std::vector<std::string>{"00000521", "00000520", "000004D2"}));
}

// The marker, address 0 and the network's "all" address name no peripheral: no stand-in stands for them.
TEST_F(ObjectListsTest, IdsThatNameNoDeviceGetNoTile) {
    device(HALL);
    location().oids(VID_PERIPHERALS, {0xFFFFFFFF, 0, 0x00FFFFFF, 0x09000000});
    runTasks();
    open(PERIPHERALS, OID_LOCATION);
    EXPECT_EQ(tiles(), std::vector<std::string>{});
    EXPECT_TRUE(noticeShown());

    location().oids(VID_PERIPHERALS, {0xFFFFFFFF, HALL, 0});
    runTasks();
    EXPECT_EQ(tiles(), std::vector<std::string>{"00000520"});
    EXPECT_EQ(findByText("1530-00-1677-7215"), nullptr);
    EXPECT_EQ(findByText("1530-00-0000-0000"), nullptr);
}

TEST_F(ObjectListsTest, PeripheralsFollowTheirOwnListOnly) {
    device(HALL);
    device(KITCHEN);
    room(ROOM).oids(VID_PERIPHERALS, {HALL, KITCHEN});
    runTasks();
    open(PERIPHERALS, ROOM);
    const Component* hall = findByTag(HALL);

    ObjectBuilder(ROOM).oids(VID_PERIPHERALS, {KITCHEN});
    runTasks();
    EXPECT_EQ(tiles(), std::vector<std::string>{"00000521"});
    // Another device's list says nothing about this room's.
    ObjectBuilder(oid_make(KITCHEN, 0)).oids(VID_PERIPHERALS, {MISSING});
    runTasks();
    EXPECT_EQ(tiles(), std::vector<std::string>{"00000521"});

    ObjectBuilder(ROOM).oids(VID_PERIPHERALS, {HALL, KITCHEN});
    runTasks();
    EXPECT_EQ(tiles(), (std::vector<std::string>{"00000520", "00000521"}));
    EXPECT_EQ(findByTag(HALL), hall) << "the same tile shows again";

    ObjectBuilder(ROOM).oids(VID_PERIPHERALS, {});
    runTasks();
    EXPECT_TRUE(tiles().empty());
    EXPECT_TRUE(noticeShown());
}

TEST_F(ObjectListsTest, AListOwnerThatIsMissingOrHasNoListLeavesTheNoticeOrGoesBack) {
    room(ROOM);
    runTasks();
    open(PERIPHERALS, ROOM);
    EXPECT_TRUE(noticeShown()) << "no list value";
    openFromSystem(State(PERIPHERALS, 0x09000316));
    EXPECT_EQ(state().getStateId(), 11u) << "no such object";
}

TEST_F(ObjectListsTest, ThermoheadsStandInTheRoomsOrderAndOtherEntriesAreSkipped) {
    object(0x03000316, BT_OBJ_OUTPUT, 6); // output 0
    object(0x04000316, BT_OBJ_OUTPUT, 7); // output 1, a relay
    object(0x05000316, BT_OBJ_OUTPUT, 0); // output 2
    const struct {
        const char* what;
        std::vector<uint8_t> entries;
        std::vector<std::string> tiles;
    } cases[] = {
        {"in list order", {2, 0}, {"05000316", "03000316"}},
        {"a relay, an empty slot, a negative index, an index past the list",
         {1, 9, 0xFF, 64, 200, 0},
         {"03000316"}},
        {"a list of 256 entries counts them all",
         [] {
             std::vector<uint8_t> entries(256, 0xFF);
             entries.back() = 2;
             return entries;
         }(),
         {"05000316"}},
        {"no entries", {}, {}},
    };
    for (const auto& c : cases) {
        room(ROOM).data(VID_THERMOHEADS, c.entries);
        runTasks();
        open(THERMOHEADS, ROOM);
        EXPECT_EQ(tiles(), c.tiles) << c.what;
        EXPECT_FALSE(noticeShown()) << c.what;
    }
    openFromSystem(State(THERMOHEADS, 0x03000316));
    EXPECT_EQ(state().getStateId(), 11u) << "an output is no room";
}

TEST_F(ObjectListsTest, TheObjectOverviewListsTheTypeInObjectIdOrderOnceBuilt) {
    object(0x0B000316, BT_OBJ_HCC);
    object(0x09000316, BT_OBJ_HCC);
    object(0x0A000316, BT_OBJ_ITC);
    object(0x0C000316, BT_OBJ_HCC);
    runTasks();
    open(OBJECT_OVERVIEW, BT_OBJ_HCC);
    const std::vector<std::string> circuits{"09000316", "0B000316", "0C000316"};
    EXPECT_EQ(tiles(), circuits);
    object(0x0D000316, BT_OBJ_HCC);
    runTasks();
    EXPECT_EQ(tiles(), circuits) << "built once";

    object(0x07000316, BT_OBJ_OUTPUT, 8); // an analog output: no template takes it
    open(OBJECT_OVERVIEW, BT_OBJ_OUTPUT);
    EXPECT_TRUE(tiles().empty());
    EXPECT_TRUE(noticeShown());
}

TEST_F(ObjectListsTest, TheObjectEditorShowsTheOpenersHeadingOverTheObjectsRows) {
    object(0x03000316, BT_OBJ_OUTPUT, 6).text(VID_NAME, "Radiator");
    runTasks();
    for (const char* heading : {"Radiator", ""}) {
        openFromSystem(SingleParamState<std::string>(OBJECT_EDITOR, 0x03000316, 0, 0, 0, heading));
        ASSERT_EQ(state().getStateId(), OBJECT_EDITOR) << heading;
        const auto* title = find<ContainedLabel>([](const ContainedLabel& l) { return l.getHeight() == 12; });
        ASSERT_NE(title, nullptr);
        EXPECT_EQ(title->getText(), heading);
        EXPECT_NE(find<ProxyObjectFragment>(), nullptr);
    }
    // A stray change to the editor without its heading, or for an object that is gone, goes back.
    openFromSystem(State(OBJECT_EDITOR, 0x03000316));
    EXPECT_EQ(state().getStateId(), 11u);
    openFromSystem(SingleParamState<std::string>(OBJECT_EDITOR, 0x09000316, 0, 0, 0, "Gone"));
    EXPECT_EQ(state().getStateId(), 11u);
}

TEST_F(DefaultInstallationTest, ListScreens) {
    loadDefaultInstallation();
    runTasks();
    const struct {
        unsigned id;
        unsigned p1;
        const char* picture;
    } screens[] = {
        {PERIPHERALS, OID_LOCATION, "FormPeripheralOverview"},
        {THERMOHEADS, ROOM, "FormThermoheadOverview"},
        {OBJECT_OVERVIEW, BT_OBJ_HCC, "FormObjectOverview"},
        // The hot water's tile with its two temperatures, and the tank's.
        {OBJECT_OVERVIEW, BT_OBJ_DHW, "FormObjectOverview_dhw"},
        {OBJECT_OVERVIEW, BT_OBJ_DHW_TANK, "FormObjectOverview_tank"},
    };
    for (const auto& s : screens) {
        picturesInEveryLanguage(s.picture, [&] { open(s.id, s.p1); });
    }
    // The editor as its opener passes it: the room's thermohead tile, with the thermohead's name as caption.
    const auto editor = [this] {
        open(THERMOHEADS, ROOM);
        const auto* tile = dynamic_cast<const Widget*>(findByTag(0x03000316));
        ASSERT_NE(tile, nullptr);
        tap(tile->getButton());
        runTasks(2);
        const auto* caption =
            find<ContainedLabel>([](const ContainedLabel& l) { return l.getHeight() == 12; });
        ASSERT_NE(caption, nullptr);
        EXPECT_EQ(caption->getText(), "Living room 1");
    };
    picturesInEveryLanguage("FormObjectEditor", editor);
    editor();
    EXPECT_EQ(state().getStateId(), OBJECT_EDITOR);
}

// The screen a tile's arrow opens stands also for an object whose type the data model does not know (such an
// object gets a tile too): it shows the object's name and what else can be read.
TEST_F(ObjectListsTest, TheScreenOfAnObjectWithoutATemplateOpensWithItsName) {
    const struct {
        unsigned state;
        uint8_t type, subtype;
    } cases[] = {{13, 6, 0}, {62, 7, 0}, {61, 9, 0}, {75, 11, 0},
                 {36, 8, 0}, {23, 2, 0}, {58, 2, 0}, {70, 5, 6}};
    oid_t oid = 0x0A000600;
    for (const auto& c : cases) {
        oid = c.type == BT_OBJ_DEVICE ? oid_make(oid_address(oid) + 1, 0) : oid + 0x01000000;
        Structure.append(new ProxyObject(oid, ObjectInfo(bt_obj_info{c.type, c.subtype, 0, 0}), nullptr));
        ObjectBuilder(oid).text(VID_NAME, "Bare");
        runTasks();
        openFromSystem(SingleParamState<std::string>(c.state, oid, 0, 0, 0, "Bare"));
        EXPECT_EQ(state().getStateId(), c.state);
        EXPECT_NE(find<Component>([](const Component& shown) {
                      const std::optional<std::string> text = textOf(shown);
                      return shown.isGloballyVisible() && text && text->find("Bare") != std::string::npos;
                  }),
                  nullptr)
            << c.state;
    }
}

} // namespace
} // namespace tdx::test
