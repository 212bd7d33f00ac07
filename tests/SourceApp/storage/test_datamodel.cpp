#include "SourceApp/storage/values/Catalogue.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/ProxyStructure.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace tdx;
using namespace tdx::DataModel;
namespace D = tdx::DataModel::Descriptor;
namespace I = tdx::DataModel::Implementation;

namespace {

std::string gTrace;
void capture(const char* text, size_t length) {
    gTrace.append(text, length);
}

struct NamedTemplate {
    const char* what;
    const ObjectTemplate* objectTemplate;
};

const NamedTemplate kTemplates[] = {
    {"location", &Location},
    {"device", &Device},
    {"interface", &Interface},
    {"input", &Input},
    {"room", &Room},
    {"itc", &ITC},
    {"hcc", &HCC},
    {"dhw", &DHW},
    {"dhw tank", &DHWTank},
    {"thermohead", &OutputObject::Thermohead},
    {"relay", &OutputObject::Relay},
    {"analog", &OutputObject::Analog},
    {"servo", &OutputObject::Servo},
};

std::string format(const Factories::AbstractFormatterFactory& factory, int value) {
    std::unique_ptr<Formatter> f(factory.create());
    return f->format(value);
}

std::string formatUnsigned(const Factories::AbstractFormatterFactory& factory, unsigned value) {
    std::unique_ptr<Formatter> f(factory.create());
    return f->format(value);
}

} // namespace

TEST(Catalogue, EveryTemplateIsConsistentInItself) {
    for (const NamedTemplate& t : kTemplates) {
        SCOPED_TRACE(t.what);
        std::set<u16> vids;
        ASSERT_GT(t.objectTemplate->size(), 0u);
        EXPECT_EQ(VID_NAME, (*t.objectTemplate->begin())->vid()) << "every object starts with its name";
        for (const Value* v : *t.objectTemplate) {
            const D::VidBase& d = *v->descriptor();
            SCOPED_TRACE(testing::Message() << "vid " << std::hex << d.vid);
            EXPECT_TRUE(vids.insert(d.vid).second) << "duplicate value id";
            ASSERT_NE(nullptr, d.name);
            EXPECT_GT(std::strlen(d.name), 0u);
            EXPECT_EQ(v, t.objectTemplate->findValue(d.vid, d.vtype));
            if (d.kind == D::KIND_DATA) {
                EXPECT_TRUE(BT_VTYPE_IS_BYTES(d.vtype));
                EXPECT_FALSE(v->isUserEditable() && d.vid != VID_NAME) << "only the name is edited as text";
                continue;
            }
            ASSERT_EQ(D::KIND_NUMBER, d.kind);
            const auto& n = static_cast<const D::VidNumber&>(d);
            if (d.readOnly) {
                EXPECT_FALSE(v->isUserEditable()) << "measured values are not edited";
            }
            if (n.isSigned) {
                ASSERT_TRUE(BT_VTYPE_IS_D(d.vtype));
                const auto& s = static_cast<const D::VidSignedNumber&>(d);
                EXPECT_LE(s.minimum, s.maximum);
                EXPECT_GT(s.step, 0);
                ASSERT_NE(nullptr, s.formatter);
                for (const Factories::AbstractNumberFactory* limit : {s.minimumFactory, s.maximumFactory}) {
                    ASSERT_NE(nullptr, limit);
                    if (const auto* follow = dynamic_cast<const Factories::ProxyNumberFactory*>(limit)) {
                        const Value* target = t.objectTemplate->findValue(follow->vid(), d.vtype);
                        EXPECT_NE(nullptr, target)
                            << "limit follows vid " << follow->vid() << " of the same object";
                    }
                }
                continue;
            }
            ASSERT_TRUE(BT_VTYPE_IS_U(d.vtype));
            const auto& u = static_cast<const D::VidUnsignedNumber&>(d);
            EXPECT_LE(u.minimum, u.maximum);
            if (n.role == D::NumberRole::Enumeration) {
                const auto& e = static_cast<const D::VidEnum&>(d);
                ASSERT_GT(e.optionCount, 0);
                std::set<u32> values;
                for (u8 i = 0; i < e.optionCount; ++i) {
                    EXPECT_TRUE(values.insert(e.options[i].value).second) << "duplicate option";
                    EXPECT_GT(std::strlen(e.options[i].text), 0u);
                }
            } else if (n.role == D::NumberRole::Alarm) {
                const auto& a = static_cast<const D::VidAlarm&>(d);
                EXPECT_GT(a.rowCount, 0);
                EXPECT_EQ(0x4000, d.vid & 0xC000) << "alarms are 0x40xx values";
                EXPECT_TRUE(a.severity == 0 || a.severity == 1);
            } else {
                ASSERT_NE(nullptr, n.formatter);
            }
        }
    }
}

