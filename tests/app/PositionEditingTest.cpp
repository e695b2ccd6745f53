// Editing the task in the main window with the mouse and the point editor: every change reaches
// both copies of the task (the motion and the engine's rows) and re-runs synthesis.
#include "WindowTestSupport.h"

#include <QDoubleSpinBox>
#include <QLabel>

namespace {
// Degrees typed or dragged reach the motion through the input paths' 3.141592653/180, a few
// parts in 10^10 off the exact factor: an orientation read back from the motion agrees to this.
constexpr double motionAngleTolDeg = 1e-6;
constexpr double lengthTol = 1e-9;
}  // namespace

class PositionEditingTest : public QObject {
    Q_OBJECT
    Motion &task() const { return *rig->main().task(); }
    QDoubleSpinBox *box(const char *name) const { return rig->child<QDoubleSpinBox>(name); }
    std::unique_ptr<WindowRig> rig;
    std::unique_ptr<QSignalSpy> done;
    // Row i of the engine holds x, y, theta (degrees) of motion position i, for every i.
    void verifyCopiesAgree() {
        const arma::mat &rows = rig->main().synthesisEngine()->getData();
        QCOMPARE(int(rows.n_rows), task().size());
        for (int i = 0; i < task().size(); ++i) {
            const Pose p = poseOf(task(), i);
            const auto r = arma::uword(i);
            QVERIFY2(std::fabs(p.x - rows(r, 0)) < lengthTol && std::fabs(p.y - rows(r, 1)) < lengthTol,
                     qPrintable(QString("row %1").arg(i)));
            QVERIFY2(sameAngle(p.thetaDeg, rows(r, 2), motionAngleTolDeg),
                     qPrintable(QString("angle %1").arg(i)));
        }
    }

private slots:
    void init() {
        MS_REQUIRE_GL();
        rig = std::make_unique<WindowRig>();
        QVERIFY(rig->exposed());
        done = std::make_unique<QSignalSpy>(rig->main().synthesisEngine(),
                                            QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    }

    void cleanup() {
        done.reset();
        rig.reset();
    }

    void clickedPositionsJoinBothCopiesAndTheFifthSynthesizes() {
        rig->act("actionClick_to_Plot")->trigger();
        const std::vector<Pose> poses = crankRockerTask(5);
        for (size_t k = 0; k < poses.size(); ++k) {
            const QPoint px = pixelOf(*rig->view(), poses[k].x, poses[k].y);
            // Where the click lands, read with the view's geometry at the moment of the click.
            const QPointF world = worldOf(*rig->view(), px);
            QTest::mouseClick(rig->view(), Qt::LeftButton, Qt::NoModifier, px);
            QCOMPARE(task().size(), int(k) + 1);
            verifyCopiesAgree();
            const Pose p = poseOf(task(), int(k));
            QVERIFY(std::fabs(p.x - world.x()) < lengthTol && std::fabs(p.y - world.y()) < lengthTol);
            QCOMPARE(task().currentIndex, int(k));
            // Synthesis needs five positions: nothing runs before the fifth.
            QCOMPARE(done->count(), k + 1 < 5 ? 0 : 1);
        }
    }

    void draggingAPositionMovesItInBothCopiesAndResynthesizes() {
        std::vector<Pose> poses = crankRockerTask(5);
        poses.push_back({-2.0, -1.5, 30.0});
        QVERIFY(rig->load(poses));
        rig->main().toSynthesize();
        done->clear();
        rig->act("actionPositionEdit")->trigger();
        const QPoint from = pixelOf(*rig->view(), poses[2].x, poses[2].y);
        const QPoint to = from + QPoint(60, -40);
        const QPointF target = worldOf(*rig->view(), to);
        const double parameter = task().positions().ref(2).parameter;
        drag(rig->view(), from, to);
        const Pose moved = poseOf(task(), 2);
        QVERIFY(std::fabs(moved.x - target.x()) < lengthTol);
        QVERIFY(std::fabs(moved.y - target.y()) < lengthTol);
        QVERIFY(sameAngle(moved.thetaDeg, poses[2].thetaDeg, motionAngleTolDeg));
        QCOMPARE(task().positions().ref(2).parameter, parameter);
        verifyCopiesAgree();
        QVERIFY(done->count() >= 1);
        // The last run worked on the moved pose.
        const std::vector<Point> &used = rig->main().dyadBranch()->getPointList();
        QCOMPARE(int(used.size()), 6);
        QVERIFY(std::fabs(used[2].x() - target.x()) < lengthTol);
        QVERIFY(std::fabs(used[2].y() - target.y()) < lengthTol);
        for (int i : {0, 1, 3, 4, 5}) {
            const Pose p = poseOf(task(), i);
            QVERIFY(std::fabs(p.x - poses[size_t(i)].x) < lengthTol);
            QVERIFY(std::fabs(p.y - poses[size_t(i)].y) < lengthTol);
        }
    }

    // Regression: the boxes were also the coupler point's, filled with their signals live, and the
    // other two values were read back rounded to the boxes' two decimals.
    void theThreeBoxesEditTheShownPositionOnly() {
        const std::vector<Pose> poses = crankRockerTask(5);
        QVERIFY(rig->load(poses));
        rig->act("actionPositionEdit")->trigger();
        const QPoint at = pixelOf(*rig->view(), poses[3].x, poses[3].y);
        hover(rig->view(), at);
        QTest::mousePress(rig->view(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(rig->view(), Qt::LeftButton, Qt::NoModifier, at);
        QVERIFY(rig->child<QWidget>("editPointDim")->isVisible());
        QCOMPARE(rig->child<QLabel>("labelR")->text(), QString("x:"));
        QVERIFY(std::fabs(box("XspinBox")->value() - poses[3].x) <= 0.005);
        QVERIFY(std::fabs(box("YspinBox")->value() - poses[3].y) <= 0.005);
        // Showing the position changed nothing.
        QCOMPARE(done->count(), 0);
        verifyCopiesAgree();
        QVERIFY(std::fabs(poseOf(task(), 3).y - poses[3].y) < lengthTol);

        const char *boxes[] = {"XspinBox", "YspinBox", "angleSpinBox"};
        const double typed[] = {1.25, -0.75, 33.5};
        Pose expected = poses[3];
        for (int k = 0; k < 3; ++k) {
            const int before = done->count();
            box(boxes[k])->setValue(typed[k]);
            (k == 0 ? expected.x : k == 1 ? expected.y : expected.thetaDeg) = typed[k];
            const Pose p = poseOf(task(), 3);
            QVERIFY2(std::fabs(p.x - expected.x) < lengthTol, boxes[k]);
            QVERIFY2(std::fabs(p.y - expected.y) < lengthTol, boxes[k]);
            QVERIFY2(sameAngle(p.thetaDeg, expected.thetaDeg, motionAngleTolDeg), boxes[k]);
            verifyCopiesAgree();
            QCOMPARE(done->count(), before + 1);
        }
        // The other positions kept their poses.
        for (int i : {0, 1, 2, 4})
            QVERIFY(std::fabs(poseOf(task(), i).x - poses[size_t(i)].x) < lengthTol);
    }

    void deleteRemovesTheCurrentPositionFromBothCopies() {
        std::vector<Pose> poses = crankRockerTask(5);
        poses.push_back({-2.0, -1.5, 30.0});
        QVERIFY(rig->load(poses));
        rig->act("actionPositionEdit")->trigger();
        hover(rig->view(), pixelOf(*rig->view(), poses[1].x, poses[1].y));
        QCOMPARE(task().currentIndex, 1);
        rig->view()->setFocus();
        QTest::keyClick(rig->view(), Qt::Key_Delete);
        QCOMPARE(task().size(), 5);
        verifyCopiesAgree();
        QVERIFY(std::fabs(poseOf(task(), 1).x - poses[2].x) < lengthTol);
        QCOMPARE(task().currentIndex, 4);
        QCOMPARE(done->count(), 1);
        // Down to the last one: an empty task with no current position.
        while (task().size() > 0) {
            task().setcurrntpositionindex(0);
            rig->main().deleteinputposition();
            verifyCopiesAgree();
        }
        QCOMPARE(task().currentIndex, -1);
    }

    void shownOrientationStaysWithinOneTurn_data() {
        QTest::addColumn<double>("stored");
        QTest::addColumn<double>("shown");
        QTest::newRow("400") << 400.0 << 40.0;
        QTest::newRow("-45") << -45.0 << -45.0;
        QTest::newRow("-400") << -400.0 << -40.0;
    }

    void shownOrientationStaysWithinOneTurn() {
        QFETCH(double, stored);
        QFETCH(double, shown);
        QVERIFY(rig->load({{1.0, 2.0, 10.0}, {0.5, 0.25, stored}}));
        rig->main().displayCurrentPosition(1);
        QCOMPARE(box("angleSpinBox")->value(), shown);
        QCOMPARE(box("XspinBox")->value(), 0.5);
    }
};

MS_REGISTER_TEST(PositionEditingTest)
#include "PositionEditingTest.moc"
