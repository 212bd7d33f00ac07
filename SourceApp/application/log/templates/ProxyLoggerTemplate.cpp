#include "SourceApp/application/log/templates/ProxyLoggerTemplate.h"

#include "Libraries/base/os.h"
#include "SourceApp/application/log/loggers/ProxyLoggers.h"
#include "SourceApp/application/log/writers/LoggerWriter.h"
#include "SourceApp/storage/ProxyObject.h"

namespace tdx {

namespace {

constexpr uint32_t BUFFER_SIZE = 1024;

} // namespace

ProxyLoggerTemplate::ProxyLoggerTemplate(const char* filename, const char* extension, uint16_t number,
                                         const uint16_t* vids, size_t count)
    : mVids(vids)
    , mCount(vids != nullptr ? count : 0)
    , mNumber(number) {
    OS_ASSERT(filename);
    OS_ASSERT(extension);
    mFileName = filename;
    mExtension = extension;
}

void ProxyLoggerTemplate::apply(ProxyLogger& logger) {
    for (size_t i = 0; i < mCount; ++i) {
        logger.addWatch(mVids[i], 0);
    }
}

LoggerWriter* ProxyLoggerTemplate::createWriter(const ProxyObject& object) const {
    // Concatenated, never formatted: a '%' in a name stays a '%'.
    const std::string prefix = mFileName + "_" + std::to_string(object.oid());
    return new BufferedFileLoggerWriter(new Logging::DailyFileName(prefix, mExtension), BUFFER_SIZE);
}

Logger* ProxyChangeLoggerTemplate::createLogger(ProxyObject& object) {
    auto* logger = new ProxyChangeLogger(createWriter(object), object.oid());
    apply(*logger);
    return logger;
}

Logger* ProxyPeriodicLoggerTemplate::createLogger(ProxyObject& object) {
    auto* logger = new TableProxyLogger(createWriter(object), PERIOD_MS, object.oid());
    apply(*logger);
    return logger;
}

} // namespace tdx
