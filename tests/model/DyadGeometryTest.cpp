// Dyad geometry without a display: pivots at the built pose, pose round trips, stepping, resets.
#include "ConstraintSurface.h"
#include "Link.h"
#include "PR.h"
#include "RP.h"
#include "RR.h"

#include <QtTest>
#include "TestSupport.h"
#include <cmath>
#include <memory>

namespace {
const double pi = std::acos(-1.0);
double rad(double deg) { return deg * pi / 180.0; }
double deg(double r) { return r * 180.0 / pi; }

// A point fixed in the moving frame seen from the fixed frame: R(theta) * local + origin.
void fixedFromMoving(double x, double y, double thDeg, double lx, double ly, double &gx,
                     double &gy) {
    gx = std::cos(rad(thDeg)) * lx - std::sin(rad(thDeg)) * ly + x;
    gy = std::sin(rad(thDeg)) * lx + std::cos(rad(thDeg)) * ly + y;
}

// The inverse: R(-theta) * (point - origin).
void movingFromFixed(double x, double y, double thDeg, double gx, double gy, double &lx,
                     double &ly) {
    const double dx = gx - x, dy = gy - y;
    lx = std::cos(rad(thDeg)) * dx + std::sin(rad(thDeg)) * dy;
    ly = -std::sin(rad(thDeg)) * dx + std::cos(rad(thDeg)) * dy;
}

// Angle difference folded into (-180, 180].
double angleGap(double a, double b) {
    double d = std::fmod(a - b, 360.0);
    if (d > 180.0)
        d -= 360.0;
    if (d <= -180.0)
        d += 360.0;
    return d;
}

// Distance of (px, py) from the line through (qx, qy) with direction angle dirDeg.
double distanceToLine(double px, double py, double qx, double qy, double dirDeg) {
    return std::fabs(-(px - qx) * std::sin(rad(dirDeg)) + (py - qy) * std::cos(rad(dirDeg)));
}

const double tight = 1e-12;

// A dyad as the user draws it from its fixed and moving pivot.
std::unique_ptr<Dyad> drawn(const QString &kind, double fx, double fy, double mx, double my) {
    if (kind == QLatin1String("RR"))
        return std::make_unique<RR>(fx, fy, mx, my, 0.0, 0.0, 0.0);
    if (kind == QLatin1String("PR"))
        return std::make_unique<PR>(fx, fy, mx, my, 0.0, 0.0, 0.0);
    return std::make_unique<RP>(fx, fy, mx, my, 4.0, 5.0, 0.0);  // frame at (4, 5)
}
} // namespace

class DyadGeometryTest : public QObject {
    Q_OBJECT
private slots:
    void resetToReferenceRestoresThePivotsExactly_data();
    void resetToReferenceRestoresThePivotsExactly();
    void setConfigurationPlacesTheMovingPivot_data();
    void setConfigurationPlacesTheMovingPivot();

    void rrBuiltForAPoseReproducesItsPivots_data();
    void rrBuiltForAPoseReproducesItsPivots();
    void rrStepTurnsTheCrankClockwiseAtConstantLength();
    void rrSetPoseElsewhereAndBackRestoresItsParameters();
    void rrUpdateLocalPivotKeepsTheCrankRadius();
    void rrSurfacePointsMapToPosesOnTheCrankCircle_data();
    void rrSurfacePointsMapToPosesOnTheCrankCircle();

    void prBuiltForAPosePutsItsSliderOnTheGroundLine_data();
    void prBuiltForAPosePutsItsSliderOnTheGroundLine();
    void prStepKeepsTheMovingPivotOnTheGroundLine();
    void prUpdateLocalPivotKeepsTheSlideDisplacement();

    void rpBuiltForAPoseHoldsItsLineThroughTheFixedPivot_data();
    void rpBuiltForAPoseHoldsItsLineThroughTheFixedPivot();
    void rpSetPoseElsewhereAndBackRestoresItsParameters();
    void rpStepKeepsTheFixedPivotOnTheMovingLine();

};

