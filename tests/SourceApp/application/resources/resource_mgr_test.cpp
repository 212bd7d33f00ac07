#include "SourceApp/application/resources/resource_mgr.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/gfx/gfx.h"
#include "SourceApp/gui/support/screen.h"

#include "Libraries/base/os.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace tdx {
namespace {

// The file the build just made (the build passes its path).
std::string resources_path() {
    return TDX_RESOURCES_FILE;
}

std::vector<uint8_t> read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void write_all(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

uint32_t u32_at(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
size_t entry_at(resource_id id) {
    return RESFILE_HEADER + (id - 1) * RESFILE_ENTRY;
}

// Every resource drawn once: what the program would do with whatever a manager hands out.
void draw_everything(const ResourceMgr& mgr) {
    for (resource_id id = 1; id <= RESOURCE_COUNT; ++id) {
        const Resource r = mgr.get(id);
        if (r.getType() == rtIMAGE)
            gfx_put_image(10, 10, r.getData());
    }
    for (Font* font : {&bif_myriad10, &bif_myriad10_bold, &bif_myriad12, &bif_myriad12_bold, &bif_myriad14,
                       &bif_myriad14_bold}) {
        bif_print_text(font->getFont(), 0, 0,
                       "Exclude hot water storage tank \xC4\x8C"
                       "esky \xC2\xB0");
        bif_print_multiline(font->getFont(), Box(0, 100, 100, 100), "Word wrapped text in a box");
    }
}

TEST(ResourceNamesTest, TheTableIsStrictlySortedAndEveryIdResolvesBothWays) {
    for (resource_id id = 1; id <= RESOURCE_COUNT; ++id) {
        if (id > 1) {
            EXPECT_LT(std::strcmp(resource_names[id - 2], resource_names[id - 1]), 0)
                << resource_names[id - 1];
        }
        EXPECT_EQ(ResourceMgr::getIdByName(ResourceMgr::getName(id)), id) << resource_names[id - 1];
    }
    EXPECT_STREQ(ResourceMgr::getName(res_home), "res_home");
    for (const char* name : {static_cast<const char*>(nullptr), "", "res_nothing", "res_home "})
        EXPECT_EQ(ResourceMgr::getIdByName(name), res_none) << (name ? name : "null");
    EXPECT_EQ(ResourceMgr::getName(0), nullptr);
    EXPECT_EQ(ResourceMgr::getName(RESOURCE_COUNT + 1), nullptr);
}

// The ids are fixed: resources files, the languages' catalogue ids and the screens' icons all name them by
// number.
TEST(ResourceNamesTest, EveryResourceKeepsItsFixedId) {
    EXPECT_EQ(RESOURCE_COUNT, 80u);
    const std::pair<const char*, resource_id> fixed[] = {
        {"myriad10", 1},
        {"myriad14_bold", 6},
        {"res_actuator_closed", 7},
        {"res_arrow_right", 12},
        {"res_arrow_right_double", 13},
        {"res_comfort", 25},
        {"res_eco", 34},
        {"res_home", 42},
        {"res_logo", 46},
        {"res_question", 54},
        {"res_schedule", 56},
        {"res_topbar_back", 74},
        {"res_translation_cs", 75},
        {"res_translation_da", 76},
        {"res_translation_en_help", 77},
        {"res_translation_nl", 78},
        {"res_warning_active", 79},
        {"res_warning_passive", 80},
    };
    for (const auto& [name, id] : fixed) {
        EXPECT_EQ(ResourceMgr::getIdByName(name), id) << name;
    }
    // Help texts exist for English only.
    for (const char* name : {"res_translation_cs_help", "res_translation_da_help", "res_translation_nl_help"})
        EXPECT_EQ(ResourceMgr::getIdByName(name), res_none) << name;
}

class ResourceFileTest : public test::ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        mPath = resources_path();
        mBytes = read_all(mPath);
        ASSERT_GT(mBytes.size(), RESFILE_HEADER) << mPath;
    }
    // A damaged copy in the temporary folder, named per process: ctest runs the cases side by side.
    std::string writeCopy(const std::vector<uint8_t>& bytes, const std::string& name) {
        const std::string path = (std::filesystem::temp_directory_path() /
                                  ("tdx-damaged-" + name + "-" + std::to_string(getpid()) + ".bin"))
                                     .string();
        write_all(path, bytes);
        mCopies.push_back(path);
        return path;
    }
    void TearDown() override {
        for (const std::string& copy : mCopies) {
            std::filesystem::remove(copy);
        }
        ScreenTest::TearDown();
    }
    std::vector<std::string> mCopies;
    std::string mPath;
    std::vector<uint8_t> mBytes;
};

TEST_F(ResourceFileTest, GeneratedFileLoadsWithEveryResourceAndACatalogueForEveryPoFile) {
    ResourceMgr mgr;
    ASSERT_EQ(mgr.load(mPath.c_str()), 0);
    const std::pair<resource_id, const char*> catalogues[] = {{res_translation_cs, "/po/cs.po"},
                                                              {res_translation_da, "/po/da.po"},
                                                              {res_translation_en_help, "/help/en.po"},
                                                              {res_translation_nl, "/po/nl.po"}};
    for (resource_id id = 1; id <= RESOURCE_COUNT; ++id) {
        const Resource r = mgr.get(id);
        const auto catalogue = std::find_if(std::begin(catalogues), std::end(catalogues),
                                            [id](const auto& c) { return c.first == id; });
        if (catalogue != std::end(catalogues)) {
            const char* po = catalogue->second;
            const bool written = std::ifstream(std::string(TDX_RESOURCES_SOURCES) + po).good();
            EXPECT_EQ(r.isValid(), written) << po;
            EXPECT_EQ(r.getType(), written ? rtTRANSLATION : rtNONE) << po;
            continue;
        }
        ASSERT_TRUE(r.isValid()) << resource_names[id - 1];
        EXPECT_EQ(r.getType(), id <= res_myriad14_bold ? rtFONT : rtIMAGE) << resource_names[id - 1];
        EXPECT_EQ(r.getId(), id);
    }
    EXPECT_FALSE(mgr.get(0).isValid());
    EXPECT_FALSE(mgr.get(RESOURCE_COUNT + 1).isValid());
    EXPECT_FALSE(mgr.get(0xFFFF).isValid());
    // Data stays where it is after free: icons keep their pointers.
    const unsigned char* home = mgr.get(res_home).getData();
    mgr.free(res_home);
    EXPECT_EQ(mgr.get(res_home).getData(), home);
}

TEST_F(ResourceFileTest, FontsCarryTheSpecifiedSizeValuesAndEveryRequiredCharacter) {
    auto mgr = std::make_unique<ResourceMgr>();
    ASSERT_EQ(mgr->load(mPath.c_str()), 0);
    struct Expected {
        Font* font;
        int ascent, x_height, descent, step;
    };
    const Expected fonts[] = {
        {&bif_myriad10, 11, 5, 3, 12}, {&bif_myriad10_bold, 11, 5, 3, 12},
        {&bif_myriad12, 13, 6, 3, 15}, {&bif_myriad12_bold, 13, 6, 3, 15},
        {&bif_myriad14, 14, 7, 4, 17}, {&bif_myriad14_bold, 14, 7, 4, 17},
    };
    for (const Expected& e : fonts) {
        const bif_t* f = e.font->getFont();
        ASSERT_NE(f, nullptr) << e.font->getName();
        EXPECT_EQ(f->ascent, e.ascent) << e.font->getName();
        EXPECT_EQ(f->x_height, e.x_height) << e.font->getName();
        EXPECT_EQ(f->descent, e.descent) << e.font->getName();
        EXPECT_EQ(f->line_step, e.step) << e.font->getName();
        std::vector<uint32_t> codes = {0x2013, 0x2014, 0x2018, 0x2019, 0x201A,
                                       0x201C, 0x201D, 0x201E, 0x2026, 0x20AC};
        for (uint32_t c = 0x20; c <= 0x17F; ++c) {
            if (c <= 0x7E || c >= 0xA0)
                codes.push_back(c);
        }
        for (uint32_t c : codes) {
            const uint8_t* g = bif_get_glyph_ptr(f, c);
            ASSERT_NE(g, nullptr) << e.font->getName() << " U+" << std::hex << c;
            if (c != 0xAD) {
                EXPECT_GT(g[0], 0) << e.font->getName() << " U+" << std::hex << c;
            }
        }
    }
    // The condensed face is chosen so that the longest label fits the 186-pixel label column.
    EXPECT_LE(bif_text_width(bif_myriad12.getFont(), "Exclude hot water storage tank"), 186);
    // Accented capitals stay inside the line cell.
    gfx_setcolor(0);
    bif_print_text(bif_myriad12.getFont(), 10, 10, "\xC4\x8C\xC5\x98\xC5\xBD\xC3\x85");
    const Box ink = ink_box();
    EXPECT_GE(ink.y1, 10);
    EXPECT_LE(ink.y2, 10 + 13 + 3 - 1);
    mgr.reset();
    EXPECT_EQ(bif_myriad14.getFont(), nullptr) << "fonts are unbound when their manager goes";
}

TEST_F(ResourceFileTest, CentringFormulaPutsLowerCaseTextInTheMiddleOfItsBox) {
    ResourceMgr mgr;
    ASSERT_EQ(mgr.load(mPath.c_str()), 0);
    // y = top + floor(h/2) + floor(x-height/2) - ascent + 1, as the controls centre their labels.
    for (Font* font : {&bif_myriad10, &bif_myriad12, &bif_myriad14_bold}) {
        const bif_t* f = font->getFont();
        for (int h : {20, 26, 30}) {
            SetUp();
            const int top = 50;
            gfx_setcolor(0);
            bif_print_text(f, 10, top + h / 2 + f->x_height / 2 - f->ascent + 1, "xxxxx");
            const Box ink = ink_box();
            const int ink_middle2 = ink.y1 + ink.y2, box_middle2 = 2 * top + h - 1;
            EXPECT_LE(std::abs(ink_middle2 - box_middle2), 2) << font->getName() << " in " << h;
        }
    }
}

TEST_F(ResourceFileTest, IconsFitTheHoldersTheScreensGiveThem) {
    ResourceMgr mgr;
    ASSERT_EQ(mgr.load(mPath.c_str()), 0);
    struct Limit {
        resource_id id;
        int w, h;
    };
    const Limit limits[] = {
        {res_home, 22, 22},
        {res_question, 22, 22},
        {res_topbar_back, 22, 22},
        {res_arrow_down, 14, 10},
        {res_arrow_up, 14, 10},
        {res_arrow_right, 10, 14},
        {res_backspace, 15, 12},
        {res_tick, 12, 12},
        {res_cross, 12, 12},
        {res_warning_active, 24, 22},
        {res_warning_passive, 24, 22},
        {res_alarm_active, 24, 22},
        {res_scrollbar_arrow_down, 25, 24},
        {res_scrollbar_arrow_up, 25, 24},
        {res_holiday, 24, 24},
        {res_standby, 24, 24},
        {res_hc_mode, 24, 24},
        {res_logo, 250, 60},
        {res_control_unit, 150, 90},
        {res_control_unit_led, 6, 6},
    };
    for (const Limit& l : limits) {
        const unsigned char* img = mgr.get(l.id).getData();
        ASSERT_NE(img, nullptr) << resource_names[l.id - 1];
        EXPECT_EQ(img[0], GFX_IMAGE_ALPHA) << resource_names[l.id - 1];
        EXPECT_LE(gfx_image_width(img), l.w) << resource_names[l.id - 1];
        EXPECT_LE(gfx_image_height(img), l.h) << resource_names[l.id - 1];
        EXPECT_GE(gfx_image_width(img), l.w / 2) << resource_names[l.id - 1];
    }
}

TEST_F(ResourceFileTest, BadHeadersAreRefusedAndInitStopsNamingThePath) {
    ResourceMgr mgr;
    EXPECT_EQ(mgr.load("no/such/resources.bin"), -1);
    EXPECT_EQ(mgr.load(nullptr), -1);
    const std::pair<size_t, uint8_t> damage[] = {{0, 'X'}, {4, 2}, {6, 79}, {8, 0x5A}, {9, 0xA5}};
    for (const auto& [at, value] : damage) {
        std::vector<uint8_t> bytes = mBytes;
        bytes[at] = value;
        EXPECT_EQ(mgr.load(writeCopy(bytes, "header").c_str()), -1) << at;
        EXPECT_FALSE(mgr.get(res_home).isValid());
        EXPECT_EQ(bif_myriad12.getFont(), nullptr);
    }

    os_set_assert_handler([](const AssertionFailure& failure) {
        throw std::runtime_error(failure.message ? failure.message : "");
    });
    try {
        mgr.init("no/such/resources.bin");
        ADD_FAILURE() << "init went on without its resources";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("no/such/resources.bin"), std::string::npos) << e.what();
    }
    os_set_assert_handler(nullptr);
}

