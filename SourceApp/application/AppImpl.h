// The application object behind App: holds the services by value, in the order they are built.
#pragma once

#include "SourceApp/application/AlarmMgr.h"
#include "SourceApp/application/App.h"
#include "SourceApp/application/log/LogManager.h"
#include "SourceApp/application/resources/resource_mgr.h"
#include "SourceApp/application/update/UpdateManager.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/system/SystemMgr.h"
#include "SourceApp/task/TaskPool.h"

namespace tdx {

class AppImpl final : public App {
public:
    // Only connects the services to each other; none of them starts working here.
    AppImpl();
    // The screens go first, while the services they use still exist.
    ~AppImpl() override { mCore.closeAllLayers(); }
    AppImpl(const AppImpl&) = delete;
    AppImpl& operator=(const AppImpl&) = delete;

    Core* getCore() override { return &mCore; }
    UpdateManager* getUpdateManager() override { return &mUpdateManager; }
    ResourceMgr* getResourceManager() override { return &mResourceMgr; }
    SystemMgr* getSystemManager() override { return &mSystemMgr; }
    LogManager* getLogManager() override { return &mLogManager; }
    AlarmMgr* getAlarmManager() override { return &mAlarmMgr; }
    TaskPool* getTaskPool() override { return &mTaskPool; }

private:
    Core mCore;
    UpdateManager mUpdateManager{mCore};
    ResourceMgr mResourceMgr;
    SystemMgr mSystemMgr;
    LogManager mLogManager;
    AlarmMgr mAlarmMgr;
    TaskPool mTaskPool;
};

// Start-up step after the value table is ready and before any network traffic (os_init must have run):
// connects the system manager and then the alarm manager to the object tree, so that the system manager
// sees every value change first, and appends the tree's two roots, this display's own device object and
// the location.
void bootstrap();

// A restart in the same process: detaches what bootstrap() attached and builds the one application object
// again in place (its address stays), so that every service starts as new. Application thread, between runs.
void application_renew();

} // namespace tdx
