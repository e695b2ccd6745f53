// Classification of a four-bar: Grashof, non-Grashof and change-point families for two RR
// dyads, names by kind for slider pairs, the input limits, the slider drive, and the file
// "Mechanism Limits.txt".
#include "FourBarClass.h"
#include "Mechanism.h"

#include "TextFileWriter.h"
#include "Tolerances.h"

#include <algorithm>
#include <cmath>
#include <ostream>

namespace {

const char *const kTypeNames[] = {
    "No Mechanism set",
    "Grashoff crank-crank-crank",
    "Grashoff crank-rocker-rocker",
    "Grashoff rocker-crank-rocker",
    "Grashoff rocker-rocker-crank",
    "Class 1 rocker-rocker-rocker",
    "Class 2 rocker-rocker-rocker",
    "Class 3 rocker-rocker-rocker",
    "Class 4 rocker-rocker-rocker",
    "Change-point crank-crank-crank",
    "Change-point crank-rocker-rocker",
    "Change-point rocker-crank-rocker",
    "Change-point rocker-rocker-crank",
    "Double change point",
    "Triple change point",
    "Slider Crank Mechanism",
    "Swinging Block Mechanism",
    "Slider-Swinging Block Mechanism",
    "Double Slider Mechanism",
    "Double Swinging Block Mechanism",
};

QString typeNameAt(int index) { return QString::fromLatin1(kTypeNames[index]); }

// A bar of the four-bar with its one-letter label: input, coupler, output, ground.
struct Bar {
    char label;
    double length;
};

// Table entry for the shortest bar within a family starting at `first` (ground, input,
// coupler, output in that order).
int entryForShortest(char label, int first) {
    switch (label) {
    case 'g':
        return first;
    case 'i':
        return first + 1;
    case 'c':
        return first + 2;
    default:
        return first + 3;
    }
}

// The angle at the vertex between sides a and b of a triangle whose third side is c, by the law
// of cosines. A cosine beyond +-1 by no more than the rounding of the lengths is a straight
// triangle; further beyond, the triangle cannot exist.
bool triangleAngleDeg(double a, double b, double c, double &angleDeg) {
    const double twoAB = 2.0 * a * b;
    if (!(twoAB > tol::zeroLength))
        return false;
    double cosine = (a * a + b * b - c * c) / twoAB;
    if (!(std::fabs(cosine) <= 1.0 + tol::lengthRelative))
        return false;
    cosine = std::clamp(cosine, -1.0, 1.0);
    angleDeg = radToDeg(std::acos(cosine));
    return true;
}

} // namespace

// Grashof's criterion on the four bar lengths s <= p <= q <= l: p + q against s + l. Equality
// is tested first and with a tolerance, because lengths computed from coordinates are equal
// only to rounding; the strict tests then see only true differences.
FourBarClass classifyFourBar(const FourBarGeometry &g) {
    FourBarClass result;
    switch (g.kind) {
    case PairKind::RRRP:
        result.label = QStringLiteral("Swinging Block Mechanism");
        return result;
    case PairKind::RRPR:
        result.label = QStringLiteral("Crank Slider Mechanism");
        return result;
    case PairKind::PRPR:
        result.label = QStringLiteral("Double Slider Mechanism");
        return result;
    case PairKind::PRRP:
        result.label = QStringLiteral("Slider-Swinging Block Mechanism");
        return result;
    case PairKind::RPRP:
        result.label = QStringLiteral("Double Swinging Block Mechanism");
        return result;
    case PairKind::None:
        result.label = typeNameAt(0);
        return result;
    case PairKind::RRRR:
        break;
    }
    const double h = g.couplerLength, l1 = g.inputLength, l2 = g.outputLength;
    const Bar bars[4] = {{'i', l1}, {'c', h}, {'o', l2}, {'g', g.groundLength}};
    double sorted[4];
    for (int k = 0; k < 4; ++k) {
        if (!std::isfinite(bars[k].length)) {
            result.label = typeNameAt(0);
            return result;
        }
        sorted[k] = bars[k].length;
    }
    std::sort(sorted, sorted + 4);
    const double s = sorted[0], p = sorted[1], q = sorted[2], l = sorted[3];
    const double tolerance = tol::lengthRelative * l;
    // Among bars equal to the shortest within rounding, the first in i, c, o, g order counts.
    for (const Bar &b : bars)
        if (b.length <= s + tolerance) {
            result.shortestBar = b.label;
            break;
        }
    const double excess = (p + q) - (s + l);
    if (std::fabs(excess) <= tolerance) {
        result.family = FourBarClass::Family::ChangePoint;
        const int entry = l - s <= tolerance ? 14 : entryForShortest(result.shortestBar, 9);
        result.label = typeNameAt(entry);
    } else if (excess > 0.0) {
        result.family = FourBarClass::Family::Grashof;
        result.label = typeNameAt(entryForShortest(result.shortestBar, 1));
    } else {
        // A triple rocker limited where coupler and output fold (inward) or stretch (outward);
        // the first word is the input's limit, the second the output's.
        const double a = l1 + g.groundLength, b = l2 + h, c = l2 + g.groundLength, d = l1 + h;
        result.family = FourBarClass::Family::NonGrashof;
        result.inputOutward = a >= b;
        const bool outputInward = d > c;
        result.label = QStringLiteral("Non Grashof %1/%2 Limited Triple Rocker")
                           .arg(result.inputOutward ? "Outward" : "Inward",
                                outputInward ? "Inward" : "Outward");
    }
    return result;
}

