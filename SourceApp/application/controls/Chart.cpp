#include "SourceApp/application/controls/Chart.h"

#include "Libraries/base/fmt.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/gfx/gfx.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace tdx {

namespace {

constexpr unsigned AXIS_TEXT = 0x808080;
constexpr unsigned AXIS_LINE = 0x808080;
constexpr int MARKER_RADIUS = 3;

int lo(const Chart::Axis& a) {
    return std::min(a.first, a.last);
}
int hi(const Chart::Axis& a) {
    return std::max(a.first, a.last);
}

// Position of v along [0, pixels - 1] for an axis from first to last (first != last).
int scale(int v, const Chart::Axis& a, int pixels) {
    return static_cast<int>(static_cast<long long>(v - a.first) * (pixels - 1) /
                            (static_cast<long long>(a.last) - a.first));
}

} // namespace

Chart::Chart(Container* parent, int x, int y, int width, int height, Axis xAxis, Axis yAxis)
    : Component(parent, x, y, width, height)
    , mX(xAxis)
    , mY(yAxis) {
    setName("Chart");
}

void Chart::clear() {
    mSegments.clear();
    mLabels.clear();
    mWorkingPoint.reset();
    invalidate();
}

void Chart::addSegment(Point from, Point to) {
    mSegments.push_back({from, to, mColour});
    invalidate();
}

void Chart::addLabel(Point at, std::string text) {
    mLabels.push_back({at, mColour, std::move(text)});
    invalidate();
}

void Chart::placeWorkingPoint(std::optional<Point> point) {
    repaintIfChanged(mWorkingPoint, point);
}

bool Chart::inXRange(int x) const {
    return x >= lo(mX) && x <= hi(mX);
}
bool Chart::inYRange(int y) const {
    return y >= lo(mY) && y <= hi(mY);
}
int Chart::clampX(int x) const {
    return std::clamp(x, lo(mX), hi(mX));
}
int Chart::clampY(int y) const {
    return std::clamp(y, lo(mY), hi(mY));
}

Box Chart::plotArea() const {
    const Box& b = getBoundingBox();
    return Box::fromCorners(b.x1 + INSET_LEFT, b.y1 + INSET_TOP, b.x2 - INSET_RIGHT, b.y2 - INSET_BOTTOM);
}

Point Chart::toPixel(Point data, const Box& plot) const {
    return {plot.x1 + scale(data.x, mX, plot.getWidth()), plot.y2 - scale(data.y, mY, plot.getHeight())};
}

void Chart::handleDraw() {
    const Box plot = plotArea();
    if (plot.getWidth() < 2 || plot.getHeight() < 2 || mX.first == mX.last || mY.first == mY.last) {
        return; // no room to plot anything
    }
    drawGrid(plot);
    drawCurves(plot);
    drawLabels(plot);
    if (mWorkingPoint) {
        const Point p = toPixel(*mWorkingPoint, plot);
        gfx_setcolor(colour::TEXT);
        gfx_fill_circ(p.x, p.y, MARKER_RADIUS);
    }
}

void Chart::drawGrid(const Box& plot) const {
    const bif_t* small = bif_myriad10.getFont();
    for (int v = lo(mX) - lo(mX) % mX.gridStep; v <= hi(mX); v += mX.gridStep) {
        if (v < lo(mX)) {
            continue;
        }
        const Point p = toPixel({v, mY.first}, plot);
        gfx_setcolor(colour::LIGHT);
        gfx_vert_line(p.x, plot.y1, plot.getHeight());
        gfx_setcolor(AXIS_TEXT);
        bif_print_text_centered(small, p.x, plot.y2 + 2, fmt("%d", v / mX.labelDivisor));
    }
    for (int v = lo(mY) - lo(mY) % mY.gridStep; v <= hi(mY); v += mY.gridStep) {
        if (v < lo(mY)) {
            continue;
        }
        const Point p = toPixel({mX.first, v}, plot);
        gfx_setcolor(colour::LIGHT);
        gfx_horiz_line(plot.x1, p.y, plot.getWidth());
        gfx_setcolor(AXIS_TEXT);
        const std::string text = fmt("%d", v / mY.labelDivisor);
        bif_print_text(small, plot.x1 - 3 - bif_text_width(small, text),
                       p.y - small->ascent + small->x_height / 2, text);
    }
    gfx_setcolor(AXIS_LINE);
    gfx_vert_line(plot.x1, plot.y1, plot.getHeight());
    gfx_horiz_line(plot.x1, plot.y2, plot.getWidth());
}

