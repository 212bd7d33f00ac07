#include "SourceHost/desktop/SimpleMainWindow.h"

#include "Libraries/base/i18n.h"
#include "SourceHost/host/InputAdapters.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QWheelEvent>

namespace tdx {

namespace {

constexpr int WHEEL_NOTCH = 120;
constexpr int SCROLL_PER_NOTCH = 40;
constexpr int BUTTON_Y = 255;

// The window's widget hands its input and paint to the window object.
class Surface : public QWidget {
public:
    Surface() {
        setWindowTitle(QStringLiteral("TDX-410"));
        setMouseTracking(true);
        // The emulated screen is the keyboard's one receiver: the window's buttons take no focus.
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFixedSize(CSimpleMainWindow::clientWidth(1), CSimpleMainWindow::clientHeight(1));
    }

    // Input reaches the window object only while it is complete.
    void setOwner(CSimpleMainWindow* owner) { mOwner = owner; }

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::WindowActivate) {
            setFocus(Qt::ActiveWindowFocusReason);
        }
        return QWidget::event(event);
    }
    // Tab and Backtab are keys of the application, not a way to move the focus about the window.
    bool focusNextPrevChild(bool) override { return false; }
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
    CSimpleMainWindow* mOwner = nullptr;
};

} // namespace

CSimpleMainWindow::CSimpleMainWindow(HostApplication application, TimerQueue* timers)
    : CWindow(nullptr, new Surface)
    , Application("MainWindow")
    , mCanvas(std::make_shared<Canvas>(CANVAS_X, CANVAS_Y, SCREEN_WIDTH, SCREEN_HEIGHT)) {
    canvas_install(mCanvas);
    mHost = std::make_unique<CHost>(std::move(application), host_hand_over(), timers);
    // Repaints come from the application thread: posted to the window, at most one waiting.
    QWidget* surface = GetHandle();
    mCanvas->setRepaintListener([this, surface] {
        if (!mRepaintPosted.exchange(true)) {
            QMetaObject::invokeMethod(
                surface,
                [this, surface] {
                    mRepaintPosted = false;
                    surface->update();
                },
                Qt::QueuedConnection);
        }
    });
    addListener("KEY_PRESS", std::make_shared<KeyPressToHostAdapter>(*mHost));
    addListener("MOUSE_SCROLL", std::make_shared<CoreMessageToHostAdapter>(*mHost));
    createChildWindows();
    static_cast<Surface*>(GetHandle())->setOwner(this);
}

CSimpleMainWindow::~CSimpleMainWindow() {
    if (auto* surface = static_cast<Surface*>(GetHandle())) {
        surface->setOwner(nullptr);
    }
    mMachine.reset();
    mHost.reset(); // the application thread ends before anything it reaches goes
    mCanvas->setRepaintListener(nullptr);
}

void CSimpleMainWindow::createChildWindows() {
    QWidget* surface = GetHandle();
    mZoomButton = new CPushButton(this, 5, BUTTON_Y, 70, 24, surface, gettext("Zoom"));
    mZoomButton->setOnClickCommand(new ChangeScreenScale<CSimpleMainWindow>(*this));
    mSaveButton = new CPushButton(this, 80, BUTTON_Y, 100, 24, surface, gettext("Save screenshot"));
    mSaveButton->setOnClickCommand(new SaveScreenshotDialog(
        mCanvas, SaveScreenshotDialog::fileDialog(surface), screenshot_warning_box(surface)));
    mClipboardButton = new CPushButton(this, 185, BUTTON_Y, 140, 24, surface, gettext("Screen to Clipboard"));
    mClipboardButton->setOnClickCommand(new ScreenshotToClipboard(mCanvas, screenshot_warning_box(surface)));
    for (CPushButton* button : {mZoomButton, mSaveButton, mClipboardButton}) {
        button->GetHandle()->setFocusPolicy(Qt::NoFocus);
    }

    mMachine = std::make_shared<StateMachine>("ComponentMachine");
    auto deselected = std::make_shared<StateCommand>("Deselected");
    auto touching = std::make_shared<TouchingStateCommand>("Touching", *mHost);
    mMachine->addTransition(deselected, "TouchStart", touching);
    mMachine->addTransition(touching, "TouchRelease", deselected);
    addListener("TOUCH_START", std::make_shared<CommandToStateMachineAdapter>(mMachine, "TouchStart"));
    addListener("TOUCH_DRAG", std::make_shared<CommandToStateMachineAdapter>(mMachine, "TouchDrag"));
    addListener("TOUCH_RELEASE", std::make_shared<CommandToStateMachineAdapter>(mMachine, "TouchRelease"));
    mMachine->start(deselected);
}

