// The window's commands that act on the branch and the views: the dyad-kind selectors, the
// circuit commands, stepping the mechanism, and the mode actions' hand-over to the Cartesian view
// and the panel.
#include "WindowTestSupport.h"

class MechanismCommandsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowRig> rig;
    QAction *act(const char *name) const { return rig->act(name); }
    void loadRRRRDemo() {
        act("actionRRRR")->trigger();
        QVERIFY(rig->main().dyadBranch()->hasCouplerPoint());
    }

private slots:
    void init() {
        MS_REQUIRE_GL();
        rig = std::make_unique<WindowRig>();
    }
    void cleanup() { rig.reset(); }

    void dyadKindSelectorChoosesWhatTheBranchDrawsNext_data() {
        QTest::addColumn<QString>("selector");
        QTest::addColumn<int>("kind");  // the branch's numbering: 0 frame, 1 RR, 2 RP, 3 PR
        QTest::newRow("moving frame") << "actionMFselect" << 0;
        QTest::newRow("RR") << "actionRRselect" << 1;
        QTest::newRow("RP") << "actionRPselect" << 2;
        QTest::newRow("PR") << "actionPRselect" << 3;
    }
    void dyadKindSelectorChoosesWhatTheBranchDrawsNext() {
        QFETCH(QString, selector);
        QFETCH(int, kind);
        const QStringList selectors = {"actionMFselect", "actionRRselect", "actionRPselect",
                                       "actionPRselect"};
        for (const QString &other : selectors)  // start with every other selector on
            act(qPrintable(other))->setChecked(other != selector);
        act(qPrintable(selector))->trigger();
        for (const QString &s : selectors)
            QCOMPARE(act(qPrintable(s))->isChecked(), s == selector);
        QCOMPARE(rig->main().dyadBranch()->getTodraw(), double(kind));
        QVERIFY(act("actionInput_Mechanism")->isChecked());
        QCOMPARE(rig->view()->currentMode(), int(MechGLWidget::InputMechanism));
    }

    // The tool bar offers the circuit the mechanism is not on; each command switches the
    // mechanism and the offer, and does nothing without a mechanism.
    void circuitCommandsSwitchTheMechanismAndTheOffer() {
        rig->main().setMechanismCircuitasopen();
        rig->main().setMechanismCircuitascrossed();
        QVERIFY(act("actionOpen")->isVisible() && !act("actionCrossed")->isVisible());
        loadRRRRDemo();
        Mechanism *m = rig->main().dyadBranch()->getMechanism();
        const Dyad *output = m->getOutputDyad();
        for (int round = 0; round < 2; ++round) {
            const bool wasOpen = m->isCircuitOpen();
            QCOMPARE(act("actionCrossed")->isVisible(), wasOpen);
            QCOMPARE(act("actionCrossed")->isEnabled(), wasOpen);
            QCOMPARE(act("actionOpen")->isVisible(), !wasOpen);
            const Point before = output->movingPivotCopy();
            act(wasOpen ? "actionCrossed" : "actionOpen")->trigger();
            QCOMPARE(m->isCircuitOpen(), !wasOpen);
            QCOMPARE(act("actionCrossed")->isVisible(), !wasOpen);
            QCOMPARE(act("actionOpen")->isVisible(), wasOpen);
            // The other circuit at the same input puts the output's moving pivot elsewhere (its
            // mirror about the line from the input's moving pivot to the output's fixed pivot).
            const Point after = output->movingPivotCopy();
            QVERIFY(std::hypot(after[0] - before[0], after[1] - before[1]) > 1e-3);
        }
    }

    void incrementAndDecrementStepTheInput() {
        loadRRRRDemo();
        Branch *branch = rig->main().dyadBranch();
        const double start = branch->getMechanismCounter();
        act("actionIncrement")->trigger();
        act("actionIncrement")->trigger();
        QCOMPARE(branch->getMechanismCounter(), start + 2.0);
        act("actionDecrement")->trigger();
        QCOMPARE(branch->getMechanismCounter(), start + 1.0);
    }

    void modeActionsPutTheViewIntoTheirMode_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("exclusive");  // one of the six interaction modes
        QTest::addColumn<int>("panelRow");    // 1 synthesis boxes, 2 analysis boxes, 0 unchanged
        QTest::newRow("Edit Positions") << "actionPositionEdit" << int(MechGLWidget::EditPosition)
                                        << true << 1;
        QTest::newRow("Input Mechanism") << "actionInput_Mechanism"
                                         << int(MechGLWidget::InputMechanism) << true << 2;
        QTest::newRow("Edit Mechanism") << "actionEdit_Mechanism"
                                        << int(MechGLWidget::EditMechanism) << true << 2;
        QTest::newRow("Pan") << "actionPan" << int(MechGLWidget::Pan) << true << 0;
        QTest::newRow("Zoom") << "actionZoom" << int(MechGLWidget::Zoom) << true << 0;
        QTest::newRow("4 Position") << "action4_Position" << int(MechGLWidget::LineInput) << false
                                    << 0;
        QTest::newRow("3 Position") << "action3_Position" << int(MechGLWidget::UserPointInput)
                                    << false << 0;
        QTest::newRow("Position Input") << "action4Position_Input"
                                        << int(MechGLWidget::FourPosition) << false << 0;
    }
    void modeActionsPutTheViewIntoTheirMode() {
        QFETCH(QString, action);
        QFETCH(int, mode);
        QFETCH(bool, exclusive);
        QFETCH(int, panelRow);
        const auto checkedModes = [this]() {
            QStringList out;
            for (const QAction *a : rig->main().interactionModes())
                if (a->isChecked())
                    out << a->objectName();
            return out;
        };
        QCOMPARE(checkedModes(), QStringList{"actionInput_Positions"});
        loadRRRRDemo();  // the panel shows its synthesis row once a run gave dyads
        QWidget *synthesisRow = rig->child<QWidget>("frame_synthesis");
        QWidget *analysisRow = rig->child<QWidget>("frame_analysis");
        const bool synthesisBefore = synthesisRow->isVisible();
        act(qPrintable(action))->trigger();
        QCOMPARE(rig->view()->currentMode(), mode);
        if (exclusive)
            QCOMPARE(checkedModes(), QStringList{action});
        if (panelRow == 1)
            QVERIFY(synthesisRow->isVisible());
        else if (panelRow == 2)
            QVERIFY(analysisRow->isVisible() && !synthesisRow->isVisible());
        else
            QCOMPARE(synthesisRow->isVisible(), synthesisBefore);
        // Back to Input Positions: the view takes positions again.
        act("actionInput_Positions")->trigger();
        QCOMPARE(rig->view()->currentMode(), int(MechGLWidget::InputPosition));
        QCOMPARE(checkedModes(), QStringList{"actionInput_Positions"});
    }

    void fourPositionModeSynthesizesWhatTheTaskFits() {
        loadRRRRDemo();
        QSignalSpy done = runsOf(rig->main());
        rig->main().setMode4Position();
        QCOMPARE(rig->view()->currentMode(), int(MechGLWidget::FourPosition));
        QCOMPARE(done.count(), 1);  // five positions: the n-position fit
    }
};

MS_REGISTER_TEST(MechanismCommandsTest)
#include "MechanismCommandsTest.moc"
