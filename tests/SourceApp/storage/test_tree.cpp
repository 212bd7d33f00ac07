#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/ProxyStructure.h"
#include "SourceApp/storage/values/Catalogue.h"

#include "tests/support/trace_capture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace tdx;

namespace {

std::vector<std::string> gLog;

// Registers itself for all three kinds of events and writes what it sees into gLog.
class Listener : public ProxyValueChangeHandler,
                 public ProxyObjectAppendHandler,
                 public ProxyObjectRemoveHandler {
public:
    explicit Listener(std::string name)
        : mName(std::move(name)) {
        Structure.addValueChangeHandler(this);
        Structure.addObjectAppendHandler(this);
        Structure.addObjectRemoveHandler(this);
    }
    ~Listener() override {
        Structure.removeValueChangeHandler(this);
        Structure.removeObjectAppendHandler(this);
        Structure.removeObjectRemoveHandler(this);
    }

    std::function<void(ProxyObject&, const OviEx&)> onChange;
    std::function<void(ProxyObject*)> onRemove;

protected:
    void handleProxyValueChange(ProxyObject& object, const OviEx& change) override {
        int value = 0;
        const int r = pt_get_int(&value, change.oid, change.vid);
        gLog.push_back(mName + " change " + hex(object.oid()) + " " + hex(change.vid) + " t" +
                       std::to_string(change.vtype) + (r == 0 ? " = " + std::to_string(value) : ""));
        if (onChange) {
            onChange(object, change);
        }
    }
    void handleProxyObjectAppend(ProxyObject* object) override {
        gLog.push_back(mName + " append " + hex(object->oid()) +
                       (Structure.find(object->oid()) == object ? " (in tree)" : " (missing)"));
    }
    void handleProxyObjectRemove(ProxyObject* object) override {
        bool walked = false;
        for (ProxyObject* o : Structure) {
            walked = walked || o == object;
        }
        gLog.push_back(
            mName + " remove " + hex(object->oid()) +
            (Structure.find(object->oid()) == nullptr && !walked ? " (erased)" : " (still there)"));
        if (onRemove) {
            onRemove(object);
        }
    }

private:
    static std::string hex(unsigned v) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%X", v);
        return buffer;
    }
    std::string mName;
};

constexpr u32 kRoom = 0x06010410;
constexpr u32 kDevice = 0x00010410;

ProxyObject* make(u32 oid, u8 type, u8 subtype = 0) {
    const bt_obj_info info{type, subtype, 0, 0};
    return new ProxyObject(oid, ObjectInfo(info), DataModel::Database::findObjectTemplate(info));
}

class ObjectTree : public ::testing::Test {
protected:
    void SetUp() override {
        proxytab_init();
        Structure.clear();
        gLog.clear();
    }
    void TearDown() override { Structure.clear(); }
    test::TraceCapture mTrace;

    static std::vector<Ovi> drainPublish() {
        std::vector<Ovi> out;
        pt_value v{};
        while (Structure.takePublish(&v)) {
            out.emplace_back(v.oid, v.vid);
        }
        return out;
    }
};

} // namespace

TEST_F(ObjectTree, ALocalWriteReachesEveryListenerOnceInRegistrationOrderAndIsPublishedOnce) {
    Structure.append(make(kRoom, BT_OBJ_ROOM));
    Listener a("a"), b("b"), c("c");
    gLog.clear();
    ASSERT_EQ(0, pt_set_int(kRoom, 0x801B, 2100, BT_VTYPE_S16_X100));
    EXPECT_TRUE(gLog.empty()) << "listeners hear of changes only from the tree's task";
    Structure.task();
    const std::vector<std::string> expected = {
        "a change 6010410 801B t18 = 2100",
        "b change 6010410 801B t18 = 2100",
        "c change 6010410 801B t18 = 2100",
    };
    EXPECT_EQ(expected, gLog);
    gLog.clear();
    Structure.task();
    EXPECT_TRUE(gLog.empty()) << "delivered once";

    pt_value v{};
    ASSERT_TRUE(Structure.takePublish(&v));
    EXPECT_EQ(kRoom, v.oid);
    EXPECT_EQ(0x801B, v.vid);
    EXPECT_EQ(2100, v.value);
    EXPECT_FALSE(Structure.takePublish(&v));
}

