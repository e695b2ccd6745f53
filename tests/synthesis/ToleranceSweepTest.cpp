// The tolerance sweep: its grid of orientations, its records and their dyads, the task it
// leaves behind, and the files of its fast path against the naive one.
#include "Branch.h"
#include "Dyad.h"
#include "KnownMechanisms.h"
#include "MechanismSynthesis.h"
#include "Motion.h"
#include "PairRanking.h"
#include "ProcessValues.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include "TestSupport.h"
#include <cmath>

using known::Pose;
using known::RevoluteSide;

namespace {
using known::crankSide;
using known::inDirectory;
using known::rockerSide;

// n crank-rocker positions (or the poses given) with a line through the crank pivot (four) and
// both pivots (three).
struct Rig : known::Session {
    explicit Rig(int n, std::vector<Pose> poses = {})
        : Session(poses.empty() ? known::crankRockerPoses(n) : std::move(poses)) {
        if (n == 4)
            engine.updateLineParams(1.0, -2.0, 3.0, -1.0);
        engine.setUDP(crankSide.fixedPivot.x, crankSide.fixedPivot.y);
        engine.setUDP(rockerSide.fixedPivot.x, rockerSide.fixedPivot.y);
    }
};

using known::fileText;
} // namespace

class ToleranceSweepTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void recordsOneSolutionPerGridPoint_data();
    void recordsOneSolutionPerGridPoint();
    void recordsCarryTheBestPairWhateverTheThreadCount_data() { recordsOneSolutionPerGridPoint_data(); }
    void recordsCarryTheBestPairWhateverTheThreadCount();
    void sixPositionsRunTheOrdinarySynthesisInstead();
    void fourPositionSweepWritesOneCounterLinePerGridPoint();
    void fastSweepLeavesTheFilesOfTheNaiveSweep_data();
    void fastSweepLeavesTheFilesOfTheNaiveSweep();
};

void ToleranceSweepTest::initTestCase() { known::useStandardWorkspace(); }

// Position 0 varies slowest: record r has digit j of r in base 2 res + 1 as the level of position
// j, and level l means theta + tol (l - res) / res. Each row first sweeps with another tolerance,
// whose records the tested sweep must replace, and ends with the task's own orientations back.
void ToleranceSweepTest::recordsOneSolutionPerGridPoint_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("res");
    QTest::addColumn<double>("tol");
    QTest::addColumn<int>("count");  // (2 res + 1)^n, worked out by hand
    QTest::newRow("three positions, res 1") << 3 << 1 << 15.0 << 27;
    QTest::newRow("three positions, res 2") << 3 << 2 << 3.0 << 125;
    QTest::newRow("five positions, res 1") << 5 << 1 << 3.0 << 243;
    // Regression: res = 0 made the step infinite and recorded a run on NaN poses as a solution.
    QTest::newRow("five positions, res 0") << 5 << 0 << 10.0 << 1;
}

// Regression: the grid ran theta - tol + step ... theta + tol + step, never trying theta - tol;
// records piled up over runs; the task kept the last grid point's orientations.
void ToleranceSweepTest::recordsOneSolutionPerGridPoint() {
    QFETCH(int, n);
    QFETCH(int, res);
    QFETCH(double, tol);
    QFETCH(int, count);
    Rig rig(n);
    rig.engine.synthesizeWithTol(tol + 5.0, res, n);
    QSignalSpy started(&rig.engine, &MechanismSynthesis::tolSynthesisStarted);
    QSignalSpy done(&rig.engine, &MechanismSynthesis::tolSynthesisDone);
    rig.engine.synthesizeWithTol(tol, res, n);
    QCOMPARE(rig.engine.tolSolutionCount(), count);
    QCOMPARE(started.count(), 1);
    QCOMPARE(started.at(0).at(0).toInt(), count);
    QCOMPARE(done.count(), 1);
    QVERIFY(!rig.engine.isTolSynthesisRunning());
    QVERIFY(rig.engine.tolSolutionAt(count) == nullptr);
    QVERIFY(rig.engine.tolSolutionAt(-1) == nullptr);
    for (int r = 0; r < count; ++r) {
        const ToleranceSolution &s = *rig.engine.tolSolutionAt(r);
        QCOMPARE(static_cast<int>(s.positions.size()), n);
        QVERIFY(!s.flag);
        QVERIFY(s.dyadCount() >= 1);
        // The record keeps the kinds of its dyads by name, the first two making its type.
        for (int k = 0; k < s.dyadCount(); ++k)
            QVERIFY(QStringList({"RR", "PR", "RP"}).contains(s.dyadKind(k)));
        QCOMPARE(s.mechanismType(), s.dyadKind(0) + s.dyadKind(1));
        for (int j = n - 1, rest = r; j >= 0; --j, rest /= 2 * res + 1) {
            const Pose &nominal = rig.task[static_cast<size_t>(j)];
            const Point &p = s.positions[static_cast<size_t>(j)];
            const double want = nominal.thetaDeg + (res ? tol * (rest % (2 * res + 1) - res) / res : 0.0);
            QCOMPARE(p.x(), nominal.x);
            QCOMPARE(p.y(), nominal.y);
            QVERIFY2(std::fabs(p.z() - want) < 1e-12, qPrintable(QStringLiteral("record %1 position %2").arg(r).arg(j)));
        }
    }
    const std::vector<Point> after = rig.engine.getPointListCpy();
    QCOMPARE(static_cast<int>(after.size()), n);
    for (int j = 0; j < n; ++j) {
        QCOMPARE(rig.thetaOfRow(j), rig.task[static_cast<size_t>(j)].thetaDeg);
        QCOMPARE(after[static_cast<size_t>(j)].z(), rig.task[static_cast<size_t>(j)].thetaDeg);
    }
    rig.engine.clearTolSolutions();
    QCOMPARE(rig.engine.tolSolutionCount(), 0);
}

