// An up-down control (a stepper): a number between a down button on the left and an up button on the right.
// A tap moves the shown number by one step at once; holding a button repeats the step after 500, 333, 222,
// 148 and then every 100 ms. The steps are only shown while the buttons are worked: the value is written
// once, a settable delay after the last button was let go, so that a burst of taps makes one write.
//
//   UpDownBase          layout, buttons, hold repeat, the pending step count and the delayed commit
//   UpDown<T>           the stepping rule: step, limits, text, MSG_CHANGE
//   NumericUpDown<T>    minimum, maximum and value as Number objects, and the write of the commit
//
// Messages, with the control as source: MSG_CHANGE (p1 the shown value) whenever the shown value changes and
// on every refresh from outside; MSG_COMMIT_PENDING when a hold ended and the delay began; MSG_COMMIT (p1 1
// when a new value was written, else 0) when the delay ran out and the commit was done.
//
// A value that cannot be read shows "--" with both arrows disabled: a number stepped from a made-up start
// would look real and be written as the user's choice.
#pragma once

#include "Libraries/base/Timer.h"
#include "SourceApp/gui/core/Container.h"
#include "SourceApp/gui/core/ICommand.h"
#include "SourceApp/storage/Formatters.h"
#include "SourceApp/storage/Number.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace tdx {

class ContainedLabel;
class Font;
class IconButton;

class UpDownBase : public Container {
public:
    static constexpr int BUTTON_WIDTH = 40;
    static constexpr int LABEL_WIDTH = 40;
    static constexpr unsigned FIRST_REPEAT_MS = 500;
    static constexpr unsigned FASTEST_REPEAT_MS = 100;

    UpDownBase(Container* parent, int x, int y, int width, int height, Font* font);
    ~UpDownBase() override;

    // Replaces the formatter (none: "%d" or "%u") and shows the value with it.
    void setFormatter(std::unique_ptr<DataModel::Formatter> formatter);
    // Runs after every commit that had steps pending, whether or not it wrote.
    void setOnChangeCommand(std::unique_ptr<ICommand> command);
    // 0 (the default): the commit follows right after the hold ends.
    void setDelayBeforeCommit(unsigned ms);
    // Shows the stored value again, without the pending steps: owners call it when the value or a limit
    // changed behind the control. Steps still pending are committed later, relative to the value then.
    void update() { onChange(0); }
    bool hasChangesToCommit() const { return mPending != 0; }
    // Commits the pending steps now, without a message; true when a new value was written. While the value is
    // unknown the steps are dropped: nothing is written and the on-change command does not run.
    bool commit();
    // Whether there is a value to show and step from. An operation of the base, beside the commit that asks
    // it, because only the kind knows where its value comes from, while the base must drop the steps pending
    // on a value that became unknown rather than write them from nothing; screens ask it for the same reason.
    virtual bool isKnown() const = 0;

    void handleEvent(Event* event) override;
    void handleMessage(Message* message) override;
    void handleDraw() override;
    void handleEnabled(bool enabled) override;

protected:
    // Shows the value moved by steps (0: the stored value).
    virtual void onChange(int steps) = 0;
    // Writes the value moved by steps; true when a new value was written.
    virtual bool onCommit(int steps) = 0;

    const DataModel::Formatter* getFormatter() const { return mFormatter.get(); }
    ContainedLabel* getLabel() const { return mLabel; }
    IconButton* getUpButton() const { return mUp; }
    IconButton* getDownButton() const { return mDown; }

private:
    void stepBy(int steps);

    std::unique_ptr<DataModel::Formatter> mFormatter;
    std::unique_ptr<ICommand> mOnChange;
    ContainedLabel* mLabel;
    IconButton* mUp;
    IconButton* mDown;
    Timer mCommitTimer;
    Timer mRepeatTimer;
    int32_t mPending = 0;
};

template <class T>
class UpDown : public UpDownBase {
public:
    using UpDownBase::UpDownBase;

    void setStep(T step) { mStep = step; }

    virtual T getMinimum() const = 0;
    virtual T getMaximum() const = 0;
    virtual T getValue() const = 0;

protected:
    void onChange(int steps) override;
    // Clamp(value + steps x step, minimum, maximum), counted in 64 bits so that no sum overflows. An unsigned
    // value that reads as its no-value marker 0xFFFFFFFF stands below every limit: it shows the minimum.
    T target(int steps) const;
    T clampToLimits(int64_t value) const;
    bool isShowing(T value) const { return mShown == value; }

private:
    T mStep = 1;
    std::optional<T> mShown; // what the label shows, none before the first refresh
};

// Final: its destructor commits the steps still pending, which needs the whole object.
template <class T>
class NumericUpDown final : public UpDown<T> {
public:
    NumericUpDown(Container* parent, int x, int y, int width, int height, Font* font, T minimum, T maximum,
                  T value);
    NumericUpDown(Container* parent, int x, int y, int width, int height, Font* font,
                  std::unique_ptr<Number<T>> minimum, std::unique_ptr<Number<T>> maximum,
                  std::unique_ptr<WriteableNumber<T>> value);
    // Steps taken within the commit delay are written when the screen closes.
    ~NumericUpDown() override;

    // Replace a limit with a fixed number; a stored value outside the new limits is moved inside and shown.
    void setMinimum(T minimum);
    void setMaximum(T maximum);
    // The same with a live limit (a value of the table, say), read anew at every step.
    void setMinimum(std::unique_ptr<Number<T>> minimum);
    void setMaximum(std::unique_ptr<Number<T>> maximum);
    // Stores Clamp(value, minimum, maximum) and shows it as a refresh from outside does; nothing when that is
    // the value stored and shown already. Runs no command and writes nowhere but the stored number.
    void setValue(T value);
    // The owner could not read the value: "--" until the next setValue. A bound value that cannot be read is
    // unknown by itself, for as long as it cannot be read.
    void setUnknown();
    bool isKnown() const override { return mKnown && mValue->isValid(); }

    T getMinimum() const override { return mMinimum->getValue(); }
    T getMaximum() const override { return mMaximum->getValue(); }
    T getValue() const override { return mValue->getValue(); }

protected:
    bool onCommit(int steps) override;

private:
    void clampStored();
    // After a new limit: the stored value moved inside, the value and the arrows shown again.
    void refreshLimits();

    std::unique_ptr<Number<T>> mMinimum;
    std::unique_ptr<Number<T>> mMaximum;
    std::unique_ptr<WriteableNumber<T>> mValue;
    bool mKnown = true;
};

extern template class UpDown<int>;
extern template class UpDown<unsigned>;
extern template class NumericUpDown<int>;
extern template class NumericUpDown<unsigned>;

} // namespace tdx
