// The system tab: the installation's heating functions present in the object tree, the component actions
// (enrol, remove, update the control unit, backup and restore), the global peripherals, the control unit's
// information and the hardware profile. It only navigates, and starts the control unit's update.
#pragma once

#include "SourceApp/application/forms/VexalHomeForm.h"

#include <cstdint>

namespace tdx {

class NavigationLink;

class FormSystem : public VexalHomeForm {
public:
    explicit FormSystem(const State& state);
    ~FormSystem() override;

    void handleMessage(Message* message) override;

    // Whether the object tree holds an object of the type (subtype not compared).
    static bool hasObjectOfType(uint8_t type);

private:
    NavigationLink* mUpdateLink;
};

} // namespace tdx
