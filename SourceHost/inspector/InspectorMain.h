// The inspector mode of the desktop program: the entry point's model on the application's GUI core, the
// inspector window with the host, and the link between them, run until the window is closed.
#pragma once

#include "SourceHost/host/CHost.h"

namespace tdx {

class Model;

// Returns 18 after the window was closed. When the application thread does not end within a second of the
// close, the process ends at once with that code.
int inspector_main(HostApplication application, Model& model);

} // namespace tdx
