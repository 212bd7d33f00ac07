#include "tests/SourceApp/storage/net/fuzz/stack_fuzz.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "Libraries/link_bus/link_bus.h"
#include "Libraries/link_bus/tnet_packet.h"
#include "Libraries/tavi_net/bl_service.h"
#include "Libraries/tavi_net/tnet.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/DataModel.h"
#include "SourceApp/storage/ProxyStructure.h"
#include "SourceApp/storage/net/TaviProtocol.h"
#include "SourceHost/api_lib/device_info.h"
#include "SourceHost/api_lib/loop_port.h"
#include "tests/Libraries/tavi_net/fuzz/packet_fuzz.h"

#include <algorithm>
#include <cstring>

namespace tdx::test {

namespace {

comf_loop* loopPort() {
    static comf_loop* const loop = [] {
        os_init();
        comf_loop* created = comf_loop_create("stackfuzz");
        comf_loop_set_echo(created, false);
        return created;
    }();
    return loop;
}

bool treeIsSound() {
    for (const ProxyObject* object : Structure) {
        if (object->oid() == OID_ALL || Structure.find(object->oid()) != object) {
            return false;
        }
    }
    return Net::Tavi.isConnected() || !Net::Tavi.isSynchronized();
}

bool send(comf_loop* loop, uint8_t cmd, uint8_t control, const uint8_t* payload, size_t length) {
    uint8_t packet[LINK_MAX_PACKET];
    const uint32_t display = DI.hw->network_address;
    length = std::min<size_t>(length, sizeof packet - TNET_HEADER_SIZE);
    tnet_put_header(packet, display, cmd, control);
    if (length > 0) {
        std::memcpy(packet + TNET_HEADER_SIZE, payload, length);
    }
    const bool wellFormed = feedPacket(loop, packet, TNET_HEADER_SIZE + length);
    Net::Tavi.task();
    Structure.task();
    return wellFormed && treeIsSound();
}

} // namespace

bool stackFuzzOne(const uint8_t* data, size_t size) {
    const bool traced = dbg_is_enabled();
    dbg_set_enabled(false);
    comf_loop* loop = loopPort();
    Structure.clear();
    proxytab_init();
    Net::Tavi.restart();
    tnet_init(&Net::TaviClientsHandler);
    tnet_set_serial_port(&loop_serial_port);
    tnet_init_interface_bus(0, "loop:stackfuzz", 1, 0);
    tnet_start();
    bl_start_service();

    const uint8_t connect[] = {0x16, 0x03, 0x00, 0x00};
    const uint8_t session[] = {1};
    bool kept = send(loop, TNET_CMD_CONNECT, 0, connect, sizeof connect);
    kept &= send(loop, TNET_CMD_SESSION_OPEN, 0, session, sizeof session);
    for (size_t at = 0; at + 3 <= size && kept;) {
        const size_t length = std::min<size_t>(data[at], size - at - 3);
        kept &= send(loop, data[at + 1], data[at + 2], data + at + 3, length);
        at += 3 + length;
    }

    tnet_stop();
    Net::Tavi.restart();
    Structure.clear();
    proxytab_init();
    dbg_set_enabled(traced);
    return kept;
}

} // namespace tdx::test
