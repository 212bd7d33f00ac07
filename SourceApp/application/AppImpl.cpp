#include "SourceApp/application/AppImpl.h"

#include "SourceApp/application/OwnDevice.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/drivers/buzzer.h"
#include "SourceApp/storage/DataModel.h"

#include <memory>

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

namespace {

// One of the object tree's two roots, appended with its template.
void appendRoot(oid_t oid, uint8_t type) {
    const bt_obj_info info{type, 0, 0, 0};
    Structure.append(new ProxyObject(oid, ObjectInfo(info), DataModel::Database::findObjectTemplate(info)));
}

AppImpl& instance() {
    static AppImpl application;
    return application;
}

} // namespace

App* getApplication() {
    return &instance();
}

void bootstrap() {
    App* app = getApplication();
    Structure.addValueChangeHandler(app->getSystemManager());
    Structure.addObjectAppendHandler(app->getAlarmManager());
    Structure.addObjectRemoveHandler(app->getAlarmManager());
    Structure.addValueChangeHandler(app->getAlarmManager());
    appendRoot(own_network_address(), 2);
    appendRoot(OID_LOCATION, 1);
}

void application_renew() {
    AppImpl& app = instance();
    Structure.removeValueChangeHandler(app.getSystemManager());
    Structure.removeObjectAppendHandler(app.getAlarmManager());
    Structure.removeObjectRemoveHandler(app.getAlarmManager());
    Structure.removeValueChangeHandler(app.getAlarmManager());
    std::destroy_at(&app);
    std::construct_at(&app);
}

} // namespace tdx
