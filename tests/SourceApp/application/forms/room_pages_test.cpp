// The pages a room screen opens: the room settings with their sections and the humidity control, the
// temporary mode, and the page of a thermostat.
#include "SourceApp/application/commands/bindings/ProxyUpDownRow.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/DropdownMenu.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/application/controls/UpDown.h"
#include "SourceApp/application/utils/Date.h"
#include "SourceApp/gui/core/layout/Viewport.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

namespace tdx::test {
namespace {

constexpr unsigned ROOM_SCREEN = 13;
constexpr unsigned ROOM_SETTINGS = 14;
constexpr unsigned TEMPORARY_MODE = 15;
constexpr unsigned THERMOSTAT_PAGE = 58;
constexpr oid_t ROOM = 0x01000316;
constexpr uint32_t THERMOSTAT = 0x000520;
constexpr vid_t SEASON = 0x803D;
constexpr vid_t SWITCHING = 0x8076;
constexpr vid_t HUMIDITY_ENABLED = 0x8083;
constexpr vid_t OVERRIDE = 0x8005;
constexpr vid_t OVERRIDE_END = 0x8006;

class RoomPagesTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        location().value(SEASON, 0).value(SWITCHING, 1);
        room(ROOM)
            .text(VID_NAME, "Study")
            .value(0x8010, 500)
            .value(0x8018, 1000)
            .value(0x8019, 3000)
            .value(0x801E, 2200)
            .value(0x802C, 3200)
            .value(0x8031, 2400)
            .value(HUMIDITY_ENABLED, 0)
            .value(0x803A, 6000)
            .value(0x803B, 300)
            .value(OVERRIDE, 0)
            .value(OVERRIDE_END, 0);
        connect();
        runTasks();
    }
    Published writes() {
        const size_t before = mSeen;
        const Published& all = published();
        mSeen = all.size();
        return Published(all.begin() + static_cast<long>(before), all.end());
    }
    void openPage(unsigned id, oid_t oid) {
        open(id, oid);
        writes();
    }
    // The user opens the row's menu and picks the item.
    void choose(EditableDropdownRow* row, int index) {
        tap(find<IconButton>([&](const IconButton& b) { return b.isChildOf(row); }));
        const DropdownMenu* menu = row->getMenu();
        ASSERT_NE(menu, nullptr);
        tap(menu->getLeft() + 10, menu->getTop() + index * (DropdownMenu::ITEM_HEIGHT + 1) + 13);
        runTasks(2);
    }
    DropdownButton* section(const std::string& title) const {
        return find<DropdownButton>([&](const DropdownButton& b) { return textOf(b) == title; });
    }
    // A label or a row's wrapped title, shown or in a closed section.
    bool hasLabel(const std::string& text) const {
        return find<Component>([&](const Component& c) { return textOf(c) == text; }) != nullptr;
    }
    bool shown(const std::string& text) const { return findByText(text) != nullptr; }

    size_t mSeen = 0;
};

// ---- Room settings ----

TEST_F(RoomPagesTest, TheSeasonSectionsOpenAndAnswerByTheSwitchingMode) {
    const struct {
        int switching, season;
        bool enabled, winterOpen, summerOpen;
    } cases[] = {
        {1, 0, true, false, false}, {1, 1, true, false, false},  {0, 0, false, true, false},
        {0, 1, false, false, true}, {0, 2, false, false, false},
    };
    for (const auto& c : cases) {
        location().value(SWITCHING, c.switching).value(SEASON, c.season);
        runTasks();
        openPage(ROOM_SETTINGS, ROOM);
        ASSERT_NE(section("Winter mode"), nullptr);
        EXPECT_EQ(section("Winter mode")->isEnabled(), c.enabled) << c.switching << "/" << c.season;
        EXPECT_EQ(section("Summer mode")->isEnabled(), c.enabled) << c.switching << "/" << c.season;
        EXPECT_EQ(section("Winter mode")->isOpen(), c.winterOpen) << c.switching << "/" << c.season;
        EXPECT_EQ(section("Summer mode")->isOpen(), c.summerOpen) << c.switching << "/" << c.season;
        EXPECT_FALSE(section("Common settings & Limits")->isOpen());
    }
    location().invalid(SWITCHING);
    runTasks();
    openPage(ROOM_SETTINGS, ROOM);
    EXPECT_FALSE(section("Winter mode")->isEnabled()) << "an unreadable switching mode counts as 0";
}