// Stepping and a new configuration move every kind of dyad; the reset must put back the exact
// pivots (and an RP's block angle) it was built with, not an approximation from stepping back.
void DyadGeometryTest::resetToReferenceRestoresThePivotsExactly_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("RR") << "RR";
    QTest::newRow("PR") << "PR";
    QTest::newRow("RP") << "RP";
}

void DyadGeometryTest::resetToReferenceRestoresThePivotsExactly() {
    QFETCH(QString, kind);
    std::unique_ptr<Dyad> d;
    if (kind == QLatin1String("RR"))
        d = std::make_unique<RR>(Point(1.0, 2.0, 30.0), -1.0, 0.5, 0.0, 1.5, -0.5, 0);
    else
        d = drawn(kind, 0.5, 0.25, 2.0, 1.75);
    const Point m0 = d->movingPivotCopy(), f0 = d->fixedPivotCopy();
    const double angle0 = d->secondaryAngle();
    for (int k = 0; k < 9; ++k)
        d->step();
    d->setConfiguration(12.0, 2.0);
    QVERIFY(d->movingPivotCopy().distance(m0) > 0.01);
    d->resetToReference();
    QCOMPARE(d->movingPivotCopy().x(), m0.x());
    QCOMPARE(d->movingPivotCopy().y(), m0.y());
    QCOMPARE(d->fixedPivotCopy().x(), f0.x());
    QCOMPARE(d->fixedPivotCopy().y(), f0.y());
    QCOMPARE(d->secondaryAngle(), angle0);
    QCOMPARE(d->getLink().endPoint().x(), m0.x());
}

// A crank turns to the input angle, a slider slides its signed distance along its line, and
// an RP's moving pivot goes the second value along the input direction (worked out by hand).
void DyadGeometryTest::setConfigurationPlacesTheMovingPivot_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<double>("input");
    QTest::addColumn<double>("second");
    QTest::addColumn<double>("wantX");
    QTest::addColumn<double>("wantY");
    QTest::addColumn<double>("wantInput");
    QTest::newRow("RR, radius 5 at 90") << "RR" << 90.0 << 123.0 << 1.0 << 6.0 << 90.0;
    QTest::newRow("PR, vertical, -4") << "PR" << -4.0 << 99.0 << 1.0 << -3.0 << 4.0;
    QTest::newRow("RP, 2 at 30") << "RP" << 30.0 << 2.0 << 1.0 + std::sqrt(3.0) << 2.0 << 30.0;
}

void DyadGeometryTest::setConfigurationPlacesTheMovingPivot() {
    QFETCH(QString, kind);
    QFETCH(double, input);
    QFETCH(double, second);
    QFETCH(double, wantX);
    QFETCH(double, wantY);
    QFETCH(double, wantInput);
    const std::unique_ptr<Dyad> d = kind == QLatin1String("RR") ? drawn(kind, 1.0, 1.0, 4.0, 5.0)
                                    : kind == QLatin1String("PR") ? drawn(kind, 1.0, 1.0, 1.0, 3.0)
                                                                  : drawn(kind, 1.0, 1.0, 2.0, 2.0);
    d->setConfiguration(input, second);
    QVERIFY(std::fabs(d->movingPivotCopy().x() - wantX) < 1e-12);
    QVERIFY(std::fabs(d->movingPivotCopy().y() - wantY) < 1e-12);
    if (kind != QLatin1String("RP"))
        QVERIFY(std::fabs(d->currentInput() - wantInput) < 1e-12);
    else
        QVERIFY(std::fabs(d->secondaryAngle() - wantInput) < 1e-12);
}

void DyadGeometryTest::rrBuiltForAPoseReproducesItsPivots_data() {
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("th");
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<double>("d");
    QTest::addColumn<double>("e");
    QTest::newRow("general pose") << 3.5 << -1.25 << 37.0 << -2.0 << 4.0 << 0.75 << -1.5;
    QTest::newRow("negative angle") << -6.0 << 2.0 << -150.0 << 1.0 << 1.0 << -0.3 << 2.2;
    QTest::newRow("far from origin") << 105.0 << 48.0 << 200.0 << 98.0 << 55.0 << 3.0 << 1.0;
}

