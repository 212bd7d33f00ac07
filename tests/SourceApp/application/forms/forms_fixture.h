// The harness as the screens find it in the running program: the alarm manager listens to the object tree,
// and states open their screens through the program's own registry (a state without a screen yet opens the
// not-implemented screen), unless a test's own registry builds something for it first.
//
// A screen's screenshot with the default installation is one line of its test:
//   loadDefaultInstallation(); open(21); screenshot("FormDisplaySettings");
#pragma once

#include "Libraries/base/os.h"
#include "SourceApp/application/AlarmMgr.h"
#include "SourceApp/application/controls/DropdownMenu.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/KeyboardEditor.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/ScrollBar.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/application/forms/VexalForm.h"
#include "SourceApp/application/forms/alarm/FormAlarms.h"
#include "SourceApp/application/forms/display/FormDisplay.h"
#include "SourceApp/application/forms/display/FormDisplaySettings.h"
#include "SourceApp/application/forms/system/FormDeviceInfo.h"
#include "SourceApp/application/resources/resource_mgr.h"
#include "SourceApp/application/startup/StateRegistry.h"
#include "SourceApp/application/update/UpdateManager.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/gfx/gfx.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceHost/api_lib/resfile.h"
#include "tests/support/screen_harness.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace tdx::test {

class FormsTest : public ScreenHarness {
protected:
    void SetUp() override {
        ScreenHarness::SetUp();
        buzzer.stop();
        alarms().setEnabled(true); // the tree is empty: no entries
        Structure.addObjectAppendHandler(&alarms());
        Structure.addObjectRemoveHandler(&alarms());
        Structure.addValueChangeHandler(&alarms());
        setRegistry(&AppChangeState);
    }
    void TearDown() override {
        // An update process outlives its screens: it ends here, before the next test.
        if (UpdateProcess* running = updates().getProcess()) {
            mCore.defaultState();
            updates().terminate(running);
            updates().task();
        }
        // So does a restart of the control unit that a test announced: the next test's unit is another.
        while (updates().expectsRestart()) {
            os_clock_advance(1000);
            updates().task();
        }
        Structure.removeObjectAppendHandler(&alarms());
        Structure.removeObjectRemoveHandler(&alarms());
        Structure.removeValueChangeHandler(&alarms());
        alarms().setEnabled(false); // forgets this test's entries
        buzzer.stop();
        ScreenHarness::TearDown();
        // The screens are gone: nothing points into the test's resources any more.
        if (mResourcesReplaced) {
            ASSERT_EQ(resources().load(TDX_RESOURCES_FILE), 0);
        }
    }

