#include "SourceApp/application/forms/update/DeviceUpgradeForm.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/App.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/ProgressBar.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/application/update/UpdateManager.h"

namespace tdx {

namespace {
constexpr int ROW_HEIGHT = 23;
constexpr int CAPTION_X = 9;
// A step's bar stands below the text, its countdown or percentage under the bar.
constexpr int BAR_GAP = 18;
constexpr int BAR_HEIGHT = 8;
constexpr int BAR_CAPTION_GAP = 4;
constexpr int BAR_CAPTION_HEIGHT = 13;
} // namespace

DeviceUpgradeForm::DeviceUpgradeForm(const State& state, bool withCancel, const char* name)
    : VexalWizardForm(state, withCancel) {
    setName(name);
    setAwakeOverride(true);
    if (mExitButton != nullptr) {
        mExitButton->setText(gettext("Cancel"));
    }
}

DeviceUpgradeForm::~DeviceUpgradeForm() = default;

UpdateProcess* DeviceUpgradeForm::process() {
    UpdateProcess* running = getApplication()->getUpdateManager()->getProcess();
    if (running == nullptr) {
        dbg_printf_h("update wizard: no update process");
    }
    return running;
}

UpdateController* DeviceUpgradeForm::controller() {
    UpdateProcess* running = process();
    return running != nullptr ? running->getController() : nullptr;
}

void DeviceUpgradeForm::abortProcess() {
    if (UpdateController* running = controller()) {
        running->doAbort();
    }
}

UpdateModel* DeviceUpgradeForm::requireModel() {
    UpdateProcess* running = process();
    if (running == nullptr) {
        dbg_printf_h("%s: built without an update process, going back", getName().c_str());
        backOrDefault();
        return nullptr;
    }
    return running->getModel();
}

ContainedLabel* DeviceUpgradeForm::addHeading(const char* text) {
    return new ContainedLabel(getContent(), 0, 0, contentWidth(), 17, &bif_myriad14, gettext(text),
                              HorizontalAlign::Left, VerticalAlign::Middle);
}

TextFrame* DeviceUpgradeForm::addText(const std::string& text) {
    return new TextFrame(getContent(), 0, 0, contentWidth(), 0, &bif_myriad12, text, VerticalAlign::Top);
}

ProgressBar* DeviceUpgradeForm::addBar() {
    return new ProgressBar(getContent(), 0, BAR_GAP, contentWidth(), BAR_HEIGHT);
}

ContainedLabel* DeviceUpgradeForm::addBarCaption(const std::string& text) {
    return new ContainedLabel(getContent(), 0, BAR_CAPTION_GAP, contentWidth(), BAR_CAPTION_HEIGHT,
                              &bif_myriad12, text, HorizontalAlign::Left, VerticalAlign::Middle);
}

ProgressBar* DeviceUpgradeForm::addBusyBar() {
    ProgressBar* bar = addBar();
    bar->setProgress(ProgressBar::INDETERMINATE);
    return bar;
}

void DeviceUpgradeForm::addInfoRow(const char* caption, const std::string& value, int captionWidth,
                                   int valueWidth) {
    auto* row = new RowContainer(getContent(), 0, 0, contentWidth(), ROW_HEIGHT);
    new ContainedLabel(row, CAPTION_X, 0, captionWidth, ROW_HEIGHT, &bif_myriad12, gettext(caption),
                       HorizontalAlign::Left, VerticalAlign::Middle);
    new ContainedLabel(row, 0, 0, valueWidth, ROW_HEIGHT, &bif_myriad12, value, HorizontalAlign::Center,
                       VerticalAlign::Middle);
}

int DeviceUpgradeForm::contentWidth() const {
    return getContent()->getWidth();
}

std::string DeviceUpgradeForm::packageName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void DeviceUpgradeForm::finish() {
    getContent()->fitToContent();
}

} // namespace tdx
