// The windows' keyboard, wheel and touch input on its way to the embedded application through the host: two
// bus listeners that queue commands, and the "Touching" state of the touch machine, which writes the host's
// touch block. Payloads of another kind, or none, are ignored.
#pragma once

#include "SourceHost/host/CHost.h"
#include "SourceHost/host/StateMachine.h"

namespace tdx {

// "KEY_PRESS": a typed character goes to the core as that character; a named key as its bytes packed into a
// code, first byte lowest.
class KeyPressToHostAdapter : public Command {
public:
    explicit KeyPressToHostAdapter(CHost& host)
        : mHost(host) {}
    void execute(MessageArgument* argument) override;

private:
    CHost& mHost;
};

// "MOUSE_SCROLL": the carried GUI message, queued for the core.
class CoreMessageToHostAdapter : public Command {
public:
    explicit CoreMessageToHostAdapter(CHost& host)
        : mHost(host) {}
    void execute(MessageArgument* argument) override;

private:
    CHost& mHost;
};

// The finger is down while the machine is in this state: entering presses at the event's point, events move
// it, and leaving always lifts it (at the event's point when the event has one).
class TouchingStateCommand : public StateCommand {
public:
    TouchingStateCommand(const std::string& name, CHost& host)
        : StateCommand(name)
        , mHost(host) {}
    void onEnter(const std::string& event, MessageArgument* argument) override;
    void onExit(const std::string& event, MessageArgument* argument) override;
    void onEvent(const std::string& event, MessageArgument* argument) override;

private:
    bool moveTo(MessageArgument* argument);
    CHost& mHost;
};

} // namespace tdx
