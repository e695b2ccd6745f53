// A bar between two points with its length and direction: a dyad's link, a mechanism's links.
#pragma once

#include "Point.h"

class Link {
public:
    Link();
    // width 0.06, angle and length from the two ends.
    Link(const Point &a, const Point &b);

    // start = a, end = b, width = 0.06; angle (degrees) and length from the two ends.
    void setEnds(const Point &a, const Point &b);
    // Recomputed from the ends: the distance start -> end.
    double getLength() const;
    // Recomputed from the ends (degrees), stored and returned.
    double getAngle();
    // The angle stored by the last setEnds or getAngle, in degrees.
    double storedAngle() const { return angle; }
    double storedLength() const { return length; }
    double getWidth() const { return width; }
    const Point &startPoint() const { return start; }
    const Point &endPoint() const { return end; }

    // Drawing; needs a current GL context. The highlighted style marks a picked dyad.
    void draw() const;
    void drawHighlighted() const;

private:
    void drawBar(double r, double g, double b, double widthScale) const;
    double angle = 0.0;   // degrees
    double length = 0.0;
    double width = 0.06;
    Point start{0.0, 0.0, 0.0};
    Point end{0.0, 0.0, 0.0};
    Point third{0.0, 0.0, 0.0};
    bool flag = false;
};
