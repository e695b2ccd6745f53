// Which synthesis a request runs: nothing below five positions unless the four- or
// three-position input is there, the n-position fit from five on; and the "Synthesis Tools"
// boxes that re-run it. Counted on the engine's done signals.
#include "AppTestHelpers.h"
#include "Branch.h"
#include "Dyad.h"
#include "MechGLWidget.h"
#include "MechanismSynthesis.h"
#include "Motion.h"
#include "ProcessValues.h"
#include "ScopedWorkingDirectory.h"
#include "Synthesis_Widget.h"
#include "TaskFixtures.h"
#include "TestSupport.h"
#include "Vendrel.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QProgressDialog>
#include <QPushButton>
#include <QDoubleSpinBox>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>
#include <memory>

Q_DECLARE_METATYPE(Vendrel::SynthesisVariant)

class SynthesisDispatchTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void fewerThanThreePositionsRunNothing_data();
    void fewerThanThreePositionsRunNothing();
    void threeOrFourPositionsWithoutPointsOrLineRunNothing_data();
    void threeOrFourPositionsWithoutPointsOrLineRunNothing();
    void fiveOrMorePositionsRunTheNPositionFit_data();
    void fiveOrMorePositionsRunTheNPositionFit();
    void variantFollowsCountLineAndPoints_data();
    void variantFollowsCountLineAndPoints();
    void synthesizeCommandRunsTheFit();
    void withoutToleranceTheFitRunsWithoutAnnouncingData();
    void clickingFivePositionsSynthesizesAfterTheFifth();
    void drawingALineWithFourPositionsRunsTheFourPositionFit();
    void twoChosenPivotsWithThreePositionsRunTheThreePositionFit();
    void toleranceModeSweepsInPlaceOfThePlainFit();
    void toleranceModeFollowsTheFourPositionRun();
    void cancellingTheProgressDialogStopsTheSweep();

    void thresholdBoxShowsWhatTheEngineUses();
    void changingTheThresholdReRunsSynthesisOnce();
    void linkRatioBoxReachesEngineAndPanelWithoutEcho();
    void linkLengthTypedInThePanelSettlesInOneStep();

private:
    // Loads n crank-rocker poses as the task and counts the runs of one request.
    void loadTask(int n);
    Synthesis_Widget *panel() const { return window->synthesisPanel(); }
    // Whether one of the branch's dyads has its fixed pivot at (x, y).
    bool branchHasFixedPivot(double x, double y) const;
    // Turns tolerance mode on without its dialog (the dialog's own tests show it).
    void quietlyCheckSmartSynthesis();

    std::unique_ptr<ScopedWorkingDirectory> workdir;
    std::unique_ptr<Vendrel> window;
};

void SynthesisDispatchTest::init() {
    MS_REQUIRE_GL();
    registerAppResources();
    workdir = std::make_unique<ScopedWorkingDirectory>();
    window = std::make_unique<Vendrel>();
}

void SynthesisDispatchTest::cleanup() {
    window.reset();
    workdir.reset();
    workspaceWidth = 20.0;
    workspaceHeight = 10.0;
}

void SynthesisDispatchTest::loadTask(int n) {
    const QString path = workdir->write("task.txt", taskfix::taskText(taskfix::crankRockerTask(n)));
    QVERIFY(window->loadPositionFile(path, 3));
    QCOMPARE(window->task()->size(), n);
}

bool SynthesisDispatchTest::branchHasFixedPivot(double x, double y) const {
    for (const Dyad *d : window->dyadBranch()->getDyadListCpy()) {
        const Point f = d->fixedPivotCopy();
        if (std::hypot(f[0] - x, f[1] - y) < 1e-6)
            return true;
    }
    return false;
}

void SynthesisDispatchTest::quietlyCheckSmartSynthesis() {
    QAction *smart = part<QAction>(window.get(), "actionSmartSynthesis");
    const QSignalBlocker quiet(smart);
    smart->setChecked(true);
}

void SynthesisDispatchTest::fewerThanThreePositionsRunNothing_data() {
    QTest::addColumn<int>("n");
    QTest::newRow("no position") << 0;
    QTest::newRow("one position") << 1;
    QTest::newRow("two positions") << 2;
}

