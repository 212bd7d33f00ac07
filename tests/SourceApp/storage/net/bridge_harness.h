// The display's network bridge, client stack and object tree wired to the simulated control unit over an
// in-process converter pipe, on the shared fake clock and a wall clock of the test's own. Records the
// bridge's events, every trace line and what the tree's listeners see.
#pragma once

#include "Libraries/base/os.h"
#include "Libraries/tavi_net/tnet.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/DataModel.h"
#include "SourceApp/storage/ProxyStructure.h"
#include "SourceApp/storage/net/TaviProtocol.h"
#include "SourceHost/api_lib/device_info.h"
#include "SourceHost/api_lib/loop_port.h"
#include "tests/support/fixed_wall_clock.h"
#include "tests/support/sim_loop_test.h"
#include "tools/simcu/simcu.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace tdx::test {

constexpr u32 UNIT = 0x000316;
constexpr oid_t LOCATION = OID_LOCATION;

inline std::vector<int>& bridgeEvents() {
    static std::vector<int> events;
    return events;
}

// What the tree tells its listeners, one line each.
class TreeRecorder : public ProxyValueChangeHandler,
                     public ProxyObjectAppendHandler,
                     public ProxyObjectRemoveHandler {
public:
    struct Change {
        oid_t oid;
        vid_t vid;
        u32 vtype;
        bool objectInTree;
    };

    TreeRecorder() {
        Structure.addValueChangeHandler(this);
        Structure.addObjectAppendHandler(this);
        Structure.addObjectRemoveHandler(this);
    }
    ~TreeRecorder() override {
        Structure.removeValueChangeHandler(this);
        Structure.removeObjectAppendHandler(this);
        Structure.removeObjectRemoveHandler(this);
    }
    TreeRecorder(const TreeRecorder&) = delete;
    TreeRecorder& operator=(const TreeRecorder&) = delete;

    std::vector<Change> changes;
    std::vector<oid_t> appended;
    std::vector<oid_t> removed;
    std::vector<bool> removedWasErased;

    int changesOf(oid_t oid, vid_t vid) const {
        int n = 0;
        for (const Change& c : changes) {
            n += c.oid == oid && c.vid == vid;
        }
        return n;
    }

protected:
    void handleProxyValueChange(ProxyObject& object, const OviEx& change) override {
        changes.push_back({change.oid, change.vid, change.vtype, Structure.find(change.oid) == &object});
    }
    void handleProxyObjectAppend(ProxyObject* object) override { appended.push_back(object->oid()); }
    void handleProxyObjectRemove(ProxyObject* object) override {
        removed.push_back(object->oid());
        bool walked = false;
        for (const ProxyObject* o : Structure) {
            walked = walked || o == object;
        }
        removedWasErased.push_back(!walked && Structure.find(object->oid()) == nullptr);
    }
};

class BridgeTest : public SimLoopTest {
protected:
    explicit BridgeTest(std::optional<sim::WireConfig> wire = std::nullopt)
        : SimLoopTest("bridge", wire) {}

    void SetUp() override {
        bridgeEvents().clear();
        os_init();
        ASSERT_TRUE(mLoop.isOpen());
        Structure.clear();
        proxytab_init();
        mSelf = oid_make(DI.hw->network_address, 0);
        // What start-up puts into the tree before the network starts.
        appendObject(mSelf, BT_OBJ_DEVICE, 0);
        appendObject(LOCATION, BT_OBJ_LOCATION, 0);
        Net::Tavi.restart();
        Net::Tavi.setEventSink([](int kind) { bridgeEvents().push_back(kind); });
        tnet_init(&Net::TaviClientsHandler);
        tnet_set_serial_port(&loop_serial_port);
        ASSERT_EQ(tnet_init_interface_bus(0, mLoop.port().c_str(), 1, 0), 0);
        tnet_start();
        tnet_learn_request();
        mSim.setPump([] {
            Net::Tavi.task();
            tnet_task();
            Structure.task();
        });
    }

    void TearDown() override {
        if (HasFailure()) {
            ADD_FAILURE() << "trace:" << traceText();
        }
        tnet_stop();
        Net::Tavi.setEventSink(nullptr);
        Net::Tavi.restart();
        Structure.clear();
        proxytab_init();
    }

