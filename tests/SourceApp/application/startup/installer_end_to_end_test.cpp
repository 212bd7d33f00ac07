// The installer's wizards in the whole application against the simulated control unit: a component enrolled,
// components and rooms removed and the hardware profile changed, each answered (or not) by the control unit,
// and the display's mirror following.
#include "sim_app_fixture.h"

#include "Libraries/base/os.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/SerialNumberEditor.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/application/forms/VexalForm.h"
#include "SourceApp/big_table/proxytab.h"
#include "tools/simcu/sim_installer.h"

namespace tdx::test {
namespace {

using sim::SimAnswer;
using sim::SimProfileAnswer;

constexpr uint32_t LIVING = 0x01000316;
constexpr uint32_t BEDROOM = 0x02000316;
constexpr uint32_t OUTDOOR_SENSOR = 0x000522;
constexpr uint32_t LOCATION = 0xFEFFFFFE;

class Installer : public SynchronisedEndToEnd {
protected:
    // Scrolls the component into the page and taps it.
    void reveal(Component* c) {
        ASSERT_NE(c, nullptr);
        static_cast<VexalForm*>(core().getScreen())
            ->scrollTo(c, FOCUS_AS_NEEDED, c->getTop(), c->getBottom());
        run(100);
        tap(c);
    }
    static Button* next() {
        return find<Button>([](const Button& b) { return b.getWidth() == 80; });
    }
    bool waitForText(const std::string& text, uint32_t ms) {
        return runUntil([&] { return withText<TextFrame>(text) != nullptr; }, ms);
    }
    void typeSerial(const std::string& digits) {
        auto* editor = find<SerialNumberEditor>();
        ASSERT_NE(editor, nullptr);
        for (const char c : digits) {
            editor->handleKeyPress(c);
        }
        run(200);
    }
    static bool roomsMirrored() {
        for (const ProxyObject* o : Structure) {
            if (o->type().is(BT_OBJ_ROOM)) {
                return true;
            }
        }
        return false;
    }

