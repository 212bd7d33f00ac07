// What text and icon buttons share: a box filled in the back colour of the button's state, the content drawn
// in the face colour of that state, and the builder fields that set those colours.
#pragma once

#include "SourceApp/application/controls/CommandButton.h"
#include "SourceApp/application/controls/widgets.h"

#include <cstdint>
#include <optional>

namespace tdx {

class FilledButton : public CommandButton {
public:
    // The tag and the colours of a button's builder (NO_COLOUR: not set).
    template <class Derived>
    class ColourBuilder {
    public:
        Derived& tag(uint32_t tag) {
            mTag = tag;
            return static_cast<Derived&>(*this);
        }
        Derived& backColor(int colour) {
            mBack = colour;
            return static_cast<Derived&>(*this);
        }
        Derived& faceColor(int colour) {
            mFace = colour;
            return static_cast<Derived&>(*this);
        }
        // -1: the back colour.
        Derived& activeBackColor(int colour) {
            mActiveBack = colour;
            return static_cast<Derived&>(*this);
        }
        // -1: the face colour.
        Derived& activeFaceColor(int colour) {
            mActiveFace = colour;
            return static_cast<Derived&>(*this);
        }

    protected:
        // Gives the button the tag and the colours, an active colour not set following its normal one.
        void applyTo(FilledButton& button) const {
            button.tag = mTag;
            button.mBack = static_cast<unsigned>(mBack);
            button.mFace = static_cast<unsigned>(mFace);
            button.mActiveBack = either(mActiveBack, mBack);
            button.mActiveFace = either(mActiveFace, mFace);
        }
        static unsigned either(int colour, int fallback) {
            return static_cast<unsigned>(colour == NO_COLOUR ? fallback : colour);
        }

        uint32_t mTag = 0;
        int mBack = colour::CONTROL;
        int mFace = colour::TEXT;
        int mActiveBack = colour::PRESSED;
        int mActiveFace = NO_COLOUR;
    };

    void setFaceColor(unsigned colour);
    void setBackColor(unsigned colour);
    void setActiveFaceColor(unsigned colour);
    void setActiveBackColor(unsigned colour);

protected:
    FilledButton(Container* parent, int x, int y, int width, int height);

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
