// Home: one large tile for every room and every output worked by hand, in ascending object id, beside the
// four tabs. The tiles follow their values through their own bindings; the screen only follows objects that
// come and go while it is open. A tile whose object goes is hidden, never destroyed, and shows again in its
// place when the object returns.
#pragma once

#include "SourceApp/application/controls/Widget.h"
#include "SourceApp/application/forms/VexalHomeForm.h"
#include "SourceApp/storage/ProxyStructure.h"

#include <vector>

namespace tdx {

class FormHome : public VexalHomeForm, public ProxyObjectAppendHandler, public ProxyObjectRemoveHandler {
public:
    explicit FormHome(const State& state);
    ~FormHome() override;

    // Whether the object may have a tile here; the widget factory then decides whether it gets one.
    static bool isEligible(const ProxyObject& object);

protected:
    void handleProxyObjectAppend(ProxyObject* object) override;
    void handleProxyObjectRemove(ProxyObject* object) override;

private:
    // Brings the tiles in line with the object tree.
    void updateObjects();
    // A new tile for the object at the end of the stack, its object id in its tag; null when the factory
    // makes none.
    Widget* createWidget(const WidgetLarge::Builder& builder, ProxyObject& object);

    std::vector<Widget*> mTiles; // in the order made; owned by the component tree
};

} // namespace tdx
