// The system tab: which function links an installation shows, where each link leads, the control unit's
// information and its update.
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <string>
#include <vector>

namespace tdx::test {
namespace {

constexpr unsigned SYSTEM = 11;
constexpr vid_t VID_CONTROL_UNIT = 0x80DC;

class SystemMenuTest : public FormsTest {
protected:
    void openSections() {
        for (DropdownButton* header : findAll<DropdownButton>()) {
            tap(header);
        }
    }
    std::vector<std::string> functionLinks() const {
        std::vector<std::string> texts;
        const std::vector<DropdownButton*> headers = findAll<DropdownButton>(); // functions, actions
        for (NavigationLink* link : findAll<NavigationLink>()) {
            if (link->getTop() > headers.at(0)->getBottom() && link->getTop() < headers.at(1)->getTop()) {
                texts.push_back(link->getText());
            }
        }
        return texts;
    }
    // Opens the system tab with the link in sight: top-level links show at once, the others in their section.
    void reveal(const std::string& text) {
        open(SYSTEM);
        for (size_t section = 0; findByText(text) == nullptr && section < 2; ++section) {
            open(SYSTEM);
            tap(findAll<DropdownButton>().at(section));
        }
    }
    // Presses the link and reports the state that followed (its id and first parameter), then lets go.
    std::pair<unsigned, unsigned> pressLink(const std::string& text) {
        const Component* link = findByText(text);
        if (link == nullptr) {
            ADD_FAILURE() << "no link " << text;
            return {};
        }
        const Box box = link->getVisibleBox();
        press(box.x1 + 20, box.y1 + 10);
        runTasks(2);
        const std::pair<unsigned, unsigned> reached{state().getStateId(), state().getP1()};
        release();
        runTasks(2);
        return reached;
    }
};

TEST_F(SystemMenuTest, FunctionsListOneLinkPerObjectTypePresent) {
    const struct {
        std::vector<uint8_t> types;
        std::vector<std::string> links;
    } cases[] = {
        {{}, {}},
        {{BT_OBJ_HCC, BT_OBJ_HCC}, {"Heating/Cooling circuits"}},
        {{BT_OBJ_ITC, BT_OBJ_DHW_TANK, BT_OBJ_ROOM},
         {"Hot water storage tank", "Inlet temperature controller"}},
        {{BT_OBJ_ITC, BT_OBJ_HCC, BT_OBJ_DHW_TANK, BT_OBJ_DHW},
         {"Domestic hot water", "Hot water storage tank", "Heating/Cooling circuits",
          "Inlet temperature controller"}},
    };
    for (const auto& c : cases) {
        Structure.clear();
        oid_t oid = 0x01000316;
        for (const uint8_t type : c.types) {
            object(oid, type);
            oid += 0x01000000;
        }
        open(SYSTEM);
        openSections();
        EXPECT_EQ(functionLinks(), c.links) << c.types.size() << " objects";
    }
}

TEST_F(SystemMenuTest, EveryLinkLeadsToItsStateAndOnlyTheGlobalPeripheralsWaitForTheRelease) {
    object(0x01000316, BT_OBJ_HCC);
    device(CONTROL_UNIT);
    location().value(VID_CONTROL_UNIT, CONTROL_UNIT);
    runTasks();
    const struct {
        const char* text;
        unsigned state;
        unsigned p1;
    } cases[] = {
        {"Heating/Cooling circuits", 71, BT_OBJ_HCC},
        {"Enroll components", 39, 0},
        {"Remove components", 45, 0},
        {"Configuration backup & restore", 26, 0},
        {"System information", 23, CONTROL_UNIT},
        {"Hardware profile", 51, 0},
        {"Show global peripherals", SYSTEM, 0}, // not yet: on the press
    };
    for (const auto& c : cases) {
        reveal(c.text);
        EXPECT_EQ(pressLink(c.text), std::make_pair(c.state, c.p1)) << c.text;
    }
    open(SYSTEM);
    tap(findByText("Show global peripherals"));
    runTasks();
    EXPECT_EQ(state().getStateId(), 60u);
    EXPECT_EQ(state().getP1(), OID_LOCATION);
}

TEST_F(SystemMenuTest, SystemInformationIsEnabledOnlyWithAValidControlUnitId) {
    enum Given { NoLocation, NoValue, NoValidValue, AllOnes, AnId };
    const struct {
        Given given;
        bool enabled;
    } cases[] = {
        {NoLocation, false}, {NoValue, false}, {NoValidValue, false}, {AllOnes, false}, {AnId, true}};
    for (const auto& c : cases) {
        Structure.clear();
        proxytab_init();
        if (c.given != NoLocation) {
            ObjectBuilder unit = location();
            if (c.given == NoValidValue) {
                unit.invalid(VID_CONTROL_UNIT);
            } else if (c.given != NoValue) {
                unit.value(VID_CONTROL_UNIT, BT_VTYPE_U32, c.given == AllOnes ? -1 : 0x316);
            }
        }
        open(SYSTEM);
        const Component* link = findByText("System information");
        ASSERT_NE(link, nullptr) << c.given;
        EXPECT_EQ(link->isEnabled(), c.enabled) << c.given;
    }
}

TEST_F(SystemMenuTest, UpdateControlUnitStartsOnceAndOnlyWhileConnected) {
    reveal("Update control unit");
    pressLink("Update control unit");
    EXPECT_EQ(updates().getProcess(), nullptr) << "no control unit to update before a connection";
    EXPECT_NE(trace().find("not connected"), std::string::npos);

    connect(0x7F000316); // the owner as the client reports it, high byte and all
    reveal("Update control unit");
    pressLink("Update control unit");
    UpdateProcess* running = updates().getProcess();
    ASSERT_NE(running, nullptr);
    reveal("Update control unit");
    pressLink("Update control unit");
    EXPECT_EQ(updates().getProcess(), running) << "a second press leaves the running update alone";
}

// A finger held on the link presses it again and again: a press repeated once the control unit is there
// starts the update that the first press could not.
TEST_F(SystemMenuTest, AFingerHeldOnUpdateControlUnitStartsItOnceConnected) {
    reveal("Update control unit");
    const Box box = findByText("Update control unit")->getVisibleBox();
    press(box.x1 + 20, box.y1 + 10);
    ASSERT_EQ(updates().getProcess(), nullptr);
    connect(0x7F000316);
    for (int ticks = 0; ticks < 40 && updates().getProcess() == nullptr; ++ticks) {
        tick();
    }
    EXPECT_NE(updates().getProcess(), nullptr) << "the repeated press was not taken";
    release();
}

TEST_F(DefaultInstallationTest, SystemScreen) {
    loadDefaultInstallation();
    runTasks();
    const auto showAll = [this] {
        open(SYSTEM);
        for (DropdownButton* header : findAll<DropdownButton>()) {
            tap(header);
        }
    };
    picturesInEveryLanguage("FormSystem", showAll);
    showAll();
    // No link's text runs into the end of its text area, where a cut one ends in an ellipsis (its last ink
    // three columns inside).
    for (const NavigationLink* link : findAll<NavigationLink>()) {
        const Box box = link->getVisibleBox();
        const int end = box.x2 - NavigationLink::BUTTON_WIDTH - 5;
        const Box ink = inkIn(Box::fromCorners(box.x1 + 1, box.y1 + 1, end, box.y2 - 1), colour::CONTROL);
        EXPECT_LT(ink.x2, end - 3) << link->getText();
    }
    EXPECT_TRUE(findByText("System information")->isEnabled());
    EXPECT_NE(findByText("Inlet temperature controller"), nullptr);
}

} // namespace
} // namespace tdx::test
