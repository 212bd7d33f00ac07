#include "SourceApp/application/forms/system/FormSystemBackup.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/App.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/Popup.h"
#include "SourceApp/application/update/UpdateManager.h"
#include "SourceApp/application/update/remote/BootloaderService.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/net/TaviProtocol.h"

namespace tdx {

namespace {

constexpr int IDLE = 0xFF;
// A unit that restarts after a restore and is away longer than this is a unit lost: the not-enrolled screen.
// As long as one outage of the unit's restart during an update may last.
constexpr unsigned RESTART_WAIT_MS = BootloaderService::NETWORK_GRACE_MS;

// The control unit reports a request value idle with 0xFF in its low byte. Published as an unsigned byte,
// 0xFF is that type's no-value marker and the table reads it as "no valid value", with the marker in the
// output: that reading is idle too, or the link would stay disabled until the screen is opened again.
bool isIdle(oid_t oid, vid_t vid) {
    int value = 0;
    const int result = pt_get_int(&value, oid, vid);
    return (result == PT_OK || result == PT_ERR_NO_VALUE) && (value & 0xFF) == IDLE;
}

} // namespace

FormSystemBackup::FormSystemBackup(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormSystemBackup");
    StackedContainer* content = getContent();
    new ContainedLabel(content, 0, 0, content->getWidth(), 12, &bif_myriad12,
                       gettext("System | Configuration Backup & Restore"), HorizontalAlign::Center);
    NavigationLink::Builder link{.parent = content, .width = content->getWidth(), .height = 26};
    link.text = gettext("Backup configuration");
    mBackupLink = link.build();
    link.text = gettext("Restore from latest backup");
    mRestoreLink = link.build();
    content->fitToContent();
    // A screen opened again while the unit restarts after a restore offers no request before it is back.
    showLinks();
    Structure.addValueChangeHandler(this);
}

FormSystemBackup::~FormSystemBackup() {
    Structure.removeValueChangeHandler(this);
}

bool FormSystemBackup::request(vid_t vid) {
    if (Structure.find(OID_LOCATION) == nullptr) {
        dbg_printf_h("FormSystemBackup: no location object, value %04X not requested", vid);
        return false;
    }
    (vid == VID_BACKUP ? mBackupIdle : mRestoreIdle) = false;
    showLinks();
    Net::Tavi.treatAsRequest(OID_LOCATION, vid);
    const int result = pt_set_int(OID_LOCATION, vid, 1, BT_VTYPE_U8);
    if (result != PT_OK) {
        dbg_printf_h("FormSystemBackup: value %04X not written (%d)", vid, result);
    }
    return result == PT_OK;
}

void FormSystemBackup::handleMessage(Message* message) {
    // The base and the children may consume the message; what it was is decided on a copy.
    const Message m = *message;
    VexalStackedContentForm::handleMessage(message);
    if (m.isClick(mBackupLink)) {
        request(VID_BACKUP);
    } else if (m.isClick(mRestoreLink)) {
        mRestoreAsked =
            Popup::create(gettext("Attention"), gettext("Restore configuration"),
                          gettext("Do you want to restore previously stored configuration? System "
                                  "will reset afterwards."),
                          PopupButtons::OkCancel) != nullptr;
    } else if (m.id == MSG_POPUP_RESULT) {
        // Only the answer to this screen's own question restores: another popup's OK has nothing to do here.
        const bool asked = mRestoreAsked;
        mRestoreAsked = false;
        // The restart the popup told of follows only a request the unit really receives; the wait for it
        // outlives this screen, which the user may leave meanwhile.
        if (asked && (m.p1 & 0xFF) == Popup::RESULT_OK && request(VID_RESTORE)) {
            getApplication()->getUpdateManager()->announceRestart(
                RESTART_WAIT_MS, [] { return isIdle(OID_LOCATION, VID_RESTORE); });
            showLinks();
        }
    } else if (m.id == MSG_TIMER) {
        showLinks();
    }
}

void FormSystemBackup::showLinks() {
    // The announcement ends with the unit's return, a refusal, its lapse or the end of the wait for the unit.
    const bool restarting = getApplication()->getUpdateManager()->expectsRestart();
    mBackupLink->setEnabled(mBackupIdle && !restarting);
    mRestoreLink->setEnabled(mRestoreIdle && !restarting);
}

void FormSystemBackup::handleProxyValueChange(ProxyObject& object, const OviEx& change) {
    if (object.oid() != OID_LOCATION) {
        return;
    }
    if (change.vid == VID_BACKUP) {
        mBackupIdle = isIdle(object.oid(), VID_BACKUP);
        showLinks();
    } else if (change.vid == VID_RESTORE) {
        mRestoreIdle = isIdle(object.oid(), VID_RESTORE);
        showLinks();
    }
}

} // namespace tdx
