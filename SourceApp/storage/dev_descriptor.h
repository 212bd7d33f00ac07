// The devices whose firmware the display knows how to handle, matched by hardware and software names and
// version ranges.
#pragma once

#include "SourceApp/big_table/bt_types.h"

#include <cstddef>

namespace tdx {

struct dev_descriptor {
    const char* product;
    const char* hwName;
    const char* swName;
    u8 hwMin;
    u8 hwMax;
    u8 swMin;
    u8 swMax;
};

// The first descriptor whose hardware name equals hw over hwLen bytes, whose software name equals sw over
// swLen bytes (the names compare as strncmp does, so hw and sw need no terminator) and whose inclusive ranges
// hold both versions: 0 and *out set; -1 and nothing stored when none matches or an argument is null.
int dev_get_descriptor(const dev_descriptor** out, const char* hw, size_t hwLen, const char* sw, size_t swLen,
                       u8 hwVersion, u8 swVersion);

} // namespace tdx