// The season's own section open, as a fixed season shows it: the winter rows stand 10 pixels in under their
// title, the summer rows at its left edge; both keep 267 pixels, and their advanced rows 257, 10 further in.
TEST_F(RoomPagesTest, TheSummerRowsStandAtTheSectionsLeftEdgeAndTheWinterRowsTenPixelsIn) {
    const struct {
        int season;
        const char* section;
        bool advanced;
        const char* row;
        int indent, width;
    } cases[] = {
        {0, "Winter mode", false, "Comfort temperature", 10, 267},
        {1, "Summer mode", false, "Comfort temperature", 0, 267},
        {0, "Winter mode", true, "Standby temperature", 20, 257},
        {1, "Summer mode", true, "Standby temperature", 10, 257},
    };
    for (const auto& c : cases) {
        const std::string story = std::string(c.section) + (c.advanced ? ", advanced: " : ": ") + c.row;
        location().value(SWITCHING, 0).value(SEASON, c.season);
        runTasks();
        openPage(ROOM_SETTINGS, ROOM);
        const DropdownButton* title = section(c.section);
        ASSERT_TRUE(title != nullptr && title->isOpen()) << story;
        if (c.advanced) {
            find<DropdownButton>([](const DropdownButton& b) {
                return b.isGloballyVisible() && textOf(b) == "Advanced settings";
            })->setCollapsed(true, false);
            runTasks(2);
        }
        const auto* row = find<ProxyUpDownRow>([&](const ProxyUpDownRow& r) {
            return r.isGloballyVisible() && find<Component>([&](const Component& label) {
                                                return label.isChildOf(&r) && textOf(label) == c.row;
                                            }) != nullptr;
        });
        ASSERT_NE(row, nullptr) << story;
        auto* viewport = find<Viewport>();
        viewport->setVerticalPosition(row->getTop() - viewport->getContent()->getTop());
        runTasks(2);
        // The row's grey along its middle line, within the section title's width.
        const int y = (row->getTop() + row->getBottom()) / 2;
        int first = -1, last = -1;
        for (int x = title->getLeft(); x <= title->getRight(); ++x) {
            if (pixel(x, y) == RowContainer::BACK_COLOR) {
                first = first < 0 ? x : first;
                last = x;
            }
        }
        EXPECT_EQ(first - title->getLeft(), c.indent) << story;
        EXPECT_EQ(last - first + 1, c.width) << story;
    }
}

TEST_F(RoomPagesTest, AFloorSensorAddsTheFloorRowsAndNamesTheAirOnes) {
    openPage(ROOM_SETTINGS, ROOM);
    for (const char* label :
         {"Hysteresis regulation", "Temperature settings range", "Temperature alarm limits"}) {
        EXPECT_TRUE(hasLabel(label)) << label;
    }
    for (const char* label : {"Floor limits", "Floor hysteresis regulation", "Floor temperature alarm limits",
                              "Air hysteresis regulation"}) {
        EXPECT_FALSE(hasLabel(label)) << label;
    }
    device(THERMOSTAT).value(0x000D, 2300);
    room(ROOM).oids(0x80AE, {THERMOSTAT});
    runTasks();
    openPage(ROOM_SETTINGS, ROOM);
    for (const char* label : {"Air hysteresis regulation", "Air temperature settings range",
                              "Air temperature alarm limits", "Floor limits", "Floor hysteresis regulation",
                              "Floor temperature alarm limits", "Eco minimum temperature"}) {
        EXPECT_TRUE(hasLabel(label)) << label;
    }
    EXPECT_FALSE(hasLabel("Temperature settings range"));
}

