// The device update wizard as a user meets it, driven by a fake update process: what each step shows of the
// device and the packages, which buttons lead on, what reaches the process, and the way back when it ends.
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/ProgressBar.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/gui/core/layout/StackedContainer.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tdx::test {
namespace {

constexpr unsigned SYSTEM = 11;
constexpr unsigned UNIDENTIFIED = 27, INFO = 28, SEARCH = 29, SELECT = 30, CARD_REMOVED = 31, CONFIRM = 32,
                   WAIT = 33, PROGRESS = 34, DONE = 35;

// What the fake process shows the screens, and what they asked of it.
struct FakeUpdate {
    bool cancellable = true;
    bool infoKnown = true;
    bl_dev_info info{};
    uint32_t waitPeriod = 45000;
    std::optional<uint32_t> waitLeft; // none: the process does not tell
    uint32_t progress = 0;
    uint32_t progressMax = 0;
    UpdateResult result;
    std::vector<ui_firmware_info> firmwares;
    std::vector<std::string> calls;
};

class FakeProcess final : public UpdateProcess, UpdateModel, UpdateController {
public:
    FakeProcess(ProcessInterface& manager, FakeUpdate& update)
        : UpdateProcess(manager)
        , mUpdate(update) {}
    UpdateModel* getModel() override { return this; }
    UpdateController* getController() override { return this; }
    void handleTask() override {}
    void handleTermination() override { mUpdate.calls.push_back("terminated"); }

    bool isCancellable() const override { return mUpdate.cancellable; }
    bool getDeviceInfo(bl_dev_info* out) const override {
        if (mUpdate.infoKnown) {
            *out = mUpdate.info;
        }
        return mUpdate.infoKnown;
    }
    uint32_t getWaitPeriod() const override { return mUpdate.waitPeriod; }
    std::optional<uint32_t> getWaitLeft() const override { return mUpdate.waitLeft; }
    uint32_t getProgress() const override { return mUpdate.progress; }
    uint32_t getProgressMax() const override { return mUpdate.progressMax; }
    const UpdateResult& getResult() const override { return mUpdate.result; }
    std::vector<ui_firmware_info>::const_iterator begin() const override { return mUpdate.firmwares.begin(); }
    std::vector<ui_firmware_info>::const_iterator end() const override { return mUpdate.firmwares.end(); }

    void doAbort() override { mUpdate.calls.push_back("abort"); }
    // As the real processes: finishing ends the process.
    void doConfirmExit() override {
        mUpdate.calls.push_back("exit");
        terminate();
    }
    void doSearchFirmwares() override { mUpdate.calls.push_back("search"); }
    void doSelectFirmware(uint32_t index) override {
        mUpdate.calls.push_back("select " + std::to_string(index));
    }

private:
    FakeUpdate& mUpdate;
};

class FakeFactory final : public IProcessFactory {
public:
    explicit FakeFactory(FakeUpdate& update)
        : mUpdate(update) {}
    UpdateProcess* create(ProcessInterface& manager) const override {
        return new FakeProcess(manager, mUpdate);
    }

private:
    FakeUpdate& mUpdate;
};

bl_dev_info unit(const char* hw, uint8_t hwVersion, const char* sw, uint8_t major, uint8_t minor = 0) {
    bl_dev_info info{};
    std::memcpy(info.hw_code, hw, 5);
    info.hw_version = hwVersion;
    std::memcpy(info.sw_code, sw, 5);
    info.sw_major = major;
    info.sw_minor = minor;
    return info;
}

ui_firmware_info firmware(uint32_t index, uint8_t version, uint8_t minor, std::string file) {
    return ui_firmware_info{index, version, minor, "HM316", std::move(file), {}};
}

class DeviceUpdateTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        fake = FakeUpdate{};
        fake.info = unit("HM316", 1, "HM316", 2);
        fake.firmwares = {firmware(0, 3, 0, "sdcard/unit-3.fw"), firmware(1, 2, 0, "sdcard/unit-2.fw")};
    }
    // The update starts from the system screen; the wizard shows the event's screen.
    void start(update_event first) {
        open(SYSTEM);
        ASSERT_TRUE(updates().start(FakeFactory(fake)));
        raise(first);
    }
    void raise(update_event event) {
        UpdateEventHandler().handleProcessEvent(event);
        step();
    }
    // Main-loop passes.
    void step(int passes = 2) { runTasks(passes); }
    std::vector<std::pair<std::string, std::string>> rows() const {
        std::vector<std::pair<std::string, std::string>> all;
        for (RowContainer* row : findAll<RowContainer>()) {
            const auto& cells = row->getChildren();
            all.emplace_back(textOf(*cells.at(0)).value_or("(no text)"),
                             textOf(*cells.at(1)).value_or("(no text)"));
        }
        return all;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> all;
        for (TextFrame* text : findAll<TextFrame>()) {
            all.push_back(text->getText());
        }
        return all;
    }
    Button* next() const {
        return find<Button>([](const Button& b) { return b.getLeft() > 200; });
    }
    Button* cancel() const {
        return find<Button>([](const Button& b) { return b.getLeft() < 100; });
    }
    std::string label(int index) const { return findAll<ContainedLabel>().at(index)->getText(); }
    std::string heading() const { return label(0); }
    // The top bar's buttons that still react: back, home and alarm by their places.
    std::vector<bool> navigation() const {
        std::vector<bool> enabled;
        for (IconButton* button : findAll<IconButton>()) {
            if (button->getTop() < 39 && button->getLeft() < 250) {
                enabled.push_back(button->isEnabled());
            }
        }
        return enabled;
    }
    ProgressBar* bar() const { return find<ProgressBar>(); }

    FakeUpdate fake;
};

