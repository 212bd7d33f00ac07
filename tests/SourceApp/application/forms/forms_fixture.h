// The harness as the screens find it in the running program: the alarm manager listens to the object tree,
// and states open the real screens (alarms 7, display 12, screen settings 21, device information 23). Any
// other state opens a blank screen, unless a test's own registry builds something for it first.
//
// A screen's screenshot with the default installation is one line of its test:
//   loadDefaultInstallation(); open(21); screenshot("FormDisplaySettings");
#pragma once

#include "SourceApp/application/AlarmMgr.h"
#include "SourceApp/application/forms/alarm/FormAlarms.h"
#include "SourceApp/application/forms/display/FormDisplay.h"
#include "SourceApp/application/forms/display/FormDisplaySettings.h"
#include "SourceApp/application/forms/system/FormDeviceInfo.h"
#include "SourceApp/storage/ProxyObject.h"
#include "tests/support/screen_harness.h"

namespace tdx::test {

class FormsTest : public ScreenHarness {
public:
    static Form* screens(unsigned, unsigned, const State& state) {
        switch (state.getStateId()) {
            case 7:
                return new FormAlarms(state);
            case 12:
                return new FormDisplay(state);
            case 21:
                return new FormDisplaySettings(state);
            case 23:
                return new FormDeviceInfo(state);
            default:
                return new BlankForm(state);
        }
    }

protected:
    void SetUp() override {
        ScreenHarness::SetUp();
        buzzer.stop();
        alarms().setEnabled(true); // the tree is empty: no entries
        Structure.addObjectAppendHandler(&alarms());
        Structure.addObjectRemoveHandler(&alarms());
        Structure.addValueChangeHandler(&alarms());
        setRegistry(&FormsTest::screens);
    }
    void TearDown() override {
        Structure.removeObjectAppendHandler(&alarms());
        Structure.removeObjectRemoveHandler(&alarms());
        Structure.removeValueChangeHandler(&alarms());
        alarms().setEnabled(false); // forgets this test's entries
        buzzer.stop();
        ScreenHarness::TearDown();
    }

    static AlarmMgr& alarms() { return *getApplication()->getAlarmManager(); }
    // An object built on a template of the test's own.
    ObjectBuilder objectOf(const DataModel::ObjectTemplate& objectTemplate, oid_t oid, uint8_t type,
                           uint8_t subtype = 0) {
        Structure.append(new ProxyObject(oid, ObjectInfo(type, subtype), &objectTemplate));
        return ObjectBuilder(oid);
    }
    // How many pixels of a colour the box shows.
    static bool shows(const Box& box, unsigned colour) { return countColour(box, colour) > 0; }
};

// The simulated control unit's installation, for the screenshots a person looks at.
using DefaultInstallationTest = FormsTest;

} // namespace tdx::test
