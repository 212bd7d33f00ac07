#include "tools/simcu/sim_installer.h"

#include "Libraries/base/bytes.h"
#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "Libraries/tavi_net/tnet.h"

#include <algorithm>
#include <map>
#include <utility>

namespace tdx::sim {

namespace {

constexpr uint8_t TYPE_DEVICE = 2;
constexpr uint8_t TYPE_DATA = 16;
constexpr uint8_t TYPE_TEXT = 15;
constexpr uint8_t TYPE_U8 = 12;
constexpr uint8_t TYPE_U16 = 13;
constexpr uint8_t TYPE_U32 = 14;
constexpr uint8_t TYPE_TEMPERATURE = 18;
constexpr uint16_t VID_NAME = 0x8090;
constexpr uint16_t VID_DEVICE_STATE = 0x002F;
constexpr uint16_t VID_VALUE_LIST = 0x809F;
constexpr uint16_t VID_CONTROL_UNIT = 0x80DC;
constexpr uint16_t VID_COMPONENTS = 0x80AE;
constexpr uint16_t VID_OBJECT_INDICES = 0x80B0;
constexpr uint16_t VID_ASSOCIATED = 0x80DE;
constexpr uint16_t VID_OUTPUT_USE = 0x80A0;
constexpr uint16_t VID_FUNCTION_ROOMS = 0x80B8;
constexpr uint16_t VID_AIR = 0x000C;
constexpr uint16_t VID_DESIRED = 0x001D;
constexpr uint16_t VID_COMFORT = 0x801C;
constexpr uint16_t VID_MODE = 0x8004;
constexpr uint16_t VID_SERIAL_NUMBER = 0x800C;
constexpr uint16_t VID_SOFTWARE_VERSION = 0x800D;
constexpr uint16_t VID_HARDWARE_VERSION = 0x800E;
constexpr uint16_t VID_SOFTWARE_BUILD = 0x809E;
constexpr uint16_t VID_HARDWARE_CODE = 0x80E3;
constexpr uint16_t VID_SOFTWARE_CODE = 0x80E4;
constexpr uint32_t ADDRESS_MASK = 0xFFFFFF;
// While the unit restarts after a profile change, what it published before goes out first.
constexpr uint32_t RESTART_AFTER_MS = 500;

SimValue dataValue(const std::vector<uint8_t>& bytes) {
    return sim_text(TYPE_DATA, bytes);
}

SimValue text(const std::string& s) {
    return sim_text(TYPE_TEXT, std::vector<uint8_t>(s.begin(), s.end()));
}

void publishNumber(SimControlUnit& unit, uint32_t oid, uint16_t vid, uint8_t type, int64_t value) {
    if (auto v = sim_number(type, value)) {
        unit.publish(oid, vid, *v);
    }
}

// A new object with its values and their list, as the control unit reports an object it made.
void createObject(SimControlUnit& unit, uint32_t oid, uint8_t type, uint8_t subtype,
                  const std::vector<std::pair<uint16_t, SimValue>>& values) {
    unit.add_object(oid, type, subtype);
    std::vector<uint8_t> list;
    for (const auto& [vid, value] : values) {
        unit.publish(oid, vid, value);
        list.push_back(static_cast<uint8_t>(vid));
        list.push_back(static_cast<uint8_t>(vid >> 8));
    }
    list.push_back(static_cast<uint8_t>(VID_VALUE_LIST));
    list.push_back(static_cast<uint8_t>(VID_VALUE_LIST >> 8));
    unit.publish(oid, VID_VALUE_LIST, dataValue(list));
}

void appendId(SimControlUnit& unit, uint32_t oid, uint16_t vid, uint32_t id) {
    std::vector<uint32_t> ids = sim_ids(unit.model(), oid, vid);
    if (std::find(ids.begin(), ids.end(), id) == ids.end()) {
        ids.push_back(id);
        sim_publish_ids(unit, oid, vid, ids);
    }
}

// Takes the id out of every list of that value that holds it.
void forgetId(SimControlUnit& unit, uint16_t vid, uint32_t id) {
    std::vector<std::pair<uint32_t, std::vector<uint32_t>>> changed;
    unit.model().forEachValue(ALL_OBJECTS, vid, [&](uint32_t oid, uint16_t, const SimValue&) {
        std::vector<uint32_t> ids = sim_ids(unit.model(), oid, vid);
        const auto end = std::remove(ids.begin(), ids.end(), id);
        if (end != ids.end()) {
            ids.erase(end, ids.end());
            changed.emplace_back(oid, ids);
        }
    });
    for (const auto& [oid, ids] : changed) {
        sim_publish_ids(unit, oid, vid, ids);
    }
}

std::vector<uint32_t> objectsOfType(const SimModel& model, uint8_t type) {
    std::vector<uint32_t> found;
    model.forEachObject(ALL_OBJECTS, [&](uint32_t oid, const SimObject& o) {
        if (o.type == type) {
            found.push_back(oid);
        }
    });
    return found;
}

// The control unit's device, as the location names it; 0 when it does not.
uint32_t controlUnitOf(const SimModel& model) {
    const auto value = model.value(SimInstaller::LOCATION, VID_CONTROL_UNIT);
    return value && value->valid && !value->bytes.empty() ? static_cast<uint32_t>(value->number()) : 0;
}

std::optional<std::vector<uint32_t>> listOf(const SimValue& value) {
    if (!value.valid || value.type != TYPE_DATA) {
        return std::nullopt;
    }
    std::vector<uint32_t> ids;
    for (size_t i = 0; i + 4 <= value.bytes.size(); i += 4) {
        ids.push_back(get_le32(value.bytes.data() + i));
    }
    return ids;
}

} // namespace

std::vector<uint32_t> sim_ids(const SimModel& model, uint32_t oid, uint16_t vid) {
    const auto value = model.value(oid, vid);
    return value ? listOf(*value).value_or(std::vector<uint32_t>{}) : std::vector<uint32_t>{};
}

void sim_publish_ids(SimControlUnit& unit, uint32_t oid, uint16_t vid, const std::vector<uint32_t>& ids) {
    std::vector<uint8_t> bytes(ids.size() * 4);
    for (size_t i = 0; i < ids.size(); ++i) {
        put_le32(bytes.data() + 4 * i, ids[i]);
    }
    unit.publish(oid, vid, dataValue(bytes));
}

void sim_remove_device(SimControlUnit& unit, uint32_t device) {
    const auto indices = unit.model().value(device, VID_OBJECT_INDICES);
    std::vector<uint32_t> objects{device};
    if (indices) {
        for (const uint8_t index : indices->bytes) {
            objects.push_back((static_cast<uint32_t>(index) << 24) | device);
        }
    }
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        unit.remove_object(*it);
    }
    forgetId(unit, VID_COMPONENTS, device);
    dbg_printf_h("sim: device %06X removed", device);
}

