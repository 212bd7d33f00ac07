// The states of the bootloader service's machine. Events are the state base class's operations, in
// alphabetical order; the default state ignores what a state does not handle, except a fault or a timeout,
// which end every state that does not say otherwise.
#pragma once

#include "SourceApp/application/update/remote/BootloaderService.h"

namespace tdx {

class BootloaderServiceState : public statemap::StateOf<BootloaderServiceContext> {
public:
    using StateOf::StateOf;
    virtual void connected_app(BootloaderServiceContext& context) { Default(context); }
    virtual void connected_bl(BootloaderServiceContext& context) { Default(context); }
    virtual void download(BootloaderServiceContext& context) { Default(context); }
    // A fault the master reported without saying which: ignored in every state (Idle and DeviceIdentified
    // say so themselves); the phase's timeout still ends a phase that it stopped.
    virtual void fault(BootloaderServiceContext& context) { Default(context); }
    virtual void fault(BootloaderServiceContext& context, const bl_event_arg_fault*) { Default(context); }
    virtual void finish(BootloaderServiceContext& context) { Default(context); }
    virtual void restarting_into_bl(BootloaderServiceContext& context, uint32_t) { Default(context); }
    virtual void run_app(BootloaderServiceContext& context) { Default(context); }
    virtual void start(BootloaderServiceContext& context) { Default(context); }
    virtual void timeout(BootloaderServiceContext& context) { Default(context); }
    virtual void upgrade(BootloaderServiceContext& context, uint32_t) { Default(context); }
    virtual void upgraded(BootloaderServiceContext& context) { Default(context); }
};

class BootloaderMap_Default : public BootloaderServiceState {
public:
    using BootloaderServiceState::BootloaderServiceState;
    void Default(BootloaderServiceContext&) override {}
    using BootloaderServiceState::fault;
    void fault(BootloaderServiceContext& context, const bl_event_arg_fault* fault) override;
    void timeout(BootloaderServiceContext& context) override;
};

class BootloaderMap_Idle : public BootloaderMap_Default {
public:
    using BootloaderMap_Default::BootloaderMap_Default;
    void Entry(BootloaderServiceContext& context) override;
    void start(BootloaderServiceContext& context) override;
    using BootloaderMap_Default::fault;
    void fault(BootloaderServiceContext&) override {}
    void timeout(BootloaderServiceContext&) override {}
};

class BootloaderMap_Started : public BootloaderMap_Default {
public:
    using BootloaderMap_Default::BootloaderMap_Default;
    void Exit(BootloaderServiceContext& context) override;
    void connected_app(BootloaderServiceContext& context) override;
    void connected_bl(BootloaderServiceContext& context) override;
};

class BootloaderMap_DeviceIdentified : public BootloaderMap_Default {
public:
    using BootloaderMap_Default::BootloaderMap_Default;
    void Entry(BootloaderServiceContext& context) override;
    void run_app(BootloaderServiceContext& context) override;
    void upgrade(BootloaderServiceContext& context, uint32_t fileId) override;
    using BootloaderMap_Default::fault;
    void fault(BootloaderServiceContext&) override {}
    void timeout(BootloaderServiceContext&) override {}
};

class BootloaderMap_DeviceReconnectUpgrade : public BootloaderMap_Default {
public:
    using BootloaderMap_Default::BootloaderMap_Default;
    void Entry(BootloaderServiceContext& context) override;
    void connected_app(BootloaderServiceContext& context) override;
    void connected_bl(BootloaderServiceContext& context) override;
    void restarting_into_bl(BootloaderServiceContext& context, uint32_t seconds) override;
    void timeout(BootloaderServiceContext& context) override;
};

class BootloaderMap_AboutToUpgrade : public BootloaderMap_Default {
public:
    using BootloaderMap_Default::BootloaderMap_Default;
    void download(BootloaderServiceContext& context) override;
};

class BootloaderMap_Downloading : public BootloaderMap_Default {
public:
    using BootloaderMap_Default::BootloaderMap_Default;
    void Entry(BootloaderServiceContext& context) override;
    void download(BootloaderServiceContext& context) override;
    void upgraded(BootloaderServiceContext& context) override;
};

class BootloaderMap_Upgraded : public BootloaderMap_Default {
public:
    using BootloaderMap_Default::BootloaderMap_Default;
    void Entry(BootloaderServiceContext& context) override;
    void connected_app(BootloaderServiceContext& context) override;
};

class BootloaderMap_Timeout : public BootloaderMap_Default {
public:
    using BootloaderMap_Default::BootloaderMap_Default;
    void Entry(BootloaderServiceContext& context) override;
    void finish(BootloaderServiceContext& context) override;
    void run_app(BootloaderServiceContext& context) override;
    void timeout(BootloaderServiceContext&) override {}
};

class BootloaderMap_Fault : public BootloaderMap_Default {
public:
    using BootloaderMap_Default::BootloaderMap_Default;
    void Entry(BootloaderServiceContext& context) override;
    void finish(BootloaderServiceContext& context) override;
    void run_app(BootloaderServiceContext& context) override;
};

// After an update that wrote nothing: the device is asked what runs and, when it is its bootloader, to run
// its application; the application's answer ends it as after an upgrade, no answer as a timeout.
class BootloaderMap_StartingApplication : public BootloaderMap_Default {
public:
    using BootloaderMap_Default::BootloaderMap_Default;
    void Entry(BootloaderServiceContext& context) override;
    void connected_app(BootloaderServiceContext& context) override;
    void connected_bl(BootloaderServiceContext& context) override;
};

struct BootloaderMap {
    static BootloaderMap_Idle Idle;
    static BootloaderMap_Started Started;
    static BootloaderMap_DeviceIdentified DeviceIdentified;
    static BootloaderMap_DeviceReconnectUpgrade DeviceReconnectUpgrade;
    static BootloaderMap_AboutToUpgrade AboutToUpgrade;
    static BootloaderMap_Downloading Downloading;
    static BootloaderMap_Upgraded Upgraded;
    static BootloaderMap_Timeout Timeout;
    static BootloaderMap_Fault Fault;
    static BootloaderMap_StartingApplication StartingApplication;
};

} // namespace tdx
