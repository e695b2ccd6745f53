// A straight segment, the simplest drawing primitive (line constraints, guide lines).
#pragma once

#include "Shape.h"

class Line : public Shape {
public:
    Line(const Point &start, const Point &end);
    void draw() const override;

    Point getEnd() const { return end; }
    void setEnds(const Point &start, const Point &end);

private:
    Point end{0.0, 0.0, 0.0};
};