void sim_remove_room(SimControlUnit& unit, uint32_t room) {
    for (const uint32_t component : sim_ids(unit.model(), room, VID_COMPONENTS)) {
        sim_remove_device(unit, component & ADDRESS_MASK);
    }
    forgetId(unit, VID_OUTPUT_USE, room);
    forgetId(unit, VID_FUNCTION_ROOMS, room);
    const uint32_t device = room & ADDRESS_MASK;
    if (auto indices = unit.model().value(device, VID_OBJECT_INDICES)) {
        std::vector<uint8_t> bytes = indices->bytes;
        bytes.erase(std::remove(bytes.begin(), bytes.end(), static_cast<uint8_t>(room >> 24)), bytes.end());
        unit.publish(device, VID_OBJECT_INDICES, dataValue(bytes));
    }
    unit.remove_object(room);
    dbg_printf_h("sim: room %08X removed", room);
}

void sim_restore_model(SimControlUnit& unit, const SimModel& saved) {
    // The display's own objects are its own: they stay as the display keeps them now.
    const uint32_t display = unit.client() & ADDRESS_MASK;
    auto own = [display](uint32_t oid) { return display != 0 && (oid & ADDRESS_MASK) == display; };
    std::vector<uint32_t> gone;
    unit.model().forEachObject(ALL_OBJECTS, [&](uint32_t oid, const SimObject&) {
        if (!own(oid) && !saved.object(oid)) {
            gone.push_back(oid);
        }
    });
    for (const uint32_t oid : gone) {
        unit.remove_object(oid);
    }
    saved.forEachObject(ALL_OBJECTS, [&](uint32_t oid, const SimObject& object) {
        const auto now = unit.model().object(oid);
        if (!own(oid) && (!now || now->type != object.type || now->subtype != object.subtype)) {
            unit.add_object(oid, object.type, object.subtype);
        }
    });
    saved.forEachValue(ALL_OBJECTS, ALL_VALUES, [&](uint32_t oid, uint16_t vid, const SimValue& value) {
        if (!own(oid) && unit.model().value(oid, vid) != value) {
            unit.publish(oid, vid, value);
        }
    });
    // A value set since the backup on an object the backup holds is no part of the configuration taken back.
    // No packet takes a single value away, so it goes from the model only: the unit restarts after a restore,
    // and what a display subscribes to afterwards is what the backup held.
    std::vector<std::pair<uint32_t, uint16_t>> added;
    unit.model().forEachValue(ALL_OBJECTS, ALL_VALUES, [&](uint32_t oid, uint16_t vid, const SimValue&) {
        if (!own(oid) && !saved.value(oid, vid)) {
            added.emplace_back(oid, vid);
        }
    });
    for (const auto& [oid, vid] : added) {
        unit.model().removeValue(oid, vid);
    }
}

