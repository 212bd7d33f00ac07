#include "SourceApp/application/forms/programs/FormVacationMode.h"

#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/App.h"
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/DropdownMenu.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/core/layout/GridContainer.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/values/Catalogue.h"
#include "SourceApp/system/SystemMgr.h"

#include <algorithm>
#include <vector>

namespace tdx {

namespace {

constexpr int ROW_WIDTH = 277;
constexpr int MENU_WIDTH = 81;
constexpr int EXCLUSION_ROW_PITCH = 35;
constexpr int EXCLUSION_FIRST_COLUMN = 150;
constexpr int EXCLUSION_SECOND_COLUMN = 127;
constexpr int EXCLUSION_WIDTH = 127;
constexpr int EXCLUSION_HEIGHT = 26;

bool isExcluded(oid_t oid, vid_t flag) {
    const std::optional<int> allow = pt_read_int(oid, flag);
    return !allow || *allow == 0;
}

} // namespace

// ---- commands ----

void FormVacationMode::ChangeVacationModeHandler::execute(DropdownItem* item) {
    switch (item->getIndex()) {
        case OFF:
            setVacationMode(false, 0);
            mForm.showDateRow(false);
            break;
        case WITHOUT_EXPIRATION:
            setVacationMode(true, 0);
            mForm.showDateRow(false);
            break;
        case UNTIL_DATE:
            // Nothing is written before a date is accepted. An end that has passed (or none, which the row
            // follows as the epoch) is no date to start from.
            if (mForm.mEnd->getDate().getTimestamp() < mForm.mFirstEnd.getTimestamp()) {
                mForm.mEnd->setDate(mForm.mFirstEnd);
            }
            mForm.showDateRow(true);
            mForm.mEnd->setIsBeingEdited(true);
            break;
        default:
            break;
    }
}

void FormVacationMode::SetVacationModeHandler::execute() {
    const ProxyObject* location = Structure.find(OID_LOCATION);
    if (location == nullptr || !location->hasValue(VID_VACATION)) {
        return;
    }
    setVacationMode(true, static_cast<unsigned>(localMidnight(getRow()->getDate())));
}

void FormVacationMode::SetAllowVacationHandler::execute() {
    const ProxyObject* object = Structure.find(mBox.tag);
    if (object == nullptr) {
        return;
    }
    const int allow = mBox.getChecked() ? 0 : 1;
    if (object->type().is(BT_OBJ_ROOM) && object->hasValue(VID_ROOM_ALLOW)) {
        pt_set_int(object->oid(), VID_ROOM_ALLOW, allow, BT_VTYPE_U8);
    } else if (object->type().is(BT_OBJ_DHW_TANK) && object->hasValue(VID_TANK_ALLOW)) {
        pt_set_int(object->oid(), VID_TANK_ALLOW, allow, BT_VTYPE_U8);
    }
}

// ---- the screen ----

int FormVacationMode::localOffset() {
    const int offset = getApplication()->getSystemManager()->getLocalTimeOffset();
    return offset == SystemMgr::NO_OFFSET ? 0 : offset;
}

time_t FormVacationMode::localMidnight(const Date& date) {
    const int offset = localOffset();
    const Date midnight(date.getDay(), date.getMonth(), static_cast<unsigned short>(date.getYear()));
    return midnight.getLocalTimestamp() - offset;
}

FormVacationMode::FormVacationMode(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormVacationMode");
    StackedContainer* content = getContent();
    new ContainedLabel(content, 0, 0, content->getWidth(), 12, &bif_myriad12,
                       gettext("Programs | Vacation mode"), HorizontalAlign::Center);
    mStatus = new TextFrame(content, 0, 0, ROW_WIDTH, 0, &bif_myriad12, "");
    static const char* const MODES[] = {N_("Off"), N_("Without expiration"), N_("Until date")};
    std::vector<DropdownItem*> modes;
    for (const char* text : MODES) {
        modes.push_back(new DropdownItemImpl(gettext(text), 0));
    }
    // Wider where a choice of the language shown would not read whole in the usual list, as every list is.
    mMode = new EditableDropdownRow(content, 0, 0, ROW_WIDTH, gettext("Vacation mode"),
                                    DropdownMenu::widthToHold(modes, MENU_WIDTH));
    for (DropdownItem* mode : modes) {
        mMode->addItem(mode, false);
    }

    Date tomorrow = getApplication()->getSystemManager()->getLocalTime();
    tomorrow.addDays(1);
    const int offset = localOffset();
    mFirstEnd = Date(localMidnight(tomorrow), offset);
    mEnd = new EditableDatePickerRow(content, 0, 0, ROW_WIDTH, gettext("End of vacation mode"), mFirstEnd);
    mEnd->setMinimum(tomorrow);
    mEnd->setVisible(false);
    addExclusions(content);

    update();
    mMode->setOnItemClickCommand(std::make_unique<ChangeVacationModeHandler>(*this));
    const auto& endTime = DataModel::Implementation::Location::VacationEndTime;
    mEnd->setOnAcceptCommand(std::make_unique<SetVacationModeHandler>(
        mEnd, UnsignedOvi(OID_LOCATION, endTime.vid, endTime.vtype, &endTime), *this));
    content->fitToContent();
    Structure.addValueChangeHandler(this);
}

FormVacationMode::~FormVacationMode() {
    Structure.removeValueChangeHandler(this);
}

void FormVacationMode::addExclusions(StackedContainer* content) {
    auto* section = new DropdownButton(content, 0, 0, ROW_WIDTH, 26, gettext("Exclusions"));
    // Two names a row; a name too long for its button takes two lines of the smaller font there.
    auto* grid = new GridContainer(content, 0, 0, EXCLUSION_ROW_PITCH);
    grid->addColumn(EXCLUSION_FIRST_COLUMN);
    grid->addColumn(EXCLUSION_SECOND_COLUMN);
    grid->setVisible(false);
    bool any = false;
    for (const ProxyObject* object : Structure) {
        const bool room = object->type().is(BT_OBJ_ROOM);
        if (!room && !object->type().is(BT_OBJ_DHW_TANK)) {
            continue;
        }
        std::string name;
        if (object->getText(name, VID_NAME) != 0) {
            const unsigned index = oid_index(object->oid());
            name = room ? fmt_gettext("Room %u", index) : fmt_gettext("DHW %u", index);
        }
        auto* box = new CheckButton(grid, 0, 0, EXCLUSION_WIDTH, EXCLUSION_HEIGHT, name);
        box->tag = object->oid();
        box->setChecked(isExcluded(object->oid(), room ? VID_ROOM_ALLOW : VID_TANK_ALLOW));
        // Only now: the state it was built with writes nothing.
        box->setOnCheckedCommand(std::make_unique<SetAllowVacationHandler>(*box));
        any = true;
    }
    if (any) {
        // One grid, one font: a name that needs the smaller font gives it to every name beside it.
        const auto& boxes = grid->getChildren();
        if (std::any_of(boxes.begin(), boxes.end(), [](const Component* c) {
                return static_cast<const CheckButton*>(c)->needsSmallerFont();
            })) {
            for (Component* c : boxes) {
                static_cast<CheckButton*>(c)->useSmallerFont();
            }
        }
        grid->fitToContent();
        section->setCollapsibleContent(grid);
        return;
    }
    StackedContainer* empty = StackedContainer::Builder{.parent = content,
                                                        .x = 9,
                                                        .height = 26,
                                                        .fitWidth = true,
                                                        .direction = DIRECTION_HORIZONTAL,
                                                        .spacing = 10}
                                  .build();
    Icon::create(empty, 0, 0, res_warning_active, colour::DISABLED);
    new Label(empty, 0, 3, &bif_myriad12, gettext("There are no items at this moment"));
    empty->fitToContent();
    empty->setVisible(false);
    section->setCollapsibleContent(empty);
}

void FormVacationMode::setVacationMode(bool on, unsigned endTime) {
    if (Structure.find(OID_LOCATION) == nullptr) {
        return;
    }
    const int mode = pt_read_int(OID_LOCATION, VID_VACATION).value_or(0);
    const unsigned end = static_cast<unsigned>(pt_read_int(OID_LOCATION, VID_END_TIME).value_or(0));
    if (on) {
        if (mode == 1 && end == endTime) {
            return;
        }
        pt_set_int(OID_LOCATION, VID_VACATION, 1, BT_VTYPE_U8);
        pt_set_int(OID_LOCATION, VID_END_TIME, static_cast<int>(endTime), BT_VTYPE_U32);
    } else if (mode != 0) {
        pt_set_int(OID_LOCATION, VID_VACATION, 0, BT_VTYPE_U8);
        pt_set_int(OID_LOCATION, VID_END_TIME, 0, BT_VTYPE_U32);
    }
}

void FormVacationMode::showDateRow(bool visible) {
    if (!visible) {
        mEnd->closeEditor();
    }
    mEnd->setVisible(visible);
    getContent()->moveChildrenToPlace();
    getContent()->fitToContent();
}

void FormVacationMode::update() {
    const int mode = pt_read_int(OID_LOCATION, VID_VACATION).value_or(0);
    const std::optional<int> end = pt_read_int(OID_LOCATION, VID_END_TIME);
    std::string status;
    Item item = OFF;
    if (mode == 1 && end && *end != 0) {
        // Shown in local time: the moment is a UTC instant.
        const Date date(static_cast<time_t>(static_cast<unsigned>(*end)), localOffset());
        status = fmt_gettext("Vacation mode is turned on until %s.",
                             i18n.format(date, DateFormatOptions::LongDate));
        item = UNTIL_DATE;
        mEnd->setDate(date);
    } else if (mode == 1) {
        status = gettext("Vacation mode is turned on without expiration.");
        item = WITHOUT_EXPIRATION;
    } else {
        status = gettext("Vacation mode is turned off.");
    }
    // Shown only: the values came from the control unit, or from this screen's own write.
    mMode->showItem(item);
    mStatus->setText(status);
    showDateRow(item == UNTIL_DATE);
}

void FormVacationMode::handleProxyValueChange(ProxyObject& object, const OviEx& change) {
    if (object.oid() == OID_LOCATION && change.vid >= VID_VACATION && change.vid <= VID_END_TIME) {
        update();
    }
}

} // namespace tdx
