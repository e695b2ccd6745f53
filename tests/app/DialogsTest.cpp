// The two settings dialogs: the unit and size boxes on their own, and both dialogs shown by the
// main window, whose engine, sweep and dimension labels take their values once they close.
#include "CouplerLink.h"
#include "Dialog.h"
#include "LinearDimension.h"
#include "RR.h"
#include "Tolerances.h"
#include "WindowTestSupport.h"
#include "WorkspaceDialog.h"


class DialogsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowRig> rig;

private slots:
    // The process-wide values a window test changes go back to their start values.
    void cleanup() {
        rig.reset();
        workspaceWidth = 20.0;
        workspaceHeight = 10.0;
        unitLetter = 'm';
        significantDigits = 4;
    }

    void workspaceUnitFollowsTheRadioButtons_data() {
        QTest::addColumn<QString>("button"); QTest::addColumn<char>("letter");
        QTest::newRow("inches") << "Inches" << 'i';
        QTest::newRow("meters after inches") << "Meters" << 'm';
    }
    void workspaceUnitFollowsTheRadioButtons() {
        QFETCH(QString, button); QFETCH(char, letter);
        WorkspaceDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.unit(), 'm');
        // Click on the indicator, at the left end: a radio button reacts to its indicator.
        for (const QString &name : {QString("Inches"), button}) {
            auto *radio = part<QRadioButton>(&dialog, qPrintable(name));
            QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
        }
        QCOMPARE(dialog.unit(), letter);
    }

    void zeroWorkspaceSizesAreClampedAndTheDialogSaysSo_data() {
        QTest::addColumn<QString>("box");
        QTest::newRow("height") << "Height";
        QTest::newRow("width") << "Width";
    }
    // Regression: a size of 0 reached the view's projection and the engine's box test as a divisor.
    void zeroWorkspaceSizesAreClampedAndTheDialogSaysSo() {
        QFETCH(QString, box);
        WorkspaceDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *spin = part<QDoubleSpinBox>(&dialog, qPrintable(box));
        spin->setFocus();
        spin->selectAll();
        QTest::keyClicks(spin, "0");
        // Leaving the box with Tab makes it correct the text (Enter would press "OK").
        QTest::keyClick(spin, Qt::Key_Tab);
        QVERIFY(dialog.isVisible());
        const double value = box == "Height" ? dialog.workspaceHeight() : dialog.workspaceWidth();
        QCOMPARE(value, tol::minWorkspaceSize);
        QVERIFY(part<QLabel>(&dialog, "sizeNote")->isVisible());
        QVERIFY(part<QLabel>(&dialog, "sizeNote")->text().contains("0.01"));
    }

    // Regression: a resolution of 0 gave the sweep an infinite step.
    void toleranceResolutionCannotBeZero() {
        Dialog dialog;
        part<QSpinBox>(&dialog, "TolRes")->setValue(0);
        dialog.storeToleranceResolution();
        QCOMPARE(dialog.getToleranceResolution(), 1.0);
    }

    void workspaceOkSendsItsValuesToTheEngineAndTheLabels() {
        MS_REQUIRE_GL();
        rig = std::make_unique<WindowRig>();
        QVERIFY(rig->load(crankRockerTask(5)));
        MechanismSynthesis *engine = rig->main().synthesisEngine();
        QSignalSpy done = runsOf(rig->main());
        rig->act("actionSettings")->trigger();
        QDialog *dialog = WindowRig::shownDialog("Settings");
        QVERIFY(dialog != nullptr);
        part<QDoubleSpinBox>(dialog, "Height")->setValue(12.0);
        part<QDoubleSpinBox>(dialog, "Width")->setValue(30.0);
        part<QRadioButton>(dialog, "Inches")->setChecked(true);
        part<QSpinBox>(dialog, "PrecisionVal")->setValue(6);
        part<QDoubleSpinBox>(dialog, "linkRatio3")->setValue(3.9);
        QTest::mouseClick(part<QPushButton>(dialog, "pushButton"), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        // The new workspace frames the drawing; the engine's type decision takes the truncated ratio.
        QCOMPARE(workspaceWidth, 30.0);
        QCOMPARE(workspaceHeight, 12.0);
        QCOMPARE(engine->decisionSettings().linkRatio, 3.0);
        QCOMPARE(rig->child<QSpinBox>("linkRatio")->value(), 3);
        // A new ratio re-runs synthesis through the engine's change signal, and once directly.
        QCOMPARE(done.count(), 2);
        // The view's labels, as the dyads and the mechanism draw them: six digits and inches, the
        // lengths measured here between the pivots and written by Qt's own %g.
        QCOMPARE(unitLetter, 'i');
        QCOMPARE(significantDigits, 6);
        const auto expected = [](double length) { return QString::number(length, 'g', 6) + "in"; };
        const Branch &b = *rig->main().dyadBranch();
        const auto *rr = dynamic_cast<const RR *>(b.dyadAt(0));
        QVERIFY(rr);
        const Point f = rr->fixedPivotCopy(), m = rr->movingPivotCopy();
        QCOMPARE(QString::fromStdString(rr->lengthDimension().valueText()),
                 expected(std::hypot(m.x() - f.x(), m.y() - f.y())));
        QVERIFY(b.hasMechanism());
        const std::vector<LinearDimension> sides = b.getMechanism()->couplerDimensions();
        QVERIFY(!sides.empty());
        const CouplerLink &coupler = b.getMechanism()->getCoupler();
        QCOMPARE(QString::fromStdString(sides.front().valueText()),
                 expected(std::hypot(coupler.end().x - coupler.start().x,
                                     coupler.end().y - coupler.start().y)));
    }

    // The window's close button applies the values as "OK" does; the boxes nobody touched hand the
    // start workspace back unchanged.
    void closingTheWorkspaceDialogAppliesItToo() {
        MS_REQUIRE_GL();
        rig = std::make_unique<WindowRig>();
        rig->act("actionWorkSpace")->trigger();
        QDialog *dialog = WindowRig::shownDialog("Settings");
        QVERIFY(dialog != nullptr);
        part<QDoubleSpinBox>(dialog, "Width")->setValue(16.0);
        part<QSpinBox>(dialog, "PrecisionVal")->setValue(2);
        dialog->reject();
        QCOMPARE(workspaceWidth, 16.0);
        QCOMPARE(workspaceHeight, 10.0);
        QCOMPARE(unitLetter, 'm');
        QCOMPARE(significantDigits, 2);
        QCOMPARE(rig->main().synthesisEngine()->decisionSettings().linkRatio, 2.0);
    }

    void toleranceOkSetsTheSweepTheEngineRuns() {
        MS_REQUIRE_GL();
        rig = std::make_unique<WindowRig>();
        const std::vector<Pose> poses = crankRockerTask(5);
        QVERIFY(rig->load(poses));
        rig->act("actionSmartSynthesis")->trigger();
        QDialog *dialog = WindowRig::shownDialog("Tolerance Spec");
        QVERIFY(dialog != nullptr);
        part<QDoubleSpinBox>(dialog, "OTol")->setValue(4.0);
        part<QSpinBox>(dialog, "TolRes")->setValue(2);
        MechanismSynthesis *engine = rig->main().synthesisEngine();
        QSignalSpy swept(engine, &MechanismSynthesis::tolSynthesisDone);
        QTest::mouseClick(part<QPushButton>(dialog, "pushButton"), Qt::LeftButton);
        QCOMPARE(swept.count(), 1);
        // Two steps of 2 degrees either side of each of five orientations: 5^5 grid points, and
        // every record's orientations stay within 4 degrees of the task's.
        QCOMPARE(engine->tolSolutionCount(), 3125);
        double widest = 0.0;
        for (const ToleranceSolution &record : engine->getTolSolutions())
            for (size_t i = 0; i < poses.size(); ++i)
                widest = std::max(widest, std::fabs(record.positions[i].z() - poses[i].thetaDeg));
        QVERIFY2(std::fabs(widest - 4.0) < 1e-9, qPrintable(QString::number(widest)));
    }
};

MS_REGISTER_TEST(DialogsTest)
#include "DialogsTest.moc"
