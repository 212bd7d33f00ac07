// The breadcrumb over the room screens' content: one centred line across the content's width, in the smaller
// font when a long name would not fit the usual one.
#pragma once

#include "SourceApp/application/controls/Label.h"
#include "SourceApp/gui/core/Container.h"

#include <string>

namespace tdx {

inline ContainedLabel* add_screen_title(Container* content, const std::string& text) {
    constexpr int HEIGHT = 12;
    const bif_t* font = bif_myriad12.getFont();
    const bool fits = font == nullptr || bif_text_width(font, text) <= content->getWidth() - 2;
    return new ContainedLabel(content, 0, 0, content->getWidth(), HEIGHT,
                              fits ? &bif_myriad12 : &bif_myriad10, text, HorizontalAlign::Center);
}

} // namespace tdx
