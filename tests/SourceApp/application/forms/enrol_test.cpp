// The enrolment wizard as an installer meets it: the kind of component, where it goes, its serial number; and
// the learn list that the control unit sees follow each choice.
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/SerialNumberEditor.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "tests/SourceApp/application/forms/installer_fixture.h"

namespace tdx::test {
namespace {

using namespace installer;

constexpr unsigned SYSTEM = 11;
constexpr unsigned ENROL = 39;
constexpr unsigned INTO_NEW = 40;
constexpr unsigned INTO_LOCATION = 41;
constexpr unsigned INTO_EXISTING = 42;
constexpr unsigned SERIAL = 43;
constexpr unsigned PROCESS = 44;
constexpr uint32_t LIVING = 0x01000316;
constexpr uint32_t BEDROOM = 0x02000316;
constexpr uint32_t HEAD_1 = 0x03000316;
constexpr uint32_t HEAD_2 = 0x04000316;
constexpr uint32_t TAKEN_HEAD = 0x05000316;
constexpr uint32_t RELAY = 0x06000316;

class EnrolTest : public InstallerTest {
protected:
    void SetUp() override {
        InstallerTest::SetUp();
        location().value(VID_CONTROL_UNIT, CU);
        connect();
    }
    // The control unit with two rooms, two free thermoheads, a taken one and a relay.
    void controlUnitWithOutputs() {
        device(CU).text(VID_NAME, "Control unit").data(VID_OBJECT_INDICES, {1, 2, 3, 4, 5, 6});
        room(LIVING).text(VID_NAME, "Living room");
        room(BEDROOM).text(VID_NAME, "Bedroom");
        object(HEAD_1, BT_OBJ_OUTPUT, 6).text(VID_NAME, "Head 1");
        object(HEAD_2, BT_OBJ_OUTPUT, 0).text(VID_NAME, "Head 2");
        object(TAKEN_HEAD, BT_OBJ_OUTPUT, 6).text(VID_NAME, "Head 3").oids(VID_OUTPUT_USE, {LIVING});
        object(RELAY, BT_OBJ_OUTPUT, 7).text(VID_NAME, "Relay");
    }
    CheckButton* check(const std::string& text) const {
        return find<CheckButton>([&](const CheckButton& c) { return textOf(c) == text; });
    }
    void type(const std::string& keys) {
        auto* editor = find<SerialNumberEditor>();
        for (const char c : keys) {
            if (c == '<') {
                editor->handleBackspace();
            } else {
                editor->handleKeyPress(c);
            }
            runTasks();
        }
    }
    Component* hint() const { return findByText("Serial number must be in format 1530-XX-XXXX-XXXX"); }
};

// The user types at once: the field and every key show whole as the page opens, under the heading, the
// explanation and the sticker, each whole too, in every language.
TEST_F(EnrolTest, TheSerialNumberPageOpensWithTheEditorAndEveryKeyInView) {
    useCatalogues();
    for (uint8_t language = 0; language < 4; ++language) {
        speak(language);
        openWith(SERIAL, {CU});
        const auto* editor = find<SerialNumberEditor>();
        ASSERT_NE(editor, nullptr);
        ASSERT_FALSE(editor->getChildren().empty());
        for (const Component* key : editor->getChildren()) {
            EXPECT_EQ(key->getVisibleBox(), key->getBoundingBox()) << int{language} << " " << key->getName();
        }
        const std::vector<const Component*> above = {findByText(gettext("Enter component's serial number")),
                                                     find<TextFrame>(), find<SerialNumberSticker>()};
        for (const Component* shown : above) {
            ASSERT_NE(shown, nullptr);
            EXPECT_EQ(shown->getVisibleBox(), shown->getBoundingBox())
                << int{language} << " " << shown->getName();
        }
        expectNoLabelCut("FormEnrollEnterSerial");
    }
    speak(0);
}

TEST_F(EnrolTest, AGlobalComponentIsLearnedIntoTheControlUnitAndTheListGoesOnWithNext) {
    open(ENROL);
    open(INTO_LOCATION);
    EXPECT_EQ(lastLearnList(), bytesOf({CU}));
    tapNext();
    EXPECT_EQ(state().getStateId(), SERIAL);
    EXPECT_EQ(handed(), (Ids{CU}));
    // The target's destructor ran before the serial screen wrote: the list stands.
    EXPECT_EQ(lastLearnList(), bytesOf({CU}));

    // Next takes the control unit the location names when it is pressed.
    const uint32_t otherUnit = 0x000317;
    open(SYSTEM);
    open(INTO_LOCATION);
    location().value(VID_CONTROL_UNIT, static_cast<int>(otherUnit));
    runTasks(2);
    tapNext();
    EXPECT_EQ(state().getStateId(), SERIAL);
    EXPECT_EQ(handed(), (Ids{otherUnit}));
    EXPECT_EQ(lastLearnList(), bytesOf({otherUnit}));
    // Gone by then: nothing is handed on.
    open(SYSTEM);
    open(INTO_LOCATION);
    location().invalid(VID_CONTROL_UNIT);
    runTasks(2);
    tapNext();
    EXPECT_EQ(state().getStateId(), INTO_LOCATION);
    EXPECT_FALSE(nextEnabled());
    location().value(VID_CONTROL_UNIT, CU);

    // Without the control unit's address nothing is learned and Next stays off.
    open(SYSTEM); // the serial step withdraws its list as it goes
    location().invalid(VID_CONTROL_UNIT);
    const size_t writes = learnListWrites();
    open(INTO_LOCATION);
    EXPECT_EQ(learnListWrites(), writes);
    EXPECT_FALSE(nextEnabled());
}

TEST_F(EnrolTest, LeavingByHomeOrTheAlarmButtonWithdrawsTheList) {
    for (const unsigned target : {INTO_LOCATION, SERIAL}) {
        openWith(target, {CU});
        ASSERT_EQ(lastLearnList(), bytesOf({CU}));
        mCore.defaultState();
        runTasks(2);
        EXPECT_EQ(lastLearnList(), std::nullopt) << target;
        openWith(target, {CU});
        mCore.changeState(7, 0, 0, 0, 0);
        runTasks(2);
        EXPECT_EQ(lastLearnList(), std::nullopt) << target;
    }
}

TEST_F(EnrolTest, FreeThermoheadsMakeTheNewRoomAndTheListFollowsTheChecks) {
    controlUnitWithOutputs();
    open(INTO_NEW);
    openSections();
    EXPECT_EQ(textOf(*findAll<DropdownButton>().at(0)), "Control unit");
    ASSERT_NE(check("Head 1"), nullptr);
    EXPECT_TRUE(check("Head 2")->isEnabled());
    EXPECT_FALSE(check("Head 3")->isEnabled());
    EXPECT_EQ(check("Relay"), nullptr);
    EXPECT_FALSE(nextEnabled());

    tap(check("Head 1"));
    tap(check("Head 2"));
    EXPECT_EQ(lastLearnList(), bytesOf({HEAD_1, HEAD_2}));
    tap(check("Head 1"));
    EXPECT_EQ(lastLearnList(), bytesOf({HEAD_2}));
    EXPECT_TRUE(nextEnabled());
    tap(check("Head 2"));
    EXPECT_EQ(lastLearnList(), std::nullopt);
    EXPECT_FALSE(nextEnabled());

    tap(check("Head 2"));
    tapNext();
    EXPECT_EQ(handed(), (Ids{HEAD_2}));
}

TEST_F(EnrolTest, SeventyCheckedOutputsGoOutAndOnAsTheFirstSixtyFour) {
    std::vector<uint8_t> indices;
    for (uint8_t i = 1; i <= 70; ++i) {
        indices.push_back(i);
        object(static_cast<uint32_t>(i) << 24 | CU, BT_OBJ_OUTPUT, 6).text(VID_NAME, "H" + std::to_string(i));
    }
    device(CU).text(VID_NAME, "Control unit").data(VID_OBJECT_INDICES, indices);
    open(INTO_NEW);
    for (CheckButton* c : findAll<CheckButton>()) {
        c->setChecked(true);
    }
    runTasks(2);
    std::vector<uint32_t> first;
    for (uint32_t i = 1; i <= 64; ++i) {
        first.push_back(i << 24 | CU);
    }
    EXPECT_EQ(lastLearnList(), bytesOf(first));
    next()->setEnabled(true);
    tapNext();
    EXPECT_EQ(handed(), first);
}

// Address 0 and the network's "all" address 0xFFFFFF name no device: neither as a global component nor as the
// control unit is such an id offered or written into the learn list.
TEST_F(EnrolTest, IdsThatNameNoDeviceAreNeitherOfferedNorLearned) {
    device(0).text(VID_NAME, "Nobody").data(VID_OBJECT_INDICES, {3});
    object(0x03000000, BT_OBJ_OUTPUT, 6).text(VID_NAME, "Head 0");
    controlUnitWithOutputs();
    location().oids(VID_GLOBAL_COMPONENTS, {0, NO_ID, 0x00FFFFFF});
    runTasks(2);
    open(INTO_NEW);
    std::vector<std::string> sections;
    for (const DropdownButton* section : findAll<DropdownButton>()) {
        sections.push_back(textOf(*section).value_or(""));
    }
    EXPECT_EQ(sections, std::vector<std::string>{"Control unit"});
    EXPECT_EQ(check("Head 0"), nullptr);

    for (const uint32_t cu : {0x00000000u, 0x00FFFFFFu, 0x07000000u}) {
        location().value(VID_CONTROL_UNIT, static_cast<int>(cu));
        runTasks(2);
        open(INTO_LOCATION);
        EXPECT_FALSE(nextEnabled()) << cu;
        tapNext();
        EXPECT_EQ(state().getStateId(), INTO_LOCATION) << cu;
    }
    for (const PublishedValue& v : published()) {
        EXPECT_FALSE(v.vid == VID_LEARN_LIST && v.valid) << "a learn list was written";
    }
}

TEST_F(EnrolTest, OneRoomIsChosenForTheThermostatAndNoRoomsSaySo) {
    controlUnitWithOutputs();
    open(INTO_EXISTING);
    EXPECT_FALSE(nextEnabled());
    EXPECT_EQ(findByText("There are no rooms at this moment"), nullptr);
    tap(check("Living room"));
    tap(check("Bedroom"));
    EXPECT_FALSE(check("Living room")->getChecked());
    EXPECT_EQ(lastLearnList(), bytesOf({BEDROOM}));
    tapNext();
    EXPECT_EQ(handed(), (Ids{BEDROOM}));

    Structure.clear();
    proxytab_init();
    location().value(VID_CONTROL_UNIT, CU);
    device(CU).text(VID_NAME, "Control unit").data(VID_OBJECT_INDICES, {});
    open(INTO_EXISTING);
    EXPECT_NE(findByText("There are no rooms at this moment"), nullptr);
    EXPECT_FALSE(nextEnabled());
    EXPECT_EQ(lastLearnList(), std::nullopt);
}

TEST_F(EnrolTest, TheSerialNumberIsTypedAndHandedOnWithTheList) {
    openWith(SERIAL, {LIVING, LIVING, BEDROOM});
    EXPECT_EQ(lastLearnList(), bytesOf({LIVING, BEDROOM}));
    EXPECT_FALSE(nextEnabled());
    type("12");
    EXPECT_EQ(find<SerialNumberEditor>()->getText(), "1530-12-");
    EXPECT_NE(hint(), nullptr);
    type("<");
    EXPECT_EQ(find<SerialNumberEditor>()->getText(), "1530-1");
    type("234567890");
    EXPECT_EQ(hint(), nullptr);
    EXPECT_TRUE(nextEnabled());
    type("5");
    EXPECT_EQ(find<SerialNumberEditor>()->getText(), "1530-12-3456-7890");
    tapNext();
    EXPECT_EQ(state().getStateId(), PROCESS);
    EXPECT_EQ(state().getP1(), 1234567890u);
    EXPECT_EQ(handed(), (Ids{LIVING, BEDROOM}));
}

TEST_F(EnrolTest, OnlyAWholeNumberThatFitsIsHandedOn) {
    const struct {
        const char* story;
        std::string keys;
        bool atOnce; // typed faster than the screen hears of each digit
        bool accepted;
    } rows[] = {
        {"digits typed at once", "1234567890", true, true},
        {"above 32 bits", "4294967296", false, false},
        {"another prefix", "<<<<99991234567890", false, false},
    };
    for (const auto& row : rows) {
        openWith(SERIAL, {CU});
        if (row.atOnce) {
            for (const char c : row.keys) {
                find<SerialNumberEditor>()->handleKeyPress(c);
            }
            runTasks(2);
        } else {
            type(row.keys);
        }
        EXPECT_EQ(find<SerialNumberEditor>()->getText().size(), 17u) << row.story;
        EXPECT_EQ(hint() == nullptr, row.accepted) << row.story;
        EXPECT_EQ(nextEnabled(), row.accepted) << row.story;
    }
}

TEST_F(EnrolTest, TheSerialStepWritesTheFirstSixtyFourDistinctIdsAndNothingForAPlainState) {
    openWith(SERIAL, range(1, 70));
    EXPECT_EQ(lastLearnList(), bytesOf(range(1, 64)));
    mCore.prevState();
    runTasks(2);
    published();
    const size_t before = learnListWrites();
    open(SERIAL);
    EXPECT_EQ(learnListWrites(), before);
}

} // namespace
} // namespace tdx::test
