// The two settings dialogs: on their own (titles, sizes, controls with their ranges and start
// values, the values they hand back), and shown by the main window, whose engine, sweep and
// dimension labels take their values once they close.
#include "AppTestHelpers.h"
#include "Branch.h"
#include "CouplerLink.h"
#include "Dialog.h"
#include "LinearDimension.h"
#include "Mechanism.h"
#include "MechanismSynthesis.h"
#include "ProcessValues.h"
#include "RR.h"
#include "TestSupport.h"
#include "Tolerances.h"
#include "WindowTestSupport.h"
#include "WorkspaceDialog.h"

#include <QAction>
#include <QApplication>
#include <cmath>
#include <memory>
#include <vector>

#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void workspaceDialogIsTitledSettings();
    void workspaceDialogStartsWithTheDefaultWorkspace();
    void workspaceUnitFollowsTheRadioButtons_data();
    void workspaceUnitFollowsTheRadioButtons();
    void workspaceDialogReturnsTheTypedValues();
    void zeroWorkspaceSizesAreClampedAndTheDialogSaysSo_data();
    void zeroWorkspaceSizesAreClampedAndTheDialogSaysSo();
    void workspaceOkAcceptsTheDialog();

    void toleranceDialogIsTitledToleranceSpec();
    void toleranceDialogStartsWithItsDefaults();
    void toleranceResolutionCannotBeZero();
    void toleranceValuesCountOnlyOnceStored();
    void toleranceOkAcceptsTheDialog();

    // The dialogs as the main window shows and applies them.
    void workspaceOkSendsItsValuesToTheEngineAndTheLabels();
    void closingTheWorkspaceDialogAppliesItToo();
    void toleranceOkSetsTheSweepTheEngineRuns();

    void cleanup();

private:
    QDialog *shownDialog(const char *title) const;
    std::unique_ptr<wintest::WindowRig> rig;
};

void DialogsTest::workspaceDialogIsTitledSettings() {
    WorkspaceDialog dialog;
    QCOMPARE(dialog.windowTitle(), QString("Settings"));
    QCOMPARE(dialog.size(), QSize(281, 295));
    QVERIFY(dialog.parent() == nullptr);
    QVERIFY(dialog.isModal());
}

void DialogsTest::workspaceDialogStartsWithTheDefaultWorkspace() {
    WorkspaceDialog dialog;
    QCOMPARE(part<QLabel>(&dialog, "label")->text(), QString("Choose workspace dimensions:"));
    QCOMPARE(part<QLabel>(&dialog, "label_4")->text(), QString("Unit of measurement"));
    QVERIFY(part<QRadioButton>(&dialog, "Meters")->isChecked());
    QVERIFY(!part<QRadioButton>(&dialog, "Inches")->isChecked());
    QCOMPARE(dialog.unit(), 'm');
    QCOMPARE(dialog.workspaceHeight(), 10.0);
    QCOMPARE(dialog.workspaceWidth(), 20.0);
    QCOMPARE(dialog.significantDigits(), 4.0);
    QCOMPARE(dialog.maxLinkRatio(), 2.0);
    auto *digits = part<QSpinBox>(&dialog, "PrecisionVal");
    QCOMPARE(digits->minimum(), 1);
    QCOMPARE(digits->maximum(), 10);
    QCOMPARE(part<QDoubleSpinBox>(&dialog, "Height")->maximum(), 1000.0);
    QCOMPARE(part<QDoubleSpinBox>(&dialog, "Width")->maximum(), 1000.0);
    QCOMPARE(part<QDoubleSpinBox>(&dialog, "linkRatio3")->maximum(), 999.0);
    QCOMPARE(part<QPushButton>(&dialog, "pushButton")->text(), QString("OK"));
}

void DialogsTest::workspaceUnitFollowsTheRadioButtons_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("letter");
    QTest::newRow("inches") << "Inches" << 105;
    QTest::newRow("meters after inches") << "Meters" << 109;
}

