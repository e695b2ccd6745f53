// RP: a block turning about a ground pivot with a line of the moving body sliding through it;
// geometry, then drawing.
#include "RP.h"

#include "ConstraintSurface.h"
#include "GroundSymbol.h"
#include "Line.h"
#include "P_Joint.h"
#include "ProcessValues.h"
#include "R_Joint.h"
#include "Rectangle2D.h"
#include "Tolerances.h"

#include <cmath>

namespace {
P_Joint *asSlider(const std::unique_ptr<Joint> &j) { return static_cast<P_Joint *>(j.get()); }
// Half-length of the moving line drawn through the block.
constexpr double drawnLineHalf = 1.5;
} // namespace

RP::RP()
    : groundSymbol(std::make_unique<GroundSymbol>(Point(0.0, 0.0, 0.0), 0.4)) {
    fixedJoint = std::make_unique<R_Joint>(fixedPivot);
    movingJoint = std::make_unique<P_Joint>(movingPivot, 0.0);
}

RP::RP(const Point &p, double fx_, double fy_, double l1_, double l2_, double l3_, double)
    : fx(fx_), fy(fy_), l1(l1_), l2(l2_), l3(l3_) {
    name = QStringLiteral("RP");
    // The moving line seen in the fixed frame at the pose: normal (A, B) = R(theta)(l1, l2).
    const double th = p.z() * PI / 180.0;
    const double s = std::sin(th), c = std::cos(th);
    A = c * l1 - s * l2;
    B = s * l1 + c * l2;
    C = (p.x() * s - p.y() * c) * l2 + l3 + (-c * p.x() - s * p.y()) * l1;
    // The line's direction (B, -A), in degrees; its normal (A, B) is blockAngle + 90, which is
    // where the short handle to the moving pivot points.
    blockAngle = std::atan2(-A, B) * 180.0 / PI;
    assignXY(fixedPivot, fx, fy);
    setPoseValues(p.x(), p.y(), p.z());
    placeHandle(synthesizedHandle);
    linkAngle = blockAngle;
    linkLength = fixedPivot.distance(movingPivot);
    groundSymbol = std::make_unique<GroundSymbol>(fixedPivot);
    fixedJoint = std::make_unique<R_Joint>(fixedPivot);
    movingJoint = std::make_unique<P_Joint>(movingPivot, blockAngle);
    commitReference();
    setLinkEnds();
}

RP::RP(double p1, double p2, double p3, double p4, double p5, double p6, double) {
    name = QStringLiteral("RP");
    assignXY(fixedPivot, p1, p2);
    fx = p1;
    fy = p2;
    // Slope of the line to the moving frame's origin; a vertical one has none (kept 0).
    lineSlope = (p5 != p1) ? (p6 - p2) / (p5 - p1) : 0.0;
    blockAngle = std::atan2(p4 - p2, p3 - p1) * 180.0 / PI;
    placeHandle(drawnHandle);
    setPoseValues(p3, p4, 0.0);
    linkAngle = blockAngle;
    linkLength = std::hypot(p5 - p1, p6 - p2);
    groundSymbol = std::make_unique<GroundSymbol>(fixedPivot);
    fixedJoint = std::make_unique<R_Joint>(fixedPivot);
    movingJoint = std::make_unique<P_Joint>(movingPivot, blockAngle);
    commitReference();
    setLinkEnds();
    userInput = true;
}

RP::~RP() = default;

// ---- Geometry --------------------------------------------------------------------------------

// The moving pivot: length along the line's normal, blockAngle + 90, from the fixed pivot.
void RP::placeHandle(double length) {
    const double n = (blockAngle + 90.0) * PI / 180.0;
    assignXY(movingPivot, fixedPivot.x() + length * std::cos(n),
             fixedPivot.y() + length * std::sin(n));
}

void RP::commitReference() {
    assignXY(fixedPivotRef, fixedPivot.x(), fixedPivot.y());
    assignXY(movingPivotRef, movingPivot.x(), movingPivot.y());
    blockAngleRef = blockAngle;
}

void RP::placeJoints() {
    setLinkEnds();
    groundSymbol->setPosition(fixedPivot);
    fixedJoint->setPosition(fixedPivot);
    movingJoint->setPosition(movingPivot);
    asSlider(movingJoint)->setAngle(blockAngle);
}

void RP::refreshSurface() {}

void RP::resetToReference() {
    assignXY(fixedPivot, fixedPivotRef.x(), fixedPivotRef.y());
    assignXY(movingPivot, movingPivotRef.x(), movingPivotRef.y());
    blockAngle = blockAngleRef;
    placeJoints();
}

// The line through the block at the fixed pivot along blockAngle (the pivots only hold it to
// 1e-4, too short a handle to read a direction from to full precision; commitGeometry keeps
// blockAngle in step with them), written with the scale of the line the dyad already has (so
// parameters survive a round trip) and taken into the moving frame of the pose: the exact
// inverse of the constructor's map.
void RP::setPose(const Point &p) {
    const double n = (blockAngle + 90.0) * PI / 180.0;
    const double nx = std::cos(n), ny = std::sin(n);
    double scale = std::hypot(l1, l2);
    const double c0 = -(nx * fixedPivot.x() + ny * fixedPivot.y());
    // A drawn dyad has no line yet: scale it to a constant term of 1 where that exists.
    if (!(scale > 0.0))
        scale = std::fabs(c0) > tol::zeroLength ? 1.0 / c0 : 1.0;
    A = scale * nx;
    B = scale * ny;
    C = scale * c0;
    lineToMovingFrame(p);
}

