// The pieces the installer's wizards are built of: the entry menus, a step's heading and instruction, the
// note of an empty list, the two-column grid of check buttons and the folded section of a device or room.
#pragma once

#include "SourceApp/application/forms/installer/ValueEditorRows.h"

#include <cstdint>
#include <string>

namespace tdx {

class Container;
class GridContainer;
class StackedContainer;
class VexalWizardForm;

namespace installer {

using editor_rows::ROW_HEIGHT;
using editor_rows::ROW_WIDTH;
constexpr int SECTION_INDENT = 10;
constexpr int CHECK_WIDTH = 127;
constexpr int GRID_PITCH = 35;

struct MenuLink {
    const char* text;
    unsigned state;
};

// The entry screen of a wizard: breadcrumb, instruction and a link per choice.
void buildMenu(StackedContainer* content, const char* breadcrumb, const char* instruction,
               const MenuLink* links, size_t count);
// A wizard step's heading and instruction, 9 pixels apart; the instruction may be null.
void buildStep(VexalWizardForm& form, const char* heading, const char* instruction);
// The warning icon in the colour and the text, shown when a list has nothing in it.
StackedContainer* buildNote(Container* content, const char* text, unsigned colour);
// The warning icon in red beside a word-wrapped text, indented, the whole within a row's width.
StackedContainer* buildWarning(Container* content, const std::string& text);
// Two columns of check buttons, 150 and 127 wide.
GridContainer* buildGrid(Container* content);
// A folding title and its hidden content, indented under it.
StackedContainer* buildSection(Container* content, const std::string& title, unsigned spacing);

} // namespace installer
} // namespace tdx
