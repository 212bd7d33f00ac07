// Date and time: a date or time accepted on the screen sets the clock and sends it to the control unit once;
// daylight saving switched by the user moves the clock in summer only, switched by the control unit not at
// all.
#include "Libraries/base/bytes.h"
#include "Libraries/base/os.h"
#include "Libraries/base/timestamp.h"
#include "Libraries/link_bus/tnet_packet.h"
#include "SourceApp/application/commands/bindings/ProxySwitchButton.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/storage/net/TaviProtocol.h"
#include "SourceApp/system/SystemMgr.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <vector>

namespace tdx::test {
namespace {

constexpr unsigned DATE_TIME = 24;
constexpr int64_t SUMMER = 1782907200;     // 2026-07-01 12:00 UTC
constexpr int64_t MARCH_10 = 1773144000;   // 2026-03-10 12:00 UTC
constexpr int64_t NOVEMBER_1 = 1793534400; // 2026-11-01 12:00 UTC
constexpr vid_t VID_DAYLIGHT_SAVING = SystemMgr::VID_DAYLIGHT_SAVING;

class DateTimeTest : public FormsTest {
protected:
    // Central European time, daylight saving on or off, connected; what the connection queued is sent.
    void given(int64_t utc, bool daylightSaving) {
        setTime(utc);
        location()
            .value(SystemMgr::VID_LOCAL_TIME_OFFSET, BT_VTYPE_S32, 3600)
            .value(VID_DAYLIGHT_SAVING, BT_VTYPE_U8, daylightSaving ? 1 : 0);
        connect();
        runTasks();
        timesSent();
        published();
        mPublishedBefore = published().size();
    }
    // The times the display sent the control unit since the last call; the values it publishes are kept for
    // published().
    std::vector<int64_t> timesSent() {
        published();
        std::vector<int64_t> sent;
        uint8_t cmd = 0;
        uint8_t payload[64];
        while (Net::Tavi.handleTransmit(&cmd, payload, sizeof payload) >= 0) {
            Net::Tavi.handleTransmitted(cmd);
            if (cmd == TNET_CMD_SYNC_TIME) {
                sent.push_back(static_cast<int64_t>(get_le32(payload)) + NETWORK_TIME_OFFSET);
            }
        }
        return sent;
    }
    Published publishedSince() {
        const Published& all = published();
        return Published(all.begin() + static_cast<std::ptrdiff_t>(mPublishedBefore), all.end());
    }
    // Opens the row's picker, taps its first arrow and accepts.
    template <class Row>
    void stepFirstArrow() {
        const Row* row = find<Row>();
        auto inRow = [this, row] {
            std::vector<IconButton*> buttons;
            for (IconButton* b : findAll<IconButton>()) {
                if (b->isChildOf(row)) {
                    buttons.push_back(b);
                }
            }
            return buttons;
        };
        tap(inRow().at(0));
        tap(inRow().at(1));
        tap(findByText("OK"));
    }
    std::string explanation() const { return find<TextFrame>()->getText(); }

