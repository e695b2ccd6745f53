// The least-energy directions of the data matrix: the basis the dyad's coefficients are sought in.
#include "SubspaceBasis.h"

#include "Tolerances.h"

#include <algorithm>

bool SubspaceBasis::compute(const arma::mat &d) {
    valid = false;
    reason = "svd(): the data matrix is empty";
    if (d.n_cols != 8 || d.n_rows == 0)
        return false;
    reason = "svd(): the data matrix holds values that are not finite";
    if (!d.is_finite())
        return false;
    reason = "svd(): failed to converge";
    // With fewer than eight rows zero rows complete the square: they change neither the right
    // singular vectors nor the non-zero singular values, and the null space gets its vectors.
    arma::mat square = d;
    if (square.n_rows < 8)
        square.resize(8, 8);
    arma::mat u, v;
    arma::vec sigma;
    if (!arma::svd_econ(u, sigma, v, square, "right") || sigma.n_elem != 8 || v.n_cols != 8)
        return false;
    // Each position adds one dimension to the rows, up to the five the fit needs; one missing
    // leaves the least-energy subspace, and so the dyads, undetermined.
    const arma::uword needed = std::min<arma::uword>(d.n_rows, 5);
    if (sigma(needed - 1) <= tol::singularFitRelative * sigma(0)) {
        reason = "the positions do not single out a fit: they give fewer independent "
                 "constraints than their number (poses turning about one common point, for one)";
        return false;
    }
    // sigma is descending; the basis wants the smallest energies first.
    lambda = arma::reverse(arma::square(sigma));
    vectors = arma::fliplr(v);
    valid = true;
    reason = "";
    return true;
}