    static AlarmMgr& alarms() { return *getApplication()->getAlarmManager(); }
    static ResourceMgr& resources() { return *getApplication()->getResourceManager(); }
    // The program's resources with resource `id` replaced by a blob of that type (RESFILE_EMPTY and no bytes:
    // a file made without it), until the test ends.
    void replaceResource(resource_id id, const std::vector<uint8_t>& blob, uint8_t type) {
        std::ifstream in(TDX_RESOURCES_FILE, std::ios::binary);
        std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        bytes.resize((bytes.size() + 3) / 4 * 4);
        const size_t entry = RESFILE_HEADER + (id - 1u) * RESFILE_ENTRY;
        const auto put32 = [&](size_t at, size_t v) {
            for (int i = 0; i < 4; ++i) {
                bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
            }
        };
        bytes[entry] = type;
        put32(entry + 4, blob.empty() ? 0 : bytes.size());
        put32(entry + 8, blob.size());
        bytes.insert(bytes.end(), blob.begin(), blob.end());
        const std::string path =
            std::filesystem::temp_directory_path() / ("forms_resources_" + std::to_string(getpid()));
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        mResourcesReplaced = true;
        const uint8_t language = i18n.getLanguage();
        i18n.switchLanguage(0); // its catalogue lies in the resources replaced
        ASSERT_EQ(resources().load(path.c_str()), 0);
        std::filesystem::remove(path);
        i18n.switchLanguage(language);
    }
    static UpdateManager& updates() { return *getApplication()->getUpdateManager(); }
    // An object built on a template of the test's own.
    ObjectBuilder objectOf(const DataModel::ObjectTemplate& objectTemplate, oid_t oid, uint8_t type,
                           uint8_t subtype = 0) {
        Structure.append(new ProxyObject(oid, ObjectInfo(type, subtype), &objectTemplate));
        return ObjectBuilder(oid);
    }
    // The user opens the keyboard of the screen's name row, types after the name and accepts; the value is
    // written as the next passes handle the keys.
    void typeAfterName(const std::string& typed) {
        auto* row = find<EditableStringRow>();
        ASSERT_NE(row, nullptr);
        tap(find<IconButton>([row](const IconButton& b) { return b.isChildOf(row); }));
        for (const char c : typed) {
            mCore.sendMessage(nullptr, MSG_KEY, c, KEY_CHARACTER, 0, 0);
        }
        mCore.sendMessage(nullptr, MSG_KEY, KeyboardEditor::KEY_ENTER, 0, 0, 0);
    }
    // The user scrolls the screen to its link with this text and taps it.
    void tapLink(const std::string& text) {
        auto* link = find<NavigationLink>([&](const NavigationLink& l) { return l.getText() == text; });
        auto* form = dynamic_cast<VexalForm*>(screen());
        ASSERT_TRUE(link != nullptr && form != nullptr) << text;
        form->scrollTo(link, FOCUS_TOP, link->getTop(), link->getBottom());
        runTasks(2);
        tap(link);
        runTasks(3);
    }
    // Taps the screen's scroll bar arrow until the content stands at its top (or its end), calling `seen`
    // after each tap; a scroll that goes nowhere ends at the bound.
    void scrollToEdge(bool end, const std::function<void()>& seen = nullptr) {
        const ScrollBar* bar = find<ScrollBar>();
        ASSERT_NE(bar, nullptr);
        for (int taps = 0;
             taps < 40 && (end ? bar->getThumbPosition() < bar->getMax() : bar->getThumbPosition() > 0);
             ++taps) {
            tap(end ? bar->getDownButton() : bar->getUpButton());
            if (seen) {
                seen();
            }
        }
    }
    // Every one-line label in sight shows its text whole: no text is wider than its box, where it would end
    // in an ellipsis.
    void expectNoLabelCut(const std::string& picture) const {
        for (ContainedLabel* label : findAll<ContainedLabel>()) {
            expectWhole(*label, picture);
        }
        for (const Label* label : findAll<Label>()) {
            if (label->isGloballyVisible() && !label->getVisibleBox().isEmpty()) {
                EXPECT_EQ(label->getShownText(), label->getText()) << picture;
            }
        }
        // An open menu's choices, each in the font it is drawn in within its item and the columns the item
        // keeps clear at its sides.
        for (const DropdownMenu* menu : findAll<DropdownMenu>()) {
            for (uint16_t i = 0; menu->isGloballyVisible() && i < menu->getItemCount(); ++i) {
                const std::string& title = menu->getItem(i)->getTitle();
                EXPECT_LE(bif_text_width(menu->fontOf(title)->getFont(), title),
                          menu->getWidth() - 2 * DropdownMenu::TEXT_INSET)
                    << picture << ": " << title;
            }
        }
    }
    static void expectWhole(const ContainedLabel& label, const std::string& picture) {
        const Box box = label.getVisibleBox();
        // A rotated axis title reads along its height: no one-line text stands in a box taller than wide. A
        // name longer than its row's value column is cut there, as in every name row.
        if (!label.isGloballyVisible() || box.isEmpty() || label.getText().empty() ||
            label.getHeight() > label.getWidth() || inNameRow(label)) {
            return;
        }
        EXPECT_LE(bif_text_width(label.getFont()->getFont(), label.getText()), label.getWidth())
            << picture << ": " << label.getText();
    }
    static bool inNameRow(const Component& component) {
        for (const Component* p = component.getParent(); p != nullptr; p = p->getParent()) {
            if (dynamic_cast<const EditableStringRow*>(p) != nullptr) {
                return true;
            }
        }
        return false;
    }
    // No text in sight is an English text that the active language translates: a text the screen shows
    // without passing it through the catalogue. The names the installation gives its objects are shown as
    // given, whatever they say. Nothing to check in English.
    void expectTranslated(const std::string& picture) const {
        if (i18n.getLanguage() == 0) {
            return;
        }
        std::vector<std::string> names;
        for (const ProxyObject* object : Structure) {
            std::string name;
            if (object->getText(name, VID_NAME) == PT_OK && !name.empty()) {
                names.push_back(name);
            }
        }
        for (Component* component : components()) {
            const std::optional<std::string> text = textOf(*component);
            if (!text || text->empty() || !component->isGloballyVisible() ||
                std::find(names.begin(), names.end(), *text) != names.end()) {
                continue;
            }
            const std::string translated = gettext(text->c_str());
            EXPECT_EQ(*text, translated) << picture << ": \"" << *text << "\" shown in English";
        }
    }
    // The pixels of an area of the shown screen inside the box around its ink on the ground, row by row.
    static std::vector<unsigned> inkImage(const Box& area, unsigned ground) {
        const Box ink = inkIn(area, ground);
        std::vector<unsigned> pixels;
        for (int y = ink.y1; y <= ink.y2; ++y) {
            for (int x = ink.x1; x <= ink.x2; ++x) {
                pixels.push_back(pixel(x, y));
            }
        }
        pixels.push_back(static_cast<unsigned>(ink.getWidth())); // rows of another width differ
        return pixels;
    }
    // The same of the whole text drawn in the font and colour on the ground, on a surface of its own.
    static std::vector<unsigned> wholeImage(const Font& font, const std::string& text, unsigned colour,
                                            unsigned ground) {
        const gfx_s shown = gfx;
        std::vector<uint32_t> back(W * H);
        std::vector<uint32_t> front(W * H);
        gfx_set_surface({back.data(), front.data(), W, H, W});
        gfx_setcolor(ground);
        gfx_fill_rect(Box(0, 0, W, H));
        gfx_setcolor(colour);
        bif_print_text(font.getFont(), 10, 10, text);
        gfx_flip(0, 0, W - 1, H - 1);
        std::vector<unsigned> image = inkImage(Box(0, 0, W, H), ground);
        gfx = shown;
        return image;
    }
    // Whether the area shows exactly the whole text on its ground, in the usual font or in the smaller one: a
    // text cut to fit ends in an ellipsis, one cut by its box lacks its end.
    static bool showsWhole(const Box& area, const std::string& text, unsigned colour, unsigned ground) {
        const std::vector<unsigned> shown = inkImage(area, ground);
        return shown == wholeImage(bif_myriad12, text, colour, ground) ||
               shown == wholeImage(bif_myriad10, text, colour, ground);
    }
    // Each item of an open list that stands whole in sight, and whose title is not in `seen` yet, shows its
    // whole title, clear of the item's edges; the titles looked at go to `seen`.
    static void expectItemsInSightWhole(const DropdownMenu& menu, std::set<std::string>& seen) {
        const Box sight = menu.getVisibleBox();
        for (uint16_t i = 0; i < menu.getItemCount(); ++i) {
            const Box cell(menu.getLeft(), menu.getTop() + i * (DropdownMenu::ITEM_HEIGHT + 1),
                           menu.getWidth(), DropdownMenu::ITEM_HEIGHT);
            if (!sight.contains(cell.x1, cell.y1) || !sight.contains(cell.x2, cell.y2)) {
                continue;
            }
            const std::string& title = menu.getItem(i)->getTitle();
            if (!seen.insert(title).second) {
                continue;
            }
            const bool marked = i == menu.getSelectedItem();
            const unsigned ground = marked ? colour::PRESSED : colour::CONTROL;
            const unsigned text =
                !menu.isEnabled() ? colour::DISABLED : (marked ? colour::WHITE : colour::TEXT);
            EXPECT_TRUE(showsWhole(cell, title, text, ground)) << title << " is not shown whole";
            const Box ink = inkIn(cell, ground);
            EXPECT_TRUE(ink.x1 > cell.x1 && ink.x2 < cell.x2) << title << " touches its item's edge";
        }
    }
    // Whether the box shows any pixel of the colour.
    static bool shows(const Box& box, unsigned colour) { return countColour(box, colour) > 0; }
    // The screen that show() opens in each language, its labels whole, its picture <name> in English and
    // <name>_<language> in the others.
    void picturesInEveryLanguage(const std::string& name, const std::function<void()>& show) {
        static const char* const LANGUAGES[] = {"en", "da", "cs", "nl"};
        useCatalogues();
        for (uint8_t language = 0; language < 4; ++language) {
            speak(language);
            show();
            const std::string picture = language == 0 ? name : name + "_" + LANGUAGES[language];
            expectNoLabelCut(picture);
            expectTranslated(picture);
            screenshot(picture);
        }
        speak(0);
    }

private:
    bool mResourcesReplaced = false;
};

// The simulated control unit's installation, for the screenshots a person looks at.
using DefaultInstallationTest = FormsTest;

} // namespace tdx::test
