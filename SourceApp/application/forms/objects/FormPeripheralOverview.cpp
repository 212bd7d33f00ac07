#include "SourceApp/application/forms/objects/FormPeripheralOverview.h"

#include "Libraries/base/i18n.h"
#include "Libraries/misc/text.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/Widget.h"
#include "SourceApp/application/controls/factories/ProxyWidgetFactory.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/gui/core/layout/Viewport.h"
#include "SourceApp/storage/OidList.h"
#include "SourceApp/storage/ProxyObject.h"

namespace tdx {

namespace {

constexpr unsigned short PERIPHERAL_PRODUCT = 1530;
constexpr uint32_t ADDRESS_MASK = 0xFFFFFF;

} // namespace

FormPeripheralOverview::FormPeripheralOverview(const State& state)
    : VexalStackedContentForm(state)
    , mOwner(state.getP1()) {
    setName("FormPeripheralOverview");
    if (Structure.find(mOwner) == nullptr) {
        backOrDefault();
        return;
    }
    const std::vector<uint32_t> ids = readList(mOwner);
    StackedContainer* content = getContent();
    mNotice = new ContainedLabel(content, 0, 0, content->getWidth(), mViewport->getHeight(), &bif_myriad12,
                                 gettext("There are no items to be shown"), HorizontalAlign::Center);
    mNotice->setVisible(ids.empty());
    if (!ids.empty()) {
        updateObjects(ids);
    }
    content->fitToContent();
    Structure.addValueChangeHandler(this);
}

FormPeripheralOverview::~FormPeripheralOverview() {
    Structure.removeValueChangeHandler(this);
}

std::vector<uint32_t> FormPeripheralOverview::readList(oid_t owner) {
    const OidList list = oid_list_read(owner, VID_PERIPHERALS);
    return {list.begin(), list.end()};
}

FormPeripheralOverview::WidgetStatusPair* FormPeripheralOverview::findPair(uint32_t id) {
    for (WidgetStatusPair& pair : mTiles) {
        if (pair.tile->tag == id) {
            return &pair;
        }
    }
    return nullptr;
}

Widget* FormPeripheralOverview::createWidget(ProxyObject& object) {
    Widget* tile =
        ProxyWidgetFactory::create(WidgetSmall::Builder{.mParent = getContent()}, object, getModel());
    if (tile != nullptr) {
        tile->tag = object.oid();
    }
    return tile;
}

Widget* FormPeripheralOverview::createWidget(uint32_t id) {
    Widget* tile = WidgetSmall::Builder{.mParent = getContent()}.build();
    tile->tag = id;
    tile->setHeadingLabel(format_serial_number(PERIPHERAL_PRODUCT, id & ADDRESS_MASK));
    tile->setFirstLabel(gettext("Peripheral is unreachable"));
    tile->setEnabled(false);
    return tile;
}

void FormPeripheralOverview::updateObjects(const std::vector<uint32_t>& ids) {
    for (const WidgetStatusPair& pair : mTiles) {
        pair.tile->setVisible(false);
    }
    bool shown = false;
    for (const uint32_t id : ids) {
        if (WidgetStatusPair* pair = findPair(id)) {
            pair->tile->setVisible(true);
            shown = true;
        } else if (ProxyObject* object = Structure.find(id)) {
            // An object without a tile is offered to the factory again at the next update.
            if (Widget* tile = createWidget(*object)) {
                mTiles.push_back({tile, false});
                shown = true;
            }
        } else {
            mTiles.push_back({createWidget(id), true});
            shown = true;
        }
    }
    mNotice->setVisible(!shown);
    getContent()->fitToContent();
}

void FormPeripheralOverview::updateUnreachableObject(ProxyObject& object) {
    WidgetStatusPair* pair = findPair(object.oid());
    if (pair == nullptr || !pair->unreachable) {
        return;
    }
    Widget* tile = createWidget(object);
    if (tile == nullptr) {
        return;
    }
    auto* standIn = pair->tile;
    standIn->setVisible(false);
    standIn->close();
    *pair = {tile, false};
    getContent()->fitToContent();
}

void FormPeripheralOverview::handleProxyValueChange(ProxyObject& object, const OviEx& change) {
    // The list is this screen's object's alone: a list value of any other object says nothing about it.
    if (change.vid == VID_PERIPHERALS && object.oid() == mOwner) {
        updateObjects(readList(mOwner));
    } else if (change.vid == VID_DEVICE_STATE && oid_index(object.oid()) == 0) {
        updateUnreachableObject(object);
    }
}

} // namespace tdx
