// Cartesian view animation: one mechanism step per animate() and the timer's pace kept when frames
// come late, start, pause and stop from the slots and the keys, and the dimension labels hidden
// while it runs.
#include "Dyad.h"
#include "Mechanism.h"
#include "ProcessValues.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>
#include "TestSupport.h"
#include "ViewTestSupport.h"

namespace {
double crankDeg(const Dyad *crank) {
    const Point f = crank->fixedPivotCopy(), m = crank->movingPivotCopy();
    return std::atan2(m.y() - f.y(), m.x() - f.x()) * 180.0 / viewtest::pi;
}
} // namespace

class MechViewAnimationTest : public QObject {
    Q_OBJECT
private slots:
    void init() { showDimensions = false; }
    void cleanup() { showDimensions = false; }
    void eachTickTurnsTheCrankByOneDegreeAndRepaints() {
        viewtest::Rig rig;
        viewtest::buildUserFourBar(rig.branch);
        const Mechanism *m = rig.branch.getMechanism();
        QVERIFY(m->isSet());
        const Dyad *crank = m->getInputDyad();
        const Dyad *rocker = m->getOutputDyad();
        QSignalSpy redraws(&rig.branch, &Branch::updateObject);
        rig.view.startAnimate();
        QVERIFY(rig.view.isAnimating());
        QCOMPARE(rig.view.animationInterval(), 10);
        double previous = crankDeg(crank);
        QVERIFY(std::fabs(previous - 90.0) < 1e-9);
        double firstStep = 0.0;
        for (int tick = 0; tick < 5; ++tick) {
            rig.view.animate();
            QCOMPARE(redraws.count(), tick + 1);
            const double step = crankDeg(crank) - previous;
            QVERIFY2(std::fabs(std::fabs(step) - 1.0) < 1e-9, qPrintable(QString::number(step)));
            if (tick == 0)
                firstStep = step;
            QCOMPARE(step > 0, firstStep > 0);  // no dead position here: the sense stays
            previous = crankDeg(crank);
            // Loop closure: the coupler and the rocker keep their lengths (4 and 3).
            const Point m1 = crank->movingPivotCopy(), m2 = rocker->movingPivotCopy();
            QVERIFY(std::fabs(m1.distance(m2) - 4.0) < 1e-9);
            QVERIFY(std::fabs(m2.distance(rocker->fixedPivotCopy()) - 3.0) < 1e-9);
        }
        rig.view.stopAnimate();
    }
    // Frames that take 30 ms (a large window composed by a software renderer) must not slow the
    // mechanism to one step per frame: it keeps the 10 ms timer's pace by the clock.
    void theMechanismKeepsTheTimersPaceWhenFramesComeLate() {
        viewtest::Rig rig;
        viewtest::buildUserFourBar(rig.branch);
        QSignalSpy steps(&rig.branch, &Branch::updateObject);
        QElapsedTimer clock;
        rig.view.startAnimate();
        clock.start();
        while (clock.elapsed() < 300) {
            QThread::msleep(30);
            QCoreApplication::processEvents();
        }
        const double due = static_cast<double>(clock.elapsed()) / rig.view.animationInterval();
        const int taken = static_cast<int>(steps.count());
        rig.view.stopAnimate();
        QVERIFY2(taken >= 0.6 * due && taken <= due + 1.0,
                 qPrintable(QStringLiteral("%1 steps in %2 periods").arg(taken).arg(due)));
    }
    void pauseKeepsAndStopResetsTheMechanism_data() {
        QTest::addColumn<bool>("dimensionsShown"); QTest::addColumn<bool>("byPause");
        QTest::newRow("shown, stopped") << true << false;
        QTest::newRow("shown, paused") << true << true;
        QTest::newRow("hidden, stopped") << false << false;
        QTest::newRow("hidden, paused") << false << true;
    }
    // The dimension labels are hidden while the mechanism runs and come back as they were; a pause
    // leaves the crank where it is, a stop (also after a pause) puts it back at its assembly.
    void pauseKeepsAndStopResetsTheMechanism() {
        QFETCH(bool, dimensionsShown); QFETCH(bool, byPause);
        viewtest::Rig rig;
        viewtest::buildUserFourBar(rig.branch);
        const Dyad *crank = rig.branch.getMechanism()->getInputDyad();
        showDimensions = dimensionsShown;
        rig.view.startAnimate();
        QVERIFY(!showDimensions);
        for (int tick = 0; tick < 20; ++tick)
            rig.view.animate();
        const Point moved = crank->movingPivotCopy();
        QVERIFY(moved.distance(0.0, 1.0) > 0.1);
        if (byPause) {
            rig.view.pauseAnimate();
            QVERIFY(crank->movingPivotCopy().distance(moved) < 1e-12);
        } else {
            rig.view.stopAnimate();
            QVERIFY(crank->movingPivotCopy().distance(0.0, 1.0) < 1e-9);
        }
        QVERIFY(!rig.view.isAnimating());
        QCOMPARE(showDimensions, dimensionsShown);
        rig.view.stopAnimate();
        QVERIFY(crank->movingPivotCopy().distance(0.0, 1.0) < 1e-9);
    }
    void keysStartAndStopTheTimer() {
        viewtest::Rig rig;
        viewtest::buildUserFourBar(rig.branch);
        QTest::keyClick(&rig.view, Qt::Key_S);
        QVERIFY(rig.view.isAnimating());
        QCOMPARE(rig.view.animationInterval(), 30);
        QTest::keyClick(&rig.view, Qt::Key_T);
        QVERIFY(!rig.view.isAnimating());
        // Regression: stop did nothing while no mechanism had a coupler point, so a started timer
        // ran on.
        rig.branch.clearBranch();
        rig.view.startAnimate();
        QVERIFY(rig.view.isAnimating());
        rig.view.stopAnimate();
        QVERIFY(!rig.view.isAnimating());
    }
    // The branch frees its dyads on a reset or a new synthesis; a tick and a paint afterwards must
    // only see the emptied branch.
    void tickAfterTheBranchForgetsItsDyadsTouchesNothing() {
        MS_REQUIRE_GL();
        viewtest::Rig rig;
        viewtest::buildUserFourBar(rig.branch);
        rig.view.resize(300, 200);
        rig.view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.view));
        rig.view.startAnimate();
        rig.view.animate();
        (void)rig.view.grabFramebuffer();
        rig.branch.clearBranch();
        rig.view.animate();
        QVERIFY(!rig.view.grabFramebuffer().isNull());
        rig.view.stopAnimate();
        QVERIFY(!rig.view.isAnimating());
    }
};
MS_REGISTER_TEST(MechViewAnimationTest)
#include "MechViewAnimationTest.moc"
