// The records that travel through the GUI core: input events and messages, and the small enumerations that
// widgets and screens share.
#pragma once

#include <cstdint>

namespace tdx {

class Component;

// A colour that is not set: -1 in builders and settings, 0xFFFFFFFF once held as an unsigned colour.
inline constexpr int NO_COLOUR = -1;
constexpr bool colour_is_set(unsigned colour) {
    return colour != static_cast<unsigned>(NO_COLOUR);
}

enum event_kind_t : int {
    EVENT_NONE = 0, // consumed
    EVENT_TOUCH_PRESS = 1,
    EVENT_TOUCH_HOLD = 2,
    EVENT_TOUCH_RELEASE = 3,
    EVENT_TOUCH_MOVE = 4,
    EVENT_PERIPHERAL_CONNECTED = 5,
    EVENT_NETWORK_NOT_CONNECTED = 6,
    EVENT_NETWORK_CONNECTED = 7, // connected, synchronisation started
    EVENT_DEBUG_MOVE = 8,
    EVENT_DEBUG_RESIZE = 9,
    EVENT_DEBUG_SELECT = 10,
    // Sent by the core alone, to the layers behind one that came in front: the touch in progress there ends
    // without a click.
    EVENT_TOUCH_CANCEL = 11,
};

// Kinds whose x and y are screen coordinates.
constexpr bool event_is_positional(int kind) {
    return (kind >= EVENT_TOUCH_PRESS && kind <= EVENT_TOUCH_MOVE) ||
           (kind >= EVENT_DEBUG_MOVE && kind <= EVENT_DEBUG_SELECT);
}
// News from the device network rather than input.
constexpr bool event_is_network(int kind) {
    return kind >= EVENT_PERIPHERAL_CONNECTED && kind <= EVENT_NETWORK_CONNECTED;
}
constexpr bool event_is_known(int kind) {
    return kind > EVENT_NONE && kind <= EVENT_DEBUG_SELECT;
}

// An input event. A handler consumes it by setting kind to EVENT_NONE.
struct Event {
    event_kind_t kind = EVENT_NONE;
    int x = 0; // touch: calibrated x, clamped to the screen
    int y = 0;
    int a = 0; // touch: raw x
    int b = 0; // touch: raw y
};

enum message_type_t : uint16_t {
    MSG_NONE = 0, // consumed: delivery stops
    MSG_DRAW = 1,
    MSG_CLICK = 2,
    MSG_PRESS = 3, // p1: 0 first press, 1 hold repeat
    MSG_KEY = 4,   // p1: virtual-key code, or with p2 KEY_CHARACTER a Unicode code point
    MSG_SCROLL_BY = 5,
    MSG_OK = 6,
    MSG_CANCEL = 7,
    MSG_COMMIT_PENDING = 8,
    MSG_COMMIT = 9,
    MSG_CHANGE = 10,
    MSG_DELETE = 11,
    MSG_MOVE = 12,
    MSG_RESIZE = 13,
    MSG_ITEM_CLICK = 14,
    MSG_POPUP_RESULT = 15,
    MSG_FOCUS_REQUEST = 16, // p1 FocusPosition, p2 top, p3 bottom, p4 the source's top when asked
    MSG_SCROLL_LOCK_REQUEST = 17,
    MSG_SCROLL_UNLOCK_REQUEST = 18,
    MSG_NAVIGATION_LOCK_REQUEST = 19,
    MSG_NAVIGATION_UNLOCK_REQUEST = 20,
    MSG_ALARM_ADDED = 21,
    MSG_ALARM_REMOVED = 22,
    MSG_ALARM_CHANGED = 23,
    MSG_TIMER = 24, // p1: the core's tick count
    MSG_USER = 0x100,
    MSG_DEBUG_TREE_CHANGE = 0x200,
    MSG_SELECT = 0x201,
    MSG_DESELECT = 0x202,
};

// p2 of MSG_KEY when p1 is a character typed on the host rather than a virtual-key code.
constexpr int KEY_CHARACTER = 1;

// A queued GUI message, copied by value. A null source is a message from the system.
struct Message {
    Component* source = nullptr;
    int p1 = 0;
    int p2 = 0;
    int p3 = 0;
    int p4 = 0;
    uint16_t id = MSG_NONE;

    bool is(int messageId, const Component* from) const { return id == messageId && source == from; }
    bool isClick(const Component* from) const { return is(MSG_CLICK, from); }
    bool isPress(const Component* from) const { return is(MSG_PRESS, from); }
    // No further component receives the message.
    void stopPropagation() { id = MSG_NONE; }
};

enum direction_t : int { DIRECTION_HORIZONTAL = 0, DIRECTION_VERTICAL = 1 };

// Per axis: keep the size, or fit it to the visible children.
enum ContainerSizing : int { SIZING_KEEP = 0, SIZING_FIT = 1 };

enum class HorizontalAlign : int { Left = 0, Center = 1, Right = 2 };
enum class VerticalAlign : int { Top = 0, Middle = 1, Bottom = 2 };
enum class TextOrientation : int { Horizontal = 0, Rotated = 1 };
enum class PopupButtons : int { Close = 0, OkCancel = 1 };

// Where a focus request wants its area: only as far as needed, its top at the view's top, its bottom at the
// view's bottom.
enum FocusPosition : int { FOCUS_AS_NEEDED = 0, FOCUS_TOP = 1, FOCUS_BOTTOM = 2 };

} // namespace tdx