// A record's best pair is the Mechanisms table's first row for its task: the dyads of a plain run
// on the record's positions, every pair ranked. Judging on three threads (more than the test
// machine's cores, so they interleave) gives the records of one thread, field for field.
void ToleranceSweepTest::recordsCarryTheBestPairWhateverTheThreadCount() {
    QFETCH(int, n);
    QFETCH(int, res);
    QFETCH(double, tol);
    Rig one(n), three(n);
    one.engine.setSweepThreads(1);
    three.engine.setSweepThreads(3);
    one.engine.synthesizeWithTol(tol, res, n);
    three.engine.synthesizeWithTol(tol, res, n);
    QCOMPARE(three.engine.tolSolutionCount(), one.engine.tolSolutionCount());
    const auto same = [](double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); };
    int defectFree = 0;
    for (int r = 0; r < one.engine.tolSolutionCount(); ++r) {
        const PairSummary &a = one.engine.tolSolutionAt(r)->best, &b = three.engine.tolSolutionAt(r)->best;
        const QByteArray where = QByteArray("record ") + QByteArray::number(r);
        QVERIFY2(a.input == b.input && a.output == b.output && a.evaluated == b.evaluated
                     && a.circuitDefect == b.circuitDefect && a.branchDefect == b.branchDefect
                     && a.orderDefect == b.orderDefect && a.defectFree == b.defectFree
                     && same(a.transmissionDeviationDeg, b.transmissionDeviationDeg)
                     && same(a.maxPositionError, b.maxPositionError)
                     && same(a.maxAngleErrorDeg, b.maxAngleErrorDeg) && same(a.linkRatio, b.linkRatio)
                     && same(a.taskSize, b.taskSize),
                 where.constData());
        defectFree += a.defectFree;
    }
    QVERIFY(defectFree > 0);
    // Every tenth record (and the last) against the full ranking of a fresh run on its positions.
    const int count = one.engine.tolSolutionCount();
    for (int r = 0; r < count; r = r + 10 < count || r == count - 1 ? r + 10 : count - 1) {
        const ToleranceSolution &record = *one.engine.tolSolutionAt(r);
        std::vector<Pose> poses;
        for (const Point &p : record.positions)
            poses.push_back({p.x(), p.y(), p.z()});
        Rig check(n, poses);
        n == 3 ? check.engine.synthesize3pos() : n == 4 ? check.engine.synthesize4pos() : check.engine.synthesize();
        std::vector<const Dyad *> dyads;
        for (const Dyad *d : check.branch.getDyadListCpy())
            dyads.push_back(d);
        QCOMPARE(static_cast<int>(dyads.size()), record.dyadCount());
        const std::vector<PairRanking::Row> rows = PairRanking::rankAll(dyads, record.positions);
        const PairSummary &best = record.best;
        QCOMPARE(best.hasPair(), !rows.empty());
        if (rows.empty())
            continue;
        const PairEvaluation &e = rows.front().evaluation;
        QCOMPARE(best.input, rows.front().input);
        QCOMPARE(best.output, rows.front().output);
        QCOMPARE(best.defectFree, e.defectFree);
        QCOMPARE(best.circuitDefect, e.circuitDefect);
        QCOMPARE(best.branchDefect, e.branchDefect);
        QCOMPARE(best.orderDefect, e.orderDefect);
        QVERIFY(std::fabs(best.transmissionDeviationDeg - transmissionDeviationDeg(e)) < 1e-9);
        QVERIFY(std::fabs(best.maxPositionError - e.maxPositionError) < 1e-9);
        QVERIFY(std::fabs(best.maxAngleErrorDeg - e.maxAngleErrorDeg) < 1e-9);
        QVERIFY(same(best.linkRatio, e.linkRatio) || std::fabs(best.linkRatio - e.linkRatio) < 1e-9);
    }
}

