// Turning an orthonormal basis of a fitting subspace so that one linear condition touches only
// its last vector.
#pragma once

#include <armadillo>

class BasisRotation {
public:
    // basis: orthonormal columns spanning a subspace; values: a linear form evaluated on each
    // column. Returns the same subspace in an orthonormal basis on whose first columns the
    // form is zero, so that p = a f0 + b f1 + ... + f_last reaches every vector the form does
    // not annul, and the vectors it annuls lie at infinity. A basis that is already so is kept
    // as it is (the singular value decomposition often delivers one); a zero form keeps it too.
    static arma::mat concentrate(const arma::mat &basis, const arma::rowvec &values);
};