void DyadGeometryTest::rrBuiltForAPoseReproducesItsPivots() {
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, th);
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(double, d);
    QFETCH(double, e);
    double mx, my;
    fixedFromMoving(x, y, th, d, e, mx, my);
    const double R = std::hypot(mx - a, my - b);
    RR rr(Point(x, y, th), a, b, R, d, e, 0);
    QVERIFY(std::fabs(rr.movingPivotCopy().x() - mx) < tight * (1 + std::fabs(mx)));
    QVERIFY(std::fabs(rr.movingPivotCopy().y() - my) < tight * (1 + std::fabs(my)));
    QVERIFY(std::fabs(rr.parameter5() - R) < tight * (1 + R));
    QVERIFY(std::fabs(rr.getLinkLength() - R) < tight * (1 + R));
    QVERIFY(std::fabs(angleGap(rr.getLinkAngle(), deg(std::atan2(my - b, mx - a)))) < 1e-9);
}

void DyadGeometryTest::rrStepTurnsTheCrankClockwiseAtConstantLength() {
    RR rr(Point(1.0, 2.0, 30.0), -1.0, 0.5, 0.0, 1.5, -0.5, 0);
    const Point f = rr.fixedPivotCopy();
    const double r0 = f.distance(rr.movingPivotCopy());
    double previous = rr.getCrankAngle();
    for (int k = 0; k < 200; ++k) {
        rr.step();
        const Point m = rr.movingPivotCopy();
        QVERIFY(std::fabs(f.distance(m) - r0) < 1e-12 * (1 + r0));
        const double now = deg(std::atan2(m.y() - f.y(), m.x() - f.x()));
        QVERIFY(std::fabs(angleGap(now, previous) + 2.5) < 1e-9);
        previous = now;
    }
    QVERIFY(std::fabs(rr.getCrankAngle() - (rr.getLinkAngle() - 500.0)) < 1e-9);
}

void DyadGeometryTest::rrSetPoseElsewhereAndBackRestoresItsParameters() {
    const double x0 = 2.0, y0 = -1.0, th0 = 25.0, a = -3.0, b = 1.0, d = 0.8, e = 1.3;
    RR rr(Point(x0, y0, th0), a, b, 0.0, d, e, 0);
    double p[5] = {rr.parameter1(), rr.parameter2(), rr.parameter3(), rr.parameter4(),
                   rr.parameter5()};
    // At another pose the moving pivot is the same fixed-frame point seen from a new frame.
    const double x1 = -4.0, y1 = 3.0, th1 = -110.0;
    rr.setPose(Point(x1, y1, th1));
    double mx, my, lx, ly;
    fixedFromMoving(x0, y0, th0, d, e, mx, my);
    movingFromFixed(x1, y1, th1, mx, my, lx, ly);
    QVERIFY(std::fabs(rr.parameter3() - lx) < 1e-12);
    QVERIFY(std::fabs(rr.parameter4() - ly) < 1e-12);
    QVERIFY(std::fabs(rr.parameter5() - p[4]) < 1e-12);
    rr.setPose(Point(x0, y0, th0));
    const double q[5] = {rr.parameter1(), rr.parameter2(), rr.parameter3(), rr.parameter4(),
                         rr.parameter5()};
    for (int i = 0; i < 5; ++i)
        QVERIFY2(std::fabs(q[i] - p[i]) < 1e-12, qPrintable(QString::number(i)));
}

void DyadGeometryTest::rrUpdateLocalPivotKeepsTheCrankRadius() {
    // Regression: the coupler pose's distance to the moving pivot replaced the crank radius,
    // so stepping after a mechanism was formed put the pivot off its circle.
    RR rr(Point(0.0, 0.0, 0.0), 0.0, 0.0, 0.0, 2.0, 0.0, 0);
    rr.updateLocalPivot(Point(7.0, 5.0, 40.0));
    QCOMPARE(rr.getCrankLength(), 2.0);
    QCOMPARE(rr.getLinkLength(), 2.0);
    rr.step();
    QVERIFY(std::fabs(rr.movingPivotCopy().distance(Point(0.0, 0.0, 0.0)) - 2.0) < tight);
}

