// Keeps a screen's widgets in step with the mirrored values. Widgets hand it commands that copy one value
// into a widget together with the value they show; the model runs each at once and again whenever that value
// changes, in the order they were bound. Listeners hear of every change, after the bindings of that change.
// The model owns its commands and listeners and dies before the screen's widgets, so both may point at them.
#pragma once

#include "SourceApp/application/commands/bindings/DataModelListener.h"
#include "SourceApp/gui/core/ICommand.h"
#include "SourceApp/storage/ProxyStructure.h"

#include <memory>
#include <vector>

namespace tdx {

class FormModel : public ProxyValueChangeHandler {
public:
    // One command and the value it follows.
    class Binding {
    public:
        Binding(ICommand* command, const Ovi& ovi)
            : mCommand(command)
            , mOvi(ovi) {}

        const Ovi& getOvi() const { return mOvi; }
        void execute() const { mCommand->execute(); }

    private:
        std::unique_ptr<ICommand> mCommand;
        Ovi mOvi;
    };

    FormModel();
    ~FormModel() override;
    FormModel(const FormModel&) = delete;
    FormModel& operator=(const FormModel&) = delete;

    // Takes the command (never null) and runs it once, so that the widget shows the value at once.
    virtual void bind(ICommand* command, const Ovi& ovi);
    virtual void addListener(std::unique_ptr<DataModel::Listener> listener);

protected:
    void handleProxyValueChange(ProxyObject& object, const OviEx& change) override;

private:
    std::vector<Binding> mBindings;
    std::vector<std::unique_ptr<DataModel::Listener>> mListeners;
};

} // namespace tdx
