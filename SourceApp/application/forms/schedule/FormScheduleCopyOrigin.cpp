#include "SourceApp/application/forms/schedule/FormScheduleCopyOrigin.h"

#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/forms/schedule/ScheduleValue.h"
#include "SourceApp/gui/i18n/I18n.h"

#include <algorithm>

namespace tdx {

namespace {
constexpr int ROW_WIDTH = 277;
} // namespace

void schedule_copy_footer(VexalWizardForm& form, Button* next, Button* exit) {
    next->setText(gettext("Copy"));
    exit->setText(gettext("Cancel"));
    form.setNextEnabled(false);
}

bool schedule_any_checked(const std::vector<Checkbox*>& boxes) {
    return std::any_of(boxes.begin(), boxes.end(), [](const Checkbox* b) { return b->getChecked(); });
}

FormScheduleCopyOrigin::FormScheduleCopyOrigin(const State& state)
    : VexalWizardForm(state, true)
    , mDay(state.getP1()) {
    setName("FormScheduleCopyOrigin");
    setHelp(gettext("Schedule Copy Day"));
    if (const auto* withOvi = dynamic_cast<const SingleParamState<Ovi>*>(&state)) {
        mOvi = withOvi->getParam();
    }
    schedule_copy_footer(*this, mNextButton, mExitButton);
    if (!ScheduleValue::isDay(mDay)) {
        backOrDefault();
        return;
    }
    StackedContainer* content = getContent();
    content->setSpacing(9);
    new ContainedLabel(content, 0, 0, ROW_WIDTH, 17, &bif_myriad14,
                       fmt_gettext("Copy schedule from %s", i18n.getWeekdayLong(static_cast<int>(mDay))));
    for (int d = 0; d < 7; ++d) {
        auto* day = new CheckButton(content, 0, 0, ROW_WIDTH, 26, i18n.getWeekdayLong(d));
        day->tag = static_cast<uint32_t>(d);
        day->setEnabled(static_cast<unsigned>(d) != mDay);
        mDays.push_back(day);
    }
    content->fitToContent();
}

FormScheduleCopyOrigin::~FormScheduleCopyOrigin() = default;

void FormScheduleCopyOrigin::copyAndStore() {
    ScheduleValue::update(mOvi, [this](week_schedule_t& week) {
        for (const Checkbox* day : mDays) {
            if (day->getChecked() && day->tag != mDay) {
                schedule_clone_day(&week, static_cast<int>(mDay), static_cast<int>(day->tag));
            }
        }
    });
}

void FormScheduleCopyOrigin::handleMessage(Message* message) {
    // The base and the children may consume the message; what it was is decided on a copy.
    const Message m = *message;
    VexalWizardForm::handleMessage(message);
    if (m.isClick(mNextButton)) {
        copyAndStore();
        backOrDefault();
    } else if (m.isClick(mExitButton)) {
        backOrDefault();
    } else if (m.id == MSG_CHANGE) {
        setNextEnabled(schedule_any_checked(mDays));
    }
}

} // namespace tdx
