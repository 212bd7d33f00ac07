// The navigation history: the states above the default (home) state, newest last, each with the saved states
// of its screen's serialisable components. The default state keeps its saved states in a slot of its own.
#pragma once

#include "SourceApp/gui/core/state/SerializedState.h"
#include "SourceApp/gui/core/state/State.h"

#include <deque>
#include <memory>
#include <utility>
#include <vector>

namespace tdx {

// Saved component states of one screen: the component's ordinal among the screen's serialisable components
// (pre-order) and its record.
using SavedComponents = std::vector<std::pair<unsigned, std::unique_ptr<SerializedState>>>;

class StateManager {
public:
    static constexpr std::size_t MAX_HISTORY = 10;

    StateManager();

    // The current state: the newest history entry, or the default state when the history is empty.
    const State& getState() const;
    bool isBackEnabled() const { return !mHistory.empty(); }
    std::size_t size() const { return mHistory.size(); }

    // The saved component states of the current state's screen.
    SavedComponents& getSaved();

    // Pushes a clone; a full history drops its oldest entry.
    void push(const State& state);
    // Replaces the newest entry (its saved states are dropped); pushes onto an empty history.
    void replace(const State& state);
    // Drops the newest entry; false when the history was already empty.
    bool pop();
    // Empties the history and forgets the default state's saved states.
    void clear();

private:
    struct Entry {
        std::unique_ptr<State> state;
        SavedComponents saved;
    };

    State mDefault;
    SavedComponents mDefaultSaved;
    std::deque<Entry> mHistory;
};

} // namespace tdx
