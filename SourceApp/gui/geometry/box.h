// Screen geometry of the GUI engine: absolute display pixels, corners inclusive.
#pragma once

#include <algorithm>
#include <climits>

namespace tdx {

struct Point {
    int x = 0;
    int y = 0;

    friend bool operator==(const Point&, const Point&) = default;
};

// A rectangle given by its inclusive corners (x1, y1) and (x2, y2). A box whose right edge lies left of its
// left edge (or bottom above top) is empty: a zero-sized component has width 0 and draws nothing.
struct Box {
    int x1 = 0;
    int y1 = 0;
    int x2 = -1;
    int y2 = -1;

    constexpr Box() = default;
    // Far edges beyond the int range saturate, so any width or height is safe.
    constexpr Box(int x, int y, int width, int height)
        : x1(x)
        , y1(y)
        , x2(edge(x, width))
        , y2(edge(y, height)) {}

    static constexpr Box fromCorners(int left, int top, int right, int bottom) {
        Box box;
        box.x1 = left;
        box.y1 = top;
        box.x2 = right;
        box.y2 = bottom;
        return box;
    }

    constexpr int getLeft() const { return x1; }
    constexpr int getTop() const { return y1; }
    constexpr int getRight() const { return x2; }
    constexpr int getBottom() const { return y2; }
    // Sizes of boxes spanning more than the int range saturate.
    constexpr int getWidth() const { return span(x1, x2); }
    constexpr int getHeight() const { return span(y1, y2); }
    constexpr bool isEmpty() const { return x2 < x1 || y2 < y1; }

    constexpr bool contains(int x, int y) const { return x >= x1 && x <= x2 && y >= y1 && y <= y2; }
    constexpr bool contains(Point p) const { return contains(p.x, p.y); }

    // The common part of two boxes; empty when they do not overlap.
    constexpr Box intersect(const Box& other) const {
        return fromCorners(std::max(x1, other.x1), std::max(y1, other.y1), std::min(x2, other.x2),
                           std::min(y2, other.y2));
    }
    constexpr bool intersects(const Box& other) const { return !intersect(other).isEmpty(); }

    friend constexpr bool operator==(const Box&, const Box&) = default;

private:
    static constexpr int edge(int from, int size) {
        const long long n = static_cast<long long>(from) + size - 1;
        return n > INT_MAX ? INT_MAX : (n < INT_MIN ? INT_MIN : static_cast<int>(n));
    }
    static constexpr int span(int from, int to) {
        const long long n = static_cast<long long>(to) - from + 1;
        return n > INT_MAX ? INT_MAX : (n < INT_MIN ? INT_MIN : static_cast<int>(n));
    }
};

} // namespace tdx