TEST_F(ObjectTree, TwoWritesBeforeTheTaskGiveOneNotificationAndOnePublishWithTheLastValue) {
    Structure.append(make(kRoom, BT_OBJ_ROOM));
    Listener a("a");
    gLog.clear();
    pt_set_int(kRoom, 0x801B, 2100, BT_VTYPE_S16_X100);
    pt_set_int(kRoom, 0x801C, 2200, BT_VTYPE_S16_X100);
    pt_set_int(kRoom, 0x801B, 2150, BT_VTYPE_S16_X100);
    EXPECT_EQ(2u, Structure.publishPending());
    Structure.task();
    const std::vector<std::string> expected = {
        "a change 6010410 801B t18 = 2150",
        "a change 6010410 801C t18 = 2200",
    };
    EXPECT_EQ(expected, gLog);

    pt_value v{};
    ASSERT_TRUE(Structure.takePublish(&v));
    EXPECT_EQ(0x801B, v.vid);
    EXPECT_EQ(2150, v.value);
    ASSERT_TRUE(Structure.takePublish(&v));
    EXPECT_EQ(0x801C, v.vid);
    EXPECT_FALSE(Structure.takePublish(&v));

    // Once taken, a new write of the same value queues it again.
    pt_set_int(kRoom, 0x801B, 2000, BT_VTYPE_S16_X100);
    EXPECT_EQ(std::vector<Ovi>{Ovi(kRoom, 0x801B)}, drainPublish());
}

TEST_F(ObjectTree, NetworkValuesReachListenersButAreNeverPublishedBack) {
    Structure.append(make(kRoom, BT_OBJ_ROOM));
    Listener a("a");
    gLog.clear();
    const u8 temp[] = {0x66, 0x08};
    ASSERT_EQ(0, pt_store(kRoom, 0x000C, BT_VTYPE_S16_X100, temp, 2, 0, PT_ORIGIN_NETWORK));
    Structure.task();
    EXPECT_EQ(std::vector<std::string>{"a change 6010410 C t18 = 2150"}, gLog);
    EXPECT_TRUE(drainPublish().empty());
}

TEST_F(ObjectTree, ChangesOfObjectsOutsideTheTreeReachNoListener) {
    Listener a("a");
    gLog.clear();
    pt_set_int(kRoom, 0x801B, 2100, BT_VTYPE_S16_X100);
    pt_set_int(0x00020304, VID_DEVICE_STATE, 2, BT_VTYPE_U8); // a device nobody listed
    Structure.task();
    EXPECT_TRUE(gLog.empty());
    EXPECT_EQ(nullptr, Structure.find(0x00020304));
    EXPECT_EQ(2u, drainPublish().size())
        << "local writes are published whether or not the tree has the object";
}

TEST_F(ObjectTree, TheStateOfAListedDeviceAppendsItBeforeListenersHearOfIt) {
    Listener a("a");
    const u8 components[] = {0x10, 0x04, 0x01, 0x00, 0x20, 0x04, 0x01, 0x00}; // 0x010410, 0x010420
    ASSERT_EQ(
        0, pt_store(OID_LOCATION, VID_GLOBAL_COMPONENTS, BT_VTYPE_DATA, components, 8, 0, PT_ORIGIN_NETWORK));
    const u8 online[] = {2};
    pt_store(0x010420, VID_DEVICE_STATE, BT_VTYPE_U8, online, 1, 0, PT_ORIGIN_NETWORK);
    pt_store(0x010430, VID_DEVICE_STATE, BT_VTYPE_U8, online, 1, 0, PT_ORIGIN_NETWORK);   // not listed
    pt_store(0x03010420, VID_DEVICE_STATE, BT_VTYPE_U8, online, 1, 0, PT_ORIGIN_NETWORK); // not a device
    gLog.clear();
    Structure.task();
    const std::vector<std::string> expected = {
        "a append 10420 (in tree)",
        "a change 10420 2F t12 = 2",
    };
    EXPECT_EQ(expected, gLog);
    ProxyObject* device = Structure.find(0x010420);
    ASSERT_NE(nullptr, device);
    EXPECT_TRUE(device->type().is(BT_OBJ_DEVICE, 0));
    EXPECT_EQ(&DataModel::Device, device->getTemplate());
    EXPECT_EQ(nullptr, Structure.find(0x010430));
    EXPECT_EQ(nullptr, Structure.find(0x03010420));

    // The control unit's own device is announced like any other object: its state alone adds it only when the
    // list names it.
    const u8 unit[] = {0x16, 0x03, 0x00, 0x00}; // 0x000316
    pt_store(0x000316, VID_DEVICE_STATE, BT_VTYPE_U8, online, 1, 0, PT_ORIGIN_NETWORK);
    Structure.task();
    EXPECT_EQ(nullptr, Structure.find(0x000316));
    ASSERT_EQ(0, pt_store(OID_LOCATION, VID_GLOBAL_COMPONENTS, BT_VTYPE_DATA, unit, 4, 0, PT_ORIGIN_NETWORK));
    const u8 offline[] = {0};
    pt_store(0x000316, VID_DEVICE_STATE, BT_VTYPE_U8, offline, 1, 0, PT_ORIGIN_NETWORK);
    Structure.task();
    EXPECT_NE(nullptr, Structure.find(0x000316));
}

