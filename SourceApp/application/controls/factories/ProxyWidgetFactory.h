// Dashboard tiles for mirrored objects. Ten widget templates, one per kind of tile, know which values a kind
// of object shows, which screen its arrow opens and which icons its large tile carries; the factory builds
// the tile for the first template (in the order of Templates) that takes the object.
#pragma once

#include "SourceApp/application/controls/Widget.h"
#include "SourceApp/application/resources/resource_names.h"
#include "SourceApp/big_table/bt_types.h"

#include <array>
#include <string>

namespace tdx {

class FormModel;
class ProxyObject;

class WidgetTemplate {
public:
    virtual ~WidgetTemplate() = default;
    virtual bool isSupported(ProxyObject& object) const = 0;
    // Fill the tile for the object, bind its live values to the screen's form model and return it.
    virtual Widget* bind(Widget* tile, ProxyObject& object, FormModel& model) const;
    virtual WidgetLarge* bind(WidgetLarge* tile, ProxyObject& object, FormModel& model) const;

protected:
    // What both tiles show; large picks the large tile's short captions.
    virtual void commonBind(Widget* tile, ProxyObject& object, FormModel& model, bool large) const = 0;
    // What only the large tile has: icons and controllers.
    virtual void bindLarge(WidgetLarge*, ProxyObject&, FormModel&) const {}
};

// Accepts every object of its type.
class AnyObjectTemplate : public WidgetTemplate {
public:
    bool isSupported(ProxyObject&) const override { return true; }
};

class RoomWidgetTemplate : public AnyObjectTemplate {
protected:
    void commonBind(Widget* tile, ProxyObject& object, FormModel& model, bool large) const override;
    void bindLarge(WidgetLarge* tile, ProxyObject& object, FormModel& model) const override;
};

// The inlet temperature controller, the heating/cooling circuit and the hot-water tank: two temperatures and,
// on the large tile, icons switched by one value.
class HeatingWidgetTemplate : public AnyObjectTemplate {
public:
    struct Icon {
        unsigned key;
        resource_id resource;
    };
    struct IconRule {
        unsigned value;
        unsigned key;
    };
    struct Look {
        unsigned state;
        vid_t first;
        const char* firstCaption[2]; // large, small
        vid_t second;
        vid_t iconValue;
        std::array<Icon, 3> icons;
        std::array<IconRule, 3> rules;
        unsigned ruleCount;
    };
    explicit HeatingWidgetTemplate(const Look& look)
        : mLook(look) {}

protected:
    void commonBind(Widget* tile, ProxyObject& object, FormModel& model, bool large) const override;
    void bindLarge(WidgetLarge* tile, ProxyObject& object, FormModel& model) const override;

private:
    Look mLook;
};

class ItcWidgetTemplate : public HeatingWidgetTemplate {
public:
    ItcWidgetTemplate();
};

class HccWidgetTemplate : public HeatingWidgetTemplate {
public:
    HccWidgetTemplate();
};

class DhwTankWidgetTemplate : public HeatingWidgetTemplate {
public:
    DhwTankWidgetTemplate();
};

class DhwWidgetTemplate : public AnyObjectTemplate {
protected:
    void commonBind(Widget* tile, ProxyObject& object, FormModel& model, bool large) const override;
};

class OutputWidgetTemplate : public WidgetTemplate {
public:
    bool isSupported(ProxyObject& object) const override;

protected:
    void commonBind(Widget* tile, ProxyObject& object, FormModel& model, bool large) const override;
};

class ThermoheadWidgetTemplate : public WidgetTemplate {
public:
    bool isSupported(ProxyObject& object) const override;

protected:
    void commonBind(Widget* tile, ProxyObject& object, FormModel& model, bool large) const override;
};

// The large tile carries no status icons: its two readings say what the thermostat measures, and whether
// it is reachable shows in them.
class ThermostatWidgetTemplate : public WidgetTemplate {
public:
    bool isSupported(ProxyObject& object) const override;

protected:
    void commonBind(Widget* tile, ProxyObject& object, FormModel& model, bool large) const override;
};

class ExternalSensorWidgetTemplate : public WidgetTemplate {
public:
    bool isSupported(ProxyObject& object) const override;

protected:
    void commonBind(Widget* tile, ProxyObject& object, FormModel& model, bool large) const override;
};

class DeviceWidgetTemplate : public WidgetTemplate {
public:
    bool isSupported(ProxyObject& object) const override;
    // The device's software: its code, the version in two digits and the build ("b12") when there is one.
    static std::string softwareText(ProxyObject& object);

protected:
    void commonBind(Widget* tile, ProxyObject& object, FormModel& model, bool large) const override;
};

struct TemplateRow {
    u8 type;
    const WidgetTemplate* widgetTemplate;
};

// The rows in the order they are tried: the first whose type matches and whose template takes the object.
extern const std::array<TemplateRow, 10> Templates;

class ProxyWidgetFactory {
public:
    // The bound tile, or null (nothing built) when no template takes the object.
    static WidgetLarge* create(const WidgetLarge::Builder& builder, ProxyObject& object, FormModel& model);
    static WidgetSmall* create(const WidgetSmall::Builder& builder, ProxyObject& object, FormModel& model);
};

} // namespace tdx
