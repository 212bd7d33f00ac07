#include "tools/simcu/sim_bootloader.h"

#include "Libraries/base/crc16.h"
#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"

#include <algorithm>
#include <cstring>

namespace tdx::sim {

SimBootloader::SimBootloader(const Config& config)
    : mConfig(config) {}

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
    if (mRestarting && timer() >= mRestartUntil) {
        mRestarting = false;
        mMode = mNextMode;
    }
    return mRestarting;
}

uint8_t SimBootloader::mode() {
    restarting();
    return mMode;
}

void SimBootloader::restartInto(uint8_t mode) {
    mRestarting = true;
    mNextMode = mode;
    mRestartUntil = timer() + mConfig.restartMs;
    mLastSeq.reset();
}

std::vector<uint8_t> SimBootloader::reply(uint8_t cmd, uint8_t status, uint16_t seq,
                                          const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> out(BL_HEADER_SIZE);
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
    std::vector<uint8_t> payload(7);
    put_le32(payload.data(), static_cast<uint32_t>(mImage.size()));
    put_le16(payload.data() + 4, mConfig.maxChunk);
    payload[6] = done ? 1 : 0;
    return reply(cmd, BL_STATUS_OK, seq, payload);
}

std::optional<std::vector<uint8_t>> SimBootloader::answer(const std::vector<uint8_t>& request) {
    if (restarting()) {
        return std::nullopt;
    }
    if (request.size() < BL_HEADER_SIZE) {
        dbg_printf_h("sim bl: request of %u bytes dropped", static_cast<unsigned>(request.size()));
        return std::nullopt;
    }
    if ((request[0] & BL_REPLY_FLAG) != 0) {
        // A late reply to an exchange that has ended: answering it would start an endless exchange of
        // "unknown command" answers with the display's own target.
        dbg_printf_h("sim bl: reply 0x%02X dropped", static_cast<unsigned>(request[0]));
        return std::nullopt;
    }
    ++mRequests;
    const uint8_t cmd = request[0];
    const uint16_t seq = get_le16(request.data() + 2);
    if (mLastSeq && *mLastSeq == seq && mLastCmd == cmd) {
        return mLastReply; // our answer was lost: the same one again
    }
    const uint8_t* payload = request.data() + BL_HEADER_SIZE;
    const size_t length = request.size() - BL_HEADER_SIZE;
    const bool bootloader = mMode == BL_MODE_BOOTLOADER;

    switch (cmd) {
        case BL_CMD_GET_PROTO_VERSION:
            return reply(cmd, BL_STATUS_OK, seq, {BL_PROTOCOL_VERSION, mMode});
        case BL_CMD_GET_BL_STATE: {
            std::vector<uint8_t> state{mMode, 0, 0, 0};
            put_le16(state.data() + 2, mConfig.maxRestartSeconds);
            return reply(cmd, BL_STATUS_OK, seq, state);
        }
        case BL_CMD_GET_DEV_INFO: {
            const auto* bytes = reinterpret_cast<const uint8_t*>(&mConfig.info);
            return reply(cmd, BL_STATUS_OK, seq, std::vector<uint8_t>(bytes, bytes + sizeof(bl_dev_info)));
        }
        case BL_CMD_RUN_BL: {
            if (!mConfig.upgradable) {
                return reply(cmd, BL_STATUS_NOT_SUPPORTED, seq, {});
            }
            std::vector<uint8_t> seconds(2);
            put_le16(seconds.data(), mConfig.maxRestartSeconds);
            auto out = reply(cmd, BL_STATUS_OK, seq, seconds);
            if (!bootloader) {
                restartInto(BL_MODE_BOOTLOADER);
            }
            return out;
        }
        case BL_CMD_UPGRADE_START: {
            if (!bootloader) {
                return reply(cmd, BL_STATUS_BAD_STATE, seq, {});
            }
            if (length < sizeof(bl_file) + 1 || length != sizeof(bl_file) + 1 + payload[sizeof(bl_file)]) {
                return reply(cmd, BL_STATUS_BAD_LENGTH, seq, {});
            }
            std::memcpy(&mFile, payload, sizeof(bl_file));
            mImage.clear();
            mStarted = true;
            mUpgraded = false;
            return progress(cmd, seq, false);
        }
        case BL_CMD_UPGRADE_DATA: {
            if (!bootloader || !mStarted) {
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
            if (count > total - offset) {
                return reply(cmd, BL_STATUS_BAD_LENGTH, seq, {});
            }
            if (mRepeatNext) {
                mRepeatNext = false;
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
        case BL_CMD_RUN_APP: {
            auto out = reply(cmd, BL_STATUS_OK, seq, {});
            if (bootloader) {
                restartInto(BL_MODE_APPLICATION);
            }
            return out;
        }
        default:
            return reply(cmd, BL_STATUS_UNKNOWN_COMMAND, seq, {});
    }
}

} // namespace tdx::sim
