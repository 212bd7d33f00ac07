// The control unit's hardware profile: the hub that shows the current one (51), the change with its
// confirmation (52), and the configuration the profile asks for: its inputs and outputs by kind (54), the
// source of the outdoor temperature (55) and the relays it leaves free, by device (56), each named and given
// a function (57).
#pragma once

#include "SourceApp/application/controls/RadioGroup.h"
#include "SourceApp/application/forms/VexalStackedContentForm.h"
#include "SourceApp/application/forms/VexalWizardForm.h"
#include "SourceApp/storage/HwProfile.h"

namespace tdx {

class ProxyObject;
class SwitchButton;

// The profile the control unit runs (the low byte of 0x80E8) among those offered; null when unknown.
const HwProfile::IProfile* currentProfile();

class FormProfile : public VexalStackedContentForm {
public:
    explicit FormProfile(const State& state);
    ~FormProfile() override;
};

class FormProfileChange : public VexalWizardForm {
public:
    explicit FormProfileChange(const State& state);
    ~FormProfileChange() override;
    void handleMessage(Message* message) override;

private:
    RadioGroup mProfiles;
    bool mConfirming = false;
};

class FormProfileConfiguration : public VexalStackedContentForm {
public:
    explicit FormProfileConfiguration(const State& state);
    ~FormProfileConfiguration() override;

private:
    void createProfileUI(const HwProfile::IProfile* profile);
};

class FormProfileOutdoorTemp : public VexalStackedContentForm {
public:
    explicit FormProfileOutdoorTemp(const State& state);
    ~FormProfileOutdoorTemp() override;
    void handleMessage(Message* message) override;

private:
    SwitchButton* mSwitch = nullptr;
};

class FormProfileUserOutputs : public VexalStackedContentForm {
public:
    explicit FormProfileUserOutputs(const State& state);
    ~FormProfileUserOutputs() override;

private:
    bool addDevice(ProxyObject& device);
};

class FormProfileUserOutputEdit : public VexalStackedContentForm {
public:
    explicit FormProfileUserOutputEdit(const State& state);
    ~FormProfileUserOutputEdit() override;
};

} // namespace tdx
