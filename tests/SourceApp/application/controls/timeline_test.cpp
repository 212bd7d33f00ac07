// The schedule timeline by pixels and touch: runs of periods where X(t) puts them, the marker kept inside the
// box at the end of the day, presses that report a period (or nothing), and colours that never run past the
// table.
#include "SourceApp/application/controls/Timeline.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/core/Container.h"
#include "tests/support/screen_harness.h"

#include <utility>
#include <vector>

namespace tdx::test {
namespace {

constexpr int LEFT = 10;
constexpr int TOP = 60;
constexpr int WIDTH = 192; // two pixels a quarter hour
constexpr int HEIGHT = 40;
constexpr unsigned IDLE = 0xE1E1E1;
constexpr unsigned COMFORT = 0x52A6EC;
constexpr unsigned EXTRA = 0x6D2AE5;
constexpr unsigned MARKER = 0x6C5527;

// Keeps the clicks the timeline reports, with their parameters.
class Recorder : public Container {
public:
    struct Click {
        int begin, end;
        bool operator==(const Click&) const = default;
    };
    using Container::Container;
    void handleMessage(Message* message) override {
        if (message->id == MSG_CLICK) {
            clicks.push_back({message->p1, message->p2});
        }
        Container::handleMessage(message);
    }
    std::vector<Click> clicks;
};

// Paints the given intervals over its day, as a schedule screen paints its selection.
class Overpainted : public Timeline {
public:
    using Timeline::Timeline;
    void handleDraw() override {
        Timeline::handleDraw();
        for (auto [type, selected] : extra) {
            drawInterval(0, SCHEDULE_DAY, type, selected);
        }
    }
    std::vector<std::pair<period_type_t, bool>> extra;
};

class TimelineTest : public ScreenHarness {
protected:
    Overpainted* build(bool marker) {
        day_schedule_t day{};
        schedule_set_range_type(&day, 6 * 3600, 8 * 3600, 1);
        schedule_set_range_type(&day, 17 * 3600, SCHEDULE_DAY, 2);
        mRecorder = new Recorder(blank(), 0, 0, 320, 240);
        auto* timeline = new Overpainted(mRecorder, LEFT, TOP, WIDTH, HEIGHT, day, marker);
        runTasks();
        return timeline;
    }
    Recorder* mRecorder = nullptr;
};

TEST_F(TimelineTest, PeriodsLieWhereXOfTheirTimesPutsThem) {
    Timeline* timeline = build(true);
    const int barY = TOP + 15;
    const struct {
        int seconds;
        unsigned colour;
    } at[] = {{0, IDLE},        {6 * 3600 - 900, IDLE}, {6 * 3600, COMFORT},        {8 * 3600 - 900, COMFORT},
              {8 * 3600, IDLE}, {17 * 3600, EXTRA},     {SCHEDULE_DAY - 900, EXTRA}};
    for (const auto& p : at) {
        EXPECT_EQ(timeline->xOf(p.seconds), LEFT + p.seconds / 900 * 2);
        EXPECT_EQ(pixel(timeline->xOf(p.seconds) + 1, barY), p.colour) << p.seconds;
    }
    EXPECT_EQ(pixel(LEFT + WIDTH - 1, barY), EXTRA) << "the last period reaches the bar's end";
    EXPECT_EQ(pixel(LEFT + WIDTH - 1, TOP + 5), 0xFFFFFFu) << "nothing above the bar but the marker";
}

TEST_F(TimelineTest, PressesReportTheirPeriodAndIdleTimeNothing) {
    build(false);
    const struct {
        int x;
        std::vector<Recorder::Click> clicks;
    } presses[] = {
        {LEFT + 10, {}},                                 // 01:15, idle
        {LEFT + 6 * 8 + 1, {{6 * 3600, 8 * 3600}}},      // 06:00
        {LEFT + 17 * 8, {{17 * 3600, SCHEDULE_DAY}}},    // the last period ends with the day
        {LEFT + WIDTH - 1, {{17 * 3600, SCHEDULE_DAY}}}, // the rightmost pixel is 23:45, never 24:00
        {LEFT + WIDTH, {}},                              // beside the bar
    };
    for (const auto& p : presses) {
        mRecorder->clicks.clear();
        tap(p.x, TOP + 10);
        EXPECT_EQ(mRecorder->clicks, p.clicks) << p.x - LEFT;
    }
}

TEST_F(TimelineTest, TheLastHourLabelStaysWholeInsideTheBox) {
    build(false);
    const int labels = TOP + HEIGHT - 10;
    const Box ink = inkIn(Box(LEFT + WIDTH - 16, labels, 16, 10), 0xFFFFFF);
    EXPECT_EQ(ink.x2 - ink.x1 + 1, bif_text_width(bif_myriad10.getFont(), "24")) << "24, whole";
    EXPECT_LT(ink.x2, LEFT + WIDTH);
}

TEST_F(TimelineTest, TheMarkerAtTheEndOfTheDayStaysInsideTheBox) {
    Timeline* timeline = build(true);
    for (int seconds : {SCHEDULE_DAY, SCHEDULE_DAY + 3600}) {
        timeline->setMarker(static_cast<unsigned>(seconds));
        runTasks();
        EXPECT_EQ(pixel(LEFT + WIDTH - 1, TOP + 20), MARKER) << seconds;
        EXPECT_NE(pixel(LEFT + WIDTH, TOP + 20), MARKER) << seconds;
    }
    timeline->setMarker(12 * 3600);
    runTasks();
    EXPECT_EQ(pixel(LEFT + WIDTH / 2, TOP + 20), MARKER);
    EXPECT_EQ(pixel(LEFT + WIDTH / 2 - 12, TOP + 5), 0xFFFFFFu);
    EXPECT_LT(countColour(Box(LEFT + WIDTH / 2 - 15, TOP - 2, 30, 12), 0xFFFFFF), 30 * 12 - 20)
        << "12:00 above";
    screenshot("timeline_marker");
}

TEST_F(TimelineTest, SelectionsAndTypesWithoutColourDrawSafely) {
    Overpainted* timeline = build(false);
    const Box bar(LEFT, TOP, WIDTH, 10);
    timeline->setSelectionType(3); // taken as 1
    timeline->setSelectionStart(0);
    timeline->setSelectionEnd(3 * 3600);
    runTasks();
    EXPECT_EQ(pixel(LEFT + 5, TOP + 5), COMFORT);
    timeline->setSelectionEnd(0); // empty: nothing drawn
    runTasks();
    EXPECT_EQ(pixel(LEFT + 5, TOP + 5), IDLE);
    const int idle = countColour(bar, IDLE);
    timeline->extra = {{6, false}, {3, true}};
    timeline->invalidate();
    runTasks();
    EXPECT_EQ(countColour(bar, IDLE), idle) << "a type without a colour paints nothing";
}

} // namespace
} // namespace tdx::test
