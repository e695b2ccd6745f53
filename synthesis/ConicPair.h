// The two conics in (a, b) that C1 and C2 become on the plane p = a e0 + b e1 + e2.
#pragma once

#include <armadillo>
#include <array>
#include <complex>

// Equation A: k1 a^2 + k2 b^2 + k3 a b + k4 a + k5 b + k6 = 0 (from C1),
// Equation B: m1 a^2 + m2 b^2 + m3 a b + m4 a + m5 b + m6 = 0 (from C2).
// k[0] is k1, ..., k[5] is k6; likewise m. The four- and three-position fits fill the same
// coefficients from their own planes and solve them the same way.
class ConicPair {
public:
    std::array<double, 6> k{};
    std::array<double, 6> m{};

    static ConicPair fromBasis(const arma::vec &e0, const arma::vec &e1, const arma::vec &e2);

    double valueA(double a, double b) const;
    double valueB(double a, double b) const;

    // Coefficients of -R(a), highest power first, where R is the resultant of the two equations
    // read as quadratics in b: R = (k2 g' - m2 g)^2 - (k2 b' - m2 b)(b g' - b' g) with
    // b = k3 a + k5, g = k1 a^2 + k4 a + k6 and b', g' the same in m.
    std::array<double, 5> resultantQuartic() const;

    // The four roots in b at a: Equation A with + and - of the square root, then Equation B.
    // Complex form for the report; the real form gives NaN for a negative discriminant.
    std::array<std::complex<double>, 4> complexCandidates(std::complex<double> a) const;
    std::array<double, 4> realCandidates(double a) const;

    // The b both quadratics share at a: -(k2 g' - m2 g) / (k2 b' - m2 b). NaN when the
    // denominator vanishes (then the two quadratics are proportional or degenerate at a).
    double commonRoot(double a) const;

    // Newton steps on both conics at once from (a, b), kept while they lower the residual:
    // the resultant's root carries the rounding of its quartic, the conics do not.
    void refine(double &a, double &b) const;
};