void DyadGeometryTest::rrSurfacePointsMapToPosesOnTheCrankCircle_data() {
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<double>("R");
    QTest::addColumn<double>("d");
    QTest::addColumn<double>("e");
    QTest::newRow("general") << 1.3 << -0.7 << 2.1 << 0.4 << 0.9;
    QTest::newRow("pivot on the positive x axis") << -2.0 << 1.0 << 3.0 << 2.0 << 0.0;
    QTest::newRow("pivot at the frame origin") << 2.0 << 3.0 << 2.5 << 0.0 << 0.0;
}

// The surface of an RR with fixed pivot (a, b), radius R and moving-frame pivot (d, e) must be
// the image of every pose that keeps the moving pivot on the circle of radius R about (a, b).
void DyadGeometryTest::rrSurfacePointsMapToPosesOnTheCrankCircle() {
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(double, R);
    QFETCH(double, d);
    QFETCH(double, e);
    RR rr(Point(0.0, 0.0, 0.0), a, b, R, d, e, 0);
    const ConstraintSurface *s = rr.getSurface();
    QVERIFY(s != nullptr);
    for (double t = -2.0; t <= 2.0; t += 0.25) {
        for (int j = 0; j < 12; ++j) {
            const Point xyz = s->pointAt(t, 2.0 * pi * j / 12.0);
            Point image(4);
            image[0] = xyz.x();
            image[1] = xyz.y();
            image[2] = xyz.z();
            image[3] = 1.0;
            const Point p = toCartesian(image);   // theta in radians
            double mx, my;
            fixedFromMoving(p.x(), p.y(), deg(p.z()), d, e, mx, my);
            // The surface is built from single-precision numbers.
            QVERIFY2(std::fabs(std::hypot(mx - a, my - b) - R) < 2e-5 * (1.0 + R),
                     qPrintable(QString("t %1 j %2").arg(t).arg(j)));
        }
    }
}

void DyadGeometryTest::prBuiltForAPosePutsItsSliderOnTheGroundLine_data() {
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("th");
    QTest::addColumn<double>("d");
    QTest::addColumn<double>("e");
    QTest::addColumn<double>("sigma");   // ground line direction, degrees
    QTest::addColumn<double>("scale");   // the fit's arbitrary scale of (a, b, c)
    QTest::newRow("shallow line") << 1.0 << 2.0 << 20.0 << 0.5 << -1.0 << 15.0 << 1.0;
    QTest::newRow("steep line, negative scale") << -3.0 << 0.5 << -75.0 << 1.5 << 0.2 << 70.0
                                                << -3.5;
    QTest::newRow("falling line") << 4.0 << -2.0 << 160.0 << -0.7 << 0.9 << -40.0 << 0.01;
}

void DyadGeometryTest::prBuiltForAPosePutsItsSliderOnTheGroundLine() {
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, th);
    QFETCH(double, d);
    QFETCH(double, e);
    QFETCH(double, sigma);
    QFETCH(double, scale);
    double mx, my;
    fixedFromMoving(x, y, th, d, e, mx, my);
    // The ground line a x + b y + c/2 = 0 through the moving pivot with direction sigma.
    const double a = -std::sin(rad(sigma)) * scale, b = std::cos(rad(sigma)) * scale;
    const double c = -2.0 * (a * mx + b * my);
    PR pr(Point(x, y, th), a, b, c, d, e, 0, 0.0, 0.0, 0.0, 0.0, 0.0);
    const Point m = pr.movingPivotCopy(), f = pr.fixedPivotCopy();
    QVERIFY(std::fabs(m.x() - mx) < tight * 10 && std::fabs(m.y() - my) < tight * 10);
    QVERIFY(std::fabs(a * f.x() + b * f.y() + c / 2.0) < 1e-12 * (1 + std::fabs(scale) * 10));
    QVERIFY(std::fabs(pr.getLinkLength() - 2.5) < tight * 10);
    QVERIFY(std::fabs(angleGap(pr.getLineAngle(), sigma)) < 1e-9);
    QVERIFY(pr.hasLineEquation());
    QVERIFY(std::fabs(pr.getLineSlope() - std::tan(rad(sigma))) < 1e-9);
    QVERIFY(std::fabs(pr.getLineSlope() * mx + pr.getLineIntercept() - my) < 1e-9);
}

