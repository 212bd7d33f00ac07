// A picture of many colours for the host windows' canvas, each pixel another colour of the whole range.
#pragma once

#include "SourceHost/api_lib/layer.h"

#include <cstdint>
#include <vector>

namespace tdx::test {

// The display's main layer showing the picture. It outlives the case: the process's canvas keeps the layer
// until the next window installs a canvas of its own.
inline layer& manyColours() {
    static std::vector<uint32_t> pixels = [] {
        std::vector<uint32_t> p(static_cast<size_t>(SCREEN_WIDTH) * SCREEN_HEIGHT);
        for (size_t i = 0; i < p.size(); ++i) {
            p[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFFu;
        }
        return p;
    }();
    static layer screen{SCREEN_WIDTH, SCREEN_HEIGHT, 255, 0, 0, nullptr, pixels.data()};
    return screen;
}

} // namespace tdx::test
