#include "SourceApp/storage/ProxyStructure.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "SourceApp/storage/DataModel.h"

#include <algorithm>

namespace tdx {

ProxyStructure Structure;

namespace {

ProxyStructure* gTableListener = nullptr;

std::uint64_t key_of(u32 oid, u16 vid) {
    return (static_cast<std::uint64_t>(oid) << 16) | vid;
}

// Holds the process-wide critical section for one scope.
class CriticalSection {
public:
    CriticalSection() { os_enter_critical(); }
    ~CriticalSection() { os_exit_critical(); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
};

} // namespace

template <class H>
void ProxyStructure::HandlerList<H>::remove(H* h) {
    const auto it = std::find(handlers.begin(), handlers.end(), h);
    if (it == handlers.end()) {
        return;
    }
    if (depth > 0) {
        // A dispatch walks the list by index: leave a tombstone and compact when the last dispatch ends.
        *it = nullptr;
        tombstones = true;
    } else {
        handlers.erase(it);
    }
}

template <class H>
template <class F>
void ProxyStructure::HandlerList<H>::dispatch(F&& call) {
    ++depth;
    const size_t count = handlers.size();
    for (size_t i = 0; i < count; ++i) {
        H* h = handlers[i];
        if (h != nullptr && !call(h)) {
            break;
        }
    }
    if (--depth == 0 && tombstones) {
        handlers.erase(std::remove(handlers.begin(), handlers.end(), nullptr), handlers.end());
        tombstones = false;
    }
}

ProxyStructure::ProxyStructure() {
    mOutputs.fill(0xFFFFFFFFu);
    if (gTableListener == nullptr) {
        gTableListener = this;
        pt_set_change_hook(&ProxyStructure::tableChanged);
    }
}

ProxyStructure::~ProxyStructure() {
    if (gTableListener == this) {
        pt_set_change_hook(nullptr);
        gTableListener = nullptr;
    }
}

void ProxyStructure::addValueChangeHandler(ProxyValueChangeHandler* handler) {
    mValueHandlers.add(handler);
}
void ProxyStructure::addObjectAppendHandler(ProxyObjectAppendHandler* handler) {
    mAppendHandlers.add(handler);
}
void ProxyStructure::addObjectRemoveHandler(ProxyObjectRemoveHandler* handler) {
    mRemoveHandlers.add(handler);
}
void ProxyStructure::removeValueChangeHandler(ProxyValueChangeHandler* handler) {
    mValueHandlers.remove(handler);
}
void ProxyStructure::removeObjectAppendHandler(ProxyObjectAppendHandler* handler) {
    mAppendHandlers.remove(handler);
}
void ProxyStructure::removeObjectRemoveHandler(ProxyObjectRemoveHandler* handler) {
    mRemoveHandlers.remove(handler);
}

bool ProxyStructure::append(ProxyObject* object) {
    if (object == nullptr) {
        return false;
    }
    const oid_t oid = object->oid();
    if (mObjects.count(oid) != 0) {
        dbg_printf_h("tree: %06X:%02X already present, second object dropped", oid_address(oid),
                     oid_index(oid));
        delete object;
        return false;
    }
    mObjects.emplace(oid, std::unique_ptr<ProxyObject>(object));
    mRemoved.erase(oid);
    if (object->type().is(BT_OBJ_OUTPUT)) {
        rebuildOutputs();
    }
    const unsigned removals = mRemovals;
    mAppendHandlers.dispatch([&](ProxyObjectAppendHandler* h) {
        // A listener may have removed the object again; the others must not see a deleted object.
        if (mRemovals != removals && find(oid) != object) {
            return false;
        }
        h->onProxyObjectAppend(object);
        return true;
    });
    return true;
}

bool ProxyStructure::remove(oid_t oid) {
    const auto it = mObjects.find(oid);
    if (it == mObjects.end()) {
        return false;
    }
    std::unique_ptr<ProxyObject> object = std::move(it->second);
    mObjects.erase(it);
    ++mRemovals;
    mRemoved.insert(oid);
    if (object->type().is(BT_OBJ_OUTPUT)) {
        rebuildOutputs();
    }
    mRemoveHandlers.dispatch([&](ProxyObjectRemoveHandler* h) {
        h->onProxyObjectRemove(object.get());
        return true;
    });
    object.reset();
    pt_remove_object(oid);
    return true;
}

void ProxyStructure::clear() {
    mObjects.clear();
    mRemoved.clear();
    ++mRemovals;
    rebuildOutputs();
    CriticalSection lock;
    mChanges.clear();
    mChangesPending.clear();
    mPublish.clear();
    mPublishPending.clear();
}

ProxyObject* ProxyStructure::find(unsigned oid) const {
    const auto it = mObjects.find(oid);
    return it != mObjects.end() ? it->second.get() : nullptr;
}

unsigned ProxyStructure::getOutputAtIndex(int index) const {
    if (index < 0 || index >= DEVICE_TOTAL_NUMBER_OF_OUTPUTS) {
        // Indices come from network data (a room's output list): reject them, never stop the program.
        dbg_printf_h("tree: output index %d outside 0..%d", index, DEVICE_TOTAL_NUMBER_OF_OUTPUTS - 1);
        return 0xFFFFFFFFu;
    }
    return mOutputs[static_cast<size_t>(index)];
}

void ProxyStructure::rebuildOutputs() {
    mOutputs.fill(0xFFFFFFFFu);
    size_t n = 0;
    for (const auto& [oid, object] : mObjects) {
        if (n == mOutputs.size()) {
            break;
        }
        if (object->type().is(BT_OBJ_OUTPUT)) {
            mOutputs[n++] = oid;
        }
    }
}

void ProxyStructure::tableChanged(u32 oid, u16 vid, u8 vtype, int origin) {
    if (gTableListener != nullptr) {
        gTableListener->queueChange(oid, vid, vtype, origin);
    }
}

void ProxyStructure::queueChange(u32 oid, u16 vid, u8 vtype, int origin) {
    const std::uint64_t key = key_of(oid, vid);
    CriticalSection lock;
    if (mChangesPending.insert(key).second) {
        mChanges.push_back({oid, vid, vtype});
    }
    if (origin == PT_ORIGIN_LOCAL && mPublishPending.insert(key).second) {
        mPublish.emplace_back(oid, vid);
    }
}

void ProxyStructure::task() {
    // Only what was queued before this pass: a listener that writes a value is told about it next pass.
    size_t count;
    {
        CriticalSection lock;
        count = mChanges.size();
    }
    while (count-- > 0) {
        QueuedChange change;
        {
            CriticalSection lock;
            if (mChanges.empty()) {
                break;
            }
            change = mChanges.front();
            mChanges.pop_front();
            mChangesPending.erase(key_of(change.oid, change.vid));
        }
        deliver(change);
    }
}

bool ProxyStructure::isListedDevice(oid_t oid) const {
    return oid_list_contains(OID_LOCATION, VID_GLOBAL_COMPONENTS, oid);
}

void ProxyStructure::deliver(const QueuedChange& change) {
    ProxyObject* object = find(change.oid);
    // A state that went from the table (not brought by a synchronisation) announces no device.
    if (object == nullptr && change.vid == VID_DEVICE_STATE && oid_index(change.oid) == 0 &&
        pt_get_vtype(nullptr, change.oid, change.vid) == PT_OK && isListedDevice(change.oid)) {
        const bt_obj_info info{BT_OBJ_DEVICE, 0, 0, 0};
        append(new ProxyObject(change.oid, ObjectInfo(info), DataModel::Database::findObjectTemplate(info)));
        object = find(change.oid);
    }
    if (object == nullptr) {
        return;
    }
    // The type may have changed since the change was queued: listeners see the value as it is now.
    bt_vtype vtype = change.vtype;
    pt_get_vtype(&vtype, change.oid, change.vid);
    const OviEx ovi(change.vid, change.oid, vtype);
    const unsigned removals = mRemovals;
    mValueHandlers.dispatch([&](ProxyValueChangeHandler* h) {
        if (mRemovals != removals && (object = find(ovi.oid)) == nullptr) {
            return false;
        }
        h->onProxyValueChange(*object, ovi);
        return true;
    });
}

bool ProxyStructure::takePublish(pt_value* out) {
    CriticalSection lock;
    while (!mPublish.empty()) {
        const Ovi next = mPublish.front();
        mPublish.pop_front();
        if (mPublishPending.erase(key_of(next.oid, next.vid)) == 0) {
            continue; // withdrawn
        }
        if (pt_get_value(out, next.oid, next.vid) == PT_OK) {
            return true;
        }
    }
    return false;
}

size_t ProxyStructure::publishPending() const {
    CriticalSection lock;
    return mPublishPending.size();
}

bool ProxyStructure::changesPending() const {
    CriticalSection lock;
    return !mChanges.empty();
}

bool ProxyStructure::isPublishQueued(oid_t oid, vid_t vid) const {
    CriticalSection lock;
    return mPublishPending.count(key_of(oid, vid)) != 0;
}

void ProxyStructure::withdrawPublish(oid_t oid, vid_t vid) {
    CriticalSection lock;
    mPublishPending.erase(key_of(oid, vid));
}

void ProxyStructure::clearPublishQueue() {
    CriticalSection lock;
    mPublish.clear();
    mPublishPending.clear();
}

} // namespace tdx
