// The screen of every state that has no screen of its own: one line saying so, in the standard frame whose
// back and home buttons lead away from it.
#pragma once

#include "SourceApp/application/forms/VexalForm.h"

namespace tdx {

class FormNotImplemented : public VexalForm {
public:
    explicit FormNotImplemented(const State& state);
};

} // namespace tdx
