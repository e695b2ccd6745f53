// Editing the task (mouse and point editor: every change reaches the motion and the engine's rows
// and re-runs synthesis) and the synthesized dyads (link editor: a pick changes nothing).
#include "WindowTestSupport.h"

namespace {
// Every number of the branch's dyads and of its mechanism, for exact before/after comparison.
std::vector<double> numbersOf(const Branch &b) {
    std::vector<double> n;
    for (const auto &d : b.getDyadList()) {
        const Point f = d->fixedPivotCopy(), m = d->movingPivotCopy();
        n.insert(n.end(), {f.x(), f.y(), m.x(), m.y(), d->getLinkLength(), d->getLinkAngle(),
                           d->parameter1(), d->parameter2(), d->parameter3(), d->parameter4(),
                           d->parameter5(), d->currentInput()});
    }
    const Point c = b.getMechanismMFPoint();
    n.insert(n.end(), {c.x(), c.y(), c.z(), b.getMechanismgroundLinkLength(),
                       b.getMechanismgroundLinkAngle(), b.getMechanismfloatingLinkLength()});
    return n;
}
}  // namespace

namespace {
// Degrees typed or dragged reach the motion through the input paths' 3.141592653/180, a few parts
// in 10^10 off the exact factor: an orientation read back from the motion agrees to this.
constexpr double motionAngleTolDeg = 1e-6;
bool near(double a, double b) { return std::fabs(a - b) < 1e-9; }
}  // namespace

