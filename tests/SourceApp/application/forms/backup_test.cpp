// Configuration backup and restore: what the control unit is asked, once, and when each link comes back.
#include "Libraries/base/bytes.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Popup.h"
#include "SourceApp/application/forms/system/FormSystemBackup.h"
#include "SourceApp/storage/net/TaviProtocol.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <algorithm>

namespace tdx::test {
namespace {

constexpr unsigned NOT_ENROLLED = 1;
constexpr unsigned SPLASH = 2;
constexpr unsigned ALARMS = 7;
constexpr unsigned HOME = 9;
constexpr unsigned SYSTEM = 11;
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
    // The top bar's n-th button from the left: back, home, alarms, help.
    const IconButton* topBarButton(size_t n) const {
        std::vector<IconButton*> bar;
        for (IconButton* button : findAll<IconButton>()) {
            if (button->getBoundingBox().contains(button->getBoundingBox().x1, 15) &&
                button->getBoundingBox().y1 == 0) {
                bar.push_back(button);
            }
        }
        std::sort(bar.begin(), bar.end(), [](const IconButton* a, const IconButton* b) {
            return a->getBoundingBox().x1 < b->getBoundingBox().x1;
        });
        return n < bar.size() ? bar[n] : nullptr;
    }
    // Time passing tick by tick; notes when the not-enrolled screen is first seen, counted in ms from the
    // start of the clock `since`.
    void run(uint32_t ms, uint32_t& since, uint32_t& notEnrolledAt) {
        for (const uint32_t end = since + ms; since < end; since += TICK_MS) {
            if (notEnrolledAt == 0 && state().getStateId() == NOT_ENROLLED) {
                notEnrolledAt = std::max<uint32_t>(since, 1);
            }
            tick();
        }
    }
    // The system menu, then the backup screen through its link, as a user gets there.
    void openFromTheSystemMenu() {
        open(SYSTEM);
        followTheBackupLink();
    }
    // On the system menu: the link's section opened first, its sections closed as the menu is built.
    void followTheBackupLink() {
        const char* const text = "Configuration backup & restore";
        for (size_t section = 0; findByText(text) == nullptr && section < 2; ++section) {
            tap(findAll<DropdownButton>().at(section));
            runTasks();
        }
        tap(findByText(text));
        runTasks(2);
    }
    void confirmRestore() {
        tap(restoreLink());
        tap(findByText("OK"));
        runTasks();
    }
    // The unit publishes a number: it comes through the network bridge.
    static void publishedByTheUnit(oid_t oid, vid_t vid, bt_vtype vtype, int number) {
        uint8_t payload[TNET_MAX_COMMAND_SIZE];
        put_le32(payload + TNET_PUB_OFS_OID, oid);
        put_le16(payload + TNET_PUB_OFS_VID, vid);
        payload[TNET_PUB_OFS_VTYPE] = vtype;
        put_le32(payload + TNET_PUB_OFS_TIMESTAMP, 0);
        const unsigned width = bt_vtype_width(vtype);
        put_le(payload + TNET_PUBLISH_HEADER_SIZE, static_cast<uint32_t>(number), width);
        Net::Tavi.handleReceived(TNET_CMD_PUBLISH, payload,
                                 static_cast<uint16_t>(TNET_PUBLISH_HEADER_SIZE + width));
    }
    // The values the network bridge hands to the link now, other than the display's own, each taken by the
    // unit at once.
    static Published handedToTheLink() {
        Published handed;
        uint8_t cmd = 0;
        uint8_t payload[TNET_MAX_COMMAND_SIZE];
        for (int packets = 0; packets < 100 && Net::Tavi.handleTransmit(&cmd, payload, sizeof payload) >= 0;
             ++packets) {
            Net::Tavi.handleTransmitted(cmd);
            const oid_t oid = get_le32(payload + TNET_PUB_OFS_OID);
            const bt_vtype vtype = payload[TNET_PUB_OFS_VTYPE];
            if (cmd == TNET_CMD_PUBLISH && oid_address(oid) != tnet_get_address() &&
                !BT_VTYPE_IS_BYTES(vtype)) {
                const u32 raw = get_le(payload + TNET_PUB_OFS_VALUE, bt_vtype_width(vtype));
                handed.emplace_back(oid, get_le16(payload + TNET_PUB_OFS_VID),
                                    bt_vtype_normalise(vtype, static_cast<int>(raw)));
            }
        }
        return handed;
    }
};

// No installation: the display knows no location object.
using NoLocationTest = FormsTest;

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
            if (vid == VID_RESTORE) {
                // Neither link is offered while the restore's restart is expected: a minute at most.
                wait(61000);
            }
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
            } else {
                // Past the end of the wait, the main loop's tasks all running: the unit's return ended it.
                uint32_t since = row.awayMs;
                uint32_t notEnrolledAt = 0;
                run(25000, since, notEnrolledAt);
                EXPECT_EQ(notEnrolledAt, 0u) << "the unit is back: no not-enrolled screen follows";
                EXPECT_EQ(state().getStateId(), BACKUP);
                EXPECT_EQ(historyDepth(), depth);
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

// The bridge keeps what the user writes from the confirmed restore until the unit is back from the restart
// after it, and only then: the unit's return, or the end of the wait for it, ends that, so that a later loss
// is a unit lost as any. A change made before the unit is missed, which the restart meets unsent, reaches the
// unit on its return, also where the restore took that value back; so does one the unit took before its
// restart, whose value the restore publishes before the unit goes.
TEST_F(BackupTest, WritesMadeDuringTheRestartAreKeptOnlyUntilItEnds) {
    constexpr oid_t ROOM = 0x01000316;
    constexpr vid_t DESIRED = 0x001D;
    room(ROOM).value(DESIRED, BT_VTYPE_S16_X100, 2200);
    const struct {
        const char* what;
        uint32_t awayMs;    // 0: the unit does not come back
        bool changedBefore; // 19.00 written before the unit is missed; the restore sets 24.60
        bool takenBefore;   // and the unit takes it before it restarts
    } rows[] = {{"back after 5 s", 5000, false, false},
                {"never back", 0, false, false},
                {"changed before the unit is missed, back after 5 s", 5000, true, false},
                {"changed and taken before the restart, back after 5 s", 5000, true, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        connect();
        open(BACKUP);
        confirmRestore();
        EXPECT_TRUE(Net::Tavi.keepsOfflineWrites()) << "the restart is announced";
        if (row.changedBefore) {
            ASSERT_EQ(pt_set_int(ROOM, DESIRED, 1900, BT_VTYPE_S16_X100), PT_OK);
            runTasks();
        }
        if (row.takenBefore) {
            EXPECT_EQ(handedToTheLink(), (Published{{OID_LOCATION, VID_RESTORE, 1}, {ROOM, DESIRED, 1900}}))
                << "taken by the unit";
            publishedByTheUnit(ROOM, DESIRED, BT_VTYPE_S16_X100, 2460); // the restore's, before the restart
            runTasks(2);
            int shown = 0;
            EXPECT_EQ(pt_get_int(&shown, ROOM, DESIRED), PT_OK);
            EXPECT_EQ(shown, 1900) << "the user's change stands through the restore";
        }
        disconnect();
        runTasks(2);
        EXPECT_TRUE(Net::Tavi.keepsOfflineWrites()) << "away in its restart";
        uint32_t since = 0;
        uint32_t notEnrolledAt = 0;
        if (row.awayMs != 0) {
            run(row.awayMs, since, notEnrolledAt);
            EXPECT_TRUE(Net::Tavi.keepsOfflineWrites());
            connect(CONTROL_UNIT,
                    row.changedBefore ? std::optional(PublishedValue(ROOM, DESIRED, 2460)) : std::nullopt);
            runTasks(2);
        } else {
            run(25000, since, notEnrolledAt);
        }
        EXPECT_FALSE(Net::Tavi.keepsOfflineWrites()) << "the restart is over";
        if (row.changedBefore) {
            int shown = 0;
            EXPECT_EQ(pt_get_int(&shown, ROOM, DESIRED), PT_OK);
            EXPECT_EQ(shown, 1900) << "shown through the return";
            EXPECT_EQ(handedToTheLink(), (Published{{ROOM, DESIRED, 1900}})) << "sent once synchronised";
        }
    }
}

// The wait for the unit's restart belongs to no screen: whatever the user does meanwhile, a unit still away
// 20 s after the loss brings the not-enrolled screen, from which its return leads through the splash; a unit
// back within the wait leaves the user where they are.
TEST_F(BackupTest, TheRestartIsWaitedForWhateverTheUserDoesMeanwhile) {
    enum class Move { Home, Back, Alarms, AwayAndBackAgain, HomeBeforeTheLoss };
    const struct {
        const char* what;
        Move move;
        uint32_t awayMs; // 0: the unit does not come back
        unsigned shown;  // the screen the user is on after the move
    } rows[] = {
        {"home, unit away", Move::Home, 0, HOME},
        {"home, unit back after 5 s", Move::Home, 5000, HOME},
        {"back to the system menu, unit away", Move::Back, 0, SYSTEM},
        {"back to the system menu, unit back after 19 s", Move::Back, 19000, SYSTEM},
        {"the alarms, unit away", Move::Alarms, 0, ALARMS},
        {"the alarms, unit back after 10 s", Move::Alarms, 10000, ALARMS},
        {"away and back to the backup screen, unit away", Move::AwayAndBackAgain, 0, BACKUP},
        {"away and back to the backup screen, unit back after 5 s", Move::AwayAndBackAgain, 5000, BACKUP},
        {"home before the unit goes, unit away", Move::HomeBeforeTheLoss, 0, HOME},
        {"home before the unit goes, unit back after 5 s", Move::HomeBeforeTheLoss, 5000, HOME},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        connect();
        openFromTheSystemMenu();
        ASSERT_EQ(state().getStateId(), BACKUP);
        confirmRestore();
        auto move = [&] {
            switch (row.move) {
                case Move::Home:
                case Move::HomeBeforeTheLoss:
                    tap(topBarButton(1));
                    break;
                case Move::Back:
                    tap(topBarButton(0));
                    break;
                case Move::Alarms:
                    tap(topBarButton(2));
                    break;
                case Move::AwayAndBackAgain:
                    tap(topBarButton(0));
                    runTasks(2);
                    followTheBackupLink();
                    break;
            }
            runTasks(2);
        };
        uint32_t since = 0;
        uint32_t notEnrolledAt = 0;
        if (row.move == Move::HomeBeforeTheLoss) {
            move();
        }
        disconnect(); // the bridge raises "not connected"
        runTasks(2);
        if (row.move != Move::HomeBeforeTheLoss) {
            EXPECT_EQ(state().getStateId(), BACKUP) << "the restart was announced: the screen stays";
            run(1000, since, notEnrolledAt);
            move();
        }
        EXPECT_EQ(state().getStateId(), row.shown);
        if (row.awayMs == 0) {
            run(25000 - since, since, notEnrolledAt);
            EXPECT_GE(notEnrolledAt, 20000u);
            EXPECT_LE(notEnrolledAt, 20000u + 2 * TICK_MS);
            EXPECT_EQ(state().getStateId(), NOT_ENROLLED);
            connect();
            networkEvent(Net::NET_EVENT_SYNC_STARTED);
            runTasks(2);
            EXPECT_EQ(state().getStateId(), SPLASH) << "the unit's return";
        } else {
            run(row.awayMs - since, since, notEnrolledAt);
            connect();
            networkEvent(Net::NET_EVENT_SYNC_STARTED);
            run(30000, since, notEnrolledAt);
            EXPECT_EQ(notEnrolledAt, 0u);
            EXPECT_EQ(state().getStateId(), row.shown);
            // The wait is over: the next loss is a unit lost at once.
            disconnect();
            runTasks(2);
            EXPECT_EQ(state().getStateId(), NOT_ENROLLED) << "a second loss";
        }
    }
}

// A restore that the unit does not follow with a restart (refused, or never answered) announces it for a
// minute at most: a loss after that is a unit lost, at once.
TEST_F(BackupTest, ARestoreNotFollowedByARestartWithinAMinuteAnnouncesNothing) {
    const struct {
        uint32_t lossAfterMs;
        unsigned shown; // right after the loss
    } rows[] = {{50000, BACKUP}, {61000, NOT_ENROLLED}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.lossAfterMs);
        connect();
        open(BACKUP);
        confirmRestore();
        uint32_t since = 0;
        uint32_t notEnrolledAt = 0;
        run(row.lossAfterMs, since, notEnrolledAt);
        disconnect();
        runTasks(2);
        EXPECT_EQ(state().getStateId(), row.shown);
        run(25000, since, notEnrolledAt);
        EXPECT_EQ(state().getStateId(), NOT_ENROLLED) << "the unit stayed away";
    }
}

// The unit answers the restore by reporting it idle, and restarts at once when it takes the configuration
// back; one that only reports idle refused it. A loss noticed later after the answer than a unit restarting
// at once is missed (5 s) is the unit lost, reported at once, whichever screen the user is on; one noticed
// within that time is the restart, waited for.
TEST_F(BackupTest, ARestoreTheUnitAnswersWithoutRestartingAnnouncesNoRestartPastItsAnswer) {
    const struct {
        const char* what;
        bool home;            // the user goes home before the answer
        bool answered;        // the unit reports the restore idle 3 s after the request
        uint32_t lossAfterMs; // noticed, after the request
        unsigned shown;       // right after the loss
    } rows[] = {
        {"refused, the unit silent 8 s later", false, true, 14000, NOT_ENROLLED},
        {"refused, the unit silent 8 s later, home meanwhile", true, true, 14000, NOT_ENROLLED},
        {"refused, the loss noticed 5.5 s after the answer", false, true, 8500, NOT_ENROLLED},
        {"taken back, its restart noticed 3.5 s after the answer", false, true, 6500, BACKUP},
        {"taken back, its restart noticed 3.5 s after the answer, home meanwhile", true, true, 6500, HOME},
        {"taken back, its restart noticed 4.8 s after the answer", false, true, 7800, BACKUP},
        {"unanswered, lost after 30 s", false, false, 30000, BACKUP},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        connect();
        open(BACKUP);
        confirmRestore();
        if (row.home) {
            tap(topBarButton(1));
            runTasks(2);
        }
        uint32_t since = 0;
        uint32_t notEnrolledAt = 0;
        run(3000, since, notEnrolledAt);
        if (row.answered) {
            receive(OID_LOCATION, VID_RESTORE, 0x00FF);
        }
        run(row.lossAfterMs - since, since, notEnrolledAt);
        EXPECT_EQ(notEnrolledAt, 0u) << "connected all the while";
        disconnect();
        runTasks(2);
        EXPECT_EQ(state().getStateId(), row.shown);
        // The unit stays away: a restart waited for ends 20 s after the loss.
        run(21000, since, notEnrolledAt);
        EXPECT_EQ(state().getStateId(), NOT_ENROLLED);
    }
}

// A restore announced again while the earlier one's restart is still expected, before the unit answered it
// or after an answer not yet taken for a refusal: the screen no longer offers that, but the update manager
// takes the second announcement as ending the first, whose restart did not come: a change the unit took
// meanwhile is settled (the second restore takes it back), and the second request is sent once: the unit that
// returns does not get it again (it would restore once more).
TEST_F(BackupTest, ARestoreAskedAgainAfterAnAnswerWithoutARestartIsSentOnce) {
    constexpr oid_t ROOM = 0x01000316;
    constexpr vid_t DESIRED = 0x001D;
    room(ROOM).value(DESIRED, BT_VTYPE_S16_X100, 2200);
    const struct {
        const char* what;
        bool answered;         // the unit answered the first request before the second
        uint32_t againAfterMs; // the second request, after the first's answer (or the first)
    } rows[] = {{"asked again at once", true, 500},
                {"asked again 4 s later", true, 4000},
                {"announced again before the unit answered", false, 1000}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        connect();
        open(BACKUP);
        confirmRestore();
        EXPECT_EQ(handedToTheLink(), (Published{{OID_LOCATION, VID_RESTORE, 1}}));
        ASSERT_EQ(pt_set_int(ROOM, DESIRED, 1900, BT_VTYPE_S16_X100), PT_OK);
        runTasks();
        EXPECT_EQ(handedToTheLink(), (Published{{ROOM, DESIRED, 1900}})) << "taken by the unit";
        uint32_t since = 0;
        uint32_t notEnrolledAt = 0;
        if (row.answered) {
            run(3000, since, notEnrolledAt);
            receive(OID_LOCATION, VID_RESTORE, 0xFF);
        }
        run(row.againAfterMs, since, notEnrolledAt);
        EXPECT_FALSE(restoreLink()->isEnabled()) << "not offered again before the unit is back";
        // The request and its announcement, as the screen made them when it offered a second restore.
        ASSERT_EQ(pt_set_int(OID_LOCATION, VID_RESTORE, 1, BT_VTYPE_U8), PT_OK);
        // (Whether the unit answered it matters not here: the loss that follows is its restart.)
        updates().announceRestart(20000, [] { return false; });
        runTasks();
        EXPECT_EQ(handedToTheLink(), (Published{{OID_LOCATION, VID_RESTORE, 1}})) << "the second request";
        receive(OID_LOCATION, VID_RESTORE, 0xFF);
        disconnect();
        runTasks(2);
        EXPECT_TRUE(Net::Tavi.keepsOfflineWrites()) << "away in its restart";
        run(5000, since, notEnrolledAt);
        connect(CONTROL_UNIT, PublishedValue(ROOM, DESIRED, 2460));
        runTasks(2);
        EXPECT_EQ(handedToTheLink(), Published{}) << "nothing sent again on the return";
        EXPECT_EQ(pt_read_int(ROOM, DESIRED), 2460) << "the second restore took the change back";
        EXPECT_EQ(state().getStateId(), BACKUP);
        EXPECT_EQ(notEnrolledAt, 0u);
    }
}

// A restart announced by a restore is ended by the loss of the unit however the screen shown took it: a
// screen of its own road (the touch test, an installer request's result, the splash) does not ask whether a
// restart was expected. A loss after the unit's return, within the minute of the announcement, is a unit
// lost.
TEST_F(BackupTest, ALossAnotherScreensRoadTookEndsTheAnnouncedRestart) {
    const struct {
        const char* what;
        unsigned screen;
        unsigned p1;
    } rows[] = {
        {"the touch test", 72, 0},
        {"a profile change's result", 53, 10},
        {"the splash", SPLASH, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        location().value(0x80E8, BT_VTYPE_U8, 3);
        connect();
        open(BACKUP);
        confirmRestore();
        open(row.screen, row.p1);
        disconnect(); // the restart, taken by that screen
        tick(3);
        connect();
        networkEvent(Net::NET_EVENT_SYNC_STARTED);
        tick(3);
        open(HOME);
        wait(10000);
        disconnect(); // lost for good, well within the minute
        runTasks(2);
        EXPECT_EQ(state().getStateId(), NOT_ENROLLED) << "reported at once";
    }
}

// While the unit restarts after a restore, neither link is offered, on the screen that asked and on one
// opened again meanwhile, until the unit is back; the unit's report that the restore is idle, which comes
// before its restart, offers nothing.
TEST_F(BackupTest, TheRestoreLinkStaysDisabledWhileTheUnitRestartsAfterARestore) {
    enum class Where { Stayed, OpenedAgain };
    for (const Where where : {Where::Stayed, Where::OpenedAgain}) {
        SCOPED_TRACE(where == Where::Stayed ? "the screen that asked" : "the screen opened again");
        connect();
        openFromTheSystemMenu();
        confirmRestore();
        EXPECT_FALSE(restoreLink()->isEnabled()) << "asked";
        receive(OID_LOCATION, VID_RESTORE, 0x00FF);
        tick();
        EXPECT_FALSE(restoreLink()->isEnabled()) << "answered idle, the restart still to come";
        EXPECT_FALSE(backupLink()->isEnabled());
        wait(500);
        disconnect(); // the restart
        tick();
        if (where == Where::OpenedAgain) {
            tap(topBarButton(0));
            runTasks(2);
            followTheBackupLink();
        }
        ASSERT_EQ(state().getStateId(), BACKUP);
        EXPECT_FALSE(restoreLink()->isEnabled()) << "the unit is away";
        EXPECT_FALSE(backupLink()->isEnabled());
        EXPECT_GT(countNear(restoreLink()->getVisibleBox(), colour::DISABLED), 0) << "greyed";
        EXPECT_EQ(countColour(restoreLink()->getVisibleBox(), colour::TEXT), 0) << "nothing black";
        wait(10000);
        EXPECT_FALSE(restoreLink()->isEnabled()) << "still away";
        connect();
        networkEvent(Net::NET_EVENT_SYNC_STARTED);
        tick();
        EXPECT_TRUE(restoreLink()->isEnabled()) << "back";
        EXPECT_TRUE(backupLink()->isEnabled());
        EXPECT_GT(countColour(restoreLink()->getVisibleBox(), colour::TEXT), 0) << "black again";
        tap(restoreLink());
        EXPECT_NE(findByText("Restore configuration"), nullptr) << "a restore can be asked again";
        tap(findByText("Cancel"));
    }
}

// From a restore's confirmation until the unit is back, the screen offers no request, also when opened again
// meanwhile: a backup or restore the unit took before its restart would be carried out with the configuration
// it takes back, or restore and restart it once more, unannounced. Each road that ends the wait offers both
// again: the unit's return, its refusal (nothing stored), the announcement's lapse, and the end of the wait
// for a unit that stays away, after which the screen opened once the unit is back offers them.
TEST_F(BackupTest, NoRequestIsOfferedFromARestoresConfirmationUntilTheUnitIsBack) {
    const struct {
        const char* what;
        uint32_t answerAt;  // ms after the confirmation: the unit reports the restore idle (0: never)
        uint32_t lossAt;    // the unit falls silent (0: never)
        uint32_t backAt;    // the unit is back (0: not within the wait)
        uint32_t reopenAt;  // the user leaves the screen and opens it again (0: stays)
        uint32_t offeredAt; // both links offered again (0: only on the screen opened after the wait's end)
    } rows[] = {
        {"taken back, restarted and back", 3350, 6440, 11000, 0, 11000},
        {"opened again before the unit's answer", 3350, 6440, 11000, 1000, 11000},
        {"opened again after its answer", 3350, 6440, 11000, 4500, 11000},
        {"opened again while the unit is away", 3350, 6440, 11000, 8000, 11000},
        {"refused: nothing stored", 3350, 0, 0, 0, 3350 + 5000},
        {"refused, opened again meanwhile", 3350, 0, 0, 5000, 3350 + 5000},
        {"unanswered: the announcement lapses", 0, 0, 0, 0, 60000},
        {"the unit stays away: the wait ends", 3350, 6440, 0, 0, 0},
        {"lost before its answer", 0, 2000, 0, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        connect();
        openFromTheSystemMenu();
        confirmRestore();
        const auto at = [](uint32_t event, uint32_t t) {
            return event != 0 && event >= t && event < t + TICK_MS;
        };
        uint32_t offered = 0;
        uint32_t notEnrolledAt = 0;
        const uint32_t end = row.offeredAt != 0 ? row.offeredAt + 3000 : row.lossAt + 22000;
        for (uint32_t t = 0; t < end; t += TICK_MS) {
            if (at(row.answerAt, t)) {
                receive(OID_LOCATION, VID_RESTORE, 0x00FF);
            }
            if (at(row.lossAt, t)) {
                disconnect();
            }
            if (at(row.backAt, t)) {
                connect();
                networkEvent(Net::NET_EVENT_SYNC_STARTED);
            }
            if (at(row.reopenAt, t)) {
                tap(topBarButton(0));
                runTasks(2);
                followTheBackupLink();
                ASSERT_EQ(state().getStateId(), BACKUP);
            }
            tick();
            if (state().getStateId() == BACKUP && offered == 0 &&
                (backupLink()->isEnabled() || restoreLink()->isEnabled())) {
                offered = std::max<uint32_t>(t, 1);
                EXPECT_TRUE(backupLink()->isEnabled()) << "both at once";
                EXPECT_EQ(restoreLink()->isEnabled(), row.answerAt != 0)
                    << "a restore not reported idle is busy";
            }
            if (notEnrolledAt == 0 && state().getStateId() == NOT_ENROLLED) {
                notEnrolledAt = std::max<uint32_t>(t, 1);
            }
        }
        if (row.offeredAt != 0) {
            EXPECT_GE(offered + 2 * TICK_MS, row.offeredAt);
            EXPECT_LE(offered, row.offeredAt + 2 * TICK_MS);
            EXPECT_EQ(notEnrolledAt, 0u);
            EXPECT_EQ(state().getStateId(), BACKUP);
            continue;
        }
        EXPECT_EQ(offered, 0u) << "nothing offered while the unit is away";
        EXPECT_GE(notEnrolledAt + 2 * TICK_MS, row.lossAt + 20000) << "the wait's end";
        EXPECT_LE(notEnrolledAt, row.lossAt + 20000 + 2 * TICK_MS);
        connect();
        networkEvent(Net::NET_EVENT_SYNC_STARTED);
        runTasks(2);
        openFromTheSystemMenu();
        ASSERT_EQ(state().getStateId(), BACKUP);
        EXPECT_TRUE(backupLink()->isEnabled()) << "the unit is back";
        EXPECT_TRUE(restoreLink()->isEnabled());
    }
}

TEST_F(NoLocationTest, ARestoreWithoutALocationObjectAnnouncesNoRestart) {
    connect();
    open(BACKUP);
    tap(findByText("Restore from latest backup"));
    tap(findByText("OK"));
    runTasks();
    EXPECT_TRUE(published().empty()) << "nothing to write into";
    disconnect();
    runTasks(2);
    EXPECT_EQ(state().getStateId(), NOT_ENROLLED) << "a unit lost as any";
}

TEST_F(DefaultInstallationTest, BackupScreen) {
    loadDefaultInstallation();
    runTasks();
    picturesInEveryLanguage("FormSystemBackup", [this] { open(BACKUP); });
    open(BACKUP);
    EXPECT_TRUE(findByText("Backup configuration")->isEnabled());
}

// The backup screen opened again while the unit restarts after a restore: both links greyed.
TEST_F(DefaultInstallationTest, BackupScreenWhileTheUnitRestartsAfterARestore) {
    loadDefaultInstallation();
    connect();
    open(BACKUP);
    tap(findByText("Restore from latest backup"));
    tap(findByText("OK"));
    runTasks();
    disconnect();
    runTasks(2);
    picturesInEveryLanguage("FormSystemBackup_restarting", [this] { open(BACKUP); });
    open(BACKUP);
    const Component* restore = findByText("Restore from latest backup");
    ASSERT_NE(restore, nullptr);
    EXPECT_FALSE(restore->isEnabled());
    EXPECT_FALSE(findByText("Backup configuration")->isEnabled());
}

} // namespace
} // namespace tdx::test