// Two pixels thick, clipped to the plot.
void Chart::drawCurves(const Box& plot) const {
    const Box saved = gfx_get_clip();
    gfx_set_clip(saved.intersect(plot));
    for (const Segment& s : mSegments) {
        const Point a = toPixel(s.from, plot);
        const Point b = toPixel(s.to, plot);
        gfx_setcolor(s.colour);
        gfx_line(a.x, a.y, b.x, b.y);
        // The second pixel across the line's main direction.
        if (std::abs(b.x - a.x) >= std::abs(b.y - a.y)) {
            gfx_line(a.x, a.y - 1, b.x, b.y - 1);
        } else {
            gfx_line(a.x + 1, a.y, b.x + 1, b.y);
        }
    }
    gfx_set_clip(saved);
}

void Chart::drawLabels(const Box& plot) const {
    const bif_t* small = bif_myriad10.getFont();
    // Segments in pixels, for keeping labels off the curves.
    std::vector<PixelLine> lines;
    lines.reserve(mSegments.size());
    for (const Segment& s : mSegments) {
        lines.emplace_back(toPixel(s.from, plot), toPixel(s.to, plot));
    }
    for (const Label& l : mLabels) {
        const Box place = labelPlace(toPixel(l.at, plot), bif_text_width(small, l.text),
                                     small->ascent + small->descent, plot, lines);
        gfx_setcolor(l.colour);
        bif_print_text(small, place.x1, place.y1, l.text);
    }
}

// Places around the point, nearest first: its four corners, then the same places moved away from the point
// along the horizontal, two pixels at a time, so that a label finds the room beside a curve that runs on
// through its point. The first place that lies in the plot with no curve through it or touching it wins;
// failing that, the one that the fewest curve pixels cross.
Box Chart::labelPlace(Point p, int w, int h, const Box& plot, const std::vector<PixelLine>& lines) {
    constexpr int GAP = 4;
    const auto crossings = [&lines](const Box& place) {
        const Box margin = Box::fromCorners(place.x1 - 1, place.y1 - 1, place.x2 + 1, place.y2 + 1);
        long long count = 0;
        for (const auto& [a, b] : lines) {
            const int steps = std::max({std::abs(b.x - a.x), std::abs(b.y - a.y), 1});
            for (int i = 0; i <= steps; i += 2) {
                const int x = a.x + (b.x - a.x) * i / steps;
                const int y = a.y + (b.y - a.y) * i / steps;
                // The curve is two pixels thick: above its line, or right of it where it is steep.
                count +=
                    margin.contains(x, y) || margin.contains(x, y - 1) || margin.contains(x + 1, y) ? 1 : 0;
            }
        }
        return count;
    };
    Box best(p.x + GAP, p.y - GAP - h, w, h);
    long long bestScore = -1;
    for (int shift = 0; shift <= plot.getWidth(); shift += 2) {
        const Box candidates[4] = {
            Box(p.x + GAP + shift, p.y - GAP - h, w, h), Box(p.x - GAP - w - shift, p.y - GAP - h, w, h),
            Box(p.x + GAP + shift, p.y + GAP, w, h), Box(p.x - GAP - w - shift, p.y + GAP, w, h)};
        for (const Box& c : candidates) {
            const long long score = (c.intersect(plot) == c ? 0 : 1'000'000) + crossings(c);
            if (score == 0) {
                return c;
            }
            if (bestScore < 0 || score < bestScore) {
                bestScore = score;
                best = c;
            }
        }
    }
    return best;
}

} // namespace tdx
