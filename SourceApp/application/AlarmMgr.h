// The active alarms and warnings of the installation. The control unit reports them as values 0x40xx of the
// mirrored objects: 0 (or no value) is inactive, any other number names the active condition. The manager
// keeps one entry per active value, oldest first, tells the screens of changes by the system messages
// MSG_ALARM_ADDED, MSG_ALARM_REMOVED and MSG_ALARM_CHANGED, and sounds the buzzer: the alarm melody in a loop
// when the first alarm comes, the warning melody once when the first warning comes. The user can snooze it.
#pragma once

#include "SourceApp/drivers/buzzer.h"
#include "SourceApp/storage/ProxyStructure.h"

#include <list>

namespace tdx {

namespace DataModel::Descriptor {
struct VidAlarm;
}

// 40 notes, looped.
extern const buzzer_note_t sound_alarm[40];
// 12 notes, once.
extern const buzzer_note_t sound_warning[12];

struct AlarmState {
    enum Enum { None = 0, Warnings = 1, Alarm = 2 };
};

class AlarmMgr : public ProxyValueChangeHandler,
                 public ProxyObjectAppendHandler,
                 public ProxyObjectRemoveHandler {
public:
    struct AlarmEntry {
        oid_t oid;
        vid_t vid;
        const DataModel::Descriptor::VidAlarm* descriptor;
        uint32_t value; // the active code: never 0 or 0xFFFFFFFF
        bool operator==(const AlarmEntry& other) const { return oid == other.oid && vid == other.vid; }
    };
    using const_iterator = std::list<AlarmEntry>::const_iterator;

    AlarmMgr() = default;
    AlarmMgr(const AlarmMgr&) = delete;
    AlarmMgr& operator=(const AlarmMgr&) = delete;

    // The entries, oldest first.
    const_iterator begin() const { return mEntries.begin(); }
    const_iterator end() const { return mEntries.end(); }

    AlarmState::Enum getAlarmState() const;
    // Silences the buzzer until the next alarm; nothing without entries.
    void snooze();
    bool isSnoozed() const { return mSnoozed; }
    // While muted no melody starts.
    void setMuted(bool muted) { mMuted = muted; }
    bool isMuted() const { return mMuted; }
    // Disabling forgets every entry; enabling picks up the active alarms of the whole tree.
    void setEnabled(bool on);

    // The alarm melody for a state that is not yet Alarm.
    void fireAlarm(AlarmState::Enum state);
    void fireWarning(AlarmState::Enum state);
    void stopAlarm();
    void updateAlarmState();

protected:
    void handleProxyValueChange(ProxyObject& object, const OviEx& change) override;
    void handleProxyObjectAppend(ProxyObject* object) override;
    void handleProxyObjectRemove(ProxyObject* object) override;

private:
    using iterator = std::list<AlarmEntry>::iterator;

    void handleAlarmValue(ProxyObject& object, vid_t vid, bt_vtype vtype);
    void addAlarmEntry(const AlarmEntry& entry);
    void removeAlarmEntry(iterator entry);
    void updateAlarmEntry(iterator entry, uint32_t code);
    // Erases the object's entries; true when there were any.
    bool removeEntriesOf(oid_t oid);
    // After entries went: the buzzer stops unless an alarm is left.
    void silenceWithoutAlarm();
    void sendMessage(unsigned id);

    std::list<AlarmEntry> mEntries;
    bool mHasAlarm = false;
    bool mSnoozed = false;
    bool mMuted = false;
    bool mEnabled = true;
};

} // namespace tdx
