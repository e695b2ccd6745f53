// The engine's state and slots, and the runs that must stop or come out empty.
#include "Branch.h"
#include "Dyad.h"
#include "KnownMechanisms.h"
#include "MechanismSynthesis.h"
#include "Motion.h"
#include "NPositionFit.h"
#include "RR.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>
#include "TestSupport.h"
#include <cmath>
#include <limits>
#include <random>

namespace {
struct Rig {
    Motion motion;
    Branch branch;
    MechanismSynthesis engine;
    Rig() {
        engine.setMotion(&motion);
        engine.setBranch(&branch);
        engine.setMessageOutput(stderr);
    }
};

std::vector<known::Pose> crankRockerPoses(int n) {
    std::vector<known::Pose> poses;
    std::vector<double> angles;
    for (int i = 0; i < n; ++i)
        angles.push_back(0.8 + 0.25 * i);
    known::rrrrPoses({{1.0, -2.0}, {-0.5, 0.8}, 2.5}, {{6.0, -1.5}, {2.2, 0.4}, 4.0}, angles, true,
                     poses);
    return poses;
}

QByteArray fileText(const char *name) {
    QFile f(QString::fromLatin1(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
} // namespace

class EngineTest : public QObject {
    Q_OBJECT
private slots:
    void nanInTheDataStopsTheRunAndLeavesTheBranchEmpty();
    void fewerThanFivePositionsNeverRunTheFit();
    void fewerRowsThanPositionsNeverRunTheFit();
    void aRunWithNoRealRootsLeavesAnEmptyBranchAndStillSignals();
    void unselectedDyadsOfARunAreReleased();
    void thresholdIsTenToMinusTheMagnitude();
    void linkRatioAndLineSettingsAskForARerun();
    void onlyTheFirstTwoUserPointsAreKept();
    void pointListIsRebuiltFromTheDataRows();
    void rowOperationsRewriteTheDataFile();
    void outOfRangeDataValuesAreIgnored();
};

// Regression: a failed decomposition left empty results that the run went on to read.
void EngineTest::nanInTheDataStopsTheRunAndLeavesTheBranchEmpty() {
    Rig rig;
    known::loadTask(rig.motion, rig.engine, crankRockerPoses(5));
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

// Regression: the run read five rows whatever the task held.
void EngineTest::fewerThanFivePositionsNeverRunTheFit() {
    Rig rig;
    rig.branch.createDyad(std::make_shared<RR>(0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0));
    known::loadTask(rig.motion, rig.engine, crankRockerPoses(4));
    QSignalSpy done(&rig.engine, QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    QSignalSpy report(&rig.engine, &MechanismSynthesis::updateOutfile);
    rig.engine.synthesize();
    QCOMPARE(done.count(), 0);
    QCOMPARE(rig.branch.synthesizedDyadCount(), 1);  // the task was not touched
    QCOMPARE(report.count(), 1);
    QVERIFY(report.at(0).at(0).toString().contains(QStringLiteral("at least 5")));
}

void EngineTest::fewerRowsThanPositionsNeverRunTheFit() {
    Rig rig;
    known::loadTask(rig.motion, rig.engine, crankRockerPoses(6));
    rig.engine.removeDataRow(5);  // the motion keeps six positions, the matrix five rows
    QSignalSpy done(&rig.engine, QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    rig.engine.synthesize();
    QCOMPARE(done.count(), 0);
    QCOMPARE(rig.branch.synthesizedDyadCount(), 0);
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
    Rig rig;
    known::loadTask(rig.motion, rig.engine, poses);
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
    Rig rig;
    known::loadTask(rig.motion, rig.engine, crankRockerPoses(5));
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

void EngineTest::linkRatioAndLineSettingsAskForARerun() {
    MechanismSynthesis engine;
    QCOMPARE(engine.getLinkRatio(), 2.0);
    QSignalSpy rerun(&engine, QOverload<>::of(&MechanismSynthesis::synthesisdone));
    engine.setLinkRatio(3);
    QCOMPARE(engine.getLinkRatio(), 3.0);
    engine.setLinkRatio(3);
    QCOMPARE(rerun.count(), 1);
    engine.updateLineParams(1.0, 2.0, 3.0, 6.0);
    QVERIFY(engine.lineDefined);
    QCOMPARE(engine.lineA, 2.0);
    QCOMPARE(engine.lineB, -1.0);
    QCOMPARE(engine.lineC, 0.0);
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

void EngineTest::pointListIsRebuiltFromTheDataRows() {
    Rig rig;
    known::loadTask(rig.motion, rig.engine, crankRockerPoses(5));
    rig.engine.setDataValue(2, 2, 123.5);
    const std::vector<Point> points = rig.engine.getPointListCpy();
    QCOMPARE(points.size(), size_t(5));
    QCOMPARE(points[2][2], 123.5);
    QCOMPARE(points[2].dimension(), 3);
    QCOMPARE(rig.engine.getPointList()->size(), size_t(5));
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
