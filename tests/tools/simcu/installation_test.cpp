// Installations of the simulated control unit: the shipped one carries every kind of object and every value
// the display's screens read, valid, inside its limits and encoded as they decode it; broken files are
// refused with the place of the mistake.
#include "SourceApp/storage/DataModel.h"
#include "SourceApp/storage/WeekdayEvent.h"
#include "SourceApp/storage/values/Catalogue.h"
#include "tests/support/sim_values.h"
#include "tools/simcu/installation.h"
#include "tools/simcu/simcu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

namespace tdx::test {
namespace {

using namespace DataModel;

constexpr uint32_t LOCATION = 0xFEFFFFFE;

std::vector<uint32_t> oidList(const sim::SimValue& value) {
    std::vector<uint32_t> out;
    for (size_t i = 0; i + 4 <= value.bytes.size(); i += 4) {
        out.push_back(value.bytes[i] | value.bytes[i + 1] << 8 | value.bytes[i + 2] << 16 |
                      static_cast<uint32_t>(value.bytes[i + 3]) << 24);
    }
    return out;
}

class DefaultInstallation : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        auto loaded = sim::sim_load_installation(sim::sim_default_installation_path(), &error);
        ASSERT_TRUE(loaded) << error;
        mInstallation = std::make_unique<sim::Installation>(std::move(*loaded));
    }

    const sim::SimModel& model() const { return mInstallation->model; }

    // The limit of a signed value: the value it follows in the same object, else the descriptor's default.
    int64_t limit(uint32_t oid, const Descriptor::VidSignedNumber& d, bool minimum) const {
        const auto* factory = minimum ? d.minimumFactory : d.maximumFactory;
        if (const auto* follow = dynamic_cast<const Factories::ProxyNumberFactory*>(factory)) {
            const auto other = model().value(oid, follow->vid());
            EXPECT_TRUE(other) << std::hex << oid << " lacks the limit " << follow->vid();
            return other ? other->number() : 0;
        }
        return minimum ? d.minimum : d.maximum;
    }

    std::unique_ptr<sim::Installation> mInstallation;
};

TEST_F(DefaultInstallation, CarriesEveryValueOfEveryObjectValidAndInsideItsLimits) {
    int checked = 0;
    model().forEachObject(sim::ALL_OBJECTS, [&](uint32_t oid, const sim::SimObject& object) {
        const bt_obj_info info{object.type, object.subtype, 0, 0};
        const ObjectTemplate* objectTemplate = Database::findObjectTemplate(info);
        ASSERT_NE(objectTemplate, nullptr) << std::hex << oid;
        for (const Value* value : *objectTemplate) {
            const Descriptor::VidBase& d = *value->descriptor();
            SCOPED_TRACE(testing::Message() << std::hex << oid << " " << d.vid << " " << d.name);
            const auto held = model().value(oid, d.vid);
            // A device carries the sensors it has: the thermostats measure the room, the control unit the
            // outdoor temperature.
            const bool sensor =
                d.vid == 0x000C || d.vid == 0x000D || d.vid == 0x0036 || d.vid == 0x0002 || d.vid == 0x002C;
            if (object.type == BT_OBJ_DEVICE && sensor && !held) {
                continue;
            }
            ASSERT_TRUE(held);
            ++checked;
            ASSERT_TRUE(held->valid);
            // Backup and restore stay idle as type 13 0x00FF: the idle reading type 12 cannot carry.
            if (oid == LOCATION && (d.vid == 0x0051 || d.vid == 0x0052)) {
                EXPECT_EQ(held->type, BT_VTYPE_U16);
                EXPECT_EQ(held->number(), 0xFF);
                continue;
            }
            ASSERT_EQ(held->type, d.vtype);
            if (d.kind == Descriptor::KIND_DATA) {
                const auto& data = static_cast<const Descriptor::VidData&>(d);
                if (data.role == Descriptor::DataRole::Schedule) {
                    EXPECT_EQ(held->bytes.size(), 170u);
                } else if (data.role == Descriptor::DataRole::String) {
                    EXPECT_FALSE(held->bytes.empty());
                }
                continue;
            }
            const auto& number = static_cast<const Descriptor::VidNumber&>(d);
            const int64_t v = held->number();
            if (number.isSigned) {
                const auto& s = static_cast<const Descriptor::VidSignedNumber&>(d);
                EXPECT_NE(v, bt_vtype_marker(d.vtype)) << "no value";
                EXPECT_GE(v, limit(oid, s, true));
                EXPECT_LE(v, limit(oid, s, false));
            } else {
                const auto& u = static_cast<const Descriptor::VidUnsignedNumber&>(d);
                EXPECT_GE(v, u.minimum);
                EXPECT_LE(v, u.maximum);
                if (number.role == Descriptor::NumberRole::Enumeration) {
                    EXPECT_NE(static_cast<const Descriptor::VidEnum&>(d).optionText(static_cast<u32>(v)),
                              nullptr);
                }
                if (number.role == Descriptor::NumberRole::ObjectReference) {
                    EXPECT_TRUE(model().object(static_cast<uint32_t>(v))) << "refers to nothing";
                }
            }
        }
    });
    EXPECT_GT(checked, 250);
}

