#include "SourceApp/application/controls/widgets.h"

#include "Libraries/base/dbg.h"
#include "SourceApp/application/resources/resource_mgr.h"
#include "SourceApp/gui/gfx/gfx.h"

namespace tdx {

namespace {
const ResourceMgr* gResources = nullptr;
} // namespace

void widgets_set_resources(const ResourceMgr* resources) {
    gResources = resources;
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

int text_top_centered(const bif_t* font, int top, int height) {
    if (font == nullptr) {
        return top;
    }
    return top + height / 2 + font->x_height / 2 - font->ascent + 1;
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

unsigned utf8_length(std::string_view text) {
    unsigned n = 0;
    for (size_t pos = 0; pos < text.size(); ++n) {
        bif_next_code(text, pos);
    }
    return n;
}

size_t utf8_offset(std::string_view text, unsigned n) {
    size_t pos = 0;
    for (unsigned i = 0; i < n && pos < text.size(); ++i) {
        bif_next_code(text, pos);
    }
    return pos;
}

} // namespace tdx
