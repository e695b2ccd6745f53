// The coupler of a four-bar: the rigid body between the two moving pivots, carrying the
// coupler point whose pose is the moving frame the task's positions describe.
#pragma once

#include "Point.h"
#include "Vec2.h"

#include <memory>

class CouplerLink {
public:
    CouplerLink();
    CouplerLink(const CouplerLink &) = delete;
    CouplerLink &operator=(const CouplerLink &) = delete;

    // Assembly: the two ends define the coupler's frame (origin at the first end, x along the
    // second); a coupler point is re-recorded in that frame.
    void attachEnds(const Vec2 &start, const Vec2 &end);
    // Analysis: moves the ends and carries the coupler point rigidly with them.
    void setEnds(const Vec2 &start, const Vec2 &end);

    Vec2 start() const { return first; }
    Vec2 end() const { return second; }
    // |end - start| and its direction in degrees.
    double getLength() const;
    double getAngle() const;

    bool hasCouplerPoint() const { return point != nullptr; }
    // A copy of the coupler point (x, y, theta in degrees); three zeros when there is none.
    Point couplerPoint() const;
    // The live coupler point, for dragging it by its handle; null when there is none. The
    // address stays the same until removeCouplerPoint().
    Point *couplerPointHandle() { return point.get(); }
    // Copies the pose (x, y, theta in degrees), keeps it as the stored pose and records it in
    // the coupler's frame.
    void setCouplerPoint(const Point &pose);
    void removeCouplerPoint();
    // The stored pose is the one assembly puts the coupler point back to.
    void storeCouplerPose();
    void restoreCouplerPose();
    Point storedCouplerPose() const;

    // The coupler point in the coupler's frame: its distance from the first end, its angle
    // seen from the first end against the coupler line, and its orientation against that
    // direction (all angles in degrees).
    double pointDistance() const;
    double pointAngle() const;
    double frameAngle() const;
    // The coupler point's pose (x, y, theta degrees) were the ends at start and end.
    void couplerPoseAt(const Vec2 &start, const Vec2 &end, double &x, double &y,
                       double &thetaDeg) const;

private:
    void recordCouplerPoint();

    Vec2 first;
    Vec2 second;
    std::unique_ptr<Point> point;
    Point storedPose{0.0, 0.0, 0.0};
    // Coupler point in the coupler frame: position and orientation (degrees).
    double localX = 0.0;
    double localY = 0.0;
    double localThetaDeg = 0.0;
};
