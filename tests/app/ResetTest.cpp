// "Reset" after a synthesized, animated demonstration with every input command in use: the task,
// the dyads, the panel, the views, the modes and commands, the engine's flags and the solution
// table all return to their start, while the docks stay as the user left them.
#include "AppTestHelpers.h"
#include "Branch.h"
#include "ImageGLWidget.h"
#include "MechGLWidget.h"
#include "MechanismSynthesis.h"
#include "Motion.h"
#include "Synthesis_Widget.h"
#include "TestSupport.h"
#include "Vendrel.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QDockWidget>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>
#include <memory>

class ResetTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void resetClearsTaskDyadsAndPanel();
    void resetReturnsModesAndCommandsToTheirStart();
    void resetStopsTheAnimationAndShowsStart();
    void resetForgetsTheEnginesLineAndPoints();
    void resetEmptiesTheSolutionTableAndKeepsTheDocks();
    void resetResetsBothViews();
    void resetLetsTheMouseEnterPositionsAgain();

private:
    QAction *act(const char *name) const { return rig->child<QAction>(name); }
    MechGLWidget *view() const { return rig->view(); }
    // The RRRR demonstration, synthesized and running, with the input commands switched on.
    void busyWindow();

    std::unique_ptr<wintest::WindowRig> rig;
};

void ResetTest::init() {
    MS_REQUIRE_GL();
    rig = std::make_unique<wintest::WindowRig>();
    busyWindow();
}

void ResetTest::cleanup() {
    rig.reset();
}

void ResetTest::busyWindow() {
    act("actionRRRR")->trigger();
    QVERIFY(rig->main().dyadBranch()->hasMechanism());
    act("actionStart")->trigger();
    view()->animate();
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
    part<QWidget>(&rig->main(), "editPointDim")->show();
    part<QWidget>(&rig->main(), "editLinkDim")->show();
    rig->main().synthesisEngine()->lineDefined = true;
    rig->main().synthesisEngine()->setUDP(1.0, 1.0);
    rig->main().synthesisEngine()->setUDP(2.0, 1.0);
    auto *table = part<QTableWidget>(&rig->main(), "SolutionWidget");
    table->setRowCount(2);
    table->setItem(0, 0, new QTableWidgetItem("RR"));
}

void ResetTest::resetClearsTaskDyadsAndPanel() {
    act("action_Reset")->trigger();
    QCOMPARE(rig->main().task()->size(), 0);
    QCOMPARE(rig->main().task()->currentPositionIndex(), -1);
    QCOMPARE(int(rig->main().synthesisEngine()->getData().n_rows), 0);
    Branch *branch = rig->main().dyadBranch();
    QCOMPARE(branch->synthesizedDyadCount(), 0);
    QCOMPARE(int(branch->getFirstPassDyads().size()), 0);
    QVERIFY(!branch->hasMechanism());
    QVERIFY(!branch->hasCouplerPoint());
    Synthesis_Widget *panel = rig->main().synthesisPanel();
    for (int k = 0; k < Synthesis_Widget::boxCount; ++k) {
        QVERIFY(panel->dyadShownBy(k) == nullptr);
        QVERIFY(panel->alternativeShownBy(k) == nullptr);
        const QString box = QStringLiteral("checkBox_D%1").arg(k + 1);
        QVERIFY(!part<QCheckBox>(&rig->main(), qPrintable(box))->isChecked());
        QVERIFY(!part<QCheckBox>(&rig->main(), qPrintable(box))->isEnabled());
    }
}

void ResetTest::resetReturnsModesAndCommandsToTheirStart() {
    act("action_Reset")->trigger();
    for (QAction *mode : rig->main().interactionModes())
        QCOMPARE(mode->isChecked(), mode == act("actionInput_Positions"));
    for (const char *name : {"actionMFselect", "actionRRselect", "actionRPselect",
                             "actionPRselect", "actionPositionEdit", "actionSmartSynthesis",
                             "action4_Position", "action4Position_Input", "actionLine_Input",
                             "action3_Position"})
        QVERIFY2(!act(name)->isChecked(), name);
    QVERIFY(!act("action4Position_Input")->isVisible());
    QVERIFY(!act("actionLine_Input")->isVisible());
    QVERIFY(!part<QWidget>(&rig->main(), "editPointDim")->isVisible());
    QVERIFY(!part<QWidget>(&rig->main(), "editLinkDim")->isVisible());
    QCOMPARE(view()->currentMode(), int(MechGLWidget::InputPosition));
}

