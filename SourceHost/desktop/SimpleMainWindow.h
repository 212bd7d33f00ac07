// The plain emulator window: the display's framebuffer through the canvas, magnified 1, 2 or 3 times, the
// left mouse button as the finger, the wheel and a few keys for the application, and three buttons: zoom,
// save a screenshot, copy it to the clipboard. It owns the host that runs the application on its own thread.
// Input travels over the window's own event bus; a two-state machine turns the touch events into the host's
// touch block.
#pragma once

#include "SourceHost/desktop/Screenshot.h"
#include "SourceHost/desktop/Window.h"
#include "SourceHost/host/CHost.h"
#include "SourceHost/host/Canvas.h"
#include "SourceHost/host/EventBus.h"
#include "SourceHost/host/StateMachine.h"

#include <QImage>

#include <atomic>
#include <memory>

class QKeyEvent;
class QMouseEvent;
class QWheelEvent;

namespace tdx {

class CPushButton;

class CSimpleMainWindow : public CWindow, public Application, public sigslot::has_slots<> {
public:
    static constexpr int CANVAS_X = 6;
    static constexpr int CANVAS_Y = 6;
    static constexpr int EXIT_CLOSED = 18;

    // `timers`: null gives the host a timer thread of its own (the program); tests pass a manual queue.
    explicit CSimpleMainWindow(HostApplication application, TimerQueue* timers = nullptr);
    ~CSimpleMainWindow() override;

    // Starts the host: its timers and the application thread.
    void run() override;
    // Steps the zoom 1 -> 2 -> 3 -> 1, moving the buttons and resizing the window with it.
    void ChangeScale();

    CHost& host() { return *mHost; }
    const std::shared_ptr<Canvas>& canvas() const { return mCanvas; }
    const std::shared_ptr<StateMachine>& machine() const { return mMachine; }
    CPushButton* zoomButton() const { return mZoomButton; }
    CPushButton* saveButton() const { return mSaveButton; }
    CPushButton* clipboardButton() const { return mClipboardButton; }
    // The size of the window's client area at the given zoom.
    static int clientWidth(int scale) { return 332 + 320 * (scale - 1); }
    static int clientHeight(int scale) { return 284 + 240 * (scale - 1); }

    // ---- Input, from the window's widget ----
    void mousePress(QMouseEvent* event);
    void mouseMove(QMouseEvent* event);
    void mouseRelease(QMouseEvent* event);
    void wheel(QWheelEvent* event);
    void keyPress(QKeyEvent* event);
    void paint(QWidget* surface);
    void closed();

private:
    void createChildWindows();
    // Raises a touch event at the window point; a captured pointer outside the canvas is clamped to it.
    void raiseTouch(const char* name, QPointF point, bool captured);
    void raiseKey(const char* bytes, unsigned size, bool character);

    std::shared_ptr<Canvas> mCanvas;
    std::unique_ptr<CHost> mHost;
    std::shared_ptr<StateMachine> mMachine;
    CPushButton* mSaveButton = nullptr;
    CPushButton* mClipboardButton = nullptr;
    CPushButton* mZoomButton = nullptr;
    bool mCaptured = false;
    int mWheelRest = 0;
    QImage mFrame;
    std::atomic<bool> mRepaintPosted{false};
};

// Runs the zoom step of its window.
template <typename Window>
class ChangeScreenScale : public Command {
public:
    explicit ChangeScreenScale(Window& window)
        : mWindow(window) {}
    void execute(MessageArgument*) override { mWindow.ChangeScale(); }

private:
    Window& mWindow;
};

} // namespace tdx
