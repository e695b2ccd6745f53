// Checks of a task before it is fitted: values out of range, repeated poses and pure
// translations.
#include "TaskDegeneracy.h"

#include "Tolerances.h"

#include <algorithm>
#include <cmath>

namespace {
// The angle between two orientations in degrees, in [0, 180].
double turnBetweenDeg(double aDeg, double bDeg) {
    const double d = std::fmod(std::fabs(aDeg - bDeg), 360.0);
    return std::min(d, 360.0 - d);
}

// The task's size: the largest coordinate distance from the first position, at least 1 so a
// task of one point still has a scale.
double taskSize(const arma::mat &data, int n) {
    double size = 1.0;
    for (int i = 1; i < n; ++i) {
        const arma::uword r = static_cast<arma::uword>(i);
        size = std::max(size, std::hypot(data(r, 0) - data(0, 0), data(r, 1) - data(0, 1)));
    }
    return size;
}
} // namespace

QString TaskDegeneracy::magnitudeProblem(const arma::mat &data, int n) {
    const char *const names[3] = {"x", "y", "theta"};
    for (int i = 0; i < n && i < static_cast<int>(data.n_rows); ++i)
        for (arma::uword j = 0; j < 3 && j < data.n_cols; ++j) {
            const double v = data(static_cast<arma::uword>(i), j);
            if (!std::isfinite(v) || std::fabs(v) > tol::largestTaskMagnitude)
                return QStringLiteral("Position %1: %2 = %3 is beyond %4, the largest magnitude a "
                                      "position's coordinate or angle may have.")
                    .arg(i + 1)
                    .arg(QLatin1String(names[j]))
                    .arg(v)
                    .arg(tol::largestTaskMagnitude);
        }
    return {};
}

QString TaskDegeneracy::reason(const arma::mat &data, int n) {
    if (data.n_cols < 3 || static_cast<int>(data.n_rows) < n)
        return {};
    const QString outOfRange = magnitudeProblem(data, n);
    if (!outOfRange.isEmpty() || n < 2)
        return outOfRange;
    const double size = taskSize(data, n);
    for (int i = 0; i < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            const arma::uword a = static_cast<arma::uword>(i), b = static_cast<arma::uword>(j);
            const double apart = std::hypot(data(a, 0) - data(b, 0), data(a, 1) - data(b, 1));
            if (apart <= tol::samePoseRelative * size
                && turnBetweenDeg(data(a, 2), data(b, 2)) <= tol::samePoseDeg)
                return QStringLiteral("Positions %1 and %2 are the same pose: move or turn one "
                                      "of them.")
                    .arg(i + 1)
                    .arg(j + 1);
        }
    }
    for (int i = 1; i < n; ++i)
        if (turnBetweenDeg(data(static_cast<arma::uword>(i), 2), data(0, 2)) > tol::samePoseDeg)
            return {};
    return QStringLiteral("All %1 positions have the same orientation (a pure translation): "
                          "no dyad can be fitted to them. Turn at least one position.")
        .arg(n);
}
