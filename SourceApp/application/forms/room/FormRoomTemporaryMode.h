// A room's temporary mode (state parameter 1, the room): on for a chosen duration, or off, and the
// temperature the room keeps meanwhile. The mode is switched on only when a duration above zero is committed.
#pragma once

#include "SourceApp/application/commands/bindings/ObjectGuard.h"
#include "SourceApp/application/controls/DropdownItem.h"
#include "SourceApp/application/controls/UpDown.h"
#include "SourceApp/application/forms/VexalStackedContentForm.h"
#include "SourceApp/storage/ProxyStructure.h"

namespace tdx {

class EditableDropdownRow;
class StackedContainer;
class TextFrame;

class FormRoomTemporaryMode : public VexalStackedContentForm, public ProxyValueChangeHandler {
public:
    // "Off" switches the mode off; "On" offers the duration, from 0.
    class ChangeTemporaryModeHandler : public DropdownItemClickCommand {
    public:
        explicit ChangeTemporaryModeHandler(FormRoomTemporaryMode* form)
            : mForm(form) {}
        void execute(DropdownItem* item) override;

    private:
        FormRoomTemporaryMode* mForm;
    };

    static constexpr int MAX_DURATION = 85500; // 23:45
    static constexpr int DURATION_STEP = 900;

    explicit FormRoomTemporaryMode(const State& state);
    ~FormRoomTemporaryMode() override;

    // Writes the mode and its end only when they change.
    void setTemporaryMode(bool enable, unsigned endTime);
    void update();
    void updateTemperature();
    void updateTempSpan();

    void handleMessage(Message* message) override;

protected:
    void handleProxyValueChange(ProxyObject& object, const OviEx& change) override;

private:
    // The temporary temperature of the season: 0x8031 cooling, else 0x801E.
    static vid_t setpoint();
    ProxyObject* room() const;

    ObjectGuard mObjectGuard;
    oid_t mRoom;
    EditableDropdownRow* mModeRow = nullptr;
    StackedContainer* mRows = nullptr;
    NumericUpDown<int>* mDuration = nullptr;
    NumericUpDown<int>* mTemperature = nullptr;
    TextFrame* mStatus = nullptr;
    // Set while the screen shows a change of the control unit's: the dropdown's command writes nothing.
    bool mUpdating = false;
};

} // namespace tdx
