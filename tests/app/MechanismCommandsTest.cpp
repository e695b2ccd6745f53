// The window's commands on the branch and views: dyad-kind selectors, circuit commands, stepping,
// mode actions, and "Reset" of a busy window back to its start (the docks stay as they were).
#include "ImageGLWidget.h"
#include "WindowTestSupport.h"


class MechanismCommandsTest : public WindowTest {
    Q_OBJECT
    void loadRRRRDemo() {
        act("actionRRRR")->trigger();
        QVERIFY(rig->main().dyadBranch()->hasCouplerPoint());
    }

private slots:
    void dyadKindSelectorChoosesWhatTheBranchDrawsNext_data() {
        QTest::addColumn<QString>("selector");
        QTest::addColumn<int>("kind");  // the branch's numbering: 0 frame, 1 RR, 2 RP, 3 PR
        QTest::newRow("moving frame") << "actionMFselect" << 0;
        QTest::newRow("RR") << "actionRRselect" << 1;
        QTest::newRow("RP") << "actionRPselect" << 2;
        QTest::newRow("PR") << "actionPRselect" << 3;
    }
    void dyadKindSelectorChoosesWhatTheBranchDrawsNext() {
        QFETCH(QString, selector); QFETCH(int, kind);
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

    // The tool bar offers the circuit the mechanism is not on; each command switches the mechanism
    // and the offer, and does nothing without a mechanism.
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
        QTest::addColumn<QString>("action"); QTest::addColumn<int>("mode");
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
        QFETCH(QString, action); QFETCH(int, mode); QFETCH(bool, exclusive); QFETCH(int, panelRow);
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

    // The Mechanisms table of a five-position crank-rocker task: a row per pair and driver, the
    // best one marked, and a click on a row makes its pair the mechanism with its own driver.
    void mechanismsTableListsEveryPairAndAClickChoosesIt() {
        QVERIFY(rig->load(crankRockerTask(5)));
        act("actionSynthesize")->trigger();
        act("actionMechanisms")->trigger();
        QVERIFY(rig->child<QDockWidget>("mechanismsDock")->isVisible());
        QApplication::processEvents();
        auto *table = rig->child<QTableWidget>("mechanismsTable");
        const Branch *b = rig->main().dyadBranch();
        // Two dyads of one kind are two machines, one per driver; RP + RP is listed once.
        const int n = std::min(b->synthesizedDyadCount(), 4);
        int expectedRows = 0, crank = -1, rocker = -1;
        for (int i = 0; i < n; ++i) {
            const Point fixed = b->dyadAt(i)->fixedPivotRefCopy();
            crank = std::hypot(fixed[0] - 1.0, fixed[1] - 1.0) < 1e-6 ? i : crank;
            rocker = std::hypot(fixed[0] - 5.0, fixed[1] - 1.5) < 1e-6 ? i : rocker;
            for (int j = i + 1; j < n; ++j) {
                const QString kind = b->dyadAt(i)->typeName();
                expectedRows += kind == b->dyadAt(j)->typeName() && kind != "RP" ? 2 : 1;
            }
        }
        QVERIFY(crank >= 0 && rocker >= 0);
        QCOMPARE(table->rowCount(), expectedRows);
        auto rowOf = [table](int in, int out) {
            const QString name = QString("D%1 → D%2").arg(in + 1).arg(out + 1);
            for (int r = 0; r < table->rowCount(); ++r)
                if (table->item(r, 1)->text() == name)
                    return r;
            return -1;
        };
        const QString defectFree = QStringLiteral("✓ defect-free");
        // The poses were made in crank order on one assembly; driven by its rocker the same
        // linkage stalls at the rocker's limits between them.
        QCOMPARE(table->item(rowOf(crank, rocker), 4)->text(), defectFree);
        QVERIFY(table->item(rowOf(rocker, crank), 4)->text() != defectFree);
        int marked = 0;
        for (int r = 0; r < table->rowCount(); ++r) {
            if (!table->item(r, 0)->text().contains(QStringLiteral("★")))
                continue;
            ++marked;
            QCOMPARE(table->item(r, 4)->text(), defectFree);
            QVERIFY(table->item(r, 1)->font().bold());
        }
        QCOMPARE(marked, 1);
        // One of the two drivers is not the one the boxes give: it comes from the swap command.
        for (const std::pair<int, int> &pair : {std::pair(rocker, crank), std::pair(crank, rocker)}) {
            const int row = rowOf(pair.first, pair.second);
            table->scrollToItem(table->item(row, 1));
            const QPoint at = table->visualItemRect(table->item(row, 1)).center();
            QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, at);
            const Mechanism *m = b->getMechanism();
            QCOMPARE(m->getInputDyad(), b->dyadAt(pair.first));
            QCOMPARE(m->getOutputDyad(), b->dyadAt(pair.second));
            QCOMPARE(table->currentRow(), row);
            for (int k = 0; k < 4; ++k)
                QCOMPARE(rig->child<QCheckBox>(qPrintable(QString("checkBox_D%1").arg(k + 1)))
                             ->isChecked(), k == crank || k == rocker);
        }
        act("action_Reset")->trigger();
        QCOMPARE(table->rowCount(), 0);
        QVERIFY(rig->child<QLabel>("mechanismsEmptyLabel")->isVisible());
    }

    void resetReturnsABusyWindowToItsStart() {
        Vendrel &w = rig->main();
        MechGLWidget *view = rig->view();
        MechanismSynthesis *engine = w.synthesisEngine();
        // The view's clicks are positions before a load and after it, as Input Positions shows.
        QVERIFY(w.acceptsMousePositions());
        emit view->positioninput(1.0, 1.0, 10.0, 0);
        QCOMPARE(w.task()->size(), 1);
        act("actionRRRR")->trigger();
        QVERIFY(w.dyadBranch()->hasMechanism());
        QVERIFY(w.acceptsMousePositions());
        const int loaded = w.task()->size() + 1;
        emit view->positioninput(2.0, 2.0, 20.0, 0);
        QCOMPARE(w.task()->size(), loaded);
        QCOMPARE(int(view->shownPositions().size()), loaded);

        // Busy: animated, every input command on, the editors shown, the engine's line and points
        // given, the solution table filled, the image view turned and zoomed.
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
            auto *box =
                rig->child<QCheckBox>(qPrintable(QStringLiteral("checkBox_D%1").arg(k + 1)));
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
        QVERIFY(!act("action4Position_Input")->isVisible() &&
                !act("actionLine_Input")->isVisible());
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

MS_REGISTER_TEST(MechanismCommandsTest)
#include "MechanismCommandsTest.moc"
