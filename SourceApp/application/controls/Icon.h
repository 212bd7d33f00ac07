// Leaf components that draw one thing each: an image in a colour, an image centred in a box, one of several
// images chosen by index, and filled rectangles. None takes input.
//
// Images come from the resources file, which stays loaded for the whole run: an icon keeps the pointer into
// that data, so nothing dangles after a change of screen. A mask image (type 1) is drawn in the icon's
// colour; colour images ignore it.
#pragma once

#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/core/Component.h"

#include <vector>

namespace tdx {

class Icon : public Component {
public:
    // Sized to the image; a null image gives an empty box that draws nothing.
    Icon(Container* parent, int x, int y, const unsigned char* image, unsigned colour);
    static Icon* create(Container* parent, int x, int y, resource_id id, unsigned colour);

    void handleDraw() override;

private:
    const unsigned char* mImage;
    unsigned mColour;
};

// The image centred in the box, also when it is larger than the box (it then reaches out on every side).
class ContainedIcon : public Component {
public:
    ContainedIcon(Container* parent, int x, int y, int width, int height, const unsigned char* image,
                  unsigned colour);
    static ContainedIcon* create(Container* parent, int x, int y, int width, int height, resource_id id,
                                 unsigned colour);

    void handleDraw() override;

private:
    const unsigned char* mImage;
    unsigned mColour;
};

// Shows the entry at its index (-1: none), aligned in its box and moved by the entry's offsets.
class MultiIcon : public Component {
public:
    struct icon_entry_t {
        resource_id resource; // res_none: no image
        short dx;
        short dy;
    };

    MultiIcon(Container* parent, int x, int y, unsigned colour, int width, int height, HorizontalAlign halign,
              VerticalAlign valign);

    void addIcon(resource_id id, short dx, short dy);
    // Clamped to [-1, last entry]; repaints only when the index changes.
    void setIconIndex(signed char index);
    signed char getIconIndex() const { return mIndex; }
    void clear();

    void handleDraw() override;

private:
    HorizontalAlign mHAlign;
    VerticalAlign mVAlign;
    unsigned mColour;
    signed char mIndex = -1;
    std::vector<icon_entry_t> mIcons;
};

// A filled rectangle; HLine and VLine are its one-pixel forms.
class Oblong : public Component {
public:
    Oblong(Container* parent, int x, int y, int width, int height, unsigned colour);

    void handleDraw() override;

private:
    unsigned mColour;
};

class HLine : public Oblong {
public:
    HLine(Container* parent, int x, int y, int length, unsigned colour);
};

class VLine : public Oblong {
public:
    VLine(Container* parent, int x, int y, int length, unsigned colour);
};

} // namespace tdx
