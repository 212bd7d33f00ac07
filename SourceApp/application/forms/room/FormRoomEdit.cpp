#include "SourceApp/application/forms/room/FormRoomEdit.h"

#include "SourceApp/application/forms/room/ScreenTitle.h"

#include "Libraries/base/fmt.h"
#include "SourceApp/application/App.h"
#include "SourceApp/application/ScheduleEditState.h"
#include "SourceApp/application/commands/ChangeStateCommand.h"
#include "SourceApp/application/commands/bindings/FormModel.h"
#include "SourceApp/application/commands/bindings/RoomController.h"
#include "SourceApp/application/commands/bindings/ValueAdapters.h"
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/application/controls/Timeline.h"
#include "SourceApp/application/controls/TopBar.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/DataModel.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/values/Catalogue.h"
#include "SourceApp/system/SystemMgr.h"

#include <iterator>
#include <memory>
#include <optional>

namespace tdx {

namespace {

namespace I = DataModel::Implementation;
using RC = RoomController;

constexpr state_id_t TEMPORARY_MODE_STATE = 15;
constexpr state_id_t SETTINGS_STATE = 14;
constexpr state_id_t SCHEDULE_STATE = 16;
constexpr state_id_t OUTPUTS_STATE = 59;
constexpr state_id_t PERIPHERALS_STATE = 60;

constexpr vid_t VID_FLOOR_SENSOR_MODE = 0x8014;
constexpr vid_t VID_SCHEDULE = 0x8043;
constexpr vid_t VID_FLOOR_TEMPERATURE = 0x000D;
constexpr vid_t VID_HUMIDITY = 0x0002;

constexpr int WIDTH = 277;
constexpr int ROW_HEIGHT = 26;
constexpr int MODE_HEIGHT = 16;
// Each of two mode lines: together as high as two lines of the smaller bold font.
constexpr int MODE_LINE_HEIGHT = 13;
constexpr int INDENT = 9;
constexpr unsigned NOTE_COLOUR = 0x808080;
constexpr unsigned EVERY_16TH_TICK = 0x0F;

constexpr const char* BLOCKING_MESSAGE[2][10] = {
    {N_("Heating is blocked"), N_("Heating is blocked by open magnetic contact"),
     N_("Heating is blocked by floor temperature"), N_("Heating is blocked due to low energy"),
     N_("Heating is blocked due to an alarm"), N_("Heating is blocked by dew point"),
     N_("Heating is blocked by high outside temperature"), N_("Heating is blocked by fault"),
     N_("Heating is blocked by high temperature cut-off failure"),
     N_("Heating is blocked due to an output periodic activation")},
    {N_("Cooling is blocked"), N_("Cooling is blocked by open magnetic contact"),
     N_("Cooling is blocked by floor temperature"), N_("Cooling is blocked due to low energy"),
     N_("Cooling is blocked due to an alarm"), N_("Cooling is blocked by dew point"),
     N_("Cooling is blocked by low outside temperature"), N_("Cooling is blocked by fault"),
     N_("Cooling is blocked by high temperature cut-off failure"),
     N_("Cooling is blocked due to an output periodic activation")},
};

// A u8 flag of the location or the room: anything unreadable counts as 0.
unsigned flag(oid_t oid, vid_t vid) {
    return static_cast<unsigned>(pt_read_int(oid, vid).value_or(0)) & 0xFF;
}

SystemMgr& systemManager() {
    return *getApplication()->getSystemManager();
}

// The local time offset; a location without one counts as UTC.
int localOffset() {
    const int32_t offset = systemManager().getLocalTimeOffset();
    return offset == SystemMgr::NO_OFFSET ? 0 : offset;
}

int scheduleIndex(uint8_t weekDay) {
    return weekDay == 0 ? 6 : weekDay - 1;
}

// A limit that follows a value of the room, and the fallback while the value cannot be read.
class RoomLimit : public Number<int> {
public:
    RoomLimit(oid_t room, vid_t vid, int fallback)
        : mRoom(room)
        , mVid(vid)
        , mFallback(fallback) {}
    int getValue() const override { return pt_read_int(mRoom, mVid).value_or(mFallback); }
    bool isValid() const override { return true; }

private:
    oid_t mRoom;
    vid_t mVid;
    int mFallback;
};

// Where the limits of the desired temperature come from: a value of the room, or the fixed lower bound.
struct Span {
    vid_t minimum; // 0: the fixed minimum
    vid_t maximum;
};
// By case (standby, vacation, otherwise) and season (winter, summer).
constexpr Span SPANS[3][2] = {
    {{0x8010, 0x8018}, {0, 0x802B}},
    {{0x8010, 0x8019}, {0, 0x802C}},
    {{0x8018, 0x8019}, {0x802B, 0x802C}},
};

} // namespace

// ---- Commands ----

void FormRoomEdit::DesiredTempChange::execute() {
    mForm.mWritten = mForm.mDesiredTemp->getValue();
    RoomController(mForm.mRoom).setDesiredTemperature(*mForm.mWritten);
}

void FormRoomEdit::ScheduleChangeCommand::execute() {
    if (mForm.mUpdating) {
        return;
    }
    RoomController room(mForm.mRoom);
    if (room.getTemporaryMode() == 1) {
        room.cancelModeOverride();
        // The box stays ticked: the room is still on its schedule, only the override went.
        mForm.mUpdating = true;
        mForm.mScheduleButton->setChecked(true);
        mForm.mUpdating = false;
    } else {
        room.setSchedulerEnabled(mForm.mScheduleButton->getChecked());
    }
}

void FormRoomEdit::ProfileSelectedCommand::execute() {
    if (mForm.mUpdating) {
        return;
    }
    if (const Checkbox* selected = mForm.mProfiles.getSelected()) {
        mForm.mWritten =
            RoomController(mForm.mRoom).setDesiredTemperatureByProfile(static_cast<RoomMode>(selected->tag));
    }
}

// ---- The screen ----

FormRoomEdit::FormRoomEdit(const State& state)
    : VexalStackedContentForm(state)
    , mObjectGuard(state.getP1())
    , mRoom(state.getP1())
    , mWeekDay(systemManager().getLocalTime().getWeekDay()) {
    setName("FormRoomEdit");
    setHelp(gettext("Room Edit"));
    mObject = Structure.find(mRoom);
    if (mObject == nullptr || !mObject->type().is(BT_OBJ_ROOM)) {
        backOrDefault();
        return;
    }
    std::string name;
    mObject->getText(name, VID_NAME);
    // A schedule shorter than the layout (or none) leaves the rest of the copy empty.
    mObject->getData(&mSchedule, sizeof mSchedule, VID_SCHEDULE);
    buildRows(name);
    updateRoomModeLabel();
    updateTimelineMarker(systemManager().getLocalTime());
    updateRoomSourceText();
    updateRoomMode();
    updateDesiredTemp();
    updateDesiredTempSpan();
    mUpdating = false;
    getContent()->fitToContent();
    Structure.addValueChangeHandler(this);
}

FormRoomEdit::~FormRoomEdit() {
    Structure.removeValueChangeHandler(this);
    // Steps still pending are written now, while the screen that notes the write is whole, not by the
    // up-down's own destructor once the screen's members are gone.
    if (mDesiredTemp != nullptr && mDesiredTemp->hasChangesToCommit()) {
        mDesiredTemp->commit();
    }
}

void FormRoomEdit::buildRows(const std::string& name) {
    StackedContainer* content = getContent();
    add_screen_title(content, fmt_gettext("Room | %s", name));
    // The mode's two lines close together, where the content's rows stand apart.
    auto* modeLines =
        StackedContainer::Builder{
            .parent = content, .width = WIDTH, .fitHeight = true, .direction = DIRECTION_VERTICAL}
            .build();
    mRoomModeLabel = new ContainedLabel(modeLines, 0, 0, WIDTH, MODE_HEIGHT, &bif_myriad12_bold, "",
                                        HorizontalAlign::Center);
    mRoomModeSecondLine = new ContainedLabel(modeLines, 0, 0, WIDTH, MODE_LINE_HEIGHT, &bif_myriad10_bold, "",
                                             HorizontalAlign::Center);
    mRoomModeSecondLine->setVisible(false);
    mTimeline = new Timeline(content, 0, 0, WIDTH, 30, mSchedule.days[scheduleIndex(mWeekDay)], true);
    mRoomSourceText =
        new TextFrame(content, 0, 0, WIDTH, 0, &bif_myriad12, "", VerticalAlign::Top, NOTE_COLOUR);

    auto* desired = new RowContainer(content, 0, 0, WIDTH, ROW_HEIGHT);
    mDesiredTempLabel =
        new ContainedLabel(desired, INDENT, 0, 145, ROW_HEIGHT, &bif_myriad12, gettext("Set temperature"));
    mDesiredTemp = new NumericUpDown<int>(desired, 0, 0, 122, ROW_HEIGHT, &bif_myriad12, DEFAULT_MINIMUM,
                                          DEFAULT_MAXIMUM, DEFAULT_MINIMUM);
    mDesiredTemp->setStep(50);
    mDesiredTemp->setFormatter(std::unique_ptr<DataModel::Formatter>(
        DataModel::createFormatter(I::Room::TempCtrlHeatTempSetManual)));
    mDesiredTemp->setDelayBeforeCommit(1000);
    mDesiredTemp->setOnChangeCommand(std::make_unique<DesiredTempChange>(*this));

    auto* modes = StackedContainer::Builder{.parent = content,
                                            .width = WIDTH,
                                            .height = ROW_HEIGHT,
                                            .direction = DIRECTION_HORIZONTAL,
                                            .spacing = 1}
                      .build();
    mScheduleButton = new CheckIconButton(modes, 0, 0, 60, ROW_HEIGHT, res_schedule, colour::TEXT, 0, 0);
    mScheduleButton->setOnCheckedCommand(std::make_unique<ScheduleChangeCommand>(*this));
    new Spacer(modes, 0, 0, 93, ROW_HEIGHT);
    const resource_id presets[] = {res_eco, res_comfort, res_extra_comfort};
    for (int i = 0; i < 3; ++i) {
        auto* preset = new CheckIconButton(modes, 0, 0, 40, ROW_HEIGHT, presets[i], colour::TEXT, 0, 0);
        preset->tag = static_cast<uint32_t>(i + 1);
        mProfiles.append(preset);
    }
    mProfiles.setItemSelectedCommand(std::make_unique<ProfileSelectedCommand>(*this));

    auto* status = new RowContainer(content, 0, 0, WIDTH, ROW_HEIGHT);
    new ContainedLabel(status, INDENT, 0, 186, ROW_HEIGHT, &bif_myriad12, gettext("Status"));
    mStatusIcon = new MultiIcon(status, 0, 0, colour::TEXT, 81, ROW_HEIGHT, HorizontalAlign::Center,
                                VerticalAlign::Middle);
    for (resource_id icon :
         {res_tick, res_heating_widget, res_heating_blocked, res_cooling, res_cooling_blocked}) {
        mStatusIcon->addIcon(icon, 0, 0);
    }
    mStatusText = new TextFrame(content, 0, 0, WIDTH, 0, &bif_myriad12, "", VerticalAlign::Top, NOTE_COLOUR);
    updateStatus();

    RoomController room(mRoom);
    addMeasurementRow(N_("Air temperature"), I::General::AirTemperature.vid);
    if (room.hasPeripheralWithValue(VID_FLOOR_TEMPERATURE)) {
        addMeasurementRow(N_("Floor temperature"), VID_FLOOR_TEMPERATURE);
    }
    if (room.hasPeripheralWithValue(VID_HUMIDITY)) {
        addMeasurementRow(N_("Humidity"), VID_HUMIDITY);
    }
    mDewPointRow = addMeasurementRow(N_("Dew point"), I::Room::DewPoint.vid);

    NavigationLink::Builder link{.parent = content, .width = WIDTH, .height = ROW_HEIGHT};
    auto addLink = [&](const char* text, std::unique_ptr<ICommand> command) {
        link.text = gettext(text);
        link.build()->setClickCommand(std::move(command));
    };
    addLink(N_("Set temporary mode"), std::make_unique<ChangeStateCommand>(TEMPORARY_MODE_STATE, mRoom));
    addLink(N_("Settings"), std::make_unique<ChangeStateCommand>(SETTINGS_STATE, mRoom));
    addLink(N_("Room schedule"),
            std::make_unique<ChangeStateCommand>(ScheduleEditState(
                SCHEDULE_STATE, Ovi(mRoom, VID_SCHEDULE), fmt_gettext("Rooms | %s | Schedule", name), 0)));
    addLink(N_("Associated outputs"), std::make_unique<ChangeStateCommand>(OUTPUTS_STATE, mRoom));
    addLink(N_("Associated peripherals"), std::make_unique<ChangeStateCommand>(PERIPHERALS_STATE, mRoom));
}

Container* FormRoomEdit::addMeasurementRow(const char* caption, vid_t vid) {
    auto* row = new RowContainer(getContent(), 0, 0, WIDTH, ROW_HEIGHT);
    new ContainedLabel(row, INDENT, 0, 186, ROW_HEIGHT, &bif_myriad12, gettext(caption));
    auto* value =
        new ContainedLabel(row, 0, 0, 81, ROW_HEIGHT, &bif_myriad12, NO_VALUE_TEXT, HorizontalAlign::Center);
    const DataModel::ObjectTemplate* roomTemplate = mObject->getTemplate();
    const DataModel::SignedValue* measured =
        roomTemplate != nullptr ? roomTemplate->find<DataModel::SignedValue>(vid) : nullptr;
    if (measured != nullptr) {
        const SignedOvi ovi = measured->ovi(mRoom);
        getModel().bind(new NumberValueToStringComponentAdapter(value, ovi), ovi);
    }
    return row;
}

void FormRoomEdit::relayout() {
    getContent()->moveChildrenToPlace();
    getContent()->fitToContent();
}

void FormRoomEdit::handleMessage(Message* message) {
    const Message m = *message;
    VexalStackedContentForm::handleMessage(message);
    if (mDesiredTemp == nullptr) {
        return; // nothing was built
    }
    if (m.id == MSG_TIMER && (static_cast<unsigned>(m.p1) & EVERY_16TH_TICK) == 0) {
        const Date now = systemManager().getLocalTime();
        if (now.getWeekDay() != mWeekDay) {
            mWeekDay = now.getWeekDay();
            updateDaySchedule();
        }
        updateTimelineMarker(now);
    } else if (m.is(MSG_COMMIT_PENDING, mDesiredTemp)) {
        mDesiredTempLabel->setFaceColor(colour::DISABLED);
    } else if (m.is(MSG_COMMIT, mDesiredTemp)) {
        mDesiredTempLabel->setFaceColor(colour::TEXT);
    }
}

void FormRoomEdit::handleProxyValueChange(ProxyObject& object, const OviEx& change) {
    if (object.oid() == OID_LOCATION) {
        switch (change.vid) {
            case RC::VID_SEASON:
                updateRoomSourceText();
                updateDesiredTempSpan();
                break;
            case RC::VID_VACATION:
            case RC::VID_VACATION_END:
            case RC::VID_STANDBY:
                updateRoomModeLabel();
                updateDesiredTempSpan();
                break;
            default:
                break;
        }
        return;
    }
    if (object.oid() != mRoom) {
        return;
    }
    switch (change.vid) {
        case RC::VID_MODE:
            updateRoomMode();
            updateRoomModeLabel();
            break;
        case RC::VID_STATE:
        case RC::VID_BLOCKING:
            updateStatus();
            break;
        case RC::VID_DESIRED:
            mWritten.reset();
            updateRoomModeLabel();
            updateDesiredTemp();
            break;
        case RC::HEATING.manual:
        case RC::HEATING.temporary:
        case RC::HEATING.adjusted:
        case RC::COOLING.manual:
        case RC::COOLING.temporary:
        case RC::COOLING.adjusted:
            desiredTargetChanged(change.vid);
            break;
        case VID_FLOOR_SENSOR_MODE:
            updateRoomSourceText();
            break;
        case RC::VID_OVERRIDE:
        case RC::VID_ALLOW_VACATION:
            updateRoomModeLabel();
            break;
        default:
            break;
    }
}

// ---- Updates ----

void FormRoomEdit::updateStatus() {
    const int status = RoomController(mRoom).getStatus();
    mStatusIcon->setIconIndex(static_cast<signed char>(status >= 1 && status <= 4 ? status : 0));
    if (status == 2 || status == 4) {
        const auto& messages = BLOCKING_MESSAGE[status == 2 ? 0 : 1];
        const std::optional<int> code = pt_read_int(mRoom, RC::VID_BLOCKING);
        std::string text = gettext(messages[0]);
        if (code && *code >= 1 && *code < static_cast<int>(std::size(messages))) {
            text = gettext(messages[*code]);
        } else if (code) {
            text = fmt_gettext("%s. Blocking code %u.", text, static_cast<unsigned>(*code));
        }
        mStatusText->setText(text);
        mStatusText->setVisible(true);
    } else {
        mStatusText->setVisible(false);
    }
    relayout();
}

std::string FormRoomEdit::withEnd(const char* until, const char* without, uint32_t end) {
    if (end == 0) {
        return gettext(without);
    }
    const Date date(static_cast<time_t>(end), localOffset());
    return fmt_gettext(until, i18n.format(date, getShortestDateFormat(date)));
}

void FormRoomEdit::updateRoomModeLabel() {
    RoomController room(mRoom);
    // An end time without a valid value shows as no end.
    const auto end = static_cast<uint32_t>(pt_read_int(mRoom, RC::VID_OVERRIDE_END).value_or(0));
    const unsigned mode = flag(mRoom, RC::VID_MODE);
    const unsigned override = flag(mRoom, RC::VID_OVERRIDE);
    uint32_t vacationEnd = 0;
    std::string text;
    if (flag(OID_LOCATION, RC::VID_STANDBY) == 1) {
        text = gettext("Standby mode");
    } else if (room.isInVacation(&vacationEnd)) {
        text = withEnd(N_("Vacation mode until %s"), N_("Vacation mode without expiration"), vacationEnd);
    } else if (override == RC::OVERRIDE_TEMPORARY) {
        switch (room.getDesiredTemperatureMode()) {
            case 0:
                text = withEnd(N_("Temporary mode until %s"), N_("Temporary mode without expiration"), end);
                break;
            case 1:
                text = withEnd(N_("Temporary eco mode until %s"), N_("Temporary eco mode without expiration"),
                               end);
                break;
            case 2:
                text = withEnd(N_("Temporary comfort mode until %s"),
                               N_("Temporary comfort mode without expiration"), end);
                break;
            case 3:
                text = withEnd(N_("Temporary extra comfort mode until %s"),
                               N_("Temporary extra comfort mode without expiration"), end);
                break;
            default:
                text = gettext("Temporary mode");
                break;
        }
    } else if (mode == 0 && override == RC::OVERRIDE_SCHEDULE) {
        text = withEnd(N_("Schedule overridden until %s"), N_("Schedule overridden without expiration"), end);
    } else if (mode == 0) {
        text = gettext("Week schedule");
    } else {
        switch (room.getDesiredTemperatureMode()) {
            case 0:
                text = gettext("Manual mode");
                break;
            case 1:
                text = gettext("Eco mode");
                break;
            case 2:
                text = gettext("Comfort");
                break;
            case 3:
                text = gettext("Extra comfort mode");
                break;
            default:
                text = gettext("Information unavailable");
                break;
        }
    }
    showRoomMode(text);
}

void FormRoomEdit::showRoomMode(const std::string& text) {
    Font* font = fitting_font(text, WIDTH, bif_myriad12_bold, bif_myriad10_bold);
    std::string first = text;
    std::string second;
    if (bif_text_width(font->getFont(), text) > WIDTH - 2) {
        size_t end = 0;
        const size_t next = bif_wrap_line(font->getFont(), text, 0, WIDTH - 2, &end);
        if (next != std::string::npos) {
            first = text.substr(0, end);
            second = text.substr(next);
        }
    }
    const bool twoLines = !second.empty();
    mRoomModeLabel->setFont(font);
    mRoomModeLabel->setText(first);
    mRoomModeSecondLine->setText(second);
    const int height = twoLines ? MODE_LINE_HEIGHT : MODE_HEIGHT;
    if (mRoomModeSecondLine->isVisible() == twoLines && mRoomModeLabel->getHeight() == height) {
        return;
    }
    mRoomModeLabel->setDimensions(WIDTH, height);
    mRoomModeSecondLine->setVisible(twoLines);
    Container* modeLines = mRoomModeLabel->getParent();
    modeLines->moveChildrenToPlace();
    modeLines->fitToContent();
    relayout();
}

DateFormatOptions::Enum FormRoomEdit::getShortestDateFormat(const Date& date) {
    const Date now = systemManager().getLocalTime();
    Date tomorrow(now.getDay(), now.getMonth(), static_cast<unsigned short>(now.getYear()));
    tomorrow.addDays(1);
    return date.getLocalTimestamp() <= tomorrow.getLocalTimestamp() ? DateFormatOptions::Time
                                                                    : DateFormatOptions::DayMonthTime;
}

void FormRoomEdit::updateRoomSourceText() {
    const bool summer = flag(OID_LOCATION, RC::VID_SEASON) == 1;
    const std::optional<int> source = pt_read_int(mRoom, VID_FLOOR_SENSOR_MODE);
    const char* text = "";
    if (!source || summer) {
        text = N_("Air temperature is controlled in this room.");
    } else if (*source == 0) {
        text = N_("Floor temperature is controlled in this room.");
    } else if (*source == 1) {
        text = N_("Air temperature is controlled in this room.");
    } else if (*source == 3) {
        text =
            N_("Air temperature is controlled in this room. In addition, the floor temperature cannot drop "
               "below the configured limits.");
    }
    mRoomSourceText->setText(*text != '\0' ? gettext(text) : "");
    mDewPointRow->setVisible(summer);
    relayout();
}

void FormRoomEdit::updateRoomMode() {
    const std::optional<int> mode = pt_read_int(mRoom, RC::VID_MODE);
    const bool scheduled = !mode || (*mode & 0xFF) == 0;
    const bool updating = mUpdating;
    mUpdating = true;
    mScheduleButton->setChecked(scheduled);
    mUpdating = updating;
    if (mTimeline->isVisible() != scheduled) {
        mTimeline->setVisible(scheduled);
        relayout();
    }
}

void FormRoomEdit::desiredTargetChanged(vid_t vid) {
    // The screen's own write is shown already; the mode line names its preset while the write waits for the
    // unit, whose desired temperature follows once it holds it.
    if (!mWritten || pt_read_int(mRoom, vid) != mWritten) {
        mWritten.reset();
        updateDesiredTemp();
    }
    updateRoomModeLabel();
}

void FormRoomEdit::updateDesiredTemp() {
    // A desired temperature that cannot be read is shown as unknown, not as the span's top, and the arrows
    // step nothing until the control unit tells it.
    if (const std::optional<int> desired = RoomController(mRoom).getDesiredTemperature()) {
        mDesiredTemp->setValue(*desired);
    } else {
        mDesiredTemp->setUnknown();
    }
    const int mode = RoomController(mRoom).getDesiredTemperatureMode();
    const bool updating = mUpdating;
    mUpdating = true;
    if (mode >= 1 && mode <= 3) {
        mProfiles.setSelected(static_cast<uint8_t>(mode - 1));
    } else {
        mProfiles.deselectAll();
    }
    mUpdating = updating;
}

void FormRoomEdit::updateDesiredTempSpan() {
    const bool standby = flag(OID_LOCATION, RC::VID_STANDBY) == 1;
    const bool vacation = RoomController(mRoom).isInVacation();
    const unsigned season = flag(OID_LOCATION, RC::VID_SEASON);
    if (season <= 1) {
        const Span& span = SPANS[standby ? 0 : vacation ? 1 : 2][season];
        if (span.minimum != 0) {
            mDesiredTemp->setMinimum(std::make_unique<RoomLimit>(mRoom, span.minimum, DEFAULT_MINIMUM));
        } else {
            mDesiredTemp->setMinimum(DEFAULT_MINIMUM);
        }
        mDesiredTemp->setMaximum(std::make_unique<RoomLimit>(mRoom, span.maximum, DEFAULT_MAXIMUM));
    }
    const bool enabled = !standby && !vacation;
    mDesiredTemp->setEnabled(enabled);
    mScheduleButton->setEnabled(enabled);
    mProfiles.setEnabled(enabled);
}

void FormRoomEdit::updateDaySchedule() {
    mTimeline->setSchedule(mSchedule.days[scheduleIndex(mWeekDay)]);
}

void FormRoomEdit::updateTimelineMarker(const Date& date) {
    mTimeline->setMarker(static_cast<unsigned>(date.getHours()) * 3600 + date.getMinutes() * 60u);
}

} // namespace tdx
