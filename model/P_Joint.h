// A prismatic joint: a slider block (0.2 along its direction, 0.4 across) with a pin circle.
#pragma once

#include "Joint.h"

#include <memory>

class Circle2D;
class Rectangle2D;

class P_Joint : public Joint {
public:
    // angleDeg: the slide direction in degrees.
    P_Joint(const Point &p, double angleDeg);
    ~P_Joint() override;
    // The block and its pin follow the joint (so a moved slider is drawn where it is).
    void setPosition(const Point &p) override;
    void draw() const override;

    void setAngle(double angleDeg);
    double getAngle() const { return angle; }

    static constexpr double pinRadius = 0.2;
    static constexpr double blockWidth = 0.2;
    static constexpr double blockHeight = 0.4;

private:
    Point centre{0.0, 0.0, 0.0};
    double angle;   // degrees
    std::unique_ptr<Circle2D> circle;
    std::unique_ptr<Rectangle2D> block;
};
