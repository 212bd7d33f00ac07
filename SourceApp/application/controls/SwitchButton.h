// An on/off switch: a check box drawn as a knob that sits left while off and right while on, with the text of
// the state in the other half. A click toggles it as it does a check box.
#pragma once

#include "SourceApp/application/controls/Checkbox.h"

#include <string>

namespace tdx {

class SwitchButton : public Checkbox {
public:
    static constexpr int WIDTH = 80;
    static constexpr int HEIGHT = 22;

    SwitchButton(Container* parent, int x, int y, const std::string& onText, const std::string& offText);

    // The text of the state shown.
    const std::string& getText() const { return getChecked() ? mOnText : mOffText; }

    void handleDraw() override;
    void handleEnabled(bool) override { invalidate(); }

private:
    std::string mOnText;
    std::string mOffText;
};

} // namespace tdx
