// The platform's half of the display's own firmware update. The self update finds and verifies a package on
// the card and lets the user choose; writing the chosen firmware and restarting into it is the platform's.
#pragma once

#include <cstdint>
#include <string>

namespace tdx {

// Where the chosen firmware lies: its package file and the data of its item.
struct self_update_image {
    std::string fileName;
    uint32_t offset;   // of the data in the file
    uint32_t length;   // data bytes
    uint16_t checksum; // CRC-16 of all but the last 4 data bytes
};

// What the platform reports while it works. A report made while the self update changes state waits until
// the change is done, so the platform may report from any of its operations.
class SelfUpdateListener {
public:
    virtual ~SelfUpdateListener() = default;
    // More of the firmware has been written.
    virtual void onDownload(uint32_t progress, uint32_t max) = 0;
    // The firmware is in place; it runs after the restart.
    virtual void onUpgraded() = 0;
    // The update failed. reason: an English message id, translated where it is shown.
    virtual void onFault(const char* reason) = 0;
};

class SelfUpdatePlatform {
public:
    explicit SelfUpdatePlatform(SelfUpdateListener& listener)
        : mListener(listener) {}
    SelfUpdatePlatform(const SelfUpdatePlatform&) = delete;
    SelfUpdatePlatform& operator=(const SelfUpdatePlatform&) = delete;

    // The user confirmed the firmware of the wizard's row index.
    void onStart(uint32_t index, const self_update_image& image);
    // A poll step while the firmware is written.
    void execute();
    // The update process ends.
    void onFinish();
    // True once started.
    bool hasFinished() const { return mStarted; }

private:
    SelfUpdateListener& mListener;
    uint32_t mIndex = 0;
    bool mStarted = false;
    bool mReported = false;
};

} // namespace tdx
