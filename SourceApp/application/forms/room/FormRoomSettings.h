// The settings of one room (state parameter 1): name and thermostat lock, and in sections the winter and
// summer presets with their advanced settings, and the common settings with the humidity control and the
// alarm limits. Bound rows write their own values; the screen writes only the humidity control, and only on
// the user's choice.
#pragma once

#include "SourceApp/application/commands/bindings/ObjectGuard.h"
#include "SourceApp/application/controls/DropdownItem.h"
#include "SourceApp/application/forms/VexalStackedContentForm.h"
#include "SourceApp/storage/ProxyStructure.h"

namespace tdx {

class ContainedLabel;
class DropdownButton;
class EditableDropdownRow;

class FormRoomSettings : public VexalStackedContentForm, public ProxyValueChangeHandler {
public:
    // The user's choice of "Display only" or "Dryer control"; nothing while the screen shows the stored one.
    class SetHumidityState : public DropdownItemClickCommand {
    public:
        SetHumidityState(oid_t room, const bool& updating)
            : mRoom(room)
            , mUpdating(updating) {}
        void execute(DropdownItem* item) override;

    private:
        oid_t mRoom;
        const bool& mUpdating;
    };

    explicit FormRoomSettings(const State& state);
    ~FormRoomSettings() override;

    // Shows the stored humidity control in its row; writes nothing.
    void updateHumidityState();

protected:
    void handleProxyValueChange(ProxyObject& object, const OviEx& change) override;

private:
    static constexpr int SECTION_INDENT = 10;

    struct Section {
        DropdownButton* button;
        StackedContainer* content;
    };
    // A title button `width` wide and its hidden column, `indent` pixels in and as wide as the rest.
    Section section(Container* parent, int width, const char* title, int indent = SECTION_INDENT);
    void buildWinter(Container* parent, bool floor);
    void buildSummer(Container* parent, bool floor);
    void buildCommon(Container* parent, bool floor);
    // The bound row, none when the room's template lacks the value.
    Component* upDown(Container* parent, int width, vid_t vid, const char* title = nullptr);
    void heading(Container* parent, int width, const char* text);
    void note(Container* parent, int width, const char* text);

    ObjectGuard mObjectGuard;
    oid_t mRoomOid;
    ContainedLabel* mTitle = nullptr;
    EditableDropdownRow* mHumidityRow = nullptr;
    bool mUpdating = false;
};

} // namespace tdx
