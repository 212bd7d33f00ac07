#include "tools/simcu/port_link.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace tdx::sim {

namespace {

// What the link at `path` points to; empty when it is none.
std::string linkTarget(const std::string& path) {
    char buffer[4096];
    const ssize_t n = readlink(path.c_str(), buffer, sizeof buffer);
    return n > 0 && static_cast<size_t>(n) < sizeof buffer ? std::string(buffer, static_cast<size_t>(n))
                                                           : std::string();
}

} // namespace

std::string sim_link_port(const std::string& path, const std::string& target) {
    if (path.empty()) {
        return "the link's path is empty";
    }
    struct stat existing {};
    if (lstat(path.c_str(), &existing) == 0 && !S_ISLNK(existing.st_mode)) {
        return path + " exists and is not a symbolic link; it is left as it is";
    }
    const std::string temporary = path + ".simcu." + std::to_string(getpid());
    unlink(temporary.c_str());
    if (symlink(target.c_str(), temporary.c_str()) != 0) {
        return "cannot make a link beside " + path + ": " + std::strerror(errno);
    }
    if (rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        unlink(temporary.c_str());
        return "cannot replace " + path + ": " + std::strerror(error);
    }
    return {};
}

void sim_unlink_port(const std::string& path, const std::string& target) {
    if (!path.empty() && linkTarget(path) == target) {
        unlink(path.c_str());
    }
}

} // namespace tdx::sim
