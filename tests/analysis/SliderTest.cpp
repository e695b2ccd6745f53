// Slider pairs: the travel over which a PR input closes, parallel slides, the zone where a
// swinging block cannot close, the slider drive, and limits that must not outlive their pair.
#include "FourBarFixtures.h"
#include "Mechanism.h"
#include "PR.h"
#include "RP.h"
#include "RR.h"

#include <QtTest>
#include "TestSupport.h"
#include <cmath>

using namespace fixtures;

namespace {
// Displacement of a slider input along its own line.
double displacement(const Dyad &d, double slideDeg, P origin) {
    return dot(sub(movingOf(d), origin), polar({0, 0}, 1.0, slideDeg));
}
} // namespace

class SliderTest : public QObject {
    Q_OBJECT
private slots:
    void doubleSliderClosesOverItsReach_data();
    void doubleSliderClosesOverItsReach();
    void parallelSlidesHaveNoLimits();
    void swingingSliderHasANoCloseZone_data();
    void swingingSliderHasANoCloseZone();
    void driveStartsAtTheAssembledDisplacementAndStaysInside();
    void oneSidedDriveStaysOnItsSide();
    void limitsAreResetWhenACrankSliderFollowsADoubleSlider();
    void crankParallelToTheLineStillCloses();
};

void SliderTest::doubleSliderClosesOverItsReach_data() {
    QTest::addColumn<double>("turn");
    QTest::newRow("slide along x") << 0.0;
    QTest::newRow("turned 30") << 30.0;
    QTest::newRow("turned -135") << -135.0;
}

// Input slide at 0 degrees from (0, 0), output line at 90 degrees through (4, 3), coupler 2:
// M1 = (s, 0) reaches the line x = 4 while |4 - s| <= 2, so the travel is [2, 6]. The old
// formula gave 7.354 / -5 here.
void SliderTest::doubleSliderClosesOverItsReach() {
    QFETCH(double, turn);
    Pair pair;
    standardPair(Kind::PRPR, pair, Placement{turn, -2.0, 5.0});
    Mechanism m;
    m.setCouplerPose(pair.couplerPose);
    m.setDyads(pair.input.get(), pair.output.get());
    QVERIFY(m.hasLowerLimit() && m.hasUpperLimit());
    QVERIFY(std::fabs(m.getLowerLimit() - 2.0) < 1e-9);
    QVERIFY(std::fabs(m.getUpperLimit() - 6.0) < 1e-9);
    for (double s : {2.0 + 1e-7, 3.0, 5.5, 6.0 - 1e-7}) {
        m.analyze(s);
        QVERIFY(m.isLastStepValid());
    }
    for (double s : {2.0 - 1e-7, 6.0 + 1e-7, -10.0}) {
        m.analyze(s);
        QVERIFY(!m.isLastStepValid());
    }
}

void SliderTest::parallelSlidesHaveNoLimits() {
    const Point c(3.5, 2.0, 0.0);
    PR input(0, 0, 3, 0, c[0], c[1], c[2]);
    PR output(-1, 1, 4, 1, c[0], c[1], c[2]);
    Mechanism m;
    m.setCouplerPose(c);
    m.setDyads(&input, &output);
    QVERIFY(!m.hasLowerLimit() && !m.hasUpperLimit());
    // The coupler (sqrt 2 long) always spans the unit gap between the lines.
    for (double s = -50.0; s <= 50.0; s += 2.5) {
        m.analyze(s);
        QVERIFY(m.isLastStepValid());
    }
    m.setCounter(0.0);
    QVERIFY(std::fabs(displacement(input, 0.0, {0, 0}) - 3.0) < 1e-12);
    QVERIFY(std::fabs(m.getSliderAmplitude() - Mechanism::defaultSlideAmplitude) < 1e-12);
}

void SliderTest::swingingSliderHasANoCloseZone_data() {
    QTest::addColumn<double>("turn");
    QTest::newRow("slide along x") << 0.0;
    // With the slide off the x axis, cos(sigma1 + gamma) and cos(sigma1 - gamma) differ.
    QTest::newRow("turned 30") << 30.0;
    QTest::newRow("turned 100") << 100.0;
}

// Guards against cos(sigma1 + gamma) and the RP's tiny link in place of the line's offset.
// Input slide along x from (0, 0) at s = 1, a line at 60 degrees through the block at (3, 1).
// The coupler keeps M1 at a fixed distance Kc across the line from the block, which needs
// |O2 - M1| >= |Kc|: with M1 = (s, 0) that fails for |s - 3| < sqrt(Kc^2 - 1).
void SliderTest::swingingSliderHasANoCloseZone() {
    QFETCH(double, turn);
    Pair pair;
    standardPair(Kind::PRRP, pair, Placement{turn, 4.0, -1.0});
    const P o2 = fixedOf(*pair.output), handle = movingOf(*pair.output);
    const double offset = dist(o2, handle);
    const P n = scale(sub(handle, o2), 1.0 / offset);
    const double kc = dot(sub(movingOf(*pair.input), handle), n) + offset;
    const double halfZone = std::sqrt(kc * kc - 1.0);
    Mechanism m;
    m.setCouplerPose(pair.couplerPose);
    m.setDyads(pair.input.get(), pair.output.get());
    QVERIFY(!m.hasLowerLimit());
    QVERIFY(m.hasUpperLimit());
    QVERIFY(std::fabs(m.getUpperLimit() - (3.0 - halfZone)) < 1e-9);
    m.analyze(3.0 - halfZone - 1e-6);
    QVERIFY(m.isLastStepValid());
    for (double s : {3.0 - halfZone + 1e-6, 3.0, 3.0 + halfZone - 1e-6}) {
        m.analyze(s);
        QVERIFY(!m.isLastStepValid());
    }
    m.analyze(3.0 + halfZone + 1e-6);
    QVERIFY(m.isLastStepValid());
}

