// The input-motion arrow at a driven pivot: a dashed circular arrow, or a straight one.
#pragma once

#include "Shape.h"

class ArrowMotion2D : public Shape {
public:
    // straight: the arrow runs along x with the length given by the location's x coordinate.
    ArrowMotion2D(const Point &centre, bool straight);
    void draw() const override;
    // A straight double-headed arrow of half-length 0.25 through the location along dirDeg.
    void drawDoubleHeaded(double dirDeg) const;

    bool isStraight() const { return straight; }

private:
    double radius = 0.25;
    double startAngle = -30.0;   // degrees
    double endAngle = 210.0;     // degrees
    bool straight;
};
