// The one application object, as every part of the program sees it: the long-lived services, each reached
// through getApplication(). Accessors return a pointer that is never null and never changes while the
// program runs. Used on the application thread only.
#pragma once

namespace tdx {

class AlarmMgr;
class Core;
class LogManager;
class ResourceMgr;
class SystemMgr;
class TaskPool;
class UpdateManager;

class App {
public:
    virtual ~App() = default;

    virtual Core* getCore() = 0;
    virtual UpdateManager* getUpdateManager() = 0;
    virtual ResourceMgr* getResourceManager() = 0;
    virtual SystemMgr* getSystemManager() = 0;
    virtual LogManager* getLogManager() = 0;
    virtual AlarmMgr* getAlarmManager() = 0;
    virtual TaskPool* getTaskPool() = 0;
};

// Built on the first call, so that it may be called from anywhere, static constructors included. The GUI core
// inside it is the program's one core: nothing else may construct a Core while it exists.
App* getApplication();

} // namespace tdx
