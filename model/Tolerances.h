// Every numeric tolerance of the model in one place, each with why its size fits.
#pragma once

namespace tol {
// Image-space roots: a root whose imaginary part is below this after Newton polishing is real.
// Polishing brings true real roots to ~1e-12, so 1e-6 separates them from complex pairs safely.
constexpr double realRoot = 1e-6;
// Relative tolerance for comparing sums of link lengths (Grashof equality, change points).
// Lengths come from square roots of coordinates, so exact equality holds only to a few ulps.
constexpr double lengthRelative = 1e-9;
// Below this a length, divisor or determinant counts as zero (workspace units ~ 1..100).
constexpr double zeroLength = 1e-12;
// Hover and pick radius of a position, in workspace units.
constexpr double pickRadius = 0.3;
}

namespace tol {
// Two candidates for b that agree this closely are the same root of both conics; it matches
// the real-root test, so a root accepted as real is not then lost in the b selection.
constexpr double candidateAgreement = 1e-6;
// A leading polynomial coefficient this small against the largest one counts as zero and the
// degree drops; a root it would add lies beyond 1e14 times the others, outside any workspace.
constexpr double negligibleLeadingCoefficient = 1e-14;
// A divisor formed as a difference of products counts as zero below this fraction of the
// products' size: what is left is rounding noise of doubles (about 1e-16 each), with margin.
constexpr double relativeZero = 1e-12;
}

namespace tol {
// A resultant whose leading coefficient is below this fraction of its largest has a root near
// a = infinity: a dyad lying in the plane of e0 and e1 (as sliders do when five positions leave
// an exact null space), which the chart p = a e0 + b e1 + e2 cannot reach. The basis is then
// taken in another order; 1e-8 keeps such roots below about 1e8, where they are still accurate.
constexpr double rootAtInfinity = 1e-8;
}

namespace tol {
// Smallest workspace width or height the settings accept: the view's projection and the
// engine's box test divide by these sizes, and a hundredth of a unit is below any task's scale.
constexpr double minWorkspaceSize = 0.01;
}

namespace tol {
// A task whose points spread less than this fraction of their distance from the origin (one
// point turned in place) has no size to scale its fit by; it is then fitted at the user's own
// scale. Below 1e-12 the spread is rounding of the coordinates themselves.
constexpr double degenerateTaskSpread = 1e-12;
}

namespace tol {
// The type decision's sizes, in task sizes (the RMS distance of the task's points from their
// centroid), so that a task decides alike in millimetres, metres or inches and anywhere on the
// drawing. The demonstration tasks fill the default 20 x 10 workspace with a size of 1.6 to 2.2,
// so ten task sizes are about one workspace width there: these factors give the demos the
// decisions the earlier workspace rules (pivots within 1.5 workspaces, links up to the link ratio
// times the width, approximate RP within 2 workspaces) gave them, with room on either side (their
// farthest RR pivot lies 7.3 task sizes out, their nearest approximate slider's link 32 long).
// An RR whose fixed pivot (from the centroid) and moving pivot (from the moving frame's origin)
// both lie within this many task sizes is built as it is.
constexpr double nearPivotTaskSizes = 10.0;
// The longest link allowed is the link ratio times this many task sizes.
constexpr double linkTaskSizesPerRatio = 10.0;
// An RR too large to build reads as an RP when its fixed pivot lies within this many task sizes,
// as a PR (its fixed pivot gone off toward infinity) beyond.
constexpr double approximateRPTaskSizes = 20.0;
}

namespace tol {
// Two positions closer than this fraction of the task's size, and turned alike to within
// samePoseDeg, are one pose given twice; all orientations within samePoseDeg of each other make
// a pure translation. Both leave the fit without a unique answer. Typed or read coordinates
// carry ~1e-15 relative rounding, so 1e-9 separates a repeated pose from a near one safely.
constexpr double samePoseRelative = 1e-9;
constexpr double samePoseDeg = 1e-9;
}

namespace tol {
// The largest magnitude a position's x, y or theta (degrees) may have. The task's centroid and
// size sum squares of coordinates and the image monomials multiply four of them, so 1e9 keeps
// every intermediate below 1e40, far from overflow; it still spans a task of kilometres drawn
// in micrometres, and an angle of 1e9 degrees keeps its value to 1e-7 degrees.
constexpr double largestTaskMagnitude = 1e9;
}

namespace tol {
// A fit whose data matrix has one dimension less than its positions give (the smallest
// singular value the fit relies on below this fraction of the largest) does not single out its
// dyads: poses turning about one common point, say, are met by every point of the body. The
// singular values of a sound task lie above 1e-6 of the largest; rounding leaves a lost
// dimension near 1e-16, so 1e-10 parts the two with room on both sides.
constexpr double singularFitRelative = 1e-10;
}
