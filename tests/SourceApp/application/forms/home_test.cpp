// The home screen: which objects get a tile, in which order, and how tiles follow objects that come and go.
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/Widget.h"
#include "SourceApp/application/forms/home/FormHome.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <vector>

namespace tdx::test {
namespace {

constexpr unsigned HOME = 9;
constexpr vid_t FUNCTION = 0x80E7; // 0 off, 1 manual control

class HomeTest : public FormsTest {
protected:
    // The object ids of the tiles shown, top to bottom.
    std::vector<uint32_t> tiles() const {
        std::vector<uint32_t> shown;
        for (Widget* tile : findAll<Widget>()) {
            if (tile->isGloballyVisible()) {
                shown.push_back(tile->tag);
            }
        }
        return shown;
    }
    Widget* tileOf(oid_t oid) const {
        return find<Widget>([oid](const Widget& w) { return w.tag == oid; });
    }
};

// Only rooms and outputs worked by hand get a tile, in object id order: object index before device address.
TEST_F(HomeTest, OnlyRoomsAndOutputsWorkedByHandGetATileInObjectIdOrder) {
    location();
    device(0x000316);
    const struct {
        oid_t oid;
        uint8_t type;
        uint8_t subtype;
        int function; // -1: no value
    } objects[] = {
        {0x01000316, BT_OBJ_ROOM, 0, -1},   {0x02000316, BT_OBJ_OUTPUT, 7, 1},
        {0x03000316, BT_OBJ_OUTPUT, 7, 0},  {0x04000316, BT_OBJ_OUTPUT, 7, -1},
        {0x05000316, BT_OBJ_OUTPUT, 10, 1}, {0x06000316, BT_OBJ_OUTPUT, 6, 1},
        {0x07000316, BT_OBJ_ITC, 0, -1},    {0x08000316, BT_OBJ_HCC, 0, -1},
        {0x09000316, BT_OBJ_DHW, 0, -1},    {0x0A000316, BT_OBJ_DHW_TANK, 0, -1},
        {0x0B000316, BT_OBJ_INPUT, 0, -1},  {0x0C000316, BT_OBJ_OUTPUT, 8, 1},
        {0x0D000100, BT_OBJ_ROOM, 0, -1},   {0x0CFFFFF0, BT_OBJ_ROOM, 0, -1},
        {0x0D000050, BT_OBJ_ROOM, 0, -1},
    };
    for (const auto& o : objects) {
        ObjectBuilder built = object(o.oid, o.type, o.subtype);
        if (o.function >= 0) {
            built.value(FUNCTION, BT_VTYPE_U8, o.function);
        }
    }
    open(HOME);
    EXPECT_EQ(tiles(), (std::vector<uint32_t>{0x01000316, 0x02000316, 0x05000316, 0x0CFFFFF0, 0x0D000050,
                                              0x0D000100}));
}

TEST_F(HomeTest, ObjectsComingAndGoingWhileOpenKeepTheirTilesInPlace) {
    location();
    room(0x02000316);
    object(0x03000316, BT_OBJ_OUTPUT, 7).value(FUNCTION, BT_VTYPE_U8, 1);
    open(HOME);
    Widget* first = tileOf(0x02000316);

    room(0x01000316); // a lower id, appended later: at the end
    runTasks();
    EXPECT_EQ(tiles(), (std::vector<uint32_t>{0x02000316, 0x03000316, 0x01000316}));

    Structure.remove(0x02000316);
    runTasks();
    EXPECT_EQ(tiles(), (std::vector<uint32_t>{0x03000316, 0x01000316}));
    room(0x02000316);
    runTasks();
    EXPECT_EQ(tileOf(0x02000316), first) << "the same tile, shown again";
    EXPECT_EQ(tiles(), (std::vector<uint32_t>{0x02000316, 0x03000316, 0x01000316}));

    // A tile once made stays while its object does, whatever its function becomes.
    ObjectBuilder(0x03000316).value(FUNCTION, BT_VTYPE_U8, 0);
    room(0x04000316);
    runTasks();
    EXPECT_EQ(tiles(), (std::vector<uint32_t>{0x02000316, 0x03000316, 0x01000316, 0x04000316}));
    EXPECT_EQ(findAll<Widget>().size(), 4u);
}

TEST_F(HomeTest, WithoutTheLocationItStartsEmptyAndTheFirstAppendBuildsTheTiles) {
    room(0x01000316);
    open(HOME);
    EXPECT_TRUE(tiles().empty());
    EXPECT_FALSE(mCore.getScreen()->getChildren().empty());
    const auto* info = find<Button>([](const Button& b) { return b.getText() == "Info"; });
    ASSERT_NE(info, nullptr);
    EXPECT_FALSE(info->isEnabled()) << "the current tab";
    EXPECT_TRUE(shows(info->getBoundingBox(), colour::WHITE));
    EXPECT_FALSE(find<IconButton>([](const IconButton& b) { return b.getLeft() == 52; })->isEnabled())
        << "home";

    open(HOME);
    location();
    runTasks();
    EXPECT_EQ(tiles(), (std::vector<uint32_t>{0x01000316}));
}

// A finger on a tile's arrow while objects come and go: the release reaches a tile that is hidden no more
// than it reaches a removed object, and a tile that stays keeps the press.
TEST_F(HomeTest, AnArrowPressedWhenItsObjectGoesIsNoLongerPressedWhenTheObjectComesBack) {
    constexpr unsigned ROOM_SCREEN = 13;
    location();
    room(0x01000316);
    room(0x02000316);
    open(HOME);
    IconButton* arrow = tileOf(0x01000316)->getButton();
    const Box box = arrow->getVisibleBox();
    const int x = box.x1 + box.getWidth() / 2;
    const int y = box.y1 + box.getHeight() / 2;

    press(x, y);
    ASSERT_TRUE(arrow->isActive());
    Structure.remove(0x01000316);
    runTasks();
    release();
    room(0x01000316);
    runTasks();
    ASSERT_TRUE(arrow->isGloballyVisible()) << "the same tile, shown again";
    EXPECT_FALSE(arrow->isActive());
    EXPECT_EQ(state().getStateId(), HOME);

    // A touch that begins beside the arrow and ends on it opens nothing.
    press(x - 60, y);
    move(x, y);
    release();
    EXPECT_FALSE(arrow->isActive());
    EXPECT_EQ(state().getStateId(), HOME);

    // Another object going leaves the tile where it is and the press on its arrow standing.
    press(x, y);
    Structure.remove(0x02000316);
    runTasks();
    EXPECT_TRUE(arrow->isActive());
    release();
    EXPECT_EQ(state().getStateId(), ROOM_SCREEN);
    EXPECT_EQ(state().getP1(), 0x01000316u);
}

TEST_F(DefaultInstallationTest, HomeScreen) {
    loadDefaultInstallation();
    runTasks();
    open(HOME);
    std::vector<std::string> headings;
    for (Widget* tile : findAll<Widget>()) {
        headings.push_back(tile->getHeadingLabel()->getText());
    }
    EXPECT_EQ(headings, (std::vector<std::string>{"Living room", "Bedroom", "Circulation pump"}));
    screenshot("FormHome");
}

} // namespace
} // namespace tdx::test
