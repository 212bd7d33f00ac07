#include "SourceHost/desktop/CanvasWindow.h"

#include "SourceApp/gui/i18n/I18n.h"
#include "SourceApp/system/SystemMgr.h"
#include "SourceApp/system/config.h"
#include "SourceHost/api_lib/devices.h"
#include "SourceHost/host/InputAdapters.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QWheelEvent>

#include <algorithm>
#include <cstddef>

namespace tdx {

namespace {

constexpr int WHEEL_NOTCH = 120;
constexpr int SCROLL_PER_NOTCH = 40;
constexpr uint32_t GLASS_AS_DRAWN_PERCENT = DefaultConfiguration.screen_intensity[ssActive];

// Darkens the picture (32-bit pixels, 0xAARRGGBB, rows `stride` pixels apart) by the glass's light. A desktop
// screen shows no more light than the picture itself, so the display's out-of-the-box active brightness
// shows the picture as drawn, as does a brighter backlight; a dimmer one darkens each colour channel in
// proportion (truncated), and 0 is black. The fourth byte is kept. A picture the application has not lit yet
// stays as drawn.
void darken_to_glass(uint32_t* pixels, int width, int height, int stride, int glass) {
    if (glass == LCD_GLASS_AS_DRAWN || glass >= static_cast<int>(GLASS_AS_DRAWN_PERCENT)) {
        return;
    }
    const auto light = static_cast<uint32_t>(std::max(glass, 0));
    for (int y = 0; y < height; ++y) {
        uint32_t* row = pixels + static_cast<ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            const uint32_t p = row[x];
            const uint32_t red = ((p >> 16) & 0xFFu) * light / GLASS_AS_DRAWN_PERCENT;
            const uint32_t green = ((p >> 8) & 0xFFu) * light / GLASS_AS_DRAWN_PERCENT;
            const uint32_t blue = (p & 0xFFu) * light / GLASS_AS_DRAWN_PERCENT;
            row[x] = (p & 0xFF000000u) | red << 16 | green << 8 | blue;
        }
    }
}

// The window's widget hands its input and paint to the window object.
class Surface : public QWidget {
public:
    Surface(int width, int height) {
        setWindowTitle(QStringLiteral("TDX-410"));
        setMouseTracking(true);
        // The window itself decides which presses give the screen the keyboard (see mousePress): a click
        // that takes it by itself would take it from a field of the window on any button.
        setFocusPolicy(Qt::TabFocus);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFixedSize(width, height);
    }

    // Input reaches the window object only while it is complete.
    void setOwner(CCanvasWindow* owner) { mOwner = owner; }

protected:
    // The screen, unless the user put the keyboard into one of the window's fields.
    bool screenHasKeyboard() const {
        const QWidget* holder = focusWidget();
        return holder == nullptr || holder == this;
    }
    bool event(QEvent* event) override {
        if (event->type() == QEvent::WindowActivate && screenHasKeyboard()) {
            setFocus(Qt::ActiveWindowFocusReason);
        }
        return QWidget::event(event);
    }
    // Tab and Backtab are keys of the application, not a way to move the focus away from the screen.
    bool focusNextPrevChild(bool next) override {
        return screenHasKeyboard() ? false : QWidget::focusNextPrevChild(next);
    }
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
    CCanvasWindow* mOwner = nullptr;
};

} // namespace

CCanvasWindow::CCanvasWindow(HostApplication application, TimerQueue* timers, int width, int height)
    : CWindow(nullptr, new Surface(width, height))
    , Application("MainWindow")
    , mCanvas(std::make_shared<Canvas>(CANVAS_X, CANVAS_Y, SCREEN_WIDTH, SCREEN_HEIGHT)) {
    canvas_install(mCanvas);
    mHost = std::make_unique<CHost>(std::move(application), host_hand_over(), timers);
    // Repaints come from the application thread, for a new picture and for each step of the backlight's fade.
    mCanvas->setRepaintListener([this] { postCanvasUpdate(); });
    lcd_platform_set_glass_listener([this] { postCanvasUpdate(); });
    addListener("KEY_PRESS", std::make_shared<KeyPressToHostAdapter>(*mHost));
    addListener("MOUSE_SCROLL", std::make_shared<CoreMessageToHostAdapter>(*mHost));
}