// A new name heads the settings at once, whether the user gave it in the name row or it came from the control
// unit; a name too long for the usual font shows whole in the smaller one, as when the screen is built.
// Another object renamed meanwhile (another room, the location) leaves the title alone.
TEST_F(RoomPagesTest, TheSettingsTitleFollowsTheNameAtOnce) {
    constexpr oid_t OTHER_ROOM = 0x01010316;
    room(OTHER_ROOM).text(VID_NAME, "Kitchen");
    const struct {
        const char* how;
        bool typed;    // in the name row, else from the control unit
        oid_t renamed; // the object the control unit renames
        const char* name;
        const char* shown; // the name the title shows then
        const Font* font;
    } cases[] = {
        {"typed", true, ROOM, "Study 2", "Study 2", &bif_myriad12},
        {"from the unit", false, ROOM, "Guest room", "Guest room", &bif_myriad12},
        {"long, from the unit", false, ROOM, "Guest room by the stairs in the attic",
         "Guest room by the stairs in the attic", &bif_myriad10},
        {"the location renamed", false, OID_LOCATION, "Holiday home", "Study", &bif_myriad12},
        {"another room renamed", false, OTHER_ROOM, "Pantry", "Study", &bif_myriad12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        room(ROOM).text(VID_NAME, "Study");
        runTasks();
        openPage(ROOM_SETTINGS, ROOM);
        ASSERT_NE(findByText("Room | Study | Settings"), nullptr);
        if (c.typed) {
            typeAfterName(" 2");
            runTasks(3);
            EXPECT_EQ(text(ROOM, VID_NAME), c.name) << "written";
        } else {
            ObjectBuilder(c.renamed).text(VID_NAME, c.name);
            runTasks(2);
        }
        const std::string title = std::string("Room | ") + c.shown + " | Settings";
        const auto* shown = dynamic_cast<const ContainedLabel*>(findByText(title));
        ASSERT_NE(shown, nullptr) << title;
        if (std::string(c.shown) != "Study") {
            EXPECT_EQ(findByText("Room | Study | Settings"), nullptr);
        }
        EXPECT_EQ(shown->getFont(), c.font);
        EXPECT_LE(bif_text_width(shown->getFont()->getFont(), title), shown->getWidth() - 2) << "whole";
        EXPECT_EQ(state().getStateId(), ROOM_SETTINGS);
    }
}

TEST_F(RoomPagesTest, TheHumidityRowWritesOnlyTheUsersChoice) {
    room(ROOM).invalid(HUMIDITY_ENABLED);
    runTasks();
    writes();
    // The page shows "Display only" for the unknown state without telling the control unit so.
    open(ROOM_SETTINGS, ROOM);
    EXPECT_TRUE(writes().empty()) << "opening writes nothing";
    tap(section("Common settings & Limits"));
    runTasks(2);
    auto* humidity = find<EditableDropdownRow>([](const EditableDropdownRow& r) {
        const DropdownItem* item = r.getSelectedItem();
        return item != nullptr && (item->getTitle() == "Display only" || item->getTitle() == "Dryer control");
    });
    ASSERT_NE(humidity, nullptr);
    EXPECT_EQ(humidity->getSelectedItem()->getTitle(), "Display only");
    EXPECT_FALSE(hasLabel("Highest humidity") && shown("Highest humidity"));

    choose(humidity, 1);
    EXPECT_EQ(writes(), (Published{{ROOM, HUMIDITY_ENABLED, 1}}));
    EXPECT_TRUE(shown("Highest humidity"));
    EXPECT_TRUE(shown("Humidity hysteresis"));
    choose(humidity, 0);
    EXPECT_EQ(writes(), (Published{{ROOM, HUMIDITY_ENABLED, 0}}));
    EXPECT_FALSE(shown("Highest humidity"));
    choose(humidity, 0);
    EXPECT_TRUE(writes().empty()) << "the same choice again";

    // The control unit enables the dryer; the humidity state's change shows it without a write back.
    receive(ROOM, HUMIDITY_ENABLED, 1);
    receive(ROOM, 0x001E, 3);
    runTasks(2);
    EXPECT_EQ(humidity->getSelectedItem()->getTitle(), "Dryer control");
    EXPECT_TRUE(shown("Highest humidity"));
    // A state of another room does not refresh this one.
    room(0x02000316).value(0x001E, 1);
    receive(ROOM, HUMIDITY_ENABLED, 7);
    receive(0x02000316, 0x001E, 3);
    runTasks(2);
    EXPECT_EQ(humidity->getSelectedItem()->getTitle(), "Dryer control");
    EXPECT_TRUE(writes().empty());
}

TEST_F(RoomPagesTest, ARoomsScreensOfAMissingObjectOrOfSomethingElseThanARoomGoBack) {
    object(0x03000316, BT_OBJ_OUTPUT, 6);
    runTasks();
    for (const unsigned page : {ROOM_SCREEN, ROOM_SETTINGS, TEMPORARY_MODE}) {
        for (const oid_t id : {oid_t{0x09000316}, oid_t{0x03000316}}) {
            open(11);
            mCore.changeState(State(page, id));
            runTasks(3);
            EXPECT_EQ(state().getStateId(), 11u) << page << " " << std::hex << id;
        }
    }
}

// ---- Temporary mode ----

class TemporaryModeTest : public RoomPagesTest {
protected:
    EditableDropdownRow* modeRow() const { return find<EditableDropdownRow>(); }
    std::string status() const { return findAll<TextFrame>().front()->getText(); }
    NumericUpDown<int>* control(int index) const { return findAll<NumericUpDown<int>>()[index]; }
    IconButton* upOf(const Component* upDown) const {
        IconButton* right = nullptr;
        for (IconButton* b : findAll<IconButton>()) {
            if (b->isChildOf(upDown) && (right == nullptr || b->getLeft() > right->getLeft())) {
                right = b;
            }
        }
        return right;
    }
    void raise(const Component* upDown, int taps) {
        for (int i = 0; i < taps; ++i) {
            tap(upOf(upDown));
            tick();
        }
        wait(1100);
        runTasks(2);
    }
};

TEST_F(TemporaryModeTest, OnOffersADurationAndACommittedDurationSwitchesTheModeOn) {
    openPage(TEMPORARY_MODE, ROOM);
    EXPECT_EQ(status(), "Temporary mode is turned off.");
    EXPECT_EQ(modeRow()->getSelectedItem()->getTitle(), "Off");
    EXPECT_FALSE(shown("Set duration"));

    choose(modeRow(), 1);
    EXPECT_TRUE(shown("Set duration"));
    EXPECT_TRUE(shown("00:00"));
    EXPECT_EQ(status(), "Temporary mode is turned off.");
    EXPECT_TRUE(writes().empty());

    const int64_t before = START_TIME;
    raise(control(1), 6); // 1:30
    const Published written = writes();
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[0], (PublishedValue{ROOM, OVERRIDE, 1}));
    EXPECT_EQ(written[1].vid, OVERRIDE_END);
    EXPECT_GE(written[1].value, before + 5400);
    EXPECT_LE(written[1].value, before + 5400 + 3);
    const Date end(written[1].value, 0);
    char until[64];
    std::snprintf(until, sizeof until, "Temporary mode is turned on until %02u:%02u.", end.getHours(),
                  end.getMinutes());
    EXPECT_EQ(status(), until);

    // Back to 0: off, both values cleared once.
    for (int i = 0; i < 6; ++i) {
        tap(find<IconButton>(
            [&](const IconButton& b) { return b.isChildOf(control(1)) && &b != upOf(control(1)); }));
        tick();
    }
    wait(1100);
    runTasks(2);
    EXPECT_EQ(writes(), (Published{{ROOM, OVERRIDE, 0}, {ROOM, OVERRIDE_END, 0}}));
    EXPECT_EQ(status(), "Temporary mode is turned off.");
}

