// The desktop program: its arguments, the search for the converter, the window, the message loop and an
// orderly end.
#pragma once

#include "SourceHost/host/CHost.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tdx {

struct DesktopOptions {
    std::string port;          // --port PATH: the serial port, no search
    std::string sdcard;        // --sdcard DIR: the memory card's folder
    bool tracePackets = false; // --trace-packets: one trace line per packet
    bool help = false;         // --help: the usage, nothing else
    bool inspector = false;    // the positional arguments are NAME and "inspector", quoted or not
    std::vector<std::string> positional;
};

// The options are taken out first, then the positional arguments are looked at: the first is not used, the
// second selects the inspector when it is the word inspector, bare or in one pair of single quotes. Nothing,
// with the reason in `error`, for an unknown option, one without its value, or any other positional argument.
std::optional<DesktopOptions> desktop_parse_arguments(const std::vector<std::string>& arguments,
                                                      std::string* error);

// The usage: options, environment variables and exit codes.
std::string desktop_usage();

// Where the resources file may be, in the order looked at: in the working folder, beside the program (its
// build folder), in the share folder of an installation.
std::vector<std::string> desktop_resources_candidates(const std::string& program);
// The first candidate that holds a usable resources file; nothing when none does, with `tried` naming each
// candidate and what was wrong with it.
std::optional<std::string> desktop_find_resources(const std::vector<std::string>& candidates,
                                                  std::string* tried);

struct DesktopEnvironment {
    HostApplication application;
    // Shows the error that ends the program before any window (the program: a warning box).
    std::function<void(const std::string& text)> errorBox;
};

class Model;

// Runs the application in the inspector window, with the inspector's model, until it is closed; returns the
// exit code.
using InspectorRunner = std::function<int(HostApplication application, Model& model)>;

// Returns the exit code: 0 after the usage, 1 without a converter, 2 for bad arguments, 3 without a usable
// resources file, 4 without a display (the process ends there), 18 after the window was closed. When the
// application thread does not end within a second of the close, the process ends at once with that code. With
// the inspector argument, `inspector` runs instead of the plain window (the plain window without one).
int desktop_main(int argc, char** argv, DesktopEnvironment environment, InspectorRunner inspector = {});

} // namespace tdx
