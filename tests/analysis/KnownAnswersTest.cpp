// Known positions of four-bars worked out by hand and by circle intersection, and the two
// circuits: mirror solutions, each on its own side, and an assembly that stays on its side.
#include "FourBarFixtures.h"
#include "Mechanism.h"

#include <QtTest>
#include "TestSupport.h"
#include <cmath>

using namespace fixtures;

namespace {
// Direction O2 -> M2 of the output after solving the input on one circuit.
double outputAngleAt(Mechanism &m, const Dyad &output, double inputDeg, bool open) {
    if (open)
        m.setCircuitOpen();
    else
        m.setCircuitCrossed();
    m.analyze(inputDeg);
    return dirDeg(fixedOf(output), movingOf(output));
}
} // namespace

class KnownAnswersTest : public QObject {
    Q_OBJECT
private slots:
    void crankRockerOutputOnBothCircuits_data();
    void crankRockerOutputOnBothCircuits();
    void outputMatchesCircleIntersectionOverAFullTurn_data();
    void outputMatchesCircleIntersectionOverAFullTurn();
    void vanishingHalfAngleCoefficientStillSolves();
    void circuitsAreMirrorsOnTheirOwnSides();
    void assemblyOnEitherSideSurvivesTraceAndSwap_data();
    void assemblyOnEitherSideSurvivesTraceAndSwap();
    void crankTooShortForTheCouplerKeepsItsPlace();
};

void KnownAnswersTest::crankRockerOutputOnBothCircuits_data() {
    QTest::addColumn<double>("turn");
    QTest::newRow("ground along x") << 0.0;
    QTest::newRow("ground turned 30") << 30.0;
}

// Ground 4, crank 1, coupler 3.5, rocker 3 at crank 90: by hand 109.73 open, -137.80 crossed.
void KnownAnswersTest::crankRockerOutputOnBothCircuits() {
    QFETCH(double, turn);
    Pair pair;
    QVERIFY(fourRevolute(pair, 4, 1, 3.5, 3, 60, true, Placement{turn, 2.0, -1.0}));
    Mechanism m;
    m.setCouplerPose(pair.couplerPose);
    m.setDyads(pair.input.get(), pair.output.get());
    const double open = outputAngleAt(m, *pair.output, 90.0 + turn, true);
    QVERIFY(std::fabs(angleDiff(open, 109.73 + turn)) < 0.005);
    const double crossed = outputAngleAt(m, *pair.output, 90.0 + turn, false);
    QVERIFY(std::fabs(angleDiff(crossed, -137.80 + turn)) < 0.005);
}

void KnownAnswersTest::outputMatchesCircleIntersectionOverAFullTurn_data() {
    QTest::addColumn<double>("G");
    QTest::addColumn<double>("L1");
    QTest::addColumn<double>("h");
    QTest::addColumn<double>("L2");
    QTest::addColumn<double>("theta0");
    QTest::newRow("crank-rocker") << 4.0 << 1.0 << 3.5 << 3.0 << 20.0;
    QTest::newRow("double crank") << 1.0 << 3.0 << 3.5 << 3.0 << 20.0;
    QTest::newRow("Grashof double rocker") << 4.0 << 3.0 << 1.0 << 3.5 << 60.0;
    QTest::newRow("triple rocker") << 4.0 << 3.0 << 2.5 << 3.0 << 20.0;
    QTest::newRow("vanishing coefficient case") << 5.0 << 4.0 << 5.0 << 2.0 << 90.0;
}

