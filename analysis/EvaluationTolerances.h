// The tolerances of the pair evaluation, each with why its size fits (the model's own are in
// Tolerances.h).
#pragma once

namespace tol {
// A pose just beyond an input limit is judged this far inside it (relative to the limit's
// size, degrees or lengths): at the limit itself the two assemblies coincide and rounding alone
// decides whether the loop closes. 1e-8 lies far above that rounding (~1e-15) and moves a
// transmission angle by under 0.01 degree (it grows like the square root of the distance).
constexpr double limitNudge = 1e-8;
// Pose errors below this (position in task sizes, angle in radians) are rounding of an exact
// fit: the ranking treats them as zero, so that exact pairs are told apart by the next
// criterion rather than by their rounding. Five-position fits meet the poses to ~1e-12.
constexpr double exactPoseError = 1e-9;
}
