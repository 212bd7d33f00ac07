// The simulated control unit's answers to the installer's requests, as values in its model: what the display
// writes goes in as a PUBLISH, and time passes on the shared fake clock.
#include "Libraries/base/os.h"
#include "Libraries/tavi_net/tnet.h"
#include "tests/support/sim_values.h"
#include "tools/simcu/installation.h"
#include "tools/simcu/sim_installer.h"

#include <gtest/gtest.h>

namespace tdx::test {
namespace {

using sim::SimAnswer;
using sim::SimInstaller;
using sim::SimProfileAnswer;
using Ids = std::vector<uint32_t>;

constexpr uint32_t LOCATION = SimInstaller::LOCATION;
constexpr uint32_t CU = 0x000316;
constexpr uint32_t LIVING = 0x01000316;
constexpr uint32_t BEDROOM = 0x02000316;
constexpr uint32_t LIVING_THERMOSTAT = 0x000520;
constexpr uint32_t OUTDOOR_SENSOR = 0x000522;
constexpr uint32_t FREE_HEAD = 0x05000316;
constexpr uint32_t DISPLAY = 0x010410;
constexpr uint32_t DISPLAY_SECOND = 0x01010410;

class InstallerSimTest : public ::testing::Test {
protected:
    void SetUp() override {
        os_init();
        std::string error;
        auto installation = sim::sim_load_installation(sim::sim_default_installation_path(), &error);
        ASSERT_TRUE(installation) << error;
        mUnit.model() = std::move(installation->model);
    }
    // The display's write, as the unit takes it in: stored, then handed on.
    void write(uint16_t vid, const sim::SimValue& value) {
        mUnit.model().setValue(LOCATION, vid, value);
        mInstaller.received(TNET_CMD_PUBLISH, sim::sim_encode_publish(LOCATION, vid, value));
    }
    void writeIds(uint16_t vid, const Ids& ids) {
        std::vector<uint8_t> bytes(ids.size() * 4);
        for (size_t i = 0; i < ids.size(); ++i) {
            put_le32(bytes.data() + 4 * i, ids[i]);
        }
        write(vid, sim::sim_text(16, bytes));
    }
    void writeNumber(uint16_t vid, uint8_t type, int64_t n) { write(vid, *sim::sim_number(type, n)); }
    void enrol(const Ids& list, uint32_t serial) {
        writeIds(SimInstaller::VID_LEARN_LIST, list);
        writeNumber(SimInstaller::VID_LEARN_SERIAL, 14, serial);
    }
    void pass(uint32_t ms) {
        for (uint32_t t = 0; t < ms; t += 10) {
            os_clock_advance(10);
            mInstaller.step();
        }
    }
    // The list value: its ids, or none without a valid value.
    std::optional<Ids> list(uint32_t oid, uint16_t vid) {
        const auto v = mUnit.model().value(oid, vid);
        if (!v || !v->valid) {
            return std::nullopt;
        }
        return sim::sim_ids(mUnit.model(), oid, vid);
    }
    bool exists(uint32_t oid) { return mUnit.model().object(oid).has_value(); }

