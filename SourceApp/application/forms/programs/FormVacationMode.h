// Vacation of the whole installation: off, on without an end, or on until a date, and the rooms and tanks
// excluded from it. The sentence, the choice and the date follow the location's two vacation values; the
// screen writes them only on the user's choice.
#pragma once

#include "SourceApp/application/commands/bindings/ProxyEditorHandlers.h"
#include "SourceApp/application/controls/DropdownItem.h"
#include "SourceApp/application/forms/VexalStackedContentForm.h"
#include "SourceApp/application/utils/Date.h"
#include "SourceApp/storage/ProxyStructure.h"

#include <ctime>

namespace tdx {

class Checkbox;
class EditableDatePickerRow;
class EditableDropdownRow;
class TextFrame;

class FormVacationMode : public VexalStackedContentForm, public ProxyValueChangeHandler {
public:
    static constexpr state_id_t STATE_ID = 65;
    static constexpr vid_t VID_VACATION = 0x8085;
    static constexpr vid_t VID_END_TIME = 0x8086;
    static constexpr vid_t VID_ROOM_ALLOW = 0x8084;
    static constexpr vid_t VID_TANK_ALLOW = 0x808D;
    // The dropdown's items.
    enum Item : uint16_t { OFF = 0, WITHOUT_EXPIRATION = 1, UNTIL_DATE = 2 };

    // The user's choice in the dropdown.
    class ChangeVacationModeHandler : public DropdownItemClickCommand {
    public:
        explicit ChangeVacationModeHandler(FormVacationMode& form)
            : mForm(form) {}
        void execute(DropdownItem* item) override;

    private:
        FormVacationMode& mForm;
    };

    // The user accepted an end date.
    class SetVacationModeHandler : public ProxyDatePickerHandler {
    public:
        SetVacationModeHandler(EditableDatePickerRow* row, const UnsignedOvi& ovi, FormVacationMode& form)
            : ProxyDatePickerHandler(row, ovi)
            , mForm(form) {}
        void execute() override;

    private:
        FormVacationMode& mForm;
    };

    // An exclusion check box was toggled: checked excludes its room or tank.
    class SetAllowVacationHandler : public ICommand {
    public:
        explicit SetAllowVacationHandler(Checkbox& box)
            : mBox(box) {}
        void execute() override;

    private:
        Checkbox& mBox;
    };

    explicit FormVacationMode(const State& state);
    ~FormVacationMode() override;

    // The only writer of the two location values; writes nothing when they say so already.
    static void setVacationMode(bool on, unsigned endTime);
    // The location's local-time offset; a missing one counts as 0.
    static int localOffset();
    // 00:00 of the date's day in local time, as the UTC instant it is.
    static time_t localMidnight(const Date& date);

protected:
    void handleProxyValueChange(ProxyObject& object, const OviEx& change) override;

private:
    // Shows the stored values: sentence, choice and date row. Writes nothing.
    void update();
    void showDateRow(bool visible);
    void addExclusions(StackedContainer* content);

    TextFrame* mStatus = nullptr;
    EditableDropdownRow* mMode = nullptr;
    EditableDatePickerRow* mEnd = nullptr;
    Date mFirstEnd{0, 0}; // the earliest end: tomorrow, 00:00 local time
};

} // namespace tdx
