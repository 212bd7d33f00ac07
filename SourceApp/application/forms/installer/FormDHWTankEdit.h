// The hot-water tank's editor (state 75, p1 the tank): its name, its status and temperatures, the set
// temperatures of its modes, its cleaning run and a link to its week schedule.
#pragma once

#include "SourceApp/application/forms/VexalStackedContentForm.h"
#include "SourceApp/gui/core/ICommand.h"
#include "SourceApp/storage/WeekdayEvent.h"

namespace tdx {
class ProxyObject;
} // namespace tdx

namespace tdx {

class EditableWeekdayEventPickerRow;

class FormDHWTankEdit : public VexalStackedContentForm {
public:
    // Writes the cleaning time the row accepted into the tank, while the tank is there.
    class ChangeWeekdayEvent : public ICommand {
    public:
        ChangeWeekdayEvent(EditableWeekdayEventPickerRow* row, unsigned oid);
        void execute() override;

    private:
        EditableWeekdayEventPickerRow* mRow;
        unsigned mOid;
    };

    // Day 0 of the month at 02:00, while the tank holds no cleaning time of its own.
    static constexpr WeekdayEvent DEFAULT_CLEANING{1, 0, 2, 0};

    explicit FormDHWTankEdit(const State& state);
    ~FormDHWTankEdit() override;

    // The cleaning time the tank holds: its two bytes when it holds exactly two, else the default.
    static WeekdayEvent cleaningTime(const ProxyObject& tank);
};

} // namespace tdx
