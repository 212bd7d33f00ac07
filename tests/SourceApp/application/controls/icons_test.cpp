// Icons, shapes and the sorted icon list, drawn on the harness and compared with reference icons placed by
// hand.
#include "Libraries/base/os.h"
#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/application/controls/SortedIconList.h"
#include "SourceApp/gui/gfx/gfx.h"
#include "tests/support/screen_harness.h"

namespace tdx::test {
namespace {

class IconsTest : public ScreenHarness {
protected:
    static bool samePixels(const Box& a, const Box& b) {
        for (int y = 0; y < a.getHeight(); ++y)
            for (int x = 0; x < a.getWidth(); ++x)
                if (pixel(a.x1 + x, a.y1 + y) != pixel(b.x1 + x, b.y1 + y))
                    return false;
        return true;
    }
    static int width(resource_id id) { return gfx_image_width(widget_image(id)); }
    static int height(resource_id id) { return gfx_image_height(widget_image(id)); }
};

TEST_F(IconsTest, MultiIconClampsItsIndexAndRepaintsOnlyOnAChange) {
    Form* form = blank();
    auto* icon = new MultiIcon(form, 10, 10, colour::TEXT, 40, 40, HorizontalAlign::Left, VerticalAlign::Top);
    icon->setIconIndex(0);
    EXPECT_EQ(icon->getIconIndex(), -1) << "an empty icon keeps -1";
    icon->addIcon(res_bell, 0, 0);
    icon->addIcon(res_home, 0, 0);
    const struct {
        int asked;
        int shown;
    } cases[] = {{0, 0}, {1, 1}, {5, 1}, {127, 1}, {-1, -1}, {-2, -1}, {-128, -1}};
    for (const auto& c : cases) {
        icon->setIconIndex(static_cast<signed char>(c.asked));
        EXPECT_EQ(icon->getIconIndex(), c.shown) << "asked " << c.asked;
    }
    icon->setIconIndex(1);
    runTasks();
    icon->setIconIndex(1);
    EXPECT_FALSE(icon->needsRepaint()) << "the index shown already asks for no repaint";
}

TEST_F(IconsTest, MultiIconAlignsItsImageInTheBox) {
    Form* form = blank();
    const int w = width(res_bell);
    const int h = height(res_bell);
    const struct {
        HorizontalAlign h;
        VerticalAlign v;
        int x;
        int y;
    } cases[] = {
        {HorizontalAlign::Left, VerticalAlign::Top, 0, 0},
        {HorizontalAlign::Center, VerticalAlign::Middle, 30 - w / 2, 20 - h / 2},
        {HorizontalAlign::Right, VerticalAlign::Bottom, 60 - w, 40 - h},
    };
    int row = 0;
    for (const auto& c : cases) {
        const int top = 5 + row++ * 45;
        auto* multi = new MultiIcon(form, 10, top, colour::TEXT, 60, 40, c.h, c.v);
        multi->addIcon(res_bell, 2, 1);
        multi->setIconIndex(0);
        Icon::create(form, 200 + c.x + 2, top + c.y + 1, res_bell, colour::TEXT);
    }
    runTasks();
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(samePixels(Box(10, 5 + i * 45, 60, 40), Box(200, 5 + i * 45, 60, 40))) << "case " << i;
    }
}

TEST_F(IconsTest, AContainedIconLargerThanItsBoxShowsItsMiddle) {
    Form* form = blank();
    const int w = width(res_home);
    const int h = height(res_home);
    ASSERT_GT(w, 8);
    ASSERT_GT(h, 8);
    ContainedIcon::create(form, 20, 20, w - 8, h - 6, res_home, colour::TEXT);
    Icon::create(form, 150 - 4, 20 - 3, res_home, colour::TEXT);
    auto* none =
        new MultiIcon(form, 20, 150, colour::TEXT, 30, 30, HorizontalAlign::Left, VerticalAlign::Top);
    none->addIcon(res_none, 0, 0);
    none->setIconIndex(0);
    new HLine(form, 20, 200, 0, colour::TEXT);
    new HLine(form, 60, 200, 40, colour::ACCENT);
    new VLine(form, 120, 190, 20, colour::ACCENT);
    runTasks();
    EXPECT_TRUE(samePixels(Box(20, 20, w - 8, h - 6), Box(150, 20, w - 8, h - 6)));
    EXPECT_EQ(countColour(Box(20, 150, 30, 30), colour::WHITE), 900)
        << "an entry without resource draws nothing";
    EXPECT_EQ(countColour(Box(0, 200, 60, 1), colour::TEXT), 0) << "a line of length 0 draws nothing";
    EXPECT_EQ(countColour(Box(0, 200, 320, 1), colour::ACCENT), 41);
    EXPECT_EQ(countColour(Box(120, 0, 1, 240), colour::ACCENT), 20);
}

class SortedIconListTest : public IconsTest {
protected:
    static constexpr int RIGHT = 299;
    static constexpr int TOP = 20;
    static constexpr int HEIGHT = 30;

