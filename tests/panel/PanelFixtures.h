// A known crank-rocker written out by hand for the panel tests: its coupler poses from forward
// kinematics, its two RR dyads, and helpers that hand dyads to a branch as synthesis would.
#pragma once

#include "Point.h"

#include <QWidget>
#include <memory>
#include <vector>

class Branch;
class Dyad;

namespace panelfix {

// Ground (0, 0) -> (4, 0), crank 1.5, coupler 4, rocker 3.5 (Grashof: 1.5 + 4 <= 4 + 3.5, the
// crank is the shortest link). The moving frame sits at (2, 1) in the coupler's own frame.
struct CouplerPose {
    double ax, ay;  // crank's moving pivot
    double bx, by;  // rocker's moving pivot
    double x, y, thetaDeg;  // the moving frame in the fixed frame
};
CouplerPose crankRockerPose(double crankDeg);

// The crank-side and rocker-side RR of the crank-rocker, built for its pose at crankDeg.
std::shared_ptr<Dyad> crankDyad(double crankDeg);
std::shared_ptr<Dyad> rockerDyad(double crankDeg);
// An RR that takes part in no mechanism here (a third, fourth ... synthesized dyad).
std::shared_ptr<Dyad> spareDyad(int k, double crankDeg);

// The first n of: crank dyad, rocker dyad, spare dyads; all for the pose at crankDeg.
std::vector<std::shared_ptr<Dyad>> dyadsOfARun(int n, double crankDeg);

// What a synthesis run leaves in the branch: cleared, then the pose list and the dyads.
void handToBranch(Branch &branch, const std::vector<std::shared_ptr<Dyad>> &dyads,
                  double crankDeg);

// A widget of the panel's form by its object name.
template <typename T> T *child(const QWidget &w, const char *name) {
    return w.findChild<T *>(QString::fromLatin1(name));
}

} // namespace panelfix

