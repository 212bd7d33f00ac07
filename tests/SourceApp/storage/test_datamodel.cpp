#include "SourceApp/storage/values/Catalogue.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/ProxyStructure.h"
#include "tests/support/trace_capture.h"

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
            EXPECT_EQ(v, t.objectTemplate->findValue(d.vid));
            if (d.kind == D::KIND_DATA) {
                EXPECT_TRUE(BT_VTYPE_IS_BYTES(d.vtype));
                EXPECT_EQ(ValueKind::Data, v->kind());
                EXPECT_FALSE(v->isUserEditable() && d.vid != VID_NAME) << "only the name is edited as text";
                continue;
            }
            ASSERT_EQ(D::KIND_NUMBER, d.kind);
            const auto& n = static_cast<const D::VidNumber&>(d);
            ASSERT_NE(nullptr, n.formatter) << "every number can be shown";
            if (n.isSigned) {
                ASSERT_TRUE(BT_VTYPE_IS_D(d.vtype));
                EXPECT_EQ(ValueKind::Signed, v->kind());
                const auto& s = static_cast<const D::VidSignedNumber&>(d);
                EXPECT_LE(s.minimum, s.maximum);
                EXPECT_GT(s.step, 0);
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
            // The kind that find<T>() trusts agrees with what the descriptor says it is.
            EXPECT_EQ(n.role == D::NumberRole::Enumeration ? ValueKind::Enum
                      : n.role == D::NumberRole::Alarm     ? ValueKind::Alarm
                                                           : ValueKind::Unsigned,
                      v->kind());
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

TEST(Catalogue, AValueAskedForWithAnotherTypeIsNotFoundInsteadOfStoppingTheProgram) {
    test::TraceCapture trace;
    EXPECT_NE(nullptr, ITC.findValue(0x400E, BT_VTYPE_U8));
    EXPECT_EQ(nullptr, ITC.findValue(0x400E, BT_VTYPE_U16));
    EXPECT_EQ(nullptr, ITC.findValue(0x1234, BT_VTYPE_U8));
    EXPECT_TRUE(trace.contains("400E"));
}

TEST(Catalogue, TemplatesHandBackTheirValuesTyped) {
    const SignedOvi air = Room.find<SignedValue>(0x000C)->ovi(0x06010410);
    EXPECT_EQ(Ovi(0x06010410, 0x000C), air);
    EXPECT_EQ(BT_VTYPE_S16_X100, air.vtype);
    EXPECT_STREQ("Air temperature", air.descriptor->name);

    const EnumOvi lock = Room.find<EnumValue>(0x8008)->ovi(1);
    EXPECT_STREQ("Hotel mode", lock.descriptor->optionText(16));
    EXPECT_EQ(BT_VTYPE_TEXT, Room.find<DataValue>(VID_NAME)->ovi(2).vtype);
    EXPECT_EQ(D::NumberRole::Toggle,
              Location.find<UnsignedValue>(0x8087)->ovi(OID_LOCATION).descriptor->role);

    // An alarm is an unsigned value: whatever shows one takes the other.
    const AlarmOvi alarm = ITC.find<AlarmValue>(0x400E)->ovi(3);
    const UnsignedOvi& shown = alarm;
    EXPECT_EQ(0x400E, shown.vid);
    EXPECT_EQ(D::NumberRole::Alarm, shown.descriptor->role);
    EXPECT_STREQ("Alarm high temperature", alarm.alarmDescriptor()->rows[0].text);
    EXPECT_EQ(ITC.findValue(0x400E), ITC.find<UnsignedValue>(0x400E));

    // Asked for as another kind, or not there: nothing.
    EXPECT_EQ(nullptr, Room.find<SignedValue>(0x8008));
    EXPECT_EQ(nullptr, Room.find<EnumValue>(0x000C));
    EXPECT_EQ(nullptr, ITC.find<EnumValue>(0x400E));
    EXPECT_EQ(nullptr, Room.find<DataValue>(0x1234));
    // By id alone, for a change that names no type.
    EXPECT_EQ(BT_VTYPE_TEXT, Room.findValue(VID_NAME)->vtype());
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
        {F::Time, 27000, "07:30"},
        {F::Time, 86399, "23:59"},
        {F::Time, -5, "00:00"}, // negative durations do not wrap
        {F::Temperature, 32767, "327.7\u00B0"},
        {F::Temperature, -2147483647 - 1, "-21474836.5\u00B0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, format(c.factory, c.value)) << c.value;
    }
    EXPECT_EQ("42949673.0\u00B0", formatUnsigned(F::Temperature, 4294967295u));
    EXPECT_EQ("4294967295", formatUnsigned(F::Numeric, 4294967295u));
    EXPECT_STREQ("H:i", F::Time.pattern());
}

// Every enumeration carries its own formatter factory, which a table logger takes without knowing the kind.
TEST(Formatters, EnumerationsShowTheirOwnOptionTexts) {
    const struct {
        const ObjectTemplate& objectTemplate;
        u16 vid;
        unsigned value;
        const char* shown;
    } cases[] = {
        {Room, 0x8008, 16, "Hotel mode"},
        {Room, 0x8008, 7, "7"},
        {Room, 0x8004, 3, "Comfort"},
        {Device, 0x002F, 2, "On-line"},
        {OutputObject::Relay, 0x80E7, 1, "Manual control"},
        {OutputObject::Relay, 0x80E7, 8, "8"},
        {OutputObject::Analog, 0x80E7, 7, "Fixed voltages"},
        {OutputObject::Analog, 0x80E7, 8, "By temperature"},
    };
    for (const auto& c : cases) {
        const auto& number =
            static_cast<const D::VidNumber&>(*c.objectTemplate.findValue(c.vid)->descriptor());
        ASSERT_NE(nullptr, number.formatter);
        std::unique_ptr<Formatter> formatter(number.formatter->create());
        EXPECT_EQ(c.shown, formatter->format(c.value)) << c.objectTemplate.name() << " " << c.value;
        EXPECT_EQ(c.shown, formatter->format(static_cast<int>(c.value)));
    }
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
}
