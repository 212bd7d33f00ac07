#include "SourceApp/application/forms/alarm/FormAlarms.h"

#include "Libraries/base/fmt.h"
#include "SourceApp/application/App.h"
#include "SourceApp/application/commands/ChangeStateCommand.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/storage/DataModel.h"
#include "SourceApp/storage/ProxyObject.h"

namespace tdx {

namespace {

constexpr vid_t VID_ASSOCIATED_OBJECT = 0x80DE;
constexpr int MUTE_TEXT_X = 99;
constexpr int ENTRY_ICON_X = 8;
constexpr int ENTRY_TEXT_X = 48;

AlarmMgr& alarms() {
    return *getApplication()->getAlarmManager();
}

std::string nameOf(const ProxyObject& object) {
    std::string name;
    object.getText(name, VID_NAME);
    return name;
}

// The object this one is associated with (a peripheral's room), null when it names none in the tree.
const ProxyObject* associateOf(const ProxyObject& object) {
    int associate = 0;
    if (pt_get_int(&associate, object.oid(), VID_ASSOCIATED_OBJECT) != PT_OK ||
        static_cast<uint32_t>(associate) == 0xFFFFFFFFu) {
        return nullptr;
    }
    return Structure.find(static_cast<unsigned>(associate));
}

// A row of the list: a plain container the width of the content whose children sit at its corner.
Container* newRow(StackedContainer* content) {
    auto* row = new Container(content, 0, 0, content->getWidth(), 0);
    row->setSizing(SIZING_KEEP, SIZING_FIT);
    return row;
}

} // namespace

FormAlarms::FormAlarms(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormAlarms");
    StackedContainer* content = getContent();
    new ContainedLabel(content, 0, 0, content->getWidth(), 12, &bif_myriad12, gettext("System | Alarms"),
                       HorizontalAlign::Center, VerticalAlign::Middle);
    // Here the alarm button shows the list again, as it stands now.
    mAlarmButton->setClickCommand(std::make_unique<RestartStateCommand>());

    if (alarms().getAlarmState() == AlarmState::None) {
        new ContainedLabel(content, 0, 0, content->getWidth(), 141, &bif_myriad12,
                           gettext("There are no active alarms"), HorizontalAlign::Center,
                           VerticalAlign::Middle);
    } else {
        addMuteRow(alarms().isSnoozed());
        for (const AlarmMgr::AlarmEntry& entry : alarms()) {
            addEntryRow(entry);
        }
    }
    content->fitToContent();
}

FormAlarms::~FormAlarms() = default;

void FormAlarms::addMuteRow(bool snoozed) {
    StackedContainer* content = getContent();
    Container* row = newRow(content);
    mMuteButton = Button::Builder{.parent = row,
                                  .x = row->getLeft(),
                                  .y = row->getTop(),
                                  .width = 90,
                                  .height = 26,
                                  .text = gettext("Mute alarm")}
                      .build();
    if (snoozed) {
        mMuteButton->setFaceColor(colour::DISABLED);
        mMuteButton->setEnabled(false);
    }
    new TextFrame(row, row->getLeft() + MUTE_TEXT_X, row->getTop(), content->getWidth() - MUTE_TEXT_X, 0,
                  &bif_myriad12, gettext("You can mute alarm until next error is reported."));
    row->fitToContent();
    new HLine(content, 0, 0, content->getWidth(), colour::CONTROL);
}

void FormAlarms::addEntryRow(const AlarmMgr::AlarmEntry& entry) {
    const ProxyObject* object = Structure.find(entry.oid);
    if (object == nullptr) {
        return;
    }
    const std::string name = nameOf(*object);
    const ProxyObject* associate = associateOf(*object);
    const std::string text = associate != nullptr ? fmt_gettext("%s associated to %s - %s", name,
                                                                nameOf(*associate), getAlarmText(entry))
                                                  : fmt("%s - %s", name, getAlarmText(entry));
    StackedContainer* content = getContent();
    Container* row = newRow(content);
    Icon::create(row, row->getLeft() + ENTRY_ICON_X, row->getTop(), res_warning_active, getAlarmColor(entry));
    new TextFrame(row, row->getLeft() + ENTRY_TEXT_X, row->getTop(), content->getWidth() - ENTRY_TEXT_X, 0,
                  &bif_myriad12, text);
    row->fitToContent();
    new HLine(content, 0, 0, content->getWidth(), colour::CONTROL);
}

std::string FormAlarms::getAlarmText(const AlarmMgr::AlarmEntry& entry) {
    const DataModel::Descriptor::VidAlarm* descriptor = entry.descriptor;
    if (descriptor == nullptr || descriptor->rowCount == 0) {
        return fmt("%04X", unsigned{entry.vid});
    }
    const DataModel::Descriptor::AlarmRow* row = &descriptor->rows[0];
    for (unsigned i = 0; i < descriptor->rowCount; ++i) {
        if (descriptor->rows[i].code == entry.value) {
            row = &descriptor->rows[i];
            break;
        }
    }
    return fmt_gettext(row->text, entry.value);
}

unsigned FormAlarms::getAlarmColor(const AlarmMgr::AlarmEntry& entry) {
    return entry.descriptor != nullptr && entry.descriptor->severity == 0 ? WARNING_COLOR : ALARM_COLOR;
}

void FormAlarms::handleMessage(Message* message) {
    if (mMuteButton != nullptr && message->isClick(mMuteButton)) {
        alarms().snooze();
        mMuteButton->setFaceColor(colour::DISABLED);
        mMuteButton->setEnabled(false);
    } else if (message->id == MSG_ALARM_ADDED || message->id == MSG_ALARM_REMOVED ||
               message->id == MSG_ALARM_CHANGED) {
        getApplication()->getCore()->restartState();
    }
    VexalStackedContentForm::handleMessage(message);
}

} // namespace tdx
