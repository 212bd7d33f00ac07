#include "SourceHost/desktop/DesktopApplication.h"

#include "SourceApp/application/host/HostHandOver.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceHost/api_lib/layer.h"

namespace tdx {

// The seam for the application's start-up and main loop: once they exist, this returns them. Until then the
// host runs the framebuffer alone, so the window opens on a blank screen and the hand-over keeps flowing.
HostApplication desktop_application() {
    return {[] { layer_init(); },
            [] {
                HostHandOver& handOver = host_hand_over();
                handOver.runQueued([](const Event& event) {
                    if (Core* core = Core::current()) {
                        core->sendEvent(event.kind, event.x, event.y, event.a, event.b);
                    }
                });
                handOver.countPass();
            }};
}

} // namespace tdx
