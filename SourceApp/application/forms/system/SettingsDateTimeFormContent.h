// The date, the time and daylight saving of the display, as one panel: the date and time screen shows it
// under its title, and the first-start guide in its last step. Every change of the clock made here is sent
// to the control unit.
#pragma once

#include "SourceApp/gui/core/layout/StackedContainer.h"

namespace tdx {

class ProxySwitchButton;
class TextFrame;

class SettingsDateTimeFormContent : public StackedContainer {
public:
    // As wide as the parent, as high as its rows.
    SettingsDateTimeFormContent(Container* parent, int x, int y);
    ~SettingsDateTimeFormContent() override;

    void handleMessage(Message* message) override;

    // Tells when daylight saving time next begins or ends, or that it is not observed.
    void updateDaylightSaving();

private:
    // The user switched daylight saving: during summer time the clock moves by the hour at once.
    void daylightSavingSwitched(bool on);

    ProxySwitchButton* mDaylightSwitch;
    TextFrame* mExplanation;
};

} // namespace tdx
