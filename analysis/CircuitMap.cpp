// Circuits and branches of a four-bar for its driver: the input's limits in closed form (the
// law of cosines across the diagonal O2 - M1, or M1's distance from a slide), the intervals of
// inputs that close, and the circuits they join into.
#include "CircuitMap.h"

#include "EvaluationTolerances.h"
#include "Tolerances.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

double positiveMod360(double deg) {
    const double m = std::fmod(deg, 360.0);
    return m < 0.0 ? m + 360.0 : m;
}

// Union-find over branch indices, for joining branches at shared branch points.
int findSet(std::vector<int> &parent, int k) {
    while (parent[k] != k)
        k = parent[k] = parent[parent[k]];
    return k;
}

} // namespace

CircuitMap::CircuitMap(const FourBarGeometry &g) : geometry(g) {
    switch (g.kind) {
    case PairKind::RRRR:
    case PairKind::RRRP:
    case PairKind::RRPR:
        angular = true;
        break;
    case PairKind::PRPR:
    case PairKind::PRRP:
        angular = false;
        break;
    case PairKind::RPRP:
    case PairKind::None:
        return;
    }
    mapped = true;
    findBranchPoints();
    buildBranches();
    joinCircuits();
}

double CircuitMap::closureMargin(double x) const {
    const FourBarGeometry &g = geometry;
    const Vec2 diagonal = g.outputFixedPivot - inputMovingPivotAt(g, x);
    switch (g.kind) {
    case PairKind::RRRR: {
        // Coupler and output reach across the diagonal between folded and stretched.
        const double d = diagonal.length(), h = g.couplerLength, l2 = g.outputLength;
        return std::min(d - std::fabs(h - l2), h + l2 - d);
    }
    case PairKind::RRRP:
    case PairKind::PRRP:
        // The block's line keeps M1 at |Kc|: the diagonal must be at least that long.
        return diagonal.length() - std::fabs(g.lineOffset);
    case PairKind::RRPR:
    case PairKind::PRPR:
        // The coupler must reach across from M1 to the output slide.
        return g.couplerLength - std::fabs(g.outputSlideDir.cross(diagonal));
    default:
        return -1.0;
    }
}

// |O2 - M1(x)| = reach for a crank: G^2 + L1^2 - 2 G L1 cos(x - gamma) = reach^2.
void CircuitMap::findBranchPoints() {
    const FourBarGeometry &g = geometry;
    const Vec2 ground = g.outputFixedPivot - g.inputFixedPivot;
    const double twoGL1 = 2.0 * g.groundLength * g.inputLength;
    auto addReach = [&](double reach) {
        if (twoGL1 > tol::zeroLength)
            addAngleRoots(g.groundAngleDeg, (g.groundLength * g.groundLength +
                                             g.inputLength * g.inputLength - reach * reach) /
                                                twoGL1);
    };
    const double h = g.couplerLength;
    // M1's signed distance across the output slide: c0 - L1 sin(x - sigma2), or c0 - s across.
    const double c0 = g.outputSlideDir.cross(ground);
    switch (g.kind) {
    case PairKind::RRRR:
        addReach(std::fabs(h - g.outputLength));
        addReach(h + g.outputLength);
        break;
    case PairKind::RRRP:
        addReach(std::fabs(g.lineOffset));
        break;
    case PairKind::RRPR:
        // sin(x - sigma2) = v is cos(x - sigma2 - 90) = v.
        if (g.inputLength > tol::zeroLength)
            for (double side : {-1.0, 1.0})
                addAngleRoots(g.outputSlideDeg + 90.0, (c0 - side * h) / g.inputLength);
        break;
    case PairKind::PRPR: {
        const double across = g.outputSlideDir.cross(g.inputSlideDir);
        // Parallel slides: M1 keeps its distance from the output slide, no limit.
        if (std::fabs(across) > tol::zeroLength)
            for (double side : {-1.0, 1.0})
                roots.push_back({(c0 - side * h) / across, false});
        break;
    }
    case PairKind::PRRP: {
        // |ground - s u1| = |Kc|: s = along +- sqrt(Kc^2 - across^2).
        const double along = g.inputSlideDir.dot(ground), across = g.inputSlideDir.cross(ground);
        const double kc2 = g.lineOffset * g.lineOffset;
        const double disc = kc2 - across * across;
        if (std::fabs(disc) <= tol::lengthRelative * std::max(kc2, across * across))
            roots.push_back({along, true});
        else if (disc > 0.0)
            for (double side : {-1.0, 1.0})
                roots.push_back({along + side * std::sqrt(disc), false});
        break;
    }
    default:
        break;
    }
    std::sort(roots.begin(), roots.end(),
              [](const Root &a, const Root &b) { return a.x < b.x; });
}

// cos(x - base) = cosine. A cosine at +-1 within rounding is a double root: the closing inputs
// touch there without ending (a change point).
void CircuitMap::addAngleRoots(double baseDeg, double cosine) {
    if (!std::isfinite(cosine) || std::fabs(cosine) > 1.0 + tol::lengthRelative)
        return;
    const double wrap = 180.0;
    if (std::fabs(cosine) >= 1.0 - tol::lengthRelative) {
        const double x = wrapDeg180(baseDeg + (cosine > 0.0 ? 0.0 : 180.0));
        roots.push_back({x == wrap ? -wrap : x, true});
        return;
    }
    const double turn = radToDeg(std::acos(cosine));
    for (double x : {wrapDeg180(baseDeg + turn), wrapDeg180(baseDeg - turn)})
        roots.push_back({x == wrap ? -wrap : x, false});
}