void KnownAnswersTest::outputMatchesCircleIntersectionOverAFullTurn() {
    QFETCH(double, G);
    QFETCH(double, L1);
    QFETCH(double, h);
    QFETCH(double, L2);
    QFETCH(double, theta0);
    const Placement place{30.0, -3.0, 4.0};
    Pair pair;
    QVERIFY(fourRevolute(pair, G, L1, h, L2, theta0, true, place));
    Mechanism m;
    m.setDyads(pair.input.get(), pair.output.get());
    const P o2 = fixedOf(*pair.output);
    int closed = 0;
    for (bool open : {true, false}) {
        if (open)
            m.setCircuitOpen();
        else
            m.setCircuitCrossed();
        for (int deg = 0; deg < 360; ++deg) {
            const double theta = place.turn(deg);
            m.analyze(theta);
            const P m1 = polar(fixedOf(*pair.input), L1, theta);
            P expected;
            const bool closes = circleIntersection(m1, h, o2, L2, open, expected);
            if (!closes) {
                QVERIFY2(!m.isLastStepValid(), qPrintable(QString::number(deg)));
                continue;
            }
            QVERIFY2(m.isLastStepValid(), qPrintable(QString::number(deg)));
            QVERIFY2(dist(movingOf(*pair.output), expected) < 1e-9,
                     qPrintable(QString::number(deg)));
            ++closed;
        }
    }
    QVERIFY(closed >= 100);
}

// Ground (0, 0) -> (5, 0), crank 4, coupler 5, rocker 2 at crank 90 makes the leading
// coefficient of the half-angle quadratic zero; it gave 0/0 and poisoned the coupler. By hand
// the open output is 102.68 and the crossed one 180.
void KnownAnswersTest::vanishingHalfAngleCoefficientStillSolves() {
    Pair pair;
    QVERIFY(fourRevolute(pair, 5, 4, 5, 2, 45, true));
    Mechanism m;
    m.setCouplerPose(pair.couplerPose);
    m.setDyads(pair.input.get(), pair.output.get());
    QVERIFY(std::fabs(angleDiff(outputAngleAt(m, *pair.output, 90.0, true), 102.68)) < 0.005);
    QVERIFY(m.isLastStepValid());
    QVERIFY(std::fabs(angleDiff(outputAngleAt(m, *pair.output, 90.0, false), 180.0)) < 1e-9);
    QVERIFY(m.isLastStepValid());
    const Point c = m.couplerPoint();
    QVERIFY(std::isfinite(c[0]) && std::isfinite(c[1]) && std::isfinite(c[2]));
    // And the next solve still works: the coupler was not poisoned.
    m.analyze(91.0);
    QVERIFY(m.isLastStepValid());
    QVERIFY(std::isfinite(m.couplerPoint()[0]));
}

void KnownAnswersTest::circuitsAreMirrorsOnTheirOwnSides() {
    Pair pair;
    QVERIFY(fourRevolute(pair, 4, 1, 3.5, 3, 60, true, Placement{-50.0, 1.0, 1.0}));
    Mechanism m;
    m.setDyads(pair.input.get(), pair.output.get());
    const P o1 = fixedOf(*pair.input), o2 = fixedOf(*pair.output);
    for (int deg = 0; deg < 360; deg += 7) {
        const double theta = deg - 50.0;
        m.setCircuitOpen();
        m.analyze(theta);
        const P m1 = movingOf(*pair.input), openM2 = movingOf(*pair.output);
        m.setCircuitCrossed();
        m.analyze(theta);
        QVERIFY(dist(movingOf(*pair.input), m1) < 1e-12);
        const P crossedM2 = movingOf(*pair.output);
        // Mirror images in the line M1 -> O2, open on its left, crossed on its right.
        const P axis = sub(o2, m1);
        QVERIFY(cross(axis, sub(openM2, m1)) > 0.0);
        QVERIFY(cross(axis, sub(crossedM2, m1)) < 0.0);
        const P mid = scale(add(openM2, crossedM2), 0.5);
        QVERIFY(std::fabs(cross(axis, sub(mid, m1))) < 1e-9);
        QVERIFY(std::fabs(dot(axis, sub(openM2, crossedM2))) < 1e-9);
        QVERIFY(std::fabs(dist(o1, m1) - 1.0) < 1e-12);
    }
}

void KnownAnswersTest::assemblyOnEitherSideSurvivesTraceAndSwap_data() {
    QTest::addColumn<bool>("open");
    QTest::newRow("assembled open") << true;
    QTest::newRow("assembled crossed") << false;
}

