#include "SourceApp/application/AppImpl.h"

#include "Libraries/base/os.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/DataModel.h"
#include "SourceHost/api_lib/device_info.h"
#include "tests/support/fresh_application.h"
#include "tests/support/trace_capture.h"

#include <gtest/gtest.h>

namespace tdx {
namespace {

// The handlers stay for the life of the program; the fixture's new application object detaches them.
class Bootstrap : public test::FreshApplication {
protected:
    void TearDown() override {
        FreshApplication::TearDown();
        Structure.clear();
    }
};

TEST_F(Bootstrap, TheTreeGetsTheDisplayAndTheLocationAndTheServicesFollowItsChanges) {
    test::TraceCapture quiet;
    os_init();
    ASSERT_EQ(os_set_network_address(0x010411), 0);
    proxytab_init();
    Structure.clear();
    App* app = getApplication();
    EXPECT_EQ(app->getAlarmManager(), getApplication()->getAlarmManager());

    bootstrap();
    ASSERT_EQ(Structure.size(), 2u);
    const ProxyObject* own = Structure.find(0x010411);
    const ProxyObject* location = Structure.find(OID_LOCATION);
    ASSERT_NE(own, nullptr);
    ASSERT_NE(location, nullptr);
    EXPECT_EQ(own->type(), ObjectInfo(2, 0));
    EXPECT_EQ(location->type(), ObjectInfo(1, 0));
    EXPECT_EQ(own->getTemplate(), DataModel::Database::findObjectTemplate({2, 0, 0, 0}));
    EXPECT_EQ(location->getTemplate(), DataModel::Database::findObjectTemplate({1, 0, 0, 0}));

    // An output's alarm reaches the alarm manager; the location's time offset the system manager.
    const bt_obj_info output{5, 7, 0, 0};
    Structure.append(
        new ProxyObject(0x0104110A, ObjectInfo(output), DataModel::Database::findObjectTemplate(output)));
    pt_set_int(0x0104110A, 0x4010, 4, BT_VTYPE_U8);
    pt_set_int(OID_LOCATION, SystemMgr::VID_LOCAL_TIME_OFFSET, 3600, BT_VTYPE_S32);
    Structure.task();
    EXPECT_EQ(app->getAlarmManager()->getAlarmState(), AlarmState::Alarm);
    EXPECT_EQ(app->getSystemManager()->getLocalTimeOffset(), 3600);
    Structure.remove(0x0104110A);
    EXPECT_EQ(app->getAlarmManager()->getAlarmState(), AlarmState::None);
}

} // namespace
} // namespace tdx
