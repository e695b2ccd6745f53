// Loop closure and the rigid coupler for every pair kind: every link keeps its length, every
// slider its line, and the coupler carries its pivots and lines unchanged, on both circuits.
#include "FourBarFixtures.h"
#include "Mechanism.h"

#include <QtTest>
#include "TestSupport.h"
#include <cmath>

using namespace fixtures;

Q_DECLARE_METATYPE(fixtures::Kind)

namespace {
const double closeTol = 1e-9;

void checkSide(const Side &before, const Dyad &d, const Point &pose, const char *which) {
    const P f = fixedOf(d), m = movingOf(d);
    QVERIFY2(dist(f, before.fixed) < closeTol, which);
    if (before.kind == QLatin1String("PR")) {
        const P u = polar({0, 0}, 1.0, before.slideDeg);
        QVERIFY2(std::fabs(cross(u, sub(m, f))) < closeTol, which);
    } else {
        QVERIFY2(std::fabs(dist(f, m) - before.length) < closeTol, which);
    }
    if (before.kind == QLatin1String("RP")) {
        const double normal = dirDeg(f, m);
        QVERIFY2(std::fabs(angleDiff(normal - pose[2], before.lineNormalLocal)) < 1e-8, which);
        const double offset = dot(sub(m, {pose[0], pose[1]}), polar({0, 0}, 1.0, normal));
        QVERIFY2(std::fabs(offset - before.lineOffsetLocal) < closeTol, which);
    } else {
        const P local = inMovingFrame(pose, m);
        QVERIFY2(dist(local, before.local) < closeTol, which);
    }
}

// The input range over which each canonical layout closes (angles before placement).
void inputRange(Kind kind, double &first, double &last, bool &angular) {
    angular = true;
    switch (kind) {
    case Kind::RRRR:
    case Kind::RRPR:
    case Kind::RPRP:
        first = 0.0, last = 354.0;
        return;
    case Kind::RRRP:
        first = 85.0, last = 275.0;
        return;
    case Kind::PRPR:
        first = 2.05, last = 5.95, angular = false;
        return;
    case Kind::PRRP:
        first = -4.0, last = 2.2, angular = false;
        return;
    }
}
} // namespace

class LoopClosureTest : public QObject {
    Q_OBJECT
private slots:
    void everyLinkKeepsItsLengthOnBothCircuits_data();
    void everyLinkKeepsItsLengthOnBothCircuits();
    void solvingAtTheAssembledInputChangesNothing_data();
    void solvingAtTheAssembledInputChangesNothing();
    void pairsAreOrderedWhateverOrderTheyArriveIn_data();
    void pairsAreOrderedWhateverOrderTheyArriveIn();
};

namespace {
void addKindRows() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<double>("turn");
    QTest::addColumn<double>("dx");
    QTest::addColumn<double>("dy");
    for (Kind k : {Kind::RRRR, Kind::RRRP, Kind::RRPR, Kind::PRPR, Kind::PRRP, Kind::RPRP}) {
        const QByteArray name = kindName(k).toLatin1();
        QTest::newRow(name.constData()) << k << 0.0 << 0.0 << 0.0;
        QTest::newRow((name + " turned 30 and shifted").constData()) << k << 30.0 << 7.5 << -3.25;
    }
}
} // namespace

void LoopClosureTest::everyLinkKeepsItsLengthOnBothCircuits_data() { addKindRows(); }

