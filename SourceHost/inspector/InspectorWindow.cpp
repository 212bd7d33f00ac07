#include "SourceHost/inspector/InspectorWindow.h"

#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"
#include "SourceHost/desktop/Screenshot.h"
#include "SourceHost/desktop/SimpleMainWindow.h"
#include "SourceHost/host/InputAdapters.h"
#include "SourceHost/inspector/WindowAdapters.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QStatusBar>
#include <QTimer>
#include <QWheelEvent>

namespace tdx {

namespace {

constexpr int WHEEL_NOTCH = 120;
constexpr int SCROLL_PER_NOTCH = 40;
constexpr unsigned HOME_STATE = 9;

// The window's widget hands its input and paint to the window object.
class Surface : public QWidget {
public:
    Surface() {
        setWindowTitle(QStringLiteral("TDX-410"));
        setMouseTracking(true);
        setFocusPolicy(Qt::ClickFocus);
        setFixedSize(CMainWindow::CLIENT_WIDTH, CMainWindow::CLIENT_HEIGHT);
    }
    void setOwner(CMainWindow* owner) { mOwner = owner; }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (mOwner) {
            mOwner->mousePress(event);
        }
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (mOwner) {
            mOwner->mouseMove(event);
        }
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (mOwner) {
            mOwner->mouseRelease(event);
        }
    }
    void wheelEvent(QWheelEvent* event) override {
        if (mOwner) {
            mOwner->wheel(event);
        }
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (mOwner) {
            mOwner->keyPress(event);
        }
    }
    void paintEvent(QPaintEvent*) override {
        if (mOwner) {
            mOwner->paint(this);
        }
    }
    void closeEvent(QCloseEvent* event) override {
        event->accept();
        if (mOwner) {
            mOwner->closed();
        }
    }

private:
    CMainWindow* mOwner = nullptr;
};

// The tools stand where they stand in every language: a text too long for its control gets a smaller font
// rather than being cut.
void fitText(CWindow* control, const std::string& text, int padding) {
    QWidget* widget = control->GetHandle();
    const QString shown = QString::fromStdString(text);
    QFont font = widget->font();
    while (font.pointSizeF() > 6 && QFontMetrics(font).horizontalAdvance(shown) + padding > widget->width()) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    widget->setFont(font);
}

constexpr int BUTTON_PADDING = 12;

} // namespace

CMainWindow::CMainWindow(HostApplication application, TimerQueue* timers)
    : CWindow(nullptr, new Surface)
    , Application("MainWindow")
    , mCanvas(std::make_shared<Canvas>(CANVAS_X, CANVAS_Y, SCREEN_WIDTH, SCREEN_HEIGHT)) {
    canvas_install(mCanvas);
    QWidget* surface = GetHandle();
    mCanvas->setRepaintListener([this, surface] {
        if (!mRepaintPosted.exchange(true)) {
            QMetaObject::invokeMethod(
                surface,
                [this, surface] {
                    mRepaintPosted = false;
                    surface->update(mCanvas->GetX(), mCanvas->GetY(), mCanvas->Width(), mCanvas->Height());
                },
                Qt::QueuedConnection);
        }
    });
    addListener("COMPONENT_SELECT", std::make_shared<ViewSelectAdapter>(mSelection));
    addListener("COMPONENT_DESELECT", std::make_shared<ViewDeselectAdapter>(mSelection));
    addListener("COMPONENT_TREE_CHANGE", std::make_shared<ViewDeselectAdapter>(mSelection));
    addListener("COMPONENT_NOTIFY_CHANGE", std::make_shared<ViewChangeAdapter>(mSelection));
    mHost = std::make_unique<CHost>(std::move(application), host_hand_over(), timers);
    addListener("COMPONENT_MODIFY", std::make_shared<ComponentModifyToHostAdapter>(*mHost, mSelection));
    addListener("COMPONENT_DESELECT_REQUEST", std::make_shared<HostDeselectAdapter>(*mHost));
    addListener("GO_HOME", std::make_shared<ChangeStateAdapter>(*mHost, HOME_STATE));
    addListener("KEY_PRESS", std::make_shared<KeyPressToHostAdapter>(*mHost));
    addListener("MOUSE_SCROLL", std::make_shared<CoreMessageToHostAdapter>(*mHost));
    createChildWindows();
    static_cast<Surface*>(surface)->setOwner(this);
}

CMainWindow::~CMainWindow() {
    if (auto* surface = static_cast<Surface*>(GetHandle())) {
        surface->setOwner(nullptr);
    }
    mHost.reset(); // the application thread ends before anything it reaches goes
    mCanvas->setRepaintListener(nullptr);
    mList.reset();
    mMachine.reset();
}

