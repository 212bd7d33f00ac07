// What the heat-curve and analog-output charts share: a plot area with numbered grid lines, polylines in
// data units mapped onto it, text labels at points and a working-point marker. Data values are integers;
// the mapping uses 64-bit intermediates.
#pragma once

#include "SourceApp/gui/core/Component.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tdx {

class Chart : public Component {
public:
    // One axis: the data values at the plot's left (bottom) and right (top) ends, the grid step and the
    // divisor that turns a data value into the number written at a grid line.
    struct Axis {
        int first;
        int last;
        int gridStep;
        int labelDivisor;
    };

    static constexpr int INSET_LEFT = 26;
    static constexpr int INSET_BOTTOM = 14;
    static constexpr int INSET_TOP = 6;
    static constexpr int INSET_RIGHT = 8;

    // Removes the curves and labels and hides the working point.
    virtual void clear();
    // Colour of the points added after it.
    void setColor(unsigned colour) { mColour = colour; }

    void handleDraw() override;

protected:
    Chart(Container* parent, int x, int y, int width, int height, Axis xAxis, Axis yAxis);

    struct Segment {
        Point from;
        Point to;
        unsigned colour;
    };
    struct Label {
        Point at;
        unsigned colour;
        std::string text;
    };

    void addSegment(Point from, Point to);
    void addLabel(Point at, std::string text);
    // The marker at a data point (already brought into the axes), or none; repaints when it changed.
    void placeWorkingPoint(std::optional<Point> point);

    bool inXRange(int x) const;
    bool inYRange(int y) const;
    int clampX(int x) const;
    int clampY(int y) const;

private:
    using PixelLine = std::pair<Point, Point>;

    Box plotArea() const;
    Point toPixel(Point data, const Box& plot) const;
    // Grid lines with their numbers, and the two axes.
    void drawGrid(const Box& plot) const;
    void drawCurves(const Box& plot) const;
    void drawLabels(const Box& plot) const;
    // Where a label w x h at pixel p goes: in the plot, off the curves' pixel lines where it can.
    static Box labelPlace(Point p, int w, int h, const Box& plot, const std::vector<PixelLine>& lines);

    Axis mX;
    Axis mY;
    unsigned mColour = 0x808080;
    std::vector<Segment> mSegments;
    std::vector<Label> mLabels;
    std::optional<Point> mWorkingPoint;
};

} // namespace tdx
