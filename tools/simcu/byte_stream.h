// Byte transports of the simulated control unit: the control unit's end of the converter cable.
#pragma once

#include "Libraries/link_bus/link_bus.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <random>
#include <string>

namespace tdx {
struct comf_loop;
}

namespace tdx::sim {

class IByteStream {
public:
    virtual ~IByteStream() = default;
    // Bytes the display sent (up to max); 0 when none wait, -1 when the stream is gone.
    virtual int read(uint8_t* buf, int max) = 0;
    // Bytes taken for the display; -1 when the stream is gone.
    virtual int write(const uint8_t* buf, int len) = 0;
    // The converter echoes everything the display sends back to it while on.
    virtual void setEcho(bool on) = 0;
    // Milliseconds until the bytes written so far have crossed the line (0 for a stream without pacing).
    virtual uint32_t pendingMs() const { return 0; }
    // Bytes of the display are still crossing the line (none for a stream without pacing).
    virtual bool receiving() const { return false; }
};

// The RS-485 line between the converter and the display, around another stream: it carries one byte at a
// time in either direction (half duplex) at `baud` (10 bits a byte), on timer(), and may spoil a share of
// the bytes it carries. Bytes that have not crossed yet wait here; read and write release what is due.
// What the display sends waits in a receive buffer of a UART's size: a display (or anyone writing into the
// pseudo-terminal) that sends faster than the line carries loses the overflow, counted, and holds up the
// master's own frames by no more than the buffer's line time.
struct WireConfig {
    uint32_t baud = 57600;
    double noise = 0.0; // probability that a byte arrives with some bits flipped
    uint32_t seed = 1;
    // Room for the largest frame the display sends.
    size_t receiveBuffer = LINK_MAX_FRAME;
};

class WireStream : public IByteStream {
public:
    WireStream(IByteStream& inner, WireConfig config = {});

    int read(uint8_t* buf, int max) override;
    int write(const uint8_t* buf, int len) override;
    void setEcho(bool on) override { mInner.setEcho(on); }
    uint32_t pendingMs() const override;
    bool receiving() const override { return !mFromDisplay.empty(); }

    void setNoise(double noise) { mSpoil = std::bernoulli_distribution(std::clamp(noise, 0.0, 1.0)); }
    // Bytes that crossed the line, both ways, and how many of them were spoiled.
    uint64_t carried() const { return mCarried; }
    uint64_t spoiled() const { return mSpoiled; }
    // Bytes of the display lost because the receive buffer was full.
    uint64_t overrun() const { return mOverrun; }

private:
    // Times are counted in ticks of 1 / (1000 x baud) seconds from the stream's start: a millisecond is
    // `baud` ticks and a byte exactly 10 000, so that the byte time carries no rounding (173.6 us at 57600).
    struct InTransit {
        uint8_t byte;
        uint64_t due;
    };
    uint64_t now() const;
    // Schedules one byte on the line after everything already on it; spoils it with the noise probability.
    InTransit carry(uint8_t byte);
    void release();

    IByteStream& mInner;
    WireConfig mConfig;
    uint64_t mStartMs;
    uint64_t mLineFree = 0;
    std::deque<InTransit> mToDisplay;
    std::deque<InTransit> mFromDisplay;
    std::mt19937 mRandom;
    std::bernoulli_distribution mSpoil;
    uint64_t mCarried = 0;
    uint64_t mSpoiled = 0;
    uint64_t mOverrun = 0;
};

// In-process pipe registered as "loop:NAME" for the display's serial driver (deterministic tests).
class LoopStream : public IByteStream {
public:
    explicit LoopStream(const std::string& name);
    ~LoopStream() override;
    LoopStream(const LoopStream&) = delete;
    LoopStream& operator=(const LoopStream&) = delete;

    bool isOpen() const { return mLoop != nullptr; }
    // The port name for the display ("loop:NAME").
    const std::string& port() const { return mPort; }
    // Unplugs or replugs the converter.
    void setPlugged(bool plugged);

    int read(uint8_t* buf, int max) override;
    int write(const uint8_t* buf, int len) override;
    void setEcho(bool on) override;

private:
    std::string mPort;
    comf_loop* mLoop = nullptr;
};

// Pseudo-terminal pair: the simulator keeps the master side, the display opens the slave path.
class PtyStream : public IByteStream {
public:
    PtyStream();
    ~PtyStream() override;
    PtyStream(const PtyStream&) = delete;
    PtyStream& operator=(const PtyStream&) = delete;

    bool isOpen() const { return mFd >= 0; }
    const std::string& slavePath() const { return mSlavePath; }
    int fd() const { return mFd; }

    int read(uint8_t* buf, int max) override;
    int write(const uint8_t* buf, int len) override;
    void setEcho(bool on) override { mEcho = on; }

private:
    int mFd = -1;
    int mSlaveKeeper =
        -1; // keeps the slave side open so that the display's reconnects do not hang up the master
    std::string mSlavePath;
    bool mEcho = true;
};

} // namespace tdx::sim
