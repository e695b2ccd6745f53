// Storing the user's line for four-position synthesis in a form that holds for every direction.
#include "LineConstraint.h"

#include "Tolerances.h"

#include <cmath>

bool LineConstraint::setThrough(double x1, double y1, double x2, double y2) {
    const bool finite = std::isfinite(x1) && std::isfinite(y1) && std::isfinite(x2) && std::isfinite(y2);
    if (!finite || std::hypot(x2 - x1, y2 - y1) <= tol::zeroLength)
        return false;
    if (std::fabs(x2 - x1) <= tol::zeroLength) {
        // The slope form has no value here; x = x1 is 1 x + 0 y - x1 = 0.
        lineA = 1.0;
        lineB = 0.0;
        lineC = -x1;
        return true;
    }
    lineA = (y2 - y1) / (x2 - x1);
    lineB = -1.0;
    lineC = y1 - x1 * lineA;
    return true;
}

double LineConstraint::pivotCondition(const arma::vec &p) const {
    return lineC * p(0) - lineA * p(3) - lineB * p(4);
}
