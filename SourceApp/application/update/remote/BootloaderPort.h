// The upgrading master of the bootloader protocol and its datalink socket, as the bootloader service drives
// them: a thin seam, so that the service can be tested against a fake that raises the master's events.
#pragma once

#include "Libraries/tavi_net/bl_client.h"

#include <cstdint>
#include <memory>

namespace tdx {

class BootloaderPortListener {
public:
    virtual ~BootloaderPortListener() = default;
    // One master event with its argument (bl_client.h); the result answers BL_CL_EVENT_UPGRADE_START and
    // BL_CL_EVENT_DATA (non-zero ends the exchange with a fault).
    virtual int handleMasterEvent(bl_cl_event event, void* arg) = 0;
};

class BootloaderPort {
public:
    virtual ~BootloaderPort() = default;

    // Prepares the master for the device at `address`; its events go to the listener from now on.
    virtual void init(uint32_t address, uint32_t retryMs, BootloaderPortListener& listener) = 0;
    // Starts asking the device what runs and opens the socket to its BLDR port. False when the socket could
    // not be opened (the one outgoing socket is taken): nothing is sent then.
    virtual bool connect() = 0;
    // Closes the socket and returns the master to idle; nothing more is raised.
    virtual void disconnect() = 0;
    virtual void runUpgrade(uint32_t fileId) = 0;
    virtual void runApp() = 0;

    // Valid once the master raised BL_CL_EVENT_DEVICE_INFO.
    virtual const bl_dev_info& deviceInfo() const = 0;
    // Length of the file being sent, from its descriptor.
    virtual uint32_t fileSize() const = 0;
    virtual uint8_t masterState() const = 0; // bl_cl_state
    // Whether a request can reach the device now: false while the network is down (the control unit
    // restarting takes it down with it), when nothing sent can be answered.
    virtual bool canReachDevice() const { return true; }
    // Whether the display's own network traffic waits while the device is talked to: held from a request
    // that makes the device restart, released when no answer is waited for any more (a phase that timed out
    // or failed leaves its result on the screen for as long as the user reads it) and at disconnect().
    virtual void holdNetwork(bool /*held*/) {}
};

// The master on the display's device-network client: one datalink socket from BLDR to the device's BLDR.
std::unique_ptr<BootloaderPort> makeNetworkBootloaderPort();

} // namespace tdx
