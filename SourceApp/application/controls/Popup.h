// A modal message over the whole screen: a framed box with a title bar, a bold heading and a wrapped text,
// and either "Close" or "OK" and "Cancel". The frame grows with its text up to the screen's height; a
// longer text scrolls when dragged. Pressing a button - or anywhere outside the box, which counts as
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
    // The frame of a text of up to four lines; longer texts make it taller, centred on the screen.
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

    const Box& getFrame() const { return mFrame; }
    // How far the text is scrolled up, in pixels; 0 while it fits.
    int getScroll() const { return mScroll; }

private:
    Popup(const std::string& title, const std::string& heading, const std::string& text,
          PopupButtons buttons);
    void scrollTo(int scroll);

    std::string mTitle;
    std::string mText;
    Box mFrame;
    Box mTextBox;
    int mTextHeight = 0; // of all its lines
    int mScroll = 0;
    int mDragY = -1; // where the drag of the text began, -1 when none is under way
    int mDragScroll = 0;
    std::unique_ptr<ICommand> mAccept;
    std::unique_ptr<ICommand> mCancel;
    bool mFinished = false;
};

} // namespace tdx
