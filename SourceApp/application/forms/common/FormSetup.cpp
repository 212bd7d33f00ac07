#include "SourceApp/application/forms/common/FormSetup.h"

#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/gui/core/layout/Viewport.h"

namespace tdx {

namespace {

constexpr int COLUMN_X = 50;
constexpr int COLUMN_Y = 60;
constexpr int COLUMN_WIDTH = 195;

} // namespace

FormSetup::FormSetup(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormSetup");
    // A narrower column further in: the viewport moves and the content follows it.
    mViewport->setPosition(COLUMN_X, COLUMN_Y);
    mViewport->setDimensions(COLUMN_WIDTH, mViewport->getBottom() + 1 - COLUMN_Y);
    StackedContainer* content = getContent();
    content->setDimensions(COLUMN_WIDTH, content->getHeight());
    content->setSpacing(20);
    // Developer's captions, the same in every language.
    NavigationLink::Builder builder{.parent = content, .width = COLUMN_WIDTH, .height = 38};
    for (const char* caption : {"Manual setup", "Auto step", "Advanced setup"}) {
        builder.text = caption;
        builder.build();
    }
    content->fitToContent();
}

} // namespace tdx