// The state of a listed device that went from the table before the tree delivered it (a synchronisation did
// not bring it) announces no device.
TEST_F(ObjectTree, TheStateOfAListedDeviceThatWentAppendsNothing) {
    Listener a("a");
    const u8 components[] = {0x20, 0x04, 0x01, 0x00}; // 0x010420
    ASSERT_EQ(
        0, pt_store(OID_LOCATION, VID_GLOBAL_COMPONENTS, BT_VTYPE_DATA, components, 4, 0, PT_ORIGIN_NETWORK));
    const u8 online[] = {2};
    pt_store(0x010420, VID_DEVICE_STATE, BT_VTYPE_U8, online, 1, 0, PT_ORIGIN_NETWORK);
    ASSERT_EQ(PT_OK, pt_remove_value(0x010420, VID_DEVICE_STATE));
    gLog.clear();
    Structure.task();
    EXPECT_TRUE(gLog.empty());
    EXPECT_EQ(nullptr, Structure.find(0x010420));
}

TEST_F(ObjectTree, ListenersMayComeAndGoWhileTheyAreCalled) {
    Structure.append(make(kRoom, BT_OBJ_ROOM));
    Listener a("a");
    auto b = std::make_unique<Listener>("b");
    Listener c("c");
    std::unique_ptr<Listener> late;
    a.onChange = [&](ProxyObject&, const OviEx&) {
        b.reset(); // removes b while the tree walks its list
        if (!late) {
            late = std::make_unique<Listener>("late");
        }
    };
    gLog.clear();
    pt_set_int(kRoom, 0x801B, 1, BT_VTYPE_S16_X100);
    pt_set_int(kRoom, 0x801C, 2, BT_VTYPE_S16_X100);
    Structure.task();
    const std::vector<std::string> expected = {
        "a change 6010410 801B t18 = 1", "c change 6010410 801B t18 = 1",    "a change 6010410 801C t18 = 2",
        "c change 6010410 801C t18 = 2", "late change 6010410 801C t18 = 2",
    };
    EXPECT_EQ(expected, gLog);

    // A listener that removes itself is not called again, the others still are.
    c.onChange = [&](ProxyObject&, const OviEx&) { Structure.removeValueChangeHandler(&c); };
    gLog.clear();
    pt_set_int(kRoom, 0x801B, 3, BT_VTYPE_S16_X100);
    pt_set_int(kRoom, 0x801C, 4, BT_VTYPE_S16_X100);
    Structure.task();
    const std::vector<std::string> second = {
        "a change 6010410 801B t18 = 3",    "c change 6010410 801B t18 = 3",
        "late change 6010410 801B t18 = 3", "a change 6010410 801C t18 = 4",
        "late change 6010410 801C t18 = 4",
    };
    EXPECT_EQ(second, gLog);
}

TEST_F(ObjectTree, EveryRegistrationIsCalledAndARemovalTakesTheFirstAway) {
    Structure.append(make(kRoom, BT_OBJ_ROOM));
    Listener a("a");
    Listener b("b");
    Structure.addValueChangeHandler(&a); // no duplicate check: a is now first and last
    const auto change = [](int value) {
        gLog.clear();
        pt_set_int(kRoom, 0x801B, value, BT_VTYPE_S16_X100);
        Structure.task();
        return gLog;
    };
    EXPECT_EQ(change(1),
              (std::vector<std::string>{"a change 6010410 801B t18 = 1", "b change 6010410 801B t18 = 1",
                                        "a change 6010410 801B t18 = 1"}));

    Structure.removeValueChangeHandler(&a);
    EXPECT_EQ(change(2),
              (std::vector<std::string>{"b change 6010410 801B t18 = 2", "a change 6010410 801B t18 = 2"}));

    // A listener no longer registered is ignored (b's destructor removes it once more).
    Structure.removeValueChangeHandler(&b);
    Structure.removeValueChangeHandler(&b);
    EXPECT_EQ(change(3), (std::vector<std::string>{"a change 6010410 801B t18 = 3"}));
}

