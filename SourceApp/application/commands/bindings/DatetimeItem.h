// The clock of every screen's top bar: the local time above the date on the left, and on the right the
// location's outdoor temperature (value 0x36) as its descriptor formats it. The clock refreshes about once a
// second (every 16th timer tick); the number whenever that value changes.
#pragma once

#include "SourceApp/gui/core/Container.h"
#include "SourceApp/gui/core/ICommand.h"
#include "SourceApp/storage/ProxyStructure.h"

#include <memory>

namespace tdx {

class Label;

class DatetimeItem : public Container, public ProxyValueChangeHandler {
public:
    static constexpr vid_t VID_NUMBER = 0x0036;

    DatetimeItem(Container* parent, int x, int y, int width, int height);
    ~DatetimeItem() override;

    void updateTime();

    void handleMessage(Message* message) override;

protected:
    void handleProxyValueChange(ProxyObject& object, const OviEx& change) override;

private:
    void updateNumber();

    Label* mTime;
    Label* mDate;
    Label* mNumber;
    // Null when the location's template lacks the value: the number then stays "--".
    std::unique_ptr<ICommand> mNumberBinding;
};

} // namespace tdx
