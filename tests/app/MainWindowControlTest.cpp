// Main window frame, in use: the mode group, the Start/Pause/Stop control, the toggles and the
// frame's own signals, driven through QAction::trigger as a click on the tool bar would.
#include "AppTestHelpers.h"
#include "MechGLWidget.h"
#include "Motion.h"
#include "Point.h"
#include "ProcessValues.h"
#include "TestSupport.h"
#include "Vendrel.h"

#include <QAction>
#include <QActionGroup>
#include <QDockWidget>
#include <QSignalSpy>
#include <QtTest>
#include <cmath>
#include <memory>

namespace {
QStringList checkedNames(const QVector<QAction *> &actions) {
    QStringList out;
    for (const QAction *a : actions)
        if (a->isChecked())
            out << a->objectName();
    return out;
}
} // namespace

class MainWindowControlTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void modeGroupHoldsTheSixModesInOrder();
    void startsInInputPositionsMode();
    void everyModeLeavesExactlyItselfChecked_data();
    void everyModeLeavesExactlyItselfChecked();
    void triggeringTheCheckedModeAgainKeepsIt();
    void setModeChecksOnlyTheGivenMode();
    void resetModeReturnsToInputPositions();

    void startHandsTheControlToPause();
    void pauseHandsTheControlBackToStart();
    void stopPausesARunningAnimation();
    void stopBeforeAnyStartLeavesStartShowing();

    void toolbarsEntryHidesAndRestoresItsCommands_data();
    void toolbarsEntryHidesAndRestoresItsCommands();
    void reshowingMechanismCommandsKeepsOneOfStartAndPause();
    void modeMenuSwitchesTheToolbarGroups();

    void smartSynthesisOffersTheSolutionSelector();
    void synthesisToolsActionShowsAndHidesItsDock();
    void imageSpaceToggleShowsAndHidesTheImageView();
    void editMechanismShowsTheLinkEditorWhileItIsTheMode();
    void dimensionToggleSetsAndClearsShowDimensions();
    void displayDataAnnouncesDataChanged();
    void cartesianViewDrawsTheWindowsTask();

private:
    std::unique_ptr<Vendrel> window;
    QAction *act(const char *name) const { return part<QAction>(window.get(), name); }
};

void MainWindowControlTest::initTestCase() {
    MS_REQUIRE_GL();
    registerAppResources();
}

void MainWindowControlTest::init() {
    window = std::make_unique<Vendrel>();
}

void MainWindowControlTest::cleanup() {
    window.reset();
    showDimensions = false;
}

void MainWindowControlTest::modeGroupHoldsTheSixModesInOrder() {
    const QStringList expected = {"actionInput_Positions", "actionPositionEdit",
                                  "actionInput_Mechanism", "actionEdit_Mechanism",
                                  "actionPan",             "actionZoom"};
    QStringList names;
    for (const QAction *a : window->interactionModes())
        names << a->objectName();
    QCOMPARE(names, expected);
    const QActionGroup *group = window->interactionModes().first()->actionGroup();
    QVERIFY(group != nullptr);
    QVERIFY(group->isExclusive());
    for (QAction *a : window->interactionModes())
        QCOMPARE(a->actionGroup(), group);
    QCOMPARE(group->actions().size(), 6);
}

void MainWindowControlTest::startsInInputPositionsMode() {
    QCOMPARE(checkedNames(window->interactionModes()), QStringList{"actionInput_Positions"});
}

void MainWindowControlTest::everyModeLeavesExactlyItselfChecked_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("before");
    // Each mode entered from a different one, so every change of the checked action is met.
    QTest::newRow("edit positions") << "actionPositionEdit" << "actionInput_Positions";
    QTest::newRow("input mechanism") << "actionInput_Mechanism" << "actionPositionEdit";
    QTest::newRow("edit mechanism") << "actionEdit_Mechanism" << "actionZoom";
    QTest::newRow("pan") << "actionPan" << "actionEdit_Mechanism";
    QTest::newRow("zoom") << "actionZoom" << "actionPan";
    QTest::newRow("input positions") << "actionInput_Positions" << "actionInput_Mechanism";
}

void MainWindowControlTest::everyModeLeavesExactlyItselfChecked() {
    QFETCH(QString, mode);
    QFETCH(QString, before);
    window->findChild<QAction *>(before)->trigger();
    QCOMPARE(checkedNames(window->interactionModes()), QStringList{before});
    window->findChild<QAction *>(mode)->trigger();
    QCOMPARE(checkedNames(window->interactionModes()), QStringList{mode});
}

void MainWindowControlTest::triggeringTheCheckedModeAgainKeepsIt() {
    act("actionPan")->trigger();
    act("actionPan")->trigger();
    QCOMPARE(checkedNames(window->interactionModes()), QStringList{"actionPan"});
}

