// Winter and summer: the installation's heating/cooling mode, how the control unit switches between the two,
// and the cooling settings that the switching mode uses. What is shown is decided once, from the switching
// mode as the screen opens; the rows follow their own values.
#pragma once

#include "SourceApp/application/forms/VexalStackedContentForm.h"

namespace tdx {

class FormLocation : public VexalStackedContentForm {
public:
    static constexpr state_id_t STATE_ID = 38;
    static constexpr uint8_t NOT_AVAILABLE = 0;
    static constexpr uint8_t MANUAL = 1;
    static constexpr uint8_t BY_TEMPERATURE = 3;

    explicit FormLocation(const State& state);
    ~FormLocation() override;

    // The translated sentence of a switching mode.
    static const char* getHcSwitchingText(unsigned char mode);
};

} // namespace tdx
