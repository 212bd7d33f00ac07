#include "SourceApp/application/forms/schedule/FormScheduleCopyOrigin.h"

#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/forms/schedule/ScheduleValue.h"
#include "SourceApp/gui/i18n/I18n.h"

namespace tdx {

FormScheduleCopyOrigin::FormScheduleCopyOrigin(const State& state)
    : ScheduleCopyForm(state, "FormScheduleCopyOrigin", N_("Schedule Copy Day"))
    , mDay(state.getP1()) {
    if (const auto* withOvi = dynamic_cast<const SingleParamState<Ovi>*>(&state)) {
        mOvi = withOvi->getParam();
    }
    if (!ScheduleValue::isDay(mDay)) {
        backOrDefault();
        return;
    }
    addHeading(fmt_gettext("Copy schedule from %s", i18n.getWeekdayLong(static_cast<int>(mDay))));
    for (unsigned d = 0; d < 7; ++d) {
        addTarget(i18n.getWeekdayLong(static_cast<int>(d)), d)->setEnabled(d != mDay);
    }
    getContent()->fitToContent();
}

FormScheduleCopyOrigin::~FormScheduleCopyOrigin() = default;

void FormScheduleCopyOrigin::copyAndStore() {
    ScheduleValue::update(mOvi, [this](week_schedule_t& week) {
        for (const Checkbox* day : getTargets()) {
            if (day->getChecked() && day->tag != mDay) {
                schedule_clone_day(&week, static_cast<int>(mDay), static_cast<int>(day->tag));
            }
        }
    });
}

} // namespace tdx
