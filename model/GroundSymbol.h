// The ground mark under a fixed pivot: a triangle with hatching and a label letter.
#pragma once

#include "Point.h"

class GroundSymbol {
public:
    GroundSymbol();
    explicit GroundSymbol(const Point &p, double size = 0.4);

    void setPosition(const Point &p);
    void setFlipped(bool f) { flipped = f ? 1 : 0; }
    bool isFlipped() const { return flipped == 1; }
    double getSize() const { return symbolSize; }
    Point getLocation() const { return location; }

    // Needs a current GL context; the label is one letter, and a space writes none.
    void draw(char label = ' ') const;

private:
    double x = 0.0;
    double y = 0.0;
    Point location{0.0, 0.0, 0.0};
    int flipped = 0;
    double symbolSize = 0.4;
};