void Mechanism::resetLimits() {
    lowerLimited = upperLimited = false;
    lowerLimit = upperLimit = 0.0;
    sliderMean = sliderAmplitude = sliderPhase = 0.0;
}

void Mechanism::classify() {
    resetLimits();
    const FourBarClass c = classifyFourBar(isSet() ? geometry : FourBarGeometry());
    typeLabel = c.label;
    if (c.family == FourBarClass::Family::Grashof)
        setGrashofLimits(c.shortestBar);
    else if (c.family == FourBarClass::Family::NonGrashof)
        setNonGrashofLimits(c.inputOutward);
    if (isSet() && inputIsSlider()) {
        setSliderLimits();
        setSliderDrive();
    }
    writeLimitsFile();
}

void Mechanism::setGrashofLimits(char shortest) {
    const FourBarGeometry &g = geometry;
    if (shortest == 'g' || shortest == 'i') {
        // The input turns fully; the file carries 180 and 0 for it.
        upperLimit = 180.0;
        lowerLimit = 0.0;
        upperLimited = lowerLimited = true;
        return;
    }
    const double h = g.couplerLength, l2 = g.outputLength;
    double nearDeg, farDeg;
    if (triangleAngleDeg(g.inputLength, g.groundLength, std::fabs(h - l2), nearDeg) &&
        triangleAngleDeg(g.inputLength, g.groundLength, h + l2, farDeg))
        setRockerLimits(nearDeg, farDeg);
}

// A triple rocker's input swings about the ground line (outward limits, where coupler and
// output stretch) or about its opposite (inward limits, where they fold).
void Mechanism::setNonGrashofLimits(bool inputOutward) {
    const FourBarGeometry &g = geometry;
    const double h = g.couplerLength, l1 = g.inputLength, l2 = g.outputLength;
    double psi;
    if (inputOutward) {
        if (triangleAngleDeg(l1, g.groundLength, h + l2, psi))
            setAngleLimits(g.groundAngleDeg - psi, g.groundAngleDeg + psi);
    } else if (triangleAngleDeg(l1, g.groundLength, std::fabs(h - l2), psi)) {
        setAngleLimits(g.groundAngleDeg + psi, g.groundAngleDeg + 360.0 - psi);
    }
}

void Mechanism::setRockerLimits(double psiNearDeg, double psiFarDeg) {
    const double gamma = geometry.groundAngleDeg;
    const bool above = wrapDeg180(geometry.inputDirectionDeg - gamma) >= 0.0;
    if (above)
        setAngleLimits(gamma + psiNearDeg, gamma + psiFarDeg);
    else
        setAngleLimits(gamma - psiFarDeg, gamma - psiNearDeg);
}

