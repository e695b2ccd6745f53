// The text files every n-position run leaves in the working directory for the user to inspect.
#pragma once

#include "FitResult.h"

#include <QString>
#include <armadillo>
#include <array>
#include <ostream>
#include <vector>

class Dyad;

// Each file is truncated and written whole; a file that cannot be opened is skipped silently.
// Numbers use the stream's default format (six significant digits) unless noted.
class DiagnosticFiles {
public:
    // "datamat.txt": rows 0 ... 4 of the task, each value followed by a tab.
    static void writeDataRows(const arma::mat &task);
    // "mata.txt" (D, precision 3) and "matb.txt" (K = D^T D, precision 14), in the linear
    // algebra library's matrix print.
    static void writeMatrices(const arma::mat &d, const arma::mat &k);
    // "steps.txt": only the last marker reached survives.
    static void writeStep(const char *marker);
    // "Parameters.txt": head, the first-pass RR line of every root, then the PR line of every
    // root.
    static void writeParameters(const std::vector<FitResult::Root> &roots, const char *head = "");
    // "output.txt": the full report. Returns the dyad listing it ends with.
    static QString writeOutput(const FitResult &fit, double threshold);
    // The dyad listing alone: "Dyad i", the normalised vector, an empty line, per root.
    static QString dyadListing(const FitResult &fit);
    // "equation output.txt": the residuals of Equations A and B at every real pair.
    static void writeEquations(const FitResult &fit);
    // "SolStats.txt": pivots, link lengths and the Grashof sum test of the first two dyads;
    // empty with fewer than two.
    static void writeSolStats(const std::vector<Dyad *> &dyads);
    // "YES" when sum - (shortest + longest) < shortest + longest for the four link lengths.
    static QString sumTestVerdict(double ground, double coupler, double first, double second);

    // Sections of "output.txt" that every operation's report shares.
    // One value per line.
    static void writeVector(std::ostream &out, const arma::vec &v);
    // "Constraint Fitting Error before optimization" with three errors, then "Singular Values".
    static void writeErrorsAndValues(std::ostream &out, const std::array<double, 3> &errors,
                                     const arma::vec &values);
    // " Values of K and M": k1 ... k6 and m1 ... m6.
    static void writeCoefficients(std::ostream &out, const FitResult &fit);
    // "Roots of a ", "Roots of b ", "Real Roots of a ", "Real Roots of b ".
    static void writeRootSections(std::ostream &out, const FitResult &fit);
    // The residuals of Equations A and B at every real pair.
    static void writeResidualSections(std::ostream &out, const FitResult &fit);
    // One block per real root: label ("vr" or "nvr") and number, CFE and SFE, then the unit
    // (unit) or the normalised vector.
    static void writeVectorBlocks(std::ostream &out, const FitResult &fit, const char *label,
                                  bool unit);
};
