#include "SourceApp/application/controls/ProgressBar.h"

#include "SourceApp/gui/gfx/gfx.h"

#include <algorithm>

namespace tdx {

namespace {
constexpr int STEP = 4;
} // namespace

ProgressBar::ProgressBar(Container* parent, int x, int y, int width, int height)
    : Component(parent, x, y, width, height) {
    setName("ProgressBar");
}

void ProgressBar::setProgress(int progress) {
    progress = progress < INDETERMINATE ? INDETERMINATE : std::min(progress, 100);
    if (repaintIfChanged(mProgress, progress)) {
        mPhase = 0;
    }
}

void ProgressBar::setProgressColor(unsigned colour) {
    repaintIfChanged(mColour, colour);
}

void ProgressBar::handleMessage(Message* message) {
    if (message->id == MSG_TIMER && mProgress == INDETERMINATE && getWidth() > 0) {
        mPhase = (mPhase + STEP) % getWidth();
        invalidate();
    }
}

void ProgressBar::handleDraw() {
    const Box& box = getBoundingBox();
    gfx_setcolor(colour::LIGHT);
    gfx_fill_rect(box);
    gfx_setcolor(mColour);
    const int width = box.getWidth();
    if (mProgress == INDETERMINATE) {
        // A quarter of the track, wrapping round from the right end to the left.
        const int block = std::max(width / 4, 1);
        const int start = box.x1 + mPhase;
        gfx_fill_rect(start, box.y1, std::min(start + block - 1, box.x2), box.y2);
        const int overflow = start + block - 1 - box.x2;
        if (overflow > 0) {
            gfx_fill_rect(box.x1, box.y1, box.x1 + overflow - 1, box.y2);
        }
        return;
    }
    const int done = static_cast<int>(static_cast<long long>(width) * mProgress / 100);
    if (done > 0) {
        gfx_fill_rect(box.x1, box.y1, box.x1 + done - 1, box.y2);
    }
}

} // namespace tdx
