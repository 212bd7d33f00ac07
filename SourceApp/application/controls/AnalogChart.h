// The voltage curve of an analog output: 0 to 10 V (hundredths of a volt, 0 to 1000) against temperature
// 0 to 80 degC (hundredths of a degree, 0 to 8000). A segment reaching outside the axes is cut back to
// their edge; a labelled point gets its voltage and temperature once another point follows it.
#pragma once

#include "SourceApp/application/controls/Chart.h"

namespace tdx {

class AnalogChart : public Chart {
public:
    // The working point's "none".
    static constexpr int NO_POINT = 32767;

    AnalogChart(Container* parent, int x, int y, int width, int height);

    // Also resets the working point to (32767, 32767).
    void clear() override;
    void moveTo(int x, int y);
    void drawTo(int x, int y, bool labelled);
    // Shown only while x lies within 0..8000, with y clamped to 0..1000; repaints when it changed.
    void setWorkingPoint(int x, int y);

private:
    std::optional<Point> mPen;      // as given, possibly outside the axes
    std::optional<Point> mLabelled; // a labelled point waiting for its successor
};

} // namespace tdx
