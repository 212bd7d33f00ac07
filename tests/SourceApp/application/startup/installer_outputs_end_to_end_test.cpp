// The installer's editors of hot water, its tank, outputs and the district-heating unit in the whole
// application against the simulated control unit: opened as a user opens them, one change reaches the control
// unit once.
#include "sim_app_fixture.h"

#include "SourceApp/application/commands/bindings/ProxyUpDownRow.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/KeyboardEditor.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/SwitchButton.h"
#include "SourceApp/application/controls/Widget.h"
#include "SourceApp/gui/core/layout/Viewport.h"
#include "SourceApp/gui/core/state/State.h"
#include "tools/simcu/sim_behaviour.h"

#include <string>

namespace tdx::test {
namespace {

constexpr unsigned SYSTEM = 11;
constexpr unsigned OVERVIEW = 71;
constexpr oid_t HOT_WATER = 0x0A000316;
constexpr oid_t TANK = 0x0B000316;
constexpr oid_t PUMP = 0x11000316;
constexpr oid_t CIRCUIT_OUTPUT = 0x12000316;

class InstallerEditors : public SynchronisedEndToEnd {
protected:
    // From the system menu's functions to the tile of the object: its editor opens.
    void openFromSystemMenu(const char* function, const char* tile) {
        open(SYSTEM);
        tap(find<DropdownButton>()); // "Functions", the first group
        tap(withText<NavigationLink>(function));
        ASSERT_EQ(stateId(), OVERVIEW) << function;
        tapTile(tile);
    }
    void tapTile(const char* heading) {
        Widget* tile =
            find<Widget>([&](const Widget& w) { return w.getHeadingLabel()->getText() == heading; });
        ASSERT_NE(tile, nullptr) << heading;
        tap(tile->getButton());
    }
    static ProxyUpDownRow* upDown(const std::string& title) {
        return find<ProxyUpDownRow>([&](const ProxyUpDownRow& row) {
            return static_cast<const ContainedLabel*>(row.getChildren().front())->getText() == title;
        });
    }
    void stepUp(const std::string& title) {
        ProxyUpDownRow* row = upDown(title);
        ASSERT_NE(row, nullptr) << title;
        // Scrolled to the top of the page, as the user scrolls to it.
        auto* viewport = find<Viewport>();
        viewport->setVerticalPosition(row->getTop() - viewport->getContent()->getTop());
        run(100);
        tap(row->getUpDown()->getChildren().at(1));
        run(ProxyUpDownRow::COMMIT_DELAY_MS + 1000);
    }
    // What the control unit took in for the value, in order.
    std::vector<int64_t> received(oid_t oid, vid_t vid) const {
        std::vector<int64_t> values;
        for (const sim::SimPublish& p : mSim.received_publishes()) {
            if (p.oid == oid && p.vid == vid) {
                values.push_back(p.value.number());
            }
        }
        return values;
    }
    static std::string screenName() { return core().getScreen()->getName(); }
};

TEST_F(InstallerEditors, ATemperatureStepsUpInTheEditorsOpenedFromTheSystemMenu) {
    const struct {
        const char* function;
        const char* tile;
        const char* editor;
        bool unfoldFirstGroup; // "Temperature settings"
        const char* row;
        oid_t oid;
        vid_t vid;
        int64_t raised;
    } rows[] = {
        {"Domestic hot water", "Hot water", "FormDhwEdit", false, "Set temperature", HOT_WATER, 0x8094, 5100},
        {"Hot water storage tank", "Hot-water tank", "FormDHWTankEdit", true, "Eco temperature", TANK, 0x8114,
         4600},
    };
    for (const auto& row : rows) {
        openFromSystemMenu(row.function, row.tile);
        ASSERT_EQ(screenName(), row.editor);
        if (row.unfoldFirstGroup) {
            tap(find<DropdownButton>());
        }
        stepUp(row.row);
        EXPECT_EQ(received(row.oid, row.vid), (std::vector<int64_t>{row.raised})) << row.editor;
    }
}

TEST_F(InstallerEditors, AManualOutputSwitchedOffFromItsTileAndTheSwitchFollowsTheOutput) {
    sim::SimBehaviour life(mSim);
    mSim.setReceiveListener(
        [&life](uint8_t cmd, const std::vector<uint8_t>& payload) { life.received(cmd, payload); });
    open(OVERVIEW, BT_OBJ_OUTPUT);
    tapTile("Circulation pump");
    ASSERT_EQ(screenName(), "FormOutput");
    auto* output = find<SwitchButton>();
    ASSERT_TRUE(output->getChecked());
    tap(output);
    run(1000);
    EXPECT_EQ(received(PUMP, 0x80F0), (std::vector<int64_t>{0}));
    EXPECT_FALSE(output->getChecked());
    ASSERT_TRUE(runUntil([&] { return holds(mSim, PUMP, 0x004C, 0); }, 1000));
    mSim.setReceiveListener(nullptr);
}

TEST_F(InstallerEditors, TheCircuitsAnalogOutputThreshold) {
    core().changeState(SingleParamState<std::string>(69, CIRCUIT_OUTPUT, 0, 0, 0, "Analog output"));
    run(200);
    ASSERT_EQ(screenName(), "FormAnalogEdit");
    stepUp("Temperature threshold");
    EXPECT_EQ(received(CIRCUIT_OUTPUT, 0x80A3), (std::vector<int64_t>{1600}));
}

TEST_F(InstallerEditors, TheDistrictHeatingUnitsName) {
    open(73, HOT_WATER);
    ASSERT_EQ(screenName(), "FormMireloEdit");
    auto* name = find<EditableStringRow>();
    ASSERT_NE(name, nullptr);
    tap(find<IconButton>([&](const IconButton& b) { return b.isChildOf(name); }));
    for (const char c : std::string(" A")) {
        core().sendMessage(nullptr, MSG_KEY, c, KEY_CHARACTER, 0, 0);
    }
    core().sendMessage(nullptr, MSG_KEY, KeyboardEditor::KEY_ENTER, 0, 0, 0);
    run(1000);
    size_t renames = 0;
    for (const sim::SimPublish& p : mSim.received_publishes()) {
        if (p.oid == HOT_WATER && p.vid == VID_NAME) {
            ++renames;
            EXPECT_EQ(std::string(p.value.bytes.begin(), p.value.bytes.end()), "Hot water A");
        }
    }
    EXPECT_EQ(renames, 1u);
}

} // namespace
} // namespace tdx::test
