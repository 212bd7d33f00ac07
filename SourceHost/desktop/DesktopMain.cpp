#include "SourceHost/desktop/DesktopMain.h"

#include "Libraries/base/i18n.h"
#include "Libraries/link_bus/dissector.h"
#include "SourceApp/application/resources/resource_mgr.h"
#include "SourceHost/api_lib/comf.h"
#include "SourceHost/api_lib/sdcard.h"
#include "SourceHost/desktop/SimpleMainWindow.h"
#include "SourceHost/inspector/Model.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>

namespace tdx {

namespace {

enum ExitCode : int {
    EXIT_USAGE = 0,
    EXIT_NO_CONVERTER = 1,
    EXIT_BAD_ARGUMENTS = 2,
    EXIT_NO_RESOURCES = 3,
    EXIT_NO_DISPLAY = 4,
};

// What the parser takes for an option wherever it stands, so also in place of an option's value: a folder or
// port whose name begins with a dash is given as ./-name.
bool looksLikeOption(const std::string& argument) {
    return argument.size() > 1 && argument[0] == '-';
}

QtMessageHandler sToolkitHandler = nullptr;

// The toolkit ends the process with an abort and a text about reinstalling it when it finds no display to
// open its platform on; that is the user's setting, not a broken installation, and says nothing of what to
// do. While the toolkit opens its platform, its fatal message becomes the program's own and a documented
// exit code; its other messages (which display it tried) pass on as they would.
void platformMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        if (sToolkitHandler != nullptr) {
            sToolkitHandler(type, context, message);
        } else {
            std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, message).toLocal8Bit().constData());
        }
        return;
    }
    std::fprintf(stderr, "%s\n",
                 gettext("No display to show the window on. Start the program on a desktop or on a virtual "
                         "display (the DISPLAY variable names it)."));
    std::fflush(nullptr);
    std::_Exit(EXIT_NO_DISPLAY);
}

// The toolkit's application, or nothing when the caller made one already.
std::unique_ptr<QApplication> openToolkit(int& argc, char** argv) {
    if (QApplication::instance() != nullptr) {
        return nullptr;
    }
    sToolkitHandler = qInstallMessageHandler(platformMessage);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(sToolkitHandler);
    return application;
}

// The word is compared whole: the shells take the quotes away unless they are themselves quoted, so both
// forms are the word, while a part of it, an empty pair of quotes or a quote left open is a slip of typing,
// refused as any argument the program does not know rather than opening a window the user did not name.
bool isInspectorWord(const std::string& argument) {
    return argument == "inspector" || argument == "'inspector'";
}

// The positional argument the program does not know, or nothing. They are known only as the pair NAME
// inspector (NAME not used): one taken and ignored would leave a mistyped option or a misplaced value
// unnoticed.
const std::string* unknownPositional(const std::vector<std::string>& positional) {
    if (positional.empty()) {
        return nullptr;
    }
    if (positional.size() == 1) {
        return &positional[0];
    }
    if (!isInspectorWord(positional[1])) {
        return &positional[1];
    }
    return positional.size() > 2 ? &positional[2] : nullptr;
}

// The program's own path, for the files that come with it.
std::string programPath(const char* argv0) {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        return self.string();
    }
    return argv0 != nullptr ? std::filesystem::absolute(argv0, error).string() : std::string();
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
            if (i + 1 >= arguments.size() || arguments[i + 1].empty() || looksLikeOption(arguments[i + 1])) {
                *error = std::string(gettext("The option needs a value:")) + " " + argument;
                return std::nullopt;
            }
            *value = arguments[++i];
        } else if (argument == "--trace-packets") {
            options.tracePackets = true;
        } else if (argument == "--help") {
            options.help = true;
        } else if (looksLikeOption(argument)) {
            *error = std::string(gettext("Unknown option:")) + " " + argument;
            return std::nullopt;
        } else {
            options.positional.push_back(argument);
        }
    }
    if (const std::string* unknown = unknownPositional(options.positional)) {
        *error = std::string(gettext("Unknown argument:")) + " " + *unknown;
        return std::nullopt;
    }
    options.inspector = !options.positional.empty();
    return options;
}

