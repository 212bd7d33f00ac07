#include "SourceApp/storage/DataModel.h"

#include "Libraries/base/dbg.h"
#include "SourceApp/storage/values/Catalogue.h"

namespace tdx {
namespace DataModel {

const Value* ObjectTemplate::findValue(u16 vid) const {
    for (const Value* value : *this) {
        if (value->vid() == vid) {
            return value;
        }
    }
    return nullptr;
}

const Value* ObjectTemplate::findValue(u16 vid, bt_vtype vtype) const {
    const Value* value = findValue(vid);
    if (value == nullptr || value->vtype() == vtype) {
        return value;
    }
    dbg_printf_h("data model: %s value %04X is type %u, not %u", mName, unsigned{vid},
                 unsigned{value->vtype()}, unsigned{vtype});
    return nullptr;
}

Formatter* createFormatter(const Descriptor::VidNumber& descriptor) {
    return descriptor.formatter != nullptr ? descriptor.formatter->create() : new NumericFormatter;
}

const ObjectTemplate* Database::findObjectTemplate(const bt_obj_info& info) {
    switch (info.type) {
        case BT_OBJ_LOCATION:
            return &Location;
        case BT_OBJ_DEVICE:
            return &Device;
        case BT_OBJ_INTERFACE:
            return &Interface;
        case BT_OBJ_INPUT:
            return &Input;
        case BT_OBJ_ROOM:
            return &Room;
        case BT_OBJ_ITC:
            return &ITC;
        case BT_OBJ_DHW:
            return &DHW;
        case BT_OBJ_HCC:
            return &HCC;
        case BT_OBJ_DHW_TANK:
            return &DHWTank;
        case BT_OBJ_OUTPUT:
            switch (info.subtype) {
                case 0:
                case 6:
                    return &OutputObject::Thermohead;
                case 1:
                case 4:
                case 7:
                case 10:
                    return &OutputObject::Relay;
                case 2:
                case 8:
                    return &OutputObject::Analog;
                case 5:
                case 11:
                    return &OutputObject::Servo;
                default:
                    return nullptr;
            }
        default:
            return nullptr;
    }
}

} // namespace DataModel
} // namespace tdx
