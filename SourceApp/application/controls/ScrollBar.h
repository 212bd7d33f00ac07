// The vertical scroll bar at the right edge of scrolling screens: arrows at both ends and, between them, a
// track with a thumb that the finger drags relatively (touching anywhere in the track grabs the thumb without
// a jump). It holds a position in [0, maximum]; every change runs the on-scroll command. The position is
// kept with the screen's saved state, so coming back through the history restores it.
//
// The bar is enabled exactly while its range is above 0 and it is not locked.
#pragma once

#include "SourceApp/gui/core/Container.h"
#include "SourceApp/gui/core/Control.h"
#include "SourceApp/gui/core/ICommand.h"

#include <memory>

namespace tdx {

class IconButton;

class ScrollBar : public Container {
public:
    static constexpr int WIDTH = 25;
    static constexpr int ARROW_HEIGHT = 24;
    // Only a bar higher than this has a thumb; a shorter one shows where it is by its arrows.
    static constexpr int MIN_HEIGHT_FOR_THUMB = 80;
    static constexpr int MIN_THUMB_HEIGHT = 14;
    static constexpr int STEP = 50;

    class ScrollBarThumb : public Control {
    public:
        ScrollBarThumb(Container* parent, int x, int y, int height);

        void setThumbHeight(short height);
        short getThumbHeight() const { return mThumbHeight; }
        // Clamped to [0, getMaxThumbPosition()].
        void setThumbPosition(int position);
        int getThumbPosition() const { return mThumbPosition; }
        // Pixels the thumb can travel in the track.
        int getMaxThumbPosition() const;

        void handleEvent(Event* event) override;
        void handleDraw() override;

    private:
        // The core holds a dragged thumb, so that a bar hidden during the drag ends it.
        void setDragging(bool dragging);

        short mThumbPosition = 0;
        short mThumbHeight = 31;
        short mOriginPosition = 0;
        short mOriginY = 0;
        bool mDragging = false;
    };

    class SerializedState : public tdx::SerializedState {
    public:
        explicit SerializedState(int position);
        int getPosition() const { return mPosition; }

    private:
        int mPosition;
    };

    ScrollBar(Container* parent, int x, int y, int height);

    void setOnScrollCommand(std::unique_ptr<ICommand> command) { mOnScroll = std::move(command); }
    // maximum: the largest position; total: the whole content in the same unit. A range or total of 0 or
    // less disables the bar.
    void setMax(int maximum, int total);
    int getMax() const { return mMaximum; }
    // Clamped to the range; runs the on-scroll command even when nothing moved.
    void setThumbPosition(int position);
    int getThumbPosition() const { return mPosition; }
    void setLocked(bool locked);
    bool isLocked() const { return mLocked; }

    // What an arrow's press does (its first press and every hold repeat alike): one step up or down.
    // source is the arrow pressed and repeat whether it is a hold repeat; neither changes the step.
    void onUpPress(Component* source, bool repeat);
    void onDownPress(Component* source, bool repeat);
    // One drag step of the thumb moved it: the position follows it. Only this bar's own thumb moves it; any
    // other component is refused.
    void onThumbMove(Component* thumb);

    ScrollBarThumb* getThumb() const { return mThumb; }
    IconButton* getUpButton() const { return mUp; }
    IconButton* getDownButton() const { return mDown; }

    bool isSerializable() const override { return true; }
    bool isOwnSerializedState(const tdx::SerializedState* state) const override;
    std::unique_ptr<tdx::SerializedState> handleSerialize() override;
    void handleDeserialize(const tdx::SerializedState* state) override;
    void handleMessage(Message* message) override;
    void handleDraw() override;

private:
    void onChange(int position);
    void updateEnabled();

    int mPosition = 0;
    int mMinimum = 0;
    int mMaximum = 100;
    int mStep = STEP;
    ScrollBarThumb* mThumb = nullptr;
    IconButton* mUp = nullptr;
    IconButton* mDown = nullptr;
    std::unique_ptr<ICommand> mOnScroll;
    bool mLocked = false;
    bool mHasRange = true;
};

} // namespace tdx
