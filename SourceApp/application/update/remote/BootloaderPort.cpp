#include "SourceApp/application/update/remote/BootloaderPort.h"

#include "Libraries/tavi_net/tnet.h"
#include "Libraries/tavi_net/tnet_datalink.h"
#include "SourceApp/storage/net/TaviProtocol.h"

#include <type_traits>

namespace tdx {

namespace {

class NetworkBootloaderPort final : public BootloaderPort {
public:
    NetworkBootloaderPort() { mMaster.port = this; }
    ~NetworkBootloaderPort() override { disconnect(); }
    NetworkBootloaderPort(const NetworkBootloaderPort&) = delete;
    NetworkBootloaderPort& operator=(const NetworkBootloaderPort&) = delete;

    void init(uint32_t address, uint32_t retryMs, BootloaderPortListener& listener) override {
        mListener = &listener;
        bl_client_init(&mMaster.client, &NetworkBootloaderPort::onMasterEvent, address, retryMs);
    }

    bool connect() override {
        bl_client_connect(&mMaster.client);
        if (mSocket == nullptr) {
            mSocket = tnet_datalink_connect(BL_PORT, mMaster.client.address, BL_PORT,
                                            &NetworkBootloaderPort::onSocketEvent, this);
        }
        return mSocket != nullptr;
    }

    void disconnect() override {
        holdNetwork(false);
        tnet_datalink_close(mSocket);
        mSocket = nullptr;
        bl_client_disconnect(&mMaster.client);
    }

    bool canReachDevice() const override { return tnet_get_state() == TNET_SESSION; }

    // From the request that makes the device restart until the socket closes, the bootloader's requests go
    // first: a synchronisation after the control unit's restart would hold each answer back by seconds.
    void holdNetwork(bool held) override {
        if (held != mHolding) {
            mHolding = held;
            Net::Tavi.holdTraffic(held);
        }
    }

    void runUpgrade(uint32_t fileId) override {
        holdNetwork(true);
        bl_client_run_upgrade(&mMaster.client, fileId);
    }
    void runApp() override {
        holdNetwork(true);
        bl_client_run_app(&mMaster.client);
    }
    const bl_dev_info& deviceInfo() const override { return mMaster.client.info; }
    uint32_t fileSize() const override { return mMaster.client.file_size; }
    uint8_t masterState() const override { return mMaster.client.state; }

private:
    // The master's callback carries only the master: it sits first in a plain struct with its port, so the
    // port is found from it without a global pointer.
    struct Master {
        bl_client client;
        NetworkBootloaderPort* port;
    };
    static_assert(std::is_standard_layout_v<Master>);

    static int onMasterEvent(bl_client* client, bl_cl_event event, void* arg) {
        NetworkBootloaderPort& port = *reinterpret_cast<Master*>(client)->port;
        return port.mListener ? port.mListener->handleMasterEvent(event, arg) : 0;
    }

    static void onSocketEvent(xsock_event event, uint8_t* buffer, uint32_t length, void* user) {
        auto& port = *static_cast<NetworkBootloaderPort*>(user);
        int reply = 0;
        if (event == XSOCK_RECEIVED) {
            reply = bl_client_io_up(&port.mMaster.client, buffer, length);
        } else if (event == XSOCK_MAY_SEND) {
            reply = bl_client_io_task(&port.mMaster.client, buffer);
        }
        // The master's events may have closed the socket meanwhile; then the request waits for the next one.
        if (reply > 0 && port.mSocket != nullptr) {
            tnet_datalink_send(buffer, static_cast<uint32_t>(reply));
        }
    }

    Master mMaster{};
    xsock* mSocket = nullptr;
    BootloaderPortListener* mListener = nullptr;
    bool mHolding = false;
};

} // namespace

std::unique_ptr<BootloaderPort> makeNetworkBootloaderPort() {
    return std::make_unique<NetworkBootloaderPort>();
}

} // namespace tdx
