// Four-position synthesis: the line through the fixed pivot turns the four-dimensional family
// of fitting quadrics into the plane the conic pair of the n-position fit lives in.
#include "FourPositionFit.h"

#include "BasisRotation.h"
#include "ConstraintForms.h"
#include "DyadFactory.h"
#include "NPositionFit.h"
#include "Tolerances.h"

#include <algorithm>
#include <cmath>

namespace {
using Form = double (*)(const arma::vec &);
using Polar = double (*)(const arma::vec &, const arma::vec &);

FourPositionFit::QuadricABC quadricOf(const std::array<arma::vec, 4> &f, Form form, Polar polar) {
    FourPositionFit::QuadricABC r;
    r.q = {form(f[0]), form(f[1]), form(f[2]), polar(f[0], f[1]), polar(f[0], f[2]),
           polar(f[1], f[2]), polar(f[0], f[3]), polar(f[1], f[3]), polar(f[2], f[3]), form(f[3])};
    return r;
}

arma::mat columns(const std::array<arma::vec, 4> &f, size_t count) {
    arma::mat m(8, count);
    for (size_t j = 0; j < count; ++j)
        m.col(j) = f[j];
    return m;
}

void setColumns(std::array<arma::vec, 4> &f, const arma::mat &m) {
    for (arma::uword j = 0; j < m.n_cols; ++j)
        f[j] = m.col(j);
}
} // namespace

double FourPositionFit::QuadricABC::value(double a, double b, double c) const {
    return q[0] * a * a + q[1] * b * b + q[2] * c * c + q[3] * a * b + q[4] * a * c
           + q[5] * b * c + q[6] * a + q[7] * b + q[8] * c + q[9];
}

FourPositionFit::Result FourPositionFit::run(const arma::mat &task, arma::uword n,
                                             const LineConstraint &line,
                                             const TypeDecision::Settings &settings) {
    Result r;
    if (!NPositionFit::decompose(task, n, r.fit))
        return r;
    r.fit.ok = true;
    for (arma::uword i = 0; i < 3; ++i)
        r.columnErrors[i] = ConstraintForms::fittingError(r.fit.basis.rightSingularVectorOfK(i + 1));
    if (chooseBasis(r, r.fit.frame.toFrame(line)))
        solveOnLine(r, settings);
    return r;
}

// f0 ... f3: the right singular vectors of the four smallest singular values. Their basis is
// free; it is turned so that only f3 has a p1 part (every RR with a finite fixed pivot then
// has an f3 part and lies at a finite (a, b, c), while the quadrics with p1 = 0, for which
// the line means nothing, lie at infinity) and, among f0 ... f2, only f2 feels the line, which
// makes c3 as large as the line allows. The decomposition usually delivers the first already.
bool FourPositionFit::chooseBasis(Result &r, const LineConstraint &line) {
    for (int k = 0; k < 4; ++k)
        r.f[static_cast<size_t>(k)] = r.fit.basis.eigenvector(static_cast<arma::uword>(k));
    arma::mat family = columns(r.f, 4);
    setColumns(r.f, BasisRotation::concentrate(family, family.row(0)));
    arma::mat free = columns(r.f, 3);
    arma::rowvec onLine(3);
    for (arma::uword j = 0; j < 3; ++j)
        onLine(j) = line.pivotCondition(free.col(j));
    setColumns(r.f, BasisRotation::concentrate(free, onLine));
    r.equationA = quadricOf(r.f, ConstraintForms::c1, ConstraintForms::b1);
    r.equationB = quadricOf(r.f, ConstraintForms::c2, ConstraintForms::b2);
    double largest = 0.0;
    for (size_t j = 0; j < 4; ++j) {
        r.lineTerms[j] = line.pivotCondition(r.f[j]);
        largest = std::max(largest, std::fabs(r.lineTerms[j]));
    }
    if (!(std::fabs(r.lineTerms[2]) > tol::relativeZero * largest)) {
        r.skipped << QStringLiteral("The line leaves the fit nothing to solve for (c3 = 0): no "
                                    "four-position dyad has its fixed pivot on it.");
        return false;
    }
    return true;
}

// c = -(c1 a + c2 b + c4) / c3 puts p = a f0 + b f1 + c f2 + f3 on the plane
// p = a e0 + b e1 + e2 with e0 = f0 - (c1/c3) f2, e1 = f1 - (c2/c3) f2, e2 = f3 - (c4/c3) f2,
// where C1 and C2 are the conics of the n-position fit.
void FourPositionFit::solveOnLine(Result &r, const TypeDecision::Settings &settings) {
    const std::array<double, 4> &c = r.lineTerms;
    const std::array<arma::vec, 4> &f = r.f;
    r.fit.conics = ConicPair::fromBasis(f[0] - (c[0] / c[2]) * f[2], f[1] - (c[1] / c[2]) * f[2],
                                        f[3] - (c[3] / c[2]) * f[2]);
    const arma::vec s = r.fit.basis.singularValuesOfK();
    for (const NPositionFit::RealPair &pair : NPositionFit::solveConics(r.fit)) {
        const double a = pair.a, b = pair.b;
        const double cc = -(c[0] * a + c[1] * b) / c[2] - c[3] / c[2];
        const arma::vec p = (a * f[0] + b * f[1] + cc * f[2] + f[3])
                            / std::sqrt(a * a + b * b + cc * cc + 1.0);
        FitResult::Root root = NPositionFit::makeRoot(r.fit, p, a, b, settings);
        // As the n-position fit's, formed with the first three singular values of K (here
        // the three largest).
        root.sfe = (s(0) * a + s(1) * b + s(2)) / std::sqrt(1.0 + a * a + b * b);
        if (!DyadFactory::canBuild(root)) {
            r.skipped << QStringLiteral("A four-position solution (a = %1, b = %2) gives no finite "
                                        "dyad and was left out.")
                             .arg(a)
                             .arg(b);
            continue;
        }
        r.fit.realRoots.push_back(NPositionFit::inUserFrame(root, r.fit.frame));
        r.rootC.push_back(cc);
    }
}
