// Updates the firmware of one device on the device network: drives the device's bootloader through the
// upgrading master over a datalink socket, keeps its progress in BootloaderMap, supervises every phase with a
// timeout and reports to its owner through BootloaderUpgradeInterface, which also supplies the file.
//
// The owner calls start(), polls task(), calls upgrade(file) once the device is identified, and finish()
// after a timeout or fault (or startApplication() first, to leave the device running its program).
// Destroying the service closes its socket and silences its master at once.
#pragma once

#include "Libraries/base/ctimer.h"
#include "Libraries/tavi_net/bl_client.h"
#include "SourceApp/application/update/remote/BootloaderPort.h"
#include "SourceApp/application/update/statemap.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace tdx {

enum bootloader_client_event : uint32_t {
    BCE_IDENTIFIED = 0, // the device answered; its information is known
    BCE_RESTARTING = 1, // the device restarts into its bootloader; the restart time is known
    BCE_FINISHED = 2,   // the device's application answers again after the upgrade
    BCE_DOWNLOAD = 3,   // download progress: the first chunk, and each new one
    BCE_UPGRADED = 4,   // all data sent and accepted
    BCE_TIMEOUT = 5,    // a phase timed out
    BCE_FAULT = 6,      // the master reported a fault: getFault()
};

enum bootloader_service_device_state : uint32_t {
    BSDS_UNKNOWN = 0,
    BSDS_BOOTLOADER = 1,
    BSDS_APPLICATION = 2,
};

enum bootloader_service_timer_mode : uint32_t {
    BSTM_CONNECT = 0,     // 16 retry periods
    BSTM_RESTART = 1,     // the announced restart time + 5 s
    BSTM_APPLICATION = 2, // for the application after the upgrade: the announced restart time + 5 s
    BSTM_DOWNLOAD = 3,    // per chunk
};

class BootloaderUpgradeInterface {
public:
    virtual ~BootloaderUpgradeInterface() = default;
    virtual void handleEvent(bootloader_client_event event) = 0;
    // The descriptor of UPGRADE_START and the extra bytes after it; `extra` has room for BL_MAX_EXTRA bytes.
    // 0 on success.
    virtual int getFileDescriptor(uint32_t fileId, bl_file* descriptor, void* extra,
                                  uint8_t* extraLength) = 0;
    // `length` bytes of the file's data from `offset`; 0 on success, -1 when they cannot all be read.
    virtual int getFileData(uint32_t fileId, uint8_t* buffer, uint32_t offset, uint32_t length) = 0;
};

class BootloaderServiceState;
class BootloaderService;
using BootloaderServiceContext = statemap::Context<BootloaderService, BootloaderServiceState>;

class BootloaderService final : private BootloaderPortListener {
public:
    static constexpr uint32_t RETRY_MS = 500;
    static constexpr uint32_t NO_FILE = 0xFFFFFFFF;
    // A connecting phase, startApplication()'s included: sixteen retries unanswered is a device that is not
    // there.
    static constexpr uint32_t CONNECT_TIMEOUT_MS = 16 * RETRY_MS;
    // A device that restarts slower than it announced still gets its say: while the network is down, a
    // phase's time does not run, for up to this long in one outage; the phase's whole timeout then counts
    // from the network's return.
    static constexpr uint32_t NETWORK_GRACE_MS = 20000;

    BootloaderService(uint32_t address, BootloaderUpgradeInterface& owner,
                      std::unique_ptr<BootloaderPort> port = makeNetworkBootloaderPort());
    ~BootloaderService() override;
    BootloaderService(const BootloaderService&) = delete;
    BootloaderService& operator=(const BootloaderService&) = delete;

    void start();
    void upgrade(uint32_t fileId);
    void finish();
    // Ends whatever runs and returns to Idle without raising anything (the owner is being torn down).
    void stop();
    // Raises the timeout of the current phase when it has passed.
    void task();
    // Has the device run its application: after the upgrade (which asks for it already), and after a
    // timeout or fault, or with the device identified but no upgrade asked for, so that a device left in its
    // bootloader by an update that wrote nothing runs its program again. Ends with BCE_FINISHED when the
    // application answers, BCE_TIMEOUT or BCE_FAULT when it does not.
    void startApplication();

    // The device state; when known and info is given, copies the device information into it.
    bootloader_service_device_state getDeviceInfoState(bl_dev_info* info) const;
    // Bytes sent so far (offset + length of the last new chunk) and the file's size.
    bool getDownloadProgress(uint32_t* progress, uint32_t* max) const;
    uint32_t getEstimatedRestartTime() const { return mEstimatedRestartTime; }
    // Milliseconds until the current phase times out at the latest: its timeout, and while the network is
    // down the rest of the outage's grace before it; none while no phase is supervised.
    std::optional<uint32_t> getTimeLeft() const;
    int32_t getFault() const { return mFault; }
    const char* getStateName() const { return mContext.getStateName(); }

    // Actions of BootloaderMap.
    void reset();
    void clientInitialize();
    void clientConnect();
    void clientDisconnect();
    // See BootloaderPort::holdNetwork.
    void holdNetwork(bool held) { mPort->holdNetwork(held); }
    void startUpgrade();
    void clientRunApplication();
    void setTimer(bootloader_service_timer_mode mode);
    void resetTimer();
    void stopTimer();
    void setDeviceState(bootloader_service_device_state state) { mDeviceState = state; }
    void setFileId(uint32_t fileId) { mFileId = fileId; }
    void setEstimatedRestartTime(uint32_t seconds) { mEstimatedRestartTime = seconds; }
    void setFault(const bl_event_arg_fault* fault) { mFault = fault ? fault->code : 0; }
    void raise(bootloader_client_event event);
    static bool isValidFileId(uint32_t fileId) { return fileId != NO_FILE; }

private:
    int handleMasterEvent(bl_cl_event event, void* arg) override;
    int handleData(const bl_event_arg_data& data);

    uint32_t mAddress;
    BootloaderUpgradeInterface& mOwner;
    uint32_t mFileId = NO_FILE;
    uint32_t mEstimatedRestartTime = 0;
    int32_t mFault = 0;
    // Offset of the last chunk handed out; none before the first, so that the chunk at 0 counts as progress.
    std::optional<uint32_t> mLastOffset;
    uint32_t mProgress = 0;
    uint32_t mProgressMax = 0;
    bootloader_service_device_state mDeviceState = BSDS_UNKNOWN;
    std::unique_ptr<BootloaderPort> mPort;
    ctimer_t mTimer{};
    bool mTimerActive = false;
    // When the network went down (timer()); none while it is up.
    std::optional<uint64_t> mUnreachableSince;
    BootloaderServiceContext mContext;
};

} // namespace tdx
