#include "SourceHost/desktop/DesktopApplication.h"

#include "SourceApp/application/startup/Emulation.h"

namespace tdx {

HostApplication desktop_application() {
    return {&Emulation::AppInit, &Emulation::AppLoopTask, &Emulation::AppIdle};
}

} // namespace tdx
