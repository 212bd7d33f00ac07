// One day of a week schedule: its bar and its intervals, each with delete and edit, the link that adds an
// interval in the first free quarter hour and the one that copies the day to other days. Every change is
// made on the value as it then stands and written whole.
#pragma once

#include "SourceApp/application/forms/VexalStackedContentForm.h"
#include "SourceApp/storage/Ovi.h"
#include "SourceApp/storage/schedule.h"

#include <vector>

namespace tdx {

class NavigationLink;
class Timeline;

class FormScheduleDayOverview : public VexalStackedContentForm {
public:
    static constexpr state_id_t STATE_ID = 18;
    static constexpr uint32_t EDIT_TAG = 100;
    static constexpr uint32_t DELETE_TAG = 101;

    explicit FormScheduleDayOverview(const State& state);
    ~FormScheduleDayOverview() override;

    void handleMessage(Message* message) override;

    // Writes the week the screen holds, whole, when the object exists; false (nothing written) when it does
    // not.
    bool store();

private:
    // Lists the day afresh: one row per run of equal type, midnight to midnight.
    void updateIntervals();
    void putInterval(int start, int end, period_type_t type);
    void deleteIntervals();
    // Opens the interval editor on [start, end).
    void edit(int start, int end);
    // Frees the interval waiting for the confirmation, in the value as it stands now.
    void deleteConfirmed();
    // The day shown changed: bar, list and layout follow.
    void show(const week_schedule_t& week);

    Ovi mOvi;
    unsigned mDay = 0;
    week_schedule_t mWeek{};
    Timeline* mTimeline = nullptr;
    NavigationLink* mAddLink = nullptr;
    StackedContainer* mList = nullptr;
    std::vector<Container*> mRows;
    int mDeleteStart = 0;
    int mDeleteEnd = 0;
    bool mDeleteAsked = false; // this screen's delete popup is open
};

} // namespace tdx
