// Evaluation of one pair of dyads against the task: each pose placed on a circuit and branch of
// the driver, the three defects, the transmission angle over the task and the cycle, the pose
// errors, the link ratio, and the ranking of pairs.
#include "PairEvaluation.h"

#include "CircuitMap.h"
#include "Dyad.h"
#include "EvaluationTolerances.h"
#include "Mechanism.h"
#include "Tolerances.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const double infinity = std::numeric_limits<double>::infinity();
// Sampling of the transmission angle: a degree of crank, or a 360th of a slide's travel.
constexpr double angleStepDeg = 1.0;
constexpr int slideSamples = 360;
// An unlimited slide is followed this many task sizes beyond the task's inputs.
constexpr double unlimitedSlideTaskSizes = 10.0;

Vec2 xyOf(const Point &p) { return {p[0], p[1]}; }

// The task's moving frame as a body fixed in the coupler, recorded in the frame of the
// coupler's two ends (origin at the first, x towards the second).
struct CouplerFrame {
    Vec2 origin;
    double thetaDeg = 0.0;

    CouplerFrame(const Vec2 &start, const Vec2 &end, const Point &pose) {
        const double along = (end - start).angleDeg();
        const Vec2 ex = Vec2::unitDeg(along), rel = xyOf(pose) - start;
        origin = Vec2(rel.dot(ex), rel.dot(ex.perp()));
        thetaDeg = pose[2] - along;
    }
    void poseAt(const Vec2 &start, const Vec2 &end, Vec2 &xy, double &poseDeg) const {
        const double along = (end - start).angleDeg();
        const Vec2 ex = Vec2::unitDeg(along);
        xy = start + ex * origin.x + ex.perp() * origin.y;
        poseDeg = thetaDeg + along;
    }
};

// A point of the moving frame, given in the fixed frame at a pose, in moving-frame coordinates.
Vec2 toMoving(const Point &pose, const Vec2 &p) {
    const Vec2 ex = Vec2::unitDeg(pose[2]), rel = p - xyOf(pose);
    return {rel.dot(ex), rel.dot(ex.perp())};
}

Vec2 toFixed(const Point &pose, const Vec2 &local) {
    const Vec2 ex = Vec2::unitDeg(pose[2]);
    return xyOf(pose) + ex * local.x + ex.perp() * local.y;
}

// The coupler's two ends as the loop solutions place them, at the assembled pivots: M1 and M2,
// or M1 and a point one unit along the block's line for an RP output.
void assembledCouplerEnds(const FourBarGeometry &g, Vec2 &start, Vec2 &end) {
    start = g.inputFixedPivot + Vec2::unitDeg(g.inputDirectionDeg) * g.inputLength;
    end = g.outputFixedPivot + Vec2::unitDeg(g.outputDirectionDeg) * g.outputLength;
    if (g.kind == PairKind::RRRP || g.kind == PairKind::PRRP)
        end = start + Vec2::unitDeg(g.outputDirectionDeg + 90.0);
}

double angleBetweenDeg(const Vec2 &a, const Vec2 &b) {
    return radToDeg(std::atan2(std::fabs(a.cross(b)), a.dot(b)));
}

// The transmission angle of a solved loop, by the output's kind (see the header).
double transmissionAngleDeg(const FourBarGeometry &g, const LoopSolution &s) {
    switch (g.kind) {
    case PairKind::RRRR:
        return angleBetweenDeg(s.inputMovingPivot - s.outputMovingPivot,
                               g.outputFixedPivot - s.outputMovingPivot);
    case PairKind::RRPR:
    case PairKind::PRPR:
        return angleBetweenDeg(s.inputMovingPivot - s.outputMovingPivot, g.outputSlideDir.perp());
    default:
        return angleBetweenDeg(s.outputDirection, s.inputMovingPivot - g.outputFixedPivot);
    }
}

