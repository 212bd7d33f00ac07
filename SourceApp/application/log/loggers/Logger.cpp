#include "SourceApp/application/log/loggers/Logger.h"

#include "Libraries/base/fmt.h"
#include "Libraries/base/os.h"
#include "Libraries/base/timestamp.h"
#include "SourceApp/application/App.h"
#include "SourceApp/application/log/LogManager.h"
#include "SourceApp/application/log/loggers/ProxyLoggers.h"
#include "SourceApp/application/log/writers/LoggerWriter.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "SourceApp/storage/DataModel.h"
#include "SourceApp/storage/ProxyStructure.h"
#include "SourceApp/system/SystemMgr.h"

#include <algorithm>

namespace tdx {

using namespace DataModel::Descriptor;

namespace {

constexpr uint32_t NO_UNSIGNED = 0xFFFFFFFFu;
constexpr int32_t NO_SIGNED = 0x7FFFFFFF;

bool isText(const VidBase& descriptor) {
    return descriptor.kind == KIND_DATA && static_cast<const VidData&>(descriptor).role == DataRole::String;
}

// A number as the screens show it (scale, decimals, unit), or INVALID_VALUE; a text value's text; nothing
// for other data.
std::string displayedValue(const ProxyObject& object, const VidBase& descriptor) {
    std::string text;
    if (descriptor.kind == KIND_NUMBER) {
        const auto& number = static_cast<const VidNumber&>(descriptor);
        int value = 0;
        const bool read = pt_get_int(&value, object.oid(), descriptor.vid) == 0;
        const bool valid = number.isSigned ? value != NO_SIGNED : static_cast<uint32_t>(value) != NO_UNSIGNED;
        if (!read || !valid) {
            return "INVALID_VALUE";
        }
        std::unique_ptr<DataModel::Formatter> formatter(DataModel::createFormatter(number));
        return number.isSigned ? formatter->format(value) : formatter->format(static_cast<unsigned>(value));
    }
    if (isText(descriptor)) {
        object.getText(text, descriptor.vid);
    }
    return text;
}

// A number as the value table holds it, without scale or unit; empty when there is none.
std::string rawValue(const ProxyObject& object, const VidBase& descriptor) {
    std::string text;
    if (descriptor.kind == KIND_NUMBER) {
        int value = 0;
        if (pt_get_int(&value, object.oid(), descriptor.vid) == 0) {
            text = static_cast<const VidNumber&>(descriptor).isSigned
                       ? fmt("%d", value)
                       : fmt("%u", static_cast<unsigned>(value));
        }
    } else if (isText(descriptor)) {
        object.getText(text, descriptor.vid);
    }
    return text;
}

} // namespace

// ---- Logger ----

Logger::Logger(LoggerWriter* writer)
    : mWriter(writer) {
    OS_ASSERT(writer);
    ct_timeout_set(&mFlushTimer, FLUSH_PERIOD_MS, 0);
}

Logger::~Logger() = default;

void Logger::task() {
    if (ct_timed_out(&mFlushTimer)) {
        flush();
    }
}

void Logger::addEntry(const std::string& text) {
    // One write: a line dropped for want of a card must not leave its line end behind, nor keep its text
    // without one.
    const std::string line = text + "\r\n";
    mWriter->write(line.data(), static_cast<uint32_t>(line.size()));
}

void Logger::flush() {
    mWriter->flush();
}

bool Logger::isEmpty() const {
    return mWriter->isEmpty();
}

PeriodicLogger::PeriodicLogger(LoggerWriter* writer, uint32_t periodMs)
    : Logger(writer) {
    ct_timeout_set(&mPeriodTimer, periodMs, 0);
}

void PeriodicLogger::task() {
    if (ct_timed_out(&mPeriodTimer)) {
        handleLog();
    }
    Logger::task();
}

const DataModel::Value* ProxyLogger::findWatched(const DataModel::ObjectTemplate* objectTemplate,
                                                 const watch_record& watch) {
    if (objectTemplate == nullptr) {
        return nullptr;
    }
    return watch.vtype != 0 ? objectTemplate->findValue(watch.vid, watch.vtype)
                            : objectTemplate->findValue(watch.vid);
}

// ---- change logger ----

ProxyChangeLogger::ProxyChangeLogger(LoggerWriter* writer, uint32_t oid)
    : Logger(writer)
    , mOid(oid)
    , mManager(getApplication()->getLogManager()) {
    addEntry(createEntryString() + "Logging started (possible cause: system restarted or logging enabled)");
    mManager->registerChangeLogger(this);
}

ProxyChangeLogger::~ProxyChangeLogger() {
    mManager->unregisterChangeLogger(this);
}

std::string ProxyChangeLogger::createEntryString() {
    return i18n.format(getApplication()->getSystemManager()->getLocalTime(), "d-m-Y H:i:s ");
}

void ProxyChangeLogger::handleValueChange(ProxyObject& object, const OviEx& changed) {
    if (object.oid() != mOid || object.getTemplate() == nullptr) {
        return;
    }
    const bool watched = std::any_of(mWatches.begin(), mWatches.end(),
                                     [&](const watch_record& w) { return w.vid == changed.vid; });
    if (!watched) {
        return;
    }
    const DataModel::Value* value =
        object.getTemplate()->findValue(changed.vid, static_cast<bt_vtype>(changed.vtype));
    if (value == nullptr) {
        return;
    }
    const VidBase& descriptor = *value->descriptor();
    addEntry(createEntryString() + fmt("'%s' has changed to ", descriptor.name) +
             displayedValue(object, descriptor));
}

// ---- table logger ----

void TableProxyLogger::addHeader(ProxyObject& object) {
    std::string line = "Timestamp;Time";
    for (const watch_record& watch : mWatches) {
        const DataModel::Value* value = findWatched(object.getTemplate(), watch);
        line += value != nullptr ? ";" + std::string(value->descriptor()->name)
                                 : fmt(";vid %04x (vtype %u)", watch.vid, watch.vtype);
    }
    addEntry(line);
}

void TableProxyLogger::handleLog() {
    ProxyObject* object = Structure.find(mOid);
    if (mWatches.empty() || object == nullptr) {
        return;
    }
    if (isEmpty()) {
        addHeader(*object);
    }
    struct tm now {};
    os_time_tm(&now);
    const std::string date = i18n.format(Date(&now, 0), "d-m-Y");
    std::string row =
        fmt("%u;%s %02d:%02d:%02d", timestamp_make(&now), date, now.tm_hour, now.tm_min, now.tm_sec);
    for (const watch_record& watch : mWatches) {
        const DataModel::Value* value = findWatched(object->getTemplate(), watch);
        row += ';';
        if (value != nullptr && object->hasValue(watch.vid)) {
            row += rawValue(*object, *value->descriptor());
        }
    }
    addEntry(row);
}

} // namespace tdx
