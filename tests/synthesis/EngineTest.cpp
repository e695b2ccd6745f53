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
    void singularFitStopsTheRunAndLeavesTheBranchEmpty();
    void aRunWithNoRealRootsLeavesAnEmptyBranchAndStillSignals();
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

// Regression: a failed decomposition left empty results that the run went on to read. Poses
// turning about one point leave the fit singular (every body point is a circle point).
void EngineTest::singularFitStopsTheRunAndLeavesTheBranchEmpty() {
    Session rig(crankRockerPoses(5));
    rig.engine.synthesize();
    QVERIFY(rig.branch.synthesizedDyadCount() >= 2);
    const double turnsDeg[5] = {0.0, 20.0, 45.0, 70.0, 100.0};
    for (int i = 0; i < 5; ++i) {
        const double t = turnsDeg[i] * std::acos(-1.0) / 180.0;
        rig.engine.setDataValue(i, 0, 1.0 + 2.0 * std::cos(t));
        rig.engine.setDataValue(i, 1, 2.0 + 2.0 * std::sin(t));
        rig.engine.setDataValue(i, 2, turnsDeg[i]);
    }
    QSignalSpy done(&rig.engine, QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    QSignalSpy report(&rig.engine, &MechanismSynthesis::updateOutfile);
    rig.engine.synthesize();
    QCOMPARE(done.count(), 1);
    QCOMPARE(done.at(0).at(0).toInt(), 0);
    QCOMPARE(rig.branch.synthesizedDyadCount(), 0);
    QCOMPARE(report.count(), 1);
    QVERIFY(report.at(0).at(0).toString().startsWith(QStringLiteral("Synthesis stopped")));
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

MS_REGISTER_TEST(EngineTest)
#include "EngineTest.moc"
