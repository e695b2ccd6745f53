// Four-bar mechanism: setting the pair, ordering, assembly, the geometry the solvers read, and
// the position analysis with its stepping and circuits.
#include "Mechanism.h"

#include "Dyad.h"
#include "Tolerances.h"

#include <cmath>
#include <utility>

namespace {

Vec2 asVec(const Point &p) { return {p[0], p[1]}; }

Point asPoint(const Vec2 &v) { return Point(v.x, v.y, 0.0); }

} // namespace

Mechanism::Mechanism() {
    typeLabel = QStringLiteral("No Mechanism set");
    resetSegments();
}

Mechanism::~Mechanism() = default;

bool Mechanism::inputIsSlider() const {
    return geometry.kind == PairKind::PRPR || geometry.kind == PairKind::PRRP;
}

// --- Setting the pair ------------------------------------------------------------------------

void Mechanism::setDyads(Dyad *d1, Dyad *d2) {
    inputDyad = d1;
    outputDyad = d2;
    if (!isSet()) {
        clear();
        return;
    }
    orderDyads();
    coupler.restoreCouplerPose();
    handCouplerPointToDyads();
    computeGeometry();
    inputValue = assembledInputValue();
    chooseAssembledCircuit();
    classify();
    traceCouplerCurves();
}

void Mechanism::setDyadsAgain() {
    coupler.storeCouplerPose();
    if (!isSet())
        return;
    handCouplerPointToDyads();
    computeGeometry();
    inputValue = assembledInputValue();
    chooseAssembledCircuit();
    classify();
    traceCouplerCurves();
}

void Mechanism::setCouplerPose(const Point &pose) {
    // The pose is recorded in the coupler of the assembled mechanism, wherever an animation left
    // it.
    assemble();
    coupler.setCouplerPoint(pose);
    if (!isSet())
        return;
    handCouplerPointToDyads();
    traceCouplerCurves();
}

void Mechanism::clear() {
    inputDyad = outputDyad = nullptr;
    geometry = FourBarGeometry();
    coupler.removeCouplerPoint();
    coupler.attachEnds(Vec2(), Vec2());
    for (PointList &c : curves)
        c.clear();
    generatedPositions.clear();
    tracing = false;
    resetSegments();
    resetLimits();
    typeLabel = QStringLiteral("No Mechanism set");
    inputValue = 0.0;
    outputPivot = Vec2();
}

void Mechanism::handCouplerPointToDyads() {
    if (!coupler.hasCouplerPoint())
        return;
    const Point pose = coupler.couplerPoint();
    inputDyad->updateLocalPivot(pose);
    outputDyad->updateLocalPivot(pose);
}

// Ranks RR before PR before RP so that six ordered pairs cover every combination.
void Mechanism::orderDyads() {
    if (inputRanksAfterOutput(*inputDyad, *outputDyad))
        std::swap(inputDyad, outputDyad);
}

void Mechanism::swapDyads() {
    if (!isSet())
        return;
    std::swap(inputDyad, outputDyad);
    orderDyads();
    assemble();
    chooseAssembledCircuit();
    classify();
    traceCouplerCurves();
}

// --- Assembly --------------------------------------------------------------------------------

void Mechanism::assemble() {
    if (!isSet())
        return;
    coupler.restoreCouplerPose();
    inputDyad->resetToReference();
    outputDyad->resetToReference();
    computeGeometry();
    inputValue = assembledInputValue();
}

void Mechanism::computeGeometry() {
    const FourBarGeometry g = fourBarGeometryOf(*inputDyad, *outputDyad, false);
    const Vec2 m2 = asVec(outputDyad->movingPivotCopy());
    geometry = g;
    slideAngle = g.lineTurnDeg + 90.0;
    assembledOutputPivot = m2;
    outputPivot = m2;
    attachCoupler();
}

// The coupler's ends must be points fixed in the coupler: both moving pivots where both are
// revolute; M1 and a point along the coupler's line where the output is an RP; the lines'
// crossing and a point along the input line for two RPs.
void Mechanism::attachCoupler() {
    const FourBarGeometry &g = geometry;
    const Vec2 m1 = asVec(inputDyad->movingPivotCopy());
    Vec2 start = m1;
    Vec2 end = assembledOutputPivot;
    slideOffset = slideOffset2 = 0.0;
    if (g.kind == PairKind::RRRP || g.kind == PairKind::PRRP) {
        end = m1 + Vec2::unitDeg(g.outputDirectionDeg + 90.0);
    } else if (g.kind == PairKind::RPRP) {
        LoopSolution s;
        if (solveLoop(g, g.assembledInput, true, s) == LoopResult::Closed) {
            start = s.couplerStart;
            end = s.couplerEnd;
            slideOffset = s.inputLineOffset;
            slideOffset2 = s.outputLineOffset;
        } else {
            // Parallel lines have no crossing; the coupler still gets a frame on the input line.
            end = m1 + Vec2::unitDeg(g.inputDirectionDeg + 90.0);
        }
    }
    // Pivots that are not numbers (a failed synthesis) give the coupler no frame to draw.
    if (!start.isFinite() || !end.isFinite()) {
        const Point c = coupler.couplerPoint();
        start = end = Vec2(c[0], c[1]);
    }
    coupler.attachEnds(start, end);
    assembledCouplerEnd = end;
}

double Mechanism::assembledInputValue() const {
    return inputIsSlider() ? 0.0 : geometry.assembledInput;
}

