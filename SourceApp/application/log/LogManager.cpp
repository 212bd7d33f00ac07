#include "SourceApp/application/log/LogManager.h"

#include "SourceApp/application/log/loggers/ProxyLoggers.h"
#include "SourceApp/application/log/templates/ProxyLoggerTemplate.h"
#include "SourceApp/big_table/proxytab.h"

#include <algorithm>

namespace tdx {

LogManager::LogManager() = default;

LogManager::~LogManager() {
    // Loggers first: a change logger unregisters itself from the list below as it goes.
    mLoggers.clear();
}

void LogManager::registerTemplate(vid_t vid, ProxyLoggerTemplate* loggerTemplate) {
    if (loggerTemplate != nullptr) {
        mTemplates[vid].push_back(loggerTemplate);
    }
}

void LogManager::registerChangeLogger(ProxyChangeLogger* logger) {
    mChangeLoggers.push_back(logger);
}

void LogManager::unregisterChangeLogger(ProxyChangeLogger* logger) {
    auto it = std::find(mChangeLoggers.begin(), mChangeLoggers.end(), logger);
    if (it != mChangeLoggers.end()) {
        mChangeLoggers.erase(it);
    }
}

void LogManager::task() {
    for (auto& [oid, loggers] : mLoggers) {
        for (auto& entry : loggers) {
            entry.second->task();
        }
    }
}

void LogManager::handleProxyObjectAppend(ProxyObject* object) {
    if (object != nullptr) {
        mLoggers.try_emplace(object->oid());
    }
}

void LogManager::handleProxyValueChange(ProxyObject& object, const OviEx& change) {
    auto loggers = mLoggers.find(change.oid);
    auto templates = mTemplates.find(change.vid);
    if (loggers != mLoggers.end() && templates != mTemplates.end()) {
        int on = 0;
        // A switch value that cannot be read (missing, wrong type) counts as on.
        if (pt_get_int(&on, object.oid(), change.vid) == 0 && on == 0) {
            switchOff(loggers->second, templates->second);
        } else {
            switchOn(loggers->second, templates->second, object);
        }
    }
    // By index: a logger's handler does not register or unregister loggers, but the list may grow above.
    for (size_t i = 0; i < mChangeLoggers.size(); ++i) {
        mChangeLoggers[i]->handleValueChange(object, change);
    }
}

void LogManager::switchOff(LoggerList& loggers, const std::vector<ProxyLoggerTemplate*>& templates) {
    for (ProxyLoggerTemplate* loggerTemplate : templates) {
        std::erase_if(loggers, [&](const auto& entry) { return entry.first == loggerTemplate; });
    }
}

void LogManager::switchOn(LoggerList& loggers, const std::vector<ProxyLoggerTemplate*>& templates,
                          ProxyObject& object) {
    for (ProxyLoggerTemplate* loggerTemplate : templates) {
        const bool exists = std::any_of(loggers.begin(), loggers.end(),
                                        [&](const auto& entry) { return entry.first == loggerTemplate; });
        if (!exists) {
            loggers.emplace_back(loggerTemplate,
                                 std::unique_ptr<Logger>(loggerTemplate->createLogger(object)));
        }
    }
}

} // namespace tdx
