#include "tests/SourceApp/application/forms/monkey/screen_monkey.h"

#include "Libraries/base/bytes.h"
#include "Libraries/base/dbg.h"
#include "Libraries/base/fmt.h"
#include "Libraries/base/os.h"
#include "Libraries/link_bus/tnet_packet.h"
#include "SourceApp/application/AppImpl.h"
#include "SourceApp/application/OwnDevice.h"
#include "SourceApp/application/ScheduleEditState.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Popup.h"
#include "SourceApp/application/controls/TopBar.h"
#include "SourceApp/application/startup/StateRegistry.h"
#include "SourceApp/gui/core/Control.h"
#include "SourceApp/gui/core/layout/Viewport.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "SourceApp/storage/DataModel.h"
#include "SourceApp/storage/ProxyStructure.h"
#include "SourceApp/storage/net/TaviProtocol.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <deque>
#include <exception>
#include <memory>
#include <vector>

namespace tdx::test {

// ---- MonkeyBytes ----

uint8_t MonkeyBytes::u8() {
    if (mAt < mSize) {
        return mData[mAt++];
    }
    return mEndless ? static_cast<uint8_t>(mRandom() >> 24) : 0;
}

uint16_t MonkeyBytes::u16() {
    const uint8_t low = u8();
    return static_cast<uint16_t>(low | u8() << 8);
}

uint32_t MonkeyBytes::u32() {
    const uint16_t low = u16();
    return low | static_cast<uint32_t>(u16()) << 16;
}

namespace {

// Every step the monkey takes; the operands it reads follow in brackets.
enum class Op {
    TapControl,   // [which]: press and release on a control of the newest layer
    PressControl, // [which]: the finger goes down on a control, or slides there when it is down already
    PressAt,      // [x y]: the same at a point
    Move,         // [x y]: the finger slides to the point, or comes down there
    Release,      // the finger comes up, or a tick passes while it is up
    Tick,         // [n]: 1 to 16 ticks of 62 ms
    Stall,        // [n]: the loop stalls for 0.5 to 128 s, then one tick
    Value,        // [object value type number-or-bytes]: a PUBLISH from the control unit
    RemoveObject, // [object]: an OBJECT_REMOVE
    AppendObject, // [object type subtype]: an OBJECT_INFO
    NetworkEvent, // [kind]: event 5, 6 or 7 to the screens
    PopupAnswer,  // [answer]: a button of the open popup, or a result no popup sent
    SyncTime,     // [time]: the control unit sets the clock
    Reopen,       // the first state again, as a link to it would open it
};

constexpr const char* OP_NAMES[] = {"tap on a control",
                                    "press on a control",
                                    "press",
                                    "move",
                                    "release",
                                    "ticks",
                                    "stall",
                                    "value",
                                    "object removal",
                                    "object announcement",
                                    "network event",
                                    "popup answer",
                                    "clock setting",
                                    "state opened again"};
static_assert(std::size(OP_NAMES) == static_cast<size_t>(Op::Reopen) + 1);

// An opcode byte picks an entry modulo the table's size: the more often an op is listed, the more often it
// comes. Touch dominates, as it does in use; the first state comes back often enough for the monkey to spend
// its time there rather than on the screens that the top bar leads to.
constexpr Op OPS[] = {
    Op::TapControl,  Op::TapControl,  Op::TapControl, Op::TapControl,   Op::PressControl, Op::PressControl,
    Op::PressAt,     Op::PressAt,     Op::Move,       Op::Move,         Op::Release,      Op::Release,
    Op::Release,     Op::Tick,        Op::Tick,       Op::Tick,         Op::Stall,        Op::Value,
    Op::Value,       Op::Value,       Op::Value,      Op::RemoveObject, Op::AppendObject, Op::NetworkEvent,
    Op::PopupAnswer, Op::PopupAnswer, Op::SyncTime,   Op::Reopen,       Op::Reopen,
};

constexpr size_t MAX_TEXT_PARAMETER = 64;
constexpr size_t MAX_ID_LIST = 8;
constexpr size_t STEPS_REPORTED = 24;
constexpr uint32_t CONTROL_UNIT_ADDRESS = 0x000316;
constexpr uint32_t PERIPHERAL_ADDRESS = 0x000520;

// ---- Screens alive ----

int gScreensAlive = 0;
Core::ChangeStateCallback gRegistry = &AppChangeState;

// Rides along, hidden, as the last child of every screen the registry builds: it goes when its screen goes,
// which lets the monkey count the screens alive without the GUI core's help.
class ScreenSentinel : public Component {
public:
    explicit ScreenSentinel(Form* screen)
        : Component(screen, 0, 0, 0, 0) {
        setName("ScreenSentinel");
        setVisible(false);
        ++gScreensAlive;
    }
    ~ScreenSentinel() override { --gScreensAlive; }
};

Form* buildCounted(unsigned previous, unsigned next, const State& state) {
    Form* screen = gRegistry(previous, next, state);
    if (screen != nullptr) {
        new ScreenSentinel(screen);
    }
    return screen;
}

// ---- Crafted objects: one of every kind the screens show, on the control unit and one peripheral ----

struct CraftedObject {
    oid_t oid;
    uint8_t type;
    uint8_t subtype;
};

constexpr CraftedObject CRAFTED[] = {
    {oid_make(CONTROL_UNIT_ADDRESS, 0), BT_OBJ_DEVICE, 0},
    {oid_make(CONTROL_UNIT_ADDRESS, 1), BT_OBJ_ROOM, 0},
    {oid_make(CONTROL_UNIT_ADDRESS, 2), BT_OBJ_ROOM, 0},
    {oid_make(CONTROL_UNIT_ADDRESS, 3), BT_OBJ_OUTPUT, 6},
    {oid_make(CONTROL_UNIT_ADDRESS, 4), BT_OBJ_OUTPUT, 7},
    {oid_make(CONTROL_UNIT_ADDRESS, 5), BT_OBJ_OUTPUT, 8},
    {oid_make(CONTROL_UNIT_ADDRESS, 6), BT_OBJ_OUTPUT, 11},
    {oid_make(CONTROL_UNIT_ADDRESS, 7), BT_OBJ_INPUT, 0},
    {oid_make(CONTROL_UNIT_ADDRESS, 8), BT_OBJ_ITC, 0},
    {oid_make(CONTROL_UNIT_ADDRESS, 9), BT_OBJ_HCC, 0},
    {oid_make(CONTROL_UNIT_ADDRESS, 10), BT_OBJ_DHW, 0},
    {oid_make(CONTROL_UNIT_ADDRESS, 11), BT_OBJ_DHW_TANK, 0},
    {oid_make(PERIPHERAL_ADDRESS, 0), BT_OBJ_DEVICE, 0},
    {oid_make(PERIPHERAL_ADDRESS, 1), BT_OBJ_INTERFACE, 0},
    {oid_make(PERIPHERAL_ADDRESS, 2), BT_OBJ_INPUT, 0},
};

// ---- The monkey ----

class Monkey : public FormsTest {
public:
    Monkey() { SetUpTestSuite(); }
    void TestBody() override {}
    void begin() { SetUp(); }
    void end() {
        // The run may have removed the location or announced it anew as another kind: the harness puts its
        // own back when it tears down.
        mCore.closeAllLayers();
        Structure.clear();
        proxytab_init();
        TearDown();
    }
    // The resources, which a renewed application object has let go.
    static void loadResources() { SetUpTestSuite(); }

