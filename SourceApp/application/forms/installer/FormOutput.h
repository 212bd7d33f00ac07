// An output under manual control (state 37, p1 the output): its name and an "Output" switch that shows
// whether the output is on and, flipped by the user, asks the control unit for the output's source maximum
// (on) or minimum (off) through 0x80F0. The switch then follows what the control unit reports.
#pragma once

#include "SourceApp/application/forms/VexalStackedContentForm.h"

namespace tdx {

class NumberToCheckboxAdapter;
class SwitchButton;

class FormOutput : public VexalStackedContentForm {
public:
    static constexpr vid_t VID_REQUEST = 0x80F0;

    explicit FormOutput(const State& state);
    ~FormOutput() override;

    void handleMessage(Message* message) override;

private:
    // Writes the source value that the switch's new position asks for, when it is known and not there yet;
    // false when the control unit could not be asked for that position.
    bool request(bool on) const;

    SwitchButton* mSwitch = nullptr;
    // Sets the switch as the output's value reports it; owned by the form model.
    NumberToCheckboxAdapter* mFollower = nullptr;
};

} // namespace tdx
