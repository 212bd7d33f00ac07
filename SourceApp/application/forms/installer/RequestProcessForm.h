// The last step of the enrolment, removal and profile change: the request is written into values of the
// location object, which the network bridge publishes; the screen then waits without blocking for the control
// unit's answer in another location value, or 30 s, and offers "Finish". Navigation stays off meanwhile, so
// the request is never left behind half seen.
#pragma once

#include "Libraries/base/Timer.h"
#include "SourceApp/application/forms/VexalWizardForm.h"
#include "SourceApp/storage/ProxyStructure.h"

#include <cstdint>

namespace tdx {

class Component;
class IStringComponent;
class ProgressBar;

class RequestProcessForm : public VexalWizardForm, public ProxyValueChangeHandler {
public:
    static constexpr unsigned TIMEOUT_MS = 30000;

    enum class Phase : uint8_t { Request, Waiting, Finished };
    enum class Answer { Pending, Success, Failure };

    struct Texts {
        const char* heading;
        const char* waiting;
        const char* success;
        const char* failure;
        const char* timeout;
    };

    ~RequestProcessForm() override;

    void handleMessage(Message* message) override;
    // The screen is left only through "Finish": a control unit restarting after the request (as it does after
    // a profile change) does not take the result away.
    void handleEvent(Event* event) override;
    void handleProxyValueChange(ProxyObject& object, const OviEx& change) override;

    Phase getPhase() const { return mPhase; }

protected:
    RequestProcessForm(const State& state, const char* name, const Texts& texts, vid_t watched);

    // Registers for the answer and writes the request; the derived constructor calls it last.
    void initialize();
    // Writes the request; false when there was nothing to ask or the write failed.
    virtual bool request() = 0;
    // The answer the watched value gives now.
    virtual Answer answer() = 0;
    // What "Finish" does.
    virtual void finish() = 0;
    // The control unit answered, but not as asked: the time-out then reports a failure instead.
    virtual bool answeredOtherwise() const { return false; }

private:
    void update();
    void show(const char* text, bool failed);

    const Texts& mTexts;
    const vid_t mWatched;
    Phase mPhase = Phase::Request;
    Timer mTimeout{TIMEOUT_MS};
    Component* mPleaseWait = nullptr;
    IStringComponent* mStatus = nullptr;
    ProgressBar* mProgress = nullptr;
};

// The ids a wizard hands on in its state; none for a plain state.
const std::vector<uint32_t>& handedIds(const State& state);

} // namespace tdx
