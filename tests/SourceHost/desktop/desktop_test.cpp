// The desktop shell on the offscreen platform: wrapper ownership, the emulator window driven by real mouse,
// wheel and key events into a host in step mode, zoom, the screenshot commands and the program's entry point.
#include "SourceHost/api_lib/comf.h"
#include "SourceHost/desktop/DesktopMain.h"
#include "SourceHost/desktop/SimpleMainWindow.h"
#include "tests/SourceHost/api_lib/scratch_folder.h"
#include "tests/SourceHost/desktop/many_colours.h"
#include "tests/SourceHost/desktop/window_languages.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/resources/resource_mgr.h"
#include "SourceApp/application/startup/Emulation.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/system/SystemMgr.h"
#include "SourceApp/system/config.h"
#include "SourceHost/api_lib/devices.h"
#include "SourceHost/desktop/ToolkitLanguage.h"
#include "tests/support/trace_capture.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <latch>
#include <string_view>
#include <vector>

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
        core.attachDebuggerBridge(&recorder);
        window.host().InitializeStepMode();
        // The hand-over is the process's: a finger an earlier case left down is lifted.
        host_hand_over().setTouch(0, 0);
        host_hand_over().setTouchPress(false);
        host_hand_over().takeTouchHistory();
    }
    ~Window() override { core.attachDebuggerBridge(nullptr); }

    void send(QEvent::Type type, QPointF at, Qt::MouseButton button) {
        QMouseEvent event(type, at, at, button, type == QEvent::MouseButtonRelease ? Qt::NoButton : button,
                          Qt::NoModifier);
        QApplication::sendEvent(window.GetHandle(), &event);
        window.host().step();
    }
    // A turn of `delta` down and `across` sideways at a point of the window, the window standing at `place`
    // on the screen.
    void wheel(int delta, QPointF at = {100, 100}, int across = 0, QPoint place = {0, 0}) {
        QWidget* widget = window.GetHandle();
        widget->move(place);
        const QPointF onScreen = widget->mapToGlobal(at);
        EXPECT_EQ(onScreen, at + QPointF(place)) << "where the screen sees the point";
        QWheelEvent event(at, onScreen, QPoint(), QPoint(across, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(widget, &event);
        window.host().step();
    }
    void key(int code, const QString& text = {}, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent event(QEvent::KeyPress, code, modifiers, text);
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
    // Each wheel event on the canvas is a scroll message of its own, through the host's queue: 40 pixels a
    // whole notch, a turn away from the user negative; parts of a notch add up, an event short of one sends
    // 0, and a part left from the other direction is dropped when the wheel turns back. The canvas is found
    // at the point in the window, wherever the window stands on the screen.
    const struct {
        int delta;
        QPointF at;
        int across;
        std::vector<std::string> messages;
        QPoint window = {0, 0};
    } turns[] = {
        {120, {100, 100}, 0, {"5:-40"}},             // a notch away from the user
        {-120, {100, 100}, 0, {"5:40"}},             // one towards the user
        {240, {6, 6}, 0, {"5:-80"}},                 // two, on the canvas's first pixel
        {-360, {325, 245}, 0, {"5:120"}},            // three back, on its last
        {60, {100, 100}, 0, {"5:0"}},                // half a notch
        {60, {100, 100}, 0, {"5:-40"}},              // and the other half: a notch
        {-119, {100, 100}, 0, {"5:0"}},              // just under a notch
        {119, {100, 100}, 0, {"5:0"}},               // and back: the part the other way is dropped
        {1, {100, 100}, 0, {"5:-40"}},               // and with one more, a notch this way
        {200, {100, 100}, 0, {"5:-40"}},             // a notch and two thirds
        {120, {5, 100}, 0, {}},                      // beside the canvas
        {120, {100, 246}, 0, {}},                    // below it
        {0, {100, 100}, 120, {}},                    // the horizontal wheel
        {40, {100, 100}, 0, {"5:-40"}},              // the two thirds' last third
        {-60, {100, 100}, 0, {"5:0"}},               // half a notch towards the user
        {120, {100, 100}, 0, {"5:-40"}},             // then a whole one away: the half is not taken from it
        {-60, {100, 100}, 0, {"5:0"}},               //
        {240, {100, 100}, 0, {"5:-80"}},             // nor from two
        {60, {100, 100}, 0, {"5:0"}},                // half a notch away from the user
        {-120, {100, 100}, 0, {"5:40"}},             // then a whole one towards: the half is not taken either
        {120, {100, 100}, 30, {"5:-40"}},            // a touchpad's diagonal move
        {-120, {100, 100}, -30, {"5:40"}},           // and back
        {120, {100, 100}, 0, {"5:-40"}, {400, 300}}, // the window away from the screen's top-left
        {-120, {325, 245}, 0, {"5:40"}, {400, 300}}, // on the canvas's last pixel there
        {120, {5, 100}, 0, {}, {100, 0}},            // beside the canvas, the screen's point on it
    };
    for (const auto& turn : turns) {
        SCOPED_TRACE(std::to_string(turn.delta) + " (" + std::to_string(turn.across) + " across) at " +
                     std::to_string(turn.at.x()) + "," + std::to_string(turn.at.y()) + ", the window at " +
                     std::to_string(turn.window.x()) + "," + std::to_string(turn.window.y()));
        wheel(turn.delta, turn.at, turn.across, turn.window);
        EXPECT_EQ(messages(), turn.messages);
    }
    key(Qt::Key_Left);
    key(Qt::Key_Up);
    key(Qt::Key_Eacute, QString::fromUtf8("\xC3\xA9"));
    key(Qt::Key_Backspace, QStringLiteral("\b"));
    key(Qt::Key_unknown, QString::fromUcs4(U"\U0001F600", 1)); // beyond 16 bits: one code point
    key(Qt::Key_Percent, QStringLiteral("%")); // typed: not the left arrow, whose code it shares
    // Control characters typed with Ctrl are the bytes of Backspace and Enter; Delete types nothing.
    key(Qt::Key_H, QStringLiteral("\b"), Qt::ControlModifier);
    key(Qt::Key_M, QStringLiteral("\r"), Qt::ControlModifier);
    key(Qt::Key_Delete, QStringLiteral("\x7f"));
    EXPECT_EQ(messages(), (std::vector<std::string>{"4:37", "4:38", "4:233c", "4:8", "4:128512c", "4:37c",
                                                    "4:8", "4:13"}));
}

TEST_F(Window, TheKeyboardReachesTheScreenNotTheButtonsBeforeAndAfterAClickOnIt) {
    QWidget* widget = window.GetHandle();
    widget->show();
    widget->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(widget));
    // Keys as the platform delivers them: to the window, which routes them to whatever has the focus.
    QWindow* platformWindow = widget->windowHandle();
    const std::vector<std::string> expected{"4:9", "4:37", "4:39", "4:38", "4:40", "4:32c", "4:13"};
    for (const char* moment : {"as the window opens", "after a click on the screen"}) {
        SCOPED_TRACE(moment);
        messages();
        for (Qt::Key k : {Qt::Key_Tab, Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Space,
                          Qt::Key_Return}) {
            QTest::keyClick(platformWindow, k);
            window.host().step();
        }
        EXPECT_EQ(messages(), expected);
        EXPECT_EQ(QApplication::focusWidget(), widget);
        EXPECT_EQ(window.canvas()->GetScale(), 1) << "Space pressed the zoom button";
        QTest::mouseClick(platformWindow, Qt::LeftButton, {}, QPoint(6 + 100, 6 + 100));
        window.host().step();
    }
    widget->hide();
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

// The application picks its language after the window is built: the buttons follow it at the next refresh,
// whole in their widths also where the translation is longer than the English caption, and full size again
// back in English.
TEST_F(Window, TheButtonsFollowTheApplicationsLanguageAndShowTheirCaptionsWhole) {
    struct Row {
        const char* english;
        const char* dutch;
    };
    static constexpr Row DUTCH[] = {{"Zoom", "Zoom"},
                                    {"Save screenshot", "Schermopname opslaan"},
                                    {"Screen to Clipboard", "Scherm naar klembord"}};
    const std::vector<CPushButton*> buttons{window.zoomButton(), window.saveButton(),
                                            window.clipboardButton()};
    auto fits = [](CPushButton* button) {
        QWidget* widget = button->GetHandle();
        return QFontMetrics(widget->font()).horizontalAdvance(QString::fromStdString(button->Text())) <
               widget->width();
    };
    auto sizes = [&] {
        std::vector<double> points;
        for (CPushButton* button : buttons) {
            EXPECT_TRUE(fits(button)) << button->Text();
            points.push_back(button->GetHandle()->font().pointSizeF());
        }
        return points;
    };
    const std::vector<double> english = sizes();
    i18n_set_provider([](const char*, const char* msgid) -> const char* {
        for (const Row& row : DUTCH) {
            if (std::string_view(row.english) == msgid) {
                return row.dutch;
            }
        }
        return nullptr;
    });
    window.retranslate();
    for (size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i]->Text(), DUTCH[i].dutch);
    }
    EXPECT_LT(sizes()[1], english[1]) << "a smaller font for the longer caption, not a cut one";

    i18n_set_provider(nullptr);
    window.retranslate();
    for (size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i]->Text(), DUTCH[i].english);
    }
    EXPECT_EQ(sizes(), english);
}

