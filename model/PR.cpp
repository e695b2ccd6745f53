// PR: a slider on a ground line carrying the revolute moving pivot; geometry, then drawing.
#include "PR.h"

#include "AngularDimension.h"
#include "Circle2D.h"
#include "ConstraintSurface.h"
#include "GroundSymbol.h"
#include "LinearDimension.h"
#include "P_Joint.h"
#include "ProcessValues.h"
#include "R_Joint.h"
#include "Rectangle2D.h"

#include <cmath>

namespace {
// Below this |b| the ground line is (nearly) vertical and has no useful slope form.
constexpr double verticalLineB = 0.0001;
// A synthesized slider starts this far along its line behind the moving pivot.
constexpr double synthesizedSlide = 2.5;

P_Joint *asSlider(const std::unique_ptr<Joint> &j) { return static_cast<P_Joint *>(j.get()); }
} // namespace

PR::PR() {
    fixedJoint = std::make_unique<P_Joint>(fixedPivot, 0.0);
    movingJoint = std::make_unique<P_Joint>(movingPivot, 180.0);
}

PR::PR(const Point &p, double a_, double b_, double c_, double d_, double e_, int tag_,
       double g1, double g2, double g3, double g4, double g5)
    : a(a_), b(b_), c(c_), d(d_), e(e_), tag(tag_), g{g1, g2, g3, g4, g5} {
    name = QStringLiteral("PR");
    // The ground line is a*x + b*y + c/2 = 0.
    if (std::fabs(b) >= verticalLineB) {
        lineEquationSet = true;
        lineSlope = -a / b;
        lineIntercept = -c / (2.0 * b);
    }
    // Its direction, in (-90, 90]; b = 0 gives +-90 by the sign of -a. With a = b = 0 there is
    // no line: 0 keeps NaN out of the drawing.
    lineAngle = std::atan(-a / b) * 180.0 / PI;
    if (std::isnan(lineAngle))
        lineAngle = 0.0;
    assignXY(movingPivotLocal, d, e);
    const Point m = toFixedFrame(d, e, p);
    assignXY(movingPivot, m.x(), m.y());
    const double s = lineAngle * PI / 180.0;
    assignXY(fixedPivot, m.x() - synthesizedSlide * std::cos(s),
             m.y() - synthesizedSlide * std::sin(s));
    linkLength = fixedPivot.distance(movingPivot);
    linkAngle = directionDeg(fixedPivot, movingPivot);
    setPoseValues(p.x(), p.y(), p.z());
    assignXY(fixedPivotRef, fixedPivot.x(), fixedPivot.y());
    assignXY(movingPivotRef, movingPivot.x(), movingPivot.y());
    setLinkEnds();
    fixedJoint = std::make_unique<P_Joint>(fixedPivot, linkAngle);
    movingJoint = std::make_unique<P_Joint>(movingPivot, linkAngle + 180.0);
    // The surface numbers come in the polar convention of (g4, g5) itself, not negated.
    surface = makeSurface(g1, g2, g3, -g4, -g5);
}

PR::PR(double fx, double fy, double mx, double my, double x, double y, double thetaDeg) {
    name = QStringLiteral("PR");
    assignXY(fixedPivot, fx, fy);
    assignXY(movingPivot, mx, my);
    slideMean = linkLength = fixedPivot.distance(movingPivot);
    lineAngle = linkAngle = directionDeg(fixedPivot, movingPivot);
    setPoseValues(x, y, thetaDeg);
    assignXY(fixedPivotRef, fx, fy);
    assignXY(movingPivotRef, mx, my);
    slidePhase = 0.0;
    slideAmplitude = 5.0;
    setLinkEnds();
    fixedJoint = std::make_unique<P_Joint>(fixedPivot, lineAngle);
    movingJoint = std::make_unique<P_Joint>(movingPivot, lineAngle + 180.0);
}

PR::~PR() = default;

// ---- Geometry --------------------------------------------------------------------------------

void PR::placeJoints() {
    fixedJoint->setPosition(fixedPivot);
    movingJoint->setPosition(movingPivot);
    asSlider(fixedJoint)->setAngle(lineAngle);
    asSlider(movingJoint)->setAngle(lineAngle + 180.0);
}

void PR::setSlideMotion(double mean, double amplitude, double phaseDeg) {
    slideMean = mean;
    slideAmplitude = amplitude;
    slidePhase = phaseDeg;
}

void PR::refreshSurface() {
    if (!surface)
        surface = makeSurface(g[0], g[1], g[2], -g[3], -g[4]);
    surface->setInputs(a, b, c, d, e);
}

void PR::resetToReference() {
    assignXY(fixedPivot, fixedPivotRef.x(), fixedPivotRef.y());
    assignXY(movingPivot, movingPivotRef.x(), movingPivotRef.y());
    slidePhase = 0.0;
    setLinkEnds();
    placeJoints();
}

void PR::setPose(const Point &) {}

void PR::commitGeometry() {
    linkLength = fixedPivot.distance(movingPivot);
    // The slide follows the committed link; a slider sitting on its start keeps its line.
    if (linkLength > 0.0)
        linkAngle = lineAngle = directionDeg(fixedPivot, movingPivot);
    assignXY(fixedPivotRef, fixedPivot.x(), fixedPivot.y());
    assignXY(movingPivotRef, movingPivot.x(), movingPivot.y());
    setLinkEnds();
    placeJoints();
}