TEST_F(DeviceUpdateTest, DeviceIsDescribedByItsProductSoftwareAndHardware) {
    using Rows = std::vector<std::pair<std::string, std::string>>;
    const struct {
        const char* story;
        bl_dev_info info;
        Rows rows;
    } cases[] = {
        {"a known control unit",
         unit("HM316", 1, "HM316", 2),
         {{"Product name", "HMU-316"}, {"Current software", "HM31602"}, {"Hardware", "HM31601"}}},
        {"an unknown device by its code",
         unit("XY123", 3, "XY123", 12),
         {{"Hardware name", "XY123"}, {"Current software", "XY12312"}, {"Hardware", "XY12303"}}},
        {"no valid program",
         unit("HM316", 123, "HM316", 0),
         {{"Product name", "HMU-316"}, {"Current software", "Corrupted"}, {"Hardware", "HM316123"}}},
        {"pre-release software",
         unit("HM316", 1, "HM316", 2, 7),
         {{"Product name", "HMU-316"},
          {"Current software", "HM31602"},
          {"Current software minor version", "7"},
          {"Hardware", "HM31601"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.story);
        fake.info = c.info;
        start(UE_DEVICE_IDENTIFIED);
        EXPECT_EQ(heading(), "Device Update");
        EXPECT_EQ(rows(), c.rows);
        tap(next());
        tap(cancel());
        EXPECT_EQ(fake.calls, (std::vector<std::string>{"search", "abort"}));
        TearDown();
        SetUp();
    }
}

TEST_F(DeviceUpdateTest, DeviceInformationMissingGoesBackAtOnce) {
    fake.infoKnown = false;
    start(UE_DEVICE_IDENTIFIED);
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(state().getStateId(), SYSTEM);
    EXPECT_EQ(updates().getProcess(), nullptr) << "leaving the first update screen ends the update";
}

TEST_F(DeviceUpdateTest, AnUpdateThatCanNoLongerBeCancelledLocksTheWaysOut) {
    // Back, home, alarm; then "Cancel".
    const struct {
        update_event event;
        unsigned state;
        std::vector<bool> cancellable, locked;
    } cases[] = {
        {UE_DEVICE_IDENTIFIED, INFO, {true, true, true}, {false, false, false}},
        {UE_SEARCH_FINISHED, SELECT, {true, true, true}, {true, false, true}},
        {UE_CARD_REMOVED, CARD_REMOVED, {false, true, true}, {false, false, false}},
        {UE_SEARCH_FINISHED, CONFIRM, {true, true, true}, {true, false, true}},
    };
    for (const auto& c : cases) {
        for (const bool cancellable : {true, false}) {
            SCOPED_TRACE(::testing::Message() << c.state << (cancellable ? " cancellable" : " locked"));
            fake.cancellable = cancellable;
            start(c.event);
            if (c.state == CONFIRM) {
                open(CONFIRM, 1);
            }
            ASSERT_EQ(state().getStateId(), c.state);
            EXPECT_EQ(navigation(), cancellable ? c.cancellable : c.locked);
            EXPECT_EQ(cancel()->isEnabled(), cancellable);
            TearDown();
            SetUp();
        }
    }
}

TEST_F(DeviceUpdateTest, PassingStepsOfferNothingButCancelAndLeaveNoTraceInTheHistory) {
    start(UE_DEVICE_UNIDENTIFIED);
    EXPECT_EQ(heading(), "Waiting for Device");
    EXPECT_EQ(bar()->getProgress(), ProgressBar::INDETERMINATE);
    EXPECT_FALSE(next()->isEnabled());
    tap(cancel());
    raise(UE_DEVICE_IDENTIFIED);
    raise(UE_SEARCHING);
    EXPECT_EQ(heading(), "Searching Firmwares");
    EXPECT_EQ(navigation(), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(cancel(), nullptr);
    raise(UE_CARD_REMOVED);
    tap(cancel());
    raise(UE_SEARCHING);
    raise(UE_SEARCH_FINISHED);
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"abort", "abort"}));
    const std::size_t depth = historyDepth();
    tap(findAll<IconButton>().at(0)); // back
    step();
    EXPECT_EQ(state().getStateId(), INFO) << "the card and search steps were replaced";
    EXPECT_EQ(historyDepth(), depth - 1);
}

