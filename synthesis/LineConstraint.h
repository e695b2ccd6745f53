// The line a four-position task's fixed pivot must lie on, kept as lineA x + lineB y + lineC = 0.
#pragma once

#include <armadillo>

struct LineConstraint {
    double lineA = 0.0;
    double lineB = -1.0;
    double lineC = 0.0;

    // The line through two points: lineB = -1 and the slope in lineA for every non-vertical
    // line (the files show these numbers), lineA = 1, lineB = 0, lineC = -x1 for a vertical one.
    // False, and the line unchanged, when the points coincide or are not finite numbers: such
    // a "line" has no direction and would constrain nothing.
    bool setThrough(double x1, double y1, double x2, double y2);

    // l(p) = lineC p1 - lineA p4 - lineB p5: zero exactly when the fixed pivot (-p4/p1, -p5/p1)
    // of the RR read off p lies on the line, whatever the scale of A, B, C.
    double pivotCondition(const arma::vec &p) const;
};
