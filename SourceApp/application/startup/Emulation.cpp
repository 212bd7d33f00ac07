// The program's table of contents: what starts in which order, which lower-layer hook is wired to which
// service, and what one pass of the main loop does. The hooks between the services themselves (the GUI core's
// job pool, key click and awake override, the widgets' local time) come with the application object; the
// serial port, memory card folder and packet trace are the entry point's, from its command line.
#include "SourceApp/application/startup/Emulation.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "Libraries/base/watchdog.h"
#include "Libraries/link_bus/link_bus.h"
#include "Libraries/tavi_net/bl_service.h"
#include "Libraries/tavi_net/tnet.h"
#include "SourceApp/application/AppImpl.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/application/host/HostHandOver.h"
#include "SourceApp/application/startup/StateRegistry.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/drivers/buzzer.h"
#include "SourceApp/gui/gfx/gfx.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "SourceApp/storage/ProxyStructure.h"
#include "SourceApp/storage/net/TaviProtocol.h"
#include "SourceApp/system/SystemMgr.h"
#include "SourceApp/system/calibration.h"
#include "SourceApp/system/config.h"
#include "SourceApp/system/diagnostics.h"
#include "SourceApp/task/TaskPool.h"
#include "SourceHost/api_lib/comf.h"
#include "SourceHost/api_lib/layer.h"
#include "SourceHost/api_lib/sdcard.h"

#include <algorithm>
#include <atomic>
#include <span>

