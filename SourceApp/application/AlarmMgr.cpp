#include "SourceApp/application/AlarmMgr.h"

#include "SourceApp/application/App.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/storage/DataModel.h"

#include <algorithm>
#include <set>

namespace tdx {

using DataModel::Descriptor::VidAlarm;

const buzzer_note_t sound_alarm[40] = {
    {300, 2500, 100}, {300, 2475, 100}, {295, 2450, 100}, {290, 2425, 100}, {285, 2400, 100},
    {280, 2375, 100}, {275, 2350, 100}, {270, 2325, 100}, {265, 2300, 100}, {260, 2275, 100},
    {255, 2250, 100}, {250, 2225, 100}, {245, 2200, 100}, {240, 2175, 100}, {235, 2150, 100},
    {230, 2125, 100}, {225, 2100, 100}, {220, 2075, 100}, {215, 2050, 100}, {210, 2025, 95},
    {195, 2000, 90},  {190, 1975, 85},  {185, 1950, 80},  {180, 1925, 75},  {175, 1900, 70},
    {170, 1875, 65},  {165, 1750, 60},  {160, 1625, 55},  {175, 1800, 60},  {170, 1775, 55},
    {165, 1650, 50},  {160, 1525, 45},  {35, 0, 50},      {35, 0, 50},      {35, 0, 50},
    {35, 0, 50},      {35, 0, 50},      {35, 0, 50},      {35, 0, 50},      {35, 0, 50},
};

const buzzer_note_t sound_warning[12] = {
    {130, 1976, 100}, {130, 3951, 100}, {130, 1976, 100}, {130, 3951, 100},
    {35, 0, 100},     {35, 0, 100},     {35, 0, 100},     {35, 0, 100},
    {130, 1976, 100}, {130, 3951, 100}, {130, 1976, 100}, {130, 3951, 100},
};

namespace {

constexpr uint32_t NO_CODE = 0xFFFFFFFFu;
// Value-id lists longer than this are read only this far.
constexpr size_t MAX_LISTED_VALUES = 128;

bool isAlarmId(unsigned vid) {
    return (vid & 0xF000u) == 0x4000u;
}

bool isSevere(const VidAlarm* descriptor) {
    return descriptor != nullptr && descriptor->severity == 1;
}

// The alarm descriptor of the object's value, null when the value is no alarm this manager shows. The type
// comes from the network: one the object type does not have for this id finds nothing (the template traces
// it).
const VidAlarm* alarmDescriptor(const ProxyObject& object, vid_t vid, bt_vtype vtype) {
    using namespace DataModel::Descriptor;
    const DataModel::ObjectTemplate* objectTemplate = object.getTemplate();
    const DataModel::Value* value =
        objectTemplate != nullptr ? objectTemplate->findValue(vid, vtype) : nullptr;
    if (value == nullptr || value->descriptor()->kind != KIND_NUMBER) {
        return nullptr;
    }
    if (static_cast<const VidNumber*>(value->descriptor())->role != NumberRole::Alarm) {
        return nullptr;
    }
    const auto* alarm = static_cast<const VidAlarm*>(value->descriptor());
    return alarm->excluded == 0 ? alarm : nullptr;
}

} // namespace

AlarmState::Enum AlarmMgr::getAlarmState() const {
    if (mEntries.empty()) {
        return AlarmState::None;
    }
    return mHasAlarm ? AlarmState::Alarm : AlarmState::Warnings;
}

void AlarmMgr::snooze() {
    if (!mEntries.empty()) {
        mSnoozed = true;
        stopAlarm();
    }
}

void AlarmMgr::setEnabled(bool on) {
    if (on == mEnabled) {
        return;
    }
    if (on) {
        mEnabled = true;
        for (ProxyObject* object : Structure) {
            handleProxyObjectAppend(object);
        }
        return;
    }
    // By the entries' objects rather than the tree's: an object dropped without notice keeps no entry.
    std::set<oid_t> objects;
    for (const AlarmEntry& entry : mEntries) {
        objects.insert(entry.oid);
    }
    for (oid_t oid : objects) {
        removeEntriesOf(oid);
        sendMessage(MSG_ALARM_REMOVED);
    }
    mEnabled = false;
}

void AlarmMgr::fireAlarm(AlarmState::Enum state) {
    if (state == AlarmState::None || state == AlarmState::Warnings) {
        buzzer.play(sound_alarm, std::size(sound_alarm), true);
    }
}

void AlarmMgr::fireWarning(AlarmState::Enum) {
    buzzer.play(sound_warning, std::size(sound_warning), false);
}

void AlarmMgr::stopAlarm() {
    buzzer.stop();
}

void AlarmMgr::updateAlarmState() {
    mHasAlarm = std::any_of(mEntries.begin(), mEntries.end(),
                            [](const AlarmEntry& e) { return isSevere(e.descriptor); });
}

void AlarmMgr::handleProxyValueChange(ProxyObject& object, const OviEx& change) {
    if (mEnabled && isAlarmId(change.vid) && BT_VTYPE_IS_U(change.vtype)) {
        handleAlarmValue(object, change.vid, static_cast<bt_vtype>(change.vtype));
    }
}

void AlarmMgr::handleProxyObjectAppend(ProxyObject* object) {
    if (!mEnabled || object == nullptr) {
        return;
    }
    uint8_t list[MAX_LISTED_VALUES * 2];
    const int bytes = pt_get_data(list, sizeof list, object->oid(), VID_VALUE_LIST);
    if (bytes <= 0) {
        return;
    }
    const size_t count = std::min(static_cast<size_t>(bytes) / 2, MAX_LISTED_VALUES);
    for (size_t i = 0; i < count; ++i) {
        const vid_t vid = static_cast<vid_t>(list[2 * i] | (list[2 * i + 1] << 8));
        bt_vtype vtype = 0;
        if (isAlarmId(vid) && pt_get_vtype(&vtype, object->oid(), vid) == PT_OK) {
            handleAlarmValue(*object, vid, vtype);
        }
    }
}

void AlarmMgr::handleProxyObjectRemove(ProxyObject* object) {
    if (!mEnabled || object == nullptr) {
        return;
    }
    if (removeEntriesOf(object->oid())) {
        sendMessage(MSG_ALARM_REMOVED);
    }
}

void AlarmMgr::handleAlarmValue(ProxyObject& object, vid_t vid, bt_vtype vtype) {
    uint32_t code = NO_CODE;
    int value = 0;
    if (pt_get_int(&value, object.oid(), vid) == PT_OK) {
        code = static_cast<uint32_t>(value);
    }
    const VidAlarm* descriptor = alarmDescriptor(object, vid, vtype);
    if (descriptor == nullptr) {
        return;
    }
    const bool active = code != 0 && code != NO_CODE;
    auto entry = std::find(mEntries.begin(), mEntries.end(), AlarmEntry{object.oid(), vid, nullptr, 0});
    if (entry == mEntries.end()) {
        if (active) {
            addAlarmEntry({object.oid(), vid, descriptor, code});
        }
    } else if (!active) {
        removeAlarmEntry(entry);
    } else if (entry->value != code) {
        updateAlarmEntry(entry, code);
    }
}

void AlarmMgr::addAlarmEntry(const AlarmEntry& entry) {
    const AlarmState::Enum previous = getAlarmState();
    if (isSevere(entry.descriptor)) {
        mHasAlarm = true;
    }
    mEntries.push_back(entry);
    // A second alarm, or a warning joining other entries, starts nothing and keeps the snooze.
    if (!mMuted) {
        if (mHasAlarm && previous != AlarmState::Alarm) {
            fireAlarm(previous);
            mSnoozed = false;
        } else if (!mHasAlarm && previous == AlarmState::None) {
            fireWarning(previous);
            mSnoozed = false;
        }
    }
    sendMessage(MSG_ALARM_ADDED);
}

void AlarmMgr::removeAlarmEntry(iterator entry) {
    mEntries.erase(entry);
    silenceWithoutAlarm();
    sendMessage(MSG_ALARM_REMOVED);
}

void AlarmMgr::updateAlarmEntry(iterator entry, uint32_t code) {
    entry->value = code;
    if (!mMuted && entry->descriptor != nullptr && entry->descriptor->severity != 0) {
        if (mHasAlarm) {
            mSnoozed = false; // the running melody goes on
        } else {
            // Kept as designed, though it cannot run: an entry of severity 1 always sets mHasAlarm.
            fireWarning(getAlarmState());
            mSnoozed = false;
        }
    }
    sendMessage(MSG_ALARM_CHANGED);
}

bool AlarmMgr::removeEntriesOf(oid_t oid) {
    const size_t removed = std::erase_if(mEntries, [oid](const AlarmEntry& e) { return e.oid == oid; });
    silenceWithoutAlarm();
    return removed > 0;
}

void AlarmMgr::silenceWithoutAlarm() {
    updateAlarmState();
    if (!mHasAlarm) {
        stopAlarm();
    }
}

void AlarmMgr::sendMessage(unsigned id) {
    getApplication()->getCore()->sendMessage(nullptr, id, 0, 0, 0, 0);
}

} // namespace tdx
