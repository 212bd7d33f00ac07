// The editors of the heating functions as an installer meets them: an inlet temperature controller and a
// heating/cooling circuit with the values their screens read, and the moves that reach a row inside a
// folded group.
#pragma once

#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/DropdownMenu.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/forms/VexalForm.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <string>
#include <vector>

namespace tdx::test {

class FunctionEditorsTest : public FormsTest {
protected:
    static constexpr oid_t ITC = 0x08000316;
    static constexpr oid_t HCC = 0x09000316;

    ObjectBuilder itc(unsigned curveType = 1, unsigned limiterMode = 0) {
        location().value(0x0036, 450).value(0x0028, 520);
        return object(ITC, BT_OBJ_ITC)
            .text(0x8090, "Inlet controller")
            .value(0x003E, 3450)
            .value(0x80C8, static_cast<int>(curveType))
            .value(0x80C9, 12)
            .value(0x80C5, 4500)
            .value(0x80C7, -1200)
            .value(0x80C6, 2000)
            .value(0x8063, 2000)
            .value(0x8064, 5500)
            .value(0x80CA, static_cast<int>(limiterMode));
    }
    ObjectBuilder hcc(unsigned curveControl = 1, unsigned curveType = 2) {
        location().value(0x0036, 450).value(0x0028, 520);
        return object(HCC, BT_OBJ_HCC)
            .text(0x8090, "Floor heating circuit")
            .value(0x0065, 1)
            .value(0x80FA, static_cast<int>(curveControl))
            .value(0x8104, static_cast<int>(curveType))
            .value(0x8102, 2000)
            .value(0x8103, 4500);
    }

    std::vector<DropdownButton*> headers() const { return findAll<DropdownButton>(); }
    // The rows folded behind a group header: the column's next child.
    static Container* groupOf(const DropdownButton* header) {
        const auto& siblings = header->getParent()->getChildren();
        for (size_t i = 0; i + 1 < siblings.size(); ++i) {
            if (siblings[i] == header) {
                return static_cast<Container*>(siblings[i + 1]);
            }
        }
        return nullptr;
    }
    // The first text of each shown row of a group.
    static std::vector<std::string> shownRows(const DropdownButton* header) {
        std::vector<std::string> texts;
        for (const Component* row : groupOf(header)->getChildren()) {
            if (row->isVisible()) {
                texts.push_back(firstText(row));
            }
        }
        return texts;
    }
    static std::string firstText(const Component* c) {
        if (const auto text = textOf(*c)) {
            return *text;
        }
        if (c->isContainerType()) {
            for (const Component* child : static_cast<const Container*>(c)->getChildren()) {
                if (std::string text = firstText(child); !text.empty()) {
                    return text;
                }
            }
        }
        return "";
    }
    // Scrolls a framed screen's column until the component shows at its top.
    void reveal(const Component* c) {
        if (auto* framed = dynamic_cast<VexalForm*>(screen())) {
            framed->scrollTo(c, FOCUS_TOP, c->getTop(), c->getBottom());
            runTasks(2);
        }
    }
    void openGroup(DropdownButton* header) {
        reveal(header);
        tap(header);
        runTasks();
    }
    // Opens the row's list and picks the item at index.
    void pickItem(EditableDropdownRow* row, int index) {
        reveal(row);
        tap(find<IconButton>([&](const IconButton& b) { return b.isChildOf(row); }));
        runTasks();
        const DropdownMenu* menu = row->getMenu();
        tap(menu->getLeft() + 10, menu->getTop() + index * (DropdownMenu::ITEM_HEIGHT + 1) + 13);
        runTasks();
    }
};

} // namespace tdx::test
