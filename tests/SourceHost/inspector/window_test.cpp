// The inspector window on the offscreen platform, driven through its widget with real mouse and key events,
// against a real GUI core with small trees: the application's side runs in the test's host passes, and what
// the model posts reaches the window when the test lets the event loop run.
#include "inspector_fixture.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/resources/resource_mgr.h"
#include "SourceHost/api_lib/devices.h"
#include "SourceHost/desktop/DesktopMain.h"
#include "SourceHost/desktop/ToolkitLanguage.h"
#include "SourceHost/inspector/InspectorMain.h"
#include "SourceHost/inspector/InspectorWindow.h"
#include "tests/SourceHost/api_lib/scratch_folder.h"
#include "tests/SourceHost/desktop/many_colours.h"
#include "tests/SourceHost/desktop/window_languages.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QWheelEvent>

#include <filesystem>
#include <functional>
#include <span>
#include <string_view>

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}

namespace tdx::test {
namespace {

using Lines = std::vector<std::string>;

QApplication& qtApplication() {
    static int argc = 1;
    static char name[] = "test_inspector_window";
    static char* argv[] = {name, nullptr};
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

class Window : public InspectorTest {
protected:
    void SetUp() override {
        InspectorTest::SetUp();
        window.host().InitializeStepMode();
        requests.listen(window, {"COMPONENT_RESET", "COMPONENT_DESELECT_REQUEST", "KEY_PRESS",
                                 "COMPONENT_SELECT_FROM_LIST", "COMPONENT_MODIFY"});
        form = openScreen(12);
        panel = add<Panel>(form, "Panel", 0, 0, 200, 100);
        a = add(panel, "A", 10, 20, 30, 40);
        b = add(panel, "B", 100, 20, 30, 40);
        c = add(form, "C", 0, 150, 100, 50);
        settle();
    }
    void TearDown() override {
        link.reset();
        InspectorTest::TearDown();
    }
    // A host pass, then the window's thread runs what was posted.
    void settle(int passes = 1) {
        for (int i = 0; i < passes; ++i) {
            window.host().step();
        }
        QApplication::processEvents();
    }
    void mouse(QEvent::Type type, QPointF display, Qt::MouseButton button, int scale = 1) {
        const QPointF at(6 + display.x() * scale, 6 + display.y() * scale);
        QMouseEvent event(type, at, at, button, type == QEvent::MouseButtonRelease ? Qt::NoButton : button,
                          Qt::NoModifier);
        QApplication::sendEvent(window.GetHandle(), &event);
    }
    void rightClick(int x, int y) {
        mouse(QEvent::MouseButtonPress, {double(x), double(y)}, Qt::RightButton);
        settle();
    }
    void drag(QPointF from, std::vector<QPointF> path) {
        mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
        for (QPointF to : path) {
            mouse(QEvent::MouseMove, to, Qt::NoButton);
        }
        mouse(QEvent::MouseButtonRelease, path.back(), Qt::LeftButton);
        settle();
    }
    void key(int code, const QString& text = {}) {
        QKeyEvent event(QEvent::KeyPress, code, Qt::NoModifier, text);
        QApplication::sendEvent(window.GetHandle(), &event);
    }
    std::string row(int r) {
        std::string line;
        for (int column = 0; column < 7; ++column) {
            line += (column ? " " : "") + window.componentList().cellText(r, column);
        }
        return line;
    }
    int fieldValue(ComponentAttribute attribute) { return window.field(attribute)->Value(); }
    std::string state() { return window.machine()->getState()->getName(); }

    QApplication& qt = qtApplication();
    // The window's host runs the core: its commands and events, then one core pass.
    CMainWindow window{{nullptr,
                        [this] {
                            host_hand_over().runQueued(
                                [this](const Event& e) { mCore.sendEvent(e.kind, e.x, e.y, e.a, e.b); });
                            host_hand_over().countPass();
                            mCore.task();
                        }},
                       &timers};
    std::unique_ptr<InspectorLink> link =
        std::make_unique<InspectorLink>(model, window, window.host(), window.poster());
    BusLog requests;
    TestForm* form = nullptr;
    Panel* panel = nullptr;
    Patch *a = nullptr, *b = nullptr, *c = nullptr;
};

TEST_F(Window, TheListShowsTheTreeInOrderIndentedByDepth) {
    const QAbstractItemModel* rows = window.componentList().listView().view()->model();
    ASSERT_EQ(rows->rowCount(), 5);
    const Lines expected = {"TestForm 0 0 319 239 320 240", "Panel 0 0 199 99 200 100", "A 10 20 39 59 30 40",
                            "B 100 20 129 59 30 40", "C 0 150 99 199 100 50"};
    const int depths[] = {0, 1, 2, 2, 1};
    for (int r = 0; r < 5; ++r) {
        EXPECT_EQ(row(r), expected[static_cast<size_t>(r)]);
        EXPECT_EQ(rows->data(rows->index(r, 0), Qt::UserRole).toInt(), depths[r]);
        EXPECT_EQ(rows->data(rows->index(r, 0)).toString().toStdString(),
                  window.componentList().cellText(r, 0));
    }
    EXPECT_EQ(rows->headerData(6, Qt::Horizontal).toString(), QStringLiteral("Height"));
}

TEST_F(Window, RightClickSelectsAtThePointAndAgainDeselectsAnywhere) {
    rightClick(15, 25);
    EXPECT_EQ(coreSelection(model), a);
    EXPECT_EQ(window.selection().getComponent().typeName, "A");
    EXPECT_EQ(state(), "Selected");
    QTableView* view = window.componentList().listView().view();
    EXPECT_EQ(view->selectionModel()->selectedRows().value(0).row(), 2);
    EXPECT_TRUE(requests.take().empty()) << "showing the selection in the list sends nothing back";
    EXPECT_EQ(fieldValue(Left) * 1000 + fieldValue(Height), 10 * 1000 + 40);
    EXPECT_TRUE(window.field(Top)->spinBox()->isEnabled());
    EXPECT_EQ(a->getBoundingBox(), Box(10, 20, 30, 40)) << "showing the geometry writes nothing back";

    rightClick(300, 230); // with a selection: anywhere on the canvas deselects
    EXPECT_EQ(coreSelection(model), nullptr);
    EXPECT_EQ(state(), "Deselected");
    EXPECT_FALSE(window.field(Top)->spinBox()->isEnabled());
    EXPECT_TRUE(view->selectionModel()->selectedRows().isEmpty());
    rightClick(300, 230); // nothing there: nothing selected
    EXPECT_EQ(window.selection().getState(), 0);
}

TEST_F(Window, PickingARowSelectsThatComponentInTheApplication) {
    QTableView* view = window.componentList().listView().view();
    view->selectRow(4);
    EXPECT_EQ(requests.take(), (Lines{"COMPONENT_SELECT_FROM_LIST C 0,150 100x50"}));
    settle();
    EXPECT_EQ(coreSelection(model), c);
    EXPECT_TRUE(c->isDebugSelected());
    EXPECT_EQ(view->selectionModel()->selectedRows().value(0).row(), 4);
    EXPECT_TRUE(requests.take().empty());
}

TEST_F(Window, DraggingTheBodyMovesAndTheCornerResizesAndTheListFollows) {
    rightClick(15, 25);
    requests.take();
    drag({15, 25}, {{20, 25}, {60, 125}});
    EXPECT_EQ(a->getBoundingBox(), Box(55, 120, 30, 40));
    EXPECT_EQ(fieldValue(Left) * 1000 + fieldValue(Top), 55 * 1000 + 120);
    EXPECT_EQ(row(2), "A 55 120 84 159 30 40");
    EXPECT_EQ(state(), "Selected");
    const Lines moves = requests.take();
    EXPECT_EQ(moves.front(), "COMPONENT_MODIFY") << "no payload kind the log knows";

    drag({85, 160}, {{95, 170}, {150, 100}}); // from 1 beyond the corner; above the top edge: the last place
    EXPECT_EQ(a->getBoundingBox(), Box(55, 120, 95, 50));
    drag({149, 169}, {{600, 600}}); // from the corner to far off the display
    EXPECT_EQ(a->getBoundingBox(), Box(55, 120, 265, 120));
    EXPECT_EQ(row(2), "A 55 120 319 239 265 120");
    EXPECT_EQ(fieldValue(Width) * 1000 + fieldValue(Height), 265 * 1000 + 120);

    drag({150, 30}, {{160, 40}}); // away from the selected one: nothing moves, no touch for the application
    EXPECT_EQ(b->getBoundingBox(), Box(100, 20, 30, 40));
    EXPECT_EQ(state(), "Selected");
}

TEST_F(Window, EscapeResetsThenDeselectsAndTheArrowsStayWithTheInspector) {
    rightClick(15, 25);
    drag({15, 25}, {{40, 25}});
    requests.take();
    key(Qt::Key_Left);
    key(Qt::Key_Escape);
    EXPECT_EQ(requests.take(),
              (Lines{"COMPONENT_RESET A 35,20 30x40", "COMPONENT_DESELECT_REQUEST", "KEY_PRESS"}));
    settle();
    EXPECT_EQ(a->getBoundingBox(), Box(10, 20, 30, 40));
    EXPECT_EQ(coreSelection(model), nullptr);
    key(Qt::Key_Left);
    key(Qt::Key_Escape); // without a selection it is only a key
    EXPECT_EQ(requests.take(), (Lines{"KEY_PRESS", "KEY_PRESS"}));
}

// The wheel over the canvas reaches the application's components as a scroll message of 40 pixels a notch,
// through the host's queue, as in the emulator window; over the inspector's tools it is not the screen's.
TEST_F(Window, TheWheelOverTheCanvasScrollsTheApplicationsScreen) {
    SeenLog seen;
    new Listener(form, "screen", seen);
    settle();
    auto turn = [&](int delta, QPointF at) {
        QWheelEvent event(at, at, QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(window.GetHandle(), &event);
    };
    turn(120, {6 + 100, 6 + 100});
    turn(-240, {6, 6});
    turn(30, {6 + 319, 6 + 239});
    turn(120, {6 + 320, 6 + 100}); // beside the canvas
    turn(120, {400, 100});         // over the properties
    settle();
    std::vector<int> scrolled;
    for (const Seen& message : seen) {
        if (message.id == MSG_SCROLL_BY) {
            EXPECT_EQ(message.source, nullptr);
            scrolled.push_back(message.p1);
        }
    }
    EXPECT_EQ(scrolled, (std::vector<int>{-40, 80, 0}));
}

TEST_F(Window, TheKeyboardReachesTheScreenNotTheButtonsUntilAFieldTakesIt) {
    std::string keys;
    window.addListener("KEY_PRESS", std::make_shared<LambdaCommand>([&keys](MessageArgument* argument) {
                           MessageReaderKey key;
                           if (key.tryRead(argument)) {
                               keys += std::to_string(key.getKeyValue()[0]) + " ";
                           }
                       }));
    QWidget* widget = window.GetHandle();
    widget->show();
    widget->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(widget));
    // Keys as the platform delivers them: to the window, which routes them to whatever has the focus.
    QWindow* platformWindow = widget->windowHandle();
    auto type = [&] {
        for (Qt::Key k : {Qt::Key_Tab, Qt::Key_Left, Qt::Key_Up, Qt::Key_Space, Qt::Key_Return}) {
            QTest::keyClick(platformWindow, k);
        }
        return std::exchange(keys, {});
    };
    EXPECT_EQ(type(), "9 37 38 32 13 ") << "as the window opens";
    EXPECT_EQ(window.canvas()->GetScale(), 1) << "Space pressed the zoom button";
    auto* notes = qobject_cast<QPlainTextEdit*>(window.editBox()->GetHandle());
    ASSERT_NE(notes, nullptr);
    QTest::mouseClick(notes->viewport(), Qt::LeftButton);
    EXPECT_EQ(type(), "") << "typing in a field of the inspector";
    QTest::mouseClick(platformWindow, Qt::LeftButton, {}, QPoint(6 + 300, 6 + 230));
    EXPECT_EQ(type(), "9 37 38 32 13 ") << "after a click on the screen";
    widget->hide();
}

// The keyboard leaves a field of the inspector for the screen only on a left press anywhere on the window or
// a right press that selects on the screen: a digit typed after any other press goes on into the field.
TEST_F(Window, OnlyALeftPressOrASelectingRightPressTakesTheKeyboardFromAField) {
    QWidget* widget = window.GetHandle();
    widget->show();
    widget->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(widget));
    QWindow* platformWindow = widget->windowHandle();
    auto* notes = qobject_cast<QPlainTextEdit*>(window.editBox()->GetHandle());
    ASSERT_NE(notes, nullptr);
    const struct {
        const char* press;
        Qt::MouseButton button;
        QPoint at;
        bool selected; // a component is selected before the press
        bool screenTakesIt;
    } presses[] = {
        {"right, beside the screen", Qt::RightButton, {200, 270}, true, false},
        {"middle, on the screen", Qt::MiddleButton, {6 + 300, 6 + 230}, true, false},
        {"right, on the screen: deselects", Qt::RightButton, {6 + 300, 6 + 230}, true, false},
        {"right, beside the screen, nothing selected", Qt::RightButton, {200, 270}, false, false},
        {"right, on the screen: selects there", Qt::RightButton, {6 + 300, 6 + 230}, false, true},
        {"left, beside the screen", Qt::LeftButton, {200, 270}, false, true},
    };
    for (const auto& p : presses) {
        SCOPED_TRACE(p.press);
        if (p.selected && window.selection().getState() == 0) {
            rightClick(15, 25);
        }
        ASSERT_EQ(window.selection().getState() != 0, p.selected);
        notes->clear();
        QTest::mouseClick(notes->viewport(), Qt::LeftButton);
        ASSERT_EQ(QApplication::focusWidget(), notes);
        requests.take();
        QTest::mouseClick(platformWindow, p.button, {}, p.at);
        settle();
        QTest::keyClick(platformWindow, Qt::Key_7);
        EXPECT_EQ(QApplication::focusWidget(), p.screenTakesIt ? widget : static_cast<QWidget*>(notes));
        EXPECT_EQ(notes->toPlainText().toStdString(), p.screenTakesIt ? "" : "7");
        const Lines sent = requests.take();
        EXPECT_EQ(std::count(sent.begin(), sent.end(), "KEY_PRESS"), p.screenTakesIt ? 1 : 0);
    }
    widget->hide();
}

TEST_F(Window, AFieldShowsValuesSilentlyAndSendsOnlyTheUsersEdits) {
    CUpDown& left = *window.field(Left);
    QSpinBox& box = *left.spinBox();
    rightClick(15, 25);
    requests.take();
    left.Value(999);
    EXPECT_EQ(left.Value(), 320);
    EXPECT_EQ(box.value(), 320);
    EXPECT_TRUE(requests.take().empty());
    QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QApplication::sendEvent(&box, &up); // at the limit the arrow does nothing
    EXPECT_EQ(box.value(), 320);
    EXPECT_TRUE(requests.take().empty());
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(&box, &down); // a user's step is an edit
    EXPECT_EQ(requests.take(), (Lines{"COMPONENT_MODIFY"}));
    settle();
    EXPECT_EQ(a->getLeft(), 319);
    QLineEdit& text = *box.findChild<QLineEdit*>();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    text.setText(QStringLiteral("0999"));
    QApplication::sendEvent(&box, &enter); // above the range: the maximum; editing ends with its text
    EXPECT_EQ(text.text(), QStringLiteral("320"));
    text.setText(QStringLiteral("300"));
    QApplication::sendEvent(&box, &enter);
    settle();
    EXPECT_EQ(a->getLeft(), 300);
}

// A fresh field is empty until a value is set or the user edits it; its first value (0) set again keeps it
// empty. Value(v, updateText) is the user's road: the change command runs, the text only when told.
TEST(UpDown, AFreshFieldIsEmptyUntilAValueIsSetOrTheUserEditsIt) {
    qtApplication();
    struct Row {
        const char* step;
        std::function<void(CUpDown&, QSpinBox&)> act;
        std::string text;
        int value;
        std::vector<int> commands;
    };
    auto press = [](QSpinBox& box, Qt::Key key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&box, &event);
    };
    const Row fresh[] = {
        {"made", [](CUpDown&, QSpinBox&) {}, "", 0, {}},
        {"Value(0)", [](CUpDown& f, QSpinBox&) { f.Value(0); }, "", 0, {}},
        {"Value(0, true)", [](CUpDown& f, QSpinBox&) { f.Value(0, true); }, "", 0, {}},
        {"Value(-5): clamped to 0", [](CUpDown& f, QSpinBox&) { f.Value(-5); }, "", 0, {}},
        {"execute(0)",
         [](CUpDown& f, QSpinBox&) {
             MessageArgumentInteger zero(0);
             f.execute(&zero);
         },
         "",
         0,
         {}},
        {"Value(7)", [](CUpDown& f, QSpinBox&) { f.Value(7); }, "7", 7, {}},
        {"Value(0) now", [](CUpDown& f, QSpinBox&) { f.Value(0); }, "0", 0, {}},
    };
    const Row edited[] = {
        {"stepped up", [&](CUpDown&, QSpinBox& b) { press(b, Qt::Key_Up); }, "1", 1, {1}},
        {"Value(9, false)", [](CUpDown& f, QSpinBox&) { f.Value(9, false); }, "1", 9, {1, 9}},
        {"Value(12, true)", [](CUpDown& f, QSpinBox&) { f.Value(12, true); }, "12", 12, {1, 9, 12}},
        {"Value(12, true) again", [](CUpDown& f, QSpinBox&) { f.Value(12, true); }, "12", 12, {1, 9, 12}},
        {"Value(999, true)", [](CUpDown& f, QSpinBox&) { f.Value(999, true); }, "20", 20, {1, 9, 12, 20}},
    };
    for (const auto& table : {std::span<const Row>(fresh), std::span<const Row>(edited)}) {
        CWindow parent(nullptr, new QWidget);
        auto* field = new CUpDown(&parent, 0, 0, 55, 22, parent.GetHandle(), 0, 20);
        QSpinBox& box = *field->spinBox();
        std::vector<int> commands;
        field->setOnChangeCommand(std::make_shared<LambdaCommand>([&commands](MessageArgument* argument) {
            MessageReaderInteger integer;
            if (integer.tryRead(argument)) {
                commands.push_back(integer.getIntegerValue());
            }
        }));
        for (const Row& row : table) {
            SCOPED_TRACE(row.step);
            row.act(*field, box);
            EXPECT_EQ(box.findChild<QLineEdit*>()->text().toStdString(), row.text);
            EXPECT_EQ(field->Value(), row.value);
            EXPECT_EQ(commands, row.commands);
        }
    }
}

TEST(UpDown, TypingIntoAFreshFieldKeepsWhatIsTypedWhenEditingEnds) {
    qtApplication();
    CWindow parent(nullptr, new QWidget);
    auto* field = new CUpDown(&parent, 0, 0, 55, 22, parent.GetHandle(), 0, 320);
    QLineEdit& text = *field->spinBox()->findChild<QLineEdit*>();
    QTest::keyClicks(&text, QStringLiteral("0"));
    QTest::keyClick(&text, Qt::Key_Return);
    EXPECT_EQ(text.text(), QStringLiteral("0")) << "the user's 0 is a value, not the empty start";
    EXPECT_EQ(field->Value(), 0);
}

TEST_F(Window, ANumberTypedAboveTheRangeGivesTheMaximumAndAnEmptyFieldZero) {
    rightClick(15, 25);
    requests.take();
    CUpDown& width = *window.field(Width);
    QLineEdit& text = *width.spinBox()->findChild<QLineEdit*>();
    text.selectAll();
    QTest::keyClicks(&text, QStringLiteral("999"));
    EXPECT_EQ(width.Value(), 320);
    EXPECT_EQ(text.text(), QStringLiteral("999")) << "the text stays as typed while editing";
    EXPECT_EQ(requests.take(), (Lines{"COMPONENT_MODIFY", "COMPONENT_MODIFY", "COMPONENT_MODIFY"}))
        << "9, 99, then 320";
    QTest::keyClicks(&text, QStringLiteral("x")); // not a digit: refused
    EXPECT_EQ(text.text(), QStringLiteral("999"));
    settle();
    EXPECT_EQ(a->getWidth(), 320);
    EXPECT_EQ(width.Value(), 320);
    text.selectAll();
    QTest::keyClick(&text, Qt::Key_Backspace);
    EXPECT_EQ(width.Value(), 0);
    EXPECT_EQ(text.text(), QString());
    CUpDown& top = *window.field(Top); // 0..240
    QLineEdit& topText = *top.spinBox()->findChild<QLineEdit*>();
    topText.selectAll();
    QTest::keyClicks(&topText, QStringLiteral("99999999999")); // beyond any int: no number, 0
    EXPECT_EQ(top.Value(), 0);
}

TEST_F(Window, AnAppendedSubtreeIsListedAfterTheRowsWithTheListsNextUpdate) {
    CComponentListView& list = window.componentList();
    const QAbstractItemModel* shown = list.listView().view()->model();
    rightClick(15, 25); // A's row selected
    const ComponentRows subtree = {{{901, "Extra", Box(1, 2, 3, 4), true}, 3},
                                   {{902, "ExtraChild", Box(2, 3, 1, 1), true}, 4},
                                   {{903, "ExtraGrandchild", Box(2, 3, 1, 1), true}, 5}};
    MessageArgumentComponentRows rows(subtree);
    window.raise("COMPONENT_APPEND", &rows);
    window.raise("COMPONENT_APPEND", nullptr);
    MessageArgumentComponentCopy notRows(subtree.front().component);
    window.raise("COMPONENT_APPEND", &notRows);
    EXPECT_EQ(list.rows().size(), 8u);
    EXPECT_EQ(shown->rowCount(), 5) << "not shown before the list's next update";
    EXPECT_EQ(list.listView().view()->selectionModel()->selectedRows().value(0).row(), 2)
        << "nothing cleared";
    list.BeginUpdate();
    list.EndUpdate();
    ASSERT_EQ(shown->rowCount(), 8);
    EXPECT_EQ(row(4), "C 0 150 99 199 100 50");
    EXPECT_EQ(row(5), "Extra 1 2 3 5 3 4");
    const int depths[] = {0, 1, 2};
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(shown->data(shown->index(5 + r, 0), Qt::UserRole).toInt(), depths[r]);
    }
    list.ComponentSelect(902);
    EXPECT_EQ(list.listView().view()->selectionModel()->selectedRows().value(0).row(), 6);
}