TEST_F(DeviceUpdateTest, ChoosingAPackageEnablesNextAtTheNextTimerAndOpensItsConfirmation) {
    start(UE_DEVICE_IDENTIFIED);
    raise(UE_SEARCH_FINISHED);
    const std::vector<CheckButton*> entries = findAll<CheckButton>();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(textOf(*entries[1]), "unit-2.fw") << "the name without the card folder";
    tap(next());
    EXPECT_EQ(state().getStateId(), SELECT) << "nothing chosen";
    tap(entries[1]);
    EXPECT_FALSE(next()->isEnabled()) << "only at the next timer";
    tick();
    EXPECT_TRUE(next()->isEnabled());
    tap(entries[0]);
    tick();
    EXPECT_TRUE(entries[0]->getChecked());
    EXPECT_FALSE(entries[1]->getChecked());
    EXPECT_TRUE(next()->isEnabled());
    tap(next());
    step();
    EXPECT_EQ(state().getStateId(), CONFIRM);
    EXPECT_EQ(state().getP1(), 0u);

    fake.firmwares.clear();
    tap(findAll<IconButton>().at(0));
    step();
    EXPECT_EQ(texts().at(0), "No suitable firmware was found on the SD card. Insert an SD card with suitable "
                             "firmware to continue.");
    tick(20);
    EXPECT_FALSE(next()->isEnabled());
}

