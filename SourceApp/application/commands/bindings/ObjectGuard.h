// Watches the object a screen edits: when the object's device stops listing the object (value 0x80B0, the
// device's object indices), the guard tells the user and the popup's close goes home. A list that cannot be
// read says nothing either way. The guard tells once; its destructor stops the watch.
#pragma once

#include "SourceApp/storage/ProxyStructure.h"

namespace tdx {

class ObjectGuard : public ProxyValueChangeHandler {
public:
    static constexpr vid_t VID_OBJECT_INDICES = 0x80B0;

    explicit ObjectGuard(oid_t oid);
    ~ObjectGuard() override;
    ObjectGuard(const ObjectGuard&) = delete;
    ObjectGuard& operator=(const ObjectGuard&) = delete;

    bool isRemoved() const { return mRemoved; }

protected:
    void handleProxyValueChange(ProxyObject& object, const OviEx& change) override;

private:
    void check();

    oid_t mOid;
    bool mRemoved = false;
};

} // namespace tdx