// The device information screen reads the unit's identity from its values, the device update from its
// bootloader: both name the same hardware and software.
TEST_F(DefaultInstallation, TheUnitsValuesNameWhatItsBootloaderReports) {
    const bl_dev_info info = sim::SimConfig::unitBootloader().info;
    const uint32_t unit = mInstallation->address;
    auto text = [&](uint16_t vid) {
        const auto v = model().value(unit, vid);
        return v ? std::string(v->bytes.begin(), v->bytes.end()) : std::string("(none)");
    };
    auto number = [&](uint16_t vid) {
        const auto v = model().value(unit, vid);
        return v ? v->number() : -1;
    };
    EXPECT_EQ(text(0x80E3), std::string(info.hw_code, sizeof info.hw_code));
    EXPECT_EQ(number(0x800E), info.hw_version);
    EXPECT_EQ(text(0x80E4), std::string(info.sw_code, sizeof info.sw_code));
    EXPECT_EQ(number(0x800D), info.sw_major);
}

// A device's network address is the low 24 bits of its serial number: the component lists print the serial
// from the address, the device information screen from the serial number, and both show the same sticker.
TEST_F(DefaultInstallation, EveryDevicesSerialNumberCarriesItsAddress) {
    int devices = 0;
    model().forEachObject(sim::ALL_OBJECTS, [&](uint32_t oid, const sim::SimObject& object) {
        if (object.type != BT_OBJ_DEVICE) {
            return;
        }
        ++devices;
        const auto serial = model().value(oid, 0x800C);
        ASSERT_TRUE(serial) << std::hex << oid;
        EXPECT_EQ(static_cast<uint32_t>(serial->number()) & 0xFFFFFF, oid & 0xFFFFFF) << std::hex << oid;
    });
    EXPECT_GE(devices, 4);
}

