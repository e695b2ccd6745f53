// Four-position synthesis: a line through the fixed pivot of a known four-bar must bring back
// that side of it, for every direction of the line; the stored line form; the run's files.
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
using known::Session;

std::vector<Pose> fourPoses(const RevoluteSide &input, const RevoluteSide &output) {
    return known::couplerPoses(input, output, {0.8, 1.05, 1.3, 1.55});
}

// Distance of q from the line through a and b, by the cross product.
double offLine(Vec q, Vec a, Vec b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    return std::fabs((q.x - a.x) * dy - (q.y - a.y) * dx) / std::hypot(dx, dy);
}

QByteArray fileText(const char *name) { return known::fileText(QString::fromLatin1(name)); }
} // namespace

class FourPositionTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void recoversTheSideWhoseFixedPivotIsOnTheLine_data();
    void recoversTheSideWhoseFixedPivotIsOnTheLine();
    void storesEveryLineAsAFormThatHoldsForItsPoints_data();
    void storesEveryLineAsAFormThatHoldsForItsPoints();
    void aClickWithoutADragSetsNoLine();
    void aLineTheFitCannotUseLeavesNoDyadAndSaysSo();
    void keepsTheSelectedNamesAndTheFirstPassList();
    void writesTheFourPositionReport();
};

void FourPositionTest::initTestCase() { known::useStandardWorkspace(); }

void FourPositionTest::recoversTheSideWhoseFixedPivotIsOnTheLine_data() {
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

void FourPositionTest::recoversTheSideWhoseFixedPivotIsOnTheLine() {
    QFETCH(bool, farMechanism);
    QFETCH(double, directionDeg);
    const RevoluteSide input = farMechanism ? known::farCrank : known::crankSide;
    const RevoluteSide output = farMechanism ? known::farRocker : known::rockerSide;
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

void FourPositionTest::storesEveryLineAsAFormThatHoldsForItsPoints_data() {
    QTest::addColumn<double>("x1");
    QTest::addColumn<double>("y1");
    QTest::addColumn<double>("x2");
    QTest::addColumn<double>("y2");
    QTest::addColumn<double>("wantA");  // worked out by hand
    QTest::addColumn<double>("wantB");
    QTest::addColumn<double>("wantC");
    QTest::newRow("slope 2 through (0, 1)") << 0.0 << 1.0 << 2.0 << 5.0 << 2.0 << -1.0 << 1.0;
    QTest::newRow("horizontal y = 3") << -1.0 << 3.0 << 4.0 << 3.0 << 0.0 << -1.0 << 3.0;
    QTest::newRow("falling, drawn right to left") << 4.0 << 0.0 << 2.0 << 1.0 << -0.5 << -1.0 << 2.0;
    // Regression: a vertical line gave an infinite slope and NaN coefficients.
    QTest::newRow("vertical x = 2.5") << 2.5 << -1.0 << 2.5 << 7.0 << 1.0 << 0.0 << -2.5;
    QTest::newRow("vertical drawn downwards") << -3.0 << 4.0 << -3.0 << 1.0 << 1.0 << 0.0 << 3.0;
}

void FourPositionTest::storesEveryLineAsAFormThatHoldsForItsPoints() {
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
void FourPositionTest::aClickWithoutADragSetsNoLine() {
    Session rig({});
    QSignalSpy rerun(&rig.engine, QOverload<>::of(&MechanismSynthesis::synthesisdone));
    QSignalSpy report(&rig.engine, &MechanismSynthesis::updateOutfile);
    rig.engine.updateLineParams(2.0, 3.0, 2.0, 3.0);
    QVERIFY(!rig.engine.lineDefined);
    QCOMPARE(rerun.count(), 0);
    QCOMPARE(report.count(), 1);
    QVERIFY(report.at(0).at(0).toString().contains(QStringLiteral("two different points")));
    // An earlier line stays as it was.
    rig.engine.updateLineParams(0.0, 1.0, 2.0, 5.0);
    rig.engine.updateLineParams(1.0, 1.0, 1.0, 1.0);
    QVERIFY(rig.engine.lineDefined);
    QCOMPARE(rig.engine.lineA, 2.0);
    QCOMPARE(rig.engine.lineC, 1.0);
}

// Regression: c3 = 0 made every coefficient infinite and NaN dyads reached the branch. A line
// with no x or y part (0 x + 0 y + 1 = 0) gives the pivot condition nothing to act on.
void FourPositionTest::aLineTheFitCannotUseLeavesNoDyadAndSaysSo() {
    Session rig(fourPoses(known::crankSide, known::rockerSide));
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

void FourPositionTest::keepsTheSelectedNamesAndTheFirstPassList() {
    Session rig(fourPoses(known::crankSide, known::rockerSide));
    rig.engine.updateLineParams(1.0, -2.0, 3.0, -1.0);
    rig.engine.synthesize4pos();
    QVERIFY(rig.branch.synthesizedDyadCount() >= 1);
    QVERIFY(rig.branch.getFirstPassDyads().empty());  // the first-pass list is not handed on
    for (int k = 0; k < rig.branch.synthesizedDyadCount(); ++k)
        QVERIFY(!rig.branch.dyadAt(k)->getName().endsWith(QLatin1Char('*')));
    QCOMPARE(rig.engine.getBranch1(), rig.branch.dyadAt(rig.branch.synthesizedDyadCount() - 1)->typeName());
}

void FourPositionTest::writesTheFourPositionReport() {
    QTemporaryDir dir;
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    Session rig(fourPoses(known::crankSide, known::rockerSide));
    rig.engine.updateLineParams(1.0, -2.0, 3.0, -1.0);
    rig.engine.synthesize4pos();
    const int n = rig.branch.synthesizedDyadCount();
    const QByteArray out = fileText("output.txt");
    const QList<QByteArray> lines = out.split('\n');
    QCOMPARE(lines.at(0), QByteArray("0.5,-1,-2.5============"));
    for (int i = 0; i < 4; ++i)
        QCOMPARE(lines.at(1 + i).split(' ').size(), 3);  // x y theta of each position
    QCOMPARE(lines.at(5), QByteArray("Right Singular Vectors"));
    for (const char *section : {" Values of Kk and Mm", "kk10 :", "mm10 :", "c4:", " Values of K and M",
                                "Roots of a ", "Roots of c ", "Equation A (abc)", "Equation B (abc)",
                                "ALLL the vr vrctors"})
        QVERIFY2(out.contains(section), section);
    QVERIFY(!out.contains("ALLL the normalised vr vrctors"));
    QCOMPARE(fileText("datamat.txt"), QByteArray());
    QVERIFY(!QFile::exists(QStringLiteral("steps.txt")));
    QCOMPARE(fileText("Parameters.txt").count('\n'), 2 * n);  // RR lines, then PR lines
    QCOMPARE(fileText("equation output.txt").count('\n'), 2 * n + 1);
    QVERIFY(fileText("SolStats.txt").endsWith("YES") || fileText("SolStats.txt").endsWith("NO"));
    QVERIFY(QDir::setCurrent(before));
}

MS_REGISTER_TEST(FourPositionTest)
#include "FourPositionTest.moc"
