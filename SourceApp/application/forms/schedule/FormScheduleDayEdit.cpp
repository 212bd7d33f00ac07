#include "SourceApp/application/forms/schedule/FormScheduleDayEdit.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/Timeline.h"
#include "SourceApp/application/controls/UpDown.h"
#include "SourceApp/application/forms/schedule/ScheduleValue.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "SourceApp/storage/Formatters.h"

#include <algorithm>

namespace tdx {

namespace {

constexpr int ROW_WIDTH = 277;
constexpr int ROW_HEIGHT = 26;
constexpr int PICKER_WIDTH = 122;
constexpr int FIRST_TO_MINIMUM = 1800;
constexpr uint8_t TYPE_CHOICE_MASK = 0x0F;

int quarterFloor(int seconds) {
    return seconds / SCHEDULE_STEP * SCHEDULE_STEP;
}

RowContainer* labelledRow(Container* content, const std::string& text, int labelWidth) {
    auto* row = new RowContainer(content, 0, 0, ROW_WIDTH, ROW_HEIGHT);
    new ContainedLabel(row, 9, 0, labelWidth, ROW_HEIGHT, &bif_myriad12, text);
    return row;
}

} // namespace

void FormScheduleDayEdit::IntervalChangeCommand::execute() {
    mForm.mTimeline->setSelectionType(mForm.getIntervalType());
}

FormScheduleDayEdit::FormScheduleDayEdit(const State& state)
    : VexalStackedContentForm(state)
    , mDay(state.getP1()) {
    setName("FormScheduleDayEdit");
    const auto* withOvi = dynamic_cast<const SingleParamState<Ovi>*>(&state);
    std::optional<week_schedule_t> week;
    if (withOvi != nullptr) {
        mOvi = withOvi->getParam();
        week = ScheduleValue::read(mOvi);
    }
    if (!week || !ScheduleValue::isDay(mDay)) {
        backOrDefault();
        return;
    }
    // Bounds from a state are taken as quarter hours within the day.
    mStart = quarterFloor(static_cast<int>(std::min<unsigned>(state.getP2(), LAST_START)));
    mEnd = quarterFloor(static_cast<int>(std::min<unsigned>(state.getP3(), SCHEDULE_DAY)));
    day_schedule_t& day = week->days[mDay];
    mType = schedule_get_period_type(&day, mStart);
    if (mType == 0) {
        mType = 1;
    }
    if (mStart < mEnd) {
        schedule_set_range_type(&day, mStart, mEnd, 0);
    } else {
        mEnd = mStart;
    }

    StackedContainer* content = getContent();
    new ContainedLabel(content, 0, 0, ROW_WIDTH, 17, &bif_myriad12,
                       i18n.getWeekdayLong(static_cast<int>(mDay)), HorizontalAlign::Center);
    mTimeline = new Timeline(content, 0, 0, ROW_WIDTH, 20, day, false);
    mTimeline->setSelectionType(mType);
    mTimeline->setSelectionStart(static_cast<unsigned>(mStart));
    mTimeline->setSelectionEnd(static_cast<unsigned>(mEnd));

    if ((week->lead[1] & TYPE_CHOICE_MASK) != 0) {
        RowContainer* row = labelledRow(content, gettext("Select interval type"), 186);
        for (const auto& [tag, icon] : {std::pair{1u, res_comfort}, std::pair{2u, res_extra_comfort}}) {
            auto* button = new CheckIconButton(row, 0, 0, 40, ROW_HEIGHT, icon, colour::TEXT, 0, 0);
            button->tag = tag;
            mTypes.append(button);
        }
        setCheckedIntervalType(mType);
        mTypes.setItemSelectedCommand(std::make_unique<IntervalChangeCommand>(*this));
    }

    const DataModel::Factories::TimeFormatterFactory& clock = DataModel::Factories::Formatters::Time;
    mShownFrom = mStart;
    mFrom = new NumericUpDown<int>(labelledRow(content, pgettext("time", "From"), 145), 0, 0, PICKER_WIDTH,
                                   ROW_HEIGHT, &bif_myriad10, 0, LAST_START, mStart);
    auto toValue = std::make_unique<StaticNumber<int>>(mEnd);
    mToValue = toValue.get();
    mShownTo = std::clamp(mEnd, FIRST_TO_MINIMUM, SCHEDULE_DAY);
    mTo = new NumericUpDown<int>(labelledRow(content, pgettext("time", "To"), 145), 0, 0, PICKER_WIDTH,
                                 ROW_HEIGHT, &bif_myriad10,
                                 std::make_unique<StaticNumber<int>>(FIRST_TO_MINIMUM),
                                 std::make_unique<StaticNumber<int>>(SCHEDULE_DAY), std::move(toValue));
    for (NumericUpDown<int>* picker : {mFrom, mTo}) {
        picker->setStep(SCHEDULE_STEP);
        picker->setFormatter(std::unique_ptr<DataModel::Formatter>(clock.create()));
    }

    StackedContainer* buttons = StackedContainer::Builder{.parent = content,
                                                          .width = ROW_WIDTH,
                                                          .height = ROW_HEIGHT,
                                                          .direction = DIRECTION_HORIZONTAL,
                                                          .spacing = 5}
                                    .build();
    Button::Builder button{.parent = buttons, .width = 136, .height = ROW_HEIGHT};
    button.text = gettext("Cancel");
    mCancel = button.build();
    button.text = gettext("Save interval");
    mSave = button.build();
    content->fitToContent();
}

FormScheduleDayEdit::~FormScheduleDayEdit() = default;

period_type_t FormScheduleDayEdit::getIntervalType() const {
    const Checkbox* checked = mTypes.getSelected();
    return checked != nullptr ? static_cast<period_type_t>(checked->tag) : mType;
}

void FormScheduleDayEdit::setCheckedIntervalType(period_type_t type) {
    if (type == 1 || type == 2) {
        mTypes.setSelected(static_cast<uint8_t>(type - 1));
    }
}

void FormScheduleDayEdit::fromChanged(int from) {
    mShownFrom = from;
    if (mShownTo <= from) {
        mToValue->setValue(std::min(from + SCHEDULE_STEP, SCHEDULE_DAY));
        mTimeline->setSelectionEnd(static_cast<unsigned>(from + SCHEDULE_STEP));
    }
    mTimeline->setSelectionStart(static_cast<unsigned>(from));
    mTo->setMinimum(from + SCHEDULE_STEP);
    mTo->update();
}

void FormScheduleDayEdit::store() {
    // What the user sees is what is written: From no later than the day's last quarter hour, To at least one
    // quarter hour after it.
    const int from = std::clamp(quarterFloor(mShownFrom), 0, LAST_START);
    const int to = std::clamp(quarterFloor(mShownTo), from + SCHEDULE_STEP, SCHEDULE_DAY);
    const period_type_t type = getIntervalType();
    const unsigned day = mDay;
    const int oldStart = mStart;
    const int oldEnd = mEnd;
    ScheduleValue::update(mOvi, [&](week_schedule_t& week) {
        if (oldStart < oldEnd) {
            schedule_set_range_type(&week.days[day], oldStart, oldEnd, 0);
        }
        schedule_set_range_type(&week.days[day], from, to, type);
    });
}

void FormScheduleDayEdit::handleMessage(Message* message) {
    // The base and the children may consume the message; what it was is decided on a copy.
    const Message m = *message;
    VexalStackedContentForm::handleMessage(message);
    if (mTimeline == nullptr) {
        return; // built nothing: on the way back
    }
    if (m.isClick(mSave)) {
        store();
        backOrDefault();
    } else if (m.isClick(mCancel)) {
        backOrDefault();
    } else if (m.is(MSG_CHANGE, mFrom)) {
        fromChanged(m.p1);
    } else if (m.is(MSG_CHANGE, mTo)) {
        mShownTo = m.p1;
        mTimeline->setSelectionEnd(static_cast<unsigned>(m.p1));
    }
}

} // namespace tdx
