// A planar four-bar formed from two dyads: assembly, position analysis on both circuits,
// stepping, coupler curves, classification with input limits, and generated positions.
#pragma once

#include "CouplerLink.h"
#include "FourBarGeometry.h"
#include "LoopClosure.h"
#include "Point.h"
#include "PointList.h"

#include <QString>
#include <vector>

class Dyad;
class LinearDimension;

// Plain class, not a toolkit object. It observes its two dyads (the Branch owns them) and moves
// them as it solves; every angle at this interface is in degrees.
class Mechanism {
public:
    // Drive amplitude of a slider input whose travel has no limit on one side or both.
    static constexpr double defaultSlideAmplitude = 5.0;

    Mechanism();
    ~Mechanism();
    Mechanism(const Mechanism &) = delete;
    Mechanism &operator=(const Mechanism &) = delete;

    // --- Setting the pair -------------------------------------------------------------------
    // Stores the pair, orders it (RR before PR before RP), assembles, classifies and, when a
    // coupler point exists, traces. Null pointers make the mechanism empty.
    void setDyads(Dyad *d1, Dyad *d2);
    // After the Branch edited a dyad of this pair (and committed it) or moved the coupler point.
    void setDyadsAgain();
    // Attaches a copy of the pose (x, y, theta degrees) as the coupler point and retraces.
    void setCouplerPose(const Point &pose);
    // Forgets both dyads, removes the coupler point, empties the curves and generated positions.
    void clear();
    bool isSet() const { return inputDyad != nullptr && outputDyad != nullptr; }
    bool empty() const { return !isSet(); }

    // --- Analysis -----------------------------------------------------------------------------
    // Puts the coupler point back to its stored pose, resets both dyads to their reference,
    // re-derives the geometry and the input value. The circuit is left as it is.
    void assemble();
    // Solves for one input (crank angle or RP line direction in degrees, slide displacement for
    // a PR input) on the current circuit and moves the dyads and coupler. A pose that cannot
    // close leaves everything where it was and reverses the drive.
    void analyze(double input);
    void stepForward();
    void stepBackward();
    // Sets the input value (a phase for a slider input) to count modulo 360 and solves.
    void setCounter(double count);
    double getCounter() const { return inputValue; }

    void setCircuitOpen();
    void setCircuitCrossed();
    bool isCircuitOpen() const { return circuitOpen; }
    // Exchanges input and output; only pairs of equal kinds end up exchanged. The mechanism is
    // re-assembled, re-classified and re-traced and stays on its assembled circuit.
    void swapDyads();

    // Clears the six curves, sweeps the input over both circuits, re-assembles on the assembled
    // circuit, then picks generated positions and writes "GeneratedPositions.txt".
    void traceCouplerCurves();
    // The sweeps alone (what traceCouplerCurves does before picking positions).
    void sweepCouplerCurves();
    // Picks up to five traced poses and writes "GeneratedPositions.txt".
    void generatePositions();
    // Type name, class name, input limits, slider drive; writes "Mechanism Limits.txt".
    void classify();

    // --- Coupler point --------------------------------------------------------------------------
    bool hasCouplerPoint() const { return coupler.hasCouplerPoint(); }
    Point couplerPoint() const { return coupler.couplerPoint(); }
    // The live coupler point for the Branch's drag handles; null when there is none.
    Point *couplerPointHandle() { return coupler.couplerPointHandle(); }
    const CouplerLink &getCoupler() const { return coupler; }

    // --- What the Branch, the views and the panel read -----------------------------------------
    Dyad *getInputDyad() const { return inputDyad; }
    Dyad *getOutputDyad() const { return outputDyad; }
    PairKind pairKind() const { return geometry.kind; }
    // The two dyads' type names joined, input first ("RRRR", "RRPR", ...); "" when empty.
    QString typeName() const;
    // The classification text ("Grashoff crank-rocker-rocker", "Crank Slider Mechanism", ...);
    // "No Mechanism set" while empty.
    QString className() const { return typeLabel; }

    double groundLinkLength() const;
    double groundLinkAngle() const;
    double floatingLinkLength() const { return coupler.getLength(); }
    double floatingLinkAngle() const { return coupler.getAngle(); }
    // Current fixed-to-moving pivot distance and direction of each dyad (0 when empty).
    double dyad1LinkLength() const;
    double dyad1LinkAngle() const;
    double dyad2LinkLength() const;
    double dyad2LinkAngle() const;

