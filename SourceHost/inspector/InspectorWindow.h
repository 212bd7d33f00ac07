// The inspector window: the display's framebuffer on the canvas at the top left, and around it the selected
// component's position and size, screenshot and zoom buttons, the list of the GUI's components and a status
// bar with the loop passes per second. The left button is the finger, or moves the selected component by its
// body and resizes it by its bottom-right corner; the right button selects the component under it, or
// deselects. Everything here runs on the window thread and sees the GUI only through the copies the model
// posts; what it asks of the GUI travels as host commands.
#pragma once

#include "SourceHost/desktop/CanvasWindow.h"
#include "SourceHost/inspector/InspectorLink.h"
#include "SourceHost/inspector/ListView.h"
#include "SourceHost/inspector/UpDown.h"
#include "SourceHost/inspector/ViewSelectedComponent.h"

#include <memory>
#include <vector>

class QTimer;

namespace tdx {

// The window is its own bus (an Application through CCanvasWindow), as the emulator window is: a separate
// View base would add nothing to either, so there is none.
class CMainWindow : public CCanvasWindow {
public:
    static constexpr int CLIENT_WIDTH = 640;
    static constexpr int CLIENT_HEIGHT = 640;
    static constexpr int CYCLES_PART = 3;

    // `timers`: null gives the host a timer thread of its own (the program); tests pass a manual queue.
    explicit CMainWindow(HostApplication application, TimerQueue* timers = nullptr);
    ~CMainWindow() override;

    // Zoom x1 <-> x2: the right-hand column moves right and the lower row down by one display.
    void ChangeScale();
    bool Resize(int width, int height) override;
    // Runs work on this window's thread; posted from any thread, dropped once the window is gone.
    WindowPoster poster();
    // The status bar's loop passes per second, as the host measured them, and the captions in the
    // application's language.
    void refreshCycles();

    const ViewSelectedComponent& selection() const { return mSelection; }
    CComponentListView& componentList() { return *mList; }
    CUpDown* field(ComponentAttribute attribute) const { return mFields[attribute]; }
    CStatusBar* statusBar() const { return mStatusBar; }
    CPushButton* zoomButton() const { return mZoomButton; }
    CGroupBox* propertiesGroup() const { return mProperties; }
    CEditBox* editBox() const { return mEditBox; }

    // ESC with a selection undoes its moves and resizes and lets go; the arrows stay with the inspector while
    // a component is selected.
    void keyPress(QKeyEvent* event) override;

private:
    void createChildWindows();
    void wireFields();
    void buildMachine();
    // The application chooses its language from its stored settings after the window is built, and the user
    // may change it at any time: the captions follow it.
    void retranslate();
    // The right button on the screen selects the component under it, giving the screen the keyboard, or
    // deselects, leaving the keyboard where it is.
    bool otherButtonPress(Qt::MouseButton button, QPointF point) override;

    ViewSelectedComponent mSelection;
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
    struct Caption {
        CLabel* label;
        const char* context;
        const char* msgid;
    };
    std::vector<Caption> mCaptions;
};

} // namespace tdx
