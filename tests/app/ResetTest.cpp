// "Reset" after a synthesized, animated demonstration with every input command in use: the task,
// the dyads, the panel, the views, the modes and commands, the engine's flags and the solution
// table all return to their start, while the docks stay as the user left them.
#include "ImageGLWidget.h"
#include "Synthesis_Widget.h"
#include "WindowTestSupport.h"

#include <QCheckBox>
#include <QDockWidget>
#include <QTableWidget>

class ResetTest : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowRig> rig;
    QAction *act(const char *name) const { return rig->act(name); }

private slots:
    void init() {
        MS_REQUIRE_GL();
        rig = std::make_unique<WindowRig>();
    }
    void cleanup() { rig.reset(); }

    void resetReturnsABusyWindowToItsStart() {
        Vendrel &w = rig->main();
        MechGLWidget *view = rig->view();
        MechanismSynthesis *engine = w.synthesisEngine();
        // Before any load the view's clicks are positions; after a load they are not.
        QVERIFY(w.acceptsMousePositions());
        emit view->positioninput(1.0, 1.0, 10.0, 0);
        QCOMPARE(w.task()->size(), 1);
        act("actionRRRR")->trigger();
        QVERIFY(w.dyadBranch()->hasMechanism());
        QVERIFY(!w.acceptsMousePositions());
        const int loaded = w.task()->size();
        emit view->positioninput(2.0, 2.0, 20.0, 0);
        QCOMPARE(w.task()->size(), loaded);
        QCOMPARE(int(view->shownPositions().size()), loaded);

        // Busy: animated, every input command on, the editors shown, the engine's line and
        // points given, the solution table filled, the image view turned and zoomed.
        act("actionStart")->trigger();
        view->animate();
        act("actionPan")->trigger();
        act("actionMFselect")->trigger();  // switches to mechanism input
        act("action4_Position")->setChecked(true);
        act("action4Position_Input")->setVisible(true);
        act("action4Position_Input")->setChecked(true);
        act("actionLine_Input")->setVisible(true);
        act("action3_Position")->setChecked(true);
        {
            // Checked quietly: turning tolerance mode on would open its dialog.
            const QSignalBlocker quiet(act("actionSmartSynthesis"));
            act("actionSmartSynthesis")->setChecked(true);
        }
        rig->child<QWidget>("editPointDim")->show();
        rig->child<QWidget>("editLinkDim")->show();
        engine->lineDefined = true;
        engine->setUDP(1.0, 1.0);
        engine->setUDP(2.0, 1.0);
        auto *table = rig->child<QTableWidget>("SolutionWidget");
        table->setRowCount(2);
        table->setItem(0, 0, new QTableWidgetItem("RR"));
        act("actionSynthesis_Tools")->trigger();
        auto *image = rig->child<ImageGLWidget>("widget_Image");
        image->setXRotation(40);
        image->setScale(3);
        view->setScale(5);
        QVERIFY(view->isAnimating());
        QSignalSpy changed(&w, &Vendrel::dataChanged);

        act("action_Reset")->trigger();
        QVERIFY(changed.count() >= 1);  // the views redraw the empty task
        // Task, dyads and panel.
        QCOMPARE(w.task()->size(), 0);
        QCOMPARE(w.task()->currentPositionIndex(), -1);
        QCOMPARE(int(engine->getData().n_rows), 0);
        Branch *branch = w.dyadBranch();
        QCOMPARE(branch->synthesizedDyadCount(), 0);
        QCOMPARE(int(branch->getFirstPassDyads().size()), 0);
        QVERIFY(!branch->hasMechanism() && !branch->hasCouplerPoint());
        for (int k = 0; k < Synthesis_Widget::boxCount; ++k) {
            QVERIFY(w.synthesisPanel()->dyadShownBy(k) == nullptr);
            QVERIFY(w.synthesisPanel()->alternativeShownBy(k) == nullptr);
            auto *box = rig->child<QCheckBox>(qPrintable(QStringLiteral("checkBox_D%1").arg(k + 1)));
            QVERIFY(!box->isChecked() && !box->isEnabled());
        }
        // Modes and commands; the animation stopped with Start offered.
        for (QAction *mode : w.interactionModes())
            QCOMPARE(mode->isChecked(), mode == act("actionInput_Positions"));
        for (const char *name : {"actionMFselect", "actionRRselect", "actionRPselect",
                                 "actionPRselect", "actionPositionEdit", "actionSmartSynthesis",
                                 "action4_Position", "action4Position_Input", "actionLine_Input",
                                 "action3_Position"})
            QVERIFY2(!act(name)->isChecked(), name);
        QVERIFY(!act("action4Position_Input")->isVisible() && !act("actionLine_Input")->isVisible());
        QVERIFY(!rig->child<QWidget>("editPointDim")->isVisible());
        QVERIFY(!rig->child<QWidget>("editLinkDim")->isVisible());
        QCOMPARE(view->currentMode(), int(MechGLWidget::InputPosition));
        QVERIFY(!view->isAnimating());
        QVERIFY(act("actionStart")->isVisible() && !act("actionPause")->isVisible());
        // The engine forgot its line and points: a point given now is the first again.
        QVERIFY(!engine->lineDefined && !engine->udp1Defined && !engine->udp2Defined);
        engine->setUDP(5.0, -1.0);
        QVERIFY(engine->udp1Defined && !engine->udp2Defined);
        QCOMPARE(engine->udp1[0], 5.0);
        // The solution table is empty, the docks stay as they were.
        QCOMPARE(table->rowCount(), 0);
        QVERIFY(rig->child<QDockWidget>("SynthesisToolsWidget")->isVisible());
        QVERIFY(rig->child<QDockWidget>("dock_synthesis_widget")->isVisible());
        // Both views are back at their start.
        QCOMPARE(image->xRotation(), 0);
        QCOMPARE(image->yRotation(), 0);
        QCOMPARE(image->zRotation(), 0);
        QCOMPARE(image->currentScale(), 1.0);
        QCOMPARE(int(view->shownPositions().size()), 0);
        QCOMPARE(view->selectedPositionIndex(), -1);
        QCOMPARE(int(view->markers().size()), 0);

        // The mouse enters positions again, through one connection however often Reset ran.
        QVERIFY(w.acceptsMousePositions());
        emit view->positioninput(3.0, -1.0, 30.0, 0);
        emit view->positioninput(-1.0, 0.5, 60.0, 1);
        QCOMPARE(w.task()->size(), 2);
        QCOMPARE(engine->getData()(0, 0), 3.0);
        act("action_Reset")->trigger();
        act("action_Reset")->trigger();
        emit view->positioninput(1.0, 2.0, 45.0, 0);
        QCOMPARE(w.task()->size(), 1);
        QCOMPARE(int(engine->getData().n_rows), 1);
    }
};

MS_REGISTER_TEST(ResetTest)
#include "ResetTest.moc"