void DyadGeometryTest::prStepKeepsTheMovingPivotOnTheGroundLine() {
    PR pr(1.0, -1.0, 4.0, 3.0, 0.0, 0.0, 0.0);   // slide 5 along 3-4-5 direction
    QCOMPARE(pr.getSlideMean(), 5.0);
    QCOMPARE(pr.getSlideAmplitude(), 5.0);
    const double sigma = deg(std::atan2(4.0, 3.0));
    for (int k = 1; k <= 150; ++k) {
        pr.step();
        const Point m = pr.movingPivotCopy();
        QVERIFY(distanceToLine(m.x(), m.y(), 1.0, -1.0, sigma) < 1e-12);
        const double s = 5.0 + 5.0 * std::sin(rad(2.5 * k));
        QVERIFY(std::fabs(std::hypot(m.x() - 1.0, m.y() + 1.0) - std::fabs(s)) < 1e-12);
        QVERIFY(std::fabs(pr.currentInput() - std::fabs(s)) < 1e-12);
    }
}

void DyadGeometryTest::prUpdateLocalPivotKeepsTheSlideDisplacement() {
    // Regression: updateLocalPivot overwrote linkLength (the slider displacement the mechanism
    // oscillates about) with the distance from the coupler pose to the moving pivot.
    PR pr(0.0, 0.0, 3.0, 0.0, 0.0, 0.0, 0.0);
    pr.updateLocalPivot(Point(10.0, 10.0, 30.0));
    QCOMPARE(pr.getLinkLength(), 3.0);
    double lx, ly;
    movingFromFixed(10.0, 10.0, 30.0, 3.0, 0.0, lx, ly);
    QVERIFY(std::fabs(pr.parameter4() - lx) < tight * 10);
    QVERIFY(std::fabs(pr.parameter5() - ly) < tight * 10);
    QVERIFY(pr.getSurface() != nullptr);
}

namespace {
// The moving-frame coefficients of the line through the fixed pivot (fx, fy) with direction
// lineDeg at the pose (x, y, th), scaled by k: two points of the line taken into the frame.
void movingLineThrough(double x, double y, double th, double fx, double fy, double lineDeg,
                       double k, double &l1, double &l2, double &l3) {
    double p1x, p1y, p2x, p2y;
    movingFromFixed(x, y, th, fx, fy, p1x, p1y);
    movingFromFixed(x, y, th, fx + std::cos(rad(lineDeg)), fy + std::sin(rad(lineDeg)), p2x,
                    p2y);
    // Normal (-dy, dx) of the local direction.
    l1 = -(p2y - p1y) * k;
    l2 = (p2x - p1x) * k;
    l3 = -(l1 * p1x + l2 * p1y);
}
} // namespace

void DyadGeometryTest::rpBuiltForAPoseHoldsItsLineThroughTheFixedPivot_data() {
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("th");
    QTest::addColumn<double>("fx");
    QTest::addColumn<double>("fy");
    QTest::addColumn<double>("lineDeg");
    QTest::addColumn<double>("k");
    QTest::newRow("general") << 1.0 << 2.0 << 35.0 << -1.5 << 0.5 << 20.0 << 1.0;
    QTest::newRow("scaled and turned") << -2.0 << 4.0 << -120.0 << 3.0 << -2.0 << 110.0 << -7.5;
    QTest::newRow("vertical line") << 5.0 << 5.0 << 90.0 << 0.0 << 2.0 << 90.0 << 0.3;
}

