#include "SourceHost/host/Command.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace tdx {

MessageArgumentKey::MessageArgumentKey(const char* key, unsigned size, bool character)
    : mSize(std::min(size, MAX_SIZE))
    , mCharacter(character) {
    if (key != nullptr) {
        std::memcpy(mKey, key, mSize);
    } else {
        mSize = 0;
    }
}

Message MessageArgumentCoreMessage::getMessage() const {
    Message message;
    message.source = nullptr;
    message.p1 = static_cast<int>(mP[0]);
    message.p2 = static_cast<int>(mP[1]);
    message.p3 = static_cast<int>(mP[2]);
    message.p4 = static_cast<int>(mP[3]);
    message.id = mId;
    return message;
}

void MessageReader::requireRead() const {
    if (!mRead) {
        throw std::logic_error("Value not readed yet");
    }
}

bool MessageReaderInteger::read(MessageArgument* argument) {
    const auto* payload = payload_as<MessageArgumentInteger>(argument);
    if (payload == nullptr) {
        return false;
    }
    mValue = payload->getInteger();
    return mRead = true;
}

int MessageReaderInteger::getIntegerValue() const {
    requireRead();
    return mValue;
}

bool MessageReaderBox::read(MessageArgument* argument) {
    const auto* payload = payload_as<MessageArgumentBox>(argument);
    if (payload == nullptr) {
        return false;
    }
    mBox = payload->getBoxValue();
    return mRead = true;
}

Box* MessageReaderBox::getBoxValue() const {
    requireRead();
    return mBox;
}

bool MessageReaderComponent::read(MessageArgument* argument) {
    const auto* payload = payload_as<MessageArgumentComponent>(argument);
    if (payload == nullptr) {
        return false;
    }
    mComponent = payload->getComponent();
    return mRead = true;
}

bool MessageReaderComponentAttribute::read(MessageArgument* argument) {
    const auto* payload = payload_as<MessageArgumentComponentAttribute>(argument);
    if (payload == nullptr) {
        return false;
    }
    mAttribute = payload->getAttribute();
    mValue = payload->getArgument().getInteger();
    return mRead = true;
}

bool MessageReaderMouseEvent::read(MessageArgument* argument) {
    const auto* payload = payload_as<MessageArgumentMouseEvent>(argument);
    if (payload == nullptr) {
        return false;
    }
    mX = payload->getX();
    mY = payload->getY();
    return mRead = true;
}

bool MessageReaderMouseButtonEvent::read(MessageArgument* argument) {
    const auto* payload = payload_as<MessageArgumentMouseButtonEvent>(argument);
    if (payload == nullptr) {
        return false;
    }
    mX = payload->getX();
    mY = payload->getY();
    mLeftDown = payload->isLeftDown();
    mLeftUp = payload->isLeftUp();
    return mRead = true;
}

bool MessageReaderKey::read(MessageArgument* argument) {
    const auto* payload = payload_as<MessageArgumentKey>(argument);
    if (payload == nullptr) {
        return false;
    }
    mSize = payload->getSize();
    mCharacter = payload->isCharacter();
    std::memcpy(mKey, payload->getKey(), std::min(mSize, MessageArgumentKey::MAX_SIZE));
    return mRead = true;
}

const char* MessageReaderKey::getKeyValue() const {
    requireRead();
    return mKey;
}

unsigned MessageReaderKey::getKeySize() const {
    requireRead();
    return mSize;
}

bool MessageReaderCoreMessage::read(MessageArgument* argument) {
    const auto* payload = payload_as<MessageArgumentCoreMessage>(argument);
    if (payload == nullptr) {
        return false;
    }
    mMessage = payload->getMessage();
    return mRead = true;
}

Message MessageReaderCoreMessage::getValue() const {
    requireRead();
    return mMessage;
}

} // namespace tdx
