// Three-position synthesis: with the two fixed pivots of a known four-bar as the chosen points,
// the run must bring back its two sides, in the order the points were given.
#include "Branch.h"
#include "Dyad.h"
#include "KnownMechanisms.h"
#include "MechanismSynthesis.h"
#include "Motion.h"
#include "ProcessValues.h"
#include "RR.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include "TestSupport.h"
#include <cmath>

using known::Pose;
using known::RevoluteSide;
using known::Vec;

namespace {
using known::crankSide;
using known::rockerSide;
using known::Session;

std::vector<Pose> threePoses(const RevoluteSide &input, const RevoluteSide &output) {
    return known::couplerPoses(input, output, {0.8, 1.1, 1.45});
}

bool isSide(const Dyad &d, const RevoluteSide &side) {
    const Point f = d.fixedPivotCopy(), m = d.movingPivotLocalCopy();
    return d.typeName() == QLatin1String("RR")
           && std::hypot(f.x() - side.fixedPivot.x, f.y() - side.fixedPivot.y) < 1e-8
           && std::hypot(m.x() - side.movingLocal.x, m.y() - side.movingLocal.y) < 1e-8;
}

// A fixed-frame point in the moving frame of a pose.
Vec toLocal(const Pose &pose, Vec q) {
    const double t = pose.thetaDeg * 3.141592653 / 180.0;
    const double dx = q.x - pose.x, dy = q.y - pose.y;
    return {std::cos(t) * dx + std::sin(t) * dy, -std::sin(t) * dx + std::cos(t) * dy};
}

// The pole of the displacement from pose a to pose b: the fixed point with the same
// moving-frame coordinates in both, R_a^T (U - d_a) = R_b^T (U - d_b), solved by Cramer's rule.
Vec pole(const Pose &a, const Pose &b) {
    const double ta = a.thetaDeg * 3.141592653 / 180.0, tb = b.thetaDeg * 3.141592653 / 180.0;
    // R^T U - R^T d for R of angle t: rows (cos t, sin t) and (-sin t, cos t).
    const double m11 = std::cos(ta) - std::cos(tb), m12 = std::sin(ta) - std::sin(tb);
    const double m21 = -std::sin(ta) + std::sin(tb), m22 = std::cos(ta) - std::cos(tb);
    const double r1 = (std::cos(ta) * a.x + std::sin(ta) * a.y) - (std::cos(tb) * b.x + std::sin(tb) * b.y);
    const double r2 = (-std::sin(ta) * a.x + std::cos(ta) * a.y) - (-std::sin(tb) * b.x + std::cos(tb) * b.y);
    const double det = m11 * m22 - m12 * m21;
    return {(r1 * m22 - m12 * r2) / det, (m11 * r2 - r1 * m21) / det};
}
} // namespace

class ThreePositionTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void selectsTheKnownSidesInTheOrderOfThePoints_data();
    void selectsTheKnownSidesInTheOrderOfThePoints();
    void aPivotAtAPoleIsLeftOutAndSaid();
    void writesTheThreePositionFiles();
};

void ThreePositionTest::initTestCase() { known::useStandardWorkspace(); }

void ThreePositionTest::selectsTheKnownSidesInTheOrderOfThePoints_data() {
    QTest::addColumn<bool>("farMechanism");
    QTest::addColumn<bool>("outputFirst");
    QTest::newRow("crank-rocker, crank pivot first") << false << false;
    QTest::newRow("crank-rocker, rocker pivot first") << false << true;
    QTest::newRow("far four-bar, crank pivot first") << true << false;
    QTest::newRow("far four-bar, rocker pivot first") << true << true;
}

