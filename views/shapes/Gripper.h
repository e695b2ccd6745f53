// The marker of one position of the moving frame: a pentagon, optionally with frame axes.
#pragma once

#include "Shape.h"

#include <string>

class Gripper : public Shape {
public:
    // pose: x, y and the frame angle in degrees. style 0 white, 1 dashed outline, 2 grey with
    // axes, 3 yellow with axes. A number above 0 is written as its label.
    Gripper(const Point &pose, int style, int number);
    void draw() const override;

    int getStyle() const { return style; }
    int getNumber() const { return number; }
    const std::string &getLabel() const { return label; }

private:
    int style;
    double angle;   // degrees
    double size = 0.15;
    int number;
    std::string label;
};