TEST(Catalogue, TheDatabaseMapsEveryObjectKind) {
    const struct {
        u8 type;
        u8 subtype;
        const ObjectTemplate* expected;
    } cases[] = {
        {1, 0, &Location},
        {2, 0, &Device},
        {3, 0, &Interface},
        {4, 0, &Input},
        {6, 0, &Room},
        {7, 0, &ITC},
        {8, 0, &DHW},
        {9, 0, &HCC},
        {11, 0, &DHWTank},
        {5, 0, &OutputObject::Thermohead},
        {5, 6, &OutputObject::Thermohead},
        {5, 1, &OutputObject::Relay},
        {5, 4, &OutputObject::Relay},
        {5, 7, &OutputObject::Relay},
        {5, 10, &OutputObject::Relay},
        {5, 2, &OutputObject::Analog},
        {5, 8, &OutputObject::Analog},
        {5, 5, &OutputObject::Servo},
        {5, 11, &OutputObject::Servo},
        {5, 3, nullptr},
        {5, 12, nullptr},
        {10, 0, nullptr},
        {0, 0, nullptr},
        {255, 255, nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, Database::findObjectTemplate(bt_obj_info{c.type, c.subtype, 0, 0}))
            << int{c.type} << "/" << int{c.subtype};
    }
}

TEST(Catalogue, ValuesTheScreensBindHaveTheirNamesTypesAndOptions) {
    const Value* v = Room.findValue(0x8014, BT_VTYPE_U8);
    ASSERT_NE(nullptr, v);
    const auto& floorSensor = static_cast<const D::VidEnum&>(*v->descriptor());
    EXPECT_STREQ("Floor sensor mode", floorSensor.name);
    ASSERT_EQ(3, floorSensor.optionCount);
    EXPECT_EQ(3u, floorSensor.options[0].value);
    EXPECT_STREQ("On", floorSensor.options[0].text);
    EXPECT_EQ(1u, floorSensor.options[1].value);
    EXPECT_EQ(0u, floorSensor.options[2].value);
    EXPECT_STREQ("Regulate", floorSensor.options[2].text);

    EXPECT_STREQ("Air temperature", Room.findValue(0x000C, 18)->descriptor()->name);
    EXPECT_STREQ("Output value", OutputObject::Relay.findValue(0x004C, 18)->descriptor()->name);
    EXPECT_STREQ("Voltage", OutputObject::Analog.findValue(0x004C, 18)->descriptor()->name);
    EXPECT_STREQ("Alarm high temperature", HCC.findValue(0x401F, 12)->descriptor()->name);
    EXPECT_STREQ("Set temperature", DHW.findValue(0x8094, 18)->descriptor()->name);
    EXPECT_EQ(nullptr, DHW.findValue(0xF017, BT_VTYPE_DATA)) << "raw value without a descriptor";

    int excluded = 0;
    for (const Value* value : Device) {
        if (value->descriptor()->vid >= 0x4000 && value->descriptor()->vid < 0x8000) {
            const auto& a = static_cast<const D::VidAlarm&>(*value->descriptor());
            EXPECT_EQ(0, a.severity);
            excluded += a.excluded;
        }
    }
    EXPECT_EQ(3, excluded) << "the three peripheral warnings stay out of the alarm list";
    EXPECT_EQ(1, static_cast<const D::VidAlarm&>(*ITC.findValue(0x400E, 12)->descriptor()).severity);
}