TEST_F(ResourceFileTest, TruncatedFilesAreRefusedOrLoseOnlyTheResourcesCutOff) {
    std::vector<size_t> cuts;
    for (size_t n = 0; n < RESFILE_HEADER + RESFILE_ENTRY * RESOURCE_COUNT + 8; n += 7)
        cuts.push_back(n);
    for (size_t n = RESFILE_HEADER + RESFILE_ENTRY * RESOURCE_COUNT; n < mBytes.size();
         n += mBytes.size() / 97)
        cuts.push_back(n);
    cuts.push_back(mBytes.size() - 1);
    for (size_t n : cuts) {
        const std::vector<uint8_t> cut(mBytes.begin(), mBytes.begin() + static_cast<ptrdiff_t>(n));
        ResourceMgr mgr;
        const int result = mgr.load(writeCopy(cut, "cut").c_str());
        if (n < RESFILE_HEADER + RESFILE_ENTRY * RESOURCE_COUNT) {
            EXPECT_EQ(result, -1) << n;
            continue;
        }
        ASSERT_EQ(result, 0) << n;
        for (resource_id id = 1; id <= RESOURCE_COUNT; ++id) {
            const uint32_t end = u32_at(mBytes, entry_at(id) + 4) + u32_at(mBytes, entry_at(id) + 8);
            if (end > n) {
                EXPECT_FALSE(mgr.get(id).isValid()) << n << " " << resource_names[id - 1];
            }
        }
        draw_everything(mgr);
    }
}

