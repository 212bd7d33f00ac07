// The mirrored object tree: owns the objects, tells listeners about values that changed and objects that came
// and went, and keeps the queue of local changes that the network bridge publishes.
//
// Changes reach the tree through the value table's change hook. Each value is queued at most once while it
// waits: two writes of one value before task() give each value-change listener one notification, and the
// publish queue one entry, which is sent with the value current at publishing time (the last one written).
#pragma once

#include "Libraries/base/limits.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/ProxyObject.h"

#include <array>
#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <unordered_set>
#include <vector>

namespace tdx {

class ProxyValueChangeHandler {
public:
    virtual ~ProxyValueChangeHandler() {}
    void onProxyValueChange(ProxyObject& object, const OviEx& change) {
        handleProxyValueChange(object, change);
    }

protected:
    virtual void handleProxyValueChange(ProxyObject& object, const OviEx& change) = 0;
};

class ProxyObjectAppendHandler {
public:
    virtual ~ProxyObjectAppendHandler() {}
    void onProxyObjectAppend(ProxyObject* object) { handleProxyObjectAppend(object); }

protected:
    virtual void handleProxyObjectAppend(ProxyObject* object) = 0;
};

class ProxyObjectRemoveHandler {
public:
    virtual ~ProxyObjectRemoveHandler() {}
    void onProxyObjectRemove(ProxyObject* object) { handleProxyObjectRemove(object); }

protected:
    virtual void handleProxyObjectRemove(ProxyObject* object) = 0;
};

// Value 47 of a device: its state (2 = on-line).
constexpr vid_t VID_DEVICE_STATE = 0x002F;
constexpr int DEVICE_ONLINE = 2;
// Location value listing the installation's devices.
constexpr vid_t VID_GLOBAL_COMPONENTS = 0x80AE;

class ProxyStructure {
    using Objects = std::map<oid_t, std::unique_ptr<ProxyObject>>;

public:
    // Walks the objects in ascending object id and yields ProxyObject pointers; the tree must not change
    // during a walk.
    class object_iterator {
    public:
        ProxyObject* operator*() const { return mIt->second.get(); }
        ProxyObject* operator->() const { return mIt->second.get(); }
        object_iterator& operator++() {
            ++mIt;
            return *this;
        }
        bool operator==(const object_iterator& other) const = default;

    private:
        friend class ProxyStructure;
        explicit object_iterator(Objects::const_iterator it)
            : mIt(it) {}
        Objects::const_iterator mIt;
    };

    // The first tree constructed (the global Structure) installs itself as the value table's change hook.
    ProxyStructure();
    ~ProxyStructure();
    ProxyStructure(const ProxyStructure&) = delete;
    ProxyStructure& operator=(const ProxyStructure&) = delete;

    // Listeners are called in registration order; the same listener may be registered twice. A listener may
    // add or remove listeners while it is being called: one removed is not called again, one added is first
    // called for the next change.
    void addValueChangeHandler(ProxyValueChangeHandler* handler);
    void addObjectAppendHandler(ProxyObjectAppendHandler* handler);
    void addObjectRemoveHandler(ProxyObjectRemoveHandler* handler);
    // Remove the first registration; an unknown listener is ignored.
    void removeValueChangeHandler(ProxyValueChangeHandler* handler);
    void removeObjectAppendHandler(ProxyObjectAppendHandler* handler);
    void removeObjectRemoveHandler(ProxyObjectRemoveHandler* handler);

    // Takes ownership and tells the append listeners, the object already being in the tree. An object whose
    // id the tree already holds is refused and deleted (false).
    bool append(ProxyObject* object);
    // Erases the object, tells the remove listeners, deletes it and frees its values. False when absent.
    bool remove(oid_t oid);
    // The object was removed and has not been appended since: a value that still arrives for it would hold
    // an entry that nothing frees.
    bool wasRemoved(oid_t oid) const { return mRemoved.count(oid) != 0; }
    // Drops every object, queued change and waiting publish without telling anyone (start-up, tests).
    void clear();

    ProxyObject* find(unsigned oid) const;
    object_iterator begin() const { return object_iterator(mObjects.begin()); }
    object_iterator end() const { return object_iterator(mObjects.end()); }
    size_t size() const { return mObjects.size(); }

    // Object id of the output at index 0..63 of the installation's output list (every output in ascending
    // object id), 0xFFFFFFFF for an empty slot or any other index.
    unsigned getOutputAtIndex(int index) const;

    // Once per main-loop pass: delivers the changes queued before this pass to the value-change listeners.
    void task();

    // Takes the next local change to publish, copied with its current value under the critical section;
    // false when none waits. Changes of values that no longer exist are skipped.
    bool takePublish(pt_value* out);
    size_t publishPending() const;
    // Changes queued for the local handlers, delivered by the next task().
    bool changesPending() const;
    // Whether a local change of the value waits in the queue; withdrawn, it is not published.
    bool isPublishQueued(oid_t oid, vid_t vid) const;
    void withdrawPublish(oid_t oid, vid_t vid);
    void clearPublishQueue();

private:
    template <class H>
    struct HandlerList {
        std::vector<H*> handlers;
        int depth = 0;
        bool tombstones = false;
        void add(H* h) {
            if (h != nullptr) {
                handlers.push_back(h);
            }
        }
        void remove(H* h);
        template <class F>
        void dispatch(F&& call);
    };

    struct QueuedChange {
        oid_t oid;
        vid_t vid;
        u8 vtype;
    };

    static void tableChanged(u32 oid, u16 vid, u8 vtype, int origin);
    void queueChange(u32 oid, u16 vid, u8 vtype, int origin);
    void deliver(const QueuedChange& change);
    void rebuildOutputs();
    // A device-state change of a device absent from the tree appends that device when the location's list of
    // components names it; every other object, the control unit's own device too, comes with its
    // announcement.
    bool isListedDevice(oid_t oid) const;

    Objects mObjects;
    std::array<u32, DEVICE_TOTAL_NUMBER_OF_OUTPUTS> mOutputs;
    HandlerList<ProxyValueChangeHandler> mValueHandlers;
    HandlerList<ProxyObjectAppendHandler> mAppendHandlers;
    HandlerList<ProxyObjectRemoveHandler> mRemoveHandlers;
    std::deque<QueuedChange> mChanges;
    std::unordered_set<std::uint64_t> mChangesPending;
    std::deque<Ovi> mPublish;
    std::unordered_set<std::uint64_t> mPublishPending;
    std::unordered_set<oid_t> mRemoved;
    unsigned mRemovals = 0; // counts erased objects, so that a dispatch notices its object went away
};

// The one object tree of the program.
extern ProxyStructure Structure;

} // namespace tdx
