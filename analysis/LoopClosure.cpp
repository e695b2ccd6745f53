// Position solutions of the four-bar loop for each ordered pair of dyad kinds. Every solver is
// a closed form in angles (atan2 of the diagonal plus or minus an acos), so no case divides by
// a coefficient that can vanish for an ordinary input; any non-finite value is "cannot close".
#include "LoopClosure.h"

#include "Tolerances.h"

#include <cmath>

namespace {

bool finite(const LoopSolution &s) {
    return s.inputMovingPivot.isFinite() && s.outputMovingPivot.isFinite() &&
           s.couplerStart.isFinite() && s.couplerEnd.isFinite() && std::isfinite(s.output);
}

// The angle psi with |diagonal| cos(psi - angle(diagonal)) = rhs. The open circuit takes the
// counter-clockwise root, which keeps the output on the left of the line M1 -> O2.
bool angleFromDiagonal(const Vec2 &diagonal, double rhs, bool open, double &psiDeg) {
    const double d = diagonal.length();
    if (!(d > tol::zeroLength))
        return false;
    const double c = rhs / d;
    if (!(std::fabs(c) <= 1.0))
        return false;
    const double turn = radToDeg(std::acos(c));
    psiDeg = diagonal.angleDeg() + (open ? turn : -turn);
    return true;
}

// RR-RR: the output pivot lies on the output circle and at coupler length from M1.
bool solveRevoluteOutput(const FourBarGeometry &g, const Vec2 &m1, bool open, LoopSolution &s) {
    const double l2 = g.outputLength;
    if (!(l2 > tol::zeroLength))
        return false;
    const Vec2 diagonal = g.outputFixedPivot - m1;
    const double d2 = diagonal.dot(diagonal);
    // |diagonal + L2 u(psi)| = h  <=>  diagonal . u(psi) = -(L2^2 + |diagonal|^2 - h^2)/(2 L2)
    const double k = l2 * l2 + d2 - g.couplerLength * g.couplerLength;
    double psi;
    if (!angleFromDiagonal(diagonal, -k / (2.0 * l2), open, psi))
        return false;
    s.inputMovingPivot = m1;
    s.outputMovingPivot = g.outputFixedPivot + Vec2::unitDeg(psi) * l2;
    s.couplerStart = m1;
    s.couplerEnd = s.outputMovingPivot;
    s.output = psi;
    return true;
}

// RR-RP, PR-RP: the coupler's line keeps its distance Kc from M1 and passes the block at its
// offset L2 from O2, so its normal u(psi) satisfies (O2 - M1) . u(psi) = -Kc.
bool solveLineOutput(const FourBarGeometry &g, const Vec2 &m1, bool open, LoopSolution &s) {
    const Vec2 diagonal = g.outputFixedPivot - m1;
    double psi;
    if (!angleFromDiagonal(diagonal, -g.lineOffset, open, psi))
        return false;
    s.inputMovingPivot = m1;
    s.outputMovingPivot = g.outputFixedPivot + Vec2::unitDeg(psi) * g.outputLength;
    // The coupler is fixed to the line: its second end one unit along the line's direction.
    s.couplerStart = m1;
    s.couplerEnd = m1 + Vec2::unitDeg(psi + 90.0);
    s.output = psi;
    return true;
}

// RR-PR: the output slider s2 on its ground line at coupler length from M1.
bool solveSlideOutput(const FourBarGeometry &g, const Vec2 &m1, bool open, LoopSolution &s) {
    const Vec2 u2 = Vec2::unitDeg(g.outputSlideDeg);
    const Vec2 diagonal = g.outputFixedPivot - m1;
    // |diagonal + s2 u2|^2 = h^2: s2^2 + 2 P s2 + C = 0
    const double p = diagonal.dot(u2);
    const double c = diagonal.dot(diagonal) - g.couplerLength * g.couplerLength;
    const double quarterDiscriminant = p * p - c;
    if (!(quarterDiscriminant >= 0.0))
        return false;
    const double root = std::sqrt(quarterDiscriminant);
    const double s2 = open ? -p + root : -p - root;
    s.inputMovingPivot = m1;
    s.outputMovingPivot = g.outputFixedPivot + u2 * s2;
    s.couplerStart = m1;
    s.couplerEnd = s.outputMovingPivot;
    s.output = s2;
    return true;
}

// PR-PR: the coupler of length h from M1 must reach the output line.
LoopResult solveDoubleSlider(const FourBarGeometry &g, const Vec2 &m1, bool open,
                             LoopSolution &s) {
    const double h = g.couplerLength;
    if (!(h > tol::zeroLength))
        return LoopResult::CannotCloseKeepDirection;
    const Vec2 u2 = Vec2::unitDeg(g.outputSlideDeg);
    const Vec2 diagonal = g.outputFixedPivot - m1;
    // Distance of M1 from the output line, measured across it: h sin(beta - sigma2) = c.
    const double c = u2.cross(diagonal);
    if (!(std::fabs(c) <= h))
        return LoopResult::CannotCloseKeepDirection;
    const double tilt = radToDeg(std::asin(c / h));
    const double beta = open ? g.outputSlideDeg + tilt : g.outputSlideDeg + 180.0 - tilt;
    s.inputMovingPivot = m1;
    s.outputMovingPivot = m1 + Vec2::unitDeg(beta) * h;
    s.couplerStart = m1;
    s.couplerEnd = s.outputMovingPivot;
    s.output = (s.outputMovingPivot - g.outputFixedPivot).dot(u2);
    return LoopResult::Closed;
}

// RP-RP: two lines fixed in the coupler at a fixed angle, each sliding through its block. The
// coupler is anchored at the lines' crossing and oriented along the input line.
bool solveTwoLines(const FourBarGeometry &g, double thetaDeg, LoopSolution &s) {
    const double psi = thetaDeg + g.lineTurnDeg;
    const Vec2 n1 = Vec2::unitDeg(thetaDeg);
    const Vec2 n2 = Vec2::unitDeg(psi);
    const double det = n1.cross(n2);
    if (!(std::fabs(det) > tol::zeroLength))
        return false;
    const Vec2 m1 = g.inputFixedPivot + n1 * g.inputLength;
    const Vec2 m2 = g.outputFixedPivot + n2 * g.outputLength;
    // Each line: n . P = n . M (it passes its moving pivot, normal to the block's offset).
    const double p1 = n1.dot(m1);
    const double p2 = n2.dot(m2);
    const Vec2 crossing((p1 * n2.y - p2 * n1.y) / det, (n1.x * p2 - n2.x * p1) / det);
    s.inputMovingPivot = m1;
    s.outputMovingPivot = m2;
    s.couplerStart = crossing;
    s.couplerEnd = crossing + n1.perp();
    s.output = psi;
    s.inputLineOffset = (crossing - m1).dot(n1.perp());
    s.outputLineOffset = (crossing - m2).dot(n2.perp());
    return true;
}

LoopResult asResult(bool closed) {
    return closed ? LoopResult::Closed : LoopResult::CannotClose;
}

} // namespace

