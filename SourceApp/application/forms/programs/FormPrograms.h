// The programs tab: links to the installation-wide programs, winter and summer, standby and vacation. It only
// navigates.
#pragma once

#include "SourceApp/application/forms/VexalHomeForm.h"

namespace tdx {

class FormPrograms : public VexalHomeForm {
public:
    static constexpr state_id_t LOCATION_STATE_ID = 38;
    static constexpr state_id_t VACATION_STATE_ID = 65;
    static constexpr state_id_t STANDBY_STATE_ID = 66;

    explicit FormPrograms(const State& state);
    ~FormPrograms() override;
};

} // namespace tdx
