// Dyad geometry without a display: pivots at the built pose, pose round trips, stepping, resets,
// parameter tables and the RR constraint surface in image space.
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
} // namespace

class DyadGeometryTest : public QObject {
    Q_OBJECT
private slots:
    void linkMeasuresItsEnds();
    void resetToReferenceRestoresThePivotsExactly_data();
    void resetToReferenceRestoresThePivotsExactly();

    void rrBuiltForAPoseReproducesItsPivots_data();
    void rrBuiltForAPoseReproducesItsPivots();
    void rrStepTurnsTheCrankClockwiseAtConstantLength();
    void rrSetPoseElsewhereAndBackRestoresItsParameters();
    void rrUpdateLocalPivotKeepsTheCrankRadius();
    void rrSetConfigurationPlacesTheCrankAtTheAngle();
    void rrDrawnByTheUserGetsItsMovingFramePivotFromSetPose();
    void rrSurfacePointsMapToPosesOnTheCrankCircle_data();
    void rrSurfacePointsMapToPosesOnTheCrankCircle();
    void zeroLengthMovingPivotGivesAFiniteSurface();

    void prBuiltForAPosePutsItsSliderOnTheGroundLine_data();
    void prBuiltForAPosePutsItsSliderOnTheGroundLine();
    void prWithAVerticalGroundLineHasNoSlope();
    void prWithoutALineStaysFinite();
    void prStepKeepsTheMovingPivotOnTheGroundLine();
    void prSynthesizedStepIsWellDefined();
    void prUpdateLocalPivotKeepsTheSlideDisplacement();
    void prSetConfigurationSlidesAlongTheLine();
    void prReportsTheGroundLineAsItsFirstParameters();

    void rpBuiltForAPoseHoldsItsLineThroughTheFixedPivot_data();
    void rpBuiltForAPoseHoldsItsLineThroughTheFixedPivot();
    void rpSetPoseElsewhereAndBackRestoresItsParameters();
    void rpStepKeepsTheFixedPivotOnTheMovingLine();
    void rpDrawnByTheUserKeepsDegreesAndATinyHandle();
    void rpSetConfigurationAndBlockAngleTurnTheHandle();

};

void DyadGeometryTest::linkMeasuresItsEnds() {
    Link link(Point(1.0, 1.0, 0.0), Point(1.0, -2.0, 0.0));
    QCOMPARE(link.getLength(), 3.0);
    QCOMPARE(link.storedAngle(), -90.0);
    link.setEnds(Point(0.0, 0.0, 0.0), Point(-2.0, 2.0, 0.0));
    QVERIFY(std::fabs(link.getLength() - std::sqrt(8.0)) < tight);
    QVERIFY(std::fabs(link.getAngle() - 135.0) < tight);
}

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
    else if (kind == QLatin1String("PR"))
        d = std::make_unique<PR>(0.5, 0.25, 2.0, 1.75, 0.0, 0.0, 0.0);
    else
        d = std::make_unique<RP>(1.0, 1.0, 2.0, 2.0, 4.0, 5.0, 0.0);
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

// ---- RR --------------------------------------------------------------------------------------

void DyadGeometryTest::rrBuiltForAPoseReproducesItsPivots_data() {
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("th");
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<double>("d");
    QTest::addColumn<double>("e");
    QTest::newRow("quarter turn at the origin") << 0.0 << 0.0 << 90.0 << 0.0 << 0.0 << 1.0 << 0.0;
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

void DyadGeometryTest::rrSetConfigurationPlacesTheCrankAtTheAngle() {
    RR rr(1.0, 1.0, 4.0, 5.0, 0.0, 0.0, 0.0);   // radius 5
    rr.setConfiguration(90.0, 123.0);
    QVERIFY(std::fabs(rr.movingPivotCopy().x() - 1.0) < tight);
    QVERIFY(std::fabs(rr.movingPivotCopy().y() - 6.0) < tight);
    QVERIFY(std::fabs(rr.currentInput() - 90.0) < 1e-12);
    QVERIFY(std::fabs(rr.pivotDirection() - 90.0) < 1e-12);
    QCOMPARE(rr.secondaryAngle(), 0.0);
    // The committed angle is what the mechanism reads as the assembled one; it stays.
    QVERIFY(std::fabs(rr.getLinkAngle() - deg(std::atan2(4.0, 3.0))) < 1e-12);
}

void DyadGeometryTest::rrDrawnByTheUserGetsItsMovingFramePivotFromSetPose() {
    RR rr(1.0, 2.0, 3.0, 2.0, 5.0, 5.0, 90.0);
    QVERIFY(rr.getSurface() == nullptr);
    QCOMPARE(rr.getLinkLength(), 2.0);
    QCOMPARE(rr.getLinkAngle(), 0.0);
    rr.setPose(Point(5.0, 5.0, 90.0));
    // (3, 2) from the frame at (5, 5) turned by 90 degrees: offset (-2, -3) -> local (-3, 2).
    QVERIFY(std::fabs(rr.parameter3() - (-3.0)) < tight);
    QVERIFY(std::fabs(rr.parameter4() - 2.0) < tight);
    QVERIFY(rr.getSurface() != nullptr);
    QCOMPARE(rr.parameter5(), 2.0);
}

void DyadGeometryTest::rrSurfacePointsMapToPosesOnTheCrankCircle_data() {
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<double>("R");
    QTest::addColumn<double>("d");
    QTest::addColumn<double>("e");
    QTest::newRow("general") << 1.3 << -0.7 << 2.1 << 0.4 << 0.9;
    QTest::newRow("pivot on the negative x axis of the frame") << 0.5 << 0.5 << 1.5 << -1.2 << 0.0;
    QTest::newRow("pivot on the positive x axis") << -2.0 << 1.0 << 3.0 << 2.0 << 0.0;
    QTest::newRow("pivot below the origin") << 0.0 << 0.0 << 1.0 << 0.0 << -1.7;
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
                     qPrintable(QString("t %1 j %2: %3").arg(t).arg(j).arg(
                         std::hypot(mx - a, my - b))));
        }
    }
}