TEST_F(ObjectTree, AListenerThatWritesIsToldOnTheNextPass) {
    Structure.append(make(kRoom, BT_OBJ_ROOM));
    Listener a("a");
    a.onChange = [](ProxyObject&, const OviEx& change) {
        if (change.vid == 0x8018) {
            pt_set_int(kRoom, 0x8019, 3000, BT_VTYPE_S16_X100);
        }
    };
    gLog.clear();
    pt_set_int(kRoom, 0x8018, 1000, BT_VTYPE_S16_X100);
    Structure.task();
    EXPECT_EQ(std::vector<std::string>{"a change 6010410 8018 t18 = 1000"}, gLog);
    gLog.clear();
    Structure.task();
    EXPECT_EQ(std::vector<std::string>{"a change 6010410 8019 t18 = 3000"}, gLog);
}

TEST_F(ObjectTree, AnObjectRemovedByAListenerIsNotHandedToTheNextOne) {
    Structure.append(make(kRoom, BT_OBJ_ROOM));
    Listener a("a"), b("b");
    a.onChange = [](ProxyObject& object, const OviEx&) { Structure.remove(object.oid()); };
    gLog.clear();
    pt_set_int(kRoom, 0x801B, 1, BT_VTYPE_S16_X100);
    Structure.task();
    const std::vector<std::string> expected = {
        "a change 6010410 801B t18 = 1",
        "a remove 6010410 (erased)",
        "b remove 6010410 (erased)",
    };
    EXPECT_EQ(expected, gLog);
}

TEST_F(ObjectTree, RemoveListenersRunAfterTheEraseAndOnlyWhenSomethingWasErased) {
    Structure.append(make(kRoom, BT_OBJ_ROOM));
    pt_set_int(kRoom, 0x801B, 1, BT_VTYPE_S16_X100);
    pt_set_int(kRoom, 0x801C, 1, BT_VTYPE_S16_X100);
    drainPublish();
    Listener a("a");
    gLog.clear();
    EXPECT_FALSE(Structure.remove(0x07010410));
    EXPECT_TRUE(gLog.empty());
    EXPECT_TRUE(Structure.remove(kRoom));
    EXPECT_EQ(std::vector<std::string>{"a remove 6010410 (erased)"}, gLog);
    int out = 0;
    EXPECT_EQ(PT_ERR_NO_ENTRY, pt_get_int(&out, kRoom, 0x801B)) << "the object's values are freed";
    Structure.task();
    EXPECT_EQ(1u, gLog.size()) << "queued changes of a removed object reach nobody";
}

TEST_F(ObjectTree, AppendOwnsTheObjectAndRefusesASecondWithTheSameId) {
    Listener a("a");
    gLog.clear();
    EXPECT_TRUE(Structure.append(make(kRoom, BT_OBJ_ROOM)));
    EXPECT_FALSE(Structure.append(make(kRoom, BT_OBJ_ITC)));
    EXPECT_FALSE(Structure.append(nullptr));
    EXPECT_EQ(std::vector<std::string>{"a append 6010410 (in tree)"}, gLog);
    EXPECT_TRUE(Structure.find(kRoom)->type().is(BT_OBJ_ROOM));
    EXPECT_TRUE(mTrace.contains("already present"));
}

TEST_F(ObjectTree, ObjectsAreWalkedInAscendingIdIndexByteFirst) {
    const u32 ids[] = {0x06010410, 0x00010420, OID_LOCATION, 0x00010410, 0x01000316, 0x06000316};
    for (u32 id : ids) {
        Structure.append(make(id, id == OID_LOCATION ? BT_OBJ_LOCATION : BT_OBJ_ROOM));
    }
    std::vector<u32> walked;
    for (auto it = Structure.begin(); it != Structure.end(); ++it) {
        walked.push_back(it->oid());
    }
    const std::vector<u32> expected = {0x00010410, 0x00010420, 0x01000316,
                                       0x06000316, 0x06010410, OID_LOCATION};
    EXPECT_EQ(expected, walked);
    EXPECT_EQ(nullptr, Structure.find(0x06010411));
    EXPECT_EQ(6u, Structure.size());
}

