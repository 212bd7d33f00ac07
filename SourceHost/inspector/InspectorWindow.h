// The inspector window: the display's framebuffer on the canvas at the top left, and around it the selected
// component's position and size, screenshot and zoom buttons, the list of the GUI's components and a status
// bar with the loop passes per second. The left button is the finger, or moves the selected component by its
// body and resizes it by its bottom-right corner; the right button selects the component under it, or
// deselects. Everything here runs on the window thread and sees the GUI only through the copies the model
// posts; what it asks of the GUI travels as host commands.
#pragma once

#include "SourceHost/desktop/Window.h"
#include "SourceHost/host/CHost.h"
#include "SourceHost/host/Canvas.h"
#include "SourceHost/host/EventBus.h"
#include "SourceHost/host/StateMachine.h"
#include "SourceHost/inspector/InspectorLink.h"
#include "SourceHost/inspector/ListView.h"
#include "SourceHost/inspector/UpDown.h"
#include "SourceHost/inspector/ViewSelectedComponent.h"

#include <QImage>

#include <atomic>
#include <memory>

class QKeyEvent;
class QMouseEvent;
class QTimer;
class QWheelEvent;

namespace tdx {

class CMainWindow : public CWindow, public Application, public sigslot::has_slots<> {
public:
    static constexpr int CANVAS_X = 6;
    static constexpr int CANVAS_Y = 6;
    static constexpr int CLIENT_WIDTH = 640;
    static constexpr int CLIENT_HEIGHT = 640;
    static constexpr int EXIT_CLOSED = 18;
    static constexpr int CYCLES_PART = 3;

    // `timers`: null gives the host a timer thread of its own (the program); tests pass a manual queue.
    explicit CMainWindow(HostApplication application, TimerQueue* timers = nullptr);
    ~CMainWindow() override;

    // Starts the host: its timers and the application thread.
    void run() override;
    // Zoom x1 <-> x2: the right-hand column moves right and the lower row down by one display.
    void ChangeScale();
    bool Resize(int width, int height) override;
    // Runs work on this window's thread; posted from any thread, dropped once the window is gone.
    WindowPoster poster();
    // The status bar's loop passes per second, as the host measured them.
    void refreshCycles();

    CHost& host() { return *mHost; }
    const std::shared_ptr<Canvas>& canvas() const { return mCanvas; }
    const std::shared_ptr<StateMachine>& machine() const { return mMachine; }
    const ViewSelectedComponent& selection() const { return mSelection; }
    CComponentListView& componentList() { return *mList; }
    CUpDown* field(ComponentAttribute attribute) const { return mFields[attribute]; }
    CStatusBar* statusBar() const { return mStatusBar; }
    CPushButton* zoomButton() const { return mZoomButton; }
    CGroupBox* propertiesGroup() const { return mProperties; }
    CEditBox* editBox() const { return mEditBox; }

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
    void wireFields();
    void buildMachine();
    // Raises a touch event at the window point; a captured pointer outside the canvas is clamped to it.
    void raiseTouch(const char* name, QPointF point, bool captured);
    void raiseKey(const char* bytes, unsigned size, bool character);

    std::shared_ptr<Canvas> mCanvas;
    ViewSelectedComponent mSelection;
    std::unique_ptr<CHost> mHost;
    std::shared_ptr<StateMachine> mMachine;
    std::unique_ptr<CComponentListView> mList;
    CStatusBar* mStatusBar = nullptr;
    CLabel* mSelectionLabel = nullptr;
    CGroupBox* mProperties = nullptr;
    CUpDown* mFields[4] = {};
    CEditBox* mEditBox = nullptr;
    CPushButton* mFileButton = nullptr;
    CPushButton* mClipboardButton = nullptr;
    CPushButton* mZoomButton = nullptr;
    QTimer* mCyclesTimer = nullptr;
    bool mCaptured = false;
    int mWheelRest = 0;
    QImage mFrame;
    std::atomic<bool> mRepaintPosted{false};
};

} // namespace tdx