void ResetTest::resetStopsTheAnimationAndShowsStart() {
    QVERIFY(view()->isAnimating());
    QVERIFY(act("actionPause")->isVisible());
    act("action_Reset")->trigger();
    QVERIFY(!view()->isAnimating());
    QVERIFY(act("actionStart")->isVisible());
    QVERIFY(!act("actionPause")->isVisible());
}

void ResetTest::resetForgetsTheEnginesLineAndPoints() {
    act("action_Reset")->trigger();
    MechanismSynthesis *engine = rig->main().synthesisEngine();
    QVERIFY(!engine->lineDefined);
    QVERIFY(!engine->udp1Defined);
    QVERIFY(!engine->udp2Defined);
    // A point given after the reset is the first again.
    engine->setUDP(5.0, -1.0);
    QVERIFY(engine->udp1Defined && !engine->udp2Defined);
    QCOMPARE(engine->udp1[0], 5.0);
}

void ResetTest::resetEmptiesTheSolutionTableAndKeepsTheDocks() {
    act("actionSynthesis_Tools")->trigger();
    const bool toolsShown = part<QDockWidget>(&rig->main(), "SynthesisToolsWidget")->isVisible();
    QVERIFY(toolsShown);
    act("action_Reset")->trigger();
    auto *table = part<QTableWidget>(&rig->main(), "SolutionWidget");
    QCOMPARE(table->rowCount(), 0);
    QVERIFY(table->item(0, 0) == nullptr);
    QCOMPARE(part<QDockWidget>(&rig->main(), "SynthesisToolsWidget")->isVisible(), toolsShown);
    QVERIFY(part<QDockWidget>(&rig->main(), "dock_synthesis_widget")->isVisible());
    QCOMPARE(table->columnCount(), 4);
}

void ResetTest::resetResetsBothViews() {
    auto *image = part<ImageGLWidget>(&rig->main(), "widget_Image");
    image->setXRotation(40);
    image->setScale(3);
    view()->setScale(5);
    act("action_Reset")->trigger();
    QCOMPARE(image->xRotation(), 0);
    QCOMPARE(image->yRotation(), 0);
    QCOMPARE(image->zRotation(), 0);
    QCOMPARE(image->currentScale(), 1.0);
    QCOMPARE(int(view()->shownPositions().size()), 0);
    QCOMPARE(view()->selectedPositionIndex(), -1);
    QCOMPARE(int(view()->markers().size()), 0);
}

void ResetTest::resetLetsTheMouseEnterPositionsAgain() {
    QVERIFY(!rig->main().acceptsMousePositions());  // cut by the demo's load
    QSignalSpy changed(&rig->main(), &Vendrel::dataChanged);
    act("action_Reset")->trigger();
    QVERIFY(changed.count() >= 1);  // the views redraw the empty task
    QVERIFY(rig->main().acceptsMousePositions());
    emit view()->positioninput(1.0, 2.0, 45.0, 0);
    emit view()->positioninput(-1.0, 0.5, 60.0, 1);
    QCOMPARE(rig->main().task()->size(), 2);
    QCOMPARE(int(rig->main().synthesisEngine()->getData().n_rows), 2);
    // Reset twice keeps one connection: a click still adds one position, not two.
    act("action_Reset")->trigger();
    act("action_Reset")->trigger();
    emit view()->positioninput(1.0, 2.0, 45.0, 0);
    QCOMPARE(rig->main().task()->size(), 1);
}

MS_REGISTER_TEST(ResetTest)
#include "ResetTest.moc"
