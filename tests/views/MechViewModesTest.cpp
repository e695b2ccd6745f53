// Cartesian view interaction modes driven with the mouse: entering and editing positions,
// entering and editing dyads, the line constraint and the user-defined points.
#include "Dyad.h"

#include <QSignalSpy>
#include <QtTest>
#include "TestSupport.h"
#include "ViewTestSupport.h"

using viewtest::addPose;
using viewtest::drag;
using viewtest::hover;
using viewtest::TaskKeeper;

namespace {
using Fixture = viewtest::Rig;
QPoint px(double x, double y) { return viewtest::Rig::px(x, y); }
} // namespace

class MechViewModesTest : public QObject {
    Q_OBJECT
private slots:
    void dragInPositionInputRequestsAPositionAlongTheDrag_data();
    void dragInPositionInputRequestsAPositionAlongTheDrag();
    void refusedPositionRequestLeavesTheTaskAsItIs();
    void hoverMakesThePositionUnderTheMouseCurrent();
    void dragInEditModeMovesTheNearestPosition();
    void dragOnAnAxisTipTurnsThePosition();
    void pressOnNothingInEditModeClearsTheSelection();
    void deleteKeyAsksOnlyForAnExistingPosition();
    void mechanismInputCreatesADyadOfTheSelectedKind_data();
    void mechanismInputCreatesADyadOfTheSelectedKind();
    void clickInputEntersADyadAtOnce();
    void movingFrameIsPlacedByADrag();
    void editMechanismDragMovesThePickedPivot();
    void lineInputDeliversBothEndPoints();
    void userPointModeKeepsTwoMarkersButReportsEveryClick();
};

void MechViewModesTest::dragInPositionInputRequestsAPositionAlongTheDrag_data() {
    QTest::addColumn<double>("dx");
    QTest::addColumn<double>("dy");
    QTest::addColumn<double>("angleDeg");
    QTest::newRow("along +x") << 2.0 << 0.0 << 0.0;
    QTest::newRow("up and right") << 1.5 << 1.5 << 45.0;
    QTest::newRow("up and left") << -2.0 << 2.0 << 135.0;
    QTest::newRow("straight down") << 0.0 << -3.0 << -90.0;
}

void MechViewModesTest::dragInPositionInputRequestsAPositionAlongTheDrag() {
    QFETCH(double, dx);
    QFETCH(double, dy);
    QFETCH(double, angleDeg);
    Fixture f;
    TaskKeeper keeper(f.view, f.motion);
    QSignalSpy requests(&f.view, &MechGLWidget::positioninput);
    QSignalSpy thetas(&f.view, &MechGLWidget::emittheta);
    // A click alone (no drag) enters nothing.
    QTest::mouseClick(&f.view, Qt::LeftButton, Qt::NoModifier, px(1, 1));
    hover(&f.view, px(2, 2));
    QCOMPARE(requests.count(), 0);
    drag(&f.view, px(-3, 1), px(-3 + dx, 1 + dy));
    QCOMPARE(requests.count(), 1);
    const QList<QVariant> &args = requests.at(0);
    QVERIFY(std::fabs(args.at(0).toDouble() + 3.0) < 1e-9);
    QVERIFY(std::fabs(args.at(1).toDouble() - 1.0) < 1e-9);
    QVERIFY(std::fabs(args.at(2).toDouble() - angleDeg) < 1e-9);
    QCOMPARE(args.at(3).toInt(), 1);
    QVERIFY(thetas.count() >= 1);
    QVERIFY(std::fabs(thetas.last().at(0).toDouble() - angleDeg) < 1e-9);
    // The task took it, and the view shows exactly the task.
    QCOMPARE(f.motion.size(), 1);
    QCOMPARE(static_cast<int>(f.view.shownPositions().size()), 1);
    QVERIFY(std::fabs(f.view.shownPositions()[0].z() - angleDeg) < 1e-9);
    // A further move after the release commits nothing more.
    hover(&f.view, px(5, 3));
    QCOMPARE(requests.count(), 1);
}

