#include "SourceApp/application/forms/room/FormRoomTemporaryMode.h"

#include "SourceApp/application/forms/room/ScreenTitle.h"

#include "Libraries/base/fmt.h"
#include "Libraries/base/os.h"
#include "SourceApp/application/App.h"
#include "SourceApp/application/commands/bindings/RoomController.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/application/utils/Date.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "SourceApp/storage/DataModel.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/values/Catalogue.h"
#include "SourceApp/system/SystemMgr.h"

#include <climits>
#include <memory>
#include <optional>

namespace tdx {

namespace {

namespace I = DataModel::Implementation;
namespace Formatters = DataModel::Factories::Formatters;
using RC = RoomController;

constexpr int WIDTH = 277;
constexpr int ROW_HEIGHT = 26;
constexpr int INDENT = 9;
constexpr uint16_t ITEM_OFF = 0;
constexpr uint16_t ITEM_ON = 1;

NumericUpDown<int>* addUpDownRow(Container* parent, const char* caption, Font* font, int minimum, int maximum,
                                 int step, const DataModel::Factories::AbstractFormatterFactory& formatter) {
    auto* row = new RowContainer(parent, 0, 0, WIDTH, ROW_HEIGHT);
    new ContainedLabel(row, INDENT, 0, 145, ROW_HEIGHT, &bif_myriad12, gettext(caption));
    auto* upDown = new NumericUpDown<int>(row, 0, 0, 122, ROW_HEIGHT, font, minimum, maximum, 0);
    upDown->setStep(step);
    upDown->setFormatter(std::unique_ptr<DataModel::Formatter>(formatter.create()));
    return upDown;
}

const DataModel::Descriptor::VidSignedNumber& setpointDescriptor(vid_t vid) {
    return vid == I::Room::TempCtrlCoolTempSetTemporary.vid ? I::Room::TempCtrlCoolTempSetTemporary
                                                            : I::Room::TempCtrlHeatTempSetTemporary;
}

} // namespace

FormRoomTemporaryMode::FormRoomTemporaryMode(const State& state)
    : VexalStackedContentForm(state)
    , mObjectGuard(state.getP1())
    , mRoom(state.getP1()) {
    setName("FormRoomTemporaryMode");
    const ProxyObject* object = room();
    if (object == nullptr || !object->type().is(BT_OBJ_ROOM)) {
        backOrDefault();
        return;
    }
    std::string name;
    object->getText(name, VID_NAME);
    StackedContainer* content = getContent();
    add_screen_title(content, fmt_gettext("%s | Temporary mode", name));
    mStatus = new TextFrame(content, 0, 0, WIDTH, 0, &bif_myriad12, "");
    mModeRow = new EditableDropdownRow(content, 0, 0, WIDTH, gettext("Temporary mode"), 81);
    mModeRow->addItem(new DropdownItemImpl(gettext("Off"), 0), false);
    mModeRow->addItem(new DropdownItemImpl(gettext("On"), 0), false);

    mRows = StackedContainer::Builder{.parent = content,
                                      .width = WIDTH,
                                      .fitHeight = true,
                                      .direction = DIRECTION_VERTICAL,
                                      .spacing = 9}
                .build();
    mTemperature =
        addUpDownRow(mRows, N_("Temperature"), &bif_myriad12, INT_MIN, INT_MAX, 50, Formatters::Temperature);
    mDuration = addUpDownRow(mRows, N_("Set duration"), &bif_myriad10, 0, MAX_DURATION, DURATION_STEP,
                             Formatters::Time);
    mRows->fitToContent();

    updateTemperature();
    updateTempSpan();
    update();
    mModeRow->setOnItemClickCommand(std::make_unique<ChangeTemporaryModeHandler>(this));
    mTemperature->setDelayBeforeCommit(1000);
    mDuration->setDelayBeforeCommit(1000);
    content->fitToContent();
    Structure.addValueChangeHandler(this);
}

FormRoomTemporaryMode::~FormRoomTemporaryMode() {
    Structure.removeValueChangeHandler(this);
}

ProxyObject* FormRoomTemporaryMode::room() const {
    return Structure.find(mRoom);
}

vid_t FormRoomTemporaryMode::setpoint() {
    const int season = pt_read_int(OID_LOCATION, RC::VID_SEASON).value_or(0) & 0xFF;
    return season != 0 ? I::Room::TempCtrlCoolTempSetTemporary.vid
                       : I::Room::TempCtrlHeatTempSetTemporary.vid;
}

void FormRoomTemporaryMode::setTemporaryMode(bool enable, unsigned endTime) {
    if (room() == nullptr) {
        return;
    }
    const unsigned mode = static_cast<unsigned>(pt_read_int(mRoom, RC::VID_OVERRIDE).value_or(0)) & 0xFF;
    const auto end = static_cast<unsigned>(pt_read_int(mRoom, RC::VID_OVERRIDE_END).value_or(0));
    if (enable) {
        if (mode == RC::OVERRIDE_TEMPORARY && end == endTime) {
            return;
        }
        pt_set_int(mRoom, RC::VID_OVERRIDE, RC::OVERRIDE_TEMPORARY, BT_VTYPE_U8);
        pt_set_int(mRoom, RC::VID_OVERRIDE_END, static_cast<int>(endTime), BT_VTYPE_U32);
    } else if (mode != RC::OVERRIDE_NONE) {
        pt_set_int(mRoom, RC::VID_OVERRIDE, RC::OVERRIDE_NONE, BT_VTYPE_U8);
        pt_set_int(mRoom, RC::VID_OVERRIDE_END, 0, BT_VTYPE_U32);
    }
}

void FormRoomTemporaryMode::update() {
    if (room() == nullptr) {
        return;
    }
    const unsigned mode = static_cast<unsigned>(pt_read_int(mRoom, RC::VID_OVERRIDE).value_or(0)) & 0xFF;
    const auto end = static_cast<uint32_t>(pt_read_int(mRoom, RC::VID_OVERRIDE_END).value_or(0));
    std::string status;
    bool rows = false;
    if (mode != RC::OVERRIDE_TEMPORARY) {
        status = gettext("Temporary mode is turned off.");
    } else if (end == 0) {
        status = gettext("Temporary mode is turned on without expiration.");
    } else {
        const int32_t offset = getApplication()->getSystemManager()->getLocalTimeOffset();
        const Date local(static_cast<time_t>(end), offset == SystemMgr::NO_OFFSET ? 0 : offset);
        status =
            fmt_gettext("Temporary mode is turned on until %s.", i18n.format(local, DateFormatOptions::Time));
        rows = true;
    }
    // The control unit's change is shown, not written back.
    mUpdating = true;
    mModeRow->setSelectedItem(mode == RC::OVERRIDE_TEMPORARY ? ITEM_ON : ITEM_OFF);
    mUpdating = false;
    mRows->setVisible(rows);
    mStatus->setText(status);
    getContent()->moveChildrenToPlace();
    getContent()->fitToContent();
}

void FormRoomTemporaryMode::updateTemperature() {
    if (room() == nullptr) {
        return;
    }
    // A setpoint that cannot be read is shown as unknown, not as the span's bottom; nothing is written until
    // it is known.
    if (const std::optional<int> temperature = pt_read_int(mRoom, setpoint())) {
        mTemperature->setValue(*temperature);
    } else {
        mTemperature->setUnknown();
    }
}

void FormRoomTemporaryMode::updateTempSpan() {
    const DataModel::Descriptor::VidSignedNumber& d = setpointDescriptor(setpoint());
    // The descriptor's own limits stand for a span value the room cannot give: its no-value marker would
    // leave the control stuck far above every setpoint.
    mTemperature->setMinimum(d.minimum);
    mTemperature->setMaximum(d.maximum);
    for (const bool minimum : {true, false}) {
        const DataModel::Factories::AbstractNumberFactory* factory =
            minimum ? d.minimumFactory : d.maximumFactory;
        std::unique_ptr<Number<int>> limit(factory != nullptr ? factory->create(mRoom, d) : nullptr);
        if (limit == nullptr || !limit->isValid()) {
            continue;
        }
        if (minimum) {
            mTemperature->setMinimum(std::move(limit));
        } else {
            mTemperature->setMaximum(std::move(limit));
        }
    }
}

void FormRoomTemporaryMode::handleMessage(Message* message) {
    const Message m = *message;
    VexalStackedContentForm::handleMessage(message);
    if (mTemperature == nullptr) {
        return; // nothing was built
    }
    if (m.is(MSG_COMMIT, mTemperature)) {
        const ProxyObject* object = room();
        if (object != nullptr && object->type().is(BT_OBJ_ROOM)) {
            const vid_t vid = setpoint();
            const int current = pt_read_int(mRoom, vid).value_or(0);
            if (mTemperature->isKnown() && mTemperature->getValue() != current) {
                pt_set_int(mRoom, vid, mTemperature->getValue(), BT_VTYPE_S16_X100);
            }
        }
    } else if (m.is(MSG_COMMIT, mDuration)) {
        const int duration = mDuration->getValue();
        setTemporaryMode(duration > 0, static_cast<unsigned>(os_time() + duration));
    }
}

void FormRoomTemporaryMode::handleProxyValueChange(ProxyObject& object, const OviEx& change) {
    if (object.oid() == OID_LOCATION) {
        if (change.vid == RC::VID_SEASON) {
            updateTempSpan();
            updateTemperature();
        }
    } else if (object.oid() == mRoom) {
        if (change.vid == I::Room::TempCtrlHeatTempSetTemporary.vid ||
            change.vid == I::Room::TempCtrlCoolTempSetTemporary.vid) {
            updateTemperature();
        } else if (change.vid == RC::VID_OVERRIDE || change.vid == RC::VID_OVERRIDE_END) {
            update();
        }
    }
}

void FormRoomTemporaryMode::ChangeTemporaryModeHandler::execute(DropdownItem* item) {
    if (item == nullptr) {
        return;
    }
    if (item->getIndex() == ITEM_OFF) {
        if (!mForm->mUpdating) {
            mForm->setTemporaryMode(false, 0);
        }
        mForm->mRows->setVisible(false);
    } else {
        mForm->mDuration->setValue(0);
        mForm->mRows->setVisible(true);
    }
    mForm->getContent()->moveChildrenToPlace();
    mForm->getContent()->fitToContent();
}

} // namespace tdx