void DyadGeometryTest::zeroLengthMovingPivotGivesAFiniteSurface() {
    RR rr(Point(1.0, 1.0, 45.0), 0.0, 0.0, 1.0, 0.0, 0.0, 0);
    const ConstraintSurface *s = rr.getSurface();
    QVERIFY(s != nullptr);
    for (int i = 0; i < 5; ++i)
        QVERIFY(std::isfinite(s->coefficient(i)));
    rr.updateLocalPivot(rr.movingPivotCopy());   // the pose sits on the pivot: r = 0 again
    for (int i = 0; i < 5; ++i)
        QVERIFY(std::isfinite(rr.getSurface()->coefficient(i)));
    rr.refreshSurface();
    for (int i = 0; i < 5; ++i)
        QVERIFY(std::isfinite(rr.getSurface()->coefficient(i)));
}

// ---- PR --------------------------------------------------------------------------------------

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

void DyadGeometryTest::prWithAVerticalGroundLineHasNoSlope() {
    // x = 3: a = 1, b = 0, c/2 = -3, moving pivot at (3, 1) for the identity pose.
    PR pr(Point(0.0, 0.0, 0.0), 1.0, 0.0, -6.0, 3.0, 1.0, 0, 0, 0, 0, 0, 0);
    QVERIFY(!pr.hasLineEquation());
    QVERIFY(std::fabs(std::fabs(pr.getLineAngle()) - 90.0) < 1e-12);
    QVERIFY(std::fabs(pr.fixedPivotCopy().x() - 3.0) < 1e-12);
    QVERIFY(std::fabs(std::fabs(pr.fixedPivotCopy().y() - 1.0) - 2.5) < 1e-12);
}

