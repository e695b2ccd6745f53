// An ordered list of Points with checked access: positions, image points, traced curves.
#pragma once

#include "Point.h"

#include <vector>

class PointList {
public:
    int size() const { return static_cast<int>(points.size()); }
    bool isEmpty() const { return points.empty(); }

    // Checked access: an index out of range is a programming error and ends the process.
    Point at(int i) const;
    const Point &ref(int i) const;
    void set(int i, const Point &p);
    // The motion curve is closed: index modulo size.
    Point atWrapped(int i) const;

    void insertAt(int i, const Point &p);
    void append(const Point &p);
    void erase(int i);
    void clear() { points.clear(); }

    // Drawing; needs a current GL context.
    void drawStrip4D() const;
    void drawStrip2D(double r, double g, double b) const;

private:
    void checkIndex(int i) const;
    std::vector<Point> points;
};
