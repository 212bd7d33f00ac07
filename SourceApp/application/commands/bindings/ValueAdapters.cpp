#include "SourceApp/application/commands/bindings/ValueAdapters.h"

#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"
#include "Libraries/base/os.h"
#include "SourceApp/application/commands/bindings/RoomController.h"
#include "SourceApp/application/controls/IStringComponent.h"
#include "SourceApp/application/controls/SortedIconList.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/DataModel.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/ProxyStructure.h"

namespace tdx {

namespace {

constexpr vid_t VID_SOFTWARE_CODE = 0x80E4;
constexpr vid_t VID_SOFTWARE_VERSION = 0x800D;
constexpr vid_t VID_SOFTWARE_BUILD = 0x809E;
constexpr vid_t VID_HARDWARE_CODE = 0x80E3;
constexpr vid_t VID_HARDWARE_VERSION = 0x800E;

std::string versionText(const ProxyObject& device, vid_t designation, vid_t number) {
    const std::optional<int> version = pt_read_int(device.oid(), number);
    if (!version) {
        return NO_VALUE_TEXT;
    }
    std::string prefix;
    device.getText(prefix, designation);
    return fmt("%s%02u", prefix, static_cast<unsigned>(*version) & 0xFF);
}

template <class D>
std::unique_ptr<DataModel::Formatter> descriptorFormatter(const D* descriptor) {
    if (descriptor == nullptr) {
        return std::make_unique<DataModel::NumericFormatter>();
    }
    return std::unique_ptr<DataModel::Formatter>(DataModel::createFormatter(*descriptor));
}

// The number as the formatter writes it, "--" when the value table has no valid number of that kind.
std::string formatValue(const Ovi& ovi, bool isSigned, const DataModel::Formatter& formatter) {
    int value = 0;
    if (pt_get_int(&value, ovi.oid, ovi.vid) != PT_OK) {
        return NO_VALUE_TEXT;
    }
    return isSigned ? formatter.format(value) : formatter.format(static_cast<unsigned>(value));
}

} // namespace

// ---- DataValueToStringComponentAdapter ----

DataValueToStringComponentAdapter::DataValueToStringComponentAdapter(IStringComponent* target,
                                                                     const DataOvi& ovi)
    : mTarget(target)
    , mOvi(ovi) {
    OS_ASSERT(target != nullptr);
}

void DataValueToStringComponentAdapter::execute() {
    std::string text;
    if (const ProxyObject* object = Structure.find(mOvi.oid)) {
        object->getText(text, mOvi.vid);
    }
    mTarget->setText(text);
}

// ---- UnsignedToEnumAdapter ----

UnsignedToEnumAdapter::UnsignedToEnumAdapter(IStringComponent* target, const EnumOvi& ovi)
    : mTarget(target)
    , mOvi(ovi) {
    OS_ASSERT(target != nullptr);
}

void UnsignedToEnumAdapter::execute() {
    int value = 0;
    const char* text = nullptr;
    if (mOvi.descriptor != nullptr && pt_get_int(&value, mOvi.oid, mOvi.vid) == PT_OK) {
        text = mOvi.descriptor->optionText(static_cast<u32>(value));
    }
    mTarget->setText(text != nullptr ? gettext(text) : NO_VALUE_TEXT);
}

// ---- NumberValueToStringComponentAdapter ----

NumberValueToStringComponentAdapter::NumberValueToStringComponentAdapter(
    IStringComponent* target, const Ovi& ovi, bool isSigned, std::unique_ptr<DataModel::Formatter> formatter)
    : mTarget(target)
    , mOvi(ovi)
    , mSigned(isSigned)
    , mFormatter(std::move(formatter)) {
    OS_ASSERT(target != nullptr);
}

NumberValueToStringComponentAdapter::NumberValueToStringComponentAdapter(IStringComponent* target,
                                                                         const SignedOvi& ovi)
    : NumberValueToStringComponentAdapter(target, ovi, true, descriptorFormatter(ovi.descriptor)) {}

NumberValueToStringComponentAdapter::NumberValueToStringComponentAdapter(IStringComponent* target,
                                                                         const UnsignedOvi& ovi)
    : NumberValueToStringComponentAdapter(target, ovi, false, descriptorFormatter(ovi.descriptor)) {}

NumberValueToStringComponentAdapter::NumberValueToStringComponentAdapter(
    IStringComponent* target, const SignedOvi& ovi, std::unique_ptr<DataModel::Formatter> formatter)
    : NumberValueToStringComponentAdapter(target, ovi, true, std::move(formatter)) {}

NumberValueToStringComponentAdapter::NumberValueToStringComponentAdapter(
    IStringComponent* target, const UnsignedOvi& ovi, std::unique_ptr<DataModel::Formatter> formatter)
    : NumberValueToStringComponentAdapter(target, ovi, false, std::move(formatter)) {}

void NumberValueToStringComponentAdapter::execute() {
    mTarget->setText(formatValue(mOvi, mSigned, *mFormatter));
}

// ---- RoomDesiredToStringComponentAdapter ----

RoomDesiredToStringComponentAdapter::RoomDesiredToStringComponentAdapter(IStringComponent* target,
                                                                         const SignedOvi& desired)
    : mTarget(target)
    , mRoom(desired.oid)
    , mFormatter(descriptorFormatter(desired.descriptor)) {
    OS_ASSERT(target != nullptr);
}

void RoomDesiredToStringComponentAdapter::execute() {
    const std::optional<int> desired = RoomController(mRoom).getDesiredTemperature();
    mTarget->setText(desired ? mFormatter->format(*desired) : NO_VALUE_TEXT);
}

// ---- UnsignedValueToIconListAdapter ----

UnsignedValueToIconListAdapter::UnsignedValueToIconListAdapter(SortedIconList* list, const UnsignedOvi& ovi)
    : mList(list)
    , mOvi(ovi) {
    OS_ASSERT(list != nullptr);
}

void UnsignedValueToIconListAdapter::addIconIndex(unsigned value, unsigned iconId) {
    mPairs.emplace_back(value, iconId);
}

void UnsignedValueToIconListAdapter::execute() {
    int raw = 0;
    const bool readable = pt_get_int(&raw, mOvi.oid, mOvi.vid) == PT_OK;
    for (const auto& [value, icon] : mPairs) {
        mList->setIconVisible(icon, readable && static_cast<unsigned>(raw) == value);
    }
}

// ---- DeviceNumberToStringListener ----

DeviceNumberToStringListener::DeviceNumberToStringListener(IStringComponent* target, const Ovi& ovi,
                                                           bool isSigned,
                                                           std::unique_ptr<DataModel::Formatter> formatter,
                                                           const std::string& offlineText)
    : mTarget(target)
    , mOvi(ovi)
    , mSigned(isSigned)
    , mFormatter(std::move(formatter))
    , mOfflineText(offlineText) {
    OS_ASSERT(target != nullptr);
    update();
}

DeviceNumberToStringListener::DeviceNumberToStringListener(IStringComponent* target, const SignedOvi& ovi,
                                                           const std::string& offlineText)
    : DeviceNumberToStringListener(target, ovi, true, descriptorFormatter(ovi.descriptor), offlineText) {}

DeviceNumberToStringListener::DeviceNumberToStringListener(IStringComponent* target, const UnsignedOvi& ovi,
                                                           const std::string& offlineText)
    : DeviceNumberToStringListener(target, ovi, false, descriptorFormatter(ovi.descriptor), offlineText) {}

DeviceNumberToStringListener::DeviceNumberToStringListener(IStringComponent* target, const SignedOvi& ovi,
                                                           std::unique_ptr<DataModel::Formatter> formatter,
                                                           const std::string& offlineText)
    : DeviceNumberToStringListener(target, ovi, true, std::move(formatter), offlineText) {}

DeviceNumberToStringListener::DeviceNumberToStringListener(IStringComponent* target, const UnsignedOvi& ovi,
                                                           std::unique_ptr<DataModel::Formatter> formatter,
                                                           const std::string& offlineText)
    : DeviceNumberToStringListener(target, ovi, false, std::move(formatter), offlineText) {}

void DeviceNumberToStringListener::handleNotify(ProxyObject&, const Ovi& ovi) {
    const oid_t device = oid_make(oid_address(mOvi.oid), 0);
    if (ovi == mOvi || (ovi.oid == device && ovi.vid == VID_DEVICE_STATE)) {
        update();
    }
}

void DeviceNumberToStringListener::update() {
    if (Structure.find(mOvi.oid) == nullptr) {
        mTarget->setText(NO_VALUE_TEXT);
        return;
    }
    int state = 0;
    const oid_t device = oid_make(oid_address(mOvi.oid), 0);
    if (pt_get_int(&state, device, VID_DEVICE_STATE) != PT_OK || state != DEVICE_ONLINE) {
        mTarget->setText(mOfflineText.empty() ? gettext("Off-line") : mOfflineText);
        return;
    }
    mTarget->setText(formatValue(mOvi, mSigned, *mFormatter));
}

std::string device_software_text(const ProxyObject& device) {
    std::string software = versionText(device, VID_SOFTWARE_CODE, VID_SOFTWARE_VERSION);
    const unsigned build =
        static_cast<unsigned>(pt_read_int(device.oid(), VID_SOFTWARE_BUILD).value_or(0)) & 0xFF;
    // Builds 0 and 255 are no builds.
    if (software != NO_VALUE_TEXT && build >= 1 && build <= 254) {
        software += fmt("b%u", build);
    }
    return software;
}

std::string device_hardware_text(const ProxyObject& device) {
    return versionText(device, VID_HARDWARE_CODE, VID_HARDWARE_VERSION);
}

} // namespace tdx
