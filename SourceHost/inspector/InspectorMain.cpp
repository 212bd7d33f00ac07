#include "SourceHost/inspector/InspectorMain.h"

#include "SourceHost/inspector/InspectorWindow.h"
#include "SourceHost/inspector/Model.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace tdx {

int inspector_main(HostApplication application, Model& model) {
    // Each start of the application (a restart too) brings a new GUI core: the model follows it.
    application.init = [init = std::move(application.init), &model] {
        if (init) {
            init();
        }
        model.attach(Core::current());
    };
    auto window = std::make_unique<CMainWindow>(std::move(application));
    auto link = std::make_unique<InspectorLink>(model, *window, window->host(), window->poster());
    model.run();
    window->run();
    const int code = QApplication::exec();
    if (!window->host().stop()) {
        // The application thread still runs and uses what the window owns: end without destroying it.
        std::fflush(nullptr);
        std::_Exit(code);
    }
    link.reset();
    window.reset();
    return code;
}

} // namespace tdx
