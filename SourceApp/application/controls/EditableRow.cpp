#include "SourceApp/application/controls/EditableRow.h"

#include "Libraries/base/fmt.h"
#include "SourceApp/application/controls/DatePicker.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/KeyboardEditor.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/TimePicker.h"
#include "SourceApp/application/controls/WeekdayEventPicker.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/core/layout/StackedContainer.h"
#include "SourceApp/gui/core/layout/StyleContainer.h"
#include "SourceApp/gui/i18n/I18n.h"

#include <algorithm>

namespace tdx {

namespace {

constexpr int INDENT = 9;
constexpr int BUTTON_WIDTH = 40;
// Pickers open below the head, their right edge one pixel inside the row's.
constexpr int EDITOR_GAP = 31;
constexpr int KEYBOARD_GAP = 34;
constexpr int CLOCK_TITLE_WIDTH = 145;
constexpr int CLOCK_VALUE_WIDTH = 72;
constexpr int WEEKDAY_VALUE_WIDTH = 113;

constexpr unsigned EVERY_2ND_TICK = 0x1;
constexpr unsigned EVERY_16TH_TICK = 0xF;
constexpr const char* DATE_PATTERN = "d-m-Y";
constexpr const char* TIME_PATTERN = "H:i:s";

// Title, value, button and the gaps: what is left for the title.
int restForTitle(int rowWidth, int valueWidth) {
    return std::max(rowWidth - INDENT - 1 - INDENT - valueWidth - 1 - BUTTON_WIDTH, 0);
}

} // namespace

// ---- EditableRow ----

EditableRow::EditableRow(Container* parent, int x, int y, int width)
    : Container(parent, x, y, width, HEAD_HEIGHT) {
    setName("EditableRow");
    setSizing(SIZING_KEEP, SIZING_FIT);
}

EditableRow::~EditableRow() = default;

void EditableRow::setOnAcceptCommand(std::unique_ptr<ICommand> command) {
    mAccept = std::move(command);
}

void EditableRow::setOnCancelCommand(std::unique_ptr<ICommand> command) {
    mCancel = std::move(command);
}

void EditableRow::createEditor() {
    if (mEditing) {
        return;
    }
    mEditor = handleCreateEditor();
    mEditing = true;
    fitToContent();
}

void EditableRow::closeEditor() {
    if (!mEditing) {
        return;
    }
    handleCloseEditor();
    mEditing = false;
}

void EditableRow::setIsBeingEdited(bool editing) {
    if (editing) {
        createEditor();
    } else {
        closeEditor();
    }
}

void EditableRow::handleMessage(Message* message) {
    Container::handleMessage(message);
    if (!mEditing || mEditor == nullptr || message->source != mEditor) {
        return;
    }
    if (message->id == MSG_OK) {
        handleOnAccept();
        if (mAccept) {
            mAccept->execute();
        }
    } else if (message->id == MSG_CANCEL) {
        handleOnCancel();
        if (mCancel) {
            mCancel->execute();
        }
    } else {
        return;
    }
    closeEditor();
}

IconButton* EditableRow::headArrow(Container* parent, int x, int y, int width, int height) {
    return IconButton::Builder{.parent = parent,
                               .x = x,
                               .y = y,
                               .width = width,
                               .height = height,
                               .backColor = static_cast<int>(colour::CONTROL),
                               .faceColor = static_cast<int>(colour::TEXT),
                               .activeBackColor = NO_COLOUR,
                               .disabledFaceColor = static_cast<int>(colour::DISABLED),
                               .icon = res_arrow_down}
        .build();
}

// ---- EditableHeadRow ----

EditableHeadRow::EditableHeadRow(Container* parent, int x, int y, int width, const std::string& title,
                                 std::optional<int> titleWidth, int valueWidth, const std::string& value,
                                 Head head)
    : EditableRow(parent, x, y, width) {
    // A fixed row on the grey ground with white one-pixel gaps between its parts.
    Container* parts = nullptr;
    if (head == Head::Row) {
        parts = new RowContainer(this, getLeft(), getTop(), getWidth(), HEAD_HEIGHT);
    } else {
        auto* ground = StyleContainer::Builder{.parent = this,
                                               .x = getLeft(),
                                               .y = getTop(),
                                               .width = getWidth(),
                                               .height = HEAD_HEIGHT,
                                               .backColor = static_cast<int>(RowContainer::BACK_COLOR)}
                           .build();
        parts = StackedContainer::Builder{.parent = ground,
                                          .width = getWidth(),
                                          .height = HEAD_HEIGHT,
                                          .direction = DIRECTION_HORIZONTAL,
                                          .spacing = 1,
                                          .spacingFillColor = static_cast<int>(RowContainer::GAP_COLOR)}
                    .build();
    }
    new ContainedLabel(parts, INDENT, 0, titleWidth.value_or(restForTitle(width, valueWidth)), HEAD_HEIGHT,
                       &bif_myriad12, title, HorizontalAlign::Left, VerticalAlign::Middle);
    mValue = new ContainedLabel(parts, INDENT, 0, valueWidth, HEAD_HEIGHT, &bif_myriad12, value,
                                HorizontalAlign::Left, VerticalAlign::Middle);
    mButton = headArrow(parts, 0, 0, BUTTON_WIDTH, HEAD_HEIGHT);
}

void EditableHeadRow::showValue(const std::string& text) {
    mValue->setText(text);
}

void EditableHeadRow::closeContainer(Container* editor) {
    editor->close();
    editor->setVisible(false);
}

void EditableHeadRow::handleMessage(Message* message) {
    EditableRow::handleMessage(message);
    if (message->isClick(mButton)) {
        setIsBeingEdited(!isBeingEdited());
        if (isBeingEdited()) {
            // An editor opened near the page's bottom scrolls itself into view, whole.
            requestFocus(FOCUS_AS_NEEDED, getTop(), getBottom());
        }
    }
}

// ---- EditableClockRow ----

template <class Picker>
EditableClockRow<Picker>::EditableClockRow(Container* parent, int x, int y, int width,
                                           const std::string& title, std::optional<Date> date,
                                           const char* pattern, unsigned tickMask)
    : EditableHeadRow(parent, x, y, width, title, CLOCK_TITLE_WIDTH, CLOCK_VALUE_WIDTH, "", Head::Styled)
    , mDate(date.value_or(widget_local_time()))
    , mPattern(pattern)
    , mTickMask(tickMask)
    , mFollowsClock(!date) {
    show(mDate);
}

template <class Picker>
void EditableClockRow<Picker>::show(const Date& date) {
    showValue(i18n.format(date, mPattern));
}

template <class Picker>
void EditableClockRow<Picker>::setDate(const Date& date) {
    if (this->isBeingEdited()) {
        mPicker->setDate(date);
    }
    mDate = date;
    show(date);
}

template <class Picker>
void EditableClockRow<Picker>::handleMessage(Message* message) {
    EditableHeadRow::handleMessage(message);
    if (mFollowsClock && message->id == MSG_TIMER && (static_cast<unsigned>(message->p1) & mTickMask) == 0) {
        // The label shows the clock; the stored date stays what was given or accepted.
        show(widget_local_time());
    }
}

template <class Picker>
Component* EditableClockRow<Picker>::handleCreateEditor() {
    const int x = this->getRight() - (Picker::WIDTH - 1);
    const int y = this->getTop() + EDITOR_GAP;
    mPicker = mFollowsClock ? new Picker(this, x, y) : new Picker(this, x, y, mDate);
    prepare(*mPicker);
    return mPicker;
}

template <class Picker>
void EditableClockRow<Picker>::handleCloseEditor() {
    closeContainer(mPicker);
    mPicker = nullptr;
}

template <class Picker>
void EditableClockRow<Picker>::handleOnAccept() {
    mDate = mPicker->getDate();
    show(mDate);
    this->closeEditor();
}

template class EditableClockRow<DatePicker>;
template class EditableClockRow<TimePicker>;

// ---- EditableDatePickerRow ----

EditableDatePickerRow::EditableDatePickerRow(Container* parent, int x, int y, int width,
                                             const std::string& title)
    : EditableClockRow(parent, x, y, width, title, std::nullopt, DATE_PATTERN, EVERY_16TH_TICK) {
    setName("EditableDatePickerRow");
}

EditableDatePickerRow::EditableDatePickerRow(Container* parent, int x, int y, int width,
                                             const std::string& title, const Date& date)
    : EditableClockRow(parent, x, y, width, title, date, DATE_PATTERN, EVERY_16TH_TICK) {
    setName("EditableDatePickerRow");
}

void EditableDatePickerRow::prepare(DatePicker& picker) {
    if (mMinimum) {
        picker.setMinimum(*mMinimum);
    }
    if (mMaximum) {
        picker.setMaximum(*mMaximum);
    }
}

// ---- EditableTimePickerRow ----

EditableTimePickerRow::EditableTimePickerRow(Container* parent, int x, int y, int width,
                                             const std::string& title)
    : EditableClockRow(parent, x, y, width, title, std::nullopt, TIME_PATTERN, EVERY_2ND_TICK) {
    setName("EditableTimePickerRow");
}

EditableTimePickerRow::EditableTimePickerRow(Container* parent, int x, int y, int width,
                                             const std::string& title, const Date& date)
    : EditableClockRow(parent, x, y, width, title, date, TIME_PATTERN, EVERY_2ND_TICK) {
    setName("EditableTimePickerRow");
}

// ---- EditableWeekdayEventPickerRow ----

EditableWeekdayEventPickerRow::EditableWeekdayEventPickerRow(Container* parent, int x, int y, int width,
                                                             const std::string& title,
                                                             const WeekdayEvent& event)
    : EditableHeadRow(parent, x, y, width, title, std::nullopt, WEEKDAY_VALUE_WIDTH, "", Head::Styled)
    , mEvent(event) {
    setName("EditableWeekdayEventPickerRow");
    update();
}

void EditableWeekdayEventPickerRow::setWeekdayEvent(const WeekdayEvent& event) {
    if (isBeingEdited()) {
        mPicker->setWeekdayEvent(event);
    }
    mEvent = event;
    update();
}

void EditableWeekdayEventPickerRow::update() {
    showValue(WeekdayEventPicker::dayText(mEvent) +
              fmt(", %02u:%02u", unsigned{mEvent.hour()}, unsigned{mEvent.minute()}));
}

Component* EditableWeekdayEventPickerRow::handleCreateEditor() {
    mPicker = new WeekdayEventPicker(this, getRight() - (WeekdayEventPicker::WIDTH - 1),
                                     getTop() + EDITOR_GAP, mEvent);
    return mPicker;
}

void EditableWeekdayEventPickerRow::handleCloseEditor() {
    closeContainer(mPicker);
    mPicker = nullptr;
}

void EditableWeekdayEventPickerRow::handleOnAccept() {
    mEvent = mPicker->getWeekdayEvent();
    update();
    closeEditor();
}

// ---- EditableStringRow ----

EditableStringRow::EditableStringRow(Container* parent, int x, int y, int width, const std::string& title,
                                     const std::string& value)
    : EditableHeadRow(parent, x, y, width, title, std::nullopt, CLOCK_VALUE_WIDTH, value, Head::Row)
    , mString(value) {
    setName("EditableStringRow");
    // A name longer than the value column ends in an ellipsis where other labels fall to the smaller font: a
    // name is the user's own text of any length, which no font fits into the column, and the keyboard's field
    // shows it whole once the row opens.
}

void EditableStringRow::setString(const std::string& value) {
    mString = value;
    showValue(value);
}

Component* EditableStringRow::handleCreateEditor() {
    mKeyboard = new KeyboardEditor(this, getLeft(), getTop() + KEYBOARD_GAP, mString);
    requestFocus(FOCUS_TOP, getTop(), mKeyboard->getBottom());
    requestScrollLock();
    return mKeyboard;
}

void EditableStringRow::handleCloseEditor() {
    closeContainer(mKeyboard);
    mKeyboard = nullptr;
    requestScrollUnlock();
}

void EditableStringRow::handleOnAccept() {
    setString(mKeyboard->getString());
    closeEditor();
}

} // namespace tdx