void RP::lineToMovingFrame(const Point &p) {
    const double th = p.z() * PI / 180.0;
    const double s = std::sin(th), c = std::cos(th);
    l1 = c * A + s * B;
    l2 = -s * A + c * B;
    l3 = C + A * p.x() + B * p.y();
}

void RP::commitGeometry() {
    linkLength = fixedPivot.distance(movingPivot);
    linkAngle = directionDeg(fixedPivot, movingPivot);
    // The block follows the pivots: the line is perpendicular to fixed -> moving pivot.
    if (linkLength > 0.0)
        blockAngle = linkAngle - 90.0;
    commitReference();
    placeJoints();
}

// The block turns clockwise; the handle and with it the line's normal turn along.
void RP::step() {
    blockAngle -= stepAngle;
    placeHandle(fixedPivot.distance(movingPivot));
    placeJoints();
}

void RP::setConfiguration(double v, double w) {
    const double t = v * PI / 180.0;
    assignXY(movingPivot, fixedPivot.x() + w * std::cos(t), fixedPivot.y() + w * std::sin(t));
    blockAngle = v - 90.0;
    setLinkEnds();
    movingJoint->setPosition(movingPivot);
    asSlider(movingJoint)->setAngle(blockAngle);
}

double RP::currentInput() const { return blockAngle; }

double RP::secondaryAngle() const { return directionDeg(fixedPivot, movingPivot); }

double RP::pivotDirection() const { return directionDeg(fixedPivot, pose); }

void RP::setBlockAngle(double angleDeg) {
    blockAngle = angleDeg;
    const double len = fixedPivot.distance(movingPivot);
    placeHandle(len > 0.0 ? len : synthesizedHandle);
    setLinkEnds();
    movingJoint->setPosition(movingPivot);
    asSlider(movingJoint)->setAngle(blockAngle);
}

// The surface is only kept for the image view; linkLength stays the committed handle length.
void RP::updateLocalPivot(const Point &p) {
    const Point local = toMovingFrame(movingPivot, p);
    fixedPivotLocalX = local.x();
    fixedPivotLocalY = local.y();
    assignXY(movingPivotLocal, local.x(), local.y());
    surface = makeSurface(fixedPivot.x(), fixedPivot.y(), link.getLength(), local.x(), local.y());
}

// The handle travels with the pivot, so the line keeps its direction.
void RP::relocateFixedPivot(const Point &p) {
    const double hx = movingPivot.x() - fixedPivot.x(), hy = movingPivot.y() - fixedPivot.y();
    setFixedPivot(p);
    setMovingPivot(Point(p.x() + hx, p.y() + hy, 0.0));
    groundSymbol->setPosition(fixedPivot);
}

QString RP::parameterName1() const {
    return QStringLiteral("Fixed Pivot x co-ordinate wrt fixed frame");
}
QString RP::parameterName2() const {
    return QStringLiteral("Fixed Pivot y co-ordinate wrt fixed frame");
}
QString RP::parameterName3() const {
    return QStringLiteral("line co-ordinate l1 wrt moving frame");
}
QString RP::parameterName4() const {
    return QStringLiteral("line co-ordinate l2 wrt moving frame");
}
QString RP::parameterName5() const {
    return QStringLiteral("line co-ordinate l3 wrt moving frame");
}
double RP::parameter1() const { return fixedPivot.x(); }
double RP::parameter2() const { return fixedPivot.y(); }
double RP::parameter3() const { return l1; }
double RP::parameter4() const { return l2; }
double RP::parameter5() const { return l3; }

// ---- Drawing ---------------------------------------------------------------------------------

void RP::drawJoints() {
    link.draw();
    fixedJoint->draw();
    movingJoint->draw();
}

// The block at the fixed pivot and the line from it to the pose's point; the handle stays.
void RP::drawAtPose(const Point &p) {
    setPoseValues(p.x(), p.y(), p.dimension() > 2 ? p.z() : 0.0);
    P_Joint block(fixedPivot, blockAngle);
    block.draw();
    Line toPose(fixedPivot, Point(p.x(), p.y(), 0.0));
    toPose.draw();
    R_Joint pin(fixedPivot);
    pin.draw();
}

namespace {
// The moving line through the block: two segments from the middle of the pivots.
void drawSlidingLine(const Point &mid, double angleDeg) {
    const double t = angleDeg * PI / 180.0;
    const double dx = drawnLineHalf * std::cos(t), dy = drawnLineHalf * std::sin(t);
    Line(mid, Point(mid.x() + dx, mid.y() + dy, 0.0)).draw();
    Line(mid, Point(mid.x() - dx, mid.y() - dy, 0.0)).draw();
}

// A block 0.5 along the line and 0.3 across, white with a black rim.
void drawBlock(const Point &centre, double angleDeg) {
    Rectangle2D block(centre, false, 0.5, 0.3, angleDeg);
    block.setWhiteFill(true);
    block.draw();
}
} // namespace

void RP::draw() {
    GroundSymbol ground(fixedPivot);
    ground.draw();
    drawSlidingLine(fixedPivot.midpoint(movingPivot), blockAngle);
    drawBlock(fixedPivot, blockAngle);
    drawLink();
    R_Joint pin(fixedPivot);
    pin.draw();
}

void RP::drawInputPreview(double x1, double y1, double x2, double y2) {
    const Point f(x1, y1, 0.0), m(x2, y2, 0.0);
    const double angle = std::atan2(y2 - y1, x2 - x1) * 180.0 / PI;
    Line(f, m).draw();
    drawBlock(f, angle);
    R_Joint(f).draw();
}

void RP::drawInputPreviewFull(double x1, double y1, double x2, double y2, double) {
    drawInputPreview(x1, y1, x2, y2);
    R_Joint(Point(x2, y2, 0.0)).draw();
}