    sim::LoopStream mLoop{"installer-sim"};
    sim::SimControlUnit mUnit{mLoop};
    SimInstaller mInstaller{mUnit};
};

TEST_F(InstallerSimTest, TheLearnListIsRecordedAsTheDisplayWritesIt) {
    writeIds(SimInstaller::VID_LEARN_LIST, {CU});
    write(SimInstaller::VID_LEARN_LIST, sim::SimValue{16, false, 0, {}});
    writeIds(SimInstaller::VID_LEARN_LIST, {LIVING});
    EXPECT_EQ(mInstaller.learnLists(), (std::vector<std::optional<Ids>>{Ids{CU}, std::nullopt, Ids{LIVING}}));
}

TEST_F(InstallerSimTest, AnEnrolledComponentIsAttachedWhereTheLearnListSays) {
    const struct {
        const char* target;
        Ids list;
        uint32_t serial;
        uint32_t home; // 0: a new room
    } rows[] = {
        {"global", {CU}, 1601, LOCATION},
        {"existing room", {LIVING}, 1602, LIVING},
        {"new room", {FREE_HEAD}, 1603, 0},
    };
    for (const auto& row : rows) {
        enrol(row.list, row.serial);
        pass(1900);
        EXPECT_FALSE(exists(row.serial)) << row.target;
        pass(200);
        ASSERT_TRUE(exists(row.serial)) << row.target;
        EXPECT_EQ(list(LOCATION, SimInstaller::VID_LEARN_LIST), Ids{}) << row.target;
        const uint32_t home = static_cast<uint32_t>(heldNumber(mUnit.model(), row.serial, 0x80DE));
        const Ids globals = list(LOCATION, 0x80AE).value_or(Ids{});
        EXPECT_NE(std::find(globals.begin(), globals.end(), row.serial), globals.end()) << row.target;
        if (row.home == 0) {
            ASSERT_TRUE(exists(home)) << row.target;
            EXPECT_EQ(mUnit.model().object(home)->type, 6) << row.target;
            EXPECT_EQ(list(FREE_HEAD, 0x80A0), Ids{home});
            EXPECT_EQ(list(home, 0x80AE), Ids{row.serial});
        } else {
            EXPECT_EQ(home, row.home) << row.target;
        }
    }
    EXPECT_EQ(mInstaller.enrolled(), (Ids{1601, 1602, 1603}));
}

// As a real device tells the unit when it joins: what the device screens and tiles show of it.
TEST_F(InstallerSimTest, AnEnrolledDeviceReportsItsIdentity) {
    const struct {
        Ids list;
        uint32_t serial;
        const char* code;
        int version;
    } rows[] = {
        {{CU}, 1601, "HX316", 1},
        {{LIVING}, 1602, "KD201", 2},
    };
    for (const auto& row : rows) {
        enrol(row.list, row.serial);
        pass(2100);
        ASSERT_TRUE(exists(row.serial)) << row.code;
        auto text = [&](uint16_t vid) {
            const auto v = mUnit.model().value(row.serial, vid);
            return v && v->valid ? std::string(v->bytes.begin(), v->bytes.end()) : std::string("(none)");
        };
        auto number = [&](uint16_t vid) {
            const auto v = mUnit.model().value(row.serial, vid);
            return v && v->valid ? v->number() : -1;
        };
        EXPECT_EQ(text(0x80E3), row.code);
        EXPECT_EQ(text(0x80E4), row.code);
        EXPECT_EQ(number(0x800D), row.version) << row.code;
        EXPECT_EQ(number(0x800E), 1) << row.code;
        EXPECT_EQ(number(0x809E), 0) << row.code << ": no build";
        EXPECT_EQ(number(0x800C), row.serial) << row.code;
    }
}

TEST_F(InstallerSimTest, EnrolmentKnobs) {
    const struct {
        const char* knob;
        SimAnswer answer;
        bool interim;
        uint32_t ms;
        std::optional<Ids> answered;
        bool created;
    } rows[] = {
        {"fail", SimAnswer::Failure, false, 2100, std::nullopt, false},
        {"silent", SimAnswer::Silent, false, 60000, Ids{CU, LIVING}, false},
        {"late, not yet", SimAnswer::Late, false, 30000, Ids{CU, LIVING}, false},
        {"interim", SimAnswer::Success, true, 1100, Ids{CU}, false},
    };
    for (const auto& row : rows) {
        mInstaller.config().enrol = row.answer;
        mInstaller.config().enrolInterim = row.interim;
        // Two ids: a shorter list has one.
        enrol({CU, LIVING}, 1700);
        pass(row.ms);
        EXPECT_EQ(list(LOCATION, SimInstaller::VID_LEARN_LIST), row.answered) << row.knob;
        EXPECT_EQ(exists(1700), row.created) << row.knob;
        pass(40000);
    }
}

TEST_F(InstallerSimTest, RemovalTakesWhatTheDeleteListNames) {
    writeIds(SimInstaller::VID_DELETE_LIST, {OUTDOOR_SENSOR});
    pass(1100);
    EXPECT_FALSE(exists(OUTDOOR_SENSOR));
    EXPECT_EQ(list(LOCATION, 0x80AE), (Ids{CU, 0x000520, 0x000521}));
    EXPECT_EQ(list(LOCATION, SimInstaller::VID_DELETE_LIST), Ids{});

    writeIds(SimInstaller::VID_DELETE_LIST, {LIVING});
    pass(1100);
    EXPECT_FALSE(exists(LIVING));
    EXPECT_FALSE(exists(LIVING_THERMOSTAT));
    EXPECT_TRUE(exists(BEDROOM));

    writeIds(SimInstaller::VID_DELETE_LIST, {LOCATION});
    pass(1100);
    EXPECT_FALSE(exists(BEDROOM));
    EXPECT_TRUE(exists(CU));
}

TEST_F(InstallerSimTest, RemovalKnobs) {
    mInstaller.config().removal = SimAnswer::Failure;
    writeIds(SimInstaller::VID_DELETE_LIST, {OUTDOOR_SENSOR});
    pass(1100);
    EXPECT_EQ(list(LOCATION, SimInstaller::VID_DELETE_LIST), std::nullopt);
    EXPECT_TRUE(exists(OUTDOOR_SENSOR));
    mInstaller.config().removal = SimAnswer::Late;
    writeIds(SimInstaller::VID_DELETE_LIST, {OUTDOOR_SENSOR});
    pass(30000);
    EXPECT_TRUE(exists(OUTDOOR_SENSOR));
    pass(5100);
    EXPECT_FALSE(exists(OUTDOOR_SENSOR));
}

TEST_F(InstallerSimTest, AProfileChangeWipesTheConfigurationAndRestarts) {
    const struct {
        const char* knob;
        SimProfileAnswer answer;
        int64_t requestMidway; // 0x80EE halfway through the delay
        bool applied;
        int64_t runs; // 0x80E8 at the end
    } rows[] = {
        {"apply", SimProfileAnswer::Apply, 10, true, 10},
        {"refuse", SimProfileAnswer::Refuse, 10, false, 6},
        {"old first", SimProfileAnswer::OldFirst, 10, true, 10},
        {"reset first", SimProfileAnswer::ResetFirst, 6, true, 10},
        {"fallback", SimProfileAnswer::Fallback, 10, true, 1},
        {"silent", SimProfileAnswer::Silent, 10, false, 6},
    };
    for (const auto& row : rows) {
        SetUp();
        mInstaller.config().profile = row.answer;
        writeNumber(SimInstaller::VID_REQUESTED_PROFILE, 12, 10);
        pass(800);
        EXPECT_EQ(heldNumber(mUnit.model(), LOCATION, SimInstaller::VID_REQUESTED_PROFILE), row.requestMidway)
            << row.knob;
        pass(1200);
        EXPECT_EQ(heldNumber(mUnit.model(), LOCATION, SimInstaller::VID_PROFILE), row.runs) << row.knob;
        EXPECT_EQ(exists(LIVING), !row.applied) << row.knob;
        EXPECT_EQ(exists(OUTDOOR_SENSOR), !row.applied) << row.knob;
        EXPECT_TRUE(exists(CU)) << row.knob;
        EXPECT_EQ(mUnit.faults().stopPolling, row.applied) << row.knob;
        pass(6100);
        EXPECT_FALSE(mUnit.faults().stopPolling) << row.knob;
    }
}

// A fresh unit for each row: what the backup request leaves behind after the delay, and what a restore then
// makes of an installation changed since. The display's own objects and values, which the unit keeps as the
// display publishes them, are the display's: a restore leaves them as they are now.
TEST_F(InstallerSimTest, BackupAndRestoreAsTheKnobsSay) {
    const struct {
        const char* knob;
        SimAnswer backup;
        SimAnswer restore;
        uint32_t answerMs; // when the backup is answered
        bool stored;       // a backup was made
        bool restored;     // the restore brought the room back and the unit restarted
    } rows[] = {
        {"both succeed", SimAnswer::Success, SimAnswer::Success, 3000, true, true},
        {"backup fails", SimAnswer::Failure, SimAnswer::Success, 3000, false, false},
        {"restore fails", SimAnswer::Success, SimAnswer::Failure, 3000, true, false},
        {"backup late", SimAnswer::Late, SimAnswer::Success, 35000, true, true},
    };
    auto state = [this](uint16_t vid) {
        const auto v = mUnit.model().value(LOCATION, vid);
        return v && v->valid ? v->number() : -1;
    };
    for (const auto& row : rows) {
        SimInstaller installer(mUnit, {.backup = row.backup, .restore = row.restore});
        auto write = [&](uint16_t vid) {
            const sim::SimValue request = *sim::sim_number(12, 1);
            mUnit.model().setValue(LOCATION, vid, request);
            installer.received(TNET_CMD_PUBLISH, sim::sim_encode_publish(LOCATION, vid, request));
        };
        auto run = [&](uint32_t ms) {
            for (uint32_t t = 0; t < ms; t += 10) {
                os_clock_advance(10);
                installer.step();
            }
        };
        SetUp();
        ASSERT_TRUE(exists(LIVING));
        EXPECT_EQ(state(SimInstaller::VID_BACKUP), SimInstaller::IDLE) << "idle at the start";
        mUnit.knowClient(DISPLAY);
        mUnit.model().setObject(DISPLAY, 2, 0);
        mUnit.model().setObject(DISPLAY_SECOND, 3, 0);
        mUnit.model().setValue(DISPLAY, 0x002F, *sim::sim_number(12, 1));
        mUnit.model().setValue(DISPLAY_SECOND, 0x8090, sim::sim_text(15, {'A'}));
        const sim::SimValue name = heldValue(mUnit.model(), LOCATION, 0x8090);

        write(SimInstaller::VID_BACKUP);
        run(row.answerMs - 100);
        EXPECT_EQ(state(SimInstaller::VID_BACKUP), 1) << row.knob << ": busy";
        run(200);
        EXPECT_EQ(state(SimInstaller::VID_BACKUP), SimInstaller::IDLE) << row.knob;
        EXPECT_EQ(heldValue(mUnit.model(), LOCATION, SimInstaller::VID_BACKUP).type, 13)
            << row.knob << ": 0xFF as a 16-bit number, which no reader takes for a no-value marker";
        EXPECT_EQ(installer.backups(), row.stored ? 1 : 0) << row.knob;

        sim_remove_room(mUnit, LIVING);
        mUnit.model().setValue(LOCATION, 0x8099, *sim::sim_number(13, 7));
        mUnit.model().setValue(LOCATION, 0x8090, sim::sim_text(15, {'B'}));
        mUnit.model().setValue(DISPLAY, 0x002F, *sim::sim_number(12, 2));
        mUnit.model().setValue(DISPLAY, 0x0030, *sim::sim_number(12, 5));
        mUnit.model().removeObject(DISPLAY_SECOND);
        write(SimInstaller::VID_RESTORE);
        run(3100);
        EXPECT_EQ(state(SimInstaller::VID_RESTORE), SimInstaller::IDLE) << row.knob;
        EXPECT_EQ(state(SimInstaller::VID_BACKUP), SimInstaller::IDLE) << row.knob;
        EXPECT_EQ(exists(LIVING), row.restored) << row.knob;
        EXPECT_EQ(exists(LIVING_THERMOSTAT), row.restored) << row.knob;
        EXPECT_EQ(installer.restores(), row.restored ? 1 : 0) << row.knob;
        EXPECT_EQ(mUnit.model().value(LOCATION, 0x8099).has_value(), !row.restored)
            << row.knob << ": a value added since the backup goes with the restore";
        EXPECT_EQ(mUnit.model().value(LOCATION, 0x8090) == name, row.restored) << row.knob;
        EXPECT_EQ(heldNumber(mUnit.model(), DISPLAY, 0x002F), 2) << row.knob << ": the display's own";
        EXPECT_EQ(heldNumber(mUnit.model(), DISPLAY, 0x0030), 5) << row.knob << ": the display's own";
        EXPECT_FALSE(exists(DISPLAY_SECOND)) << row.knob << ": the display's own";
        run(500);
        EXPECT_EQ(mUnit.faults().stopPolling, row.restored) << row.knob << ": a restore restarts the unit";
        run(6100);
        EXPECT_FALSE(mUnit.faults().stopPolling) << row.knob;
    }
}

TEST_F(InstallerSimTest, AnUnansweredBackupStaysBusy) {
    mInstaller.config().backup = SimAnswer::Silent;
    mInstaller.config().restore = SimAnswer::Silent;
    writeNumber(SimInstaller::VID_BACKUP, 12, 1);
    writeNumber(SimInstaller::VID_RESTORE, 12, 1);
    pass(60000);
    EXPECT_EQ(heldNumber(mUnit.model(), LOCATION, SimInstaller::VID_BACKUP), 1);
    EXPECT_EQ(heldNumber(mUnit.model(), LOCATION, SimInstaller::VID_RESTORE), 1);
    EXPECT_EQ(mInstaller.backups(), 0);
}

TEST(InstallerSimOptions, TheCommandLineWordsSetTheKnobs) {
    sim::SimInstallerConfig config;
    for (const char* word :
         {"enrol=late", "enrol=interim", "remove=fail", "profile=fallback", "backup=fail", "restore=late"}) {
        EXPECT_TRUE(sim::sim_installer_option(word, config)) << word;
    }
    EXPECT_EQ(config.enrol, SimAnswer::Late);
    EXPECT_TRUE(config.enrolInterim);
    EXPECT_EQ(config.removal, SimAnswer::Failure);
    EXPECT_EQ(config.profile, SimProfileAnswer::Fallback);
    EXPECT_EQ(config.backup, SimAnswer::Failure);
    EXPECT_EQ(config.restore, SimAnswer::Late);
    EXPECT_FALSE(sim::sim_installer_option("enrol=maybe", config));
    EXPECT_FALSE(sim::sim_installer_option("", config));
}

} // namespace
} // namespace tdx::test
