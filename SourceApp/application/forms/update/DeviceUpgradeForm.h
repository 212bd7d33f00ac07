// The frame of every screen of the device update wizard. The running update process decides which screen
// shows; a screen only shows the step and hands the user's choice to the process's controller. The widgets
// here are the wizard's few building blocks: heading, text, busy bar and information row.
#pragma once

#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/forms/VexalWizardForm.h"

#include <string>

namespace tdx {

class ContainedLabel;
class ProgressBar;
class TextFrame;
class UpdateController;
class UpdateModel;
class UpdateProcess;

class DeviceUpgradeForm : public VexalWizardForm {
protected:
    // The second button, when there is one, reads "Cancel". The display stays awake on every step.
    DeviceUpgradeForm(const State& state, bool withCancel, const char* name);
    ~DeviceUpgradeForm() override;

    // The running process, or null (traced) when none runs or it is ending.
    static UpdateProcess* process();
    static UpdateController* controller();
    // Cancel on a step that waits for the process: the process is told to stop and moves the wizard on
    // itself.
    static void abortProcess();
    // The process of a screen that cannot be built without one: without it the screen goes back (the
    // update manager's rollback never builds a wizard screen, so this only guards a mistake) and the caller
    // builds nothing more.
    UpdateModel* requireModel();

    ContainedLabel* addHeading(const char* text);
    TextFrame* addText(const std::string& text);
    // The step's progress bar under the text, and the line that stands under the bar (a countdown, a
    // percentage).
    ProgressBar* addBar();
    ContainedLabel* addBarCaption(const std::string& text);
    // An animated bar without a known progress.
    ProgressBar* addBusyBar();
    // A caption and its value side by side; the widths add up to the content's width.
    void addInfoRow(const char* caption, const std::string& value, int captionWidth = 186,
                    int valueWidth = 81);
    int contentWidth() const;
    // A package as the user knows it: its file name without the card folder it lies in.
    static std::string packageName(const std::string& path);
    // Gives the content its final height; the last step of every constructor.
    void finish();
};

} // namespace tdx
