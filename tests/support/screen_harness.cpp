#include "tests/support/screen_harness.h"

#include "Libraries/base/bytes.h"
#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "Libraries/base/timestamp.h"
#include "Libraries/link_bus/tnet_packet.h"
#include "Libraries/tavi_net/tnet.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/EditBox.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/SwitchButton.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/application/log/LogManager.h"
#include "SourceApp/application/resources/resource_mgr.h"
#include "SourceApp/application/update/UpdateManager.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "SourceApp/storage/DataModel.h"
#include "SourceApp/storage/ProxyStructure.h"
#include "SourceApp/storage/net/TaviProtocol.h"
#include "SourceApp/system/SystemMgr.h"
#include "SourceApp/system/config.h"
#include "tools/simcu/installation.h"

#include <cstring>
#include <filesystem>
#include <span>
#include <stdexcept>

namespace tdx::test {

namespace {

constexpr int HOLD_FIRST_TICKS = 12;
constexpr int HOLD_REPEAT_TICKS = 2;

ScreenHarness* gHarness = nullptr;

[[noreturn]] void fail(const std::string& why) {
    throw std::logic_error(why);
}

std::vector<uint8_t> readData(oid_t oid, vid_t vid) {
    std::vector<uint8_t> bytes(PT_MAX_DATA);
    const int n = pt_get_data(bytes.data(), static_cast<u32>(bytes.size()), oid, vid);
    bytes.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return bytes;
}

void store(oid_t oid, vid_t vid, bt_vtype vtype, const uint8_t* bytes, uint32_t length) {
    if (pt_store(oid, vid, vtype, bytes, length, static_cast<u32>(os_time()), PT_ORIGIN_NETWORK) != PT_OK) {
        fail("the value table refused a value of type " + std::to_string(vtype));
    }
}

void appendPreOrder(Component* component, std::vector<Component*>& out) {
    out.push_back(component);
    if (component->isContainerType()) {
        for (Component* child : static_cast<Container*>(component)->getChildren()) {
            appendPreOrder(child, out);
        }
    }
}

} // namespace

std::string assertionReport(const std::string& expression, const std::string& function,
                            const std::string& file) {
    const auto literally = [](const std::string& text) {
        std::string pattern;
        for (char c : text) {
            if (std::string("\\()[]{}.*+?^$|").find(c) != std::string::npos) {
                pattern += '\\';
            }
            pattern += c;
        }
        return pattern;
    };
    return "---- ASSERTION FAILED ----\nExpression: " + literally(expression) +
           "\nFunction: " + literally(function) + "\nFile: (.*/)?" + literally(file) + "\nLine: [0-9]+\n";
}

void PrintTo(const PublishedValue& v, std::ostream* os) {
    char id[32];
    std::snprintf(id, sizeof id, "%08X:%04X", v.oid, unsigned{v.vid});
    *os << "{" << id << " = ";
    if (!v.valid) {
        *os << "no value";
    } else if (!v.text.empty()) {
        *os << '"' << v.text << '"';
    } else {
        *os << v.value;
    }
    *os << "}";
}

// ---- ObjectBuilder ----

ProxyObject& ObjectBuilder::object() const {
    ProxyObject* object = Structure.find(mOid);
    if (object == nullptr) {
        fail("no object " + std::to_string(mOid));
    }
    return *object;
}

bt_vtype ObjectBuilder::typeOf(vid_t vid) const {
    if (const ProxyObject* o = Structure.find(mOid); o != nullptr && o->getTemplate() != nullptr) {
        if (const DataModel::Value* value = o->getTemplate()->findValue(vid)) {
            return value->vtype();
        }
    }
    bt_vtype vtype = 0;
    if (pt_get_vtype(&vtype, mOid, vid) == PT_OK) {
        return vtype;
    }
    fail("the type of value " + std::to_string(vid) + " is not known: give it");
}

void ObjectBuilder::list(vid_t vid) {
    std::vector<uint8_t> list = readData(mOid, VID_VALUE_LIST);
    for (size_t i = 0; i + 1 < list.size(); i += 2) {
        if (get_le16(list.data() + i) == vid) {
            return;
        }
    }
    list.resize(list.size() + 2);
    put_le16(list.data() + list.size() - 2, vid);
    store(mOid, VID_VALUE_LIST, BT_VTYPE_DATA, list.data(), static_cast<uint32_t>(list.size()));
}

ObjectBuilder& ObjectBuilder::value(vid_t vid, int number) {
    return value(vid, typeOf(vid), number);
}

ObjectBuilder& ObjectBuilder::value(vid_t vid, bt_vtype vtype, int number) {
    const int size = tnet_value_size(vtype);
    if (size <= 0) {
        fail("type " + std::to_string(vtype) + " is no number");
    }
    uint8_t bytes[4];
    put_le(bytes, static_cast<uint32_t>(number), static_cast<unsigned>(size));
    store(mOid, vid, vtype, bytes, static_cast<uint32_t>(size));
    list(vid);
    return *this;
}

ObjectBuilder& ObjectBuilder::invalid(vid_t vid) {
    store(mOid, vid, typeOf(vid), nullptr, PT_LENGTH_NO_VALUE);
    list(vid);
    return *this;
}

ObjectBuilder& ObjectBuilder::text(vid_t vid, const std::string& text) {
    store(mOid, vid, BT_VTYPE_TEXT, reinterpret_cast<const uint8_t*>(text.data()),
          static_cast<uint32_t>(text.size()));
    list(vid);
    return *this;
}

ObjectBuilder& ObjectBuilder::data(vid_t vid, const std::vector<uint8_t>& bytes) {
    store(mOid, vid, BT_VTYPE_DATA, bytes.data(), static_cast<uint32_t>(bytes.size()));
    list(vid);
    return *this;
}

ObjectBuilder& ObjectBuilder::oids(vid_t vid, const std::vector<uint32_t>& ids) {
    std::vector<uint8_t> bytes(ids.size() * 4);
    for (size_t i = 0; i < ids.size(); ++i) {
        put_le32(bytes.data() + 4 * i, ids[i]);
    }
    return data(vid, bytes);
}

// ---- BlankForm ----

BlankForm::BlankForm(const State& state)
    : Form(state) {
    setName("BlankForm");
}

void BlankForm::handleDraw() {
    gfx_setcolor(colour::WHITE);
    gfx_fill_rect(getBoundingBox());
    Container::handleDraw();
}

namespace {
// Writes down what reaches the blank screen before its children see it.
class RecordingBlankForm : public BlankForm {
public:
    RecordingBlankForm(const State& state, std::function<void(const Message&)> record)
        : BlankForm(state)
        , mRecord(std::move(record)) {}
    void handleMessage(Message* message) override {
        if (message->id != MSG_TIMER) {
            mRecord(*message);
        }
        BlankForm::handleMessage(message);
    }

private:
    std::function<void(const Message&)> mRecord;
};
} // namespace

// ---- Set-up ----

void ScreenHarness::useCatalogues() {
    i18n.setResourceReader([](uint16_t id) {
        const Resource r = getApplication()->getResourceManager()->get(static_cast<resource_id>(id));
        return std::span<const uint8_t>(r.getData(), r.getSize());
    });
}

void ScreenHarness::speak(uint8_t language) {
    useCatalogues();
    i18n.switchLanguage(language);
    // As choosing the language does in the program: its dates too.
    i18n.setLanguageLocale();
}

void ScreenHarness::SetUpTestSuite() {
    ResourceMgr* resources = getApplication()->getResourceManager();
    if (!resources->get(res_myriad12).isValid() && resources->load(TDX_RESOURCES_FILE) != 0) {
        throw std::runtime_error("resources file missing: " TDX_RESOURCES_FILE);
    }
}

int64_t ScreenHarness::wallClock() {
    return START_TIME + static_cast<int64_t>(os_clock() / 1000);
}

void ScreenHarness::SetUp() {
    ScreenTest::SetUp();
    gHarness = this;
    mTrace.emplace();
    os_set_assert_handler([](const AssertionFailure& f) {
        throw FailedAssertion(f.message != nullptr ? f.message : f.expression);
    });
    // The clock starts on a whole second, as in a new program, whatever the tests before it took.
    os_clock_advance((1000 - os_clock() % 1000) % 1000);
    os_set_wall_clock(&ScreenHarness::wallClock);
    os_time_set(static_cast<uint32_t>(START_TIME));
    widgets_set_resources(getApplication()->getResourceManager());
    widgets_set_local_time([] { return getApplication()->getSystemManager()->getLocalTime(); });
    config_platform_set_store_hook([](const configuration_t* record) {
        sStoredConfiguration = *record;
        ++sConfigStores;
        return 0;
    });
    config_defaults();
    sConfigStores = 0;
    Structure.clear();
    proxytab_init();
    // As start-up registers it: the system manager mirrors the location's time settings.
    Structure.addValueChangeHandler(getApplication()->getSystemManager());
    Net::Tavi.restart();
    Net::Tavi.setEventSink([](int kind) { gHarness->networkEvent(kind); });
    resetCore();
    // Clocks and periodic refreshes divide the tick count: each test starts where the first one of a program
    // does, whichever ran before it.
    while (mCore.getTickCount() % 64 != 0) {
        mCore.tick();
    }
    mCore.takeTimerFlag();
    mCore.setChangeStateCallback(&ScreenHarness::buildBlank);
}

void ScreenHarness::TearDown() {
    resetCore();
    i18n.switchLanguage(0);
    i18n.setLocale(Locale::English);
    i18n.setResourceReader(nullptr);
    resetSystemManager();
    Structure.removeValueChangeHandler(getApplication()->getSystemManager());
    Net::Tavi.setEventSink(nullptr);
    Net::Tavi.restart();
    Structure.clear();
    proxytab_init();
    config_platform_set_store_hook(nullptr);
    widgets_set_resources(nullptr);
    os_set_wall_clock(nullptr);
    os_set_assert_handler(nullptr);
    mTrace.reset();
    gHarness = nullptr;
    ScreenTest::TearDown();
}

void ScreenHarness::resetCore() {
    mCore.setChangeStateCallback(nullptr);
    mCore.defaultState();
    mCore.task();
    mCore.task();
    mMessages.clear();
    mPressed = false;
}

void ScreenHarness::resetSystemManager() {
    location();
    for (vid_t vid : {SystemMgr::VID_LOCAL_TIME_OFFSET, SystemMgr::VID_TIMEZONE_OFFSET}) {
        ObjectBuilder(OID_LOCATION).value(vid, BT_VTYPE_S32, 0);
    }
    ObjectBuilder(OID_LOCATION).value(SystemMgr::VID_DAYLIGHT_SAVING, BT_VTYPE_U8, 0);
    Structure.task();
}

Form* ScreenHarness::buildBlank(unsigned, unsigned, const State& state) {
    return new RecordingBlankForm(state, [](const Message& m) {
        gHarness->mMessages.push_back({m.id, m.source});
    });
}

// ---- Installation ----

ObjectBuilder ScreenHarness::object(oid_t oid, uint8_t type, uint8_t subtype) {
    if (ProxyObject* existing = Structure.find(oid)) {
        if (existing->type() != ObjectInfo(type, subtype)) {
            fail("object " + std::to_string(oid) + " exists with another type");
        }
        return ObjectBuilder(oid);
    }
    const bt_obj_info info{type, subtype, 0, 0};
    Structure.append(new ProxyObject(oid, ObjectInfo(info), DataModel::Database::findObjectTemplate(info)));
    return ObjectBuilder(oid);
}

ObjectBuilder ScreenHarness::location() {
    return object(OID_LOCATION, BT_OBJ_LOCATION);
}

ObjectBuilder ScreenHarness::device(uint32_t address) {
    return object(oid_make(address, 0), BT_OBJ_DEVICE).value(VID_DEVICE_STATE, BT_VTYPE_U8, 2);
}

void ScreenHarness::loadDefaultInstallation() {
    std::string error;
    const auto installation = sim::sim_load_installation(sim::sim_default_installation_path(), &error);
    if (!installation) {
        fail("the default installation does not load: " + error);
    }
    installation->model.forEachObject(
        sim::ALL_OBJECTS, [this](uint32_t oid, const sim::SimObject& o) { object(oid, o.type, o.subtype); });
    installation->model.forEachValue(
        sim::ALL_OBJECTS, sim::ALL_VALUES, [](uint32_t oid, uint16_t vid, const sim::SimValue& v) {
            store(oid, vid, v.type, v.valid ? v.bytes.data() : nullptr,
                  v.valid ? static_cast<uint32_t>(v.bytes.size()) : PT_LENGTH_NO_VALUE);
        });
}

std::vector<ProxyObject*> ScreenHarness::objects(uint8_t type) const {
    std::vector<ProxyObject*> found;
    for (ProxyObject* o : Structure) {
        if (o->type().is(type)) {
            found.push_back(o);
        }
    }
    return found;
}

std::vector<ProxyObject*> ScreenHarness::objects(uint8_t type, uint8_t subtype) const {
    std::vector<ProxyObject*> found;
    for (ProxyObject* o : objects(type)) {
        if (o->type().is(type, subtype)) {
            found.push_back(o);
        }
    }
    return found;
}

// ---- Network ----

void ScreenHarness::connect(uint32_t owner, const std::optional<PublishedValue>& changed) {
    Net::Tavi.handleConnected(owner);
    uint8_t payload[TNET_SUBSCRIBE_SIZE];
    put_le32(payload, oid_make(tnet_get_address(), 0));
    put_le16(payload + 4, VID_ALL);
    Net::Tavi.handleReceived(TNET_CMD_SYNCHRONIZED, payload, sizeof payload);
    // The answer brings every value the unit holds, which is what the test put into the table: a value it did
    // not bring would go when the synchronisation completes.
    std::vector<std::pair<uint32_t, uint16_t>> held;
    pt_for_each([&held](uint32_t oid, uint16_t vid) { held.emplace_back(oid, vid); });
    for (const auto& [oid, vid] : held) {
        pt_value value;
        pt_get_value(&value, oid, vid);
        if (changed && changed->oid == oid && changed->vid == vid) {
            value.value = changed->value;
        }
        uint8_t publish[TNET_MAX_COMMAND_SIZE];
        put_le32(publish + TNET_PUB_OFS_OID, oid);
        put_le16(publish + TNET_PUB_OFS_VID, vid);
        publish[TNET_PUB_OFS_VTYPE] = value.vtype;
        put_le32(publish + TNET_PUB_OFS_TIMESTAMP,
                 timestamp_to_network(static_cast<time_t>(value.timestamp)));
        uint16_t length = TNET_PUBLISH_HEADER_SIZE;
        if (BT_VTYPE_IS_BYTES(value.vtype)) {
            put_le16(publish + length,
                     value.valid ? value.length : static_cast<uint16_t>(PT_LENGTH_NO_VALUE));
            std::memcpy(publish + length + 2, value.data, value.valid ? value.length : 0);
            length = static_cast<uint16_t>(length + 2 + (value.valid ? value.length : 0));
        } else {
            const unsigned width = bt_vtype_width(value.vtype);
            put_le(publish + length,
                   value.valid ? static_cast<uint32_t>(value.value) : bt_vtype_marker(value.vtype), width);
            length = static_cast<uint16_t>(length + width);
        }
        Net::Tavi.handleReceived(TNET_CMD_PUBLISH, publish, length);
    }
    put_le32(payload, OID_ALL);
    Net::Tavi.handleReceived(TNET_CMD_SYNCHRONIZED, payload, sizeof payload);
    if (!Net::Tavi.isSynchronized()) {
        fail("the bridge did not synchronise");
    }
    runTasks();
    Structure.clearPublishQueue();
}

void ScreenHarness::disconnect() {
    Net::Tavi.handleDisconnected(TNET_DISCONNECT_MASTER);
    runTasks();
}

bool ScreenHarness::isConnected() const {
    return Net::Tavi.isConnected();
}

bool ScreenHarness::isSynchronized() const {
    return Net::Tavi.isSynchronized();
}

void ScreenHarness::networkEvent(int kind) {
    mCore.sendEvent(static_cast<event_kind_t>(kind), 0, 0, 0, 0);
}

// ---- Clock and main loop ----

void ScreenHarness::setTime(int64_t utc) {
    os_time_set(static_cast<uint32_t>(utc));
}

void ScreenHarness::runTasks(int passes) {
    App* app = getApplication();
    for (int i = 0; i < passes; ++i) {
        // The main loop's services in its order; the network client's own task has no line here.
        app->getLogManager()->task();
        app->getUpdateManager()->task();
        Net::Tavi.task();
        Structure.task();
        mCore.task();
        app->getSystemManager()->task();
    }
}

void ScreenHarness::tick(int n) {
    for (int i = 0; i < n; ++i) {
        os_clock_advance(TICK_MS);
        mCore.tick();
        if (mPressed && ++mHeldTicks >= HOLD_FIRST_TICKS &&
            (mHeldTicks - HOLD_FIRST_TICKS) % HOLD_REPEAT_TICKS == 0) {
            send(EVENT_TOUCH_HOLD, mX, mY);
        }
        if (mCore.takeTimerFlag()) {
            mCore.sendMessage(nullptr, MSG_TIMER, static_cast<int>(mCore.getTickCount()), 0, 0, 0);
        }
        runTasks();
    }
    runTasks(); // paints what the last timer message changed
}

Form* ScreenHarness::open(unsigned id, unsigned p1, unsigned p2, unsigned p3, unsigned p4) {
    mCore.changeState(id, static_cast<int>(p1), static_cast<int>(p2), static_cast<int>(p3),
                      static_cast<int>(p4));
    runTasks(2);
    return screen();
}

Form* ScreenHarness::blank() {
    setRegistry(&ScreenHarness::buildBlank);
    return open(1);
}

// ---- Touch ----

void ScreenHarness::send(event_kind_t kind, int x, int y) {
    mCore.sendEvent(kind, x, y, x, y);
}

void ScreenHarness::press(int x, int y) {
    mX = x;
    mY = y;
    mPressed = true;
    mHeldTicks = 0;
    getApplication()->getSystemManager()->reset();
    send(EVENT_TOUCH_PRESS, x, y);
    runTasks(2);
}

void ScreenHarness::move(int x, int y) {
    mX = x;
    mY = y;
    send(EVENT_TOUCH_MOVE, x, y);
    runTasks(2);
}

void ScreenHarness::release() {
    mPressed = false;
    send(EVENT_TOUCH_RELEASE, mX, mY);
    runTasks(2); // the click, then what the widgets sent on it
}

void ScreenHarness::tap(int x, int y) {
    press(x, y);
    release();
}

void ScreenHarness::tap(const Component* component) {
    if (component == nullptr || !component->isGloballyVisible() || component->getVisibleBox().isEmpty()) {
        fail("tapped a component that cannot be seen");
    }
    const Box box = component->getVisibleBox();
    tap(box.x1 + box.getWidth() / 2, box.y1 + box.getHeight() / 2);
}

// ---- Probes ----

const State& ScreenHarness::state() const {
    return mCore.getStateManager().getState();
}

std::size_t ScreenHarness::historyDepth() const {
    return mCore.getStateManager().size();
}

std::vector<Component*> ScreenHarness::components() const {
    std::vector<Component*> all;
    for (Component* layer : mCore.getModalLayers()) {
        appendPreOrder(layer, all);
    }
    return all;
}

std::optional<std::string> ScreenHarness::textOf(const Component& c) {
    if (const auto* l = dynamic_cast<const Label*>(&c)) {
        return l->getText();
    }
    if (const auto* l = dynamic_cast<const ContainedLabel*>(&c)) {
        return l->getText();
    }
    if (const auto* t = dynamic_cast<const TextFrame*>(&c)) {
        return t->getText();
    }
    if (const auto* b = dynamic_cast<const Button*>(&c)) {
        return b->getText();
    }
    if (const auto* n = dynamic_cast<const NavigationLink*>(&c)) {
        return n->getText();
    }
    if (const auto* s = dynamic_cast<const SwitchButton*>(&c)) {
        return s->getText();
    }
    if (const auto* b = dynamic_cast<const CheckButton*>(&c)) {
        return b->getText();
    }
    if (const auto* e = dynamic_cast<const EditBox*>(&c)) {
        return e->getText();
    }
    if (const auto* b = dynamic_cast<const CheckButton*>(&c)) {
        return b->getText();
    }
    if (const auto* d = dynamic_cast<const DropdownButton*>(&c)) {
        return d->getTitle();
    }
    return std::nullopt;
}

Component* ScreenHarness::findByText(const std::string& text) const {
    for (Component* c : components()) {
        if (c->isGloballyVisible() && textOf(*c) == text) {
            return c;
        }
    }
    return nullptr;
}

Component* ScreenHarness::findByTag(uint32_t tag) const {
    for (Component* c : components()) {
        if (c->isGloballyVisible() && c->tag == tag) {
            return c;
        }
    }
    return nullptr;
}

template <class Visit>
void ScreenHarness::forEachPixel(const Box& box, Visit&& visit) {
    for (int y = std::max(box.y1, 0); y <= std::min(box.y2, H - 1); ++y) {
        for (int x = std::max(box.x1, 0); x <= std::min(box.x2, W - 1); ++x) {
            visit(x, y, front(x, y));
        }
    }
}

int ScreenHarness::countColour(const Box& box, unsigned colour) {
    int n = 0;
    forEachPixel(box, [&](int, int, unsigned pixel) { n += pixel == colour; });
    return n;
}

int ScreenHarness::countNear(const Box& box, unsigned colour) {
    auto near = [colour](unsigned pixel) {
        for (int shift = 0; shift < 24; shift += 8) {
            if (std::abs(static_cast<int>((pixel >> shift) & 0xFF) -
                         static_cast<int>((colour >> shift) & 0xFF)) > 0x30) {
                return false;
            }
        }
        return true;
    };
    int n = 0;
    forEachPixel(box, [&](int, int, unsigned pixel) { n += near(pixel); });
    return n;
}

Box ScreenHarness::inkIn(const Box& area, unsigned ground) {
    Box ink = Box::fromCorners(W, H, -1, -1);
    forEachPixel(area, [&](int x, int y, unsigned pixel) {
        if (pixel != ground) {
            ink = Box::fromCorners(std::min(ink.x1, x), std::min(ink.y1, y), std::max(ink.x2, x),
                                   std::max(ink.y2, y));
        }
    });
    return ink;
}

Box ScreenHarness::inkOf(Component& component) {
    runTasks();
    const Box area = component.getVisibleBox();
    std::vector<unsigned> shown;
    forEachPixel(area, [&](int, int, unsigned pixel) { shown.push_back(pixel); });
    component.setVisible(false);
    runTasks();
    Box ink = Box::fromCorners(W, H, -1, -1);
    size_t i = 0;
    forEachPixel(area, [&](int x, int y, unsigned pixel) {
        if (pixel != shown[i++]) {
            ink = Box::fromCorners(std::min(ink.x1, x), std::min(ink.y1, y), std::max(ink.x2, x),
                                   std::max(ink.y2, y));
        }
    });
    component.setVisible(true);
    runTasks();
    return ink;
}

std::vector<Box> ScreenHarness::flipsAfter(const std::function<void()>& change) {
    static std::vector<Box> flips;
    flips.clear();
    gfx_set_flip_hook(
        [](const gfx_surface&, int x, int y, int w, int h) { flips.push_back(Box(x, y, w, h)); });
    change();
    runTasks();
    gfx_set_flip_hook(nullptr);
    return flips;
}

void ScreenHarness::screenshot(const std::string& name) const {
    std::filesystem::create_directories(TDX_SCREENSHOT_DIR);
    const std::string path = std::string(TDX_SCREENSHOT_DIR) + "/" + name + ".bmp";
    if (!write_bmp(path, gfx.surface.front, W, H, gfx.surface.stride)) {
        ADD_FAILURE() << "screenshot not written: " << path;
    }
}

int ScreenHarness::messages(unsigned id, const Component* source) const {
    int n = 0;
    for (const Seen& s : mMessages) {
        n += s.id == id && (source == nullptr || s.source == source);
    }
    return n;
}

std::optional<int> ScreenHarness::value(oid_t oid, vid_t vid) const {
    int v = 0;
    if (pt_get_int(&v, oid, vid) != PT_OK) {
        return std::nullopt;
    }
    return v;
}

std::optional<std::string> ScreenHarness::text(oid_t oid, vid_t vid) const {
    std::string t;
    if (pt_get_text(&t, oid, vid) != PT_OK) {
        return std::nullopt;
    }
    return t;
}

std::size_t ScreenHarness::publishPending() const {
    return Structure.publishPending();
}

const Published& ScreenHarness::published() {
    pt_value v{};
    while (Structure.takePublish(&v)) {
        PublishedValue p(v.oid, v.vid, 0);
        p.valid = v.valid;
        if (BT_VTYPE_IS_BYTES(v.vtype)) {
            p.text.assign(reinterpret_cast<const char*>(v.data), v.valid ? v.length : 0);
        } else {
            p.value = v.value;
        }
        mPublished.push_back(p);
    }
    return mPublished;
}

const std::string& ScreenHarness::trace() const {
    return mTrace->str();
}

} // namespace tdx::test