// A selection the view reports while it redraws a changed row is the view's own doing: nothing travels to
// the application for it. A pick after the redraw does.
TEST_F(Window, ASelectionReportedWhileARowIsRedrawnSendsNothing) {
    CComponentListView& list = window.componentList();
    QTableView* view = list.listView().view();
    const QMetaObject::Connection during =
        QObject::connect(view->model(), &QAbstractItemModel::dataChanged, [view] { view->selectRow(1); });
    ComponentCopy moved = list.rows()[4].component;
    moved.box = Box(5, 160, 100, 50);
    list.onComponentChange(moved);
    QObject::disconnect(during);
    EXPECT_EQ(row(4), "C 5 160 104 209 100 50");
    EXPECT_EQ(view->selectionModel()->selectedRows().value(0).row(), 1);
    EXPECT_TRUE(requests.take().empty());
    view->selectRow(4);
    EXPECT_EQ(requests.take(), (Lines{"COMPONENT_SELECT_FROM_LIST C 5,160 100x50"}));
}

TEST_F(Window, AfterATreeChangeTheListStartsAtItsTop) {
    for (int i = 0; i < 40; ++i) {
        add(form, "Extra" + std::to_string(i), i, 210, 1, 1);
    }
    settle();
    QTableView* view = window.componentList().listView().view();
    ASSERT_EQ(view->model()->rowCount(), 45);
    view->scrollToBottom();
    ASSERT_GT(view->verticalScrollBar()->value(), 0);
    add(form, "Last", 0, 220, 1, 1);
    settle();
    ASSERT_EQ(view->model()->rowCount(), 46);
    QApplication::processEvents();
    EXPECT_EQ(view->verticalScrollBar()->value(), 0);
    EXPECT_EQ(view->rowAt(0), 0);
}

