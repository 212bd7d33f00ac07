#include "SourceApp/application/forms/update/FormDeviceUpgradeConfirm.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/application/update/UpdateProcess.h"

#include <algorithm>

namespace tdx {

namespace {
constexpr int FILE_CAPTION_WIDTH = 136;
constexpr int FILE_VALUE_WIDTH = 131;
constexpr unsigned WARNING_COLOUR = 0x312CD8;
constexpr int WARNING_TEXT_X = 40;
} // namespace

FormDeviceUpgradeConfirm::FormDeviceUpgradeConfirm(const State& state)
    : DeviceUpgradeForm(state, true, "FormDeviceUpgradeConfirm")
    , mIndex(state.getP1()) {
    setHelp(gettext("Remote Device Update"));
    UpdateModel* model = requireModel();
    if (model == nullptr) {
        return;
    }
    const auto entry = std::find_if(model->begin(), model->end(),
                                    [this](const ui_firmware_info& e) { return e.index == mIndex; });
    if (entry == model->end()) {
        // Only the selection screen opens this one, with an index from the same list.
        dbg_printf_h("FormDeviceUpgradeConfirm: no firmware entry %u, going back", mIndex);
        backOrDefault();
        return;
    }
    bl_dev_info info{};
    const bool known = model->getDeviceInfo(&info);

    addHeading(N_("Confirm Update"));
    addText(
        gettext("Click on the \"Update\" or go back to select other file. Once started, download cannot be "
                "interrupted."));
    addInfoRow(N_("File name"), packageName(entry->fileName), FILE_CAPTION_WIDTH, FILE_VALUE_WIDTH);
    addInfoRow(N_("New software"), fmt("%s%02u", entry->softwareCode, entry->version));
    if (known && info.sw_major > entry->version) {
        addWarning(
            gettext("This software version is older than current software version. Downgrading may cause "
                    "device's configuration to be corrupted or lost."));
    }
    if (entry->minorVersion != 0) {
        addInfoRow(N_("New software minor version"), fmt("%u", entry->minorVersion));
        addWarning(gettext("This is pre-release software. We strongly discourage you from using pre-release "
                           "software. You may experience unexpected behavior and serious bugs."));
    }
    mNextButton->setText(gettext("Update"));
    if (!model->isCancellable()) {
        setExitEnabled(false);
    }
    finish();
}

FormDeviceUpgradeConfirm::~FormDeviceUpgradeConfirm() = default;

void FormDeviceUpgradeConfirm::addWarning(const std::string& text) {
    auto* block = new Container(getContent(), 0, 0, contentWidth(), 0);
    // A plain container places nothing: its children stand where they are put.
    Icon::create(block, block->getLeft() + 8, block->getTop() + 4, res_alarm_active, WARNING_COLOUR);
    new TextFrame(block, block->getLeft() + WARNING_TEXT_X, block->getTop(), contentWidth() - WARNING_TEXT_X,
                  0, &bif_myriad12, text, VerticalAlign::Top);
    block->fitToContent();
}

void FormDeviceUpgradeConfirm::handleMessage(Message* message) {
    const Message m = *message;
    DeviceUpgradeForm::handleMessage(message);
    const bool cancel = m.isClick(mExitButton);
    if (!cancel && !m.isClick(mNextButton)) {
        return;
    }
    UpdateController* running = controller();
    if (running == nullptr) {
        return;
    }
    if (cancel) {
        running->doAbort();
        return;
    }
    running->doSelectFirmware(mIndex);
    // One choice only, and no way off the screen while the process goes on to the download.
    setNavigationEnabled(false);
    setExitEnabled(false);
    setNextEnabled(false);
}

} // namespace tdx
