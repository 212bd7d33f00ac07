// An editor opened in a scrolled list shows itself: a name row's head and its keyboard's field, a time row's
// head and its picker, wherever the row stood in the list and however much of the list lay below it.
#include "SourceApp/application/controls/EditBox.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/KeyboardEditor.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/TimePicker.h"
#include "SourceApp/application/forms/VexalStackedContentForm.h"
#include "SourceApp/gui/bif/bif.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <string>

namespace tdx::test {
namespace {

constexpr unsigned LIST = 200;
constexpr int WIDTH = 277;
constexpr Box VIEW(9, 39, 277, 192); // the viewport of the stacked content screens

enum Kind : unsigned { NAME_ROW, TIME_ROW };

// A list of p1 plain rows, the row of kind p3, then p2 plain rows.
Form* list(unsigned, unsigned next, const State& state) {
    auto* form = new VexalStackedContentForm(state);
    if (next != LIST) {
        return form;
    }
    StackedContainer* content = form->getContent();
    auto plainRows = [content](unsigned count) {
        for (unsigned i = 0; i < count; ++i) {
            new ContainedLabel(content, 0, 0, WIDTH, EditableRow::HEAD_HEIGHT, &bif_myriad12,
                               "Row " + std::to_string(i));
        }
    };
    plainRows(state.getP1());
    if (state.getP3() == NAME_ROW) {
        new EditableStringRow(content, 0, 0, WIDTH, "Name", "Kitchen");
    } else {
        new EditableTimePickerRow(content, 0, 0, WIDTH, "Time");
    }
    plainRows(state.getP2());
    content->fitToContent();
    return form;
}

class ScrollIntoViewTest : public FormsTest {
protected:
    const EditableRow* row() const {
        const EditableRow* found = find<EditableStringRow>();
        return found != nullptr ? found : find<EditableTimePickerRow>();
    }
    const IconButton* button() const {
        const EditableRow* r = row();
        return find<IconButton>([r](const IconButton& b) { return b.isChildOf(r); });
    }
    // The row's head: its top 26 pixels.
    Box head() const {
        const EditableRow* r = row();
        return Box(r->getLeft(), r->getTop(), r->getWidth(), EditableRow::HEAD_HEIGHT);
    }
    static bool inView(const Box& box) {
        return box.x1 >= VIEW.x1 && box.x2 <= VIEW.x2 && box.y1 >= VIEW.y1 && box.y2 <= VIEW.y2;
    }
    static std::string describe(const Box& box) {
        return "y " + std::to_string(box.y1) + ".." + std::to_string(box.y2);
    }
};

TEST_F(ScrollIntoViewTest, AnOpenedRowShowsItsHeadAndItsEditorsFieldWhereverItStood) {
    setRegistry(&list);
    for (const Kind kind : {NAME_ROW, TIME_ROW}) {
        for (unsigned above = 0; above <= 4; ++above) {
            for (const unsigned below : {0u, 6u}) {
                SCOPED_TRACE((kind == NAME_ROW ? "name row, " : "time row, ") + std::to_string(above) +
                             " rows above, " + std::to_string(below) + " below");
                open(LIST, above, below, kind);
                ASSERT_NE(row(), nullptr);
                ASSERT_FALSE(button()->getVisibleBox().isEmpty())
                    << "row at " << describe(row()->getBoundingBox());
                tap(button());
                runTasks(2);
                ASSERT_TRUE(row()->isBeingEdited());
                EXPECT_TRUE(inView(head())) << "head at " << describe(head());
                const Component* field =
                    kind == NAME_ROW ? static_cast<const Component*>(find<EditBox>()) : find<TimePicker>();
                ASSERT_NE(field, nullptr);
                EXPECT_TRUE(inView(field->getBoundingBox()))
                    << "editor at " << describe(field->getBoundingBox());
                EXPECT_EQ(field->getVisibleBox(), field->getBoundingBox());
            }
        }
    }
}

// The room settings and the object editor with their "Name" row opened, in every language: the head and the
// keyboard's field in view, and the pictures for a person to look at.
TEST_F(DefaultInstallationTest, TheNameRowsKeyboardOpensInViewOnTheRoomAndObjectScreens) {
    constexpr unsigned ROOM_SETTINGS = 14;
    constexpr unsigned OBJECT_EDITOR = 70;
    constexpr oid_t LIVING_ROOM = 0x01000316;
    constexpr oid_t THERMOHEAD = 0x03000316;
    loadDefaultInstallation();
    runTasks();
    const struct {
        const char* picture;
        const char* screen;
        unsigned state;
        oid_t oid;
        const char* heading;
    } screens[] = {
        {"FormRoomSettings_name", "FormRoomSettings", ROOM_SETTINGS, LIVING_ROOM, ""},
        {"FormObjectEditor_name", "FormObjectEditor", OBJECT_EDITOR, THERMOHEAD, "Living room 1"},
    };
    for (const auto& s : screens) {
        picturesInEveryLanguage(s.picture, [&] {
            // The object editor takes its heading with its state, as its tile gives it.
            mCore.changeState(SingleParamState<std::string>(s.state, s.oid, 0, 0, 0, s.heading));
            runTasks(2);
            ASSERT_EQ(screen()->getName(), s.screen);
            const EditableStringRow* row = find<EditableStringRow>();
            ASSERT_NE(row, nullptr) << s.picture;
            tap(find<IconButton>([row](const IconButton& b) { return b.isChildOf(row); }));
            runTasks(2);
            ASSERT_TRUE(row->isBeingEdited()) << s.picture;
            const Box head(row->getLeft(), row->getTop(), row->getWidth(), EditableRow::HEAD_HEIGHT);
            EXPECT_EQ(head.intersect(VIEW), head) << s.picture << ": head at " << head.y1;
            const EditBox* field = find<EditBox>();
            ASSERT_NE(field, nullptr);
            EXPECT_EQ(field->getVisibleBox(), field->getBoundingBox()) << s.picture;
        });
    }
}

} // namespace
} // namespace tdx::test