// Of the two mirror solutions at the assembled input, the one that puts the output where the
// assembly has it is the circuit the mechanism was built on.
void Mechanism::chooseAssembledCircuit() {
    LoopSolution open, crossed;
    const bool openCloses =
        solveLoop(geometry, geometry.assembledInput, true, open) == LoopResult::Closed;
    const bool crossedCloses =
        solveLoop(geometry, geometry.assembledInput, false, crossed) == LoopResult::Closed;
    auto miss = [this](const LoopSolution &s) {
        return (s.couplerEnd - assembledCouplerEnd).length() +
               (s.outputMovingPivot - assembledOutputPivot).length();
    };
    if (openCloses && crossedCloses)
        circuitOpen = miss(open) <= miss(crossed);
    else if (openCloses || crossedCloses)
        circuitOpen = openCloses;
}

// --- Position analysis -----------------------------------------------------------------------

void Mechanism::analyze(double input) {
    if (!isSet())
        return;
    LoopSolution s;
    const LoopResult r = solveLoop(geometry, input, circuitOpen, s);
    if (r != LoopResult::Closed) {
        noteFailure(r == LoopResult::CannotClose);
        return;
    }
    lastStepValid = true;
    applySolution(s);
    if (tracing)
        currentCurve().append(*coupler.couplerPointHandle());
}

void Mechanism::applySolution(const LoopSolution &s) {
    coupler.setEnds(s.couplerStart, s.couplerEnd);
    outputPivot = s.outputMovingPivot;
    if (geometry.kind == PairKind::RPRP) {
        slideOffset = s.inputLineOffset;
        slideOffset2 = s.outputLineOffset;
    }
    // A sweep only records the coupler; the dyads are put back by the assembly that ends every
    // trace, so moving them for each sample would be wasted work.
    if (tracing)
        return;
    if (geometry.kind == PairKind::RRRR)
        outputAngle = s.outputDirection.angleDeg();
    moveDyads(s);
}

// The input dyad is placed by its own input (so an RP block turns with its line); the output's
// moving pivot is placed where the loop put it.
void Mechanism::moveDyads(const LoopSolution &s) {
    const double input = inputIsSlider()
                             ? (s.inputMovingPivot - geometry.inputFixedPivot)
                                   .dot(Vec2::unitDeg(geometry.inputSlideDeg))
                             : (s.inputMovingPivot - geometry.inputFixedPivot).angleDeg();
    inputDyad->setConfiguration(input, geometry.inputLength);
    if (geometry.kind == PairKind::RRRP || geometry.kind == PairKind::PRRP ||
        geometry.kind == PairKind::RPRP)
        outputDyad->setConfiguration(s.outputDirection.angleDeg(), geometry.outputLength);
    else
        outputDyad->setMovingPivot(asPoint(s.outputMovingPivot));
}

// A failure after a success closes the current curve piece; the next success starts a new one.
void Mechanism::noteFailure(bool reverseDrive) {
    if (lastStepValid)
        segmentIndex = (segmentIndex + 1) % 3;
    lastStepValid = false;
    if (reverseDrive)
        stepSign = -stepSign;
}

PointList &Mechanism::currentCurve() { return curves[(circuitOpen ? 3 : 0) + segmentIndex]; }

void Mechanism::resetSegments() {
    segmentIndex = 0;
    lastStepValid = false;
}

// --- Stepping and circuits -------------------------------------------------------------------

double Mechanism::inputFor(double value) const {
    if (!inputIsSlider())
        return value;
    return sliderMean + sliderAmplitude * std::sin(degToRad(value) + sliderPhase);
}

void Mechanism::stepForward() {
    inputValue += stepSign;
    analyze(inputFor(inputValue));
}

void Mechanism::stepBackward() {
    if (!isSet())
        return;
    inputValue -= 1.0;
    analyze(inputFor(inputValue));
}

void Mechanism::setCounter(double count) {
    inputValue = std::fmod(count + 360.0, 360.0);
    analyze(inputFor(inputValue));
}

void Mechanism::setCircuitOpen() { selectCircuit(true); }

void Mechanism::setCircuitCrossed() { selectCircuit(false); }

void Mechanism::selectCircuit(bool open) {
    if (!isSet() || circuitOpen == open)
        return;
    circuitOpen = open;
    assemble();
    analyze(geometry.assembledInput);
}

// --- What the Branch and the views read ------------------------------------------------------

QString Mechanism::typeName() const {
    if (!isSet())
        return QString();
    return inputDyad->typeName() + outputDyad->typeName();
}

double Mechanism::groundLinkLength() const { return geometry.groundLength; }

double Mechanism::groundLinkAngle() const { return geometry.groundAngleDeg; }

namespace {
double pivotDistance(const Dyad *d) {
    return d ? (asVec(d->movingPivotCopy()) - asVec(d->fixedPivotCopy())).length() : 0.0;
}
double pivotAngle(const Dyad *d) {
    return d ? (asVec(d->movingPivotCopy()) - asVec(d->fixedPivotCopy())).angleDeg() : 0.0;
}
} // namespace

double Mechanism::dyad1LinkLength() const { return pivotDistance(inputDyad); }

double Mechanism::dyad1LinkAngle() const { return pivotAngle(inputDyad); }

double Mechanism::dyad2LinkLength() const { return pivotDistance(outputDyad); }

double Mechanism::dyad2LinkAngle() const { return pivotAngle(outputDyad); }

const PointList &Mechanism::openCurve(int k) const { return curves[3 + (k % 3 + 3) % 3]; }

const PointList &Mechanism::crossedCurve(int k) const { return curves[(k % 3 + 3) % 3]; }
