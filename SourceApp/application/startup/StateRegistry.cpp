#include "SourceApp/application/startup/StateRegistry.h"

#include "SourceApp/application/forms/alarm/FormAlarms.h"
#include "SourceApp/application/forms/common/FormNotImplemented.h"
#include "SourceApp/application/forms/display/FormDisplay.h"
#include "SourceApp/application/forms/display/FormDisplaySettings.h"
#include "SourceApp/application/forms/guide/FormFirstStartGuide.h"
#include "SourceApp/application/forms/guide/FormFirstStartGuideDateTime.h"
#include "SourceApp/application/forms/guide/FormFirstStartGuideLocale.h"
#include "SourceApp/application/forms/help/FormHelp.h"
#include "SourceApp/application/forms/home/FormHome.h"
#include "SourceApp/application/forms/installer/FormAnalogEdit.h"
#include "SourceApp/application/forms/installer/FormDHWTankEdit.h"
#include "SourceApp/application/forms/installer/FormDhwEdit.h"
#include "SourceApp/application/forms/installer/FormEnroll.h"
#include "SourceApp/application/forms/installer/FormEnrollProcess.h"
#include "SourceApp/application/forms/installer/FormHccEdit.h"
#include "SourceApp/application/forms/installer/FormHeatCurve.h"
#include "SourceApp/application/forms/installer/FormItcEdit.h"
#include "SourceApp/application/forms/installer/FormItcRooms.h"
#include "SourceApp/application/forms/installer/FormMireloEdit.h"
#include "SourceApp/application/forms/installer/FormOutput.h"
#include "SourceApp/application/forms/installer/FormProfile.h"
#include "SourceApp/application/forms/installer/FormRemove.h"
#include "SourceApp/application/forms/objects/FormObjectEditor.h"
#include "SourceApp/application/forms/objects/FormObjectOverview.h"
#include "SourceApp/application/forms/objects/FormPeripheralOverview.h"
#include "SourceApp/application/forms/objects/FormThermoheadOverview.h"
#include "SourceApp/application/forms/programs/FormLocation.h"
#include "SourceApp/application/forms/programs/FormPrograms.h"
#include "SourceApp/application/forms/programs/FormStandbyMode.h"
#include "SourceApp/application/forms/programs/FormVacationMode.h"
#include "SourceApp/application/forms/room/FormRoomEdit.h"
#include "SourceApp/application/forms/room/FormRoomSettings.h"
#include "SourceApp/application/forms/room/FormRoomTemporaryMode.h"
#include "SourceApp/application/forms/room/FormRoomThermostat.h"
#include "SourceApp/application/forms/schedule/FormSchedule.h"
#include "SourceApp/application/forms/schedule/FormScheduleCopyOrigin.h"
#include "SourceApp/application/forms/schedule/FormScheduleCopyTo.h"
#include "SourceApp/application/forms/schedule/FormScheduleDayEdit.h"
#include "SourceApp/application/forms/schedule/FormScheduleDayOverview.h"
#include "SourceApp/application/forms/start/FormNotLearned.h"
#include "SourceApp/application/forms/start/FormSplash.h"
#include "SourceApp/application/forms/start/FormTouchCalibration.h"
#include "SourceApp/application/forms/start/FormTouchDraw.h"
#include "SourceApp/application/forms/system/FormDeviceInfo.h"
#include "SourceApp/application/forms/system/FormSystem.h"
#include "SourceApp/application/forms/system/FormSystemBackup.h"
#include "SourceApp/application/forms/system/FormSystemDateTime.h"
#include "SourceApp/application/forms/system/FormSystemLocale.h"
#include "SourceApp/application/forms/update/FormDeviceUpgradeCardRemoved.h"
#include "SourceApp/application/forms/update/FormDeviceUpgradeConfirm.h"
#include "SourceApp/application/forms/update/FormDeviceUpgradeDone.h"
#include "SourceApp/application/forms/update/FormDeviceUpgradeFirmwareSearch.h"
#include "SourceApp/application/forms/update/FormDeviceUpgradeInfo.h"
#include "SourceApp/application/forms/update/FormDeviceUpgradeProgress.h"
#include "SourceApp/application/forms/update/FormDeviceUpgradeSelectFirmware.h"
#include "SourceApp/application/forms/update/FormDeviceUpgradeUnidentified.h"
#include "SourceApp/application/forms/update/FormDeviceUpgradeWait.h"