double linkRatioOf(const FourBarGeometry &g) {
    std::vector<double> lengths;
    const bool rrInput = g.kind == PairKind::RRRR || g.kind == PairKind::RRRP ||
                         g.kind == PairKind::RRPR;
    if (rrInput)
        lengths.push_back(g.inputLength);
    if (g.kind == PairKind::RRRR || g.kind == PairKind::RRRP)
        lengths.push_back(g.groundLength);
    if (g.kind == PairKind::RRRR || g.kind == PairKind::RRPR || g.kind == PairKind::PRPR)
        lengths.push_back(g.couplerLength);
    if (g.kind == PairKind::RRRR)
        lengths.push_back(g.outputLength);
    lengths.erase(std::remove_if(lengths.begin(), lengths.end(),
                                 [](double l) { return !(l > tol::zeroLength); }),
                  lengths.end());
    if (lengths.empty())
        return std::nan("");
    const auto [shortest, longest] = std::minmax_element(lengths.begin(), lengths.end());
    return *longest / *shortest;
}

double taskSizeOf(const std::vector<Point> &task) {
    if (task.empty())
        return 0.0;
    Vec2 centroid;
    for (const Point &p : task)
        centroid = centroid + xyOf(p) * (1.0 / static_cast<double>(task.size()));
    double sum = 0.0;
    for (const Point &p : task)
        sum += (xyOf(p) - centroid).dot(xyOf(p) - centroid);
    return std::sqrt(sum / static_cast<double>(task.size()));
}

// Everything the per-pose and per-travel steps share.
struct Evaluator {
    const FourBarGeometry &g;
    const CircuitMap map;
    const CouplerFrame frame;
    Vec2 m1Local;   // the input dyad's moving pivot in the task's moving frame
    double taskSize;

    Evaluator(const FourBarGeometry &geometry, const Vec2 &start, const Vec2 &end,
              const Point &assembledPose, double size)
        : g(geometry), map(geometry), frame(start, end, assembledPose),
          m1Local(toMoving(assembledPose, start)), taskSize(size) {}

    double inputAt(const Point &pose) const {
        const Vec2 arm = toFixed(pose, m1Local) - g.inputFixedPivot;
        return map.angularInput() ? arm.angleDeg() : arm.dot(g.inputSlideDir);
    }
    PairEvaluation::PoseReach place(const Point &pose) const;
    double step(int branch) const;
    void sample(int branch, double from, double to, double &lo, double &hi) const;
};

// Of the two assemblies at the pose's input, the one whose moving frame is nearer the pose.
PairEvaluation::PoseReach Evaluator::place(const Point &pose) const {
    PairEvaluation::PoseReach best;
    best.positionError = best.angleErrorDeg = infinity;
    const double x = map.nearestClosing(inputAt(pose));
    double bestMiss = infinity;
    for (bool open : {true, false}) {
        const int b = map.branchAt(x, open);
        LoopSolution s;
        if (b < 0 || !map.solve(b, x, s))
            continue;
        Vec2 xy;
        double thetaDeg;
        frame.poseAt(s.couplerStart, s.couplerEnd, xy, thetaDeg);
        const double distance = (xy - xyOf(pose)).length();
        const double turnDeg = std::fabs(wrapDeg180(thetaDeg - pose[2]));
        const double miss = distance + degToRad(turnDeg) * taskSize;
        if (!(miss < bestMiss))
            continue;
        bestMiss = miss;
        best = {map.angularInput() ? wrapDeg180(x) : x, open, map.branches()[b].circuit, b,
                distance, turnDeg};
    }
    return best;
}

double Evaluator::step(int branch) const {
    if (map.angularInput())
        return angleStepDeg;
    const CircuitMap::Branch &b = map.branches()[static_cast<size_t>(branch)];
    const double span = std::isfinite(b.hi - b.lo) ? b.hi - b.lo
                                                     : unlimitedSlideTaskSizes * taskSize;
    return std::max(span, tol::zeroLength) / slideSamples;
}

// Widens [lo, hi] by the transmission angles met from `from` to `to` on a branch.
void Evaluator::sample(int branch, double from, double to, double &lo, double &hi) const {
    const int n = std::max(1, static_cast<int>(std::ceil(std::fabs(to - from) / step(branch))));
    for (int k = 0; k <= n; ++k) {
        LoopSolution s;
        if (!map.solve(branch, from + (to - from) * k / n, s))
            continue;
        const double mu = transmissionAngleDeg(g, s);
        lo = std::min(lo, mu);
        hi = std::max(hi, mu);
    }
}

bool sameBranch(const PairEvaluation::PoseReach &a, const PairEvaluation::PoseReach &b) {
    return a.branch >= 0 && a.branch == b.branch;
}

