#include "SourceApp/application/forms/schedule/FormSchedule.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/ScheduleEditState.h"
#include "SourceApp/application/commands/ChangeStateCommand.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/Timeline.h"
#include "SourceApp/application/forms/schedule/ScheduleValue.h"
#include "SourceApp/gui/i18n/I18n.h"

namespace tdx {

namespace {

constexpr state_id_t COPY_WEEK_STATE_ID = 20;
constexpr state_id_t DAY_STATE_ID = 18;
constexpr int ROW_WIDTH = 277;
constexpr int DAY_HEIGHT = 42;
constexpr int ARROW_SIZE = 40;

} // namespace

Ovi FormSchedule::ovi(const State& state) {
    return Ovi(state.getP1(), static_cast<vid_t>(state.getP2()));
}

std::string FormSchedule::title(const State& state) {
    const auto* titled = dynamic_cast<const SingleParamState<std::string>*>(&state);
    return titled != nullptr ? titled->getParam() : std::string();
}

FormSchedule::FormSchedule(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormSchedule");
    const Ovi schedule = ovi(state);
    if (!ScheduleValue::exists(schedule)) {
        backOrDefault();
        return;
    }
    const std::string heading = title(state);
    StackedContainer* content = getContent();
    new ContainedLabel(content, 0, 0, ROW_WIDTH, 17, &bif_myriad12, heading, HorizontalAlign::Center);
    const std::optional<week_schedule_t> week = ScheduleValue::read(schedule);
    if (!week) {
        // The value is there but holds no week: say so where the days would stand, not leave without a word.
        new ContainedLabel(content, 0, 0, ROW_WIDTH, DAY_HEIGHT, &bif_myriad12,
                           gettext("This schedule cannot be read"), HorizontalAlign::Center);
        content->fitToContent();
        return;
    }
    NavigationLink* copy = NavigationLink::Builder{.parent = content,
                                                   .width = ROW_WIDTH,
                                                   .height = 26,
                                                   .text = gettext("Copy settings to another room")}
                               .build();
    copy->setClickCommand(std::make_unique<ChangeStateCommand>(
        SingleParamState<Ovi>(COPY_WEEK_STATE_ID, 0, 0, 0, 0, schedule)));

    for (int d = 0; d < 7; ++d) {
        auto* row = new Container(content, 0, 0, ROW_WIDTH, DAY_HEIGHT);
        const int left = row->getLeft();
        const int top = row->getTop();
        new ContainedLabel(row, left + 8, top + 2, 229, 16, &bif_myriad12, i18n.getWeekdayLong(d));
        new Timeline(row, left + 8, top + 18, 220, 20, week->days[d], false);
        IconButton* open = IconButton::Builder{.parent = row,
                                               .x = row->getRight() - (ARROW_SIZE - 1),
                                               .y = top,
                                               .width = ARROW_SIZE,
                                               .height = ARROW_SIZE,
                                               .icon = res_arrow_right}
                               .build();
        open->setClickCommand(std::make_unique<ChangeStateCommand>(
            ScheduleEditState(DAY_STATE_ID, schedule, heading, static_cast<unsigned char>(d))));
    }
    content->fitToContent();
}

FormSchedule::~FormSchedule() = default;

} // namespace tdx
