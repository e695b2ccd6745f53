// Three-position synthesis: at a chosen fixed pivot the dyad conditions become linear, and the
// five-dimensional family of quadrics that three positions leave gives one dyad per pivot.
#include "ThreePositionFit.h"

#include "DyadFactory.h"
#include "NPositionFit.h"
#include "Tolerances.h"

#include <cmath>
#include <limits>

namespace {
// The four linear conditions of a fixed pivot at u, one per row, on the components p1 ... p8.
arma::mat pivotConditions(ThreePositionFit::Pivot u) {
    arma::mat m(4, 8, arma::fill::zeros);
    m(0, 0) = u.x;  // X p1 + p4: the pivot's x
    m(0, 3) = 1.0;
    m(1, 0) = u.y;  // Y p1 + p5: the pivot's y
    m(1, 4) = 1.0;
    m(2, 2) = u.x;  // L1 = X p3 + p6 - Y p2: C1 / p1 at that pivot
    m(2, 5) = 1.0;
    m(2, 1) = -u.y;
    m(3, 2) = u.y;  // L2 = Y p3 + 2 p7 + X p2: C2 / p1 at that pivot
    m(3, 6) = 2.0;
    m(3, 1) = u.x;
    return m;
}
} // namespace

bool ThreePositionFit::solveForPivot(const arma::mat &g, Pivot u, arma::vec &p) {
    const arma::mat m = pivotConditions(u) * g;  // 4 x 5: the conditions on g's coefficients
    arma::mat left, right;
    arma::vec sigma;
    if (!m.is_finite() || !arma::svd(left, sigma, right, m) || sigma.n_elem < 4)
        return false;
    // Four independent conditions leave one direction; a fourth singular value at rounding
    // level means a family of solutions, none of them singled out by the point.
    if (!(sigma(3) > tol::relativeZero * sigma(0)))
        return false;
    p = g * right.col(right.n_cols - 1);
    p /= arma::norm(p);
    if (!(std::fabs(p(0)) > tol::relativeZero))
        return false;
    if (p(0) < 0.0)
        p = -p;
    return true;
}

ThreePositionFit::Result ThreePositionFit::run(const arma::mat &task, arma::uword n,
                                               const std::array<Pivot, 2> &pivots,
                                               const TypeDecision::Settings &settings) {
    Result r;
    if (!NPositionFit::decompose(task, n, r.fit))
        return r;
    r.fit.ok = true;
    arma::mat g(8, 5);
    for (arma::uword i = 0; i < 5; ++i) {
        r.g[i] = r.fit.basis.eigenvector(4 - i);  // g1 = V's column 4, ..., g5 = column 8
        g.col(i) = r.g[i];
    }
    for (int k = 0; k < 2; ++k) {
        const Pivot u = pivots[static_cast<size_t>(k)];
        const TaskFrame::XY inFrame = r.fit.frame.toFrame(u.x, u.y);
        arma::vec p;
        FitResult::Root root;
        const bool solved = solveForPivot(g, {inFrame.x, inFrame.y}, p);
        if (solved) {
            root = NPositionFit::inUserFrame(NPositionFit::describe(p, settings), r.fit.frame);
            // The pivot is met exactly, so there is no fitting error to report.
            root.sfe = std::numeric_limits<double>::quiet_NaN();
        }
        if (!solved || !DyadFactory::canBuild(root)) {
            r.skipped << QStringLiteral("The chosen pivot (%1, %2) lies where the three positions "
                                        "single out no dyad; it was left out.")
                             .arg(u.x)
                             .arg(u.y);
            continue;
        }
        r.fit.realRoots.push_back(root);
        r.pivotOfRoot.push_back(k);
    }
    return r;
}
