// Reading a dyad's dimensions off the coefficients of its image-space quadric.
#include "DyadExtraction.h"

#include <climits>
#include <cmath>

DyadExtraction::RRNumbers DyadExtraction::rr(const arma::vec &p) {
    const double p1 = p(0), p2 = p(1), p3 = p(2), p4 = p(3), p5 = p(4), p8 = p(7);
    RRNumbers n;
    n.x0 = -p4 / p1;
    n.y0 = -p5 / p1;
    n.x1 = -p2 / p1;
    n.y1 = -p3 / p1;
    n.r = std::sqrt((p2 * p2 + p3 * p3 + p4 * p4 + p5 * p5) / (p1 * p1) - 4.0 * p8 / p1);
    return n;
}

DyadExtraction::PRNumbers DyadExtraction::pr(const arma::vec &p) {
    const double p1 = p(0), p4 = p(3), p5 = p(4), p6 = p(5), p7 = p(6), p8 = p(7);
    const double s45 = p4 * p4 + p5 * p5;
    PRNumbers n;
    n.lineA = p4;
    n.lineB = p5;
    n.lineC = 4.0 * p8;
    n.x0 = -p4 / p1;
    n.y0 = -p5 / p1;
    // The moving pivot runs on the ground line: p6 = p5 x1 - p4 y1 and -2 p7 = p4 x1 + p5 y1.
    n.x1 = (p6 * p5 - 2.0 * p7 * p4) / s45;
    n.y1 = -(p6 * p4 + 2.0 * p7 * p5) / s45;
    n.r = std::sqrt((s45 - p1 * (4.0 * p8 - p1 * (4.0 * p7 * p7 + p6 * p6) / s45)) / (p1 * p1));
    n.tag = std::isfinite(n.x0) && std::fabs(n.x0) < INT_MAX ? static_cast<int>(n.x0) : 0;
    return n;
}

DyadExtraction::RPNumbers DyadExtraction::rp(const arma::vec &p) {
    const double p2 = p(1), p3 = p(2), p6 = p(5), p7 = p(6), p8 = p(7);
    const double s23 = p2 * p2 + p3 * p3;
    RPNumbers n;
    // The fixed pivot lies on the moving line in every position: p2 u + p3 w = -2 p7 and
    // p2 w - p3 u = p6.
    n.u = -(2.0 * p7 * p2 + p3 * p6) / s23;
    n.w = (p2 * p6 - 2.0 * p7 * p3) / s23;
    n.l1 = p2;
    n.l2 = p3;
    n.l3 = 2.0 * p8;
    return n;
}
