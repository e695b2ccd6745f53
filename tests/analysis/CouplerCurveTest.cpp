// Coupler curves and stepping: every traced pose lies on the curve of the same four-bar solved
// here by circle intersection, every traced pose keeps the chain closed, and the input value,
// the drive direction and the circuit switches behave as the animation needs.
#include "FourBarFixtures.h"
#include "Mechanism.h"
#include "PR.h"
#include "RR.h"

#include <QtTest>
#include "TestSupport.h"
#include <cmath>

using namespace fixtures;

Q_DECLARE_METATYPE(fixtures::Kind)

namespace {
int tracedCount(const Mechanism &m) {
    int n = 0;
    for (int k = 0; k < 3; ++k)
        n += m.openCurve(k).size() + m.crossedCurve(k).size();
    return n;
}
} // namespace

class CouplerCurveTest : public QObject {
    Q_OBJECT
private slots:
    void tracedPosesLieOnTheIndependentCurve_data();
    void tracedPosesLieOnTheIndependentCurve();
    void tracedPosesKeepEveryConstraint_data();
    void tracedPosesKeepEveryConstraint();
    void traceLeavesTheAssemblyAsItWas();
    void counterWrapsIntoOneTurn();
    void stepBackwardLowersByOneWhateverTheDirection();
    void switchingToTheCurrentCircuitDoesNothing();
    void swapKeepsUnequalKindsInOrder();
    void doubleSliderWithoutCouplerKeepsItsDirection();
    void emptyMechanismIgnoresEverything();
};

void CouplerCurveTest::tracedPosesLieOnTheIndependentCurve_data() {
    QTest::addColumn<double>("G");
    QTest::addColumn<double>("L1");
    QTest::addColumn<double>("h");
    QTest::addColumn<double>("L2");
    QTest::addColumn<double>("theta0");
    QTest::addColumn<bool>("open");
    QTest::newRow("crank-rocker, open") << 4.0 << 1.0 << 3.5 << 3.0 << 60.0 << true;
    QTest::newRow("crank-rocker, crossed") << 4.0 << 1.0 << 3.5 << 3.0 << 60.0 << false;
    QTest::newRow("double rocker, pieces") << 4.0 << 3.0 << 1.0 << 3.5 << 60.0 << true;
    QTest::newRow("triple rocker") << 4.0 << 3.0 << 2.5 << 3.0 << 20.0 << false;
    QTest::newRow("double crank") << 1.0 << 3.0 << 3.5 << 3.0 << 20.0 << true;
}

void CouplerCurveTest::tracedPosesLieOnTheIndependentCurve() {
    QFETCH(double, G);
    QFETCH(double, L1);
    QFETCH(double, h);
    QFETCH(double, L2);
    QFETCH(double, theta0);
    QFETCH(bool, open);
    Pair pair;
    QVERIFY(fourRevolute(pair, G, L1, h, L2, theta0, open, Placement{25.0, 3.0, -1.0}));
    const P o1 = fixedOf(*pair.input), o2 = fixedOf(*pair.output);
    const P m1Local = inMovingFrame(pair.couplerPose, movingOf(*pair.input));
    Mechanism m;
    m.setCouplerPose(pair.couplerPose);
    m.setDyads(pair.input.get(), pair.output.get());
    QVERIFY(tracedCount(m) > 100);
    for (bool openCurve : {true, false}) {
        for (int k = 0; k < 3; ++k) {
            const PointList &piece = openCurve ? m.openCurve(k) : m.crossedCurve(k);
            double previous = std::nan("");
            for (int i = 0; i < piece.size(); ++i) {
                const Point pose = piece.at(i);
                const P m1 = fromMovingFrame(pose, m1Local);
                QVERIFY(std::fabs(dist(o1, m1) - L1) < 1e-9);
                const double theta = dirDeg(o1, m1);
                P m2;
                QVERIFY(circleIntersection(m1, h, o2, L2, openCurve, m2));
                const Point expected = couplerPoseFor(pair, m1, m2);
                QVERIFY2(dist({pose[0], pose[1]}, {expected[0], expected[1]}) < 1e-9,
                         qPrintable(QString("piece %1 sample %2").arg(k).arg(i)));
                QVERIFY(std::fabs(angleDiff(pose[2], expected[2])) < 1e-9);
                // A piece never bridges a gap: its samples are one degree of crank apart.
                if (!std::isnan(previous))
                    QVERIFY(std::fabs(std::fabs(angleDiff(theta, previous)) - 1.0) < 1e-6);
                previous = theta;
            }
        }
    }
}

