// The state machine of the display's own update, in the statemap style: the service's actions run on the
// transitions, and an event a state does not handle is ignored.
#pragma once

#include "SourceApp/application/update/statemap.h"

#include <cstdint>

namespace tdx {

class SelfUpdateService;
class SelfUpdateServiceState;
using SelfUpdateServiceContext = statemap::Context<SelfUpdateService, SelfUpdateServiceState>;

class SelfUpdateServiceState : public statemap::StateOf<SelfUpdateServiceContext> {
public:
    using StateOf::StateOf;
    // Events in alphabetical order.
    virtual void cancel(SelfUpdateServiceContext& c) { Default(c); }
    virtual void cardInserted(SelfUpdateServiceContext& c) { Default(c); }
    virtual void cardRemoved(SelfUpdateServiceContext& c) { Default(c); }
    virtual void confirmUpgrade(SelfUpdateServiceContext& c, uint32_t /*index*/) { Default(c); }
    virtual void download(SelfUpdateServiceContext& c) { Default(c); }
    virtual void fault(SelfUpdateServiceContext& c, const char* /*reason*/) { Default(c); }
    virtual void finish(SelfUpdateServiceContext& c) { Default(c); }
    virtual void search(SelfUpdateServiceContext& c) { Default(c); }
    virtual void searchFinished(SelfUpdateServiceContext& c) { Default(c); }
    virtual void task(SelfUpdateServiceContext& c) { Default(c); }
    virtual void upgraded(SelfUpdateServiceContext& c) { Default(c); }
};

class SelfUpdateMap_Default : public SelfUpdateServiceState {
public:
    using SelfUpdateServiceState::SelfUpdateServiceState;
    void Default(SelfUpdateServiceContext&) override {}
};

// The device information screen: abort, or search the card.
class SelfUpdateMap_Init final : public SelfUpdateMap_Default {
public:
    using SelfUpdateMap_Default::SelfUpdateMap_Default;
    void Entry(SelfUpdateServiceContext& c) override;
    void cancel(SelfUpdateServiceContext& c) override;
    void search(SelfUpdateServiceContext& c) override;
};

class SelfUpdateMap_SearchPackages final : public SelfUpdateMap_Default {
public:
    using SelfUpdateMap_Default::SelfUpdateMap_Default;
    void Entry(SelfUpdateServiceContext& c) override;
    void cardRemoved(SelfUpdateServiceContext& c) override;
    void searchFinished(SelfUpdateServiceContext& c) override;
};

// The selection screen.
class SelfUpdateMap_SearchFinished final : public SelfUpdateMap_Default {
public:
    using SelfUpdateMap_Default::SelfUpdateMap_Default;
    void Entry(SelfUpdateServiceContext& c) override;
    void cancel(SelfUpdateServiceContext& c) override;
    void cardRemoved(SelfUpdateServiceContext& c) override;
    void confirmUpgrade(SelfUpdateServiceContext& c, uint32_t index) override;
    void search(SelfUpdateServiceContext& c) override;
};

class SelfUpdateMap_Downloading final : public SelfUpdateMap_Default {
public:
    using SelfUpdateMap_Default::SelfUpdateMap_Default;
    void Entry(SelfUpdateServiceContext& c) override;
    void download(SelfUpdateServiceContext& c) override;
    void fault(SelfUpdateServiceContext& c, const char* reason) override;
    void task(SelfUpdateServiceContext& c) override;
    void upgraded(SelfUpdateServiceContext& c) override;
};

class SelfUpdateMap_Summary final : public SelfUpdateMap_Default {
public:
    using SelfUpdateMap_Default::SelfUpdateMap_Default;
    void Entry(SelfUpdateServiceContext& c) override;
    void finish(SelfUpdateServiceContext& c) override;
};

class SelfUpdateMap_Terminate final : public SelfUpdateMap_Default {
public:
    using SelfUpdateMap_Default::SelfUpdateMap_Default;
    void Entry(SelfUpdateServiceContext& c) override;
};

class SelfUpdateMap_CardRemoved final : public SelfUpdateMap_Default {
public:
    using SelfUpdateMap_Default::SelfUpdateMap_Default;
    void Entry(SelfUpdateServiceContext& c) override;
    void cancel(SelfUpdateServiceContext& c) override;
    void cardInserted(SelfUpdateServiceContext& c) override;
};

struct SelfUpdateMap {
    static SelfUpdateMap_Init Init;
    static SelfUpdateMap_SearchPackages SearchPackages;
    static SelfUpdateMap_SearchFinished SearchFinished;
    static SelfUpdateMap_Downloading Downloading;
    static SelfUpdateMap_Summary Summary;
    static SelfUpdateMap_Terminate Terminate;
    static SelfUpdateMap_CardRemoved CardRemoved;
};

} // namespace tdx
