// The room screens as a household uses them: the room with its desired temperature, presets and status, its
// settings, its temporary mode, and a thermostat's page.
#include "SourceApp/application/commands/bindings/ProxyUpDownRow.h"
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/application/controls/Timeline.h"
#include "SourceApp/application/controls/UpDown.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

namespace tdx::test {
namespace {

constexpr unsigned ROOM_SCREEN = 13;
constexpr unsigned ROOM_SETTINGS = 14;
constexpr unsigned TEMPORARY_MODE = 15;
constexpr unsigned THERMOSTAT = 58;
constexpr oid_t LIVING_ROOM = 0x01000316;
constexpr oid_t LIVING_ROOM_THERMOSTAT = 0x00000520;

TEST_F(DefaultInstallationTest, RoomScreens) {
    loadDefaultInstallation();
    runTasks();
    const struct {
        unsigned id;
        unsigned p1;
        const char* picture;
    } screens[] = {
        {ROOM_SCREEN, LIVING_ROOM, "FormRoomEdit"},
        {ROOM_SETTINGS, LIVING_ROOM, "FormRoomSettings"},
        {TEMPORARY_MODE, LIVING_ROOM, "FormRoomTemporaryMode"},
        {THERMOSTAT, LIVING_ROOM_THERMOSTAT, "FormRoomThermostat"},
    };
    for (const auto& s : screens) {
        open(s.id, s.p1);
        ASSERT_EQ(screen()->getName(), s.picture);
        screenshot(s.picture);
    }
}

} // namespace
} // namespace tdx::test