void DyadGeometryTest::prWithoutALineStaysFinite() {
    PR pr(Point(1.0, 1.0, 10.0), 0.0, 0.0, 1.0, 0.5, 0.5, 0, 0, 0, 0, 0, 0);
    QVERIFY(std::isfinite(pr.getLineAngle()));
    QVERIFY(std::isfinite(pr.fixedPivotCopy().x()) && std::isfinite(pr.fixedPivotCopy().y()));
    for (int i = 0; i < 5; ++i)
        QVERIFY(std::isfinite(pr.getSurface()->coefficient(i)));
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

void DyadGeometryTest::prSynthesizedStepIsWellDefined() {
    PR pr(Point(0.0, 0.0, 0.0), 0.0, 1.0, -2.0, 1.0, 1.0, 0, 0, 0, 0, 0, 0);
    pr.step();
    QVERIFY(std::isfinite(pr.movingPivotCopy().x()) && std::isfinite(pr.movingPivotCopy().y()));
    pr.setSlideMotion(2.5, 1.0, 0.0);
    pr.step();
    const double s = 2.5 + std::sin(rad(2.5));
    QVERIFY(std::fabs(pr.getLink().getLength() - s) < 1e-12);
    QVERIFY(std::fabs(pr.movingPivotCopy().y() - 1.0) < 1e-12);   // the line y = 1
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

void DyadGeometryTest::prSetConfigurationSlidesAlongTheLine() {
    PR pr(1.0, 1.0, 1.0, 3.0, 0.0, 0.0, 0.0);   // vertical slide
    pr.setConfiguration(-4.0, 99.0);
    QVERIFY(std::fabs(pr.movingPivotCopy().x() - 1.0) < tight);
    QVERIFY(std::fabs(pr.movingPivotCopy().y() - (-3.0)) < tight);
    QCOMPARE(pr.getLinkLength(), 2.0);
    QCOMPARE(pr.getLinkAngle(), 90.0);
    QVERIFY(std::fabs(pr.currentInput() - 4.0) < tight);
    QVERIFY(std::fabs(pr.pivotDirection() - (-90.0)) < tight);
    QCOMPARE(pr.secondaryAngle(), 0.0);
}

void DyadGeometryTest::prReportsTheGroundLineAsItsFirstParameters() {
    PR pr(1.0, 2.0, 4.0, 6.0, 0.0, 0.0, 0.0);
    const double a1 = pr.parameter1(), a2 = pr.parameter2(), a3 = pr.parameter3();
    QVERIFY(std::fabs(std::hypot(a1, a2) - 1.0) < tight);
    QVERIFY(std::fabs(a1 * 1.0 + a2 * 2.0 + a3) < tight * 10);   // through the slider start
    QVERIFY(std::fabs(a1 * 4.0 + a2 * 6.0 + a3) < tight * 10);   // and the moving pivot
    // (4, 6) - (1, 2) = (3, 4): unit normal (-0.8, 0.6).
    QVERIFY(std::fabs(a1 + 0.8) < tight && std::fabs(a2 - 0.6) < tight);
}

// ---- RP --------------------------------------------------------------------------------------

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
    QTest::newRow("horizontal line") << 0.0 << 0.0 << 0.0 << 1.0 << 1.0 << 0.0 << 2.0;
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

void DyadGeometryTest::rpDrawnByTheUserKeepsDegreesAndATinyHandle() {
    RP rp(1.0, 1.0, 2.0, 2.0, 4.0, 5.0, 0.0);
    QVERIFY(std::fabs(rp.getBlockAngle() - 45.0) < 1e-12);   // degrees, not radians
    QVERIFY(std::fabs(rp.getLinkAngle() - 45.0) < 1e-12);
    QVERIFY(std::fabs(rp.fixedPivotCopy().distance(rp.movingPivotCopy()) - 0.001) < 1e-15);
    QVERIFY(std::fabs(rp.secondaryAngle() - 135.0) < 1e-9);
    QCOMPARE(rp.getLinkLength(), 5.0);   // to the moving frame's position (4, 5)
    QVERIFY(std::fabs(rp.getLineSlope() - 4.0 / 3.0) < 1e-12);
    QVERIFY(std::fabs(rp.pivotDirection() - 45.0) < 1e-12);
    QVERIFY(std::fabs(rp.currentInput() - 45.0) < 1e-12);
    rp.setPose(Point(0.0, 0.0, 0.0));
    // The line y = x through the fixed pivot: l1 x + l2 y + l3 = 0 holds (1, 1) and (2, 2).
    QVERIFY(std::fabs(rp.getL1() + rp.getL2() * 1.0 + rp.getL3()) < 1e-12);
    QVERIFY(std::fabs(2.0 * rp.getL1() + 2.0 * rp.getL2() + rp.getL3()) < 1e-12);
    QVERIFY(std::fabs(std::hypot(rp.getL1(), rp.getL2()) - 1.0) < 1e-12);
}

void DyadGeometryTest::rpSetConfigurationAndBlockAngleTurnTheHandle() {
    RP rp(1.0, 1.0, 2.0, 2.0, 4.0, 5.0, 0.0);
    rp.setConfiguration(30.0, 2.0);
    QVERIFY(std::fabs(rp.movingPivotCopy().x() - (1.0 + 2.0 * std::cos(rad(30.0)))) < tight);
    QVERIFY(std::fabs(rp.movingPivotCopy().y() - 2.0) < tight);
    QVERIFY(std::fabs(rp.secondaryAngle() - 30.0) < 1e-12);
    QVERIFY(std::fabs(rp.getBlockAngle() - (-60.0)) < 1e-12);
    rp.setBlockAngle(0.0);
    QVERIFY(std::fabs(rp.secondaryAngle() - 90.0) < 1e-9);
    QCOMPARE(rp.getBlockAngle(), 0.0);
    rp.commitGeometry();
    QVERIFY(std::fabs(rp.getLinkAngle() - 90.0) < 1e-9);
    QVERIFY(std::fabs(rp.getBlockAngle()) < 1e-9);
    rp.relocateFixedPivot(Point(-2.0, 0.0, 0.0));
    QCOMPARE(rp.fixedPivotCopy().x(), -2.0);
    QVERIFY(std::fabs(rp.secondaryAngle() - 90.0) < 1e-6);
}

MS_REGISTER_TEST(DyadGeometryTest)
#include "DyadGeometryTest.moc"
