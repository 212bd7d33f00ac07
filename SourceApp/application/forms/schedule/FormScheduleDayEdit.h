// The editor of one interval of a day: From and To in quarter hours, the type where the schedule offers a
// choice, and the bar previewing the result. Save frees the interval's old quarter hours and sets the new
// ones, in the value as it stands then; Cancel leaves it alone.
#pragma once

#include "SourceApp/application/controls/RadioGroup.h"
#include "SourceApp/application/forms/VexalStackedContentForm.h"
#include "SourceApp/gui/core/ICommand.h"
#include "SourceApp/storage/Number.h"
#include "SourceApp/storage/Ovi.h"
#include "SourceApp/storage/schedule.h"

namespace tdx {

class Button;
class Timeline;
template <class T>
class NumericUpDown;

class FormScheduleDayEdit : public VexalStackedContentForm {
public:
    static constexpr state_id_t STATE_ID = 17;
    // The last quarter hour an interval may start at.
    static constexpr int LAST_START = SCHEDULE_DAY - SCHEDULE_STEP;

    // Recolours the preview with the checked type.
    class IntervalChangeCommand : public ICommand {
    public:
        explicit IntervalChangeCommand(FormScheduleDayEdit& form)
            : mForm(form) {}
        void execute() override;

    private:
        FormScheduleDayEdit& mForm;
    };

    explicit FormScheduleDayEdit(const State& state);
    ~FormScheduleDayEdit() override;

    void handleMessage(Message* message) override;

    // The tag (1 or 2) of the checked type button; the preview type when none is checked.
    period_type_t getIntervalType() const;
    // Checks the button of type 1 or 2; other types check none.
    void setCheckedIntervalType(period_type_t type);

private:
    // Takes the old interval out and sets the shown one, in the value as it stands now.
    void store();
    void fromChanged(int from);

    Ovi mOvi;
    unsigned mDay = 0;
    int mStart = 0;          // the interval as it was when the editor opened
    int mEnd = 0;            // start itself for a new interval
    period_type_t mType = 1; // the preview type: the start's, 0 read as 1
    Timeline* mTimeline = nullptr;
    RadioGroup mTypes;
    NumericUpDown<int>* mFrom = nullptr;
    NumericUpDown<int>* mTo = nullptr;
    StaticNumber<int>* mToValue = nullptr; // owned by mTo
    int mShownFrom = 0;
    int mShownTo = 0;
    Button* mSave = nullptr;
    Button* mCancel = nullptr;
};

} // namespace tdx
