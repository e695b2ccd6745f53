// Position solutions of the four-bar loop for each ordered pair of dyad kinds. Every solver is
// a closed form in angles (the diagonal's direction turned by an acos), so no case divides by a
// coefficient that can vanish for an ordinary input; any non-finite value is "cannot close".
// The turns are applied to unit vectors directly, so a solve costs one sine and cosine of the
// input and a square root or two.
#include "LoopClosure.h"

#include "Tolerances.h"

#include <cmath>

namespace {

bool finite(const LoopSolution &s) {
    return s.inputMovingPivot.isFinite() && s.outputMovingPivot.isFinite() &&
           s.couplerStart.isFinite() && s.couplerEnd.isFinite() &&
           s.outputDirection.isFinite() && std::isfinite(s.outputSlide);
}

// The unit vector u(psi) with |diagonal| cos(psi - angle(diagonal)) = rhs. The open circuit
// turns counter-clockwise from the diagonal, which keeps the output left of the line M1 -> O2.
bool directionFromDiagonal(const Vec2 &diagonal, double rhs, bool open, Vec2 &dir) {
    const double d = diagonal.length();
    if (!(d > tol::zeroLength))
        return false;
    const double c = rhs / d;
    if (!(std::fabs(c) <= 1.0))
        return false;
    const double s = std::sqrt(1.0 - c * c);
    const Vec2 e = diagonal * (1.0 / d);
    dir = e * c + e.perp() * (open ? s : -s);
    return true;
}

// RR-RR: the output pivot lies on the output circle and at coupler length from M1.
bool solveRevoluteOutput(const FourBarGeometry &g, const Vec2 &m1, bool open, LoopSolution &s) {
    const double l2 = g.outputLength;
    if (!(l2 > tol::zeroLength))
        return false;
    const Vec2 diagonal = g.outputFixedPivot - m1;
    // |diagonal + L2 u(psi)| = h  <=>  diagonal . u(psi) = -(L2^2 + |diagonal|^2 - h^2)/(2 L2)
    const double k = l2 * l2 + diagonal.dot(diagonal) - g.couplerLength * g.couplerLength;
    if (!directionFromDiagonal(diagonal, -k / (2.0 * l2), open, s.outputDirection))
        return false;
    s.inputMovingPivot = m1;
    s.outputMovingPivot = g.outputFixedPivot + s.outputDirection * l2;
    s.couplerStart = m1;
    s.couplerEnd = s.outputMovingPivot;
    return true;
}

// RR-RP, PR-RP: the coupler's line keeps its distance Kc from M1 and passes the block at its
// offset L2 from O2, so its normal u(psi) satisfies (O2 - M1) . u(psi) = -Kc.
bool solveLineOutput(const FourBarGeometry &g, const Vec2 &m1, bool open, LoopSolution &s) {
    const Vec2 diagonal = g.outputFixedPivot - m1;
    if (!directionFromDiagonal(diagonal, -g.lineOffset, open, s.outputDirection))
        return false;
    s.inputMovingPivot = m1;
    s.outputMovingPivot = g.outputFixedPivot + s.outputDirection * g.outputLength;
    // The coupler is fixed to the line: its second end one unit along the line's direction.
    s.couplerStart = m1;
    s.couplerEnd = m1 + s.outputDirection.perp();
    return true;
}

// RR-PR: the output slider s2 on its ground line at coupler length from M1.
bool solveSlideOutput(const FourBarGeometry &g, const Vec2 &m1, bool open, LoopSolution &s) {
    const Vec2 u2 = g.outputSlideDir;
    const Vec2 diagonal = g.outputFixedPivot - m1;
    // |diagonal + s2 u2|^2 = h^2: s2^2 + 2 P s2 + C = 0
    const double p = diagonal.dot(u2);
    const double c = diagonal.dot(diagonal) - g.couplerLength * g.couplerLength;
    const double quarterDiscriminant = p * p - c;
    if (!(quarterDiscriminant >= 0.0))
        return false;
    const double root = std::sqrt(quarterDiscriminant);
    s.outputSlide = open ? -p + root : -p - root;
    s.inputMovingPivot = m1;
    s.outputMovingPivot = g.outputFixedPivot + u2 * s.outputSlide;
    s.couplerStart = m1;
    s.couplerEnd = s.outputMovingPivot;
    return true;
}

// PR-PR: the coupler of length h from M1 must reach the output line.
LoopResult solveDoubleSlider(const FourBarGeometry &g, const Vec2 &m1, bool open,
                             LoopSolution &s) {
    const double h = g.couplerLength;
    if (!(h > tol::zeroLength))
        return LoopResult::CannotCloseKeepDirection;
    const Vec2 u2 = g.outputSlideDir;
    const Vec2 diagonal = g.outputFixedPivot - m1;
    // Distance of M1 from the output line, measured across it: h sin(beta - sigma2) = c.
    const double sine = u2.cross(diagonal) / h;
    if (!(std::fabs(sine) <= 1.0))
        return LoopResult::CannotCloseKeepDirection;
    const double cosine = std::sqrt(1.0 - sine * sine);
    // beta = sigma2 + asin on the open circuit, sigma2 + 180 - asin on the crossed one.
    const Vec2 beta = u2 * (open ? cosine : -cosine) + u2.perp() * sine;
    s.inputMovingPivot = m1;
    s.outputMovingPivot = m1 + beta * h;
    s.couplerStart = m1;
    s.couplerEnd = s.outputMovingPivot;
    s.outputSlide = (s.outputMovingPivot - g.outputFixedPivot).dot(u2);
    return LoopResult::Closed;
}

// RP-RP: two lines fixed in the coupler at a fixed angle, each sliding through its block. The
// coupler is anchored at the lines' crossing and oriented along the input line.
bool solveTwoLines(const FourBarGeometry &g, const Vec2 &n1, LoopSolution &s) {
    const Vec2 t = g.lineTurnDir;
    const Vec2 n2(n1.x * t.x - n1.y * t.y, n1.x * t.y + n1.y * t.x);
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
    s.outputDirection = n2;
    s.couplerStart = crossing;
    s.couplerEnd = crossing + n1.perp();
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
        return g.inputFixedPivot + g.inputSlideDir * input;
    default:
        return g.inputFixedPivot + Vec2::unitDeg(input) * g.inputLength;
    }
}

