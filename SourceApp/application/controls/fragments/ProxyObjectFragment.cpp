#include "SourceApp/application/controls/fragments/ProxyObjectFragment.h"

#include "Libraries/base/i18n.h"
#include "Libraries/base/os.h"
#include "SourceApp/application/commands/bindings/FormModel.h"
#include "SourceApp/application/commands/bindings/ProxyEditorHandlers.h"
#include "SourceApp/application/commands/bindings/ProxySwitchButton.h"
#include "SourceApp/application/commands/bindings/ProxyUpDownRow.h"
#include "SourceApp/application/commands/bindings/ValueAdapters.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/factories/ProxyDropdownFactory.h"
#include "SourceApp/storage/DataModel.h"
#include "SourceApp/storage/ProxyObject.h"

#include <memory>
#include <string>

namespace tdx {

using namespace DataModel::Descriptor;

ProxyObjectFragment* ProxyObjectFragment::Builder::build(ProxyObject* object, FormModel& model) const {
    OS_ASSERT(object);
    return new ProxyObjectFragment(*this, *object, model);
}

ProxyObjectFragment::ProxyObjectFragment(const Builder& b, ProxyObject& object, FormModel& model)
    : StackedContainer(b.parent, b.x, b.y, b.width, b.height)
    , mModel(model)
    , mObject(object) {
    setSizing(b.fitWidth || b.width == 0 ? SIZING_FIT : SIZING_KEEP,
              b.fitHeight || b.height == 0 ? SIZING_FIT : SIZING_KEEP);
    setDirection(b.direction);
    setSpacing(b.spacing);
    setSpacingFillColor(b.spacingFillColor);
    setName("ProxyObjectFragment");

    if (const DataModel::ObjectTemplate* t = object.getTemplate()) {
        for (const DataModel::Value* value : *t) {
            if (!value->isUserEditable()) {
                continue;
            }
            OS_ASSERT(value->descriptor());
            const VidBase* d = value->descriptor();
            if (d->kind == KIND_DATA) {
                addData(static_cast<const VidData*>(d));
            } else if (d->kind == KIND_NUMBER) {
                addNumber(static_cast<const VidNumber*>(d));
            }
        }
    }
    fitToContent();
}

Container* ProxyObjectFragment::addTitledRow(const VidBase& d, ContainedLabel** title) {
    auto* row = new RowContainer(this, 0, 0, getWidth(), ROW_HEIGHT);
    row->setSpacing(0);
    auto* label = new ContainedLabel(row, TITLE_X, 0, getWidth() - (VALUE_WIDTH + 10), ROW_HEIGHT,
                                     &bif_myriad12, gettext(d.name));
    if (title != nullptr) {
        *title = label;
    }
    return row;
}

ContainedLabel* ProxyObjectFragment::addValueLabel(Container* row) {
    return new ContainedLabel(row, 0, 0, VALUE_WIDTH, ROW_HEIGHT, &bif_myriad12, NO_VALUE_TEXT,
                              HorizontalAlign::Center);
}

void ProxyObjectFragment::addToggle(const VidUnsignedNumber* d) {
    ContainedLabel* title = nullptr;
    Container* row = addTitledRow(*d, &title);
    auto* toggle = new ProxySwitchButton(row, 0, 2, UnsignedOvi(mObject.oid(), d->vid, d->vtype, d),
                                         pgettext("switch", "On"), pgettext("switch", "Off"));
    if (d->readOnly != 0) {
        title->setEnabled(false);
        toggle->setEnabled(false);
    }
}

void ProxyObjectFragment::addUpDown(const VidSignedNumber* d) {
    new ProxyUpDownRow(this, 0, 0, getWidth(), ROW_HEIGHT, SignedOvi(mObject.oid(), d->vid, d->vtype, d),
                       mModel, gettext(d->name));
}

void ProxyObjectFragment::addUpDown(const VidUnsignedNumber* d) {
    new ProxyUpDownRow(this, 0, 0, getWidth(), ROW_HEIGHT, UnsignedOvi(mObject.oid(), d->vid, d->vtype, d),
                       mModel, gettext(d->name));
}

void ProxyObjectFragment::addData(const VidData* d) {
    if (d->role != DataRole::String) {
        return;
    }
    std::string text;
    mObject.getText(text, d->vid);
    auto* row = new EditableStringRow(this, 0, 0, getWidth(), gettext(d->name), text);
    row->setOnAcceptCommand(
        std::make_unique<ProxyStringEditorHandler>(row, DataOvi(mObject.oid(), d->vid, d->vtype, d)));
}

void ProxyObjectFragment::addStatusNumber(const VidSignedNumber* d) {
    const SignedOvi ovi(mObject.oid(), d->vid, d->vtype, d);
    mModel.bind(new NumberValueToStringComponentAdapter(addValueLabel(addTitledRow(*d)), ovi), ovi);
}

void ProxyObjectFragment::addStatusNumber(const VidUnsignedNumber* d) {
    const UnsignedOvi ovi(mObject.oid(), d->vid, d->vtype, d);
    mModel.bind(new NumberValueToStringComponentAdapter(addValueLabel(addTitledRow(*d)), ovi), ovi);
}

void ProxyObjectFragment::addStatusEnum(const VidEnum* d) {
    const EnumOvi ovi(mObject.oid(), d->vid, d->vtype, d);
    mModel.bind(new UnsignedToEnumAdapter(addValueLabel(addTitledRow(*d)), ovi), ovi);
}

void ProxyObjectFragment::addEnum(const VidEnum* d) {
    if (d->readOnly != 0) {
        addStatusEnum(d);
    } else {
        ProxyDropdownFactory::create(this, EnumOvi(mObject.oid(), d->vid, d->vtype, d));
    }
}

void ProxyObjectFragment::addNumber(const VidSignedNumber* d) {
    if (d->role != NumberRole::Plain) {
        return;
    }
    if (d->readOnly != 0) {
        addStatusNumber(d);
    } else {
        addUpDown(d);
    }
}

void ProxyObjectFragment::addNumber(const VidUnsignedNumber* d) {
    if (d->role == NumberRole::Toggle) {
        addToggle(d);
    } else if (d->role == NumberRole::Plain) {
        if (d->readOnly != 0) {
            addStatusNumber(d);
        } else {
            addUpDown(d);
        }
    }
}

void ProxyObjectFragment::addNumber(const VidNumber* d) {
    if (d->role == NumberRole::Enumeration) {
        addEnum(static_cast<const VidEnum*>(d));
    } else if (d->isSigned != 0) {
        addNumber(static_cast<const VidSignedNumber*>(d));
    } else {
        addNumber(static_cast<const VidUnsignedNumber*>(d));
    }
}

} // namespace tdx
