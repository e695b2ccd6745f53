// Joint: the common part of the revolute and prismatic joint symbols.
#include "Joint.h"

Joint::Joint(const Point &p) { setPosition(p); }

Joint::~Joint() = default;

void Joint::setPosition(const Point &p) {
    location[0] = p.x();
    location[1] = p.y();
}
