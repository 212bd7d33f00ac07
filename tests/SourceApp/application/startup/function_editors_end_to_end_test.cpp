// The function editors in the whole application against the simulated control unit and its installation's
// life: each editor opened the way an installer goes, one change reaching the control unit once, and the
// control unit's answer to a new room list reaching the screens.
#include "sim_app_fixture.h"

#include "SourceApp/application/commands/bindings/ProxySwitchButton.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/Widget.h"
#include "SourceApp/application/forms/VexalForm.h"
#include "SourceApp/application/forms/installer/FormItcRooms.h"
#include "SourceApp/big_table/proxytab.h"

#include <memory>

namespace tdx::test {
namespace {

constexpr unsigned SYSTEM = 11;
constexpr uint32_t ITC = 0x08000316;
constexpr uint32_t HCC = 0x09000316;
constexpr uint32_t LIVING = 0x01000316;
constexpr uint32_t BEDROOM = 0x02000316;

class FunctionEditors : public LivingEndToEnd {
protected:
    void reveal(const Component* c) {
        static_cast<VexalForm*>(core().getScreen())->scrollTo(c, FOCUS_TOP, c->getTop(), c->getBottom());
        run(100);
    }
    // System menu, its functions, the link of the kind, then the function's tile.
    void openFromSystemMenu(const char* link, uint32_t function) {
        open(SYSTEM);
        tap(find<DropdownButton>());
        tap(withText<NavigationLink>(link));
        const Widget* tile = find<Widget>([&](const Widget& w) { return w.tag == function; });
        ASSERT_NE(tile, nullptr);
        tap(tile->getButton());
    }
    // Unfolds the group and flips the first switch in it.
    void flipSwitchIn(size_t group) {
        std::vector<DropdownButton*> headers;
        for (Component* c : components()) {
            if (auto* h = dynamic_cast<DropdownButton*>(c)) {
                headers.push_back(h);
            }
        }
        reveal(headers.at(group));
        tap(headers.at(group));
        ProxySwitchButton* flip = find<ProxySwitchButton>();
        ASSERT_NE(flip, nullptr);
        reveal(flip);
        tap(flip);
        run(1000);
    }
};

TEST_F(FunctionEditors, ASwitchInAnEditorsGroupReachesTheControlUnitOnce) {
    const struct {
        const char* link;
        uint32_t function;
        const char* editor;
        size_t group;
        uint16_t vid;
        int64_t flipped;
    } rows[] = {
        {"Inlet temperature controller", ITC, "FormItcEdit", 3, 0x80CF,
         1}, // overview, heat curve, limiter, optimisation
        {"Heating/Cooling circuits", HCC, "FormHccEdit", 2, 0x80F9, 0}, // overview, heat curve, cut-off
    };
    for (const auto& row : rows) {
        openFromSystemMenu(row.link, row.function);
        ASSERT_EQ(core().getScreen()->getName(), row.editor);
        const size_t before = publishesOf(row.function, row.vid);
        flipSwitchIn(row.group);
        EXPECT_EQ(publishesOf(row.function, row.vid) - before, 1u) << row.editor;
        EXPECT_EQ(heldNumber(mSim, row.function, row.vid), row.flipped) << row.editor;
    }
}

TEST_F(FunctionEditors, AnUntickedRoomLeavesTheCircuitAndBecomesFreeForTheController) {
    openFromSystemMenu("Heating/Cooling circuits", HCC);
    const auto* rooms = withText<NavigationLink>("Room assignment for this circuit");
    ASSERT_NE(rooms, nullptr);
    reveal(rooms);
    tap(rooms);
    ASSERT_EQ(core().getScreen()->getName(), "FormItcRooms");
    run(1000);
    EXPECT_EQ(publishesOf(HCC, 0x80B8), 0u) << "opening writes nothing";

    tap(find<FormItcRooms::RoomButton>(
        [](const FormItcRooms::RoomButton& b) { return b.getRoom() == BEDROOM; }));
    ASSERT_TRUE(runUntil([&] { return publishesOf(HCC, 0x80B8) == 1; }, 3000));
    EXPECT_EQ(heldValue(mSim, HCC, 0x80B8).bytes, (std::vector<uint8_t>{0x16, 0x03, 0x00, 0x01}));
    // The control unit frees the room, and the display hears of it.
    ASSERT_TRUE(runUntil([] { return pt_read_int(BEDROOM, 0x810C) == std::nullopt; }, 3000));
    EXPECT_EQ(pt_read_int(LIVING, 0x810C), std::optional<int>(static_cast<int>(HCC)));
    run(1000);
    EXPECT_EQ(publishesOf(HCC, 0x80B8), 1u);

    open(FormItcRooms::STATE_ID, ITC);
    const auto* bedroom = find<FormItcRooms::RoomButton>(
        [](const FormItcRooms::RoomButton& b) { return b.getRoom() == BEDROOM; });
    ASSERT_NE(bedroom, nullptr);
    EXPECT_TRUE(bedroom->isEnabled());
    EXPECT_FALSE(find<FormItcRooms::RoomButton>([](const FormItcRooms::RoomButton& b) {
                     return b.getRoom() == LIVING;
                 })->isEnabled());
}

TEST_F(FunctionEditors, TheHeatCurveOpensFromTheCircuit) {
    openFromSystemMenu("Heating/Cooling circuits", HCC);
    const auto* curve = withText<NavigationLink>("See heat curve");
    ASSERT_NE(curve, nullptr);
    tap(curve);
    EXPECT_EQ(core().getScreen()->getName(), "FormHeatCurve");
    EXPECT_EQ(core().getStateManager().getState().getP1(), HCC);
}

} // namespace
} // namespace tdx::test
