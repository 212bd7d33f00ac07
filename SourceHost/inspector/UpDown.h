// The inspector's numeric field: a value kept inside a range, typed or stepped with its arrows. A user's
// edit runs the change command and raises ValueChanged; a value set by the program is only shown, so showing
// a component's geometry never writes it back. The arrows are disabled at the limits, and a typed text is
// made the value's own when editing ends. A fresh field is empty until a value other than its first one is
// set or the user edits it.
#pragma once

#include "SourceHost/desktop/Window.h"
#include "SourceHost/host/Command.h"

#include <memory>

class QSpinBox;

namespace tdx {

class CUpDown : public CWindow, public sigslot::has_slots<>, public Command {
public:
    CUpDown(CWindow* parent, int x, int y, int width, int height, QWidget* parentWidget, int minimum,
            int maximum);

    // Shown clamped into the range; runs nothing. The value held already changes nothing, so a fresh field
    // given its first value stays empty.
    void Value(int value);
    // As the user's edit: clamped, then the change command and ValueChanged run; the text is rewritten only
    // with updateText (without, what is being typed stays as it is). The value held already changes nothing.
    void Value(int value, bool updateText);
    int Value() const { return mValue; }
    void Enabled(int enabled);
    int Enabled() const { return mEnabled; }
    void setOnChangeCommand(std::shared_ptr<Command> command) { mOnChange = std::move(command); }
    std::shared_ptr<Command> getOnChangeCommand() const { return mOnChange; }
    // An integer payload sets the value as Value(int) does; anything else is ignored.
    void execute(MessageArgument* argument) override;
    QSpinBox* spinBox() const { return mBox; }

    sigslot::signal1<CUpDown*> ValueChanged;

private:
    // Stores a new value clamped into the range; false when it is the value held already.
    bool take(int value);
    void show();
    void edited(int value);

    QSpinBox* mBox;
    int mMinimum;
    int mMaximum;
    int mValue = 0;
    int mEnabled = 1;
    bool mShowing = false;
    std::shared_ptr<Command> mOnChange;
};

} // namespace tdx
