// A weekly or monthly event time packed in 16 bits: bits 0-5 minute, 6-10 hour, 11-12 mode (0 weekly, else
// monthly), 13-15 day (weekly: 0 Monday .. 6 Sunday; monthly: day of the month). Stored low byte first.
#pragma once

#include "Libraries/base/bytes.h"
#include "SourceApp/big_table/bt_types.h"

namespace tdx {

class WeekdayEvent {
public:
    enum : u8 { MODE_WEEKLY = 0 };

    constexpr WeekdayEvent() = default;
    constexpr explicit WeekdayEvent(u16 raw)
        : mRaw(raw) {}
    constexpr WeekdayEvent(u8 mode, u8 day, u8 hour, u8 minute)
        : mRaw(static_cast<u16>((minute & 0x3F) | ((hour & 0x1F) << 6) | ((mode & 0x3) << 11) |
                                ((day & 0x7) << 13))) {}

    constexpr u8 minute() const { return mRaw & 0x3F; }
    constexpr u8 hour() const { return (mRaw >> 6) & 0x1F; }
    constexpr u8 mode() const { return (mRaw >> 11) & 0x3; }
    constexpr u8 day() const { return static_cast<u8>(mRaw >> 13); }
    constexpr bool isWeekly() const { return mode() == MODE_WEEKLY; }
    constexpr u16 raw() const { return mRaw; }

    // Each rewrites its own bits only; a number too large for the field is cut to the field's bits.
    constexpr void setMinute(u8 minute) { mRaw = static_cast<u16>((mRaw & ~0x003Fu) | (minute & 0x3Fu)); }
    constexpr void setHour(u8 hour) { mRaw = static_cast<u16>((mRaw & ~0x07C0u) | ((hour & 0x1Fu) << 6)); }
    constexpr void setDay(u8 day) { mRaw = static_cast<u16>((mRaw & ~0xE000u) | ((day & 0x7u) << 13)); }

    // The two bytes of the data value, low byte first.
    constexpr void store(u8 bytes[2]) const { put_le16(bytes, mRaw); }
    static constexpr WeekdayEvent load(const u8 bytes[2]) { return WeekdayEvent(get_le16(bytes)); }

    constexpr bool operator==(const WeekdayEvent&) const = default;

private:
    u16 mRaw = 0;
};

} // namespace tdx