void DialogsTest::workspaceUnitFollowsTheRadioButtons() {
    QFETCH(QString, button);
    QFETCH(int, letter);
    WorkspaceDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // Click on the indicator, at the left end: a radio button reacts to its indicator and text.
    const auto clickRadio = [&dialog](const char *name) {
        auto *radio = part<QRadioButton>(&dialog, name);
        QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
    };
    clickRadio("Inches");
    clickRadio(button.toLatin1().constData());
    QCOMPARE(int(dialog.unit()), letter);
    // One of the two is always chosen.
    QVERIFY(part<QRadioButton>(&dialog, "Meters")->isChecked() !=
            part<QRadioButton>(&dialog, "Inches")->isChecked());
}

void DialogsTest::workspaceDialogReturnsTheTypedValues() {
    WorkspaceDialog dialog;
    part<QDoubleSpinBox>(&dialog, "Height")->setValue(12.5);
    part<QDoubleSpinBox>(&dialog, "Width")->setValue(33.25);
    part<QSpinBox>(&dialog, "PrecisionVal")->setValue(7);
    part<QDoubleSpinBox>(&dialog, "linkRatio3")->setValue(2.9);
    QCOMPARE(dialog.workspaceHeight(), 12.5);
    QCOMPARE(dialog.workspaceWidth(), 33.25);
    QCOMPARE(dialog.significantDigits(), 7.0);
    QCOMPARE(dialog.maxLinkRatio(), 2.9);
}

void DialogsTest::zeroWorkspaceSizesAreClampedAndTheDialogSaysSo_data() {
    QTest::addColumn<QString>("box");
    QTest::newRow("height") << "Height";
    QTest::newRow("width") << "Width";
}

// Regression: a size of 0 reached the view's projection and the engine's box test as a divisor.
void DialogsTest::zeroWorkspaceSizesAreClampedAndTheDialogSaysSo() {
    QFETCH(QString, box);
    WorkspaceDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *spin = part<QDoubleSpinBox>(&dialog, box.toLatin1().constData());
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, "0");
    // Leaving the box with Tab makes it correct the text (Enter would press "OK").
    QTest::keyClick(spin, Qt::Key_Tab);
    QVERIFY(dialog.isVisible());
    QCOMPARE(spin->value(), tol::minWorkspaceSize);
    const double value = box == "Height" ? dialog.workspaceHeight() : dialog.workspaceWidth();
    QVERIFY2(value > 0.0, qPrintable(QString::number(value)));
    QCOMPARE(value, tol::minWorkspaceSize);
    const QString note = part<QLabel>(&dialog, "sizeNote")->text();
    QVERIFY2(note.contains("0.01"), qPrintable(note));
    QVERIFY(part<QLabel>(&dialog, "sizeNote")->isVisible());
}

void DialogsTest::workspaceOkAcceptsTheDialog() {
    WorkspaceDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    QTest::mouseClick(part<QPushButton>(&dialog, "pushButton"), Qt::LeftButton);
    QCOMPARE(accepted.count(), 1);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
}

void DialogsTest::toleranceDialogIsTitledToleranceSpec() {
    Dialog dialog;
    QCOMPARE(dialog.windowTitle(), QString("Tolerance Spec"));
    QCOMPARE(dialog.size(), QSize(263, 209));
    QVERIFY(dialog.isModal());
}

void DialogsTest::toleranceDialogStartsWithItsDefaults() {
    Dialog dialog;
    QCOMPARE(part<QSpinBox>(&dialog, "TolRes")->value(), 1);
    QCOMPARE(part<QDoubleSpinBox>(&dialog, "PosTol")->value(), 0.0);
    QCOMPARE(part<QDoubleSpinBox>(&dialog, "OTol")->value(), 15.0);
    QCOMPARE(part<QDoubleSpinBox>(&dialog, "OTol")->decimals(), 2);
    // Nothing is stored before the first store.
    QCOMPARE(dialog.getAngularTolerance(), 0.0);
    QCOMPARE(dialog.getToleranceResolution(), 0.0);
    QCOMPARE(dialog.getPositionTolerance(), 0.0);
}

