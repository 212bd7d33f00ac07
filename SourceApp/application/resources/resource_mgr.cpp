#include "SourceApp/application/resources/resource_mgr.h"
#include "SourceApp/gui/i18n/MoFile.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/gfx/gfx.h"

#include <cstring>
#include <string>

namespace tdx {

namespace {

Font* const FONTS[] = {&bif_myriad10,      &bif_myriad10_bold, &bif_myriad12,
                       &bif_myriad12_bold, &bif_myriad14,      &bif_myriad14_bold};
static_assert(res_myriad10 == 1 && res_myriad14_bold == 6, "the fonts are resources 1 to 6");

} // namespace

uint16_t ResourceMgr::namesCrc() {
    return resfile_names_crc(resource_names, RESOURCE_COUNT);
}

resource_id ResourceMgr::getIdByName(const char* name) {
    if (name == nullptr)
        return res_none;
    unsigned lo = 0, hi = RESOURCE_COUNT;
    while (lo < hi) {
        const unsigned mid = (lo + hi) / 2;
        const int c = std::strcmp(name, resource_names[mid]);
        if (c == 0)
            return static_cast<resource_id>(mid + 1);
        if (c < 0)
            hi = mid;
        else
            lo = mid + 1;
    }
    return res_none;
}

const char* ResourceMgr::getName(resource_id id) {
    return id >= 1 && id <= RESOURCE_COUNT ? resource_names[id - 1] : nullptr;
}

ResourceMgr::~ResourceMgr() {
    unbindFonts();
}

void ResourceMgr::unbindFonts() {
    const uint8_t* begin = mFile.bytes.data();
    const uint8_t* end = begin + mFile.bytes.size();
    for (Font* font : FONTS) {
        const bif_t* f = font->getFont();
        if (f != nullptr && f->data >= begin && f->data < end)
            font->unbind();
    }
}

namespace {
std::string& chosenPath() {
    static std::string path = RESOURCES_PATH;
    return path;
}
} // namespace

void resources_set_path(const char* path) {
    chosenPath() = path != nullptr && path[0] != '\0' ? path : RESOURCES_PATH;
}

const char* resources_path() {
    return chosenPath().c_str();
}

int ResourceMgr::load(const char* path) {
    unbindFonts();
    if (resfile_load(path, RESOURCE_COUNT, namesCrc(), &mFile) != 0)
        return -1;
    for (resource_id id = 1; id <= RESOURCE_COUNT; ++id)
        check(id);
    for (resource_id id = res_myriad10; id <= res_myriad14_bold; ++id) {
        const Resource font = get(id);
        if (font.getType() == rtFONT)
            FONTS[id - 1]->bind(font.getData(), font.getSize());
    }
    return 0;
}

void ResourceMgr::init(const char* path) {
    if (load(path) != 0) {
        const std::string message = std::string("resources file refused: ") + (path ? path : "(no path)");
        OS_ASSERT_MSG(false, message.c_str());
    }
}

// Refuses a blob whose inside does not match its type, so that drawing code can trust what get() returns.
void ResourceMgr::check(resource_id id) {
    resfile_entry& entry = mFile.entries[id - 1];
    uint32_t size = 0;
    const uint8_t* data = mFile.data(id - 1, &size);
    if (data == nullptr)
        return;
    bool ok = false;
    switch (entry.type) {
        case RESFILE_FONT: {
            bif_t font;
            ok = bif_parse(data, size, &font, resource_names[id - 1]) == 0;
            break;
        }
        case RESFILE_IMAGE: {
            const size_t need = size >= GFX_IMAGE_HEADER ? gfx_image_size(data) : 0;
            ok = need != 0 && need <= size;
            break;
        }
        case RESFILE_TRANSLATION:
            ok = MoFile().loadFromMemory(data, size) == 0;
            break;
        default:
            break;
    }
    if (!ok) {
        dbg_printf_h("RESOURCES %s: resource %u (%s) is damaged and will not be used", mFile.path.c_str(),
                     static_cast<unsigned>(id), resource_names[id - 1]);
        entry = resfile_entry{};
    }
}

Resource ResourceMgr::get(resource_id id) const {
    if (id < 1 || id > RESOURCE_COUNT)
        return Resource();
    uint32_t size = 0;
    const uint8_t* data = mFile.data(id - 1, &size);
    if (data == nullptr)
        return Resource();
    return Resource(id, static_cast<resource_type>(mFile.type(id - 1)), data, size);
}

void ResourceMgr::free(resource_id) {}

} // namespace tdx
