// The root of every screen: a 320 x 240 layer at (0, 0) that keeps the state it was built for.
#pragma once

#include "SourceApp/gui/core/Container.h"
#include "SourceApp/gui/core/state/State.h"

#include <memory>

namespace tdx {

class Form : public Container {
public:
    explicit Form(const State& state);
    ~Form() override;

    const State& getState() const { return *mState; }

    // Keeps the screen from dimming while on; the form turns it off again when it is destroyed.
    void setAwakeOverride(bool on);
    bool getAwakeOverride() const { return mAwakeOverride; }

private:
    std::unique_ptr<State> mState;
    bool mAwakeOverride = false;
};

} // namespace tdx
