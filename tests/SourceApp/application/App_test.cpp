#include "SourceApp/application/App.h"

#include "Libraries/base/os.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/drivers/buzzer.h"
#include "SourceApp/gui/core/Control.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/gui/core/Form.h"
#include "SourceApp/system/SystemMgr.h"
#include "SourceApp/system/config.h"
#include "SourceApp/task/TaskPool.h"
#include "tests/support/fresh_application.h"
#include "tests/support/trace_capture.h"

#include <gtest/gtest.h>

namespace tdx {
namespace {

using Application = test::FreshApplication;

class CountingJob : public Job {
public:
    void execute() override {
        ++runs;
        setFinished();
    }
    int runs = 0;
};

TEST_F(Application, TheGuiCoreRunsTheJobPoolAndAScreensAwakeOverrideReachesTheSystemManager) {
    App* app = getApplication();
    CountingJob job;
    app->getTaskPool()->schedule(&job);
    app->getCore()->task();
    EXPECT_EQ(job.runs, 1);

    test::TraceCapture quiet;
    timer_init();
    Configuration = DefaultConfiguration;
    SystemMgr* system = app->getSystemManager();
    auto runFor = [&](int ms) {
        for (int i = 0; i < ms; ++i) {
            os_clock_advance(1);
            system->task();
        }
    };
    system->task();
    auto* screen = new Form(State(9));
    screen->setAwakeOverride(true);
    runFor(60000);
    EXPECT_EQ(system->getScreenState(), ssActive);
    delete screen; // a closed screen no longer holds the screen awake
    runFor(10001);
    EXPECT_EQ(system->getScreenState(), ssDimmed);
}

TEST_F(Application, APressOnAControlSoundsTheClick) {
    test::TraceCapture quiet;
    Core* core = getApplication()->getCore();
    buzzer.stop();
    auto* screen = new Form(State(9));
    new Control(screen, 0, 0, 40, 40);
    core->sendEvent(EVENT_TOUCH_PRESS, 5, 5, 5, 5);
    core->task();
    EXPECT_EQ(buzzer.status(), 1);
    buzzer.stop();
    delete screen;
}

TEST_F(Application, WidgetsReadTheLocalTimeOfTheSystemManager) {
    test::TraceCapture quiet;
    SystemMgr* system = getApplication()->getSystemManager();
    proxytab_init();
    Structure.clear();
    Structure.append(new ProxyObject(OID_LOCATION, ObjectInfo(bt_obj_info{1, 0, 0, 0}), nullptr));
    Structure.addValueChangeHandler(system);
    pt_set_int(OID_LOCATION, SystemMgr::VID_LOCAL_TIME_OFFSET, 5400, BT_VTYPE_S32);
    Structure.task();
    Structure.removeValueChangeHandler(system);
    Structure.clear();

    EXPECT_EQ(widget_local_time().getLocalTimeOffset(), 5400);
}

} // namespace
} // namespace tdx
