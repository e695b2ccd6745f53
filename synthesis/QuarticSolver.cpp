// The quartic of the n-position fit solved in closed form (Ferrari through the resolvent cubic),
// written so that real roots stay real: the stable sign of every square root, no division by a
// vanishing cube root or S, a lower-degree equation when the leading coefficient vanishes, and
// Newton steps on the original polynomial to undo the rounding of the closed form.
#include "QuarticSolver.h"

#include "Tolerances.h"

#include <algorithm>
#include <cmath>
#include <limits>

using cplx = std::complex<double>;

namespace {
constexpr int newtonSteps = 3;
const cplx nanRoot(std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN());
// The three cube roots of unity: the resolvent cubic has three roots, and any one of them that
// gives a non-zero S factors the quartic.
const cplx unityRoots[3] = {cplx(1.0, 0.0), cplx(-0.5, std::sqrt(3.0) / 2.0),
                            cplx(-0.5, -std::sqrt(3.0) / 2.0)};

// Of d1 + sqrt(disc) and d1 - sqrt(disc) the one without cancellation: the two are equivalent
// for the formula, but the smaller one can lose every digit (d1 < 0 with the plus sign).
cplx stableSum(cplx d1, cplx disc) {
    const cplx root = std::sqrt(disc);
    const cplx plus = d1 + root;
    const cplx minus = d1 - root;
    return std::abs(plus) >= std::abs(minus) ? plus : minus;
}
} // namespace

cplx QuarticSolver::evaluate(const double *c, int degree, cplx z) {
    cplx value(c[0], 0.0);
    for (int i = 1; i <= degree; ++i)
        value = value * z + c[i];
    return value;
}

// A few Newton steps on the polynomial itself; a step is kept only when it lowers |p|, so a
// root on a flat stretch (a double root) is never pushed away from where it was.
cplx QuarticSolver::polish(const double *c, int degree, cplx z) {
    if (!std::isfinite(z.real()) || !std::isfinite(z.imag()))
        return z;
    cplx value = evaluate(c, degree, z);
    for (int step = 0; step < newtonSteps && std::abs(value) > 0.0; ++step) {
        cplx slope(0.0, 0.0);
        for (int i = 0; i < degree; ++i)
            slope = slope * z + c[i] * static_cast<double>(degree - i);
        if (std::abs(slope) == 0.0)
            break;
        const cplx next = z - value / slope;
        const cplx nextValue = evaluate(c, degree, next);
        if (!(std::abs(nextValue) < std::abs(value)))
            break;
        z = next;
        value = nextValue;
    }
    return z;
}

// a^4 + c1 a^3 + c2 a^2 + c3 a + c4 (c[0] = 1).
void QuarticSolver::solveMonicQuartic(const double *c, cplx *roots) {
    const double b = c[1], cc = c[2], d = c[3], e = c[4];
    const double delta0 = cc * cc - 3.0 * b * d + 12.0 * e;
    const double delta1 = 2.0 * cc * cc * cc - 9.0 * b * cc * d + 27.0 * b * b * e
                          + 27.0 * d * d - 72.0 * cc * e;
    const cplx sum = stableSum(cplx(delta1), cplx(delta1 * delta1 - 4.0 * delta0 * delta0 * delta0));
    // Q' of the textbook form; zero only when delta0 = delta1 = 0, where T is its first term, 0.
    const cplx qPrime = std::abs(sum) > 0.0 ? std::pow(sum, 1.0 / 3.0) : cplx(0.0);
    const double cbrt2 = std::cbrt(2.0);

    // S from each cube root of the resolvent; the largest |S| avoids both S = 0 and the
    // cancellation in q / S.
    cplx bestS(0.0), bestT(0.0);
    for (int k = 0; k < 3; ++k) {
        const cplx q = qPrime * unityRoots[k];
        const cplx t = std::abs(q) > 0.0 ? q / (3.0 * cbrt2) + cbrt2 * delta0 / (3.0 * q) : cplx(0.0);
        const cplx s = 0.5 * std::sqrt(b * b / 4.0 - 2.0 * cc / 3.0 + t);
        if (k == 0 || std::abs(s) > std::abs(bestS)) {
            bestS = s;
            bestT = t;
        }
    }
    const double q8 = b * b * b - 4.0 * b * cc + 8.0 * d;
    const cplx u = b * b / 2.0 - 4.0 * cc / 3.0 - bestT;
    // S = 0 for every cube root only for a quartic of the form (a - r)^4 + k (a - r)^2 + m, whose
    // depressed form has no odd term (q8 = 0): the split term is then zero.
    const cplx split = std::abs(bestS) > 0.0 ? q8 / (8.0 * bestS) : cplx(0.0);
    const cplx w1 = std::sqrt(u + split);
    const cplx w2 = std::sqrt(u - split);
    const double shift = -b / 4.0;
    roots[0] = shift - bestS - 0.5 * w1;
    roots[1] = shift - bestS + 0.5 * w1;
    roots[2] = shift + bestS - 0.5 * w2;
    roots[3] = shift + bestS + 0.5 * w2;
}

