// The week schedule of one object's schedule value: a bar per day with an arrow into the day, and the link
// that copies the whole week to other objects. The value, its title and the object come with a
// ScheduleEditState.
#pragma once

#include "SourceApp/application/forms/VexalStackedContentForm.h"
#include "SourceApp/storage/Ovi.h"

#include <string>

namespace tdx {

class FormSchedule : public VexalStackedContentForm {
public:
    static constexpr state_id_t STATE_ID = 16;

    explicit FormSchedule(const State& state);
    ~FormSchedule() override;

    // The schedule and title a state of the schedule screens carries; a plain state gives its first two
    // parameters and no title.
    static Ovi ovi(const State& state);
    static std::string title(const State& state);
};

} // namespace tdx
