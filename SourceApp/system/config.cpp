#include "SourceApp/system/config.h"

#include "Libraries/base/dbg.h"
#include "SourceApp/gui/i18n/I18n.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace tdx {

namespace {

// The image of the record as it was last loaded or stored: what "config.bin" holds. A change is what differs
// from it, field by field, so that changes cancelling out in the sum are still stored.
configuration_t sStored = {};

bool sameBytes(const configuration_t& a, const configuration_t& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void store() {
    if (config_platform_store(&Configuration) != 0) {
        dbg_printf_h("CONFIG not stored: the settings stay in memory and are stored with the next change");
        return;
    }
    sStored = Configuration;
}

// Why a loaded record cannot be used, or null. The sum is defined over whole words; a version-4 record covers
// exactly the 52 bytes and a later one at least those. An earlier one may cover any number of them: what it
// does not cover is taken from the defaults when it is converted.
const char* rejection(const configuration_t& record) {
    const unsigned size = record.size;
    if (size % 4 != 0) {
        return "size not a multiple of 4";
    }
    if (record.version == CONFIG_VERSION && size != CONFIG_SIZE) {
        return "size does not match the version";
    }
    if (record.version > CONFIG_VERSION && size < CONFIG_SIZE) {
        return "size too small for the version";
    }
    if (config_checksum(record) != record.checksum) {
        return "checksum mismatch";
    }
    return nullptr;
}

// Fields added or changed since the record's version get their current meaning.
void convert(configuration_t& record) {
    const unsigned version = record.version;
    const unsigned size = record.size;
    if (version <= 2) {
        // Kept in milliseconds then.
        record.screen_delay[1] /= 1000;
        record.screen_delay[2] /= 1000;
    }
    // A record that covers less than its header (even nothing) takes the header from the defaults too; the
    // version and size are set below in any case.
    if (size < CONFIG_SIZE) {
        const auto* defaults = reinterpret_cast<const unsigned char*>(&DefaultConfiguration);
        std::memcpy(reinterpret_cast<unsigned char*>(&record) + size, defaults + size, CONFIG_SIZE - size);
    }
    dbg_printf_h("CONFIG converted from version %u (%u bytes)", version, size);
    record.version = CONFIG_VERSION;
    record.size = CONFIG_SIZE;
}

// The language and country are indices into tables; a value beyond them reads as the first entry.
void checkChoices(configuration_t& record) {
    if (record.language >= std::size(I18n::LANGUAGES)) {
        dbg_printf_h("CONFIG language %u unknown: using 0", record.language);
        record.language = 0;
    }
    const bool known = std::any_of(std::begin(I18n::COUNTRIES), std::end(I18n::COUNTRIES),
                                   [&](const I18n::Country& c) { return c.code == record.country; });
    if (!known) {
        dbg_printf_h("CONFIG country %u unknown: using 0", record.country);
        record.country = 0;
    }
}

} // namespace

void config_init() {
    Configuration = {};
    const bool loaded = config_platform_load(&Configuration) >= 0;
    sStored = Configuration;
    if (const char* reason = loaded ? rejection(Configuration) : "no record") {
        dbg_printf_h("CONFIG record rejected (%s): using the defaults", reason);
        config_defaults();
        return;
    }
    if (Configuration.version < CONFIG_VERSION) {
        convert(Configuration);
    }
    checkChoices(Configuration);
    config_apply();
}

void config_apply() {
    Configuration.checksum = config_checksum(Configuration);
    if (!sameBytes(Configuration, sStored)) {
        store();
    }
}

void config_defaults() {
    Configuration = DefaultConfiguration;
    Configuration.checksum = config_checksum(Configuration);
    store();
}

} // namespace tdx
