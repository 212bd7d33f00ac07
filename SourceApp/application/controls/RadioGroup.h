// Keeps at most one of its check boxes checked. Not a component: the boxes live in their containers, the
// group only knows them. The item-selected command runs after every change of the selection.
#pragma once

#include "SourceApp/gui/core/ICommand.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tdx {

class Checkbox;

class RadioGroup {
public:
    RadioGroup() = default;
    // Frees its list only; the boxes belong to their containers.
    ~RadioGroup();
    RadioGroup(const RadioGroup&) = delete;
    RadioGroup& operator=(const RadioGroup&) = delete;

    // A box checked already when appended stays checked only if none is.
    void append(Checkbox* box);
    // Checks member index (an index beyond the members is refused with a trace line).
    void setSelected(uint8_t index);
    bool hasSelected() const { return getSelected() != nullptr; }
    // The checked member, null when none is.
    Checkbox* getSelected() const;
    // Its position among the members, -1 when none is checked.
    int getSelectedIndex() const;
    void deselectAll();
    void setEnabled(bool enabled);
    void setItemSelectedCommand(std::unique_ptr<ICommand> command) { mCommand = std::move(command); }

private:
    friend class Checkbox;
    void memberChanged(Checkbox* box);
    void forget(Checkbox* box);

    std::vector<Checkbox*> mMembers;
    std::unique_ptr<ICommand> mCommand;
    bool mUpdating = false;
};

} // namespace tdx