// Guards against the trace leaving every mechanism on the crossed circuit: one assembled on the
// open side jumped into its mirror on the first step and no longer met the task.
void KnownAnswersTest::assemblyOnEitherSideSurvivesTraceAndSwap() {
    QFETCH(bool, open);
    Pair pair;
    QVERIFY(fourRevolute(pair, 4, 1, 3.5, 3, 60, open, Placement{10.0, 2.0, 3.0}));
    const P m1 = movingOf(*pair.input), m2 = movingOf(*pair.output);
    Mechanism m;
    m.setCouplerPose(pair.couplerPose);
    m.setDyads(pair.input.get(), pair.output.get());
    QCOMPARE(m.isCircuitOpen(), open);
    QVERIFY(dist(movingOf(*pair.input), m1) < 1e-12);
    QVERIFY(dist(movingOf(*pair.output), m2) < 1e-12);
    m.stepForward();
    QVERIFY(m.isLastStepValid());
    // One degree of crank moves the rocker by a few hundredths, never across to the mirror.
    QVERIFY(dist(movingOf(*pair.output), m2) < 0.1);
    m.assemble();
    m.swapDyads();
    QCOMPARE(m.getInputDyad(), pair.output.get());
    QVERIFY(dist(movingOf(*pair.input), m1) < 1e-12);
    QVERIFY(dist(movingOf(*pair.output), m2) < 1e-12);
    m.stepForward();
    QVERIFY(m.isLastStepValid());
    // The rocker now drives the crank, which turns several times faster. Of the crank's two
    // places on the coupler circle it must take the one nearer where it was, not the mirror.
    const P newM2 = movingOf(*pair.output), moved = movingOf(*pair.input);
    P left, right;
    QVERIFY(circleIntersection(newM2, 3.5, fixedOf(*pair.input), 1.0, true, left));
    QVERIFY(circleIntersection(newM2, 3.5, fixedOf(*pair.input), 1.0, false, right));
    const P taken = dist(moved, left) < dist(moved, right) ? left : right;
    const P other = dist(moved, left) < dist(moved, right) ? right : left;
    QVERIFY(dist(moved, taken) < 1e-9);
    QVERIFY(dist(taken, m1) < dist(other, m1));
    const Point c = m.couplerPoint();
    QVERIFY(dist({c[0], c[1]}, {pair.couplerPose[0], pair.couplerPose[1]}) < 0.2);
}

// A crank-rocker whose coupler is too short for a crank angle: nothing moves, the step is
// invalid, the drive reverses, and the next success starts a new curve piece once.
void KnownAnswersTest::crankTooShortForTheCouplerKeepsItsPlace() {
    Pair pair;
    // Ground 4, crank 3, coupler 1, rocker 3.5 rocks between 38.62 and 78.58 degrees.
    QVERIFY(fourRevolute(pair, 4, 3, 1, 3.5, 60, true));
    Mechanism m;
    m.setDyads(pair.input.get(), pair.output.get());
    m.analyze(60.0);
    QVERIFY(m.isLastStepValid());
    const P m1 = movingOf(*pair.input), m2 = movingOf(*pair.output);
    const double sign = m.getStepSign();
    const int piece = m.getSegmentIndex();
    m.analyze(10.0);
    QVERIFY(!m.isLastStepValid());
    QCOMPARE(m.getStepSign(), -sign);
    QCOMPARE(m.getSegmentIndex(), (piece + 1) % 3);
    QVERIFY(dist(movingOf(*pair.input), m1) == 0.0);
    QVERIFY(dist(movingOf(*pair.output), m2) == 0.0);
    m.analyze(0.0);   // a second failure in a row moves to the next piece only once
    QCOMPARE(m.getSegmentIndex(), (piece + 1) % 3);
    QCOMPARE(m.getStepSign(), sign);
    m.analyze(50.0);
    QVERIFY(m.isLastStepValid());
    m.analyze(100.0);
    m.analyze(60.0);
    m.analyze(100.0);
    QCOMPARE(m.getSegmentIndex(), (piece + 3) % 3);   // the fourth piece wraps to the first
}

MS_REGISTER_TEST(KnownAnswersTest)
#include "KnownAnswersTest.moc"