TEST_F(DefaultInstallation, HoldsEveryKindOfObjectTheScreensFilterOn) {
    // Enrolled: the display at its default address, which the unit connects again after its restart.
    EXPECT_EQ(mInstallation->client, 0x010410u);
    std::set<std::pair<int, int>> kinds;
    std::set<std::vector<uint8_t>> codes;
    std::set<int64_t> analogFunctions;
    bool manualRelay = false;
    model().forEachObject(sim::ALL_OBJECTS, [&](uint32_t oid, const sim::SimObject& o) {
        kinds.insert({o.type, o.subtype});
        if (o.type == BT_OBJ_DEVICE) {
            codes.insert(heldValue(model(), oid, 0x80E3).bytes);
        } else if (o.type == BT_OBJ_OUTPUT && (o.subtype == 2 || o.subtype == 8)) {
            analogFunctions.insert(heldNumber(model(), oid, 0x80E7));
        } else if (o.type == BT_OBJ_OUTPUT && (o.subtype == 7 || o.subtype == 10)) {
            manualRelay = manualRelay || heldNumber(model(), oid, 0x80E7) == 1;
        }
    });
    // Location, devices, interface, input; thermohead, relays, analog outputs, servos; room, inlet
    // controller, hot water, circuit, tank.
    const std::pair<int, int> expected[] = {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 1}, {5, 2},
                                            {5, 4}, {5, 5}, {5, 6}, {5, 7}, {5, 8}, {5, 10},
                                            {6, 0}, {7, 0}, {8, 0}, {9, 0}, {11, 0}};
    for (const auto& kind : expected) {
        EXPECT_TRUE(kinds.count(kind)) << kind.first << "/" << kind.second;
    }
    // The control unit, a thermostat and an external sensor.
    for (const char* code : {"HM316", "KD201", "KB201"}) {
        EXPECT_TRUE(codes.count(std::vector<uint8_t>(code, code + 5))) << code;
    }
    EXPECT_EQ(analogFunctions, (std::set<int64_t>{7, 8})) << "fixed voltages and the temperature curve";
    EXPECT_TRUE(manualRelay) << "a relay under manual control has a tile";
    const uint32_t unit = mInstallation->address;
    EXPECT_EQ(heldNumber(model(), LOCATION, 0x80DC), unit);
    EXPECT_EQ(heldNumber(model(), unit, 0x002F), 2);
}

TEST_F(DefaultInstallation, DataValuesEncodeWhatTheScreensDecode) {
    std::vector<uint32_t> circuits;
    std::vector<uint32_t> analogTargets;
    model().forEachObject(sim::ALL_OBJECTS, [&](uint32_t oid, const sim::SimObject& o) {
        SCOPED_TRACE(testing::Message() << std::hex << oid);
        // Lists of 32-bit object ids, low byte first, naming objects of the installation.
        for (const uint16_t vid : {0x80AE, 0x80B8, 0x80A0}) {
            const auto list = model().value(oid, vid);
            const bool analog = o.type == BT_OBJ_OUTPUT && (o.subtype == 2 || o.subtype == 8);
            if (!list || analog) {
                continue;
            }
            EXPECT_EQ(list->bytes.size() % 4, 0u) << vid;
            for (const uint32_t id : oidList(*list)) {
                EXPECT_TRUE(model().object(id)) << vid << " names " << id;
            }
        }
        if (o.type == BT_OBJ_HCC) {
            circuits.push_back(oid);
        }
        // The Mirelo editor reads the hot water's schedule as an integer index.
        if (o.type == BT_OBJ_DHW) {
            const auto index = model().value(oid, 0xF017);
            ASSERT_TRUE(index);
            EXPECT_EQ(index->type, BT_VTYPE_U8);
            EXPECT_LE(index->number(), 3);
        }
        // An analog output names the function it follows at byte 4 of its eight source bytes.
        if (o.type == BT_OBJ_OUTPUT && (o.subtype == 2 || o.subtype == 8)) {
            const sim::SimValue source = heldValue(model(), oid, 0x80A0);
            ASSERT_EQ(source.bytes.size(), 8u);
            const uint32_t target = oidList(source)[1];
            ASSERT_TRUE(model().object(target));
            EXPECT_TRUE(model().object(target)->type == BT_OBJ_HCC ||
                        model().object(target)->type == BT_OBJ_ITC);
            analogTargets.push_back(target);
        }
        // Weekday events: a time of day, and a weekday or a day of the month.
        if (const auto cleaning = model().value(oid, 0x811A)) {
            ASSERT_EQ(cleaning->bytes.size(), 2u);
            const WeekdayEvent event = WeekdayEvent::load(cleaning->bytes.data());
            EXPECT_LT(event.hour(), 24);
            EXPECT_LT(event.minute(), 60);
            EXPECT_TRUE(event.isWeekly() ? event.day() <= 6 : event.day() >= 1);
        }
    });
    ASSERT_FALSE(circuits.empty());
    EXPECT_NE(std::find(analogTargets.begin(), analogTargets.end(), circuits[0]), analogTargets.end())
        << "the circuit editor finds its analog output";
}