// In each of the four languages of the real catalogues the buttons read alike: every caption whole, and none
// squeezed into a font much smaller than the window's. The pictures go to <build>/screenshots/
// EmulatorWindow_<language>.png for a person to look at.
TEST_F(Window, InEveryLanguageTheButtonsReadAlikeInTheirWidths) {
    QWidget* widget = window.GetHandle();
    const double windowPoints = widget->font().pointSizeF();
    test::inEveryLanguage(TDX_RESOURCES_FILE, TDX_SCREENSHOT_DIR, widget, "EmulatorWindow", [&](const char*) {
        window.retranslate();
        for (CPushButton* button : {window.zoomButton(), window.saveButton(), window.clipboardButton()}) {
            QWidget* face = button->GetHandle();
            const QString caption = QString::fromStdString(button->Text());
            EXPECT_LT(QFontMetrics(face->font()).horizontalAdvance(caption), face->width()) << button->Text();
            EXPECT_GE(face->font().pointSizeF(), windowPoints - 1) << button->Text();
        }
    });
    window.retranslate();
}

// The texts of the save dialog the button opens: its title, then the labels of the folder, the file name and
// the file type; the dialog goes away unanswered and its picture to <screenshots>/<picture>.png.
std::vector<std::string> saveDialogTexts(CPushButton* button, const QString& picture) {
    std::vector<std::string> texts;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        for (QWidget* shown : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(shown);
            if (dialog == nullptr || !dialog->isVisible()) {
                continue;
            }
            answer.stop();
            texts.push_back(dialog->windowTitle().toStdString());
            for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"}) {
                if (const auto* label = dialog->findChild<QLabel*>(QString::fromLatin1(name))) {
                    texts.push_back(label->text().toStdString());
                }
            }
            std::filesystem::create_directories(TDX_SCREENSHOT_DIR);
            dialog->grab().save(QStringLiteral(TDX_SCREENSHOT_DIR "/") + picture + QStringLiteral(".png"));
            dialog->reject();
        }
    });
    answer.start(10);
    static_cast<QPushButton*>(button->GetHandle())->click(); // returns once the dialog is gone
    return texts;
}

