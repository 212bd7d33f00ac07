#include "SourceApp/application/AppImpl.h"

#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/drivers/buzzer.h"

namespace tdx {

AppImpl::AppImpl() {
    // The GUI engine and the widgets cannot include the services; they reach them through these hooks.
    CoreHooks hooks = mCore.getHooks();
    hooks.runJobs = [this] { mTaskPool.run(); };
    hooks.setAwakeOverride = [this](bool on) { mSystemMgr.setAwakeOverride(on); };
    mCore.setHooks(std::move(hooks));
    buzzer_attach_click(mCore);
    widgets_set_local_time([] { return getApplication()->getSystemManager()->getLocalTime(); });
}

App* getApplication() {
    static AppImpl application;
    return &application;
}

} // namespace tdx
