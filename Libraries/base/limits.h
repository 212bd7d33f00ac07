// Compile-time limits shared by several modules (the device network's own limits are in
// Libraries/link_bus/tnet_config.h).
#pragma once

// Software watchdog channels; channel 0 is the GUI core.
#define WD_CFG_CHANNEL_COUNT 2
// Slots of the value table.
#define PT_CAPACITY 4096
// Longest data value in bytes.
#define PT_MAX_DATA 256
// Outputs of all devices of an installation together.
#define DEVICE_TOTAL_NUMBER_OF_OUTPUTS 64
