// Grid points of a tolerance sweep: counting, numbering and setting the swept orientations.
#include "ToleranceGrid.h"

#include <utility>

ToleranceGrid::ToleranceGrid(std::vector<double> nominalDeg, double tolDeg, int resolution)
    : nominal(std::move(nominalDeg)), tol(tolDeg), res(resolution),
      count(pointCount(resolution, static_cast<int>(nominal.size()))) {}

long long ToleranceGrid::pointCount(int res, int k) {
    if (res < 0 || k < 0)
        return 0;
    const long long levels = 2LL * res + 1;
    long long n = 1;
    for (int j = 0; j < k; ++j) {
        n *= levels;
        if (n > maxPoints)
            return maxPoints + 1;
    }
    return n;
}

std::vector<int> ToleranceGrid::levels(long long g) const {
    const long long perLevel = 2LL * res + 1;
    std::vector<int> out(nominal.size(), 0);
    for (size_t j = nominal.size(); j-- > 0;) {
        out[j] = static_cast<int>(g % perLevel);
        g /= perLevel;
    }
    return out;
}

double ToleranceGrid::orientationDeg(size_t j, int level) const {
    if (res == 0)
        return nominal[j];  // one run at the stated orientations; tol / res has no value here
    return nominal[j] + (level - res) * tol / res;
}

void ToleranceGrid::apply(long long g, arma::mat &task) const {
    const std::vector<int> at = levels(g);
    for (size_t j = 0; j < nominal.size() && j < task.n_rows; ++j)
        task(j, 2) = orientationDeg(j, at[j]);
}

void ToleranceGrid::restore(arma::mat &task) const {
    for (size_t j = 0; j < nominal.size() && j < task.n_rows; ++j)
        task(j, 2) = nominal[j];
}
