// The hardware profile: the current one found in the offered list, the change behind its confirmation, and
// the configuration screens of the profile's inputs, outputs, outdoor sensor and free relays.
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/Popup.h"
#include "SourceApp/application/controls/SwitchButton.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/gui/bif/bif.h"
#include "tests/SourceApp/application/forms/installer_fixture.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace tdx::test {
namespace {

using namespace installer;

constexpr unsigned PROFILE = 51;
constexpr unsigned CHANGE = 52;
constexpr unsigned PROCESS = 53;
constexpr unsigned CONFIGURATION = 54;
constexpr unsigned OUTDOOR = 55;
constexpr unsigned RELAYS = 56;
constexpr unsigned RELAY_EDIT = 57;
constexpr uint32_t EXPANSION = 0x000530;

class ProfileTest : public InstallerTest {
protected:
    void SetUp() override {
        InstallerTest::SetUp();
        location().value(VID_CONTROL_UNIT, CU);
        connect();
    }
    std::vector<std::string> links() const {
        std::vector<std::string> all;
        for (NavigationLink* l : findAll<NavigationLink>()) {
            all.push_back(l->getText());
        }
        return all;
    }
    // Presses the link and reports the state it asked for.
    const State& pressLink(const std::string& text) {
        reveal(find<NavigationLink>([&](const NavigationLink& l) { return l.getText() == text; }));
        runTasks(2);
        return state();
    }
};

TEST_F(ProfileTest, TheCurrentProfileIsLookedUpByItsLowByte) {
    const struct {
        std::optional<int> value;
        const char* shown;
        int checked; // position on the change screen, -1 none
    } rows[] = {
        {12, "1.0.1 District heating with DHW", 1},
        {0x10C, "1.0.1 District heating with DHW", 1},
        {5, "Unknown", -1},
        {std::nullopt, "Unknown", -1},
    };
    for (const auto& row : rows) {
        if (row.value) {
            location().value(VID_PROFILE, BT_VTYPE_U16, *row.value);
        } else {
            location().invalid(VID_PROFILE);
        }
        open(PROFILE);
        EXPECT_NE(findByText(row.shown), nullptr) << row.shown;
        EXPECT_EQ(findByText("Configure required inputs and outputs")->isEnabled(), row.checked >= 0);
        open(CHANGE);
        const std::vector<CheckButton*> checks = findAll<CheckButton>();
        ASSERT_EQ(checks.size(), 13u);
        for (size_t i = 0; i < checks.size(); ++i) {
            EXPECT_EQ(checks[i]->getChecked(), static_cast<int>(i) == row.checked) << i;
            EXPECT_EQ(checks[i]->isEnabled(), static_cast<int>(i) != row.checked) << i;
        }
        EXPECT_FALSE(nextEnabled());
    }
}

TEST_F(ProfileTest, TheCurrentProfileIsNamedAsTheChangeScreenListsItInEveryLanguage) {
    location().value(VID_PROFILE, BT_VTYPE_U8, 12);
    useCatalogues();
    for (uint8_t language = 0; language < 4; ++language) {
        speak(language);
        open(CHANGE);
        const CheckButton* current = find<CheckButton>([](const CheckButton& c) { return c.getChecked(); });
        ASSERT_NE(current, nullptr);
        const std::string listed = current->getText();
        EXPECT_EQ(listed == "1.0.1 District heating with DHW", language == 0) << "translated: " << listed;
        open(PROFILE);
        EXPECT_NE(findByText(listed), nullptr) << int{language} << ": " << listed;
    }
    speak(0);
}

// The current profile's name stands inset beside its inset caption, its lines broken evenly: a profile of
// one controller keeps its "1 ITC" together in every language, and every name stays inside its row.
TEST_F(ProfileTest, TheCurrentProfilesNameBreaksEvenlyBesideItsInsetCaption) {
    const struct {
        int id;
        const char* ending; // what the last line ends with
    } profiles[] = {{6, "1 ITC"}, {3, "1 ITC"}, {12, nullptr}, {10, nullptr}};
    useCatalogues();
    for (uint8_t language = 0; language < 4; ++language) {
        speak(language);
        for (const auto& p : profiles) {
            location().value(VID_PROFILE, BT_VTYPE_U8, p.id);
            open(PROFILE);
            const auto* caption = findByText(gettext("Current profile"));
            ASSERT_NE(caption, nullptr);
            const Container* row = caption->getParent();
            EXPECT_EQ(caption->getLeft(), row->getLeft() + 9);
            const TextFrame* name = find<TextFrame>([&](const TextFrame& f) { return f.getParent() == row; });
            ASSERT_NE(name, nullptr);
            EXPECT_GT(name->getLeft(), caption->getRight() + 1) << "inset from the white gap";
            EXPECT_LE(name->getRight(), row->getRight());
            EXPECT_LE(name->getTextHeight(), row->getHeight());
            std::vector<std::string> lines;
            const std::string& text = name->getText();
            for (size_t at = 0; at != std::string::npos;) {
                size_t end = 0;
                const size_t next =
                    bif_wrap_line(name->getFont()->getFont(), text, at, name->getWidth(), &end);
                lines.push_back(text.substr(at, end - at));
                at = next;
            }
            const std::string& last = lines.back();
            if (p.ending != nullptr) {
                EXPECT_EQ(last.substr(last.size() - std::min(last.size(), std::strlen(p.ending))), p.ending)
                    << int{language} << ": " << text;
                EXPECT_EQ(lines.size(), 2u) << text;
            }
            EXPECT_GT(last.size(), 3u) << int{language} << ": \"" << last << "\" alone";
        }
    }
    speak(0);
}

// The links of the enrolment, removal and profile menus.
TEST_F(ProfileTest, EachMenuLinkLeadsToItsStep) {
    location().value(VID_PROFILE, BT_VTYPE_U8, 12);
    expectLinksLead(
        39,
        {{"Global component", 41}, {"Component to a new room", 40}, {"Component to an existing room", 42}});
    expectLinksLead(45, {{"Global component", 46},
                         {"Component associated to a room", 47},
                         {"Room and associated components", 48}});
    expectLinksLead(PROFILE, {{"Change profile", CHANGE},
                              {"Enroll global component", 41},
                              {"Set outdoor temperature source", OUTDOOR},
                              {"Configure required inputs and outputs", CONFIGURATION},
                              {"Configure unused relays", RELAYS}});
}

TEST_F(ProfileTest, AChosenProfileIsConfirmedBeforeItIsRequested) {
    location().value(VID_PROFILE, BT_VTYPE_U8, 12);
    open(PROFILE);
    open(CHANGE);
    reveal(find<CheckButton>([](const CheckButton& c) {
        return c.getText() == "3.3.3 Heat Pump, 1 ITC, Automatic H/C change-over";
    }));
    EXPECT_TRUE(nextEnabled());
    tap(next());
    ASSERT_NE(find<Popup>(), nullptr);
    tap(findByText("Cancel"));
    EXPECT_EQ(find<Popup>(), nullptr);
    EXPECT_EQ(state().getStateId(), CHANGE);
    EXPECT_TRUE(nextEnabled());
    // A popup result that is not this screen's answer changes nothing.
    mCore.sendMessage(nullptr, MSG_POPUP_RESULT, Popup::RESULT_OK, 0, 0, 0);
    runTasks(2);
    EXPECT_EQ(state().getStateId(), CHANGE);
    tap(next());
    tap(findByText("OK"));
    runTasks(2);
    EXPECT_EQ(state().getStateId(), PROCESS);
    EXPECT_EQ(state().getP1(), 10u);
}

TEST_F(ProfileTest, TheConfigurationListsTheProfilesObjectsByKind) {
    location().value(VID_PROFILE, BT_VTYPE_U8, 12);
    object(0x02000316, BT_OBJ_INPUT, 0).text(VID_NAME, "T2");
    object(0x01000316, BT_OBJ_INPUT, 0).text(VID_NAME, "T1");
    object(0x03000316, BT_OBJ_OUTPUT, 2).text(VID_NAME, "0-10 V");
    object(0x04000316, BT_OBJ_OUTPUT, 7).text(VID_NAME, "Free relay");
    open(CONFIGURATION);
    openSections();
    EXPECT_EQ(links(), (std::vector<std::string>{"T1", "T2", "0-10 V"}));
    const State& opened = pressLink("0-10 V");
    EXPECT_EQ(opened.getStateId(), 69u);
    EXPECT_EQ(opened.getP1(), 0x03000316u);
    EXPECT_EQ(dynamic_cast<const SingleParamState<std::string>&>(opened).getParam(),
              "System | Hardware profile | Configuration | 0-10 V");
}

TEST_F(ProfileTest, TheOutdoorSensorSwitchesBetweenTheWiredOneAndAnExternalOne) {
    location().value(VID_OUTDOOR_SOURCE, BT_VTYPE_U32, CU);
    open(OUTDOOR);
    auto* sw = find<SwitchButton>();
    EXPECT_FALSE(sw->getChecked());
    tap(sw);
    EXPECT_EQ(published(), (Published{{OID_LOCATION, VID_OUTDOOR_SOURCE, 0}}));
    tap(sw);
    EXPECT_EQ(published().back(), (PublishedValue{OID_LOCATION, VID_OUTDOOR_SOURCE, static_cast<int>(CU)}));

    // Built on, the switch writes nothing.
    location().value(VID_OUTDOOR_SOURCE, BT_VTYPE_U32, 0x000522);
    open(OUTDOOR);
    EXPECT_TRUE(find<SwitchButton>()->getChecked());
    EXPECT_EQ(published().size(), 2u);

    // Without the control unit's address there is nothing to switch back to.
    location().invalid(VID_CONTROL_UNIT);
    open(OUTDOOR);
    EXPECT_FALSE(find<SwitchButton>()->isEnabled());
    find<SwitchButton>()->setChecked(false);
    runTasks(2);
    EXPECT_EQ(published().size(), 2u);
}

TEST_F(ProfileTest, FreeRelaysAreListedPerDeviceAndEdited) {
    device(CU).text(VID_NAME, "Control unit").data(VID_OBJECT_INDICES, {1, 2, 3, 4});
    object(0x01000316, BT_OBJ_OUTPUT, 7).text(VID_NAME, "R1");
    object(0x02000316, BT_OBJ_OUTPUT, 10).text(VID_NAME, "R2");
    object(0x03000316, BT_OBJ_OUTPUT, 1).text(VID_NAME, "Profile relay");
    object(0x04000316, BT_OBJ_OUTPUT, 7).text(VID_NAME, "R3").value(0x80E7, BT_VTYPE_U8, 0);
    device(EXPANSION).text(VID_NAME, "Expansion").data(VID_OBJECT_INDICES, {});
    location().oids(0x80AE, {CU, EXPANSION});
    open(RELAYS);
    openSections();
    EXPECT_EQ(textOf(*find<DropdownButton>()), "Control unit");
    EXPECT_EQ(findAll<DropdownButton>().size(), 1u);
    EXPECT_EQ(links(), (std::vector<std::string>{"R1", "R2", "R3"}));
    EXPECT_EQ(pressLink("R3").getStateId(), RELAY_EDIT);
    EXPECT_EQ(state().getP1(), 0x04000316u);

    ASSERT_NE(find<EditableDropdownRow>(), nullptr);
    ASSERT_NE(find<EditableStringRow>(), nullptr);
    EXPECT_NE(findByText("System | Hardware profile | Relays | R3"), nullptr);
}

TEST_F(ProfileTest, NoRelaysAnywhereSaysSoAndARelayEditorOfNothingGoesBack) {
    device(CU).text(VID_NAME, "Control unit").data(VID_OBJECT_INDICES, {});
    open(RELAYS);
    EXPECT_NE(findByText("There are no items to be shown"), nullptr);
    open(RELAY_EDIT, 0x09000316);
    EXPECT_EQ(state().getStateId(), RELAYS);
}

} // namespace
} // namespace tdx::test
