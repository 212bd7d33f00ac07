// The two loggers of mirrored objects.
//
// Change log, one line per event, each starting with the local time "dd-mm-YYYY HH:MM:SS ":
//   ... Logging started (possible cause: system restarted or logging enabled)
//   ... 'Room temperature' has changed to 21.5 °C
// A number without a valid value is written as INVALID_VALUE; a text value as its text.
//
// Table log, semicolon-separated: a header "Timestamp;Time;<value name>;..." at the top of each file, then
// one row "<Unix seconds>;dd-mm-YYYY HH:MM:SS;<raw value>;..." per period; a missing value is an empty
// field, a value the object type does not know is headed "vid 8123 (vtype 0)".
#pragma once

#include "SourceApp/application/log/loggers/Logger.h"
#include "SourceApp/storage/Ovi.h"

namespace tdx {

class LogManager;

// Registers itself with the application's log manager for value changes while it lives.
class ProxyChangeLogger : public Logger, public ProxyLogger {
public:
    ProxyChangeLogger(LoggerWriter* writer, uint32_t oid);
    ~ProxyChangeLogger() override;

    // Writes the change line of a watched value of the logger's object.
    virtual void handleValueChange(ProxyObject& object, const OviEx& changed);

    // The local time as it starts every line.
    static std::string createEntryString();
    // Writes nothing: every change is a line of its own as it happens, so the logger holds no state of the
    // object that a dump could add.
    void dump(uint32_t /*reason*/) {}

private:
    uint32_t mOid;
    LogManager* mManager;
};

class ProxyPeriodicLogger : public PeriodicLogger, public ProxyLogger {
public:
    ProxyPeriodicLogger(LoggerWriter* writer, uint32_t periodMs)
        : PeriodicLogger(writer, periodMs) {}
};

class TableProxyLogger : public ProxyPeriodicLogger {
public:
    TableProxyLogger(LoggerWriter* writer, uint32_t periodMs, uint32_t oid)
        : ProxyPeriodicLogger(writer, periodMs)
        , mOid(oid) {}

    void addHeader(ProxyObject& object);

protected:
    // One row; the header first when the current file is still empty. Nothing while the object is not in
    // the tree or nothing is watched.
    void handleLog() override;

private:
    uint32_t mOid;
};

} // namespace tdx