    // Input limits: degrees for an RR input, displacements for a PR input. A side without a
    // limit reads hasLowerLimit()/hasUpperLimit() false and its value 0.
    bool hasLowerLimit() const { return lowerLimited; }
    bool hasUpperLimit() const { return upperLimited; }
    double getLowerLimit() const { return lowerLimit; }
    double getUpperLimit() const { return upperLimit; }
    // Slider drive s(v) = mean + amplitude * sin(v + phase), v the input value in degrees and
    // the phase in radians; zero for a crank or RP input.
    double getSliderMean() const { return sliderMean; }
    double getSliderAmplitude() const { return sliderAmplitude; }
    double getSliderPhase() const { return sliderPhase; }

    double getStepSign() const { return stepSign; }
    bool isLastStepValid() const { return lastStepValid; }
    int getSegmentIndex() const { return segmentIndex; }
    double getOutputAngle() const { return outputAngle; }
    Point getOutputPivot() const { return Point(outputPivot.x, outputPivot.y, 0.0); }
    double getSlideOffset() const { return slideOffset; }
    double getSlideOffset2() const { return slideOffset2; }
    double getSlideAngle() const { return slideAngle; }
    const FourBarGeometry &getGeometry() const { return geometry; }

    // The coupler curve pieces, k = 0, 1, 2.
    const PointList &openCurve(int k) const;
    const PointList &crossedCurve(int k) const;
    const PointList &getGeneratedPositions() const { return generatedPositions; }

    // Coupler, curves, input arrow, joint glyphs and the moving frame (Cartesian view).
    void draw() const;
    // The side-length labels draw() writes on the coupler when dimensions are shown (one side,
    // or three with a coupler point), made from the unit letter and digits as they are now.
    std::vector<LinearDimension> couplerDimensions() const;

private:
    bool inputIsSlider() const;
    void orderDyads();
    void computeGeometry();
    void attachCoupler();
    void handCouplerPointToDyads();
    void resetSegments();
    void resetLimits();
    // The input value (angle in degrees, or 0 phase for a slider) of the assembled state.
    double assembledInputValue() const;
    // What analyze() receives for an input value: the angle itself, or for a slider input the
    // displacement of the drive at that phase.
    double inputFor(double value) const;
    void chooseAssembledCircuit();
    void applySolution(const LoopSolution &s);
    void moveDyads(const LoopSolution &s);
    bool pivotsFinite() const;
    void noteFailure(bool reverseDrive);
    void sweepCircuit(bool open);
    void selectCircuit(bool open);
    PointList &currentCurve();
    void setGrashofLimits(char shortestBar);
    void setNonGrashofLimits(bool inputOutward);
    void setRockerLimits(double psiNearDeg, double psiFarDeg);
    void setAngleLimits(double lowerDeg, double upperDeg);
    void setSliderLimits();
    void setDoubleSliderLimits();
    void setSwingingSliderLimits();
    void setSliderDrive();
    void writeLimitsFile() const;
    void writeGeneratedPositionsFile() const;
    void drawCurves() const;
    void drawCouplerBody() const;
    void drawInputArrow() const;
    void drawJointGlyphs() const;
    void drawMovingFrame() const;

    Dyad *inputDyad = nullptr;    // not owned
    Dyad *outputDyad = nullptr;   // not owned
    FourBarGeometry geometry;
    CouplerLink coupler;
    // Assembled coupler end, to tell which circuit the assembly sits on.
    Vec2 assembledCouplerEnd;
    Vec2 assembledOutputPivot;

    double stepSign = 1.0;
    double slideAngle = 0.0;     // alpha2 - alpha1 + 90 (degrees)
    double slideOffset = 0.0;
    double slideOffset2 = 0.0;
    double outputAngle = 0.0;    // psi of the last RR-RR solution
    bool circuitOpen = true;
    double inputValue = 0.0;
    Vec2 outputPivot;

    PointList curves[6];   // crossed 0, 1, 2, open 0, 1, 2
    bool tracing = false;
    int segmentIndex = 0;
    bool lastStepValid = false;
    PointList generatedPositions;

    QString typeLabel;
    bool lowerLimited = false;
    bool upperLimited = false;
    double lowerLimit = 0.0;
    double upperLimit = 0.0;
    double sliderMean = 0.0;
    double sliderAmplitude = 0.0;
    double sliderPhase = 0.0;   // radians
};
