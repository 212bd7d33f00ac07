// Enrolment's last step: the chosen ids go to the learn list, then the serial number; the control unit
// empties the list once the component is enrolled.
#pragma once

#include "SourceApp/application/forms/installer/RequestProcessForm.h"

#include <cstdint>
#include <optional>

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

// The profile change: the requested profile goes to 0x80EE; the first current profile (0x80E8) other than
// the one in use before the request decides: the requested one, as asked or as 0x80EE reads then, is a
// success, any other a failure at once. The control unit may re-publish the old profile, or reset the
// request, before it applies the new one, so the old profile keeps the wait; when only it came back, the
// time-out reports a failure.
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
    static std::optional<uint32_t> currentProfile();
    static std::optional<uint32_t> requestedProfile();

    bool mOtherProfile = false;
    // The current profile when the request was written; none when it could not be read.
    std::optional<uint32_t> mBefore;
};

} // namespace tdx