// The tools as the window shows them at zoom 1: the list's rows, the status bar's parts and the cycles figure
// in theirs. The picture goes to <build>/screenshots/InspectorWindow.png for a person to look at.
TEST_F(Window, TheToolsStandInTheirPlacesAtZoomOne) {
    for (int i = 0; i < 20; ++i) {
        add(form, "Extra" + std::to_string(i), i, 210, 1, 1);
    }
    settle();
    QWidget* widget = window.GetHandle();
    widget->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widget));
    window.refreshCycles();
    QTableView* view = window.componentList().listView().view();
    const int lastShown = view->rowAt(view->viewport()->height() - 1);
    EXPECT_GE(lastShown + 1, 14) << "whole or cut, at least 14 rows in the list's box";
    EXPECT_EQ(view->geometry(), QRect(5, 295, 635, 260));

    auto* bar = window.statusBar()->GetHandle();
    EXPECT_EQ(bar->geometry().bottom(), CMainWindow::CLIENT_HEIGHT - 1);
    EXPECT_EQ(bar->geometry().left(), 0);
    const auto parts = bar->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_EQ(parts.size(), 7);
    const int edges[] = {0, 300, 350, 400, 480, 560, 640, CMainWindow::CLIENT_WIDTH};
    for (int i = 0; i < 7; ++i) {
        const QRect at(parts[i]->mapTo(widget, QPoint(0, 0)), parts[i]->size());
        EXPECT_EQ(at.left(), edges[i]) << "part " << i;
        EXPECT_EQ(at.right() + 1, i < 6 ? edges[i + 1] : CMainWindow::CLIENT_WIDTH) << "part " << i;
    }
    const QString cycles = QString::fromStdString(window.statusBar()->Text(CMainWindow::CYCLES_PART));
    EXPECT_TRUE(cycles.endsWith(QStringLiteral(" Cycles/s")));
    EXPECT_EQ(parts[CMainWindow::CYCLES_PART]->text(), cycles);
    // A figure as long as a pass of 1 ms allows, in the longest of the languages, fits its part.
    QLabel* figure = parts[CMainWindow::CYCLES_PART];
    EXPECT_EQ(window.statusBar()->StatusPartWidth(CMainWindow::CYCLES_PART), 80);
    window.statusBar()->SetText(CMainWindow::CYCLES_PART, "1000 cyklusser/s");
    EXPECT_LE(figure->fontMetrics().horizontalAdvance(figure->text()) + 2 * figure->indent(), 80);
    window.refreshCycles();

    std::filesystem::create_directories(TDX_SCREENSHOT_DIR);
    widget->grab().save(QStringLiteral(TDX_SCREENSHOT_DIR "/InspectorWindow.png"));
    widget->hide();
}

