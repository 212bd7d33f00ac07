// Typed signals of one argument between the host's control wrappers and the objects that listen to them. A
// signal keeps its connections in order; a receiver derives from has_slots, which remembers the signals it is
// connected to, so that destroying either side removes the connections on both sides. Single-threaded: the
// lock hooks do nothing.
#pragma once

#include <list>
#include <memory>
#include <set>

namespace sigslot {

class single_threaded {
public:
    virtual ~single_threaded() = default;
    virtual void lock() {}
    virtual void unlock() {}
};

template <typename Policy>
class has_slots;

template <typename Policy>
class _signal_base : public Policy {
public:
    virtual void slot_disconnect(has_slots<Policy>* slot) = 0;
    virtual void slot_duplicate(const has_slots<Policy>* oldTarget, has_slots<Policy>* newTarget) = 0;
};

template <typename Policy = single_threaded>
class has_slots : public Policy {
public:
    has_slots() = default;
    has_slots(const has_slots&) = delete;
    has_slots& operator=(const has_slots&) = delete;
    ~has_slots() override { disconnect_all(); }

    void signal_connect(_signal_base<Policy>* sender) { mSenders.insert(sender); }
    void signal_disconnect(_signal_base<Policy>* sender) { mSenders.erase(sender); }
    void disconnect_all() {
        // Each signal forgets this object; the set is taken first, as a signal calls back into it.
        std::set<_signal_base<Policy>*> senders;
        senders.swap(mSenders);
        for (_signal_base<Policy>* sender : senders) {
            sender->slot_disconnect(this);
        }
    }

private:
    std::set<_signal_base<Policy>*> mSenders;
};

template <typename A, typename Policy>
class _connection_base1 {
public:
    virtual ~_connection_base1() = default;
    virtual has_slots<Policy>* getdest() const = 0;
    virtual void emit(A a) = 0;
    virtual std::unique_ptr<_connection_base1> clone() const = 0;
    virtual std::unique_ptr<_connection_base1> duplicate(has_slots<Policy>* newTarget) const = 0;
};

template <typename D, typename A, typename Policy>
class _connection1 : public _connection_base1<A, Policy> {
public:
    using Method = void (D::*)(A);
    _connection1(D* object, Method method)
        : mObject(object)
        , mMethod(method) {}
    has_slots<Policy>* getdest() const override { return mObject; }
    void emit(A a) override { (mObject->*mMethod)(a); }
    std::unique_ptr<_connection_base1<A, Policy>> clone() const override {
        return std::make_unique<_connection1>(mObject, mMethod);
    }
    std::unique_ptr<_connection_base1<A, Policy>> duplicate(has_slots<Policy>* newTarget) const override {
        return std::make_unique<_connection1>(static_cast<D*>(newTarget), mMethod);
    }

private:
    D* mObject;
    Method mMethod;
};

template <typename A, typename Policy = single_threaded>
class signal1 : public _signal_base<Policy> {
public:
    signal1() = default;
    signal1(const signal1&) = delete;
    signal1& operator=(const signal1&) = delete;
    ~signal1() override { disconnect_all(); }

    template <typename D>
    void connect(D* object, void (D::*method)(A)) {
        this->lock();
        mConnections.push_back(std::make_unique<_connection1<D, A, Policy>>(object, method));
        object->signal_connect(this);
        this->unlock();
    }

    // Calls every connection in connection order. Slots must not destroy receivers of this signal meanwhile.
    void emit(A a) {
        for (auto it = mConnections.begin(); it != mConnections.end();) {
            auto next = std::next(it);
            (*it)->emit(a);
            it = next;
        }
    }
    void operator()(A a) { emit(a); }

    void disconnect_all() {
        this->lock();
        for (auto& connection : mConnections) {
            connection->getdest()->signal_disconnect(this);
        }
        mConnections.clear();
        this->unlock();
    }

    void slot_disconnect(has_slots<Policy>* slot) override {
        this->lock();
        mConnections.remove_if([slot](const auto& connection) { return connection->getdest() == slot; });
        this->unlock();
    }

    void slot_duplicate(const has_slots<Policy>* oldTarget, has_slots<Policy>* newTarget) override {
        this->lock();
        const size_t count = mConnections.size();
        auto it = mConnections.begin();
        for (size_t i = 0; i < count; ++i, ++it) {
            if ((*it)->getdest() == oldTarget) {
                mConnections.push_back((*it)->duplicate(newTarget));
            }
        }
        this->unlock();
    }

    size_t connection_count() const { return mConnections.size(); }

private:
    std::list<std::unique_ptr<_connection_base1<A, Policy>>> mConnections;
};

} // namespace sigslot