CCanvasWindow::~CCanvasWindow() {
    endHost();
    mMachine.reset();
}

void CCanvasWindow::acceptInput() {
    static_cast<Surface*>(GetHandle())->setOwner(this);
}

void CCanvasWindow::endHost() {
    if (auto* surface = static_cast<Surface*>(GetHandle())) {
        surface->setOwner(nullptr);
    }
    mHost.reset(); // the application thread ends before anything it reaches goes
    mCanvas->setRepaintListener(nullptr);
    lcd_platform_set_glass_listener(nullptr);
}

void CCanvasWindow::postCanvasUpdate() {
    // Posted to the window, at most one waiting, and only the canvas is painted again.
    if (!mRepaintPosted.exchange(true)) {
        QWidget* surface = GetHandle();
        QMetaObject::invokeMethod(
            surface,
            [this, surface] {
                mRepaintPosted = false;
                surface->update(mCanvas->GetX(), mCanvas->GetY(), mCanvas->Width(), mCanvas->Height());
            },
            Qt::QueuedConnection);
    }
}

void CCanvasWindow::keepKeyboardOffButtons(std::initializer_list<CPushButton*> buttons) {
    for (CPushButton* button : buttons) {
        button->GetHandle()->setFocusPolicy(Qt::NoFocus);
    }
}

void CCanvasWindow::run() {
    mHost->Initialize();
    GetHandle()->show();
    GetHandle()->setFocus(Qt::ActiveWindowFocusReason);
}

bool CCanvasWindow::onCanvas(QPointF point) const {
    return mCanvas->IsPointInRect(static_cast<int>(point.x()), static_cast<int>(point.y()));
}

void CCanvasWindow::followLanguage() {
    mToolkitLanguage.follow(i18n.getLanguage());
}

void CCanvasWindow::raiseTouch(const char* name, QPointF point, bool captured) {
    int x = static_cast<int>(point.x());
    int y = static_cast<int>(point.y());
    if (!captured && !mCanvas->IsPointInRect(x, y)) {
        return;
    }
    mCanvas->MapPointClamped(&x, &y);
    MessageArgumentMouseEvent argument(x, y);
    raise(name, &argument);
}

void CCanvasWindow::mousePress(QMouseEvent* event) {
    const QPointF point = event->position();
    bool takesKeyboard = true;
    if (event->button() == Qt::LeftButton) {
        mCaptured = onCanvas(point);
        raiseTouch("TOUCH_START", point, false);
    } else {
        takesKeyboard = otherButtonPress(event->button(), point);
    }
    if (takesKeyboard) {
        GetHandle()->setFocus();
    }
}

void CCanvasWindow::mouseMove(QMouseEvent* event) {
    raiseTouch("TOUCH_DRAG", event->position(), mCaptured);
}

void CCanvasWindow::mouseRelease(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    // After a press on the canvas the release is delivered wherever it happens, so the finger lifts.
    raiseTouch("TOUCH_RELEASE", event->position(), mCaptured);
    mCaptured = false;
}

