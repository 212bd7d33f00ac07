#include "SourceApp/application/forms/schedule/FormScheduleDayOverview.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/commands/ChangeStateCommand.h"
#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/Popup.h"
#include "SourceApp/application/controls/Timeline.h"
#include "SourceApp/application/controls/TopBar.h"
#include "SourceApp/application/forms/schedule/FormSchedule.h"
#include "SourceApp/application/forms/schedule/ScheduleValue.h"
#include "SourceApp/gui/i18n/I18n.h"

#include <algorithm>

namespace tdx {

namespace {

constexpr state_id_t EDIT_STATE_ID = 17;
constexpr state_id_t COPY_DAY_STATE_ID = 19;
constexpr int ROW_WIDTH = 277;
constexpr int ROW_HEIGHT = 26;
constexpr int BUTTON_WIDTH = 40;

constexpr resource_id ICONS[] = {res_eco, res_comfort, res_extra_comfort, res_eco};

int quarterFloor(int seconds) {
    return seconds / SCHEDULE_STEP * SCHEDULE_STEP;
}

// The end of the run of equal type that starts at start.
int runEnd(const day_schedule_t& day, int start) {
    const int end = schedule_find_first_period_not_of(&day, schedule_get_period_type(&day, start), start);
    return end < 0 ? SCHEDULE_DAY : end;
}

} // namespace

FormScheduleDayOverview::FormScheduleDayOverview(const State& state)
    : VexalStackedContentForm(state)
    , mOvi(FormSchedule::ovi(state))
    , mDay(state.getP3()) {
    setName("FormScheduleDayOverview");
    const std::optional<week_schedule_t> week = ScheduleValue::read(mOvi);
    if (!week || !ScheduleValue::isDay(mDay)) {
        backOrDefault();
        return;
    }
    mWeek = *week;
    StackedContainer* content = getContent();
    new ContainedLabel(content, 0, 0, ROW_WIDTH, 17, &bif_myriad12,
                       i18n.getWeekdayLong(static_cast<int>(mDay)), HorizontalAlign::Center);
    NavigationLink::Builder link{.parent = content, .width = ROW_WIDTH, .height = ROW_HEIGHT};
    link.text = gettext("Copy settings to another day");
    link.build()->setClickCommand(
        std::make_unique<ChangeStateCommand>(SingleParamState<Ovi>(COPY_DAY_STATE_ID, mDay, 0, 0, 0, mOvi)));
    new Spacer(content, 0, 0, ROW_WIDTH, 10);
    mTimeline = new Timeline(content, 0, 0, ROW_WIDTH, 20, mWeek.days[mDay], false);
    new ContainedLabel(content, 0, 0, ROW_WIDTH, 17, &bif_myriad12, gettext("Added changes"));
    mList = StackedContainer::Builder{.parent = content,
                                      .width = ROW_WIDTH,
                                      .fitHeight = true,
                                      .direction = DIRECTION_VERTICAL,
                                      .spacing = 5}
                .build();
    link.text = gettext("Add new interval");
    mAddLink = link.build();
    updateIntervals();
    content->fitToContent();
}

FormScheduleDayOverview::~FormScheduleDayOverview() = default;

void FormScheduleDayOverview::deleteIntervals() {
    // Rows go after the message phase: the message that led here may still be on its way through them.
    for (Container* row : mRows) {
        row->setVisible(false);
        row->close();
    }
    mRows.clear();
}

void FormScheduleDayOverview::updateIntervals() {
    deleteIntervals();
    const day_schedule_t& day = mWeek.days[mDay];
    int start = 0;
    period_type_t type = schedule_get_period_type(&day, 0);
    for (int next = schedule_find_first_period_not_of(&day, type, start); next >= 0;
         next = schedule_find_first_period_not_of(&day, type, start)) {
        putInterval(start, next, type);
        start = next;
        type = schedule_get_period_type(&day, next);
    }
    putInterval(start, SCHEDULE_DAY, type);
    mList->fitToContent();
}

void FormScheduleDayOverview::putInterval(int start, int end, period_type_t type) {
    auto* row = new RowContainer(mList, 0, 0, ROW_WIDTH, ROW_HEIGHT);
    row->tag = static_cast<uint32_t>(start);
    ContainedIcon::create(row, 6, 0, 34, ROW_HEIGHT, ICONS[type & 3], colour::TEXT);
    const bool editable = type != 0;
    new ContainedLabel(row, 7, 0, editable ? 147 : 229, ROW_HEIGHT, &bif_myriad12,
                       ScheduleValue::intervalText(start, end));
    if (editable) {
        for (const auto& [tag, icon] :
             {std::pair{DELETE_TAG, res_cross}, std::pair{EDIT_TAG, res_arrow_right}}) {
            IconButton::Builder{
                .parent = row, .width = BUTTON_WIDTH, .height = ROW_HEIGHT, .tag = tag, .icon = icon}
                .build();
        }
    }
    mRows.push_back(row);
}

void FormScheduleDayOverview::edit(int start, int end) {
    changeState(SingleParamState<Ovi>(EDIT_STATE_ID, mDay, static_cast<unsigned>(quarterFloor(start)),
                                      static_cast<unsigned>(quarterFloor(end)), 0, mOvi));
}

void FormScheduleDayOverview::show(const week_schedule_t& week) {
    mWeek = week;
    mTimeline->setSchedule(mWeek.days[mDay]);
    updateIntervals();
    getContent()->moveChildrenToPlace();
    getContent()->fitToContent();
}

bool FormScheduleDayOverview::store() {
    return ScheduleValue::write(mOvi, mWeek);
}

void FormScheduleDayOverview::deleteConfirmed() {
    // Made on the week as it stands now, so that what the control unit changed meanwhile stays. A week that
    // has gone, or is a week no longer, is not written over: the day shows the change that could not be
    // stored.
    const std::optional<week_schedule_t> now = ScheduleValue::read(mOvi);
    if (now) {
        mWeek = *now;
    }
    schedule_set_range_type(&mWeek.days[mDay], mDeleteStart, mDeleteEnd, 0);
    if (now) {
        store();
    }
    show(mWeek);
}

void FormScheduleDayOverview::handleMessage(Message* message) {
    // The base and the children may consume the message; what it was is decided on a copy.
    const Message m = *message;
    VexalStackedContentForm::handleMessage(message);
    if (mTimeline == nullptr) {
        return; // built nothing: on the way back
    }
    const day_schedule_t& day = mWeek.days[mDay];
    if (m.isClick(mTimeline)) {
        edit(m.p1, m.p2);
    } else if (m.isClick(mAddLink)) {
        const int free = schedule_find_first_period_of(&day, 0, 0);
        if (free >= 0) {
            edit(free, std::min(free + SCHEDULE_STEP, SCHEDULE_DAY));
        }
    } else if (m.id == MSG_PRESS && m.source != nullptr &&
               (m.source->tag == EDIT_TAG || m.source->tag == DELETE_TAG) &&
               std::find(mRows.begin(), mRows.end(), m.source->getParent()) != mRows.end()) {
        const int start = static_cast<int>(m.source->getParent()->tag);
        const int end = runEnd(day, start);
        if (m.source->tag == EDIT_TAG) {
            edit(start, end);
        } else {
            mDeleteStart = start;
            mDeleteEnd = end;
            mDeleteAsked = Popup::create(gettext("Attention"), gettext("Delete period"),
                                         gettext("Do you want to delete this period?"),
                                         PopupButtons::OkCancel) != nullptr;
        }
    } else if (m.id == MSG_POPUP_RESULT) {
        // Only the answer to this screen's own question deletes.
        const bool asked = mDeleteAsked;
        mDeleteAsked = false;
        if (asked && (m.p1 & 0xFF) == Popup::RESULT_OK) {
            deleteConfirmed();
        }
    }
}

} // namespace tdx