// The same texts as the toolkit's translation file for the language gives them, the English ones where it
// has none.
std::vector<std::string> translatedDialogTexts(const char* language) {
    QTranslator translation;
    const bool loaded = std::string_view(language) != "en" &&
                        translation.load(QStringLiteral("qtbase_") + QString::fromLatin1(language),
                                         ToolkitLanguage::systemFolder());
    std::vector<std::string> texts;
    for (const char* english : {"Save As", "Look in:", "File &name:", "Files of type:"}) {
        const QString text = loaded ? translation.translate("QFileDialog", english) : QString();
        texts.push_back(text.isEmpty() ? english : text.toStdString());
    }
    return texts;
}

// The program's own file dialog ("Save screenshot") speaks the language the program shows, in the toolkit's
// own words where the system holds its translations (as the build's scripts install them), and English again
// once the program is back in English. The pictures go to <screenshots>/SaveDialog_<language>.png.
TEST_F(Window, TheSaveDialogSpeaksTheProgramsLanguage) {
    const struct {
        const char* name;
        const char* code;
    } languages[] = {{"English", "en"}, {"Danish", "da"}, {"Czech", "cs"}, {"Dutch", "nl"}};
    if (!QFile::exists(ToolkitLanguage::systemFolder() + QStringLiteral("/qtbase_da.qm"))) {
        GTEST_SKIP() << "the system holds no translations of the toolkit (qt6-translations-l10n)";
    }
    QWidget* widget = window.GetHandle();
    int language = 0;
    test::inEveryLanguage(
        TDX_RESOURCES_FILE, TDX_SCREENSHOT_DIR, widget, "EmulatorWindowSaving", [&](const char*) {
            const auto& shown = languages[language++];
            window.retranslate();
            const std::vector<std::string> expected = translatedDialogTexts(shown.code);
            EXPECT_EQ(saveDialogTexts(window.saveButton(), QStringLiteral("SaveDialog_") + shown.name),
                      expected);
            if (std::string_view(shown.code) != "en") {
                EXPECT_NE(expected.front(), "Save As") << "the system's translation reads as English";
            }
        });
    window.retranslate();
    EXPECT_EQ(saveDialogTexts(window.saveButton(), QStringLiteral("SaveDialog_English")),
              translatedDialogTexts("en"));
}

