// gallery [FOLDER] [NAME...]: draws every picture (or those named) and writes FOLDER/<name>.png (FOLDER
// defaults to "gallery"). Exits non-zero when a picture cannot be written.
#include "gallery/gallery.h"

#include "Libraries/base/dbg.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/application/resources/resource_mgr.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/gui/core/Form.h"
#include "SourceApp/gui/gfx/gfx.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "support/png.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace tdx::gallery {

namespace {

struct Entry {
    const char* name;
    Draw draw;
    int width;
    int height;
};

std::vector<Entry>& entries() {
    static std::vector<Entry> all;
    return all;
}

class WhiteForm : public Form {
public:
    explicit WhiteForm(const State& state)
        : Form(state) {}
    void handleDraw() override {
        gfx_setcolor(0xFFFFFF);
        gfx_fill_rect(getBoundingBox());
        Container::handleDraw();
    }
};

class CorePage : public Page {
public:
    CorePage() {
        mCore.setChangeStateCallback(
            [](unsigned, unsigned, const State& state) -> Form* { return new WhiteForm(state); });
        mCore.changeState(1, 0, 0, 0, 0);
        pass();
    }
    Container& screen() override { return *mCore.getScreen(); }
    void pass(int passes) override {
        for (int i = 0; i < passes; ++i) {
            mCore.task();
        }
    }
    void pass() { pass(1); }
    void tap(int x, int y) override {
        mCore.sendEvent(EVENT_TOUCH_PRESS, x, y, x, y);
        pass(1);
        mCore.sendEvent(EVENT_TOUCH_RELEASE, x, y, x, y);
        pass(3);
    }

private:
    Core mCore;
};

bool draw_one(const Entry& entry, const std::string& folder) {
    std::vector<uint32_t> back(static_cast<size_t>(entry.width) * entry.height, gfx_pixel_of(0xFFFFFF));
    gfx_set_surface({back.data(), nullptr, entry.width, entry.height, entry.width});
    gfx_init();
    {
        CorePage page;
        entry.draw(page);
        page.pass(3);
    }
    gfx_set_surface({});
    const std::string path = folder + "/" + entry.name + ".png";
    if (!test::write_png(path, back.data(), entry.width, entry.height, entry.width)) {
        std::fprintf(stderr, "gallery: %s cannot be written\n", path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

} // namespace

int add(const char* name, Draw draw, int width, int height) {
    entries().push_back({name, draw, width, height});
    return static_cast<int>(entries().size());
}

} // namespace tdx::gallery

int main(int argc, char** argv) {
    using namespace tdx;
    const std::string folder = argc > 1 ? argv[1] : "gallery";
    const std::vector<std::string> wanted(argv + std::min(argc, 2), argv + argc);
    std::filesystem::create_directories(folder);
    ResourceMgr resources;
    if (resources.load(TDX_RESOURCES_FILE) != 0) {
        std::fprintf(stderr, "gallery: resources file missing: %s\n", TDX_RESOURCES_FILE);
        return 1;
    }
    widgets_set_resources(&resources);
    static const ResourceMgr* catalogues = &resources;
    i18n.setResourceReader([](uint16_t id) {
        const Resource r = catalogues->get(static_cast<resource_id>(id));
        return std::span<const uint8_t>(r.getData(), r.getSize());
    });
    // Pictures are for the eye; the trace of what they draw is not.
    dbg_set_output([](const char*, size_t) {});
    bool ok = true;
    for (const auto& entry : gallery::entries()) {
        if (wanted.empty() || std::find(wanted.begin(), wanted.end(), entry.name) != wanted.end()) {
            ok = gallery::draw_one(entry, folder) && ok;
        }
    }
    i18n.switchLanguage(0);
    i18n.setResourceReader(nullptr);
    widgets_set_resources(nullptr);
    return ok ? 0 : 1;
}