void CMainWindow::createChildWindows() {
    QWidget* surface = GetHandle();
    mStatusBar = new CStatusBar(this, surface, {300, 350, 400, 480, 560, 640, -1});
    mStatusBar->SetText(0, gettext("Inspect component with Right Mouse Button"));
    mFileButton = new CPushButton(this, 345, 175, 140, 24, surface, gettext("Screenshot to file"));
    mFileButton->setOnClickCommand(new SaveScreenshotDialog(
        mCanvas, SaveScreenshotDialog::fileDialog(surface), screenshot_warning_box(surface)));
    mClipboardButton = new CPushButton(this, 490, 175, 140, 24, surface, gettext("Screenshot to Clipboard"));
    mClipboardButton->setOnClickCommand(new ScreenshotToClipboard(mCanvas, screenshot_warning_box(surface)));
    mZoomButton = new CPushButton(this, 345, 205, 140, 24, surface, gettext("Zoom x2"));
    mZoomButton->setOnClickCommand(new ChangeScreenScale<CMainWindow>(*this));

    mList = std::make_unique<CComponentListView>(this, 5, 295, 635, 260, surface);
    mList->setOnComponentSelectCommand(getListener("COMPONENT_SELECT_FROM_LIST"));
    addListener("COMPONENT_TREE_CHANGE", std::make_shared<HostModalToListViewAdapter>(*mList));
    addListener("COMPONENT_SELECT", std::make_shared<ListViewComponentSelectAdapter>(*mList));
    addListener("COMPONENT_DESELECT", std::make_shared<ListViewComponentDeselectAdapter>(*mList));
    addListener("COMPONENT_NOTIFY_CHANGE", std::make_shared<ListViewComponentNotifyChangeAdapter>(*mList));

    mEditBox = new CEditBox(this, 5, 565, 635, 50, surface, "", 1);
    mProperties = new CGroupBox(this, 335, 5, 305, 160, surface, gettext("Properties"));
    QWidget* group = mProperties->GetHandle();
    mSelectionLabel = new CLabel(mProperties, 5, 25, 280, 20, group, gettext("Select component"));
    struct Field {
        ComponentAttribute attribute;
        const char* label;
        int y;
        int maximum;
    };
    // Height stands above Width.
    const Field fields[] = {{Top, NC_("Inspector", "Top"), 50, SCREEN_HEIGHT},
                            {Left, NC_("Inspector", "Left"), 77, SCREEN_WIDTH},
                            {Width, NC_("Inspector", "Width"), 131, SCREEN_WIDTH},
                            {Height, NC_("Inspector", "Height"), 104, SCREEN_HEIGHT}};
    for (const Field& f : fields) {
        new CLabel(mProperties, 10, f.y, 44, 22, group, pgettext("Inspector", f.label));
    }
    for (const Field& f : fields) {
        mFields[f.attribute] = new CUpDown(mProperties, 55, f.y, 55, 22, group, 0, f.maximum);
    }
    for (CPushButton* button : {mFileButton, mClipboardButton, mZoomButton}) {
        fitText(button, button->Text(), BUTTON_PADDING);
    }
    for (CWindow* label : mProperties->children()) {
        if (auto* text = dynamic_cast<CLabel*>(label)) {
            fitText(text, text->Text(), 0);
        }
    }
    wireFields();
    buildMachine();

    mCyclesTimer = new QTimer(surface);
    QObject::connect(mCyclesTimer, &QTimer::timeout, [this] { refreshCycles(); });
    mCyclesTimer->start(static_cast<int>(CHost::SAMPLE.count()));
    Resize(CLIENT_WIDTH, CLIENT_HEIGHT);
}

void CMainWindow::wireFields() {
    const std::shared_ptr<Command> modify = getListener("COMPONENT_MODIFY");
    for (ComponentAttribute attribute : {Left, Top, Width, Height}) {
        CUpDown& field = *mFields[attribute];
        field.setOnChangeCommand(std::make_shared<IntegerToComponentAttributeAdapter>(modify, attribute));
        addListener("COMPONENT_SELECT", std::make_shared<UpDownSetEnableAdapter>(field, true));
        addListener("COMPONENT_SELECT", std::make_shared<ComponentToUpDownAdapter>(field, attribute));
        addListener("COMPONENT_DESELECT", std::make_shared<UpDownSetEnableAdapter>(field, false));
        addListener("COMPONENT_MODIFY", std::make_shared<ComponentChangeAdapter>(field, attribute));
        // What the application made of an edit: the component's own value.
        addListener("COMPONENT_NOTIFY_CHANGE",
                    std::make_shared<ComponentToUpDownAdapter>(field, attribute, &mSelection));
    }
}

