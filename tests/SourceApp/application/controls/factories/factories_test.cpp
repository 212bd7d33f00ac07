// Tiles, dropdown rows and the object fragment made from mirrored objects: which template takes which
// object, what its tile shows and opens, the icons that follow the values, the dropdown that writes only
// the user's choice and follows the network, and the fragment's rows in template order. The screenshots
// show a large and a small tile of every template with the simulator's default installation.
#include "SourceApp/application/commands/bindings/FormModel.h"
#include "SourceApp/application/commands/bindings/ProxySwitchButton.h"
#include "SourceApp/application/commands/bindings/ProxyUpDownRow.h"
#include "SourceApp/application/commands/bindings/WidgetControllers.h"
#include "SourceApp/application/controls/DropdownItem.h"
#include "SourceApp/application/controls/DropdownMenu.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/SortedIconList.h"
#include "SourceApp/application/controls/factories/ProxyDropdownFactory.h"
#include "SourceApp/application/controls/factories/ProxyWidgetFactory.h"
#include "SourceApp/application/controls/fragments/ProxyObjectFragment.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/core/state/State.h"
#include "SourceApp/gui/gfx/gfx.h"
#include "SourceApp/storage/DataModel.h"
#include "SourceApp/storage/ProxyObject.h"
#include "tests/support/screen_harness.h"

#include <memory>
#include <string>
#include <vector>

namespace tdx::test {
namespace {

using Texts = std::vector<std::string>;

constexpr oid_t ROOM = 0x01000316;
constexpr uint32_t DEVICE = 0x00A101;

class FactoryTest : public ScreenHarness {
protected:
    void SetUp() override {
        ScreenHarness::SetUp();
        page();
    }
    void TearDown() override {
        mModel.reset();
        ScreenHarness::TearDown();
    }
    // A new blank page and form model; the model goes before the widgets it points at.
    void page() {
        mModel.reset();
        mPage = blank();
        mModel = std::make_unique<FormModel>();
    }
    WidgetLarge* large(oid_t oid, int y = 10) {
        return ProxyWidgetFactory::create(WidgetLarge::Builder{.mParent = mPage, .mX = 10, .mY = y},
                                          *Structure.find(oid), *mModel);
    }
    WidgetSmall* small(oid_t oid, int y = 70) {
        return ProxyWidgetFactory::create(WidgetSmall::Builder{.mParent = mPage, .mX = 10, .mY = y},
                                          *Structure.find(oid), *mModel);
    }
    // Heading, first caption and value, second caption and value.
    static Texts texts(const Widget& tile) {
        Texts all;
        for (Component* c : tile.getChildren()) {
            if (const std::optional<std::string> text = textOf(*c)) {
                all.push_back(*text);
            }
        }
        return all;
    }
    static bool shown(const WidgetLarge& tile, unsigned key) {
        return tile.getIconList()->getItem(key)->visible;
    }
    // Whether the tile's icon row shows the icons of exactly these keys and nothing else: the smallest key at
    // the right edge, 5 pixels apart, as drawn by hand into the band at y, which nothing else covers.
    bool showsIcons(const WidgetLarge& tile, const std::vector<unsigned>& keys, int y) {
        const SortedIconList* list = tile.getIconList();
        const Box row = list->getBoundingBox();
        auto* reference = new Container(mPage, row.x1, y, row.getWidth(), row.getHeight());
        int x = row.x2;
        for (unsigned key : keys) {
            const SortedIconList::IconItem* item = list->getItem(key);
            const unsigned char* image = widget_image(item->icon);
            x -= gfx_image_width(image);
            Icon::create(reference, x, y + row.getHeight() / 2 - gfx_image_height(image) / 2 + item->yOffset,
                         item->icon, colour::TEXT);
            x -= SortedIconList::GAP;
        }
        runTasks();
        bool same = true;
        for (int dy = 0; dy < row.getHeight(); ++dy) {
            for (int dx = 0; dx < row.getWidth(); ++dx) {
                same = same && pixel(row.x1 + dx, row.y1 + dy) == pixel(row.x1 + dx, y + dy);
            }
        }
        delete reference;
        runTasks();
        return same;
    }

