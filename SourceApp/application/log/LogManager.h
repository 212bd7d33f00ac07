// Records values of mirrored objects into log files on the memory card. What is logged is chosen by logger
// templates registered under a switch value: when that value of an object turns non-zero (or cannot be read)
// the manager creates the template's logger for the object, when it turns 0 the logger is deleted.
//
// Start-up registers no template and does not attach the manager to the object tree, so no file is written
// until a build does both (registerTemplate, and ProxyStructure's append and value-change handlers).
#pragma once

#include "SourceApp/storage/ProxyStructure.h"

#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace tdx {

class Logger;
class ProxyChangeLogger;
class ProxyLoggerTemplate;

class LogManager : public ProxyObjectAppendHandler, public ProxyValueChangeHandler {
public:
    LogManager();
    // Deletes every logger, which writes out what it still buffers.
    ~LogManager() override;
    LogManager(const LogManager&) = delete;
    LogManager& operator=(const LogManager&) = delete;

    // The template is not owned and must outlive the manager's use of it; it may be registered under several
    // switch values.
    void registerTemplate(vid_t vid, ProxyLoggerTemplate* loggerTemplate);
    // Change loggers register themselves for as long as they live.
    void registerChangeLogger(ProxyChangeLogger* logger);
    void unregisterChangeLogger(ProxyChangeLogger* logger);

    // Once per main-loop pass, first of all tasks: every logger, by ascending object id.
    void task();

protected:
    void handleProxyObjectAppend(ProxyObject* object) override;
    void handleProxyValueChange(ProxyObject& object, const OviEx& change) override;

private:
    using LoggerList = std::vector<std::pair<ProxyLoggerTemplate*, std::unique_ptr<Logger>>>;

    void switchOff(LoggerList& loggers, const std::vector<ProxyLoggerTemplate*>& templates);
    void switchOn(LoggerList& loggers, const std::vector<ProxyLoggerTemplate*>& templates,
                  ProxyObject& object);

    std::map<oid_t, LoggerList> mLoggers;
    std::map<vid_t, std::vector<ProxyLoggerTemplate*>> mTemplates;
    std::vector<ProxyChangeLogger*> mChangeLoggers;
};

} // namespace tdx
