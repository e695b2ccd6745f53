// The engine's state and slots, and the runs that must stop or come out empty.
#include "Branch.h"
#include "Dyad.h"
#include "KnownMechanisms.h"
#include "MechanismSynthesis.h"
#include "Motion.h"
#include "NPositionFit.h"
#include "RR.h"

#include <QSignalSpy>
#include <QtTest>
#include "TestSupport.h"
#include <cmath>
#include <limits>
#include <random>

namespace {
using known::crankRockerPoses;
using known::crankSide;
using known::rockerSide;
using known::Session;

QByteArray fileText(const char *name) { return known::fileText(QString::fromLatin1(name)); }
} // namespace

class EngineTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void refusesARunItHasNoInputForAndLeavesTheBranch_data();
    void refusesARunItHasNoInputForAndLeavesTheBranch();
    void nanInTheDataStopsTheRunAndLeavesTheBranchEmpty();
    void aRunWithNoRealRootsLeavesAnEmptyBranchAndStillSignals();
    void unselectedDyadsOfARunAreReleased();
    void thresholdIsTenToMinusTheMagnitude();
    void onlyTheFirstTwoUserPointsAreKept();
    void rowOperationsRewriteTheDataFile();
    void outOfRangeDataValuesAreIgnored();
};

void EngineTest::initTestCase() { known::useStandardWorkspace(); }

// Every operation checks its task and its input before it touches the branch: the dyad already
// there stays, no run is announced, and the report says what is missing.
void EngineTest::refusesARunItHasNoInputForAndLeavesTheBranch_data() {
    QTest::addColumn<int>("positions");
    QTest::addColumn<bool>("dropLastRow");  // the motion keeps its positions, the matrix not
    QTest::addColumn<bool>("line");         // through the crank's fixed pivot
    QTest::addColumn<int>("points");        // chosen fixed pivots: crank, then rocker
    QTest::addColumn<int>("operation");     // 5: n-position, 4, 3: variants, -n: sweep of n
    QTest::addColumn<QString>("mentions");
    // Regression: the run read five rows whatever the task held.
    QTest::newRow("n-position, four positions") << 4 << false << false << 0 << 5 << "at least 5";
    QTest::newRow("n-position, fewer rows than positions") << 6 << true << false << 0 << 5 << "";
    QTest::newRow("four-position, no line") << 4 << false << false << 2 << 4 << "a line";
    QTest::newRow("four-position, five positions") << 5 << false << true << 0 << 4
                                                   << "exactly 4 positions";
    QTest::newRow("three-position, one point") << 3 << false << false << 1 << 3
                                               << "two chosen fixed pivots";
    QTest::newRow("three-position, four positions") << 4 << false << false << 2 << 3
                                                    << "exactly 3 positions";
    QTest::newRow("sweep of four, no line") << 4 << false << false << 2 << -4 << "line";
    QTest::newRow("sweep of three, task of four") << 4 << false << true << 2 << -3
                                                  << "the task has 4";
}

