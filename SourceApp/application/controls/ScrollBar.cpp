#include "SourceApp/application/controls/ScrollBar.h"

#include "Libraries/base/dbg.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/gui/gfx/gfx.h"
#include "SourceApp/libs/cast.h"

#include <algorithm>
#include <cstdint>

namespace tdx {

namespace {
constexpr int THUMB_WIDTH = 24;

// (value * numerator) / denominator truncated toward zero, without overflowing on large contents.
int scale(int value, int numerator, int denominator) {
    return static_cast<int>(static_cast<int64_t>(value) * numerator / denominator);
}
} // namespace

// ---- Thumb ----

ScrollBar::ScrollBarThumb::ScrollBarThumb(Container* parent, int x, int y, int height)
    : Control(parent, x, y, THUMB_WIDTH, height) {
    setName("ScrollBarThumb");
}

void ScrollBar::ScrollBarThumb::setThumbHeight(short height) {
    mThumbHeight = height;
}

int ScrollBar::ScrollBarThumb::getMaxThumbPosition() const {
    return std::max(0, getHeight() - mThumbHeight);
}

void ScrollBar::ScrollBarThumb::setThumbPosition(int position) {
    const auto clamped = static_cast<short>(std::clamp(position, 0, getMaxThumbPosition()));
    if (clamped != mThumbPosition) {
        mThumbPosition = clamped;
        invalidate();
    }
}

void ScrollBar::ScrollBarThumb::setDragging(bool dragging) {
    mDragging = dragging;
    if (Core* core = Core::current()) {
        core->holdTouch(this, dragging);
    }
}

void ScrollBar::ScrollBarThumb::handleEvent(Event* event) {
    switch (event->kind) {
        case EVENT_TOUCH_PRESS:
            if (!getVisibleBox().contains(event->x, event->y)) {
                return;
            }
            event->kind = EVENT_NONE;
            if (isEnabled()) {
                setDragging(true);
                mOriginPosition = mThumbPosition;
                mOriginY = static_cast<short>(event->y);
                invalidate();
            }
            break;
        case EVENT_TOUCH_MOVE:
            if (!mDragging) {
                return;
            }
            event->kind = EVENT_NONE;
            if (isEnabled()) {
                const int travel = getMaxThumbPosition();
                const int p = std::clamp(mOriginPosition + (event->y - mOriginY), 0, travel);
                if (p != mThumbPosition) {
                    mThumbPosition = static_cast<short>(p);
                    invalidate();
                    polymorphic_downcast<ScrollBar*>(getParent())->onThumbMove(this);
                }
            }
            break;
        case EVENT_TOUCH_RELEASE:
            if (!mDragging) {
                return;
            }
            event->kind = EVENT_NONE;
            setDragging(false);
            if (isEnabled()) {
                invalidate();
            }
            break;
        case EVENT_TOUCH_CANCEL:
            // A layer opened over the drag, or the bar was hidden, and the release goes elsewhere: a later
            // touch must not drag on.
            setDragging(false);
            break;
        default:
            break;
    }
}

void ScrollBar::ScrollBarThumb::handleDraw() {
    if (mThumbHeight <= 0) {
        return;
    }
    const Box& box = getBoundingBox();
    gfx_setcolor(colour::CONTROL);
    gfx_fill_rect(box.x1 + 2, box.y1 + mThumbPosition + 1, box.x2,
                  box.y1 + mThumbPosition + mThumbHeight - 2);
}

// ---- Bar ----

ScrollBar::SerializedState::SerializedState(int position)
    : tdx::SerializedState(unique_id<ScrollBar>())
    , mPosition(position) {}

ScrollBar::ScrollBar(Container* parent, int x, int y, int height)
    : Container(parent, x, y, WIDTH, height) {
    setName("ScrollBar");
    const Box& box = getBoundingBox();
    if (height > MIN_HEIGHT_FOR_THUMB) {
        mThumb = new ScrollBarThumb(this, box.x1, box.y1 + ARROW_HEIGHT, height - 2 * ARROW_HEIGHT);
    }
    IconButton::Builder arrow{.parent = this,
                              .x = box.x1,
                              .y = box.y1,
                              .width = WIDTH,
                              .height = ARROW_HEIGHT,
                              .backColor = colour::CONTROL,
                              .faceColor = colour::WHITE,
                              .activeBackColor = NO_COLOUR,
                              .activeFaceColor = colour::WHITE,
                              .disabledFaceColor = colour::LIGHT,
                              .icon = res_scrollbar_arrow_up};
    mUp = arrow.build();
    arrow.y = box.y2 - ARROW_HEIGHT + 1;
    arrow.icon = res_scrollbar_arrow_down;
    mDown = arrow.build();
    if (mThumb == nullptr) {
        mUp->setEnabled(mPosition != mMinimum);
        mDown->setEnabled(mPosition != mMaximum);
    }
}

void ScrollBar::updateEnabled() {
    setEnabled(mHasRange && !mLocked);
    invalidate();
}

void ScrollBar::setLocked(bool locked) {
    mLocked = locked;
    updateEnabled();
}

void ScrollBar::setMax(int maximum, int total) {
    if (maximum <= mMinimum || total <= 0) {
        // Nothing to scroll: no stale range stays behind that a drag or a scroll request could reach.
        mHasRange = false;
        mMaximum = mMinimum;
        if (mThumb != nullptr) {
            mThumb->setThumbHeight(0);
        }
        updateEnabled();
        setThumbPosition(mMinimum);
        return;
    }
    mMaximum = maximum;
    mHasRange = true;
    if (mThumb != nullptr) {
        const int track = mThumb->getHeight();
        const double length = static_cast<double>(track) * (static_cast<double>(track) / total);
        const double clamped =
            std::clamp(length, static_cast<double>(MIN_THUMB_HEIGHT), static_cast<double>(track));
        mThumb->setThumbHeight(static_cast<short>(clamped));
        mThumb->invalidate();
    }
    updateEnabled();
    setThumbPosition(mPosition);
}

void ScrollBar::setThumbPosition(int position) {
    mPosition = std::clamp(position, mMinimum, std::max(mMinimum, mMaximum));
    if (mThumb != nullptr) {
        const int travel = mThumb->getMaxThumbPosition();
        const int range = mMaximum - mMinimum;
        mThumb->setThumbPosition(range > 0 ? std::clamp(scale(mPosition - mMinimum, travel, range), 0, travel)
                                           : 0);
    } else {
        mDown->setEnabled(mPosition != mMaximum);
        mUp->setEnabled(mPosition != mMinimum);
    }
    onChange(mPosition);
}

void ScrollBar::onUpPress(Component* /*source*/, bool /*repeat*/) {
    setThumbPosition(mPosition - mStep);
}

void ScrollBar::onDownPress(Component* /*source*/, bool /*repeat*/) {
    setThumbPosition(mPosition + mStep);
}

void ScrollBar::onThumbMove(Component* thumb) {
    if (thumb == nullptr || thumb != mThumb) {
        dbg_printf_h("scroll bar: a thumb move from %s refused, the bar has %s",
                     thumb != nullptr ? thumb->getName().c_str() : "nothing",
                     mThumb != nullptr ? "another thumb" : "no thumb");
        return;
    }
    const int travel = mThumb->getMaxThumbPosition();
    if (travel <= 0) {
        return; // a thumb filling the track has nowhere to go
    }
    mPosition = mMinimum + scale(mThumb->getThumbPosition(), mMaximum - mMinimum, travel);
    onChange(mPosition);
}

void ScrollBar::onChange(int) {
    if (mOnScroll) {
        mOnScroll->execute();
    }
}

void ScrollBar::handleMessage(Message* message) {
    if (message->is(MSG_PRESS, mUp)) {
        onUpPress(mUp, message->p1 != 0);
    } else if (message->is(MSG_PRESS, mDown)) {
        onDownPress(mDown, message->p1 != 0);
    } else if (message->id == MSG_SCROLL_BY) {
        setThumbPosition(mPosition + message->p1);
        message->stopPropagation();
    }
}

void ScrollBar::handleDraw() {
    Container::handleDraw();
    gfx_setcolor(colour::CONTROL);
    gfx_vert_line(getLeft(), mUp->getBottom() + 1, mDown->getTop() - mUp->getBottom() - 1);
}

bool ScrollBar::isOwnSerializedState(const tdx::SerializedState* state) const {
    return state != nullptr && state->getId() == unique_id<ScrollBar>();
}

std::unique_ptr<tdx::SerializedState> ScrollBar::handleSerialize() {
    return std::make_unique<SerializedState>(mPosition);
}

void ScrollBar::handleDeserialize(const tdx::SerializedState* state) {
    if (isOwnSerializedState(state)) {
        setThumbPosition(static_cast<const SerializedState*>(state)->getPosition());
    }
}

} // namespace tdx
