#include "SourceHost/inspector/InspectedComponent.h"

#include "SourceApp/gui/core/Container.h"
#include "SourceHost/api_lib/layer.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace tdx {

CInspectedComponent::CInspectedComponent(Component* component)
    : mComponent(component)
    , mSavedTop(component->getTop())
    , mSavedLeft(component->getLeft())
    , mSavedWidth(component->getWidth())
    , mSavedHeight(component->getHeight()) {}

std::string CInspectedComponent::CreateNameRecursively(const Component* component) {
    if (component->getParent() == nullptr) {
        return component->getName();
    }
    return CreateNameRecursively(component->getParent()) + " > " + component->getName();
}

std::string CInspectedComponent::ToString() const {
    const Component& c = *mComponent;
    return c.getName() + ", Top " + std::to_string(c.getTop()) + ", Left " + std::to_string(c.getLeft()) +
           ", Bottom " + std::to_string(c.getBottom()) + ", Right " + std::to_string(c.getRight());
}

bool CInspectedComponent::IsDirty() const {
    return mComponent->getTop() != mSavedTop || mComponent->getLeft() != mSavedLeft ||
           mComponent->getWidth() != mSavedWidth || mComponent->getHeight() != mSavedHeight;
}

bool CInspectedComponent::Intersects(int x, int y) const {
    return mComponent->getBoundingBox().contains(x, y);
}

bool CInspectedComponent::IsAtResizePoint(int x, int y) const {
    return std::abs(x - mComponent->getRight()) <= 3 && std::abs(y - mComponent->getBottom()) <= 3;
}

void CInspectedComponent::BeginState(ComponentState state, int x, int y) {
    if (mState != Selected) {
        return;
    }
    if (state == Selected) {
        throw std::logic_error("New state cannot be Selected, use End method");
    }
    mState = state;
    mLastX = x;
    mLastY = y;
    if (state == Moving) {
        mOffsetX = x - mComponent->getLeft();
        mOffsetY = y - mComponent->getTop();
    } else if (state == Resizing) {
        mOffsetX = x - mComponent->getRight();
        mOffsetY = y - mComponent->getBottom();
    }
}

template <class F>
void CInspectedComponent::redrawAround(F&& change) {
    mComponent->invalidate();
    mComponent->repaint();
    change(*mComponent);
    mComponent->invalidate();
    mComponent->repaint();
}

void CInspectedComponent::Move(int dx, int dy) {
    redrawAround([&](Component& c) { c.setPosition(c.getLeft() + dx, c.getTop() + dy); });
}

void CInspectedComponent::Resize(int dw, int dh) {
    redrawAround([&](Component& c) { c.setDimensions(c.getWidth() + dw, c.getHeight() + dh); });
}

void CInspectedComponent::Reset() {
    redrawAround([&](Component& c) {
        c.setPosition(mSavedLeft, mSavedTop);
        c.setDimensions(mSavedWidth, mSavedHeight);
    });
}

void CInspectedComponent::CursorAt(int x, int y) {
    x -= mOffsetX;
    y -= mOffsetY;
    if (mState == Moving) {
        redrawAround([&](Component& c) { c.setPosition(x, y); });
    } else if (mState == Resizing) {
        // The corner stays right of the left edge and below the top edge, and on the display.
        x = std::min(x <= mComponent->getLeft() ? mLastX : x, SCREEN_WIDTH - 1);
        y = std::min(y <= mComponent->getTop() ? mLastY : y, SCREEN_HEIGHT - 1);
        const int dw = x - mComponent->getRight();
        const int dh = y - mComponent->getBottom();
        Resize(dw, dh);
        mLastX = x;
        mLastY = y;
    }
}

} // namespace tdx
