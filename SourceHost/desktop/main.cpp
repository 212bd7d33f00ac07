// The desktop program tdx410: the display application in an emulator window.
#include "SourceHost/desktop/DesktopApplication.h"
#include "SourceHost/desktop/DesktopMain.h"

int main(int argc, char** argv) {
    return tdx::desktop_main(argc, argv, {tdx::desktop_application(), nullptr});
}
