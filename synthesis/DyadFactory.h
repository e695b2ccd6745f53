// Builds the dyads of one root from the numbers the fit read off its solution vector.
#pragma once

#include "FitResult.h"
#include "Point.h"

#include <memory>

class Dyad;

class DyadFactory {
public:
    // The first-pass RR of a root (synthesis constructor, tag 0). pose0: the first position
    // (x, y, theta in degrees), the pose every moving-frame number refers to.
    static std::shared_ptr<Dyad> makeRR(const Point &pose0, const FitResult::Root &root);
    static std::shared_ptr<Dyad> makePR(const Point &pose0, const FitResult::Root &root);
    static std::shared_ptr<Dyad> makeRP(const Point &pose0, const FitResult::Root &root);
    // The dyad the root's type decision selects. An approximate slider is named "RP*" or
    // "PR*" when markApproximate is set (the n-position fit); the four-position fit keeps names.
    static std::shared_ptr<Dyad> makeSelected(const Point &pose0, const FitResult::Root &root,
                                              bool markApproximate);
    // Whether the dyad the root's type decision selects has finite numbers: a solution vector
    // with a vanishing divisor (p1 for an RR, p4^2 + p5^2 for a PR, p2^2 + p3^2 for an RP)
    // gives none, and the variants leave such a solution out rather than hand on NaN.
    static bool canBuild(const FitResult::Root &root);
};
