// The four tab screens (home, programs, system, display): the sidebar holds their tabs, which navigate as
// soon as they are pressed. Each tab screen marks its own tab with selectTab().
#pragma once

#include "SourceApp/application/forms/VexalSidebarForm.h"

namespace tdx {

class Button;

class VexalHomeForm : public VexalSidebarForm {
public:
    static constexpr state_id_t HOME_STATE_ID = 9;
    static constexpr state_id_t PROGRAMS_STATE_ID = 10;
    static constexpr state_id_t SYSTEM_STATE_ID = 11;
    static constexpr state_id_t DISPLAY_STATE_ID = 12;

    explicit VexalHomeForm(const State& state);
    ~VexalHomeForm() override;

protected:
    // White with black text and disabled: the tab of the screen shown.
    static void selectTab(Button* tab);

    Button* mInfoButton;
    Button* mProgramsButton;
    Button* mSystemButton;
    Button* mDisplayButton;
};

} // namespace tdx
