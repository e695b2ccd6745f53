// Which synthesis a request runs: nothing below five positions unless the four- or three-position
// input is there, the n-position fit from five on; the tolerance sweep in its place; and the
// "Synthesis Tools" boxes that re-run it.
#include "WindowTestSupport.h"

#include <QProgressDialog>

Q_DECLARE_METATYPE(Vendrel::SynthesisVariant)

class SynthesisDispatchTest : public WindowTest {
    Q_OBJECT
public:
    SynthesisDispatchTest() : WindowTest(false) {}

private:
    void loadTask(int n) {
        QVERIFY(rig->load(crankRockerTask(n)));
        QCOMPARE(window->task()->size(), n);
    }
    // Whether one of the branch's dyads has its fixed pivot at (x, y).
    bool branchHasFixedPivot(double x, double y) const {
        for (const Dyad *d : window->dyadBranch()->getDyadListCpy())
            if (std::hypot(d->fixedPivotCopy()[0] - x, d->fixedPivotCopy()[1] - y) < 1e-6)
                return true;
        return false;
    }
    // Turns tolerance mode on without its dialog (the dialog's own tests show it).
    void quietlyCheckSmartSynthesis() {
        const QSignalBlocker quiet(rig->act("actionSmartSynthesis"));
        rig->act("actionSmartSynthesis")->setChecked(true);
    }

    // A ratio of 1 allows links of ten task sizes: ten times the RMS distance of the task's
    // points from their centre, worked out here from the engine's rows.
    double tenTaskSizes() const {
        const arma::mat &rows = window->synthesisEngine()->getData();
        const double cx = arma::mean(rows.col(0)), cy = arma::mean(rows.col(1));
        const double sum = arma::accu(arma::square(rows.col(0) - cx) + arma::square(rows.col(1) - cy));
        return 10.0 * std::sqrt(sum / rows.n_rows);
    }

private slots:
    void cleanup() {
        rig.reset();
        workspaceWidth = 20.0;
        workspaceHeight = 10.0;
    }

    void variantFollowsCountLineAndPoints_data() {
        using V = Vendrel::SynthesisVariant;
        QTest::addColumn<int>("n"); QTest::addColumn<bool>("line");
        QTest::addColumn<bool>("point1"); QTest::addColumn<bool>("point2");
        QTest::addColumn<V>("expected");
        QTest::newRow("no position") << 0 << false << false << false << V::None;
        QTest::newRow("two with everything") << 2 << true << true << true << V::None;
        QTest::newRow("three, one point only") << 3 << false << true << false << V::None;
        QTest::newRow("three with a line") << 3 << true << false << false << V::None;
        QTest::newRow("four, no line") << 4 << false << false << false << V::None;
        QTest::newRow("four with one point") << 4 << false << true << false << V::None;
        QTest::newRow("four with both points") << 4 << false << true << true << V::None;
        QTest::newRow("four with a line") << 4 << true << false << false << V::FourPosition;
        QTest::newRow("three with both points") << 3 << false << true << true << V::ThreePosition;
        QTest::newRow("three with points and line")
            << 3 << true << true << true << V::ThreePosition;
        QTest::newRow("five") << 5 << false << false << false << V::NPosition;
        QTest::newRow("five with a line") << 5 << true << false << false << V::NPosition;
        QTest::newRow("five with both points") << 5 << false << true << true << V::NPosition;
    }
    void variantFollowsCountLineAndPoints() {
        using V = Vendrel::SynthesisVariant;
        QFETCH(int, n); QFETCH(bool, line); QFETCH(bool, point1); QFETCH(bool, point2);
        QFETCH(V, expected);
        loadTask(n);
        MechanismSynthesis *engine = window->synthesisEngine();
        engine->lineDefined = line;
        engine->udp1Defined = point1;
        engine->udp2Defined = point2;
        QCOMPARE(window->chooseSynthesisVariant(), expected);
        if (expected != V::None && expected != V::NPosition)
            return;  // those runs need a real line or real points: their own tests below
        QSignalSpy done = runsOf(*window);
        QSignalSpy changed(window, &Vendrel::dataChanged);
        const int runs = expected == V::NPosition ? 1 : 0;
        window->toSynthesize();
        QCOMPARE(done.count(), runs);
        QCOMPARE(changed.count(), runs);
        // Without tolerance the fit runs again, without announcing new data.
        window->toSynthesizeWithoutTol();
        QCOMPARE(done.count(), 2 * runs);
        QCOMPARE(changed.count(), runs);
        // The fit saw every position, and the crank-rocker's own dyads are among those found.
        QCOMPARE(int(engine->getData().n_rows), n);
        QCOMPARE(window->dyadBranch()->synthesizedDyadCount() >= 2, runs == 1);
        if (runs == 1) {
            QCOMPARE(int(engine->lastFit().ok), 1);
            QVERIFY(branchHasFixedPivot(1.0, 1.0) && branchHasFixedPivot(5.0, 1.5));
        }
    }

