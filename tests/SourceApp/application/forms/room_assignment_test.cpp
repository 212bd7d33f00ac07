// The rooms of a heating function: a tick or untick of the installer writes the list once, opening the
// screen writes nothing, rooms of another function cannot be ticked, and the list holds 64 rooms.
#include "SourceApp/application/forms/installer/FormItcRooms.h"
#include "tests/SourceApp/application/forms/function_editors_fixture.h"

namespace tdx::test {
namespace {

constexpr oid_t FUNCTION = 0x08000316;
constexpr oid_t OTHER_FUNCTION = 0x09000316;
constexpr oid_t KITCHEN = 0x01000316;
constexpr oid_t BEDROOM = 0x02000316;
constexpr oid_t HALL = 0x03000316;
constexpr vid_t ROOMS = 0x80B8;
constexpr vid_t SERVED_BY = 0x810C;

class RoomAssignmentTest : public FunctionEditorsTest {
protected:
    void given(const std::vector<uint32_t>& stored, oid_t hallServedBy = 0xFFFFFFFF) {
        object(FUNCTION, BT_OBJ_ITC).text(0x8090, "Loop").oids(ROOMS, stored);
        room(KITCHEN).text(0x8090, "Kitchen");
        room(BEDROOM).text(0x8090, "Bedroom").value(SERVED_BY, static_cast<int>(FUNCTION));
        room(HALL).text(0x8090, "Hall").value(SERVED_BY, static_cast<int>(hallServedBy));
    }
    FormItcRooms::RoomButton* button(oid_t room) const {
        return find<FormItcRooms::RoomButton>(
            [&](const FormItcRooms::RoomButton& b) { return b.getRoom() == room; });
    }
    static std::string list(std::vector<uint32_t> ids) {
        std::string bytes;
        for (const uint32_t id : ids) {
            for (int i = 0; i < 4; ++i) {
                bytes.push_back(static_cast<char>((id >> (8 * i)) & 0xFF));
            }
        }
        return bytes;
    }
};

TEST_F(RoomAssignmentTest, EachTickWritesTheTickedRoomsOnceAndOpeningWritesNothing) {
    const struct {
        const char* story;
        std::vector<uint32_t> stored;
        std::vector<oid_t> taps;
        std::vector<std::string> written;
    } cases[] = {
        {"an empty list gets its first room", {}, {KITCHEN}, {list({KITCHEN})}},
        {"the last untick writes an empty list", {KITCHEN}, {KITCHEN}, {list({})}},
        {"tick and untick, one write each",
         {BEDROOM},
         {KITCHEN, BEDROOM},
         {list({KITCHEN, BEDROOM}), list({KITCHEN})}},
        {"ids of no room shown stay until the installer ticks", {0x7F000316, BEDROOM, BEDROOM}, {}, {}},
        {"then they go", {0x7F000316, BEDROOM}, {KITCHEN}, {list({KITCHEN, BEDROOM})}},
    };
    for (const auto& c : cases) {
        Structure.clear();
        proxytab_init();
        given(c.stored);
        const size_t before = published().size();
        open(FormItcRooms::STATE_ID, FUNCTION);
        wait(200);
        EXPECT_EQ(published().size(), before) << c.story << ": opening";
        for (const oid_t room : c.taps) {
            tap(button(room));
            runTasks();
            published(); // sent before the next tap
        }
        std::vector<std::string> written;
        const Published all = published();
        for (auto v = all.begin() + static_cast<std::ptrdiff_t>(before); v != all.end(); ++v) {
            EXPECT_EQ(std::make_pair(v->oid, v->vid), std::make_pair(FUNCTION, ROOMS)) << c.story;
            written.push_back(v->text);
        }
        EXPECT_EQ(written, c.written) << c.story;
    }
}

TEST_F(RoomAssignmentTest, AStoredListInAnotherOrderIsNotRewritten) {
    given({BEDROOM, KITCHEN});
    open(FormItcRooms::STATE_ID, FUNCTION);
    auto* rooms = static_cast<FormItcRooms*>(screen());
    rooms->publishRoomList(); // the ticks are the same rooms, in the screen's order
    runTasks();
    EXPECT_EQ(published(), Published{});
}

TEST_F(RoomAssignmentTest, ARoomOfAnotherFunctionIsShownDisabledAndDroppedFromTheList) {
    object(OTHER_FUNCTION, BT_OBJ_ITC).text(0x8090, "Other loop");
    given({HALL, BEDROOM}, OTHER_FUNCTION);
    open(FormItcRooms::STATE_ID, FUNCTION);
    EXPECT_FALSE(button(HALL)->isEnabled());
    EXPECT_FALSE(button(HALL)->getChecked());
    EXPECT_TRUE(button(BEDROOM)->isEnabled()) << "served by this function";
    EXPECT_TRUE(button(BEDROOM)->getChecked());
    tap(button(HALL));
    runTasks();
    EXPECT_EQ(published(), Published{}) << "a disabled room takes no tick";
    tap(button(KITCHEN));
    runTasks();
    ASSERT_EQ(published().size(), 1u);
    EXPECT_EQ(published().back().text, list({KITCHEN, BEDROOM}));
}

// Only a function the installation holds keeps a room from this one; a serving function that names no object
// serves nothing.
TEST_F(RoomAssignmentTest, ARoomServedByAFunctionThatDoesNotExistIsFree) {
    const struct {
        const char* story;
        oid_t servedBy;
        bool enabled;
    } cases[] = {
        {"by none", 0xFFFFFFFF, true},
        {"by this function", FUNCTION, true},
        {"by another function", OTHER_FUNCTION, false},
        {"by an object the installation lacks", 0x0A000316, true},
        {"by id 0", 0, true},
    };
    for (const auto& c : cases) {
        Structure.clear();
        proxytab_init();
        object(OTHER_FUNCTION, BT_OBJ_ITC).text(0x8090, "Other loop");
        given({}, c.servedBy);
        open(FormItcRooms::STATE_ID, FUNCTION);
        EXPECT_EQ(button(HALL)->isEnabled(), c.enabled) << c.story;
        const size_t before = published().size();
        tap(button(HALL));
        runTasks();
        EXPECT_EQ(button(HALL)->getChecked(), c.enabled) << c.story;
        const Published all = published();
        ASSERT_EQ(all.size() - before, c.enabled ? 1u : 0u) << c.story;
        if (c.enabled) {
            EXPECT_EQ(all.back().text, list({HALL})) << c.story;
        }
    }
}

TEST_F(RoomAssignmentTest, ASixtyFifthTickIsRefused) {
    object(FUNCTION, BT_OBJ_ITC).text(0x8090, "Loop");
    std::vector<uint32_t> stored;
    for (uint32_t i = 1; i <= 65; ++i) {
        const oid_t oid = (i << 24) | 0x000400;
        room(oid).text(0x8090, "Room " + std::to_string(i));
        if (i <= 64) {
            stored.push_back(oid);
        }
    }
    ObjectBuilder(FUNCTION).oids(ROOMS, stored);
    open(FormItcRooms::STATE_ID, FUNCTION);
    FormItcRooms::RoomButton* last = button(0x41000400);
    static_cast<VexalForm*>(screen())->scrollTo(last, FOCUS_BOTTOM, last->getTop(), last->getBottom());
    runTasks(2);
    tap(last);
    runTasks();
    EXPECT_FALSE(last->getChecked());
    EXPECT_EQ(published(), Published{});
    tap(button(0x40000400)); // the 64th goes, then the 65th fits
    published();
    tap(last);
    runTasks();
    EXPECT_TRUE(last->getChecked());
    ASSERT_EQ(published().size(), 2u);
    EXPECT_EQ(published().back().text.size(), 256u);
}

} // namespace
} // namespace tdx::test
