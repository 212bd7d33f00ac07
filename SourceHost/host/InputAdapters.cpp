#include "SourceHost/host/InputAdapters.h"

#include "Libraries/base/unicode.h"

#include <string_view>

namespace tdx {

void KeyPressToHostAdapter::execute(MessageArgument* argument) {
    MessageReaderKey key;
    if (!key.tryRead(argument)) {
        return;
    }
    // A key payload holds at most MAX_SIZE bytes.
    const std::string_view bytes(key.getKeyValue(), key.getKeySize());
    if (key.isCharacter()) {
        size_t at = 0;
        mHost.sendCommand(std::make_shared<TypeCharacterCommand>(Unicode::next(bytes, at)));
        return;
    }
    unsigned code = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        code |= static_cast<unsigned>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    }
    mHost.sendCommand(std::make_shared<InspectorPressKeyCommand>(code));
}

void CoreMessageToHostAdapter::execute(MessageArgument* argument) {
    MessageReaderCoreMessage message;
    if (message.tryRead(argument)) {
        mHost.sendCommand(std::make_shared<SendMessageCommand>(message.getValue()));
    }
}

bool TouchingStateCommand::moveTo(MessageArgument* argument) {
    MessageReaderMouseEvent mouse;
    if (!mouse.tryRead(argument)) {
        return false;
    }
    mHost.setTouch(mouse.getX(), mouse.getY());
    return true;
}

void TouchingStateCommand::onEnter(const std::string&, MessageArgument* argument) {
    if (moveTo(argument)) {
        mHost.setTouchPress(true);
    }
}

void TouchingStateCommand::onEvent(const std::string&, MessageArgument* argument) {
    moveTo(argument);
}

void TouchingStateCommand::onExit(const std::string&, MessageArgument* argument) {
    moveTo(argument);
    mHost.setTouchPress(false);
}

} // namespace tdx
