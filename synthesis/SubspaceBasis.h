// The eigen-pairs of K = D^T D, taken from the singular value decomposition of D itself.
#pragma once

#include <armadillo>

// Forming K squares the condition number of D, which loses the fit for tasks far from the
// origin; the right singular vectors of D are K's eigenvectors and lambda = sigma^2, so the SVD
// of D gives the same basis at the accuracy of D.
class SubspaceBasis {
public:
    // False when the decomposition fails (non-finite data, no convergence) or the rows lack a
    // dimension the fit needs (a singular fit); nothing is set then.
    bool compute(const arma::mat &d);

    bool isValid() const { return valid; }
    // Why the last compute() failed, in the words the library would use; empty after success.
    const char *failure() const { return reason; }
    // Eigenvalues of K in ascending order, lambda0 ... lambda7 (zeros for a rank below 8).
    const arma::vec &eigenvalues() const { return lambda; }
    // Unit eigenvector k of K (belonging to lambda_k), as an 8-vector.
    arma::vec eigenvector(arma::uword k) const { return vectors.col(k); }
    // The same pairs in the order of a decomposition of K: singular values of K descending
    // (s1 ... s8 = lambda7 ... lambda0) and right singular vector i (1-based) of K.
    arma::vec singularValuesOfK() const { return arma::reverse(lambda); }
    arma::vec rightSingularVectorOfK(arma::uword i) const { return vectors.col(8 - i); }

private:
    bool valid = false;
    const char *reason = "";
    arma::vec lambda;
    arma::mat vectors;  // column k belongs to lambda(k)
};
