// RR: the crank dyad, two revolute joints; its geometry, then its drawing.
#include "RR.h"

#include "AngularDimension.h"
#include "Circle2D.h"
#include "ConstraintSurface.h"
#include "GroundSymbol.h"
#include "LinearDimension.h"
#include "ProcessValues.h"
#include "R_Joint.h"
#include "circleArc.h"

#include <cmath>

RR::RR()
    : groundSymbol(std::make_unique<GroundSymbol>(Point(0.0, 0.0, 0.0), 0.4)) {
    fixedJoint = std::make_unique<R_Joint>(fixedPivot);
    movingJoint = std::make_unique<R_Joint>(movingPivot);
}

RR::RR(const Point &p, double a_, double b_, double R_, double d_, double e_, int tag_)
    : a(a_), b(b_), R(R_), d(d_), e(e_), tag(tag_) {
    name = QStringLiteral("RR");
    assignXY(fixedPivot, a, b);
    assignXY(movingPivotLocal, d, e);
    const Point m = toFixedFrame(d, e, p);
    assignXY(movingPivot, m.x(), m.y());
    setPoseValues(p.x(), p.y(), p.z());
    fixedJoint = std::make_unique<R_Joint>(fixedPivot);
    movingJoint = std::make_unique<R_Joint>(movingPivot);
    groundSymbol = std::make_unique<GroundSymbol>(fixedPivot);
    commitGeometry();
    surface = makeSurface(a, b, R, d, e);
}

RR::RR(double fx, double fy, double mx, double my, double x, double y, double thetaDeg) {
    name = QStringLiteral("RR");
    assignXY(fixedPivot, fx, fy);
    assignXY(movingPivot, mx, my);
    setPoseValues(x, y, thetaDeg);
    fixedJoint = std::make_unique<R_Joint>(fixedPivot);
    movingJoint = std::make_unique<R_Joint>(movingPivot);
    groundSymbol = std::make_unique<GroundSymbol>(fixedPivot);
    commitGeometry();
    // A drawn crank is its own design: refreshSurface() keeps it about this pivot and radius.
    a = fx;
    b = fy;
    R = crankLength;
}

RR::~RR() = default;

// ---- Geometry --------------------------------------------------------------------------------

void RR::placeCrankFromPivots() {
    crankLength = linkLength = fixedPivot.distance(movingPivot);
    crankAngle = linkAngle = directionDeg(fixedPivot, movingPivot);
}

void RR::placeSymbols() {
    setLinkEnds();
    groundSymbol->setPosition(fixedPivot);
    fixedJoint->setPosition(fixedPivot);
    movingJoint->setPosition(movingPivot);
}

void RR::refreshSurface() {
    double r = 0.0, phi = 0.0;
    surfacePolar(movingPivotLocal.x(), movingPivotLocal.y(), r, phi);
    double in[5];
    constraintSurfaceInputs(a, b, R, r, phi, in);
    if (!surface)
        surface = makeSurface(a, b, R, movingPivotLocal.x(), movingPivotLocal.y());
    surface->setInputs(in[0], in[1], in[2], in[3], in[4]);
    const double th = crankAngle * PI / 180.0;
    assignXY(movingPivot, a + crankLength * std::cos(th), b + crankLength * std::sin(th));
    setLinkEnds();
    movingJoint->setPosition(movingPivot);
}

void RR::resetToReference() {
    assignXY(fixedPivot, fixedPivotRef.x(), fixedPivotRef.y());
    assignXY(movingPivot, movingPivotRef.x(), movingPivotRef.y());
    crankLength = fixedPivot.distance(movingPivot);
    crankAngle = directionDeg(fixedPivot, movingPivot);
    placeSymbols();
}

void RR::setPose(const Point &p) {
    updateLocalPivot(p);
    commitGeometry();
}

void RR::commitGeometry() {
    placeCrankFromPivots();
    assignXY(fixedPivotRef, fixedPivot.x(), fixedPivot.y());
    assignXY(movingPivotRef, movingPivot.x(), movingPivot.y());
    placeSymbols();
}

// The crank turns clockwise by stepAngle about the fixed pivot; its length never changes.
void RR::step() {
    crankAngle -= stepAngle;
    const double th = crankAngle * PI / 180.0;
    assignXY(movingPivot, fixedPivot.x() + crankLength * std::cos(th),
             fixedPivot.y() + crankLength * std::sin(th));
    setLinkEnds();
    movingJoint->setPosition(movingPivot);
}

