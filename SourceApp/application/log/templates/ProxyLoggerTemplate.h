// What to log for any object: which values, into which files, and how. The log manager asks a template for a
// new logger whenever the template's switch value of an object turns on. Files are named
// <file name>_<object id in decimal>_<YYYYMMDD>.<extension>, one per object and day.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tdx {

class Logger;
class LoggerWriter;
class ProxyLogger;
class ProxyObject;

class ProxyLoggerTemplate {
public:
    // Null texts are a fatal assertion. The value list is not copied: it must outlive the template.
    ProxyLoggerTemplate(const char* filename, const char* extension, uint16_t number, const uint16_t* vids,
                        size_t count);
    virtual ~ProxyLoggerTemplate() = default;
    ProxyLoggerTemplate(const ProxyLoggerTemplate&) = delete;
    ProxyLoggerTemplate& operator=(const ProxyLoggerTemplate&) = delete;

    // Whether the template's number (an object type, for example) is the one given.
    virtual bool isApplicable(uint16_t number) const { return number == mNumber; }
    // The logger watches the template's values, in the template's order (a table's column order).
    virtual void apply(ProxyLogger& logger);
    // A new logger for the object, writing through a 1024-byte buffer into daily files; owned by the caller.
    virtual Logger* createLogger(ProxyObject& object) = 0;

protected:
    // The writer of the object's daily files.
    LoggerWriter* createWriter(const ProxyObject& object) const;

private:
    std::string mFileName;
    std::string mExtension;
    const uint16_t* mVids;
    size_t mCount;
    uint16_t mNumber;
};

// Change logs: a line for every change of a watched value.
class ProxyChangeLoggerTemplate final : public ProxyLoggerTemplate {
public:
    using ProxyLoggerTemplate::ProxyLoggerTemplate;
    Logger* createLogger(ProxyObject& object) override;
};

// Table logs: a row of the watched values every 5 seconds.
class ProxyPeriodicLoggerTemplate final : public ProxyLoggerTemplate {
public:
    static constexpr uint32_t PERIOD_MS = 5000;
    using ProxyLoggerTemplate::ProxyLoggerTemplate;
    Logger* createLogger(ProxyObject& object) override;
};

} // namespace tdx
