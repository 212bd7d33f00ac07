// What the date, time and weekday-event pickers share: "Cancel" on the left, "OK" on the right, and between
// them columns of an up arrow, a value and a down arrow, 80 pixels high in all. A press on an arrow (and each
// hold repeat) steps its column; a click on OK or Cancel sends MSG_OK or MSG_CANCEL with the picker as
// source.
#pragma once

#include "SourceApp/gui/core/Container.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace tdx {

class Button;
class ContainedLabel;
class IconButton;

class ColumnPicker : public Container {
public:
    static constexpr int HEIGHT = 80;
    static constexpr int BUTTON_WIDTH = 40;
    static constexpr int ROW_HEIGHT = 26;

    void handleMessage(Message* message) override;
    void handleDraw() override;

protected:
    ColumnPicker(Container* parent, int x, int y, int width);

    // Builds Cancel, the columns of these widths left to right (one free pixel between neighbours) and OK at
    // the right edge. Called once by the derived constructor.
    void buildColumns(std::initializer_list<int> widths);
    // The user stepped a column: +1 by its up arrow, -1 by its down arrow.
    virtual void step(int column, int direction) = 0;
    void setColumnText(int column, const std::string& text);

private:
    Button* mCancel = nullptr;
    Button* mOk = nullptr;
    std::vector<IconButton*> mUp;
    std::vector<IconButton*> mDown;
    std::vector<ContainedLabel*> mLabels;
};

} // namespace tdx
