// The service screen of the district-heating unit: its sensor readings and its manual operation. The unit
// reports none of its readings over the network and takes no manual command from the display, so the
// readings show "--" and the manual operation is shown disabled.
#pragma once

#include "SourceApp/application/forms/VexalStackedContentForm.h"

namespace tdx {

class NavigationLink;

class FormMireloService : public VexalStackedContentForm {
public:
    explicit FormMireloService(const State& state);
    ~FormMireloService() override;

    // A click of the calibrate link leads nowhere: the unit takes no calibration from the display.
    void handleMessage(Message* message) override;

private:
    NavigationLink* mCalibrate = nullptr; // disabled, for the reason above
};

} // namespace tdx
