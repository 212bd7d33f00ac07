// What text and icon buttons share: a box filled in the back colour of the button's state, the content drawn
// in the face colour of that state.
#pragma once

#include "SourceApp/application/controls/CommandButton.h"
#include "SourceApp/application/controls/widgets.h"

#include <cstdint>
#include <optional>

namespace tdx {

class FilledButton : public CommandButton {
public:
    void setFaceColor(unsigned colour);
    void setBackColor(unsigned colour);
    void setActiveFaceColor(unsigned colour);
    void setActiveBackColor(unsigned colour);
    void setDisabledFaceColor(unsigned colour);

protected:
    FilledButton(Container* parent, int x, int y, int width, int height);

    // The tag and the colours of a builder; an active colour not set (NO_COLOUR) follows its normal one.
    void setColours(uint32_t buttonTag, int back, int face, int activeBack, int activeFace);
    // The colour, or the fallback when it is not set.
    static unsigned either(int colour, int fallback);

    // Fills the box in the back colour of the state and leaves the face colour of the state selected for the
    // content.
    void drawFilled();

    unsigned mBack = colour::CONTROL;
    unsigned mFace = colour::TEXT;
    unsigned mActiveBack = colour::PRESSED;
    unsigned mActiveFace = colour::TEXT;
    // While disabled: without a back colour of its own the fill stays that of the pressed state.
    std::optional<unsigned> mDisabledBack;
    unsigned mDisabledFace = colour::DISABLED;
};

} // namespace tdx
