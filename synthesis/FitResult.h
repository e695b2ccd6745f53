// Everything one n-position fit computes, kept so the files and the dyads read the same numbers.
#pragma once

#include "ConicPair.h"
#include "DyadExtraction.h"
#include "QuarticSolver.h"
#include "SubspaceBasis.h"
#include "TaskFrame.h"
#include "TypeDecision.h"

#include <QString>
#include <armadillo>
#include <array>
#include <complex>
#include <vector>

struct FitResult {
    // One real root a of the resultant with its b and what follows from the pair.
    struct Root {
        double a = 0.0;
        double b = 0.0;
        arma::vec p;  // unit solution vector (a e0 + b e1 + e2) / sqrt(a^2 + b^2 + 1)
        arma::vec q;  // p divided by its largest component
        double cfe = 0.0;  // constraint fitting error sqrt(C1(p)^2 + C2(p)^2)
        double sfe = 0.0;  // (lambda0 a + lambda1 b + lambda2) / sqrt(1 + a^2 + b^2)
        double equationA = 0.0;  // residuals of the two conics at (a, b)
        double equationB = 0.0;
        // The dyad numbers in the user's units and frame (the decision read them in the fit's).
        DyadExtraction::RRNumbers rr{};
        DyadExtraction::PRNumbers pr{};
        DyadExtraction::RPNumbers rp{};
        TypeDecision::Choice choice = TypeDecision::Choice::RRNearTask;
    };

    bool ok = false;
    QString failure;  // why the fit stopped, when it did

    // The frame the fit is made in; images, d, the basis, conics, roots and the vectors p and q
    // are in it, the roots' dyad numbers in the user's frame.
    TaskFrame frame;
    arma::mat images;  // N x 4 image points
    arma::mat d;       // N x 8 data matrix
    SubspaceBasis basis;
    // Which eigenvectors serve as e0, e1, e2 (indices into the ascending eigen-pairs). Normally
    // 0, 1, 2; a cyclic reorder when a dyad would lie at a = infinity in that chart.
    std::array<arma::uword, 3> basisOrder{{0, 1, 2}};
    std::array<double, 3> basisErrors{};  // fitting error of e0, e1, e2 alone
    ConicPair conics;
    std::array<double, 5> quartic{};  // A4 ... A0 of -R(a)
    QuarticRoots roots;
    std::array<std::array<std::complex<double>, 4>, 4> bCandidates{};  // per root of a
    std::vector<Root> realRoots;  // the real pairs that gave a b, in root order

    arma::vec basisVector(int k) const { return basis.eigenvector(basisOrder[static_cast<size_t>(k)]); }
    double basisEigenvalue(int k) const {
        return basis.eigenvalues()(basisOrder[static_cast<size_t>(k)]);
    }

    // K = D^T D, formed only for the report.
    arma::mat normalMatrix() const { return d.t() * d; }
};