void MainWindowControlTest::setModeChecksOnlyTheGivenMode() {
    window->setMode(act("actionZoom"));
    QCOMPARE(checkedNames(window->interactionModes()), QStringList{"actionZoom"});
    window->setMode(act("actionPositionEdit"));
    QCOMPARE(checkedNames(window->interactionModes()), QStringList{"actionPositionEdit"});
}

void MainWindowControlTest::resetModeReturnsToInputPositions() {
    act("actionEdit_Mechanism")->trigger();
    window->resetMode();
    QCOMPARE(checkedNames(window->interactionModes()), QStringList{"actionInput_Positions"});
}

void MainWindowControlTest::startHandsTheControlToPause() {
    act("actionStart")->trigger();
    QVERIFY(!act("actionStart")->isVisible());
    QVERIFY(!act("actionStart")->isChecked());
    QVERIFY(act("actionPause")->isVisible());
    QVERIFY(act("actionPause")->isEnabled());
    QVERIFY(!act("actionPause")->isChecked());
}

void MainWindowControlTest::pauseHandsTheControlBackToStart() {
    act("actionStart")->trigger();
    act("actionPause")->trigger();
    QVERIFY(act("actionStart")->isVisible());
    QVERIFY(!act("actionPause")->isVisible());
    QVERIFY(!act("actionStart")->isChecked());
    QVERIFY(!act("actionPause")->isChecked());
    // And round again: the control keeps alternating.
    act("actionStart")->trigger();
    QVERIFY(!act("actionStart")->isVisible());
    QVERIFY(act("actionPause")->isVisible());
}

void MainWindowControlTest::stopPausesARunningAnimation() {
    QSignalSpy pauses(act("actionPause"), &QAction::triggered);
    act("actionStart")->trigger();
    act("actionStop")->trigger();
    QCOMPARE(pauses.count(), 1);
    QVERIFY(act("actionStart")->isVisible());
    QVERIFY(!act("actionPause")->isVisible());
    QVERIFY(!act("actionPause")->isChecked());
}

void MainWindowControlTest::stopBeforeAnyStartLeavesStartShowing() {
    QSignalSpy pauses(act("actionPause"), &QAction::triggered);
    act("actionStop")->trigger();
    QCOMPARE(pauses.count(), 0);
    QVERIFY(act("actionStart")->isVisible());
    QVERIFY(!act("actionPause")->isVisible());
    QVERIFY(!act("actionPause")->isEnabled());
}

void MainWindowControlTest::toolbarsEntryHidesAndRestoresItsCommands_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("commands");
    QTest::newRow("Synthesis") << "Synthesistt" << QStringList{"actionInput_Positions"};
    QTest::newRow("Analysis") << "Analysistt"
                              << QStringList{"actionInput_Mechanism", "actionEdit_Mechanism"};
    QTest::newRow("Mechanism") << "Mechanismtt"
                               << QStringList{"actionSwap_Input_Dyad", "actionOpen",
                                              "actionStart", "actionStop"};
    QTest::newRow("Wokrspace") << "Wokrspacett"
                               << QStringList{"actionToggle_Grid", "actionWorkSpace"};
}

void MainWindowControlTest::toolbarsEntryHidesAndRestoresItsCommands() {
    QFETCH(QString, entry);
    QFETCH(QStringList, commands);
    QAction *toggle = window->findChild<QAction *>(entry);
    toggle->trigger();
    QVERIFY(!toggle->isChecked());
    for (const QString &name : commands)
        QVERIFY2(!window->findChild<QAction *>(name)->isVisible(), qPrintable(name));
    QVERIFY(act("actionSynthesize")->isVisible());  // not in any group
    toggle->trigger();
    for (const QString &name : commands)
        QVERIFY2(window->findChild<QAction *>(name)->isVisible(), qPrintable(name));
}

void MainWindowControlTest::reshowingMechanismCommandsKeepsOneOfStartAndPause() {
    // Re-showing the Mechanism group once showed Start and Pause (and Open and Crossed) together.
    act("Mechanismtt")->trigger();
    act("Mechanismtt")->trigger();
    QVERIFY(act("actionStart")->isVisible());
    QVERIFY(!act("actionPause")->isVisible());
    QVERIFY(act("actionOpen")->isVisible());
    QVERIFY(!act("actionCrossed")->isVisible());

    act("actionStart")->trigger();
    act("Mechanismtt")->trigger();
    QVERIFY(!act("actionPause")->isVisible());
    // A pause while the group is hidden (Reset does this) must not show Start early.
    act("actionStop")->trigger();
    QVERIFY(!act("actionStart")->isVisible());
    act("Mechanismtt")->trigger();
    QVERIFY(act("actionStart")->isVisible());
    QVERIFY(!act("actionPause")->isVisible());
}