void DyadGeometryTest::rpBuiltForAPoseHoldsItsLineThroughTheFixedPivot() {
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, th);
    QFETCH(double, fx);
    QFETCH(double, fy);
    QFETCH(double, lineDeg);
    QFETCH(double, k);
    double l1, l2, l3;
    movingLineThrough(x, y, th, fx, fy, lineDeg, k, l1, l2, l3);
    RP rp(Point(x, y, th), fx, fy, l1, l2, l3, 0.0);
    // The fixed-frame line passes through the fixed pivot.
    QVERIFY(std::fabs(rp.getLineA() * fx + rp.getLineB() * fy + rp.getLineC()) <
            1e-12 * (1 + std::fabs(k)) * 10);
    // The block (degrees) runs along the line, the handle 0.0001 across it.
    QVERIFY(std::fabs(std::sin(rad(rp.getBlockAngle() - lineDeg))) < 1e-12);
    const Point m = rp.movingPivotCopy();
    QVERIFY(std::fabs(m.distance(rp.fixedPivotCopy()) - 0.0001) < 1e-15);
    QVERIFY(distanceToLine(m.x(), m.y(), fx, fy, lineDeg) > 0.0001 * (1 - 1e-9));
    QVERIFY(std::fabs(std::cos(rad(rp.secondaryAngle() - lineDeg))) < 1e-9);
    QVERIFY(std::fabs(angleGap(rp.getLinkAngle(), rp.getBlockAngle())) < 1e-12);
}

void DyadGeometryTest::rpSetPoseElsewhereAndBackRestoresItsParameters() {
    const double x0 = 1.0, y0 = -2.0, th0 = 50.0, fx = 2.0, fy = 3.0;
    double l1, l2, l3;
    movingLineThrough(x0, y0, th0, fx, fy, 65.0, 4.0, l1, l2, l3);
    RP rp(Point(x0, y0, th0), fx, fy, l1, l2, l3, 0.0);
    const double x1 = -3.0, y1 = 1.0, th1 = -20.0;
    rp.setPose(Point(x1, y1, th1));
    // At the other pose the line still holds the fixed pivot, in that pose's frame.
    double px, py;
    movingFromFixed(x1, y1, th1, fx, fy, px, py);
    QVERIFY(std::fabs(rp.getL1() * px + rp.getL2() * py + rp.getL3()) < 1e-12 * 10);
    QVERIFY(std::fabs(std::hypot(rp.getL1(), rp.getL2()) - 4.0) < 1e-12 * 4);
    rp.setPose(Point(x0, y0, th0));
    QVERIFY(std::fabs(rp.getL1() - l1) < 1e-12 * 4);
    QVERIFY(std::fabs(rp.getL2() - l2) < 1e-12 * 4);
    QVERIFY(std::fabs(rp.getL3() - l3) < 1e-12 * (1 + std::fabs(l3)));
}

void DyadGeometryTest::rpStepKeepsTheFixedPivotOnTheMovingLine() {
    RP rp(0.0, 0.0, 3.0, 0.0, 3.0, 0.0, 0.0);   // drawn: line along +x through the origin
    const double handle = rp.fixedPivotCopy().distance(rp.movingPivotCopy());
    for (int k = 1; k <= 100; ++k) {
        rp.step();
        QVERIFY(std::fabs(rp.getBlockAngle() - (-2.5 * k)) < 1e-9);
        const Point m = rp.movingPivotCopy(), f = rp.fixedPivotCopy();
        QVERIFY(std::fabs(m.distance(f) - handle) < 1e-15);
        // The line (through the block, perpendicular to the handle) holds the fixed pivot; the
        // handle stays square to it.
        QVERIFY(std::fabs(std::cos(rad(rp.secondaryAngle() - rp.getBlockAngle()))) < 1e-9);
        rp.setPose(Point(1.0, 1.0, 10.0 * k));
        double px, py;
        movingFromFixed(1.0, 1.0, 10.0 * k, f.x(), f.y(), px, py);
        QVERIFY(std::fabs(rp.getL1() * px + rp.getL2() * py + rp.getL3()) < 1e-9);
    }
}

MS_REGISTER_TEST(DyadGeometryTest)
#include "DyadGeometryTest.moc"
