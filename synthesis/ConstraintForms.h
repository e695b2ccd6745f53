// The two quadratic forms a coefficient vector must annul to be the quadric of a dyad.
#pragma once

#include <armadillo>

// Components are numbered p1 ... p8 in the comments and 0 ... 7 in the code.
class ConstraintForms {
public:
    // C1(p) = p1 p6 + p2 p5 - p3 p4
    static double c1(const arma::vec &p);
    // C2(p) = 2 p1 p7 - p2 p4 - p3 p5
    static double c2(const arma::vec &p);
    // Polar forms: B(x, y) = C(x + y) - C(x) - C(y), symmetric and bilinear.
    static double b1(const arma::vec &x, const arma::vec &y);
    static double b2(const arma::vec &x, const arma::vec &y);
    // Constraint fitting error: how far p is from a dyad, sqrt(C1^2 + C2^2).
    static double fittingError(const arma::vec &p);
    // p divided by its component largest in magnitude (scanned from p2; p1 only when it is
    // strictly larger than p2), so that component becomes exactly 1.
    static arma::vec normalisedByLargest(const arma::vec &p);
};
