// Shared by the serial driver and the converter discovery.
#pragma once

namespace tdx::comf_detail {

// Sets raw 57600 8N1, no flow control, VMIN = VTIME = 0, and flushes both queues. 0 or -1 (traced).
int configure(int fd, const char* path);
// TDX410_SYSFS_ROOT, else "/sys".
const char* sysfs_root();

} // namespace tdx::comf_detail
