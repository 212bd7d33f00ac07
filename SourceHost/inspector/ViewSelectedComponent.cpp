#include "SourceHost/inspector/ViewSelectedComponent.h"

#include "SourceApp/gui/core/Core.h"
#include "SourceHost/api_lib/layer.h"
#include "SourceHost/inspector/Model.h"

#include <algorithm>
#include <cstdlib>

namespace tdx {

void ViewSelectedComponent::setComponent(const ComponentCopy& component) {
    mComponent = component.id != 0 ? component : ComponentCopy{};
}

void ViewSelectedComponent::update(const ComponentCopy& component) {
    if (component.id != 0 && component.id == mComponent.id) {
        mComponent = component;
    }
}

bool ViewSelectedComponent::intersects(int x, int y) const {
    return getState() != 0 && mComponent.box.contains(x, y);
}

bool ViewSelectedComponent::isAtResizeArea(int x, int y) const {
    return getState() != 0 && std::abs(x - getRight()) <= RESIZE_REACH &&
           std::abs(y - getBottom()) <= RESIZE_REACH;
}

void ViewSelectAdapter::execute(MessageArgument* argument) {
    if (const ComponentCopy* copy = read_component_copy(argument)) {
        mView.setComponent(*copy);
    }
}

void ViewChangeAdapter::execute(MessageArgument* argument) {
    if (const ComponentCopy* copy = read_component_copy(argument)) {
        mView.update(*copy);
    }
}

void ComponentModifyToHostAdapter::execute(MessageArgument* argument) {
    MessageReaderComponentAttribute edit;
    if (!edit.tryRead(argument) || mView.getId() == 0) {
        return;
    }
    mHost.sendCommand(std::make_shared<ComponentSetAttributeCommand>(
        mView.getId(), edit.getComponentAttribute(), edit.getIntegerValue()));
}

namespace {
class ChangeStateCommand : public Command {
public:
    explicit ChangeStateCommand(unsigned id)
        : mId(id) {}
    void execute(MessageArgument*) override {
        if (Core* core = Core::current()) {
            core->changeState(mId, 0, 0, 0, 0);
        }
    }

private:
    unsigned mId;
};
} // namespace

void ChangeStateAdapter::execute(MessageArgument*) {
    mHost.sendCommand(std::make_shared<ChangeStateCommand>(mStateId));
}

bool IsInAreaCond::operator()(MessageArgument* argument) const {
    MessageReaderMouseEvent mouse;
    return mouse.tryRead(argument) && mView.intersects(mouse.getX(), mouse.getY()) &&
           !mView.isAtResizeArea(mouse.getX(), mouse.getY());
}

bool IsInResizeAreaCond::operator()(MessageArgument* argument) const {
    MessageReaderMouseEvent mouse;
    return mouse.tryRead(argument) && mView.isAtResizeArea(mouse.getX(), mouse.getY());
}

void MovingStateCommand::onEnter(const std::string&, MessageArgument* argument) {
    MessageReaderMouseEvent mouse;
    if (mouse.tryRead(argument)) {
        mGrabX = mouse.getX() - mView.getLeft();
        mGrabY = mouse.getY() - mView.getTop();
    }
}

void MovingStateCommand::onEvent(const std::string&, MessageArgument* argument) {
    MessageReaderMouseEvent mouse;
    if (!mouse.tryRead(argument)) {
        return;
    }
    MessageArgumentComponentAttribute left(Left, mouse.getX() - mGrabX);
    mTarget->execute(&left);
    MessageArgumentComponentAttribute top(Top, mouse.getY() - mGrabY);
    mTarget->execute(&top);
}

void MovingStateCommand::onExit(const std::string&, MessageArgument*) {
    mGrabX = 0;
    mGrabY = 0;
}

void ResizingStateCommand::onEnter(const std::string&, MessageArgument* argument) {
    MessageReaderMouseEvent mouse;
    if (mouse.tryRead(argument)) {
        mOffsetX = mouse.getX() - mView.getRight();
        mOffsetY = mouse.getY() - mView.getBottom();
    }
    mLastX = mView.getRight();
    mLastY = mView.getBottom();
}

void ResizingStateCommand::onEvent(const std::string&, MessageArgument* argument) {
    MessageReaderMouseEvent mouse;
    if (!mouse.tryRead(argument)) {
        return;
    }
    // A corner at or past the opposite edge keeps its last place; it never leaves the display.
    int x = mouse.getX() - mOffsetX;
    int y = mouse.getY() - mOffsetY;
    x = std::min(x <= mView.getLeft() ? mLastX : x, SCREEN_WIDTH - 1);
    y = std::min(y <= mView.getTop() ? mLastY : y, SCREEN_HEIGHT - 1);
    mLastX = x;
    mLastY = y;
    MessageArgumentComponentAttribute width(Width, x - mView.getLeft() + 1);
    mTarget->execute(&width);
    MessageArgumentComponentAttribute height(Height, y - mView.getTop() + 1);
    mTarget->execute(&height);
}

} // namespace tdx
