// The rows bound to values: the up-down row writes once after its delay and follows its value and limits, and
// the dropdown, text and date handlers write only the user's new choice while following the network.
#include "SourceApp/application/commands/DropdownToggleVisibilityItemClickHandler.h"
#include "SourceApp/application/commands/bindings/FormModel.h"
#include "SourceApp/application/commands/bindings/ProxyEditorHandlers.h"
#include "SourceApp/application/commands/bindings/ProxyUpDownRow.h"
#include "SourceApp/application/controls/DropdownMenu.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/KeyboardEditor.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/storage/values/Catalogue.h"
#include "tests/support/screen_harness.h"

#include <string>

namespace tdx::test {
namespace {

namespace I = DataModel::Implementation;

constexpr oid_t ROOM = 0x01000316;
constexpr int WIDTH = 277;

class EditorBindingsTest : public ScreenHarness {
protected:
    void SetUp() override {
        ScreenHarness::SetUp();
        mModel = std::make_unique<FormModel>();
    }
    void TearDown() override {
        blank(); // the rows go before the model they point at
        mModel.reset();
        ScreenHarness::TearDown();
    }
    IconButton* buttonOf(const Container& row) const {
        return find<IconButton>([&row](const IconButton& b) { return b.isChildOf(&row); });
    }
    void pick(const EditableDropdownRow& row, int index) {
        tap(buttonOf(row));
        const DropdownMenu* menu = row.getMenu();
        tap(menu->getLeft() + 10, menu->getTop() + index * (DropdownMenu::ITEM_HEIGHT + 1) + 13);
    }
    // The thermostat-lock row as the dropdown factory builds it: one item per option, the current one chosen.
    EditableDropdownRow* lockRow(Container* parent) {
        const auto& d = I::Room::ThermAccessLevel;
        auto* row = new EditableDropdownRow(parent, 0, 0, WIDTH, "Lock", 100);
        const int current = value(ROOM, d.vid).value_or(-1);
        for (uint8_t i = 0; i < d.optionCount; ++i) {
            row->addItem(new DropdownItemImpl(d.options[i].text, d.options[i].value),
                         static_cast<int>(d.options[i].value) == current);
        }
        mLockOvi = EnumOvi(ROOM, d.vid, d.vtype, &d);
        return row;
    }

