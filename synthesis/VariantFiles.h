// The "output.txt" reports of four- and three-position synthesis, built from the sections the
// n-position report shares.
#pragma once

#include "FourPositionFit.h"
#include "LineConstraint.h"
#include "ThreePositionFit.h"

#include <armadillo>

class VariantFiles {
public:
    // The line, the task rows, K's singular values and f0 ... f3, the quadrics in (a, b, c),
    // c1 ... c4, then the n-position sections with the roots of c and the (a, b, c) residuals.
    static void writeFourPositionOutput(const FourPositionFit::Result &r, const LineConstraint &line,
                                        const arma::mat &task, arma::uword n);
    // One "p done!" block per chosen pivot that gave a dyad, then the line (unused here), the
    // task rows, K's singular values with g1 ... g4, and the number of dyads made.
    static void writeThreePositionOutput(const ThreePositionFit::Result &r,
                                         const LineConstraint &line, const arma::mat &task,
                                         arma::uword n);
};