// The driver's way round a turning input: forward when the poses come in order within one turn
// that way, else backward, else (an order defect) neither; travel() then takes the shorter way.
enum class Turn { Forward, Backward, Neither };

Turn turnOf(const std::vector<PairEvaluation::PoseReach> &poses, int branch) {
    double forward = 0.0, backward = 0.0;
    for (size_t i = 0; i + 1 < poses.size(); ++i) {
        if (poses[i].branch != branch || !sameBranch(poses[i], poses[i + 1]))
            continue;
        const double d = std::fmod(poses[i + 1].input - poses[i].input + 720.0, 360.0);
        forward += d;
        backward += d > 0.0 ? 360.0 - d : 0.0;
    }
    if (forward < 360.0)
        return Turn::Forward;
    return backward < 360.0 ? Turn::Backward : Turn::Neither;
}

// The input values the driver passes from pose a to pose b on their common branch.
void travel(const CircuitMap &map, const PairEvaluation::PoseReach &a,
            const PairEvaluation::PoseReach &b, Turn turn, double &from, double &to) {
    from = map.unrolled(a.branch, a.input);
    to = map.unrolled(b.branch, b.input);
    if (!map.branches()[static_cast<size_t>(a.branch)].cyclic)
        return;
    const double forward = std::fmod(to - from + 720.0, 360.0);
    const bool goForward = turn == Turn::Forward ||
                           (turn == Turn::Neither && forward <= 180.0);
    to = goForward ? from + forward : from - std::fmod(360.0 - forward, 360.0);
}

void judgeDefects(const CircuitMap &map, PairEvaluation &e) {
    const auto &poses = e.poses;
    for (const auto &p : poses)
        if (p.circuit < 0 || p.circuit != poses.front().circuit)
            e.circuitDefect = true;
    std::vector<int> directions(map.branches().size(), 0);
    for (size_t i = 0; i + 1 < poses.size(); ++i) {
        const auto &a = poses[i], &b = poses[i + 1];
        if (a.circuit >= 0 && a.circuit == b.circuit && a.branch != b.branch)
            e.branchDefect = true;
        if (!sameBranch(a, b) || map.branches()[static_cast<size_t>(a.branch)].cyclic)
            continue;
        const double d = map.unrolled(b.branch, b.input) - map.unrolled(a.branch, a.input);
        const int direction = d > 0.0 ? 1 : (d < 0.0 ? -1 : 0);
        int &seen = directions[static_cast<size_t>(a.branch)];
        if (direction != 0 && seen != 0 && direction != seen)
            e.orderDefect = true;
        if (direction != 0)
            seen = direction;
    }
    for (size_t k = 0; k < map.branches().size(); ++k)
        if (map.branches()[k].cyclic && turnOf(poses, static_cast<int>(k)) == Turn::Neither)
            e.orderDefect = true;
    e.defectFree = !e.circuitDefect && !e.branchDefect && !e.orderDefect;
}

void taskTransmission(const Evaluator &ev, PairEvaluation &e) {
    double lo = infinity, hi = -infinity;
    const auto &poses = e.poses;
    for (size_t i = 0; i < poses.size(); ++i) {
        if (poses[i].branch < 0)
            continue;
        const bool onward = i + 1 < poses.size() && sameBranch(poses[i], poses[i + 1]);
        double from = poses[i].input, to = from;
        if (onward)
            travel(ev.map, poses[i], poses[i + 1], turnOf(poses, poses[i].branch), from, to);
        ev.sample(poses[i].branch, from, to, lo, hi);
    }
    e.transmissionAngle.taskMinDeg = lo;
    e.transmissionAngle.taskMaxDeg = hi;
}