// Where the system holds no translation of the toolkit for the language, or one that cannot be read, the
// dialogs keep the toolkit's English, with a line in the trace that says why.
TEST(ToolkitLanguageTest, WithoutItsTranslationTheToolkitKeepsItsEnglish) {
    qtApplication();
    const test::TempDir folder;
    folder.write("qtbase_cs.qm", "not a translation");
    ToolkitLanguage toolkit(QString::fromStdString(folder.path()));
    const struct {
        uint8_t language;
        const char* traced;
    } rows[] = {{1, "no translation qtbase_da in"},
                {2, "no translation qtbase_cs in"},
                {3, "qtbase_nl"},
                {0, nullptr}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.language);
        const test::TraceCapture trace;
        toolkit.follow(row.language);
        toolkit.follow(row.language); // the same language again: nothing more
        QFileDialog dialog;
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Save As");
        EXPECT_EQ(trace.count("toolkit:"), row.traced != nullptr ? 1u : 0u) << trace.str();
        if (row.traced != nullptr) {
            EXPECT_TRUE(trace.contains(row.traced)) << trace.str();
        }
    }
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
    folder.write("shot.bmp.tmp", "the user's own file");
    answer = path;
    save.execute(nullptr);
    answer = "";
    save.execute(nullptr); // cancelled
    answer = "/nonexistent-folder/shot.bmp";
    save.execute(nullptr);
    EXPECT_EQ(proposed, (std::vector<std::string>{"screenshot.bmp", path, path}));
    EXPECT_EQ(std::filesystem::file_size(path), 230454u);
    // A file named like a temporary one is none of the screenshot's business, and nothing is left behind.
    EXPECT_EQ(folder.read("shot.bmp.tmp"), "the user's own file");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2);
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

// The window with the real system manager on the host's clock and a picture of many colours on the canvas;
// each pass wakes the screen on a new press of the finger, as the application's loop does.
class Glass : public ::testing::Test {
protected:
    Glass() {
        Configuration = DefaultConfiguration;
        host_hand_over().setTouch(0, 0);
        host_hand_over().setTouchPress(false);
        host_hand_over().takeTouchHistory();
        window.GetHandle()->installEventFilter(&paints);
        window.GetHandle()->show();
        window.host().InitializeStepMode();
        window.host().step();
    }
    ~Glass() override {
        window.GetHandle()->hide();
        // The cases that follow show their pictures as drawn, as a lit display does.
        lcd_turn_on();
        lcd_set_backlight(DefaultConfiguration.screen_intensity[ssActive]);
    }

    // Runs the host's tick and one pass per tick for `ms`, then lets the window take what was posted.
    void runFor(int ms) {
        for (int t = 0; t < ms; t += 62) {
            timers.advance(std::chrono::milliseconds(62));
            window.host().step();
        }
        QApplication::processEvents();
    }
    void finger(QEvent::Type type) {
        const QPointF at(6 + 100, 6 + 100);
        QMouseEvent event(type, at, at, Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.GetHandle(), &event);
        window.host().step();
    }
    struct PaintCounter : QObject {
        bool eventFilter(QObject*, QEvent* event) override {
            count += event->type() == QEvent::Paint;
            return false;
        }
        int count = 0;
    };

