// A text button: its back colour filled (the active back colour while pressed), the text centred in the face
// colour.
#pragma once

#include "SourceApp/application/controls/CommandButton.h"
#include "SourceApp/application/controls/widgets.h"

#include <string>

namespace tdx {

class Font;

class Button : public CommandButton {
public:
    class Builder {
    public:
        Builder& parent(Container* parent) {
            mParent = parent;
            return *this;
        }
        Builder& x(int x) {
            mX = x;
            return *this;
        }
        Builder& y(int y) {
            mY = y;
            return *this;
        }
        Builder& width(int width) {
            mWidth = width;
            return *this;
        }
        Builder& height(int height) {
            mHeight = height;
            return *this;
        }
        Builder& tag(uint32_t tag) {
            mTag = tag;
            return *this;
        }
        Builder& backColor(int colour) {
            mBack = colour;
            return *this;
        }
        Builder& faceColor(int colour) {
            mFace = colour;
            return *this;
        }
        // -1: the back colour.
        Builder& activeBackColor(int colour) {
            mActiveBack = colour;
            return *this;
        }
        // -1: the face colour.
        Builder& activeFaceColor(int colour) {
            mActiveFace = colour;
            return *this;
        }
        Builder& font(Font* font) {
            mFont = font;
            return *this;
        }
        Builder& text(std::string text) {
            mText = std::move(text);
            return *this;
        }
        Button* build() const;

    private:
        Container* mParent = nullptr;
        int mX = 0;
        int mY = 0;
        int mWidth = 0;
        int mHeight = 0;
        uint32_t mTag = 0;
        int mBack = colour::CONTROL;
        int mFace = colour::TEXT;
        int mActiveBack = colour::PRESSED;
        int mActiveFace = NO_COLOUR;
        Font* mFont = nullptr; // bif_myriad12
        std::string mText;
    };

    Button(Container* parent, int x, int y, int width, int height, std::string text);

    void setFaceColor(unsigned colour);
    void setBackColor(unsigned colour);
    void setActiveFaceColor(unsigned colour);
    void setActiveBackColor(unsigned colour);
    void setFont(Font* font);
    void setText(const std::string& text);
    const std::string& getText() const { return mText; }

    void handleDraw() override;

private:
    std::string mText;
    Font* mFont;
    unsigned mBack = colour::CONTROL;
    unsigned mFace = colour::TEXT;
    unsigned mActiveBack = colour::PRESSED;
    unsigned mActiveFace = colour::TEXT;
};

} // namespace tdx