// Regression: a resolution of 0 gave the sweep an infinite step.
void DialogsTest::toleranceResolutionCannotBeZero() {
    Dialog dialog;
    auto *res = part<QSpinBox>(&dialog, "TolRes");
    QCOMPARE(res->minimum(), 1);
    res->setValue(0);
    QCOMPARE(res->value(), 1);
    dialog.storeToleranceResolution();
    QCOMPARE(dialog.getToleranceResolution(), 1.0);
}

void DialogsTest::toleranceValuesCountOnlyOnceStored() {
    Dialog dialog;
    part<QSpinBox>(&dialog, "TolRes")->setValue(3);
    part<QDoubleSpinBox>(&dialog, "PosTol")->setValue(0.25);
    part<QDoubleSpinBox>(&dialog, "OTol")->setValue(7.5);
    QCOMPARE(dialog.getAngularTolerance(), 0.0);
    dialog.storeAngularTolerance();
    QCOMPARE(dialog.getAngularTolerance(), 7.5);
    QCOMPARE(dialog.getToleranceResolution(), 0.0);
    dialog.storeToleranceResolution();
    dialog.storePositionTolerance();
    QCOMPARE(dialog.getToleranceResolution(), 3.0);
    QCOMPARE(dialog.getPositionTolerance(), 0.25);
}

void DialogsTest::toleranceOkAcceptsTheDialog() {
    Dialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    QTest::mouseClick(part<QPushButton>(&dialog, "pushButton"), Qt::LeftButton);
    QCOMPARE(accepted.count(), 1);
    QVERIFY(!dialog.isVisible());
}

// The process-wide values a window test changes go back to their start values.
void DialogsTest::cleanup() {
    rig.reset();
    workspaceWidth = 20.0;
    workspaceHeight = 10.0;
    unitLetter = 'm';
    significantDigits = 4;
}

// The main window's dialogs have no parent: found among the shown top-level windows.
QDialog *DialogsTest::shownDialog(const char *title) const {
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->windowTitle() == QLatin1String(title) && w->isVisible())
            return qobject_cast<QDialog *>(w);
    return nullptr;
}

void DialogsTest::workspaceOkSendsItsValuesToTheEngineAndTheLabels() {
    MS_REQUIRE_GL();
    rig = std::make_unique<wintest::WindowRig>();
    QVERIFY(rig->load(taskfix::crankRockerTask(5)));
    MechanismSynthesis *engine = rig->main().synthesisEngine();
    QSignalSpy done(engine, QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    rig->child<QAction>("actionSettings")->trigger();
    QDialog *dialog = shownDialog("Settings");
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

// The window's close button applies the values as "OK" does.
void DialogsTest::closingTheWorkspaceDialogAppliesItToo() {
    MS_REQUIRE_GL();
    rig = std::make_unique<wintest::WindowRig>();
    rig->child<QAction>("actionWorkSpace")->trigger();
    QDialog *dialog = shownDialog("Settings");
    QVERIFY(dialog != nullptr);
    part<QDoubleSpinBox>(dialog, "Width")->setValue(16.0);
    part<QSpinBox>(dialog, "PrecisionVal")->setValue(2);
    dialog->reject();
    QCOMPARE(workspaceWidth, 16.0);
    QCOMPARE(significantDigits, 2);
}

void DialogsTest::toleranceOkSetsTheSweepTheEngineRuns() {
    MS_REQUIRE_GL();
    rig = std::make_unique<wintest::WindowRig>();
    const std::vector<taskfix::Pose> poses = taskfix::crankRockerTask(5);
    QVERIFY(rig->load(poses));
    rig->child<QAction>("actionSmartSynthesis")->trigger();
    QDialog *dialog = shownDialog("Tolerance Spec");
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
            widest = std::max(widest,
                              std::fabs(record.positions[i].z() - poses[i].thetaDeg));
    QVERIFY2(std::fabs(widest - 4.0) < 1e-9, qPrintable(QString::number(widest)));
}

MS_REGISTER_TEST(DialogsTest)
#include "DialogsTest.moc"