// Guards against the drive centred on s0 with a stray factor 2: limits [2, 6] and s0 = 2.5
// started at 1.75 and covered 0.5 .. 4.5.
void SliderTest::driveStartsAtTheAssembledDisplacementAndStaysInside() {
    const double y = std::sqrt(4.0 - 1.5 * 1.5);
    const Point c(3.0, 1.0, 0.0);
    PR input(0, 0, 2.5, 0, c[0], c[1], c[2]);
    PR output(4, 3, 4, y, c[0], c[1], c[2]);
    Mechanism m;
    m.setCouplerPose(c);
    m.setDyads(&input, &output);
    QVERIFY(std::fabs(m.getLowerLimit() - 2.0) < 1e-9 && std::fabs(m.getUpperLimit() - 6.0) < 1e-9);
    m.setCounter(0.0);
    QVERIFY(std::fabs(displacement(input, 0.0, {0, 0}) - 2.5) < 1e-12);
    double lo = 1e9, hi = -1e9;
    for (int k = 0; k < 720; ++k) {
        m.stepForward();
        QVERIFY(m.isLastStepValid());
        const double s = displacement(input, 0.0, {0, 0});
        QVERIFY(s >= 2.0 - 1e-9 && s <= 6.0 + 1e-9);
        lo = std::min(lo, s);
        hi = std::max(hi, s);
    }
    QVERIFY(lo < 2.001 && hi > 5.999);
}

void SliderTest::oneSidedDriveStaysOnItsSide() {
    Pair pair;
    standardPair(Kind::PRRP, pair);
    Mechanism m;
    m.setCouplerPose(pair.couplerPose);
    m.setDyads(pair.input.get(), pair.output.get());
    m.setCounter(0.0);
    QVERIFY(std::fabs(displacement(*pair.input, 0.0, {0, 0}) - 1.0) < 1e-12);
    for (int k = 0; k < 400; ++k) {
        m.stepForward();
        QVERIFY(m.isLastStepValid());
        QVERIFY(displacement(*pair.input, 0.0, {0, 0}) <= m.getUpperLimit() + 1e-9);
    }
}

// Guards against limits kept from the previous mechanism: the crank slider has none of its own.
void SliderTest::limitsAreResetWhenACrankSliderFollowsADoubleSlider() {
    Pair sliders, crankSlider;
    standardPair(Kind::PRPR, sliders);
    standardPair(Kind::RRPR, crankSlider);
    Mechanism m;
    m.setCouplerPose(sliders.couplerPose);
    m.setDyads(sliders.input.get(), sliders.output.get());
    QVERIFY(m.hasLowerLimit() && m.getSliderAmplitude() > 0.0);
    m.setDyads(crankSlider.input.get(), crankSlider.output.get());
    QVERIFY(!m.hasLowerLimit() && !m.hasUpperLimit());
    QCOMPARE(m.getSliderAmplitude(), 0.0);
    QCOMPARE(m.getSliderPhase(), 0.0);
    QStringList lines;
    QVERIFY(fileLines("Mechanism Limits.txt", lines));
    QCOMPARE(lines.value(0), QStringLiteral("Upper  none  Lower  none"));
    QCOMPARE(lines.value(1), QStringLiteral("Amplitude0  InitPhaseAngle 0"));
}

// Crank 1 at 90 degrees from (0, 0), a vertical line through the block at (3, 0): the crank is
// parallel to the line, where the old offset e = .../sin(phi) was infinite. The coupler holds
// M1 three units across the line, so |O2 - M1|^2 = 10 - 6 cos(theta) >= 9.
void SliderTest::crankParallelToTheLineStillCloses() {
    Pair pair;
    standardPair(Kind::RRRP, pair);
    Mechanism m;
    m.setCouplerPose(pair.couplerPose);
    m.setDyads(pair.input.get(), pair.output.get());
    const double edge = deg(std::acos(1.0 / 6.0));
    QVERIFY(std::fabs(edge - 80.4) < 0.05);
    for (double theta : {edge + 1e-6, 90.0, 180.0, 360.0 - edge - 1e-6}) {
        m.analyze(theta);
        QVERIFY(m.isLastStepValid());
        const Point c = m.couplerPoint();
        QVERIFY(std::isfinite(c[0]) && std::isfinite(c[1]) && std::isfinite(c[2]));
    }
    for (double theta : {edge - 1e-6, 0.0, 360.0 - edge + 1e-6}) {
        m.analyze(theta);
        QVERIFY(!m.isLastStepValid());
    }
}

MS_REGISTER_TEST(SliderTest)
#include "SliderTest.moc"
