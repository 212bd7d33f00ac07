// Configuration backup and restore: the display asks the control unit, which does the work, by writing 1
// into the location's backup (0x51) or restore (0x52) value; each link stays disabled from the request until
// the control unit reports that value idle again. A restore is confirmed in a popup first; the restart that
// follows it, as the popup announces, keeps the screens while the unit is away, as the update wizard does,
// whichever screen the user goes to meanwhile.
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

    NavigationLink* mBackupLink;
    NavigationLink* mRestoreLink;
    bool mRestoreAsked = false; // the restore popup is open
};

} // namespace tdx