TEST_F(TemporaryModeTest, TheControlUnitsChangesShowWithoutBeingWrittenBack) {
    openPage(TEMPORARY_MODE, ROOM);
    receive(ROOM, OVERRIDE_END, 0);
    receive(ROOM, OVERRIDE, 1);
    runTasks(2);
    EXPECT_EQ(modeRow()->getSelectedItem()->getTitle(), "On");
    EXPECT_EQ(status(), "Temporary mode is turned on without expiration.");
    EXPECT_FALSE(shown("Set duration"));

    // The room screen's own override is no temporary mode: shown as off, and left alone.
    receive(ROOM, OVERRIDE, 3);
    runTasks(2);
    EXPECT_EQ(modeRow()->getSelectedItem()->getTitle(), "Off");
    EXPECT_EQ(status(), "Temporary mode is turned off.");
    EXPECT_TRUE(writes().empty());

    // The user's "Off" clears it.
    choose(modeRow(), 1);
    choose(modeRow(), 0);
    EXPECT_EQ(writes(), (Published{{ROOM, OVERRIDE, 0}, {ROOM, OVERRIDE_END, 0}}));
    choose(modeRow(), 0);
    EXPECT_TRUE(writes().empty()) << "the item already chosen";
}

TEST_F(TemporaryModeTest, TheTemperatureIsTheSeasonsTemporarySetpointWithinItsSpan) {
    openPage(TEMPORARY_MODE, ROOM);
    choose(modeRow(), 1);
    EXPECT_EQ(control(0)->getValue(), 2200);
    EXPECT_EQ(control(0)->getMinimum(), 1000);
    EXPECT_EQ(control(0)->getMaximum(), 3000);
    raise(control(0), 1);
    EXPECT_EQ(writes(), (Published{{ROOM, 0x801E, 2250}}));

    receive(OID_LOCATION, SEASON, 1);
    runTasks(2);
    EXPECT_EQ(control(0)->getValue(), 2400);
    EXPECT_EQ(control(0)->getMinimum(), 600);
    EXPECT_EQ(control(0)->getMaximum(), 3200);
    raise(control(0), 1);
    EXPECT_EQ(writes(), (Published{{ROOM, 0x8031, 2450}}));

    // A span the room cannot give leaves the setpoint's own limits.
    room(ROOM).invalid(0x802C);
    runTasks();
    openPage(TEMPORARY_MODE, ROOM);
    EXPECT_EQ(control(0)->getMaximum(), 4000);
}

