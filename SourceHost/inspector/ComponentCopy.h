// What the window knows of a component: a copy made on the application thread, never the component itself.
// A component is named by an id that the model gives it when it enters the tree; an id is never reused, so a
// command that names a component gone meanwhile finds nothing instead of a stranger at the same address.
#pragma once

#include "SourceApp/gui/geometry/box.h"
#include "SourceHost/host/Command.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tdx {

using ComponentId = uint64_t; // 0: no component

struct ComponentCopy {
    ComponentId id = 0;
    std::string typeName;
    Box box;
    bool visible = true;

    friend bool operator==(const ComponentCopy&, const ComponentCopy&) = default;
};

// One row of the tree as the list shows it: layers at depth 0, children one deeper than their parent.
struct ComponentRow {
    ComponentCopy component;
    int depth = 0;

    friend bool operator==(const ComponentRow&, const ComponentRow&) = default;
};
using ComponentRows = std::vector<ComponentRow>;

class MessageArgumentComponentCopy : public MessageArgument {
public:
    static constexpr MessageArgumentType TYPE = 20;
    explicit MessageArgumentComponentCopy(const ComponentCopy& component)
        : mComponent(component) {}
    MessageArgumentType getArgumentType() const override { return TYPE; }
    const ComponentCopy& getComponent() const { return mComponent; }

private:
    const ComponentCopy& mComponent;
};

class MessageArgumentComponentRows : public MessageArgument {
public:
    static constexpr MessageArgumentType TYPE = 21;
    explicit MessageArgumentComponentRows(const ComponentRows& rows)
        : mRows(rows) {}
    MessageArgumentType getArgumentType() const override { return TYPE; }
    const ComponentRows& getRows() const { return mRows; }

private:
    const ComponentRows& mRows;
};

// The copy carried by the payload; null for null or another kind.
const ComponentCopy* read_component_copy(const MessageArgument* argument);

} // namespace tdx
