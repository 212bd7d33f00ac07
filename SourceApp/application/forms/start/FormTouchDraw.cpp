#include "SourceApp/application/forms/start/FormTouchDraw.h"

#include "SourceApp/application/App.h"
#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/gui/gfx/gfx.h"

namespace tdx {

namespace {

constexpr state_id_t NOT_ENROLLED_STATE_ID = 1;

} // namespace

FormTouchDraw::FormTouchDraw(const State& state)
    : Form(state) {
    setName("FormTouchDraw");
    new Oblong(this, 0, 0, getWidth(), getHeight(), colour::WHITE);
    mBack = IconButton::Builder{.parent = this,
                                .width = 30,
                                .height = 20,
                                .backColor = colour::TEXT,
                                .faceColor = colour::CONTROL,
                                .activeBackColor = colour::TEXT,
                                .activeFaceColor = colour::PRESSED,
                                .icon = res_topbar_back}
                .build();
}

void FormTouchDraw::erase() {
    // Only a cross drawn before: the square around the start point would cover the back button.
    if (!mDrawn) {
        return;
    }
    mDrawn = false;
    gfx_setcolor(colour::WHITE);
    gfx_fill_rect(mLastX - CROSS_ARM, mLastY - CROSS_ARM, mLastX + CROSS_ARM, mLastY + CROSS_ARM);
    gfx_flip(mLastX - CROSS_ARM, mLastY - CROSS_ARM, mLastX + CROSS_ARM, mLastY + CROSS_ARM);
}

void FormTouchDraw::handleEvent(Event* event) {
    switch (event->kind) {
        case EVENT_TOUCH_RELEASE:
            erase();
            break;
        case EVENT_TOUCH_PRESS:
        case EVENT_TOUCH_MOVE: {
            erase();
            const int x = event->x;
            const int y = event->y;
            gfx_setcolor(colour::TEXT);
            gfx_horiz_line(x - CROSS_ARM, y, 2 * CROSS_ARM + 1);
            gfx_vert_line(x, y - CROSS_ARM, 2 * CROSS_ARM + 1);
            gfx_flip(x - CROSS_ARM, y - CROSS_ARM, x + CROSS_ARM, y + CROSS_ARM);
            mLastX = x;
            mLastY = y;
            mDrawn = true;
            break;
        }
        case EVENT_NETWORK_NOT_CONNECTED:
            // The loss of the unit is announced once. Were it let pass here, the way back would lead to
            // screens showing the values of a unit that is gone, with nothing left to raise the not-enrolled
            // screen, which waits for the unit and returns home when it is back; so this screen leaves for
            // it as the other screens do.
            event->kind = EVENT_NONE;
            getApplication()->getCore()->changeState(NOT_ENROLLED_STATE_ID, 0, 0, 0, 0);
            return;
        default:
            break;
    }
    Form::handleEvent(event);
}

void FormTouchDraw::handleMessage(Message* message) {
    const Message m = *message;
    Form::handleMessage(message);
    if (m.isClick(mBack)) {
        getApplication()->getCore()->prevState();
    }
}

} // namespace tdx