SimInstaller::SimInstaller(SimControlUnit& unit, SimInstallerConfig config)
    : mUnit(unit)
    , mConfig(config) {
    mUnit.setReceiveListener(
        [this](uint8_t cmd, const std::vector<uint8_t>& payload) { received(cmd, payload); });
    mUnit.setStepListener([this] { step(); });
}

void SimInstaller::later(uint32_t ms, std::function<void()> action) {
    mPending.push_back({timer() + ms, std::move(action)});
}

uint32_t SimInstaller::answerDelay(SimAnswer answer, uint32_t delay) const {
    return answer == SimAnswer::Late ? mConfig.lateMs : delay;
}

void SimInstaller::step() {
    if (mRestartEnds != 0 && timer() >= mRestartEnds) {
        mRestartEnds = 0;
        mUnit.faults().stopPolling = false;
        dbg_printf_h("sim: back after the restart");
    }
    // An action may schedule another; run what is due, in order.
    for (size_t i = 0; i < mPending.size();) {
        if (timer() >= mPending[i].at) {
            const std::function<void()> action = std::move(mPending[i].action);
            mPending.erase(mPending.begin() + static_cast<std::ptrdiff_t>(i));
            action();
            i = 0;
        } else {
            ++i;
        }
    }
}

void SimInstaller::received(uint8_t cmd, const std::vector<uint8_t>& payload) {
    if (cmd != TNET_CMD_PUBLISH) {
        return;
    }
    const std::optional<SimPublish> publish = sim_decode_publish(payload.data(), payload.size());
    if (!publish || publish->oid != LOCATION) {
        return;
    }
    switch (publish->vid) {
        case VID_LEARN_LIST:
            mLearnLists.push_back(listOf(publish->value));
            return;
        case VID_LEARN_SERIAL: {
            const auto list = sim_ids(mUnit.model(), LOCATION, VID_LEARN_LIST);
            const auto value = mUnit.model().value(LOCATION, VID_LEARN_LIST);
            if (list.empty() || !value || !value->valid) {
                dbg_printf_h("sim: serial number without a learn list: nothing to enrol");
                return;
            }
            enrol(list, static_cast<uint32_t>(publish->value.number()));
            return;
        }
        case VID_DELETE_LIST:
            if (const auto list = listOf(publish->value); list && !list->empty()) {
                remove(*list);
            }
            return;
        case VID_REQUESTED_PROFILE:
            changeProfile(static_cast<uint8_t>(publish->value.number()));
            return;
        case VID_BACKUP:
        case VID_RESTORE:
            // Only the request starts one; the unit's own reports coming back change nothing.
            if (publish->value.valid && publish->value.number() == 1) {
                if (publish->vid == VID_BACKUP) {
                    backup();
                } else {
                    restore();
                }
            }
            return;
        default:
            return;
    }
}

