// Compile-time limits of the device network, shared by the link layer and the client stack.
#pragma once

// Bus interfaces of the client stack, and how many of them are RS-485 links.
#define TNET_INTERFACES 1
#define TNET_CFG_485_INTERFACES 1

// Datalink listeners (ECHO, BLDR and one spare).
#define TNET_CFG_DATALINK_LISTENERS 3

// Packet header: client address u24 LE, command u8, control u8.
#define TNET_HEADER_SIZE 5

// Largest command payload: a datalink header (5 bytes) plus the largest datagram.
#define TNET_DATALINK_MTU 280
#define TNET_DATALINK_HEADER_SIZE 5
#define TNET_MAX_COMMAND_SIZE (TNET_DATALINK_HEADER_SIZE + TNET_DATALINK_MTU)

// Largest packet the client stack builds or accepts (header + payload): 290 bytes.
#define TNET_MAX_PACKET_SIZE (TNET_HEADER_SIZE + TNET_MAX_COMMAND_SIZE)

// A session ends after this long without an addressed master packet, or when one sequenced packet went
// unacknowledged this long (however often the master polled meanwhile: on a noisy line it may take many
// tries).
#define TNET_SUPERVISION_MS 3000
