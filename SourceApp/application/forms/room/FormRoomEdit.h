// The screen of one room (state parameter 1): its mode, today's schedule with the time, the desired
// temperature with an up-down, the presets, the heating or cooling status with the reason of a block, the
// measured values, and the links to its temporary mode, settings, schedule, outputs and peripherals.
#pragma once

#include "SourceApp/application/commands/bindings/ObjectGuard.h"
#include "SourceApp/application/controls/RadioGroup.h"
#include "SourceApp/application/controls/UpDown.h"
#include "SourceApp/application/forms/VexalStackedContentForm.h"
#include "SourceApp/application/utils/Date.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "SourceApp/storage/ProxyStructure.h"
#include "SourceApp/storage/schedule.h"

#include <optional>

namespace tdx {

class CheckIconButton;
class ContainedLabel;
class MultiIcon;
class TextFrame;
class Timeline;

class FormRoomEdit : public VexalStackedContentForm, public ProxyValueChangeHandler {
public:
    // The up-down's value committed: the room's mode decides where it is written.
    class DesiredTempChange : public ICommand {
    public:
        explicit DesiredTempChange(FormRoomEdit& form)
            : mForm(form) {}
        void execute() override;

    private:
        FormRoomEdit& mForm;
    };

    // The schedule box: on follows the week schedule, off a fixed temperature; unticking it while the
    // schedule is overridden only cancels the override.
    class ScheduleChangeCommand : public ICommand {
    public:
        explicit ScheduleChangeCommand(FormRoomEdit& form)
            : mForm(form) {}
        void execute() override;

    private:
        FormRoomEdit& mForm;
    };

    // A preset chosen: its temperature becomes the desired one.
    class ProfileSelectedCommand : public ICommand {
    public:
        explicit ProfileSelectedCommand(FormRoomEdit& form)
            : mForm(form) {}
        void execute() override;

    private:
        FormRoomEdit& mForm;
    };

    // The up-down's limits before the season's are read.
    static constexpr int DEFAULT_MINIMUM = 600;
    static constexpr int DEFAULT_MAXIMUM = 4000;

    explicit FormRoomEdit(const State& state);
    ~FormRoomEdit() override;

    void handleMessage(Message* message) override;

    void updateStatus();
    void updateRoomModeLabel();
    void updateRoomSourceText();
    void updateRoomMode();
    void updateDesiredTemp();
    void updateDesiredTempSpan();
    void updateDaySchedule();
    void updateTimelineMarker(const Date& date);
    // Time only for an end up to the start of tomorrow, else day, month and time.
    static DateFormatOptions::Enum getShortestDateFormat(const Date& date);

protected:
    void handleProxyValueChange(ProxyObject& object, const OviEx& change) override;

private:
    void buildRows(const std::string& name);
    // A change of a temperature the screen writes: one other than the screen's own write (the control unit
    // refused it, or changed the value itself) shows the unit's desired temperature again.
    void desiredTargetChanged(vid_t vid);
    Container* addMeasurementRow(const char* caption, vid_t vid);
    void relayout();
    // "until" with the end shown in local time, or the text without an end.
    static std::string withEnd(const char* until, const char* without, uint32_t end);
    // The mode text whole: in the bold font, the smaller bold one where it is too wide, and on two lines of
    // that where even the smaller one is too wide (the longest end dates).
    void showRoomMode(const std::string& text);

    ObjectGuard mObjectGuard;
    oid_t mRoom;
    week_schedule_t mSchedule{};
    uint8_t mWeekDay = 0;
    Timeline* mTimeline = nullptr;
    ContainedLabel* mRoomModeLabel = nullptr;
    ContainedLabel* mRoomModeSecondLine = nullptr; // hidden while the mode fits one line
    TextFrame* mRoomSourceText = nullptr;
    MultiIcon* mStatusIcon = nullptr;
    TextFrame* mStatusText = nullptr;
    ProxyObject* mObject = nullptr;
    ContainedLabel* mDesiredTempLabel = nullptr;
    NumericUpDown<int>* mDesiredTemp = nullptr;
    CheckIconButton* mScheduleButton = nullptr;
    Container* mDewPointRow = nullptr;
    RadioGroup mProfiles;
    bool mUpdating = true;
    // The temperature the screen wrote last, until the unit publishes its desired temperature anew: the
    // written value's change to it is the screen's own, to anything else the unit's.
    std::optional<int> mWritten;
};

} // namespace tdx
