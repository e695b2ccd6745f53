// The coupler as a rigid frame on its two ends; the coupler point is kept in that frame so it
// moves exactly with the coupler, however far the input is swept.
#include "CouplerLink.h"

#include <cmath>

namespace {
// A pose as three coordinates whatever the caller's point held.
Point asPose(const Point &p) {
    const double theta = p.dimension() > 2 ? p[2] : 0.0;
    Point pose(p.dimension() > 0 ? p[0] : 0.0, p.dimension() > 1 ? p[1] : 0.0, theta);
    pose.parameter = p.parameter;
    return pose;
}
} // namespace

CouplerLink::CouplerLink() = default;

double CouplerLink::getLength() const { return (second - first).length(); }

double CouplerLink::getAngle() const { return (second - first).angleDeg(); }

void CouplerLink::attachEnds(const Vec2 &start, const Vec2 &end) {
    first = start;
    second = end;
    if (point)
        recordCouplerPoint();
}

void CouplerLink::setEnds(const Vec2 &start, const Vec2 &end) {
    first = start;
    second = end;
    if (!point)
        return;
    double x, y, theta;
    couplerPoseAt(start, end, x, y, theta);
    (*point)[0] = x;
    (*point)[1] = y;
    (*point)[2] = theta;
}

void CouplerLink::couplerPoseAt(const Vec2 &start, const Vec2 &end, double &x, double &y,
                                double &thetaDeg) const {
    // A zero-length coupler has no direction of its own; it then keeps the fixed frame's x axis
    // (atan2(0, 0) = 0), the same convention recordCouplerPoint used.
    const Vec2 along = end - start;
    const double length = along.length();
    const Vec2 ex = length > 0.0 ? along * (1.0 / length) : Vec2(1.0, 0.0);
    const Vec2 c = start + ex * localX + ex.perp() * localY;
    x = c.x;
    y = c.y;
    thetaDeg = localThetaDeg + along.angleDeg();
}

void CouplerLink::recordCouplerPoint() {
    const Vec2 along = second - first;
    const double length = along.length();
    const Vec2 ex = length > 0.0 ? along * (1.0 / length) : Vec2(1.0, 0.0);
    const Vec2 rel = Vec2((*point)[0], (*point)[1]) - first;
    localX = rel.dot(ex);
    localY = rel.dot(ex.perp());
    localThetaDeg = (*point)[2] - along.angleDeg();
}

Point CouplerLink::couplerPoint() const {
    if (!point)
        return Point(0.0, 0.0, 0.0);
    return *point;
}

void CouplerLink::setCouplerPoint(const Point &pose) {
    const Point p = asPose(pose);
    if (point)
        *point = p;
    else
        point = std::make_unique<Point>(p);
    storedPose = p;
    recordCouplerPoint();
}

void CouplerLink::removeCouplerPoint() {
    point.reset();
    localX = localY = localThetaDeg = 0.0;
}

void CouplerLink::storeCouplerPose() {
    if (point)
        storedPose = *point;
}

void CouplerLink::restoreCouplerPose() {
    if (point)
        *point = storedPose;
}

Point CouplerLink::storedCouplerPose() const { return storedPose; }

double CouplerLink::pointDistance() const { return std::hypot(localX, localY); }

double CouplerLink::pointAngle() const { return Vec2(localX, localY).angleDeg(); }

double CouplerLink::frameAngle() const { return localThetaDeg - pointAngle(); }
