// The numeric core of four-position synthesis: the n-position fit with one more linear
// condition, the user's line through the fixed pivot.
#pragma once

#include "FitResult.h"
#include "LineConstraint.h"
#include "TypeDecision.h"

#include <QStringList>
#include <armadillo>
#include <array>
#include <vector>

// Four positions leave a four-dimensional family of quadrics, p = a f0 + b f1 + c f2 + f3; the
// line fixes c = -(c1 a + c2 b + c4) / c3, and what is left are the two conics in (a, b) the
// n-position fit solves. Runs without files, signals or dyads.
class FourPositionFit {
public:
    // A quadric in (a, b, c): q1 a^2 + q2 b^2 + q3 c^2 + q4 ab + q5 ac + q6 bc + q7 a + q8 b
    // + q9 c + q10, the form C1 or C2 on the family p = a f0 + b f1 + c f2 + f3.
    struct QuadricABC {
        std::array<double, 10> q{};
        double value(double a, double b, double c) const;
    };

    struct Result {
        FitResult fit;  // decomposition, the conics of the line's plane, the real pairs as roots
        std::array<arma::vec, 4> f;         // f0 ... f3
        std::array<double, 3> columnErrors{};  // fitting error of K's first three singular vectors
        QuadricABC equationA, equationB;    // C1 and C2 in (a, b, c): kk1 ... kk10, mm1 ... mm10
        std::array<double, 4> lineTerms{};  // c1 ... c4 = l(f0) ... l(f3), l of the line in the fit's frame
        std::vector<double> rootC;          // c of every root of fit.realRoots
        QStringList skipped;                // why solutions were left out
    };

    // The first n rows of task (x, y, theta in degrees) and the line, both in the user's units
    // and frame; n must not exceed the rows. The line goes into the fit's frame with the task.
    static Result run(const arma::mat &task, arma::uword n, const LineConstraint &line,
                      const TypeDecision::Settings &settings);

private:
    static bool chooseBasis(Result &r, const LineConstraint &line);
    static void solveOnLine(Result &r, const TypeDecision::Settings &settings);
};
