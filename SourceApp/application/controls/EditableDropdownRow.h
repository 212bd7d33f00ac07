// A settings row that picks one item of a list: the title, the chosen item's title ("--" for none) and an
// arrow button. The button's first press (not its hold repeats) opens or closes the list below the head,
// while the row is enabled; picking an item selects it, runs the row's item-click command and closes the
// list. Picking the item already selected changes nothing. Whether the list is open is kept with the screen's
// saved state, so that it opens again when the user comes back. The chosen item's column widens into the
// title's where an item would not read whole in it.
#pragma once

#include "SourceApp/application/controls/DropdownItem.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/gui/core/state/SerializedState.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tdx {

class DropdownMenu;

class EditableDropdownRow : public EditableRow {
public:
    class EditableDropdownSerializedState : public SerializedState {
    public:
        explicit EditableDropdownSerializedState(bool expanded)
            : SerializedState(unique_id<EditableDropdownSerializedState>())
            , mExpanded(expanded) {}
        bool isExpanded() const { return mExpanded; }

    private:
        bool mExpanded;
    };

    // At least 135 pixels wide (a fatal assertion otherwise); the list is menuWidth wide, kept within 81 and
    // width - 40, and ends 40 pixels inside the row's right edge.
    EditableDropdownRow(Container* parent, int x, int y, int width, const std::string& title,
                        unsigned menuWidth);
    ~EditableDropdownRow() override;

    // Takes the item. With select the row shows it as the chosen one, without running the command.
    void addItem(DropdownItem* item, bool select);
    void addItems(std::vector<DropdownItem*>::const_iterator begin,
                  std::vector<DropdownItem*>::const_iterator end);
    // Chooses the item at index and runs the item-click command, unless it is the chosen one already; an
    // index without an item shows "--" and chooses none.
    void setSelectedItem(uint16_t index);
    // Shows the item at index as the chosen one without running the command ("--" for an index without an
    // item): the row follows a value that changed elsewhere.
    void showItem(uint16_t index);
    DropdownItem* getSelectedItem() const { return mSelected; }
    void setOnItemClickCommand(std::unique_ptr<DropdownItemClickCommand> command);
    DropdownMenu* getMenu() const { return mMenu; }

    void handleMessage(Message* message) override;
    void handleDraw() override;
    void handleEnabled(bool enabled) override;

    bool isSerializable() const override { return true; }
    bool isOwnSerializedState(const SerializedState* state) const override;
    std::unique_ptr<SerializedState> handleSerialize() override;
    void handleDeserialize(const SerializedState* state) override;

protected:
    Component* handleCreateEditor() override;
    void handleCloseEditor() override;
    void handleOnAccept() override {}
    void handleOnCancel() override {}

private:
    void setButtonBack(unsigned colour);
    // The value in the font that holds it whole, the smaller one for a long option text.
    void showValue(const std::string& text);
    // The value's cell wide enough for every item's title in the smaller font, taking the columns it lacks
    // from the title's cell as far as the title still reads whole there, in the smaller font if need be.
    void fitValueCell();

    std::unique_ptr<DropdownItemClickCommand> mOnItemClick;
    ContainedLabel* mTitle;
    ContainedLabel* mValue;
    IconButton* mButton;
    DropdownMenu* mMenu;
    DropdownItem* mSelected = nullptr;
};

} // namespace tdx
