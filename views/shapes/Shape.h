// Base of the planar drawing primitives: links, pins, blocks, arrows and dimension annotations.
#pragma once

#include "Point.h"

// A shape holds its geometry in workspace units and draws itself with immediate-mode GL into
// the current matrix at z = 0. Drawing needs a current GL context; nothing else does.
class Shape {
public:
    Shape();
    Shape(const Point &location, bool filled);
    virtual void draw() const = 0;
    virtual ~Shape();

    Point getLocation() const { return location; }
    void setFilled(bool f) { filled = f; }
    bool isFilled() const { return filled; }

protected:
    // x, y and an angle in degrees; what it means is up to each kind.
    Point location{0.0, 0.0, 0.0};
    bool filled = false;
};

// Shapes read planar points of either 2 or 3 coordinates; they keep 3 (x, y, angle in degrees).
Point planarPoint(const Point &p);
