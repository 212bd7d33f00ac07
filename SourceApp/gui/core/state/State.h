// Screen states: a state id and four parameters, optionally with one typed parameter. The navigation history
// keeps clones, so a screen may hold on to its own copy.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

namespace tdx {

// The number of a screen state; the screen registry maps each to one screen class.
using state_id_t = uint32_t;

// The home screen: the state shown when the navigation history is empty.
inline constexpr state_id_t DEFAULT_STATE_ID = 9;

class State {
public:
    explicit State(state_id_t id, unsigned p1 = 0, unsigned p2 = 0, unsigned p3 = 0, unsigned p4 = 0)
        : mId(id)
        , mParams{p1, p2, p3, p4} {}
    virtual ~State() = default;

    state_id_t getStateId() const { return mId; }
    unsigned getP1() const { return mParams[0]; }
    unsigned getP2() const { return mParams[1]; }
    unsigned getP3() const { return mParams[2]; }
    unsigned getP4() const { return mParams[3]; }

    State(const State&) = default;
    State& operator=(const State&) = default;

    virtual std::unique_ptr<State> clone() const { return std::make_unique<State>(*this); }

private:
    state_id_t mId;
    uint32_t mParams[4];
};

// A state with one typed parameter (a title text, a value handle, a list of object ids).
template <class T>
class SingleParamState : public State {
public:
    SingleParamState(state_id_t id, unsigned p1, unsigned p2, unsigned p3, unsigned p4, T param)
        : State(id, p1, p2, p3, p4)
        , mParam(std::move(param)) {}

    const T& getParam() const { return mParam; }

    std::unique_ptr<State> clone() const override { return std::make_unique<SingleParamState>(*this); }

    SingleParamState(const SingleParamState&) = default;

private:
    T mParam;
};

} // namespace tdx
