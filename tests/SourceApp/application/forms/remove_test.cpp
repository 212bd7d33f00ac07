// The removal wizard: what each choice screen lists from the installation, and the ids it hands to the
// removal request; none of them writes a value.
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "tests/SourceApp/application/forms/installer_fixture.h"

namespace tdx::test {
namespace {

using namespace installer;

constexpr unsigned FROM_LOCATION = 46;
constexpr unsigned FROM_EXISTING = 47;
constexpr unsigned ROOM = 48;
constexpr unsigned ALL_ROOMS = 49;
constexpr unsigned PROCESS = 50;
constexpr uint32_t LIVING = 0x01000316;
constexpr uint32_t BEDROOM = 0x02000316;
constexpr uint32_t THERMOSTAT = 0x000520;
constexpr uint32_t SENSOR = 0x000522;
constexpr uint32_t MISSING = 0x000777;

class RemoveTest : public InstallerTest {
protected:
    void SetUp() override {
        InstallerTest::SetUp();
        connect();
        device(CU).text(VID_NAME, "Control unit").data(VID_OBJECT_INDICES, {1, 2});
        device(THERMOSTAT).text(VID_NAME, "Thermostat");
        device(SENSOR).text(VID_NAME, "Sensor");
        room(LIVING).text(VID_NAME, "Living room").oids(VID_ROOM_COMPONENTS, {THERMOSTAT});
        room(BEDROOM).text(VID_NAME, "Bedroom").oids(VID_ROOM_COMPONENTS, {THERMOSTAT, SENSOR});
        location().oids(VID_GLOBAL_COMPONENTS, {SENSOR, 0x07000000 | MISSING});
    }
    std::vector<std::string> checks() const {
        std::vector<std::string> texts;
        for (CheckButton* c : findAll<CheckButton>()) {
            texts.push_back(c->getText());
        }
        return texts;
    }
    CheckButton* check(size_t i) const { return findAll<CheckButton>().at(i); }
};

TEST_F(RemoveTest, GlobalComponentsAreHandedOverByTheirAddress) {
    open(FROM_LOCATION);
    EXPECT_EQ(checks(), (std::vector<std::string>{"Sensor, S/N 1530-00-0000-1314",
                                                  "Not responding, S/N 1530-00-0000-1911"}));
    EXPECT_EQ(next()->getText(), "Remove");
    EXPECT_FALSE(nextEnabled());
    tap(check(1));
    EXPECT_TRUE(nextEnabled());
    tap(check(1));
    EXPECT_FALSE(nextEnabled());
    tap(check(0));
    tap(check(1));
    tapNext();
    EXPECT_EQ(state().getStateId(), PROCESS);
    EXPECT_EQ(handed(), (Ids{SENSOR, MISSING}));
}

TEST_F(RemoveTest, RoomComponentsAreListedPerRoomAndAComponentInTwoRoomsTwice) {
    open(FROM_EXISTING);
    openSections();
    EXPECT_EQ(checks(), (std::vector<std::string>{"Thermostat, S/N: 1530-00-0000-1312",
                                                  "Thermostat, S/N: 1530-00-0000-1312",
                                                  "Sensor, S/N: 1530-00-0000-1314"}));
    EXPECT_FALSE(nextEnabled());
    for (size_t i = 0; i < 3; ++i) {
        tap(check(i));
    }
    tapNext();
    EXPECT_EQ(handed(), (Ids{THERMOSTAT, THERMOSTAT, SENSOR}));
}

TEST_F(RemoveTest, ARoomIsHandedOverWholeAndAllRoomsAreTheLocation) {
    open(ROOM);
    EXPECT_EQ(checks(), (std::vector<std::string>{"Living room", "Bedroom"}));
    tap(check(0));
    tap(check(1));
    EXPECT_FALSE(check(0)->getChecked());
    tapNext();
    EXPECT_EQ(handed(), (Ids{BEDROOM}));

    open(ALL_ROOMS);
    EXPECT_TRUE(nextEnabled());
    tapNext();
    EXPECT_EQ(handed(), (Ids{OID_LOCATION}));
}

TEST_F(RemoveTest, EmptyListsSaySoAndNothingIsWritten) {
    const struct {
        unsigned state;
        const char* note;
    } rows[] = {{FROM_LOCATION, "There are no global components enrolled"},
                {FROM_EXISTING, "There are no rooms at this moment"},
                {ROOM, "There are no rooms at this moment"}};
    location().data(VID_GLOBAL_COMPONENTS, {1, 2, 3});
    device(CU).data(VID_OBJECT_INDICES, {});
    runTasks(2);
    for (const auto& row : rows) {
        open(row.state);
        EXPECT_NE(findByText(row.note), nullptr) << row.state;
        EXPECT_FALSE(nextEnabled()) << row.state;
    }
    EXPECT_EQ(published(), Published{});
}

// The marker 0xFFFFFFFF, the address 0 and the network's "all" address 0xFFFFFF name no device: whatever the
// control unit lists, such an id is never offered, never requested and traced once.
TEST_F(RemoveTest, IdsThatNameNoDeviceAreNeitherListedNorRequested) {
    constexpr uint32_t ALL_OF_5A = 0x5AFFFFFF;
    constexpr uint32_t NONE_OF_A5 = 0xA5000000;
    const Ids hostile{NO_ID, 0, ALL_OF_5A, NONE_OF_A5};
    location().oids(VID_GLOBAL_COMPONENTS, hostile);
    runTasks(2);
    open(FROM_LOCATION);
    EXPECT_EQ(checks(), std::vector<std::string>{});
    EXPECT_NE(findByText("There are no global components enrolled"), nullptr);
    EXPECT_FALSE(nextEnabled());

    Ids mixed = hostile;
    mixed.insert(mixed.begin() + 1, SENSOR);
    location().oids(VID_GLOBAL_COMPONENTS, mixed);
    room(LIVING).oids(VID_ROOM_COMPONENTS, mixed);
    runTasks(2);
    open(FROM_LOCATION);
    EXPECT_EQ(checks(), std::vector<std::string>{"Sensor, S/N 1530-00-0000-1314"});
    open(FROM_EXISTING);
    openSections();
    EXPECT_EQ(checks(), (std::vector<std::string>{"Sensor, S/N: 1530-00-0000-1314",
                                                  "Thermostat, S/N: 1530-00-0000-1312",
                                                  "Sensor, S/N: 1530-00-0000-1314"}));
    open(FROM_LOCATION);
    tap(check(0));
    tapNext();
    ASSERT_EQ(state().getStateId(), PROCESS);
    EXPECT_EQ(published(), (Published{list(VID_DELETE_LIST, {SENSOR})}));

    // A request handed ids that name no device writes nothing.
    open(FROM_LOCATION);
    openWith(PROCESS, {0x00FFFFFF, 0});
    EXPECT_EQ(published(), (Published{list(VID_DELETE_LIST, {SENSOR})}));
    EXPECT_EQ(countOf(trace(), "5AFFFFFF names no device"), 1u) << trace();
    EXPECT_EQ(countOf(trace(), "A5000000 names no device"), 1u) << trace();
}

} // namespace
} // namespace tdx::test
