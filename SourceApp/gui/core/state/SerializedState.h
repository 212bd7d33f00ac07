// Saved state of one component, kept in the navigation history while its screen is closed. Each serialisable
// class tags its record with unique_id<ItsClass>() so that a restore can tell whose record it is.
#pragma once

namespace tdx {

class SerializedState {
public:
    explicit SerializedState(unsigned id)
        : mId(id) {}
    virtual ~SerializedState() = default;
    SerializedState(const SerializedState&) = delete;
    SerializedState& operator=(const SerializedState&) = delete;

    unsigned getId() const { return mId; }

private:
    unsigned mId;
};

namespace detail {
unsigned next_unique_id();
}

// A number of its own for each class T, the same for the whole run.
template <class T>
unsigned unique_id() {
    static const unsigned id = detail::next_unique_id();
    return id;
}

} // namespace tdx
