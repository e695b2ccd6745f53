// The numeric core of three-position synthesis: one RR for each of two fixed pivots the user
// chose, found by linear algebra alone.
#pragma once

#include "FitResult.h"
#include "TypeDecision.h"

#include <QStringList>
#include <armadillo>
#include <array>
#include <vector>

// Three positions leave a five-dimensional family of quadrics (g1 ... g5). Putting the fixed
// pivot at a chosen point U = (X, Y) is two linear conditions (X p1 + p4 = 0, Y p1 + p5 = 0),
// and with the pivot known C1 and C2 divided by p1 are linear too:
// L1 = X p3 + p6 - Y p2 and L2 = Y p3 + 2 p7 + X p2. Four conditions on five coefficients
// leave one solution vector per point. Runs without files, signals or dyads.
class ThreePositionFit {
public:
    struct Pivot {
        double x, y;  // fixed frame
    };

    struct Result {
        FitResult fit;  // decomposition; realRoots: one solution per point that gave a dyad
        std::array<arma::vec, 5> g;   // g1 ... g5, g5 belonging to the smallest singular value
        std::vector<int> pivotOfRoot;  // which chosen point (0 or 1) each root belongs to
        QStringList skipped;           // why a point gave no dyad
    };

    // The task and the chosen pivots in the user's units and frame; the pivots go into the
    // fit's frame with the task.
    static Result run(const arma::mat &task, arma::uword n, const std::array<Pivot, 2> &pivots,
                      const TypeDecision::Settings &settings);

    // The unit solution vector with its fixed pivot at u (in the frame g was fitted in) in the span of the columns of g
    // (orthonormal), p1 > 0; false when the four conditions do not single one out (the point
    // lies where they become dependent) or the vector has no p1 (no finite pivot).
    static bool solveForPivot(const arma::mat &g, Pivot u, arma::vec &p);
};
