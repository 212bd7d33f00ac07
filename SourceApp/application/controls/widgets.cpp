#include "SourceApp/application/controls/widgets.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "SourceApp/application/resources/resource_mgr.h"
#include "SourceApp/application/utils/Date.h"
#include "SourceApp/gui/gfx/gfx.h"

namespace tdx {

namespace {
const ResourceMgr* gResources = nullptr;
LocalTimeSource gLocalTime = nullptr;
} // namespace

void widgets_set_resources(const ResourceMgr* resources) {
    gResources = resources;
}

void widgets_set_local_time(LocalTimeSource source) {
    gLocalTime = source;
}

Date widget_local_time() {
    if (gLocalTime != nullptr) {
        return gLocalTime();
    }
    return Date(static_cast<time_t>(os_time()), 0);
}

const unsigned char* widget_image(resource_id id) {
    if (id == res_none) {
        return nullptr;
    }
    if (gResources == nullptr) {
        dbg_printf_h("widgets: no resources for icon %u", static_cast<unsigned>(id));
        return nullptr;
    }
    const Resource r = gResources->get(id);
    if (!r.isValid() || r.getType() != rtIMAGE) {
        dbg_printf_h("widgets: resource %u is no image", static_cast<unsigned>(id));
        return nullptr;
    }
    return r.getData();
}

Font* fitting_font(std::string_view text, int width, Font& usual, Font& smaller) {
    return bif_text_width(usual.getFont(), text) <= width - 2 ? &usual : &smaller;
}

int text_top_centered(const bif_t* font, int top, int height) {
    if (font == nullptr) {
        return top;
    }
    return top + height / 2 + font->x_height / 2 - font->ascent + 1;
}

std::vector<std::string_view> lines_of(std::string_view text) {
    std::vector<std::string_view> lines;
    for (size_t start = 0;;) {
        const size_t end = text.find('\n', start);
        lines.push_back(
            text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) {
            return lines;
        }
        start = end + 1;
    }
}

int lines_top_centered(const bif_t* font, int top, int height, size_t lines) {
    const int step = font != nullptr ? font->line_step : 0;
    return text_top_centered(font, top, height) - static_cast<int>(lines - 1) * step / 2;
}

void print_lines_fitted(const bif_t* font, int x, const Box& box, std::string_view text, int width) {
    const int step = font != nullptr ? font->line_step : 0;
    std::vector<std::string_view> lines = lines_of(text);
    if (lines.size() == 1 && 2 * step <= box.getHeight() && bif_text_width(font, text) > width) {
        size_t end = 0;
        const size_t next = bif_wrap_line(font, text, 0, width, &end);
        if (next != std::string_view::npos) {
            lines = {text.substr(0, end), text.substr(next)};
        }
    }
    int top = lines_top_centered(font, box.y1, box.getHeight(), lines.size());
    for (std::string_view line : lines) {
        bif_print_text_fitted(font, x, top, line, width);
        top += step;
    }
}

void print_text_centered_in(const bif_t* font, const Box& box, int top, std::string_view text, int inset) {
    if (bif_text_width(font, text) > box.getWidth() - 2 * inset) {
        bif_print_text_fitted(font, box.x1 + inset, top, text, box.getWidth() - 2 * inset);
    } else {
        bif_print_text_centered(font, box.x1 + box.getWidth() / 2, top, text);
    }
}

void draw_icon_centered(resource_id id, const Box& box, int dx, int dy) {
    const unsigned char* image = widget_image(id);
    if (image == nullptr) {
        return;
    }
    const int x = box.x1 + (box.getWidth() - gfx_image_width(image)) / 2 + dx;
    const int y = box.y1 + (box.getHeight() - gfx_image_height(image)) / 2 + dy;
    gfx_put_image(x, y, image);
}

} // namespace tdx
