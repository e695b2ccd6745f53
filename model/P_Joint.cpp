// P_Joint: a prismatic joint drawn as a slider block with a pin.
#include "P_Joint.h"

#include "Circle2D.h"
#include "Rectangle2D.h"

P_Joint::P_Joint(const Point &p, double angleDeg)
    : Joint(p), angle(angleDeg),
      circle(std::make_unique<Circle2D>(Point(p.x(), p.y(), 0.0), false, pinRadius)),
      block(std::make_unique<Rectangle2D>(Point(p.x(), p.y(), 0.0), false, blockWidth,
                                          blockHeight, angleDeg - 180.0)) {
    centre[0] = p.x();
    centre[1] = p.y();
}

P_Joint::~P_Joint() = default;

void P_Joint::setPosition(const Point &p) {
    Joint::setPosition(p);
    centre[0] = p.x();
    centre[1] = p.y();
    circle->setCentre(p.x(), p.y());
    block->setCentre(p.x(), p.y());
}

void P_Joint::setAngle(double angleDeg) {
    angle = angleDeg;
    block->setAngle(angleDeg - 180.0);
}

void P_Joint::draw() const {
    block->draw();
    circle->draw();
}
