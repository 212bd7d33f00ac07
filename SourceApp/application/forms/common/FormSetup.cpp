#include "SourceApp/application/forms/common/FormSetup.h"

#include "SourceApp/application/controls/NavigationLink.h"

namespace tdx {

namespace {

constexpr int COLUMN_WIDTH = 195;

} // namespace

FormSetup::FormSetup(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormSetup");
    StackedContainer* content = getContent();
    content->setPosition(50, 60);
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
