#include "SourceApp/application/controls/AnalogChart.h"

#include "Libraries/base/fmt.h"

#include <cstdlib>

namespace tdx {

namespace {

constexpr int X_MAX = 8000;
constexpr int Y_MAX = 1000;

// Cohen-Sutherland against [0, X_MAX] x [0, Y_MAX] with 64-bit intermediates; false when nothing remains.
int outcode(long long x, long long y) {
    return (x < 0 ? 1 : 0) | (x > X_MAX ? 2 : 0) | (y < 0 ? 4 : 0) | (y > Y_MAX ? 8 : 0);
}

bool cut(long long& x1, long long& y1, long long& x2, long long& y2) {
    for (int guard = 0; guard < 8; ++guard) {
        const int c1 = outcode(x1, y1);
        const int c2 = outcode(x2, y2);
        if ((c1 | c2) == 0) {
            return true;
        }
        if ((c1 & c2) != 0) {
            return false;
        }
        const int c = c1 != 0 ? c1 : c2;
        long long x, y;
        if (c & 8) {
            x = x1 + (x2 - x1) * (Y_MAX - y1) / (y2 - y1);
            y = Y_MAX;
        } else if (c & 4) {
            x = x1 + (x2 - x1) * (0 - y1) / (y2 - y1);
            y = 0;
        } else if (c & 2) {
            y = y1 + (y2 - y1) * (X_MAX - x1) / (x2 - x1);
            x = X_MAX;
        } else {
            y = y1 + (y2 - y1) * (0 - x1) / (x2 - x1);
            x = 0;
        }
        if (c == c1) {
            x1 = x;
            y1 = y;
        } else {
            x2 = x;
            y2 = y;
        }
    }
    return outcode(x1, y1) == 0 && outcode(x2, y2) == 0;
}

} // namespace

AnalogChart::AnalogChart(Container* parent, int x, int y, int width, int height)
    : Chart(parent, x, y, width, height, Axis{0, X_MAX, 1000, 100}, Axis{0, Y_MAX, 100, 100}) {
    setName("AnalogChart");
    setWorkingPoint(NO_POINT, NO_POINT);
}

void AnalogChart::clear() {
    Chart::clear();
    mPen.reset();
    mLabelled.reset();
    setWorkingPoint(NO_POINT, NO_POINT);
}

void AnalogChart::moveTo(int x, int y) {
    mPen = Point{x, y};
    mLabelled.reset();
}

void AnalogChart::drawTo(int x, int y, bool labelled) {
    if (mLabelled) {
        // The labelled corner has a successor now.
        addLabel(*mLabelled,
                 fmt("%d.%d V/ %d\xC2\xB0", mLabelled->y / 100, mLabelled->y % 100 / 10, mLabelled->x / 100));
        mLabelled.reset();
    }
    if (mPen) {
        long long x1 = mPen->x, y1 = mPen->y, x2 = x, y2 = y;
        if (cut(x1, y1, x2, y2)) {
            addSegment(Point{static_cast<int>(x1), static_cast<int>(y1)},
                       Point{static_cast<int>(x2), static_cast<int>(y2)});
        }
    }
    mPen = Point{x, y};
    if (labelled && inXRange(x) && inYRange(y)) {
        mLabelled = Point{x, y};
    }
}

void AnalogChart::setWorkingPoint(int x, int y) {
    placeWorkingPoint(inXRange(x) ? std::optional<Point>(Point{x, clampY(y)}) : std::nullopt);
}

} // namespace tdx
