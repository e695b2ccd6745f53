// Forward kinematics of the panel tests' crank-rocker (law of cosines, circle intersection).
#include "PanelFixtures.h"

#include "Branch.h"
#include "RR.h"

#include <cmath>

namespace panelfix {
namespace {
const double degree = std::acos(-1.0) / 180.0;
const double groundX = 4.0, crank = 1.5, coupler = 4.0, rocker = 3.5;
const double frameLocalX = 2.0, frameLocalY = 1.0;
} // namespace

CouplerPose crankRockerPose(double crankDeg) {
    CouplerPose p{};
    p.ax = crank * std::cos(crankDeg * degree);
    p.ay = crank * std::sin(crankDeg * degree);
    // B lies on the circle of radius `coupler` about A and of radius `rocker` about (4, 0).
    const double dx = groundX - p.ax, dy = -p.ay;
    const double d = std::hypot(dx, dy);
    const double along = (coupler * coupler - rocker * rocker + d * d) / (2.0 * d);
    const double across = std::sqrt(coupler * coupler - along * along);
    const double ux = dx / d, uy = dy / d;
    p.bx = p.ax + along * ux - across * uy;
    p.by = p.ay + along * uy + across * ux;
    const double theta = std::atan2(p.by - p.ay, p.bx - p.ax);
    p.x = p.ax + std::cos(theta) * frameLocalX - std::sin(theta) * frameLocalY;
    p.y = p.ay + std::sin(theta) * frameLocalX + std::cos(theta) * frameLocalY;
    p.thetaDeg = theta / degree;
    return p;
}

std::shared_ptr<Dyad> crankDyad(double crankDeg) {
    const CouplerPose p = crankRockerPose(crankDeg);
    return std::make_shared<RR>(0.0, 0.0, p.ax, p.ay, p.x, p.y, p.thetaDeg);
}

std::shared_ptr<Dyad> rockerDyad(double crankDeg) {
    const CouplerPose p = crankRockerPose(crankDeg);
    return std::make_shared<RR>(groundX, 0.0, p.bx, p.by, p.x, p.y, p.thetaDeg);
}

std::shared_ptr<Dyad> spareDyad(int k, double crankDeg) {
    const CouplerPose p = crankRockerPose(crankDeg);
    return std::make_shared<RR>(-2.0 - k, 3.0, p.x, p.y, p.x, p.y, p.thetaDeg);
}

std::vector<std::shared_ptr<Dyad>> dyadsOfARun(int n, double crankDeg) {
    std::vector<std::shared_ptr<Dyad>> dyads;
    for (int i = 0; i < n; ++i) {
        if (i == 0)
            dyads.push_back(crankDyad(crankDeg));
        else if (i == 1)
            dyads.push_back(rockerDyad(crankDeg));
        else
            dyads.push_back(spareDyad(i, crankDeg));
    }
    return dyads;
}

void handToBranch(Branch &branch, const std::vector<std::shared_ptr<Dyad>> &dyads,
                  double crankDeg) {
    branch.clearBranch();
    const CouplerPose p = crankRockerPose(crankDeg);
    branch.setupPointList({Point(p.x, p.y, p.thetaDeg)});
    for (const std::shared_ptr<Dyad> &d : dyads)
        branch.createDyad(d);
}

} // namespace panelfix
