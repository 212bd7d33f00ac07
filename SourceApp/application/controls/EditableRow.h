// One line of a settings list that edits its value in place: a grey head 26 pixels high with the title, the
// value and an arrow button. The button opens the editor below the head, inside the row, and the row grows
// around it (the list below moves down); accepting or cancelling closes it and the row shrinks back. A new
// editor is built at every opening; a closed one is deleted after the message phase.
//
// Screens bind a row to a value with its accept command, which runs after the row took the accepted value
// (the command reads it from the row); cancelling keeps the row's value and runs the cancel command.
#pragma once

#include "SourceApp/application/controls/DatePicker.h"
#include "SourceApp/application/controls/TimePicker.h"
#include "SourceApp/application/utils/Date.h"
#include "SourceApp/gui/core/Container.h"
#include "SourceApp/gui/core/ICommand.h"
#include "SourceApp/storage/WeekdayEvent.h"

#include <memory>
#include <optional>
#include <string>

namespace tdx {

class ContainedLabel;
class IconButton;
class KeyboardEditor;
class WeekdayEventPicker;

class EditableRow : public Container {
public:
    static constexpr int HEAD_HEIGHT = 26;

    // Its width fixed, its height following the head and the open editor.
    EditableRow(Container* parent, int x, int y, int width);
    ~EditableRow() override;

    void setOnAcceptCommand(std::unique_ptr<ICommand> command);
    void setOnCancelCommand(std::unique_ptr<ICommand> command);

    bool isBeingEdited() const { return mEditing; }
    // Opens the editor unless it is open.
    void createEditor();
    // Closes the editor if it is open.
    void closeEditor();
    void setIsBeingEdited(bool editing);

    // The editor's MSG_OK accepts, its MSG_CANCEL cancels; both close it.
    void handleMessage(Message* message) override;

protected:
    // Builds (or shows) the editor and returns it.
    virtual Component* handleCreateEditor() = 0;
    virtual void handleCloseEditor() = 0;
    // Take the editor's value into the row; the accept command runs next.
    virtual void handleOnAccept() = 0;
    virtual void handleOnCancel() = 0;
    // The head's arrow: grey with a black arrow, the same when pressed.
    static IconButton* headArrow(Container* parent, int x, int y, int width, int height);

private:
    std::unique_ptr<ICommand> mAccept;
    std::unique_ptr<ICommand> mCancel;
    Component* mEditor = nullptr;
    bool mEditing = false;
};

// The rows whose head is a title, a value and an arrow button with white gaps between; a click on the button
// opens or closes the editor.
class EditableHeadRow : public EditableRow {
public:
    void handleMessage(Message* message) override;

protected:
    // How the head is built, as the inspector shows it; both look the same. Styled: a grey style container
    // holding a horizontal stack with white gaps; Row: one row container.
    enum class Head { Styled, Row };

    // Without a title width the title takes what the value, the button and the gaps leave.
    EditableHeadRow(Container* parent, int x, int y, int width, const std::string& title,
                    std::optional<int> titleWidth, int valueWidth, const std::string& value, Head head);

    void handleOnCancel() override { closeEditor(); }
    void showValue(const std::string& text);
    // Scheduled for deletion after the message phase and hidden at once, so that the row shrinks.
    static void closeContainer(Container* editor);

private:
    ContainedLabel* mValue;
    IconButton* mButton;
};

// The date and time rows: a date shown by a pattern and edited with a picker (DatePicker or TimePicker).
// Without a date the row shows the local date or time and keeps following the clock, accepted or not.
template <class Picker>
class EditableClockRow : public EditableHeadRow {
public:
    Date getDate() const { return mDate; }
    // Also hands the date to the open picker.
    void setDate(const Date& date);

    void handleMessage(Message* message) override;

protected:
    // tickMask: the label follows the clock on the timer messages whose tick count has these bits 0.
    EditableClockRow(Container* parent, int x, int y, int width, const std::string& title,
                     std::optional<Date> date, const char* pattern, unsigned tickMask);

    Component* handleCreateEditor() override;
    void handleCloseEditor() override;
    void handleOnAccept() override;
    // A new picker before it shows.
    virtual void prepare(Picker&) {}

private:
    void show(const Date& date);

    Date mDate;
    const char* mPattern;
    unsigned mTickMask;
    bool mFollowsClock;
    Picker* mPicker = nullptr;
};

class EditableDatePickerRow : public EditableClockRow<DatePicker> {
public:
    EditableDatePickerRow(Container* parent, int x, int y, int width, const std::string& title);
    EditableDatePickerRow(Container* parent, int x, int y, int width, const std::string& title,
                          const Date& date);

    // Limits for the pickers opened from now on.
    void setMinimum(const Date& date) { mMinimum = date; }
    void setMaximum(const Date& date) { mMaximum = date; }

protected:
    void prepare(DatePicker& picker) override;

private:
    std::optional<Date> mMinimum;
    std::optional<Date> mMaximum;
};

class EditableTimePickerRow : public EditableClockRow<TimePicker> {
public:
    EditableTimePickerRow(Container* parent, int x, int y, int width, const std::string& title);
    EditableTimePickerRow(Container* parent, int x, int y, int width, const std::string& title,
                          const Date& date);
};

class EditableWeekdayEventPickerRow : public EditableHeadRow {
public:
    EditableWeekdayEventPickerRow(Container* parent, int x, int y, int width, const std::string& title,
                                  const WeekdayEvent& event);

    WeekdayEvent getWeekdayEvent() const { return mEvent; }
    // Also hands the event to the open picker.
    void setWeekdayEvent(const WeekdayEvent& event);
    // Shows the stored event: "Monday, 06:30" weekly, "3, 06:30" monthly.
    void update();

protected:
    Component* handleCreateEditor() override;
    void handleCloseEditor() override;
    void handleOnAccept() override;

private:
    WeekdayEvent mEvent;
    WeekdayEventPicker* mPicker = nullptr;
};

class EditableStringRow : public EditableHeadRow {
public:
    EditableStringRow(Container* parent, int x, int y, int width, const std::string& title,
                      const std::string& value);

    std::string getString() const { return mString; }
    // Shows a new value; an open keyboard keeps what is being typed.
    void setString(const std::string& value);

protected:
    // The keyboard opens below the head; the screen scrolls the row to its top and holds still meanwhile.
    Component* handleCreateEditor() override;
    void handleCloseEditor() override;
    void handleOnAccept() override;

private:
    std::string mString;
    KeyboardEditor* mKeyboard = nullptr;
};

extern template class EditableClockRow<DatePicker>;
extern template class EditableClockRow<TimePicker>;

} // namespace tdx