void SimInstaller::enrol(const std::vector<uint32_t>& list, uint32_t serial) {
    if (mConfig.enrol == SimAnswer::Silent) {
        dbg_printf_h("sim: enrolment of %u left unanswered", serial);
        return;
    }
    const uint32_t delay = answerDelay(mConfig.enrol, mConfig.enrolDelayMs);
    if (mConfig.enrolInterim) {
        const std::vector<uint32_t> shorter(list.begin(),
                                            list.begin() + std::max<size_t>(1, list.size() - 1));
        later(delay / 2, [this, shorter] { sim_publish_ids(mUnit, LOCATION, VID_LEARN_LIST, shorter); });
    }
    later(delay, [this, list, serial] {
        const uint32_t address = serial & ADDRESS_MASK;
        const uint32_t cu = controlUnitOf(mUnit.model());
        const auto target = mUnit.model().object(list.front());
        const bool outputs = std::all_of(list.begin(), list.end(), [this](uint32_t id) {
            const auto o = mUnit.model().object(id);
            return o && o->type == OBJECT_TYPE_OUTPUT;
        });
        const bool global = list.size() == 1 && list.front() == cu;
        const bool room = list.size() == 1 && target && target->type == OBJECT_TYPE_ROOM;
        if (mConfig.enrol == SimAnswer::Failure || address == 0 || mUnit.model().object(address) ||
            !(global || room || outputs)) {
            dbg_printf_h("sim: enrolment of %u refused", serial);
            mUnit.publish(LOCATION, VID_LEARN_LIST, SimValue{TYPE_DATA, false, 0, {}});
            return;
        }
        uint32_t home = LOCATION;
        if (room) {
            home = list.front();
        } else if (outputs) {
            // A new room on the control unit, at its first free index, served by the outputs.
            uint32_t index = 1;
            while (index < 255 && mUnit.model().object((index << 24) | cu)) {
                ++index;
            }
            home = (index << 24) | cu;
            const size_t rooms = objectsOfType(mUnit.model(), OBJECT_TYPE_ROOM).size();
            createObject(mUnit, home, OBJECT_TYPE_ROOM, 0,
                         {{VID_NAME, text("Room " + std::to_string(rooms + 1))},
                          {VID_AIR, *sim_number(TYPE_TEMPERATURE, 2100)},
                          {VID_DESIRED, *sim_number(TYPE_TEMPERATURE, 2100)},
                          {VID_COMFORT, *sim_number(TYPE_TEMPERATURE, 2100)},
                          {VID_MODE, *sim_number(TYPE_U8, 3)},
                          {VID_COMPONENTS, dataValue({})}});
            const std::vector<uint32_t> all = sim_output_list(mUnit.model());
            std::vector<uint8_t> indices;
            for (const uint32_t output : list) {
                if (const auto at = std::find(all.begin(), all.end(), output); at != all.end()) {
                    indices.push_back(static_cast<uint8_t>(at - all.begin()));
                }
                sim_publish_ids(mUnit, output, VID_OUTPUT_USE, {home});
            }
            mUnit.publish(home, VID_ROOM_OUTPUTS, dataValue(indices));
            std::vector<uint8_t> cuIndices;
            if (const auto v = mUnit.model().value(cu, VID_OBJECT_INDICES)) {
                cuIndices = v->bytes;
            }
            cuIndices.push_back(static_cast<uint8_t>(index));
            mUnit.publish(cu, VID_OBJECT_INDICES, dataValue(cuIndices));
        }
        // A device reports who it is as it joins: its designations, versions and the serial number typed.
        const bool thermostat = home != LOCATION;
        const std::string code = thermostat ? "KD201" : "HX316";
        createObject(mUnit, address, TYPE_DEVICE, 0,
                     {{VID_NAME, text(thermostat ? "Thermostat" : "Expansion unit")},
                      {VID_DEVICE_STATE, *sim_number(TYPE_U8, 2)},
                      {VID_HARDWARE_CODE, text(code)},
                      {VID_HARDWARE_VERSION, *sim_number(TYPE_U8, 1)},
                      {VID_SOFTWARE_CODE, text(code)},
                      {VID_SOFTWARE_VERSION, *sim_number(TYPE_U8, thermostat ? 2 : 1)},
                      {VID_SOFTWARE_BUILD, *sim_number(TYPE_U8, 0)},
                      {VID_SERIAL_NUMBER, *sim_number(TYPE_U32, serial)},
                      {VID_ASSOCIATED, *sim_number(TYPE_U32, home)},
                      {VID_COMPONENTS, dataValue({})},
                      {VID_OBJECT_INDICES, dataValue({0})}});
        if (home != LOCATION) {
            appendId(mUnit, home, VID_COMPONENTS, address);
        }
        appendId(mUnit, LOCATION, VID_COMPONENTS, address);
        appendId(mUnit, cu, VID_COMPONENTS, address);
        mEnrolled.push_back(address);
        dbg_printf_h("sim: %06X enrolled into %08X", address, home);
        mUnit.publish(LOCATION, VID_LEARN_LIST, dataValue({}));
    });
}