TEST_F(ResourceFileTest, DamagedEntriesMakeOnlyTheirOwnResourceInvalid) {
    std::vector<uint8_t> bytes = mBytes;
    put32(bytes, entry_at(res_home) + 4, static_cast<uint32_t>(bytes.size()) - 2); // runs past the end
    put32(bytes, entry_at(res_tick) + 4, 0xFFFFFFF0u);                             // offset far outside
    bytes[entry_at(res_cross)] = 9;                                                // unknown type
    put32(bytes, entry_at(res_eco) + 4, 0);                                        // points at the header
    // An image whose header claims more pixels than its blob holds.
    bytes[u32_at(bytes, entry_at(res_logo) + 4) + 2] = 255;
    // A font whose glyph table points outside its blob.
    const uint32_t font = u32_at(bytes, entry_at(res_myriad12) + 4);
    put32(bytes, font + 12 + 6 * (bytes[font + 4] | (bytes[font + 5] << 8)), 0x7FFFFFFF);
    // An image of an unknown type.
    bytes[u32_at(bytes, entry_at(res_question) + 4)] = 7;

    ResourceMgr mgr;
    ASSERT_EQ(mgr.load(writeCopy(bytes, "entries").c_str()), 0);
    for (resource_id id : {res_home, res_tick, res_cross, res_eco, res_logo, res_myriad12, res_question})
        EXPECT_FALSE(mgr.get(id).isValid()) << resource_names[id - 1];
    EXPECT_EQ(bif_myriad12.getFont(), nullptr);
    EXPECT_NE(bif_myriad12_bold.getFont(), nullptr);
    EXPECT_TRUE(mgr.get(res_warning_active).isValid());
    EXPECT_TRUE(mgr.get(res_arrow_down).isValid());
    draw_everything(mgr);
}

} // namespace
} // namespace tdx
