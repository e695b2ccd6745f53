// Cartesian view interaction modes driven with the mouse: entering and editing positions, entering
// and editing dyads, the line constraint and the user-defined points.
#include "Dyad.h"

#include <QVector3D>

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
    void dragInPositionInputRequestsAPositionAlongTheDrag_data() {
        QTest::addColumn<double>("dx"); QTest::addColumn<double>("dy");
        QTest::addColumn<double>("angleDeg");
        QTest::newRow("along +x") << 2.0 << 0.0 << 0.0;
        QTest::newRow("up and right") << 1.5 << 1.5 << 45.0;
        QTest::newRow("up and left") << -2.0 << 2.0 << 135.0;
        QTest::newRow("straight down") << 0.0 << -3.0 << -90.0;
    }
    void dragInPositionInputRequestsAPositionAlongTheDrag() {
        QFETCH(double, dx); QFETCH(double, dy); QFETCH(double, angleDeg);
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
    void refusedPositionRequestLeavesTheTaskAsItIs() {
        Fixture f;
        addPose(f.motion, 0, 0, 0);
        addPose(f.motion, 3, 1, 30);
        QSignalSpy requests(&f.view, &MechGLWidget::positioninput);  // nobody accepts
        drag(&f.view, px(-4, -2), px(-2, -2));
        QCOMPARE(requests.count(), 1);
        QCOMPARE(f.motion.size(), 2);
        QCOMPARE(static_cast<int>(f.view.shownPositions().size()), 2);
        // Hovering where the refused position would be makes nothing current; hovering near a
        // position of the task makes it current, a little further off nothing.
        hover(&f.view, px(-4, -2));
        QCOMPARE(f.motion.currentPositionIndex(), -1);
        QCOMPARE(f.view.hoveredPositionIndex(), -1);
        hover(&f.view, f.view.worldToPixel(3.1, 1.1));
        QCOMPARE(f.motion.currentPositionIndex(), 1);
        hover(&f.view, f.view.worldToPixel(3.0, 1.0 + 0.35));
        QCOMPARE(f.motion.currentPositionIndex(), -1);
    }
    void editDragMovesOrTurnsOnePosition_data() {
        QTest::addColumn<QPointF>("from"); QTest::addColumn<QPointF>("to");
        QTest::addColumn<int>("index");
        QTest::addColumn<QVector3D>("expected");   // x, y, theta degrees
        // Positions (0, 0, 0), (3, 1, 30) and (3.4, 1, 60), 0.4 apart: only the nearer one moves,
        // keeping its angle.
        QTest::newRow("body drag moves the nearest") << QPointF(3.1, 1) << QPointF(-2, -3) << 1
                                                     << QVector3D(-2, -3, 30);
        // The tip of the frame's x axis sits 0.9 from the position along its angle; dragging it
        // turns the frame to the mouse direction seen from the position.
        QTest::newRow("axis tip drag turns") << QPointF(0.9, 0) << QPointF(0, 2) << 0
                                             << QVector3D(0, 0, 90);
    }
    void editDragMovesOrTurnsOnePosition() {
        QFETCH(QPointF, from); QFETCH(QPointF, to); QFETCH(int, index); QFETCH(QVector3D, expected);
        Fixture f;
        const QVector3D before[3] = {{0, 0, 0}, {3, 1, 30}, {3.4f, 1, 60}};
        for (const QVector3D &p : before)
            addPose(f.motion, p.x(), p.y(), p.z());
        TaskKeeper keeper(f.view, f.motion);
        f.view.setModeEdit_Position();
        QSignalSpy updates(&f.view, QOverload<double, double, double, int>::of(
                                        &MechGLWidget::positionupdate));
        QSignalSpy shown(&f.view, &MechGLWidget::updatecurrentDisp);
        drag(&f.view, px(from.x(), from.y()), px(to.x(), to.y()), Qt::LeftButton, 5);
        QVERIFY(updates.count() >= 1);
        QCOMPARE(shown.first().at(0).toInt(), index);
        const QList<QVariant> &last = updates.last();
        QVERIFY(std::fabs(last.at(0).toDouble() - expected.x()) < 1e-6);
        QVERIFY(std::fabs(last.at(1).toDouble() - expected.y()) < 1e-6);
        QVERIFY(std::fabs(last.at(2).toDouble() - expected.z()) < 1e-6);
        for (int i = 0; i < 3; ++i) {
            const QVector3D want = i == index ? expected : before[i];
            double x, y, th;
            viewtest::poseOf(f.motion, i, x, y, th);
            QVERIFY2(std::fabs(x - want.x()) < 1e-6 && std::fabs(y - want.y()) < 1e-6 &&
                         std::fabs(th - want.z()) < 1e-6,
                     qPrintable(QString("position %1: %2 %3 %4").arg(i).arg(x).arg(y).arg(th)));
        }
    }
    // Regression: a press that missed every position kept the old selection, which after a delete
    // or a smaller load pointed past the task.
    void pressOnNothingInEditModeClearsTheSelection() {
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
    void deleteKeyAsksOnlyForAnExistingPosition() {
        Fixture f;
        addPose(f.motion, 0, 0, 0);
        QSignalSpy deletes(&f.view, &MechGLWidget::deletecurrentkey);
        f.motion.setcurrntpositionindex(3);
        QTest::keyClick(&f.view, Qt::Key_Delete);
        QCOMPARE(deletes.count(), 0);
        f.motion.setcurrntpositionindex(0);
        QTest::keyClick(&f.view, Qt::Key_Delete);
        QCOMPARE(deletes.count(), 1);
        // The view does not delete by itself: the task still has its position until the main window
        // removes it.
        QCOMPARE(static_cast<int>(f.view.shownPositions().size()), 1);
    }
    void mechanismInputEntersWhatIsSelected_data() {
        QTest::addColumn<int>("todraw"); QTest::addColumn<bool>("byClick");
        QTest::addColumn<QString>("kind"); QTest::addColumn<QPointF>("fixed");
        QTest::addColumn<QPointF>("moving");   // for a frame: (angle, unused)
        // A drag from (-2, -1) to (1, 3): RR and PR take the second point as their moving pivot; an
        // RP's line runs through the fixed pivot towards it, at atan(4 / 3).
        QTest::newRow("RR") << 1 << false << "RR" << QPointF(-2, -1) << QPointF(1, 3);
        QTest::newRow("RP") << 2 << false << "RP" << QPointF(-2, -1)
                            << QPointF(53.13010235415598, 0);
        QTest::newRow("PR") << 3 << false << "PR" << QPointF(-2, -1) << QPointF(1, 3);
        // With click input one click enters an RR whose moving pivot is (4, 4) further on.
        QTest::newRow("RR by one click") << 1 << true << "RR" << QPointF(1, 1) << QPointF(5, 5);
        // The moving frame sits at the press and points along the drag.
        QTest::newRow("moving frame") << 0 << false << "frame" << QPointF(-2, -1)
                                      << QPointF(53.13010235415598, 0);
    }
    void mechanismInputEntersWhatIsSelected() {
        QFETCH(int, todraw); QFETCH(bool, byClick); QFETCH(QString, kind); QFETCH(QPointF, fixed);
        QFETCH(QPointF, moving);
        Fixture f;
        f.view.setModeInput_Mechanism();
        f.branch.settodraw(todraw);
        if (byClick) {
            f.view.plotsettings();
            QTest::mouseClick(&f.view, Qt::LeftButton, Qt::NoModifier, px(fixed.x(), fixed.y()));
        } else {
            drag(&f.view, px(-2, -1), px(1, 3));
        }
        hover(&f.view, px(4, 4));   // a move after the release enters nothing more
        const auto &dyads = f.branch.getUserInputDyads();
        if (kind == "frame") {
            QVERIFY(dyads.empty() && f.branch.isMovingFrameSet());
            const Point pose = f.branch.getMovingFramePose();
            QVERIFY(std::fabs(pose.x() - fixed.x()) < 1e-9 &&
                    std::fabs(pose.y() - fixed.y()) < 1e-9);
            QVERIFY(std::fabs(pose.z() - moving.x()) < 1e-9);
            return;
        }
        QCOMPARE(static_cast<int>(dyads.size()), 1);
        QCOMPARE(dyads[0]->typeName(), kind);
        const Point f0 = dyads[0]->fixedPivotCopy(), m0 = dyads[0]->movingPivotCopy();
        QVERIFY(std::fabs(f0.x() - fixed.x()) < 1e-9 && std::fabs(f0.y() - fixed.y()) < 1e-9);
        if (kind == "RP")
            QVERIFY(std::fabs(dyads[0]->currentInput() - moving.x()) < 1e-9);
        else
            QVERIFY(std::fabs(m0.x() - moving.x()) < 1e-9 && std::fabs(m0.y() - moving.y()) < 1e-9);
    }
    void editMechanismDragMovesThePickedPivot() {
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
    void lineInputDeliversBothEndPoints() {
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
    void userPointModeKeepsTwoMarkersButReportsEveryClick() {
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
};
MS_REGISTER_TEST(MechViewModesTest)
#include "MechViewModesTest.moc"