    static void appendObject(oid_t oid, u8 type, u8 subtype) {
        const bt_obj_info info{type, subtype, 0, 0};
        Structure.append(
            new ProxyObject(oid, ObjectInfo(info), DataModel::Database::findObjectTemplate(info)));
    }

    // The location, the control unit's own device and a room, on the simulated unit.
    void addUnitWithRoom(oid_t room) {
        mSim.add_object(LOCATION, BT_OBJ_LOCATION, 0);
        mSim.add_object(UNIT, BT_OBJ_DEVICE, 0);
        mSim.add_object(room, BT_OBJ_ROOM, 0);
    }

    bool synchronise() {
        return waitFor([] { return Net::Tavi.isSynchronized(); }, 10000);
    }

    // Publishes received by the simulator for one value.
    std::vector<sim::SimPublish> publishesOf(oid_t oid, vid_t vid) const {
        std::vector<sim::SimPublish> out;
        for (const auto& p : mSim.received_publishes()) {
            if (p.oid == oid && p.vid == vid) {
                out.push_back(p);
            }
        }
        return out;
    }

    // What the display put on the line from its last subscription to its own device on, a packet sent again
    // right after itself counted once: "subscribe self", "subscribe all", "self 80E3" (a value of its own
    // device), "ready" (its device state), "publish 01000316:001D" (any other value), "subscribe
    // 01000316:001D" (a question about a value).
    std::vector<std::string> sentFromTheLastSynchronisation() const {
        const auto& log = mSim.log();
        size_t from = log.size();
        for (size_t i = 0; i < log.size(); ++i) {
            if (!log[i].fromMaster && log[i].cmd == TNET_CMD_SUBSCRIBE &&
                get_le32(log[i].payload.data()) == mSelf) {
                from = i;
            }
        }
        std::vector<std::string> sent;
        for (size_t i = from; i < log.size(); ++i) {
            const sim::SimPacket& packet = log[i];
            if (packet.fromMaster || (packet.cmd != TNET_CMD_SUBSCRIBE && packet.cmd != TNET_CMD_PUBLISH)) {
                continue;
            }
            const oid_t oid = get_le32(packet.payload.data());
            const vid_t vid = get_le16(packet.payload.data() + TNET_PUB_OFS_VID);
            const bool subscribe = packet.cmd == TNET_CMD_SUBSCRIBE;
            char word[40];
            if (vid == VID_ALL) {
                std::snprintf(word, sizeof word, "subscribe %s",
                              oid == mSelf     ? "self"
                              : oid == OID_ALL ? "all"
                                               : "other");
            } else if (oid == mSelf && !subscribe && vid == VID_DEVICE_STATE) {
                std::snprintf(word, sizeof word, "ready");
            } else if (oid == mSelf && !subscribe) {
                std::snprintf(word, sizeof word, "self %04X", vid);
            } else {
                std::snprintf(word, sizeof word, "%s %08X:%04X", subscribe ? "subscribe" : "publish", oid,
                              vid);
            }
            if (sent.empty() || sent.back() != word) {
                sent.emplace_back(word);
            }
        }
        return sent;
    }

    // A synchronisation on the line as the display makes it, then `after`: its own device and everything
    // subscribed, its identity published in its order (hardware code and version, serial number and its
    // prefix, software code, version and build, the list of these values), its device state "ready" last.
    static std::vector<std::string> synchronisationThen(std::vector<std::string> after) {
        std::vector<std::string> sent{"subscribe self", "subscribe all", "self 80E3", "self 800E",
                                      "self 800C",      "self 80DF",     "self 80E4", "self 800D",
                                      "self 809E",      "self 809F",     "ready"};
        sent.insert(sent.end(), after.begin(), after.end());
        return sent;
    }

    // The value table's number, -99999 when it holds none.
    static int tableInt(oid_t oid, vid_t vid) {
        int value = 0;
        return pt_get_int(&value, oid, vid) == PT_OK ? value : -99999;
    }

    oid_t mSelf = 0;

private:
    // Frames carry the display's stamps: the same bytes on the line in every run.
    FixedWallClock mWallClock;
};

} // namespace tdx::test
