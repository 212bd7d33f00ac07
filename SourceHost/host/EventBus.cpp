#include "SourceHost/host/EventBus.h"

#include <algorithm>

namespace tdx {

void Sender::execute(MessageArgument* argument) {
    // By index, and the listener's handle held across its call: the list may change under the walk.
    for (size_t i = 0; i < mListeners.size(); ++i) {
        std::shared_ptr<Command> listener = mListeners[i];
        if (listener) {
            listener->execute(argument);
        }
    }
}

void Sender::addListener(std::shared_ptr<Command> listener) {
    if (listener) {
        mListeners.push_back(std::move(listener));
    }
}

void Sender::removeListener(std::shared_ptr<Command> listener) {
    auto found = std::find(mListeners.begin(), mListeners.end(), listener);
    if (found != mListeners.end()) {
        mListeners.erase(found);
    }
}

std::shared_ptr<Sender> EventDispatcher::getSender(const std::string& name) {
    auto found = mSenders.find(name);
    if (found == mSenders.end()) {
        found = mSenders.emplace(name, std::make_shared<Sender>(name)).first;
    }
    return found->second;
}

void EventDispatcher::addListener(const std::string& name, std::shared_ptr<Command> listener) {
    getSender(name)->addListener(std::move(listener));
}

void EventDispatcher::removeListener(const std::string& name, std::shared_ptr<Command> listener) {
    getSender(name)->removeListener(std::move(listener));
}

} // namespace tdx
