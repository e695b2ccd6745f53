// The n-position fit: image points, data matrix, least-energy basis, the two conics and their
// real common roots, each turned into a unit solution vector with its dyad numbers.
#include "NPositionFit.h"

#include "ConstraintForms.h"
#include "ImageMapping.h"
#include "RootSelection.h"

#include <cmath>

FitResult NPositionFit::run(const arma::mat &task, arma::uword n,
                            const TypeDecision::Settings &settings) {
    FitResult fit;
    if (n > task.n_rows || task.n_cols < 3) {
        fit.failure = QStringLiteral("the task holds fewer rows than positions");
        return fit;
    }
    fit.images = ImageMapping::imagePoints(task, n);
    fit.d = ImageMapping::dataMatrix(fit.images);
    if (!fit.basis.compute(fit.d)) {
        fit.failure = QString::fromLatin1(fit.basis.failure());
        return fit;
    }
    const arma::vec e0 = fit.basis.eigenvector(0);
    const arma::vec e1 = fit.basis.eigenvector(1);
    const arma::vec e2 = fit.basis.eigenvector(2);
    fit.basisErrors = {ConstraintForms::fittingError(e0), ConstraintForms::fittingError(e1),
                       ConstraintForms::fittingError(e2)};
    fit.conics = ConicPair::fromBasis(e0, e1, e2);
    for (const RealPair &pair : solveConics(fit)) {
        const double norm = std::sqrt(pair.a * pair.a + pair.b * pair.b + 1.0);
        const arma::vec p = (pair.a * e0 + pair.b * e1 + e2) / norm;
        fit.realRoots.push_back(makeRoot(fit, p, pair.a, pair.b, settings));
    }
    fit.ok = true;
    return fit;
}

// Resultant quartic, its roots, the b candidates of the report and the real (a, b) pairs.
std::vector<NPositionFit::RealPair> NPositionFit::solveConics(FitResult &fit) {
    fit.quartic = fit.conics.resultantQuartic();
    const std::array<double, 5> &c = fit.quartic;
    fit.roots = QuarticSolver::solve(c[0], c[1], c[2], c[3], c[4]);
    for (size_t i = 0; i < 4; ++i)
        fit.bCandidates[i] = fit.conics.complexCandidates(fit.roots.roots[i]);
    std::vector<RealPair> pairs;
    for (double a : RootSelection::realRoots(fit.roots)) {
        double root = a;
        double b = RootSelection::selectB(fit.conics, a);
        if (!std::isfinite(b))
            continue;  // no b solves both conics: this a is no solution
        fit.conics.refine(root, b);
        pairs.push_back({root, b});
    }
    return pairs;
}

FitResult::Root NPositionFit::makeRoot(const FitResult &fit, const arma::vec &p, double a, double b,
                                       const TypeDecision::Settings &settings) {
    const arma::vec &lambda = fit.basis.eigenvalues();
    FitResult::Root root;
    root.a = a;
    root.b = b;
    root.p = p;
    root.q = ConstraintForms::normalisedByLargest(p);
    root.cfe = ConstraintForms::fittingError(p);
    root.sfe = (lambda(0) * a + lambda(1) * b + lambda(2)) / std::sqrt(1.0 + a * a + b * b);
    root.equationA = fit.conics.valueA(a, b);
    root.equationB = fit.conics.valueB(a, b);
    root.rr = DyadExtraction::rr(p);
    root.pr = DyadExtraction::pr(p);
    root.rp = DyadExtraction::rp(p);
    root.choice = TypeDecision::decide(root.q, root.rr, settings);
    return root;
}
