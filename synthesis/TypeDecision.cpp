// The type decision of one root: slider tests on the coefficients, then the size of the RR.
#include "TypeDecision.h"

#include <cmath>

TypeDecision::Choice TypeDecision::decide(const arma::vec &q, const DyadExtraction::RRNumbers &rr,
                                          const Settings &settings) {
    const double t = settings.threshold;
    const double w = settings.workspaceWidth;
    const double h = settings.workspaceHeight;
    auto small = [t](double v) { return std::fabs(v) < t; };
    if (small(q(0)) && small(q(3)) && small(q(4)))
        return Choice::RP;
    if (small(q(0)) && small(q(1)) && small(q(2)))
        return Choice::PR;
    if (std::fabs(rr.x0) <= 1.5 * w && std::fabs(rr.y0) <= 1.5 * h && std::fabs(rr.x1) <= 1.5 * w
        && std::fabs(rr.y1) <= 1.5 * h)
        return Choice::RRInWorkspace;
    if (rr.r <= settings.linkRatio * w || std::isnan(rr.r))
        return Choice::RRShortLink;
    if (std::fabs(rr.x0) <= 2.0 * w && std::fabs(rr.y0) <= 2.0 * h)
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
