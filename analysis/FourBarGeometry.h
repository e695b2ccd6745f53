// What the loop-closure solvers read of a four-bar: taken once at assembly, then held fixed.
#pragma once

#include "Vec2.h"

class Dyad;

// The ordered pairs of dyad kinds, input dyad first; None when no pair is set or the kinds
// come in an order the ordering step rules out.
enum class PairKind { None, RRRR, RRRP, RRPR, PRPR, PRRP, RPRP };

// Lengths in workspace units, angles in degrees, points in the fixed frame.
struct FourBarGeometry {
    PairKind kind = PairKind::None;
    Vec2 inputFixedPivot;          // O1
    Vec2 outputFixedPivot;         // O2
    double groundLength = 0.0;     // G = |O2 - O1|
    double groundAngleDeg = 0.0;   // gamma, direction O1 -> O2
    // Fixed pivot to moving pivot of each dyad (L1, L2). For an RP dyad it is the offset of its
    // line from the block's pivot; for a PR input it is not used (the input is the slide).
    double inputLength = 0.0;
    double outputLength = 0.0;
    // Slide directions of PR dyads (sigma1, sigma2).
    double inputSlideDeg = 0.0;
    double outputSlideDeg = 0.0;
    // RR-RR, RR-PR, PR-PR: distance between the two moving pivots, fixed in the coupler (h).
    double couplerLength = 0.0;
    // RR-RP, PR-RP: the line fixed in the coupler keeps the input's moving pivot M1 at this
    // signed distance plus the RP offset from the block pivot, Kc = L2 + (M1 - M2).u(alpha2).
    double lineOffset = 0.0;
    // RP-RP: angle between the two coupler lines' normals, alpha2 - alpha1.
    double lineTurnDeg = 0.0;
    // Directions fixed pivot -> moving pivot at assembly (alpha1, alpha2).
    double inputDirectionDeg = 0.0;
    double outputDirectionDeg = 0.0;
    // The same directions as unit vectors, so a solve needs no trigonometry for them:
    // u(sigma1), u(sigma2) and u(alpha2 - alpha1).
    Vec2 inputSlideDir{1.0, 0.0};
    Vec2 outputSlideDir{1.0, 0.0};
    Vec2 lineTurnDir{1.0, 0.0};
    // The input that reproduces the assembly: alpha1 for an RR or RP input, the signed slide
    // displacement s0 for a PR input.
    double assembledInput = 0.0;
};

// The geometry of the four-bar formed by two dyads, input first, read from their pivots as they
// are now or, with atReference, from the reference pivots a synthesis or an edit committed
// (where an animation cannot have moved them).
FourBarGeometry fourBarGeometryOf(const Dyad &input, const Dyad &output, bool atReference);

// Whether the pair must be exchanged so that RR comes before PR before RP: the input dyad's
// kind ranks after the output's. Kinds of other names never rank.
bool inputRanksAfterOutput(const Dyad &input, const Dyad &output);