// The inspector's canvas shows the glass as the emulator window does: the picture as drawn at the display's
// out-of-the-box brightness, darkened in proportion below it, black while the display is off.
TEST_F(Window, TheCanvasShowsTheScreensLight) {
    window.canvas()->AddLayer(LAYER_MAIN, &manyColours());
    window.canvas()->Repaint();
    struct Row {
        bool on;
        uint8_t backlight;
        int light; // of 50
    } rows[] = {{true, 50, 50}, {true, 100, 50}, {true, 25, 25}, {true, 6, 6}, {false, 6, 0}, {true, 50, 50}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.backlight) + (row.on ? " % on" : " % off"));
        lcd_set_backlight(row.backlight);
        row.on ? lcd_turn_on() : lcd_turn_off();
        settle();
        EXPECT_EQ(pixelsOffLight(*window.GetHandle(), row.light), 0);
    }
}

// The properties' static texts on white, the four field labels 40 wide, every caption whole in each of the
// four languages of the real catalogues. The pictures go to
// <build>/screenshots/InspectorWindow_<language>.png for a person to look at.
TEST_F(Window, InEveryLanguageThePropertiesLabelsStandWholeOnWhite) {
    inEveryLanguage(
        TDX_RESOURCES_FILE, TDX_SCREENSHOT_DIR, window.GetHandle(), "InspectorWindow", [&](const char*) {
            window.refreshCycles();
            int fieldLabels = 0;
            for (CWindow* child : window.propertiesGroup()->children()) {
                auto* label = dynamic_cast<CLabel*>(child);
                if (label == nullptr) {
                    continue;
                }
                QWidget* face = label->GetHandle();
                SCOPED_TRACE(label->Text());
                const bool fieldLabel = face->width() != 280;
                fieldLabels += fieldLabel ? 1 : 0;
                EXPECT_EQ(face->width(), fieldLabel ? 40 : 280);
                EXPECT_LE(QFontMetrics(face->font()).horizontalAdvance(QString::fromStdString(label->Text())),
                          face->width());
                const QImage ground = face->grab().toImage();
                EXPECT_EQ(ground.pixelColor(face->width() - 1, 1), QColor(Qt::white))
                    << "the ground at its corner";
            }
            EXPECT_EQ(fieldLabels, 4);
        });
    window.refreshCycles();
}

