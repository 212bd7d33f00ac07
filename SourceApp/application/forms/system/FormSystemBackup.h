// Configuration backup and restore: the display asks the control unit, which does the work, by writing 1
// into the location's backup (0x51) or restore (0x52) value; each link stays disabled from the request until
// the control unit reports that value idle again. A restore is confirmed in a popup first; the restart that
// follows it, as the popup announces, keeps the screens while the unit is away, as the update wizard does,
// whichever screen the user goes to meanwhile. While the unit is away in that restart the restore link is
// disabled, on this screen as on one opened again meanwhile, until the unit is back.
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
    // Disables the link and writes the request, unless the location is missing; whether it was written.
    static bool request(NavigationLink* link, vid_t vid);
    // Enables the restore link when the unit reported its request idle and is not away in its restart.
    void showRestoreLink();

    NavigationLink* mBackupLink;
    NavigationLink* mRestoreLink;
    bool mRestoreAsked = false; // the restore popup is open
    bool mRestoreIdle = true;   // no restore asked since the unit last reported its request idle
};

} // namespace tdx
