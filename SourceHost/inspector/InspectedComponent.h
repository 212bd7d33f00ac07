// A self-contained record of one component under inspection: its geometry when the record was made, a small
// state (selected, moving, resizing), a one-line description, and moving or resizing after a cursor. The
// application thread only, as it works on the live component.
#pragma once

#include "SourceApp/gui/core/Component.h"

#include <string>

namespace tdx {

enum ComponentState { Selected = 1, Moving = 2, Resizing = 3 };

class CInspectedComponent {
public:
    explicit CInspectedComponent(Component* component);

    Component* Get() const { return mComponent; }
    ComponentState State() const { return mState; }
    void SetDebugSelection(bool) {}
    std::string Name() const { return CreateNameRecursively(mComponent); }
    // The type names from the layer down to the component, joined by " > ".
    static std::string CreateNameRecursively(const Component* component);
    std::string ToString() const;
    bool IsDirty() const;
    bool Intersects(int x, int y) const;
    bool IsAtResizePoint(int x, int y) const;
    bool IsResizing() const { return mState == Resizing; }
    // Only from Selected; Selected itself is refused with std::logic_error.
    void BeginState(ComponentState state, int x, int y);
    void EndState() { mState = Selected; }
    void Move(int dx, int dy);
    void Resize(int dw, int dh);
    void Reset();
    void CursorAt(int x, int y);

private:
    template <class F>
    void redrawAround(F&& change);

    Component* mComponent;
    int mSavedTop;
    int mSavedLeft;
    int mSavedWidth;
    int mSavedHeight;
    ComponentState mState = Selected;
    int mLastX = 0;
    int mLastY = 0;
    int mOffsetX = 0;
    int mOffsetY = 0;
};

} // namespace tdx