// The season's setpoint that cannot be read is unknown, not the span's bottom: "--", and the arrows write
// nothing until the control unit tells it.
TEST_F(TemporaryModeTest, AnUnreadableSetpointShowsDashesAndTheArrowsWriteNothing) {
    const struct {
        int season;
        vid_t setpoint;
        const char* known;
    } cases[] = {{0, 0x801E, "21.0\u00B0"}, {1, 0x8031, "21.0\u00B0"}};
    for (const auto& c : cases) {
        location().value(SEASON, c.season);
        room(ROOM).invalid(c.setpoint);
        runTasks();
        openPage(TEMPORARY_MODE, ROOM);
        choose(modeRow(), 1);
        const auto* shownValue =
            find<ContainedLabel>([this](const ContainedLabel& l) { return l.isChildOf(control(0)); });
        ASSERT_NE(shownValue, nullptr);
        EXPECT_EQ(shownValue->getText(), "--") << c.season;
        EXPECT_FALSE(control(0)->isKnown());
        EXPECT_FALSE(upOf(control(0))->isEnabled());
        raise(control(0), 2);
        EXPECT_TRUE(writes().empty()) << c.season;

        receive(ROOM, c.setpoint, 2100);
        runTasks(2);
        EXPECT_EQ(shownValue->getText(), c.known) << c.season;
        raise(control(0), 1);
        EXPECT_EQ(writes(), (Published{{ROOM, c.setpoint, 2150}})) << c.season;
    }
}

