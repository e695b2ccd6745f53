// Loop closure for every pair kind on both circuits (every link keeps its length, every slider its
// line, the coupler carries its pivots and lines), four-bar positions known by hand and by circle
// intersection, the coupler curves, and the drive as the animation steps it.
#include "FourBarFixtures.h"
#include "Mechanism.h"
#include "PR.h"

#include <QtTest>
#include "TestSupport.h"
#include <cmath>

using namespace fixtures;

Q_DECLARE_METATYPE(fixtures::Kind)

namespace {
const double closeTol = 1e-9;

int tracedCount(const Mechanism &m) {
    int n = 0;
    for (int k = 0; k < 3; ++k)
        n += m.openCurve(k).size() + m.crossedCurve(k).size();
    return n;
}
} // namespace

class LoopClosureTest : public QObject {
    Q_OBJECT
private slots:
    // The input range over which each canonical layout closes (angles before placement; PRPR and
    // PRRP are slide displacements).
    void everyLinkKeepsItsLengthOnBothCircuits_data() {
        QTest::addColumn<Kind>("kind"); QTest::addColumn<double>("turn");
        QTest::addColumn<double>("first"); QTest::addColumn<double>("last");
        QTest::addColumn<QString>("label");
        const struct {
            Kind kind;
            double first, last;
            const char *label;
        } ranges[] = {{Kind::RRRR, 0, 354, "Grashoff crank-rocker-rocker"},
                      {Kind::RRRP, 85, 275, "Swinging Block Mechanism"},
                      {Kind::RRPR, 0, 354, "Crank Slider Mechanism"},
                      {Kind::PRPR, 2.05, 5.95, "Double Slider Mechanism"},
                      {Kind::PRRP, -4, 2.2, "Slider-Swinging Block Mechanism"},
                      {Kind::RPRP, 0, 354, "Double Swinging Block Mechanism"}};
        for (const auto &r : ranges) {
            const QByteArray name = kindName(r.kind).toLatin1();
            QTest::newRow(name.constData()) << r.kind << 0.0 << r.first << r.last << r.label;
            QTest::newRow((name + " turned 30 and shifted").constData())
                << r.kind << 30.0 << r.first << r.last << r.label;
        }
    }
    void everyLinkKeepsItsLengthOnBothCircuits() {
        QFETCH(Kind, kind); QFETCH(double, turn); QFETCH(double, first); QFETCH(double, last);
        QFETCH(QString, label);
        const bool angular = kind != Kind::PRPR && kind != Kind::PRRP;
        Pair pair;
        const Placement place{turn, 7.5, -3.25};
        standardPair(kind, pair, place);
        const P m1 = movingOf(*pair.input), m2 = movingOf(*pair.output);
        const Side in = snapshot(*pair.input, pair.couplerPose);
        const Side out = snapshot(*pair.output, pair.couplerPose);
        Mechanism m;
        m.setCouplerPose(pair.couplerPose);
        m.setDyads(pair.input.get(), pair.output.get());
        QCOMPARE(m.typeName(), kindName(kind));
        QCOMPARE(m.className(), label);

        // Tracing the curves leaves the pair as it was assembled, and solving the assembled input
        // again moves nothing (coupler ends not fixed in the coupler drifted here).
        QVERIFY(dist(movingOf(*pair.input), m1) < 1e-12);
        QVERIFY(dist(movingOf(*pair.output), m2) < 1e-12);
        m.analyze(m.getGeometry().assembledInput);
        QVERIFY(m.isLastStepValid());
        const Point c = m.couplerPoint();
        QVERIFY(dist({c[0], c[1]}, {pair.couplerPose[0], pair.couplerPose[1]}) < 1e-12);
        QVERIFY(std::fabs(angleDiff(c[2], pair.couplerPose[2])) < 1e-10);
        QVERIFY(dist(movingOf(*pair.input), m1) < 1e-12);
        QVERIFY(dist(movingOf(*pair.output), m2) < 1e-12);
        // The first step moves on from the assembly, not from its mirror.
        m.stepForward();
        QVERIFY(m.isLastStepValid());
        QVERIFY(dist({m.couplerPoint()[0], m.couplerPoint()[1]}, {c[0], c[1]}) < 0.2);

        for (bool open : {true, false}) {
            if (open)
                m.setCircuitOpen();
            else
                m.setCircuitCrossed();
            QCOMPARE(m.isCircuitOpen(), open);
            for (int k = 0; k < 60; ++k) {
                const double v = first + (last - first) * k / 59.0;
                const double input = angular ? place.turn(v) : v;
                m.analyze(input);
                QVERIFY2(m.isLastStepValid(), qPrintable(QString("input %1").arg(input)));
                const Point pose = m.couplerPoint();
                QVERIFY(sideMiss(in, pose) < closeTol && sideMiss(out, pose) < closeTol);
                QVERIFY(inputMiss(in, pose, input) < closeTol);
                // The dyads themselves sit where the coupler carries them.
                for (const auto &[side, dyad] : {std::pair(&in, pair.input.get()),
                                                 std::pair(&out, pair.output.get())}) {
                    QVERIFY(dist(fixedOf(*dyad), side->fixed) == 0.0);
                    if (side->kind != QLatin1String("RP"))
                        QVERIFY(dist(movingOf(*dyad), fromMovingFrame(pose, side->local)) <
                                closeTol);
                }
            }
        }

        // Pairs of unequal kinds are put in RR, PR, RP order whatever order they arrive in, and a
        // swap leaves them so; equal kinds stay as given.
        Mechanism reversed;
        reversed.setDyads(pair.output.get(), pair.input.get());
        QCOMPARE(reversed.typeName(), kindName(kind));
        const bool sameKinds = pair.input->typeName() == pair.output->typeName();
        QCOMPARE(reversed.getInputDyad(), sameKinds ? pair.output.get() : pair.input.get());
        reversed.swapDyads();
        QCOMPARE(reversed.getInputDyad(), pair.input.get());
    }
    void outputMatchesCircleIntersectionOverAFullTurn_data() {
        QTest::addColumn<double>("G");
        QTest::addColumn<double>("L1");
        QTest::addColumn<double>("h");
        QTest::addColumn<double>("L2"); QTest::addColumn<double>("theta0");
        QTest::addColumn<double>("open90");      // direction O2 -> M2 at crank 90 by hand, if known
        QTest::addColumn<double>("crossed90");
        const double unknown = std::nan("");
        QTest::newRow("crank-rocker") << 4.0 << 1.0 << 3.5 << 3.0 << 20.0 << 109.73 << -137.80;
        QTest::newRow("double crank") << 1.0 << 3.0 << 3.5 << 3.0 << 20.0 << unknown << unknown;
        QTest::newRow("Grashof double rocker") << 4.0 << 3.0 << 1.0 << 3.5 << 60.0 << unknown
                                               << unknown;
        QTest::newRow("triple rocker") << 4.0 << 3.0 << 2.5 << 3.0 << 20.0 << unknown << unknown;
        // Crank 4, coupler 5, rocker 2 on a ground of 5 at crank 90 makes the leading coefficient
        // of the half-angle quadratic zero; it gave 0/0 and poisoned the coupler for the steps
        // after.
        QTest::newRow("vanishing coefficient case") << 5.0 << 4.0 << 5.0 << 2.0 << 90.0 << 102.68
                                                    << 180.0;
    }
    // Every degree on both circuits: a crank angle closes exactly when the circles meet, and the
    // open circuit is the intersection left of M1 -> O2, the crossed one its mirror on the right.
    void outputMatchesCircleIntersectionOverAFullTurn() {
        QFETCH(double, G); QFETCH(double, L1); QFETCH(double, h); QFETCH(double, L2);
        QFETCH(double, theta0); QFETCH(double, open90); QFETCH(double, crossed90);
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
                if (!circleIntersection(m1, h, o2, L2, open, expected)) {
                    QVERIFY2(!m.isLastStepValid(), qPrintable(QString::number(deg)));
                    continue;
                }
                QVERIFY2(m.isLastStepValid(), qPrintable(QString::number(deg)));
                QVERIFY(std::isfinite(m.couplerPoint()[0]) && std::isfinite(m.couplerPoint()[2]));
                QVERIFY2(dist(movingOf(*pair.output), expected) < 1e-9,
                         qPrintable(QString::number(deg)));
                const double byHand = open ? open90 : crossed90;
                if (deg == 90 && !std::isnan(byHand))
                    QVERIFY(std::fabs(angleDiff(dirDeg(o2, expected), place.turn(byHand))) < 0.005);
                ++closed;
            }
        }
        QVERIFY(closed >= 100);
    }
    void assemblyOnEitherSideSurvivesTraceAndSwap_data() {
        QTest::addColumn<bool>("open");
        QTest::newRow("assembled open") << true;
        QTest::newRow("assembled crossed") << false;
    }
    // Guards against the trace leaving every mechanism on the crossed circuit: one assembled on the
    // open side jumped into its mirror on the first step and no longer met the task.
    void assemblyOnEitherSideSurvivesTraceAndSwap() {
        QFETCH(bool, open);
        Pair pair;
        QVERIFY(fourRevolute(pair, 4, 1, 3.5, 3, 60, open, Placement{10.0, 2.0, 3.0}));
        const P m1 = movingOf(*pair.input), m2 = movingOf(*pair.output);
        Mechanism m;
        m.setCouplerPose(pair.couplerPose);
        m.setDyads(pair.input.get(), pair.output.get());
        QCOMPARE(m.isCircuitOpen(), open);
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
        // The rocker now drives the crank, which turns several times faster.
        const P newM2 = movingOf(*pair.output), moved = movingOf(*pair.input);
        P left, right;
        QVERIFY(circleIntersection(newM2, 3.5, fixedOf(*pair.input), 1.0, true, left));
        QVERIFY(circleIntersection(newM2, 3.5, fixedOf(*pair.input), 1.0, false, right));
        const bool nearLeft = dist(m1, left) < dist(m1, right);
        QVERIFY(dist(moved, nearLeft ? left : right) < 1e-9);
    }
    void tracedPosesLieOnTheIndependentCurve_data() {
        QTest::addColumn<double>("G");
        QTest::addColumn<double>("L1");
        QTest::addColumn<double>("h");
        QTest::addColumn<double>("L2"); QTest::addColumn<double>("theta0");
        QTest::addColumn<bool>("open");
        QTest::newRow("crank-rocker, open") << 4.0 << 1.0 << 3.5 << 3.0 << 60.0 << true;
        QTest::newRow("crank-rocker, crossed") << 4.0 << 1.0 << 3.5 << 3.0 << 60.0 << false;
        QTest::newRow("double rocker, pieces") << 4.0 << 3.0 << 1.0 << 3.5 << 60.0 << true;
        QTest::newRow("triple rocker") << 4.0 << 3.0 << 2.5 << 3.0 << 20.0 << false;
        QTest::newRow("double crank") << 1.0 << 3.0 << 3.5 << 3.0 << 20.0 << true;
    }
    void tracedPosesLieOnTheIndependentCurve() {
        QFETCH(double, G); QFETCH(double, L1); QFETCH(double, h); QFETCH(double, L2);
        QFETCH(double, theta0); QFETCH(bool, open);
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
    // Ground 4, crank 3, coupler 1, rocker 3.5 rocks between 38.62 and 78.58 degrees.
    void driveTurnsBackWhereTheChainCannotClose() {
        Pair pair;
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
        // Stepping back lowers the input by one whatever the drive's direction.
        Mechanism back;
        back.setDyads(pair.input.get(), pair.output.get());
        back.setCounter(60.0);
        back.analyze(0.0);
        QCOMPARE(back.getStepSign(), -1.0);
        back.stepBackward();
        QCOMPARE(back.getCounter(), 59.0);
        back.stepForward();
        QCOMPARE(back.getCounter(), 58.0);

        // A double slider with both moving pivots at one point never closes, and must not flip its
        // drive back and forth for it.
        const Point c(1.0, 1.0, 0.0);
        PR input(0, 0, 3, 0, c[0], c[1], c[2]);
        PR output(3, 4, 3, 0, c[0], c[1], c[2]);
        Mechanism sliders;
        sliders.setDyads(&input, &output);
        const double slideSign = sliders.getStepSign();
        sliders.analyze(2.0);
        QVERIFY(!sliders.isLastStepValid());
        QCOMPARE(sliders.getStepSign(), slideSign);
    }
    void counterWrapsIntoOneTurn() {
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
};
MS_REGISTER_TEST(LoopClosureTest)
#include "LoopClosureTest.moc"