TEST_F(DeviceUpdateTest, ConfirmationWarnsOfOlderAndPreReleasePackagesAndUpdateLocksTheScreen) {
    const std::string older = "This software version is older than current software version. Downgrading may "
                              "cause device's configuration to be corrupted or lost.";
    const std::string preRelease =
        "This is pre-release software. We strongly discourage you from using "
        "pre-release software. You may experience unexpected behavior and serious bugs.";
    const struct {
        uint8_t version, minor;
        bool infoKnown;
        std::vector<std::string> warnings;
        std::size_t rows;
    } cases[] = {
        {5, 0, true, {}, 2},           {4, 0, true, {older}, 2},
        {5, 1, true, {preRelease}, 3}, {4, 1, true, {older, preRelease}, 3},
        {1, 0, false, {}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << unsigned{c.version} << "." << unsigned{c.minor});
        fake.info = unit("HM316", 1, "HM316", 5);
        fake.infoKnown = c.infoKnown;
        fake.firmwares = {firmware(0, 1, 0, "other.fw"), firmware(7, c.version, c.minor, "unit.fw")};
        start(UE_SEARCH_FINISHED);
        open(CONFIRM, 7);
        EXPECT_EQ(heading(), "Confirm Update");
        std::vector<std::string> shown = texts();
        shown.erase(shown.begin());
        EXPECT_EQ(shown, c.warnings);
        const bool olderShown = !c.warnings.empty() && c.warnings[0] == older;
        EXPECT_EQ(countNear(Box(9, 39, 286, 209), 0x312CD8) > 0, olderShown) << "the warning sign in sight";
        const auto info = rows();
        ASSERT_EQ(info.size(), c.rows);
        EXPECT_EQ(info[0], (std::pair<std::string, std::string>{"File name", "unit.fw"}));
        EXPECT_EQ(info[1].second,
                  "HM316" + std::string(c.version < 10 ? "0" : "") + std::to_string(c.version));
        if (c.rows == 3) {
            EXPECT_EQ(info[2], (std::pair<std::string, std::string>{"New software minor version", "1"}));
        }
        TearDown();
        SetUp();
    }

    start(UE_SEARCH_FINISHED);
    open(CONFIRM, 1);
    EXPECT_EQ(textOf(*next()), "Update");
    tap(next());
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"select 1"}));
    EXPECT_EQ(navigation(), (std::vector<bool>{false, false, false}));
    EXPECT_FALSE(next()->isEnabled());
    EXPECT_FALSE(cancel()->isEnabled());
    tap(next());
    EXPECT_EQ(fake.calls.size(), 1u) << "one choice only";
}

TEST_F(DeviceUpdateTest, AnEntryMissingFromTheListGoesBackInsteadOfStoppingTheDisplay) {
    start(UE_SEARCH_FINISHED);
    open(CONFIRM, 9);
    step();
    EXPECT_EQ(state().getStateId(), SELECT);
    EXPECT_NE(trace().find("no firmware entry 9"), std::string::npos);
}

TEST_F(DeviceUpdateTest, WaitCountsDownTheRestartAndThenSaysTheDeviceIsNotResponding) {
    fake.waitPeriod = 45000;
    start(UE_WAIT);
    EXPECT_EQ(label(1), "Waiting for device 45 second(s)");
    EXPECT_EQ(bar()->getProgress(), 100);
    EXPECT_EQ(navigation(), (std::vector<bool>{false, false, false}));
    EXPECT_FALSE(next()->isEnabled());
    EXPECT_EQ(cancel(), nullptr);
    // 24 ticks of 62 ms on, 43512 ms are left: 96 %, not 97.
    tick(24);
    EXPECT_EQ(bar()->getProgress(), 96);
    // The text follows at the next tick count divisible by 16.
    int ticks = 24;
    const std::string shown = label(1);
    while (tickCount() % 16 != 0) {
        EXPECT_EQ(label(1), shown);
        tick();
        ++ticks;
    }
    const uint32_t left = 45000 - 62 * ticks;
    EXPECT_EQ(label(1), "Waiting for device " + std::to_string(left / 1000) + " second(s)");
    EXPECT_EQ(bar()->getProgress(), static_cast<int>(left * 100 / 45000));

    const struct {
        uint32_t period;
        const char* first;
    } cases[] = {{1000, "Waiting for device 1 second(s)"}, {0, "Waiting for device 0 second(s)"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.period);
        TearDown();
        SetUp();
        fake.waitPeriod = c.period;
        start(UE_WAIT);
        EXPECT_EQ(label(1), c.first);
        wait(c.period + 200);
        EXPECT_EQ(label(1), "Device is not responding");
        EXPECT_EQ(bar()->getProgress(), 0);
        wait(2000);
        EXPECT_EQ(label(1), "Device is not responding");
    }
    EXPECT_TRUE(fake.calls.empty()) << "the wait sends nothing";
}

