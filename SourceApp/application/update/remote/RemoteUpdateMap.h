// The states of the remote update's machine. It has no timers of its own: every timeout reaches it as the
// bootloader service's. Events are the state base class's operations, in alphabetical order; a state
// ignores what it does not handle.
#pragma once

#include "SourceApp/application/update/remote/RemoteUpdateService.h"

namespace tdx {

class RemoteUpdateServiceState : public statemap::StateOf<RemoteUpdateServiceContext> {
public:
    using StateOf::StateOf;
    using Context = RemoteUpdateServiceContext;
    virtual void cancel(Context& context) { Default(context); }
    virtual void cardInserted(Context& context) { Default(context); }
    virtual void cardRemoved(Context& context) { Default(context); }
    virtual void confirmUpgrade(Context& context, uint32_t) { Default(context); }
    virtual void connected(Context& context, remote_update_device_connected) { Default(context); }
    virtual void deviceRestarting(Context& context) { Default(context); }
    virtual void deviceTimeout(Context& context) { Default(context); }
    virtual void download(Context& context) { Default(context); }
    virtual void fault(Context& context) { Default(context); }
    virtual void finish(Context& context) { Default(context); }
    virtual void search(Context& context) { Default(context); }
    virtual void searchFinished(Context& context) { Default(context); }
    virtual void start(Context& context, remote_update_start_mode) { Default(context); }
    virtual void started(Context& context) { Default(context); }
    virtual void upgraded(Context& context) { Default(context); }
};

class RemoteUpdateMap_Default : public RemoteUpdateServiceState {
public:
    using RemoteUpdateServiceState::RemoteUpdateServiceState;
    void Default(Context&) override {}
};

class RemoteUpdateMap_Idle : public RemoteUpdateMap_Default {
public:
    using RemoteUpdateMap_Default::RemoteUpdateMap_Default;
    void start(Context& context, remote_update_start_mode mode) override;
};

class RemoteUpdateMap_WaitingForBootloader : public RemoteUpdateMap_Default {
public:
    using RemoteUpdateMap_Default::RemoteUpdateMap_Default;
    void Entry(Context& context) override;
    void connected(Context& context, remote_update_device_connected value) override;
    void deviceTimeout(Context& context) override;
    void fault(Context& context) override;
};

class RemoteUpdateMap_StartManual : public RemoteUpdateMap_Default {
public:
    using RemoteUpdateMap_Default::RemoteUpdateMap_Default;
    void Entry(Context& context) override;
    void connected(Context& context, remote_update_device_connected value) override;
    void cancel(Context& context) override;
    void deviceTimeout(Context& context) override;
    void fault(Context& context) override;
};

class RemoteUpdateMap_DeviceIdentified : public RemoteUpdateMap_Default {
public:
    using RemoteUpdateMap_Default::RemoteUpdateMap_Default;
    void Entry(Context& context) override;
    void search(Context& context) override;
    void cancel(Context& context) override;
};

class RemoteUpdateMap_SearchPackages : public RemoteUpdateMap_Default {
public:
    using RemoteUpdateMap_Default::RemoteUpdateMap_Default;
    void Entry(Context& context) override;
    void searchFinished(Context& context) override;
    void cardRemoved(Context& context) override;
};

class RemoteUpdateMap_SearchFinished : public RemoteUpdateMap_Default {
public:
    using RemoteUpdateMap_Default::RemoteUpdateMap_Default;
    void Entry(Context& context) override;
    void confirmUpgrade(Context& context, uint32_t index) override;
    void search(Context& context) override;
    void cardRemoved(Context& context) override;
    void cancel(Context& context) override;
};

class RemoteUpdateMap_WaitingForDownload : public RemoteUpdateMap_Default {
public:
    using RemoteUpdateMap_Default::RemoteUpdateMap_Default;
    void Entry(Context& context) override;
    void download(Context& context) override;
    void deviceRestarting(Context& context) override;
    void deviceTimeout(Context& context) override;
    void fault(Context& context) override;
};

class RemoteUpdateMap_Downloading : public RemoteUpdateMap_Default {
public:
    using RemoteUpdateMap_Default::RemoteUpdateMap_Default;
    void Entry(Context& context) override;
    void download(Context& context) override;
    void upgraded(Context& context) override;
    void deviceTimeout(Context& context) override;
    void fault(Context& context) override;
};

class RemoteUpdateMap_WaitingForBoot : public RemoteUpdateMap_Default {
public:
    using RemoteUpdateMap_Default::RemoteUpdateMap_Default;
    void Entry(Context& context) override;
    void started(Context& context) override;
    void deviceTimeout(Context& context) override;
    void fault(Context& context) override;
};

class RemoteUpdateMap_Summary : public RemoteUpdateMap_Default {
public:
    using RemoteUpdateMap_Default::RemoteUpdateMap_Default;
    void Entry(Context& context) override;
    void finish(Context& context) override;
};

class RemoteUpdateMap_Terminate : public RemoteUpdateMap_Default {
public:
    using RemoteUpdateMap_Default::RemoteUpdateMap_Default;
    void Entry(Context& context) override;
};

class RemoteUpdateMap_CardRemoved : public RemoteUpdateMap_Default {
public:
    using RemoteUpdateMap_Default::RemoteUpdateMap_Default;
    void Entry(Context& context) override;
    void cardInserted(Context& context) override;
    void cancel(Context& context) override;
};

struct RemoteUpdateMap {
    static RemoteUpdateMap_Idle Idle;
    static RemoteUpdateMap_WaitingForBootloader WaitingForBootloader;
    static RemoteUpdateMap_StartManual StartManual;
    static RemoteUpdateMap_DeviceIdentified DeviceIdentified;
    static RemoteUpdateMap_SearchPackages SearchPackages;
    static RemoteUpdateMap_SearchFinished SearchFinished;
    static RemoteUpdateMap_WaitingForDownload WaitingForDownload;
    static RemoteUpdateMap_Downloading Downloading;
    static RemoteUpdateMap_WaitingForBoot WaitingForBoot;
    static RemoteUpdateMap_Summary Summary;
    static RemoteUpdateMap_Terminate Terminate;
    static RemoteUpdateMap_CardRemoved CardRemoved;
};

} // namespace tdx
