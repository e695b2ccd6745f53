// Closed-form roots of the resultant quartic that the fitting reduces to, polished by Newton steps.
#pragma once

#include <array>
#include <complex>

// The four roots of a quartic in solver order (r0 ... r3). When the leading coefficient vanishes
// the lower-degree equation is solved instead; the slots it leaves are NaN, so they never pass
// a real-root test.
struct QuarticRoots {
    std::array<std::complex<double>, 4> roots;
    int degree = 4;  // degree of the equation actually solved (0 ... 4)
};

class QuarticSolver {
public:
    // Roots of A4 a^4 + A3 a^3 + A2 a^2 + A1 a + A0 = 0.
    static QuarticRoots solve(double A4, double A3, double A2, double A1, double A0);

    // The polynomial with coefficients c[0..degree] (highest power first) at z, by Horner.
    static std::complex<double> evaluate(const double *c, int degree, std::complex<double> z);

private:
    static void solveMonicQuartic(const double *c, std::complex<double> *roots);
    static void solveCubic(const double *c, std::complex<double> *roots);
    static void solveQuadratic(const double *c, std::complex<double> *roots);
    static std::complex<double> polish(const double *c, int degree, std::complex<double> z);
};
