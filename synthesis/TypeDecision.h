// Which of the three dyads a solution vector stands for: revolute, or a slider on either side.
#pragma once

#include "DyadExtraction.h"

#include <QString>
#include <armadillo>

// The decision is made in the fit's frame (TaskFrame: the task's centroid at the origin, its
// RMS size 1), so every number it compares is a multiple of the task's size and a task decides
// alike in any unit and anywhere on the drawing. The workspace plays no part: it only frames the
// drawing.
class TypeDecision {
public:
    enum class Choice {
        RP,               // p1, p4, p5 vanish: the fixed pivot slides along a line of the body
        PR,               // p1, p2, p3 vanish: the moving pivot slides along a ground line
        RRNearTask,       // both pivots within tol::nearPivotTaskSizes of the task
        RRShortLink,      // pivots far out, but the link is no longer than allowed (or NaN)
        ApproximateRP,    // an RR too large to build, read as a slider ("RP*")
        ApproximatePR     // the same, fixed pivot beyond tol::approximateRPTaskSizes ("PR*")
    };
    struct Settings {
        double threshold = 1e-5;  // coefficient threshold of the slider tests, in the fit's frame
        // Longest link, in units of tol::linkTaskSizesPerRatio task sizes.
        double linkRatio = 2.0;
    };

    // q is the solution normalised by its largest component and rr the RR read off it, both in
    // the fit's frame: the fixed pivot (x0, y0) measured from the task's centroid, the moving
    // pivot (x1, y1) from the moving frame's origin, the radius r, all in task sizes.
    static Choice decide(const arma::vec &q, const DyadExtraction::RRNumbers &rr,
                         const Settings &settings);
    // "RR", "PR" or "RP": the kind of dyad a choice builds.
    static QString kindName(Choice choice);
    static bool isApproximate(Choice choice);
};
