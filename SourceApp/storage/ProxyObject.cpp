#include "SourceApp/storage/ProxyObject.h"
#include "Libraries/base/bytes.h"

#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/OidList.h"

namespace tdx {
namespace {

constexpr unsigned kMaxListedValues = 128;

u16 vid_of(unsigned vid) {
    return static_cast<u16>(vid & 0xFFFFu);
}

} // namespace

ProxyObject::ProxyObject(oid_t oid, ObjectInfo info, const DataModel::ObjectTemplate* objectTemplate)
    : mOid(oid)
    , mInfo(info)
    , mTemplate(objectTemplate) {}

int ProxyObject::getText(std::string& text, unsigned vid) const {
    return pt_get_text(&text, mOid, vid_of(vid));
}

int ProxyObject::setText(const Ovi& ovi, const std::string& text) {
    return pt_set_text(mOid, ovi.vid, text);
}

int ProxyObject::getData(void* buffer, unsigned size, unsigned vid) const {
    return pt_get_data(buffer, size, mOid, vid_of(vid));
}

int ProxyObject::setData(unsigned vid, const void* data, unsigned length) {
    return pt_set_data(mOid, vid_of(vid), data, length);
}

bool ProxyObject::hasValue(u16 vid) const {
    u8 list[kMaxListedValues * 2];
    const int bytes = pt_get_data(list, sizeof list, mOid, VID_VALUE_LIST);
    for (int i = 0; i + 1 < bytes; i += 2) {
        if (get_le16(list + i) == vid) {
            return pt_get_vtype(nullptr, mOid, vid) == 0;
        }
    }
    return false;
}

bool ProxyObject::isOidInList(unsigned oid, unsigned vid) const {
    return oid_list_contains(mOid, vid_of(vid), oid);
}

bool oid_list_contains(oid_t owner, vid_t vid, u32 id) {
    return oid_list_read(owner, vid).contains(id);
}

} // namespace tdx
