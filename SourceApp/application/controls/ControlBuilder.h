// The fluent setters the widget builders share. Each is a CRTP base that returns the widget's own builder, so
// that the calls chain in any order: Button::Builder().parent(form).x(9).text("OK").build().
#pragma once

#include <string>
#include <utility>

namespace tdx {

class Container;
class Font;

// Where the widget goes: its parent and its box.
template <class Derived>
class BoundsBuilder {
public:
    Derived& parent(Container* parent) {
        mParent = parent;
        return static_cast<Derived&>(*this);
    }
    Derived& x(int x) {
        mX = x;
        return static_cast<Derived&>(*this);
    }
    Derived& y(int y) {
        mY = y;
        return static_cast<Derived&>(*this);
    }
    Derived& width(int width) {
        mWidth = width;
        return static_cast<Derived&>(*this);
    }
    Derived& height(int height) {
        mHeight = height;
        return static_cast<Derived&>(*this);
    }

protected:
    Container* mParent = nullptr;
    int mX = 0;
    int mY = 0;
    int mWidth = 0;
    int mHeight = 0;
};

// One line of text and the font it is drawn in.
template <class Derived>
class TextBuilder {
public:
    Derived& font(Font* font) {
        mFont = font;
        return static_cast<Derived&>(*this);
    }
    Derived& text(std::string text) {
        mText = std::move(text);
        return static_cast<Derived&>(*this);
    }

protected:
    Font* mFont = nullptr; // bif_myriad12
    std::string mText;
};

} // namespace tdx
