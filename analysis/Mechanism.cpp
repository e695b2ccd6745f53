// Four-bar mechanism: setting the pair, assembly and the state the other parts of the analysis
// share. (Early stub so the Branch and the views can build against the interface.)
#include "Mechanism.h"

Mechanism::Mechanism() { resetSegments(); }
Mechanism::~Mechanism() = default;

void Mechanism::setDyads(Dyad *d1, Dyad *d2) {
    inputDyad = d1;
    outputDyad = d2;
}
void Mechanism::setDyadsAgain() {}
void Mechanism::setCouplerPose(const Point &pose) { coupler.setCouplerPoint(pose); }
void Mechanism::clear() {
    inputDyad = outputDyad = nullptr;
    coupler.removeCouplerPoint();
    for (PointList &c : curves)
        c.clear();
    generatedPositions.clear();
}
void Mechanism::assemble() {}
void Mechanism::analyze(double) {}
void Mechanism::stepForward() {}
void Mechanism::stepBackward() {}
void Mechanism::setCounter(double count) { inputValue = count; }
void Mechanism::setCircuitOpen() {}
void Mechanism::setCircuitCrossed() {}
void Mechanism::swapDyads() {}
void Mechanism::traceCouplerCurves() {}
void Mechanism::sweepCouplerCurves() {}
void Mechanism::generatePositions() {}
void Mechanism::classify() {}
QString Mechanism::typeName() const { return QString(); }
double Mechanism::groundLinkLength() const { return geometry.groundLength; }
double Mechanism::groundLinkAngle() const { return geometry.groundAngleDeg; }
double Mechanism::dyad1LinkLength() const { return 0.0; }
double Mechanism::dyad1LinkAngle() const { return 0.0; }
double Mechanism::dyad2LinkLength() const { return 0.0; }
double Mechanism::dyad2LinkAngle() const { return 0.0; }
const PointList &Mechanism::openCurve(int k) const { return curves[3 + (k % 3 + 3) % 3]; }
const PointList &Mechanism::crossedCurve(int k) const { return curves[(k % 3 + 3) % 3]; }
void Mechanism::draw() const {}
void Mechanism::resetSegments() {
    segmentIndex = 0;
    lastStepValid = false;
}
