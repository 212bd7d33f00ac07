// The control unit's side of the installer's requests, written by the display into values of the location:
//
//   enrolment   the learn list 0x80AC (object ids: the control unit for a global component, one room for its
//               thermostat, free outputs for a new room) and then the serial number 0x80AD; after a delay the
//               component is created, attached where the list said, its objects published, and 0x80AC
//               answered with an empty list;
//   removal     the delete list 0x80E6 (24-bit device ids, a room's object id, or the location for every
//               room); after a delay what it names is removed and 0x80E6 answered empty;
//   profile     0x80EE, the requested hardware profile; after a delay the configuration is wiped, 0x80E8
//               published as the new profile, and the unit restarts: it stops polling for a while.
//   backup      0x0051 set to 1; busy until, after a delay, the unit has stored its configuration and reports
//               idle again: 0x00FF as an unsigned 16-bit number.
//   restore     0x0052 set to 1; after a delay the unit takes back the configuration it stored last, reports
//               idle and restarts. Without a stored backup it refuses: idle again, nothing changed.
//
// Knobs make each answer fail, stay away or come too late, as a person testing the display wants.
#pragma once

#include "tools/simcu/simcu.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tdx::sim {

enum class SimAnswer {
    Success,
    Failure, // the list is answered without a valid value
    Silent,  // never answered
    Late,    // answered after lateMs, beyond the display's wait
};

enum class SimProfileAnswer {
    Apply,      // 0x80E8 becomes the requested profile
    Refuse,     // the old profile is published again and stays
    OldFirst,   // the old profile is published again, then the new one applied
    ResetFirst, // 0x80EE is set back to the old profile, then the new one applied
    Fallback,   // another profile than the old and the requested one is applied
    Silent,
};

struct SimInstallerConfig {
    SimAnswer enrol = SimAnswer::Success;
    // Before the answer, the learn list shrinks to its first id: an intermediate answer the display must wait
    // past.
    bool enrolInterim = false;
    uint32_t enrolDelayMs = 2000;
    SimAnswer removal = SimAnswer::Success;
    uint32_t removalDelayMs = 1000;
    SimProfileAnswer profile = SimProfileAnswer::Apply;
    uint32_t profileDelayMs = 1500;
    // Failure: idle again without a backup made or taken back.
    SimAnswer backup = SimAnswer::Success;
    uint32_t backupDelayMs = 3000;
    SimAnswer restore = SimAnswer::Success;
    uint32_t restoreDelayMs = 3000;
    // After applying a profile or a backup the unit restarts: silent this long.
    uint32_t restartSilenceMs = 6000;
    uint32_t lateMs = 35000;
};

// Parses the command line's words for the knobs ("enrol=fail", "profile=old-first" ...); false for a word it
// does not know.
bool sim_installer_option(const std::string& word, SimInstallerConfig& config);
// The words it knows, for --help.
const char* sim_installer_help();

class SimInstaller {
public:
    static constexpr uint32_t LOCATION = 0xFEFFFFFE;
    static constexpr uint16_t VID_LEARN_LIST = 0x80AC;
    static constexpr uint16_t VID_LEARN_SERIAL = 0x80AD;
    static constexpr uint16_t VID_DELETE_LIST = 0x80E6;
    static constexpr uint16_t VID_PROFILE = 0x80E8;
    static constexpr uint16_t VID_REQUESTED_PROFILE = 0x80EE;
    static constexpr uint16_t VID_BACKUP = 0x0051;
    static constexpr uint16_t VID_RESTORE = 0x0052;
    // What the unit reports on 0x0051 and 0x0052 when no backup or restore runs.
    static constexpr int64_t IDLE = 0x00FF;

    // Chains itself into the unit's receive and step listeners.
    explicit SimInstaller(SimControlUnit& unit, SimInstallerConfig config = {});
    SimInstaller(const SimInstaller&) = delete;
    SimInstaller& operator=(const SimInstaller&) = delete;

    SimInstallerConfig& config() { return mConfig; }

    // A sequenced command the unit took in from the display.
    void received(uint8_t cmd, const std::vector<uint8_t>& payload);
    // Runs what is due.
    void step();

    // Every state the learn list went through, as the display wrote it: its ids, or none when withdrawn.
    const std::vector<std::optional<std::vector<uint32_t>>>& learnLists() const { return mLearnLists; }
    // Devices created by enrolments, in order.
    const std::vector<uint32_t>& enrolled() const { return mEnrolled; }
    // The unit is restarting after a profile change or a restore.
    bool restarting() const { return mRestartEnds != 0; }
    // Backups stored and configurations taken back, in all.
    int backups() const { return mBackups; }
    int restores() const { return mRestores; }

private:
    struct Pending {
        uint64_t at;
        std::function<void()> action;
    };

    void later(uint32_t ms, std::function<void()> action);
    uint32_t answerDelay(SimAnswer answer, uint32_t delay) const;
    void enrol(const std::vector<uint32_t>& list, uint32_t serial);
    void remove(const std::vector<uint32_t>& list);
    void changeProfile(uint8_t profile);
    void applyProfile(uint8_t profile);
    void backup();
    void restore();
    void restart();

    SimControlUnit& mUnit;
    SimInstallerConfig mConfig;
    std::vector<Pending> mPending;
    std::vector<std::optional<std::vector<uint32_t>>> mLearnLists;
    std::vector<uint32_t> mEnrolled;
    uint64_t mRestartEnds = 0;
    std::optional<SimModel> mBackup;
    int mBackups = 0;
    int mRestores = 0;
};

// Installation changes as the control unit makes them, each published to a subscribed display.
std::vector<uint32_t> sim_ids(const SimModel& model, uint32_t oid, uint16_t vid);
void sim_publish_ids(SimControlUnit& unit, uint32_t oid, uint16_t vid, const std::vector<uint32_t>& ids);
// Removes a device with every object its index list names, and its id from every component list.
void sim_remove_device(SimControlUnit& unit, uint32_t device);
// Removes a room with its components and its place on its device.
void sim_remove_room(SimControlUnit& unit, uint32_t room);
// Makes the installation exactly the saved one again, announcing every difference a packet can carry; the
// display's own objects and values stay as they are.
void sim_restore_model(SimControlUnit& unit, const SimModel& saved);

} // namespace tdx::sim
