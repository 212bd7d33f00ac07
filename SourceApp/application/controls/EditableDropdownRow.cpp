#include "SourceApp/application/controls/EditableDropdownRow.h"

#include "Libraries/base/os.h"
#include "SourceApp/application/controls/DropdownMenu.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/gfx/gfx.h"

#include <algorithm>

namespace tdx {

namespace {

constexpr int INDENT = 9;
constexpr int VALUE_WIDTH = 81;
constexpr int BUTTON_WIDTH = 38;
constexpr int MENU_GAP = 31;

} // namespace

EditableDropdownRow::EditableDropdownRow(Container* parent, int x, int y, int width, const std::string& title,
                                         unsigned menuWidth)
    : EditableRow(parent, x, y, width) {
    setName("EditableDropdownRow");
    const int labelWidth = width - 123;
    if (labelWidth <= 11) {
        os_assert_show("labelWidth > 11",
                       "EditableDropdownRow::EditableDropdownRow(Container*, int32_t, int32_t, int32_t, "
                       "const string&, uint32_t)",
                       __FILE__, __LINE__);
    }
    const int left = getLeft();
    const int top = getTop();
    mButton = headArrow(this, getRight() - BUTTON_WIDTH, top + 1, BUTTON_WIDTH, HEAD_HEIGHT - 2);
    mTitle = new ContainedLabel(this, left + INDENT, top, width - 132, HEAD_HEIGHT,
                                fitting_font(title, width - 132), title, HorizontalAlign::Left,
                                VerticalAlign::Middle);
    mValue = new ContainedLabel(this, mTitle->getRight() + 2, top, VALUE_WIDTH, HEAD_HEIGHT, &bif_myriad12,
                                "", HorizontalAlign::Center, VerticalAlign::Middle);
    const int listWidth = std::clamp(static_cast<int>(std::min(menuWidth, 0x7FFFu)), VALUE_WIDTH, width - 40);
    mMenu = new DropdownMenu(this, getRight() - listWidth - 40, top + MENU_GAP, listWidth);
    mMenu->setVisible(false);
}

EditableDropdownRow::~EditableDropdownRow() = default;

void EditableDropdownRow::showValue(const std::string& text) {
    mValue->setFont(fitting_font(text, mValue->getWidth()));
    mValue->setText(text);
}

void EditableDropdownRow::fitValueCell() {
    // An option that the cell does not hold even in the smaller font, with the two clear columns that
    // fitting_font leaves, would end in an ellipsis or touch the separators. The two cells and the column
    // between them keep their span; the title takes the font that holds it in what is left.
    const bif_t* smaller = bif_myriad10.getFont();
    int widest = VALUE_WIDTH;
    for (uint16_t i = 0; i < mMenu->getItemCount(); ++i) {
        widest = std::max(widest, bif_text_width(smaller, mMenu->getItem(i)->getTitle()) + 2);
    }
    const std::string& title = mTitle->getText();
    const int span = mValue->getRight() - mTitle->getLeft() + 1;
    const int width = std::clamp(widest, VALUE_WIDTH,
                                 std::max(VALUE_WIDTH, span - 2 - (bif_text_width(smaller, title) + 2)));
    if (width == mValue->getWidth()) {
        return;
    }
    mTitle->setDimensions(span - 2 - width, HEAD_HEIGHT);
    mTitle->setFont(fitting_font(title, mTitle->getWidth()));
    mValue->setPosition(mTitle->getRight() + 2, getTop());
    mValue->setDimensions(width, HEAD_HEIGHT);
    showValue(mValue->getText());
}

void EditableDropdownRow::addItem(DropdownItem* item, bool select) {
    if (item == nullptr) {
        return;
    }
    mMenu->addItem(item);
    fitValueCell();
    if (select) {
        // Recorded as the chosen item, so that picking it again changes nothing: the row already shows it as
        // its value, so choosing it is no change, and running the command then would write (or navigate) for
        // a choice the user did not make.
        mSelected = item;
        showValue(item->getTitle());
        mMenu->setSelectedItem(static_cast<uint16_t>(mMenu->getItemCount() - 1));
    }
}

void EditableDropdownRow::addItems(std::vector<DropdownItem*>::const_iterator begin,
                                   std::vector<DropdownItem*>::const_iterator end) {
    mMenu->addItems(begin, end);
    fitValueCell();
}

void EditableDropdownRow::setSelectedItem(uint16_t index) {
    DropdownItem* item = mMenu->getItem(index);
    if (item == nullptr) {
        showValue("--");
        mSelected = nullptr;
        return;
    }
    if (item == mSelected) {
        return;
    }
    mSelected = item;
    showValue(item->getTitle());
    mMenu->setSelectedItem(index);
    if (mOnItemClick) {
        mOnItemClick->execute(item);
    }
}

void EditableDropdownRow::showItem(uint16_t index) {
    DropdownItem* item = mMenu->getItem(index);
    mSelected = item;
    showValue(item != nullptr ? item->getTitle() : "--");
    mMenu->setSelectedItem(item != nullptr ? index : DropdownMenu::NO_ITEM);
}

void EditableDropdownRow::setOnItemClickCommand(std::unique_ptr<DropdownItemClickCommand> command) {
    mOnItemClick = std::move(command);
}

void EditableDropdownRow::setButtonBack(unsigned colour) {
    mButton->setBackColor(colour);
    mButton->setActiveBackColor(colour);
}

Component* EditableDropdownRow::handleCreateEditor() {
    mMenu->setVisible(true);
    setButtonBack(colour::WHITE);
    return mMenu;
}

void EditableDropdownRow::handleCloseEditor() {
    mMenu->setVisible(false);
    setButtonBack(colour::CONTROL);
}

void EditableDropdownRow::handleMessage(Message* message) {
    EditableRow::handleMessage(message);
    if (message->isPress(mButton) && message->p1 == 0 && isEnabled()) {
        if (isBeingEdited()) {
            closeEditor();
        } else {
            createEditor();
            requestFocus(FOCUS_AS_NEEDED, getTop(), mMenu->getBottom());
        }
    } else if (message->is(MSG_ITEM_CLICK, mMenu)) {
        // Closed before the choice acts: a choice that rebuilds the screen (a new language) saves the row
        // as it should come back, closed.
        closeEditor();
        setSelectedItem(static_cast<uint16_t>(message->p1));
    }
}

void EditableDropdownRow::handleDraw() {
    const Box head(getLeft(), getTop(), getWidth(), HEAD_HEIGHT);
    if (isBeingEdited()) {
        gfx_setcolor(colour::CONTROL);
        gfx_rectangle(head);
    } else {
        gfx_setcolor(colour::CONTROL);
        gfx_fill_rect(head);
        gfx_setcolor(colour::WHITE);
    }
    gfx_vert_line(mValue->getRight() + 1, getTop(), HEAD_HEIGHT);
    gfx_vert_line(mTitle->getRight() + 1, getTop(), HEAD_HEIGHT);
    Container::handleDraw();
}

void EditableDropdownRow::handleEnabled(bool enabled) {
    const unsigned face = enabled ? colour::TEXT : colour::DISABLED;
    mTitle->setFaceColor(face);
    mValue->setFaceColor(face);
}

bool EditableDropdownRow::isOwnSerializedState(const SerializedState* state) const {
    return state != nullptr && state->getId() == unique_id<EditableDropdownSerializedState>();
}

std::unique_ptr<SerializedState> EditableDropdownRow::handleSerialize() {
    return std::make_unique<EditableDropdownSerializedState>(isBeingEdited());
}

void EditableDropdownRow::handleDeserialize(const SerializedState* state) {
    if (state == nullptr) {
        os_assert_show("state", "virtual void EditableDropdownRow::handleDeserialize(const SerializedState*)",
                       __FILE__, __LINE__);
    }
    if (isOwnSerializedState(state) &&
        static_cast<const EditableDropdownSerializedState*>(state)->isExpanded()) {
        createEditor();
    }
}

} // namespace tdx
