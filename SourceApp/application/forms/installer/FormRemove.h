// The removal wizard: global components (46), components of rooms (47), one room with its components (48)
// or every room (49), each handed as a list of ids to the request screen (50). The choice screens show the
// installation as it was when they were built and write nothing themselves.
#pragma once

#include "SourceApp/application/controls/RadioGroup.h"
#include "SourceApp/application/forms/VexalStackedContentForm.h"
#include "SourceApp/application/forms/VexalWizardForm.h"

#include <cstdint>
#include <vector>

namespace tdx {

class Checkbox;
class GridContainer;
class ProxyObject;
class StackedContainer;

class FormRemoveComponent : public VexalStackedContentForm {
public:
    explicit FormRemoveComponent(const State& state);
    ~FormRemoveComponent() override;
};

// A step that hands the tags of its checked buttons to the removal.
class RemoveChoiceForm : public VexalWizardForm {
public:
    ~RemoveChoiceForm() override;
    void handleMessage(Message* message) override;

protected:
    RemoveChoiceForm(const State& state, const char* name);
    void updateChecked();

    std::vector<Checkbox*> mChecks;
    StackedContainer* mNote = nullptr;
};

class FormRemoveFromLocation : public RemoveChoiceForm {
public:
    explicit FormRemoveFromLocation(const State& state);
    ~FormRemoveFromLocation() override;
};

class FormRemoveFromExisting : public RemoveChoiceForm {
public:
    explicit FormRemoveFromExisting(const State& state);
    ~FormRemoveFromExisting() override;

private:
    void addRoom(ProxyObject& room);
};

class FormRemoveRoom : public VexalWizardForm {
public:
    explicit FormRemoveRoom(const State& state);
    ~FormRemoveRoom() override;
    void handleMessage(Message* message) override;

private:
    class OnItemSelected;
    void addRoom(ProxyObject& room);

    RadioGroup mRooms;
    GridContainer* mGrid = nullptr;
    StackedContainer* mNote = nullptr;
};

class FormRemoveLocation : public VexalWizardForm {
public:
    explicit FormRemoveLocation(const State& state);
    ~FormRemoveLocation() override;
    void handleMessage(Message* message) override;
};

// Every room of the installation, device by device in ascending object id, each by its device's index list.
std::vector<ProxyObject*> installationRooms();

} // namespace tdx