    size_t mPublishedBefore = 0;
};

TEST_F(DateTimeTest, AnAcceptedDateOrTimeMovesTheClockByWhatWasPickedAndSendsItOnce) {
    given(START_TIME, false);
    open(DATE_TIME);
    stepFirstArrow<EditableDatePickerRow>(); // the day up
    EXPECT_EQ(os_time(), START_TIME + 86400) << "the time of day stays";
    EXPECT_EQ(timesSent(), std::vector<int64_t>{START_TIME + 86400});

    stepFirstArrow<EditableTimePickerRow>(); // the hour up
    EXPECT_EQ(os_time(), START_TIME + 86400 + 3600) << "the date stays";
    EXPECT_EQ(timesSent(), std::vector<int64_t>{START_TIME + 86400 + 3600});
}

TEST_F(DateTimeTest, TheUsersDaylightSavingSwitchMovesTheClockInSummerOnly) {
    const struct {
        const char* what;
        int64_t now;
        bool before;
        int64_t shift;
    } cases[] = {
        {"on in summer", SUMMER, false, -3600},
        {"off in summer", SUMMER, true, +3600},
        {"on in winter", START_TIME, false, 0},
        {"off in winter", START_TIME, true, 0},
    };
    for (const auto& c : cases) {
        given(c.now, c.before);
        open(DATE_TIME);
        const int64_t before = os_time();
        tap(find<ProxySwitchButton>());
        runTasks();
        EXPECT_EQ(find<ProxySwitchButton>()->getChecked(), !c.before) << c.what;
        EXPECT_EQ(os_time() - before, c.shift) << c.what;
        EXPECT_EQ(timesSent().size(), c.shift != 0 ? 1u : 0u) << c.what;
        EXPECT_EQ(publishedSince(), (Published{{OID_LOCATION, VID_DAYLIGHT_SAVING, c.before ? 0 : 1}}))
            << c.what;
        EXPECT_EQ(getApplication()->getSystemManager()->isDaylightSavingsEnabled(), !c.before) << c.what;
    }
}

TEST_F(DateTimeTest, ASwitchByTheControlUnitMovesOnlyTheSwitch) {
    for (const bool on : {true, false}) {
        given(SUMMER, !on);
        open(DATE_TIME);
        const int64_t before = os_time();
        receive(OID_LOCATION, VID_DAYLIGHT_SAVING, on ? 1 : 0);
        runTasks(2);
        EXPECT_EQ(find<ProxySwitchButton>()->getChecked(), on);
        EXPECT_EQ(os_time(), before);
        EXPECT_TRUE(timesSent().empty());
        EXPECT_TRUE(publishedSince().empty());
    }
}

TEST_F(DateTimeTest, TheExplanationNamesTheNextChangeOfTheClock) {
    const struct {
        int64_t now;
        bool daylightSaving;
        const char* text;
    } cases[] = {
        {MARCH_10, false, "Daylight Saving Time is not observed."},
        {MARCH_10, true,
         "Daylight Saving Time begins on March 29 2026 at 02:00. The clock is set to go forward 1 hour at "
         "that "
         "time."},
        {SUMMER, true,
         "Daylight Saving Time ends on October 25 2026 at 02:00. The clock is set to go back 1 hour at that "
         "time."},
        {NOVEMBER_1, true,
         "Daylight Saving Time begins on March 28 2027 at 02:00. The clock is set to go forward 1 hour at "
         "that "
         "time."},
    };
    for (const auto& c : cases) {
        given(c.now, c.daylightSaving);
        open(DATE_TIME);
        EXPECT_EQ(explanation(), c.text);
    }
    // Without the setting the switch is off and nothing is observed.
    ObjectBuilder(OID_LOCATION).invalid(VID_DAYLIGHT_SAVING);
    runTasks();
    open(DATE_TIME);
    EXPECT_FALSE(find<ProxySwitchButton>()->getChecked());
    EXPECT_EQ(explanation(), "Daylight Saving Time is not observed.");
}

// The explanation in every language, for a person to look at: in sight whole, with room for its last line's
// descenders.
TEST_F(DateTimeTest, TheExplanationShowsWholeInEveryLanguage) {
    given(SUMMER, true);
    picturesInEveryLanguage("FormSystemDateTime_explanation", [this] { open(DATE_TIME); });
    useCatalogues();
    for (uint8_t language = 0; language < 4; ++language) {
        speak(language);
        open(DATE_TIME);
        const TextFrame* frame = find<TextFrame>();
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->getVisibleBox(), frame->getBoundingBox()) << int{language};
        const bif_t* font = bif_myriad12.getFont();
        EXPECT_EQ(frame->getHeight(),
                  bif_lines_height(font, bif_count_lines(font, frame->getText(), frame->getWidth())))
            << int{language} << ": room for the last line's descenders";
    }
    speak(0);
}

TEST_F(DefaultInstallationTest, DateTimeScreen) {
    loadDefaultInstallation();
    runTasks();
    picturesInEveryLanguage("FormSystemDateTime", [this] { open(DATE_TIME); });
    open(DATE_TIME);
    EXPECT_NE(findByText("Display | Date & Time"), nullptr);
}

} // namespace
} // namespace tdx::test
