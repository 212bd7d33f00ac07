// Byte transports of the simulated control unit: the control unit's end of the converter cable.
#pragma once

#include <cstdint>
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
