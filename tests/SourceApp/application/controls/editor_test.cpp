#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/DatePicker.h"
#include "SourceApp/application/controls/EditBox.h"
#include "SourceApp/application/controls/KeyboardEditor.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "widget_fixture.h"

namespace tdx::test {
namespace {

using EditorTest = WidgetTest;

TEST_F(EditorTest, EditBoxCaretCountsCharactersNotBytes) {
    auto* edit = new EditBox(form(), 20, 20, 267, 22, &bif_myriad12, "Kůň");
    EXPECT_EQ(edit->getText().size(), 5u);
    EXPECT_EQ(edit->getCaretPosition(), 3u) << "the caret starts behind the text";
    edit->setCaretPosition(2);
    edit->appendTextToCaret("ř");
    EXPECT_EQ(edit->getText(), "Kůřň");
    EXPECT_EQ(edit->getCaretPosition(), 3u) << "behind the insertion";
    edit->deleteFromCaret(1, -1);
    EXPECT_EQ(edit->getText(), "Kůň");
    EXPECT_EQ(edit->getCaretPosition(), 2u);
    edit->deleteFromCaret(1, 1);
    EXPECT_EQ(edit->getText(), "Ků");
    EXPECT_EQ(edit->getCaretPosition(), 2u);

    // Beyond the ends: clamped, never a broken character.
    edit->setCaretPosition(100);
    EXPECT_EQ(edit->getCaretPosition(), 2u);
    edit->deleteFromCaret(10, 1);
    EXPECT_EQ(edit->getText(), "Ků");
    edit->deleteFromCaret(10, -1);
    EXPECT_EQ(edit->getText(), "");
    EXPECT_EQ(edit->getCaretPosition(), 0u);
    edit->deleteFromCaret(1, -1); // nothing at position 0
    EXPECT_EQ(edit->getText(), "");
    edit->appendTextToCaret("");
    EXPECT_EQ(edit->getCaretPosition(), 0u);
    edit->appendTextToCaret("Ærø");
    EXPECT_EQ(edit->getCaretPosition(), 3u);
    edit->setCaretPosition(0);
    edit->appendTextToCaret("Æ");
    EXPECT_EQ(edit->getText(), "ÆÆrø");
    EXPECT_EQ(edit->getCaretPosition(), 1u);
}

TEST_F(EditorTest, EditBoxKeepsTheCaretInView) {
    auto* edit = new EditBox(form(), 20, 20, 100, 22, &bif_myriad12, "");
    pass();
    EXPECT_EQ(at(20, 20), 0x808080u);
    EXPECT_EQ(at(21, 21), 0xFFFFFFu);
    // The caret: one dark column at the inner left edge.
    EXPECT_GT(count_near(Box(24, 21, 1, 20), 0x000000), 8);
    edit->appendTextToCaret("A long serial number 0123456789");
    pass();
    EXPECT_GT(count_near(Box(112, 21, 4, 20), 0x000000), 8) << "caret at the right end";
    EXPECT_EQ(inked(Box::fromCorners(0, 0, 319, 19), 0xFFFFFF), 0) << "nothing drawn outside";
    EXPECT_EQ(inked(Box::fromCorners(120, 0, 319, 239), 0xFFFFFF), 0);
}

class KeyboardTest : public WidgetTest {
protected:
    void open(const std::string& text) {
        mKeyboard = new KeyboardEditor(form(), 21, 40, text);
        pass();
    }
    // The key showing `label` (characters and named keys).
    Component* key(const std::string& label) const {
        for (Component* c : mKeyboard->getChildren())
            if (auto* b = dynamic_cast<Button*>(c); b != nullptr && b->getText() == label)
                return b;
        return nullptr;
    }
    Component* keyWithCode(unsigned code) const {
        for (Component* c : mKeyboard->getChildren())
            if (c->tag == code)
                return c;
        return nullptr;
    }
    void hit(Component* c) {
        ASSERT_NE(c, nullptr);
        tap(c->getLeft() + c->getWidth() / 2, c->getTop() + c->getHeight() / 2);
    }
    void host(int code) {
        mCore.sendMessage(nullptr, MSG_KEY, code, 0, 0, 0);
        pass(2);
    }
    KeyboardEditor* mKeyboard = nullptr;
};

TEST_F(KeyboardTest, TypingOnScreen) {
    open("");
    EXPECT_EQ(mKeyboard->getBoundingBox(), Box(21, 40, 277, 154));
    hit(key("h"));
    hit(key("i"));
    hit(keyWithCode(' '));
    hit(keyWithCode(KeyboardEditor::KEY_SHIFT)); // shift
    EXPECT_TRUE(mKeyboard->isShifted());
    hit(key("J"));
    EXPECT_FALSE(mKeyboard->isShifted()) << "shift holds for one letter";
    hit(key("o"));
    hit(key("4"));
    EXPECT_EQ(mKeyboard->getString(), "hi Jo4");
    hit(keyWithCode(KeyboardEditor::KEY_BACKSPACE));
    EXPECT_EQ(mKeyboard->getString(), "hi Jo");
    hit(key("?123"));
    EXPECT_EQ(mKeyboard->getPage(), KeyboardEditor::Page::Symbols);
    Component* shift = keyWithCode(KeyboardEditor::KEY_SHIFT);
    EXPECT_EQ(count_near(shift->getBoundingBox(), 0x000000), 0) << "Shift greyed among the symbols";
    hit(shift);
    EXPECT_FALSE(mKeyboard->isShifted()) << "symbols have no capitals";
    hit(key("%"));
    hit(key("'"));
    EXPECT_EQ(mKeyboard->getString(), "hi Jo%'") << "on screen, % and ' are characters";
    hit(key("abc"));
    EXPECT_GT(count_near(shift->getBoundingBox(), 0x000000), 5) << "Shift back in black with the letters";
    hit(key("x"));
    EXPECT_EQ(mKeyboard->getString(), "hi Jo%'x");
    EXPECT_EQ(count(MSG_OK) + count(MSG_CANCEL), 0);

    hit(keyWithCode(KeyboardEditor::KEY_ENTER));
    const Seen* ok = last(MSG_OK);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->source, mKeyboard);
    hit(keyWithCode(KeyboardEditor::KEY_ESCAPE));
    ASSERT_NE(last(MSG_CANCEL), nullptr);
    EXPECT_EQ(last(MSG_CANCEL)->source, mKeyboard);
}

TEST_F(KeyboardTest, HostKeysTypeMoveTheCaretAndDecide) {
    open("Pokoj");
    SeenLog behind;
    new Listener(form(), "behind", behind);
    host('1');
    EXPECT_EQ(mKeyboard->getString(), "Pokoj1");
    host(KeyboardEditor::KEY_LEFT);
    host(KeyboardEditor::KEY_LEFT);
    host('X');
    EXPECT_EQ(mKeyboard->getString(), "PokoXj1");
    host(KeyboardEditor::KEY_RIGHT);
    host(KeyboardEditor::KEY_RIGHT);
    host(KeyboardEditor::KEY_RIGHT); // beyond the end: stays there
    host(KeyboardEditor::KEY_BACKSPACE);
    EXPECT_EQ(mKeyboard->getString(), "PokoXj");
    host(0x01);  // no printable character: ignored
    host(0x1F6); // no key at all
    EXPECT_EQ(mKeyboard->getString(), "PokoXj");
    EXPECT_NE(sTrace.find("key code 502 ignored"), std::string::npos);
    EXPECT_TRUE(std::none_of(behind.begin(), behind.end(), [](const Seen& s) { return s.id == MSG_KEY; }))
        << "the keyboard takes the keys";
    host(KeyboardEditor::KEY_ENTER);
    EXPECT_EQ(count(MSG_OK, mKeyboard), 1);
    host(KeyboardEditor::KEY_ESCAPE);
    EXPECT_EQ(count(MSG_CANCEL, mKeyboard), 1);
}

TEST_F(KeyboardTest, ANationalKeyOffersTheLettersOfTheLanguageInUse) {
    i18n.setResourceReader([](uint16_t id) {
        const Resource r = sResources->get(static_cast<resource_id>(id));
        return std::span<const uint8_t>(r.getData(), r.getSize());
    });
    struct Case {
        uint8_t language;
        std::vector<std::string> keys; // labels; "national" and "shift" for those keys
        std::string typed;
    };
    const Case cases[] = {
        {2, {"k", "u", "c", "h", "y", "n", "national", "ě"}, "kuchyně"},
        {2, {"national", "shift", "Ř", "ž"}, "Řž"},
        {1, {"k", "national", "ø", "national", "k", "k", "e", "n"}, "køkken"},
        {3, {"national", "shift", "Ĳ", "national", "s", "e", "l"}, "Ĳsel"},
    };
    for (const Case& c : cases) {
        i18n.switchLanguage(c.language);
        open("");
        for (const std::string& label : c.keys) {
            hit(label == "national" ? keyWithCode(KeyboardEditor::KEY_NATIONAL)
                : label == "shift"  ? keyWithCode(KeyboardEditor::KEY_SHIFT)
                                    : key(label));
        }
        EXPECT_EQ(mKeyboard->getString(), c.typed);
        mKeyboard->close();
        pass();
    }
    i18n.switchLanguage(0);
    i18n.setResourceReader(nullptr);
}

TEST_F(KeyboardTest, HostCharactersAreTypedWhenTheFontHasThem) {
    open("K");
    for (char32_t c :
         {U'\u00F8', U'\u011B', U'\u20AC', U'\u4E2D', U'\U0001F600', char32_t{0x07}, char32_t{0xD800}}) {
        mCore.sendCharacter(c);
        pass(2);
    }
    EXPECT_EQ(mKeyboard->getString(), "Køě€") << "no glyph for a Chinese letter or an emoji";
    EXPECT_NE(sTrace.find("U+4E2D has no glyph"), std::string::npos);
    EXPECT_NE(sTrace.find("character U+0007 refused"), std::string::npos);
    mKeyboard->setMaxLength(9);
    mCore.sendCharacter(U'\u0159');
    pass(2);
    EXPECT_EQ(mKeyboard->getString(), "Køě€") << "ř would make 10 bytes of 9";
}

TEST_F(KeyboardTest, MaximumLengthInBytes) {
    open("ab");
    mKeyboard->setMaxLength(4);
    host('c');
    host('d');
    host('e');
    EXPECT_EQ(mKeyboard->getString(), "abcd");
    hit(key("q"));
    EXPECT_EQ(mKeyboard->getString(), "abcd");
}

class DatePickerTest : public WidgetTest {
protected:
    void open(const Date& date) {
        delete mPicker;
        mPicker = new DatePicker(form(), 60, 60, date);
        pass();
    }
    void up(int column) { tap(60 + 41 * (column + 1) + 20, 60 + 13); }
    void down(int column) { tap(60 + 41 * (column + 1) + 20, 60 + 54 + 13); }
    std::string shown() const {
        std::string s;
        for (Component* c : mPicker->getChildren())
            if (auto* l = dynamic_cast<ContainedLabel*>(c))
                s += (s.empty() ? "" : ".") + l->getText();
        return s;
    }
    DatePicker* mPicker = nullptr;
    // The box around the pixels in `area` that differ from `ground`.
    static Box ink_in(const Box& area, unsigned ground) {
        Box r = Box::fromCorners(1000, 1000, -1, -1);
        for (int y = area.y1; y <= area.y2; ++y)
            for (int x = area.x1; x <= area.x2; ++x)
                if (at(x, y) != ground)
                    r = Box::fromCorners(std::min(r.x1, x), std::min(r.y1, y), std::max(r.x2, x),
                                         std::max(r.y2, y));
        return r;
    }
};

TEST_F(DatePickerTest, StepsFollowTheCalendar) {
    open(Date(31, 0, 2024)); // 31 January 2024
    EXPECT_EQ(mPicker->getBoundingBox(), Box(60, 60, 204, 80));
    EXPECT_EQ(shown(), "31.01.2024");
    up(1); // month: February has 29 days in 2024
    EXPECT_EQ(shown(), "29.02.2024");
    up(2); // year: 2025 has no 29 February
    EXPECT_EQ(shown(), "28.02.2025");
    up(0); // day: carries into March
    EXPECT_EQ(shown(), "01.03.2025");
    down(0);
    down(1);
    EXPECT_EQ(shown(), "28.01.2025");
    down(2);
    EXPECT_EQ(shown(), "28.01.2024");
    open(Date(31, 11, 2025));
    up(0);
    EXPECT_EQ(shown(), "01.01.2026") << "a day step carries into the next year";
    const Date d = mPicker->getDate();
    EXPECT_EQ(d.getDay(), 1);
    EXPECT_EQ(d.getMonth(), 0);
    EXPECT_EQ(d.getYear(), 2026);
}

TEST_F(DatePickerTest, KeepsTimeOfDayAndOffset) {
    Date start(1700000000, 3600);
    open(start);
    up(1);
    const Date d = mPicker->getDate();
    EXPECT_EQ(d.getHours(), start.getHours());
    EXPECT_EQ(d.getMinutes(), start.getMinutes());
    EXPECT_EQ(d.getLocalTimeOffset(), 3600);
}

TEST_F(DatePickerTest, LimitsHoldUnlessTheyContradict) {
    open(Date(15, 5, 2026));
    mPicker->setMinimum(Date(10, 5, 2026));
    mPicker->setMaximum(Date(20, 6, 2026));
    for (int i = 0; i < 7; ++i)
        down(0);
    EXPECT_EQ(shown(), "10.06.2026");
    up(2);
    EXPECT_EQ(shown(), "20.07.2026") << "a year step stops at the maximum";
    mPicker->setDate(Date(1, 0, 2030));
    EXPECT_EQ(shown(), "20.07.2026");
    mPicker->setMinimum(Date(1, 0, 2027)); // after the maximum: limits ignored
    mPicker->setDate(Date(1, 0, 2030));
    EXPECT_EQ(shown(), "01.01.2030");
    up(2);
    EXPECT_EQ(shown(), "01.01.2031");
}

TEST_F(DatePickerTest, DatesFarBeyondTheCalendarStepBackIntoIt) {
    // A date from a corrupt timestamp: a billion years ahead.
    open(Date(static_cast<time_t>(31'557'600) * 1'000'000'000, 0));
    up(1);
    EXPECT_EQ(mPicker->getDate().getYear(), 9999) << "a month step lands in the last year the picker shows";
    EXPECT_EQ(mPicker->getDate().getMonth(), 11);
    open(Date(-static_cast<time_t>(31'557'600) * 1'000'000'000, 0));
    down(2);
    EXPECT_EQ(mPicker->getDate().getYear(), 1);
    EXPECT_EQ(mPicker->getDate().getMonth(), 0);
}

TEST_F(DatePickerTest, HoldingAnArrowRepeatsAndTheButtonsDecide) {
    open(Date(1, 2, 2026));
    touch(EVENT_TOUCH_PRESS, 60 + 41 + 20, 70);
    pass();
    touch(EVENT_TOUCH_HOLD, 60 + 41 + 20, 70);
    pass();
    touch(EVENT_TOUCH_HOLD, 60 + 41 + 20, 70);
    pass();
    touch(EVENT_TOUCH_RELEASE, 60 + 41 + 20, 70);
    pass();
    EXPECT_EQ(shown(), "04.03.2026");
    tap(65, 100);
    EXPECT_EQ(count(MSG_CANCEL, mPicker), 1);
    tap(60 + 203 - 5, 100);
    EXPECT_EQ(count(MSG_OK, mPicker), 1);
}

TEST_F(DatePickerTest, TodayFromTheWallClock) {
    auto* picker = new DatePicker(form(), 0, 0);
    const Date now(static_cast<time_t>(os_time()), 0);
    EXPECT_EQ(picker->getDate().getDay(), now.getDay());
    EXPECT_EQ(picker->getDate().getYear(), now.getYear());
}

TEST_F(DatePickerTest, TodayIsTheLocalDateOfTheSystemClock) {
    // 23:30 UTC on New Year's Eve is already New Year's Day one hour east of Greenwich.
    widgets_set_local_time([] { return Date(Date(31, 11, 2026).getTimestamp() + 23 * 3600 + 1800, 3600); });
    delete mPicker;
    mPicker = new DatePicker(form(), 60, 60);
    pass();
    EXPECT_EQ(shown(), "01.01.2027");
    EXPECT_EQ(mPicker->getDate().getHours(), 0);
    EXPECT_EQ(mPicker->getDate().getMinutes(), 30);
    EXPECT_EQ(mPicker->getDate().getLocalTimeOffset(), 3600);
}

TEST_F(DatePickerTest, LongTranslationsOfCancelRunUpTheirColumnUncut) {
    const Box cancel(60, 60, 40, 80);
    const Box ok(60 + 164, 60, 40, 80);
    open(Date(1, 0, 2026));
    const Box english = ink_in(cancel, 0xCCCCCC);
    EXPECT_GT(english.getWidth(), english.getHeight()) << "\"Cancel\" fits across its column";

    static const char* dutch = "Annuleren"; // far wider than the column even in the small font
    i18n_set_provider(
        [](const char*, const char* id) { return std::string_view(id) == "Cancel" ? dutch : id; });
    open(Date(1, 0, 2026));
    const Box turned = ink_in(cancel, 0xCCCCCC);
    EXPECT_GT(turned.getHeight(), 45) << "the whole word runs up the column";
    EXPECT_LT(turned.getWidth(), 20);
    EXPECT_GT(turned.x1, cancel.x1) << "nothing cut at the column's sides or ends";
    EXPECT_LT(turned.x2, cancel.x2);
    EXPECT_GT(turned.y1, cancel.y1);
    EXPECT_LT(turned.y2, cancel.y2);
    const Box okInk = ink_in(ok, 0xCCCCCC);
    EXPECT_GT(okInk.getWidth(), okInk.getHeight()) << "\"OK\" stays across";

    // Pressed, the turned button darkens like every button.
    touch(EVENT_TOUCH_PRESS, 70, 100);
    pass();
    EXPECT_EQ(at(cancel.x1, cancel.y1), 0x808080u);
    touch(EVENT_TOUCH_RELEASE, 70, 100);
    pass(2);
    EXPECT_EQ(count(MSG_CANCEL, mPicker), 1);
}

} // namespace
} // namespace tdx::test
