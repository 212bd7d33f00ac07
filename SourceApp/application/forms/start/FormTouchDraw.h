// A touch test: a cross follows the finger and goes when it is lifted; the back button returns.
#pragma once

#include "SourceApp/gui/core/Form.h"

namespace tdx {

class IconButton;

class FormTouchDraw : public Form {
public:
    static constexpr int CROSS_ARM = 15;

    explicit FormTouchDraw(const State& state);

    void handleEvent(Event* event) override;
    void handleMessage(Message* message) override;

private:
    void erase();

    IconButton* mBack = nullptr;
    int mLastX = 0;
    int mLastY = 0;
    bool mDrawn = false; // a cross stands at the last point
};

} // namespace tdx
