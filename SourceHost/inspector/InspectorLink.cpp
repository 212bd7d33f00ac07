#include "SourceHost/inspector/InspectorLink.h"

#include "Libraries/base/dbg.h"

namespace tdx {

namespace {

using Shared = InspectorLink::Shared;

// Model bus, application thread: copies what the event carries and posts the raise to the window.
class ToWindow : public Command {
public:
    enum class Carries { Nothing, Component, Tree };

    ToWindow(std::weak_ptr<Shared> shared, std::string name, Carries carries)
        : mShared(std::move(shared))
        , mName(std::move(name))
        , mCarries(carries) {}

    void execute(MessageArgument* argument) override {
        const std::shared_ptr<Shared> shared = mShared.lock();
        if (!shared) {
            return;
        }
        std::weak_ptr<Shared> weak = shared;
        std::string name = mName;
        switch (mCarries) {
            case Carries::Nothing:
                shared->post([weak, name] {
                    if (auto s = weak.lock()) {
                        s->window.raise(name, nullptr);
                    }
                });
                break;
            case Carries::Component: {
                MessageReaderComponent reader;
                if (!reader.tryRead(argument) || reader.getComponent() == nullptr) {
                    return;
                }
                shared->post([weak, name, copy = shared->model.copyOf(reader.getComponent())] {
                    if (auto s = weak.lock()) {
                        MessageArgumentComponentCopy payload(copy);
                        s->window.raise(name, &payload);
                    }
                });
                break;
            }
            case Carries::Tree:
                shared->post([weak, name, rows = shared->model.rows()] {
                    if (auto s = weak.lock()) {
                        MessageArgumentComponentRows payload(rows);
                        s->window.raise(name, &payload);
                    }
                });
                break;
        }
    }

private:
    std::weak_ptr<Shared> mShared;
    std::string mName;
    Carries mCarries;
};

// Window bus, window thread: the id of the carried copy goes to the application thread as a command.
class ToModel : public Command {
public:
    ToModel(std::weak_ptr<Shared> shared, CHost& host, std::string name)
        : mShared(std::move(shared))
        , mHost(host)
        , mName(std::move(name)) {}

    void execute(MessageArgument* argument) override {
        const ComponentCopy* copy = read_component_copy(argument);
        mHost.sendCommand(std::make_shared<Raise>(mShared, mName, copy != nullptr, copy ? copy->id : 0));
    }

private:
    class Raise : public Command {
    public:
        Raise(std::weak_ptr<Shared> shared, std::string name, bool carries, ComponentId id)
            : mShared(std::move(shared))
            , mName(std::move(name))
            , mCarries(carries)
            , mId(id) {}
        void execute(MessageArgument*) override {
            const std::shared_ptr<Shared> shared = mShared.lock();
            if (!shared) {
                return;
            }
            if (!mCarries) {
                shared->model.raise(mName, nullptr);
                return;
            }
            Component* component = shared->model.find(mId);
            if (component == nullptr) {
                dbg_printf_h("INSPECTOR %s for component %llu dropped: it has left the tree", mName.c_str(),
                             static_cast<unsigned long long>(mId));
                return;
            }
            MessageArgumentComponent payload(component);
            shared->model.raise(mName, &payload);
        }

    private:
        std::weak_ptr<Shared> mShared;
        std::string mName;
        bool mCarries;
        ComponentId mId;
    };

    std::weak_ptr<Shared> mShared;
    CHost& mHost;
    std::string mName;
};

} // namespace

InspectorLink::InspectorLink(Model& model, Application& window, CHost& host, WindowPoster post)
    : mShared(std::make_shared<Shared>(Shared{model, window, std::move(post)})) {
    for (const char* name : {"COMPONENT_SELECT_FROM_LIST", "COMPONENT_RESET"}) {
        add(window, name, std::make_shared<ToModel>(mShared, host, name));
    }
    using Carries = ToWindow::Carries;
    const std::pair<const char*, Carries> toWindow[] = {
        {"COMPONENT_SELECT", Carries::Component},
        {"COMPONENT_DESELECT", Carries::Nothing},
        {"COMPONENT_NOTIFY_CHANGE", Carries::Component},
        {"COMPONENT_TREE_CHANGE", Carries::Tree},
        {"STATE_CHANGE", Carries::Nothing},
    };
    for (const auto& [name, carries] : toWindow) {
        add(model, name, std::make_shared<ToWindow>(mShared, name, carries));
    }
    window.raise("COMPONENT_DESELECT", nullptr);
}

InspectorLink::~InspectorLink() {
    for (auto& [bus, entry] : mAdded) {
        bus->removeListener(entry.first, entry.second);
    }
}

void InspectorLink::add(Application& bus, const std::string& name, std::shared_ptr<Command> listener) {
    bus.addListener(name, listener);
    mAdded.push_back({&bus, {name, std::move(listener)}});
}

} // namespace tdx
