// The screenshot commands behind the windows' buttons: the picture into a BMP file chosen in a save dialog,
// or onto the clipboard as a BMP and as an image. Failures are reported to the user.
#pragma once

#include "SourceHost/host/Canvas.h"
#include "SourceHost/host/Command.h"

#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace tdx {

// Tells the user something went wrong (a warning box in the program).
using ScreenshotReporter = std::function<void(const std::string& text)>;
ScreenshotReporter screenshot_warning_box(QWidget* parent);

class SaveScreenshotDialog : public Command {
public:
    // Asks for the path, proposing the last one; empty when the user cancelled. The program's chooser
    // confirms before an existing file is replaced and adds ".bmp" to a name without an extension.
    using Chooser = std::function<std::string(const std::string& proposed)>;
    static Chooser fileDialog(QWidget* parent);

    SaveScreenshotDialog(std::shared_ptr<Canvas> canvas, Chooser chooser, ScreenshotReporter report);
    void execute(MessageArgument*) override;
    const std::string& proposedPath() const { return mPath; }

private:
    std::shared_ptr<Canvas> mCanvas;
    Chooser mChooser;
    ScreenshotReporter mReport;
    std::string mPath = "screenshot.bmp";
};

class ScreenshotToClipboard : public Command {
public:
    ScreenshotToClipboard(std::shared_ptr<Canvas> canvas, ScreenshotReporter report);
    void execute(MessageArgument*) override;

private:
    std::shared_ptr<Canvas> mCanvas;
    ScreenshotReporter mReport;
};

} // namespace tdx
