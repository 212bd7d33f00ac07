// The last step of enrolment, removal and profile change: the request as the control unit receives it, and
// what each answer, or none, shows.
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/forms/installer/RequestProcessForm.h"
#include "tests/SourceApp/application/forms/installer_fixture.h"

namespace tdx::test {
namespace {

using namespace installer;

constexpr unsigned ENROL_PROCESS = 44;
constexpr unsigned REMOVE_PROCESS = 50;
constexpr unsigned PROFILE_PROCESS = 53;

class RequestProcessTest : public InstallerTest {
protected:
    void SetUp() override {
        InstallerTest::SetUp();
        location().value(VID_CONTROL_UNIT, CU).value(VID_PROFILE, BT_VTYPE_U8, 3);
        connect();
    }
    bool shown(const std::string& text) const { return findByText(text) != nullptr; }
    bool barFailed() const { return shows(find<ProgressBar>()->getVisibleBox(), FAILURE); }
    void answerList(vid_t vid, const std::string& bytes) {
        location().data(vid, std::vector<uint8_t>(bytes.begin(), bytes.end()));
        runTasks(2);
    }
};

TEST_F(RequestProcessTest, EnrolmentSendsTheListOnceDeduplicatedAndThenTheSerialNumber) {
    openWith(ENROL_PROCESS, {0x0100A001, 0x0200A001, 0x0100A001}, 1234567890);
    EXPECT_EQ(published(), (Published{list(VID_LEARN_LIST, {0x0100A001, 0x0200A001}),
                                      {OID_LOCATION, VID_LEARN_SERIAL, 1234567890}}));
    EXPECT_TRUE(shown("Enrollment in progress, waiting for confirmation"));
    EXPECT_FALSE(nextEnabled());
}

TEST_F(RequestProcessTest, AListOfSeventyIdsIsCutToTheFirstSixtyFour) {
    openWith(REMOVE_PROCESS, range(1, 70));
    EXPECT_EQ(published(), (Published{list(VID_DELETE_LIST, range(1, 64))}));
}

TEST_F(RequestProcessTest, AnEmptyListAsksNothingAndFails) {
    for (const unsigned process : {ENROL_PROCESS, REMOVE_PROCESS}) {
        openWith(process, {});
        EXPECT_EQ(published(), Published{}) << process;
        EXPECT_TRUE(shown(process == ENROL_PROCESS ? "Enrollment failed" : "Removal failed")) << process;
        EXPECT_TRUE(nextEnabled());
        EXPECT_TRUE(barFailed());
    }
    // A plain state carries no list: the same, and no fatal downcast.
    open(ENROL_PROCESS, 99);
    EXPECT_EQ(published(), Published{});
    EXPECT_TRUE(shown("Enrollment failed"));
}

TEST_F(RequestProcessTest, TheListAnswerDecides) {
    const struct {
        const char* answer;
        std::optional<std::string> bytes; // none: the list without a valid value
        const char* shown;
        bool failed;
    } rows[] = {
        {"emptied", std::string(), "Removal complete", false},
        {"three bytes", std::string(3, '\1'), "Removal complete", false},
        {"no valid value", std::nullopt, "Removal failed", true},
        {"a shorter list", bytesOf({7}), "Removal in progress, waiting for confirmation", false},
    };
    for (const auto& row : rows) {
        openWith(REMOVE_PROCESS, {7, 8});
        // The screen's own write comes back as a change with ids in it: still waiting.
        runTasks(2);
        EXPECT_TRUE(shown("Removal in progress, waiting for confirmation")) << row.answer;
        const int waitTop = findByText("Please wait")->getTop();
        const int barTop = find<ProgressBar>()->getTop();
        if (row.bytes) {
            answerList(VID_DELETE_LIST, *row.bytes);
        } else {
            location().invalid(VID_DELETE_LIST);
            runTasks(2);
        }
        EXPECT_TRUE(shown(row.shown)) << row.answer;
        const bool waiting = std::string(row.shown) == "Removal in progress, waiting for confirmation";
        EXPECT_EQ(shown("Please wait"), waiting) << row.answer << ": the wait ends with the result";
        if (!waiting) {
            const ProgressBar* bar = find<ProgressBar>();
            EXPECT_LT(bar->getTop(), barTop) << row.answer << ": the bar moves up into the words' place";
            EXPECT_EQ(countNear(Box(bar->getLeft(), waitTop, bar->getWidth(), 15), colour::TEXT), 0)
                << row.answer << ": no word is left where they stood";
        }
        EXPECT_EQ(barFailed(), row.failed) << row.answer;
        EXPECT_EQ(nextEnabled(), std::string(row.shown) != "Removal in progress, waiting for confirmation")
            << row.answer;
    }
}

TEST_F(RequestProcessTest, ThirtySecondsOfSilenceTimeOutAndALateAnswerStillTells) {
    openWith(ENROL_PROCESS, {0x0100A001}, 5);
    wait(29000);
    EXPECT_FALSE(nextEnabled());
    wait(1100);
    EXPECT_TRUE(shown("Enrollment timed out, control unit did not respond yet."));
    EXPECT_FALSE(shown("Please wait"));
    EXPECT_TRUE(nextEnabled());
    EXPECT_TRUE(barFailed());
    answerList(VID_LEARN_LIST, std::string());
    EXPECT_TRUE(shown("Enrollment complete"));
    EXPECT_FALSE(shown("Please wait"));
    EXPECT_FALSE(barFailed());
    // Later answers change nothing.
    location().invalid(VID_LEARN_LIST);
    runTasks(2);
    EXPECT_TRUE(shown("Enrollment complete"));
}

TEST_F(RequestProcessTest, FinishGoesBackToWhereTheWizardWasOpened) {
    const struct {
        std::vector<unsigned> road;
        unsigned process;
    } rows[] = {
        {{11, 39, 40, 43}, ENROL_PROCESS}, {{11, 51, 41, 43}, ENROL_PROCESS}, {{11, 45, 46}, REMOVE_PROCESS}};
    for (const auto& row : rows) {
        mCore.defaultState();
        runTasks(2);
        for (const unsigned id : row.road) {
            mCore.changeState(SingleParamState<Ids>(id, 0, 0, 0, 0, {0x0100A001}));
        }
        openWith(row.process, {0x0100A001});
        answerList(row.process == ENROL_PROCESS ? VID_LEARN_LIST : VID_DELETE_LIST, std::string());
        tap(next());
        runTasks(2);
        EXPECT_EQ(state().getStateId(), row.road[1]) << row.process;
    }
}

TEST_F(RequestProcessTest, AProfileChangeIsDecidedByTheFirstProfileOtherThanTheOneInUse) {
    const struct {
        const char* story;
        std::vector<std::pair<vid_t, int>> answers; // in order, each a value of the location
        uint32_t waitMs;
        const char* shown;
        bool failed;
    } rows[] = {
        {"applied", {{VID_PROFILE, 10}}, 0, "Profile change complete", false},
        {"old profile first", {{VID_PROFILE, 3}, {VID_PROFILE, 10}}, 0, "Profile change complete", false},
        {"request reset first",
         {{VID_REQUESTED_PROFILE, 3}, {VID_PROFILE, 10}},
         0,
         "Profile change complete",
         false},
        {"the request as the unit holds it",
         {{VID_REQUESTED_PROFILE, 11}, {VID_PROFILE, 11}},
         0,
         "Profile change complete",
         false},
        {"request and profile put back", // the unit refused
         {{VID_REQUESTED_PROFILE, 3}, {VID_PROFILE, 3}},
         30100,
         "Profile change failed",
         true},
        {"only the old profile", {{VID_PROFILE, 3}}, 30100, "Profile change failed", true},
        {"another profile", {{VID_PROFILE, 6}}, 0, "Profile change failed", true},
        {"the old profile, then another",
         {{VID_PROFILE, 3}, {VID_PROFILE, 6}},
         0,
         "Profile change failed",
         true},
        {"another profile, then the requested one",
         {{VID_PROFILE, 6}, {VID_PROFILE, 10}},
         0,
         "Profile change failed",
         true},
        {"silent", {}, 30100, "Profile change timed out, control unit did not respond yet.", true},
    };
    for (const auto& row : rows) {
        location().value(VID_PROFILE, BT_VTYPE_U8, 3);
        runTasks(2);
        published();
        open(PROFILE_PROCESS, 10);
        EXPECT_EQ(published().back(), (PublishedValue{OID_LOCATION, VID_REQUESTED_PROFILE, 10})) << row.story;
        for (const auto& [vid, number] : row.answers) {
            location().value(vid, BT_VTYPE_U8, number);
            runTasks(2);
        }
        wait(row.waitMs);
        EXPECT_TRUE(shown(row.shown)) << row.story;
        EXPECT_EQ(barFailed(), row.failed) << row.story;
        EXPECT_TRUE(nextEnabled()) << row.story;
    }
}

// Finish restarts the display: the whole application's end-to-end story shows it (the restart under way would
// stay with this program's one system manager).
TEST_F(RequestProcessTest, TheResultStaysWhileTheControlUnitRestarts) {
    open(PROFILE_PROCESS, 10);
    location().value(VID_PROFILE, BT_VTYPE_U8, 10);
    runTasks(2);
    networkEvent(6);
    runTasks(2);
    EXPECT_EQ(state().getStateId(), PROFILE_PROCESS);
    EXPECT_TRUE(shown("Profile change complete"));
}

} // namespace
} // namespace tdx::test
