// The type decision of one root: slider tests on the coefficients, then the size of the RR.
#include "TypeDecision.h"

#include "Tolerances.h"

#include <cmath>

TypeDecision::Choice TypeDecision::decide(const arma::vec &q, const DyadExtraction::RRNumbers &rr,
                                          const Settings &settings) {
    const double t = settings.threshold;
    auto small = [t](double v) { return std::fabs(v) < t; };
    if (small(q(0)) && small(q(3)) && small(q(4)))
        return Choice::RP;
    if (small(q(0)) && small(q(1)) && small(q(2)))
        return Choice::PR;
    // Distances rather than a box: they stay the same when the task is turned.
    const double fixedPivotOut = std::hypot(rr.x0, rr.y0);
    const double movingPivotOut = std::hypot(rr.x1, rr.y1);
    if (fixedPivotOut <= tol::nearPivotTaskSizes && movingPivotOut <= tol::nearPivotTaskSizes)
        return Choice::RRNearTask;
    if (rr.r <= settings.linkRatio * tol::linkTaskSizesPerRatio || std::isnan(rr.r))
        return Choice::RRShortLink;
    if (fixedPivotOut <= tol::approximateRPTaskSizes)
        return Choice::ApproximateRP;
    return Choice::ApproximatePR;
}

QString TypeDecision::kindName(Choice choice) {
    switch (choice) {
    case Choice::RP:
    case Choice::ApproximateRP:
        return QStringLiteral("RP");
    case Choice::PR:
    case Choice::ApproximatePR:
        return QStringLiteral("PR");
    default:
        return QStringLiteral("RR");
    }
}

bool TypeDecision::isApproximate(Choice choice) {
    return choice == Choice::ApproximateRP || choice == Choice::ApproximatePR;
}