void SimInstaller::remove(const std::vector<uint32_t>& list) {
    if (mConfig.removal == SimAnswer::Silent) {
        dbg_printf_h("sim: removal left unanswered");
        return;
    }
    later(answerDelay(mConfig.removal, mConfig.removalDelayMs), [this, list] {
        if (mConfig.removal == SimAnswer::Failure) {
            dbg_printf_h("sim: removal refused");
            mUnit.publish(LOCATION, VID_DELETE_LIST, SimValue{TYPE_DATA, false, 0, {}});
            return;
        }
        for (const uint32_t id : list) {
            const auto object = mUnit.model().object(id);
            if (id == LOCATION) {
                for (const uint32_t room : objectsOfType(mUnit.model(), OBJECT_TYPE_ROOM)) {
                    sim_remove_room(mUnit, room);
                }
            } else if (object && object->type == OBJECT_TYPE_ROOM) {
                sim_remove_room(mUnit, id);
            } else if (const auto device = mUnit.model().object(id & ADDRESS_MASK);
                       device && device->type == TYPE_DEVICE &&
                       (id & ADDRESS_MASK) != controlUnitOf(mUnit.model())) {
                sim_remove_device(mUnit, id & ADDRESS_MASK);
            } else {
                dbg_printf_h("sim: nothing to remove for %08X", id);
            }
        }
        mUnit.publish(LOCATION, VID_DELETE_LIST, dataValue({}));
    });
}

void SimInstaller::changeProfile(uint8_t profile) {
    const auto current = mUnit.model().value(LOCATION, VID_PROFILE);
    const auto old = static_cast<uint8_t>(current ? current->number() : 0xFF);
    const uint32_t delay = mConfig.profileDelayMs;
    dbg_printf_h("sim: profile %u requested, running %u", profile, old);
    switch (mConfig.profile) {
        case SimProfileAnswer::Apply:
            later(delay, [this, profile] { applyProfile(profile); });
            return;
        case SimProfileAnswer::Refuse:
            later(delay, [this, old] {
                publishNumber(mUnit, LOCATION, VID_PROFILE, TYPE_U8, old);
                publishNumber(mUnit, LOCATION, VID_REQUESTED_PROFILE, TYPE_U8, old);
            });
            return;
        case SimProfileAnswer::OldFirst:
            later(delay / 2, [this, old] { publishNumber(mUnit, LOCATION, VID_PROFILE, TYPE_U8, old); });
            later(delay, [this, profile] { applyProfile(profile); });
            return;
        case SimProfileAnswer::ResetFirst:
            later(delay / 2,
                  [this, old] { publishNumber(mUnit, LOCATION, VID_REQUESTED_PROFILE, TYPE_U8, old); });
            later(delay, [this, profile] { applyProfile(profile); });
            return;
        case SimProfileAnswer::Fallback: {
            uint8_t other = 1;
            while (other == old || other == profile) {
                ++other;
            }
            later(delay, [this, other] { applyProfile(other); });
            return;
        }
        case SimProfileAnswer::Silent:
            return;
    }
}

void SimInstaller::applyProfile(uint8_t profile) {
    // A new profile starts from an empty configuration: no rooms and no components but the unit itself.
    for (const uint32_t room : objectsOfType(mUnit.model(), OBJECT_TYPE_ROOM)) {
        sim_remove_room(mUnit, room);
    }
    const uint32_t cu = controlUnitOf(mUnit.model());
    for (const uint32_t device : objectsOfType(mUnit.model(), TYPE_DEVICE)) {
        if (device != cu && device != mUnit.client()) {
            sim_remove_device(mUnit, device);
        }
    }
    publishNumber(mUnit, LOCATION, VID_PROFILE, TYPE_U8, profile);
    publishNumber(mUnit, LOCATION, VID_REQUESTED_PROFILE, TYPE_U8, profile);
    dbg_printf_h("sim: profile %u applied, restarting", profile);
    restart();
}

