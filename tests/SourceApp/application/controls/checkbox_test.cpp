#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/RadioGroup.h"
#include "widget_fixture.h"

namespace tdx::test {
namespace {

using CheckboxTest = WidgetTest;

TEST_F(CheckboxTest, ClickTogglesAndOnlyRealChangesAreReported) {
    int runs = 0;
    auto* box = new Checkbox(form(), 10, 10, 19, 18);
    box->setOnCheckedCommand(std::make_unique<CountingCommand>(runs));
    EXPECT_FALSE(box->getChecked());

    box->setChecked(false);
    pass();
    EXPECT_EQ(count(MSG_CHANGE, box), 0) << "no change, no message";
    EXPECT_EQ(runs, 0);

    tap(15, 15);
    EXPECT_TRUE(box->getChecked());
    EXPECT_EQ(count(MSG_CHANGE, box), 1);
    EXPECT_EQ(runs, 1);

    box->setChecked(true);
    pass();
    EXPECT_EQ(count(MSG_CHANGE, box), 1);
    EXPECT_EQ(runs, 1);

    tap(15, 15);
    EXPECT_FALSE(box->getChecked());
    EXPECT_EQ(count(MSG_CHANGE, box), 2);
    EXPECT_EQ(runs, 2);

    box->setEnabled(false);
    tap(15, 15);
    EXPECT_FALSE(box->getChecked()) << "a disabled box does not toggle";
}

TEST_F(CheckboxTest, CheckboxLook) {
    auto* box = new Checkbox(form(), 10, 10, 19, 18);
    pass();
    EXPECT_EQ(at(10, 10), 0x808080u) << "grey border";
    EXPECT_EQ(at(19, 18), 0xFFFFFFu) << "white inside";
    EXPECT_EQ(count_near(box->getBoundingBox(), 0x000000), 0);
    box->setChecked(true);
    pass();
    EXPECT_GT(count_near(box->getBoundingBox(), 0x000000), 5) << "black tick";
    box->setEnabled(false);
    pass();
    EXPECT_EQ(count_near(box->getBoundingBox(), 0x000000), 0);
    EXPECT_GT(count_near(box->getBoundingBox(), 0x646464), 3) << "grey tick while disabled";
}

TEST_F(CheckboxTest, CheckButtonAndCheckIconButtonShowTheirState) {
    auto* row = new CheckButton(form(), 9, 10, 277, 26, "Monday");
    auto* icon = new CheckIconButton(form(), 9, 50, 60, 26, res_eco, 0x000000, 0, 0);
    pass();
    EXPECT_FALSE(row->getChecked()) << "unchecked when new";
    EXPECT_EQ(at(10, 11), 0xCCCCCCu);
    const Box tickArea = Box::fromCorners(246, 10, 285, 35);
    EXPECT_EQ(inked(tickArea, 0xCCCCCC), 0);
    EXPECT_GT(count_near(Box::fromCorners(18, 10, 100, 35), 0x000000), 10) << "the text at +9";
    tap(100, 20);
    EXPECT_TRUE(row->getChecked());
    EXPECT_GT(count_near(tickArea, 0x000000), 5) << "the tick at the right";

    EXPECT_EQ(at(10, 51), 0xCCCCCCu);
    EXPECT_GT(count_near(icon->getBoundingBox(), 0x000000), 5);
    tap(30, 60);
    EXPECT_TRUE(icon->getChecked());
    EXPECT_EQ(at(10, 51), 0x808080u) << "checked: dark with a white icon";
    EXPECT_GT(count_near(icon->getBoundingBox(), 0xFFFFFF), 5);
    EXPECT_EQ(count(MSG_CHANGE, icon), 1);
}

TEST_F(CheckboxTest, RadioGroupKeepsOneCheckedAndRunsItsCommandOnEveryChange) {
    int runs = 0;
    RadioGroup group;
    CheckButton* rows[3];
    for (int i = 0; i < 3; ++i) {
        rows[i] = new CheckButton(form(), 9, 10 + 27 * i, 277, 26, "Option");
        group.append(rows[i]);
    }
    group.setItemSelectedCommand(std::make_unique<CountingCommand>(runs));
    EXPECT_FALSE(group.hasSelected());
    EXPECT_EQ(group.getSelected(), nullptr);

    group.setSelected(1);
    EXPECT_EQ(group.getSelected(), rows[1]);
    EXPECT_EQ(runs, 1);

    tap(100, 15); // row 0
    EXPECT_EQ(group.getSelected(), rows[0]);
    EXPECT_FALSE(rows[1]->getChecked());
    EXPECT_EQ(group.getSelectedIndex(), 0);
    EXPECT_EQ(runs, 2) << "one run per change of the selection";

    tap(100, 15); // the checked one again: unchecks it
    EXPECT_FALSE(group.hasSelected());
    EXPECT_EQ(runs, 3);

    group.setSelected(2);
    group.deselectAll();
    EXPECT_FALSE(group.hasSelected());
    EXPECT_EQ(runs, 5);

    group.setSelected(7); // no such member: refused, nothing changes
    EXPECT_FALSE(group.hasSelected());
    EXPECT_EQ(runs, 5);
    EXPECT_NE(sTrace.find("RadioGroup: selection 7 of 3 members refused"), std::string::npos);

    group.setEnabled(false);
    tap(100, 15);
    EXPECT_FALSE(group.hasSelected());
    group.setEnabled(true);
    tap(100, 15);
    EXPECT_TRUE(rows[0]->getChecked());
}

TEST_F(CheckboxTest, RadioGroupOutlivesOrPrecedesItsBoxes) {
    auto group = std::make_unique<RadioGroup>();
    auto* a = new Checkbox(form(), 10, 10, 19, 18);
    auto* b = new Checkbox(form(), 40, 10, 19, 18);
    a->setChecked(true);
    b->setChecked(true);
    group->append(a);
    group->append(b);
    EXPECT_TRUE(a->getChecked());
    EXPECT_FALSE(b->getChecked()) << "a second checked box joins unchecked";
    group->append(a); // twice: refused
    delete a;
    EXPECT_FALSE(group->hasSelected()) << "a deleted box left the group";
    group->setSelected(0);
    EXPECT_TRUE(b->getChecked());
    group.reset();
    tap(45, 15); // the box still works without its group
    EXPECT_FALSE(b->getChecked());
}

} // namespace
} // namespace tdx::test
