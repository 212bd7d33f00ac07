#include "SourceApp/application/controls/UpDown.h"

#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/gfx/gfx.h"

#include <algorithm>

namespace tdx {

// ---- UpDownBase ----

UpDownBase::UpDownBase(Container* parent, int x, int y, int width, int height, Font* font)
    : Container(parent, x, y, width, height) {
    setName("UpDownBase");
    // The arrows keep the builders' colours: grey, a black icon, dark grey while pressed, the icon grey while
    // disabled.
    mDown = new IconButton(this, getLeft(), getTop(), BUTTON_WIDTH, getHeight(), res_arrow_down);
    mUp = new IconButton(this, getRight() - (BUTTON_WIDTH - 1), getTop(), BUTTON_WIDTH, getHeight(),
                         res_arrow_up);
    mLabel = new ContainedLabel(this, getLeft() + BUTTON_WIDTH + 1, getTop(), LABEL_WIDTH, getHeight(), font,
                                "--", HorizontalAlign::Center, VerticalAlign::Middle);
}

UpDownBase::~UpDownBase() = default;

void UpDownBase::setFormatter(std::unique_ptr<DataModel::Formatter> formatter) {
    mFormatter = std::move(formatter);
    onChange(0);
}

void UpDownBase::setOnChangeCommand(std::unique_ptr<ICommand> command) {
    mOnChange = std::move(command);
}

void UpDownBase::setDelayBeforeCommit(unsigned ms) {
    mCommitTimer.setTimeout(ms);
}

bool UpDownBase::commit() {
    if (!isKnown()) {
        mPending = 0;
        onChange(0);
        return false;
    }
    const bool written = onCommit(mPending);
    if (mPending != 0 && mOnChange) {
        mOnChange->execute();
    }
    mPending = 0;
    return written;
}

void UpDownBase::stepBy(int steps) {
    // Not held to the limits: steps beyond a limit still count, so that a tap back within the commit delay
    // leaves the value at the limit the user ran into rather than one step below it.
    mPending += steps;
    onChange(mPending);
}

void UpDownBase::handleEvent(Event* event) {
    if (event->kind == EVENT_TOUCH_PRESS && !mRepeatTimer.isStarted()) {
        auto hit = [&](const IconButton* button) {
            return button->isEnabled() && button->isGloballyVisible() &&
                   button->getBoundingBox().contains(event->x, event->y);
        };
        const int direction = hit(mUp) ? 1 : hit(mDown) ? -1 : 0;
        if (direction != 0) {
            mRepeatTimer.setTimeout(FIRST_REPEAT_MS);
            mRepeatTimer.start();
            stepBy(direction);
            mCommitTimer.cancel();
        }
    }
    // The button itself becomes active as every control does.
    Container::handleEvent(event);
}

void UpDownBase::handleMessage(Message* message) {
    if (message->id == MSG_TIMER) {
        if (mUp->isActive() || mDown->isActive()) {
            if (mRepeatTimer.isTimedOut()) {
                mRepeatTimer.setTimeout(std::max(mRepeatTimer.getTimeout() * 2 / 3, FASTEST_REPEAT_MS));
                mRepeatTimer.start();
                stepBy(mUp->isActive() ? 1 : -1);
            }
        } else if (mRepeatTimer.isStarted()) {
            // The hold ended: released, or the finger slid off the button.
            mRepeatTimer.cancel();
            mCommitTimer.start();
            sendMessage(MSG_COMMIT_PENDING);
        }
        if (mCommitTimer.isTimedOut()) {
            const bool written = commit();
            sendMessage(MSG_COMMIT, written ? 1 : 0);
        }
    }
    Container::handleMessage(message);
}

void UpDownBase::handleDraw() {
    gfx_setcolor(colour::WHITE);
    gfx_vert_line(getLeft() + BUTTON_WIDTH, getTop(), getHeight());
    gfx_vert_line(getRight() - BUTTON_WIDTH, getTop(), getHeight());
    gfx_setcolor(colour::CONTROL);
    gfx_fill_rect(mLabel->getBoundingBox());
    Container::handleDraw();
}

void UpDownBase::handleEnabled(bool enabled) {
    mUp->setEnabled(enabled);
    mDown->setEnabled(enabled);
    mLabel->setFaceColor(enabled ? colour::TEXT : colour::DISABLED);
    if (enabled) {
        onChange(0); // a button standing at its limit is disabled again
    }
}

// ---- UpDown<T> ----

template <class T>
T UpDown<T>::target(int steps) const {
    const T value = getValue();
    int64_t base = static_cast<int64_t>(value);
    if constexpr (std::is_unsigned_v<T>) {
        if (value == static_cast<T>(0xFFFFFFFFu)) {
            base = -1;
        }
    }
    const int64_t moved = base + static_cast<int64_t>(steps) * static_cast<int64_t>(mStep);
    return clampToLimits(moved);
}

template <class T>
T UpDown<T>::clampToLimits(int64_t value) const {
    // The upper limit is tested first, as Clamp does everywhere: with limits that cross, a value above the
    // maximum shows the maximum and any other the minimum.
    const int64_t maximum = getMaximum();
    const int64_t minimum = getMinimum();
    if (value > maximum) {
        return static_cast<T>(maximum);
    }
    if (value < minimum) {
        return static_cast<T>(minimum);
    }
    return static_cast<T>(value);
}

template <class T>
void UpDown<T>::onChange(int steps) {
    if (!isKnown()) {
        mShown.reset();
        getLabel()->setText("--");
        getUpButton()->setEnabled(false);
        getDownButton()->setEnabled(false);
        return;
    }
    const T shown = target(steps);
    // A step into a limit shows nothing new; a refresh from outside always announces the value.
    if (steps == 0 || shown != mShown) {
        mShown = shown;
        const DataModel::Formatter* formatter = getFormatter();
        getLabel()->setText(formatter != nullptr ? formatter->format(shown)
                                                 : DataModel::NumericFormatter().format(shown));
        this->sendMessage(MSG_CHANGE, static_cast<int>(shown));
    }
    if (isEnabled()) {
        getUpButton()->setEnabled(shown < getMaximum());
        getDownButton()->setEnabled(shown > getMinimum());
    }
}

template class UpDown<int>;
template class UpDown<unsigned>;

// ---- NumericUpDown<T> ----

template <class T>
NumericUpDown<T>::NumericUpDown(Container* parent, int x, int y, int width, int height, Font* font, T minimum,
                                T maximum, T value)
    : NumericUpDown(parent, x, y, width, height, font, std::make_unique<StaticNumber<T>>(minimum),
                    std::make_unique<StaticNumber<T>>(maximum), std::make_unique<StaticNumber<T>>(value)) {}

template <class T>
NumericUpDown<T>::NumericUpDown(Container* parent, int x, int y, int width, int height, Font* font,
                                std::unique_ptr<Number<T>> minimum, std::unique_ptr<Number<T>> maximum,
                                std::unique_ptr<WriteableNumber<T>> value)
    : UpDown<T>(parent, x, y, width, height, font)
    , mMinimum(std::move(minimum))
    , mMaximum(std::move(maximum))
    , mValue(std::move(value)) {
    this->setName("NumericUpDown");
    this->onChange(0);
}

template <class T>
NumericUpDown<T>::~NumericUpDown() {
    if (this->hasChangesToCommit()) {
        this->commit();
    }
}

template <class T>
void NumericUpDown<T>::setMinimum(T minimum) {
    mMinimum = std::make_unique<StaticNumber<T>>(minimum);
    clampStored();
}

template <class T>
void NumericUpDown<T>::setMaximum(T maximum) {
    mMaximum = std::make_unique<StaticNumber<T>>(maximum);
    clampStored();
}

template <class T>
void NumericUpDown<T>::setMinimum(std::unique_ptr<Number<T>> minimum) {
    mMinimum = std::move(minimum);
    refreshLimits();
}

template <class T>
void NumericUpDown<T>::setMaximum(std::unique_ptr<Number<T>> maximum) {
    mMaximum = std::move(maximum);
    refreshLimits();
}

template <class T>
void NumericUpDown<T>::setValue(T value) {
    const T clamped = this->clampToLimits(static_cast<int64_t>(value));
    if (mKnown && clamped == getValue() && this->isShowing(clamped)) {
        return;
    }
    mKnown = true;
    mValue->setValue(clamped);
    this->onChange(0);
}

template <class T>
void NumericUpDown<T>::setUnknown() {
    mKnown = false;
    this->onChange(0);
}

template <class T>
void NumericUpDown<T>::refreshLimits() {
    const T clamped = this->target(0);
    if (clamped != getValue()) {
        mValue->setValue(clamped);
    }
    this->onChange(0);
}

template <class T>
void NumericUpDown<T>::clampStored() {
    const T clamped = this->target(0);
    if (clamped != getValue()) {
        mValue->setValue(clamped);
        this->onChange(0);
    }
}

template <class T>
bool NumericUpDown<T>::onCommit(int steps) {
    const T next = this->target(steps);
    // Only a write that happened counts: a value of an object that is gone is not written.
    return next != getValue() && mValue->setValue(next);
}

template class NumericUpDown<int>;
template class NumericUpDown<unsigned>;

} // namespace tdx