    sim::SimInstaller mInstaller{mSim};
};

// What the control unit answers an enrolment with, and what the display then says.
constexpr struct {
    SimAnswer answer;
    const char* result;
    uint32_t waitMs;
} ENROLMENTS[] = {
    {SimAnswer::Success, "Enrollment complete", 10000},
    {SimAnswer::Failure, "Enrollment failed", 10000},
    {SimAnswer::Silent, "Enrollment timed out, control unit did not respond yet.", 32000},
};

TEST_F(Installer, AGlobalComponentIsEnrolledOrNot) {
    uint32_t serial = 1601;
    for (const auto& row : ENROLMENTS) {
        mInstaller.config().enrol = row.answer;
        open(11);
        open(39);
        tap(withText<NavigationLink>("Global component"));
        ASSERT_EQ(stateId(), 41u);
        ASSERT_TRUE(runUntil([&] { return !mInstaller.learnLists().empty(); }, 3000));
        EXPECT_EQ(mInstaller.learnLists().back(), std::vector<uint32_t>{0x000316});
        tap(next());
        ASSERT_EQ(stateId(), 43u);
        const std::string digits = std::to_string(++serial);
        typeSerial(std::string(10 - digits.size(), '0') + digits);
        tap(next());
        ASSERT_EQ(stateId(), 44u);
        ASSERT_TRUE(waitForText(row.result, row.waitMs)) << row.result;
        const bool enrolled = row.answer == SimAnswer::Success;
        EXPECT_EQ(mSim.model().object(serial).has_value(), enrolled) << row.result;
        EXPECT_TRUE(runUntil([&] { return (Structure.find(serial) != nullptr) == enrolled; }, 3000))
            << row.result;
        if (enrolled) {
            // The new unit tells what it is: its tile and information name its software, not a made-up one.
            EXPECT_TRUE(runUntil([&] { return pt_read_int(serial, 0x800D) == 1; }, 3000));
            EXPECT_EQ(pt_read_int(serial, 0x800C), static_cast<int>(serial));
        }
        tap(next());
        EXPECT_EQ(stateId(), 39u) << row.result;
    }
}

TEST_F(Installer, AThermostatIsEnrolledIntoAnExistingRoomOrNot) {
    uint32_t serial = 1700;
    for (const auto& row : ENROLMENTS) {
        mInstaller.config().enrol = row.answer;
        open(42);
        tap(withText<CheckButton>("Living room"));
        tap(next());
        ++serial;
        typeSerial("000000" + std::to_string(serial));
        tap(next());
        ASSERT_TRUE(waitForText(row.result, row.waitMs)) << row.result;
        if (row.answer == SimAnswer::Success) {
            ASSERT_TRUE(runUntil([&] { return Structure.find(serial) != nullptr; }, 3000));
            EXPECT_EQ(pt_read_int(serial, 0x80DE), static_cast<int>(LIVING));
        } else {
            EXPECT_FALSE(mSim.model().object(serial).has_value()) << row.result;
        }
    }
}

TEST_F(Installer, AComponentARoomAndAllRoomsAreRemoved) {
    open(46);
    reveal(find<CheckButton>([](const CheckButton& c) { return c.getText().starts_with("Outdoor sensor"); }));
    tap(next());
    ASSERT_TRUE(waitForText("Removal complete", 10000));
    EXPECT_TRUE(runUntil([] { return Structure.find(OUTDOOR_SENSOR) == nullptr; }, 3000));

    open(48);
    tap(withText<CheckButton>("Bedroom"));
    tap(next());
    ASSERT_TRUE(waitForText("Removal complete", 10000));
    EXPECT_TRUE(runUntil([] { return Structure.find(BEDROOM) == nullptr; }, 3000));
    EXPECT_NE(Structure.find(LIVING), nullptr);

    open(49);
    tap(next());
    ASSERT_TRUE(waitForText("Removal complete", 10000));
    EXPECT_TRUE(runUntil([] { return !roomsMirrored(); }, 3000));
}

TEST_F(Installer, ARemovalThatFailsOrGetsNoAnswerSaysSo) {
    const struct {
        SimAnswer answer;
        const char* result;
        uint32_t waitMs;
    } rows[] = {{SimAnswer::Failure, "Removal failed", 10000},
                {SimAnswer::Silent, "Removal timed out, control unit did not respond yet.", 32000}};
    for (const auto& row : rows) {
        mInstaller.config().removal = row.answer;
        open(49);
        tap(next());
        ASSERT_TRUE(waitForText(row.result, row.waitMs)) << row.result;
        EXPECT_TRUE(roomsMirrored());
    }
}

TEST_F(Installer, AProfileChangeRestartsTheDisplayIntoTheNewModel) {
    static bool restarted = false;
    restarted = false;
    os_set_restart_hook([] { restarted = true; });
    open(51);
    tap(withText<NavigationLink>("Change profile"));
    reveal(withText<CheckButton>("3.3.3 Heat Pump, 1 ITC, Automatic H/C change-over"));
    tap(next());
    tap(find<Button>([](const Button& b) { return b.getText() == "OK"; }));
    ASSERT_EQ(stateId(), 53u);
    ASSERT_TRUE(waitForText("Profile change complete", 10000));
    // The installer reads the result while the control unit restarts and the display loses it.
    run(20000);
    EXPECT_GE(mTrace.count("the network is lost"), 1u);
    ASSERT_EQ(stateId(), 53u);
    tap(next());
    ASSERT_TRUE(runUntil([] { return restarted; }, 3000));

    // The display starts again while the control unit restarts, and mirrors what it made of the profile.
    start(mLoop.port());
    ASSERT_TRUE(runUntil(synchronised, 60000));
    run(500);
    EXPECT_EQ(pt_read_int(LOCATION, 0x80E8), 10);
    EXPECT_FALSE(roomsMirrored());
    EXPECT_EQ(Structure.find(OUTDOOR_SENSOR), nullptr);
    Configuration.touch_scale_x = Configuration.touch_scale_y = 1.0f;
    Configuration.touch_offset_x = Configuration.touch_offset_y = 0.0f;
    open(51);
    EXPECT_NE(withText<TextFrame>("3.3.3 Heat Pump, 1 ITC, Automatic H/C change-over"), nullptr);
}

// A control unit that reports the old profile again, or resets the request, before it applies the new one.
TEST_F(Installer, AProfileAppliedAfterTheOldOneWasReportedAgainIsComplete) {
    mInstaller.config().profile = SimProfileAnswer::OldFirst;
    open(53, 10);
    EXPECT_TRUE(waitForText("Profile change complete", 10000));
}

TEST_F(Installer, AProfileAppliedAfterTheRequestWasResetIsComplete) {
    mInstaller.config().profile = SimProfileAnswer::ResetFirst;
    open(53, 10);
    EXPECT_TRUE(waitForText("Profile change complete", 10000));
}

// A control unit that applies another profile than the one asked for: the change failed, and it says so at
// once rather than after the time-out.
TEST_F(Installer, AProfileOtherThanTheRequestedOneFailsAtOnce) {
    mInstaller.config().profile = SimProfileAnswer::Fallback;
    open(53, 10);
    ASSERT_TRUE(waitForText("Profile change failed", 5000));
    EXPECT_EQ(pt_read_int(LOCATION, 0x80E8), 1) << "the profile the unit runs instead";
}

TEST_F(Installer, AProfileChangeRefusedOrUnansweredSaysSo) {
    const struct {
        SimProfileAnswer answer;
        const char* result;
    } rows[] = {{SimProfileAnswer::Refuse, "Profile change failed"},
                {SimProfileAnswer::Silent, "Profile change timed out, control unit did not respond yet."}};
    for (const auto& row : rows) {
        mInstaller.config().profile = row.answer;
        open(53, 10);
        ASSERT_TRUE(waitForText(row.result, 32000)) << row.result;
        EXPECT_EQ(pt_read_int(LOCATION, 0x80E8), 6);
    }
}

// Configuration backup and restore (state 26) as the control unit plays them: each link is out of reach while
// its request runs and back when the unit is idle again, whatever the outcome; a restore brings back what was
// stored, across the unit's restart.
TEST_F(Installer, ABackupIsAnsweredAndItsLinkComesBack) {
    const struct {
        SimAnswer answer;
        bool answered;
        int stored;
    } rows[] = {{SimAnswer::Success, true, 1}, {SimAnswer::Failure, true, 1}, {SimAnswer::Silent, false, 1}};
    for (const auto& row : rows) {
        mInstaller.config().backup = row.answer;
        open(26);
        NavigationLink* link = withText<NavigationLink>("Backup configuration");
        ASSERT_NE(link, nullptr);
        tap(link);
        run(500);
        EXPECT_FALSE(link->isEnabled()) << "busy";
        EXPECT_EQ(runUntil([&] { return link->isEnabled(); }, 10000), row.answered) << int(row.answer);
        EXPECT_EQ(mInstaller.backups(), row.stored) << int(row.answer);
        EXPECT_TRUE(withText<NavigationLink>("Restore from latest backup")->isEnabled());
    }
}

TEST_F(Installer, ARestoreBringsBackTheStoredInstallationAcrossTheUnitsRestart) {
    auto restore = [this] {
        open(26);
        tap(withText<NavigationLink>("Restore from latest backup"));
        tap(find<Button>([](const Button& b) { return b.getText() == "OK"; }));
        run(500);
        EXPECT_FALSE(withText<NavigationLink>("Restore from latest backup")->isEnabled());
    };
    // Nothing stored yet: refused, the link back and the installation as it was.
    restore();
    EXPECT_TRUE(runUntil(
        [] {
            return withText<NavigationLink>("Restore from latest backup") != nullptr &&
                   withText<NavigationLink>("Restore from latest backup")->isEnabled();
        },
        10000));
    EXPECT_EQ(mInstaller.restores(), 0);

    open(26);
    tap(withText<NavigationLink>("Backup configuration"));
    ASSERT_TRUE(
        runUntil([] { return withText<NavigationLink>("Backup configuration")->isEnabled(); }, 10000));
    sim::sim_remove_room(mSim, BEDROOM);
    ASSERT_TRUE(runUntil([] { return Structure.find(BEDROOM) == nullptr; }, 3000));

    // A failed restore leaves the room away and the unit running.
    mInstaller.config().restore = SimAnswer::Failure;
    restore();
    EXPECT_TRUE(
        runUntil([] { return withText<NavigationLink>("Restore from latest backup")->isEnabled(); }, 10000));
    run(2000);
    EXPECT_EQ(mInstaller.restores(), 0);
    EXPECT_EQ(Structure.find(BEDROOM), nullptr);

    mInstaller.config().restore = SimAnswer::Success;
    restore();
    EXPECT_TRUE(runUntil([this] { return mInstaller.restarting(); }, 10000));
    EXPECT_EQ(mInstaller.restores(), 1);
    // The display finds the unit again after its restart and mirrors the stored room once more.
    EXPECT_TRUE(runUntil([this] { return !mInstaller.restarting() && synchronised(); }, 30000));
    EXPECT_TRUE(runUntil([] { return Structure.find(BEDROOM) != nullptr; }, 30000));
    EXPECT_EQ(pt_read_int(LOCATION, 0x0052).value_or(0) & 0xFF, 0xFF);
}

} // namespace
} // namespace tdx::test