    // The crank-rocker's ground pivots (1, 1) and (5, 1.5) lie on the line drawn: the four-position
    // fit must find RR dyads about them.
    void drawingALineWithFourPositionsRunsTheFourPositionFit() {
        loadTask(4);
        QSignalSpy done = runsOf(*window);
        emit rig->view()->lineConstraintAdded(1.0, 1.0, 5.0, 1.5);
        QCOMPARE(window->chooseSynthesisVariant(), Vendrel::SynthesisVariant::FourPosition);
        QCOMPARE(done.count(), 1);
        QVERIFY(branchHasFixedPivot(1.0, 1.0));
        QVERIFY(branchHasFixedPivot(5.0, 1.5));
    }

    void twoChosenPivotsWithThreePositionsRunTheThreePositionFit() {
        loadTask(3);
        emit rig->view()->udpinput(1.0, 1.0);
        emit rig->view()->udpinput(5.0, 1.5);
        QSignalSpy done = runsOf(*window);
        rig->act("actionSynthesize")->trigger();
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

    void toleranceModeSweepsInPlaceOfThePlainFit() {
        loadTask(5);
        quietlyCheckSmartSynthesis();
        MechanismSynthesis *engine = window->synthesisEngine();
        QSignalSpy started(engine, &MechanismSynthesis::tolSynthesisStarted);
        QSignalSpy swept(engine, &MechanismSynthesis::tolSynthesisDone);
        QSignalSpy changed(window, &Vendrel::dataChanged);
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
        // A line drawn with four positions re-runs synthesis, and the sweep follows it.
        loadTask(4);
        QSignalSpy done = runsOf(*window);
        engine->updateLineParams(1.0, 1.0, 5.0, 1.5);
        QVERIFY(done.count() >= 1);
        QCOMPARE(swept.count(), 2);
    }

    void cancellingTheProgressDialogStopsTheSweep() {
        loadTask(5);
        // Turning tolerance mode on asks for the tolerances: 15 degrees in 2 steps either side, 5^5
        // grid points, far more than are left once the user cancels.
        rig->act("actionSmartSynthesis")->trigger();
        QDialog *toleranceDialog = WindowRig::shownDialog("Tolerance Spec");
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
        // Every record run before Cancel was judged: a pair of two or more dyads is named.
        for (int r = 0; r < engine->tolSolutionCount(); ++r)
            QCOMPARE(engine->tolSolutionAt(r)->best.hasPair(), engine->tolSolutionAt(r)->dyadCount() >= 2);
        QVERIFY(window->findChild<QProgressDialog *>() == nullptr);
    }

    // Regression: the threshold box once showed -2 while the engine used 1e-5. Each box re-runs
    // synthesis once, and the ratio reaches the panel without coming back.
    void thresholdAndRatioBoxesReachTheEngineAndReRunOnce() {
        auto *threshold = rig->child<QSpinBox>("Threshold");
        auto *ratio = rig->child<QSpinBox>("linkRatio");
        QCOMPARE(std::pow(10.0, threshold->value()), window->synthesisEngine()->getThreshold());
        QCOMPARE(double(ratio->value()), window->synthesisEngine()->getLinkRatio());
        loadTask(5);
        QSignalSpy done = runsOf(*window);
        threshold->setValue(-3);
        QCOMPARE(done.count(), 1);
        QVERIFY(std::fabs(window->synthesisEngine()->getThreshold() - 1e-3) < 1e-15);
        QSignalSpy ratioChanged(ratio, QOverload<int>::of(&QSpinBox::valueChanged));
        ratio->setValue(3);
        QCOMPARE(window->synthesisEngine()->getLinkRatio(), 3.0);
        QVERIFY(std::fabs(part<QDoubleSpinBox>(window->synthesisPanel(), "linkRatio2")->value()
                          - 3.0 * tenTaskSizes()) < 1e-3);
        QCOMPARE(ratioChanged.count(), 1);  // the panel did not send the value back
        QCOMPARE(done.count(), 2);
    }

    // Fault: a length typed in the panel came back truncated and ran synthesis twice.
    void linkLengthTypedInThePanelSettlesInOneStep() {
        loadTask(5);
        QSignalSpy done = runsOf(*window);
        part<QDoubleSpinBox>(window->synthesisPanel(), "linkRatio2")->setValue(3.0 * tenTaskSizes());
        QCOMPARE(rig->child<QSpinBox>("linkRatio")->value(), 3);
        QCOMPARE(window->synthesisEngine()->getLinkRatio(), 3.0);
        QCOMPARE(done.count(), 1);
    }
};

MS_REGISTER_TEST(SynthesisDispatchTest)
#include "SynthesisDispatchTest.moc"
