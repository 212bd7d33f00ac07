// The gallery: pictures of widgets and screens for a person to look at, written as PNG files by the
// `gallery` program (./scripts/gallery.sh). They assert nothing; the tests do that.
//
// A picture is one block: GALLERY(name) { new Label(&page.screen(), ...); } puts widgets on an empty white
// screen of a running GUI core and saves what the core draws as <name>.png. page.tap() touches the screen;
// GALLERY_SIZED(name, width, height) gives a larger surface to draw on directly with gfx_ calls.
#pragma once

#include "SourceApp/gui/core/Container.h"

namespace tdx::gallery {

class Page {
public:
    virtual ~Page() = default;
    // The screen the picture's widgets go on.
    virtual Container& screen() = 0;
    // Lets the core run: events, repaint, messages.
    virtual void pass(int passes = 1) = 0;
    // A press and a release at one point, with the passes that deliver them.
    virtual void tap(int x, int y) = 0;
};

using Draw = void (*)(Page& page);

// Adds a picture; returns its number. Called by the macros while the program starts.
int add(const char* name, Draw draw, int width = 320, int height = 240);

} // namespace tdx::gallery

#define GALLERY_SIZED(name, width, height)                                                                   \
    static void gallery_##name(::tdx::gallery::Page& page);                                                  \
    [[maybe_unused]] static const int gallery_added_##name =                                                 \
        ::tdx::gallery::add(#name, gallery_##name, width, height);                                           \
    static void gallery_##name([[maybe_unused]] ::tdx::gallery::Page& page)

#define GALLERY(name) GALLERY_SIZED(name, 320, 240)
