// The editor of a district-heating unit that supplies the hot water (state 73, p1 the hot-water object): its
// name, its schedule mode, a link to its service screen and its advanced settings. Only the name is stored
// in the unit; the schedule mode and the advanced settings have no value to write to, so they are shown
// read-only rather than taking edits that would be lost.
#pragma once

#include "SourceApp/application/forms/VexalStackedContentForm.h"

namespace tdx {

class NavigationLink;

class FormMireloEdit : public VexalStackedContentForm {
public:
    static constexpr state_id_t SERVICE_STATE_ID = 74;
    static constexpr vid_t VID_SCHEDULE = 0xF017;

    explicit FormMireloEdit(const State& state);
    ~FormMireloEdit() override;

    void handleMessage(Message* message) override;

private:
    void buildAdvanced(StackedContainer* content);

    NavigationLink* mServiceLink = nullptr;
    NavigationLink* mResetLink = nullptr;
};

} // namespace tdx
