#include "SourceApp/application/forms/home/FormHome.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/factories/ProxyWidgetFactory.h"
#include "SourceApp/storage/ProxyObject.h"

#include <algorithm>

namespace tdx {

namespace {

constexpr u8 OUTPUT_SUBTYPE_NONE = 0;
constexpr u8 OUTPUT_SUBTYPE_THERMOHEAD = 6;

} // namespace

FormHome::FormHome(const State& state)
    : VexalHomeForm(state) {
    setName("FormHome");
    setHelp(gettext("Info"));
    // The user is home already.
    mHomeButton->setEnabled(false);
    mHomeButton->setFaceColor(colour::CONTROL);
    selectTab(mInfoButton);
    if (Structure.find(OID_LOCATION) != nullptr) {
        updateObjects();
    }
    getContent()->fitToContent();
    Structure.addObjectAppendHandler(this);
    Structure.addObjectRemoveHandler(this);
}

FormHome::~FormHome() {
    Structure.removeObjectAppendHandler(this);
    Structure.removeObjectRemoveHandler(this);
}

bool FormHome::isEligible(const ProxyObject& object) {
    const ObjectInfo info = object.type();
    switch (info.type()) {
        case BT_OBJ_DEVICE:
        case BT_OBJ_ITC:
        case BT_OBJ_DHW:
        case BT_OBJ_HCC:
        case BT_OBJ_DHW_TANK:
            return false;
        case BT_OBJ_OUTPUT:
            return info.subtype() != OUTPUT_SUBTYPE_THERMOHEAD && info.subtype() != OUTPUT_SUBTYPE_NONE;
        default:
            return true;
    }
}

void FormHome::handleProxyObjectAppend(ProxyObject*) {
    updateObjects();
}

void FormHome::handleProxyObjectRemove(ProxyObject*) {
    updateObjects();
}

void FormHome::updateObjects() {
    for (Widget* tile : mTiles) {
        tile->setVisible(false);
    }
    // No checkbox on the home tiles: the home screen selects nothing, it only shows and opens. Every field
    // but the parent stays at its default; the templates fill in the rest.
    const WidgetLarge::Builder builder{.mParent = getContent()};
    for (ProxyObject* object : Structure) {
        if (!isEligible(*object)) {
            continue;
        }
        const auto known = std::find_if(mTiles.begin(), mTiles.end(),
                                        [object](const Widget* tile) { return tile->tag == object->oid(); });
        if (known != mTiles.end()) {
            (*known)->setVisible(true);
        } else {
            createWidget(builder, *object);
        }
    }
    // Hidden tiles take no room: the scroll bar follows what is left as well as what came.
    getContent()->fitToContent();
}

Widget* FormHome::createWidget(const WidgetLarge::Builder& builder, ProxyObject& object) {
    Widget* tile = ProxyWidgetFactory::create(builder, object, getModel());
    if (tile != nullptr) {
        tile->tag = object.oid();
        mTiles.push_back(tile);
    }
    return tile;
}

} // namespace tdx
