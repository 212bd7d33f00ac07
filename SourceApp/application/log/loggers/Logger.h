// Loggers turn values of one mirrored object into lines of a log file: a change logger writes a line for
// every change of a watched value, a table logger one row of the watched values at a fixed period. The log
// manager owns them and runs their task() once per main-loop pass.
#pragma once

#include "Libraries/base/ctimer.h"
#include "SourceApp/big_table/bt_types.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tdx {

class LoggerWriter;
class ProxyObject;

namespace DataModel {
class ObjectTemplate;
class Value;
} // namespace DataModel

class Logger {
public:
    static constexpr uint32_t FLUSH_PERIOD_MS = 5000;

    // Owns the writer; a null one is a fatal assertion.
    explicit Logger(LoggerWriter* writer);
    // Deleting the writer writes what it still holds.
    virtual ~Logger();
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    // Hands the buffered lines to the file every FLUSH_PERIOD_MS.
    virtual void task();

    // One line, its line end added here; the writer takes the whole line or drops it.
    void addEntry(const std::string& text);
    void flush();
    bool isEmpty() const;

private:
    std::unique_ptr<LoggerWriter> mWriter;
    ctimer_t mFlushTimer;
};

class PeriodicLogger : public Logger {
public:
    PeriodicLogger(LoggerWriter* writer, uint32_t periodMs);
    void task() override;

protected:
    virtual void handleLog() = 0;

private:
    ctimer_t mPeriodTimer;
};

// The values a logger records, in the order added.
class ProxyLogger {
public:
    struct watch_record {
        uint16_t vid;
        bt_vtype vtype; // 0: not known; the value is then found by its id alone
    };

    virtual ~ProxyLogger() = default;
    virtual void addWatch(uint16_t vid, bt_vtype type) { mWatches.push_back({vid, type}); }

protected:
    // The template's value of a watch, null when the template has none. The type of a watch may be 0 or come
    // from the network: a mismatch finds nothing (traced by the template), it never stops the program.
    static const DataModel::Value* findWatched(const DataModel::ObjectTemplate* objectTemplate,
                                               const watch_record& watch);

    std::vector<watch_record> mWatches;
};

} // namespace tdx
