// A flat progress bar: a light track with the done share in the bar colour, or a block sliding along the
// track (4 pixels per timer message) while the progress is unknown.
#pragma once

#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/core/Component.h"

namespace tdx {

class ProgressBar : public Component {
public:
    static constexpr int INDETERMINATE = -1;

    ProgressBar(Container* parent, int x, int y, int width, int height);

    // 0..100 percent, -1 unknown; values above 100 show 100, below -1 show unknown.
    void setProgress(int progress);
    int getProgress() const { return mProgress; }
    void setProgressColor(unsigned colour);

    void handleMessage(Message* message) override;
    void handleDraw() override;

private:
    int mProgress = 0;
    int mPhase = 0; // left end of the sliding block, from the track's left
    unsigned mColour = colour::TITLE;
};

} // namespace tdx