// A step waiting for its commit when the control unit's value becomes unreadable is dropped: the commit
// writes nothing, on the temporary mode's setpoint as on the room screen's desired temperature. The same step
// with the value still there is written, once.
TEST_F(TemporaryModeTest, AStepPendingWhenTheValueBecomesUnreadableWritesNothingAtTheCommit) {
    room(ROOM).value(0x8004, 1).value(0x001D, 2100).value(0x801A, 2100);
    runTasks();
    const struct {
        const char* screen;
        unsigned state;
        vid_t shown;   // the value the control shows
        vid_t written; // where a committed step goes
        int stepped;
    } cases[] = {
        {"temporary mode", TEMPORARY_MODE, 0x801E, 0x801E, 2250},
        {"room screen", ROOM_SCREEN, 0x001D, 0x801A, 2150},
    };
    for (const auto& c : cases) {
        for (const bool lost : {false, true}) {
            SCOPED_TRACE(std::string(c.screen) + (lost ? ", value lost" : ", value kept"));
            room(ROOM).value(0x801E, 2200).value(0x001D, 2100);
            runTasks();
            openPage(c.state, ROOM);
            if (c.state == TEMPORARY_MODE) {
                choose(modeRow(), 1);
                writes();
            }
            NumericUpDown<int>* upDown = find<NumericUpDown<int>>([this](const NumericUpDown<int>& u) {
                return u.isGloballyVisible() && upOf(&u) != nullptr && upOf(&u)->isEnabled();
            });
            ASSERT_NE(upDown, nullptr);
            tap(upOf(upDown));
            tick();
            if (lost) {
                room(ROOM).invalid(c.shown);
                runTasks(2);
                EXPECT_FALSE(upDown->isKnown());
            }
            wait(1100);
            runTasks(2);
            if (lost) {
                EXPECT_TRUE(writes().empty());
                EXPECT_NE(findByText("--"), nullptr) << "shown as unknown";
            } else {
                EXPECT_EQ(writes(), (Published{{ROOM, c.written, c.stepped}}));
            }
        }
    }
}

// ---- Thermostat ----

TEST_F(RoomPagesTest, AThermostatShowsItsMeasurementsVersionsAndAssociation) {
    const struct {
        int version, build;
        const char* software;
    } versions[] = {{7, 3, "KD07b3"}, {7, 0, "KD07"}, {7, 255, "KD07"}, {-1, 3, "--"}};
    for (const auto& v : versions) {
        ObjectBuilder d = device(THERMOSTAT)
                              .text(VID_NAME, "Hall")
                              .text(0x80E4, "KD")
                              .text(0x80E3, "HW")
                              .value(0x800E, 1)
                              .value(0x80DE, static_cast<int>(ROOM))
                              .value(0x000C, 2130)
                              .value(0x002C, 85);
        if (v.version < 0) {
            d.invalid(0x800D);
        } else {
            d.value(0x800D, v.version);
        }
        d.value(0x809E, v.build);
        runTasks();
        openPage(THERMOSTAT_PAGE, THERMOSTAT);
        tap(section("More info and settings"));
        EXPECT_TRUE(shown(v.software)) << v.software;
    }
    EXPECT_TRUE(shown("Study | Peripherals | Hall"));
    EXPECT_TRUE(shown("HW01"));
    EXPECT_TRUE(shown("1530-00-0000-1312"));
    EXPECT_TRUE(shown("21.3\u00B0"));
    EXPECT_TRUE(shown("85 %"));
    EXPECT_FALSE(hasLabel("Floor temperature"));
    EXPECT_FALSE(hasLabel("Outdoor temperature"));

    // Off-line, every measurement says so.
    receive(oid_make(THERMOSTAT, 0), 0x002F, 0);
    runTasks(2);
    EXPECT_EQ(findAll<ContainedLabel>().size() > 0, true);
    int offline = 0;
    for (const ContainedLabel* l : findAll<ContainedLabel>()) {
        offline += l->getText() == "Off-line" ? 1 : 0;
    }
    EXPECT_EQ(offline, 2);
}

