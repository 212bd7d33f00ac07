// The harness every screen and widget test runs on, so that a test reads as a user story: given an
// installation, open a state, touch what a user touches, let the clock run, and assert what the user sees
// and what the control unit receives.
//
//   TEST_F(RoomScreenTest, TwoTapsUpSendTheNewTemperatureOnce) {
//       room(0x01000316).value(0x000C, 2100);
//       connect();
//       open(13, 0x01000316);
//       tap(findByTag(UP_ARROW));
//       tap(findByTag(UP_ARROW));
//       wait(1000);
//       EXPECT_EQ(published(), (Published{{0x01000316, 0x000C, 2150}}));
//   }
//
// Everything runs on the test's thread: the application object's own GUI core and system manager (the GUI
// core on an off-screen surface), the real object tree and value table, the real network bridge fed with the
// control unit's packets in-process, the configuration record in memory, and the platform's millisecond and
// wall clocks, which move only when the test lets time pass. The application object lives for the whole
// test program, so a program that uses the harness builds no GUI core of its own.
#pragma once

#include "SourceApp/application/App.h"
#include "SourceApp/big_table/bt_types.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/gui/core/Form.h"
#include "SourceApp/gui/core/ICommand.h"
#include "SourceApp/gui/support/screen.h"
#include "SourceHost/config/config_store.h"
#include "tests/support/trace_capture.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tdx {
class ProxyObject;
} // namespace tdx

namespace tdx::test {

// What an assertion in the code under test raised: the harness turns fatal assertions into this exception.
struct FailedAssertion : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// What a death test's output matches when the program stopped on a fatal assertion of exactly this
// expression and function, in a source file whose path ends in `file`, at any line.
std::string assertionReport(const std::string& expression, const std::string& function,
                            const std::string& file);

// One value as the display published it to the control unit.
struct PublishedValue {
    oid_t oid = 0;
    vid_t vid = 0;
    int value = 0;    // numbers
    std::string text; // text and data values
    bool valid = true;

    PublishedValue() = default;
    PublishedValue(oid_t o, vid_t v, int number)
        : oid(o)
        , vid(v)
        , value(number) {}
    PublishedValue(oid_t o, vid_t v, std::string t)
        : oid(o)
        , vid(v)
        , text(std::move(t)) {}
    bool operator==(const PublishedValue&) const = default;
};
using Published = std::vector<PublishedValue>;
void PrintTo(const PublishedValue& value, std::ostream* os);

// Values of one object of the installation, stored as the control unit publishes them. The value type comes
// from the object's template unless given; each value is listed in the object's value-id list, as the control
// unit lists it.
class ObjectBuilder {
public:
    explicit ObjectBuilder(oid_t oid)
        : mOid(oid) {}

    ObjectBuilder& value(vid_t vid, int number);
    ObjectBuilder& value(vid_t vid, bt_vtype vtype, int number);
    // A value the object has, without a valid number.
    ObjectBuilder& invalid(vid_t vid);
    ObjectBuilder& text(vid_t vid, const std::string& text);
    ObjectBuilder& data(vid_t vid, const std::vector<uint8_t>& bytes);
    ObjectBuilder& oids(vid_t vid, const std::vector<uint32_t>& ids);

    oid_t oid() const { return mOid; }
    ProxyObject& object() const;

private:
    void list(vid_t vid);
    bt_vtype typeOf(vid_t vid) const;

    oid_t mOid;
};

// A command that counts its runs.
class CountingCommand : public ICommand {
public:
    explicit CountingCommand(int& runs)
        : mRuns(runs) {}
    void execute() override { ++mRuns; }

private:
    int& mRuns;
};

// A component that writes down the kinds of the events that reach it.
class EventLog : public Component {
public:
    EventLog(Container* parent, std::vector<int>& kinds)
        : Component(parent, 0, 0, 1, 1)
        , mKinds(kinds) {}
    void handleEvent(Event* event) override { mKinds.push_back(event->kind); }

private:
    std::vector<int>& mKinds;
};

// The blank screen that widget tests build on, white like a content page.
class BlankForm : public Form {
public:
    explicit BlankForm(const State& state);
    void handleDraw() override;
};

class ScreenHarness : public ScreenTest {
protected:
    static constexpr uint32_t CONTROL_UNIT = 0x000316;
    static constexpr uint32_t TICK_MS = 62;
    // Midday on Wednesday 2026-03-04 UTC, where every test's wall clock starts.
    static constexpr int64_t START_TIME = 1772625600;

    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // ---- Given: the installation (objects appear at once; listeners hear of values at the next pass) ----
    ObjectBuilder object(oid_t oid, uint8_t type, uint8_t subtype = 0);
    ObjectBuilder location();
    // A device object (index 0) that reports itself on-line.
    ObjectBuilder device(uint32_t address);
    ObjectBuilder room(oid_t oid) { return object(oid, BT_OBJ_ROOM); }
    // The simulated control unit's default installation.
    void loadDefaultInstallation();
    // The installation's objects of a type (and subtype), in ascending object id.
    std::vector<ProxyObject*> objects(uint8_t type) const;
    std::vector<ProxyObject*> objects(uint8_t type, uint8_t subtype) const;
    // The object's value changes on the control unit: it arrives as a PUBLISH does.
    void receive(oid_t oid, vid_t vid, int number) { ObjectBuilder(oid).value(vid, number); }

    // ---- The language ----
    // The translations from the resources file, as start-up installs them; English again after the test.
    static void useCatalogues();
    // Switches the texts to row n of I18n::LANGUAGES (0 English, 1 Danish, 2 Czech, 3 Dutch) with those
    // catalogues, and the dates to that language's format, as choosing a language does.
    static void speak(uint8_t language);

