// Check boxes, check rows and radio groups through touches: what toggles, what is reported, how each state
// looks.
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/RadioGroup.h"
#include "tests/support/screen_harness.h"

namespace tdx::test {
namespace {

class CheckboxTest : public ScreenHarness {
protected:
    void SetUp() override {
        ScreenHarness::SetUp();
        form = blank();
    }
    Form* form = nullptr;
    int runs = 0;
};

TEST_F(CheckboxTest, ATapTogglesAndOnlyRealChangesAreReported) {
    auto* box = new Checkbox(form, 10, 10, 19, 18);
    box->setOnCheckedCommand(std::make_unique<CountingCommand>(runs));
    runTasks();
    EXPECT_EQ(at(10, 10), 0x808080u) << "grey border";
    EXPECT_EQ(at(19, 18), 0xFFFFFFu) << "white inside";
    EXPECT_EQ(countNear(box->getBoundingBox(), 0x000000), 0) << "no tick when new";
    const struct {
        bool tap; // else set to `checked` by the program
        bool checked;
        int changes;
    } steps[] = {{false, false, 0}, {true, true, 1}, {false, true, 1}, {true, false, 2}, {true, true, 3}};
    for (const auto& s : steps) {
        if (s.tap) {
            tap(15, 15);
        } else {
            box->setChecked(s.checked);
            runTasks();
        }
        EXPECT_EQ(box->getChecked(), s.checked);
        EXPECT_EQ(messages(MSG_CHANGE, box), s.changes);
        EXPECT_EQ(runs, s.changes);
    }
    EXPECT_GT(countNear(box->getBoundingBox(), 0x000000), 5) << "a black tick";
    box->setEnabled(false);
    tap(15, 15);
    EXPECT_TRUE(box->getChecked()) << "a disabled box does not toggle";
    EXPECT_EQ(countNear(box->getBoundingBox(), 0x000000), 0);
    EXPECT_GT(countNear(box->getBoundingBox(), 0x646464), 3) << "a grey tick while disabled";
}

TEST_F(CheckboxTest, CheckRowsAndCheckIconButtonsShowTheirState) {
    auto* row = new CheckButton(form, 9, 10, 277, 26, "Monday");
    auto* icon = new CheckIconButton(form, 9, 50, 60, 26, res_eco, 0x000000, 0, 0);
    runTasks();
    const Box tickArea = Box::fromCorners(246, 10, 285, 35);
    EXPECT_EQ(at(10, 11), 0xCCCCCCu);
    EXPECT_EQ(inked(tickArea, 0xCCCCCC), 0) << "unchecked when new";
    EXPECT_GT(countNear(Box::fromCorners(18, 10, 100, 35), 0x000000), 5) << "the text at +9";
    tap(100, 20);
    EXPECT_TRUE(row->getChecked());
    EXPECT_GT(countNear(tickArea, 0x000000), 5) << "the tick at the right";

    EXPECT_EQ(at(10, 51), 0xCCCCCCu);
    EXPECT_GT(countNear(icon->getBoundingBox(), 0x000000), 5);
    tap(30, 60);
    EXPECT_TRUE(icon->getChecked());
    EXPECT_EQ(at(10, 51), 0x808080u) << "checked: dark with a white icon";
    EXPECT_GT(countNear(icon->getBoundingBox(), 0xFFFFFF), 5);
    EXPECT_EQ(messages(MSG_CHANGE, icon), 1);
}

TEST_F(CheckboxTest, ARadioGroupKeepsOneCheckedAndRunsItsCommandOnEveryChange) {
    RadioGroup group;
    CheckButton* rows[3];
    for (int i = 0; i < 3; ++i) {
        rows[i] = new CheckButton(form, 9, 10 + 27 * i, 277, 26, "Option");
        group.append(rows[i]);
    }
    group.setItemSelectedCommand(std::make_unique<CountingCommand>(runs));
    EXPECT_EQ(group.getSelected(), nullptr);
    group.setSelected(1);
    EXPECT_EQ(group.getSelected(), rows[1]);
    tap(100, 15);
    EXPECT_EQ(group.getSelectedIndex(), 0);
    EXPECT_FALSE(rows[1]->getChecked());
    tap(100, 15);
    EXPECT_FALSE(group.hasSelected()) << "the checked one again unchecks it";
    group.setSelected(2);
    group.deselectAll();
    EXPECT_FALSE(group.hasSelected());
    EXPECT_EQ(runs, 5) << "one run per change of the selection";

    group.setSelected(7);
    EXPECT_FALSE(group.hasSelected());
    EXPECT_EQ(runs, 5);
    EXPECT_NE(trace().find("RadioGroup: selection 7 of 3 members refused"), std::string::npos);

    group.setEnabled(false);
    tap(100, 15);
    EXPECT_FALSE(group.hasSelected());
    group.setEnabled(true);
    tap(100, 15);
    EXPECT_TRUE(rows[0]->getChecked());
}

TEST_F(CheckboxTest, ARadioGroupOutlivesOrPrecedesItsBoxes) {
    auto group = std::make_unique<RadioGroup>();
    auto* a = new Checkbox(form, 10, 10, 19, 18);
    auto* b = new Checkbox(form, 40, 10, 19, 18);
    a->setChecked(true);
    b->setChecked(true);
    group->append(a);
    group->append(b);
    group->append(a); // twice: refused
    EXPECT_TRUE(a->getChecked());
    EXPECT_FALSE(b->getChecked()) << "a second checked box joins unchecked";
    delete a;
    EXPECT_FALSE(group->hasSelected()) << "a deleted box left the group";
    group->setSelected(0);
    EXPECT_TRUE(b->getChecked());
    group.reset();
    tap(45, 15);
    EXPECT_FALSE(b->getChecked()) << "the box still works without its group";
}

} // namespace
} // namespace tdx::test
