// A Householder reflection of the basis coefficients, moving a linear form onto the last vector.
#include "BasisRotation.h"

#include "Tolerances.h"

#include <cmath>

arma::mat BasisRotation::concentrate(const arma::mat &basis, const arma::rowvec &values) {
    const arma::uword k = values.n_elem;
    if (k < 2 || basis.n_cols != k)
        return basis;
    const double last = values(k - 1);
    const double restNorm = arma::norm(values.head(k - 1));
    const double norm = std::hypot(restNorm, last);
    if (!(restNorm > tol::relativeZero * norm))
        return basis;  // the form already sits on the last vector alone (or is zero)
    // H = I - 2 u u^T / (u^T u) maps the values onto sign(last) |values| e_last, keeping the
    // sign of the last vector's value. u_last = last - sign(last) norm, written without the
    // cancellation: -sign(last) restNorm^2 / (|last| + norm).
    const double sign = last < 0.0 ? -1.0 : 1.0;
    arma::vec u = values.t();
    u(k - 1) = -sign * restNorm * restNorm / (std::fabs(last) + norm);
    const arma::mat h = arma::eye(k, k) - 2.0 * (u * u.t()) / arma::dot(u, u);
    return basis * h;
}
