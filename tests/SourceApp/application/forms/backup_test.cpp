// Configuration backup and restore: what the control unit is asked, once, and when each link comes back.
#include "SourceApp/application/controls/Popup.h"
#include "SourceApp/application/forms/system/FormSystemBackup.h"
#include "SourceApp/storage/net/TaviProtocol.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <algorithm>

namespace tdx::test {
namespace {

constexpr unsigned BACKUP = 26;
constexpr vid_t VID_BACKUP = FormSystemBackup::VID_BACKUP;
constexpr vid_t VID_RESTORE = FormSystemBackup::VID_RESTORE;

class BackupTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        location().value(VID_BACKUP, BT_VTYPE_U8, 0xFF).value(VID_RESTORE, BT_VTYPE_U8, 0xFF);
        connect();
        open(BACKUP);
    }
    const Component* backupLink() const { return findByText("Backup configuration"); }
    const Component* restoreLink() const { return findByText("Restore from latest backup"); }
};

TEST_F(BackupTest, TwoQuickTapsOnBackupAskTheControlUnitOnce) {
    tap(backupLink());
    tap(backupLink());
    runTasks();
    EXPECT_EQ(published(), (Published{{OID_LOCATION, VID_BACKUP, 1}}));
    EXPECT_FALSE(backupLink()->isEnabled());
    EXPECT_TRUE(restoreLink()->isEnabled());
}

TEST_F(BackupTest, RestoreAsksFirstAndOnlyItsOwnOkRestores) {
    tap(restoreLink());
    ASSERT_NE(find<Popup>(), nullptr);
    EXPECT_NE(findByText("Restore configuration"), nullptr);
    tap(findByText("Cancel"));
    // An OK that answers no question of this screen, such as a stray one of another popup.
    mCore.sendMessage(nullptr, MSG_POPUP_RESULT, Popup::RESULT_OK, 0, 0, 0);
    runTasks();
    EXPECT_TRUE(published().empty());
    EXPECT_TRUE(restoreLink()->isEnabled());

    tap(restoreLink());
    tap(findByText("OK"));
    runTasks();
    EXPECT_EQ(published(), (Published{{OID_LOCATION, VID_RESTORE, 1}}));
    EXPECT_FALSE(restoreLink()->isEnabled());
}

TEST_F(BackupTest, EachLinkComesBackWhenTheControlUnitReportsItsValueIdle) {
    const struct {
        const char* what;
        oid_t oid;
        bt_vtype vtype;
        int value;
        bool enabled;
    } cases[] = {
        {"idle as 16 bits", OID_LOCATION, BT_VTYPE_U16, 0x00FF, true},
        {"busy", OID_LOCATION, BT_VTYPE_U16, 0x0001, false},
        {"idle as a byte, the no-value marker", OID_LOCATION, BT_VTYPE_U8, 0xFF, true},
        {"idle in the low byte only", OID_LOCATION, BT_VTYPE_U32, 0x12FF, true},
        {"idle of another object", 0x01000316, BT_VTYPE_U16, 0x00FF, false},
    };
    object(0x01000316, BT_OBJ_ROOM);
    for (const auto& c : cases) {
        for (const vid_t vid : {VID_BACKUP, VID_RESTORE}) {
            open(BACKUP);
            tap(vid == VID_BACKUP ? backupLink() : restoreLink());
            if (vid == VID_RESTORE) {
                tap(findByText("OK"));
            }
            runTasks();
            ObjectBuilder(c.oid).value(vid, c.vtype, c.value);
            runTasks();
            const Component* link =
                findByText(vid == VID_BACKUP ? "Backup configuration" : "Restore from latest backup");
            EXPECT_EQ(link->isEnabled(), c.enabled) << c.what << " " << std::hex << vid;
            EXPECT_TRUE((vid == VID_BACKUP ? restoreLink() : backupLink())->isEnabled())
                << c.what << " the other link";
        }
    }
}

TEST_F(BackupTest, ABusyValueFromTheControlUnitDisablesTheLinkUntilIdleAndAReturnStartsEnabled) {
    receive(OID_LOCATION, VID_BACKUP, 3);
    runTasks();
    EXPECT_FALSE(backupLink()->isEnabled());
    open(BACKUP);
    EXPECT_TRUE(backupLink()->isEnabled()) << "the screen does not read the value when it is built";
    EXPECT_TRUE(published().empty());
}

// A confirmed restore announces the unit's restart: the network going down with it keeps the screen while
// the unit is away, up to 20 s; a loss without that announcement, or a second one, is a unit lost.
TEST_F(BackupTest, TheRestartAfterARestoreKeepsTheScreenWhileTheUnitIsAway) {
    const struct {
        const char* what;
        bool restore;                // the restore was confirmed (otherwise cancelled)
        uint32_t awayMs;             // 0: the unit does not come back
        bool lostAgain;              // the network goes down once more after the unit's return
        uint32_t notEnrolledAfterMs; // after the loss; 0: never
    } rows[] = {
        {"back after 5 s", true, 5000, false, 0},
        {"back after 19 s", true, 19000, false, 0},
        {"never back", true, 0, false, 20000},
        {"no restore asked", false, 5000, false, 1},
        {"lost again after its return", true, 5000, true, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        connect();
        open(BACKUP);
        tap(restoreLink());
        tap(findByText(row.restore ? "OK" : "Cancel"));
        runTasks();
        const size_t depth = historyDepth();
        disconnect(); // the bridge raises "not connected"
        runTasks(2);
        uint32_t shownAfter = 0;
        const uint32_t watch = row.awayMs != 0 ? row.awayMs : 25000;
        for (uint32_t ms = 0; ms < watch && shownAfter == 0; ms += TICK_MS) {
            if (state().getStateId() == 1) {
                shownAfter = std::max<uint32_t>(ms, 1);
            }
            tick();
        }
        if (row.awayMs != 0 && shownAfter == 0) {
            connect();
            networkEvent(Net::NET_EVENT_SYNC_STARTED);
            tick(2);
            EXPECT_EQ(state().getStateId(), BACKUP) << "the unit is back: the screen stays";
            EXPECT_EQ(historyDepth(), depth);
            if (row.lostAgain) {
                disconnect();
                runTasks(2);
                shownAfter = state().getStateId() == 1 ? 1 : 0;
            }
        }
        if (row.notEnrolledAfterMs <= 1) {
            EXPECT_EQ(shownAfter, row.notEnrolledAfterMs);
        } else {
            EXPECT_GE(shownAfter, row.notEnrolledAfterMs);
            EXPECT_LE(shownAfter, row.notEnrolledAfterMs + 2 * TICK_MS);
        }
    }
}

TEST_F(DefaultInstallationTest, BackupScreen) {
    loadDefaultInstallation();
    runTasks();
    picturesInEveryLanguage("FormSystemBackup", [this] { open(BACKUP); });
    open(BACKUP);
    EXPECT_TRUE(findByText("Backup configuration")->isEnabled());
}

} // namespace
} // namespace tdx::test