// Regression: after a file load the view kept appending mouse-entered positions to its own
// list, so it showed positions the task did not have and later read past the motion.
void MechViewModesTest::refusedPositionRequestLeavesTheTaskAsItIs() {
    Fixture f;
    addPose(f.motion, 0, 0, 0);
    addPose(f.motion, 3, 1, 30);
    QSignalSpy requests(&f.view, &MechGLWidget::positioninput);  // nobody accepts
    drag(&f.view, px(-4, -2), px(-2, -2));
    QCOMPARE(requests.count(), 1);
    QCOMPARE(f.motion.size(), 2);
    QCOMPARE(static_cast<int>(f.view.shownPositions().size()), 2);
    // Hovering where the refused position would be makes nothing current.
    hover(&f.view, px(-4, -2));
    QCOMPARE(f.motion.currentPositionIndex(), -1);
    QCOMPARE(f.view.hoveredPositionIndex(), -1);
}

void MechViewModesTest::hoverMakesThePositionUnderTheMouseCurrent() {
    Fixture f;
    addPose(f.motion, 0, 0, 0);
    addPose(f.motion, 3, 1, 30);
    hover(&f.view, f.view.worldToPixel(3.1, 1.1));
    QCOMPARE(f.motion.currentPositionIndex(), 1);
    hover(&f.view, f.view.worldToPixel(3.0, 1.0 + 0.35));
    QCOMPARE(f.motion.currentPositionIndex(), -1);
}

void MechViewModesTest::dragInEditModeMovesTheNearestPosition() {
    Fixture f;
    addPose(f.motion, 0, 0, 0);
    addPose(f.motion, 3, 1, 30);
    addPose(f.motion, 3.4, 1, 60);  // 0.4 away: only the nearer one may move
    TaskKeeper keeper(f.view, f.motion);
    f.view.setModeEdit_Position();
    QSignalSpy updates(&f.view, QOverload<double, double, double, int>::of(
                                    &MechGLWidget::positionupdate));
    QSignalSpy shown(&f.view, &MechGLWidget::updatecurrentDisp);
    drag(&f.view, px(3.1, 1), px(-2, -3), Qt::LeftButton, 5);
    QVERIFY(updates.count() >= 1);
    QVERIFY(std::fabs(updates.last().at(0).toDouble() + 2.0) < 1e-9);
    QVERIFY(std::fabs(updates.last().at(1).toDouble() + 3.0) < 1e-9);
    QVERIFY(std::fabs(updates.last().at(2).toDouble() - 30.0) < 1e-9);  // angle unchanged
    QCOMPARE(shown.first().at(0).toInt(), 1);
    double x, y, th;
    viewtest::poseOf(f.motion, 1, x, y, th);
    QVERIFY(std::fabs(x + 2.0) < 1e-9 && std::fabs(y + 3.0) < 1e-9 && std::fabs(th - 30) < 1e-9);
    viewtest::poseOf(f.motion, 2, x, y, th);
    QVERIFY(std::fabs(x - 3.4) < 1e-9 && std::fabs(y - 1.0) < 1e-9);
    viewtest::poseOf(f.motion, 0, x, y, th);
    QVERIFY(std::fabs(x) < 1e-9 && std::fabs(y) < 1e-9);
}

// The tip of the frame's x axis sits 0.9 from the position along its angle; dragging it turns
// the frame to the mouse direction seen from the position.
void MechViewModesTest::dragOnAnAxisTipTurnsThePosition() {
    Fixture f;
    addPose(f.motion, 1, 1, 0);
    TaskKeeper keeper(f.view, f.motion);
    f.view.setModeEdit_Position();
    QSignalSpy thetas(&f.view, &MechGLWidget::emittheta);
    drag(&f.view, px(1.9, 1), px(1, 3));
    QVERIFY(thetas.count() >= 1);
    QVERIFY(std::fabs(thetas.last().at(0).toDouble() - 90.0) < 1e-9);
    double x, y, th;
    viewtest::poseOf(f.motion, 0, x, y, th);
    QVERIFY(std::fabs(x - 1) < 1e-9 && std::fabs(y - 1) < 1e-9);
    QVERIFY(std::fabs(th - 90.0) < 1e-9);
}

