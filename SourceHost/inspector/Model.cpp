#include "SourceHost/inspector/Model.h"

#include "Libraries/base/dbg.h"
#include "SourceApp/gui/core/Container.h"

namespace tdx {

namespace {

template <class F>
void walk(Component* component, int depth, F& f) {
    f(component, depth);
    if (component->isContainerType()) {
        for (Component* child : static_cast<Container*>(component)->getChildren()) {
            walk(child, depth + 1, f);
        }
    }
}

} // namespace

// ---- bridge ----

void DebuggerBridgeImpl::onAfterStateChange(unsigned, unsigned) {
    mAnnounced = nullptr;
    mModel.raise("STATE_CHANGE", nullptr);
}

void DebuggerBridgeImpl::onComponentSelect(Component* component) {
    mAnnounced = component;
    MessageArgumentComponent argument(component);
    mModel.raise("COMPONENT_SELECT", &argument);
}

void DebuggerBridgeImpl::onComponentDeselect(Component* component) {
    // May come from the component's destructor: only its address is looked at.
    if (component == mAnnounced && component != nullptr) {
        mModel.raise("COMPONENT_DESELECT", nullptr);
    }
}

void DebuggerBridgeImpl::onComponentChange(Component* component) {
    MessageArgumentComponent argument(component);
    mModel.raise("COMPONENT_NOTIFY_CHANGE", &argument);
}

void DebuggerBridgeImpl::onComponentAdd(Component* component) {
    mModel.entered(component);
    mTreeChanged = true;
}

void DebuggerBridgeImpl::onComponentRemove(Component*) {
    mTreeChanged = true;
}

void DebuggerBridgeImpl::onCoreTaskEnd() {
    if (!mTreeChanged) {
        return;
    }
    mModel.refreshIds();
    // The list is about to be built anew: a selection it no longer shows would stay highlighted and be
    // edited unseen, so it goes first, announced as any deselection.
    if (DebuggerBridge::getSelectedComponent() != nullptr) {
        setSelectedComponent(nullptr);
    }
    MessageArgumentComponent argument(nullptr);
    mModel.raise("COMPONENT_TREE_CHANGE", &argument);
    // Changes a listener made during the raise are not reported.
    mTreeChanged = false;
}

// ---- model ----

Model::Model(std::string name)
    : Application(std::move(name))
    , mSelected(std::make_unique<SelectedComponent>()) {
    addListener("COMPONENT_SELECT", std::make_shared<SelectComponentAdapter>(*mSelected));
    addListener("COMPONENT_DESELECT", std::make_shared<DeselectComponentAdapter>(*mSelected));
    addListener("STATE_CHANGE", std::make_shared<DeselectComponentAdapter>(*mSelected));
    addListener("COMPONENT_TREE_CHANGE", std::make_shared<DeselectComponentAdapter>(*mSelected));
    addListener("COMPONENT_RESET", std::make_shared<ResetComponentAdapter>(*mSelected));
    addListener("COMPONENT_SELECT_FROM_LIST", std::make_shared<SelectComponentFromListAdapter>(mBridge));
}

Model::~Model() {
    attach(nullptr);
}

void Model::attach(Core* core) {
    // The core last attached may be gone (a restart renews it): only the running one is asked.
    Core* running = Core::current();
    if (running != nullptr && running->getDebugger() == &mBridge && running != core) {
        running->attachDebuggerBridge(nullptr);
    }
    mCore = core;
    if (core != nullptr) {
        core->attachDebuggerBridge(&mBridge);
        refreshIds();
    }
}

Model* attached_model() {
    Core* core = Core::current();
    auto* bridge = core != nullptr ? dynamic_cast<DebuggerBridgeImpl*>(core->getDebugger()) : nullptr;
    return bridge != nullptr ? &bridge->model() : nullptr;
}

template <class F>
void Model::forEachInTree(F&& f) const {
    Core* core = Core::current();
    if (core == nullptr || core != mCore) {
        return;
    }
    for (Component* layer : core->getModalLayers()) {
        walk(layer, 0, f);
    }
}

void Model::entered(const Component* component) {
    // A new component may have the address of one deleted in this very pass: it gets an id of its own.
    mIds[component] = ++mNextId;
}

void Model::refreshIds() {
    std::unordered_map<const Component*, ComponentId> live;
    forEachInTree([&](Component* c, int) {
        const auto it = mIds.find(c);
        live[c] = it != mIds.end() ? it->second : ++mNextId;
    });
    mIds = std::move(live);
}

ComponentId Model::idOf(const Component* component) const {
    const auto it = mIds.find(component);
    return it != mIds.end() ? it->second : 0;
}

Component* Model::find(ComponentId id) const {
    Component* found = nullptr;
    if (id != 0) {
        forEachInTree([&](Component* c, int) {
            if (found == nullptr && idOf(c) == id) {
                found = c;
            }
        });
    }
    return found;
}

ComponentCopy Model::copyOf(const Component* component) const {
    if (component == nullptr) {
        return {};
    }
    return {idOf(component), component->getName(), component->getBoundingBox(), component->isVisible()};
}

ComponentRows Model::rows() const {
    ComponentRows rows;
    forEachInTree([&](Component* c, int depth) { rows.push_back({copyOf(c), depth}); });
    return rows;
}

// ---- commands ----

void Model::setAttributeOf(ComponentId id, ComponentAttribute attribute, int value, const char* what) {
    SelectedComponent& record = selected();
    if (record.getComponent() == nullptr || idOf(record.getComponent()) != id) {
        dbg_printf_h("INSPECTOR %s of component %llu dropped: it is no longer selected", what,
                     static_cast<unsigned long long>(id));
        return;
    }
    switch (attribute) {
        case Left:
            record.setLeft(value);
            break;
        case Top:
            record.setTop(value);
            break;
        case Width:
            record.setWidth(value);
            break;
        case Height:
            record.setHeight(value);
            break;
    }
}

void ComponentSetAttributeCommand::execute(MessageArgument*) {
    if (Model* model = attached_model()) {
        model->setAttributeOf(mTarget, mAttribute, mValue, "edit");
    }
}

void ComponentAttributeModifyCommand::execute(MessageArgument* argument) {
    MessageReaderInteger value;
    if (value.tryRead(argument)) {
        setAttribute(value.getIntegerValue());
    }
}

void ComponentAttributeModifyCommand::modify(ComponentAttribute attribute, int value) {
    mModel.setAttributeOf(mTarget, attribute, value, "modification");
}

void ComponentChangeDemux::setAttributeListener(ComponentAttribute attribute,
                                                std::shared_ptr<Command> command) {
    if (command) {
        mListeners[attribute] = std::move(command);
    } else {
        mListeners.erase(attribute);
    }
}

void ComponentChangeDemux::execute(MessageArgument* argument) {
    const auto* edit = payload_as<MessageArgumentComponentAttribute>(argument);
    if (edit == nullptr) {
        return;
    }
    const auto it = mListeners.find(edit->getAttribute());
    if (it != mListeners.end()) {
        MessageArgumentInteger value = edit->getArgument();
        it->second->execute(&value);
    }
}

} // namespace tdx
