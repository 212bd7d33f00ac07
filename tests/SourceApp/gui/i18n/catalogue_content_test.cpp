#include "SourceApp/application/resources/resource_names.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "SourceApp/gui/i18n/MoFile.h"
#include "SourceApp/gui/i18n/help_parse.h"
#include "SourceApp/storage/Formatters.h"
#include "SourceApp/storage/HwProfile.h"
#include "SourceApp/storage/values/Catalogue.h"
#include "catalogues.h"
#include "tools/pocompile/po_compile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>

namespace tdx {
namespace {

std::vector<PoEntry> parsePo(const std::string& text, const std::string& what) {
    std::vector<PoEntry> entries;
    std::string error;
    EXPECT_EQ(po_parse(text, entries, error), 0) << what << ": " << error;
    return entries;
}

std::string describe(const PoEntry& entry) {
    return entry.hasContext ? "\"" + entry.context + "\" | \"" + entry.id + "\"" : "\"" + entry.id + "\"";
}

// The ids of the sources under root, extracted the way scripts/update-po.sh extracts them.
std::vector<PoEntry> extractedIds(const std::string& root = test::sourceDir()) {
    const test::TempDir folder;
    const std::string pot = folder / "messages.pot";
    std::string output;
    EXPECT_EQ(test::runCommand("bash '" + root + "/scripts/update-po.sh' --extract '" + pot + "'", output), 0)
        << output;
    std::string text;
    {
        std::ifstream in(pot, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    auto entries = parsePo(text, "extracted ids");
    std::erase_if(entries, [](const PoEntry& entry) { return po_key(entry).empty(); });
    return entries;
}

TEST(Catalogues, ExtractionFindsEveryWayOfTranslating) {
    namespace fs = std::filesystem;
    const test::TempDir scratch;
    const fs::path root = scratch.path();
    fs::create_directories(root / "scripts");
    fs::copy_file(fs::path(test::sourceDir()) / "scripts/update-po.sh", root / "scripts/update-po.sh");
    fs::create_directories(root / "resources/po");
    fs::copy_file(fs::path(test::sourceDir()) / "resources/po/runtime.pot",
                  root / "resources/po/runtime.pot");
    for (const char* folder : {"SourceApp/forms", "Libraries/base", "SourceHost/config", "tests"}) {
        fs::create_directories(root / folder);
    }
    std::ofstream(root / "SourceApp/forms/probe.cpp") << "const char* t = tdx::gettext(\"Plain\");\n"
                                                         "const char* u = pgettext(\"switch\", \"Off\");\n"
                                                         "const char* v[] = {N_(\"Marked\")};\n"
                                                         "const char* c[] = {NC_(\"unit\", \" l\")};\n"
                                                         "const char* w = gettext(variable);\n";
    std::ofstream(root / "Libraries/base/probe.h")
        << "inline const char* x() { return gettext(\"Header \\\"%s\\\"\"); }\n";
    std::ofstream(root / "SourceHost/config/probe.cc") << "auto y = gettext(\"Port\");\n";
    std::ofstream(root / "tests/probe_test.cpp") << "auto z = gettext(\"Only a test\");\n";

    std::vector<std::string> found;
    for (const PoEntry& entry : extractedIds(root)) {
        found.push_back(describe(entry));
    }
    // The texts translated from variables come from their list, once even when the code also names them.
    std::vector<std::string> expected{"\"Header \"%s\"\"", "\"Marked\"", "\"Plain\"", "\"Port\"",
                                      "\"unit\" | \" l\""};
    for (const PoEntry& entry : parsePo(test::readSourceFile("resources/po/runtime.pot"), "runtime.pot")) {
        if (!po_key(entry).empty()) {
            expected.push_back(describe(entry));
        }
    }
    ASSERT_GT(expected.size(), 5u);
    std::sort(found.begin(), found.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);
}

TEST(Catalogues, EveryIdOfTheSourcesIsTranslated) {
    const auto ids = extractedIds();
    // The extraction itself works: the month names of the date formats are always there.
    ASSERT_TRUE(std::any_of(ids.begin(), ids.end(), [](const PoEntry& e) { return e.id == "September"; }));
    for (const char* language : {"cs", "da", "nl"}) {
        const std::string path = std::string("resources/po/") + language + ".po";
        std::map<std::string, const PoEntry*> catalogue;
        const auto entries = parsePo(test::readSourceFile(path), path);
        for (const PoEntry& entry : entries) {
            catalogue[po_key(entry)] = &entry;
        }
        std::string missing;
        for (const PoEntry& id : ids) {
            auto found = catalogue.find(po_key(id));
            if (found == catalogue.end() || found->second->translation.empty()) {
                missing += "\n  missing: " + describe(id);
            } else if (found->second->fuzzy) {
                missing += "\n  fuzzy:   " + describe(id);
            }
        }
        EXPECT_TRUE(missing.empty()) << path
                                     << " lacks translations (run scripts/update-po.sh and translate):"
                                     << missing;
    }
}

TEST(Catalogues, TranslationsKeepTheBlanksAroundUnits) {
    for (const char* language : {"cs", "da", "nl"}) {
        const std::string path = std::string("resources/po/") + language + ".po";
        for (const PoEntry& entry : parsePo(test::readSourceFile(path), path)) {
            if (entry.id.empty() || entry.translation.empty()) {
                continue;
            }
            EXPECT_EQ(entry.id.front() == ' ', entry.translation.front() == ' ')
                << path << ": " << describe(entry);
            EXPECT_EQ(entry.id.back() == ' ', entry.translation.back() == ' ')
                << path << ": " << describe(entry);
        }
    }
}

// The translated languages by their number, with their catalogues.
const struct {
    uint8_t number;
    const char* po;
} LANGUAGES[] = {{1, "resources/po/da.po"}, {2, "resources/po/cs.po"}, {3, "resources/po/nl.po"}};

// The value formatters translate their units in a context, from a variable: each catalogue must hold them
// under the very context and id the formatter looks up, or the screens show English units.
TEST(Catalogues, UnitsOfTheValueFormattersAreTranslated) {
    namespace F = DataModel::Factories::Formatters;
    const struct {
        const DataModel::Factories::AbstractFormatterFactory& factory;
        const char* context;
        const char* unit;
    } units[] = {{F::Volts, "volts", " V"},
                 {F::Seconds, "seconds", " s"},
                 {F::Minutes, "minutes", " m"},
                 {F::Hours, "hours", " h"}};
    i18n.setResourceReader(&test::repositoryCatalogues);
    for (const auto& language : LANGUAGES) {
        const auto& bytes = test::compiledCatalogue(language.po);
        MoFile catalogue;
        ASSERT_EQ(catalogue.loadFromMemory(bytes.data(), bytes.size()), 0) << language.po;
        i18n.switchLanguage(language.number);
        ASSERT_EQ(i18n.getTranslationId(), I18n::LANGUAGES[language.number].translationId);
        for (const auto& unit : units) {
            SCOPED_TRACE(std::string(language.po) + ": \"" + unit.context + "\" | \"" + unit.unit + "\"");
            const char* translation = catalogue.find(unit.context, unit.unit);
            ASSERT_NE(translation, nullptr) << "unit not translated";
            std::unique_ptr<DataModel::Formatter> formatter(unit.factory.create());
            const std::string shown = formatter->format(500u);
            EXPECT_TRUE(shown.ends_with(translation)) << "the formatter shows \"" << shown << "\"";
        }
    }
    i18n.switchLanguage(0);
}

// The names of the object types and their values, the option and alarm texts and the names of the hardware
// profiles are translated where the screens show them: each catalogue must hold every one of them, and an
// enumeration must show its options in the language chosen.
TEST(Catalogues, TextsOfTheDataModelAreTranslated) {
    using namespace DataModel;
    const ObjectTemplate* templates[] = {&Location,
                                         &Device,
                                         &Interface,
                                         &Input,
                                         &Room,
                                         &ITC,
                                         &HCC,
                                         &DHW,
                                         &DHWTank,
                                         &OutputObject::Thermohead,
                                         &OutputObject::Relay,
                                         &OutputObject::Analog,
                                         &OutputObject::Servo};
    std::vector<const char*> texts;
    std::vector<const char*> alarmTexts;
    std::vector<const Descriptor::VidEnum*> enumerations;
    for (const ObjectTemplate* objectTemplate : templates) {
        texts.push_back(objectTemplate->name());
        for (const Value* value : *objectTemplate) {
            const Descriptor::VidBase& descriptor = *value->descriptor();
            texts.push_back(descriptor.name);
            if (descriptor.kind != Descriptor::KIND_NUMBER) {
                continue;
            }
            const auto& number = static_cast<const Descriptor::VidNumber&>(descriptor);
            if (number.role == Descriptor::NumberRole::Enumeration) {
                const auto& enumeration = static_cast<const Descriptor::VidEnum&>(number);
                enumerations.push_back(&enumeration);
                for (u8 i = 0; i < enumeration.optionCount; ++i) {
                    texts.push_back(enumeration.options[i].text);
                }
            } else if (number.role == Descriptor::NumberRole::Alarm) {
                const auto& alarm = static_cast<const Descriptor::VidAlarm&>(number);
                for (u8 i = 0; i < alarm.rowCount; ++i) {
                    alarmTexts.push_back(alarm.rows[i].text);
                }
            }
        }
    }
    for (u32 id = 0; id < HMU316::PROFILE_COUNT; ++id) {
        texts.push_back(HMU316::findProfile(id)->getName());
    }
    ASSERT_FALSE(enumerations.empty());
    ASSERT_FALSE(alarmTexts.empty());

    i18n.setResourceReader(&test::repositoryCatalogues);
    for (const auto& language : LANGUAGES) {
        SCOPED_TRACE(language.po);
        const auto& bytes = test::compiledCatalogue(language.po);
        MoFile catalogue;
        ASSERT_EQ(catalogue.loadFromMemory(bytes.data(), bytes.size()), 0);
        for (const char* text : texts) {
            EXPECT_NE(catalogue.find(nullptr, text), nullptr) << "not translated: \"" << text << "\"";
        }
        // The code is filled into an alarm text: its translation must take it in the same place-holder.
        for (const char* text : alarmTexts) {
            const char* translation = catalogue.find(nullptr, text);
            ASSERT_NE(translation, nullptr) << "not translated: \"" << text << "\"";
            const std::string id(text);
            const std::string shown(translation);
            EXPECT_EQ(shown.find("%u") != std::string::npos, id.find("%u") != std::string::npos) << shown;
            EXPECT_EQ(std::count(shown.begin(), shown.end(), '%'), std::count(id.begin(), id.end(), '%'))
                << shown;
        }
        i18n.switchLanguage(language.number);
        for (const Descriptor::VidEnum* enumeration : enumerations) {
            std::unique_ptr<Formatter> formatter(createFormatter(*enumeration));
            for (u8 i = 0; i < enumeration->optionCount; ++i) {
                const Descriptor::EnumOption& option = enumeration->options[i];
                const char* translation = catalogue.find(nullptr, option.text);
                ASSERT_NE(translation, nullptr) << option.text;
                EXPECT_EQ(formatter->format(option.value), translation) << enumeration->name;
            }
        }
    }
    i18n.switchLanguage(0);
}

const char* const HELP_TOPICS[] = {
    "Info",
    "General",
    "Display",
    "Device information",
    "First Start Guide",
    "Language & Country",
    "Date & Time",
    "Room Edit",
    "System",
    "Schedule Copy Day",
    "Schedule Copy Whole",
    "ITC",
    "Room assignment",
    "Heat Curve",
    "HCC",
    "Mirelo",
    "DHW Tank",
    "Remote Device Update",
    "Enroll Component",
    "Enroll Into New",
    "Enroll Into Location",
    "Enroll Into Existing",
    "Remove Component",
    "Remove From Existing",
    "Remove Room",
    "Remove Location",
};

bool isResourceName(const std::string& name) {
    return std::find_if(std::begin(resource_names), std::end(resource_names),
                        [&](const char* known) { return name == known; }) != std::end(resource_names);
}

std::string trimmed(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t\r\n");
    return first == std::string::npos ? std::string()
                                      : s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

TEST(Catalogues, EveryHelpTopicHasAPage) {
    const auto& bytes = test::compiledCatalogue("resources/help/en.po");
    MoFile help;
    ASSERT_EQ(help.loadFromMemory(bytes.data(), bytes.size()), 0);
    EXPECT_EQ(help.count(), std::size(HELP_TOPICS) + 1) << "the topics and the header, nothing else";
    for (const char* topic : HELP_TOPICS) {
        SCOPED_TRACE(topic);
        const char* text = help.find(nullptr, topic);
        ASSERT_NE(text, nullptr);
        parse_node* first = nullptr;
        ASSERT_EQ(help_parse(text, &first), 0);
        std::unique_ptr<parse_node, void (*)(parse_node*)> list(first, &help_free_parse_node);
        // A banner that fits the page's banner (40 bytes), then sections, each with its text.
        ASSERT_EQ(first->kind, PARSE_NODE_TEXT);
        EXPECT_LE(trimmed(first->text).size(), 40u);
        EXPECT_FALSE(trimmed(first->text).empty());
        int sections = 0;
        for (const parse_node* node = first->next; node != nullptr; node = node->next) {
            if (node->kind != PARSE_NODE_SECTION) {
                continue;
            }
            ++sections;
            EXPECT_FALSE(trimmed(node->text).empty());
            EXPECT_TRUE(node->target.empty() || isResourceName(node->target)) << node->target;
            ASSERT_NE(node->next, nullptr) << node->text;
            EXPECT_EQ(node->next->kind, PARSE_NODE_TEXT) << node->text;
        }
        EXPECT_GE(sections, 2);
    }
}

} // namespace
} // namespace tdx
