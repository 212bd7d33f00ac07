// Enrolment's last step: the chosen ids go to the learn list, then the serial number; the control unit
// empties the list once the component is enrolled.
#pragma once

#include "SourceApp/application/forms/installer/RequestProcessForm.h"

namespace tdx {

class FormEnrollProcess : public RequestProcessForm {
public:
    explicit FormEnrollProcess(const State& state);
    ~FormEnrollProcess() override;

protected:
    bool request() override;
    Answer answer() override;
    void finish() override;
};

// The removal's last step: the chosen ids go to the delete list, which the control unit empties once done.
class FormRemoveProcess : public RequestProcessForm {
public:
    explicit FormRemoveProcess(const State& state);
    ~FormRemoveProcess() override;

protected:
    bool request() override;
    Answer answer() override;
    void finish() override;
};

// The profile change: the requested profile goes to 0x80EE; done when the control unit reports it as its
// current profile. The control unit may re-publish the old profile, or reset the request, before it applies
// the new one, so only the requested profile ends the wait early.
class FormProfileChangeProcess : public RequestProcessForm {
public:
    explicit FormProfileChangeProcess(const State& state);
    ~FormProfileChangeProcess() override;

protected:
    bool request() override;
    Answer answer() override;
    void finish() override;
    bool answeredOtherwise() const override { return mOtherProfile; }

private:
    bool mOtherProfile = false;
};

} // namespace tdx
