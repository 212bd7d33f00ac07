// The editors a user types and picks with: the edit box's caret over multi-byte letters, the on-screen
// keyboard by taps, host keys and characters in three languages, and the date picker's steps and limits.
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/DatePicker.h"
#include "SourceApp/application/controls/EditBox.h"
#include "SourceApp/application/controls/KeyboardEditor.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "tests/support/screen_harness.h"

#include <map>

namespace tdx::test {
namespace {

class EditorTest : public ScreenHarness {
protected:
    void SetUp() override {
        ScreenHarness::SetUp();
        form = blank();
    }
    void TearDown() override {
        i18n_set_provider(nullptr);
        ScreenHarness::TearDown();
    }
    Form* form = nullptr;
};

TEST_F(EditorTest, TheEditBoxCaretCountsCharactersNotBytesAndStaysWithinTheText) {
    auto* edit = new EditBox(form, 20, 20, 267, 22, &bif_myriad12, "Kůň");
    EXPECT_EQ(edit->getCaretPosition(), 3u) << "the caret starts behind the text";
    const struct {
        int caret; // -1: where it is
        const char* insert;
        int deleteCount;
        int direction;
        const char* text;
        unsigned caretAfter;
    } steps[] = {
        {2, "ř", 0, 0, "Kůřň", 3},   {-1, "", 1, -1, "Kůň", 2}, {-1, "", 1, 1, "Ků", 2},
        {100, "", 10, 1, "Ků", 2},   {-1, "", 10, -1, "", 0},   {-1, "", 1, -1, "", 0},
        {-1, "Ærø", 0, 0, "Ærø", 3}, {0, "Æ", 0, 0, "ÆÆrø", 1},
    };
    for (const auto& s : steps) {
        if (s.caret >= 0) {
            edit->setCaretPosition(static_cast<unsigned>(s.caret));
        }
        edit->appendTextToCaret(s.insert);
        if (s.deleteCount > 0) {
            edit->deleteFromCaret(s.deleteCount, s.direction);
        }
        EXPECT_EQ(edit->getText(), s.text);
        EXPECT_EQ(edit->getCaretPosition(), s.caretAfter) << s.text;
    }
}

TEST_F(EditorTest, TheEditBoxKeepsTheCaretInView) {
    auto* edit = new EditBox(form, 20, 20, 100, 22, &bif_myriad12, "");
    runTasks();
    EXPECT_EQ(at(20, 20), 0x808080u);
    EXPECT_EQ(at(21, 21), 0xFFFFFFu);
    EXPECT_GT(countNear(Box(24, 21, 1, 20), 0x000000), 8) << "the caret at the inner left edge";
    edit->appendTextToCaret("A long serial number 0123456789");
    runTasks();
    EXPECT_GT(countNear(Box(112, 21, 4, 20), 0x000000), 8) << "the caret at the right end";
    EXPECT_EQ(inked(Box::fromCorners(0, 0, 319, 19), 0xFFFFFF), 0) << "nothing drawn outside";
    EXPECT_EQ(inked(Box::fromCorners(120, 0, 319, 239), 0xFFFFFF), 0);
}

class KeyboardTest : public EditorTest {
protected:
    void openKeyboard(const std::string& text) {
        keyboard = new KeyboardEditor(form, 21, 40, text);
        runTasks();
    }
    // Taps keys by their label; "national", "shift", "space", "backspace", "enter" and "escape" by their
    // code.
    void type(std::initializer_list<std::string> labels) {
        static const std::map<std::string, unsigned> named = {{"national", KeyboardEditor::KEY_NATIONAL},
                                                              {"shift", KeyboardEditor::KEY_SHIFT},
                                                              {"space", ' '},
                                                              {"backspace", KeyboardEditor::KEY_BACKSPACE},
                                                              {"enter", KeyboardEditor::KEY_ENTER},
                                                              {"escape", KeyboardEditor::KEY_ESCAPE}};
        for (const std::string& label : labels) {
            auto it = named.find(label);
            Component* key = it != named.end() ? findByTag(it->second) : findByText(label);
            ASSERT_NE(key, nullptr) << label;
            tap(key);
        }
    }
    void host(int code) {
        mCore.sendMessage(nullptr, MSG_KEY, code, 0, 0, 0);
        runTasks(2);
    }
    KeyboardEditor* keyboard = nullptr;
};

TEST_F(KeyboardTest, TypingOnScreenWithShiftSymbolsAndTheDecidingKeys) {
    openKeyboard("");
    Component* shift = findByTag(KeyboardEditor::KEY_SHIFT);
    type({"h", "i", "space", "shift", "J", "o", "4", "backspace"});
    EXPECT_EQ(keyboard->getString(), "hi Jo") << "shift holds for one letter";
    type({"?123"});
    EXPECT_EQ(countNear(shift->getBoundingBox(), 0x000000), 0) << "Shift greyed among the symbols";
    type({"shift", "%", "'"});
    EXPECT_EQ(keyboard->getString(), "hi Jo%'") << "symbols have no capitals; % and ' are characters";
    type({"abc"});
    EXPECT_GT(countNear(shift->getBoundingBox(), 0x000000), 5) << "Shift back in black with the letters";
    type({"x"});
    EXPECT_EQ(keyboard->getString(), "hi Jo%'x");
    EXPECT_EQ(messages(MSG_OK) + messages(MSG_CANCEL), 0);
    type({"enter", "escape"});
    EXPECT_EQ(messages(MSG_OK, keyboard), 1);
    EXPECT_EQ(messages(MSG_CANCEL, keyboard), 1);
}

TEST_F(KeyboardTest, HostKeysTypeMoveTheCaretAndDecide) {
    openKeyboard("Pokoj");
    // Added after the keyboard, it hears what the keyboard lets through.
    struct Behind : Component {
        explicit Behind(Container* parent)
            : Component(parent, 0, 0, 1, 1) {}
        void handleMessage(Message* m) override { keys += m->id == MSG_KEY; }
        int keys = 0;
    }* behind = new Behind(form);
    const int left = KeyboardEditor::KEY_LEFT, right = KeyboardEditor::KEY_RIGHT;
    for (int code : {int{'1'}, left, left, int{'X'}, right, right, right, int{KeyboardEditor::KEY_BACKSPACE},
                     0x01, 0x1F6}) {
        host(code);
    }
    EXPECT_EQ(keyboard->getString(), "PokoXj")
        << "beyond the end the caret stays; no character, no key: ignored";
    EXPECT_NE(trace().find("key code 502 ignored"), std::string::npos);
    EXPECT_EQ(behind->keys, 0) << "the keyboard takes the keys";
    host(KeyboardEditor::KEY_ENTER);
    host(KeyboardEditor::KEY_ESCAPE);
    EXPECT_EQ(messages(MSG_OK, keyboard), 1);
    EXPECT_EQ(messages(MSG_CANCEL, keyboard), 1);
}

TEST_F(KeyboardTest, ANationalKeyOffersTheLettersOfTheLanguageInUse) {
    const struct {
        uint8_t language;
        std::initializer_list<std::string> keys;
        std::string typed;
    } cases[] = {
        {2, {"k", "u", "c", "h", "y", "n", "national", "ě"}, "kuchyně"},
        {2, {"national", "shift", "Ř", "ž"}, "Řž"},
        {1, {"k", "national", "ø", "national", "k", "k", "e", "n"}, "køkken"},
        {3, {"national", "shift", "Ĳ", "national", "s", "e", "l"}, "Ĳsel"},
    };
    for (const auto& c : cases) {
        speak(c.language);
        openKeyboard("");
        type(c.keys);
        EXPECT_EQ(keyboard->getString(), c.typed);
        keyboard->close();
        runTasks();
    }
}

TEST_F(KeyboardTest, HostCharactersAreTypedWhenTheFontHasThemAndTheLengthIsInBytes) {
    openKeyboard("K");
    for (char32_t c :
         {U'\u00F8', U'\u011B', U'\u20AC', U'\u4E2D', U'\U0001F600', char32_t{0x07}, char32_t{0xD800}}) {
        mCore.sendCharacter(c);
        runTasks(2);
    }
    EXPECT_EQ(keyboard->getString(), "Køě€") << "no glyph for a Chinese letter or an emoji";
    EXPECT_NE(trace().find("U+4E2D has no glyph"), std::string::npos);
    EXPECT_NE(trace().find("character U+0007 refused"), std::string::npos);
    keyboard->setMaxLength(9);
    mCore.sendCharacter(U'\u0159');
    runTasks(2);
    host('c');
    type({"q"});
    EXPECT_EQ(keyboard->getString(), "Køě€c") << "ř would make 10 bytes of 9; c makes 9";
}

class DatePickerTest : public EditorTest {
protected:
    void openPicker(const Date& date) {
        delete picker;
        picker = new DatePicker(form, 60, 60, date);
        runTasks();
    }
    // Day, month, year: the arrows above and below each column.
    void up(int column) { tap(60 + 41 * (column + 1) + 20, 60 + 13); }
    void down(int column) { tap(60 + 41 * (column + 1) + 20, 60 + 54 + 13); }
    std::string shown() const {
        std::string s;
        for (Component* c : picker->getChildren())
            if (auto* l = dynamic_cast<ContainedLabel*>(c))
                s += (s.empty() ? "" : ".") + l->getText();
        return s;
    }
    DatePicker* picker = nullptr;
};

TEST_F(DatePickerTest, StepsFollowTheCalendarAndKeepTheTimeOfDay) {
    const Date start(1706659200 + 5400, 3600); // 31 January 2024, 01:30 UTC
    openPicker(start);
    EXPECT_EQ(shown(), "31.01.2024");
    const struct {
        int column;
        int step;
        const char* shows;
    } steps[] = {{1, 1, "29.02.2024"},  {2, 1, "28.02.2025"},  {0, 1, "01.03.2025"},
                 {0, -1, "28.02.2025"}, {1, -1, "28.01.2025"}, {2, -1, "28.01.2024"}};
    for (const auto& s : steps) {
        s.step > 0 ? up(s.column) : down(s.column);
        EXPECT_EQ(shown(), s.shows);
    }
    EXPECT_EQ(picker->getDate().getHours(), start.getHours());
    EXPECT_EQ(picker->getDate().getMinutes(), start.getMinutes());
    EXPECT_EQ(picker->getDate().getLocalTimeOffset(), 3600);
    openPicker(Date(31, 11, 2025));
    up(0);
    EXPECT_EQ(shown(), "01.01.2026") << "a day step carries into the next year";
    EXPECT_EQ(picker->getDate().getYear(), 2026);
}

TEST_F(DatePickerTest, LimitsHoldUnlessTheyContradict) {
    openPicker(Date(15, 5, 2026));
    picker->setMinimum(Date(10, 5, 2026));
    picker->setMaximum(Date(20, 6, 2026));
    for (int i = 0; i < 7; ++i)
        down(0);
    EXPECT_EQ(shown(), "10.06.2026");
    up(2);
    EXPECT_EQ(shown(), "20.07.2026") << "a year step stops at the maximum";
    picker->setDate(Date(1, 0, 2030));
    EXPECT_EQ(shown(), "20.07.2026");
    picker->setMinimum(Date(1, 0, 2027)); // after the maximum: limits ignored
    picker->setDate(Date(1, 0, 2030));
    up(2);
    EXPECT_EQ(shown(), "01.01.2031");
}

TEST_F(DatePickerTest, DatesFarBeyondTheCalendarStepBackIntoIt) {
    const time_t billionYears = static_cast<time_t>(31'557'600) * 1'000'000'000; // from a corrupt timestamp
    openPicker(Date(billionYears, 0));
    up(1);
    EXPECT_EQ(picker->getDate().getYear(), 9999) << "a month step lands in the last year the picker shows";
    EXPECT_EQ(picker->getDate().getMonth(), 11);
    openPicker(Date(-billionYears, 0));
    down(2);
    EXPECT_EQ(picker->getDate().getYear(), 1);
    EXPECT_EQ(picker->getDate().getMonth(), 0);
}

TEST_F(DatePickerTest, HoldingAnArrowRepeatsAndTheButtonsDecide) {
    openPicker(Date(1, 2, 2026));
    press(60 + 41 + 20, 70);
    tick(14);
    release();
    EXPECT_EQ(shown(), "04.03.2026");
    tap(65, 100);
    EXPECT_EQ(messages(MSG_CANCEL, picker), 1);
    tap(60 + 203 - 5, 100);
    EXPECT_EQ(messages(MSG_OK, picker), 1);
}

TEST_F(DatePickerTest, TodayIsTheLocalDateOfTheSystemClock) {
    const struct {
        bool newYearsEve;
        const char* shows;
    } cases[] = {{false, "04.03.2026"}, {true, "01.01.2027"}};
    for (const auto& c : cases) {
        if (c.newYearsEve) {
            // 23:30 UTC on New Year's Eve is already New Year's Day one hour east of Greenwich.
            widgets_set_local_time(
                [] { return Date(Date(31, 11, 2026).getTimestamp() + 23 * 3600 + 1800, 3600); });
        }
        delete picker;
        picker = new DatePicker(form, 60, 60);
        runTasks();
        EXPECT_EQ(shown(), c.shows);
    }
    EXPECT_EQ(picker->getDate().getHours(), 0);
    EXPECT_EQ(picker->getDate().getMinutes(), 30);
    EXPECT_EQ(picker->getDate().getLocalTimeOffset(), 3600);
}

TEST_F(DatePickerTest, LongTranslationsOfCancelRunUpTheirColumnUncut) {
    const Box cancel(60, 60, 40, 80);
    const Box ok(60 + 164, 60, 40, 80);
    openPicker(Date(1, 0, 2026));
    const Box english = inkIn(cancel, 0xCCCCCC);
    EXPECT_GT(english.getWidth(), english.getHeight()) << "\"Cancel\" fits across its column";

    i18n_set_provider(
        [](const char*, const char* id) { return std::string_view(id) == "Cancel" ? "Annuleren" : id; });
    openPicker(Date(1, 0, 2026));
    const Box turned = inkIn(cancel, 0xCCCCCC);
    EXPECT_GT(turned.getHeight(), 45) << "the whole word runs up the column";
    EXPECT_LT(turned.getWidth(), 20);
    EXPECT_TRUE(turned.x1 > cancel.x1 && turned.x2 < cancel.x2 && turned.y1 > cancel.y1 &&
                turned.y2 < cancel.y2)
        << "nothing cut at the column's sides or ends";
    const Box okInk = inkIn(ok, 0xCCCCCC);
    EXPECT_GT(okInk.getWidth(), okInk.getHeight()) << "\"OK\" stays across";
    press(70, 100);
    EXPECT_EQ(at(cancel.x1, cancel.y1), 0x808080u) << "pressed, the turned button darkens like every button";
    release();
    EXPECT_EQ(messages(MSG_CANCEL, picker), 1);
}

} // namespace
} // namespace tdx::test
