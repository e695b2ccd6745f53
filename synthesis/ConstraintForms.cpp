// C1, C2 and their polar forms: the conditions that make a quadric of image space a dyad.
#include "ConstraintForms.h"

#include <cmath>

double ConstraintForms::c1(const arma::vec &p) {
    return p(0) * p(5) + p(1) * p(4) - p(2) * p(3);
}

double ConstraintForms::c2(const arma::vec &p) {
    return 2.0 * p(0) * p(6) - p(1) * p(3) - p(2) * p(4);
}

double ConstraintForms::b1(const arma::vec &x, const arma::vec &y) {
    return x(0) * y(5) + x(5) * y(0) + x(1) * y(4) + x(4) * y(1) - x(2) * y(3) - x(3) * y(2);
}

double ConstraintForms::b2(const arma::vec &x, const arma::vec &y) {
    return 2.0 * x(0) * y(6) + 2.0 * x(6) * y(0) - x(1) * y(3) - x(3) * y(1) - x(2) * y(4)
           - x(4) * y(2);
}

double ConstraintForms::fittingError(const arma::vec &p) {
    const double a = c1(p);
    const double b = c2(p);
    return std::sqrt(a * a + b * b);
}

arma::vec ConstraintForms::normalisedByLargest(const arma::vec &p) {
    arma::uword j = std::fabs(p(1)) >= std::fabs(p(0)) ? 1 : 0;
    for (arma::uword k = 2; k < 8; ++k)
        if (std::fabs(p(k)) > std::fabs(p(j)))
            j = k;
    return p / p(j);
}
