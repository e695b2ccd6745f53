// Tasks the fit cannot answer: a value too large to square, a pose given twice, or every pose
// turned alike (a pure translation). Found before fitting, so the user is told instead of
// shown dyads of NaNs.
#pragma once

#include <QString>
#include <armadillo>

class TaskDegeneracy {
public:
    // Why the first n rows (x, y, theta in degrees) leave the fit without a unique answer, in
    // words for the user; empty when they do not.
    static QString reason(const arma::mat &data, int n);
    // Why a value of the first n rows cannot be fitted: not finite, or beyond
    // tol::largestTaskMagnitude (its squares would overflow the data matrix); empty when all fit.
    static QString magnitudeProblem(const arma::mat &data, int n);
};
