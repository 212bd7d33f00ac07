// The heat curve: inlet temperature (0 to 80 degC, bottom to top) against outdoor temperature (40 degC at the
// left down to -20 degC at the right), in hundredths of a degree. Points outside the axes are clamped to
// them.
#pragma once

#include "SourceApp/application/controls/Chart.h"

namespace tdx {

class HeatCurveChart : public Chart {
public:
    HeatCurveChart(Container* parent, int x, int y, int width, int height);

    void clear() override;
    // Ends the current polyline and starts a new one at (outdoor x, inlet y).
    void moveTo(int x, int y);
    // Joins (x, y) to the previous point; a labelled point gets "inlet°/ outdoor°".
    void drawTo(int x, int y, bool labelled);
    // Repaints only when the marker moves.
    void setWorkingPoint(int x, int y);

private:
    std::optional<Point> mPen;
};

} // namespace tdx
