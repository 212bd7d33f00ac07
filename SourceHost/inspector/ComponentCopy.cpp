#include "SourceHost/inspector/ComponentCopy.h"

namespace tdx {

const ComponentCopy* read_component_copy(const MessageArgument* argument) {
    const auto* copy = payload_as<MessageArgumentComponentCopy>(argument);
    return copy != nullptr ? &copy->getComponent() : nullptr;
}

} // namespace tdx
