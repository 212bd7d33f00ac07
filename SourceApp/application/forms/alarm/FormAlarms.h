// The active alarms and warnings, one row each (a warning icon in the entry's colour and a text naming the
// object, what it is associated with and the alarm), and "Mute alarm", which silences the buzzer until the
// next alarm. The list is a snapshot: every change of the alarm list builds the screen again.
#pragma once

#include "SourceApp/application/AlarmMgr.h"
#include "SourceApp/application/forms/VexalStackedContentForm.h"

#include <string>

namespace tdx {

class Button;

class FormAlarms : public VexalStackedContentForm {
public:
    explicit FormAlarms(const State& state);
    ~FormAlarms() override;

    void handleMessage(Message* message) override;

    // The text of the entry's active code (its value id in hex without a descriptor).
    static std::string getAlarmText(const AlarmMgr::AlarmEntry& entry);
    // Red for alarms and for entries without a descriptor, yellow for warnings.
    static unsigned getAlarmColor(const AlarmMgr::AlarmEntry& entry);

private:
    void addMuteRow(bool snoozed);
    void addEntryRow(const AlarmMgr::AlarmEntry& entry);

    Button* mMuteButton = nullptr; // null without entries
};

} // namespace tdx
