// R_Joint: a revolute joint drawn as a pin circle.
#include "R_Joint.h"

#include "Circle2D.h"

R_Joint::R_Joint(const Point &p)
    : Joint(p), circle(std::make_unique<Circle2D>(Point(p.x(), p.y(), 0.0), false, pinRadius)) {}

R_Joint::~R_Joint() = default;

void R_Joint::setPosition(const Point &p) {
    Joint::setPosition(p);
    circle->setCentre(p.x(), p.y());
}

void R_Joint::draw() const { circle->draw(); }
