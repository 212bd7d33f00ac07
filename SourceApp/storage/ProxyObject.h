// One mirrored object of the installation. Its values live in the value table, keyed by the object's id.
#pragma once

#include "SourceApp/big_table/bt_types.h"
#include "SourceApp/storage/Ovi.h"

#include <string>

namespace tdx {

namespace DataModel {
class ObjectTemplate;
}

// Object type and subtype.
class ObjectInfo {
public:
    constexpr ObjectInfo() = default;
    constexpr ObjectInfo(u8 type, u8 subtype)
        : mType(type)
        , mSubtype(subtype) {}
    constexpr explicit ObjectInfo(const bt_obj_info& info)
        : mType(info.type)
        , mSubtype(info.subtype) {}

    constexpr u8 type() const { return mType; }
    constexpr u8 subtype() const { return mSubtype; }
    constexpr bool is(u8 type) const { return mType == type; }
    constexpr bool is(u8 type, u8 subtype) const { return mType == type && mSubtype == subtype; }
    constexpr bool operator==(const ObjectInfo& other) const = default;

private:
    u8 mType = 0;
    u8 mSubtype = 0;
};

// Value ids every object has.
constexpr vid_t VID_NAME = 0x8090;
constexpr vid_t VID_VALUE_LIST = 0x809F;

class ProxyObject {
public:
    ProxyObject(oid_t oid, ObjectInfo info, const DataModel::ObjectTemplate* objectTemplate);

    oid_t oid() const { return mOid; }
    ObjectInfo type() const { return mInfo; }
    // Null when the object's type has no template.
    const DataModel::ObjectTemplate* getTemplate() const { return mTemplate; }

    // Only the low 16 bits of vid name the value (callers may pass the type in the upper bits, 0x000F8090).
    // 0, or -3 / -1 / -2 as the value table answers; text keeps its content on every failure.
    int getText(std::string& text, unsigned vid) const;
    int setText(const Ovi& ovi, const std::string& text);

    // Bytes copied (at most size), or a negative value-table result.
    int getData(void* buffer, unsigned size, unsigned vid) const;
    int getData(void* buffer, unsigned size, const Ovi& ovi) const { return getData(buffer, size, ovi.vid); }
    // A length of 65535 withdraws the value; the change is published like any other.
    int setData(unsigned vid, const void* data, unsigned length);
    int setData(const Ovi& ovi, const void* data, unsigned length) { return setData(ovi.vid, data, length); }

    // The value id is in the object's value-id list (0x809F) and the value table has the entry.
    bool hasValue(u16 vid) const;
    // The data value vid, read as up to 64 little-endian 32-bit ids, lists oid.
    bool isOidInList(unsigned oid, unsigned vid) const;

private:
    oid_t mOid;
    ObjectInfo mInfo;
    const DataModel::ObjectTemplate* mTemplate;
};

// Whether the data value (owner, vid) of the value table lists id as one of its 32-bit ids.
bool oid_list_contains(oid_t owner, vid_t vid, u32 id);

} // namespace tdx