void CSimpleMainWindow::run() {
    mHost->Initialize();
    GetHandle()->show();
    GetHandle()->setFocus(Qt::ActiveWindowFocusReason);
}

void CSimpleMainWindow::ChangeScale() {
    const int scale = mCanvas->GetScale();
    const int next = scale >= 3 ? 1 : scale + 1;
    const int dy = (next - scale) * SCREEN_HEIGHT;
    mCanvas->SetScale(next);
    for (CPushButton* button : {mSaveButton, mClipboardButton, mZoomButton}) {
        button->MoveTo(button->GetX(), button->GetY() + dy);
    }
    Resize(clientWidth(next), clientHeight(next));
    Invalidate();
}

void CSimpleMainWindow::raiseTouch(const char* name, QPointF point, bool captured) {
    int x = static_cast<int>(point.x());
    int y = static_cast<int>(point.y());
    if (!captured && !mCanvas->IsPointInRect(x, y)) {
        return;
    }
    mCanvas->MapPointClamped(&x, &y);
    MessageArgumentMouseEvent argument(x, y);
    raise(name, &argument);
}

void CSimpleMainWindow::mousePress(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const QPointF point = event->position();
        mCaptured = mCanvas->IsPointInRect(static_cast<int>(point.x()), static_cast<int>(point.y()));
        raiseTouch("TOUCH_START", point, false);
    }
    GetHandle()->setFocus();
}

void CSimpleMainWindow::mouseMove(QMouseEvent* event) {
    raiseTouch("TOUCH_DRAG", event->position(), mCaptured);
}

void CSimpleMainWindow::mouseRelease(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    // After a press on the canvas the release is delivered wherever it happens, so the finger lifts.
    raiseTouch("TOUCH_RELEASE", event->position(), mCaptured);
    mCaptured = false;
}

void CSimpleMainWindow::wheel(QWheelEvent* event) {
    const QPointF point = event->position();
    if (!mCanvas->IsPointInRect(static_cast<int>(point.x()), static_cast<int>(point.y()))) {
        return;
    }
    // Fine-grained wheels send parts of a notch; they add up to whole notches.
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

void CSimpleMainWindow::raiseKey(const char* bytes, unsigned size, bool character) {
    MessageArgumentKey key(bytes, size, character);
    raise("KEY_PRESS", &key);
}

void CSimpleMainWindow::keyPress(QKeyEvent* event) {
    struct Named {
        int key;
        char code;
    };
    // The arrows as their key codes; the editing keys as their control characters.
    static constexpr Named NAMED[] = {{Qt::Key_Left, 0x25}, {Qt::Key_Up, 0x26},     {Qt::Key_Right, 0x27},
                                      {Qt::Key_Down, 0x28}, {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},
                                      {Qt::Key_Return, 13}, {Qt::Key_Enter, 13},    {Qt::Key_Escape, 27}};
    for (const Named& named : NAMED) {
        if (event->key() == named.key) {
            raiseKey(&named.code, 1, false);
            return;
        }
    }
    // One event per code point, as its UTF-8 bytes (a character beyond 16 bits is one code point too).
    for (char32_t codePoint : event->text().toUcs4()) {
        if (codePoint < 0x20 || codePoint == 0x7F) {
            continue;
        }
        const QByteArray bytes = QString::fromUcs4(&codePoint, 1).toUtf8();
        raiseKey(bytes.constData(), static_cast<unsigned>(bytes.size()), true);
    }
}

void CSimpleMainWindow::paint(QWidget* surface) {
    const int scale = mCanvas->GetScale();
    const QSize size(mCanvas->Width(), mCanvas->Height());
    if (mFrame.size() != size) {
        mFrame = QImage(size, QImage::Format_RGB32);
    }
    mCanvas->CopyTo(reinterpret_cast<uint32_t*>(mFrame.bits()), static_cast<int>(mFrame.bytesPerLine() / 4),
                    scale);
    QPainter painter(surface);
    painter.fillRect(surface->rect(), surface->palette().window());
    painter.setPen(QPen(Qt::black, 2));
    const int x0 = mCanvas->GetX() - 1;
    const int y0 = mCanvas->GetY() - 1;
    painter.drawRect(x0, y0, size.width() + 2, size.height() + 2);
    painter.drawImage(mCanvas->GetX(), mCanvas->GetY(), mFrame);
}

void CSimpleMainWindow::closed() {
    QCoreApplication::exit(EXIT_CLOSED);
}

} // namespace tdx