class PositionEditingTest : public WindowTest {
    Q_OBJECT
    Motion &task() const { return *rig->main().task(); }
    QDoubleSpinBox *box(const char *name) const { return rig->child<QDoubleSpinBox>(name); }
    std::unique_ptr<QSignalSpy> done;
    // Row i of the engine holds x, y, theta (degrees) of motion position i, for every i.
    void verifyCopiesAgree() {
        const arma::mat &rows = rig->main().synthesisEngine()->getData();
        QCOMPARE(int(rows.n_rows), task().size());
        for (int i = 0; i < task().size(); ++i) {
            const Pose p = poseOf(task(), i);
            const auto r = arma::uword(i);
            QVERIFY2(near(p.x, rows(r, 0)) && near(p.y, rows(r, 1)),
                     qPrintable(QString("row %1").arg(i)));
            QVERIFY2(sameAngle(p.thetaDeg, rows(r, 2), motionAngleTolDeg),
                     qPrintable(QString("angle %1").arg(i)));
        }
    }

private slots:
    void init() {
        WindowTest::init();
        if (rig)
            done = std::make_unique<QSignalSpy>(
                window->synthesisEngine(),
                QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    }
    void cleanup() {
        done.reset();
        rig.reset();
    }

    void clickedPositionsJoinBothCopiesAndAPureTranslationIsRefused() {
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
            QVERIFY(near(p.x, world.x()) && near(p.y, world.y()));
            QCOMPARE(task().currentIndex, int(k));
            // Nothing runs before the fifth, and the fifth of these unturned clicks makes a
            // pure translation, which the window refuses and says so instead of showing dyads.
            QCOMPARE(done->count(), 0);
        }
        QVERIFY(rig->main().statusResultText().contains("same orientation"));
        QCOMPARE(rig->main().dyadBranch()->synthesizedDyadCount(), 0);
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
        QVERIFY(near(moved.x, target.x()) && near(moved.y, target.y()));
        QVERIFY(sameAngle(moved.thetaDeg, poses[2].thetaDeg, motionAngleTolDeg));
        QCOMPARE(task().positions().ref(2).parameter, parameter);
        verifyCopiesAgree();
        QVERIFY(done->count() >= 1);
        // The last run worked on the moved pose.
        const std::vector<Point> &used = rig->main().dyadBranch()->getPointList();
        QCOMPARE(int(used.size()), 6);
        QVERIFY(near(used[2].x(), target.x()) && near(used[2].y(), target.y()));
        for (int i : {0, 1, 3, 4, 5})
            QVERIFY(near(poseOf(task(), i).x, poses[size_t(i)].x) &&
                    near(poseOf(task(), i).y, poses[size_t(i)].y));
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
        QVERIFY(near(poseOf(task(), 3).y, poses[3].y));

        const char *boxes[] = {"XspinBox", "YspinBox", "angleSpinBox"};
        const double typed[] = {1.25, -0.75, 33.5};
        Pose expected = poses[3];
        for (int k = 0; k < 3; ++k) {
            const int before = done->count();
            box(boxes[k])->setValue(typed[k]);
            (k == 0 ? expected.x : k == 1 ? expected.y : expected.thetaDeg) = typed[k];
            const Pose p = poseOf(task(), 3);
            QVERIFY2(near(p.x, expected.x) && near(p.y, expected.y), boxes[k]);
            QVERIFY2(sameAngle(p.thetaDeg, expected.thetaDeg, motionAngleTolDeg), boxes[k]);
            verifyCopiesAgree();
            QCOMPARE(done->count(), before + 1);
        }
        // The other positions kept their poses.
        for (int i : {0, 1, 2, 4})
            QVERIFY(near(poseOf(task(), i).x, poses[size_t(i)].x));
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
        QVERIFY(near(poseOf(task(), 1).x, poses[2].x));
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

    // The window's boxes drop whole turns as the panel's do (its own table has the other cases).
    void shownOrientationDropsWholeTurns() {
        QVERIFY(rig->load({{1.0, 2.0, 10.0}, {0.5, 0.25, -400.0}}));
        window->displayCurrentPosition(1);
        QCOMPARE(box("angleSpinBox")->value(), -40.0);
        QCOMPARE(box("XspinBox")->value(), 0.5);
    }

    void pickingEachDyadLeavesEveryNumberUnchanged_data() {
        QTest::addColumn<QString>("demo");
        for (const char *d : {"RRRR", "RRRP", "RRPR", "PRRP", "PRPR"})
            QTest::newRow(d) << d;
    }

    // Regression: filling the editor from code committed the pivots rounded to its decimals and
    // handed an RP's angle on as a new block angle, so a mere pick moved the mechanism.
    void pickingEachDyadLeavesEveryNumberUnchanged() {
        QFETCH(QString, demo);
        QVERIFY(rig->main().runDemoNamed(demo));
        const Branch &b = *rig->main().dyadBranch();
        QVERIFY(b.synthesizedDyadCount() > 0);
        const std::vector<double> before = numbersOf(b);
        QSignalSpy changed(rig->main().dyadBranch(), &Branch::mechanismUpdated);
        rig->act("actionEdit_Mechanism")->trigger();
        for (int i = 0; i < b.synthesizedDyadCount(); ++i) {
            rig->main().updateCurrentDyad(i);
            const Dyad *d = b.dyadAt(i);
            QVERIFY(std::fabs(box("fpxSpinBox")->value() - d->fixedPivotCopy().x()) <= 0.005);
            const bool rp = d->typeName() == "RP";
            QCOMPARE(box("linkAngleSpinBox")->isVisibleTo(&rig->main()), rp);
            QCOMPARE(box("mpxSpinBox")->isVisibleTo(&rig->main()), !rp);
        }
        QCOMPARE(changed.count(), 0);
        const std::vector<double> after = numbersOf(b);
        QCOMPARE(after.size(), before.size());
        for (size_t k = 0; k < after.size(); ++k)
            QVERIFY2(
                after[k] == before[k] || (std::isnan(after[k]) && std::isnan(before[k])),
                qPrintable(QString("number %1: %2 -> %3").arg(k).arg(before[k]).arg(after[k])));
    }

    void fixedPivotBoxMovesTheDyadAndReformsTheMechanism() {
        QVERIFY(rig->main().runDemoNamed("RRRR"));
        Branch &b = *rig->main().dyadBranch();
        QVERIFY(b.synthesizedDyadCount() >= 2);
        QVERIFY(b.hasMechanism());
        QSignalSpy changed(&b, &Branch::mechanismUpdated);
        rig->main().updateCurrentDyad(0);
        const Dyad *d0 = b.dyadAt(0);
        const Dyad *d1 = b.dyadAt(1);
        const double oldY = d0->fixedPivotCopy().y();
        const double newX = std::round(d0->fixedPivotCopy().x() * 100.0) / 100.0 + 0.5;
        box("fpxSpinBox")->setValue(newX);
        QCOMPARE(d0->fixedPivotCopy().x(), newX);
        QCOMPARE(d0->fixedPivotCopy().y(), oldY);
        QVERIFY(changed.count() >= 1);
        // The mechanism was formed again from the moved pivot: its ground link joins the pivots.
        const Point f0 = d0->fixedPivotCopy(), f1 = d1->fixedPivotCopy();
        QVERIFY(std::fabs(b.getMechanismgroundLinkLength() -
                          std::hypot(f1.x() - f0.x(), f1.y() - f0.y())) < 1e-9);
        // The moving pivot box moves the moving pivot; the crank is the distance between pivots.
        const double newMy = std::round(d0->movingPivotCopy().y() * 100.0) / 100.0 - 0.25;
        box("mpySpinBox")->setValue(newMy);
        QCOMPARE(d0->movingPivotCopy().y(), newMy);
        const Point m0 = d0->movingPivotCopy();
        QVERIFY(std::fabs(d0->getLinkLength() - std::hypot(m0.x() - f0.x(), m0.y() - f0.y())) <
                1e-9);
    }

    // The box takes degrees: 30 turns the RP's line to 30 degrees.
    void blockAngleBoxTurnsAnRpInDegrees() {
        QVERIFY(rig->main().runDemoNamed("RRRP"));
        const Branch &b = *rig->main().dyadBranch();
        int rpIndex = -1;
        for (int i = 0; i < b.synthesizedDyadCount(); ++i)
            if (b.dyadAt(i)->typeName() == "RP")
                rpIndex = i;
        QVERIFY2(rpIndex >= 0, "the RRRP demonstration must give an RP dyad");
        rig->act("actionEdit_Mechanism")->trigger();
        rig->main().updateCurrentDyad(rpIndex);
        const Dyad *rp = b.dyadAt(rpIndex);
        const auto lineDirection = [rp]() {
            const Point f = rp->fixedPivotCopy(), m = rp->movingPivotCopy();
            return std::atan2(m.y() - f.y(), m.x() - f.x()) * 180.0 / pi - 90.0;
        };
        box("linkAngleSpinBox")->setValue(30.0);
        QVERIFY2(sameAngle(lineDirection(), 30.0, 1e-6),
                 qPrintable(QString::number(lineDirection())));
        // Moving its fixed pivot keeps the line's direction.
        const double x = std::round(rp->fixedPivotCopy().x() * 100.0) / 100.0 + 1.0;
        box("fpxSpinBox")->setValue(x);
        QCOMPARE(rp->fixedPivotCopy().x(), x);
        QVERIFY2(sameAngle(lineDirection(), 30.0, 1e-6),
                 qPrintable(QString::number(lineDirection())));
    }

    // Regression: the picked index outlived the dyads it named, so a box changed after a new run
    // edited a dyad of that run the user never picked.
    void aResetForgetsThePickedDyad() {
        QVERIFY(rig->main().runDemoNamed("RRRR"));
        rig->act("actionEdit_Mechanism")->trigger();
        rig->main().updateCurrentDyad(0);
        QVERIFY(rig->main().runDemoNamed("RRRR"));
        const Branch &b = *rig->main().dyadBranch();
        QVERIFY(b.synthesizedDyadCount() > 0);
        const std::vector<double> fresh = numbersOf(b);
        box("fpxSpinBox")->setValue(box("fpxSpinBox")->value() + 1.0);
        box("fpySpinBox")->setValue(box("fpySpinBox")->value() - 1.0);
        QVERIFY(numbersOf(b) == fresh);
        // Out of range picks are refused.
        rig->main().updateCurrentDyad(b.synthesizedDyadCount() + 3);
        box("fpxSpinBox")->setValue(box("fpxSpinBox")->value() + 1.0);
        QVERIFY(numbersOf(b) == fresh);
    }
};

MS_REGISTER_TEST(PositionEditingTest)
#include "PositionEditingTest.moc"