// A process that tells how long it still waits is followed: its wait pauses and grows while the network is
// down, and a countdown of the screen's own would run out early or late.
TEST_F(DeviceUpdateTest, WaitCountsDownWhatTheProcessStillWaits) {
    fake.waitPeriod = 33000;
    fake.waitLeft = 8000;
    start(UE_WAIT);
    EXPECT_EQ(label(1), "Waiting for device 8 second(s)") << "not the period of 33 s";
    EXPECT_EQ(bar()->getProgress(), 100);
    const struct {
        const char* what;
        std::optional<uint32_t> left;
        int bar;
        const char* text; // at the next tick count divisible by 16
    } rows[] = {
        {"the wait runs", 6000, 75, "Waiting for device 6 second(s)"},
        {"the network goes down: the grace comes first", 26000, 100, "Waiting for device 26 second(s)"},
        {"down for a while", 19500, 75, "Waiting for device 19 second(s)"},
        {"between two steps the process tells nothing", std::nullopt, 75, "Waiting for device 19 second(s)"},
        {"back: the phase's whole time from the return", 8000, 30, "Waiting for device 8 second(s)"},
        {"the wait is over", 0, 0, "Device is not responding"},
        {"and stays over", 5000, 0, "Device is not responding"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fake.waitLeft = row.left;
        tick();
        EXPECT_EQ(bar()->getProgress(), row.bar);
        while (tickCount() % 16 != 0) {
            tick();
        }
        EXPECT_EQ(label(1), row.text);
    }
}

// The restart and the download show their bar right below the step's text and their figure under the bar.
TEST_F(DeviceUpdateTest, TheRunningStepsShowTheBarBelowTheTextAndTheFigureUnderTheBar) {
    constexpr int SPACING = 5; // between the rows of every wizard step
    const struct {
        update_event event;
        const char* figure;
    } steps[] = {{UE_WAIT, "Waiting for device 45 second(s)"}, {UE_PROGRESS, "Downloading 25 %"}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.figure);
        fake.waitPeriod = 45000;
        fake.progress = 50;
        fake.progressMax = 200;
        start(s.event);
        tick();
        TextFrame* text = find<TextFrame>();
        ProgressBar* shown = bar();
        ContainedLabel* figure = findAll<ContainedLabel>().at(1);
        ASSERT_EQ(figure->getText(), s.figure);
        EXPECT_EQ(shown->getTop(), text->getBottom() + 1 + SPACING + 18);
        EXPECT_EQ(shown->getHeight(), 8);
        EXPECT_EQ(figure->getTop(), shown->getBottom() + 1 + SPACING + 4);
        EXPECT_EQ(figure->getHeight(), 13);
        const Box barInk = inkOf(*shown);
        const Box figureInk = inkOf(*figure);
        ASSERT_FALSE(barInk.isEmpty());
        ASSERT_FALSE(figureInk.isEmpty());
        EXPECT_GT(barInk.y1, inkOf(*text).y2) << "the bar below the text";
        EXPECT_GT(figureInk.y1, barInk.y2) << "the figure under the bar";
        TearDown();
        SetUp();
    }
}

TEST_F(DeviceUpdateTest, DownloadShowsItsShareClampedAndWithoutOverflow) {
    start(UE_PROGRESS);
    EXPECT_EQ(heading(), "Updating");
    EXPECT_EQ(label(1), "Downloading 0 %");
    const struct {
        uint32_t progress, max, percent;
    } cases[] = {
        {50, 200, 25}, {1, 3, 33}, {3, 0, 100}, {300, 100, 100}, {50000000, 100000000, 50}, {0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.progress << " of " << c.max);
        fake.progress = c.progress;
        fake.progressMax = c.max;
        tick();
        EXPECT_EQ(bar()->getProgress(), static_cast<int>(c.percent));
        EXPECT_EQ(label(1), "Downloading " + std::to_string(c.percent) + " %");
    }
    EXPECT_EQ(navigation(), (std::vector<bool>{false, false, false}));
}