void ThreePositionTest::selectsTheKnownSidesInTheOrderOfThePoints() {
    QFETCH(bool, farMechanism);
    QFETCH(bool, outputFirst);
    const RevoluteSide input = farMechanism ? known::farCrank : crankSide;
    const RevoluteSide output = farMechanism ? known::farRocker : rockerSide;
    const RevoluteSide &first = outputFirst ? output : input;
    const RevoluteSide &second = outputFirst ? input : output;
    Session rig(threePoses(input, output));
    QCOMPARE(rig.task.size(), size_t(3));
    rig.engine.setUDP(first.fixedPivot.x, first.fixedPivot.y);
    rig.engine.setUDP(second.fixedPivot.x, second.fixedPivot.y);
    QSignalSpy done(&rig.engine, QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    rig.engine.synthesize3pos();
    QCOMPARE(done.count(), 1);
    QCOMPARE(done.at(0).at(0).toInt(), 2);
    QCOMPARE(rig.branch.synthesizedDyadCount(), 2);
    QVERIFY(isSide(*rig.branch.dyadAt(0), first));
    QVERIFY(isSide(*rig.branch.dyadAt(1), second));
    QCOMPARE(rig.branch.getMechanismType(), QStringLiteral("RRRR"));
}

// Regression: a chosen pivot where a divisor of the elimination vanished gave NaN dyads. At the
// pole of two positions the fixed pivot sees those two as one, and no single dyad is singled out.
void ThreePositionTest::aPivotAtAPoleIsLeftOutAndSaid() {
    const std::vector<Pose> poses = threePoses(crankSide, rockerSide);
    const Vec p12 = pole(poses[0], poses[1]);
    // The pole really is one: it has the same moving-frame coordinates in both poses.
    const Vec local0 = toLocal(poses[0], p12), local1 = toLocal(poses[1], p12);
    QVERIFY(std::hypot(local0.x - local1.x, local0.y - local1.y) < 1e-9);
    Session rig(poses);
    rig.engine.setUDP(p12.x, p12.y);
    rig.engine.setUDP(rockerSide.fixedPivot.x, rockerSide.fixedPivot.y);
    QSignalSpy report(&rig.engine, &MechanismSynthesis::updateOutfile);
    rig.engine.synthesize3pos();
    QCOMPARE(rig.branch.synthesizedDyadCount(), 1);
    QVERIFY(isSide(*rig.branch.dyadAt(0), rockerSide));
    QCOMPARE(report.count(), 1);
    QVERIFY(report.at(0).at(0).toString().contains(QStringLiteral("left out")));
}

void ThreePositionTest::writesTheThreePositionFiles() {
    QTemporaryDir dir;
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    Session rig(threePoses(crankSide, rockerSide));
    rig.engine.setUDP(crankSide.fixedPivot.x, crankSide.fixedPivot.y);
    rig.engine.setUDP(rockerSide.fixedPivot.x, rockerSide.fixedPivot.y);
    rig.engine.synthesize3pos();
    // "Parameters.txt": "Done", then the RR and the PR line of the second point only.
    const QList<QByteArray> params = known::fileText(QStringLiteral("Parameters.txt")).split('\n');
    QCOMPARE(params.size(), 3);
    QVERIFY(params.at(0).startsWith("Done6 -1.5 4 2.2 0.4"));
    QCOMPARE(params.at(1).split(' ').size(), 5);
    const QByteArray out = known::fileText(QStringLiteral("output.txt"));
    QVERIFY(out.startsWith("p done!\n"));
    QCOMPARE(out.count("p done!\n"), 2);
    QVERIFY(out.contains("0,-1,0============\n"));
    QVERIFY(out.contains("Right Singular Vectors\n"));
    QVERIFY(out.endsWith("\n2"));
    QCOMPARE(known::fileText(QStringLiteral("datamat.txt")), QByteArray());
    for (const char *absent : {"steps.txt", "equation output.txt", "SolStats.txt"})
        QVERIFY2(!QFile::exists(QString::fromLatin1(absent)), absent);
    QVERIFY(QDir::setCurrent(before));
}

MS_REGISTER_TEST(ThreePositionTest)
#include "ThreePositionTest.moc"