std::string desktop_usage() {
    struct Row {
        const char* name;
        const char* text;
    };
    const Row options[] = {
        {"--port PATH", gettext("the serial port of the network; the converter is not searched for")},
        {"--sdcard DIR", gettext("the folder that stands for the memory card (default: sdcard in the working "
                                 "folder)")},
        {"--trace-packets", gettext("one trace line for every packet on the network")},
        {"--help", gettext("this text")},
        {"NAME inspector", gettext("the inspector window instead of the emulator window")},
    };
    const Row variables[] = {
        {"TDX410_PORT", gettext("the serial port, as --port")},
        {"TDX410_SDCARD", gettext("the memory card's folder, as --sdcard")},
        {"TDX410_ADDRESS", gettext("the display's network address in hexadecimal (default 010410)")},
        {"TDX410_TRACE", gettext("a file the trace is appended to (default: the standard error)")},
    };
    const Row codes[] = {
        {"0", gettext("this text was shown")},
        {"1", gettext("no HMU-300-USB converter was found")},
        {"2", gettext("a bad argument")},
        {"3", gettext("the resources file is missing or cannot be used")},
        {"4", gettext("there is no display to show the window on")},
        {"18", gettext("the window was closed")},
    };
    std::string text = std::string(gettext("Usage: tdx410 [OPTION]... [NAME inspector]")) + "\n" +
                       gettext("The TDX-410 display in its emulator window, on the control unit's network.") +
                       "\n";
    auto section = [&text](const char* title, const auto& rows) {
        text += std::string("\n") + title + "\n";
        for (const Row& row : rows) {
            char line[256];
            std::snprintf(line, sizeof line, "  %-16s %s\n", row.name, row.text);
            text += line;
        }
    };
    section(gettext("Options:"), options);
    section(gettext("Environment variables:"), variables);
    section(gettext("Exit codes:"), codes);
    return text;
}

std::vector<std::string> desktop_resources_candidates(const std::string& program) {
    std::vector<std::string> candidates{RESOURCES_PATH};
    if (!program.empty()) {
        const std::filesystem::path folder = std::filesystem::path(program).parent_path();
        candidates.push_back((folder / RESOURCES_PATH).lexically_normal().string());
        candidates.push_back(
            (folder / ".." / "share" / "tdx410" / std::filesystem::path(RESOURCES_PATH).filename())
                .lexically_normal()
                .string());
    }
    return candidates;
}

std::optional<std::string> desktop_find_resources(const std::vector<std::string>& candidates,
                                                  std::string* tried) {
    std::string report;
    for (const std::string& candidate : candidates) {
        std::error_code error;
        if (!std::filesystem::exists(candidate, error)) {
            report += "  " + candidate + " (" + gettext("missing") + ")\n";
            continue;
        }
        resfile file;
        if (resfile_load(candidate.c_str(), RESOURCE_COUNT, ResourceMgr::namesCrc(), &file) == 0) {
            return candidate;
        }
        report += "  " + candidate + " (" + gettext("not a resources file of this program") + ")\n";
    }
    if (tried != nullptr) {
        *tried = report;
    }
    return std::nullopt;
}

int desktop_main(int argc, char** argv, DesktopEnvironment environment, InspectorRunner inspector) {
    std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
    std::string error;
    const std::optional<DesktopOptions> options = desktop_parse_arguments(arguments, &error);
    if (!options) {
        std::fprintf(stderr, "%s\n%s\n", error.c_str(), gettext("tdx410 --help shows the usage."));
        return EXIT_BAD_ARGUMENTS;
    }
    if (options->help) {
        std::fputs(desktop_usage().c_str(), stdout);
        return EXIT_USAGE;
    }
    comf_set_port_override(options->port.empty() ? nullptr : options->port.c_str());
    if (!options->sdcard.empty()) {
        sdcard_set_folder(options->sdcard);
    }
    tnet_dissect_enable(options->tracePackets);

    const std::unique_ptr<QApplication> ownApplication = openToolkit(argc, argv);
    // In either mode: only the inspector attaches it to the GUI core, so the plain window's application runs
    // with no inspector behind it, while the program keeps one start-up for both.
    const auto model = std::make_unique<Model>("Model");
    auto refuse = [&environment](const std::string& text, int code) {
        std::fprintf(stderr, "%s\n", text.c_str());
        if (environment.errorBox) {
            environment.errorBox(text);
        } else {
            QMessageBox::warning(nullptr, QString::fromUtf8(gettext("Error")),
                                 QString::fromUtf8(text.c_str()));
        }
        return code;
    };
    std::string tried;
    const std::optional<std::string> resources = desktop_find_resources(
        desktop_resources_candidates(programPath(argc > 0 ? argv[0] : nullptr)), &tried);
    if (!resources) {
        return refuse(std::string(gettext("The resources file of the program was not found. Looked for:")) +
                          "\n" + tried,
                      EXIT_NO_RESOURCES);
    }
    resources_set_path(resources->c_str());
    if (comf_get_port(PortName) != 0) {
        return refuse(
            gettext("Connect HMU-300-USB converter to your computer and to the control unit and try again."),
            EXIT_NO_CONVERTER);
    }
    if (options->inspector && inspector) {
        return inspector(std::move(environment.application), *model);
    }

    auto window = std::make_unique<CSimpleMainWindow>(std::move(environment.application));
    model->run();
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