void MainWindowControlTest::modeMenuSwitchesTheToolbarGroups() {
    act("modeSynthesis")->trigger();
    QVERIFY(!act("Synthesistt")->isChecked());
    QVERIFY(!act("actionInput_Positions")->isVisible());
    act("modeAnalysis")->trigger();
    QVERIFY(!act("Analysistt")->isChecked());
    QVERIFY(!act("actionEdit_Mechanism")->isVisible());
    act("modeAnimation")->trigger();
    QVERIFY(!act("Mechanismtt")->isChecked());
    QVERIFY(!act("actionStop")->isVisible());
    QVERIFY(act("Wokrspacett")->isChecked());

    act("modeSynthesis")->trigger();
    QVERIFY(act("Synthesistt")->isChecked());
    QVERIFY(act("actionInput_Positions")->isVisible());
}

void MainWindowControlTest::smartSynthesisOffersTheSolutionSelector() {
    act("actionSmartSynthesis")->trigger();
    QVERIFY(act("actionSmartSynthesis")->isChecked());
    QVERIFY(act("aSol_Selector")->isVisible());
    QVERIFY(act("aSol_Selector")->isEnabled());
    act("actionSmartSynthesis")->trigger();
    QVERIFY(!act("aSol_Selector")->isVisible());
    QVERIFY(!act("aSol_Selector")->isEnabled());
}

void MainWindowControlTest::synthesisToolsActionShowsAndHidesItsDock() {
    window->show();
    QVERIFY(!part<QDockWidget>(window.get(), "SynthesisToolsWidget")->isVisible());
    act("actionSynthesis_Tools")->trigger();
    QVERIFY(part<QDockWidget>(window.get(), "SynthesisToolsWidget")->isVisible());
    QVERIFY(!part<QDockWidget>(window.get(), "dockWidget")->isVisible());
    act("actionSynthesis_Tools")->trigger();
    QVERIFY(!part<QDockWidget>(window.get(), "SynthesisToolsWidget")->isVisible());
}

void MainWindowControlTest::imageSpaceToggleShowsAndHidesTheImageView() {
    window->show();
    act("actionShowImg")->trigger();
    QVERIFY(part<QWidget>(window.get(), "widget_Image")->isVisible());
    act("actionShowImg")->trigger();
    QVERIFY(!part<QWidget>(window.get(), "widget_Image")->isVisible());
    QVERIFY(part<QWidget>(window.get(), "widget_Mech")->isVisible());
}

void MainWindowControlTest::editMechanismShowsTheLinkEditorWhileItIsTheMode() {
    window->show();
    act("actionEdit_Mechanism")->trigger();
    QVERIFY(part<QWidget>(window.get(), "editLinkDim")->isVisible());
    QVERIFY(!part<QWidget>(window.get(), "editPointDim")->isVisible());
    // Leaving the mode (the group unchecks it) takes the editor away again.
    act("actionPan")->trigger();
    QVERIFY(!part<QWidget>(window.get(), "editLinkDim")->isVisible());
}

void MainWindowControlTest::dimensionToggleSetsAndClearsShowDimensions() {
    QVERIFY(!showDimensions);
    act("actionDimension")->trigger();
    QVERIFY(showDimensions);
    act("actionDimension")->trigger();
    QVERIFY(!showDimensions);
    window->setShowDim(true);
    QVERIFY(showDimensions);
    QVERIFY(!act("actionDimension")->isChecked());  // the slot sets the value, not the action
}

void MainWindowControlTest::displayDataAnnouncesDataChanged() {
    QSignalSpy changed(window.get(), &Vendrel::dataChanged);
    QSignalSpy synthesized(window.get(), &Vendrel::synthesized);
    window->displayData();
    window->displayData();
    QCOMPARE(changed.count(), 2);
    QCOMPARE(synthesized.count(), 0);
}

void MainWindowControlTest::cartesianViewDrawsTheWindowsTask() {
    Motion *task = window->task();
    QVERIFY(task != nullptr);
    task->currentPose = Point(1.5, -2.0, PI / 2.0);
    task->currentImage = toImage(task->currentPose);
    task->addPosition();
    auto *view = part<MechGLWidget>(window.get(), "widget_Mech");
    const std::vector<Point> &shown = view->shownPositions();
    QCOMPARE(int(shown.size()), 1);
    QVERIFY(std::fabs(shown[0][0] - 1.5) < 1e-9);
    QVERIFY(std::fabs(shown[0][1] + 2.0) < 1e-9);
    QVERIFY(std::fabs(shown[0][2] - 90.0) < 1e-6);  // the view draws in degrees
}

MS_REGISTER_TEST(MainWindowControlTest)
#include "MainWindowControlTest.moc"
