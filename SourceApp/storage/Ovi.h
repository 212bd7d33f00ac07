// Handles of one value: object id plus value id, and the typed handles that add the value type and the
// value's compiled-in descriptor.
#pragma once

#include "Libraries/base/os.h"
#include "SourceApp/big_table/bt_types.h"
#include "SourceApp/storage/Descriptor.h"

namespace tdx {

struct Ovi {
    oid_t oid = 0;
    vid_t vid = 0;

    constexpr Ovi() = default;
    constexpr Ovi(oid_t objectId, vid_t valueId)
        : oid(objectId)
        , vid(valueId) {}

    constexpr bool operator==(const Ovi& other) const { return oid == other.oid && vid == other.vid; }
    constexpr bool operator<(const Ovi& other) const {
        return oid != other.oid ? oid < other.oid : vid < other.vid;
    }
};

// What a change notification carries.
struct OviEx : Ovi {
    u32 vtype = 0;

    constexpr OviEx() = default;
    constexpr OviEx(vid_t valueId, oid_t objectId, u32 valueType)
        : Ovi(objectId, valueId)
        , vtype(valueType) {}
};

// A typed handle: the value type and the descriptor travel with the id.
template <class D>
struct TypedOvi : Ovi {
    bt_vtype vtype = 0;
    const D* descriptor = nullptr;

protected:
    TypedOvi(oid_t objectId, vid_t valueId, bt_vtype valueType, const D* d)
        : Ovi(objectId, valueId)
        , vtype(valueType)
        , descriptor(d) {}
};

struct SignedOvi : TypedOvi<DataModel::Descriptor::VidSignedNumber> {
    SignedOvi(oid_t objectId, vid_t valueId, bt_vtype vtype, const DataModel::Descriptor::VidSignedNumber* d)
        : TypedOvi(objectId, valueId, vtype, d) {
        OS_ASSERT(BT_VTYPE_IS_D(vtype));
    }
};

struct UnsignedOvi : TypedOvi<DataModel::Descriptor::VidUnsignedNumber> {
    UnsignedOvi(oid_t objectId, vid_t valueId, bt_vtype vtype,
                const DataModel::Descriptor::VidUnsignedNumber* d)
        : TypedOvi(objectId, valueId, vtype, d) {
        OS_ASSERT(BT_VTYPE_IS_U(vtype));
    }
};

struct EnumOvi : TypedOvi<DataModel::Descriptor::VidEnum> {
    EnumOvi(oid_t objectId, vid_t valueId, bt_vtype vtype, const DataModel::Descriptor::VidEnum* d)
        : TypedOvi(objectId, valueId, vtype, d) {
        OS_ASSERT(BT_VTYPE_IS_U(vtype));
    }
};

struct DataOvi : TypedOvi<DataModel::Descriptor::VidData> {
    DataOvi(oid_t objectId, vid_t valueId, bt_vtype vtype, const DataModel::Descriptor::VidData* d)
        : TypedOvi(objectId, valueId, vtype, d) {
        OS_ASSERT(vtype == BT_VTYPE_DATA || vtype == BT_VTYPE_TEXT);
    }
};

// An unsigned value whose descriptor is the alarm descriptor: whatever shows an unsigned value shows an
// alarm.
struct AlarmOvi : UnsignedOvi {
    AlarmOvi(oid_t objectId, vid_t valueId, bt_vtype vtype, const DataModel::Descriptor::VidAlarm* d)
        : UnsignedOvi(objectId, valueId, vtype, d) {}

    const DataModel::Descriptor::VidAlarm* alarmDescriptor() const {
        return static_cast<const DataModel::Descriptor::VidAlarm*>(descriptor);
    }
};

} // namespace tdx
