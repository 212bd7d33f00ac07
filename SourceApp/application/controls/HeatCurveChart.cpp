#include "SourceApp/application/controls/HeatCurveChart.h"

#include "Libraries/base/fmt.h"

namespace tdx {

HeatCurveChart::HeatCurveChart(Container* parent, int x, int y, int width, int height)
    : Chart(parent, x, y, width, height, Axis{4000, -2000, 2000, 100}, Axis{0, 8000, 1000, 100}) {
    setName("HeatCurveChart");
}

void HeatCurveChart::clear() {
    Chart::clear();
    mPen.reset();
}

void HeatCurveChart::moveTo(int x, int y) {
    mPen = Point{clampX(x), clampY(y)};
}

void HeatCurveChart::drawTo(int x, int y, bool labelled) {
    const Point to{clampX(x), clampY(y)};
    if (mPen) {
        addSegment(*mPen, to);
    }
    mPen = to;
    if (labelled) {
        addLabel(to, fmt("%d\xC2\xB0/ %d\xC2\xB0", to.y / 100, to.x / 100));
    }
}

void HeatCurveChart::setWorkingPoint(int x, int y) {
    placeWorkingPoint(Point{clampX(x), clampY(y)});
}

} // namespace tdx
