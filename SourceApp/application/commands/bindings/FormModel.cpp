#include "SourceApp/application/commands/bindings/FormModel.h"

#include "Libraries/base/os.h"

namespace tdx {

FormModel::FormModel() {
    Structure.addValueChangeHandler(this);
}

FormModel::~FormModel() {
    Structure.removeValueChangeHandler(this);
    // The listeners, then the commands, each from the first added on.
    for (auto& listener : mListeners) {
        listener.reset();
    }
    for (Binding& binding : mBindings) {
        Binding gone = std::move(binding);
    }
}

void FormModel::bind(ICommand* command, const Ovi& ovi) {
    OS_ASSERT(command);
    mBindings.emplace_back(command, ovi);
    command->execute();
}

void FormModel::addListener(std::unique_ptr<DataModel::Listener> listener) {
    if (listener != nullptr) {
        mListeners.push_back(std::move(listener));
    }
}

void FormModel::handleProxyValueChange(ProxyObject& object, const OviEx& change) {
    // By index: a command may bind further commands, which then first run at their own bind.
    const size_t bindings = mBindings.size();
    for (size_t i = 0; i < bindings; ++i) {
        if (mBindings[i].getOvi() == change) {
            mBindings[i].execute();
        }
    }
    const size_t listeners = mListeners.size();
    for (size_t i = 0; i < listeners; ++i) {
        mListeners[i]->notify(object, change);
    }
}

} // namespace tdx