// The names, types and shown formats of the catalogue, value by value, as the screens bind them.
TEST(Catalogue, EveryScreenValueHasItsNameTypeAndFormat) {
    const struct {
        const ObjectTemplate& objectTemplate;
        u16 vid;
        bt_vtype vtype;
        const char* name;
        int sample;
        const char* shown; // null: not a number
    } cases[] = {
        {Location, 0x8090, 15, "Name", 0, nullptr},
        {Location, 0x0036, 18, "Outdoor temperature", -250, "-2.5\u00B0"},
        {Location, 0x0028, 18, "Filtered outdoor temperature", 1049, "10.5\u00B0"},
        {Location, 0x8075, 12, "Daylight savings", 1, "1"},
        {Location, 0x803D, 12, "System mode", 1, "Summer"},
        {Location, 0x80EF, 14, "Outdoor temp. sensor source", 790, "790"},
        {Location, 0x80FB, 18, "Deadband", 150, "1.5\u00B0"},
        {Location, 0x80FC, 14, "Switch cooldown", 5400, "01:30"},
        {Device, 0x8090, 15, "Name", 0, nullptr},
        {Device, 0x002F, 12, "Device state", 2, "On-line"},
        {Device, 0x000C, 18, "Air temperature", 2150, "21.5\u00B0"},
        {Device, 0x000D, 18, "Floor temperature", 2349, "23.5\u00B0"},
        {Device, 0x0036, 18, "Outdoor temperature", 450, "4.5\u00B0"},
        {Device, 0x0002, 18, "Humidity", 4550, "46 %"},
        {Device, 0x002C, 12, "Battery level", 85, "85 %"},
        {Device, 0x4001, 14, "Warning Periphery Unreachable", 1, "1"},
        {Device, 0x4002, 14, "Warning Periphery Low Battery", 1, "1"},
        {Device, 0x4003, 14, "Warning General Problem", 1, "1"},
        {Room, 0x0002, 18, "Humidity", 5000, "50 %"},
        {Room, 0x000C, 18, "Air temperature", 2150, "21.5\u00B0"},
        {Room, 0x000D, 18, "Floor temperature", 2400, "24.0\u00B0"},
        {Room, 0x004B, 18, "Dew point", 1050, "10.5\u00B0"},
        {Room, 0x001B, 12, "State", 2, "2"},
        {Room, 0x001C, 12, "Blocking", 0, "0"},
        {Room, 0x001D, 18, "Temperature desired", 2200, "22.0\u00B0"},
        {Room, 0x001E, 12, "State", 3, "Drying"},
        {Room, 0x8004, 12, "Mode", 4, "Extra comfort"},
        {Room, 0x8005, 12, "Mode override", 1, "Temporary"},
        {Room, 0x8006, 14, "Mode override end-time", 0, "0"},
        {Room, 0x8008, 12, "Thermostat lock", 32, "Off"},
        {Room, 0x8010, 18, "Low temperature", 500, "5.0\u00B0"},
        {Room, 0x8011, 18, "High temperature", 3500, "35.0\u00B0"},
        {Room, 0x8014, 12, "Floor sensor mode", 0, "Regulate"},
        {Room, 0x8016, 12, "Adaptive mode", 1, "1"},
        {Room, 0x8018, 18, "Lowest temperature", 1000, "10.0\u00B0"},
        {Room, 0x8019, 18, "Highest temperature", 3000, "30.0\u00B0"},
        {Room, 0x801B, 18, "Eco temperature", 1950, "19.5\u00B0"},
        {Room, 0x801C, 18, "Comfort temperature", 2150, "21.5\u00B0"},
        {Room, 0x801D, 18, "Extra comfort temperature", 2300, "23.0\u00B0"},
        {Room, 0x801F, 18, "Vacation mode temperature", 1500, "15.0\u00B0"},
        {Room, 0x8021, 18, "Standby temperature", 1000, "10.0\u00B0"},
        {Room, 0x8022, 18, "Hysteresis regulation", 50, "0.5\u00B0"},
        {Room, 0x8078, 18, "Floor hysteresis regulation", 100, "1.0\u00B0"},
        {Room, 0x8023, 18, "Eco minimum temperature", 1800, "18.0\u00B0"},
        {Room, 0x8079, 18, "Eco maximum temperature", 2800, "28.0\u00B0"},
        {Room, 0x8024, 18, "Comfort minimum temperature", 1900, "19.0\u00B0"},
        {Room, 0x8080, 18, "Comfort maximum temperature", 2900, "29.0\u00B0"},
        {Room, 0x8025, 18, "Extra comfort minimum temperature", 2000, "20.0\u00B0"},
        {Room, 0x8081, 18, "Extra comfort maximum temperature", 3000, "30.0\u00B0"},
        {Room, 0x802B, 18, "Lowest temperature", 1800, "18.0\u00B0"},
        {Room, 0x802C, 18, "Highest temperature", 3200, "32.0\u00B0"},
        {Room, 0x802E, 18, "Eco temperature", 2600, "26.0\u00B0"},
        {Room, 0x802F, 18, "Comfort temperature", 2450, "24.5\u00B0"},
        {Room, 0x8030, 18, "Extra comfort temperature", 2300, "23.0\u00B0"},
        {Room, 0x8032, 18, "Vacation mode temperature", 2800, "28.0\u00B0"},
        {Room, 0x8034, 18, "Hysteresis regulation", 50, "0.5\u00B0"},
        {Room, 0x8082, 18, "Standby temperature", 1800, "18.0\u00B0"},
        {Room, 0x803A, 18, "Highest humidity", 6000, "60 %"},
        {Room, 0x803B, 18, "Humidity hysteresis", 300, "3 %"},
        {Room, 0x8083, 12, "Enabled", 0, "0"},
        {Room, 0x80F3, 18, "Low floor temperature", 1500, "15.0\u00B0"},
        {Room, 0x80F4, 18, "High floor temperature", 2900, "29.0\u00B0"},
        {ITC, 0x003E, 18, "Actual inlet temperature", 3550, "35.5\u00B0"},
        {ITC, 0x003F, 18, "Actual return temperature", 3000, "30.0\u00B0"},
        {ITC, 0x003B, 18, "Desired inlet water temperature", 3550, "36\u00B0"},
        {ITC, 0x003D, 17, "Curve", 12, "1.2"},
        {ITC, 0x0029, 18, "Desired room temperature", 2150, "21.5\u00B0"},
        {ITC, 0x0039, 12, "Source demand", 2, "Cooling"},
        {ITC, 0x400E, 12, "Alarm high temperature", 1, "1"},
        {ITC, 0x80C8, 12, "Heat curve type", 3, "Radiators"},
        {ITC, 0x80C9, 17, "Heat curve", 14, "1.4"},
        {ITC, 0x80C5, 18, "Dim. inlet temperature", 4500, "45\u00B0"},
        {ITC, 0x80C7, 18, "Dim. outdoor temperature", -1500, "-15\u00B0"},
        {ITC, 0x80C6, 18, "Dim. indoor temperature", 2000, "20\u00B0"},
        {ITC, 0x8066, 18, "Parallel displacement", -300, "-3\u00B0"},
        {ITC, 0x8063, 18, "Min. inlet temperature", 2500, "25\u00B0"},
        {ITC, 0x8064, 18, "Max. inlet temperature", 5500, "55\u00B0"},
        {ITC, 0x80C4, 17, "Gain", -5, "-0.5"},
        {ITC, 0x80CA, 12, "Return temperature limiter", 1, "Minimum"},
        {ITC, 0x80CB, 18, "Max. return temperature", 5000, "50\u00B0"},
        {ITC, 0x80CC, 18, "Min. return temperature", 2000, "20\u00B0"},
        {ITC, 0x80CD, 17, "Gain max. return temperature", -10, "-1.0"},
        {ITC, 0x80CE, 17, "Gain min. return temperature", 10, "1.0"},
        {ITC, 0x80DB, 12, "Priority over inlet temperature", 1, "1"},
        {ITC, 0x80CF, 12, "Boost", 1, "1"},
        {ITC, 0x80D0, 12, "Boost percent", 20, "20 %"},
        {ITC, 0x80D1, 12, "Ramping", 0, "0"},
        {ITC, 0x80D2, 12, "Ramping time", 60, "60 s"},
        {ITC, 0x80D6, 18, "Frost protection temperature", 500, "5\u00B0"},
        {ITC, 0x80C3, 18, "Outside exceeds", 2000, "20\u00B0"},
        {ITC, 0x8059, 18, "Inlet exceeded by", 500, "5\u00B0"},
        {ITC, 0x80D7, 17, "P-value", 25, "2.5"},
        {ITC, 0x80D8, 13, "I-value", 30, "30 s"},
        {ITC, 0x80D9, 18, "Hysteresis", 150, "1.5\u00B0"},
        {ITC, 0x80B8, 16, "Consumers", 0, nullptr},
        {HCC, 0x0065, 12, "Status", 1, "1"},
        {HCC, 0x003E, 18, "Actual inlet temperature", 3000, "30.0\u00B0"},
        {HCC, 0x003A, 18, "Desired inlet water temperature", 3050, "30.5\u00B0"},
        {HCC, 0x0056, 17, "Curve", 8, "0.8"},
        {HCC, 0x0053, 12, "Source demand", 1, "Heating"},
        {HCC, 0x0054, 18, "Desired room temperature", 2100, "21.0\u00B0"},
        {HCC, 0x401F, 12, "Alarm high temperature", 0, "0"},
        {HCC, 0x8104, 12, "Heat curve type", 2, "Underfloor"},
        {HCC, 0x8105, 17, "Heat curve", 10, "1.0"},
        {HCC, 0x8107, 18, "Dim. inlet temperature", 3500, "35\u00B0"},
        {HCC, 0x8109, 18, "Dim. outdoor temperature", -1200, "-12\u00B0"},
        {HCC, 0x8108, 18, "Dim. indoor temperature", 2000, "20\u00B0"},
        {HCC, 0x8106, 18, "Parallel displacement", 0, "0\u00B0"},
        {HCC, 0x8102, 18, "Min. inlet temperature", 2000, "20\u00B0"},
        {HCC, 0x8103, 18, "Max. inlet temperature", 4500, "45\u00B0"},
        {HCC, 0x810A, 17, "Gain if no room thermostat", 5, "0.5"},
        {HCC, 0x810B, 18, "Outside exceeds", 2000, "20\u00B0"},
        {HCC, 0x80F9, 12, "High temperature cut-off", 1, "1"},
        {HCC, 0x80F6, 18, "Inlet exceeds", 5500, "55\u00B0"},
        {HCC, 0x8101, 18, "Inlet exceeded by", 500, "5\u00B0"},
        {DHW, 0x0031, 18, "Temperature desired", 5050, "50.5\u00B0"},
        {DHW, 0x8092, 18, "Lowest temperature", 4000, "40\u00B0"},
        {DHW, 0x8093, 18, "Highest temperature", 6500, "65\u00B0"},
        {DHW, 0x8094, 18, "Set temperature", 5000, "50\u00B0"},
        {DHWTank, 0x0060, 12, "Status", 1, "1"},
        {DHWTank, 0x0061, 18, "Tank temperature", 4850, "49\u00B0"},
        {DHWTank, 0x0062, 18, "Set temperature", 5000, "50\u00B0"},
        {DHWTank, 0x8114, 18, "Eco temperature", 4500, "45\u00B0"},
        {DHWTank, 0x8115, 18, "Comfort temperature", 5500, "55\u00B0"},
        {DHWTank, 0x8117, 18, "Vacation temperature", 2000, "20\u00B0"},
        {DHWTank, 0x8116, 18, "Standby temperature", 1000, "10\u00B0"},
        {DHWTank, 0x8118, 18, "Cleaning temperature", 7000, "70\u00B0"},
        {DHWTank, 0x811D, 18, "Minimum temperature", 500, "5\u00B0"},
        {DHWTank, 0x811E, 18, "Maximum temperature", 8500, "85\u00B0"},
        {DHWTank, 0x811B, 13, "Hold cleaning temperature for", 30, "30 m"},
        {DHWTank, 0x811C, 13, "Stop after", 24, "24 h"},
        {OutputObject::Thermohead, 0x004C, 18, "Output value", 10000, "100 %"},
        {OutputObject::Relay, 0x80E7, 12, "Function", 1, "Manual control"},
        {OutputObject::Relay, 0x004C, 18, "Output value", 0, "0 %"},
        {OutputObject::Relay, 0x80A1, 18, "Source min value", 2000, "20.0\u00B0"},
        {OutputObject::Relay, 0x80A2, 18, "Source max value", 6000, "60.0\u00B0"},
        {OutputObject::Relay, 0x80A0, 16, "Output value source", 0, nullptr},
        {OutputObject::Analog, 0x004C, 18, "Voltage", 1050, "10.5 V"},
        {OutputObject::Analog, 0x80E7, 12, "Function", 0, "Off"},
        {OutputObject::Analog, 0x80A3, 18, "Temperature threshold", 2500, "25\u00B0"},
        {OutputObject::Analog, 0x80A1, 18, "Temperature", 2000, "20\u00B0"},
        {OutputObject::Analog, 0x80A2, 18, "Temperature", 8000, "80\u00B0"},
        {OutputObject::Analog, 0x80F8, 18, "Voltage", 200, "2.0 V"},
        {OutputObject::Analog, 0x80F7, 18, "Voltage", 1000, "10.0 V"},
        {OutputObject::Analog, 0x810F, 18, "Voltage", 500, "5.0 V"},
        {OutputObject::Analog, 0x80A7, 13, "Delay start", 5, "5 m"},
        {OutputObject::Analog, 0x80A8, 13, "Delay stop", 2, "2 m"},
        {OutputObject::Analog, 0x80A5, 12, "Service mode", 1, "1"},
        {OutputObject::Analog, 0x80A6, 18, "Service value", 5000, "5000"},
        {OutputObject::Servo, 0x004C, 18, "Output value", 5000, "50 %"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.objectTemplate.name() << " " << std::hex << c.vid);
        const Value* value = c.objectTemplate.findValue(c.vid, c.vtype);
        ASSERT_NE(nullptr, value);
        const D::VidBase& d = *value->descriptor();
        EXPECT_STREQ(c.name, d.name);
        if (c.shown == nullptr) {
            EXPECT_EQ(D::KIND_DATA, d.kind);
            continue;
        }
        ASSERT_EQ(D::KIND_NUMBER, d.kind);
        const auto& number = static_cast<const D::VidNumber&>(d);
        std::unique_ptr<Formatter> formatter(createFormatter(number));
        EXPECT_EQ(c.shown, number.isSigned ? formatter->format(c.sample)
                                           : formatter->format(static_cast<unsigned>(c.sample)));
    }
}

