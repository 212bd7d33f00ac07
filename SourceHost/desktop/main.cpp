// The desktop program tdx410: the display application in an emulator window, or in the inspector window.
#include "SourceHost/desktop/DesktopApplication.h"
#include "SourceHost/desktop/DesktopMain.h"
#include "SourceHost/inspector/InspectorMain.h"

int main(int argc, char** argv) {
    return tdx::desktop_main(argc, argv, {tdx::desktop_application(), nullptr}, tdx::inspector_main);
}
