// The numeric core of n-position synthesis: from the task rows to the real solution vectors.
#pragma once

#include "FitResult.h"
#include "TypeDecision.h"

#include <armadillo>
#include <vector>

// Runs without files, signals or dyads, so it can be measured and reused; the engine builds
// the dyads and writes the report from its result.
class NPositionFit {
public:
    // The first n rows of task (x, y, theta in degrees, any unit and place) are fitted in the
    // task's own frame; n must not exceed the rows.
    static FitResult run(const arma::mat &task, arma::uword n, const TypeDecision::Settings &settings);

    struct RealPair {
        double a, b;
    };
    // The steps, for the variants that share them. solveConics reads fit.conics and fills
    // the quartic, its roots and the b candidates; it returns the real pairs in root order.
    static std::vector<RealPair> solveConics(FitResult &fit);
    // Picks fit.basisOrder and fills fit.conics for it.
    static void chooseBasisOrder(FitResult &fit);
    static FitResult::Root makeRoot(const FitResult &fit, const arma::vec &p, double a, double b,
                                    const TypeDecision::Settings &settings);

    // The steps every synthesis operation starts and ends with. decompose moves the first n
    // task rows into the fit's frame (fit.frame), maps them to image points and the data
    // matrix and decomposes it (false, with fit.failure set, when that cannot be done).
    // describe reads the dyads off a unit solution vector p of that frame: its normalised
    // form, fitting error, the three kinds' numbers and the type decision, all in the frame; a
    // and b, the SFE and the conic residuals are left to the operation. inUserFrame carries a
    // described root's dyad numbers back to the user's units and frame; the decision stays.
    static bool decompose(const arma::mat &task, arma::uword n, FitResult &fit);
    static FitResult::Root describe(const arma::vec &p, const TypeDecision::Settings &settings);
    static FitResult::Root inUserFrame(FitResult::Root root, const TaskFrame &frame);
};
