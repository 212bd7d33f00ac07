// The application the desktop program runs on its host: its start-up and one pass of its main loop.
#pragma once

#include "SourceHost/host/CHost.h"

namespace tdx {

HostApplication desktop_application();

} // namespace tdx