namespace tdx::Emulation {

namespace {

constexpr state_id_t SPLASH_STATE_ID = 2;
constexpr uint32_t FIRST_HOLD_TICKS = 12;
constexpr uint32_t HOLD_REPEAT_TICKS = 2;
constexpr unsigned WATCHDOG_MAIN_LOOP = 0;

// The touch as the events sent so far tell it (application thread only).
struct TouchState {
    int hx = 0; // position of the last move sent
    int hy = 0;
    bool pressed = false;   // a press was sent and no release yet
    uint32_t touchTime = 0; // tick at which the next hold repeat is due
    bool waking = false;    // the touch came to a dark screen: it only lights it, none of its events are sent
};
TouchState sTouch;

std::atomic<StartObserver> sObserver{nullptr};
std::atomic<const serial_port*> sSerialPort{nullptr};

Core& core() {
    return *getApplication()->getCore();
}

std::span<const uint8_t> readResource(uint16_t id) {
    const Resource resource = getApplication()->getResourceManager()->get(static_cast<resource_id>(id));
    return {resource.getData(), resource.getSize()};
}

// ---- Start-up steps that are more than one call ----

// A restart runs in the same process: nothing of the previous run may survive into the new one.
void freshApplication() {
    // First: the host's timer thread must not tick a GUI core that is being built again.
    os_set_tick_hook(nullptr);
    tnet_stop();
    Net::Tavi.setEventSink(nullptr);
    Net::Tavi.restart();
    buzzer.stop();
    // The catalogue points into the resources that are about to go.
    i18n.switchLanguage(0);
    i18n.setResourceReader(nullptr);
    widgets_set_resources(nullptr);
    application_renew();
    Structure.clear();
    sTouch = TouchState{};
}

void startClock() {
    // Once per process: on a restart the clock runs on, as the host's tick and every time kept outside the
    // application (the host, a simulator on the same clock) would otherwise see it jump back.
    static bool started = false;
    if (!started) {
        started = true;
        timer_init();
    }
    // The host's 62 ms tick drives the GUI core's tick count and timer message.
    os_set_tick_hook([] { core().tick(); });
}

void startGraphics() {
    gfx_init();
    // The fonts, images and catalogues, before the first switch of language.
    ResourceMgr* resources = getApplication()->getResourceManager();
    resources->init();
    widgets_set_resources(resources);
    i18n.setResourceReader(&readResource);
}

void startNetwork() {
    // The bridge tells the screens of connection and synchronisation as GUI events.
    Net::Tavi.setEventSink([](int kind) { core().sendEvent(static_cast<event_kind_t>(kind), 0, 0, 0, 0); });
    tnet_init(&Net::TaviClientsHandler);
}

void openBus() {
    tnet_set_serial_port(sSerialPort.load());
    if (tnet_init_interface_bus(0, PortName, 1, 0) != 0) {
        dbg_printf_h("APP the device network could not be opened on %s", PortName);
    }
}

void startScreens() {
    core().setChangeStateCallback(&ChangeState);
    CoreHooks hooks = core().getHooks();
    hooks.feedWatchdog = [] { wd_feed(WATCHDOG_MAIN_LOOP); };
    core().setHooks(std::move(hooks));
}

void startTouch() {
    sTouch.touchTime = core().getTickCount();
}

void startLanguage() {
    i18n.switchLanguage(Configuration.language);
    i18n.setCountry(Configuration.country);
    i18n.setLanguageLocale();
}

void showSplash() {
    core().changeState(SPLASH_STATE_ID, 0, 0, 0, 0);
}

struct StartStep {
    const char* name;
    void (*run)();
};

// The order matters: each step relies on those above it.
constexpr StartStep START_UP[] = {
    {"fresh application", freshApplication}, // what a previous run left behind
    {"layer_init", layer_init},              // framebuffer layers; the main one goes to the host's canvas
    {"proxytab_init", proxytab_init},        // the value table, every slot empty
    {"bootstrap", bootstrap},                // the tree's handlers and its two roots
    {"diagnostics_init", diagnostics_init},
    {"sdcard_init", sdcard_init},
    {"timer_init", startClock},
    {"config_init", config_init}, // the configuration record: loaded, checked, converted or reset
    {"gfx_init", startGraphics},  // the drawing layer and the resources
    {"fsystem_init", fsystem_init},
    {"tnet_init", startNetwork}, // the device-network stack with the bridge's callbacks
    {"tnet_init_interface_bus", openBus},
    {"tnet_start", tnet_start},
    {"tnet_if_learn_request", tnet_if_learn_request},
    {"bl_start_service", bl_start_service},
    {"change-state callback", startScreens}, // the screen registry; the GUI core feeds the watchdog
    {"touch time", startTouch},
    {"language", startLanguage}, // language, country and date locale of the record
    {"splash", showSplash},      // built by the GUI core's next task
};

// ---- One pass ----

void touchToEvents(Core& gui, int x, int y, const HostHandOver::Touch& raw) {
    SystemMgr& system = *getApplication()->getSystemManager();
    const uint32_t tick = gui.getTickCount();
    auto send = [&](event_kind_t kind) {
        if (!sTouch.waking) {
            gui.sendEvent(kind, x, y, raw.x, raw.y);
        }
    };
    // Ticks wrap after about eight years at 62 ms: a signed difference stays right across the wrap.
    const bool holdDue = static_cast<int32_t>(tick - sTouch.touchTime) >= 0;
    if (raw.pressed && !sTouch.pressed) {
        sTouch.pressed = true;
        sTouch.touchTime = tick + FIRST_HOLD_TICKS;
        // A finger on a dark screen lands on what the user cannot see: that touch, to its release, only
        // lights the screen. A dimmed screen shows what lies under the finger, and its touch acts.
        sTouch.waking = system.getScreenState() == ssOff;
        send(EVENT_TOUCH_PRESS);
        system.reset();
    } else if (raw.pressed && holdDue) {
        send(EVENT_TOUCH_HOLD);
        sTouch.touchTime = tick + HOLD_REPEAT_TICKS;
    } else if (raw.pressed && (x != sTouch.hx || y != sTouch.hy)) {
        send(EVENT_TOUCH_MOVE);
        system.reset();
        sTouch.hx = x;
        sTouch.hy = y;
    } else if (!raw.pressed && sTouch.pressed) {
        send(EVENT_TOUCH_RELEASE);
        sTouch.pressed = false;
        sTouch.waking = false;
    }
}

} // namespace

void setSerialPort(const serial_port* port) {
    sSerialPort.store(port);
}

void setStartObserver(StartObserver observer) {
    sObserver.store(observer);
}

void AppInit() {
    for (const StartStep& step : START_UP) {
        if (StartObserver observer = sObserver.load()) {
            observer(step.name);
        }
        step.run();
    }
}

void AppLoopTask() {
    App* app = getApplication();
    Core& gui = *app->getCore();
    HostHandOver& handOver = host_hand_over();

    // Every press and release since the last pass, in order, so that a tap shorter than a pass is one too.
    const HostHandOver::TouchHistory touches = handOver.takeTouchHistory();

    // The host's commands first, then its events, each oldest first; they run outside the hand-over's lock.
    handOver.runQueued(
        [&gui](const Event& event) { gui.sendEvent(event.kind, event.x, event.y, event.a, event.b); });

    for (const HostHandOver::Touch& raw : touches) {
        int x = raw.x;
        int y = raw.y;
        calibration_apply(&x, &y);
        x = std::clamp(x, 0, SCREEN_WIDTH - 1);
        y = std::clamp(y, 0, SCREEN_HEIGHT - 1);
        touchToEvents(gui, x, y, raw);
    }

    if (gui.takeTimerFlag()) {
        // One message however many ticks passed since the last pass.
        gui.sendMessage(nullptr, MSG_TIMER, static_cast<int>(gui.getTickCount()), 0, 0, 0);
    }

    app->getLogManager()->task();
    app->getUpdateManager()->task();
    Net::Tavi.task();
    tnet_task();
    Structure.task();
    gui.task();
    app->getSystemManager()->task();
    buzzer_task();
    wd_check();

    handOver.countPass();
}

bool AppIsActive() {
    return host_hand_over().isOpen();
}

void AppIdle() {
    App* app = getApplication();
    // A port of a test's own has no descriptor to wait on: the loop keeps its pace.
    if (sSerialPort.load() != nullptr || app->getCore()->hasWork() || !app->getTaskPool()->isEmpty() ||
        Structure.changesPending() || app->getUpdateManager()->getProcess() != nullptr ||
        link_if_tx_pending(0) > 0) {
        return;
    }
    constexpr int MAX_PORTS = 4;
    int ports[MAX_PORTS];
    const int count = comf_input_descriptors(ports, MAX_PORTS);
    // The tick wakes the loop; the limit only bounds a wake that went missing.
    os_idle_wait(static_cast<uint32_t>(OS_TICK_MS), ports, count);
}

Form* ChangeState(state_id_t previous, state_id_t next, const State& state) {
    return AppChangeState(previous, next, state);
}

} // namespace tdx::Emulation
