// The dropdown row of one enumerated value: titled with the value's name, listing its option texts, showing
// the current option (or "--"), writing the option the user picks and following changes from the network.
#pragma once

#include "SourceApp/storage/Ovi.h"

namespace tdx {

class Container;
class EditableDropdownRow;

class ProxyDropdownFactory {
public:
    // The row across the parent's width at (0, 0), or null (nothing built) when the object is not in the
    // tree. Building it writes nothing.
    static EditableDropdownRow* create(Container* parent, const EnumOvi& ovi);
};

} // namespace tdx