    QApplication& qt = qtApplication();
    ManualTimerQueue timers;
    std::unique_ptr<SystemMgr> system;
    bool pressed = false;
    PaintCounter paints;
    CSimpleMainWindow window{{[this] {
                                  // Switched off, as a device that has just powered up.
                                  lcd_turn_off();
                                  system = std::make_unique<SystemMgr>();
                                  window.canvas()->AddLayer(LAYER_MAIN, &test::manyColours());
                                  window.canvas()->Repaint();
                              },
                              [this] {
                                  const HostHandOver::Touch touch = host_hand_over().takeTouch();
                                  if (touch.pressed && !pressed) {
                                      system->reset();
                                  }
                                  pressed = touch.pressed;
                                  system->task();
                                  host_hand_over().runQueued(nullptr);
                                  host_hand_over().countPass();
                              }},
                             &timers};
};

// The defaults: 10 s after the last touch the backlight fades from 50 % to 6 % in 1.5 s, 10 s later to 0 and
// off; a touch switches it on and fades it to 50 % in 200 ms. The window shows each stage, and is painted
// again at each step of a fade.
TEST_F(Glass, TheWindowShowsTheScreenActiveDimmedAndOffAndATouchLightsItAgain) {
    struct Row {
        const char* moment;
        int runMs;
        bool touch;
        int lowest, highest; // the glass's light, percent
        bool painted;
    } rows[] = {
        {"fading in at the start", 0, false, 0, 0, false},
        {"active", 300, false, 50, 50, true},
        {"still active before the delay", 9500, false, 50, 50, false},
        {"dimming", 900, false, 7, 49, true},
        {"dimmed", 1500, false, 6, 6, true},
        {"off", 10500, false, 0, 0, true},
        {"waking: the touch switches on and the fade up starts", 100, true, 1, 49, true},
        {"lit again", 300, false, 50, 50, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.moment);
        const int paintsBefore = paints.count;
        if (row.touch) {
            finger(QEvent::MouseButtonPress);
            finger(QEvent::MouseButtonRelease);
        }
        runFor(row.runMs);
        // Before the picture is grabbed, which paints it too; the platform paints at its next frame.
        if (row.painted) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return paints.count > paintsBefore; }, 2000))
                << "the change of light was not painted";
        }
        const int glass = lcd_platform_glass();
        EXPECT_GE(glass, row.lowest);
        EXPECT_LE(glass, row.highest);
        // The display's out-of-the-box 50 % shows the picture as drawn.
        EXPECT_EQ(test::pixelsOffLight(*window.GetHandle(), std::min(glass, 50)), 0)
            << "at " << glass << " %";
    }
    EXPECT_EQ(lcd_platform_record().on, true);
}

// What the two screenshot buttons run writes the picture as drawn, however dark the glass is.
TEST_F(Glass, TheScreenshotsKeepThePictureAsDrawnOnADarkScreen) {
    runFor(21000);
    ASSERT_EQ(lcd_platform_glass(), 0);
    ASSERT_EQ(test::pixelsOffLight(*window.GetHandle(), 0), 0);
    const test::TempDir folder;
    const std::string path = folder / "dark.bmp";
    SaveScreenshotDialog save(
        window.canvas(), [&](const std::string&) { return path; }, [](const std::string&) {});
    save.execute(nullptr);
    ScreenshotToClipboard(window.canvas(), [](const std::string&) {}).execute(nullptr);
    const std::string bmp = folder.read("dark.bmp");
    ASSERT_EQ(bmp.size(), 230454u);
    const QImage copied = qvariant_cast<QImage>(QGuiApplication::clipboard()->mimeData()->imageData())
                              .convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(copied.size(), QSize(SCREEN_WIDTH, SCREEN_HEIGHT));
    int off = 0;
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            const uint32_t drawn =
                test::manyColours().front[static_cast<size_t>(y) * SCREEN_WIDTH + static_cast<size_t>(x)];
            // 24-bit rows bottom-up, blue, green, red.
            const size_t at = 54 + (static_cast<size_t>(SCREEN_HEIGHT - 1 - y) * SCREEN_WIDTH + x) * 3;
            const uint32_t saved = static_cast<uint8_t>(bmp[at]) | static_cast<uint8_t>(bmp[at + 1]) << 8 |
                                   static_cast<uint32_t>(static_cast<uint8_t>(bmp[at + 2])) << 16;
            off += saved != drawn;
            off += (copied.pixel(x, y) & 0xFFFFFFu) != drawn;
        }
    }
    EXPECT_EQ(off, 0);
}

