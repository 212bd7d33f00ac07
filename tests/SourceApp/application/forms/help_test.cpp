// The help page, built from a help catalogue of the test's own put in place of the English one.
#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/application/forms/help/FormHelp.h"
#include "SourceApp/application/resources/resource_mgr.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "SourceHost/api_lib/resfile.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"
#include "tools/pocompile/po_compile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace tdx::test {
namespace {

constexpr unsigned HELP = 8;

PoEntry entry(const char* id, const char* text) {
    PoEntry made;
    made.id = id;
    made.translation = text;
    return made;
}

const std::vector<PoEntry> CATALOGUE = {
    entry("", "Content-Type: text/plain; charset=UTF-8\n"),
    entry("Rooms", "  Rooms and their tiles  \n#! Heating [res_room]\nHow rooms are heated.\n"
                   "#! Bare\n#! Nowhere [res_nothing]\nNo picture here.\n"),
    // The cut at 40 bytes falls inside the two-byte "é".
    entry("Long", "123456789012345678901234567890123456789é and more\n#! Only\nText\n"),
    entry("Broken", "#! Title [a b]\nText\n"),
    entry("Runs", "First run\n#! Section [res_room]\n"),
};

class HelpTest : public FormsTest {
protected:
    // The program's resources with the English help catalogue replaced by a blob of that type.
    void useHelpResource(const std::vector<uint8_t>& blob, uint8_t type) {
        replaceResource(res_translation_en_help, blob, type);
    }
    void openTopic(const std::string& topic) {
        mCore.changeState(SingleParamState<std::string>(HELP, 0, 0, 0, 0, topic));
        runTasks(2);
    }
    // The texts of the page, top to bottom; "---" for a separator line, "[picture]" for a picture.
    std::vector<std::string> page() const {
        std::vector<std::string> texts;
        const Container* content = static_cast<FormHelp*>(screen())->getContent();
        for (Component* c : components()) {
            if (!c->isChildOf(content)) {
                continue;
            }
            if (const auto text = textOf(*c)) {
                texts.push_back(*text);
            } else if (dynamic_cast<HLine*>(c) != nullptr && c->getWidth() > 1) {
                texts.push_back("---");
            } else if (dynamic_cast<Icon*>(c) != nullptr) {
                texts.push_back("[picture]");
            }
        }
        return texts;
    }
};

TEST_F(HelpTest, TheTopicsTextBecomesABannerAndSections) {
    useHelpResource(po_build_mo(CATALOGUE), RESFILE_TRANSLATION);
    using Page = std::vector<std::string>;
    const struct {
        const char* topic;
        Page page;
    } topics[] = {
        {"Rooms",
         {"User Guides:  Rooms and their tiles", "Heating ", "[picture]", "How rooms are heated.", "---",
          "Bare", "---", "Nowhere ", "No picture here."}},
        {"Long", {"User Guides:  123456789012345678901234567890123456789", "Only", "Text"}},
        {"Missing", {"User Guides:  Missing", "Help is not available for this page."}},
        {"Broken", {"Help file parse error!"}},
        {"Runs", {"User Guides:  First run", "Section ", "[picture]"}},
    };
    for (const auto& t : topics) {
        openTopic(t.topic);
        EXPECT_EQ(screen()->getName(), "FormHelp");
        EXPECT_EQ(page(), t.page) << t.topic;
    }
}

TEST_F(HelpTest, WhatCannotBeShownIsSaidInWords) {
    open(HELP); // a state without a topic
    EXPECT_EQ(page(), (std::vector<std::string>{"Help is not available for this page."}));

    useCatalogues();
    i18n.switchLanguage(2);
    ASSERT_EQ(i18n.getLanguage(), 2);
    replaceResource(res_translation_cs_help, {}, RESFILE_EMPTY); // a resources file made without it
    openTopic("Info");
    EXPECT_EQ(page(), (std::vector<std::string>{"Nápověda není pro tento jazyk k dispozici."}));
    i18n.switchLanguage(0);

    const Resource logo = resources().get(res_logo);
    useHelpResource(std::vector<uint8_t>(logo.getData(), logo.getData() + logo.getSize()), RESFILE_IMAGE);
    openTopic("Info");
    EXPECT_EQ(page(), (std::vector<std::string>{"Help file parse error!"}));
}

TEST_F(HelpTest, EveryPageOfTheEnglishHelpShowsItsPicturesWholeBesideTheirText) {
    const std::string path = std::string(std::getenv("TDX_SOURCE_DIR")) + "/resources/help/en.po";
    std::ifstream in(path);
    std::vector<PoEntry> topics;
    std::string error;
    ASSERT_EQ(po_parse(std::string{std::istreambuf_iterator<char>(in), {}}, topics, error), 0) << error;
    int pictures = 0;
    for (const PoEntry& topic : topics) {
        if (topic.id.empty()) {
            continue;
        }
        openTopic(topic.id);
        for (const auto* section : findAll<FormHelp::HelpSection>()) {
            const Icon* picture = nullptr;
            const TextFrame* text = nullptr;
            for (Component* c : section->getChildren()) {
                picture = picture != nullptr ? picture : dynamic_cast<const Icon*>(c);
                text = text != nullptr ? text : dynamic_cast<const TextFrame*>(c);
            }
            if (picture == nullptr) {
                continue;
            }
            ++pictures;
            EXPECT_LE(picture->getRight(), section->getRight()) << topic.id;
            if (text != nullptr) {
                EXPECT_GT(picture->getLeft(), text->getRight())
                    << topic.id << ": the picture covers the text";
            }
        }
    }
    EXPECT_GT(pictures, 20);
}

TEST_F(DefaultInstallationTest, HelpScreen) {
    mCore.changeState(SingleParamState<std::string>(HELP, 0, 0, 0, 0, "Info"));
    runTasks(2);
    EXPECT_NE(findByText("Your rooms "), nullptr);
    screenshot("FormHelp");
}

} // namespace
} // namespace tdx::test
