// How bright the screen is while in use, how long it stays bright before it dims and how long it then stays
// dimmed before it turns off; how touch calibration is started, the touch test, and the demo mode. Every
// choice takes effect at once and is stored at once.
#pragma once

#include "SourceApp/application/controls/DropdownItem.h"
#include "SourceApp/application/forms/VexalStackedContentForm.h"
#include "SourceApp/system/SystemMgr.h"

#include <array>
#include <cstdint>

namespace tdx {

class NavigationLink;
class SwitchButton;

class FormDisplaySettings : public VexalStackedContentForm {
public:
    // Percent of the active screen, by the brightness item's index.
    static constexpr std::array<uint8_t, 4> BrightnessList{6, 25, 50, 100};
    // Seconds, by the delay item's index; 0 never.
    static constexpr std::array<uint16_t, 8> DelayList{0, 10, 60, 180, 300, 600, 900, 3600};

    class ChangeBrightnessCommand : public DropdownItemClickCommand {
    public:
        void execute(DropdownItem* item) override;
    };

    // How long the screen stays in a state (active or dimmed) before it leaves it.
    class ChangeStateDelayCommand : public DropdownItemClickCommand {
    public:
        explicit ChangeStateDelayCommand(screen_state_t state)
            : mScreenState(state) {}
        void execute(DropdownItem* item) override;

    private:
        screen_state_t mScreenState;
    };

    explicit FormDisplaySettings(const State& state);
    ~FormDisplaySettings() override;

    void handleMessage(Message* message) override;

private:
    void addDelayRow(const char* title, screen_state_t state);

    NavigationLink* mCalibrateLink;
    SwitchButton* mDemoSwitch;
};

} // namespace tdx
