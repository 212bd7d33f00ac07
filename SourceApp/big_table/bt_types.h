// Types shared by the value table, the object tree and the network bridge: object and value ids, value type
// codes with their no-value markers, and the object-info record.
#pragma once

#include <cstdint>

namespace tdx {

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using u32 = std::uint32_t;
using s8 = std::int8_t;
using s16 = std::int16_t;
using s32 = std::int32_t;

// Low 24 bits the device's network address, high 8 bits the object index (0 = the device itself).
using oid_t = u32;
// 0x00xx measured and state values, 0x40xx alarms and warnings, 0x80xx settings.
using vid_t = u16;

constexpr oid_t OID_LOCATION = 0xFEFFFFFEu;
constexpr oid_t OID_ALL = 0xFFFFFFFFu;
constexpr vid_t VID_ALL = 0xFFFFu;

constexpr u32 oid_address(oid_t oid) {
    return oid & 0xFFFFFFu;
}
constexpr u8 oid_index(oid_t oid) {
    return static_cast<u8>(oid >> 24);
}
constexpr oid_t oid_make(u32 address, u8 index) {
    return (static_cast<u32>(index) << 24) | (address & 0xFFFFFFu);
}

using bt_val_type_t = u8;
using bt_vtype = bt_val_type_t;

} // namespace tdx

#define BT_VTYPE_S8 9
#define BT_VTYPE_S16 10
#define BT_VTYPE_S32 11
#define BT_VTYPE_U8 12
#define BT_VTYPE_U16 13
#define BT_VTYPE_U32 14
#define BT_VTYPE_TEXT 15
#define BT_VTYPE_DATA 16
#define BT_VTYPE_S16_X10 17
#define BT_VTYPE_S16_X100 18
#define BT_VTYPE_U16_ALT1 19
#define BT_VTYPE_U16_ALT2 20

#define BT_VTYPE_IS_D(t) ((t) == 9 || (t) == 10 || (t) == 11 || (t) == 17 || (t) == 18)
#define BT_VTYPE_IS_U(t) ((t) == 12 || (t) == 13 || (t) == 14 || (t) == 19 || (t) == 20)
#define BT_VTYPE_IS_INT(t) (BT_VTYPE_IS_D(t) || BT_VTYPE_IS_U(t))
#define BT_VTYPE_IS_BYTES(t) ((t) == BT_VTYPE_TEXT || (t) == BT_VTYPE_DATA)

namespace tdx {

// Width of an integer type in bytes; 0 for text, data and unknown codes.
constexpr unsigned bt_vtype_width(bt_vtype t) {
    switch (t) {
        case BT_VTYPE_S8:
        case BT_VTYPE_U8:
            return 1;
        case BT_VTYPE_S16:
        case BT_VTYPE_U16:
        case BT_VTYPE_S16_X10:
        case BT_VTYPE_S16_X100:
        case BT_VTYPE_U16_ALT1:
        case BT_VTYPE_U16_ALT2:
            return 2;
        case BT_VTYPE_S32:
        case BT_VTYPE_U32:
            return 4;
        default:
            return 0;
    }
}

// The no-value marker of an integer type: the largest value of its kind.
constexpr u32 bt_vtype_marker(bt_vtype t) {
    const unsigned width = bt_vtype_width(t);
    const u32 all = width >= 4 ? 0xFFFFFFFFu : (1u << (8 * width)) - 1u;
    return BT_VTYPE_IS_D(t) ? all >> 1 : all;
}

// An integer as the peer sees it at the type's width: sign-extended for signed types, zero-extended
// otherwise.
constexpr int bt_vtype_normalise(bt_vtype t, int value) {
    const unsigned width = bt_vtype_width(t);
    if (width == 0 || width >= 4) {
        return value;
    }
    const unsigned bits = 8 * width;
    const u32 mask = (1u << bits) - 1u;
    u32 raw = static_cast<u32>(value) & mask;
    if (BT_VTYPE_IS_D(t) && (raw & (1u << (bits - 1))) != 0) {
        raw |= ~mask;
    }
    return static_cast<int>(raw);
}

// Object kind as published by the control unit with OBJECT_INFO.
struct bt_obj_info {
    u8 type;
    u8 subtype;
    u8 flags;
    u8 reserved;
};

// Object type codes.
enum : u8 {
    BT_OBJ_LOCATION = 1,
    BT_OBJ_DEVICE = 2,
    BT_OBJ_INTERFACE = 3,
    BT_OBJ_INPUT = 4,
    BT_OBJ_OUTPUT = 5,
    BT_OBJ_ROOM = 6,
    BT_OBJ_ITC = 7,
    BT_OBJ_DHW = 8,
    BT_OBJ_HCC = 9,
    BT_OBJ_DHW_TANK = 11,
};

} // namespace tdx
