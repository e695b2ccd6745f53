// Which of the three dyads a solution vector stands for: revolute, or a slider on either side.
#pragma once

#include "DyadExtraction.h"

#include <QString>
#include <armadillo>

class TypeDecision {
public:
    enum class Choice {
        RP,               // p1, p4, p5 vanish: the fixed pivot slides along a line of the body
        PR,               // p1, p2, p3 vanish: the moving pivot slides along a ground line
        RRInWorkspace,    // both pivots within 1.5 workspaces
        RRShortLink,      // pivots far out, but the link is no longer than allowed (or NaN)
        ApproximateRP,    // an RR too large to build, read as a slider ("RP*")
        ApproximatePR     // the same, fixed pivot beyond two workspaces ("PR*")
    };
    struct Settings {
        double threshold = 1e-5;  // coefficient threshold of the slider tests
        double workspaceWidth = 20.0;
        double workspaceHeight = 10.0;
        double linkRatio = 2.0;  // longest link, in workspace widths
    };

    // q is the solution normalised by its largest component, rr the RR read off the solution.
    static Choice decide(const arma::vec &q, const DyadExtraction::RRNumbers &rr,
                         const Settings &settings);
    // "RR", "PR" or "RP": the kind of dyad a choice builds.
    static QString kindName(Choice choice);
    static bool isApproximate(Choice choice);
};
