// A pin: a white disc with a black rim (outline) or a black dot (filled).
#pragma once

#include "Shape.h"

class Circle2D : public Shape {
public:
    // A negative radius is stored as 0.
    Circle2D(const Point &centre, bool filled, double radius);
    void draw() const override;

    double getRadius() const { return radius; }
    void setCentre(double x, double y);

private:
    double radius;
};
