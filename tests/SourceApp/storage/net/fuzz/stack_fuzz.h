// One fuzz input as a conversation: the bytes are a sequence of packets from the master, each
// [length][command][control][payload...], sent to the display after a connect and a session open. They pass
// through the whole receiving stack together: client, datalink, the bootloader service, the network bridge,
// the value table and the object tree. Checked after every packet: what the display sends is well formed,
// the bridge is synchronised only while connected, and the tree finds each of its objects by its id and
// holds none under the wildcard id.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tdx::test {

// False when the stack broke one of those promises.
bool stackFuzzOne(const uint8_t* data, size_t size);

} // namespace tdx::test
