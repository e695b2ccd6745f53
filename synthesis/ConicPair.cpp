// The conic pair of the fitting plane, its resultant quartic and the roots in b at a given a.
#include "ConicPair.h"

#include "ConstraintForms.h"
#include "Tolerances.h"

#include <cmath>
#include <limits>

namespace {
using Poly = std::array<double, 5>;  // coefficient of a^i at index i, degree <= 4

Poly product(const Poly &x, const Poly &y) {
    Poly r{};
    for (size_t i = 0; i < r.size(); ++i)
        for (size_t j = 0; i + j < r.size(); ++j)
            r[i + j] += x[i] * y[j];
    return r;
}

Poly difference(const Poly &x, const Poly &y) {
    Poly r{};
    for (size_t i = 0; i < r.size(); ++i)
        r[i] = x[i] - y[i];
    return r;
}

// One root of c2 b^2 + c1 b + c0 in the textbook form the report and the agreement rule use.
template <typename T>
T quadraticRoot(double c2, const T &c1, const T &c0, double sign) {
    using std::sqrt;
    return (-c1 + sign * sqrt(c1 * c1 - 4.0 * c2 * c0)) / (2.0 * c2);
}
} // namespace

ConicPair ConicPair::fromBasis(const arma::vec &e0, const arma::vec &e1, const arma::vec &e2) {
    using F = ConstraintForms;
    ConicPair pair;
    pair.k = {F::c1(e0), F::c1(e1), F::b1(e0, e1), F::b1(e0, e2), F::b1(e1, e2), F::c1(e2)};
    pair.m = {F::c2(e0), F::c2(e1), F::b2(e0, e1), F::b2(e0, e2), F::b2(e1, e2), F::c2(e2)};
    return pair;
}

double ConicPair::valueA(double a, double b) const {
    return k[0] * a * a + k[1] * b * b + k[2] * a * b + k[3] * a + k[4] * b + k[5];
}

double ConicPair::valueB(double a, double b) const {
    return m[0] * a * a + m[1] * b * b + m[2] * a * b + m[3] * a + m[4] * b + m[5];
}

std::array<double, 5> ConicPair::resultantQuartic() const {
    const double k2 = k[1], m2 = m[1];
    const Poly beta{k[4], k[2]}, betaP{m[4], m[2]};
    const Poly gamma{k[5], k[3], k[0]}, gammaP{m[5], m[3], m[0]};
    const Poly u{k2 * gammaP[0] - m2 * gamma[0], k2 * gammaP[1] - m2 * gamma[1],
                 k2 * gammaP[2] - m2 * gamma[2]};
    const Poly v{k2 * betaP[0] - m2 * beta[0], k2 * betaP[1] - m2 * beta[1]};
    const Poly w = difference(product(beta, gammaP), product(betaP, gamma));
    const Poly r = difference(product(u, u), product(v, w));
    return {-r[4], -r[3], -r[2], -r[1], -r[0]};
}

std::array<std::complex<double>, 4> ConicPair::complexCandidates(std::complex<double> a) const {
    const std::complex<double> beta = k[2] * a + k[4], gamma = k[0] * a * a + k[3] * a + k[5];
    const std::complex<double> betaP = m[2] * a + m[4], gammaP = m[0] * a * a + m[3] * a + m[5];
    return {quadraticRoot(k[1], beta, gamma, 1.0), quadraticRoot(k[1], beta, gamma, -1.0),
            quadraticRoot(m[1], betaP, gammaP, 1.0), quadraticRoot(m[1], betaP, gammaP, -1.0)};
}

std::array<double, 4> ConicPair::realCandidates(double a) const {
    const double beta = k[2] * a + k[4], gamma = k[0] * a * a + k[3] * a + k[5];
    const double betaP = m[2] * a + m[4], gammaP = m[0] * a * a + m[3] * a + m[5];
    return {quadraticRoot(k[1], beta, gamma, 1.0), quadraticRoot(k[1], beta, gamma, -1.0),
            quadraticRoot(m[1], betaP, gammaP, 1.0), quadraticRoot(m[1], betaP, gammaP, -1.0)};
}

double ConicPair::commonRoot(double a) const {
    const double k2 = k[1], m2 = m[1];
    const double beta = k[2] * a + k[4], gamma = k[0] * a * a + k[3] * a + k[5];
    const double betaP = m[2] * a + m[4], gammaP = m[0] * a * a + m[3] * a + m[5];
    const double denominator = k2 * betaP - m2 * beta;
    const double size = std::fabs(k2 * betaP) + std::fabs(m2 * beta);
    if (!(std::fabs(denominator) > tol::relativeZero * size))
        return std::numeric_limits<double>::quiet_NaN();
    return -(k2 * gammaP - m2 * gamma) / denominator;
}

void ConicPair::refine(double &a, double &b) const {
    constexpr int newtonSteps = 3;
    auto residual = [this](double x, double y) {
        return std::hypot(valueA(x, y), valueB(x, y));
    };
    double current = residual(a, b);
    for (int step = 0; step < newtonSteps && current > 0.0; ++step) {
        const double fa = valueA(a, b), fb = valueB(a, b);
        const double jaa = 2.0 * k[0] * a + k[2] * b + k[3], jab = 2.0 * k[1] * b + k[2] * a + k[4];
        const double jba = 2.0 * m[0] * a + m[2] * b + m[3], jbb = 2.0 * m[1] * b + m[2] * a + m[4];
        const double det = jaa * jbb - jab * jba;
        if (!(std::fabs(det) > tol::relativeZero * (std::fabs(jaa * jbb) + std::fabs(jab * jba))))
            return;  // tangent conics: Newton has no direction to go
        const double na = a - (fa * jbb - fb * jab) / det;
        const double nb = b - (jaa * fb - jba * fa) / det;
        const double next = residual(na, nb);
        if (!(next < current))
            return;
        a = na;
        b = nb;
        current = next;
    }
}