Vec2 inputMovingPivotAt(const FourBarGeometry &g, double input) {
    switch (g.kind) {
    case PairKind::PRPR:
    case PairKind::PRRP:
        return g.inputFixedPivot + Vec2::unitDeg(g.inputSlideDeg) * input;
    default:
        return g.inputFixedPivot + Vec2::unitDeg(input) * g.inputLength;
    }
}

LoopResult solveLoop(const FourBarGeometry &g, double input, bool openCircuit,
                     LoopSolution &out) {
    if (!std::isfinite(input))
        return g.kind == PairKind::PRPR ? LoopResult::CannotCloseKeepDirection
                                        : LoopResult::CannotClose;
    LoopSolution s;
    LoopResult result = LoopResult::CannotClose;
    const Vec2 m1 = inputMovingPivotAt(g, input);
    switch (g.kind) {
    case PairKind::RRRR:
        result = asResult(solveRevoluteOutput(g, m1, openCircuit, s));
        break;
    case PairKind::RRRP:
    case PairKind::PRRP:
        result = asResult(solveLineOutput(g, m1, openCircuit, s));
        break;
    case PairKind::RRPR:
        result = asResult(solveSlideOutput(g, m1, openCircuit, s));
        break;
    case PairKind::PRPR:
        result = solveDoubleSlider(g, m1, openCircuit, s);
        break;
    case PairKind::RPRP:
        result = asResult(solveTwoLines(g, input, s));
        break;
    case PairKind::None:
        return LoopResult::CannotClose;
    }
    if (result != LoopResult::Closed)
        return result;
    if (!finite(s))
        return g.kind == PairKind::PRPR ? LoopResult::CannotCloseKeepDirection
                                        : LoopResult::CannotClose;
    out = s;
    return LoopResult::Closed;
}
