// A device's bootloader side as the simulator plays it: a running application that restarts into its
// bootloader on RUN_BL (after a delay, during which it answers nothing), accepts an upgrade chunk by chunk,
// verifies the data CRC and restarts into the application on RUN_APP. The control unit itself plays one that
// refuses upgrades.
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
        uint16_t maxRestartSeconds = 2;
        uint32_t restartMs = 1200; // real time of a restart on timer()
        uint16_t maxChunk = 128;
    };

    explicit SimBootloader(const Config& config);

    // Answers one request datagram; nothing while restarting or for a datagram too short to answer.
    std::optional<std::vector<uint8_t>> answer(const std::vector<uint8_t>& request);

    uint8_t mode(); // bl_mode
    bool restarting();
    const std::vector<uint8_t>& image() const { return mImage; }
    bool upgraded() const { return mUpgraded; }
    int requests() const { return mRequests; }
    // The next data chunk is thrown away and its own offset asked for again.
    void repeatNextChunk() { mRepeatNext = true; }

    // A device information record with the given codes, versions and serial number.
    static bl_dev_info makeInfo(const char* hwCode, uint8_t hwVersion, const char* swCode, uint8_t major,
                                uint8_t minor, uint32_t serial);

private:
    std::vector<uint8_t> reply(uint8_t cmd, uint8_t status, uint16_t seq,
                               const std::vector<uint8_t>& payload);
    std::vector<uint8_t> progress(uint8_t cmd, uint16_t seq, bool done);
    void restartInto(uint8_t mode);

    Config mConfig;
    uint8_t mMode = BL_MODE_APPLICATION;
    uint8_t mNextMode = BL_MODE_APPLICATION;
    uint64_t mRestartUntil = 0;
    bool mRestarting = false;
    bool mStarted = false;
    bl_file mFile{};
    std::vector<uint8_t> mImage;
    bool mUpgraded = false;
    bool mRepeatNext = false;
    int mRequests = 0;
    std::optional<uint16_t> mLastSeq;
    uint8_t mLastCmd = 0;
    std::vector<uint8_t> mLastReply;
};

} // namespace tdx::sim
