// Four- and three-position synthesis: a line through the fixed pivot of a known four-bar, or
// its two fixed pivots as chosen points, must bring back its sides; the stored line form; the
// pole regression; the files of each run.
#include "Branch.h"
#include "Dyad.h"
#include "KnownMechanisms.h"
#include "MechanismSynthesis.h"
#include "Motion.h"

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

std::vector<Pose> fourPoses(const RevoluteSide &input, const RevoluteSide &output) {
    return known::couplerPoses(input, output, {0.8, 1.05, 1.3, 1.55});
}

std::vector<Pose> threePoses(const RevoluteSide &input, const RevoluteSide &output) {
    return known::couplerPoses(input, output, {0.8, 1.1, 1.45});
}

// Distance of q from the line through a and b, by the cross product.
double offLine(Vec q, Vec a, Vec b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    return std::fabs((q.x - a.x) * dy - (q.y - a.y) * dx) / std::hypot(dx, dy);
}

QByteArray fileText(const char *name) { return known::fileText(QString::fromLatin1(name)); }
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

class FewPositionTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void recoversTheSideWhoseFixedPivotIsOnTheLine_data();
    void recoversTheSideWhoseFixedPivotIsOnTheLine();
    void storesEveryLineAsAFormThatHoldsForItsPoints_data();
    void storesEveryLineAsAFormThatHoldsForItsPoints();
    void aClickWithoutADragSetsNoLine();
    void aLineTheFitCannotUseLeavesNoDyadAndSaysSo();
    void writesTheFourPositionReport();
    void selectsTheKnownSidesInTheOrderOfThePoints_data();
    void selectsTheKnownSidesInTheOrderOfThePoints();
    void aPivotAtAPoleIsLeftOutAndSaid();
    void writesTheThreePositionFiles();
};

void FewPositionTest::initTestCase() { known::useStandardWorkspace(); }

void FewPositionTest::recoversTheSideWhoseFixedPivotIsOnTheLine_data() {
    QTest::addColumn<bool>("farMechanism");
    QTest::addColumn<double>("directionDeg");  // of the line through the first fixed pivot
    for (bool far : {false, true}) {
        const char *name = far ? "far four-bar" : "crank-rocker";
        QTest::addRow("%s, sloped line", name) << far << 26.5;
        QTest::addRow("%s, vertical line", name) << far << 90.0;
        QTest::addRow("%s, horizontal line", name) << far << 0.0;
        QTest::addRow("%s, steep line", name) << far << 100.0;
    }
}

