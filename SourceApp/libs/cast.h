// Downcasts with a run-time type test: a failed test is a programming error and stops the program.
#pragma once

#include "Libraries/base/os.h"

#include <type_traits>

namespace tdx {

// polymorphic_downcast<Derived*>(base): base as a Derived*; asserts "Polymorphic downcast failed" when base
// is null or not a Derived.
template <class Target, class Source>
requires std::is_pointer_v<Target> Target polymorphic_downcast(Source* source) {
    Target target = dynamic_cast<Target>(source);
    OS_ASSERT_MSG(target != nullptr, "Polymorphic downcast failed");
    return target;
}

// polymorphic_downcast<Derived&>(base): base as a Derived&; asserts "Polymorphic downcast failed" when base
// is not a Derived.
template <class Target, class Source>
requires std::is_reference_v<Target> Target polymorphic_downcast(Source& source) {
    auto* target = dynamic_cast<std::add_pointer_t<std::remove_reference_t<Target>>>(&source);
    OS_ASSERT_MSG(target != nullptr, "Polymorphic downcast failed");
    return *target;
}

} // namespace tdx
