// Dyad: what every dyad shares: pivots, link, joints, pose frames and the default slots.
#include "Dyad.h"

#include "ConstraintSurface.h"
#include "Joint.h"
#include "ProcessValues.h"
#include "TextFileWriter.h"

#include <cmath>
#include <ostream>

Dyad::Dyad() = default;

Dyad::~Dyad() = default;

double Dyad::secondaryAngle() const { return 0.0; }

QString Dyad::getName() const { return name; }

void Dyad::setName(const QString &n) { name = n; }

void Dyad::setBlockAngle(double) {}

Point Dyad::movingPivotCopy() const { return movingPivot; }

double Dyad::getStepAngle() const { return stepAngle; }

void Dyad::setStepAngle(double a) { stepAngle = a; }

void Dyad::relocateFixedPivot(const Point &) {}

void Dyad::drawSurface(const Point &) {}

void Dyad::drawSurfaceAlways() {}

void Dyad::drawAtPose(const Point &) {}

void Dyad::writeParameters() const {
    const QString base = name.isEmpty() ? QStringLiteral("dyad") : name;
    TextFileWriter file(base + QStringLiteral(" parameters.txt"));
    std::ostream &out = file.stream();
    out << typeName().toStdString() << "\n";
    const double values[5] = {parameter1(), parameter2(), parameter3(), parameter4(),
                              parameter5()};
    const QString names[5] = {parameterName1(), parameterName2(), parameterName3(),
                              parameterName4(), parameterName5()};
    for (int i = 0; i < 5; ++i)
        out << names[i].toStdString() << ": " << values[i] << "\n";
}

// ---- Pivot editing ---------------------------------------------------------------------------

void Dyad::setMovingPivot(const Point &p) {
    assignXY(movingPivot, p.x(), p.y());
    setLinkEnds();
    if (movingJoint)
        movingJoint->setPosition(movingPivot);
}

void Dyad::setFixedPivot(const Point &p) {
    assignXY(fixedPivot, p.x(), p.y());
    setLinkEnds();
    if (fixedJoint)
        fixedJoint->setPosition(fixedPivot);
}

void Dyad::setPoseValues(double x, double y, double thetaDeg) {
    pose[0] = x;
    pose[1] = y;
    pose[2] = thetaDeg;
}

// ---- Frames and helpers ----------------------------------------------------------------------

void Dyad::assignXY(Point &dst, double x, double y) {
    dst[0] = x;
    dst[1] = y;
}

double Dyad::directionDeg(const Point &a, const Point &b) {
    return std::atan2(b.y() - a.y(), b.x() - a.x()) * 180.0 / PI;
}

// The inverse rotation of the pose applied to the offset from the pose's origin.
Point Dyad::toMovingFrame(const Point &p, const Point &pose) {
    const double th = pose.z() * PI / 180.0;
    const double s = std::sin(th), c = std::cos(th);
    const double dx = p.x() - pose.x(), dy = p.y() - pose.y();
    return Point(c * dx + s * dy, c * dy - s * dx, 0.0);
}

Point Dyad::toFixedFrame(double d, double e, const Point &pose) {
    const double th = pose.z() * PI / 180.0;
    const double s = std::sin(th), c = std::cos(th);
    return Point(c * d - s * e + pose.x(), s * d + c * e + pose.y(), 0.0);
}

// The textbook form is phi = arccos(u/r), negated when v >= 0, for (u, v) = -(d, e). That is
// phi = -atan2(v, u) with v = 0 counted as positive (so u < 0, v = 0 gives -pi); atan2 has no
// rounding trouble near u/r = +-1. A pivot at the frame's origin has no direction: phi = 0.
void Dyad::surfacePolar(double d, double e, double &r, double &phi) {
    const double u = -d;
    const double v = (e == 0.0) ? 0.0 : -e;   // -0.0 would flip atan2 to +pi
    r = std::sqrt(u * u + v * v);
    phi = r > 0.0 ? -std::atan2(v, u) : 0.0;
}

std::unique_ptr<ConstraintSurface> Dyad::makeSurface(double a, double b, double R, double d,
                                                     double e) {
    double r = 0.0, phi = 0.0;
    surfacePolar(d, e, r, phi);
    return std::make_unique<ConstraintSurface>(static_cast<float>(a), static_cast<float>(b),
                                               static_cast<float>(R), static_cast<float>(r),
                                               static_cast<float>(phi));
}

void Dyad::setLinkEnds() { link.setEnds(fixedPivot, movingPivot); }

void Dyad::drawLink() const {
    if (highlighted)
        link.drawHighlighted();
    else
        link.draw();
}

void Dyad::drawSurfaceIfAny() const {
    if (surface)
        surface->draw();
}