void CCanvasWindow::wheel(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    // A sideways turn only is the horizontal wheel's, which the application has no use for.
    if ((delta.y() == 0 && delta.x() != 0) || !onCanvas(event->position())) {
        return;
    }
    // Whole notches scroll, a turn away from the user moves the content down. Fine-grained wheels and
    // touchpads send parts of a notch: they add up, so that they scroll too; an event short of a notch
    // scrolls by 0. A part left from the other direction is dropped when the wheel turns back, or it would
    // swallow the whole notches of the turn back.
    if ((mWheelRest < 0 && delta.y() > 0) || (mWheelRest > 0 && delta.y() < 0)) {
        mWheelRest = 0;
    }
    mWheelRest += delta.y();
    const int notches = mWheelRest / WHEEL_NOTCH;
    mWheelRest -= notches * WHEEL_NOTCH;
    MessageArgumentCoreMessage scroll(MSG_SCROLL_BY, static_cast<unsigned>(-SCROLL_PER_NOTCH * notches), 0, 0,
                                      0);
    raise("MOUSE_SCROLL", &scroll);
}

void CCanvasWindow::raiseKey(const char* bytes, unsigned size, bool character) {
    MessageArgumentKey key(bytes, size, character);
    raise("KEY_PRESS", &key);
}

void CCanvasWindow::keyPress(QKeyEvent* event) {
    raiseKeys(event, true);
}

void CCanvasWindow::raiseKeys(QKeyEvent* event, bool arrows) {
    struct Named {
        int key;
        char code;
        bool arrow;
    };
    // Up and Down are arrows like Left and Right: with nothing selected in the inspector all four reach the
    // application, whose lists and spin fields move with Up and Down as the emulator window lets them.
    static constexpr Named NAMED[] = {
        {Qt::Key_Left, 0x25, true},  {Qt::Key_Up, 0x26, true},      {Qt::Key_Right, 0x27, true},
        {Qt::Key_Down, 0x28, true},  {Qt::Key_Backspace, 8, false}, {Qt::Key_Tab, 9, false},
        {Qt::Key_Return, 13, false}, {Qt::Key_Enter, 13, false},    {Qt::Key_Escape, 27, false}};
    for (const Named& named : NAMED) {
        if (event->key() == named.key) {
            if (arrows || !named.arrow) {
                raiseKey(&named.code, 1, false);
            }
            return;
        }
    }
    // Delete types nothing, although the toolkit gives it the text of the control character DEL.
    if (event->key() == Qt::Key_Delete) {
        return;
    }
    // Each typed character travels as its whole code point, one beyond 16 bits too: its two UTF-16 halves
    // sent apart would each be no character at all to the application. A control character typed with Ctrl
    // (Ctrl+H, Ctrl+M) is its one byte, as the editing key that types it (Backspace, Enter) gives it.
    for (char32_t codePoint : event->text().toUcs4()) {
        if (codePoint < 0x20 || codePoint == 0x7F) {
            const char code = static_cast<char>(codePoint);
            raiseKey(&code, 1, false);
            continue;
        }
        const QByteArray bytes = QString::fromUcs4(&codePoint, 1).toUtf8();
        raiseKey(bytes.constData(), static_cast<unsigned>(bytes.size()), true);
    }
}

void CCanvasWindow::paint(QWidget* surface) {
    const int scale = mCanvas->GetScale();
    const QSize size(mCanvas->Width(), mCanvas->Height());
    if (mFrame.size() != size) {
        mFrame = QImage(size, QImage::Format_RGB32);
    }
    const int stride = static_cast<int>(mFrame.bytesPerLine() / 4);
    auto* pixels = reinterpret_cast<uint32_t*>(mFrame.bits());
    mCanvas->CopyTo(pixels, stride, scale);
    darken_to_glass(pixels, size.width(), size.height(), stride, lcd_platform_glass());
    QPainter painter(surface);
    painter.fillRect(surface->rect(), surface->palette().window());
    painter.setPen(QPen(Qt::black, 2));
    painter.drawRect(mCanvas->GetX() - 1, mCanvas->GetY() - 1, size.width() + 2, size.height() + 2);
    painter.drawImage(mCanvas->GetX(), mCanvas->GetY(), mFrame);
}

void CCanvasWindow::closed() {
    QCoreApplication::exit(EXIT_CLOSED);
}

} // namespace tdx