LoopResult solveLoop(const FourBarGeometry &g, double input, bool openCircuit,
                     LoopSolution &out) {
    const LoopResult cannot =
        g.kind == PairKind::PRPR ? LoopResult::CannotCloseKeepDirection : LoopResult::CannotClose;
    if (!std::isfinite(input))
        return cannot;
    LoopSolution s;
    LoopResult result = LoopResult::CannotClose;
    switch (g.kind) {
    case PairKind::RRRR:
        result = asResult(solveRevoluteOutput(g, inputMovingPivotAt(g, input), openCircuit, s));
        break;
    case PairKind::RRRP:
    case PairKind::PRRP:
        result = asResult(solveLineOutput(g, inputMovingPivotAt(g, input), openCircuit, s));
        break;
    case PairKind::RRPR:
        result = asResult(solveSlideOutput(g, inputMovingPivotAt(g, input), openCircuit, s));
        break;
    case PairKind::PRPR:
        result = solveDoubleSlider(g, inputMovingPivotAt(g, input), openCircuit, s);
        break;
    case PairKind::RPRP:
        result = asResult(solveTwoLines(g, Vec2::unitDeg(input), s));
        break;
    case PairKind::None:
        return LoopResult::CannotClose;
    }
    if (result != LoopResult::Closed)
        return result;
    if (!finite(s))
        return cannot;
    out = s;
    return LoopResult::Closed;
}
