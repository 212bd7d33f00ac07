// A modal message over the whole screen: a framed box with a title bar, a bold heading and a wrapped text,
// and either "Close" or "OK" and "Cancel". Pressing a button - or anywhere outside the box, which counts as
// Cancel - sends MSG_POPUP_RESULT (no source; p1 0 for OK, 1 for Cancel and Close), runs the accept or
// cancel command and closes the popup.
#pragma once

#include "SourceApp/gui/core/Container.h"
#include "SourceApp/gui/core/ICommand.h"

#include <memory>
#include <string>

namespace tdx {

class Button;

class Popup : public Container {
public:
    static constexpr int RESULT_OK = 0;
    static constexpr int RESULT_CANCEL = 1;
    static constexpr Box FRAME{20, 40, 280, 160};

    // Opens the popup as the newest layer; null (with a trace line) when no GUI core runs.
    static Popup* create(const std::string& title, const std::string& heading, const std::string& text,
                         PopupButtons buttons);

    void setAcceptCommand(std::unique_ptr<ICommand> command) { mAccept = std::move(command); }
    void setCancelCommand(std::unique_ptr<ICommand> command) { mCancel = std::move(command); }

    void handleEvent(Event* event) override;
    void handleDraw() override;

    // What the buttons do: report the result, run its command, close. Only the first call counts.
    void finish(int result);

private:
    Popup(const std::string& title, const std::string& heading, const std::string& text,
          PopupButtons buttons);

    std::string mTitle;
    std::unique_ptr<ICommand> mAccept;
    std::unique_ptr<ICommand> mCancel;
    bool mFinished = false;
};

} // namespace tdx