// The toolkit's dialogs, the screenshot's file dialog among them, follow the application's language at the
// window's next refresh, where the system holds the toolkit's translations, and go back to English with it.
TEST_F(Window, TheToolkitsDialogsFollowTheApplicationsLanguage) {
    const char* const codes[] = {"en", "da", "cs", "nl"};
    int language = 0;
    auto title = [] {
        QFileDialog dialog;
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        return dialog.windowTitle().toStdString();
    };
    inEveryLanguage(
        TDX_RESOURCES_FILE, TDX_SCREENSHOT_DIR, window.GetHandle(), "InspectorWindow", [&](const char*) {
            QTranslator system;
            const QString file = QStringLiteral("qtbase_") + QString::fromLatin1(codes[language++]);
            const bool translated = language > 1 && system.load(file, ToolkitLanguage::systemFolder());
            window.refreshCycles();
            EXPECT_EQ(title(),
                      translated ? system.translate("QFileDialog", "Save As").toStdString() : "Save As");
        });
    window.refreshCycles();
    EXPECT_EQ(title(), "Save As");
}

TEST_F(Window, ZoomTwoMovesTheToolsAndMapsThePointerAtTwice) {
    QPushButton* zoom = static_cast<QPushButton*>(window.zoomButton()->GetHandle());
    zoom->click();
    EXPECT_EQ(window.canvas()->GetScale(), 2);
    EXPECT_EQ(window.zoomButton()->Text(), "Zoom x1");
    EXPECT_EQ(window.propertiesGroup()->GetX() * 1000 + window.componentList().GetY(), 655 * 1000 + 535);
    EXPECT_EQ(window.GetWidth() * 10000 + window.GetHeight(), 960 * 10000 + 880);
    mouse(QEvent::MouseButtonPress, {105, 25}, Qt::RightButton, 2);
    settle();
    EXPECT_EQ(coreSelection(model), b);
    zoom->click();
    EXPECT_EQ(window.propertiesGroup()->GetX() * 1000 + window.editBox()->GetY(), 335 * 1000 + 565);
    EXPECT_EQ(window.GetWidth() * 10000 + window.GetHeight(), 640 * 10000 + 640);
}