TEST(Catalogue, AValueAskedForWithAnotherTypeIsNotFoundInsteadOfStoppingTheProgram) {
    gTrace.clear();
    dbg_set_output(capture);
    EXPECT_NE(nullptr, ITC.findValue(0x400E, BT_VTYPE_U8));
    EXPECT_EQ(nullptr, ITC.findValue(0x400E, BT_VTYPE_U16));
    EXPECT_EQ(nullptr, ITC.findValue(0x1234, BT_VTYPE_U8));
    dbg_set_output(nullptr);
    EXPECT_NE(std::string::npos, gTrace.find("400E"));
}

TEST(Catalogue, TypedValuesGiveTypedHandles) {
    const SignedOvi air = SignedValue(I::General::AirTemperature).ovi(0x06010410);
    EXPECT_EQ(Ovi(0x06010410, 0x000C), air);
    EXPECT_EQ(BT_VTYPE_S16_X100, air.vtype);
    EXPECT_STREQ("Air temperature", air.descriptor->name);

    const EnumOvi lock = EnumValue(I::Room::ThermAccessLevel, true).ovi(1);
    EXPECT_STREQ("Hotel mode", lock.descriptor->optionText(16));
    const DataOvi name = DataValue(I::General::ObjectName).ovi(2);
    EXPECT_EQ(BT_VTYPE_TEXT, name.vtype);
    const AlarmOvi alarm = AlarmValue(I::ITC::AlarmHighTemperature).ovi(3);
    EXPECT_EQ(0x400E, alarm.vid);
    const UnsignedOvi standby = UnsignedValue(I::Location::Standby).ovi(OID_LOCATION);
    EXPECT_EQ(D::NumberRole::Toggle, standby.descriptor->role);
}

