// Shown while the display is not enrolled in a control unit: how to enrol it, with a "Learn" button that puts
// the network client into learn mode. Back to the splash screen as soon as a control unit connects.
#pragma once

#include "SourceApp/gui/core/Form.h"

namespace tdx {

class Button;
class Component;

class FormNotLearned : public Form {
public:
    explicit FormNotLearned(const State& state);

    void handleEvent(Event* event) override;
    void handleMessage(Message* message) override;

private:
    Component* mLed = nullptr;
    Button* mLearn = nullptr;
};

} // namespace tdx
