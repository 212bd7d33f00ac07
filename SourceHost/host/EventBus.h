// A small in-process bus of named events. Every participant that owns a bus derives from `Application`, which
// holds one `EventDispatcher`: a map from an event name to its `Sender`. A `Sender` is itself a `Command`, so
// the sender of one bus can listen on another, which is how two buses are joined. Delivery is synchronous, on
// the raising thread, in the order the listeners were added. The bus takes no lock: every listener is added
// and every name two threads raise is used once before a second thread raises.
#pragma once

#include "SourceHost/host/Command.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tdx {

class Sender : public Command {
public:
    explicit Sender(std::string fullName)
        : mFullName(std::move(fullName)) {}
    // Every listener in order. A listener may add or remove listeners of this very sender meanwhile: one
    // added is delivered to in this raise too, and a removed one is kept alive until its call has returned.
    void execute(MessageArgument* argument) override;
    virtual void addListener(std::shared_ptr<Command> listener);
    // Removes the first entry of this very object; nothing when it is absent.
    virtual void removeListener(std::shared_ptr<Command> listener);
    const std::string& getFullName() const { return mFullName; }
    void setFullName(const std::string& name) { mFullName = name; }

private:
    std::string mFullName;
    std::vector<std::shared_ptr<Command>> mListeners;
};

class EventDispatcher {
public:
    explicit EventDispatcher(std::string name)
        : mName(std::move(name)) {}
    virtual ~EventDispatcher() = default;
    // The sender of the name, created on first use. Names are exact: case and blanks count.
    std::shared_ptr<Sender> getSender(const std::string& name);
    std::shared_ptr<Command> getListener(const std::string& name) { return getSender(name); }
    void addListener(const std::string& name, std::shared_ptr<Command> listener);
    void removeListener(const std::string& name, std::shared_ptr<Command> listener);

private:
    std::string mName;
    std::map<std::string, std::shared_ptr<Sender>> mSenders;
};

class Application {
public:
    explicit Application(std::string name)
        : mDispatcher(std::move(name)) {}
    virtual ~Application() = default;
    virtual void run() = 0;

    EventDispatcher& getEventDispatcher() { return mDispatcher; }
    std::shared_ptr<Command> getListener(const std::string& name) { return mDispatcher.getListener(name); }
    void addListener(const std::string& name, std::shared_ptr<Command> listener) {
        mDispatcher.addListener(name, std::move(listener));
    }
    void removeListener(const std::string& name, std::shared_ptr<Command> listener) {
        mDispatcher.removeListener(name, std::move(listener));
    }
    // Raises the name on this bus with the payload (null for none).
    void raise(const std::string& name, MessageArgument* argument) {
        mDispatcher.getSender(name)->execute(argument);
    }

private:
    EventDispatcher mDispatcher;
};

} // namespace tdx