    Form* mPage = nullptr;
    std::unique_ptr<FormModel> mModel;
};

TEST_F(FactoryTest, EachObjectGetsTheTileOfItsKindAndItsArrowOpensItsScreen) {
    const struct {
        const char* what;
        uint8_t type, subtype;
        std::vector<std::pair<vid_t, int>> values;
        const char* hardware;
        int state; // -1: no tile
        const char* caption;
        bool bare = false; // an object whose type the data model does not know: no template
    } cases[] = {
        {"room", 6, 0, {}, nullptr, 13, "Floor temp."},
        {"controller", 7, 0, {}, nullptr, 62, "Inlet temp."},
        {"circuit", 9, 0, {}, nullptr, 61, "Inlet temp."},
        {"tank", 11, 0, {}, nullptr, 75, "Actual temp."},
        {"hot water", 8, 0, {}, nullptr, 36, "Desired temp."},
        {"manual relay", 5, 7, {{0x80E7, 1}}, nullptr, 37, "Man. output"},
        {"manual relay 10", 5, 10, {{0x80E7, 1}}, nullptr, 37, "Man. output"},
        {"relay off", 5, 7, {{0x80E7, 0}}, nullptr, -1, nullptr},
        {"relay unread", 5, 7, {}, nullptr, -1, nullptr},
        {"relay subtype 1", 5, 1, {{0x80E7, 1}}, nullptr, -1, nullptr},
        {"thermohead 0", 5, 0, {}, nullptr, 70, "Status"},
        {"thermohead 6", 5, 6, {}, nullptr, 70, "Status"},
        {"servo", 5, 11, {}, nullptr, -1, nullptr},
        {"analog", 5, 8, {}, nullptr, -1, nullptr},
        {"thermostat", 2, 0, {}, "KD203", 58, "Air temp."},
        {"other thermostat", 2, 0, {}, "MB210", 58, "Air temp."},
        {"external sensor", 2, 0, {}, "KB201", 58, "Outdoor temp."},
        {"unknown device", 2, 0, {}, "KD20", 23, "Software"},
        {"device without code", 2, 0, {}, nullptr, 23, "Software"},
        {"location", 1, 0, {}, nullptr, -1, nullptr},
        {"interface", 3, 0, {}, nullptr, -1, nullptr},
        {"input", 4, 0, {}, nullptr, -1, nullptr},
        {"bare room", 6, 0, {}, nullptr, 13, "Floor temp.", true},
        {"bare controller", 7, 0, {}, nullptr, 62, "Inlet temp.", true},
        {"bare circuit", 9, 0, {}, nullptr, 61, "Inlet temp.", true},
        {"bare tank", 11, 0, {}, nullptr, 75, "Actual temp.", true},
        {"bare hot water", 8, 0, {}, nullptr, 36, "Desired temp.", true},
        {"bare device", 2, 0, {}, nullptr, 23, "Software", true},
        {"bare thermostat", 2, 0, {}, "KD203", 58, "Air temp.", true},
        {"bare relay", 5, 7, {}, nullptr, -1, nullptr, true},
        {"bare output of an unknown kind", 5, 3, {}, nullptr, -1, nullptr, true},
        {"bare object of an unknown type", 10, 0, {}, nullptr, -1, nullptr, true},
    };
    oid_t oid = 0x02000400;
    for (const auto& c : cases) {
        oid = c.type == BT_OBJ_DEVICE ? oid_make(oid_address(oid) + 1, 0) : oid + 0x01000000;
        if (c.bare) {
            const bt_obj_info info{c.type, c.subtype, 0, 0};
            Structure.append(new ProxyObject(oid, ObjectInfo(info), nullptr));
            if (c.type == BT_OBJ_DEVICE) {
                ObjectBuilder(oid).value(VID_DEVICE_STATE, BT_VTYPE_U8, 2);
            }
        }
        ObjectBuilder o = c.bare                    ? ObjectBuilder(oid)
                          : c.type == BT_OBJ_DEVICE ? device(oid_address(oid))
                                                    : object(oid, c.type, c.subtype);
        o.text(VID_NAME, c.what);
        for (auto [vid, value] : c.values) {
            o.value(vid, value);
        }
        if (c.hardware != nullptr) {
            o.text(0x80E3, c.hardware);
        }
        page();
        WidgetLarge* tile = large(oid);
        WidgetSmall* other = small(oid);
        ASSERT_EQ(tile != nullptr, c.state >= 0) << c.what;
        ASSERT_EQ(other != nullptr, c.state >= 0) << c.what;
        if (tile == nullptr) {
            continue;
        }
        runTasks();
        EXPECT_EQ(texts(*tile).at(0), c.what);
        EXPECT_EQ(texts(*tile).at(1), c.caption) << c.what;
        if (c.bare && c.state != 23) {
            EXPECT_EQ(texts(*tile).at(2), "--") << c.what << ": no value the data model can read";
        }
        mModel.reset();
        tap(tile->getButton());
        EXPECT_EQ(state().getStateId(), static_cast<unsigned>(c.state)) << c.what;
        EXPECT_EQ(state().getP1(), oid) << c.what;
        if (c.state == 70) {
            const auto* named = dynamic_cast<const SingleParamState<std::string>*>(&state());
            ASSERT_NE(named, nullptr);
            EXPECT_EQ(named->getParam(), c.what) << "the object editor's caption";
        }
    }
}

// A relay worked by hand and a thermohead show their output value alike, as a share of the whole.
TEST_F(FactoryTest, AnOutputTileShowsItsValueAsAShareAsAThermoheadTileDoes) {
    const struct {
        uint8_t subtype;
        int value;
        const char* shown;
    } cases[] = {{7, 10000, "100 %"}, {10, 2500, "25 %"}, {6, 10000, "100 %"}, {0, 0, "0 %"}};
    device(0x000316); // on-line: a thermohead's value shows while its device is
    oid_t oid = 0x02000316;
    for (const auto& c : cases) {
        oid += 0x01000000;
        ObjectBuilder o =
            object(oid, BT_OBJ_OUTPUT, c.subtype).text(VID_NAME, "Output").value(0x004C, c.value);
        if (c.subtype >= 7) {
            o.value(0x80E7, 1); // worked by hand
        }
        page();
        const WidgetLarge* tile = large(oid);
        const WidgetSmall* other = small(oid);
        ASSERT_TRUE(tile != nullptr && other != nullptr) << int{c.subtype};
        runTasks();
        const Label* value = c.subtype >= 7 ? tile->getSecondValueLabel() : tile->getFirstValueLabel();
        EXPECT_EQ(value->getText(), c.shown) << int{c.subtype};
        EXPECT_EQ((c.subtype >= 7 ? other->getSecondValueLabel() : other->getFirstValueLabel())->getText(),
                  c.shown);
    }
}

// A small tile's captions and values stand where the separator between its columns does, their descenders
// clear of the frame below, in every row a tile shows.
TEST_F(FactoryTest, ASmallTilesRowsKeepClearOfItsFrame) {
    const struct {
        const char* what;
        const char* hardware;
    } cases[] = {{"thermostat", "KD203"}, {"external sensor", "KB201"}, {"device", nullptr}};
    uint32_t address = 0x000520;
    for (const auto& c : cases) {
        ObjectBuilder d = device(++address);
        d.text(VID_NAME, c.what).value(0x000C, 2130).value(0x0002, 45).value(0x0036, 380).value(0x800D, 1);
        if (c.hardware != nullptr) {
            d.text(0x80E3, c.hardware);
        }
        page();
        WidgetSmall* tile = small(oid_make(address, 0), 70);
        ASSERT_NE(tile, nullptr) << c.what;
        runTasks(2);
        const int left = tile->getLeft();
        const int top = tile->getTop();
        // The row above the bottom border, inside the frame, is blank.
        EXPECT_EQ(countColour(Box::fromCorners(left + 1, top + 38, left + 275, top + 38), colour::WHITE), 275)
            << c.what;
        // The texts stand within the separator's rows.
        EXPECT_GT(countColour(Box::fromCorners(left + 1, top + 23, left + 275, top + 36), colour::TEXT), 0)
            << c.what;
    }
}

TEST_F(FactoryTest, ARoomShowsItsFloorUnlessTheFloorSensorDoesNotRegulate) {
    const struct {
        std::optional<int> mode;
        Texts large, small;
    } cases[] = {
        {std::nullopt,
         {"Floor temp.", "24.0\u00B0", "Set temp.", "21.5\u00B0"},
         {"Floor temp.", "24.0\u00B0", "Set temperature", "21.5\u00B0"}},
        {0,
         {"Floor temp.", "24.0\u00B0", "Set temp.", "21.5\u00B0"},
         {"Floor temp.", "24.0\u00B0", "Set temperature", "21.5\u00B0"}},
        {1,
         {"Room temp.", "20.5\u00B0", "Set temp.", "21.5\u00B0"},
         {"Room temp.", "20.5\u00B0", "Set temperature", "21.5\u00B0"}},
        {3,
         {"Room temp.", "20.5\u00B0", "Set temp.", "21.5\u00B0"},
         {"Room temp.", "20.5\u00B0", "Set temperature", "21.5\u00B0"}},
    };
    for (const auto& c : cases) {
        ObjectBuilder r =
            room(ROOM).text(VID_NAME, "Kitchen").value(0x000C, 2050).value(0x000D, 2400).value(0x001D, 2150);
        if (c.mode) {
            r.value(0x8014, *c.mode);
        } else {
            r.invalid(0x8014);
        }
        page();
        const Texts big = texts(*large(ROOM));
        const Texts little = texts(*small(ROOM));
        EXPECT_EQ(Texts(big.begin() + 1, big.end()), c.large) << c.mode.value_or(-1);
        EXPECT_EQ(Texts(little.begin() + 1, little.end()), c.small) << c.mode.value_or(-1);
    }
}

// With no change of the user's waiting, a room's tiles show the desired temperature as the control unit
// gives it; the set temperature it derives that from does not show by itself.
TEST_F(FactoryTest, ARoomsTilesFollowTheUnitsDesiredTemperature) {
    location().value(0x803D, 0).value(0x8085, 0).value(0x8087, 0);
    room(ROOM)
        .text(VID_NAME, "Kitchen")
        .value(0x8004, 1)
        .value(0x8005, 0)
        .value(0x801A, 2150)
        .value(0x001D, 2150);
    page();
    const WidgetLarge* tile = large(ROOM);
    const WidgetSmall* other = small(ROOM);
    ASSERT_TRUE(tile != nullptr && other != nullptr);
    const struct {
        const char* change;
        vid_t vid;
        std::optional<int> value; // none: no valid value
        const char* shown;
    } cases[] = {
        {"the desired temperature", 0x001D, 2300, "23.0\u00B0"},
        {"the set temperature alone", 0x801A, 2400, "23.0\u00B0"},
        {"the temporary temperature alone", 0x801E, 2000, "23.0\u00B0"},
        {"the desired temperature unreadable", 0x001D, std::nullopt, "--"},
        {"the desired temperature again", 0x001D, 1950, "19.5\u00B0"},
    };
    for (const auto& c : cases) {
        c.value ? room(ROOM).value(c.vid, *c.value) : room(ROOM).invalid(c.vid);
        runTasks();
        EXPECT_EQ(tile->getSecondValueLabel()->getText(), c.shown) << c.change;
        EXPECT_EQ(other->getSecondValueLabel()->getText(), c.shown) << c.change;
    }
    EXPECT_EQ(publishPending(), 0u) << "the tiles write nothing";
}

TEST_F(FactoryTest, LargeTilesShowTheIconsTheirValuesCallFor) {
    using R = RoomWidgetController;
    object(0x02000316, BT_OBJ_ITC).value(0x400E, 0);
    object(0x03000316, BT_OBJ_DHW_TANK).value(0x0060, 0);
    room(ROOM).value(0x001B, 0).value(0x001C, 0).value(0x8004, 0).value(0x8005, 0).value(0x8084, 1);
    location().value(0x8085, 0).value(0x8087, 0);
    WidgetLarge* itc = large(0x02000316, 10);
    WidgetLarge* tank = large(0x03000316, 60);
    WidgetLarge* home = large(ROOM, 110);
    EXPECT_EQ(small(ROOM, 170)->getChildren().size(), 7u) << "small tiles carry no icons";
    const struct {
        oid_t oid;
        vid_t vid;
        int value;
        WidgetLarge* tile;
        std::vector<unsigned> icons;
        unsigned keys;
    } steps[] = {
        {0x02000316, 0x400E, 1, itc, {0}, 3},
        {0x02000316, 0x400E, 0, itc, {}, 3},
        {0x03000316, 0x0060, 1, tank, {1}, 3},
        {0x03000316, 0x0060, 2, tank, {2}, 3},
        {ROOM, 0x001B, 2, home, {R::HEATING, R::SCHEDULE}, R::ICON_COUNT},
        {ROOM, 0x001C, 4, home, {R::HEATING_BLOCKED, R::SCHEDULE}, R::ICON_COUNT},
        {ROOM, 0x001B, 3, home, {R::COOLING_BLOCKED, R::SCHEDULE}, R::ICON_COUNT},
        {ROOM, 0x8004, 2, home, {R::COOLING_BLOCKED, R::ECO}, R::ICON_COUNT},
        {ROOM, 0x8005, 1, home, {R::COOLING_BLOCKED, R::TEMPORARY}, R::ICON_COUNT},
        {OID_LOCATION, 0x8085, 1, home, {R::COOLING_BLOCKED, R::VACATION}, R::ICON_COUNT},
        {OID_LOCATION, 0x8087, 1, home, {R::COOLING_BLOCKED, R::STANDBY}, R::ICON_COUNT},
    };
    for (const auto& s : steps) {
        receive(s.oid, s.vid, s.value);
        runTasks(2);
        std::vector<unsigned> visible;
        for (unsigned key = 0; key < s.keys; ++key) {
            if (shown(*s.tile, key)) {
                visible.push_back(key);
            }
        }
        EXPECT_EQ(visible, s.icons) << std::hex << s.vid << " := " << s.value;
        EXPECT_TRUE(showsIcons(*s.tile, s.icons, 211))
            << "what the tile shows: " << std::hex << s.vid << " := " << s.value;
    }
}

// A thermostat's large tile shows its two readings and no status icon, whatever its battery and reach say.
TEST_F(FactoryTest, AThermostatsLargeTileShowsNoIcons) {
    const struct {
        const char* what;
        std::vector<std::pair<vid_t, int>> values;
    } cases[] = {
        {"nothing read", {}},
        {"unreachable, battery low", {{0x4001, 1}, {0x002C, 20}}},
        {"battery full", {{0x002C, 90}}},
    };
    uint32_t address = DEVICE;
    for (const auto& c : cases) {
        ObjectBuilder o = device(++address);
        o.text(0x80E3, "KD203");
        for (auto [vid, value] : c.values) {
            o.value(vid, value);
        }
        page();
        WidgetLarge* tile = large(oid_make(address, 0));
        ASSERT_NE(tile, nullptr) << c.what;
        runTasks(2);
        const SortedIconList* icons = tile->getIconList();
        for (unsigned key = 0; key <= ThermostatWidgetController::UNREACHABLE; ++key) {
            EXPECT_EQ(icons->getItem(key), nullptr) << c.what << " icon " << key;
        }
        EXPECT_EQ(countColour(icons->getBoundingBox(), colour::WHITE), icons->getWidth() * icons->getHeight())
            << c.what;
    }
}

TEST_F(FactoryTest, TheSoftwareTextShowsARealBuildOnlyAndNoMadeUpVersion) {
    const struct {
        std::optional<int> version, build;
        const char* text;
    } cases[] = {
        {3, 12, "AB12303b12"},        {3, 0, "AB12303"},       {3, 255, "AB12303"},
        {3, std::nullopt, "AB12303"}, {std::nullopt, 1, "--"}, {std::nullopt, std::nullopt, "--"},
    };
    for (const auto& c : cases) {
        ObjectBuilder d = device(DEVICE).text(0x80E4, "AB123");
        c.version ? d.value(0x800D, *c.version) : d.invalid(0x800D);
        c.build ? d.value(0x809E, *c.build) : d.invalid(0x809E);
        page();
        EXPECT_EQ(texts(*large(DEVICE)).at(2), c.text);
    }
}

// An enumeration with two options of one value.
constexpr DataModel::Descriptor::EnumOption TWICE[] = {
    {0, "Schedule"}, {2, "Eco"}, {2, "Eco again"}, {3, "Comfort"}};
constexpr DataModel::Descriptor::VidEnum MODE = {
    {{{"Mode", 0x8004, BT_VTYPE_U8, DataModel::Descriptor::KIND_NUMBER, 0},
      DataModel::Descriptor::NumberRole::Enumeration,
      0,
      nullptr},
     0,
     3,
     1},
    TWICE,
    4};

TEST_F(FactoryTest, TheDropdownShowsTheValueWritesOnlyChoicesAndFollowsTheNetwork) {
    const EnumOvi ovi(ROOM, 0x8004, BT_VTYPE_U8, &MODE);
    EXPECT_EQ(ProxyDropdownFactory::create(mPage, ovi), nullptr) << "no object, no row";
    const struct {
        std::optional<int> value;
        const char* shows; // null: "--"
    } cases[] = {{0, "Schedule"}, {2, "Eco again"}, {7, nullptr}, {std::nullopt, nullptr}};
    for (const auto& c : cases) {
        c.value ? room(ROOM).value(0x8004, *c.value) : room(ROOM).invalid(0x8004);
        runTasks();
        published();
        page();
        EditableDropdownRow* row = ProxyDropdownFactory::create(mPage, ovi);
        runTasks();
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->getWidth(), mPage->getWidth());
        EXPECT_EQ(row->getMenu()->getItemCount(), 4u);
        EXPECT_EQ(row->getSelectedItem() ? row->getSelectedItem()->getTitle() : "--",
                  c.shows ? c.shows : "--");
        EXPECT_TRUE(published().empty()) << "building the row writes nothing";
    }