// The slider oscillates about slideMean along the ground line, stepAngle of phase per step.
void PR::step() {
    slidePhase += stepAngle;
    const double s = slideAmplitude * std::sin(slidePhase * PI / 180.0) + slideMean;
    const double t = lineAngle * PI / 180.0;
    assignXY(movingPivot, fixedPivot.x() + s * std::cos(t), fixedPivot.y() + s * std::sin(t));
    setLinkEnds();
    movingJoint->setPosition(movingPivot);
}

void PR::setConfiguration(double v, double) {
    const double t = linkAngle * PI / 180.0;
    assignXY(movingPivot, fixedPivot.x() + v * std::cos(t), fixedPivot.y() + v * std::sin(t));
    setLinkEnds();
    movingJoint->setPosition(movingPivot);
}

double PR::currentInput() const { return link.getLength(); }

double PR::pivotDirection() const { return directionDeg(fixedPivot, movingPivot); }

// linkLength stays the committed slider displacement: the mechanism drives the slider about it,
// so it must not become the distance to the coupler point.
void PR::updateLocalPivot(const Point &p) {
    const Point local = toMovingFrame(movingPivot, p);
    assignXY(movingPivotLocal, local.x(), local.y());
    surface = makeSurface(fixedPivot.x(), fixedPivot.y(), link.getLength(), local.x(), local.y());
}

// The ground line a1*x + a2*y + a3 = 0 with unit normal (a1, a2) = (-sin, cos)(lineAngle): the
// same numbers for a synthesized and a drawn slider, independent of the fit's scale.
QString PR::parameterName1() const { return QStringLiteral("a1"); }
QString PR::parameterName2() const { return QStringLiteral("a2"); }
QString PR::parameterName3() const { return QStringLiteral("a3"); }
QString PR::parameterName4() const {
    return QStringLiteral("Moving Pivot x co-ordinate wrt Moving frame");
}
QString PR::parameterName5() const {
    return QStringLiteral("Moving Pivot y co-ordinate wrt Moving frame");
}
double PR::parameter1() const { return -std::sin(lineAngle * PI / 180.0); }
double PR::parameter2() const { return std::cos(lineAngle * PI / 180.0); }
double PR::parameter3() const {
    return -(parameter1() * fixedPivot.x() + parameter2() * fixedPivot.y());
}
double PR::parameter4() const { return movingPivotLocal.x(); }
double PR::parameter5() const { return movingPivotLocal.y(); }

// ---- Drawing ---------------------------------------------------------------------------------

void PR::drawJoints() {
    link.draw();
    fixedJoint->draw();
    movingJoint->draw();
}

void PR::drawAtPose(const Point &p) {
    setMovingPivot(p);
    setPoseValues(p.x(), p.y(), p.dimension() > 2 ? p.z() : 0.0);
    R_Joint pin(movingPivot);
    P_Joint slider(movingPivot, lineAngle);
    const Link bar(Point(p.x(), p.y(), 0.0), movingPivot);
    bar.draw();
    slider.draw();
    pin.draw();
}

LinearDimension PR::lengthDimension() const {
    return LinearDimension(fixedPivot, movingPivot, link.getLength(), link.storedAngle(), 1.0,
                           unitLetter);
}

void PR::drawDimensions() const {
    lengthDimension().draw();
    AngularDimension sweep(fixedPivot, 0.6, std::min(0.0, lineAngle), std::max(0.0, lineAngle));
    sweep.draw();
}

// Track along the ground line, ground mark at its start, the slider block with its pin.
void PR::draw() {
    const Point mid = fixedPivot.midpoint(movingPivot);
    Rectangle2D track(mid, true, link.getLength() + 1.0, 0.08, lineAngle);
    track.draw();
    GroundSymbol ground(fixedPivot);
    ground.draw();
    Circle2D start(fixedPivot, true, 0.05);
    start.draw();
    drawLink();
    // The slider block, longer along the line than across it, carries the revolute pin.
    Rectangle2D slider(movingPivot, false, 0.5, 0.3, lineAngle);
    slider.setWhiteFill(true);
    slider.draw();
    R_Joint pin(movingPivot);
    pin.draw();
    if (showDimensions)
        drawDimensions();
}

namespace {
void drawSliderPreview(double x1, double y1, double x2, double y2) {
    const Point f(x1, y1, 0.0), m(x2, y2, 0.0);
    const Link bar(f, m);
    const double angle = bar.storedAngle();
    Rectangle2D(f.midpoint(m), true, bar.getLength() + 1.0, 0.08, angle).draw();
    bar.draw();
    P_Joint(m, angle).draw();
    Circle2D(f, false, R_Joint::pinRadius).draw();
    Circle2D(m, false, R_Joint::pinRadius).draw();
}
} // namespace

void PR::drawInputPreview(double x1, double y1, double x2, double y2) {
    drawSliderPreview(x1, y1, x2, y2);
}

void PR::drawInputPreviewFull(double x1, double y1, double x2, double y2, double) {
    drawSliderPreview(x1, y1, x2, y2);
    const double angle = std::atan2(y2 - y1, x2 - x1) * 180.0 / PI;
    previewLengthDimension(x1, y1, x2, y2).draw();
    AngularDimension(Point(x1, y1, 0.0), 0.6, std::min(0.0, angle), std::max(0.0, angle)).draw();
}

LinearDimension PR::previewLengthDimension(double x1, double y1, double x2, double y2) {
    const Point f(x1, y1, 0.0), m(x2, y2, 0.0);
    const double angle = std::atan2(y2 - y1, x2 - x1) * 180.0 / PI;
    return LinearDimension(f, m, f.distance(m), angle, 1.0, unitLetter);
}