// Lower limit brought into (-180, 180]; the upper one keeps its distance above it.
void Mechanism::setAngleLimits(double lowerDeg, double upperDeg) {
    lowerLimit = wrapDeg180(lowerDeg);
    upperLimit = lowerLimit + (upperDeg - lowerDeg);
    lowerLimited = upperLimited = true;
}

void Mechanism::setSliderLimits() {
    if (geometry.kind == PairKind::PRPR)
        setDoubleSliderLimits();
    else
        setSwingingSliderLimits();
}

// PR-PR: the coupler reaches the output line while M1's distance across that line,
// G sin(gamma - sigma2) - s sin(sigma1 - sigma2), is at most h.
void Mechanism::setDoubleSliderLimits() {
    const FourBarGeometry &g = geometry;
    const double sigma1 = degToRad(g.inputSlideDeg), sigma2 = degToRad(g.outputSlideDeg);
    const double across = std::sin(sigma1 - sigma2);
    if (!(std::fabs(across) > tol::zeroLength))
        return;   // parallel slides: closes for every s or for none
    const double centre = g.groundLength * std::sin(degToRad(g.groundAngleDeg) - sigma2);
    const double a = (centre - g.couplerLength) / across;
    const double b = (centre + g.couplerLength) / across;
    if (!std::isfinite(a) || !std::isfinite(b))
        return;
    lowerLimit = std::min(a, b);
    upperLimit = std::max(a, b);
    lowerLimited = upperLimited = true;
}

// PR-RP: the coupler's line reaches the block while |O2 - M1| >= |Kc|, that is
// s^2 + B s + C >= 0 with B = -2 G cos(sigma1 - gamma), C = G^2 - Kc^2. Between the roots the
// chain cannot close; the travel is the side that holds the assembled displacement.
void Mechanism::setSwingingSliderLimits() {
    const FourBarGeometry &g = geometry;
    const double slideToGround = degToRad(g.inputSlideDeg - g.groundAngleDeg);
    const double bq = -2.0 * g.groundLength * std::cos(slideToGround);
    const double cq = g.groundLength * g.groundLength - g.lineOffset * g.lineOffset;
    const double disc = bq * bq - 4.0 * cq;
    if (!(disc > 0.0))
        return;
    const double below = (-bq - std::sqrt(disc)) / 2.0;
    const double above = (-bq + std::sqrt(disc)) / 2.0;
    const double s0 = g.assembledInput;
    if (!std::isfinite(below) || !std::isfinite(above) || !std::isfinite(s0))
        return;
    if (s0 - below < above - s0) {
        upperLimit = below;
        upperLimited = true;
    } else {
        lowerLimit = above;
        lowerLimited = true;
    }
}

// The drive s(v) = mean + amplitude sin(v + phase) starts at the assembled displacement and
// stays inside the limits; a side without a limit gets the default amplitude.
void Mechanism::setSliderDrive() {
    const double s0 = geometry.assembledInput;
    if (!std::isfinite(s0))
        return;
    if (lowerLimited && upperLimited) {
        sliderMean = 0.5 * (lowerLimit + upperLimit);
        sliderAmplitude = 0.5 * (upperLimit - lowerLimit);
    } else {
        sliderAmplitude = defaultSlideAmplitude;
        sliderMean = s0;
        if (lowerLimited)
            sliderMean = std::max(s0, lowerLimit + sliderAmplitude);
        else if (upperLimited)
            sliderMean = std::min(s0, upperLimit - sliderAmplitude);
    }
    if (sliderAmplitude > tol::zeroLength)
        sliderPhase = std::asin(std::clamp((s0 - sliderMean) / sliderAmplitude, -1.0, 1.0));
}

void Mechanism::writeLimitsFile() const {
    TextFileWriter file(QStringLiteral("Mechanism Limits.txt"));
    std::ostream &out = file.stream();
    auto limit = [&out](bool known, double value) {
        if (known)
            out << value;
        else
            out << "none";
    };
    out << "Upper  ";
    limit(upperLimited, upperLimit);
    out << "  Lower  ";
    limit(lowerLimited, lowerLimit);
    out << '\n';
    out << "Amplitude" << sliderAmplitude << "  InitPhaseAngle " << radToDeg(sliderPhase) << '\n';
}
