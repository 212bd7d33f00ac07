// Configuration backup and restore: the display asks the control unit, which does the work, by writing 1
// into the location's backup (0x51) or restore (0x52) value; each link stays disabled from the request until
// the control unit reports that value idle again. A restore is confirmed in a popup first; the restart that
// follows it, as the popup announces, keeps the screens while the unit is away, as the update wizard does,
// whichever screen the user goes to meanwhile. From the confirmation until the unit is back from that restart
// neither link is offered, on this screen as on one opened again meanwhile: the unit's report that the
// restore is idle comes before its restart, and a request it took then would be carried out once more.
#pragma once

#include "SourceApp/application/forms/VexalStackedContentForm.h"
#include "SourceApp/storage/ProxyStructure.h"

namespace tdx {

class NavigationLink;

class FormSystemBackup : public VexalStackedContentForm, public ProxyValueChangeHandler {
public:
    static constexpr vid_t VID_BACKUP = 0x0051;
    static constexpr vid_t VID_RESTORE = 0x0052;

    explicit FormSystemBackup(const State& state);
    ~FormSystemBackup() override;

    void handleMessage(Message* message) override;

protected:
    void handleProxyValueChange(ProxyObject& object, const OviEx& change) override;

private:
    // Writes the request and notes it pending, unless the location is missing; whether it was written.
    bool request(vid_t vid);
    // Enables each link when the unit reported its request idle and no restart after a restore is under way.
    void showLinks();

    NavigationLink* mBackupLink;
    NavigationLink* mRestoreLink;
    bool mRestoreAsked = false; // the restore popup is open
    // No request of the value asked since the unit last reported it idle.
    bool mBackupIdle = true;
    bool mRestoreIdle = true;
};

} // namespace tdx
