// The joint symbol at one end of a dyad's link.
#pragma once

#include "Point.h"

class Joint {
public:
    Joint() = default;
    explicit Joint(const Point &p);
    Joint(const Joint &) = delete;
    Joint &operator=(const Joint &) = delete;

    virtual ~Joint();
    // Moves the joint to the x, y of p.
    virtual void setPosition(const Point &p);
    virtual void draw() const = 0;

    Point getLocation() const { return location; }

protected:
    Point location{0.0, 0.0, 0.0};
};