TEST(CatalogueDeathTest, HandlesOfTheWrongTypeStopTheProgram) {
    EXPECT_DEATH(SignedOvi(1, 2, BT_VTYPE_U8, nullptr), "BT_VTYPE_IS_D\\(vtype\\)");
    EXPECT_DEATH(UnsignedOvi(1, 2, BT_VTYPE_S16_X100, nullptr), "BT_VTYPE_IS_U\\(vtype\\)");
    EXPECT_DEATH(EnumOvi(1, 2, BT_VTYPE_TEXT, nullptr), "BT_VTYPE_IS_U\\(vtype\\)");
    EXPECT_DEATH(DataOvi(1, 2, BT_VTYPE_U32, nullptr),
                 "vtype == BT_VTYPE_DATA \\|\\| vtype == BT_VTYPE_TEXT");
}

TEST(Formatters, FixedPointRoundsHalfAwayFromZero) {
    namespace F = Factories::Formatters;
    const struct {
        const Factories::AbstractFormatterFactory& factory;
        int value;
        const char* expected;
    } cases[] = {
        {F::Temperature, 2150, "21.5\u00B0"},
        {F::Temperature, -50, "-0.5\u00B0"},
        {F::Temperature, 2155, "21.6\u00B0"},
        {F::Temperature, 2145, "21.5\u00B0"},
        {F::Temperature, -2155, "-21.6\u00B0"},
        {F::Temperature, -4, "0.0\u00B0"},
        {F::Temperature, 0, "0.0\u00B0"},
        {F::Temperature, 5, "0.1\u00B0"},
        {F::TemperatureNoDecimal, 4550, "46\u00B0"},
        {F::TemperatureNoDecimal, -4550, "-46\u00B0"},
        {F::TemperatureNoDecimal, 4549, "45\u00B0"},
        {F::FixedPoint, 8500, "85"},
        {F::Percent, 4550, "46 %"},
        {F::Tenths, 15, "1.5"},
        {F::Tenths, -99, "-9.9"},
        {F::Volts, 1000, "10.0 V"},
        {F::Numeric, -12, "-12"},
        {F::RawPercent, 80, "80 %"},
        {F::Minutes, 10, "10 m"},
        {F::Hours, 48, "48 h"},
        {F::Seconds, 120, "120 s"},
        {F::Temperature, 32767, "327.7\u00B0"},
        {F::Temperature, -2147483647 - 1, "-21474836.5\u00B0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, format(c.factory, c.value)) << c.value;
    }
    EXPECT_EQ("42949673.0\u00B0", formatUnsigned(F::Temperature, 4294967295u));
    EXPECT_EQ("4294967295", formatUnsigned(F::Numeric, 4294967295u));
}

TEST(Formatters, TimesShowHoursAndMinutesOfTheDay) {
    namespace F = Factories::Formatters;
    EXPECT_EQ("07:30", format(F::Time, 27000));
    EXPECT_EQ("03:00", format(F::Time, 10800));
    EXPECT_EQ("00:00", format(F::Time, 0));
    EXPECT_EQ("23:59", format(F::Time, 86399));
    EXPECT_EQ("00:00", format(F::Time, -5)) << "negative durations do not wrap";
    EXPECT_STREQ("H:i", F::Time.pattern());
}

TEST(Formatters, EnumerationsShowTheirOptionTexts) {
    std::unique_ptr<Formatter> lock(createFormatter(I::Room::ThermAccessLevel));
    EXPECT_EQ("Hotel mode", lock->format(16u));
    EXPECT_EQ("On", lock->format(8));
    EXPECT_EQ("7", lock->format(7u)) << "a value without an option shows its number";
    std::unique_ptr<Formatter> temp(createFormatter(I::General::AirTemperature));
    EXPECT_EQ("21.5\u00B0", temp->format(2150));
}

namespace {
const char* translate(const char* context, const char* msgid) {
    if (context != nullptr && std::strcmp(context, "minutes") == 0 && std::strcmp(msgid, " m") == 0) {
        return " min";
    }
    if (context == nullptr && std::strcmp(msgid, "Hotel mode") == 0) {
        return "Hotelmodus";
    }
    return nullptr;
}
} // namespace

TEST(Formatters, UnitsAndOptionTextsAreTranslated) {
    i18n_set_provider(translate);
    EXPECT_EQ("10 min", format(Factories::Formatters::Minutes, 10));
    EXPECT_EQ("10 s", format(Factories::Formatters::Seconds, 10));
    std::unique_ptr<Formatter> lock(createFormatter(I::Room::ThermAccessLevel));
    EXPECT_EQ("Hotelmodus", lock->format(16u));
    i18n_set_provider(nullptr);
}

class Numbers : public ::testing::Test {
protected:
    void SetUp() override {
        proxytab_init();
        Structure.clear();
    }
    void TearDown() override { Structure.clear(); }
    static constexpr u32 kRoom = 0x06010410;
};

TEST_F(Numbers, AProxyNumberOfAMissingObjectReadsTheNoValueMarkerAndWritesNothing) {
    ProxyNumber<int> eco(0x801B, kRoom, BT_VTYPE_S16_X100);
    pt_set_int(kRoom, 0x801B, 2100, BT_VTYPE_S16_X100);
    EXPECT_EQ(0x7FFF, eco.getValue()) << "the tree has no such object";
    EXPECT_FALSE(eco.isValid());
    eco.setValue(1900);
    int out = 0;
    pt_get_int(&out, kRoom, 0x801B);
    EXPECT_EQ(2100, out);

    ProxyNumber<unsigned> lock(0x8008, kRoom, BT_VTYPE_U8);
    EXPECT_EQ(0xFFu, lock.getValue());
}

TEST_F(Numbers, AProxyNumberFollowsItsValueAndWritesThroughTheTable) {
    Structure.append(new ProxyObject(kRoom, ObjectInfo(BT_OBJ_ROOM, 0), &Room));
    ProxyNumber<int> eco(0x801B, kRoom, BT_VTYPE_S16_X100);
    EXPECT_FALSE(eco.isValid()) << "no entry yet";
    EXPECT_EQ(0x7FFF, eco.getValue());
    pt_set_int(kRoom, 0x801B, 2100, BT_VTYPE_S16_X100);
    EXPECT_TRUE(eco.isValid());
    EXPECT_EQ(2100, eco.getValue());
    eco.setValue(1950);
    int out = 0;
    EXPECT_EQ(0, pt_get_int(&out, kRoom, 0x801B));
    EXPECT_EQ(1950, out);
    pt_value v{};
    ASSERT_TRUE(Structure.takePublish(&v));
    EXPECT_EQ(1950, v.value);
}

TEST_F(Numbers, LimitFactoriesMakeStaticOrFollowingNumbers) {
    Structure.append(new ProxyObject(kRoom, ObjectInfo(BT_OBJ_ROOM, 0), &Room));
    pt_set_int(kRoom, 0x8018, 1000, BT_VTYPE_S16_X100);
    pt_set_int(kRoom, 0x8019, 2800, BT_VTYPE_S16_X100);
    const auto& eco = I::Room::TempCtrlHeatTempSetEco;
    std::unique_ptr<Number<int>> low(eco.minimumFactory->create(kRoom, eco));
    std::unique_ptr<Number<int>> high(eco.maximumFactory->create(kRoom, eco));
    EXPECT_EQ(1000, low->getValue());
    EXPECT_EQ(2800, high->getValue());
    pt_set_int(kRoom, 0x8019, 3000, BT_VTYPE_S16_X100);
    EXPECT_EQ(3000, high->getValue()) << "the limit follows the other value";

    const auto& hysteresis = I::Room::TempCtrlHeatTempHysteresis;
    std::unique_ptr<Number<int>> min(hysteresis.minimumFactory->create(kRoom, hysteresis));
    std::unique_ptr<Number<int>> max(hysteresis.maximumFactory->create(kRoom, hysteresis));
    EXPECT_EQ(10, min->getValue());
    EXPECT_EQ(300, max->getValue());
    EXPECT_TRUE(max->isValid());

    StaticNumber<unsigned> n(5);
    n.setValue(7);
    EXPECT_EQ(7u, n.getValue());
}