TEST_F(Window, TheCyclesFigureIsRefreshedEverySecondWhileTheScreenIsStill) {
    timers.advance(std::chrono::milliseconds(1000)); // the passes so far are the last second's
    for (int i = 0; i < 7; ++i) {
        window.host().step();
    }
    timers.advance(std::chrono::milliseconds(1000));
    window.refreshCycles();
    EXPECT_EQ(window.statusBar()->Text(CMainWindow::CYCLES_PART), "7 Cycles/s");
    const auto* timer = window.GetHandle()->findChild<QTimer*>();
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive() && timer->interval() == 1000) << "a refresh every second, painted or not";
}

// The application takes its language from its stored settings only after the window is built: the captions
// made in English follow it at the next refresh, zoomed or not, and go back with it.
TEST_F(Window, TheCaptionsFollowTheApplicationsLanguageAtTheNextRefresh) {
    struct Row {
        const char* context;
        const char* english;
        const char* czech;
    };
    static constexpr Row CZECH[] = {
        {nullptr, "Inspect component with Right Mouse Button", "Vyberte komponentu pravým tlačítkem myši"},
        {nullptr, "Screenshot to file", "Snímek obrazovky do souboru"},
        {nullptr, "Screenshot to Clipboard", "Snímek obrazovky do schránky"},
        {nullptr, "Zoom x2", "Zvětšit x2"},
        {nullptr, "Zoom x1", "Zvětšit x1"},
        {nullptr, "Properties", "Vlastnosti"},
        {nullptr, "Select component", "Vyberte komponentu"},
        {"Inspector", "Top", "Nahoře"},
        {"Inspector", "Left", "Vlevo"},
        {"Inspector", "Width", "Šířka"},
        {"Inspector", "Height", "Výška"},
        {"Inspector", "Class", "Třída"},
        {"Inspector", "Right", "Vpravo"},
        {"Inspector", "Bottom", "Dole"},
    };
    auto shown = [this] {
        Lines texts{window.statusBar()->Text(0), window.propertiesGroup()->Title()};
        for (CWindow* child : window.children()) {
            if (auto* button = dynamic_cast<CPushButton*>(child)) {
                texts.push_back(button->Text());
            }
        }
        for (CWindow* child : window.propertiesGroup()->children()) {
            if (auto* label = dynamic_cast<CLabel*>(child)) {
                texts.push_back(label->Text());
            }
        }
        const QAbstractItemModel* list = window.componentList().listView().view()->model();
        for (int column = 0; column < list->columnCount(); ++column) {
            texts.push_back(
                list->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString().toStdString());
        }
        return texts;
    };
    const Lines english = shown();
    ASSERT_EQ(english,
              (Lines{"Inspect component with Right Mouse Button", "Properties", "Screenshot to file",
                     "Screenshot to Clipboard", "Zoom x2", "Select component", "Top", "Left", "Width",
                     "Height", "Class", "Left", "Top", "Right", "Bottom", "Width", "Height"}));

    i18n_set_provider([](const char* context, const char* msgid) -> const char* {
        for (const Row& row : CZECH) {
            if (std::string_view(row.english) == msgid &&
                std::string_view(row.context ? row.context : "") == (context ? context : "")) {
                return row.czech;
            }
        }
        return nullptr;
    });
    window.refreshCycles();
    const Lines czech{"Vyberte komponentu pravým tlačítkem myši",
                      "Vlastnosti",
                      "Snímek obrazovky do souboru",
                      "Snímek obrazovky do schránky",
                      "Zvětšit x2",
                      "Vyberte komponentu",
                      "Nahoře",
                      "Vlevo",
                      "Šířka",
                      "Výška",
                      "Třída",
                      "Vlevo",
                      "Nahoře",
                      "Vpravo",
                      "Dole",
                      "Šířka",
                      "Výška"};
    EXPECT_EQ(shown(), czech);
    const int zoomWidth = window.zoomButton()->GetWidth();
    static_cast<QPushButton*>(window.zoomButton()->GetHandle())->click();
    window.refreshCycles();
    EXPECT_EQ(window.zoomButton()->Text(), "Zvětšit x1") << "the zoomed window's caption, still translated";
    EXPECT_GE(window.zoomButton()->GetWidth(), zoomWidth) << "the longer caption keeps its room";
    static_cast<QPushButton*>(window.zoomButton()->GetHandle())->click();

    i18n_set_provider(nullptr);
    window.refreshCycles();
    EXPECT_EQ(shown(), english);
}