    MonkeyVerdict run(MonkeyBytes& in, unsigned maxSteps);

private:
    // Scene and state
    void setScene(uint8_t scene);
    void craft(bool atMarkers);
    std::unique_ptr<State> decodeState(MonkeyBytes& in, uint8_t id, uint8_t kind);

    // Steps
    std::string step(MonkeyBytes& in);
    std::string touchControl(MonkeyBytes& in, bool release);
    std::string touchAt(int x, int y, bool release);
    std::string publishValue(MonkeyBytes& in);
    std::string answerPopup(MonkeyBytes& in);
    void receive(uint8_t cmd, const std::vector<uint8_t>& payload);
    void settle();

    // What the bytes pick
    oid_t pickObject(MonkeyBytes& in);
    vid_t pickValue(MonkeyBytes& in, oid_t oid);
    bt_vtype pickType(MonkeyBytes& in, oid_t oid, vid_t vid);
    std::vector<uint8_t> pickBytes(MonkeyBytes& in, uint16_t length);
    static int pickPoint(MonkeyBytes& in, int size) { return in.u8() * (size - 1) / 255; }
    std::vector<Control*> touchableControls() const;

    // Checks
    std::string unsoundness() const;
    std::string componentOutside() const;
    // What a screen lays out beyond its bounds by design; nothing else may be.
    static bool outsideByDesign(const Component& component);
    static std::string describe(const Component& component);

