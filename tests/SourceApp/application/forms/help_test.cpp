// The help page, built from a help catalogue of the test's own put in place of the English one.
#include "Libraries/base/os.h"
#include "Libraries/misc/text.h"
#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/application/forms/help/FormHelp.h"
#include "SourceApp/application/resources/resource_mgr.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "SourceHost/api_lib/resfile.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"
#include "tools/pocompile/po_compile.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

namespace tdx::test {
namespace {

constexpr unsigned HELP = 8;

// A resource's bytes, to put in place of the help catalogue as one that cannot be read.
std::vector<uint8_t> bytesOf(const Resource& resource) {
    return std::vector<uint8_t>(resource.getData(), resource.getData() + resource.getSize());
}

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
    openTopic("Info");
    EXPECT_EQ(page(), (std::vector<std::string>{"Nápověda není pro tento jazyk k dispozici."}));
    i18n.switchLanguage(0);

    useHelpResource(bytesOf(resources().get(res_logo)), RESFILE_IMAGE);
    openTopic("Info");
    EXPECT_EQ(page(), (std::vector<std::string>{"Help file parse error!"}));
}

// What cannot be shown stands on one line across the whole page, from its left edge and in the middle of
// its 26 pixels, in every language, with a white pixel at least between the text and the frame on either
// side.
TEST_F(HelpTest, WhatCannotBeShownStandsOnOneLineAcrossThePageInsideTheFrame) {
    useHelpResource(bytesOf(resources().get(res_logo)), RESFILE_IMAGE);
    useCatalogues();
    const struct {
        uint8_t language;
        const char* text;
    } messages[] = {
        {0, "Help file parse error!"},
        {1, "Hjælp er ikke tilgængelig for dette sprog."},
        {2, "Nápověda není pro tento jazyk k dispozici."},
        {3, "Help is niet beschikbaar voor deze taal."},
    };
    for (const auto& m : messages) {
        speak(m.language);
        openTopic("Info");
        auto* label = dynamic_cast<ContainedLabel*>(findByText(m.text));
        ASSERT_NE(label, nullptr) << m.text;
        const Container* stack = label->getParent();
        const Box frame = stack->getParent()->getBoundingBox();
        const Box box = label->getBoundingBox();
        EXPECT_EQ(box, Box(stack->getLeft(), stack->getTop(), stack->getWidth(), 26)) << m.text;
        expectNoLabelCut(m.text);
        // The frame's border is 2 pixels wide: one white pixel, then the first letter; as much white above
        // the letters as below them, within a pixel.
        const Box ink = inkIn(box, colour::WHITE);
        EXPECT_EQ(ink.x1, frame.x1 + 3) << m.text;
        EXPECT_LE(ink.x2, frame.x2 - 3) << m.text;
        EXPECT_NEAR(ink.y1 - box.y1, box.y2 - ink.y2, 1) << m.text;
    }
    speak(0);
}

// The pages of the English help catalogue as written, each under the topic the screens pass in English.
std::vector<PoEntry> englishPages() {
    const std::string path = std::string(std::getenv("TDX_SOURCE_DIR")) + "/resources/help/en.po";
    std::ifstream in(path);
    std::vector<PoEntry> entries;
    std::string error;
    EXPECT_EQ(po_parse(std::string{std::istreambuf_iterator<char>(in), {}}, entries, error), 0) << error;
    std::erase_if(entries, [](const PoEntry& entry) { return entry.id.empty(); });
    return entries;
}

std::vector<std::string> englishTopics() {
    std::vector<std::string> topics;
    for (const PoEntry& entry : englishPages()) {
        topics.push_back(entry.id);
    }
    return topics;
}

// The sections of the page shown: each picture lies inside its section and right of the section's text.
// Returns how many pictures there are.
int expectPicturesBesideTheirText(const std::vector<FormHelp::HelpSection*>& sections,
                                  const std::string& topic) {
    int pictures = 0;
    for (const auto* section : sections) {
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
        EXPECT_LE(picture->getRight(), section->getRight()) << topic;
        if (text != nullptr) {
            EXPECT_GT(picture->getLeft(), text->getRight()) << topic << ": the picture covers the text";
        }
    }
    return pictures;
}

TEST_F(HelpTest, EveryPageOfTheEnglishHelpShowsItsPicturesWholeBesideTheirText) {
    int pictures = 0;
    for (const std::string& topic : englishTopics()) {
        openTopic(topic);
        pictures += expectPicturesBesideTheirText(findAll<FormHelp::HelpSection>(), topic);
    }
    EXPECT_GT(pictures, 20);
}

// A section as the writer marked it or as the page shows it: its title, and "+picture" when it has one.
using Sections = std::vector<std::string>;

// Every "#!" of the page's text, also one that a lost line end left inside a line, with the title after it
// (up to a '[' or the line's end) and whether a picture is named in brackets.
Sections markedSections(const std::string& text) {
    Sections marked;
    for (size_t at = text.find("#!"); at != std::string::npos; at = text.find("#!", at + 2)) {
        const std::string line = text.substr(at + 2, text.find('\n', at) - at - 2);
        const size_t open = line.find('[');
        marked.push_back(trim(line.substr(0, open)) + (open != std::string::npos ? " +picture" : ""));
    }
    return marked;
}

// No text of any English page shows the catalogue's markup, and every section its writer marked stands on
// the page with its title and its picture.
TEST_F(HelpTest, EveryPageOfTheEnglishHelpShowsEachMarkedSectionWithItsPictureAndNoMarkup) {
    size_t sections = 0;
    for (const PoEntry& entry : englishPages()) {
        openTopic(entry.id);
        for (const std::string& text : page()) {
            EXPECT_EQ(text.find("#!"), std::string::npos) << entry.id << ": " << text;
            EXPECT_EQ(text.find("[res_"), std::string::npos) << entry.id << ": " << text;
        }
        Sections shown;
        for (const FormHelp::HelpSection* section : findAll<FormHelp::HelpSection>()) {
            std::string title;
            bool picture = false;
            for (Component* c : section->getChildren()) {
                if (const auto text = textOf(*c); text && title.empty()) {
                    title = trim(*text);
                }
                picture = picture || dynamic_cast<const Icon*>(c) != nullptr;
            }
            shown.push_back(title + (picture ? " +picture" : ""));
        }
        EXPECT_EQ(shown, markedSections(entry.translation)) << entry.id;
        sections += shown.size();
    }
    EXPECT_GT(sections, 60u);
}

// Each line of the text as the frame lays it out breaks at a blank or a line's end, never inside a word.
void expectNoWordBroken(const TextFrame& frame, const std::string& where) {
    const std::string& text = frame.getText();
    const bif_t* font = frame.getFont()->getFont();
    for (size_t pos = 0; pos != std::string_view::npos;) {
        size_t end = 0;
        const size_t next = bif_wrap_line(font, text, pos, frame.getWidth(), &end);
        EXPECT_FALSE(next != std::string_view::npos && next == end && text[end] != '\n')
            << where << ": a word broken at \"" << text.substr(pos, end - pos) << "|\"";
        pos = next;
    }
}

// Every English page opens under a banner of one line across the page's whole width, 24 pixels high, with
// "User Guides:" and the title whole in its middle (the longest titles included), then at least two sections,
// every title and text whole (no word broken across lines).
TEST_F(HelpTest, EveryPageOfTheEnglishHelpHasItsBannerOnOneLineAndItsTextWhole) {
    for (const std::string& topic : englishTopics()) {
        openTopic(topic);
        const std::vector<std::string> shown = page();
        ASSERT_GE(shown.size(), 3u) << topic;
        ASSERT_TRUE(shown.front().starts_with("User Guides:  ")) << topic << ": " << shown.front();
        const Component* label = findByText(shown.front());
        ASSERT_NE(label, nullptr) << topic;
        const Container* banner = label->getParent();
        const Container* stack = banner->getParent();
        EXPECT_EQ(banner->getBoundingBox(), Box(stack->getLeft(), stack->getTop(), stack->getWidth(), 24))
            << topic;
        EXPECT_EQ(banner->getChildren().size(), 1u) << topic << ": one line";
        EXPECT_EQ(label->getBoundingBox(), banner->getBoundingBox()) << topic;
        const bif_t* font = bif_myriad14.getFont();
        EXPECT_LE(bif_text_width(font, shown.front()), label->getWidth()) << topic;
        // Where the text stands in the banner: as much grey left of it as right of it, within the two pixels
        // that the letters' side bearings and the halving of an odd width leave, and the middle of the small
        // letters on the banner's middle, within a pixel ("se" of "User").
        const Box grey = banner->getBoundingBox();
        const Box ink = inkIn(grey, colour::CONTROL);
        EXPECT_NEAR(ink.x1 - grey.x1, grey.x2 - ink.x2, 2) << topic << ": the text stands off the middle";
        const int small = ink.x1 + bif_text_width(font, "U") + 1;
        const Box lower =
            inkIn(Box(small, grey.y1, bif_text_width(font, "se") - 2, grey.getHeight()), colour::CONTROL);
        EXPECT_NEAR(lower.y1 - grey.y1, grey.y2 - lower.y2, 1) << topic << ": the text stands off the middle";
        EXPECT_GE(findAll<FormHelp::HelpSection>().size(), 2u) << topic;
        EXPECT_EQ(findByText("Help is not available for this page."), nullptr) << topic;
        expectNoLabelCut(topic);
        for (const TextFrame* text : findAll<TextFrame>()) {
            expectNoWordBroken(*text, topic);
        }
    }
}

// The top bar's help button of the screen shown.
const IconButton* helpButton(const std::vector<IconButton*>& buttons) {
    const auto found = std::find_if(buttons.begin(), buttons.end(),
                                    [](const IconButton* b) { return b->getIcon() == res_question; });
    return found != buttons.end() ? *found : nullptr;
}

// Help is offered in English only, the one language with help texts: every screen with help, opened as the
// program opens it with the default installation, has its help button enabled in English, opening its page,
// and disabled in Czech, Danish and Dutch, where a tap on it leaves the screen as it is. (The device update's
// screens live only inside a running update.)
TEST_F(DefaultInstallationTest, EveryScreenWithHelpInEnglishHasNoneInTheOtherLanguages) {
    constexpr oid_t ROOM = 0x01000316, ITC = 0x08000316, HCC = 0x09000316, HOT_WATER = 0x0A000316,
                    TANK = 0x0B000316;
    os_init(); // the display's own identity, which the display menu and the guide show
    loadDefaultInstallation();
    runTasks();
    const Ovi schedule(ROOM, 0x8043);
    struct Screen {
        std::string name;
        std::function<void()> open;
    };
    const auto state = [this](unsigned id, oid_t p1 = 0) { return [this, id, p1] { open(id, p1); }; };
    const std::vector<Screen> screens = {
        {"FormFirstStartGuide", state(4)},
        {"FormFirstStartGuideLocale", state(5)},
        {"FormFirstStartGuideDateTime", state(6)},
        {"FormHome", state(9)},
        {"FormSystem", state(11)},
        {"FormDisplay", state(12)},
        {"FormRoomEdit", state(13, ROOM)},
        {"FormRoomSettings", state(14, ROOM)},
        {"FormScheduleCopyOrigin",
         [&] { mCore.changeState(SingleParamState<Ovi>(19, 0, 0, 0, 0, schedule)); }},
        {"FormScheduleCopyTo", [&] { mCore.changeState(SingleParamState<Ovi>(20, 0, 0, 0, 0, schedule)); }},
        {"FormDisplaySettings", state(21)},
        {"FormDeviceInfo", state(23, CONTROL_UNIT)},
        {"FormSystemDateTime", state(24)},
        {"FormSystemLocale", state(25)},
        {"FormEnrollComponent", state(39)},
        {"FormEnrollIntoNew", state(40)},
        {"FormEnrollIntoLocation", state(41)},
        {"FormEnrollIntoExisting", state(42)},
        {"FormEnrollEnterSerial",
         [&] { mCore.changeState(SingleParamState<std::vector<uint32_t>>(43, 0, 0, 0, 0, {CONTROL_UNIT})); }},
        {"FormRemoveComponent", state(45)},
        {"FormRemoveFromLocation", state(46)},
        {"FormRemoveFromExisting", state(47)},
        {"FormRemoveRoom", state(48)},
        {"FormRemoveLocation", state(49)},
        {"FormHccEdit", state(61, HCC)},
        {"FormItcEdit", state(62, ITC)},
        {"FormItcRooms", state(63, HCC)},
        {"FormHeatCurve", state(64, HCC)},
        {"FormMireloEdit", state(73, HOT_WATER)},
        {"FormDHWTankEdit", state(75, TANK)},
    };
    const struct {
        uint8_t language;
        const char* name;
        bool help;
    } languages[] = {{0, "en", true}, {1, "da", false}, {2, "cs", false}, {3, "nl", false}};
    for (const auto& language : languages) {
        speak(language.language);
        for (const Screen& shown : screens) {
            const std::string where = std::string(language.name) + " " + shown.name;
            shown.open();
            runTasks(2);
            ASSERT_EQ(screen()->getName(), shown.name) << where;
            const IconButton* help = helpButton(findAll<IconButton>());
            ASSERT_NE(help, nullptr) << where;
            EXPECT_EQ(help->isEnabled(), language.help) << where;
            tap(help);
            runTasks(2);
            if (!language.help) {
                EXPECT_EQ(screen()->getName(), shown.name)
                    << where << ": the grey help button opened a screen";
                continue;
            }
            ASSERT_EQ(this->state().getStateId(), HELP) << where;
            const auto* topic = dynamic_cast<const SingleParamState<std::string>*>(&this->state());
            ASSERT_NE(topic, nullptr) << where;
            EXPECT_GE(findAll<FormHelp::HelpSection>().size(), 2u)
                << where << ": no page for " << topic->getParam();
            EXPECT_EQ(findByText("Help is not available for this page."), nullptr) << where;
        }
    }
    speak(0);
}

TEST_F(DefaultInstallationTest, HelpScreen) {
    // The English page; in the other languages, which have no help, the words that say so.
    picturesInEveryLanguage("FormHelp", [this] {
        mCore.changeState(SingleParamState<std::string>(HELP, 0, 0, 0, 0, "Info"));
        runTasks(2);
        EXPECT_EQ(findByText("Your rooms ") != nullptr, i18n.getLanguage() == 0);
    });
    // The pages with the longest titles, their banners whole on one line.
    for (const auto& [topic, picture] :
         {std::pair{"ITC", "FormHelpItc"}, std::pair{"Enroll Into Existing", "FormHelpEnrollIntoExisting"}}) {
        mCore.changeState(SingleParamState<std::string>(HELP, 0, 0, 0, 0, topic));
        runTasks(2);
        ASSERT_EQ(screen()->getName(), "FormHelp");
        expectNoLabelCut(picture);
        screenshot(picture);
    }
    replaceResource(res_translation_en_help, bytesOf(resources().get(res_logo)), RESFILE_IMAGE);
    mCore.changeState(SingleParamState<std::string>(HELP, 0, 0, 0, 0, "Info"));
    runTasks(2);
    EXPECT_NE(findByText("Help file parse error!"), nullptr);
    screenshot("FormHelpParseError");
}

} // namespace
} // namespace tdx::test