void EngineTest::refusesARunItHasNoInputForAndLeavesTheBranch() {
    QFETCH(int, positions);
    QFETCH(bool, dropLastRow);
    QFETCH(bool, line);
    QFETCH(int, points);
    QFETCH(int, operation);
    QFETCH(QString, mentions);
    Session rig(crankRockerPoses(positions));
    if (dropLastRow)
        rig.engine.removeDataRow(positions - 1);
    if (line)
        rig.engine.updateLineParams(1.0, -2.0, 3.0, -1.0);
    if (points >= 1)
        rig.engine.setUDP(crankSide.fixedPivot.x, crankSide.fixedPivot.y);
    if (points >= 2)
        rig.engine.setUDP(rockerSide.fixedPivot.x, rockerSide.fixedPivot.y);
    rig.branch.createDyad(std::make_shared<RR>(0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0));
    QSignalSpy done(&rig.engine, QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    QSignalSpy started(&rig.engine, &MechanismSynthesis::tolSynthesisStarted);
    QSignalSpy report(&rig.engine, &MechanismSynthesis::updateOutfile);
    if (operation == 5)
        rig.engine.synthesize();
    else if (operation == 4)
        rig.engine.synthesize4pos();
    else if (operation == 3)
        rig.engine.synthesize3pos();
    else
        rig.engine.synthesizeWithTol(15.0, 1, -operation);
    QCOMPARE(done.count(), 0);
    QCOMPARE(started.count(), 0);
    QCOMPARE(rig.engine.tolSolutionCount(), 0);
    QCOMPARE(rig.branch.synthesizedDyadCount(), 1);
    QVERIFY(!report.isEmpty());
    QVERIFY2(report.last().at(0).toString().contains(mentions),
             qPrintable(report.last().at(0).toString()));
}

// Regression: a failed decomposition left empty results that the run went on to read.
void EngineTest::nanInTheDataStopsTheRunAndLeavesTheBranchEmpty() {
    Session rig(crankRockerPoses(5));
    rig.engine.synthesize();
    QVERIFY(rig.branch.synthesizedDyadCount() >= 2);
    rig.engine.setDataValue(3, 1, std::numeric_limits<double>::quiet_NaN());
    QSignalSpy done(&rig.engine, QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    QSignalSpy report(&rig.engine, &MechanismSynthesis::updateOutfile);
    QSignalSpy cfe(&rig.engine, &MechanismSynthesis::updateCFE);
    rig.engine.synthesize();
    QCOMPARE(done.count(), 1);
    QCOMPARE(done.at(0).at(0).toInt(), 0);
    QCOMPARE(rig.branch.synthesizedDyadCount(), 0);
    QVERIFY(rig.branch.getFirstPassDyads().empty());
    QCOMPARE(report.count(), 1);
    QVERIFY(report.at(0).at(0).toString().startsWith(QStringLiteral("Synthesis stopped")));
    QCOMPARE(cfe.count(), 0);
    QVERIFY(!rig.engine.lastFit().ok);
    QCOMPARE(fileText("steps.txt"), QByteArray("Step 1 \n"));
}

void EngineTest::aRunWithNoRealRootsLeavesAnEmptyBranchAndStillSignals() {
    // Random five-position tasks: find one whose resultant has no real root.
    std::mt19937 gen(99u);
    std::uniform_real_distribution<double> u(-8.0, 8.0);
    std::vector<known::Pose> poses;
    bool found = false;
    for (int trial = 0; trial < 5000 && !found; ++trial) {
        poses.clear();
        arma::mat task(5, 3);
        for (arma::uword i = 0; i < 5; ++i) {
            poses.push_back({u(gen), u(gen), 20.0 * u(gen)});
            task.row(i) = arma::rowvec{poses.back().x, poses.back().y, poses.back().thetaDeg};
        }
        const FitResult fit = NPositionFit::run(task, 5, TypeDecision::Settings{});
        found = fit.ok && fit.realRoots.empty();
    }
    QVERIFY2(found, "no task without real roots among the random ones");
    Session rig(poses);
    QSignalSpy done(&rig.engine, QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    rig.engine.synthesize();
    QCOMPARE(done.count(), 1);
    QCOMPARE(done.at(0).at(0).toInt(), 0);
    QCOMPARE(rig.branch.synthesizedDyadCount(), 0);
    QCOMPARE(fileText("Parameters.txt"), QByteArray());
    QCOMPARE(fileText("SolStats.txt"), QByteArray());
    QCOMPARE(fileText("dyad parameters.txt"), QByteArray());
    QCOMPARE(fileText("steps.txt"), QByteArray("Step 2 \n"));
}

void EngineTest::unselectedDyadsOfARunAreReleased() {
    Session rig(crankRockerPoses(5));
    rig.engine.synthesize();
    std::vector<std::weak_ptr<Dyad>> made;
    for (const Branch::DyadHandle &d : rig.branch.getDyadList())
        made.push_back(d);
    for (const Branch::DyadHandle &d : rig.branch.getFirstPassDyads())
        made.push_back(d);
    QVERIFY(made.size() >= 4);
    // The next run clears the branch: nothing of the first run may stay alive.
    rig.engine.synthesize();
    for (const std::weak_ptr<Dyad> &w : made)
        QVERIFY(w.expired());
}

void EngineTest::thresholdIsTenToMinusTheMagnitude() {
    MechanismSynthesis engine;
    QCOMPARE(engine.getThreshold(), 1e-5);
    QSignalSpy rerun(&engine, QOverload<>::of(&MechanismSynthesis::synthesisdone));
    engine.setThreshold(-3);
    QVERIFY(std::fabs(engine.getThreshold() - 0.001) < 1e-18);
    engine.setThreshold(3);  // the same value: no second run
    QVERIFY(std::fabs(engine.getThreshold() - 0.001) < 1e-18);
    QCOMPARE(rerun.count(), 1);
    engine.setThreshold(0);
    QCOMPARE(engine.getThreshold(), 1.0);
    QCOMPARE(rerun.count(), 2);
}

void EngineTest::onlyTheFirstTwoUserPointsAreKept() {
    MechanismSynthesis engine;
    QSignalSpy rerun(&engine, QOverload<>::of(&MechanismSynthesis::synthesisdone));
    engine.setUDP(1.0, 2.0);
    engine.setUDP(3.0, 4.0);
    engine.setUDP(5.0, 6.0);
    QVERIFY(engine.udp1Defined && engine.udp2Defined);
    QCOMPARE(engine.udp1.x(), 1.0);
    QCOMPARE(engine.udp2.y(), 4.0);
    QCOMPARE(rerun.count(), 0);
}

void EngineTest::rowOperationsRewriteTheDataFile() {
    MechanismSynthesis engine;
    engine.appendDataRow(1.5, -2.0, 90.0);
    // The library's text format: its mark, the sizes, then one line per row.
    QList<QByteArray> lines = fileText("data_value matrix.txt").split('\n');
    QCOMPARE(lines.value(0), QByteArray("ARMA_MAT_TXT_FN008"));
    QCOMPARE(lines.value(1), QByteArray("1 4"));
    QCOMPARE(lines.value(2).simplified().split(' ').size(), 4);
    engine.appendDataRow(3.0, 4.0, 45.0);
    engine.setDataRow(0, 7.0, 8.0, 9.0);
    lines = fileText("data_value matrix.txt").split('\n');
    QCOMPARE(lines.value(1), QByteArray("2 4"));
    QCOMPARE(lines.value(2).simplified().split(' ').value(0).toDouble(), 7.0);
    QCOMPARE(lines.value(3).simplified().split(' ').value(3).toDouble(), 1.0);  // its index
    engine.removeDataRow(0);
    lines = fileText("data_value matrix.txt").split('\n');
    QCOMPARE(lines.value(1), QByteArray("1 4"));
    QCOMPARE(lines.value(2).simplified().split(' ').value(2).toDouble(), 45.0);
    // A matrix made by setData keeps three columns.
    engine.setData(2);
    engine.appendDataRow(1.0, 1.0, 1.0);
    QCOMPARE(fileText("data_value matrix.txt").split('\n').value(1), QByteArray("3 3"));
}

void EngineTest::outOfRangeDataValuesAreIgnored() {
    MechanismSynthesis engine;
    engine.setData(2);
    engine.setDataValue(2, 0, 5.0);
    engine.setDataValue(0, 3, 5.0);
    engine.setDataValue(-1, 0, 5.0);
    engine.setDataValue(1, 2, 5.0);
    QCOMPARE(arma::accu(engine.getData()), 5.0);
}

MS_REGISTER_TEST(EngineTest)
#include "EngineTest.moc"
