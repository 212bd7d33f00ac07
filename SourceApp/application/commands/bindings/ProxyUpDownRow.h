// A settings row with a title and an up-down bound to a number of the data model: limits, step and text from
// the value's descriptor (limits that follow other values of the object follow them here too), the value
// written one second after the last tap. The title turns blue while a change waits to be written and black
// again once it is written, or found to change nothing; the up-down follows the value's changes. A title too
// long for its line takes the smaller font, and wraps onto two lines where one is still not enough.
#pragma once

#include "SourceApp/application/controls/UpDown.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/core/layout/StackedContainer.h"
#include "SourceApp/storage/Ovi.h"

#include <string>

namespace tdx {

class ContainedLabel;
class FormModel;
class TextFrame;

class ProxyUpDownRow : public RowContainer {
public:
    static constexpr int UP_DOWN_WIDTH = 122;
    static constexpr unsigned COMMIT_DELAY_MS = 1000;
    static constexpr unsigned PENDING_COLOUR = colour::TITLE;

    // An empty title shows the value's translated name.
    ProxyUpDownRow(Container* parent, int x, int y, int width, int height, const SignedOvi& ovi,
                   FormModel& model, const std::string& title);
    ProxyUpDownRow(Container* parent, int x, int y, int width, int height, const UnsignedOvi& ovi,
                   FormModel& model, const std::string& title);

    UpDownBase* getUpDown() const { return mUpDown; }
    const std::string& getTitle() const;

    void handleMessage(Message* message) override;

private:
    ProxyUpDownRow(Container* parent, int x, int y, int width, int height, const std::string& title);
    void bindTo(FormModel& model, const Ovi& ovi);
    void follow();
    void setTitleColour(unsigned colour);

    ContainedLabel* mTitle = nullptr;
    TextFrame* mLongTitle = nullptr;
    UpDownBase* mUpDown = nullptr;
};

} // namespace tdx
