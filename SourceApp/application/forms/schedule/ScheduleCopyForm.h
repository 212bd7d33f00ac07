// What both schedule copy wizards share: a heading, one check button a target, "Copy" enabled while at least
// one is checked, and "Cancel". Each wizard says what its targets are and how it copies.
#pragma once

#include "SourceApp/application/forms/VexalWizardForm.h"

#include <string>
#include <vector>

namespace tdx {

class Checkbox;

class ScheduleCopyForm : public VexalWizardForm {
public:
    void handleMessage(Message* message) override;

protected:
    ScheduleCopyForm(const State& state, const char* name, const char* helpTopic);
    ~ScheduleCopyForm() override;

    void addHeading(const std::string& text);
    // A check button across the content with the target's name; its tag stands for the target.
    Checkbox* addTarget(const std::string& text, uint32_t tag);
    const std::vector<Checkbox*>& getTargets() const { return mTargets; }
    // Copies onto the checked targets; the wizard goes back afterwards in every case.
    virtual void copyAndStore() = 0;

private:
    std::vector<Checkbox*> mTargets;
};

} // namespace tdx
