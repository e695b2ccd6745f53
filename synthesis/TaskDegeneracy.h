// Tasks the fit cannot answer: a pose given twice, or every pose turned alike (a pure
// translation). Found before fitting, so the user is told instead of shown dyads of NaNs.
#pragma once

#include <QString>
#include <armadillo>

class TaskDegeneracy {
public:
    // Why the first n rows (x, y, theta in degrees) leave the fit without a unique answer, in
    // words for the user; empty when they do not.
    static QString reason(const arma::mat &data, int n);
};
