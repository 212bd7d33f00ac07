// The desktop shell on the offscreen platform: wrapper ownership, the emulator window driven by real mouse,
// wheel and key events into a host in step mode, zoom, the screenshot commands and the program's entry point.
#include "SourceHost/desktop/DesktopMain.h"
#include "SourceHost/api_lib/comf.h"
#include "SourceHost/desktop/SimpleMainWindow.h"
#include "tests/SourceHost/api_lib/scratch_folder.h"

#include "SourceApp/gui/core/Core.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <filesystem>

// The system's font configuration keeps a cache it never frees; the leak checker is told so.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}

namespace tdx {
namespace {

QApplication& qtApplication() {
    static int argc = 1;
    static char name[] = "test_host_desktop";
    static char* argv[] = {name, nullptr};
    // Never destroyed: the toolkit's own statics may be gone at exit.
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

class Flag : public Command {
public:
    explicit Flag(bool& deleted)
        : mDeleted(deleted) {}
    ~Flag() override { mDeleted = true; }
    void execute(MessageArgument*) override {}

private:
    bool& mDeleted;
};

TEST(Wrappers, ChildrenGoWithTheirParentAndUnlinkThemselvesWhenDeletedAlone) {
    qtApplication();
    auto* parent = new CWindow(nullptr, new QWidget);
    auto* early = new CLabel(parent, 0, 0, 10, 10, parent->GetHandle(), "early");
    auto* button = new CPushButton(parent, 0, 0, 10, 10, parent->GetHandle(), "b");
    QPointer<QWidget> earlyWidget = early->GetHandle(), buttonWidget = button->GetHandle();
    bool firstDeleted = false, secondDeleted = false;
    button->setOnClickCommand(new Flag(firstDeleted));
    button->setOnClickCommand(new Flag(secondDeleted));
    EXPECT_TRUE(firstDeleted);
    delete early; // alone: its parent must not delete it again
    EXPECT_TRUE(earlyWidget.isNull());
    EXPECT_EQ(parent->children().size(), 1u);
    delete parent;
    EXPECT_TRUE(buttonWidget.isNull());
    EXPECT_TRUE(secondDeleted);
}

struct EditWatcher : sigslot::has_slots<> {
    std::vector<std::string> seen;
    void onChange(CEditBox* box) { seen.push_back(box->Value()); }
};

TEST(Wrappers, EditBoxAnnouncesOnlyRealChangesAndStatusBarKeepsToItsParts) {
    qtApplication();
    CWindow window(nullptr, new QWidget);
    auto* edit = new CEditBox(&window, 0, 0, 50, 20, window.GetHandle(), "a");
    EditWatcher watcher;
    edit->ValueChanged.connect(&watcher, &EditWatcher::onChange);
    edit->Value("a");
    edit->Append("");
    edit->Append("b");
    EXPECT_EQ(watcher.seen, (std::vector<std::string>{"ab"}));
    auto* status = new CStatusBar(&window, window.GetHandle(), {100, -1});
    EXPECT_FALSE(status->SetText(2, "x"));
    EXPECT_FALSE(status->SetText(-1, "x"));
    EXPECT_TRUE(status->SetText(1, "12 Cycles/s"));
    EXPECT_EQ(status->Text(1), "12 Cycles/s");
}

class MessageRecorder : public DebuggerBridge {
public:
    // A typed character is marked with a c.
    void onMessagePush(Component*, unsigned id, int p1, int p2, int, int) override {
        messages.push_back(std::to_string(id) + ":" + std::to_string(p1) + (p2 == KEY_CHARACTER ? "c" : ""));
    }
    std::vector<std::string> messages;
};

// The window with its host in step mode and an application that keeps the last touch it saw.
class Window : public ::testing::Test {
protected:
    Window() {
        // The finger is up at the corner, whatever another test left on the host's shared hand-over.
        host_hand_over().setTouchPress(false);
        host_hand_over().setTouch(0, 0);
        core.attachDebuggerBridge(&recorder);
        window.host().InitializeStepMode();
    }
    ~Window() override { core.attachDebuggerBridge(nullptr); }

    void send(QEvent::Type type, QPointF at, Qt::MouseButton button) {
        QMouseEvent event(type, at, at, button, type == QEvent::MouseButtonRelease ? Qt::NoButton : button,
                          Qt::NoModifier);
        QApplication::sendEvent(window.GetHandle(), &event);
        window.host().step();
    }
    void wheel(int delta, QPointF at = {100, 100}) {
        QWheelEvent event(at, at, QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(window.GetHandle(), &event);
        window.host().step();
    }
    void key(int code, const QString& text = {}) {
        QKeyEvent event(QEvent::KeyPress, code, Qt::NoModifier, text);
        QApplication::sendEvent(window.GetHandle(), &event);
        window.host().step();
    }
    std::vector<std::string> messages() { return std::exchange(recorder.messages, {}); }

    QApplication& qt = qtApplication(); // before any widget
    Core core;
    MessageRecorder recorder;
    HostHandOver::Touch touch;
    ManualTimerQueue timers;
    CSimpleMainWindow window{{nullptr,
                              [this] {
                                  touch = host_hand_over().takeTouch();
                                  host_hand_over().runQueued(nullptr);
                                  host_hand_over().countPass();
                              }},
                             &timers};
};

TEST_F(Window, TheFingerFollowsTheMouseAndLiftsOutsideTheCanvas) {
    struct Row {
        QEvent::Type type;
        QPointF at;
        bool pressed;
        int x, y;
    };
    const Row rows[] = {
        {QEvent::MouseMove, {50, 50}, false, 0, 0},                 // no button: nothing changes
        {QEvent::MouseButtonPress, {6 + 10, 6 + 20}, true, 10, 20}, // press on the canvas
        {QEvent::MouseMove, {-40, 400}, true, 0, 239},              // dragged out: clamped
        {QEvent::MouseButtonRelease, {900, -5}, false, 319, 0},     // released outside: lifted
        {QEvent::MouseButtonPress, {300, 270}, false, 319, 0},      // a press beside the canvas
        {QEvent::MouseButtonRelease, {6 + 5, 6 + 5}, false, 319, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.at.x());
        send(row.type, row.at, row.type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton);
        EXPECT_EQ(touch.pressed, row.pressed);
        EXPECT_EQ(touch.x * 1000 + touch.y, row.x * 1000 + row.y);
    }
}

TEST_F(Window, WheelAndKeysReachTheCore) {
    wheel(120);
    wheel(-120);
    wheel(60); // half a notch: nothing yet
    wheel(60);
    wheel(120, {1, 1}); // beside the canvas
    EXPECT_EQ(messages(), (std::vector<std::string>{"5:-40", "5:40", "5:-40"}));
    key(Qt::Key_Left);
    key(Qt::Key_Up);
    key(Qt::Key_Eacute, QString::fromUtf8("\xC3\xA9"));
    key(Qt::Key_Backspace, QStringLiteral("\b"));
    key(Qt::Key_unknown, QString::fromUcs4(U"\U0001F600", 1)); // beyond 16 bits: one code point
    key(Qt::Key_Percent, QStringLiteral("%")); // typed: not the left arrow, whose code it shares
    EXPECT_EQ(messages(), (std::vector<std::string>{"4:37", "4:233c", "4:8", "4:128512c", "4:37c"}));
}

TEST_F(Window, ZoomCyclesThroughThreeScales) {
    auto* zoom = static_cast<QPushButton*>(window.zoomButton()->GetHandle());
    const int sizes[][3] = {{2, 652, 495}, {3, 972, 735}, {1, 332, 255}};
    for (const auto& [scale, width, buttonY] : sizes) {
        zoom->click();
        EXPECT_EQ(window.canvas()->GetScale(), scale);
        EXPECT_EQ(window.GetWidth(), width);
        EXPECT_EQ(window.GetHeight(), CSimpleMainWindow::clientHeight(scale));
        EXPECT_EQ(window.saveButton()->GetY(), buttonY);
        EXPECT_EQ(window.clipboardButton()->GetY(), buttonY);
    }
    zoom->click();
    send(QEvent::MouseButtonPress, {6 + 2 * 100, 6 + 2 * 50}, Qt::LeftButton);
    EXPECT_EQ(touch.x * 1000 + touch.y, 100 * 1000 + 50);
}

TEST_F(Window, ScreenshotCommandsWriteTheFileAndFillTheClipboard) {
    std::vector<std::string> proposed;
    std::vector<std::string> reports;
    std::string answer;
    SaveScreenshotDialog save(
        window.canvas(),
        [&](const std::string& offer) {
            proposed.push_back(offer);
            return answer;
        },
        [&](const std::string& text) { reports.push_back(text); });
    const test::TempDir folder;
    const std::string path = folder / "shot.bmp";
    answer = path;
    save.execute(nullptr);
    answer = "";
    save.execute(nullptr); // cancelled
    answer = "/nonexistent-folder/shot.bmp";
    save.execute(nullptr);
    EXPECT_EQ(proposed, (std::vector<std::string>{"screenshot.bmp", path, path}));
    EXPECT_EQ(std::filesystem::file_size(path), 230454u);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("/nonexistent-folder/shot.bmp"), std::string::npos);
    EXPECT_FALSE(reports[0].ends_with(": ")) << "the report says why";

    ScreenshotToClipboard(window.canvas(), [&](const std::string& text) {
        reports.push_back(text);
    }).execute(nullptr);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->data(QStringLiteral("image/bmp")).size(), 230454);
    EXPECT_EQ(qvariant_cast<QImage>(data->imageData()).size(), QSize(320, 240));
}

// ---- The entry point ----

// Each run of the entry point chooses its port anew, as a program started once does.
class EntryPoint : public ::testing::Test {
protected:
    void SetUp() override { forgetPort(); }
    void TearDown() override { forgetPort(); }
    static void forgetPort() {
        std::snprintf(PortName, sizeof PortName, "%s", "AUTO");
        comf_set_port_override(nullptr);
    }
};

TEST_F(EntryPoint, ArgumentsSelectTheirSettingsAndTheInspector) {
    struct Row {
        std::vector<std::string> arguments;
        bool ok;
        bool inspector;
        std::string port;
    };
    const Row rows[] = {
        {{}, true, false, ""},
        {{"x", "inspector"}, true, true, ""},
        {{"x", "'inspector'"}, true, true, ""},
        {{"--port", "/dev/pts/3", "x", "'inspector'", "--trace-packets"}, true, true, "/dev/pts/3"},
        {{"inspector"}, true, false, ""},
        {{"x", "''"}, true, false, ""},
        {{"x", "'insp"}, true, false, ""},
        {{"x", "'insp'"}, true, false, ""},
        {{"x", "'inspector"}, true, false, ""},
        {{"--port"}, false, false, ""},
        {{"--colour", "x"}, false, false, ""},
    };
    for (const Row& row : rows) {
        std::string error;
        const auto options = desktop_parse_arguments(row.arguments, &error);
        SCOPED_TRACE(row.arguments.empty() ? "" : row.arguments.back());
        ASSERT_EQ(options.has_value(), row.ok);
        if (options) {
            EXPECT_EQ(options->inspector, row.inspector);
            EXPECT_EQ(options->port, row.port);
        } else {
            EXPECT_FALSE(error.empty());
        }
    }
}

TEST_F(EntryPoint, WithoutAConverterItSaysSoAndEndsWithOne) {
    qtApplication();
    const test::TempDir empty;
    setenv("TDX410_SYSFS_ROOT", empty.path().c_str(), 1);
    unsetenv("TDX410_PORT");
    std::string shown;
    char program[] = "tdx410";
    char* argv[] = {program, nullptr};
    EXPECT_EQ(desktop_main(1, argv, {{}, [&](const std::string& text) { shown = text; }}), 1);
    EXPECT_EQ(shown, "Connect HMU-300-USB converter to your computer and to the control unit and try again.");
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
}

TEST_F(EntryPoint, ClosingTheWindowEndsWithEighteen) {
    qtApplication();
    char program[] = "tdx410", option[] = "--port", port[] = "/dev/null";
    char* argv[] = {program, option, port, nullptr};
    QTimer::singleShot(50, [] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            widget->close();
        }
    });
    EXPECT_EQ(desktop_main(3, argv, {{nullptr, [] { host_hand_over().runQueued(nullptr); }}, nullptr}), 18);
}

} // namespace
} // namespace tdx
