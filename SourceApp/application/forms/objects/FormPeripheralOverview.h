// The peripherals listed in value 0x80AE of one object (state parameter 1): of the whole installation for the
// location object, or of one room. One small tile per peripheral, in list order; a peripheral that the object
// tree does not hold yet shows a disabled stand-in with its serial number until it reports its device state.
// The screen follows changes of the list.
#pragma once

#include "SourceApp/application/forms/VexalStackedContentForm.h"
#include "SourceApp/storage/ProxyStructure.h"

#include <cstdint>
#include <vector>

namespace tdx {

class ContainedLabel;
class Widget;

class FormPeripheralOverview : public VexalStackedContentForm, public ProxyValueChangeHandler {
public:
    static constexpr vid_t VID_PERIPHERALS = 0x80AE;
    static constexpr vid_t VID_DEVICE_STATE = 0x002F;
    static constexpr size_t MAX_PERIPHERALS = 64;

    explicit FormPeripheralOverview(const State& state);
    ~FormPeripheralOverview() override;

protected:
    void handleProxyValueChange(ProxyObject& object, const OviEx& change) override;

private:
    struct WidgetStatusPair {
        Widget* tile;
        bool unreachable; // a stand-in for a peripheral the object tree does not hold
    };

    // The object ids of the list value, at most 64; none when the value cannot be read.
    static std::vector<uint32_t> readList(oid_t owner);
    // Shows the tiles of the listed ids, in list order, creating those that are missing; hides the others.
    void updateObjects(const std::vector<uint32_t>& ids);
    // The live tile for a peripheral that has entered the tree replaces its stand-in.
    void updateUnreachableObject(ProxyObject& object);
    Widget* createWidget(ProxyObject& object);
    Widget* createWidget(uint32_t id);
    WidgetStatusPair* findPair(uint32_t id);

    oid_t mOwner;
    ContainedLabel* mNotice = nullptr;
    std::vector<WidgetStatusPair> mTiles; // in creation order, never shortened
};

} // namespace tdx
