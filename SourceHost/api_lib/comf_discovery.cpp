// Discovery of the USB converter: USB ttys in sysfs whose USB device names the converter, confirmed by
// listening for the control unit's continuous polling. The user needs access to the port (group dialout); a
// converter programmed with its own USB product id gets a ttyUSB only after that id is written to ftdi_sio's
// new_id.
#include "SourceHost/api_lib/comf.h"
#include "SourceHost/api_lib/comf_internal.h"

#include "Libraries/base/dbg.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace tdx {

namespace {

constexpr char CONVERTER_MANUFACTURER[] = "KORVANTEX";
constexpr char CONVERTER_PRODUCT[] = "HMU-300-USB";

std::string sOverride;

bool exists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

std::string realPath(const std::string& path) {
    char real[PATH_MAX];
    return realpath(path.c_str(), real) != nullptr ? std::string(real) : std::string();
}

// The first line of a sysfs attribute, trimmed; false when it cannot be read.
bool readAttribute(const std::string& path, std::string& value) {
    std::ifstream file(path);
    if (!file || !std::getline(file, value)) {
        return false;
    }
    const char* blanks = " \t\r\n";
    const size_t first = value.find_first_not_of(blanks);
    if (first == std::string::npos) {
        value.clear();
    } else {
        value = value.substr(first, value.find_last_not_of(blanks) - first + 1);
    }
    return true;
}

// The USB device above a tty's device: the first directory up from it that holds idVendor (the interface of a
// ttyUSB or ttyACM port sits below it). Empty when there is none inside the sysfs tree.
std::string usbDeviceOf(const std::string& device, const std::string& root) {
    std::string dir = realPath(device);
    while (dir.size() > root.size() && dir.compare(0, root.size(), root) == 0) {
        if (exists(dir + "/idVendor")) {
            return dir;
        }
        dir.erase(dir.find_last_of('/'));
    }
    return {};
}

bool copyPort(char* portName, const std::string& path) {
    if (path.empty() || path.size() >= static_cast<size_t>(COMF_PORT_NAME_SIZE)) {
        dbg_printf_h("COMF: port name \"%s\" too long", path);
        return false;
    }
    std::memcpy(portName, path.c_str(), path.size() + 1);
    return true;
}

} // namespace

void comf_set_port_override(const char* path) {
    sOverride = path != nullptr ? path : "";
}

int comf_find_converters(char (*paths)[COMF_PORT_NAME_SIZE], int max) {
    const std::string root = realPath(comf_detail::sysfs_root());
    const std::string ttyDir = std::string(comf_detail::sysfs_root()) + "/class/tty";
    DIR* dir = root.empty() ? nullptr : opendir(ttyDir.c_str());
    if (dir == nullptr) {
        dbg_printf_h("COMF: cannot read %s (%s)", ttyDir, std::strerror(errno));
        return 0;
    }
    std::vector<std::string> names;
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] != '.') {
            names.emplace_back(entry->d_name);
        }
    }
    closedir(dir);
    std::sort(names.begin(), names.end());

    int found = 0;
    for (const std::string& name : names) {
        const std::string device = ttyDir + "/" + name + "/device";
        if (!exists(device)) {
            continue; // a virtual terminal
        }
        const std::string usb = usbDeviceOf(device, root);
        if (usb.empty()) {
            continue; // not on USB
        }
        std::string manufacturer;
        std::string product;
        if (!readAttribute(usb + "/manufacturer", manufacturer) ||
            !readAttribute(usb + "/product", product)) {
            dbg_printf_h("COMF: %s: USB device without manufacturer or product", name);
            continue;
        }
        if (manufacturer != CONVERTER_MANUFACTURER || product != CONVERTER_PRODUCT) {
            dbg_printf_h("COMF: %s is \"%s\" \"%s\", no converter", name, manufacturer, product);
            continue;
        }
        const std::string path = "/dev/" + name;
        dbg_printf_h("COMF: converter candidate %s", path);
        if (found < max && paths != nullptr && copyPort(paths[found], path)) {
            ++found;
        }
    }
    return found;
}

int comf_probe(const char* path) {
    if (path == nullptr || path[0] == '\0') {
        return -1;
    }
    const int fd = open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        dbg_printf_h("COMF: probe cannot open %s (%s)", path, std::strerror(errno));
        return -1;
    }
    int result = -1;
    if (comf_detail::configure(fd, path) == 0) {
        // The control unit polls continuously: any byte within a second means it is there.
        for (int period = 0; period < COMF_PROBE_PERIODS && result != 0; ++period) {
            pollfd pfd{fd, POLLIN, 0};
            const int ready = poll(&pfd, 1, COMF_PROBE_PERIOD_MS);
            if (ready > 0 && (pfd.revents & POLLIN) != 0) {
                result = 0;
            } else if (ready > 0 || (ready < 0 && errno != EINTR)) {
                break; // hang-up or error: nobody will talk
            }
        }
    }
    close(fd);
    dbg_printf_h("COMF: probe %s: %s", path, result == 0 ? "bus traffic" : "silent");
    return result;
}

int comf_get_port(char* portName) {
    if (portName == nullptr) {
        return -1;
    }
    const char* env = std::getenv("TDX410_PORT");
    std::string explicitPort = !sOverride.empty() ? sOverride : env != nullptr ? env : "";
    if (explicitPort.empty() && portName[0] != '\0' && std::strcmp(portName, "AUTO") != 0) {
        explicitPort = portName;
    }
    if (!explicitPort.empty()) {
        if (!copyPort(portName, explicitPort)) {
            return -1;
        }
        dbg_printf_h("COMF: using port %s", explicitPort);
        return 0;
    }

    char candidates[8][COMF_PORT_NAME_SIZE];
    const int count = comf_find_converters(candidates, 8);
    for (int i = 0; i < count; ++i) {
        if (comf_probe(candidates[i]) == 0 && copyPort(portName, candidates[i])) {
            dbg_printf_h("COMF: converter on %s", portName);
            return 0;
        }
    }
    dbg_printf_h("COMF: no converter found");
    return -1;
}

} // namespace tdx