TEST_F(ObjectTree, TheOutputListHoldsTheFirst64OutputsInIdOrder) {
    for (u32 i = 70; i-- > 0;) {
        Structure.append(make(((i + 1) << 24) | 0x010410, BT_OBJ_OUTPUT, static_cast<u8>(i % 12)));
    }
    Structure.append(make(0x01000001, BT_OBJ_ROOM));
    EXPECT_EQ(0x01010410u, Structure.getOutputAtIndex(0));
    EXPECT_EQ(0x40010410u, Structure.getOutputAtIndex(63));
    Structure.remove(0x01010410);
    EXPECT_EQ(0x02010410u, Structure.getOutputAtIndex(0));
    EXPECT_EQ(0x41010410u, Structure.getOutputAtIndex(63));

    // Indices come from network data: outside 0..63 they are an empty slot, not the end of the program.
    EXPECT_EQ(0xFFFFFFFFu, Structure.getOutputAtIndex(-1));
    EXPECT_EQ(0xFFFFFFFFu, Structure.getOutputAtIndex(64));
    EXPECT_EQ(0xFFFFFFFFu, Structure.getOutputAtIndex(-128));
    EXPECT_TRUE(mTrace.contains("output index -1"));

    Structure.clear();
    Structure.append(make(0x05010410, BT_OBJ_OUTPUT, 6));
    EXPECT_EQ(0x05010410u, Structure.getOutputAtIndex(0));
    EXPECT_EQ(0xFFFFFFFFu, Structure.getOutputAtIndex(1));
}

TEST_F(ObjectTree, ObjectsReadAndWriteTheirValuesThroughTheTable) {
    Structure.append(make(kRoom, BT_OBJ_ROOM));
    ProxyObject& room = *Structure.find(kRoom);
    EXPECT_EQ(&DataModel::Room, room.getTemplate());

    std::string name = "unchanged";
    EXPECT_EQ(PT_ERR_NO_ENTRY, room.getText(name, 0x000F8090));
    EXPECT_EQ("unchanged", name);
    EXPECT_EQ(0, room.setText(Ovi(kRoom, VID_NAME), "Living room"));
    EXPECT_EQ(0, room.getText(name, 0x000F8090));
    EXPECT_EQ("Living room", name);

    // Value-id list: 16-bit ids, little-endian.
    EXPECT_FALSE(room.hasValue(0x8090)) << "no list yet";
    const u8 ids[] = {0x90, 0x80, 0x1B, 0x80};
    ASSERT_EQ(0, room.setData(Ovi(kRoom, VID_VALUE_LIST), ids, sizeof ids));
    EXPECT_TRUE(room.hasValue(0x8090));
    EXPECT_FALSE(room.hasValue(0x801B)) << "listed, but the table has no entry";
    EXPECT_FALSE(room.hasValue(0x000C)) << "not listed";
    pt_set_int(kRoom, 0x801B, 2100, BT_VTYPE_S16_X100);
    EXPECT_TRUE(room.hasValue(0x801B));

    // Id lists: 32-bit ids, little-endian.
    const u8 peripherals[] = {0x10, 0x04, 0x01, 0x00, 0x11, 0x04, 0x01, 0x02};
    ASSERT_EQ(0, room.setData(0x001080AE, peripherals, sizeof peripherals));
    EXPECT_TRUE(room.isOidInList(0x010410, 0x80AE));
    EXPECT_TRUE(room.isOidInList(0x02010411, 0x001080AE));
    EXPECT_FALSE(room.isOidInList(0x010411, 0x80AE));
    EXPECT_FALSE(room.isOidInList(0x010410, 0x80AF));

    u8 back[8] = {};
    EXPECT_EQ(8, room.getData(back, sizeof back, Ovi(kRoom, 0x80AE)));
    EXPECT_EQ(4, room.getData(back, 4, 0x001080AE));

    // Withdrawing is a change that is published.
    drainPublish();
    EXPECT_EQ(0, room.setData(0x80AE, nullptr, 65535));
    EXPECT_EQ(PT_ERR_NO_VALUE, room.getData(back, sizeof back, 0x80AE));
    EXPECT_FALSE(room.isOidInList(0x010410, 0x80AE));
    pt_value v{};
    ASSERT_TRUE(Structure.takePublish(&v));
    EXPECT_EQ(0x80AE, v.vid);
    EXPECT_FALSE(v.valid);
}

TEST_F(ObjectTree, APublishOfAValueThatWasFreedIsSkipped) {
    Structure.append(make(kRoom, BT_OBJ_ROOM));
    pt_set_int(kRoom, 0x801B, 1, BT_VTYPE_S16_X100);
    pt_set_int(kDevice, 0x8087, 1, BT_VTYPE_U8);
    Structure.remove(kRoom);
    EXPECT_EQ(std::vector<Ovi>{Ovi(kDevice, 0x8087)}, drainPublish());
}
