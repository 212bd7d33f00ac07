// A switch bound to an unsigned value: on while the value is valid and its low byte is not 0. The user's
// toggle writes 1 or 0 in the value's own type, only when that differs from the table; changes from the
// network move the switch without writing anything back.
#pragma once

#include "SourceApp/application/controls/SwitchButton.h"
#include "SourceApp/storage/ProxyStructure.h"

#include <string>

namespace tdx {

class ProxySwitchButton : public SwitchButton {
public:
    // Follows the bound value's changes for the button's lifetime.
    class ValueChangeHandler : public ProxyValueChangeHandler {
    public:
        explicit ValueChangeHandler(ProxySwitchButton& button)
            : mButton(button) {}

    protected:
        void handleProxyValueChange(ProxyObject& object, const OviEx& change) override;

    private:
        ProxySwitchButton& mButton;
    };

    // With the switch's own "On" and "Off".
    ProxySwitchButton(Container* parent, int x, int y, const UnsignedOvi& ovi);
    ProxySwitchButton(Container* parent, int x, int y, const UnsignedOvi& ovi, const std::string& onText,
                      const std::string& offText);
    ~ProxySwitchButton() override;

protected:
    void handleChecked() override;

private:
    // Shows the value of the table.
    void follow();

    UnsignedOvi mOvi;
    ValueChangeHandler mHandler{*this};
    bool mFollowing = false;
};

} // namespace tdx
