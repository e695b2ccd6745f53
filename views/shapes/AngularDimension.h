// An angle annotation: a red arc with arrowheads and the swept angle in degrees.
#pragma once

#include "Shape.h"

#include <string>

class AngularDimension : public Shape {
public:
    AngularDimension(const Point &centre, double radius, double startAngleDeg,
                     double endAngleDeg);
    void draw() const override;

    // The swept angle as written: endAngle - startAngle in degrees, to the view's significant
    // digits (as the linear dimension writes its numbers).
    std::string valueText() const;
    // What the view writes: the value with its degree sign, after "name = " when the angle has a
    // name (the θ of a position being turned).
    std::string labelText() const;
    void setName(const std::string &angleName) { name = angleName; }
    double getRadius() const { return radius; }

private:
    void drawArrowhead(double angleDeg, bool atStart) const;
    double radius;
    double startAngle;   // degrees
    double endAngle;     // degrees
    double offset = 1.1;
    std::string name;   // UTF-8; empty for an unnamed sweep
};
