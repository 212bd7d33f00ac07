#include "SourceHost/desktop/DesktopMain.h"

#include "Libraries/base/i18n.h"
#include "Libraries/link_bus/dissector.h"
#include "SourceHost/api_lib/comf.h"
#include "SourceHost/api_lib/sdcard.h"
#include "SourceHost/desktop/SimpleMainWindow.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace tdx {

namespace {

bool isInspectorWord(const std::string& argument) {
    return argument == "inspector" || argument == "'inspector'";
}

} // namespace

std::optional<DesktopOptions> desktop_parse_arguments(const std::vector<std::string>& arguments,
                                                      std::string* error) {
    DesktopOptions options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string* value = argument == "--port"     ? &options.port
                             : argument == "--sdcard" ? &options.sdcard
                                                      : nullptr;
        if (value != nullptr) {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                *error = std::string(gettext("The option needs a value:")) + " " + argument;
                return std::nullopt;
            }
            *value = arguments[++i];
        } else if (argument == "--trace-packets") {
            options.tracePackets = true;
        } else if (argument.size() > 1 && argument[0] == '-' && argument != "-") {
            *error = std::string(gettext("Unknown option:")) + " " + argument;
            return std::nullopt;
        } else {
            options.positional.push_back(argument);
        }
    }
    options.inspector = options.positional.size() >= 2 && isInspectorWord(options.positional[1]);
    return options;
}

int desktop_main(int argc, char** argv, DesktopEnvironment environment, InspectorRunner inspector) {
    std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
    std::string error;
    const std::optional<DesktopOptions> options = desktop_parse_arguments(arguments, &error);
    if (!options) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    comf_set_port_override(options->port.empty() ? nullptr : options->port.c_str());
    if (!options->sdcard.empty()) {
        sdcard_set_folder(options->sdcard);
    }
    tnet_dissect_enable(options->tracePackets);

    std::unique_ptr<QApplication> ownApplication;
    if (QApplication::instance() == nullptr) {
        ownApplication = std::make_unique<QApplication>(argc, argv);
    }
    if (comf_get_port(PortName) != 0) {
        const char* text =
            gettext("Connect HMU-300-USB converter to your computer and to the control unit and try again.");
        std::fprintf(stderr, "\n%s\n", text); // after any trace line, which ends without one
        if (environment.errorBox) {
            environment.errorBox(text);
        } else {
            QMessageBox::warning(nullptr, QString::fromUtf8(gettext("Error")), QString::fromUtf8(text));
        }
        return 1;
    }
    if (options->inspector && inspector) {
        return inspector(std::move(environment.application));
    }

    auto window = std::make_unique<CSimpleMainWindow>(std::move(environment.application));
    window->run();
    const int code = QApplication::exec();
    if (!window->host().stop()) {
        // The application thread still runs and uses what the window owns: end without destroying it.
        std::fflush(nullptr);
        std::_Exit(code);
    }
    window.reset();
    return code;
}

} // namespace tdx