void LoopClosureTest::everyLinkKeepsItsLengthOnBothCircuits() {
    QFETCH(Kind, kind);
    QFETCH(double, turn);
    QFETCH(double, dx);
    QFETCH(double, dy);
    Pair pair;
    const Placement place{turn, dx, dy};
    standardPair(kind, pair, place);
    Mechanism m;
    m.setCouplerPose(pair.couplerPose);
    m.setDyads(pair.input.get(), pair.output.get());
    QCOMPARE(m.typeName(), kindName(kind));
    const Side in = snapshot(*pair.input, pair.couplerPose);
    const Side out = snapshot(*pair.output, pair.couplerPose);
    double first = 0.0, last = 0.0;
    bool angular = true;
    inputRange(kind, first, last, angular);
    for (bool open : {true, false}) {
        if (open)
            m.setCircuitOpen();
        else
            m.setCircuitCrossed();
        QCOMPARE(m.isCircuitOpen(), open);
        const int samples = 60;
        for (int k = 0; k < samples; ++k) {
            const double v = first + (last - first) * k / (samples - 1);
            const double input = angular ? place.turn(v) : v;
            m.analyze(input);
            QVERIFY2(m.isLastStepValid(), qPrintable(QString("input %1").arg(input)));
            const Point pose = m.couplerPoint();
            checkSide(in, *pair.input, pose, "input dyad");
            checkSide(out, *pair.output, pose, "output dyad");
            const P m1 = movingOf(*pair.input);
            if (angular)
                QVERIFY(std::fabs(angleDiff(dirDeg(in.fixed, m1), input)) < 1e-9);
            else
                QVERIFY(std::fabs(dot(sub(m1, in.fixed), polar({0, 0}, 1, in.slideDeg)) - v) <
                        closeTol);
        }
    }
}

void LoopClosureTest::solvingAtTheAssembledInputChangesNothing_data() { addKindRows(); }

// Guards against coupler ends that were not fixed in the coupler (RP pairs), which moved the
// coupler point as soon as the assembled input was solved again.
void LoopClosureTest::solvingAtTheAssembledInputChangesNothing() {
    QFETCH(Kind, kind);
    QFETCH(double, turn);
    QFETCH(double, dx);
    QFETCH(double, dy);
    Pair pair;
    standardPair(kind, pair, Placement{turn, dx, dy});
    const P f1 = fixedOf(*pair.input), m1 = movingOf(*pair.input);
    const P f2 = fixedOf(*pair.output), m2 = movingOf(*pair.output);
    Mechanism m;
    m.setCouplerPose(pair.couplerPose);
    m.setDyads(pair.input.get(), pair.output.get());
    m.analyze(m.getGeometry().assembledInput);
    QVERIFY(m.isLastStepValid());
    const Point c = m.couplerPoint();
    QVERIFY(dist({c[0], c[1]}, {pair.couplerPose[0], pair.couplerPose[1]}) < 1e-12);
    QVERIFY(std::fabs(angleDiff(c[2], pair.couplerPose[2])) < 1e-10);
    QVERIFY(dist(fixedOf(*pair.input), f1) < 1e-12);
    QVERIFY(dist(movingOf(*pair.input), m1) < 1e-12);
    QVERIFY(dist(fixedOf(*pair.output), f2) < 1e-12);
    QVERIFY(dist(movingOf(*pair.output), m2) < 1e-12);
}

void LoopClosureTest::pairsAreOrderedWhateverOrderTheyArriveIn_data() { addKindRows(); }

void LoopClosureTest::pairsAreOrderedWhateverOrderTheyArriveIn() {
    QFETCH(Kind, kind);
    QFETCH(double, turn);
    QFETCH(double, dx);
    QFETCH(double, dy);
    Pair pair;
    standardPair(kind, pair, Placement{turn, dx, dy});
    Mechanism m;
    m.setDyads(pair.output.get(), pair.input.get());
    const bool sameKinds = pair.input->typeName() == pair.output->typeName();
    // Unequal kinds come back in RR, PR, RP order; equal ones stay as given.
    QCOMPARE(m.getInputDyad(), sameKinds ? pair.output.get() : pair.input.get());
    const QString expected = sameKinds ? kindName(kind) : kindName(kind);
    QCOMPARE(m.typeName(), expected);
}

MS_REGISTER_TEST(LoopClosureTest)
#include "LoopClosureTest.moc"
