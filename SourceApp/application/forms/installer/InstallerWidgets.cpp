#include "SourceApp/application/forms/installer/InstallerWidgets.h"
#include "SourceApp/application/forms/installer/InstallerValues.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/commands/ChangeStateCommand.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/application/forms/VexalWizardForm.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/core/layout/GridContainer.h"

namespace tdx::installer {

namespace {
constexpr int BREADCRUMB_HEIGHT = 12;
constexpr int HEADING_HEIGHT = 17;
constexpr int NOTE_INDENT = 9;
constexpr unsigned NOTE_SPACING = 10;
constexpr unsigned STEP_SPACING = 9;
} // namespace

void buildMenu(StackedContainer* content, const char* breadcrumb, const char* instruction,
               const MenuLink* links, size_t count) {
    new ContainedLabel(content, 0, 0, ROW_WIDTH, BREADCRUMB_HEIGHT, &bif_myriad12, gettext(breadcrumb),
                       HorizontalAlign::Center);
    new TextFrame(content, 0, 0, ROW_WIDTH, 0, &bif_myriad12, gettext(instruction));
    NavigationLink::Builder builder{.parent = content,
                                    .width = ROW_WIDTH,
                                    .height = ROW_HEIGHT,
                                    .buttonIcon = {res_arrow_right_double, 0, 0}};
    for (size_t i = 0; i < count; ++i) {
        builder.text = gettext(links[i].text);
        builder.build()->setClickCommand(std::make_unique<ChangeStateCommand>(links[i].state));
    }
    content->fitToContent();
}

void buildStep(VexalWizardForm& form, const char* heading, const char* instruction) {
    StackedContainer* content = form.getContent();
    content->setSpacing(STEP_SPACING);
    const int width = content->getWidth();
    new ContainedLabel(content, 0, 0, width, HEADING_HEIGHT, &bif_myriad14, gettext(heading));
    if (instruction != nullptr) {
        new TextFrame(content, 0, 0, width, 0, &bif_myriad12, gettext(instruction));
    }
}

StackedContainer* buildNote(Container* content, const char* text, unsigned colour) {
    StackedContainer* note = StackedContainer::Builder{.parent = content,
                                                       .x = NOTE_INDENT,
                                                       .height = ROW_HEIGHT,
                                                       .fitWidth = true,
                                                       .spacing = NOTE_SPACING}
                                 .build();
    Icon::create(note, 0, 3, res_warning_active, colour);
    new Label(note, 0, 3, &bif_myriad12, gettext(text));
    note->fitToContent();
    return note;
}

StackedContainer* buildWarning(Container* content, const std::string& text) {
    constexpr int indent = 9;
    constexpr unsigned spacing = 10;
    // Indented, the row ends where the rows below it end: a full row's width from the indent would reach past
    // the content's right edge, where the view cuts the text's longest lines.
    StackedContainer* warning = StackedContainer::Builder{.parent = content,
                                                          .x = indent,
                                                          .width = ROW_WIDTH - indent,
                                                          .fitHeight = true,
                                                          .spacing = spacing}
                                    .build();
    const Icon* icon = Icon::create(warning, 0, 0, res_warning_active, FAILURE_COLOUR);
    new TextFrame(warning, 0, 0, warning->getWidth() - icon->getWidth() - static_cast<int>(spacing), 0,
                  &bif_myriad12, text);
    warning->fitToContent();
    return warning;
}

GridContainer* buildGrid(Container* content) {
    auto* grid = new GridContainer(content, 0, 0, GRID_PITCH);
    grid->setSizing(SIZING_FIT, SIZING_FIT);
    grid->addColumn(150);
    grid->addColumn(CHECK_WIDTH);
    return grid;
}

StackedContainer* buildSection(Container* content, const std::string& title, unsigned spacing) {
    auto* header = new DropdownButton(content, 0, 0, ROW_WIDTH, ROW_HEIGHT, title);
    StackedContainer* rows = StackedContainer::Builder{.parent = content,
                                                       .x = SECTION_INDENT,
                                                       .width = ROW_WIDTH - SECTION_INDENT,
                                                       .fitHeight = true,
                                                       .direction = DIRECTION_VERTICAL,
                                                       .spacing = spacing}
                                 .build();
    rows->setVisible(false);
    header->setCollapsibleContent(rows);
    return rows;
}

} // namespace tdx::installer
