// A button showing one icon: the back colour filled, the icon centred (moved by its offsets) in the face
// colour; active colours while pressed, disabled colours while disabled.
#pragma once

#include "SourceApp/application/controls/CommandButton.h"
#include "SourceApp/application/controls/widgets.h"

#include <cstdint>

namespace tdx {

class IconButton : public CommandButton {
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
        // Each of these -1: the back, respectively face colour.
        Builder& activeBackColor(int colour) {
            mActiveBack = colour;
            return *this;
        }
        Builder& activeFaceColor(int colour) {
            mActiveFace = colour;
            return *this;
        }
        Builder& disabledBackColor(int colour) {
            mDisabledBack = colour;
            return *this;
        }
        Builder& disabledFaceColor(int colour) {
            mDisabledFace = colour;
            return *this;
        }
        Builder& icon(resource_id icon, int8_t dx = 0, int8_t dy = 0) {
            mIcon = icon;
            mDx = dx;
            mDy = dy;
            return *this;
        }
        IconButton* build() const;

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
        int mDisabledBack = NO_COLOUR;
        int mDisabledFace = colour::DISABLED;
        resource_id mIcon = res_none;
        int8_t mDx = 0;
        int8_t mDy = 0;
    };

    IconButton(Container* parent, int x, int y, int width, int height, resource_id icon);

    // Changes icon and offsets, only when the icon differs from the current one.
    void setIcon(resource_id icon, int dx, int dy);
    resource_id getIcon() const { return mIcon; }
    void setFaceColor(unsigned colour);
    void setBackColor(unsigned colour);
    void setActiveFaceColor(unsigned colour);
    void setActiveBackColor(unsigned colour);

    void handleDraw() override;
    void handleEnabled(bool) override { invalidate(); }

private:
    resource_id mIcon;
    int mDx = 0;
    int mDy = 0;
    unsigned mBack = colour::CONTROL;
    unsigned mFace = colour::TEXT;
    unsigned mActiveBack = colour::PRESSED;
    unsigned mActiveFace = colour::TEXT;
    unsigned mDisabledBack = colour::CONTROL;
    unsigned mDisabledFace = colour::DISABLED;
};

} // namespace tdx
