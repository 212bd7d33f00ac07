// Joins the model's bus (application thread) and the inspector window's bus (window thread) without either
// thread touching what the other owns, and without either waiting for the other.
//
// Model to window: "COMPONENT_SELECT", "COMPONENT_DESELECT", "COMPONENT_NOTIFY_CHANGE",
// "COMPONENT_TREE_CHANGE" and "STATE_CHANGE" are copied on the application thread (a component as a
// ComponentCopy, the tree as ComponentRows) and posted to the window thread, where the same name is raised on
// the window's bus with the copy.
// Window to model: "COMPONENT_SELECT_FROM_LIST" and "COMPONENT_RESET" carry a copy; its id travels as a host
// command, which raises the name on the model's bus on the application thread with the component of that id
// (nothing when it is gone). Edits and deselections go through the host by the window's own listeners.
#pragma once

#include "SourceHost/host/CHost.h"
#include "SourceHost/inspector/Model.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tdx {

// Runs the work later on the window thread (from any thread), or drops it once the window is gone.
using WindowPoster = std::function<void(std::function<void()> work)>;

class InspectorLink {
public:
    // On the window thread before the host starts; the window's "COMPONENT_DESELECT" listeners run once, so
    // that the window starts with nothing selected.
    InspectorLink(Model& model, Application& window, CHost& host, WindowPoster post);
    // After the application thread has stopped: takes its listeners off both buses; work still queued or
    // posted does nothing.
    ~InspectorLink();
    InspectorLink(const InspectorLink&) = delete;
    InspectorLink& operator=(const InspectorLink&) = delete;

    struct Shared {
        Model& model;
        Application& window;
        WindowPoster post;
    };

private:
    void add(Application& bus, const std::string& name, std::shared_ptr<Command> listener);

    std::shared_ptr<Shared> mShared;
    std::vector<std::pair<Application*, std::pair<std::string, std::shared_ptr<Command>>>> mAdded;
};

} // namespace tdx
