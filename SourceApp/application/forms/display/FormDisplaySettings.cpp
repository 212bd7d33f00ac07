#include "SourceApp/application/forms/display/FormDisplaySettings.h"

#include "Libraries/base/dbg.h"
#include "SourceApp/application/App.h"
#include "SourceApp/application/commands/ChangeStateCommand.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/Popup.h"
#include "SourceApp/application/controls/SwitchButton.h"
#include "SourceApp/system/config.h"

#include <algorithm>
#include <vector>

namespace tdx {

namespace {

constexpr state_id_t TOUCH_TEST_STATE_ID = 72;
constexpr unsigned MENU_WIDTH = 81;

constexpr const char* BRIGHTNESS_ITEMS[] = {N_("Very Low"), N_("Low"), N_("Medium"), N_("High")};
constexpr const char* DELAY_ITEMS[] = {N_("Never"),     N_("10 seconds"), N_("1 minute"),   N_("3 minutes"),
                                       N_("5 minutes"), N_("10 minutes"), N_("15 minutes"), N_("1 hour")};
static_assert(std::size(BRIGHTNESS_ITEMS) == FormDisplaySettings::BrightnessList.size());
static_assert(std::size(DELAY_ITEMS) == FormDisplaySettings::DelayList.size());

template <size_t N>
void addItems(EditableDropdownRow* row, const char* const (&texts)[N]) {
    std::vector<DropdownItem*> items;
    for (const char* text : texts) {
        items.push_back(new DropdownItemImpl(gettext(text), 0));
    }
    row->addItems(items.cbegin(), items.cend());
}

// The first item at or above the stored value; the index past the last (no item, "--") above them all.
template <class T, size_t N>
uint16_t itemAtOrAbove(const std::array<T, N>& list, unsigned value) {
    return static_cast<uint16_t>(std::lower_bound(list.begin(), list.end(), value) - list.begin());
}

// The table's entry for the picked item; none (with a trace) for an index the table does not have.
template <class T, size_t N>
const T* entryFor(const std::array<T, N>& list, const DropdownItem* item) {
    if (item == nullptr || item->getIndex() >= N) {
        dbg_printf_h("FormDisplaySettings: item %d has no entry",
                     item != nullptr ? int{item->getIndex()} : -1);
        return nullptr;
    }
    return &list[item->getIndex()];
}

} // namespace

FormDisplaySettings::FormDisplaySettings(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormDisplaySettings");
    setHelp(gettext("Display"));
    StackedContainer* content = getContent();
    const int width = content->getWidth();
    new ContainedLabel(content, 0, 0, width, 12, &bif_myriad12, gettext("Display | Screen settings"),
                       HorizontalAlign::Center);

    auto* brightness = new EditableDropdownRow(content, 0, 0, width, gettext("Brightness"), MENU_WIDTH);
    addItems(brightness, BRIGHTNESS_ITEMS);
    brightness->setSelectedItem(itemAtOrAbove(BrightnessList, Configuration.screen_intensity[ssActive]));
    brightness->setOnItemClickCommand(std::make_unique<ChangeBrightnessCommand>());

    addDelayRow(N_("Dim screen after"), ssActive);
    addDelayRow(N_("Turn screen off after"), ssDimmed);

    NavigationLink::Builder link{.parent = content, .width = width, .height = 26};
    link.text = gettext("Calibrate touch screen");
    mCalibrateLink = link.build();
    link.text = gettext("Test touch");
    link.build()->setClickCommand(std::make_unique<ChangeStateCommand>(TOUCH_TEST_STATE_ID));

    auto* demo = new RowContainer(content, 0, 0, 277, 26);
    demo->setSpacing(0);
    new ContainedLabel(demo, 9, 0, 186, 26, &bif_myriad12, gettext("Demo mode"));
    mDemoSwitch = new SwitchButton(demo, 0, 2, pgettext("switch", "On"), pgettext("switch", "Off"));
    mDemoSwitch->setChecked(Configuration.demo_mode != 0);
    content->fitToContent();
}

FormDisplaySettings::~FormDisplaySettings() = default;

void FormDisplaySettings::addDelayRow(const char* title, screen_state_t state) {
    StackedContainer* content = getContent();
    auto* row = new EditableDropdownRow(content, 0, 0, content->getWidth(), gettext(title), MENU_WIDTH);
    addItems(row, DELAY_ITEMS);
    // Compared modulo 65536, as stored records have always been read; anything above the table is the last
    // item.
    const auto delay = static_cast<uint16_t>(getApplication()->getSystemManager()->getDelay(state));
    row->setSelectedItem(std::min<uint16_t>(itemAtOrAbove(DelayList, delay), DelayList.size() - 1));
    row->setOnItemClickCommand(std::make_unique<ChangeStateDelayCommand>(state));
}

void FormDisplaySettings::handleMessage(Message* message) {
    // The base and the children may consume the message; what it was is decided on a copy.
    const Message m = *message;
    VexalStackedContentForm::handleMessage(message);
    if (m.isClick(mCalibrateLink)) {
        Popup::create(gettext("Information"), gettext("Touchscreen calibration"),
                      gettext("You must restart the device while touching the screen. Hold the touch until "
                              "asked to release it."),
                      PopupButtons::Close);
    } else if (m.is(MSG_CHANGE, mDemoSwitch)) {
        const uint8_t demo = mDemoSwitch->getChecked() ? 1 : 0;
        if (demo != Configuration.demo_mode) {
            Configuration.demo_mode = demo;
            config_apply();
        }
    }
}

void FormDisplaySettings::ChangeBrightnessCommand::execute(DropdownItem* item) {
    if (const uint8_t* percent = entryFor(BrightnessList, item)) {
        getApplication()->getSystemManager()->setIntensity(ssActive, *percent);
        config_apply();
    }
}

void FormDisplaySettings::ChangeStateDelayCommand::execute(DropdownItem* item) {
    if (const uint16_t* seconds = entryFor(DelayList, item)) {
        getApplication()->getSystemManager()->setDelay(mScreenState, *seconds);
        config_apply();
    }
}

} // namespace tdx
