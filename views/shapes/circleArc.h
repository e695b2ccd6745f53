// A blue arc about a centre, swept from startAngle to endAngle (degrees) in 40 steps.
#pragma once

#include "Shape.h"

class circleArc : public Shape {
public:
    // The arc is drawn in a frame turned by the centre's angle (its third coordinate, degrees).
    circleArc(const Point &centre, double startAngleDeg, double endAngleDeg, double radius);
    void draw() const override;

    double getRadius() const { return radius; }
    double getStartAngle() const { return startAngle; }
    double getEndAngle() const { return endAngle; }

private:
    double radius;
    double startAngle;   // degrees
    double endAngle;     // degrees
};