void RR::setConfiguration(double v, double) {
    const double len = link.getLength();
    const double th = v * PI / 180.0;
    assignXY(movingPivot, fixedPivot.x() + len * std::cos(th), fixedPivot.y() + len * std::sin(th));
    setLinkEnds();
    movingJoint->setPosition(movingPivot);
}

double RR::currentInput() const { return directionDeg(fixedPivot, movingPivot); }

double RR::pivotDirection() const { return directionDeg(fixedPivot, movingPivot); }

// The moving pivot seen from the coupler pose; the crank's own length stays as committed, so a
// later step() still turns it at its real radius.
void RR::updateLocalPivot(const Point &p) {
    const Point local = toMovingFrame(movingPivot, p);
    assignXY(movingPivotLocal, local.x(), local.y());
    surface = makeSurface(fixedPivot.x(), fixedPivot.y(), link.getLength(), local.x(), local.y());
}

QString RR::parameterName1() const {
    return QStringLiteral("Fixed Pivot x co-ordinate wrt fixed frame");
}
QString RR::parameterName2() const {
    return QStringLiteral("Fixed Pivot y co-ordinate wrt fixed frame");
}
QString RR::parameterName3() const {
    return QStringLiteral("Moving Pivot x co-ordinate wrt Moving frame");
}
QString RR::parameterName4() const {
    return QStringLiteral("Moving Pivot y co-ordinate wrt Moving frame");
}
QString RR::parameterName5() const { return QStringLiteral("Radius"); }
double RR::parameter1() const { return fixedPivot.x(); }
double RR::parameter2() const { return fixedPivot.y(); }
double RR::parameter3() const { return movingPivotLocal.x(); }
double RR::parameter4() const { return movingPivotLocal.y(); }
double RR::parameter5() const { return crankLength; }

// ---- Drawing ---------------------------------------------------------------------------------

void RR::drawSurface(const Point &) { drawSurfaceIfAny(); }

void RR::drawSurfaceAlways() { drawSurfaceIfAny(); }

void RR::drawJoints() {
    drawLink();
    groundSymbol->draw();
    link.getAngle();
    fixedJoint->draw();
    movingJoint->draw();
}

LinearDimension RR::lengthDimension() const {
    return LinearDimension(fixedPivot, movingPivot, link.getLength(), link.storedAngle(), 1.0,
                           unitLetter);
}

void RR::drawDimensions() const {
    const double angle = link.storedAngle();
    lengthDimension().draw();
    AngularDimension sweep(fixedPivot, 0.6, std::min(0.0, angle), std::max(0.0, angle));
    sweep.draw();
}

void RR::draw() {
    drawLink();
    groundSymbol->draw();
    fixedJoint->draw();
    movingJoint->draw();
    if (showDimensions)
        drawDimensions();
}

namespace {
// The provisional crank while the user drags it: bar, two pins and the swept angle.
void drawCrankPreview(double x1, double y1, double x2, double y2) {
    const Point f(x1, y1, 0.0), m(x2, y2, 0.0);
    const Link bar(f, m);
    bar.draw();
    Circle2D(f, false, R_Joint::pinRadius).draw();
    Circle2D(m, false, R_Joint::pinRadius).draw();
    const double angle = bar.storedAngle();
    circleArc(f, std::min(0.0, angle), std::max(0.0, angle), 0.5 * bar.getLength()).draw();
}
} // namespace

void RR::drawInputPreview(double x1, double y1, double x2, double y2) {
    drawCrankPreview(x1, y1, x2, y2);
    LinearDimension(Point(x1, y1, 0.0), std::hypot(x2 - x1, y2 - y1),
                    std::atan2(y2 - y1, x2 - x1) * 180.0 / PI)
        .draw();
}

void RR::drawInputPreviewFull(double x1, double y1, double x2, double y2, double) {
    drawCrankPreview(x1, y1, x2, y2);
    const double angle = std::atan2(y2 - y1, x2 - x1) * 180.0 / PI;
    previewLengthDimension(x1, y1, x2, y2).draw();
    AngularDimension(Point(x1, y1, 0.0), 0.6, std::min(0.0, angle), std::max(0.0, angle)).draw();
}

LinearDimension RR::previewLengthDimension(double x1, double y1, double x2, double y2) {
    const Point f(x1, y1, 0.0), m(x2, y2, 0.0);
    const double angle = std::atan2(y2 - y1, x2 - x1) * 180.0 / PI;
    return LinearDimension(f, m, f.distance(m), angle, 1.0, unitLetter);
}