// An item that says when it is deleted.
struct Item : CListView::CListViewItem {
    Item(int i, std::string t, std::vector<std::string>& deleted)
        : deleted(deleted) {
        index = i;
        text = std::move(t);
    }
    ~Item() override { deleted.push_back(text); }
    std::vector<std::string>& deleted;
};

struct ItemWatcher : sigslot::has_slots<> {
    std::vector<std::string> seen;
    void selected(CListView::CListViewItem* item) { seen.push_back("+" + item->text); }
    void deselected(CListView::CListViewItem* item) { seen.push_back("-" + item->text); }
};

TEST(ListView, OwnsItsItemsAndReportsTheirSelection) {
    qtApplication();
    std::vector<std::string> deleted;
    ItemWatcher watcher;
    {
        CWindow parent(nullptr, new QWidget);
        auto* list = new CListView(&parent, 0, 0, 200, 100, parent.GetHandle());
        list->AddColumns({{100, "Name"}, {50, "Value"}});
        list->ItemSelected.connect(&watcher, &ItemWatcher::selected);
        list->ItemDeselected.connect(&watcher, &ItemWatcher::deselected);
        list->AddItem(std::make_unique<Item>(0, "a", deleted));
        list->AddItem(std::make_unique<Item>(1, "b", deleted));
        list->AddItem(std::make_unique<Item>(1, "c", deleted)); // the same index: b goes
        EXPECT_EQ(deleted, (Lines{"b"}));
        list->SetItemState(1, true);
        list->SetItemState(0, true);
        EXPECT_EQ(watcher.seen, (Lines{"+c", "+a"})) << "several rows may be selected";
        const QAbstractItemModel* rows = list->view()->model();
        EXPECT_EQ(rows->data(rows->index(1, 0)).toString(), QStringLiteral("c"));
        list->Clear(); // the selection it drops finds no item
        EXPECT_EQ(deleted, (Lines{"b", "a", "c"}));
        EXPECT_EQ(watcher.seen.size(), 2u);
        list->AddItem(std::make_unique<Item>(0, "d", deleted));
    }
    EXPECT_EQ(deleted.back(), "d") << "the items go with the list";
}

// A second AddColumns inserts at 0, 1, ... ahead of the columns there are, which keep their widths.
TEST(ListView, ASecondAddColumnsPutsItsColumnsAheadOfTheExistingOnes) {
    qtApplication();
    struct Row {
        std::vector<std::vector<CListViewColumn>> calls;
        std::vector<std::string> headings;
        std::vector<int> widths;
    };
    const Row rows[] = {
        {{{{100, "A"}, {50, "B"}}}, {"A", "B"}, {100, 50}},
        {{{{100, "A"}, {50, "B"}}, {{30, "X"}, {40, "Y"}}}, {"X", "Y", "A", "B"}, {30, 40, 100, 50}},
        {{{{100, "A"}}, {}, {{60, "X"}}, {{45, "Z"}}}, {"Z", "X", "A"}, {45, 60, 100}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.headings.front());
        CWindow parent(nullptr, new QWidget);
        auto* list = new CVirtualListView(&parent, 0, 0, 300, 100, parent.GetHandle());
        for (const auto& call : row.calls) {
            list->AddColumns(call);
        }
        const QAbstractItemModel* shown = list->view()->model();
        ASSERT_EQ(shown->columnCount(), static_cast<int>(row.headings.size()));
        for (int c = 0; c < shown->columnCount(); ++c) {
            EXPECT_EQ(shown->headerData(c, Qt::Horizontal).toString().toStdString(),
                      row.headings[static_cast<size_t>(c)]);
            EXPECT_EQ(list->view()->columnWidth(c), row.widths[static_cast<size_t>(c)]) << c;
        }
    }
}

