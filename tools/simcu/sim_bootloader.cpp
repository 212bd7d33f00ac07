#include "tools/simcu/sim_bootloader.h"

#include "Libraries/base/crc16.h"
#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "SourceApp/application/update/tr1_package.h"

#include <algorithm>
#include <cstring>

namespace tdx::sim {

namespace {

bool sameCode(const uint8_t* descriptor, const char* code) {
    return strncmp(reinterpret_cast<const char*>(descriptor), code, 5) == 0;
}

} // namespace

SimBootloader::SimBootloader(const Config& config)
    : mConfig(config)
    , mMode(config.startInBootloader ? BL_MODE_BOOTLOADER : BL_MODE_APPLICATION) {}

bl_dev_info SimBootloader::makeInfo(const char* hwCode, uint8_t hwVersion, const char* swCode, uint8_t major,
                                    uint8_t minor, uint32_t serial) {
    bl_dev_info info{};
    info.magic[0] = 'T';
    info.magic[1] = 'B';
    info.protocol = BL_PROTOCOL_VERSION;
    info.bl_version = 1;
    std::memcpy(info.hw_code, hwCode, std::min<size_t>(5, std::strlen(hwCode)));
    info.hw_version = hwVersion;
    std::memcpy(info.sw_code, swCode, std::min<size_t>(5, std::strlen(swCode)));
    put_le32(info.serial, serial);
    info.sw_major = major;
    info.sw_minor = minor;
    return info;
}

bool SimBootloader::restarting() {
    if (mRestarting && !mDown && timer() >= mRestartUntil) {
        mRestarting = false;
        mMode = mNextMode;
        dbg_printf_h("sim bl: %s runs", mMode == BL_MODE_BOOTLOADER ? "bootloader" : "application");
    }
    return mRestarting;
}

uint8_t SimBootloader::mode() {
    restarting();
    return mMode;
}

void SimBootloader::askRestart(uint8_t mode) {
    mPendingRestart = mode;
    if (!mConfig.deferRestart) {
        restart();
    }
}

bool SimBootloader::restart() {
    if (!mPendingRestart) {
        return false;
    }
    mNextMode = *mPendingRestart;
    mPendingRestart.reset();
    if (mNextMode == BL_MODE_APPLICATION && mUpgraded) {
        if (mConfig.stayInBootloaderAfterUpgrade) {
            // A broken application: its bootloader stays and reports version 0.
            dbg_printf_h("sim bl: the new application does not start");
            mNextMode = BL_MODE_BOOTLOADER;
            mConfig.info.sw_major = 0;
            mConfig.info.sw_minor = 0;
        } else if (mNewVersion) {
            mConfig.info.sw_major = mNewVersion->first;
            mConfig.info.sw_minor = mNewVersion->second;
        }
        mNewVersion.reset();
    }
    mRestarting = true;
    mDown = mNextMode == BL_MODE_BOOTLOADER && mConfig.stayDown;
    const bool slowIntoBootloader = mNextMode == BL_MODE_BOOTLOADER && mConfig.bootloaderRestartMs != 0;
    mRestartUntil = timer() + (slowIntoBootloader ? mConfig.bootloaderRestartMs : mConfig.restartMs);
    mLastSeq.reset();
    dbg_printf_h("sim bl: restarting%s", mDown ? ", for good" : "");
    return true;
}

void SimBootloader::powerCycle() {
    mPendingRestart = mConfig.startInBootloader ? BL_MODE_BOOTLOADER : BL_MODE_APPLICATION;
    restart();
    mDown = false; // a power cycle comes back, also for stayDown
    mStarted = false;
    mImage.clear();
    mChunks = 0;
}

// ---- Answering ----

std::optional<std::vector<uint8_t>> SimBootloader::answer(const Bytes& request) {
    if (!accept(request)) {
        return std::nullopt;
    }
    const uint8_t cmd = request[0];
    const uint16_t seq = get_le16(request.data() + 2);
    if (mLastSeq && *mLastSeq == seq && mLastCmd == cmd) {
        return mLastReply; // our answer was lost: the same one again
    }
    Bytes out = dispatch(cmd, seq, request.data() + BL_HEADER_SIZE, request.size() - BL_HEADER_SIZE);
    if (out.empty()) {
        return std::nullopt;
    }
    return out;
}

bool SimBootloader::accept(const Bytes& request) {
    if (restarting() || mConfig.neverAnswer) {
        return false;
    }
    if (request.size() < BL_HEADER_SIZE) {
        dbg_printf_h("sim bl: request of %u bytes dropped", static_cast<unsigned>(request.size()));
        return false;
    }
    if ((request[0] & BL_REPLY_FLAG) != 0) {
        // A late reply to an exchange that has ended: answering it would start an endless exchange of
        // "unknown command" answers with the display's own target.
        dbg_printf_h("sim bl: reply 0x%02X dropped", static_cast<unsigned>(request[0]));
        return false;
    }
    if (mConfig.silentAfterChunks >= 0 && mChunks >= mConfig.silentAfterChunks) {
        return false;
    }
    ++mRequests;
    return true;
}

std::vector<uint8_t> SimBootloader::dispatch(uint8_t cmd, uint16_t seq, const uint8_t* payload,
                                             size_t length) {
    switch (cmd) {
        case BL_CMD_GET_PROTO_VERSION:
            return reply(cmd, BL_STATUS_OK, seq, {BL_PROTOCOL_VERSION, mMode});
        case BL_CMD_GET_BL_STATE: {
            Bytes state{mMode, 0, 0, 0};
            put_le16(state.data() + 2, mConfig.maxRestartSeconds);
            return reply(cmd, BL_STATUS_OK, seq, state);
        }
        case BL_CMD_GET_DEV_INFO: {
            const auto* bytes = reinterpret_cast<const uint8_t*>(&mConfig.info);
            return reply(cmd, BL_STATUS_OK, seq, Bytes(bytes, bytes + sizeof(bl_dev_info)));
        }
        case BL_CMD_RUN_BL:
            return answerRunBootloader(seq);
        case BL_CMD_UPGRADE_START:
            return answerUpgradeStart(seq, payload, length);
        case BL_CMD_UPGRADE_DATA:
            return answerUpgradeData(seq, payload, length);
        case BL_CMD_RUN_APP:
            return answerRunApplication(seq);
        default:
            return reply(cmd, BL_STATUS_UNKNOWN_COMMAND, seq, {});
    }
}

std::vector<uint8_t> SimBootloader::answerRunBootloader(uint16_t seq) {
    if (!mConfig.upgradable) {
        return reply(BL_CMD_RUN_BL, BL_STATUS_NOT_SUPPORTED, seq, {});
    }
    Bytes seconds(2);
    put_le16(seconds.data(), mConfig.maxRestartSeconds);
    Bytes out = reply(BL_CMD_RUN_BL, BL_STATUS_OK, seq, seconds);
    if (mMode != BL_MODE_BOOTLOADER) {
        askRestart(BL_MODE_BOOTLOADER);
    }
    return out;
}

std::vector<uint8_t> SimBootloader::answerUpgradeStart(uint16_t seq, const uint8_t* payload, size_t length) {
    constexpr uint8_t cmd = BL_CMD_UPGRADE_START;
    if (mMode != BL_MODE_BOOTLOADER) {
        return reply(cmd, BL_STATUS_BAD_STATE, seq, {});
    }
    if (length < sizeof(bl_file) + 1 || length != sizeof(bl_file) + 1 + payload[sizeof(bl_file)]) {
        return reply(cmd, BL_STATUS_BAD_LENGTH, seq, {});
    }
    if (mConfig.faultStatus != 0 && mConfig.faultAtChunk < 0) {
        return reply(cmd, mConfig.faultStatus, seq, {});
    }
    const uint8_t* descriptor = payload + sizeof(bl_file) + 1;
    const size_t descriptorLength = payload[sizeof(bl_file)];
    if (!fits(descriptor, descriptorLength)) {
        dbg_printf_h("sim bl: firmware for another device refused");
        return reply(cmd, BL_STATUS_NOT_SUPPORTED, seq, {});
    }
    std::memcpy(&mFile, payload, sizeof(bl_file));
    mNewVersion.reset();
    if (descriptorLength >= TR1_DESCRIPTOR_SIZE) {
        mNewVersion = std::make_pair(descriptor[TR1_DESC_VERSION_MAJOR], descriptor[TR1_DESC_VERSION_MINOR]);
    }
    mImage.clear();
    mChunks = 0;
    mRepeated = false;
    mStarted = true;
    mUpgraded = false;
    return progress(cmd, seq, false);
}

std::vector<uint8_t> SimBootloader::answerUpgradeData(uint16_t seq, const uint8_t* payload, size_t length) {
    constexpr uint8_t cmd = BL_CMD_UPGRADE_DATA;
    if (mMode != BL_MODE_BOOTLOADER || !mStarted) {
        return reply(cmd, BL_STATUS_BAD_STATE, seq, {});
    }
    if (length < 6 || length != 6u + get_le16(payload + 4) || get_le16(payload + 4) > BL_MAX_CHUNK) {
        return reply(cmd, BL_STATUS_BAD_LENGTH, seq, {});
    }
    const uint32_t offset = get_le32(payload);
    const uint16_t count = get_le16(payload + 4);
    const uint32_t total = bl_file_length(&mFile);
    if (offset < mImage.size()) {
        return progress(cmd, seq, false); // a chunk we have: ask for the next one again
    }
    if (offset > mImage.size()) {
        return reply(cmd, BL_STATUS_OFFSET_MISMATCH, seq, {});
    }
    if (count > total - offset || count == 0) {
        return reply(cmd, BL_STATUS_BAD_LENGTH, seq, {});
    }
    const int chunk = mChunks++;
    if (mConfig.faultStatus != 0 && chunk == mConfig.faultAtChunk) {
        mStarted = false;
        return reply(cmd, mConfig.faultStatus, seq, {});
    }
    if (mRepeatNext || (mConfig.repeatOnce && !mRepeated && offset > 0)) {
        mRepeatNext = false;
        mRepeated = true;
        return progress(cmd, seq, false);
    }
    mImage.insert(mImage.end(), payload + 6, payload + 6 + count);
    if (mImage.size() < total) {
        return progress(cmd, seq, false);
    }
    if (total < 4 || crc16(mImage.data(), total - 4) != bl_file_crc(&mFile)) {
        mStarted = false;
        return reply(cmd, BL_STATUS_VERIFY_FAILED, seq, {});
    }
    mUpgraded = true;
    mStarted = false;
    return progress(cmd, seq, true);
}

std::vector<uint8_t> SimBootloader::answerRunApplication(uint16_t seq) {
    Bytes out = reply(BL_CMD_RUN_APP, BL_STATUS_OK, seq, {});
    if (mMode == BL_MODE_BOOTLOADER) {
        askRestart(BL_MODE_APPLICATION);
    }
    return out;
}

bool SimBootloader::fits(const uint8_t* descriptor, size_t length) const {
    if (length < TR1_DESCRIPTOR_SIZE) {
        return true; // no descriptor to go by
    }
    const bl_dev_info& info = mConfig.info;
    return std::memcmp(descriptor, info.magic, 2) == 0 &&
           sameCode(descriptor + TR1_DESC_HW_CODE, info.hw_code) &&
           sameCode(descriptor + TR1_DESC_SW_CODE, info.sw_code) &&
           descriptor[TR1_DESC_HW_MIN] <= info.hw_version && info.hw_version <= descriptor[TR1_DESC_HW_MAX] &&
           descriptor[TR1_DESC_VARIANT_MIN] <= info.variant &&
           info.variant <= descriptor[TR1_DESC_VARIANT_MAX];
}

std::vector<uint8_t> SimBootloader::reply(uint8_t cmd, uint8_t status, uint16_t seq, const Bytes& payload) {
    Bytes out(BL_HEADER_SIZE);
    bl_reply_header(out.data(), cmd, status, seq);
    if (status == BL_STATUS_OK) {
        out.insert(out.end(), payload.begin(), payload.end());
    }
    mLastSeq = seq;
    mLastCmd = cmd;
    mLastReply = out;
    return out;
}

std::vector<uint8_t> SimBootloader::progress(uint8_t cmd, uint16_t seq, bool done) {
    Bytes payload(7);
    put_le32(payload.data(), static_cast<uint32_t>(mImage.size()));
    put_le16(payload.data() + 4, mConfig.maxChunk);
    payload[6] = done ? 1 : 0;
    return reply(cmd, BL_STATUS_OK, seq, payload);
}

} // namespace tdx::sim
