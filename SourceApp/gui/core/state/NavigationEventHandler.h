// Listeners told of every navigation request.
#pragma once

#include <cstdint>

namespace tdx {

struct Navigation {
    enum Enum : int { Default = 0, Back = 1, Forward = 2, Replace = 3 };
};

class NavigationEventHandler {
public:
    virtual ~NavigationEventHandler() = default;
    virtual void handleNavigation(Navigation::Enum kind, uint16_t currentId, uint16_t newId) = 0;
};

} // namespace tdx
