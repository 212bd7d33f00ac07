// The alarms screen: the active entries of the alarm manager as a user reads them, muting, and the list
// following the alarms while it is open.
#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "tests/SourceApp/application/forms/alarm_template.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <cstring>
#include <string>
#include <vector>

namespace tdx::test {
namespace {

constexpr oid_t RELAY = 0x06000316;
constexpr oid_t VALVE = 0x07000316;
constexpr oid_t LIVING_ROOM = 0x01000316;
constexpr unsigned ALARMS = 7;

class AlarmsTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        room(LIVING_ROOM).text(VID_NAME, "Living room");
        objectOf(PERIPHERAL, RELAY, BT_OBJ_OUTPUT, 7).text(VID_NAME, "Relay").value(ASSOCIATE, -1);
        objectOf(PERIPHERAL, VALVE, BT_OBJ_OUTPUT, 11).text(VID_NAME, "Valve").value(ASSOCIATE, -1);
        runTasks();
    }
    void TearDown() override {
        i18n_set_provider(nullptr);
        FormsTest::TearDown();
    }
    void report(oid_t oid, vid_t vid, int code) {
        receive(oid, vid, code);
        runTasks(3); // the manager hears of it, the screen is built again
    }
    // The text frames of the entry rows, top to bottom.
    std::vector<const TextFrame*> entries() const {
        std::vector<const TextFrame*> frames;
        for (const TextFrame* t : findAll<TextFrame>()) {
            if (t->getLeft() == 9 + 48) {
                frames.push_back(t);
            }
        }
        return frames;
    }
    std::vector<std::string> rows() const {
        std::vector<std::string> texts;
        for (const TextFrame* t : entries()) {
            texts.push_back(t->getText());
        }
        return texts;
    }
    // The warning icon left of an entry's text.
    static Box iconOf(const TextFrame* text) { return Box(9 + 8, text->getTop(), 30, text->getHeight()); }
};

TEST_F(AlarmsTest, WithoutAlarmsOnlyTheTitleAndTheNoticeShow) {
    open(ALARMS);
    EXPECT_NE(findByText("System | Alarms"), nullptr);
    EXPECT_NE(findByText("There are no active alarms"), nullptr);
    EXPECT_EQ(findByText("Mute alarm"), nullptr);
    EXPECT_EQ(countColour(Box(0, 0, 320, 30), VexalForm::ALARM_COLOR), 0);
}

TEST_F(AlarmsTest, EachEntryNamesItsObjectItsRoomAndItsAlarmInItsColour) {
    objectOf(PERIPHERAL, 0x08000316, BT_OBJ_OUTPUT, 7).text(VID_NAME, "Pump").value(ASSOCIATE, 0x0F000316);
    receive(RELAY, ASSOCIATE, static_cast<int>(LIVING_ROOM));
    report(RELAY, ALARM, 3);
    report(VALVE, WARNING, 7);
    report(VALVE, UNTITLED_ALARM, 9);
    report(0x08000316, ALARM, 5);
    open(ALARMS);
    screenshot("FormAlarms_entries");
    EXPECT_EQ(rows(),
              (std::vector<std::string>{
                  "Relay associated to Living room - Output has a problem, code 3.", "Valve - Valve stuck",
                  "Valve - 4012",                         // no texts: the value id
                  "Pump - Output has a problem, code 5.", // its room is not in the tree
              }));
    // The fourth row lies below the view.
    const unsigned colours[] = {VexalForm::ALARM_COLOR, VexalForm::WARNING_COLOR, VexalForm::ALARM_COLOR};
    for (size_t row = 0; row < std::size(colours); ++row) {
        EXPECT_TRUE(shows(iconOf(entries()[row]), colours[row])) << "row " << row;
    }

    Structure.removeObjectRemoveHandler(&alarms()); // the relay leaves without the manager hearing of it
    Structure.remove(RELAY);
    open(ALARMS);
    EXPECT_EQ(rows().size(), 3u) << "an entry without its object is left out";
}

TEST_F(AlarmsTest, MutingSilencesUntilTheNextAlarmAndStaysGreyWhileSnoozed) {
    report(RELAY, ALARM, 3);
    open(ALARMS);
    tap(findByText("Mute alarm"));
    EXPECT_TRUE(alarms().isSnoozed());
    runTasks();
    EXPECT_TRUE(shows(Box(9, 60, 90, 26), colour::DISABLED));
    report(VALVE, WARNING, 3); // a warning beside the alarm keeps the snooze
    ASSERT_EQ(rows().size(), 2u);
    EXPECT_TRUE(shows(Box(9, 60, 90, 26), colour::DISABLED)) << "still grey after the rebuild";
    press(50, 70);
    runTasks();
    EXPECT_FALSE(shows(Box(9, 60, 90, 26), colour::PRESSED)) << "a grey button takes no press";
    release();
    runTasks();

    report(RELAY, ALARM, 0);
    report(VALVE, ALARM, 3); // the next alarm ends the snooze: the button can be pressed again
    EXPECT_FALSE(alarms().isSnoozed());
    EXPECT_FALSE(shows(Box(9, 60, 90, 26), colour::DISABLED));
    tap(findByText("Mute alarm"));
    EXPECT_TRUE(alarms().isSnoozed());
}

TEST_F(AlarmsTest, TheOpenListFollowsNewChangedAndClearedAlarms) {
    report(RELAY, ALARM, 3);
    open(ALARMS);
    const struct {
        const char* step;
        oid_t oid;
        vid_t vid;
        int code;
        std::vector<std::string> rows;
    } steps[] = {
        {"a new warning",
         VALVE,
         WARNING,
         7,
         {"Relay - Output has a problem, code 3.", "Valve - Valve stuck"}},
        {"a new code", RELAY, ALARM, 7, {"Relay - Valve stuck", "Valve - Valve stuck"}},
        {"the alarm cleared", RELAY, ALARM, 0, {"Valve - Valve stuck"}},
    };
    for (const auto& s : steps) {
        report(s.oid, s.vid, s.code);
        EXPECT_EQ(rows(), s.rows) << s.step;
        EXPECT_EQ(state().getStateId(), ALARMS);
    }
    tap(243, 15);
    EXPECT_EQ(historyDepth(), 1u) << "the alarm button shows the list again, not a second time";
}

// A catalogue whose translator broke the alarm text's conversions and reordered the association's.
const char* hostileCatalogue(const char*, const char* msgid) {
    if (std::strcmp(msgid, "Output has a problem, code %u.") == 0) {
        return "%s%s%n";
    }
    if (std::strcmp(msgid, "%s associated to %s - %s") == 0) {
        return "%2$s: %1$s - %3$s";
    }
    return nullptr;
}

TEST_F(AlarmsTest, ATranslationThatAsksForOtherArgumentsGivesWayToTheEnglishText) {
    receive(RELAY, ASSOCIATE, static_cast<int>(LIVING_ROOM));
    report(RELAY, ALARM, 3);
    i18n_set_provider(hostileCatalogue);
    open(ALARMS);
    EXPECT_EQ(rows(), (std::vector<std::string>{"Living room: Relay - Output has a problem, code 3."}));
}

TEST_F(DefaultInstallationTest, AlarmsScreen) {
    loadDefaultInstallation();
    runTasks();
    picturesInEveryLanguage("FormAlarms", [this] { open(ALARMS); });
    open(ALARMS);
    EXPECT_NE(findByText("System | Alarms"), nullptr);
}

} // namespace
} // namespace tdx::test
