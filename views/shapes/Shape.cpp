// Shape: the common part of the drawing primitives (location and fill style).
#include "Shape.h"

Shape::Shape() = default;

Shape::Shape(const Point &loc, bool f) : location(planarPoint(loc)), filled(f) {}

Shape::~Shape() = default;

Point planarPoint(const Point &p) {
    return Point(p.x(), p.y(), p.dimension() > 2 ? p.z() : 0.0);
}
