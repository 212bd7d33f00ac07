// The plain emulator window: the display's framebuffer through the canvas, magnified 1, 2 or 3 times, the
// left mouse button as the finger, the wheel and the keys for the application, and three buttons: zoom,
// save a screenshot, copy it to the clipboard. It owns the host that runs the application on its own thread.
// Input travels over the window's own event bus; a two-state machine turns the touch events into the host's
// touch block.
#pragma once

#include "SourceHost/desktop/CanvasWindow.h"
#include "SourceHost/desktop/Screenshot.h"

namespace tdx {

class CPushButton;

class CSimpleMainWindow : public CCanvasWindow {
public:
    // `timers`: null gives the host a timer thread of its own (the program); tests pass a manual queue.
    explicit CSimpleMainWindow(HostApplication application, TimerQueue* timers = nullptr);

    // Steps the zoom 1 -> 2 -> 3 -> 1, moving the buttons and resizing the window with it.
    void ChangeScale();

    CPushButton* zoomButton() const { return mZoomButton; }
    CPushButton* saveButton() const { return mSaveButton; }
    CPushButton* clipboardButton() const { return mClipboardButton; }
    // The size of the window's client area at the given zoom.
    static int clientWidth(int scale) { return 332 + 320 * (scale - 1); }
    static int clientHeight(int scale) { return 284 + 240 * (scale - 1); }
    // The buttons' captions in the application's language, in a smaller font where a translation is longer
    // than its button, and the toolkit's dialogs in that language too. The application chooses its language
    // from its stored settings after the window is built, and the user may change it at any time: a timer
    // calls this every second.
    void retranslate();

private:
    void createChildWindows();

    CPushButton* mSaveButton = nullptr;
    CPushButton* mClipboardButton = nullptr;
    CPushButton* mZoomButton = nullptr;
};

} // namespace tdx