// Regression: a press that missed every position kept the old selection, which after a delete
// or a smaller load pointed past the task.
void MechViewModesTest::pressOnNothingInEditModeClearsTheSelection() {
    Fixture f;
    addPose(f.motion, 0, 0, 0);
    addPose(f.motion, 3, 1, 30);
    f.view.setModeEdit_Position();
    QTest::mouseClick(&f.view, Qt::LeftButton, Qt::NoModifier, px(3, 1));
    QCOMPARE(f.view.selectedPositionIndex(), 1);
    QVERIFY(f.view.isPositionSelected());
    QTest::mouseClick(&f.view, Qt::LeftButton, Qt::NoModifier, px(-6, -3));
    QCOMPARE(f.view.selectedPositionIndex(), -1);
    QVERIFY(!f.view.isPositionSelected());
    // A selection made before the task shrinks behind the view's back (a reset or a new load)
    // must not be moved by a later drag.
    QTest::mouseClick(&f.view, Qt::LeftButton, Qt::NoModifier, px(3, 1));
    QCOMPARE(f.view.selectedPositionIndex(), 1);
    f.motion.resetMotion();
    addPose(f.motion, 5, 2, 0);
    QSignalSpy updates(&f.view, QOverload<double, double, double, int>::of(
                                    &MechGLWidget::positionupdate));
    QTest::mousePress(&f.view, Qt::LeftButton, Qt::NoModifier, px(-6, -3));
    QTest::mouseMove(&f.view, px(-5, -3));
    QTest::mouseRelease(&f.view, Qt::LeftButton, Qt::NoModifier, px(-5, -3));
    QCOMPARE(updates.count(), 0);
    QCOMPARE(f.view.selectedPositionIndex(), -1);
}

// Regression: Delete erased the view's own entry and asked the main window to delete the
// current position even when that index was past the task.
void MechViewModesTest::deleteKeyAsksOnlyForAnExistingPosition() {
    Fixture f;
    addPose(f.motion, 0, 0, 0);
    QSignalSpy deletes(&f.view, &MechGLWidget::deletecurrentkey);
    f.motion.setcurrntpositionindex(3);
    QTest::keyClick(&f.view, Qt::Key_Delete);
    QCOMPARE(deletes.count(), 0);
    f.motion.setcurrntpositionindex(0);
    QTest::keyClick(&f.view, Qt::Key_Delete);
    QCOMPARE(deletes.count(), 1);
    // The view does not delete by itself: the task still has its position until the main
    // window removes it.
    QCOMPARE(static_cast<int>(f.view.shownPositions().size()), 1);
}

void MechViewModesTest::mechanismInputCreatesADyadOfTheSelectedKind_data() {
    QTest::addColumn<int>("todraw");
    QTest::addColumn<QString>("kind");
    QTest::newRow("RR") << 1 << "RR";
    QTest::newRow("RP") << 2 << "RP";
    QTest::newRow("PR") << 3 << "PR";
}

void MechViewModesTest::mechanismInputCreatesADyadOfTheSelectedKind() {
    QFETCH(int, todraw);
    QFETCH(QString, kind);
    Fixture f;
    f.view.setModeInput_Mechanism();
    f.branch.settodraw(todraw);
    drag(&f.view, px(-2, -1), px(1, 3));
    const auto &dyads = f.branch.getUserInputDyads();
    QCOMPARE(static_cast<int>(dyads.size()), 1);
    QCOMPARE(dyads[0]->typeName(), kind);
    const Point fixed = dyads[0]->fixedPivotCopy();
    QVERIFY(std::fabs(fixed.x() + 2.0) < 1e-9 && std::fabs(fixed.y() + 1.0) < 1e-9);
    if (kind != "RP") {
        // RR and PR take the second point as their moving pivot.
        const Point moving = dyads[0]->movingPivotCopy();
        QVERIFY(std::fabs(moving.x() - 1.0) < 1e-9 && std::fabs(moving.y() - 3.0) < 1e-9);
    } else {
        // An RP's line runs through the fixed pivot towards the second point.
        QVERIFY(std::fabs(dyads[0]->currentInput() - 53.13010235415598) < 1e-9);
    }
    hover(&f.view, px(4, 4));
    QCOMPARE(static_cast<int>(dyads.size()), 1);
}

void MechViewModesTest::clickInputEntersADyadAtOnce() {
    Fixture f;
    f.view.setModeInput_Mechanism();
    f.view.plotsettings();
    f.branch.settodraw(1);
    QTest::mouseClick(&f.view, Qt::LeftButton, Qt::NoModifier, px(1, 1));
    const auto &dyads = f.branch.getUserInputDyads();
    QCOMPARE(static_cast<int>(dyads.size()), 1);
    const Point moving = dyads[0]->movingPivotCopy();
    QVERIFY(std::fabs(moving.x() - 5.0) < 1e-9 && std::fabs(moving.y() - 5.0) < 1e-9);
}

