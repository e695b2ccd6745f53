// The n-position fit: image points, data matrix, least-energy basis, the two conics and their
// real common roots, each turned into a unit solution vector with its dyad numbers.
#include "NPositionFit.h"

#include "ConstraintForms.h"
#include "ImageMapping.h"
#include "RootSelection.h"
#include "Tolerances.h"

#include <algorithm>
#include <cmath>

FitResult NPositionFit::run(const arma::mat &task, arma::uword n,
                            const TypeDecision::Settings &settings) {
    FitResult fit;
    if (!decompose(task, n, fit))
        return fit;
    chooseBasisOrder(fit);
    const arma::vec e0 = fit.basisVector(0);
    const arma::vec e1 = fit.basisVector(1);
    const arma::vec e2 = fit.basisVector(2);
    fit.basisErrors = {ConstraintForms::fittingError(e0), ConstraintForms::fittingError(e1),
                       ConstraintForms::fittingError(e2)};
    for (const RealPair &pair : solveConics(fit)) {
        const double norm = std::sqrt(pair.a * pair.a + pair.b * pair.b + 1.0);
        const arma::vec p = (pair.a * e0 + pair.b * e1 + e2) / norm;
        fit.realRoots.push_back(inUserFrame(makeRoot(fit, p, pair.a, pair.b, settings), fit.frame));
    }
    fit.ok = true;
    return fit;
}

bool NPositionFit::decompose(const arma::mat &task, arma::uword n, FitResult &fit) {
    if (n > task.n_rows || task.n_cols < 3) {
        fit.failure = QStringLiteral("the task holds fewer rows than positions");
        return false;
    }
    fit.frame = TaskFrame::of(task, n);
    fit.images = ImageMapping::imagePoints(fit.frame.normalisedTask(task, n), n);
    fit.d = ImageMapping::dataMatrix(fit.images);
    if (!fit.basis.compute(fit.d)) {
        fit.failure = QString::fromLatin1(fit.basis.failure());
        return false;
    }
    return true;
}

namespace {
double relativeLeadingCoefficient(const std::array<double, 5> &q) {
    double largest = 0.0;
    for (double c : q)
        largest = std::max(largest, std::fabs(c));
    return largest > 0.0 ? std::fabs(q[0]) / largest : 0.0;
}
} // namespace

// The chart p = a e0 + b e1 + e2 misses the dyads with no e2 part. With five positions the
// null space is exact and its basis comes out with p1 = 0 on e0 and e1, so every slider
// (p1 = 0) lies there; the resultant then loses its leading coefficient. Taking the basis in
// a cyclic order puts such a dyad at a finite (a, b); the natural order stays whenever it works.
void NPositionFit::chooseBasisOrder(FitResult &fit) {
    static const std::array<std::array<arma::uword, 3>, 3> orders = {{{{0, 1, 2}}, {{1, 2, 0}}, {{2, 0, 1}}}};
    double best = -1.0;
    for (const std::array<arma::uword, 3> &order : orders) {
        const ConicPair conics = ConicPair::fromBasis(
            fit.basis.eigenvector(order[0]), fit.basis.eigenvector(order[1]), fit.basis.eigenvector(order[2]));
        const double lead = relativeLeadingCoefficient(conics.resultantQuartic());
        if (lead > best) {
            best = lead;
            fit.basisOrder = order;
            fit.conics = conics;
        }
        if (best >= tol::rootAtInfinity)
            return;
    }
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
    FitResult::Root root = describe(p, settings);
    root.a = a;
    root.b = b;
    root.sfe = (fit.basisEigenvalue(0) * a + fit.basisEigenvalue(1) * b + fit.basisEigenvalue(2))
               / std::sqrt(1.0 + a * a + b * b);
    root.equationA = fit.conics.valueA(a, b);
    root.equationB = fit.conics.valueB(a, b);
    return root;
}

FitResult::Root NPositionFit::describe(const arma::vec &p, const TypeDecision::Settings &settings) {
    FitResult::Root root;
    root.p = p;
    root.q = ConstraintForms::normalisedByLargest(p);
    root.cfe = ConstraintForms::fittingError(p);
    root.rr = DyadExtraction::rr(p);
    root.pr = DyadExtraction::pr(p);
    root.rp = DyadExtraction::rp(p);
    root.choice = TypeDecision::decide(root.q, root.rr, settings);
    return root;
}

FitResult::Root NPositionFit::inUserFrame(FitResult::Root root, const TaskFrame &frame) {
    root.rr = frame.toUser(root.rr);
    root.pr = frame.toUser(root.pr);
    root.rp = frame.toUser(root.rp);
    // The ground line's coefficients as the user's frame scales them (the line is the same).
    const DyadExtraction::PRNumbers line = DyadExtraction::pr(frame.toUser(root.p));
    root.pr.lineA = line.lineA;
    root.pr.lineB = line.lineB;
    root.pr.lineC = line.lineC;
    return root;
}
