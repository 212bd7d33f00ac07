#include "SourceApp/application/controls/RadioGroup.h"

#include "Libraries/base/dbg.h"
#include "SourceApp/application/controls/Checkbox.h"

#include <algorithm>

namespace tdx {

RadioGroup::~RadioGroup() {
    for (Checkbox* box : mMembers) {
        box->mGroup = nullptr;
    }
}

void RadioGroup::append(Checkbox* box) {
    if (box == nullptr || box->mGroup != nullptr) {
        dbg_printf_h("RadioGroup: null box or a box of another group refused");
        return;
    }
    if (box->getChecked() && hasSelected()) {
        mUpdating = true;
        box->setChecked(false);
        mUpdating = false;
    }
    mMembers.push_back(box);
    box->mGroup = this;
}

void RadioGroup::setSelected(uint8_t index) {
    if (index >= mMembers.size()) {
        dbg_printf_h("RadioGroup: selection %u of %u members refused", static_cast<unsigned>(index),
                     static_cast<unsigned>(mMembers.size()));
        return;
    }
    mMembers[index]->setChecked(true);
}

Checkbox* RadioGroup::getSelected() const {
    auto it = std::find_if(mMembers.begin(), mMembers.end(), [](Checkbox* b) { return b->getChecked(); });
    return it == mMembers.end() ? nullptr : *it;
}

int RadioGroup::getSelectedIndex() const {
    for (size_t i = 0; i < mMembers.size(); ++i) {
        if (mMembers[i]->getChecked()) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void RadioGroup::deselectAll() {
    if (Checkbox* selected = getSelected()) {
        selected->setChecked(false);
    }
}

void RadioGroup::setEnabled(bool enabled) {
    for (Checkbox* box : mMembers) {
        box->setEnabled(enabled);
    }
}

void RadioGroup::memberChanged(Checkbox* box) {
    if (mUpdating) {
        return;
    }
    mUpdating = true;
    if (box->getChecked()) {
        for (Checkbox* other : mMembers) {
            if (other != box) {
                other->setChecked(false);
            }
        }
    }
    mUpdating = false;
    if (mCommand) {
        mCommand->execute();
    }
}

void RadioGroup::forget(Checkbox* box) {
    std::erase(mMembers, box);
}

} // namespace tdx