void SynthesisDispatchTest::fewerThanThreePositionsRunNothing() {
    QFETCH(int, n);
    loadTask(n);
    MechanismSynthesis *engine = window->synthesisEngine();
    QSignalSpy done(engine, QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    QSignalSpy changed(window.get(), &Vendrel::dataChanged);
    window->toSynthesize();
    window->toSynthesizeWithoutTol();
    QCOMPARE(done.count(), 0);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(window->dyadBranch()->synthesizedDyadCount(), 0);
}

void SynthesisDispatchTest::threeOrFourPositionsWithoutPointsOrLineRunNothing_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<bool>("line");
    QTest::addColumn<bool>("firstPoint");
    QTest::newRow("three, no point") << 3 << false << false;
    QTest::newRow("three, one point only") << 3 << false << true;
    QTest::newRow("three with a line") << 3 << true << false;
    QTest::newRow("four, no line") << 4 << false << false;
    QTest::newRow("four with one point") << 4 << false << true;
}

void SynthesisDispatchTest::threeOrFourPositionsWithoutPointsOrLineRunNothing() {
    QFETCH(int, n);
    QFETCH(bool, line);
    QFETCH(bool, firstPoint);
    loadTask(n);
    MechanismSynthesis *engine = window->synthesisEngine();
    engine->lineDefined = line;
    engine->udp1Defined = firstPoint;
    QSignalSpy done(engine, QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    window->toSynthesize();
    window->toSynthesizeWithoutTol();
    QCOMPARE(window->chooseSynthesisVariant(), Vendrel::SynthesisVariant::None);
    QCOMPARE(done.count(), 0);
}

void SynthesisDispatchTest::fiveOrMorePositionsRunTheNPositionFit_data() {
    QTest::addColumn<int>("n");
    QTest::newRow("five") << 5;
    QTest::newRow("six") << 6;
    QTest::newRow("nine") << 9;
}

void SynthesisDispatchTest::fiveOrMorePositionsRunTheNPositionFit() {
    QFETCH(int, n);
    loadTask(n);
    MechanismSynthesis *engine = window->synthesisEngine();
    QSignalSpy done(engine, QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    QSignalSpy changed(window.get(), &Vendrel::dataChanged);
    window->toSynthesize();
    QCOMPARE(done.count(), 1);
    QCOMPARE(changed.count(), 1);
    // The fit saw every position: one row each, and the crank-rocker's own dyads are found.
    QCOMPARE(int(engine->lastFit().ok), 1);
    QCOMPARE(int(engine->getData().n_rows), n);
    QVERIFY(window->dyadBranch()->synthesizedDyadCount() >= 2);
}

void SynthesisDispatchTest::variantFollowsCountLineAndPoints_data() {
    using V = Vendrel::SynthesisVariant;
    QTest::addColumn<int>("n");
    QTest::addColumn<bool>("line");
    QTest::addColumn<bool>("point1");
    QTest::addColumn<bool>("point2");
    QTest::addColumn<V>("expected");
    QTest::newRow("four with a line") << 4 << true << false << false << V::FourPosition;
    QTest::newRow("three with both points") << 3 << false << true << true << V::ThreePosition;
    QTest::newRow("three with points and line") << 3 << true << true << true << V::ThreePosition;
    QTest::newRow("four with both points") << 4 << false << true << true << V::None;
    QTest::newRow("five with a line") << 5 << true << false << false << V::NPosition;
    QTest::newRow("five with both points") << 5 << false << true << true << V::NPosition;
    QTest::newRow("two with everything") << 2 << true << true << true << V::None;
}

void SynthesisDispatchTest::variantFollowsCountLineAndPoints() {
    QFETCH(int, n);
    QFETCH(bool, line);
    QFETCH(bool, point1);
    QFETCH(bool, point2);
    QFETCH(Vendrel::SynthesisVariant, expected);
    loadTask(n);
    MechanismSynthesis *engine = window->synthesisEngine();
    engine->lineDefined = line;
    engine->udp1Defined = point1;
    engine->udp2Defined = point2;
    QCOMPARE(window->chooseSynthesisVariant(), expected);
}

void SynthesisDispatchTest::synthesizeCommandRunsTheFit() {
    loadTask(5);
    QSignalSpy done(window->synthesisEngine(),
                    QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    part<QAction>(window.get(), "actionSynthesize")->trigger();
    QCOMPARE(done.count(), 1);
}

void SynthesisDispatchTest::withoutToleranceTheFitRunsWithoutAnnouncingData() {
    loadTask(7);
    QSignalSpy done(window->synthesisEngine(),
                    QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    QSignalSpy changed(window.get(), &Vendrel::dataChanged);
    window->toSynthesizeWithoutTol();
    QCOMPARE(done.count(), 1);
    QCOMPARE(changed.count(), 0);
}

void SynthesisDispatchTest::clickingFivePositionsSynthesizesAfterTheFifth() {
    MechGLWidget *view = part<MechGLWidget>(window.get(), "widget_Mech");
    QSignalSpy done(window->synthesisEngine(),
                    QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    const std::vector<taskfix::Pose> poses = taskfix::crankRockerTask(5);
    for (int k = 0; k < 5; ++k) {
        // What the view sends on a click-and-drag in position-input mode.
        emit view->positioninput(poses[k].x, poses[k].y, poses[k].thetaDeg, k);
        QCOMPARE(window->task()->size(), k + 1);
        QCOMPARE(done.count(), k < 4 ? 0 : 1);
    }
    const arma::mat &rows = window->synthesisEngine()->getData();
    QCOMPARE(int(rows.n_rows), 5);
    QVERIFY(std::fabs(rows(4, 2) - poses[4].thetaDeg) < 1e-12);
    QCOMPARE(window->task()->currentPositionIndex(), 4);
}

// The crank-rocker's ground pivots (1, 1) and (5, 1.5) lie on the line drawn: the four-position
// fit must find RR dyads about them.
void SynthesisDispatchTest::drawingALineWithFourPositionsRunsTheFourPositionFit() {
    loadTask(4);
    QSignalSpy done(window->synthesisEngine(),
                    QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    MechGLWidget *view = part<MechGLWidget>(window.get(), "widget_Mech");
    emit view->lineConstraintAdded(1.0, 1.0, 5.0, 1.5);
    QCOMPARE(window->chooseSynthesisVariant(), Vendrel::SynthesisVariant::FourPosition);
    QCOMPARE(done.count(), 1);
    QVERIFY(branchHasFixedPivot(1.0, 1.0));
    QVERIFY(branchHasFixedPivot(5.0, 1.5));
}

void SynthesisDispatchTest::twoChosenPivotsWithThreePositionsRunTheThreePositionFit() {
    loadTask(3);
    MechGLWidget *view = part<MechGLWidget>(window.get(), "widget_Mech");
    emit view->udpinput(1.0, 1.0);
    emit view->udpinput(5.0, 1.5);
    QSignalSpy done(window->synthesisEngine(),
                    QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    part<QAction>(window.get(), "actionSynthesize")->trigger();
    QCOMPARE(done.count(), 1);
    // The two selected dyads are the crank-rocker's, in the order of the points.
    Branch *branch = window->dyadBranch();
    QCOMPARE(branch->synthesizedDyadCount(), 2);
    const Point first = branch->dyadAt(0)->fixedPivotCopy();
    const Point second = branch->dyadAt(1)->fixedPivotCopy();
    QVERIFY(std::hypot(first[0] - 1.0, first[1] - 1.0) < 1e-6);
    QVERIFY(std::hypot(second[0] - 5.0, second[1] - 1.5) < 1e-6);
    QCOMPARE(branch->getMechanismType(), QString("RRRR"));
}

void SynthesisDispatchTest::toleranceModeSweepsInPlaceOfThePlainFit() {
    loadTask(5);
    quietlyCheckSmartSynthesis();
    MechanismSynthesis *engine = window->synthesisEngine();
    QSignalSpy started(engine, &MechanismSynthesis::tolSynthesisStarted);
    QSignalSpy swept(engine, &MechanismSynthesis::tolSynthesisDone);
    QSignalSpy changed(window.get(), &Vendrel::dataChanged);
    window->toSynthesize();
    QCOMPARE(started.count(), 1);
    QCOMPARE(swept.count(), 1);
    QCOMPARE(changed.count(), 1);
    QVERIFY(engine->tolSolutionCount() >= 1);
    // Without tolerance mode the same request is the plain fit, and no sweep.
    window->toSynthesizeWithoutTol();
    QCOMPARE(swept.count(), 1);
    window->resetSolutions();
    QCOMPARE(engine->tolSolutionCount(), 0);
}

void SynthesisDispatchTest::toleranceModeFollowsTheFourPositionRun() {
    loadTask(4);
    quietlyCheckSmartSynthesis();
    MechanismSynthesis *engine = window->synthesisEngine();
    QSignalSpy done(engine, QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    QSignalSpy swept(engine, &MechanismSynthesis::tolSynthesisDone);
    engine->updateLineParams(1.0, 1.0, 5.0, 1.5);  // re-runs synthesis through the window
    QVERIFY(done.count() >= 1);
    QCOMPARE(swept.count(), 1);
}

void SynthesisDispatchTest::cancellingTheProgressDialogStopsTheSweep() {
    loadTask(5);
    // Turning tolerance mode on asks for the tolerances: 15 degrees in 2 steps either side,
    // 5^5 grid points, far more than are left once the user cancels.
    part<QAction>(window.get(), "actionSmartSynthesis")->trigger();
    QDialog *toleranceDialog = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->windowTitle() == QLatin1String("Tolerance Spec") && w->isVisible())
            toleranceDialog = qobject_cast<QDialog *>(w);
    QVERIFY(toleranceDialog != nullptr);
    toleranceDialog->findChild<QDoubleSpinBox *>("OTol")->setValue(15.0);
    toleranceDialog->findChild<QSpinBox *>("TolRes")->setValue(2);

    MechanismSynthesis *engine = window->synthesisEngine();
    int reported = 0;
    bool dialogSeen = false;
    // The user presses Cancel at the first progress report.
    connect(engine, &MechanismSynthesis::tolSynthesisInProgress, this, [&](int) {
        if (reported++ > 0)
            return;
        auto *progress = window->findChild<QProgressDialog *>();
        dialogSeen = progress != nullptr && progress->maximum() == 3125;
        if (auto *button = progress ? progress->findChild<QPushButton *>() : nullptr)
            button->click();
    });
    QSignalSpy swept(engine, &MechanismSynthesis::tolSynthesisDone);
    toleranceDialog->accept();
    QCOMPARE(swept.count(), 1);
    QVERIFY(dialogSeen);
    QVERIFY(engine->wasTolSynthesisCancelled());
    QVERIFY(engine->tolSolutionCount() < 3125);
    QVERIFY(window->findChild<QProgressDialog *>() == nullptr);
}

void SynthesisDispatchTest::thresholdBoxShowsWhatTheEngineUses() {
    const int shown = part<QSpinBox>(window.get(), "Threshold")->value();
    QVERIFY(std::fabs(std::pow(10.0, shown) - window->synthesisEngine()->getThreshold()) < 1e-18);
    QCOMPARE(double(part<QSpinBox>(window.get(), "linkRatio")->value()),
             window->synthesisEngine()->getLinkRatio());
}

void SynthesisDispatchTest::changingTheThresholdReRunsSynthesisOnce() {
    loadTask(5);
    QSignalSpy done(window->synthesisEngine(),
                    QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    part<QSpinBox>(window.get(), "Threshold")->setValue(-3);
    QCOMPARE(done.count(), 1);
    QVERIFY(std::fabs(window->synthesisEngine()->getThreshold() - 1e-3) < 1e-15);
}

void SynthesisDispatchTest::linkRatioBoxReachesEngineAndPanelWithoutEcho() {
    loadTask(5);
    auto *ratio = part<QSpinBox>(window.get(), "linkRatio");
    auto *length = part<QDoubleSpinBox>(panel(), "linkRatio2");
    QSignalSpy done(window->synthesisEngine(),
                    QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    QSignalSpy ratioChanged(ratio, QOverload<int>::of(&QSpinBox::valueChanged));
    ratio->setValue(3);
    QCOMPARE(window->synthesisEngine()->getLinkRatio(), 3.0);
    QCOMPARE(length->value(), 3.0 * workspaceWidth);
    QCOMPARE(ratioChanged.count(), 1);  // the panel did not send the value back
    QCOMPARE(done.count(), 1);
}

// Fault: a length typed in the panel came back truncated and ran synthesis twice.
void SynthesisDispatchTest::linkLengthTypedInThePanelSettlesInOneStep() {
    workspaceWidth = 1.1;
    loadTask(5);
    auto *ratio = part<QSpinBox>(window.get(), "linkRatio");
    auto *length = part<QDoubleSpinBox>(panel(), "linkRatio2");
    QSignalSpy done(window->synthesisEngine(),
                    QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    length->setValue(3.0 * 1.1);  // 3 widths, not exactly representable
    QCOMPARE(ratio->value(), 3);
    QCOMPARE(window->synthesisEngine()->getLinkRatio(), 3.0);
    QCOMPARE(done.count(), 1);
}

MS_REGISTER_TEST(SynthesisDispatchTest)
#include "SynthesisDispatchTest.moc"
