// From the quartic's roots to the real pairs (a, b) that solve both conics.
#pragma once

#include "ConicPair.h"
#include "QuarticSolver.h"

#include <vector>

class RootSelection {
public:
    // The real parts of the roots whose imaginary part is at most tol::realRoot, in root order.
    static std::vector<double> realRoots(const QuarticRoots &roots);

    // The b that goes with a real root a, or NaN when no b solves both conics (drop the root).
    // The first pair of the four real candidates (A+, A-, B+, B-) that agrees to
    // tol::candidateAgreement gives b; without agreement, the common root of both quadratics.
    static double selectB(const ConicPair &conics, double a);
};
