// The inspector beside the plain window, on the offscreen platform with a GUI core of 300 components: the
// CPU the program takes while idle in either window (a real application thread, two seconds each), a change
// of screen from the core pass to the rows of the component list, and one step of a drag from the mouse move
// to the moved pixels in the window.
#include "SourceApp/gui/core/Container.h"
#include "SourceApp/gui/core/Form.h"
#include "SourceApp/gui/gfx/gfx.h"
#include "SourceHost/desktop/SimpleMainWindow.h"
#include "SourceHost/inspector/InspectorWindow.h"
#include "SourceHost/inspector/Model.h"

#include <QApplication>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdlib>

namespace {

using namespace tdx;

constexpr int COMPONENTS = 300;

class Patch : public Component {
public:
    Patch(Container* parent, int x, int y, int w, int h, unsigned colour)
        : Component(parent, x, y, w, h)
        , mColour(colour) {
        setName("Patch");
    }
    void handleDraw() override {
        gfx_setcolor(mColour);
        gfx_fill_rect(getBoundingBox());
    }

private:
    unsigned mColour;
};

QApplication& qt() {
    static int argc = 1;
    static char name[] = "inspector_bench";
    static char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

Core& core() {
    static Core* instance = new Core;
    return *instance;
}

// A screen of 299 patches in 20 rows of containers: 300 components with the form.
Form* buildScreen(unsigned, unsigned next, const State&) {
    auto* form = new Form(State(next));
    int made = 1;
    for (int row = 0; made < COMPONENTS; ++row) {
        auto* line = new Container(form, 0, row * 12, 320, 12);
        ++made;
        for (int i = 0; i < 14 && made < COMPONENTS; ++i, ++made) {
            new Patch(line, i * 22, row * 12, 20, 10, 0x102030u * static_cast<unsigned>(i + next));
        }
    }
    return form;
}

void pass() {
    host_hand_over().runQueued([](const Event& e) { core().sendEvent(e.kind, e.x, e.y, e.a, e.b); });
    host_hand_over().countPass();
    core().task();
}

void showScreen(unsigned id) {
    core().setChangeStateCallback(&buildScreen);
    core().changeState(id, 0, 0, 0, 0);
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The process's CPU over two seconds of the window's event loop, as a percentage of one core.
double idleCpuPercent() {
    QEventLoop settle;
    QTimer::singleShot(500, &settle, &QEventLoop::quit); // the screen built and shown
    settle.exec();
    const double cpu = cpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    QEventLoop loop;
    QTimer::singleShot(2000, &loop, &QEventLoop::quit);
    loop.exec();
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    return 100.0 * (cpuSeconds() - cpu) / wall.count();
}

void BM_IdleCpuPlainWindow(benchmark::State& state) {
    qt();
    for (auto _ : state) {
        CSimpleMainWindow window({[] {
                                      layer_init();
                                      gfx_init();
                                      showScreen(12);
                                  },
                                  pass});
        window.run();
        state.counters["cpu_percent"] = idleCpuPercent();
        window.host().stop();
    }
}
BENCHMARK(BM_IdleCpuPlainWindow)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_IdleCpuInspectorWindow(benchmark::State& state) {
    qt();
    for (auto _ : state) {
        Model model;
        CMainWindow window({[&model] {
                                layer_init();
                                gfx_init();
                                model.attach(&core());
                                showScreen(13);
                            },
                            pass});
        InspectorLink link(model, window, window.host(), window.poster());
        window.run();
        state.counters["cpu_percent"] = idleCpuPercent();
        window.host().stop();
    }
}
BENCHMARK(BM_IdleCpuInspectorWindow)->Iterations(1)->Unit(benchmark::kMillisecond);

// The inspector in step mode: the test's thread runs the application's passes and the window's events.
struct SteppedInspector {
    SteppedInspector() {
        qt();
        window.host().InitializeStepMode();
        model.attach(&core());
        layer_init();
        gfx_init();
        showScreen(20);
        step();
    }
    ~SteppedInspector() {
        link.reset();
        window.host().stop();
        model.attach(nullptr);
    }
    void step() {
        window.host().step();
        QApplication::processEvents();
    }

    ManualTimerQueue timers;
    Model model;
    CMainWindow window{{nullptr, pass}, &timers};
    std::unique_ptr<InspectorLink> link =
        std::make_unique<InspectorLink>(model, window, window.host(), window.poster());
};

void BM_ScreenChangeToListView(benchmark::State& state) {
    SteppedInspector inspector;
    unsigned id = 20;
    for (auto _ : state) {
        showScreen(++id % 2 + 20);
        inspector.step();
        if (inspector.window.componentList().rows().size() != COMPONENTS) {
            state.SkipWithError("the list does not show the new screen");
        }
    }
}
BENCHMARK(BM_ScreenChangeToListView)->Unit(benchmark::kMillisecond);

void BM_DragStepToMovedPixels(benchmark::State& state) {
    SteppedInspector inspector;
    auto* form = static_cast<Container*>(core().getModalLayers().front());
    auto* line = static_cast<Container*>(form->getChildren().front());
    inspector.model.bridge().setSelectedComponent(line->getChildren().front()); // the patch at 0, 0
    inspector.step();
    QWidget* surface = inspector.window.GetHandle();
    auto send = [surface](QEvent::Type type, int x, int y) {
        const QPointF at(6 + x, 6 + y);
        QMouseEvent event(type, at, at, Qt::LeftButton,
                          type == QEvent::MouseMove ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(surface, &event);
    };
    send(QEvent::MouseButtonPress, 5, 5);
    int x = 5;
    for (auto _ : state) {
        x = x == 5 ? 105 : 5;
        send(QEvent::MouseMove, x, 100);
        inspector.step();
    }
    send(QEvent::MouseButtonRelease, x, 100);
    if (inspector.window.canvas()->Snapshot()[static_cast<size_t>(98 * 320 + x)] == 0) {
        state.SkipWithError("the moved patch is not on the canvas");
    }
}
BENCHMARK(BM_DragStepToMovedPixels)->Unit(benchmark::kMicrosecond);

} // namespace
