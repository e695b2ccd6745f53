// The class of a four-bar by its pair kinds and, for two RR dyads, by Grashof's criterion: what
// Mechanism::classify names and the pair evaluation reports, computed from the geometry alone.
#pragma once

#include "FourBarGeometry.h"

#include <QString>

struct FourBarClass {
    // Grashof's criterion on the four bar lengths s <= p <= q <= l of an RR-RR: p + q against
    // s + l. Slider pairs (and an empty or not-a-number geometry) have no Grashof family.
    enum class Family { None, Grashof, ChangePoint, NonGrashof };
    Family family = Family::None;
    // The shortest bar of an RR-RR: 'i' input, 'c' coupler, 'o' output, 'g' ground (the first
    // in that order among bars equal within rounding).
    char shortestBar = 'g';
    // A non-Grashof input limited where coupler and output stretch (outward) or fold (inward).
    bool inputOutward = false;
    // "Grashoff crank-rocker-rocker", "Crank Slider Mechanism", ...
    QString label;
};

FourBarClass classifyFourBar(const FourBarGeometry &g);
