// A device's bootloader side as the simulator plays it: a running application that restarts into its
// bootloader on RUN_BL (after a delay, during which it answers nothing), accepts an upgrade chunk by chunk,
// checking each against the file it was given in UPGRADE_START, verifies the data CRC and restarts into the
// application, with the version the upgrade brought, on RUN_APP. Its knobs make it misbehave as a real
// device can (docs/device-network.md, "When a device is updated").
#pragma once

#include "Libraries/tavi_net/bl_protocol.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tdx::sim {

class SimBootloader {
public:
    struct Config {
        bl_dev_info info{};
        bool upgradable = true;
        uint16_t maxRestartSeconds = 2;   // announced; the real restart must stay below it
        uint32_t restartMs = 1200;        // real time of a restart on timer()
        uint32_t bootloaderRestartMs = 0; // the restart into the bootloader, when not 0; else restartMs
        uint16_t maxChunk = 128;
        // A restart waits for restart() instead of beginning with the answer that asked for it (a device
        // whose restart also takes the bus down, so its answer must have left first).
        bool deferRestart = false;

        // Knobs.
        bool startInBootloader = false;
        bool neverAnswer = false;
        bool stayInBootloaderAfterUpgrade = false; // its new application does not start: version 0
        bool stayDown = false;                     // never comes back after RUN_BL
        int silentAfterChunks = -1;                // stops answering after this many data chunks
        uint8_t faultStatus = 0;                   // answers with this status (0: never) ...
        int faultAtChunk = -1;                     // ... UPGRADE_START (-1) or the n-th data chunk (from 0)
        bool repeatOnce = false;                   // asks for the second chunk's offset twice
    };

    explicit SimBootloader(const Config& config);

    // Answers one request datagram; nothing while restarting or for a datagram too short to answer.
    std::optional<std::vector<uint8_t>> answer(const std::vector<uint8_t>& request);

    uint8_t mode(); // bl_mode
    bool restarting();
    // A restart was asked for and waits for restart() (deferRestart); the mode it will come back in.
    std::optional<uint8_t> pendingRestart() const { return mPendingRestart; }
    // Begins the pending restart now; false when none is pending. Coming back takes restartMs, or never
    // (stayDown after RUN_BL).
    bool restart();
    bool down() const { return mDown; }
    // Switched off and on: whatever it was doing is forgotten, and after restartMs it runs its program (in
    // its bootloader for startInBootloader), the one it had unless an upgrade was taken whole.
    void powerCycle();
    const bl_dev_info& info() const { return mConfig.info; }
    const std::vector<uint8_t>& image() const { return mImage; }
    bool upgraded() const { return mUpgraded; }
    int requests() const { return mRequests; }
    // The next data chunk is thrown away and its own offset asked for again.
    void repeatNextChunk() { mRepeatNext = true; }

    // A device information record with the given codes, versions and serial number.
    static bl_dev_info makeInfo(const char* hwCode, uint8_t hwVersion, const char* swCode, uint8_t major,
                                uint8_t minor, uint32_t serial);

private:
    using Bytes = std::vector<uint8_t>;

    // Whether a request gets an answer at all.
    bool accept(const Bytes& request);
    Bytes dispatch(uint8_t cmd, uint16_t seq, const uint8_t* payload, size_t length);
    Bytes answerRunBootloader(uint16_t seq);
    Bytes answerUpgradeStart(uint16_t seq, const uint8_t* payload, size_t length);
    Bytes answerUpgradeData(uint16_t seq, const uint8_t* payload, size_t length);
    Bytes answerRunApplication(uint16_t seq);
    // Whether the device descriptor sent with UPGRADE_START names this device.
    bool fits(const uint8_t* descriptor, size_t length) const;

    Bytes reply(uint8_t cmd, uint8_t status, uint16_t seq, const Bytes& payload);
    Bytes progress(uint8_t cmd, uint16_t seq, bool done);
    void askRestart(uint8_t mode);

    Config mConfig;
    uint8_t mMode = BL_MODE_APPLICATION;
    uint8_t mNextMode = BL_MODE_APPLICATION;
    std::optional<uint8_t> mPendingRestart;
    uint64_t mRestartUntil = 0;
    bool mRestarting = false;
    bool mDown = false;
    bool mStarted = false;
    bl_file mFile{};
    std::optional<std::pair<uint8_t, uint8_t>> mNewVersion;
    std::vector<uint8_t> mImage;
    bool mUpgraded = false;
    bool mRepeatNext = false;
    int mChunks = 0; // data chunks taken in this upgrade
    bool mRepeated = false;
    int mRequests = 0;
    std::optional<uint16_t> mLastSeq;
    uint8_t mLastCmd = 0;
    Bytes mLastReply;
};

} // namespace tdx::sim
