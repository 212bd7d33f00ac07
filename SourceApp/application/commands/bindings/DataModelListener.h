// A listener that a screen's form model tells of every value change; it filters for itself.
#pragma once

#include "SourceApp/storage/Ovi.h"

namespace tdx {

class ProxyObject;

namespace DataModel {

class Listener {
public:
    virtual ~Listener() = default;
    void notify(ProxyObject& object, const Ovi& ovi) { handleNotify(object, ovi); }

protected:
    virtual void handleNotify(ProxyObject& object, const Ovi& ovi) = 0;
};

} // namespace DataModel
} // namespace tdx
