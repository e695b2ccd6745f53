// The dimensions of the three dyad kinds read off a solution vector P = (p1 ... p8).
#pragma once

#include <armadillo>

class DyadExtraction {
public:
    // An RR: fixed pivot (x0, y0) in the fixed frame, moving pivot (x1, y1) in the moving
    // frame, radius r.
    struct RRNumbers {
        double x0, y0, r, x1, y1;
    };
    // A PR: ground line lineA x + lineB y + lineC / 2 = 0 (p4, p5, 4 p8), moving pivot
    // (x1, y1) in the moving frame, and the numbers that feed its constraint surface.
    struct PRNumbers {
        double lineA, lineB, lineC, x1, y1;
        double x0, y0, r;
        int tag;  // x0 truncated toward zero, 0 when x0 is not a finite int (never read)
    };
    // An RP: fixed pivot (u, w) in the fixed frame, line l1 X + l2 Y + l3 = 0 in the moving
    // frame (p2, p3, 2 p8).
    struct RPNumbers {
        double u, w, l1, l2, l3;
    };

    // Exact whenever C1(P) = C2(P) = 0 and free of p4^2 + p5^2, which vanishes for a fixed
    // pivot at the origin: x0 = -p4/p1, y0 = -p5/p1, x1 = -p2/p1, y1 = -p3/p1,
    // r = sqrt((p2^2 + p3^2 + p4^2 + p5^2)/p1^2 - 4 p8/p1).
    static RRNumbers rr(const arma::vec &p);
    // p1 is about 0 for a slider, so the moving pivot comes from p4 ... p7 instead.
    static PRNumbers pr(const arma::vec &p);
    static RPNumbers rp(const arma::vec &p);
};