void MechViewModesTest::movingFrameIsPlacedByADrag() {
    Fixture f;
    f.view.setModeInput_Mechanism();
    f.branch.settodraw(0);
    drag(&f.view, px(2, 1), px(2, 3));
    QVERIFY(f.branch.isMovingFrameSet());
    const Point pose = f.branch.getMovingFramePose();
    QVERIFY(std::fabs(pose.x() - 2) < 1e-9 && std::fabs(pose.y() - 1) < 1e-9);
    QVERIFY(std::fabs(pose.z() - 90.0) < 1e-9);
}

void MechViewModesTest::editMechanismDragMovesThePickedPivot() {
    Fixture f;
    viewtest::buildUserFourBar(f.branch);
    QVERIFY(f.branch.hasMechanism());
    QObject::connect(&f.view, &MechGLWidget::emitdyadupdate, &f.branch, &Branch::editDyadList);
    f.view.setModeEdit_Mechanism();
    QSignalSpy picked(&f.view, &MechGLWidget::updateCurrentDyad);
    QSignalSpy coupler(&f.view, &MechGLWidget::updateCouplerDimDisplay);
    // Press on the rocker's fixed pivot (4, 0) and drag it to (5, -1).
    drag(&f.view, px(4, 0), px(5, -1));
    QVERIFY(picked.count() >= 1);
    QCOMPARE(picked.first().at(0).toInt(), 1);
    QCOMPARE(f.view.selectedDyadIndex(), 1);
    QVERIFY(f.branch.getUserInputDyads()[1]->isHighlighted());
    QVERIFY(!f.branch.getUserInputDyads()[0]->isHighlighted());
    const Point fixed = f.branch.getUserInputDyads()[1]->fixedPivotCopy();
    QVERIFY(std::fabs(fixed.x() - 5.0) < 1e-9 && std::fabs(fixed.y() + 1.0) < 1e-9);
    QVERIFY(coupler.count() >= 1);
    QCOMPARE(coupler.first().at(3).toBool(), false);  // a pivot, not the coupler point
    // A pick on nothing highlights nothing.
    QTest::mouseClick(&f.view, Qt::LeftButton, Qt::NoModifier, px(-8, 4));
    QCOMPARE(f.view.selectedDyadIndex(), -1);
    QVERIFY(!f.branch.getUserInputDyads()[1]->isHighlighted());
}

void MechViewModesTest::lineInputDeliversBothEndPoints() {
    Fixture f;
    f.view.setModeLine_Input();
    QSignalSpy lines(&f.view, &MechGLWidget::lineConstraintAdded);
    QVERIFY(!f.view.checkLCSet());
    drag(&f.view, px(-5, -2), px(4, 3));
    QVERIFY(lines.count() >= 1);
    const QList<QVariant> &last = lines.last();
    QVERIFY(std::fabs(last.at(0).toDouble() + 5) < 1e-9);
    QVERIFY(std::fabs(last.at(1).toDouble() + 2) < 1e-9);
    QVERIFY(std::fabs(last.at(2).toDouble() - 4) < 1e-9);
    QVERIFY(std::fabs(last.at(3).toDouble() - 3) < 1e-9);
    QVERIFY(f.view.checkLCSet());
    f.view.resetwidget();
    QVERIFY(!f.view.checkLCSet());
}

void MechViewModesTest::userPointModeKeepsTwoMarkersButReportsEveryClick() {
    Fixture f;
    f.view.setModeUDP_Input();
    QSignalSpy points(&f.view, &MechGLWidget::udpinput);
    QTest::mouseClick(&f.view, Qt::LeftButton, Qt::NoModifier, px(1, 2));
    QTest::mouseClick(&f.view, Qt::LeftButton, Qt::NoModifier, px(-3, 0));
    QTest::mouseClick(&f.view, Qt::LeftButton, Qt::NoModifier, px(5, -1));
    QCOMPARE(points.count(), 3);
    QCOMPARE(points.at(2).at(0).toDouble(), 5.0);
    QCOMPARE(points.at(2).at(1).toDouble(), -1.0);
    QCOMPARE(static_cast<int>(f.view.markers().size()), 2);
    QCOMPARE(f.view.markers()[1].x(), -3.0);
    f.view.clearMarkerPoints();
    QVERIFY(f.view.markers().empty());
}

MS_REGISTER_TEST(MechViewModesTest)
#include "MechViewModesTest.moc"