void SimInstaller::restart() {
    later(RESTART_AFTER_MS, [this] {
        mUnit.faults().stopPolling = true;
        mRestartEnds = timer() + mConfig.restartSilenceMs;
    });
}

void SimInstaller::backup() {
    if (mConfig.backup == SimAnswer::Silent) {
        dbg_printf_h("sim: backup left unanswered");
        return;
    }
    later(answerDelay(mConfig.backup, mConfig.backupDelayMs), [this] {
        if (mConfig.backup == SimAnswer::Failure) {
            dbg_printf_h("sim: backup failed, nothing stored");
        } else {
            // The request is no part of what is stored: a restored configuration is idle.
            mBackup = mUnit.model();
            mBackup->setValue(LOCATION, VID_BACKUP, *sim_number(TYPE_U16, IDLE));
            mBackup->setValue(LOCATION, VID_RESTORE, *sim_number(TYPE_U16, IDLE));
            ++mBackups;
            dbg_printf_h("sim: configuration backed up");
        }
        publishNumber(mUnit, LOCATION, VID_BACKUP, TYPE_U16, IDLE);
    });
}

void SimInstaller::restore() {
    if (mConfig.restore == SimAnswer::Silent) {
        dbg_printf_h("sim: restore left unanswered");
        return;
    }
    later(answerDelay(mConfig.restore, mConfig.restoreDelayMs), [this] {
        if (mConfig.restore == SimAnswer::Failure || !mBackup) {
            dbg_printf_h("sim: restore refused: %s", mBackup ? "failed" : "no backup stored");
            publishNumber(mUnit, LOCATION, VID_RESTORE, TYPE_U16, IDLE);
            return;
        }
        sim_restore_model(mUnit, *mBackup);
        ++mRestores;
        dbg_printf_h("sim: configuration restored, restarting");
        restart();
    });
}

bool sim_installer_option(const std::string& word, SimInstallerConfig& config) {
    // Every request can be refused, left unanswered or answered late alike.
    static const std::pair<const char*, SimAnswer SimInstallerConfig::*> REQUESTS[] = {
        {"enrol", &SimInstallerConfig::enrol},
        {"remove", &SimInstallerConfig::removal},
        {"backup", &SimInstallerConfig::backup},
        {"restore", &SimInstallerConfig::restore},
    };
    static const std::pair<const char*, SimAnswer> ANSWERS[] = {
        {"fail", SimAnswer::Failure}, {"silent", SimAnswer::Silent}, {"late", SimAnswer::Late}};
    for (const auto& [request, field] : REQUESTS) {
        for (const auto& [answer, value] : ANSWERS) {
            if (word == std::string(request) + "=" + answer) {
                config.*field = value;
                return true;
            }
        }
    }
    static const std::map<std::string, std::function<void(SimInstallerConfig&)>> words = {
        {"enrol=interim", [](SimInstallerConfig& c) { c.enrolInterim = true; }},
        {"profile=refuse", [](SimInstallerConfig& c) { c.profile = SimProfileAnswer::Refuse; }},
        {"profile=old-first", [](SimInstallerConfig& c) { c.profile = SimProfileAnswer::OldFirst; }},
        {"profile=reset-first", [](SimInstallerConfig& c) { c.profile = SimProfileAnswer::ResetFirst; }},
        {"profile=fallback", [](SimInstallerConfig& c) { c.profile = SimProfileAnswer::Fallback; }},
        {"profile=silent", [](SimInstallerConfig& c) { c.profile = SimProfileAnswer::Silent; }},
    };
    const auto found = words.find(word);
    if (found == words.end()) {
        return false;
    }
    found->second(config);
    return true;
}

const char* sim_installer_help() {
    return "  --installer WORD   how the installer's requests are answered (repeatable):\n"
           "                     enrol=fail|silent|late|interim, remove=fail|silent|late,\n"
           "                     profile=refuse|old-first|reset-first|fallback|silent,\n"
           "                     backup=fail|silent|late, restore=fail|silent|late\n";
}

} // namespace tdx::sim