    std::unique_ptr<FormModel> mModel;
    EnumOvi mLockOvi{ROOM, 0, BT_VTYPE_U8, nullptr};
};

TEST_F(EditorBindingsTest, TheUpDownRowWritesOnceAfterItsDelayAndFollowsItsValueAndLimits) {
    const auto& eco = I::Room::TempCtrlHeatTempSetEco; // limits follow 0x8018 and 0x8019, step 50
    room(ROOM).value(0x8018, 1500).value(0x8019, 2500).value(eco.vid, 2000);
    connect();
    auto* row =
        new ProxyUpDownRow(blank(), 0, 20, WIDTH, 26, SignedOvi(ROOM, eco.vid, eco.vtype, &eco), *mModel, "");
    runTasks();
    screenshot("proxy_up_down_row");
    auto* title = static_cast<ContainedLabel*>(row->getChildren().front());
    EXPECT_EQ(title->getText(), "Eco temperature") << "an empty title shows the value's name";
    EXPECT_NE(findByText("20.0\u00B0"), nullptr);

    const Component* up = row->getUpDown()->getChildren().at(1);
    tap(up);
    tick();
    tap(up);
    tick();
    EXPECT_NE(findByText("21.0\u00B0"), nullptr);
    EXPECT_EQ(title->getFaceColor(), ProxyUpDownRow::PENDING_COLOUR);
    EXPECT_TRUE(published().empty());
    wait(1000);
    EXPECT_EQ(published(), (Published{{ROOM, eco.vid, 2100}}));
    EXPECT_EQ(title->getFaceColor(), 0u) << "written: black again";

    receive(ROOM, 0x8019, 2050);
    runTasks();
    EXPECT_NE(findByText("20.5\u00B0"), nullptr) << "the maximum followed its value";
    receive(ROOM, eco.vid, 1800);
    runTasks();
    EXPECT_NE(findByText("18.0\u00B0"), nullptr);
    EXPECT_EQ(published().size(), 1u) << "following writes nothing";
}

TEST_F(EditorBindingsTest, TheDropdownHandlerWritesANewChoiceOnceAndFollowsTheNetwork) {
    room(ROOM).value(I::Room::ThermAccessLevel.vid, 8); // "On"
    auto* row = lockRow(blank());
    row->setOnItemClickCommand(std::make_unique<ProxyDropdownEditorHandler>(row, mLockOvi));
    runTasks();
    pick(*row, 0);
    EXPECT_TRUE(published().empty()) << "the choice in force";
    pick(*row, 2);
    EXPECT_EQ(published(), (Published{{ROOM, 0x8008, 16}}));

    receive(ROOM, 0x8008, 32);
    runTasks();
    EXPECT_EQ(row->getSelectedItem()->getTitle(), "Off");
    EXPECT_EQ(published().size(), 1u);

    tap(buttonOf(*row)); // open: the list is left alone
    receive(ROOM, 0x8008, 8);
    runTasks();
    EXPECT_EQ(row->getSelectedItem()->getTitle(), "Off");
}

TEST_F(EditorBindingsTest, TheToggleHandlerShowsThePartsOfThePickedItemThenStoresIt) {
    room(ROOM).value(I::Room::ThermAccessLevel.vid, 8);
    Form* form = blank();
    auto* row = lockRow(form);
    auto* off = new ContainedLabel(form, 0, 100, 100, 20, &bif_myriad12, "off part");
    auto* hotel = new ContainedLabel(form, 0, 130, 100, 20, &bif_myriad12, "hotel part");
    auto handler = std::make_unique<DropdownToggleVisibilityItemClickHandler>(
        row, std::make_unique<ProxyDropdownEditorHandler>(row, mLockOvi));
    handler->add(off, 1);
    handler->add(hotel, 2);
    row->setOnItemClickCommand(std::move(handler));
    runTasks();
    pick(*row, 1);
    EXPECT_TRUE(off->isVisible());
    EXPECT_FALSE(hotel->isVisible());
    EXPECT_EQ(published(), (Published{{ROOM, 0x8008, 32}}));
    pick(*row, 2);
    EXPECT_FALSE(off->isVisible());
    EXPECT_TRUE(hotel->isVisible());
}

TEST_F(EditorBindingsTest, TheTextHandlerWritesAnEditedNameAndFollowsTheNetwork) {
    const auto& name = I::General::ObjectName;
    room(ROOM).text(name.vid, "Kitchen");
    auto* row = new EditableStringRow(blank(), 0, 0, WIDTH, "Name", "Kitchen");
    row->setOnAcceptCommand(
        std::make_unique<ProxyStringEditorHandler>(row, DataOvi(ROOM, name.vid, name.vtype, &name)));
    runTasks();
    auto accept = [&](const char* typed) {
        tap(buttonOf(*row));
        for (const char* c = typed; *c != '\0'; ++c) {
            mCore.sendMessage(nullptr, MSG_KEY, *c, KEY_CHARACTER, 0, 0);
        }
        mCore.sendMessage(nullptr, MSG_KEY, KeyboardEditor::KEY_ENTER, 0, 0, 0);
        runTasks(2);
    };
    accept("");
    EXPECT_TRUE(published().empty()) << "the same name is not written again";
    accept(" 2");
    EXPECT_EQ(published(), (Published{{ROOM, name.vid, std::string("Kitchen 2")}}));
    room(ROOM).text(name.vid, "Bath");
    runTasks();
    EXPECT_EQ(row->getString(), "Bath");
}

TEST_F(EditorBindingsTest, TheDateHandlerWritesTheAcceptedMoment) {
    const auto& end = I::Location::VacationEndTime;
    const int start = static_cast<int>(START_TIME);
    location().value(end.vid, start);
    auto* row = new EditableDatePickerRow(blank(), 0, 0, WIDTH, "Until", Date(START_TIME, 0));
    row->setOnAcceptCommand(
        std::make_unique<ProxyDatePickerHandler>(row, UnsignedOvi(OID_LOCATION, end.vid, end.vtype, &end)));
    runTasks();
    tap(buttonOf(*row));
    tap(findAll<IconButton>().at(1)); // the day's up arrow
    tap(findByText("OK"));
    EXPECT_EQ(published(), (Published{{OID_LOCATION, end.vid, start + 86400}}));
}

} // namespace
} // namespace tdx::test
