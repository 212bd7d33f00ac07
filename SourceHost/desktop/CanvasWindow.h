// What both emulator windows share: a top-level widget with the display's framebuffer on the canvas at
// (6, 6) in a black frame, the host that runs the application on its own thread, and the routing of the
// widget's input onto the window's own event bus. The left mouse button is the finger ("TOUCH_START",
// "TOUCH_DRAG", "TOUCH_RELEASE" in display pixels), the wheel scrolls ("MOUSE_SCROLL"), keys and typed
// characters go to the application ("KEY_PRESS"). The screen holds the keyboard: it takes the focus when the
// window opens, is activated or is clicked with the left button, and Tab is the application's key while the
// screen has it.
// The canvas shows what the display's glass shows: the picture darkened as the backlight dims, black while
// the display is off (the screenshots keep the picture as drawn).
#pragma once

#include "SourceHost/desktop/ToolkitLanguage.h"
#include "SourceHost/desktop/Window.h"
#include "SourceHost/host/CHost.h"
#include "SourceHost/host/Canvas.h"
#include "SourceHost/host/EventBus.h"
#include "SourceHost/host/StateMachine.h"

#include <QImage>

#include <atomic>
#include <initializer_list>
#include <memory>

class QKeyEvent;
class QMouseEvent;
class QWheelEvent;

namespace tdx {

class CPushButton;

class CCanvasWindow : public CWindow, public Application, public sigslot::has_slots<> {
public:
    static constexpr int CANVAS_X = 6;
    static constexpr int CANVAS_Y = 6;
    static constexpr int EXIT_CLOSED = 18;

    ~CCanvasWindow() override;

    // Starts the host (its timers and the application thread), shows the window and gives the screen the
    // keyboard.
    void run() override;

    CHost& host() { return *mHost; }
    const std::shared_ptr<Canvas>& canvas() const { return mCanvas; }
    const std::shared_ptr<StateMachine>& machine() const { return mMachine; }

    // ---- Input, from the window's widget ----
    void mousePress(QMouseEvent* event);
    void mouseMove(QMouseEvent* event);
    void mouseRelease(QMouseEvent* event);
    void wheel(QWheelEvent* event);
    virtual void keyPress(QKeyEvent* event);
    void paint(QWidget* surface);
    void closed();

protected:
    // A fixed-size window of `width` x `height`; `timers`: null gives the host a timer thread of its own (the
    // program), tests pass a manual queue. Input reaches the window once the subclass calls acceptInput().
    CCanvasWindow(HostApplication application, TimerQueue* timers, int width, int height);

    // The subclass is complete: the widget hands its input and paint on from now.
    void acceptInput();
    // Ends the application thread and the widget's input; a subclass whose members the application reaches
    // calls it first in its destructor. Calling it again does nothing.
    void endHost();
    // The buttons take no keyboard focus, so that Space, Enter and the arrows stay the screen's.
    static void keepKeyboardOffButtons(std::initializer_list<CPushButton*> buttons);
    // A press of another button than the left one, at the window point; true when it gives the screen the
    // keyboard (the left button always does).
    virtual bool otherButtonPress(Qt::MouseButton, QPointF) { return false; }
    // Raises the key as the application knows it: the arrows as their key codes (only with `arrows`), the
    // editing keys as their control characters, typed text one code point at a time as its UTF-8 bytes.
    void raiseKeys(QKeyEvent* event, bool arrows);
    bool onCanvas(QPointF point) const;
    // The toolkit's own dialogs and boxes speak the application's language of the moment, where the system
    // holds the toolkit's translations for it.
    void followLanguage();

    std::shared_ptr<Canvas> mCanvas;
    std::unique_ptr<CHost> mHost;
    std::shared_ptr<StateMachine> mMachine;

private:
    // Raises a touch event at the window point; a captured pointer outside the canvas is clamped to it.
    void raiseTouch(const char* name, QPointF point, bool captured);
    void raiseKey(const char* bytes, unsigned size, bool character);
    // From the application thread: the canvas is painted again, at most one update waiting.
    void postCanvasUpdate();

    ToolkitLanguage mToolkitLanguage;
    bool mCaptured = false;
    int mWheelRest = 0; // parts of a notch not yet scrolled
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
