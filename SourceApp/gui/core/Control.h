// A component that takes touch: a press inside (while it and its ancestors are enabled) activates it and
// queues MSG_PRESS, every hold repeat another one, and the release inside queues MSG_CLICK. A control hidden
// (or destroyed) while pressed, or behind a layer that opened, ends its press without a click.
#pragma once

#include "SourceApp/gui/core/Component.h"

namespace tdx {

class Control : public Component {
public:
    Control(Container* parent, int x, int y, int width, int height);

    void handleEvent(Event* event) override;

    // True while the touch that pressed the control is down inside it.
    bool isActive() const { return mActive; }

protected:
    // Sounds the click and queues MSG_PRESS (p1 0 for the press, 1 for a hold repeat).
    void activate(int repeat);
    // The active state changed; the default repaints.
    virtual void handleActiveChange(bool) { invalidate(); }
    // Run right after MSG_PRESS (repeat: a hold repeat) and MSG_CLICK were queued, inside the event phase.
    virtual void handlePress(bool /*repeat*/) {}
    virtual void handleClick() {}

private:
    void setActive(bool active);
    // The core holds a pressed control, so that it can end the press when the control is hidden.
    void setPressed(bool pressed);
    bool isInside(const Event& event) const;

    bool mPressed = false; // the touch that is down began on this control
    bool mActive = false;
};

} // namespace tdx
