// A fixed path that names the simulator's pseudo-terminal, so that a program given that path finds the unit
// again after the simulator restarts on another pseudo-terminal.
#pragma once

#include <string>

namespace tdx::sim {

// Points `path` at `target` in one step: the link is made beside it under a name of its own and renamed over
// it, so that a program opening `path` meanwhile sees the old link or the new one, never none. Only a
// symbolic link (or nothing) is replaced: a file or folder there is the user's and stays. The error in words,
// or empty.
std::string sim_link_port(const std::string& path, const std::string& target);

// Removes `path` when it is still a link to `target` (a later simulator may have taken it over).
void sim_unlink_port(const std::string& path, const std::string& target);

} // namespace tdx::sim
