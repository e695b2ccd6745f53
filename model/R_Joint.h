// A revolute joint: a pin circle of radius 0.1.
#pragma once

#include "Joint.h"

#include <memory>

class Circle2D;

class R_Joint : public Joint {
public:
    explicit R_Joint(const Point &p);
    ~R_Joint() override;
    void setPosition(const Point &p) override;
    void draw() const override;

    static constexpr double pinRadius = 0.1;

private:
    std::unique_ptr<Circle2D> circle;
};