    std::unique_ptr<State> mFirstState;
    std::vector<oid_t> mRemoved;
    bool mFingerDown = false;
    const char* mUnderWay = "opening the first state"; // the kind of step being taken
};

MonkeyVerdict Monkey::run(MonkeyBytes& in, unsigned maxSteps) {
    MonkeyVerdict verdict;
    std::deque<std::string> recent;
    auto fail = [&](const std::string& what) {
        verdict.sound = false;
        verdict.report = fmt("%s after %u steps: %s\nthe last steps:\n",
                             screen() != nullptr ? describe(*screen()) : "no screen", verdict.steps, what);
        for (const std::string& line : recent) {
            verdict.report += "  " + line + "\n";
        }
    };
    try {
        const uint8_t id = in.u8();
        const uint8_t kind = in.u8();
        const uint8_t scene = in.u8();
        setScene(scene);
        mFirstState = decodeState(in, id, kind);
        recent.push_back(fmt("open state %u (class %u, scene %02X)", mFirstState->getStateId(), kind & 7u,
                             unsigned{scene}));
        mCore.changeState(*mFirstState);
        runTasks(2);
        settle();
        if (std::string broken = unsoundness(); !broken.empty()) {
            fail(broken);
            return verdict;
        }
        while (verdict.steps < maxSteps && !in.exhausted()) {
            recent.push_back(step(in));
            if (recent.size() > STEPS_REPORTED) {
                recent.pop_front();
            }
            ++verdict.steps;
            settle();
            if (std::string broken = unsoundness(); !broken.empty()) {
                fail(broken);
                return verdict;
            }
        }
    } catch (const FailedAssertion& assertion) {
        recent.push_back(std::string("(") + mUnderWay + ")");
        fail(std::string("assertion: ") + assertion.what());
    } catch (const std::exception& exception) {
        recent.push_back(std::string("(") + mUnderWay + ")");
        fail(std::string("exception: ") + exception.what());
    }
    return verdict;
}

// ---- Scene and state ----

void Monkey::setScene(uint8_t scene) {
    // The tree's two roots, as start-up appends them.
    object(own_network_address(), BT_OBJ_DEVICE);
    location();
    switch (scene & 3) {
        case 0:
            loadDefaultInstallation();
            break;
        case 1:
            break;
        default:
            craft((scene & 3) == 3);
            break;
    }
    Structure.task();
    switch ((scene >> 2) & 3) {
        case 1:
            Net::Tavi.handleConnected(CONTROL_UNIT); // subscribing: values arrive, not yet synchronised
            break;
        case 2:
            break; // nothing from the control unit gets through
        default:
            connect();
            break;
    }
    useCatalogues();
    i18n.switchLanguage(static_cast<uint8_t>((scene >> 4) & 3));
    i18n.setLanguageLocale();
    setRegistry(&buildCounted);
}

void Monkey::craft(bool atMarkers) {
    for (const CraftedObject& crafted : CRAFTED) {
        ObjectBuilder built = object(crafted.oid, crafted.type, crafted.subtype);
        const DataModel::ObjectTemplate* objectTemplate = built.object().getTemplate();
        if (!atMarkers || objectTemplate == nullptr) {
            continue;
        }
        for (const DataModel::Value* value : *objectTemplate) {
            if (BT_VTYPE_IS_INT(value->vtype())) {
                built.value(value->vid(), value->vtype(), static_cast<int>(bt_vtype_marker(value->vtype())));
            } else {
                built.invalid(value->vid());
            }
        }
    }
}

std::unique_ptr<State> Monkey::decodeState(MonkeyBytes& in, uint8_t id, uint8_t kind) {
    const unsigned stateId = id % (STATE_COUNT + 1);
    const unsigned p1 = (kind & 8) != 0 ? in.u32() : pickObject(in);
    unsigned p[3] = {};
    if ((kind & 16) != 0) {
        for (unsigned& parameter : p) {
            parameter = in.u32();
        }
    }
    auto text = [&in] {
        std::string t(in.u8() % MAX_TEXT_PARAMETER, '\0');
        for (char& c : t) {
            c = static_cast<char>(in.u8());
        }
        return t;
    };
    switch (kind & 7) {
        case 1:
            return std::make_unique<SingleParamState<std::string>>(stateId, p1, p[0], p[1], p[2], text());
        case 2: {
            const Ovi ovi(p1, pickValue(in, p1));
            return std::make_unique<ScheduleEditState>(stateId, ovi, text(),
                                                       static_cast<unsigned char>(in.u8() % 8));
        }
        case 3:
            return std::make_unique<SingleParamState<Ovi>>(stateId, p1, p[0], p[1], p[2],
                                                           Ovi(p1, pickValue(in, p1)));
        case 4: {
            std::vector<uint32_t> ids(in.u8() % MAX_ID_LIST);
            for (uint32_t& oid : ids) {
                oid = pickObject(in);
            }
            return std::make_unique<SingleParamState<std::vector<uint32_t>>>(stateId, p1, p[0], p[1], p[2],
                                                                             ids);
        }
        default:
            return std::make_unique<State>(stateId, p1, p[0], p[1], p[2]);
    }
}

// ---- Steps ----

std::string Monkey::step(MonkeyBytes& in) {
    const Op op = OPS[in.u8() % std::size(OPS)];
    mUnderWay = OP_NAMES[static_cast<size_t>(op)];
    switch (op) {
        case Op::TapControl:
            return touchControl(in, true);
        case Op::PressControl:
            return touchControl(in, false);
        case Op::PressAt: {
            const int x = pickPoint(in, SCREEN_WIDTH);
            return touchAt(x, pickPoint(in, SCREEN_HEIGHT), false);
        }
        case Op::Move: {
            const int x = pickPoint(in, SCREEN_WIDTH);
            const int y = pickPoint(in, SCREEN_HEIGHT);
            if (!mFingerDown) {
                return touchAt(x, y, false);
            }
            move(x, y);
            return fmt("move to %d,%d", x, y);
        }
        case Op::Release:
            if (!mFingerDown) {
                tick();
                return "a tick with the finger up";
            }
            release();
            mFingerDown = false;
            return "release";
        case Op::Tick: {
            const int n = 1 + in.u8() % 16;
            tick(n);
            return fmt("%d ticks", n);
        }
        case Op::Stall: {
            const uint32_t ms = (1u + in.u8()) * 500u;
            os_clock_advance(ms);
            tick();
            return fmt("stall of %u ms", ms);
        }
        case Op::Value:
            return publishValue(in);
        case Op::RemoveObject: {
            const oid_t oid = pickObject(in);
            std::vector<uint8_t> payload(TNET_OBJECT_REMOVE_SIZE);
            put_le32(payload.data(), oid);
            if (Structure.find(oid) != nullptr) {
                mRemoved.push_back(oid);
            }
            receive(TNET_CMD_OBJECT_REMOVE, payload);
            return fmt("object %08X removed", oid);
        }
        case Op::AppendObject: {
            const oid_t oid = pickObject(in);
            std::vector<uint8_t> payload(TNET_OBJECT_INFO_SIZE);
            put_le32(payload.data(), oid);
            payload[TNET_INFO_OFS_TYPE] = in.u8() % 12;
            payload[TNET_INFO_OFS_SUBTYPE] = in.u8() % 12;
            receive(TNET_CMD_OBJECT_INFO, payload);
            return fmt("object %08X announced as %u/%u", oid, unsigned{payload[TNET_INFO_OFS_TYPE]},
                       unsigned{payload[TNET_INFO_OFS_SUBTYPE]});
        }
        case Op::NetworkEvent: {
            const int kind = 5 + in.u8() % 3;
            networkEvent(kind);
            runTasks(2);
            return fmt("network event %d", kind);
        }
        case Op::PopupAnswer:
            return answerPopup(in);
        case Op::SyncTime: {
            std::vector<uint8_t> payload(TNET_SYNC_TIME_SIZE);
            const uint32_t time = in.u32();
            put_le32(payload.data(), time);
            receive(TNET_CMD_SYNC_TIME, payload);
            return fmt("clock set to network time %u", time);
        }
        case Op::Reopen:
            mCore.changeState(*mFirstState);
            runTasks(2);
            return fmt("state %u opened again", mFirstState->getStateId());
    }
    return "";
}

std::vector<Control*> Monkey::touchableControls() const {
    // Only the newest layer takes touch.
    std::vector<Control*> controls;
    const std::vector<Component*> layers = mCore.getModalLayers();
    std::vector<Component*> stack(layers.begin(), layers.begin() + (layers.empty() ? 0 : 1));
    while (!stack.empty()) {
        Component* c = stack.back();
        stack.pop_back();
        if (auto* control = dynamic_cast<Control*>(c); control != nullptr && control->isGloballyVisible() &&
                                                       control->isEnabled() &&
                                                       !control->getVisibleBox().isEmpty()) {
            controls.push_back(control);
        }
        if (c->isContainerType()) {
            const auto& children = static_cast<Container*>(c)->getChildren();
            stack.insert(stack.end(), children.rbegin(), children.rend());
        }
    }
    return controls;
}

std::string Monkey::touchControl(MonkeyBytes& in, bool release) {
    const std::vector<Control*> controls = touchableControls();
    const uint8_t which = in.u8();
    if (controls.empty()) {
        return touchAt(which * (SCREEN_WIDTH - 1) / 255, SCREEN_HEIGHT / 2, release);
    }
    const Control& control = *controls[which % controls.size()];
    const Box box = control.getVisibleBox();
    const std::string name = describe(control);
    return touchAt(box.x1 + box.getWidth() / 2, box.y1 + box.getHeight() / 2, release) + " on " + name;
}

std::string Monkey::touchAt(int x, int y, bool release) {
    if (mFingerDown && release) {
        this->release();
        mFingerDown = false;
    }
    if (mFingerDown) {
        move(x, y);
        return fmt("slide to %d,%d", x, y);
    }
    press(x, y);
    mFingerDown = true;
    if (!release) {
        return fmt("press at %d,%d", x, y);
    }
    this->release();
    mFingerDown = false;
    return fmt("tap at %d,%d", x, y);
}

std::string Monkey::publishValue(MonkeyBytes& in) {
    const oid_t oid = pickObject(in);
    const vid_t vid = pickValue(in, oid);
    const bt_vtype vtype = pickType(in, oid, vid);
    std::vector<uint8_t> payload(TNET_PUBLISH_HEADER_SIZE);
    put_le32(payload.data() + TNET_PUB_OFS_OID, oid);
    put_le16(payload.data() + TNET_PUB_OFS_VID, vid);
    payload[TNET_PUB_OFS_VTYPE] = vtype;
    // Time stamp 0: stored as now.
    std::string shown;
    if (BT_VTYPE_IS_BYTES(vtype)) {
        const uint8_t choice = in.u8();
        const uint16_t length = choice == 0xFF ? 0xFFFF : choice == 0xFE ? PT_MAX_DATA : choice;
        payload.resize(payload.size() + 2);
        put_le16(payload.data() + TNET_PUB_OFS_VALUE, length);
        if (length == 0xFFFF) {
            shown = "no value";
        } else {
            const std::vector<uint8_t> bytes = pickBytes(in, length);
            payload.insert(payload.end(), bytes.begin(), bytes.end());
            shown = fmt("%u bytes", unsigned{length});
        }
    } else {
        const uint8_t choice = in.u8();
        uint32_t number = 0;
        switch (choice % 4) {
            case 0:
                number = bt_vtype_marker(vtype);
                break;
            case 1:
                number = 0;
                break;
            case 2:
                number = in.u32();
                break;
            default:
                number = static_cast<uint32_t>((choice >> 2) - 32); // small numbers: indices, enumerations
                break;
        }
        const unsigned width = std::max(1u, bt_vtype_width(vtype));
        payload.resize(payload.size() + width);
        put_le(payload.data() + TNET_PUB_OFS_VALUE, number, width);
        shown = fmt("%d", static_cast<int>(number));
    }
    receive(TNET_CMD_PUBLISH, payload);
    return fmt("value %08X:%04X type %u = %s", oid, unsigned{vid}, unsigned{vtype}, shown);
}

std::string Monkey::answerPopup(MonkeyBytes& in) {
    const uint8_t answer = in.u8();
    const std::vector<Component*> layers = mCore.getModalLayers();
    if (!layers.empty()) {
        if (auto* popup = dynamic_cast<Popup*>(layers.front())) {
            for (Component* child : popup->getChildren()) {
                if (dynamic_cast<Control*>(child) != nullptr && child->tag == (answer & 1u)) {
                    touchAt(child->getLeft() + child->getWidth() / 2,
                            child->getTop() + child->getHeight() / 2, true);
                    return fmt("popup answered %u", answer & 1u);
                }
            }
        }
    }
    mCore.sendMessage(nullptr, MSG_POPUP_RESULT, answer, 0, 0, 0);
    runTasks(2);
    return fmt("popup result %u that no popup sent", unsigned{answer});
}

void Monkey::receive(uint8_t cmd, const std::vector<uint8_t>& payload) {
    Net::Tavi.handleReceived(cmd, payload.data(), static_cast<u16>(payload.size()));
    runTasks(2);
}

void Monkey::settle() {
    runTasks();
}

// ---- What the bytes pick ----

oid_t Monkey::pickObject(MonkeyBytes& in) {
    const uint8_t choice = in.u8();
    if (choice < 224 && Structure.size() > 0) {
        auto it = Structure.begin();
        for (size_t i = choice % Structure.size(); i > 0; --i) {
            ++it;
        }
        return (*it)->oid();
    }
    if (choice < 240) {
        return OID_LOCATION;
    }
    if (choice < 248) {
        return own_network_address();
    }
    if (choice < 252 && !mRemoved.empty()) {
        return mRemoved[choice % mRemoved.size()];
    }
    return in.u32();
}

vid_t Monkey::pickValue(MonkeyBytes& in, oid_t oid) {
    const uint8_t choice = in.u8();
    const ProxyObject* object = Structure.find(oid);
    const DataModel::ObjectTemplate* objectTemplate = object != nullptr ? object->getTemplate() : nullptr;
    if (choice < 192 && objectTemplate != nullptr && objectTemplate->size() > 0) {
        return (*(objectTemplate->begin() + choice % objectTemplate->size()))->vid();
    }
    if (choice < 224) {
        uint8_t list[PT_MAX_DATA];
        const int n = pt_get_data(list, sizeof list, oid, VID_VALUE_LIST);
        if (n >= 2) {
            return get_le16(list + 2 * (choice % (n / 2)));
        }
    }
    return in.u16();
}

bt_vtype Monkey::pickType(MonkeyBytes& in, oid_t oid, vid_t vid) {
    const uint8_t choice = in.u8();
    if (choice < 128) {
        // The type the value has, as the control unit would send it.
        const ProxyObject* object = Structure.find(oid);
        const DataModel::ObjectTemplate* objectTemplate = object != nullptr ? object->getTemplate() : nullptr;
        if (const DataModel::Value* value =
                objectTemplate != nullptr ? objectTemplate->findValue(vid) : nullptr) {
            return value->vtype();
        }
        bt_vtype stored = 0;
        if (pt_get_vtype(&stored, oid, vid) == PT_OK) {
            return stored;
        }
    }
    if (choice < 250) {
        return static_cast<bt_vtype>(BT_VTYPE_S8 + choice % 12);
    }
    return choice; // no type at all: the bridge refuses it
}

std::vector<uint8_t> Monkey::pickBytes(MonkeyBytes& in, uint16_t length) {
    std::vector<uint8_t> bytes(length);
    const uint8_t mode = in.u8();
    switch (mode % 4) {
        case 0:
            for (uint8_t& b : bytes) {
                b = in.u8();
            }
            break;
        case 1:
            for (size_t i = 0; i < bytes.size(); ++i) {
                bytes[i] = static_cast<uint8_t>(mode + i);
            }
            break;
        case 2:
            std::fill(bytes.begin(), bytes.end(), 0xFF);
            break;
        default:
            // A list of object ids, as rooms, devices and the location keep them.
            for (size_t i = 0; i + 4 <= bytes.size(); i += 4) {
                put_le32(bytes.data() + i, pickObject(in));
            }
            break;
    }
    return bytes;
}

// ---- Checks ----

std::string Monkey::describe(const Component& component) {
    std::string text = component.getName();
    if (const std::optional<std::string> shown = textOf(component); shown && !shown->empty()) {
        text += " \"" + *shown + "\"";
    }
    const Box& box = component.getBoundingBox();
    return text + fmt(" (%d,%d)-(%d,%d)", box.x1, box.y1, box.x2, box.y2);
}

std::string Monkey::unsoundness() const {
    if (gScreensAlive != 1) {
        return fmt("%d screens alive", gScreensAlive);
    }
    const std::vector<Component*> layers = mCore.getModalLayers();
    int screens = 0;
    for (const Component* layer : layers) {
        screens += dynamic_cast<const Form*>(layer) != nullptr;
    }
    if (screens != 1 || screen() == nullptr || layers.back() != screen()) {
        return fmt("%d screens among %u layers, or the screen shown is not the oldest layer", screens,
                   static_cast<unsigned>(layers.size()));
    }
    if (!mFingerDown) {
        for (const Component* c : components()) {
            if (const auto* control = dynamic_cast<const Control*>(c);
                control != nullptr && control->isActive()) {
                return "pressed with the finger up: " + describe(*control);
            }
        }
    }
    return componentOutside();
}

bool Monkey::outsideByDesign(const Component& component) {
    const Box& box = component.getBoundingBox();
    const Container* parent = component.getParent();
    if (parent == nullptr) {
        return false;
    }
    // The top bar's last button, as wide as the others: its last column lies off the screen.
    if (dynamic_cast<const TopBar*>(parent) != nullptr && parent->getChildren().back() == &component &&
        dynamic_cast<const IconButton*>(&component) != nullptr && box == Box(270, 0, 51, 30)) {
        return true;
    }
    // The display tab's actions, indented 10 pixels and as wide as their header: their right edge lies 10
    // pixels beyond the content, where they paint nothing.
    const Component* layer = parent;
    while (layer->getParent() != nullptr) {
        layer = layer->getParent();
    }
    return layer->getName() == std::string("FormDisplay") &&
           dynamic_cast<const Viewport*>(parent->getParent()) != nullptr &&
           dynamic_cast<const StackedContainer*>(&component) != nullptr && box.getWidth() == 209 &&
           box.x1 == parent->getLeft() + 10 && box.x2 == parent->getRight() + 10;
}

std::string Monkey::componentOutside() const {
    // A component of scrolled content may lie above or below its viewport, but not beside it.
    struct Walk {
        const Component* component;
        Box bounds;
        bool scrolled;
    };
    const Box screenBox(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    std::vector<Walk> stack;
    for (const Component* layer : mCore.getModalLayers()) {
        stack.push_back({layer, screenBox, false});
    }
    while (!stack.empty()) {
        const Walk at = stack.back();
        stack.pop_back();
        if (!at.component->isVisible()) {
            continue;
        }
        const Box& box = at.component->getBoundingBox();
        const bool across = box.x1 < at.bounds.x1 || box.x2 > at.bounds.x2;
        const bool beyond = !at.scrolled && (box.y1 < at.bounds.y1 || box.y2 > at.bounds.y2);
        if (!box.isEmpty() && (across || beyond) && !outsideByDesign(*at.component)) {
            return "outside the screen: " + describe(*at.component);
        }
        if (!at.component->isContainerType()) {
            continue;
        }
        const bool viewport = dynamic_cast<const Viewport*>(at.component) != nullptr;
        for (const Component* child : static_cast<const Container*>(at.component)->getChildren()) {
            stack.push_back({child, viewport ? box : at.bounds, at.scrolled || viewport});
        }
    }
    return "";
}

} // namespace

MonkeyVerdict runScreenMonkey(MonkeyBytes& bytes, unsigned maxSteps, Core::ChangeStateCallback registry) {
    gRegistry = registry != nullptr ? registry : &AppChangeState;
    const bool traced = dbg_is_enabled();
    dbg_set_enabled(false);
    // The display's identity, which the screens show and start-up gives.
    static const bool identified = [] {
        os_init();
        return true;
    }();
    (void)identified;
    // Nothing of an earlier run - a restart under way, an update process, the tick count - may steer this
    // one.
    application_renew();
    MonkeyVerdict verdict;
    {
        Monkey monkey;
        monkey.begin();
        verdict = monkey.run(bytes, maxSteps);
        monkey.end();
    }
    application_renew();
    Monkey::loadResources();
    dbg_set_enabled(traced);
    return verdict;
}

MonkeyVerdict runScreenMonkey(const uint8_t* data, size_t size) {
    MonkeyBytes bytes(data, size);
    return runScreenMonkey(bytes, UINT32_MAX);
}

} // namespace tdx::test