// A version number that cannot be read is unknown, as the tiles show it: no made-up 255 after the prefix.
TEST_F(RoomPagesTest, AThermostatsVersionThatCannotBeReadShowsDashes) {
    const struct {
        vid_t unreadable;
        const char* software;
        const char* hardware;
    } cases[] = {{0x800D, "--", "HW01"}, {0x800E, "KD07b3", "--"}};
    for (const auto& c : cases) {
        device(THERMOSTAT)
            .text(VID_NAME, "Hall")
            .text(0x80E4, "KD")
            .text(0x80E3, "HW")
            .value(0x800D, 7)
            .value(0x809E, 3)
            .value(0x800E, 1)
            .invalid(c.unreadable);
        runTasks();
        openPage(THERMOSTAT_PAGE, THERMOSTAT);
        tap(section("More info and settings"));
        for (const auto& [caption, expected] :
             {std::pair{"Software", c.software}, {"Hardware", c.hardware}}) {
            const Component* title = findByText(caption);
            ASSERT_NE(title, nullptr);
            const auto* value = find<ContainedLabel>([&](const ContainedLabel& l) {
                return l.getParent() == title->getParent() && l.getLeft() > title->getRight();
            });
            ASSERT_NE(value, nullptr);
            EXPECT_EQ(value->getText(), expected) << caption;
        }
        EXPECT_FALSE(shown("KD255b3"));
        EXPECT_FALSE(shown("HW255"));
    }
}

TEST_F(RoomPagesTest, AThermostatWithoutAKnownAssociationShowsDashes) {
    for (const int associated : {0, -1, 0x09000316}) {
        device(THERMOSTAT).text(VID_NAME, "Hall").value(0x80DE, associated);
        runTasks();
        openPage(THERMOSTAT_PAGE, THERMOSTAT);
        EXPECT_TRUE(shown("-- | Peripherals | Hall")) << associated;
        EXPECT_EQ(find<ContainedLabel>([](const ContainedLabel& l) { return l.getText() == "--"; }) !=
                      nullptr,
                  true);
    }
    // Nothing measured: the name, the association and the section only.
    std::vector<std::string> rows;
    for (const ContainedLabel* l : findAll<ContainedLabel>()) {
        if (l->getLeft() < 50 && l->isGloballyVisible() && l->getHeight() == 26) {
            rows.push_back(l->getText());
        }
    }
    EXPECT_EQ(rows, (std::vector<std::string>{"Name", "Associated to"}));
    EXPECT_TRUE(shown("Name"));
    EXPECT_TRUE(shown("More info and settings"));
}

// A device the data model has no template for still shows a row for every measurement it offers; with no
// typed value to read it through, the row says "--".
TEST_F(RoomPagesTest, AThermostatWithoutATemplateShowsTheRowsOfItsMeasurements) {
    const oid_t bare = oid_make(0x000521, 0);
    Structure.append(new ProxyObject(bare, ObjectInfo(bt_obj_info{BT_OBJ_DEVICE, 0, 0, 0}), nullptr));
    ObjectBuilder(bare)
        .text(VID_NAME, "Hall")
        .value(VID_DEVICE_STATE, BT_VTYPE_U8, 2)
        .value(0x000C, BT_VTYPE_S16_X100, 2130)
        .value(0x002C, BT_VTYPE_U8, 85);
    runTasks();
    openPage(THERMOSTAT_PAGE, bare);
    std::vector<std::pair<std::string, std::string>> rows;
    for (const ContainedLabel* l : findAll<ContainedLabel>()) {
        if (l->getLeft() < 50 && l->isGloballyVisible() && l->getHeight() == 26) {
            const auto* value = find<ContainedLabel>([&](const ContainedLabel& v) {
                return v.getParent() == l->getParent() && v.getLeft() > l->getRight();
            });
            rows.emplace_back(l->getText(), value != nullptr ? value->getText() : "");
        }
    }
    EXPECT_EQ(
        rows,
        (std::vector<std::pair<std::string, std::string>>{
            {"Name", "Hall"}, {"Associated to", "--"}, {"Air temperature", "--"}, {"Battery level", "--"}}));
    EXPECT_TRUE(shown("-- | Peripherals | Hall"));
    picturesInEveryLanguage("FormRoomThermostat_without_template", [&] {
        openPage(THERMOSTAT_PAGE, bare);
        find<DropdownButton>()->setCollapsed(true, false);
        runTasks(2);
    });
}

} // namespace
} // namespace tdx::test
