// The breadcrumb over the room screens' content: one centred line across the content's width, in the smaller
// font when a long name would not fit the usual one.
#pragma once

#include "SourceApp/application/controls/Label.h"
#include "SourceApp/gui/core/Container.h"

#include <string>

namespace tdx {

inline ContainedLabel* add_screen_title(Container* content, const std::string& text) {
    constexpr int HEIGHT = 12;
    return new ContainedLabel(content, 0, 0, content->getWidth(), HEIGHT,
                              fitting_font(text, content->getWidth()), text, HorizontalAlign::Center);
}

// A title whose name changed: in the font the new text needs, as when it was made.
inline void set_screen_title(ContainedLabel* title, const std::string& text) {
    title->setFont(fitting_font(text, title->getWidth()));
    title->setText(text);
}

} // namespace tdx