    // ---- The network ----
    // Connected to the control unit and synchronised; the display's own identity is not counted as
    // published. The unit holds what the table holds, but for a number it changed while the display was away.
    void connect(uint32_t owner = CONTROL_UNIT, const std::optional<PublishedValue>& changed = std::nullopt);
    void disconnect();
    bool isConnected() const;
    bool isSynchronized() const;
    // Raises a network event (5 connected, 6 not connected, 7 synchronisation started) to the screens.
    void networkEvent(int kind);

    // ---- The clock ----
    // Sets the wall clock (UTC seconds) without moving the millisecond clock.
    void setTime(int64_t utc);
    // Lets time pass in host ticks of 62 ms; each tick gives the screens their timer message and runs the
    // main-loop tasks, as the main loop does.
    void tick(int n = 1);
    // Ticks until at least ms have passed.
    void wait(uint32_t ms) { tick(static_cast<int>((ms + TICK_MS - 1) / TICK_MS)); }
    uint32_t tickCount() const { return mCore.getTickCount(); }

    // ---- The configuration record ----
    // The record lives in memory, with the defaults at the start: stores are counted instead of written to
    // "config.bin".
    int configStores() const { return sConfigStores; }
    const configuration_t& storedConfiguration() const { return sStoredConfiguration; }

    // ---- Screens ----
    // Builds the screens from their state ids; the default builds a BlankForm for every id.
    using Registry = Core::ChangeStateCallback;
    void setRegistry(Registry registry) { mCore.setChangeStateCallback(registry); }
    // Changes to the state and runs the main loop until the screen stands.
    Form* open(unsigned id, unsigned p1 = 0, unsigned p2 = 0, unsigned p3 = 0, unsigned p4 = 0);
    // A blank screen (state 1) to put widgets on; they show after the next pass.
    Form* blank();
    Form* screen() const { return mCore.getScreen(); }
    // One pass of the main loop's tasks in its order: log manager, update manager (a running update, an
    // announced restart of the control unit), network bridge, object tree, GUI core (input, repaint,
    // messages), system manager.
    void runTasks(int passes = 1);

    // ---- Touch ----
    void press(int x, int y);
    void move(int x, int y);
    void release();
    void tap(int x, int y);
    // Taps the middle of the component's visible part; a component that cannot be seen fails the test.
    void tap(const Component* component);

    // ---- What the user sees ----
    const State& state() const;
    std::size_t historyDepth() const;
    // Components of the open layers, in pre-order, newest layer first.
    std::vector<Component*> components() const;
    template <class T>
    T* find(const std::function<bool(const T&)>& match = nullptr) const {
        for (Component* c : components()) {
            if (auto* t = dynamic_cast<T*>(c); t != nullptr && (!match || match(*t))) {
                return t;
            }
        }
        return nullptr;
    }
    template <class T>
    std::vector<T*> findAll() const {
        std::vector<T*> all;
        for (Component* c : components()) {
            if (auto* t = dynamic_cast<T*>(c)) {
                all.push_back(t);
            }
        }
        return all;
    }
    // The first visible component showing exactly this text, or with this tag.
    Component* findByText(const std::string& text) const;
    Component* findByTag(uint32_t tag) const;
    // The text a widget shows (labels, text frames, buttons, links, switches); none for others.
    static std::optional<std::string> textOf(const Component& component);
    // Colour number of a pixel of the screen as shown.
    static unsigned pixel(int x, int y) { return front(x, y); }
    // Pixels of the shown screen of exactly this colour in a box.
    static int countColour(const Box& box, unsigned colour);
    // Pixels within 0x30 of a colour in every channel: text and icons are anti-aliased.
    static int countNear(const Box& box, unsigned colour);
    // The box around the pixels in an area that differ from its ground (empty when none does).
    static Box inkIn(const Box& area, unsigned ground);
    // The box around the pixels the component draws over what lies under it: those that change when it is
    // hidden for a pass (empty when none does). The component is shown again afterwards.
    Box inkOf(Component& component);
    // The rectangles flipped to the screen when the change is made and the main loop passes.
    std::vector<Box> flipsAfter(const std::function<void()>& change);
    // Writes the shown screen as <build tree>/screenshots/<name>.bmp for a person to look at.
    void screenshot(const std::string& name) const;

    // Messages the screens received since the last clear (timer messages left out), optionally from one
    // source.
    int messages(unsigned id, const Component* source = nullptr) const;
    void clearMessages() { mMessages.clear(); }

    // ---- What the control unit receives ----
    std::optional<int> value(oid_t oid, vid_t vid) const;
    std::optional<std::string> text(oid_t oid, vid_t vid) const;
    // Values waiting to be published.
    std::size_t publishPending() const;
    // Takes what waits to be published, as the bridge would send it, and returns everything taken so far.
    const Published& published();

    // Every trace line since the test began.
    const std::string& trace() const;

    Core& mCore = *getApplication()->getCore();

private:
    static Form* buildBlank(unsigned previous, unsigned next, const State& state);
    // Closes every screen and empties the history and the queues: the core as a new test finds it.
    void resetCore();
    // Forgets the location values the system manager mirrored.
    void resetSystemManager();
    static int64_t wallClock();
    // Calls visit(x, y, colour) for each pixel of the shown screen inside the box.
    template <class Visit>
    static void forEachPixel(const Box& box, Visit&& visit);
    void send(event_kind_t kind, int x, int y);

    struct Seen {
        unsigned id;
        const Component* source;
    };
    std::vector<Seen> mMessages;
    std::optional<TraceCapture> mTrace;
    Published mPublished;
    int mX = 0;
    int mY = 0;
    bool mPressed = false;
    int mHeldTicks = 0;

    static inline int sConfigStores = 0;
    static inline configuration_t sStoredConfiguration{};
};

} // namespace tdx::test