// The application asks whether the host keeps it running: from the host's construction, in every pass,
// until the host stops it.
TEST(ApplicationThread, TheApplicationIsActiveFromTheHostsStartUntilItStops) {
    host_hand_over().close(); // as an earlier host left it
    std::atomic<int> seenInPass{-1};
    std::latch passed(1);
    ManualTimerQueue timers;
    CHost host({nullptr,
                [&] {
                    host_hand_over().runQueued(nullptr);
                    if (seenInPass.exchange(Emulation::AppIsActive() ? 1 : 0) == -1) {
                        passed.count_down();
                    }
                }},
               host_hand_over(), &timers);
    EXPECT_TRUE(Emulation::AppIsActive()) << "constructed";
    host.Initialize();
    passed.wait();
    EXPECT_EQ(seenInPass.load(), 1) << "in a pass";
    ASSERT_TRUE(host.stop());
    EXPECT_FALSE(Emulation::AppIsActive()) << "stopped";
    host_hand_over().open();
}

// ---- The entry point ----

// The entry point in a working folder of its own, where the resources file is wherever the case puts it.
class EntryPoint : public test::ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        qtApplication();
        forgetPort();
    }
    void TearDown() override {
        forgetPort();
        ScratchFolder::TearDown();
    }
    // A port an earlier run found or was given is used again: each case starts before any search.
    static void forgetPort() {
        std::snprintf(PortName, sizeof PortName, "%s", "AUTO");
        comf_set_port_override(nullptr);
    }
    static void giveResources(const std::filesystem::path& folder = ".") {
        std::filesystem::create_directories(folder / "Dist");
        std::filesystem::create_symlink(TDX_RESOURCES_FILE, folder / RESOURCES_PATH);
    }
    int run(std::vector<std::string> arguments, std::string* shown = nullptr,
            HostApplication application = {}) {
        arguments.insert(arguments.begin(), "tdx410");
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        return desktop_main(static_cast<int>(arguments.size()), argv.data(),
                            {std::move(application), [shown](const std::string& text) {
                                 if (shown != nullptr) {
                                     *shown = text;
                                 }
                             }});
    }
};

TEST_F(EntryPoint, ArgumentsSelectTheirSettingsAndTheInspector) {
    struct Row {
        std::vector<std::string> arguments;
        bool ok;
        bool inspector;
        std::string port;
        std::string sdcard = "";
    };
    const Row rows[] = {
        {{}, true, false, ""},
        {{"x", "inspector"}, true, true, ""},
        {{"x", "'inspector'"}, true, true, ""},
        {{"--port", "/dev/pts/3", "x", "'inspector'", "--trace-packets"}, true, true, "/dev/pts/3"},
        // Anything but the pair NAME inspector is an argument the program does not know.
        {{"inspector"}, false, false, ""},
        {{"x", "''"}, false, false, ""},
        {{"x", "'insp"}, false, false, ""},
        {{"x", "'insp'"}, false, false, ""},
        {{"x", "'inspector"}, false, false, ""},
        {{"--port", "X", "foo"}, false, false, ""},
        {{"x", "inspector", "z"}, false, false, ""},
        {{"--port"}, false, false, ""},
        {{"--colour", "x"}, false, false, ""},
        // An option where a value belongs is no value: the value is missing.
        {{"--sdcard", "--port", "X"}, false, false, ""},
        {{"--port", "--sdcard", "card"}, false, false, ""},
        {{"--port", "--help"}, false, false, ""},
        {{"--sdcard", "-x"}, false, false, ""},
        {{"--sdcard", ""}, false, false, ""},
        {{"--sdcard", "./-card", "--port", "-"}, true, false, "-", "./-card"},
    };
    for (const Row& row : rows) {
        std::string error;
        const auto options = desktop_parse_arguments(row.arguments, &error);
        SCOPED_TRACE(row.arguments.empty() ? "" : row.arguments.back());
        ASSERT_EQ(options.has_value(), row.ok);
        if (options) {
            EXPECT_EQ(options->inspector, row.inspector);
            EXPECT_EQ(options->port, row.port);
            EXPECT_EQ(options->sdcard, row.sdcard);
        } else {
            EXPECT_FALSE(error.empty());
        }
    }
}