void FewPositionTest::recoversTheSideWhoseFixedPivotIsOnTheLine() {
    QFETCH(bool, farMechanism);
    QFETCH(double, directionDeg);
    const RevoluteSide input = farMechanism ? known::farCrank : crankSide;
    const RevoluteSide output = farMechanism ? known::farRocker : rockerSide;
    Session rig(fourPoses(input, output));
    QCOMPARE(rig.task.size(), size_t(4));
    // A vertical line is drawn with two equal x, as the mouse gives it.
    const double a = directionDeg * 3.141592653589793 / 180.0;
    const Vec p1 = input.fixedPivot;
    const Vec p2 = directionDeg == 90.0 ? Vec{p1.x, p1.y + 3.0}
                                        : Vec{p1.x + 3.0 * std::cos(a), p1.y + 3.0 * std::sin(a)};
    rig.engine.updateLineParams(p1.x - (p2.x - p1.x), p1.y - (p2.y - p1.y), p2.x, p2.y);
    QVERIFY(rig.engine.lineDefined);
    QSignalSpy done(&rig.engine, QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    rig.engine.synthesize4pos();
    QCOMPARE(done.count(), 1);
    int matches = 0;
    for (int k = 0; k < rig.branch.synthesizedDyadCount(); ++k) {
        const Dyad &d = *rig.branch.dyadAt(k);
        const Point f = d.fixedPivotCopy(), m = d.movingPivotLocalCopy();
        if (d.typeName() == QLatin1String("RR"))  // every RR honours the line
            QVERIFY2(offLine({f.x(), f.y()}, p1, p2) < 1e-8, qPrintable(QString::number(k)));
        if (std::hypot(f.x() - p1.x, f.y() - p1.y) < 1e-8
            && std::hypot(m.x() - input.movingLocal.x, m.y() - input.movingLocal.y) < 1e-8)
            ++matches;
    }
    QCOMPARE(matches, 1);
}

void FewPositionTest::storesEveryLineAsAFormThatHoldsForItsPoints_data() {
    QTest::addColumn<double>("x1");
    QTest::addColumn<double>("y1");
    QTest::addColumn<double>("x2");
    QTest::addColumn<double>("y2");
    QTest::addColumn<double>("wantA");  // worked out by hand
    QTest::addColumn<double>("wantB");
    QTest::addColumn<double>("wantC");
    QTest::newRow("slope 2 through (0, 1)") << 0.0 << 1.0 << 2.0 << 5.0 << 2.0 << -1.0 << 1.0;
    // Regression: a vertical line gave an infinite slope and NaN coefficients.
    QTest::newRow("vertical x = 2.5") << 2.5 << -1.0 << 2.5 << 7.0 << 1.0 << 0.0 << -2.5;
    QTest::newRow("vertical drawn downwards") << -3.0 << 4.0 << -3.0 << 1.0 << 1.0 << 0.0 << 3.0;
}

void FewPositionTest::storesEveryLineAsAFormThatHoldsForItsPoints() {
    QFETCH(double, x1);
    QFETCH(double, y1);
    QFETCH(double, x2);
    QFETCH(double, y2);
    QFETCH(double, wantA);
    QFETCH(double, wantB);
    QFETCH(double, wantC);
    MechanismSynthesis engine;
    QSignalSpy rerun(&engine, QOverload<>::of(&MechanismSynthesis::synthesisdone));
    engine.updateLineParams(x1, y1, x2, y2);
    QCOMPARE(rerun.count(), 1);
    QVERIFY(engine.lineDefined);
    QCOMPARE(engine.lineA, wantA);
    QCOMPARE(engine.lineB, wantB);
    QCOMPARE(engine.lineC, wantC);
}

// Regression: a click without a drag gave NaN coefficients and left lineDefined set for good.
void FewPositionTest::aClickWithoutADragSetsNoLine() {
    Session rig({});
    QSignalSpy rerun(&rig.engine, QOverload<>::of(&MechanismSynthesis::synthesisdone));
    QSignalSpy report(&rig.engine, &MechanismSynthesis::updateOutfile);
    rig.engine.updateLineParams(2.0, 3.0, 2.0, 3.0);
    QVERIFY(!rig.engine.lineDefined);
    QCOMPARE(rerun.count(), 0);
    QCOMPARE(report.count(), 1);
    QVERIFY(report.at(0).at(0).toString().contains(QStringLiteral("two different points")));
}

// Regression: c3 = 0 made every coefficient infinite and NaN dyads reached the branch. A line
// with no x or y part (0 x + 0 y + 1 = 0) gives the pivot condition nothing to act on.
void FewPositionTest::aLineTheFitCannotUseLeavesNoDyadAndSaysSo() {
    Session rig(fourPoses(crankSide, rockerSide));
    rig.engine.lineA = 0.0;
    rig.engine.lineB = 0.0;
    rig.engine.lineC = 1.0;
    rig.engine.lineDefined = true;
    QSignalSpy done(&rig.engine, QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    QSignalSpy report(&rig.engine, &MechanismSynthesis::updateOutfile);
    rig.engine.synthesize4pos();
    QCOMPARE(done.count(), 1);
    QCOMPARE(done.at(0).at(0).toInt(), 0);
    QCOMPARE(rig.branch.synthesizedDyadCount(), 0);
    QCOMPARE(report.count(), 1);
    QVERIFY(report.at(0).at(0).toString().contains(QStringLiteral("c3 = 0")));
}

void FewPositionTest::writesTheFourPositionReport() {
    QTemporaryDir dir;
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    Session rig(fourPoses(crankSide, rockerSide));
    rig.engine.updateLineParams(1.0, -2.0, 3.0, -1.0);
    rig.engine.synthesize4pos();
    const int n = rig.branch.synthesizedDyadCount();
    const QByteArray out = fileText("output.txt");
    const QList<QByteArray> lines = out.split('\n');
    QCOMPARE(lines.at(0), QByteArray("0.5,-1,-2.5============"));
    QCOMPARE(lines.at(5), QByteArray("Right Singular Vectors"));
    for (const char *section : {" Values of Kk and Mm", "c4:", "Roots of c ", "Equation B (abc)",
                                "ALLL the vr vrctors"})
        QVERIFY2(out.contains(section), section);
    QVERIFY(!out.contains("ALLL the normalised vr vrctors"));
    QCOMPARE(fileText("datamat.txt"), QByteArray());
    QVERIFY(!QFile::exists(QStringLiteral("steps.txt")));
    QCOMPARE(fileText("Parameters.txt").count('\n'), 2 * n);  // RR lines, then PR lines
    QCOMPARE(fileText("equation output.txt").count('\n'), 2 * n + 1);
    QVERIFY(QDir::setCurrent(before));
}

void FewPositionTest::selectsTheKnownSidesInTheOrderOfThePoints_data() {
    QTest::addColumn<bool>("farMechanism");
    QTest::addColumn<bool>("outputFirst");
    QTest::newRow("crank-rocker, crank pivot first") << false << false;
    QTest::newRow("crank-rocker, rocker pivot first") << false << true;
    QTest::newRow("far four-bar, crank pivot first") << true << false;
    QTest::newRow("far four-bar, rocker pivot first") << true << true;
}

void FewPositionTest::selectsTheKnownSidesInTheOrderOfThePoints() {
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
void FewPositionTest::aPivotAtAPoleIsLeftOutAndSaid() {
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

void FewPositionTest::writesTheThreePositionFiles() {
    QTemporaryDir dir;
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    Session rig(threePoses(crankSide, rockerSide));
    rig.engine.setUDP(crankSide.fixedPivot.x, crankSide.fixedPivot.y);
    rig.engine.setUDP(rockerSide.fixedPivot.x, rockerSide.fixedPivot.y);
    rig.engine.synthesize3pos();
    // "Parameters.txt": "Done", then the RR and the PR line of the second point only.
    const QList<QByteArray> params = fileText("Parameters.txt").split('\n');
    QCOMPARE(params.size(), 3);
    QVERIFY(params.at(0).startsWith("Done6 -1.5 4 2.2 0.4"));
    QCOMPARE(params.at(1).split(' ').size(), 5);
    const QByteArray out = fileText("output.txt");
    QVERIFY(out.startsWith("p done!\n"));
    QVERIFY(out.contains("0,-1,0============\n"));
    QVERIFY(out.endsWith("\n2"));
    QCOMPARE(fileText("datamat.txt"), QByteArray());
    for (const char *absent : {"steps.txt", "equation output.txt", "SolStats.txt"})
        QVERIFY2(!QFile::exists(QString::fromLatin1(absent)), absent);
    QVERIFY(QDir::setCurrent(before));
}

MS_REGISTER_TEST(FewPositionTest)
#include "FewPositionTest.moc"