void CMainWindow::buildMachine() {
    mMachine = std::make_shared<StateMachine>("ComponentMachine");
    const std::shared_ptr<Command> modify = getListener("COMPONENT_MODIFY");
    auto deselected = std::make_shared<StateCommand>("Deselected");
    auto touching = std::make_shared<TouchingStateCommand>("Touching", *mHost);
    auto selected = std::make_shared<StateCommand>("Selected");
    auto moving = std::make_shared<MovingStateCommand>("Moving", mSelection, modify);
    auto resizing = std::make_shared<ResizingStateCommand>("Resizing", mSelection, modify);
    mMachine->addTransition(deselected, "Select", selected);
    mMachine->addTransition(deselected, "TouchStart", touching);
    mMachine->addTransition(touching, "TouchRelease", deselected);
    mMachine->addTransition(touching, "Deselect", deselected);
    mMachine->addTransition(selected, "Deselect", deselected);
    mMachine->addTransition(selected, "TouchStartAtArea", moving);
    mMachine->addTransition(selected, "TouchStartAtResizeArea", resizing);
    mMachine->addTransition(moving, "Deselect", deselected);
    mMachine->addTransition(moving, "TouchRelease", selected);
    mMachine->addTransition(resizing, "Deselect", deselected);
    mMachine->addTransition(resizing, "TouchRelease", selected);

    auto event = [this](const char* name) {
        return std::make_shared<CommandToStateMachineAdapter>(mMachine, name);
    };
    auto inState = [this](const std::shared_ptr<StateCommand>& state) {
        return std::make_shared<IsInState>(mMachine, state);
    };
    addListener("COMPONENT_DESELECT", event("Deselect"));
    addListener("COMPONENT_SELECT", event("Select"));
    addListener("TOUCH_START",
                std::make_shared<ExecuteIfPredicate>(inState(deselected), event("TouchStart")));
    addListener("TOUCH_DRAG", event("TouchDrag"));
    addListener("TOUCH_START", std::make_shared<ExecuteIfPredicate>(
                                   inState(selected), std::make_shared<ExecuteIfCommandPredicate>(
                                                          std::make_shared<IsInResizeAreaCond>(mSelection),
                                                          event("TouchStartAtResizeArea"))));
    addListener("TOUCH_START", std::make_shared<ExecuteIfPredicate>(
                                   inState(selected), std::make_shared<ExecuteIfCommandPredicate>(
                                                          std::make_shared<IsInAreaCond>(mSelection),
                                                          event("TouchStartAtArea"))));
    addListener("TOUCH_RELEASE", event("TouchRelease"));
    mMachine->start(deselected);
}

void CMainWindow::run() {
    mHost->Initialize();
    GetHandle()->show();
}

WindowPoster CMainWindow::poster() {
    QWidget* surface = GetHandle();
    return [surface](std::function<void()> work) {
        QMetaObject::invokeMethod(surface, std::move(work), Qt::QueuedConnection);
    };
}

void CMainWindow::refreshCycles() {
    mStatusBar->SetText(CYCLES_PART, fmt_gettext("%u Cycles/s", mHost->cyclesPerSecond()));
}

bool CMainWindow::Resize(int width, int height) {
    const bool resized = CWindow::Resize(width, height);
    // The status bar runs along the bottom edge.
    if (QWidget* bar = mStatusBar != nullptr ? mStatusBar->GetHandle() : nullptr) {
        const int barHeight = bar->sizeHint().height();
        bar->setGeometry(0, height - barHeight, width, barHeight);
    }
    return resized;
}

void CMainWindow::ChangeScale() {
    const bool up = mCanvas->GetScale() == 1;
    mCanvas->SetScale(up ? 2 : 1);
    mZoomButton->Text(up ? gettext("Zoom x1") : gettext("Zoom x2"));
    fitText(mZoomButton, mZoomButton->Text(), BUTTON_PADDING);
    const int dx = up ? SCREEN_WIDTH : -SCREEN_WIDTH;
    const int dy = up ? SCREEN_HEIGHT : -SCREEN_HEIGHT;
    for (CWindow* w :
         std::initializer_list<CWindow*>{mProperties, mFileButton, mClipboardButton, mZoomButton}) {
        w->MoveTo(w->GetX() + dx, w->GetY());
    }
    mEditBox->MoveTo(mEditBox->GetX(), mEditBox->GetY() + dy);
    mList->MoveTo(mList->GetX(), mList->GetY() + dy);
    Resize(GetWidth() + dx, GetHeight() + dy);
    Invalidate();
}

// ---- input ----

