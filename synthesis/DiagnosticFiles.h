// The text files every n-position run leaves in the working directory for the user to inspect.
#pragma once

#include "FitResult.h"

#include <QString>
#include <armadillo>
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
    // "Parameters.txt": the first-pass RR line of every root, then the PR line of every root.
    static void writeParameters(const FitResult &fit);
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
};
