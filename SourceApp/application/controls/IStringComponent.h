// A widget that shows one text which adapters and handlers replace.
#pragma once

#include <string>

namespace tdx {

class IStringComponent {
public:
    virtual ~IStringComponent() = default;
    virtual void setText(const std::string& text) = 0;
};

} // namespace tdx
