// Two-state controls. A Checkbox is a white box with a tick; CheckButton draws the same state as a text
// row, CheckIconButton as an icon button. A click toggles; every real change repaints, sends MSG_CHANGE with
// the control as source and runs the on-checked command.
#pragma once

#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/core/Control.h"
#include "SourceApp/gui/core/ICommand.h"

#include <memory>
#include <string>

namespace tdx {

class RadioGroup;

class Checkbox : public Control {
public:
    Checkbox(Container* parent, int x, int y, int width, int height);
    ~Checkbox() override;

    void setChecked(bool checked);
    bool getChecked() const { return mChecked; }
    void setOnCheckedCommand(std::unique_ptr<ICommand> command) { mOnChecked = std::move(command); }

    void handleDraw() override;

protected:
    void handleClick() override;
    // The checked state changed: repaint, MSG_CHANGE, command.
    virtual void handleChecked();

private:
    friend class RadioGroup;

    bool mChecked = false;
    std::unique_ptr<ICommand> mOnChecked;
    RadioGroup* mGroup = nullptr;
};

class CheckButton : public Checkbox {
public:
    CheckButton(Container* parent, int x, int y, int width, int height, std::string text);

    const std::string& getText() const { return mText; }
    // Whether the text needs more than one line of the usual font in the room the tick leaves.
    bool needsSmallerFont() const;
    // Draws the text in the smaller font whatever its length, so that buttons side by side read alike.
    void useSmallerFont();
    void handleDraw() override;

private:
    std::string mText;
    bool mSmaller = false;
};

class CheckIconButton : public Checkbox {
public:
    CheckIconButton(Container* parent, int x, int y, int width, int height, resource_id icon, unsigned colour,
                    int dx, int dy);

    void handleDraw() override;

private:
    resource_id mIcon;
    unsigned mColour;
    int mDx;
    int mDy;
};

} // namespace tdx