bool CircuitMap::closesBetween(double lo, double hi) const {
    const double inf = std::numeric_limits<double>::infinity();
    double probe = 0.5 * (lo + hi);
    if (lo == -inf)
        probe = hi - std::max(1.0, std::fabs(hi));
    else if (hi == inf)
        probe = lo + std::max(1.0, std::fabs(lo));
    return closureMargin(probe) > 0.0;
}

// Each interval between neighbouring branch points (cyclically for an angle) that closes
// carries two branches, one per assembly.
void CircuitMap::buildBranches() {
    const double inf = std::numeric_limits<double>::infinity();
    if (roots.empty()) {
        const double lo = angular ? -180.0 : -inf, hi = angular ? 180.0 : inf;
        if (closureMargin(angular ? geometry.assembledInput : 0.0) > 0.0)
            for (bool open : {true, false})
                branchList.push_back({lo, hi, open, angular, 0});
        return;
    }
    const size_t n = roots.size();
    const size_t intervals = angular ? n : n + 1;
    for (size_t k = 0; k < intervals; ++k) {
        double lo, hi;
        if (angular) {
            lo = roots[k].x;
            hi = k + 1 < n ? roots[k + 1].x : roots[0].x + 360.0;
        } else {
            lo = k == 0 ? -inf : roots[k - 1].x;
            hi = k == n ? inf : roots[k].x;
        }
        if (!(hi > lo) || !closesBetween(lo, hi))
            continue;
        for (bool open : {true, false})
            branchList.push_back({lo, hi, open, false, 0});
    }
}

// All branches that end at one branch point are one circuit: at a limit the two assemblies of
// an interval meet; at a change point the intervals on both sides meet as well.
void CircuitMap::joinCircuits() {
    std::vector<int> parent(branchList.size());
    std::iota(parent.begin(), parent.end(), 0);
    auto endsAt = [this](const Branch &b, double x) {
        if (b.cyclic)
            return false;
        if (!angular)
            return b.lo == x || b.hi == x;
        return positiveMod360(b.lo - x) == 0.0 || positiveMod360(b.hi - x) == 0.0;
    };
    for (const Root &r : roots) {
        int first = -1;
        for (size_t k = 0; k < branchList.size(); ++k) {
            if (!endsAt(branchList[k], r.x))
                continue;
            if (first < 0)
                first = static_cast<int>(k);
            else
                parent[findSet(parent, static_cast<int>(k))] = findSet(parent, first);
        }
    }
    std::vector<int> number(branchList.size(), -1);
    circuits = 0;
    for (size_t k = 0; k < branchList.size(); ++k) {
        const int root = findSet(parent, static_cast<int>(k));
        if (number[root] < 0)
            number[root] = circuits++;
        branchList[k].circuit = number[root];
    }
}

double CircuitMap::nearestClosing(double x) const {
    if (closureMargin(x) >= 0.0 || roots.empty())
        return x;
    double best = roots.front().x, bestDistance = std::numeric_limits<double>::infinity();
    for (const Root &r : roots) {
        const double d = angular ? std::fabs(wrapDeg180(x - r.x)) : std::fabs(x - r.x);
        if (d < bestDistance) {
            bestDistance = d;
            best = r.x;
        }
    }
    // Just inside the limit, on the side that closes: at the limit itself rounding decides.
    const double nudge = tol::limitNudge * std::max(1.0, std::fabs(best));
    return closureMargin(best + nudge) >= closureMargin(best - nudge) ? best + nudge
                                                                      : best - nudge;
}

double CircuitMap::unrolled(int branch, double x) const {
    const Branch &b = branchList[static_cast<size_t>(branch)];
    if (!angular)
        return x;
    if (b.cyclic)
        return wrapDeg180(x);
    const double u = b.lo + positiveMod360(x - b.lo);
    // Just below lo by rounding reads as a whole turn up; take the nearer of the two.
    return (u > b.hi && (u - b.hi) > (b.lo - (u - 360.0))) ? u - 360.0 : u;
}

int CircuitMap::branchAt(double x, bool open) const {
    int best = -1;
    double bestOutside = std::numeric_limits<double>::infinity();
    for (size_t k = 0; k < branchList.size(); ++k) {
        const Branch &b = branchList[k];
        if (b.open != open)
            continue;
        const double u = unrolled(static_cast<int>(k), x);
        const double outside = b.cyclic ? 0.0 : std::max({b.lo - u, u - b.hi, 0.0});
        if (outside < bestOutside) {
            bestOutside = outside;
            best = static_cast<int>(k);
        }
    }
    return best;
}

bool CircuitMap::solve(int branch, double x, LoopSolution &s) const {
    return solveLoop(geometry, x, branchList[static_cast<size_t>(branch)].open, s) ==
           LoopResult::Closed;
}
