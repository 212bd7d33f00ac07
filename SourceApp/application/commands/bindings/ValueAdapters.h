// Adapters that copy one value of the data model into a widget: bound to a form model, they run once at
// once and again whenever the value changes. A value that cannot be read shows "--".
#pragma once

#include "SourceApp/application/commands/bindings/DataModelListener.h"
#include "SourceApp/gui/core/ICommand.h"
#include "SourceApp/storage/Formatters.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tdx {

class IStringComponent;
class SortedIconList;

// The number formatted by the value's descriptor, or by the formatter given.
class NumberValueToStringComponentAdapter : public ICommand {
public:
    NumberValueToStringComponentAdapter(IStringComponent* target, const SignedOvi& ovi);
    NumberValueToStringComponentAdapter(IStringComponent* target, const UnsignedOvi& ovi);
    NumberValueToStringComponentAdapter(IStringComponent* target, const SignedOvi& ovi,
                                        std::unique_ptr<DataModel::Formatter> formatter);
    NumberValueToStringComponentAdapter(IStringComponent* target, const UnsignedOvi& ovi,
                                        std::unique_ptr<DataModel::Formatter> formatter);

    void execute() override;

private:
    NumberValueToStringComponentAdapter(IStringComponent* target, const Ovi& ovi, bool isSigned,
                                        std::unique_ptr<DataModel::Formatter> formatter);

    IStringComponent* mTarget;
    Ovi mOvi;
    bool mSigned;
    std::unique_ptr<DataModel::Formatter> mFormatter;
};

// A room's desired temperature as its room screen shows it (RoomController::getDesiredTemperature), formatted
// by the descriptor of the desired temperature 0x001D it is given: the user's set temperature stands in for
// the one the control unit derives from it until the unit holds the change. Bound to 0x001D and to each value
// the user's change writes.
class RoomDesiredToStringComponentAdapter : public ICommand {
public:
    RoomDesiredToStringComponentAdapter(IStringComponent* target, const SignedOvi& desired);
    void execute() override;

private:
    IStringComponent* mTarget;
    oid_t mRoom;
    std::unique_ptr<DataModel::Formatter> mFormatter;
};

// A text value (an object's name, for one); "" while it cannot be read.
class DataValueToStringComponentAdapter : public ICommand {
public:
    DataValueToStringComponentAdapter(IStringComponent* target, const DataOvi& ovi);
    void execute() override;

private:
    IStringComponent* mTarget;
    DataOvi mOvi;
};

// The translated option text of an enumeration's current value; "--" for a value without one.
class UnsignedToEnumAdapter : public ICommand {
public:
    UnsignedToEnumAdapter(IStringComponent* target, const EnumOvi& ovi);
    void execute() override;

private:
    IStringComponent* mTarget;
    EnumOvi mOvi;
};

// Shows, of the icons paired with values, the one whose value the number has now and hides the others; a
// value that cannot be read shows none.
class UnsignedValueToIconListAdapter : public ICommand {
public:
    UnsignedValueToIconListAdapter(SortedIconList* list, const UnsignedOvi& ovi);

    // The icon key iconId is shown while the value equals value.
    void addIconIndex(unsigned value, unsigned iconId);
    void execute() override;

private:
    SortedIconList* mList;
    Ovi mOvi;
    std::vector<std::pair<unsigned, unsigned>> mPairs; // (value, icon key)
};

// A measurement of a device: the formatted number while the device is on-line (device state 2), the
// off-line text ("Off-line" when empty) while it is not, "--" while the object is not in the tree.
class DeviceNumberToStringListener : public DataModel::Listener {
public:
    DeviceNumberToStringListener(IStringComponent* target, const SignedOvi& ovi,
                                 const std::string& offlineText);
    DeviceNumberToStringListener(IStringComponent* target, const UnsignedOvi& ovi,
                                 const std::string& offlineText);
    DeviceNumberToStringListener(IStringComponent* target, const SignedOvi& ovi,
                                 std::unique_ptr<DataModel::Formatter> formatter,
                                 const std::string& offlineText);
    DeviceNumberToStringListener(IStringComponent* target, const UnsignedOvi& ovi,
                                 std::unique_ptr<DataModel::Formatter> formatter,
                                 const std::string& offlineText);

protected:
    void handleNotify(ProxyObject& object, const Ovi& ovi) override;

private:
    DeviceNumberToStringListener(IStringComponent* target, const Ovi& ovi, bool isSigned,
                                 std::unique_ptr<DataModel::Formatter> formatter,
                                 const std::string& offlineText);
    void update();

    IStringComponent* mTarget;
    Ovi mOvi;
    bool mSigned;
    std::unique_ptr<DataModel::Formatter> mFormatter;
    std::string mOfflineText;
};

// The text of a number that could not be read.
inline constexpr const char* NO_VALUE_TEXT = "--";

class ProxyObject;

// A device's software or hardware as its information rows show it: the designation and the two-digit
// number ("TDX05"), "--" when the number cannot be read rather than a made-up one.
std::string device_software_text(const ProxyObject& device); // with its build ("TDX05b3") for builds 1 to 254
std::string device_hardware_text(const ProxyObject& device);

} // namespace tdx