void CMainWindow::raiseTouch(const char* name, QPointF point, bool captured) {
    int x = static_cast<int>(point.x());
    int y = static_cast<int>(point.y());
    if (!captured && !mCanvas->IsPointInRect(x, y)) {
        return;
    }
    mCanvas->MapPointClamped(&x, &y);
    MessageArgumentMouseEvent argument(x, y);
    raise(name, &argument);
}

void CMainWindow::mousePress(QMouseEvent* event) {
    const QPointF point = event->position();
    const bool onCanvas = mCanvas->IsPointInRect(static_cast<int>(point.x()), static_cast<int>(point.y()));
    if (event->button() == Qt::LeftButton) {
        mCaptured = onCanvas;
        raiseTouch("TOUCH_START", point, false);
    } else if (event->button() == Qt::RightButton && onCanvas) {
        if (mSelection.getState() != 0) {
            raise("COMPONENT_DESELECT_REQUEST", nullptr);
        } else {
            int x = static_cast<int>(point.x());
            int y = static_cast<int>(point.y());
            mCanvas->MapPointToRect(&x, &y);
            mHost->SelectComponent(x, y);
        }
    }
    GetHandle()->setFocus();
}

void CMainWindow::mouseMove(QMouseEvent* event) {
    raiseTouch("TOUCH_DRAG", event->position(), mCaptured);
}

void CMainWindow::mouseRelease(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    // After a press on the canvas the release is delivered wherever it happens, so the finger lifts.
    raiseTouch("TOUCH_RELEASE", event->position(), mCaptured);
    mCaptured = false;
}

void CMainWindow::wheel(QWheelEvent* event) {
    const QPointF point = event->position();
    if (!mCanvas->IsPointInRect(static_cast<int>(point.x()), static_cast<int>(point.y()))) {
        return;
    }
    mWheelRest += event->angleDelta().y();
    const int notches = mWheelRest / WHEEL_NOTCH;
    mWheelRest -= notches * WHEEL_NOTCH;
    if (notches == 0) {
        return;
    }
    MessageArgumentCoreMessage scroll(MSG_SCROLL_BY, static_cast<unsigned>(-notches * SCROLL_PER_NOTCH), 0, 0,
                                      0);
    raise("MOUSE_SCROLL", &scroll);
}

void CMainWindow::raiseKey(const char* bytes, unsigned size, bool character) {
    MessageArgumentKey key(bytes, size, character);
    raise("KEY_PRESS", &key);
}

void CMainWindow::keyPress(QKeyEvent* event) {
    const bool selected = mSelection.getState() != 0;
    if (selected && event->key() == Qt::Key_Escape) {
        // Undo the moves and resizes, then let go; the key itself goes on to the application.
        MessageArgumentComponentCopy target(mSelection.getComponent());
        raise("COMPONENT_RESET", &target);
        raise("COMPONENT_DESELECT_REQUEST", nullptr);
    }
    struct Named {
        int key;
        char code;
        bool arrow;
    };
    // The arrows as their key codes, for the application only while nothing is selected; the editing keys as
    // their control characters.
    static constexpr Named NAMED[] = {{Qt::Key_Left, 0x25, true},    {Qt::Key_Right, 0x27, true},
                                      {Qt::Key_Backspace, 8, false}, {Qt::Key_Tab, 9, false},
                                      {Qt::Key_Return, 13, false},   {Qt::Key_Enter, 13, false},
                                      {Qt::Key_Escape, 27, false}};
    for (const Named& named : NAMED) {
        if (event->key() == named.key) {
            if (!(named.arrow && selected)) {
                raiseKey(&named.code, 1, false);
            }
            return;
        }
    }
    for (char32_t codePoint : event->text().toUcs4()) {
        if (codePoint < 0x20 || codePoint == 0x7F) {
            continue;
        }
        const QByteArray bytes = QString::fromUcs4(&codePoint, 1).toUtf8();
        raiseKey(bytes.constData(), static_cast<unsigned>(bytes.size()), true);
    }
}

void CMainWindow::paint(QWidget* surface) {
    const int scale = mCanvas->GetScale();
    const QSize size(mCanvas->Width(), mCanvas->Height());
    if (mFrame.size() != size) {
        mFrame = QImage(size, QImage::Format_RGB32);
    }
    mCanvas->CopyTo(reinterpret_cast<uint32_t*>(mFrame.bits()), static_cast<int>(mFrame.bytesPerLine() / 4),
                    scale);
    QPainter painter(surface);
    painter.setPen(QPen(Qt::black, 2));
    painter.drawRect(mCanvas->GetX() - 1, mCanvas->GetY() - 1, size.width() + 2, size.height() + 2);
    painter.drawImage(mCanvas->GetX(), mCanvas->GetY(), mFrame);
}

void CMainWindow::closed() {
    QCoreApplication::exit(EXIT_CLOSED);
}

} // namespace tdx
