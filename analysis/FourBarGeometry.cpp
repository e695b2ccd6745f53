// The loop geometry of a pair of dyads: the lengths, directions and offsets the loop-closure
// solvers read, taken once from the dyads' pivots.
#include "FourBarGeometry.h"

#include "Dyad.h"

namespace {

Vec2 asVec(const Point &p) { return {p[0], p[1]}; }

PairKind pairKindOf(const Dyad &in, const Dyad &out) {
    const QString pair = in.typeName() + out.typeName();
    if (pair == QLatin1String("RRRR"))
        return PairKind::RRRR;
    if (pair == QLatin1String("RRRP"))
        return PairKind::RRRP;
    if (pair == QLatin1String("RRPR"))
        return PairKind::RRPR;
    if (pair == QLatin1String("PRPR"))
        return PairKind::PRPR;
    if (pair == QLatin1String("PRRP"))
        return PairKind::PRRP;
    if (pair == QLatin1String("RPRP"))
        return PairKind::RPRP;
    return PairKind::None;
}

// RR before PR before RP; -1 for a kind of another name.
int kindRank(const Dyad &d) {
    const QString kind = d.typeName();
    if (kind == QLatin1String("RR"))
        return 0;
    if (kind == QLatin1String("PR"))
        return 1;
    if (kind == QLatin1String("RP"))
        return 2;
    return -1;
}

} // namespace

bool inputRanksAfterOutput(const Dyad &input, const Dyad &output) {
    const int in = kindRank(input), out = kindRank(output);
    return in >= 0 && out >= 0 && in > out;
}

FourBarGeometry fourBarGeometryOf(const Dyad &input, const Dyad &output, bool atReference) {
    FourBarGeometry g;
    g.kind = pairKindOf(input, output);
    g.inputFixedPivot = asVec(atReference ? input.fixedPivotRefCopy() : input.fixedPivotCopy());
    g.outputFixedPivot =
        asVec(atReference ? output.fixedPivotRefCopy() : output.fixedPivotCopy());
    const Vec2 m1 = asVec(atReference ? input.movingPivotRefCopy() : input.movingPivotCopy());
    const Vec2 m2 = asVec(atReference ? output.movingPivotRefCopy() : output.movingPivotCopy());
    const Vec2 ground = g.outputFixedPivot - g.inputFixedPivot;
    g.groundLength = ground.length();
    g.groundAngleDeg = ground.angleDeg();
    g.inputLength = (m1 - g.inputFixedPivot).length();
    g.outputLength = (m2 - g.outputFixedPivot).length();
    g.inputDirectionDeg = (m1 - g.inputFixedPivot).angleDeg();
    g.outputDirectionDeg = (m2 - g.outputFixedPivot).angleDeg();
    // A PR dyad's committed link angle is the direction of its slide.
    g.inputSlideDeg = input.getLinkAngle();
    g.outputSlideDeg = output.getLinkAngle();
    g.couplerLength = (m2 - m1).length();
    const Vec2 normal2 = Vec2::unitDeg(g.outputDirectionDeg);
    g.lineOffset = g.outputLength + (m1 - m2).dot(normal2);
    g.lineTurnDeg = g.outputDirectionDeg - g.inputDirectionDeg;
    g.inputSlideDir = Vec2::unitDeg(g.inputSlideDeg);
    g.outputSlideDir = Vec2::unitDeg(g.outputSlideDeg);
    g.lineTurnDir = Vec2::unitDeg(g.lineTurnDeg);
    const bool slider = g.kind == PairKind::PRPR || g.kind == PairKind::PRRP;
    g.assembledInput = slider ? (m1 - g.inputFixedPivot).dot(Vec2::unitDeg(g.inputSlideDeg))
                              : g.inputDirectionDeg;
    return g;
}
