// The display tab: links to the screen settings, the display's own device information, date and time, and
// language and country; the update of the display's software; and, under "Actions", a restart and a reset
// to factory defaults, each asked for once more in a popup.
#pragma once

#include "SourceApp/application/forms/VexalHomeForm.h"

#include <cstdint>

namespace tdx {

class NavigationLink;

class FormDisplay : public VexalHomeForm {
public:
    explicit FormDisplay(const State& state);
    ~FormDisplay() override;

    void handleMessage(Message* message) override;

private:
    enum PendingAction : uint8_t { None = 0, Restart = 1, FactoryReset = 2 };

    NavigationLink* mResetLink;
    NavigationLink* mUpdateLink;
    NavigationLink* mRestartLink;
    PendingAction mPendingAction = None; // what the open popup asks about
};

} // namespace tdx
