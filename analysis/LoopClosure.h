// Closed-form position solutions of the four-bar loop, one per pair kind; pure functions.
#pragma once

#include "FourBarGeometry.h"

// Where every moving part sits for one input value, in the fixed frame.
struct LoopSolution {
    Vec2 inputMovingPivot;    // M1
    Vec2 outputMovingPivot;   // M2
    // The coupler's two ends: they fix the coupler's position and orientation, so the coupler
    // point rides on them rigidly.
    Vec2 couplerStart;
    Vec2 couplerEnd;
    // Output direction u(psi) for RR and RP outputs (for an RP the normal of its line).
    Vec2 outputDirection{1.0, 0.0};
    // Slide displacement of a PR output.
    double outputSlide = 0.0;
    // RP-RP only: signed positions of the lines' crossing along the input and output lines.
    double inputLineOffset = 0.0;
    double outputLineOffset = 0.0;
};

enum class LoopResult {
    Closed,
    // The chain cannot close: the animation turns back.
    CannotClose,
    // A double slider whose coupler cannot reach the output line: no reversal of the drive.
    CannotCloseKeepDirection
};

// input: crank angle (degrees) for an RR input, line normal direction (degrees) for an RP input,
// slide displacement for a PR input. openCircuit chooses between the two mirror solutions
// (ignored by RP-RP, which has one). On failure out is left untouched.
LoopResult solveLoop(const FourBarGeometry &g, double input, bool openCircuit,
                     LoopSolution &out);

// The input dyad's moving pivot for an input value (no closure needed).
Vec2 inputMovingPivotAt(const FourBarGeometry &g, double input);
