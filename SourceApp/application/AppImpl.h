// The application object behind App: holds the services by value, in the order they are built.
#pragma once

#include "SourceApp/application/App.h"
#include "SourceApp/application/resources/resource_mgr.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/system/SystemMgr.h"
#include "SourceApp/task/TaskPool.h"

namespace tdx {

class AppImpl final : public App {
public:
    // Only connects the services to each other; none of them starts working here.
    AppImpl();
    AppImpl(const AppImpl&) = delete;
    AppImpl& operator=(const AppImpl&) = delete;

    Core* getCore() override { return &mCore; }
    ResourceMgr* getResourceManager() override { return &mResourceMgr; }
    SystemMgr* getSystemManager() override { return &mSystemMgr; }
    TaskPool* getTaskPool() override { return &mTaskPool; }

private:
    Core mCore;
    ResourceMgr mResourceMgr;
    SystemMgr mSystemMgr;
    TaskPool mTaskPool;
};

} // namespace tdx
