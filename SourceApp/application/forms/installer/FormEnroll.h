// The enrolment wizard: what kind of component (39), where it goes (40 free outputs for a new room, 41 the
// whole installation, 42 an existing room), its serial number (43), then the request (44). While a target
// or the serial number is open, the learn list 0x80AC follows the installer's choice, so that the control
// unit knows what the component will be enrolled into; it is withdrawn when the wizard is left by home or
// the alarm button, and kept when it goes on with Next (or Back, whose screen writes it again).
#pragma once

#include "SourceApp/application/controls/RadioGroup.h"
#include "SourceApp/application/forms/VexalStackedContentForm.h"
#include "SourceApp/application/forms/VexalWizardForm.h"

#include <cstdint>
#include <vector>

namespace tdx {

class Checkbox;
class TextFrame;
class GridContainer;
class ProxyObject;
class SerialNumberEditor;
class StackedContainer;

class FormEnrollComponent : public VexalStackedContentForm {
public:
    explicit FormEnrollComponent(const State& state);
    ~FormEnrollComponent() override;
};

// A step that holds the learn list while it is open.
class LearnListForm : public VexalWizardForm {
public:
    ~LearnListForm() override;

protected:
    LearnListForm(const State& state, const char* name);
    // Publishes the ids (each once, at most 64) as the learn list, or withdraws it when there are none; the
    // ids as published.
    const std::vector<uint32_t>& publish(const std::vector<uint32_t>& ids);
    // On to the serial number with the screen's ids.
    void handOn();

    bool mClear = true;
    std::vector<uint32_t> mIds;
};

class FormEnrollIntoNew : public LearnListForm {
public:
    explicit FormEnrollIntoNew(const State& state);
    ~FormEnrollIntoNew() override;
    void handleMessage(Message* message) override;

private:
    void addDevice(ProxyObject& device);
    void updateChecked();

    std::vector<Checkbox*> mChecks;
};

class FormEnrollIntoLocation : public LearnListForm {
public:
    explicit FormEnrollIntoLocation(const State& state);
    ~FormEnrollIntoLocation() override;
    void handleMessage(Message* message) override;
};

class FormEnrollIntoExisting : public LearnListForm {
public:
    explicit FormEnrollIntoExisting(const State& state);
    ~FormEnrollIntoExisting() override;
    void handleMessage(Message* message) override;

private:
    class OnItemSelected;
    void addRoom(ProxyObject& room);
    void selectionChanged();

    RadioGroup mRooms;
    GridContainer* mGrid = nullptr;
    StackedContainer* mNote = nullptr;
};

class FormEnrollEnterSerial : public LearnListForm {
public:
    explicit FormEnrollEnterSerial(const State& state);
    ~FormEnrollEnterSerial() override;
    void handleMessage(Message* message) override;

    // The entry can be handed on: complete, within 32 bits, and with the product's prefix.
    bool isEntryValid() const;

private:
    SerialNumberEditor* mEditor = nullptr;
    TextFrame* mHint = nullptr;
};

} // namespace tdx
