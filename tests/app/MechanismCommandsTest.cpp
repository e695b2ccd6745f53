// The window's commands that act on the branch and the views: the dyad-kind selectors, the
// circuit commands, stepping and swapping the mechanism, and the mode actions' hand-over to the
// Cartesian view and the panel.
#include "AppTestHelpers.h"
#include "Branch.h"
#include "Dyad.h"
#include "MechGLWidget.h"
#include "Mechanism.h"
#include "MechanismSynthesis.h"
#include "TestSupport.h"
#include "Vendrel.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QSignalSpy>
#include <QtTest>
#include <cmath>
#include <memory>

class MechanismCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void dyadKindSelectorChoosesWhatTheBranchDrawsNext_data();
    void dyadKindSelectorChoosesWhatTheBranchDrawsNext();
    void circuitCommandsDoNothingWithoutAMechanism();
    void toolbarOffersTheCircuitTheMechanismIsNotOn();
    void circuitCommandsSwitchTheMechanismAndTheOffer();
    void incrementAndDecrementStepTheInput();
    void modeActionsPutTheViewIntoTheirMode_data();
    void modeActionsPutTheViewIntoTheirMode();
    void fourPositionModeSynthesizesWhatTheTaskFits();

private:
    QAction *act(const char *name) const { return rig->child<QAction>(name); }
    MechGLWidget *view() const { return rig->view(); }
    void loadRRRRDemo();

    std::unique_ptr<wintest::WindowRig> rig;
};

void MechanismCommandsTest::init() {
    MS_REQUIRE_GL();
    rig = std::make_unique<wintest::WindowRig>();
}

void MechanismCommandsTest::cleanup() {
    rig.reset();
}

void MechanismCommandsTest::loadRRRRDemo() {
    act("actionRRRR")->trigger();
    QVERIFY(rig->main().dyadBranch()->hasCouplerPoint());
}

void MechanismCommandsTest::dyadKindSelectorChoosesWhatTheBranchDrawsNext_data() {
    QTest::addColumn<QString>("selector");
    QTest::addColumn<int>("kind");  // the branch's numbering: 0 frame, 1 RR, 2 RP, 3 PR
    QTest::newRow("moving frame") << "actionMFselect" << 0;
    QTest::newRow("RR") << "actionRRselect" << 1;
    QTest::newRow("RP") << "actionRPselect" << 2;
    QTest::newRow("PR") << "actionPRselect" << 3;
}

void MechanismCommandsTest::dyadKindSelectorChoosesWhatTheBranchDrawsNext() {
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
    QCOMPARE(view()->currentMode(), int(MechGLWidget::InputMechanism));
}

void MechanismCommandsTest::circuitCommandsDoNothingWithoutAMechanism() {
    QVERIFY(act("actionOpen")->isVisible());
    QVERIFY(!act("actionCrossed")->isVisible());
    rig->main().setMechanismCircuitasopen();
    QVERIFY(act("actionOpen")->isVisible());
    QVERIFY(!act("actionCrossed")->isVisible());
    rig->main().setMechanismCircuitascrossed();
    QVERIFY(act("actionOpen")->isVisible());
}

void MechanismCommandsTest::toolbarOffersTheCircuitTheMechanismIsNotOn() {
    loadRRRRDemo();
    const bool open = rig->main().dyadBranch()->getMechanism()->isCircuitOpen();
    QCOMPARE(act("actionCrossed")->isVisible(), open);
    QCOMPARE(act("actionCrossed")->isEnabled(), open);
    QCOMPARE(act("actionOpen")->isVisible(), !open);
}

void MechanismCommandsTest::circuitCommandsSwitchTheMechanismAndTheOffer() {
    loadRRRRDemo();
    Mechanism *m = rig->main().dyadBranch()->getMechanism();
    const Dyad *output = m->getOutputDyad();
    for (int round = 0; round < 2; ++round) {
        const bool wasOpen = m->isCircuitOpen();
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

void MechanismCommandsTest::incrementAndDecrementStepTheInput() {
    loadRRRRDemo();
    Branch *branch = rig->main().dyadBranch();
    const double start = branch->getMechanismCounter();
    act("actionIncrement")->trigger();
    act("actionIncrement")->trigger();
    QCOMPARE(branch->getMechanismCounter(), start + 2.0);
    act("actionDecrement")->trigger();
    QCOMPARE(branch->getMechanismCounter(), start + 1.0);
}

void MechanismCommandsTest::modeActionsPutTheViewIntoTheirMode_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("panelRow");  // 1 synthesis boxes, 2 analysis boxes, 0 unchanged
    QTest::newRow("Edit Positions") << "actionPositionEdit" << int(MechGLWidget::EditPosition) << 1;
    QTest::newRow("Input Mechanism") << "actionInput_Mechanism"
                                     << int(MechGLWidget::InputMechanism) << 2;
    QTest::newRow("Edit Mechanism") << "actionEdit_Mechanism" << int(MechGLWidget::EditMechanism)
                                    << 2;
    QTest::newRow("Pan") << "actionPan" << int(MechGLWidget::Pan) << 0;
    QTest::newRow("Zoom") << "actionZoom" << int(MechGLWidget::Zoom) << 0;
    QTest::newRow("4 Position") << "action4_Position" << int(MechGLWidget::LineInput) << 0;
    QTest::newRow("3 Position") << "action3_Position" << int(MechGLWidget::UserPointInput) << 0;
    QTest::newRow("Position Input") << "action4Position_Input"
                                    << int(MechGLWidget::FourPosition) << 0;
}

void MechanismCommandsTest::modeActionsPutTheViewIntoTheirMode() {
    QFETCH(QString, action);
    QFETCH(int, mode);
    QFETCH(int, panelRow);
    loadRRRRDemo();  // the panel shows its synthesis row once a run gave dyads
    QWidget *synthesisRow = part<QWidget>(&rig->main(), "frame_synthesis");
    QWidget *analysisRow = part<QWidget>(&rig->main(), "frame_analysis");
    const bool synthesisBefore = synthesisRow->isVisible();
    act(qPrintable(action))->trigger();
    QCOMPARE(view()->currentMode(), mode);
    if (panelRow == 1)
        QVERIFY(synthesisRow->isVisible());
    else if (panelRow == 2)
        QVERIFY(analysisRow->isVisible() && !synthesisRow->isVisible());
    else
        QCOMPARE(synthesisRow->isVisible(), synthesisBefore);
    // Back to Input Positions: the view takes positions again, the panel shows its dyad boxes.
    act("actionInput_Positions")->trigger();
    QCOMPARE(view()->currentMode(), int(MechGLWidget::InputPosition));
}

void MechanismCommandsTest::fourPositionModeSynthesizesWhatTheTaskFits() {
    loadRRRRDemo();
    QSignalSpy done(rig->main().synthesisEngine(),
                    QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    rig->main().setMode4Position();
    QCOMPARE(view()->currentMode(), int(MechGLWidget::FourPosition));
    QCOMPARE(done.count(), 1);  // five positions: the n-position fit
}

MS_REGISTER_TEST(MechanismCommandsTest)
#include "MechanismCommandsTest.moc"