    // The control unit changes the mode: the row follows without writing; picking the old option writes it.
    room(ROOM).value(0x8004, 0);
    runTasks();
    page();
    EditableDropdownRow* row = ProxyDropdownFactory::create(mPage, ovi);
    receive(ROOM, 0x8004, 3);
    runTasks(2);
    EXPECT_EQ(row->getSelectedItem()->getTitle(), "Comfort");
    EXPECT_TRUE(published().empty());
    row->setSelectedItem(0);
    EXPECT_EQ(published(), (Published{{ROOM, 0x8004, 0}}));
}

// What a row of the fragment is, and what a status row shows.
std::string kind(const Component& row) {
    if (dynamic_cast<const EditableStringRow*>(&row)) {
        return "text";
    }
    if (dynamic_cast<const EditableDropdownRow*>(&row)) {
        return "dropdown";
    }
    if (dynamic_cast<const ProxyUpDownRow*>(&row)) {
        return "up-down";
    }
    const auto& children = dynamic_cast<const Container&>(row).getChildren();
    if (dynamic_cast<const ProxySwitchButton*>(children.back())) {
        return "switch";
    }
    return "status " + dynamic_cast<const ContainedLabel&>(*children.back()).getText();
}

TEST_F(FactoryTest, TheFragmentHasARowPerEditableValueInTemplateOrder) {
    location().text(VID_NAME, "Home");
    object(0x04000316, BT_OBJ_DHW).text(VID_NAME, "Hot water").value(0x0031, 4500);
    object(0x05000316, BT_OBJ_OUTPUT, 7).text(VID_NAME, "Pump").value(0x80E7, 1).value(0x004C, 100);
    const struct {
        oid_t oid;
        std::vector<const char*> rows;
    } cases[] = {
        {0x04000316, {"text", "status 45.0\u00B0", "up-down", "up-down", "up-down"}},
        {0x05000316, {"text", "dropdown", "status 1 %"}},
        // Timestamps, durations and object references get no row.
        {OID_LOCATION,
         {"text", "up-down", "switch", "dropdown", "up-down", "switch", "switch", "up-down", "up-down",
          "up-down"}},
    };
    for (const auto& c : cases) {
        page();
        ProxyObjectFragment* fragment =
            ProxyObjectFragment::Builder(
                {.parent = mPage, .x = 0, .y = 40, .width = 300, .direction = DIRECTION_VERTICAL})
                .build(Structure.find(c.oid), *mModel);
        runTasks();
        std::vector<std::string> kinds;
        for (Component* row : fragment->getChildren()) {
            kinds.push_back(kind(*row));
        }
        EXPECT_EQ(kinds, std::vector<std::string>(c.rows.begin(), c.rows.end())) << std::hex << c.oid;
        EXPECT_TRUE(published().empty());
    }
}

// Captions take only the room their values leave, with a blank column at least, and end with an ellipsis
// when that is too little; values are never cut. The screenshots show a large and a small tile of every
// template in every language.
TEST_F(FactoryTest, CaptionsGiveWayToTheirValuesInEveryTemplateAndLanguage) {
    loadDefaultInstallation();
    runTasks();
    static constexpr const char* NAMES[] = {
        "room",       "controller", "circuit",         "tank",  "hot_water", "output",
        "thermohead", "thermostat", "external_sensor", "device"};
    static constexpr const char* CODES[] = {"", "_da", "_cs", "_nl"};
    int shots = 0;
    int cut = 0;
    for (uint8_t language = 0; language < 4; ++language) {
        speak(language);
        for (const TemplateRow& row : Templates) {
            const std::string name = NAMES[&row - Templates.data()] + std::string(CODES[language]);
            std::vector<ProxyObject*> supported = objects(row.type);
            std::erase_if(supported, [&](ProxyObject* o) { return !row.widgetTemplate->isSupported(*o); });
            if (supported.empty()) {
                continue;
            }
            page();
            Widget* tiles[] = {large(supported.front()->oid()), small(supported.front()->oid())};
            runTasks(2);
            for (Widget* tile : tiles) {
                ASSERT_NE(tile, nullptr) << name;
                std::vector<Label*> labels; // caption, value, caption, value
                for (Component* c : tile->getChildren()) {
                    if (auto* label = dynamic_cast<Label*>(c)) {
                        labels.push_back(label);
                    }
                }
                ASSERT_EQ(labels.size(), 4u);
                for (size_t i = 0; i < 4; i += 2) {
                    Label& caption = *labels[i];
                    const Label& value = *labels[i + 1];
                    const std::string where = name + " " + tile->getName() + " " + caption.getText();
                    const Box& box = value.getBoundingBox();
                    EXPECT_FALSE(
                        inkOf(caption).intersects(Box::fromCorners(box.x1 - 1, box.y1, box.x2, box.y2)))
                        << where;
                    EXPECT_EQ(value.getShownText(), value.getText()) << where;
                    const std::string shown = caption.getShownText();
                    if (shown != caption.getText()) {
                        ++cut;
                        EXPECT_TRUE(shown.ends_with("\u2026")) << where << ": " << shown;
                    }
                }
            }
            screenshot("tiles_" + name);
            ++shots;
        }
    }
    EXPECT_GE(shots, 4 * 5) << "the default installation shows most kinds of tile";
    EXPECT_GT(cut, 0) << "some caption is too long for its row";
}

} // namespace
} // namespace tdx::test
