// The host's one executable interface and the typed payloads that travel with named events. A payload lives
// on the raiser's stack for the duration of the raise; a listener reads it through the reader of its kind,
// which checks the kind first, and keeps no pointer to it.
#pragma once

#include "SourceApp/gui/core/types.h"

#include <cstdint>
#include <string>

namespace tdx {

class Component;
struct Box;

using MessageArgumentType = int;

class MessageArgument {
public:
    virtual ~MessageArgument() = default;
    virtual MessageArgumentType getArgumentType() const = 0;
};

// The payload as its exact kind (not a derived one); null for null or a payload of another kind.
template <typename Kind>
const Kind* payload_as(const MessageArgument* argument) {
    return argument != nullptr && argument->getArgumentType() == Kind::TYPE
               ? static_cast<const Kind*>(argument)
               : nullptr;
}

class Command {
public:
    virtual ~Command() = default;
    // The argument may be null: some events carry nothing, and queued commands run without one.
    virtual void execute(MessageArgument* argument) = 0;
};

enum ComponentAttribute : int { Left = 0, Top = 1, Width = 2, Height = 3 };

class MessageArgumentInteger : public MessageArgument {
public:
    static constexpr MessageArgumentType TYPE = 0;
    explicit MessageArgumentInteger(int value)
        : mValue(value) {}
    MessageArgumentType getArgumentType() const override { return TYPE; }
    int getInteger() const { return mValue; }

private:
    int mValue;
};

class MessageArgumentBox : public MessageArgument {
public:
    static constexpr MessageArgumentType TYPE = 1;
    explicit MessageArgumentBox(Box* box)
        : mBox(box) {}
    MessageArgumentType getArgumentType() const override { return TYPE; }
    Box* getBoxValue() const { return mBox; }

private:
    Box* mBox;
};

class MessageArgumentComponent : public MessageArgument {
public:
    static constexpr MessageArgumentType TYPE = 2;
    explicit MessageArgumentComponent(Component* component)
        : mComponent(component) {}
    MessageArgumentType getArgumentType() const override { return TYPE; }
    Component* getComponent() const { return mComponent; }

private:
    Component* mComponent;
};

class MessageArgumentComponentAttribute : public MessageArgument {
public:
    static constexpr MessageArgumentType TYPE = 3;
    MessageArgumentComponentAttribute(ComponentAttribute attribute, int value)
        : mAttribute(attribute)
        , mValue(value) {}
    MessageArgumentType getArgumentType() const override { return TYPE; }
    ComponentAttribute getAttribute() const { return mAttribute; }
    MessageArgumentInteger getArgument() const { return mValue; }

private:
    ComponentAttribute mAttribute;
    MessageArgumentInteger mValue;
};

class MessageArgumentMachineEvent : public MessageArgument {
public:
    static constexpr MessageArgumentType TYPE = 4;
    MessageArgumentMachineEvent(const std::string& event, MessageArgument* argument)
        : mEvent(event)
        , mArgument(argument) {}
    MessageArgumentType getArgumentType() const override { return TYPE; }
    std::string getEvent() const { return mEvent; }
    const std::string& event() const { return mEvent; }
    MessageArgument* getArgument() const { return mArgument; }

private:
    std::string mEvent;
    MessageArgument* mArgument;
};

class MessageArgumentMouseEvent : public MessageArgument {
public:
    static constexpr MessageArgumentType TYPE = 5;
    MessageArgumentMouseEvent(int x, int y)
        : mX(x)
        , mY(y) {}
    MessageArgumentType getArgumentType() const override { return TYPE; }
    int getX() const { return mX; }
    int getY() const { return mY; }

private:
    int mX;
    int mY;
};

class MessageArgumentMouseButtonEvent : public MessageArgumentMouseEvent {
public:
    static constexpr MessageArgumentType TYPE = 6;
    MessageArgumentMouseButtonEvent(int x, int y, bool leftDown, bool leftUp)
        : MessageArgumentMouseEvent(x, y)
        , mLeftDown(leftDown)
        , mLeftUp(leftUp) {}
    MessageArgumentType getArgumentType() const override { return TYPE; }
    bool isLeftDown() const { return mLeftDown; }
    bool isLeftUp() const { return mLeftUp; }

private:
    bool mLeftDown;
    bool mLeftUp;
};

// The bytes of one key: the UTF-8 of a typed character or the single byte of a key code; at most 4.
class MessageArgumentKey : public MessageArgument {
public:
    static constexpr MessageArgumentType TYPE = 7;
    static constexpr unsigned MAX_SIZE = 4;
    // A typed character comes as its UTF-8 bytes (character set); a named key as its key code's byte.
    MessageArgumentKey(const char* key, unsigned size, bool character = false);
    MessageArgumentType getArgumentType() const override { return TYPE; }
    const char* getKey() const { return mKey; }
    unsigned getSize() const { return mSize; }
    bool isCharacter() const { return mCharacter; }

private:
    char mKey[MAX_SIZE] = {};
    unsigned mSize;
    bool mCharacter;
};

class MessageArgumentCoreMessage : public MessageArgument {
public:
    static constexpr MessageArgumentType TYPE = 8;
    MessageArgumentCoreMessage(unsigned short id, unsigned p1, unsigned p2, unsigned p3, unsigned p4)
        : mId(id)
        , mP{p1, p2, p3, p4} {}
    MessageArgumentType getArgumentType() const override { return TYPE; }
    Message getMessage() const;

private:
    unsigned short mId;
    unsigned mP[4];
};

// ---- Readers ----

class MessageReader {
public:
    virtual ~MessageReader() = default;
    // False for null or a payload of another kind (the exact kind, not a derived one); then nothing changes.
    bool tryRead(MessageArgument* argument) { return argument != nullptr && read(argument); }
    virtual bool read(MessageArgument* argument) = 0;

protected:
    // Throws std::logic_error "Value not readed yet" before a successful read.
    void requireRead() const;
    bool mRead = false;
};

class MessageReaderInteger : public MessageReader {
public:
    bool read(MessageArgument* argument) override;
    int getIntegerValue() const;

private:
    int mValue = 0;
};

class MessageReaderBox : public MessageReader {
public:
    bool read(MessageArgument* argument) override;
    Box* getBoxValue() const;

private:
    Box* mBox = nullptr;
};

class MessageReaderComponent : public MessageReader {
public:
    bool read(MessageArgument* argument) override;
    Component* getComponent() const { return mComponent; }

private:
    Component* mComponent = nullptr;
};

class MessageReaderComponentAttribute : public MessageReader {
public:
    bool read(MessageArgument* argument) override;
    ComponentAttribute getComponentAttribute() const { return mAttribute; }
    int getIntegerValue() const { return mValue; }

private:
    ComponentAttribute mAttribute = Left;
    int mValue = 0;
};

class MessageReaderMouseEvent : public MessageReader {
public:
    bool read(MessageArgument* argument) override;
    int getX() const { return mX; }
    int getY() const { return mY; }

protected:
    int mX = 0;
    int mY = 0;
};

class MessageReaderMouseButtonEvent : public MessageReaderMouseEvent {
public:
    bool read(MessageArgument* argument) override;
    bool getIsLeftDown() const { return mLeftDown; }
    bool getIsLeftUp() const { return mLeftUp; }

private:
    bool mLeftDown = false;
    bool mLeftUp = false;
};

class MessageReaderKey : public MessageReader {
public:
    bool read(MessageArgument* argument) override;
    const char* getKeyValue() const;
    unsigned getKeySize() const;
    bool isCharacter() const { return mCharacter; }

private:
    char mKey[MessageArgumentKey::MAX_SIZE] = {};
    unsigned mSize = 0;
    bool mCharacter = false;
};

class MessageReaderCoreMessage : public MessageReader {
public:
    bool read(MessageArgument* argument) override;
    Message getValue() const;

private:
    Message mMessage;
};

} // namespace tdx
