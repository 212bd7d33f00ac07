// The harness as the screens find it in the running program: the alarm manager listens to the object tree,
// and states open their screens through the program's own registry (a state without a screen yet opens the
// not-implemented screen), unless a test's own registry builds something for it first.
//
// A screen's screenshot with the default installation is one line of its test:
//   loadDefaultInstallation(); open(21); screenshot("FormDisplaySettings");
#pragma once

#include "SourceApp/application/AlarmMgr.h"
#include "SourceApp/application/forms/alarm/FormAlarms.h"
#include "SourceApp/application/forms/display/FormDisplay.h"
#include "SourceApp/application/forms/display/FormDisplaySettings.h"
#include "SourceApp/application/forms/system/FormDeviceInfo.h"
#include "SourceApp/application/startup/StateRegistry.h"
#include "SourceApp/application/update/UpdateManager.h"
#include "SourceApp/storage/ProxyObject.h"
#include "tests/support/screen_harness.h"

namespace tdx::test {

class FormsTest : public ScreenHarness {
protected:
    void SetUp() override {
        ScreenHarness::SetUp();
        buzzer.stop();
        alarms().setEnabled(true); // the tree is empty: no entries
        Structure.addObjectAppendHandler(&alarms());
        Structure.addObjectRemoveHandler(&alarms());
        Structure.addValueChangeHandler(&alarms());
        setRegistry(&AppChangeState);
    }
    void TearDown() override {
        // An update process outlives its screens: it ends here, before the next test.
        if (UpdateProcess* running = updates().getProcess()) {
            mCore.defaultState();
            updates().terminate(running);
            updates().task();
        }
        Structure.removeObjectAppendHandler(&alarms());
        Structure.removeObjectRemoveHandler(&alarms());
        Structure.removeValueChangeHandler(&alarms());
        alarms().setEnabled(false); // forgets this test's entries
        buzzer.stop();
        ScreenHarness::TearDown();
    }

    static AlarmMgr& alarms() { return *getApplication()->getAlarmManager(); }
    static UpdateManager& updates() { return *getApplication()->getUpdateManager(); }
    // An object built on a template of the test's own.
    ObjectBuilder objectOf(const DataModel::ObjectTemplate& objectTemplate, oid_t oid, uint8_t type,
                           uint8_t subtype = 0) {
        Structure.append(new ProxyObject(oid, ObjectInfo(type, subtype), &objectTemplate));
        return ObjectBuilder(oid);
    }
    // Whether the box shows any pixel of the colour.
    static bool shows(const Box& box, unsigned colour) { return countColour(box, colour) > 0; }
};

// The simulated control unit's installation, for the screenshots a person looks at.
using DefaultInstallationTest = FormsTest;

} // namespace tdx::test