// Regression: six positions cleared the branch, synthesized nothing and still signalled done.
void ToleranceSweepTest::sixPositionsRunTheOrdinarySynthesisInstead() {
    QTemporaryDir sweepDir, plainDir;
    std::vector<Point> sweptPivots, plainPivots;
    inDirectory(plainDir.path(), [&] {
        Rig rig(6);
        rig.engine.synthesize();
        for (const Dyad *d : rig.branch.getDyadListCpy())
            plainPivots.push_back(d->fixedPivotCopy());
    });
    inDirectory(sweepDir.path(), [&] {
        Rig rig(6);
        QSignalSpy tolDone(&rig.engine, &MechanismSynthesis::tolSynthesisDone);
        QSignalSpy done(&rig.engine, QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
        QSignalSpy report(&rig.engine, &MechanismSynthesis::updateOutfile);
        rig.engine.synthesizeWithTol(15.0, 1, 6);
        QCOMPARE(rig.engine.tolSolutionCount(), 0);
        QCOMPARE(tolDone.count(), 1);
        QCOMPARE(done.count(), 1);
        QVERIFY(report.last().at(0).toString().contains(QStringLiteral("three to five positions")));
        for (const Dyad *d : rig.branch.getDyadListCpy())
            sweptPivots.push_back(d->fixedPivotCopy());
    });
    QVERIFY(plainPivots.size() >= 2);
    QCOMPARE(sweptPivots.size(), plainPivots.size());
    for (size_t i = 0; i < plainPivots.size(); ++i)
        QCOMPARE(sweptPivots[i].distance(plainPivots[i]), 0.0);
    QCOMPARE(fileText(sweepDir.filePath(QStringLiteral("TolSolutions.txt"))), QByteArray("66"));
}

// The four level counters go into the file while it is open, one line per grid point.
void ToleranceSweepTest::fourPositionSweepWritesOneCounterLinePerGridPoint() {
    QTemporaryDir dir;
    inDirectory(dir.path(), [] {
        Rig rig(4);
        rig.engine.synthesizeWithTol(2.0, 1, 4);
        QByteArray want("44");
        for (int g = 0; g < 81; ++g)
            want += QStringLiteral("\n%1 %2 %3 %4").arg(g / 27).arg(g / 9 % 3).arg(g / 3 % 3).arg(g % 3).toLatin1();
        QCOMPARE(fileText(QStringLiteral("TolSolutions.txt")), want);
    });
}

void ToleranceSweepTest::fastSweepLeavesTheFilesOfTheNaiveSweep_data() {
    QTest::addColumn<int>("n");
    QTest::newRow("three positions") << 3;
    QTest::newRow("four positions") << 4;
    QTest::newRow("five positions") << 5;
}

void ToleranceSweepTest::fastSweepLeavesTheFilesOfTheNaiveSweep() {
    QFETCH(int, n);
    QTemporaryDir fastDir, naiveDir;
    QString fastType, naiveType;
    int fastDone = 0, naiveDone = 0;
    // Both run every grid point; the fast path announces only its last one.
    auto sweep = [n](bool fast, QString &type, int &announced) {
        Rig rig(n);
        rig.engine.setFastSweep(fast);
        QSignalSpy done(&rig.engine, QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
        rig.engine.synthesizeWithTol(4.0, 1, n);
        type = rig.branch.getMechanismType();
        announced = static_cast<int>(done.count());
    };
    inDirectory(naiveDir.path(), [&] { sweep(false, naiveType, naiveDone); });
    inDirectory(fastDir.path(), [&] { sweep(true, fastType, fastDone); });
    QCOMPARE(fastDone, 1);
    QCOMPARE(naiveDone, static_cast<int>(std::pow(3, n)));
    const QMap<QString, QByteArray> fast = known::folderFiles(fastDir.path());
    const QMap<QString, QByteArray> naive = known::folderFiles(naiveDir.path());
    QCOMPARE(fast.keys(), naive.keys());
    QVERIFY(fast.contains(QStringLiteral("output.txt")));
    for (const QString &name : naive.keys())
        QVERIFY2(fast.value(name) == naive.value(name), qPrintable(name));
    QCOMPARE(fastType, naiveType);
}

MS_REGISTER_TEST(ToleranceSweepTest)
#include "ToleranceSweepTest.moc"
