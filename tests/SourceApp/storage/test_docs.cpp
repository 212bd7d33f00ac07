// docs/data-model.md lists the object types and values exactly as the catalogue defines them. The document is
// rendered here from the tables and compared with the file; run with TDX_UPDATE_DOCS=1 to rewrite it.
#include "SourceApp/storage/values/Catalogue.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

using namespace tdx;
using namespace tdx::DataModel;
namespace D = tdx::DataModel::Descriptor;

namespace {

std::string hex4(unsigned v) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "0x%04X", v);
    return buffer;
}

const char* roleName(const D::VidBase& d) {
    if (d.kind == D::KIND_DATA) {
        switch (static_cast<const D::VidData&>(d).role) {
            case D::DataRole::List:
                return "list";
            case D::DataRole::String:
                return "text";
            case D::DataRole::Schedule:
                return "schedule";
        }
        return "data";
    }
    switch (static_cast<const D::VidNumber&>(d).role) {
        case D::NumberRole::Plain:
            return "number";
        case D::NumberRole::ObjectReference:
            return "object id";
        case D::NumberRole::Duration:
            return "duration";
        case D::NumberRole::Timestamp:
            return "timestamp";
        case D::NumberRole::Alarm:
            return "alarm";
        case D::NumberRole::Enumeration:
            return "enumeration";
        case D::NumberRole::Toggle:
            return "toggle";
    }
    return "number";
}

std::string limit(const Factories::AbstractNumberFactory* factory, int fallback) {
    if (const auto* follow = dynamic_cast<const Factories::ProxyNumberFactory*>(factory)) {
        return "[" + hex4(follow->vid()) + "]";
    }
    return std::to_string(fallback);
}

std::string details(const D::VidBase& d) {
    if (d.kind == D::KIND_DATA) {
        return "";
    }
    const auto& n = static_cast<const D::VidNumber&>(d);
    if (n.role == D::NumberRole::Enumeration) {
        const auto& e = static_cast<const D::VidEnum&>(d);
        std::string out;
        for (u8 i = 0; i < e.optionCount; ++i) {
            out += (i ? ", " : "") + std::to_string(e.options[i].value) + " \"" + e.options[i].text + "\"";
        }
        return out;
    }
    if (n.role == D::NumberRole::Alarm) {
        const auto& a = static_cast<const D::VidAlarm&>(d);
        std::string out = a.severity ? "alarm" : "warning";
        out += a.excluded ? ", not listed" : "";
        for (u8 i = 0; i < a.rowCount; ++i) {
            out += "; " + std::to_string(a.rows[i].code) + " \"" + a.rows[i].text + "\"";
        }
        return out;
    }
    std::unique_ptr<Formatter> f(createFormatter(n));
    if (n.isSigned) {
        const auto& s = static_cast<const D::VidSignedNumber&>(d);
        if (d.readOnly) {
            return "e.g. " + f->format(2150);
        }
        return limit(s.minimumFactory, s.minimum) + " .. " + limit(s.maximumFactory, s.maximum) + " step " +
               std::to_string(s.step) + ", e.g. " + f->format(s.minimum);
    }
    const auto& u = static_cast<const D::VidUnsignedNumber&>(d);
    if (d.readOnly) {
        return "";
    }
    return std::to_string(u.minimum) + " .. " + std::to_string(u.maximum) + " step " +
           std::to_string(u.step) + ", e.g. " + f->format(u.maximum);
}

std::string render() {
    struct Section {
        const char* title;
        const ObjectTemplate& t;
    };
    const Section sections[] = {
        {"Location (type 1)", Location},
        {"Device (type 2)", Device},
        {"Interface (type 3)", Interface},
        {"Input (type 4)", Input},
        {"Thermohead output (type 5, subtypes 0 and 6)", OutputObject::Thermohead},
        {"Relay output (type 5, subtypes 1, 4, 7 and 10)", OutputObject::Relay},
        {"Analog output (type 5, subtypes 2 and 8)", OutputObject::Analog},
        {"Servo output (type 5, subtypes 5 and 11)", OutputObject::Servo},
        {"Room (type 6)", Room},
        {"Inlet temperature controller (type 7)", ITC},
        {"Hot water (type 8)", DHW},
        {"Heating/cooling circuit (type 9)", HCC},
        {"Hot-water tank (type 11)", DHWTank},
    };
    std::ostringstream out;
    out << "# Data model\n\n"
        << "The object types and their values as the compiled-in catalogue defines them\n"
        << "(`SourceApp/storage/values/Catalogue.h`). This file is generated: the storage tests render it "
           "from\n"
        << "the tables and fail when it differs; `TDX_UPDATE_DOCS=1` makes them rewrite it.\n\n"
        << "Value types: 9 s8, 10 s16, 11 s32, 12 u8, 13 u16, 14 u32, 15 text, 16 data, 17 s16 (tenths), 18 "
           "s16\n"
        << "(hundredths), 19 and 20 u16. Limits in brackets follow that value of the same object. \"ro\" "
           "marks\n"
        << "measured or read-only values, \"edit\" the values the object editor offers, \"ro, status\" the "
           "read-only\n"
        << "values it shows as status lines.\n\n"
        << "Changes: every write goes through the value table, whose change hook queues the (object, value)\n"
        << "pair for the object tree. A pair waiting in a queue is not queued again: two writes of one "
           "value\n"
        << "before `Structure.task()` give every value-change listener one notification, and the publish "
           "queue\n"
        << "one entry, sent with the value current when the network bridge takes it (the last one written).\n"
        << "Values stored from the network reach the listeners the same way and are never published back.\n";
    for (const Section& s : sections) {
        out << "\n## " << s.title << "\n\n"
            << "| vid | type | name | kind | access | limits, options, example |\n"
            << "|---|---|---|---|---|---|\n";
        for (const Value* v : s.t) {
            const D::VidBase& d = *v->descriptor();
            out << "| " << hex4(d.vid) << " | " << int{d.vtype} << " | " << d.name << " | " << roleName(d)
                << " | "
                << (d.readOnly            ? (v->isUserEditable() ? "ro, status" : "ro")
                    : v->isUserEditable() ? "edit"
                                          : "")
                << " | " << details(d) << " |\n";
        }
    }
    return out.str();
}

} // namespace

TEST(Documentation, TheDataModelDocumentMatchesTheCatalogue) {
    const std::string path = TDX_DATA_MODEL_DOC;
    const std::string expected = render();
    if (std::getenv("TDX_UPDATE_DOCS") != nullptr) {
        std::ofstream(path, std::ios::binary) << expected;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in.good()) << path;
    std::ostringstream actual;
    actual << in.rdbuf();
    EXPECT_EQ(expected, actual.str())
        << "docs/data-model.md is out of date: run test_storage with TDX_UPDATE_DOCS=1";
}
