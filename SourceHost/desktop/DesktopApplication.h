// The application the desktop program runs on its host: its start-up, one pass of its main loop, and its
// rest between passes.
#pragma once

#include "SourceHost/host/CHost.h"

namespace tdx {

HostApplication desktop_application();

} // namespace tdx
