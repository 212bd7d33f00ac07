// The screen of every state that has no screen of its own: one line saying so.
#pragma once

#include "SourceApp/gui/core/Form.h"

namespace tdx {

class FormNotImplemented : public Form {
public:
    explicit FormNotImplemented(const State& state);
};

} // namespace tdx
