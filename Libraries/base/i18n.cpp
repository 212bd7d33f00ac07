// The translation hook; the catalogues live in the GUI engine.
#include "Libraries/base/i18n.h"

#include <atomic>

namespace tdx {

namespace {

// Constant-initialised, so that gettext works from other files' static initialisers.
constinit std::atomic<i18n_provider> sProvider{nullptr};

} // namespace

void i18n_set_provider(i18n_provider provider) {
    sProvider.store(provider, std::memory_order_release);
}

const char* pgettext(const char* context, const char* msgid) {
    if (msgid == nullptr) {
        return "";
    }
    if (const i18n_provider provider = sProvider.load(std::memory_order_acquire)) {
        if (const char* translation = provider(context, msgid)) {
            return translation;
        }
    }
    return msgid;
}

const char* gettext(const char* msgid) {
    return pgettext(nullptr, msgid);
}

} // namespace tdx
