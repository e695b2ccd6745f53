// Forward kinematics written for the tests, independent of the code under test: poses of the
// moving frame of known four-bars, and loading a task the way the main window does.
#pragma once

#include <QString>
#include <armadillo>
#include <vector>

class Motion;
class MechanismSynthesis;

namespace known {

struct Vec {
    double x, y;
};

// A pose of the moving frame with theta in degrees, converted with the literal the engine uses
// for its input (3.141592653), so the engine sees exactly the angle the test meant.
struct Pose {
    double x, y, thetaDeg;
};

// Radians to the degrees the engine reads back to the same radians.
double engineDegrees(double radians);

// One revolute-revolute side: fixed pivot (fixed frame), moving pivot in the moving frame.
struct RevoluteSide {
    Vec fixedPivot;
    Vec movingLocal;
    double radius;
};

// The RRRR whose coupler carries the moving frame: for each crank angle (radians) of the
// input side, the output side closes on the branch given by `elbowUp`. Returns false (and
// fewer poses) when a crank angle does not close.
bool rrrrPoses(const RevoluteSide &input, const RevoluteSide &output,
               const std::vector<double> &crankAngles, bool elbowUp, std::vector<Pose> &poses);

// A slider-crank: the crank side as above; the slider's moving pivot (moving frame) runs on
// the ground line through linePoint with direction lineAngle (radians).
bool sliderCrankPoses(const RevoluteSide &crank, Vec sliderLocal, Vec linePoint,
                      double lineAngle, const std::vector<double> &crankAngles,
                      std::vector<Pose> &poses);

// The moving-frame point `local` in the fixed frame at a pose.
Vec toFixed(const Pose &pose, Vec local);

// Fills both copies of the task, as the main window does after reading a file.
void loadTask(Motion &motion, MechanismSynthesis &engine, const std::vector<Pose> &poses);

// The text of a position file holding the poses (three numbers per record).
QString positionFileText(const std::vector<Pose> &poses);

// The image-space quadric of an RR with fixed pivot (x0, y0), moving pivot (x1, y1) in the
// moving frame and radius r, derived by hand: p = (1, -x1, -y1, -x0, -y0, p6, p7, p8) with p6,
// p7 chosen so that both dyad constraints vanish and p8 from the radius.
arma::vec rrQuadric(double x0, double y0, double x1, double y1, double r);

// The data row of a pose (theta in degrees), written out from the mapping's formulas.
arma::rowvec dataRow(const Pose &pose);

// Relative difference against a scale of at least 1.
double relativeError(double got, double want, double scale);

} // namespace known