TEST_F(DefaultInstallation, DerivesValueListsObjectIndicesAndRoomOutputs) {
    // Outputs in ascending object id, as the display numbers them.
    std::vector<uint32_t> outputs;
    model().forEachObject(sim::ALL_OBJECTS, [&](uint32_t oid, const sim::SimObject& o) {
        if (o.type == 5) {
            outputs.push_back(oid);
        }
    });
    int rooms = 0;
    model().forEachObject(sim::ALL_OBJECTS, [&](uint32_t oid, const sim::SimObject& o) {
        // Every value of the object is in its value-id list.
        const auto list = model().value(oid, 0x809F);
        ASSERT_TRUE(list) << std::hex << oid;
        std::set<uint16_t> listed;
        for (size_t i = 0; i + 1 < list->bytes.size(); i += 2) {
            listed.insert(static_cast<uint16_t>(list->bytes[i] | list->bytes[i + 1] << 8));
        }
        model().forEachValue(oid, sim::ALL_VALUES, [&](uint32_t, uint16_t vid, const sim::SimValue&) {
            EXPECT_TRUE(listed.count(vid));
        });
        if (o.type == 6) {
            ++rooms;
            const auto indices = model().value(oid, 0x808F);
            ASSERT_TRUE(indices);
            EXPECT_FALSE(indices->bytes.empty());
            for (const uint8_t index : indices->bytes) {
                ASSERT_LT(index, outputs.size());
                EXPECT_EQ(model().object(outputs[index])->subtype, 6) << "a thermohead";
            }
        }
    });
    EXPECT_EQ(rooms, 2);
    const auto indices = model().value(mInstallation->address, 0x80B0);
    ASSERT_TRUE(indices);
    for (const uint8_t index : indices->bytes) {
        EXPECT_TRUE(model().object(static_cast<uint32_t>(index) << 24 | mInstallation->address));
    }
    EXPECT_GE(indices->bytes.size(), 9u);
}

TEST(Installation, SchedulesAndListsEncodeAsTheDisplayReadsThem) {
    std::string error;
    const auto parsed = sim::sim_parse_installation(
        R"({"address": "0x000400", "objects": [{"oid": "0x01000400", "type": 6, "values": [
          {"vid": "0x8043", "type": 16, "schedule": ["012300000000000000000000", "000000000000000000000003",
             "000000000000000000000000", "000000000000000000000000", "000000000000000000000000",
             "000000000000000000000000", "000000000000000000000000"]},
          {"vid": "0x80AE", "type": 16, "oids": ["0x000520", 1]},
          {"vid": "0x000D", "type": 18, "valid": false},
          {"vid": "0x0002", "type": 18, "value": -5}]}]})",
        &error);
    ASSERT_TRUE(parsed) << error;
    const auto schedule = parsed->model.value(0x01000400, 0x8043);
    ASSERT_TRUE(schedule);
    ASSERT_EQ(schedule->bytes.size(), 170u);
    // Hour 1 is period 1 in all four quarters, hour 2 period 2, hour 3 period 3; Tuesday 23:00 period 3.
    EXPECT_EQ(schedule->bytes[2 + 0], 0x00);
    EXPECT_EQ(schedule->bytes[2 + 1], 0x55);
    EXPECT_EQ(schedule->bytes[2 + 2], 0xAA);
    EXPECT_EQ(schedule->bytes[2 + 3], 0xFF);
    EXPECT_EQ(schedule->bytes[2 + 24 + 23], 0xFF);
    EXPECT_EQ(heldValue(parsed->model, 0x01000400, 0x80AE).bytes,
              (std::vector<uint8_t>{0x20, 0x05, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00}));
    EXPECT_EQ(heldNumber(parsed->model, 0x01000400, 0x000D), 0x7FFF);
    EXPECT_EQ(heldNumber(parsed->model, 0x01000400, 0x0002), -5);
    EXPECT_EQ(parsed->address, 0x000400u);
    EXPECT_FALSE(parsed->client);
}