// An option without its value, and an argument the program does not know, as a bad option is: refused with 2,
// named, with no window.
TEST_F(EntryPoint, AnOptionWithoutItsValueOrAnArgumentNotKnownIsRefusedWithTwoAndNamed) {
    struct Row {
        std::vector<std::string> arguments;
        std::string said;
    };
    const Row rows[] = {
        {{"--port"}, "The option needs a value: --port"},
        {{"--sdcard", "--port", "X"}, "The option needs a value: --sdcard"},
        {{"--port", "--trace-packets"}, "The option needs a value: --port"},
        {{"--port", "X", "foo"}, "Unknown argument: foo"},
        {{"x", "inspector", "z", "--help"}, "Unknown argument: z"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.said);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(run(row.arguments), 2);
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find(row.said + "\n"), std::string::npos) << said;
        EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
    }
}

TEST_F(EntryPoint, HelpShowsOptionsVariablesAndExitCodesAndEndsWithZero) {
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(run({"--port", "/dev/null", "--help"}), 0);
    const std::string usage = ::testing::internal::GetCapturedStdout();
    for (const char* part : {"--port PATH", "--sdcard DIR", "--trace-packets", "inspector", "TDX410_PORT",
                             "TDX410_SDCARD", "TDX410_ADDRESS", "TDX410_TRACE", "  4 ", "  18 "}) {
        EXPECT_NE(usage.find(part), std::string::npos) << part;
    }
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
}

TEST_F(EntryPoint, WithoutTheResourcesFileItNamesThePathsItTriedAndEndsWithThree) {
    std::string shown;
    EXPECT_EQ(run({"--port", "/dev/null"}, &shown), 3);
    // The working folder, beside the program (this test's), the installation's share folder.
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    for (const std::string& path : {std::string(RESOURCES_PATH), (self / RESOURCES_PATH).string(),
                                    (self.parent_path() / "share/tdx410/resources.win32.bin").string()}) {
        EXPECT_NE(shown.find(path), std::string::npos) << shown;
    }
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
}

TEST_F(EntryPoint, TheResourcesFileBesideTheProgramServesAnyWorkingFolder) {
    const test::TempDir installed;
    giveResources(installed.path());
    const auto candidates = desktop_resources_candidates(installed / "tdx410");
    std::string tried;
    EXPECT_EQ(desktop_find_resources(candidates, &tried), installed / RESOURCES_PATH);
    // A file in the working folder that is no resources file is passed over.
    std::filesystem::create_directories("Dist");
    writeFile(RESOURCES_PATH, "not resources");
    EXPECT_EQ(desktop_find_resources(candidates, &tried), installed / RESOURCES_PATH);
    std::filesystem::remove(installed / RESOURCES_PATH);
    EXPECT_EQ(desktop_find_resources(candidates, &tried), std::nullopt);
    EXPECT_NE(tried.find(std::string(RESOURCES_PATH) + " (not a resources file"), std::string::npos) << tried;
    EXPECT_NE(tried.find(installed / RESOURCES_PATH + " (missing)"), std::string::npos) << tried;
}

TEST_F(EntryPoint, WithoutAConverterItSaysSoAndEndsWithOne) {
    giveResources();
    setenv("TDX410_SYSFS_ROOT", mFolder.c_str(), 1);
    unsetenv("TDX410_PORT");
    std::string shown;
    EXPECT_EQ(run({}, &shown), 1);
    unsetenv("TDX410_SYSFS_ROOT");
    EXPECT_EQ(shown, "Connect HMU-300-USB converter to your computer and to the control unit and try again.");
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
}

TEST_F(EntryPoint, ClosingTheWindowEndsWithEighteen) {
    giveResources();
    QTimer::singleShot(50, [] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            widget->close();
        }
    });
    EXPECT_EQ(run({"--port", "/dev/null"}, nullptr, {nullptr, [] { host_hand_over().runQueued(nullptr); }}),
              18);
}

} // namespace
} // namespace tdx