// A3 a^3 + A2 a^2 + A1 a + A0 (c[0] = A3, non-zero), Cardano with the same stable choices.
void QuarticSolver::solveCubic(const double *c, cplx *roots) {
    const double a = c[0], b = c[1], cc = c[2], d = c[3];
    const double delta0 = b * b - 3.0 * a * cc;
    const double delta1 = 2.0 * b * b * b - 9.0 * a * b * cc + 27.0 * a * a * d;
    const cplx sum = stableSum(cplx(delta1), cplx(delta1 * delta1 - 4.0 * delta0 * delta0 * delta0));
    const cplx big = std::abs(sum) > 0.0 ? std::pow(sum / 2.0, 1.0 / 3.0) : cplx(0.0);
    for (int k = 0; k < 3; ++k) {
        const cplx ck = big * unityRoots[k];
        // C = 0 means delta0 = delta1 = 0: a triple root at -b / 3a.
        const cplx term = std::abs(ck) > 0.0 ? ck + delta0 / ck : cplx(0.0);
        roots[k] = -(b + term) / (3.0 * a);
    }
}

// A2 a^2 + A1 a + A0 (c[0] = A2, non-zero): the product form avoids cancellation.
void QuarticSolver::solveQuadratic(const double *c, cplx *roots) {
    const double a = c[0], b = c[1], cc = c[2];
    const cplx root = std::sqrt(cplx(b * b - 4.0 * a * cc));
    const cplx q = b >= 0.0 ? -0.5 * (b + root) : -0.5 * (b - root);
    roots[0] = q / a;
    roots[1] = std::abs(q) > 0.0 ? cc / q : cplx(0.0);
}

QuarticRoots QuarticSolver::solve(double A4, double A3, double A2, double A1, double A0) {
    const double all[5] = {A4, A3, A2, A1, A0};
    double scale = 0.0;
    for (double v : all)
        scale = std::max(scale, std::fabs(v));
    // Drop leading coefficients that are zero against the largest one.
    int first = 0;
    while (first < 4 && !(std::fabs(all[first]) > tol::negligibleLeadingCoefficient * scale))
        ++first;
    QuarticRoots result;
    result.roots.fill(nanRoot);
    result.degree = 4 - first;
    const double *c = all + first;
    cplx found[4];
    switch (result.degree) {
    case 4: {
        const double monic[5] = {1.0, A3 / A4, A2 / A4, A1 / A4, A0 / A4};
        solveMonicQuartic(monic, found);
        break;
    }
    case 3:
        solveCubic(c, found);
        break;
    case 2:
        solveQuadratic(c, found);
        break;
    case 1:
        found[0] = cplx(-c[1] / c[0], 0.0);
        break;
    default:
        result.degree = 0;
        break;
    }
    for (int i = 0; i < result.degree; ++i)
        result.roots[static_cast<size_t>(i)] = polish(c, result.degree, found[i]);
    return result;
}