// Every branch of the first pose's circuit, just inside its branch points.
void cycleTransmission(const Evaluator &ev, PairEvaluation &e) {
    double lo = infinity, hi = -infinity;
    const int circuit = e.poses.front().circuit;
    double firstInput = infinity, lastInput = -infinity;
    for (const auto &p : e.poses)
        if (p.circuit == circuit) {
            firstInput = std::min(firstInput, p.input);
            lastInput = std::max(lastInput, p.input);
        }
    const double reach = unlimitedSlideTaskSizes * ev.taskSize;
    const auto &branches = ev.map.branches();
    for (size_t k = 0; k < branches.size(); ++k) {
        const CircuitMap::Branch &b = branches[k];
        if (b.circuit != circuit)
            continue;
        const double from = std::isfinite(b.lo) ? b.lo : firstInput - reach;
        const double to = std::isfinite(b.hi) ? b.hi : lastInput + reach;
        const double nudge = b.cyclic ? 0.0 : tol::limitNudge * std::max(1.0, std::fabs(to));
        ev.sample(static_cast<int>(k), from + nudge, to - nudge, lo, hi);
    }
    e.transmissionAngle.cycleMinDeg = lo;
    e.transmissionAngle.cycleMaxDeg = hi;
}

} // namespace

PairEvaluation evaluatePair(const FourBarGeometry &g, const Point &assembledPose,
                            const std::vector<Point> &task, EvaluationScope scope) {
    PairEvaluation e;
    e.kind = g.kind;
    const FourBarClass c = classifyFourBar(g);
    e.className = c.label;
    e.family = c.family;
    e.linkRatio = linkRatioOf(g);
    e.taskSize = taskSizeOf(task);
    Vec2 start, end;
    assembledCouplerEnds(g, start, end);
    const Evaluator ev(g, start, end, assembledPose, e.taskSize);
    if (!ev.map.valid() || task.empty())
        return e;
    for (const Point &pose : task) {
        e.poses.push_back(ev.place(pose));
        e.maxPositionError = std::max(e.maxPositionError, e.poses.back().positionError);
        e.maxAngleErrorDeg = std::max(e.maxAngleErrorDeg, e.poses.back().angleErrorDeg);
    }
    e.evaluated = true;
    judgeDefects(ev.map, e);
    taskTransmission(ev, e);
    if (scope == EvaluationScope::Full)
        cycleTransmission(ev, e);
    return e;
}

PairEvaluation evaluatePair(const Dyad &input, const Dyad &output, const Point &assembledPose,
                            const std::vector<Point> &task) {
    const bool swap = inputRanksAfterOutput(input, output);
    const FourBarGeometry g =
        fourBarGeometryOf(swap ? output : input, swap ? input : output, true);
    return evaluatePair(g, assembledPose, task);
}

PairEvaluation evaluatePair(const Mechanism &m, const std::vector<Point> &task) {
    if (!m.isSet())
        return evaluatePair(FourBarGeometry(), Point(0.0, 0.0, 0.0), task);
    const Point pose = m.hasCouplerPoint() || task.empty() ? m.getCoupler().storedCouplerPose()
                                                           : task.front();
    return evaluatePair(m.getGeometry(), pose, task);
}

double rankingError(const PairEvaluation &e) {
    if (!e.evaluated)
        return infinity;
    const double size = std::max(e.taskSize, tol::zeroLength);
    const double error = std::max(e.maxPositionError / size, degToRad(e.maxAngleErrorDeg));
    if (std::isnan(error))
        return infinity;
    return error < tol::exactPoseError ? 0.0 : error;
}

double transmissionDeviationDeg(const PairEvaluation &e) {
    const double worst = std::max(std::fabs(e.transmissionAngle.taskMinDeg - 90.0),
                                  std::fabs(e.transmissionAngle.taskMaxDeg - 90.0));
    return e.evaluated && std::isfinite(worst) ? worst : infinity;
}

bool ranksBefore(const PairEvaluation &a, const PairEvaluation &b) {
    if (a.evaluated != b.evaluated)
        return a.evaluated;
    if (a.defectFree != b.defectFree)
        return a.defectFree;
    const double ea = rankingError(a), eb = rankingError(b);
    if (ea != eb)
        return ea < eb;
    return transmissionDeviationDeg(a) < transmissionDeviationDeg(b);
}

QStringList defectNames(const PairEvaluation &e) {
    return defectNames(e.circuitDefect, e.branchDefect, e.orderDefect);
}

QStringList defectNames(bool circuitDefect, bool branchDefect, bool orderDefect) {
    QStringList names;
    if (circuitDefect)
        names << QStringLiteral("circuit");
    if (branchDefect)
        names << QStringLiteral("branch");
    if (orderDefect)
        names << QStringLiteral("order");
    return names;
}