// The focus goes with the selection: a row let go, or every row, keeps no focus.
TEST(ListView, LettingGoOfARowOrOfAllTakesTheFocusWithTheSelection) {
    qtApplication();
    struct Row {
        const char* step;
        std::function<void(CVirtualListView&)> act;
        int focused; // -1: none
        std::vector<int> selected;
    };
    const Row rows[] = {
        {"row 2 chosen", [](CVirtualListView& l) { l.SetItemState(2, true); }, 2, {2}},
        {"row 1 let go", [](CVirtualListView& l) { l.SetItemState(1, false); }, 2, {2}},
        {"row 2 let go", [](CVirtualListView& l) { l.SetItemState(2, false); }, -1, {}},
        {"row 0 chosen", [](CVirtualListView& l) { l.SetItemState(0, true); }, 0, {0}},
        {"all let go", [](CVirtualListView& l) { l.UnselectAll(); }, -1, {}},
    };
    CWindow parent(nullptr, new QWidget);
    auto* list = new CVirtualListView(&parent, 0, 0, 300, 100, parent.GetHandle());
    list->AddColumns({{100, "Name"}});
    list->SetItemCount(4);
    std::vector<int> reported;
    struct Watch : sigslot::has_slots<> {
        std::vector<int>* into;
        void selected(int index) { into->push_back(index); }
        void deselected(int index) { into->push_back(-1 - index); }
    } watch;
    watch.into = &reported;
    list->ItemSelected.connect(&watch, &Watch::selected);
    list->ItemDeselected.connect(&watch, &Watch::deselected);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.step);
        row.act(*list);
        const QItemSelectionModel* selection = list->view()->selectionModel();
        EXPECT_EQ(selection->currentIndex().isValid() ? selection->currentIndex().row() : -1, row.focused);
        std::vector<int> selected;
        for (const QModelIndex& index : selection->selectedRows()) {
            selected.push_back(index.row());
        }
        EXPECT_EQ(selected, row.selected);
    }
    EXPECT_EQ(reported, (std::vector<int>{2, -3, 0, -1})) << "reported like a click";
}

TEST(ListView, ARowShowsItsImageFromTheSmallSetWhenItHasOne) {
    qtApplication();
    std::vector<std::string> deleted; // outlives the list, whose items report into it as they go
    CWindow parent(nullptr, new QWidget);
    auto* list = new CListView(&parent, 0, 0, 200, 100, parent.GetHandle());
    list->AddColumns({{100, "Name"}});
    CImageList small(16, 16);
    QImage red(8, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    EXPECT_EQ(small.Add(red), 0);
    EXPECT_EQ(small.Add(QImage()), -1);
    list->SetImageList(LVSIL_SMALL, small);
    const int images[] = {0, -1, 1};
    for (int i = 0; i < 3; ++i) {
        auto item = std::make_unique<Item>(i, "row" + std::to_string(i), deleted);
        item->image = images[i];
        list->AddItem(std::move(item));
    }
    const QAbstractItemModel* rows = list->view()->model();
    const QPixmap shown = rows->data(rows->index(0, 0), Qt::DecorationRole).value<QPixmap>();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.size(), QSize(16, 16));
    EXPECT_EQ(shown.toImage().pixelColor(8, 8), QColor(Qt::red));
    EXPECT_FALSE(rows->data(rows->index(1, 0), Qt::DecorationRole).isValid()) << "a negative image: none";
    EXPECT_FALSE(rows->data(rows->index(2, 0), Qt::DecorationRole).isValid()) << "an image the set lacks";
    EXPECT_EQ(list->view()->iconSize(), QSize(16, 16));
}

TEST(ListView, TheComponentListTakesBitmap101AsBothImageSets) {
    qtApplication();
    const QImage bitmap(QStringLiteral(":/bitmaps/101"));
    CWindow parent(nullptr, new QWidget);
    CComponentListView list(&parent, 0, 0, 200, 100, parent.GetHandle());
    ASSERT_FALSE(bitmap.isNull());
    EXPECT_EQ(bitmap.size(), QSize(128, 128));
    EXPECT_EQ(bitmap.depth(), 32);
    EXPECT_TRUE(list.InitializeImageList());
    const CImageList& normal = list.listView().GetImageList(LVSIL_NORMAL);
    const CImageList& small = list.listView().GetImageList(LVSIL_SMALL);
    const int large = QApplication::style()->pixelMetric(QStyle::PM_LargeIconSize);
    const int little = QApplication::style()->pixelMetric(QStyle::PM_SmallIconSize);
    ASSERT_EQ(normal.Count(), 1);
    ASSERT_EQ(small.Count(), 1);
    EXPECT_EQ(normal.at(0).size(), QSize(large, large));
    EXPECT_EQ(small.at(0).size(), QSize(little, little));
    // A plain area of the picture, scaled down: the same colour.
    EXPECT_EQ(normal.at(0).toImage().pixelColor(large / 2, large * 41 / 128).rgb(),
              bitmap.pixelColor(64, 41).rgb());
}

// The entry point in a working folder of its own that holds the program's resources file.
class EntryPoint : public ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        std::filesystem::create_directories("Dist");
        std::filesystem::create_symlink(TDX_RESOURCES_FILE, RESOURCES_PATH);
    }
};

TEST_F(EntryPoint, TheInspectorArgumentOpensTheInspectorWindowAndClosingItEndsWithEighteen) {
    qtApplication();
    char program[] = "tdx410", option[] = "--port", port[] = "/dev/null", first[] = "x",
         word[] = "'inspector'";
    char* argv[] = {program, option, port, first, word, nullptr};
    int shownWidth = 0;
    QTimer::singleShot(50, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            shownWidth = std::max(shownWidth, widget->isVisible() ? widget->width() : 0);
            widget->close();
        }
    });
    EXPECT_EQ(desktop_main(5, argv, {{nullptr, [] { host_hand_over().runQueued(nullptr); }}, nullptr},
                           inspector_main),
              18);
    EXPECT_EQ(shownWidth, CMainWindow::CLIENT_WIDTH);
}

} // namespace
} // namespace tdx::test
