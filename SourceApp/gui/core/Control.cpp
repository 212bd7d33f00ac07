#include "SourceApp/gui/core/Control.h"

#include "SourceApp/gui/core/Core.h"

namespace tdx {

Control::Control(Container* parent, int x, int y, int width, int height)
    : Component(parent, x, y, width, height) {
    setName("Control");
}

bool Control::isInside(const Event& event) const {
    return getVisibleBox().contains(event.x, event.y);
}

void Control::setActive(bool active) {
    if (active != mActive) {
        mActive = active;
        handleActiveChange(active);
    }
}

void Control::setPressed(bool pressed) {
    mPressed = pressed;
    if (Core* core = Core::current()) {
        core->holdTouch(this, pressed);
    }
}

void Control::activate(int repeat) {
    Core* core = Core::current();
    if (core == nullptr) {
        return;
    }
    if (core->getHooks().click) {
        core->getHooks().click();
    }
    sendMessage(MSG_PRESS, repeat);
    handlePress(repeat != 0);
}

void Control::handleEvent(Event* event) {
    switch (event->kind) {
        case EVENT_TOUCH_PRESS:
            if (isInside(*event) && isEnabled()) {
                setPressed(true);
                setActive(true);
                activate(0);
                // Overlapping controls must not all take the same press.
                event->kind = EVENT_NONE;
            }
            break;
        case EVENT_TOUCH_HOLD:
            if (mPressed && mActive && isInside(*event) && isEnabled()) {
                activate(1);
                event->kind = EVENT_NONE;
            }
            break;
        case EVENT_TOUCH_MOVE:
            if (mPressed) {
                setActive(isInside(*event));
            }
            break;
        case EVENT_TOUCH_RELEASE:
            if (mPressed) {
                setPressed(false);
                setActive(false);
                if (isInside(*event) && isEnabled()) {
                    sendMessage(MSG_CLICK);
                    handleClick();
                }
            }
            break;
        case EVENT_TOUCH_CANCEL:
            setPressed(false);
            setActive(false);
            break;
        default:
            break;
    }
}

} // namespace tdx