    void SetUp() override {
        IconsTest::SetUp();
        mForm = blank();
        mList = new SortedIconList(mForm, 100, TOP, RIGHT - 100 + 1, HEIGHT);
        mList->add(3, res_home, 0);
        mList->add(1, res_bell, 0);
        mList->add(2, res_arrow_up, 2);
        for (uint32_t key : {1u, 2u, 3u}) {
            mList->show(key);
        }
    }

    // The row as it should stand: the icons of the keys, right to left, 5 pixels apart, drawn by hand 100
    // pixels lower.
    bool looksLike(std::initializer_list<std::pair<resource_id, short>> icons) {
        auto* reference = new Container(mForm, 100, TOP + 100, RIGHT - 100 + 1, HEIGHT);
        int x = RIGHT;
        for (const auto& [id, dy] : icons) {
            x -= width(id);
            Icon::create(reference, x, TOP + 100 + HEIGHT / 2 - height(id) / 2 + dy, id, colour::TEXT);
            x -= SortedIconList::GAP;
        }
        runTasks();
        const bool same = samePixels(mList->getBoundingBox(), reference->getBoundingBox());
        delete reference;
        runTasks();
        return same;
    }

    Form* mForm = nullptr;
    SortedIconList* mList = nullptr;
};

TEST_F(SortedIconListTest, KeysStandInOrderFromTheRightEdgeAndHiddenOnesLeaveNoGap) {
    EXPECT_TRUE(looksLike({{res_bell, 0}, {res_arrow_up, 2}, {res_home, 0}}));
    mList->hide(2);
    EXPECT_TRUE(looksLike({{res_bell, 0}, {res_home, 0}}));
    mList->add(2, res_tick, 0);
    EXPECT_FALSE(mList->getItem(2)->visible) << "a new icon for a known key keeps the key hidden";
    mList->add(4, res_alarm, 0);
    EXPECT_FALSE(mList->getItem(4)->visible) << "a new key starts hidden";
    screenshot("sorted_icon_list");
}

TEST_F(SortedIconListTest, RemovingFirstMiddleOrLastRelinksTheList) {
    for (uint32_t gone : {1u, 2u, 3u}) {
        mList->remove(gone);
        std::vector<uint32_t> keys;
        for (uint32_t key = 0; key < 5; ++key) {
            if (const auto* item = mList->getItem(key)) {
                keys.push_back(key);
                if (item->next != nullptr) {
                    EXPECT_EQ(item->next->previous, item);
                }
            }
        }
        EXPECT_EQ(keys.size(), 2u) << "after removing " << gone;
        mList->add(gone, res_tick, 0);
        mList->show(gone);
    }
    EXPECT_THROW(mList->show(9), FailedAssertion) << "a key never added is the caller's fault";
}

using SortedIconListDeathTest = SortedIconListTest;

// A key never added stops the program, naming the operation the caller called with it.
TEST_F(SortedIconListDeathTest, AKeyNeverAddedStopsTheProgramNamingTheOperation) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const struct {
        void (*call)(SortedIconList&);
        const char* function;
    } rows[] = {
        {[](SortedIconList& list) { list.show(9); }, "show"},
        {[](SortedIconList& list) { list.hide(9); }, "hide"},
        {[](SortedIconList& list) { list.setIconVisible(9, true); }, "show"},
        {[](SortedIconList& list) { list.setIconVisible(9, false); }, "hide"},
        {[](SortedIconList& list) { list.remove(9); }, "remove"},
    };
    for (const auto& row : rows) {
        EXPECT_DEATH(
            {
                os_set_assert_handler(nullptr); // the harness's handler would only throw
                row.call(*mList);
            },
            std::string("Expression: item\nFunction: void SortedIconList::") + row.function +
                "\\(uint32_t\\)\n")
            << row.function;
    }
}

} // namespace
} // namespace tdx::test