TEST_F(DeviceUpdateTest, ResultNamesItsKindAndFinishTakesTheUserBackWithNoWizardScreenLeft) {
    const struct {
        UpdateResultType::Enum type;
        const char* heading;
    } cases[] = {
        {UpdateResultType::Finished, "Update Finished"},
        {UpdateResultType::Default, "Update Finished"},
        {UpdateResultType::Aborted, "Update Aborted"},
        {UpdateResultType::Failed, "Update Failed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.heading);
        fake.result = UpdateResult(c.type, "The message as the process set it.");
        start(UE_DEVICE_IDENTIFIED);
        raise(UE_SEARCH_FINISHED);
        tap(findAll<CheckButton>().at(0));
        tick();
        tap(next());
        step();
        raise(UE_WAIT);
        raise(UE_PROGRESS);
        raise(UE_DONE);
        ASSERT_EQ(state().getStateId(), DONE);
        EXPECT_EQ(heading(), c.heading);
        EXPECT_EQ(texts(), (std::vector<std::string>{"The message as the process set it."}));
        EXPECT_EQ(navigation(), (std::vector<bool>{false, false, false}));
        EXPECT_EQ(textOf(*next()), "Finish");
        tap(next());
        step(3);
        EXPECT_EQ(updates().getProcess(), nullptr);
        EXPECT_EQ(state().getStateId(), SYSTEM);
        EXPECT_EQ(historyDepth(), 1u) << "no wizard screen left behind";
        EXPECT_EQ(trace().find("built without an update process"), std::string::npos)
            << "the rollback builds no wizard screen";
        TearDown();
        SetUp();
    }
}

// The steps with a control unit's update under way, for a person to look at.
TEST_F(DeviceUpdateTest, Pictures) {
    fake.info = unit("HM316", 1, "HM316", 3, 2);
    fake.firmwares = {firmware(100, 2, 1, "hmu316_v2_1.fw"), firmware(101, 3, 0, "hmu316_v3.fw")};
    fake.progress = 1200;
    fake.progressMax = 3000;
    loadDefaultInstallation();
    connect();
    // The longest result a failed update gives: its message ids, each translated, a blank line between.
    static const std::vector<const char*> longest = {
        "Device stopped responding during download.\n\nPower cycle the device to repeat the process.",
        "The device does not run its program: update it again or power-cycle it."};
    const struct {
        const char* name;
        update_event event;
        unsigned confirm = 0;
        std::vector<const char*> result = longest;
    } steps[] = {
        {"FormDeviceUpgradeUnidentified", UE_DEVICE_UNIDENTIFIED},
        {"FormDeviceUpgradeInfo", UE_DEVICE_IDENTIFIED},
        {"FormDeviceUpgradeFirmwareSearch", UE_SEARCHING},
        {"FormDeviceUpgradeSelectFirmware", UE_SEARCH_FINISHED},
        {"FormDeviceUpgradeCardRemoved", UE_CARD_REMOVED},
        {"FormDeviceUpgradeConfirm", UE_SEARCH_FINISHED, 100},
        {"FormDeviceUpgradeWait", UE_WAIT},
        {"FormDeviceUpgradeProgress", UE_PROGRESS},
        {"FormDeviceUpgradeDone", UE_DONE},
        {"FormDeviceUpgradeDoneInterrupted",
         UE_DONE,
         0,
         {"The download was interrupted. The device runs its previous program again."}},
    };
    open(SYSTEM);
    ASSERT_TRUE(updates().start(FakeFactory(fake)));
    for (const auto& s : steps) {
        picturesInEveryLanguage(s.name, [&] {
            std::string shown;
            for (const char* id : s.result) {
                shown += (shown.empty() ? "" : "\n\n") + std::string(gettext(id));
            }
            fake.result = UpdateResult(UpdateResultType::Failed, shown);
            open(SYSTEM);
            raise(s.event);
            if (s.confirm != 0) {
                open(CONFIRM, s.confirm);
            }
            tick(3);
            if (s.event == UE_DONE) {
                EXPECT_LE(find<TextFrame>()->getBottom(), 39 + 160) << "the whole result in sight";
            }
        });
    }
}

} // namespace
} // namespace tdx::test