void CouplerCurveTest::tracedPosesKeepEveryConstraint_data() {
    QTest::addColumn<Kind>("kind");
    for (Kind k : {Kind::RRRR, Kind::RRRP, Kind::RRPR, Kind::PRPR, Kind::PRRP, Kind::RPRP})
        QTest::newRow(kindName(k).toLatin1().constData()) << k;
}

// From each traced pose the moving pivots and lines fixed in the coupler are put back in the
// fixed frame; each must still meet its ground joint.
void CouplerCurveTest::tracedPosesKeepEveryConstraint() {
    QFETCH(Kind, kind);
    Pair pair;
    standardPair(kind, pair, Placement{-40.0, 2.0, 2.0});
    const Point pose0 = pair.couplerPose;
    const Side sides[2] = {snapshot(*pair.input, pose0), snapshot(*pair.output, pose0)};
    Mechanism m;
    m.setCouplerPose(pair.couplerPose);
    m.setDyads(pair.input.get(), pair.output.get());
    // The double slider closes over 4 units of its 200-unit sweep: 20 samples a circuit.
    QVERIFY(tracedCount(m) > 30);
    for (int k = 0; k < 6; ++k) {
        const PointList &piece = k < 3 ? m.openCurve(k) : m.crossedCurve(k - 3);
        for (int i = 0; i < piece.size(); ++i) {
            const Point pose = piece.at(i);
            for (const Side &s : sides) {
                const P moving = fromMovingFrame(pose, s.local);
                if (s.kind == QLatin1String("RR")) {
                    QVERIFY(std::fabs(dist(s.fixed, moving) - s.length) < 1e-9);
                } else if (s.kind == QLatin1String("PR")) {
                    const P u = polar({0, 0}, 1.0, s.slideDeg);
                    QVERIFY(std::fabs(cross(u, sub(moving, s.fixed))) < 1e-9);
                } else {
                    // The coupler's line (through the handle, normal to the block's offset)
                    // passes the block's pivot at the offset.
                    const P n = polar({0, 0}, 1.0, pose[2] + s.lineNormalLocal);
                    QVERIFY(std::fabs(dot(sub(moving, s.fixed), n) - s.length) < 1e-9);
                }
            }
        }
    }
}

void CouplerCurveTest::traceLeavesTheAssemblyAsItWas() {
    for (Kind kind : {Kind::RRRR, Kind::RRRP, Kind::RRPR, Kind::PRPR, Kind::PRRP, Kind::RPRP}) {
        Pair pair;
        standardPair(kind, pair, Placement{15.0, 1.0, 0.0});
        const P m1 = movingOf(*pair.input), m2 = movingOf(*pair.output);
        Mechanism m;
        m.setCouplerPose(pair.couplerPose);
        m.setDyads(pair.input.get(), pair.output.get());
        m.traceCouplerCurves();
        QVERIFY(dist(movingOf(*pair.input), m1) < 1e-12);
        QVERIFY(dist(movingOf(*pair.output), m2) < 1e-12);
        const Point c = m.couplerPoint();
        QVERIFY(dist({c[0], c[1]}, {pair.couplerPose[0], pair.couplerPose[1]}) < 1e-12);
        // The next step moves on from the assembly, not from its mirror.
        m.stepForward();
        QVERIFY(m.isLastStepValid());
        const Point next = m.couplerPoint();
        QVERIFY2(dist({next[0], next[1]}, {c[0], c[1]}) < 0.2, qPrintable(kindName(kind)));
    }
}

