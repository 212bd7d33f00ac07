// The header of a collapsible section: a link-like row with the title and an arrow, shown inverted while
// open. A click opens or closes it, showing or hiding its content; the open flag is kept with the screen's
// saved component state.
#pragma once

#include "SourceApp/gui/core/Control.h"

#include <string>

namespace tdx {

class DropdownButton : public Control {
public:
    DropdownButton(Container* parent, int x, int y, int width, int height, std::string title);

    // The section shown while open (hidden now when closed).
    void setCollapsibleContent(Container* content);
    // open: show the content; with focus, an opening asks the screen to bring the content into view.
    void setCollapsed(bool open, bool focus);
    bool isOpen() const { return mOpen; }
    const std::string& getTitle() const { return mTitle; }

    void handleDraw() override;

    bool isSerializable() const override { return true; }
    bool isOwnSerializedState(const SerializedState* state) const override;
    std::unique_ptr<SerializedState> handleSerialize() override;
    void handleDeserialize(const SerializedState* state) override;

protected:
    void handleClick() override;

private:
    std::string mTitle;
    Container* mContent = nullptr;
    bool mOpen = false;
};

} // namespace tdx
