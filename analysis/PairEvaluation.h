// How well one pair of dyads, as a four-bar, performs the task: where it reaches each pose,
// whether it can do so in one go (circuit, branch and order defects), how well it transmits
// force (transmission angle), how closely it meets the poses, and the ranking of such pairs.
#pragma once

#include "FourBarClass.h"
#include "FourBarGeometry.h"
#include "Point.h"

#include <QString>
#include <QStringList>
#include <vector>

class Dyad;
class Mechanism;

// Definitions, in the terms of Waldron & Kinzel ("Kinematics, Dynamics, and Design of
// Machinery", the four-bar's circuits and branches) and of Chase & Mirth's defect names used by
// Sandor & Erdman and McCarthy:
//
// - Input: the crank angle (degrees) for an RR input dyad, the slide displacement along its line
//   for a PR input. The input at which the mechanism reaches a pose is the one that puts the
//   input dyad's moving pivot where the pose carries it; for each pose the assembly (one of the
//   two roots of the loop, Mechanism's open and crossed) that meets the pose more closely is
//   taken. An input beyond a limit (an approximate fit) is taken at the limit.
// - Branch point: an input value where the two assemblies meet; the driver stops there (dead
//   centre: coupler and output stretched or folded for an RR output). Branch: one assembly
//   between two branch points. Circuit: the configurations reachable from one another without
//   taking the linkage apart, joined through the branch points (see CircuitMap). A Grashof
//   linkage whose input turns fully has two circuits, the open and the crossed assembly; a
//   non-Grashof linkage has one circuit whose assembly sign changes at each input limit; a
//   change-point linkage's circuits meet at its change point, which counts as a branch point.
// - circuitDefect: the poses do not all lie on one circuit (or one cannot be reached at all).
// - branchDefect: two consecutive poses lie on one circuit but on different branches: between
//   them the driver would have to pass a dead centre.
// - orderDefect: on a branch the driver moving one way does not meet the poses that lie on it in
//   the task's order: the steps between consecutive poses of one branch change direction, or,
//   for an input that turns fully, the poses take more than one turn to meet in order.
// - defectFree: a pair the evaluation solves, with none of the three.
// - Transmission angle mu, in [0, 180] degrees: for an RR output the angle at M2 between the
//   coupler (towards M1) and the output link (towards O2), cos mu = (h^2 + L2^2 - |M1 O2|^2) /
//   (2 h L2); for a PR output (slider) the angle between the coupler and the slide's normal
//   (u2 turned a quarter turn counter-clockwise), the slider seen as an RR whose fixed pivot lies
//   at infinity across the slide; for an RP output (swinging block) the angle between the force
//   the coupler's line puts on the block (the line's normal, through M1) and the arm from O2 to
//   M1. In each case 90 degrees passes force best and 0 or 180 is a dead centre.
//   taskMin/taskMax: over the travel from the first to the last pose, following the driver
//   between consecutive poses of one branch (the poses alone elsewhere); cycleMin/cycleMax: over
//   every branch of the first pose's circuit (an unlimited slide followed ten task sizes beyond
//   the task's inputs).
// - Pose error: distance between the task's point and the moving frame's origin at the reached
//   input (task units), and the orientation difference (degrees, in [0, 180]); their maxima.
// - Link ratio: longest over shortest of the lengths between revolute joints fixed by a link:
//   ground (both fixed pivots revolute), crank (RR input), coupler M1-M2 (RR or PR output),
//   output (RR output). Not a number when the pair has no such length (PR-RP).
// - Class: Mechanism's classification (Grashof family for RR-RR, a name by kind otherwise).
struct PairEvaluation {
    struct PoseReach {
        double input = 0.0;          // degrees in (-180, 180] or slide displacement
        bool openAssembly = true;    // the loop's root, as Mechanism's open circuit
        int circuit = -1;            // -1: the pose could not be reached
        int branch = -1;
        double positionError = 0.0;  // task units
        double angleErrorDeg = 0.0;
    };
    struct TransmissionAngle {
        double taskMinDeg = 0.0;
        double taskMaxDeg = 0.0;
        double cycleMinDeg = 0.0;
        double cycleMaxDeg = 0.0;
    };

    PairKind kind = PairKind::None;
    // False for a pair no evaluation solves (RP-RP, unknown kinds) or an empty task; then only
    // kind, className, family and linkRatio are set.
    bool evaluated = false;
    QString className;
    FourBarClass::Family family = FourBarClass::Family::None;
    bool circuitDefect = false;
    bool branchDefect = false;
    bool orderDefect = false;
    bool defectFree = false;
    TransmissionAngle transmissionAngle;
    std::vector<PoseReach> poses;    // in the task's order
    double maxPositionError = 0.0;
    double maxAngleErrorDeg = 0.0;
    double linkRatio = 0.0;
    // RMS distance of the task's points from their centroid: the unit of the ranking's error.
    double taskSize = 0.0;
};

// How much of a pair to judge: everything, or only what the ranking compares (the cycle's
// transmission angle is then left at zero), for a caller that judges thousands of pairs and
// keeps the best of each few.
enum class EvaluationScope { Full, Ranking };

// The core: a four-bar's loop geometry, the pose (x, y, theta degrees) of the task's moving
// frame when the mechanism stands as assembled (both dyads at the pivots the geometry was read
// from), and the task's poses in the user's order.
PairEvaluation evaluatePair(const FourBarGeometry &g, const Point &assembledPose,
                            const std::vector<Point> &task,
                            EvaluationScope scope = EvaluationScope::Full);
// Two dyads, input first and ordered as Mechanism orders them (RR before PR before RP), read at
// their reference pivots; assembledPose is the pose those pivots belong to (for synthesized
// dyads the task's first pose). Cheap: no Mechanism, no trace, no file.
PairEvaluation evaluatePair(const Dyad &input, const Dyad &output, const Point &assembledPose,
                            const std::vector<Point> &task);
// A formed mechanism: its geometry and its coupler point's assembled pose (the task's first
// pose when it has no coupler point). The mechanism is not changed.
PairEvaluation evaluatePair(const Mechanism &m, const std::vector<Point> &task);

// What the ranking compares after the defects: the larger of the worst position error in task
// sizes and the worst angle error in radians, zero below rounding; infinite when not evaluated.
double rankingError(const PairEvaluation &e);
// The worst deviation of the transmission angle from 90 degrees over the task's travel.
double transmissionDeviationDeg(const PairEvaluation &e);
// The ranking, best first: evaluated pairs before the rest, then defect-free ones, then the
// smaller rankingError, then the smaller transmissionDeviationDeg. A strict weak order, for
// std::stable_sort (equal pairs keep the caller's order).
bool ranksBefore(const PairEvaluation &a, const PairEvaluation &b);
// The defects a judged pair has, by name ("circuit", "branch", "order"), in that order.
QStringList defectNames(const PairEvaluation &e);
QStringList defectNames(bool circuitDefect, bool branchDefect, bool orderDefect);
