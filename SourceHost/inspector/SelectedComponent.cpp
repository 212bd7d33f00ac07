#include "SourceHost/inspector/SelectedComponent.h"

namespace tdx {

namespace {

void redraw(Component& component) {
    component.invalidate();
    component.repaint();
}

} // namespace

void AbstractSelectedComponent::setComponent(Component* component) {
    mComponent = component;
    if (component != nullptr) {
        mSavedLeft = component->getLeft();
        mSavedTop = component->getTop();
        mSavedWidth = component->getWidth();
        mSavedHeight = component->getHeight();
    }
}

int AbstractSelectedComponent::getLeft() const {
    return mComponent != nullptr ? mComponent->getLeft() : 0;
}

int AbstractSelectedComponent::getTop() const {
    return mComponent != nullptr ? mComponent->getTop() : 0;
}

int AbstractSelectedComponent::getWidth() const {
    return mComponent != nullptr ? mComponent->getWidth() : 0;
}

int AbstractSelectedComponent::getHeight() const {
    return mComponent != nullptr ? mComponent->getHeight() : 0;
}

void AbstractSelectedComponent::change(void (*apply)(Component&, int), int value) {
    if (mComponent == nullptr) {
        return;
    }
    redraw(*mComponent);
    apply(*mComponent, value);
    redraw(*mComponent);
}

void AbstractSelectedComponent::setLeft(int value) {
    if (mComponent != nullptr && mComponent->getLeft() != value) {
        change([](Component& c, int v) { c.setPosition(v, c.getTop()); }, value);
    }
}

void AbstractSelectedComponent::setTop(int value) {
    if (mComponent != nullptr && mComponent->getTop() != value) {
        change([](Component& c, int v) { c.setPosition(c.getLeft(), v); }, value);
    }
}

void AbstractSelectedComponent::setWidth(int value) {
    if (mComponent != nullptr && mComponent->getWidth() != value) {
        change([](Component& c, int v) { c.setDimensions(v, c.getHeight()); }, value);
    }
}

void AbstractSelectedComponent::setHeight(int value) {
    if (mComponent != nullptr && mComponent->getHeight() != value) {
        change([](Component& c, int v) { c.setDimensions(c.getWidth(), v); }, value);
    }
}

void AbstractSelectedComponent::reset() {
    Component* c = mComponent;
    if (c == nullptr) {
        return;
    }
    redraw(*c);
    if (c->getLeft() != mSavedLeft || c->getTop() != mSavedTop) {
        c->setPosition(mSavedLeft, mSavedTop);
    }
    if (c->getWidth() != mSavedWidth || c->getHeight() != mSavedHeight) {
        c->setDimensions(mSavedWidth, mSavedHeight);
    }
    redraw(*c);
}

void SelectComponentAdapter::execute(MessageArgument* argument) {
    MessageReaderComponent reader;
    if (reader.tryRead(argument)) {
        mRecord.setComponent(reader.getComponent());
    }
}

void ResetComponentAdapter::execute(MessageArgument* argument) {
    MessageReaderComponent reader;
    if (reader.tryRead(argument) && reader.getComponent() != mRecord.getComponent()) {
        return;
    }
    mRecord.reset();
}

void SelectComponentFromListAdapter::execute(MessageArgument* argument) {
    MessageReaderComponent reader;
    if (reader.tryRead(argument)) {
        mBridge.setSelectedComponent(reader.getComponent());
    }
}

} // namespace tdx