#include <array>

namespace tdx {

namespace {

using Build = Form* (*)(const State&);

template <class Screen>
Form* build(const State& state) {
    return new Screen(state);
}

constexpr Build NOT_IMPLEMENTED = &build<FormNotImplemented>;

// Indexed by state id. Ids 0, 22, 67, 68 and 74 have no screen of their own by design, as every id beyond
// the table: they show FormNotImplemented.
constexpr std::array<Build, STATE_COUNT> SCREENS = {
    NOT_IMPLEMENTED,                         // 0   no screen of its own
    &build<FormNotLearned>,                  // 1   FormNotLearned
    &build<FormSplash>,                      // 2   FormSplash
    &build<FormTouchCalibration>,            // 3   FormTouchCalibration
    &build<FormFirstStartGuide>,             // 4   FormFirstStartGuide
    &build<FormFirstStartGuideLocale>,       // 5   FormFirstStartGuideLocale
    &build<FormFirstStartGuideDateTime>,     // 6   FormFirstStartGuideDateTime
    &build<FormAlarms>,                      // 7   FormAlarms
    &build<FormHelp>,                        // 8   FormHelp (help topic in a SingleParamState)
    &build<FormHome>,                        // 9   FormHome, the default state
    &build<FormPrograms>,                    // 10  FormPrograms
    &build<FormSystem>,                      // 11  FormSystem
    &build<FormDisplay>,                     // 12  FormDisplay
    &build<FormRoomEdit>,                    // 13  FormRoomEdit (p1 room)
    &build<FormRoomSettings>,                // 14  FormRoomSettings (p1 room)
    &build<FormRoomTemporaryMode>,           // 15  FormRoomTemporaryMode (p1 room)
    &build<FormSchedule>,                    // 16  FormSchedule (ScheduleEditState)
    &build<FormScheduleDayEdit>,             // 17  FormScheduleDayEdit (SingleParamState<Ovi>)
    &build<FormScheduleDayOverview>,         // 18  FormScheduleDayOverview (ScheduleEditState)
    &build<FormScheduleCopyOrigin>,          // 19  FormScheduleCopyOrigin (SingleParamState<Ovi>)
    &build<FormScheduleCopyTo>,              // 20  FormScheduleCopyTo (SingleParamState<Ovi>)
    &build<FormDisplaySettings>,             // 21  FormDisplaySettings
    NOT_IMPLEMENTED,                         // 22  no screen of its own
    &build<FormDeviceInfo>,                  // 23  FormDeviceInfo (p1 device)
    &build<FormSystemDateTime>,              // 24  FormSystemDateTime
    &build<FormSystemLocale>,                // 25  FormSystemLocale
    &build<FormSystemBackup>,                // 26  FormSystemBackup
    &build<FormDeviceUpgradeUnidentified>,   // 27  FormDeviceUpgradeUnidentified
    &build<FormDeviceUpgradeInfo>,           // 28  FormDeviceUpgradeInfo
    &build<FormDeviceUpgradeFirmwareSearch>, // 29  FormDeviceUpgradeFirmwareSearch
    &build<FormDeviceUpgradeSelectFirmware>, // 30  FormDeviceUpgradeSelectFirmware
    &build<FormDeviceUpgradeCardRemoved>,    // 31  FormDeviceUpgradeCardRemoved
    &build<FormDeviceUpgradeConfirm>,        // 32  FormDeviceUpgradeConfirm (p1 firmware index)
    &build<FormDeviceUpgradeWait>,           // 33  FormDeviceUpgradeWait
    &build<FormDeviceUpgradeProgress>,       // 34  FormDeviceUpgradeProgress
    &build<FormDeviceUpgradeDone>,           // 35  FormDeviceUpgradeDone
    &build<FormDhwEdit>,                     // 36  FormDhwEdit (p1 object)
    &build<FormOutput>,                      // 37  FormOutput (p1 object)
    &build<FormLocation>,                    // 38  FormLocation
    &build<FormEnrollComponent>,             // 39  FormEnrollComponent
    &build<FormEnrollIntoNew>,               // 40  FormEnrollIntoNew
    &build<FormEnrollIntoLocation>,          // 41  FormEnrollIntoLocation
    &build<FormEnrollIntoExisting>,          // 42  FormEnrollIntoExisting
    &build<FormEnrollEnterSerial>,           // 43  FormEnrollEnterSerial (object ids in a SingleParamState)
    &build<FormEnrollProcess>,         // 44  FormEnrollProcess (object ids and serial in a SingleParamState)
    &build<FormRemoveComponent>,       // 45  FormRemoveComponent
    &build<FormRemoveFromLocation>,    // 46  FormRemoveFromLocation
    &build<FormRemoveFromExisting>,    // 47  FormRemoveFromExisting
    &build<FormRemoveRoom>,            // 48  FormRemoveRoom
    &build<FormRemoveLocation>,        // 49  FormRemoveLocation
    &build<FormRemoveProcess>,         // 50  FormRemoveProcess (object ids in a SingleParamState)
    &build<FormProfile>,               // 51  FormProfile
    &build<FormProfileChange>,         // 52  FormProfileChange
    &build<FormProfileChangeProcess>,  // 53  FormProfileChangeProcess (p1 profile)
    &build<FormProfileConfiguration>,  // 54  FormProfileConfiguration
    &build<FormProfileOutdoorTemp>,    // 55  FormProfileOutdoorTemp
    &build<FormProfileUserOutputs>,    // 56  FormProfileUserOutputs
    &build<FormProfileUserOutputEdit>, // 57  FormProfileUserOutputEdit (p1 output)
    &build<FormRoomThermostat>,        // 58  FormRoomThermostat (p1 peripheral)
    &build<FormThermoheadOverview>,    // 59  FormThermoheadOverview (p1 room)
    &build<FormPeripheralOverview>,    // 60  FormPeripheralOverview (p1 object, 0xFEFFFFFE the global ones)
    &build<FormHccEdit>,               // 61  FormHccEdit (p1 object)
    &build<FormItcEdit>,               // 62  FormItcEdit (p1 object)
    &build<FormItcRooms>,              // 63  FormItcRooms (p1 object)
    &build<FormHeatCurve>,             // 64  FormHeatCurve (p1 object)
    &build<FormVacationMode>,          // 65  FormVacationMode
    &build<FormStandbyMode>,           // 66  FormStandbyMode
    NOT_IMPLEMENTED,                   // 67  no screen of its own
    NOT_IMPLEMENTED,                   // 68  no screen of its own
    &build<FormAnalogEdit>,            // 69  FormAnalogEdit (p1 object)
    &build<FormObjectEditor>,          // 70  FormObjectEditor (p1 object)
    &build<FormObjectOverview>,        // 71  FormObjectOverview (p1 object type)
    &build<FormTouchDraw>,             // 72  FormTouchDraw
    &build<FormMireloEdit>,            // 73  FormMireloEdit (p1 object)
    NOT_IMPLEMENTED,                   // 74  no screen of its own
    &build<FormDHWTankEdit>,           // 75  FormDHWTankEdit (p1 object)
};

} // namespace

Form* AppChangeState(state_id_t /*previous*/, state_id_t next, const State& state) {
    // The core has closed every layer of the previous screen already, popups and editors included, so that
    // nothing of it lives on under the new one.
    return (next < SCREENS.size() ? SCREENS[next] : NOT_IMPLEMENTED)(state);
}

} // namespace tdx
