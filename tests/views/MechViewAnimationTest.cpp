// Cartesian view animation: one mechanism step per timer tick, start, pause and stop.
#include "Branch.h"
#include "Dyad.h"
#include "MechGLWidget.h"
#include "Mechanism.h"
#include "ProcessValues.h"

#include <QSignalSpy>
#include <QtTest>
#include "TestSupport.h"
#include "ViewTestSupport.h"

using viewtest::directionDeg;

class MechViewAnimationTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void eachTickTurnsTheCrankByOneDegreeAndKeepsTheLoopClosed();
    void eachTickAsksForOneRepaint();
    void stopReturnsTheMechanismToItsAssembly();
    void startRunsTheTenMillisecondTimer();
    void stopAlwaysStopsTheTimer();
    void pauseKeepsTheMechanismWhereItIs();
    void dimensionsHiddenOnlyWhileAnimating_data();
    void dimensionsHiddenOnlyWhileAnimating();
    void keysStartAndStopTheTimer();
    void tickAfterTheBranchForgetsItsDyadsTouchesNothing();
};

void MechViewAnimationTest::init() { showDimensions = false; }
void MechViewAnimationTest::cleanup() { showDimensions = false; }

void MechViewAnimationTest::eachTickTurnsTheCrankByOneDegreeAndKeepsTheLoopClosed() {
    Branch branch;
    viewtest::buildUserFourBar(branch);
    MechGLWidget view;
    view.setAllDyad(&branch);
    const Mechanism *m = branch.getMechanism();
    QVERIFY(m->isSet());
    const Dyad *crank = m->getInputDyad();
    const Dyad *rocker = m->getOutputDyad();
    double previous = directionDeg(crank->fixedPivotCopy(), crank->movingPivotCopy());
    QVERIFY(std::fabs(previous - 90.0) < 1e-9);
    double firstStep = 0.0;
    for (int tick = 0; tick < 5; ++tick) {
        view.animate();
        const double now = directionDeg(crank->fixedPivotCopy(), crank->movingPivotCopy());
        const double step = now - previous;
        QVERIFY2(std::fabs(std::fabs(step) - 1.0) < 1e-9, qPrintable(QString::number(step)));
        if (tick == 0)
            firstStep = step;
        QCOMPARE(step > 0, firstStep > 0);  // no dead position here: the sense stays
        previous = now;
        // Loop closure: the coupler and the rocker keep their lengths (4 and 3).
        const Point m1 = crank->movingPivotCopy();
        const Point m2 = rocker->movingPivotCopy();
        QVERIFY(std::fabs(m1.distance(m2) - 4.0) < 1e-9);
        QVERIFY(std::fabs(m2.distance(rocker->fixedPivotCopy()) - 3.0) < 1e-9);
    }
}

void MechViewAnimationTest::eachTickAsksForOneRepaint() {
    Branch branch;
    viewtest::buildUserFourBar(branch);
    MechGLWidget view;
    view.setAllDyad(&branch);
    QSignalSpy redraws(&branch, &Branch::updateObject);
    view.animate();
    view.animate();
    QCOMPARE(redraws.count(), 2);
}

void MechViewAnimationTest::stopReturnsTheMechanismToItsAssembly() {
    Branch branch;
    viewtest::buildUserFourBar(branch);
    MechGLWidget view;
    view.setAllDyad(&branch);
    const Dyad *crank = branch.getMechanism()->getInputDyad();
    view.startAnimate();
    for (int tick = 0; tick < 20; ++tick)
        view.animate();
    QVERIFY(crank->movingPivotCopy().distance(0.0, 1.0) > 0.1);
    view.pauseAnimate();
    view.stopAnimate();  // stop after pause still resets
    QVERIFY(!view.isAnimating());
    QVERIFY(crank->movingPivotCopy().distance(0.0, 1.0) < 1e-9);
}

void MechViewAnimationTest::startRunsTheTenMillisecondTimer() {
    Branch branch;
    viewtest::buildUserFourBar(branch);
    MechGLWidget view;
    view.setAllDyad(&branch);
    view.startAnimate();
    QVERIFY(view.isAnimating());
    QCOMPARE(view.animationInterval(), 10);
    view.stopAnimate();
}

// Regression: stop did nothing while no mechanism had a coupler point, so a started timer ran on.
void MechViewAnimationTest::stopAlwaysStopsTheTimer() {
    Branch branch;
    MechGLWidget view;
    view.setAllDyad(&branch);
    view.startAnimate();
    QVERIFY(view.isAnimating());
    view.stopAnimate();
    QVERIFY(!view.isAnimating());
}

void MechViewAnimationTest::pauseKeepsTheMechanismWhereItIs() {
    Branch branch;
    viewtest::buildUserFourBar(branch);
    MechGLWidget view;
    view.setAllDyad(&branch);
    const Dyad *crank = branch.getMechanism()->getInputDyad();
    view.startAnimate();
    for (int tick = 0; tick < 10; ++tick)
        view.animate();
    const Point before = crank->movingPivotCopy();
    view.pauseAnimate();
    QVERIFY(!view.isAnimating());
    QVERIFY(crank->movingPivotCopy().distance(before) < 1e-12);
    QVERIFY(before.distance(0.0, 1.0) > 0.1);
}

void MechViewAnimationTest::dimensionsHiddenOnlyWhileAnimating_data() {
    QTest::addColumn<bool>("shownBefore");
    QTest::addColumn<bool>("byPause");
    QTest::newRow("shown, stopped") << true << false;
    QTest::newRow("shown, paused") << true << true;
    QTest::newRow("hidden, stopped") << false << false;
    QTest::newRow("hidden, paused") << false << true;
}

void MechViewAnimationTest::dimensionsHiddenOnlyWhileAnimating() {
    QFETCH(bool, shownBefore);
    QFETCH(bool, byPause);
    Branch branch;
    viewtest::buildUserFourBar(branch);
    MechGLWidget view;
    view.setAllDyad(&branch);
    showDimensions = shownBefore;
    view.startAnimate();
    QVERIFY(!showDimensions);
    if (byPause)
        view.pauseAnimate();
    else
        view.stopAnimate();
    QCOMPARE(showDimensions, shownBefore);
}

void MechViewAnimationTest::keysStartAndStopTheTimer() {
    Branch branch;
    viewtest::buildUserFourBar(branch);
    MechGLWidget view;
    view.setAllDyad(&branch);
    QTest::keyClick(&view, Qt::Key_S);
    QVERIFY(view.isAnimating());
    QCOMPARE(view.animationInterval(), 30);
    QTest::keyClick(&view, Qt::Key_T);
    QVERIFY(!view.isAnimating());
}

// The branch frees its dyads on a reset or a new synthesis; a tick and a paint afterwards must
// only see the emptied branch.
void MechViewAnimationTest::tickAfterTheBranchForgetsItsDyadsTouchesNothing() {
    MS_REQUIRE_GL();
    Branch branch;
    viewtest::buildUserFourBar(branch);
    MechGLWidget view;
    view.resize(300, 200);
    view.setAllDyad(&branch);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.startAnimate();
    view.animate();
    (void)view.grabFramebuffer();
    branch.clearBranch();
    view.animate();
    const QImage after = view.grabFramebuffer();
    QVERIFY(!after.isNull());
    view.stopAnimate();
    QVERIFY(!view.isAnimating());
}

MS_REGISTER_TEST(MechViewAnimationTest)
#include "MechViewAnimationTest.moc"
