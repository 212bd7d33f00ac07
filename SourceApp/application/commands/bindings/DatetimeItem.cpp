#include "SourceApp/application/commands/bindings/DatetimeItem.h"

#include "Libraries/base/dbg.h"
#include "SourceApp/application/commands/bindings/ValueAdapters.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/utils/Date.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "SourceApp/storage/DataModel.h"

namespace tdx {

namespace {

constexpr int INSET = 17;
constexpr unsigned CLOCK_TICKS_MASK = 0xF; // every 16th tick of 62 ms

// The number's adapter, on the location's signed value as the location's template lists it; none (traced)
// when the template does not list it as a signed number.
std::unique_ptr<ICommand> bindLocationNumber(IStringComponent* label, vid_t vid) {
    const DataModel::ObjectTemplate* location =
        DataModel::Database::findObjectTemplate(bt_obj_info{BT_OBJ_LOCATION, 0, 0, 0});
    const auto* number = location != nullptr ? location->find<DataModel::SignedValue>(vid) : nullptr;
    if (number == nullptr) {
        dbg_printf_h("clock: the location has no signed value %04X", unsigned{vid});
        return nullptr;
    }
    return std::make_unique<NumberValueToStringComponentAdapter>(label, number->ovi(OID_LOCATION));
}

} // namespace

DatetimeItem::DatetimeItem(Container* parent, int x, int y, int width, int height)
    : Container(parent, x, y, width, height) {
    setName("DatetimeItem");
    const Box& box = getBoundingBox();
    mTime = new Label(this, box.x1 + INSET, box.y1 + 3, &bif_myriad10, "", HorizontalAlign::Left);
    mDate = new Label(this, box.x1 + INSET, box.y1 + 15, &bif_myriad10, "", HorizontalAlign::Left);
    mNumber = new Label(this, box.x2 - INSET, box.y1 + 3, &bif_myriad10, "", HorizontalAlign::Right);
    for (Label* label : {mTime, mDate, mNumber}) {
        label->setFaceColor(colour::WHITE);
    }
    mNumberBinding = bindLocationNumber(mNumber, VID_NUMBER);
    updateNumber();
    updateTime();
    Structure.addValueChangeHandler(this);
}

DatetimeItem::~DatetimeItem() {
    Structure.removeValueChangeHandler(this);
}

void DatetimeItem::updateTime() {
    const Date local = widget_local_time();
    mTime->setText(i18n.format(local, DateFormatOptions::Time));
    mDate->setText(i18n.format(local, DateFormatOptions::DayMonth));
}

void DatetimeItem::updateNumber() {
    if (!mNumberBinding) {
        mNumber->setText(NO_VALUE_TEXT);
        return;
    }
    mNumberBinding->execute();
    int value = 0;
    if (pt_get_int(&value, OID_LOCATION, VID_NUMBER) != PT_OK) {
        dbg_printf_h("clock: the location's value %04X is missing", unsigned{VID_NUMBER});
    }
}

void DatetimeItem::handleMessage(Message* message) {
    if (message->id == MSG_TIMER && (static_cast<unsigned>(message->p1) & CLOCK_TICKS_MASK) == 0) {
        updateTime();
    }
}

void DatetimeItem::handleProxyValueChange(ProxyObject&, const OviEx& change) {
    if (change.oid == OID_LOCATION && change.vid == VID_NUMBER) {
        updateNumber();
    }
}

} // namespace tdx