TEST(Installation, MistakesAreRefusedWithTheirPlace) {
    const std::pair<std::string, const char*> cases[] = {
        {"{", "parse error"},
        {R"({"objects": []})", "\"address\" missing"},
        {R"({"address": 0, "objects": []})", "address: 0 outside 1..16777214"},
        {R"({"address": 1, "client": "0x1000000", "objects": []})", "client: 16777216 outside 1..16777214"},
        {R"({"address": 1, "objects": [{"oid": 5, "type": 2, "values": [{"vid": 2, "type": 18, "value": 40000}]}]})",
         "objects[0].values[0].value: 40000 outside -32768..32767"},
        {R"({"address": 1, "objects": [{"oid": 5, "type": 2, "values": [{"vid": 2, "type": 12, "value": "x"}]}]})",
         "objects[0].values[0].value: \"x\" is no integer"},
        {R"({"address": 1, "objects": [{"oid": 5, "type": 2, "values": [{"vid": 2, "type": 21, "value": 1}]}]})",
         "objects[0].values[0].type: 21 outside 9..20"},
        {R"({"address": 1, "objects": [{"oid": 5, "type": 2, "values": [{"vid": 2, "type": 16}]}]})",
         "\"text\", \"oids\", \"bytes\" or \"schedule\" missing"},
        {R"({"address": 1, "objects": [{"oid": 5, "type": 2, "values": [{"vid": 2, "type": 16, "bytes": [256]}]}]})",
         "objects[0].values[0].bytes: 256 outside 0..255"},
        {R"({"address": 1, "objects": [{"oid": 5, "type": 2, "values": [{"vid": 2, "type": 12, "value": 1},
            {"vid": "0x0002", "type": 12, "value": 1}]}]})",
         "objects[0].values[1]: value \"0x0002\" given twice"},
        {R"({"address": 1, "objects": [{"oid": 5, "type": 2, "values": []}, {"oid": 5, "type": 2, "values": []}]})",
         "objects[1]: object 5 given twice"},
        {R"({"address": 1, "objects": [{"oid": 5, "type": 2, "outputs": [1], "values": []}]})",
         "objects[0]: only rooms have outputs"},
        {R"({"address": 1, "objects": [{"oid": "0x01000001", "type": 6, "outputs": ["0x02000001"], "values": []},
            {"oid": "0x02000001", "type": 2, "values": []}]})",
         "room 0x01000001: 0x02000001 is none of the installation's first 64 outputs"},
        {R"({"address": 1, "objects": [{"oid": 5, "type": 2, "values": [{"vid": 2, "type": 15, "text": ")" +
             std::string(300, 'a') + R"("}]}]})",
         "300 bytes, at most 256"},
        {R"({"address": "0x000400", "objects": [{"oid": "0x01000400", "type": 6, "values": [
          {"vid": "0x8043", "type": 16, "schedule": ["012300000000000000000000",
              "1111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111112",
              "0", "0", "0", "0", "0"]}]}]})",
         "objects[0].values[0].schedule: day 1 needs 24 or 96 digits"},
    };
    for (const auto& [text, reason] : cases) {
        std::string error;
        EXPECT_FALSE(sim::sim_parse_installation(text, &error)) << text;
        EXPECT_NE(error.find(reason), std::string::npos) << text << "\n -> " << error;
    }
    std::string error;
    EXPECT_FALSE(sim::sim_load_installation("/nonexistent/installation.json", &error));
    EXPECT_NE(error.find("cannot be read"), std::string::npos);
}

} // namespace
} // namespace tdx::test
