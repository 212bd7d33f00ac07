// The embedded application as a host runs it: the start-up once, then one pass of the main loop after
// another (the desktop host sleeps 1 ms between passes). Everything runs on the application thread; the host
// hands touch, events and commands over through the process's HostHandOver.
#pragma once

#include "Libraries/base/serial_port.h"
#include "SourceApp/gui/core/Form.h"

namespace tdx::Emulation {

// Brings every service up in a fixed order and asks for the splash screen (state 2). Called again after a
// restart, it starts from a fresh application: GUI, object tree, value table and network as new.
void AppInit();

// One pass: touch, the host's commands and events, touch events, the timer message, every service task.
void AppLoopTask();

// Whether the host keeps the application running: false once the host has stopped it (read under the
// hand-over's lock). The host's own loop makes the same test.
bool AppIsActive();

// Between passes: while the application has nothing to do before its next tick (work queued in the GUI, the
// job pool, the object tree, the link's transmit buffer, an update under way), sleeps until the tick, the
// host's input or bytes on the serial port, whichever comes first. Returns at once when there is work.
void AppIdle();

// The GUI core's change-state callback: the screen registry.
Form* ChangeState(state_id_t previous, state_id_t next, const State& state);

// The serial port table the device network opens PortName with (tests: an in-process pipe); null, the
// default: the serial driver.
void setSerialPort(const serial_port* port);

// Told the name of every start-up step as it begins (tests); null: nobody.
using StartObserver = void (*)(const char* step);
void setStartObserver(StartObserver observer);

} // namespace tdx::Emulation