void CouplerCurveTest::counterWrapsIntoOneTurn() {
    Pair pair;
    QVERIFY(fourRevolute(pair, 4, 1, 3.5, 3, 60, true));
    Mechanism m;
    m.setDyads(pair.input.get(), pair.output.get());
    m.setCounter(-30.0);
    QCOMPARE(m.getCounter(), 330.0);
    QVERIFY(std::fabs(angleDiff(dirDeg(fixedOf(*pair.input), movingOf(*pair.input)), 330.0)) <
            1e-9);
    m.setCounter(400.0);
    QCOMPARE(m.getCounter(), 40.0);
}

void CouplerCurveTest::stepBackwardLowersByOneWhateverTheDirection() {
    Pair pair;
    QVERIFY(fourRevolute(pair, 4, 3, 1, 3.5, 60, true));
    Mechanism m;
    m.setDyads(pair.input.get(), pair.output.get());
    m.setCounter(60.0);
    m.analyze(0.0);   // cannot close: the drive turns back
    QCOMPARE(m.getStepSign(), -1.0);
    m.stepBackward();
    QCOMPARE(m.getCounter(), 59.0);
    m.stepForward();
    QCOMPARE(m.getCounter(), 58.0);
}

void CouplerCurveTest::switchingToTheCurrentCircuitDoesNothing() {
    Pair pair;
    QVERIFY(fourRevolute(pair, 4, 1, 3.5, 3, 60, true));
    Mechanism m;
    m.setDyads(pair.input.get(), pair.output.get());
    QVERIFY(m.isCircuitOpen());
    m.analyze(100.0);
    const P m2 = movingOf(*pair.output);
    m.setCircuitOpen();
    QVERIFY(dist(movingOf(*pair.output), m2) == 0.0);
    m.setCircuitCrossed();
    QVERIFY(!m.isCircuitOpen());
    // Switching re-assembles and solves the assembled input on the other circuit: the mirror.
    P mirror;
    QVERIFY(circleIntersection(movingOf(*pair.input), 3.5, fixedOf(*pair.output), 3, false,
                               mirror));
    QVERIFY(dist(movingOf(*pair.output), mirror) < 1e-9);
}

void CouplerCurveTest::swapKeepsUnequalKindsInOrder() {
    Pair pair;
    standardPair(Kind::RRPR, pair);
    Mechanism m;
    m.setCouplerPose(pair.couplerPose);
    m.setDyads(pair.input.get(), pair.output.get());
    m.swapDyads();
    QCOMPARE(m.getInputDyad(), pair.input.get());
    QCOMPARE(m.getOutputDyad(), pair.output.get());
    QCOMPARE(m.typeName(), QStringLiteral("RRPR"));
    QVERIFY(tracedCount(m) > 100);
}

void CouplerCurveTest::doubleSliderWithoutCouplerKeepsItsDirection() {
    // Both moving pivots at one point: a coupler of length zero.
    const Point c(1.0, 1.0, 0.0);
    PR input(0, 0, 3, 0, c[0], c[1], c[2]);
    PR output(3, 4, 3, 0, c[0], c[1], c[2]);
    Mechanism m;
    m.setDyads(&input, &output);
    const double sign = m.getStepSign();
    m.analyze(2.0);
    QVERIFY(!m.isLastStepValid());
    QCOMPARE(m.getStepSign(), sign);
}

void CouplerCurveTest::emptyMechanismIgnoresEverything() {
    Mechanism m;
    m.analyze(10.0);
    m.stepBackward();
    m.setCircuitCrossed();
    m.swapDyads();
    m.traceCouplerCurves();
    QVERIFY(m.isCircuitOpen());
    m.setCounter(-30.0);
    QCOMPARE(m.getCounter(), 330.0);
    QCOMPARE(tracedCount(m), 0);
    m.setCouplerPose(Point(1.0, 2.0, 3.0));
    QVERIFY(m.hasCouplerPoint());
    QCOMPARE(tracedCount(m), 0);
    m.clear();
    QVERIFY(!m.hasCouplerPoint());
    QVERIFY(m.couplerPointHandle() == nullptr);
}

MS_REGISTER_TEST(CouplerCurveTest)
#include "CouplerCurveTest.moc"
