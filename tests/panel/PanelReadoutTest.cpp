// The panel's readouts, its start state, its modes, the position slots and the counter slider.
#include "Branch.h"
#include "MechanismSynthesis.h"
#include "PanelFixtures.h"
#include "ProcessValues.h"
#include "Synthesis_Widget.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>
#include "TestSupport.h"

using panelfix::child;

namespace {
QString text(const Synthesis_Widget &p, const char *label) { return child<QLabel>(p, label)->text(); }

void fillEngine(MechanismSynthesis &engine, const std::vector<std::array<double, 3>> &rows) {
    engine.setData(static_cast<int>(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i)
        for (int j = 0; j < 3; ++j)
            engine.setDataValue(static_cast<int>(i), j, rows[i][static_cast<size_t>(j)]);
}
} // namespace

class PanelReadoutTest : public QObject {
    Q_OBJECT
private slots:
    void startStateOfTheStrip();
    void readoutShowsSignAndMagnitude_data();
    void readoutShowsSignAndMagnitude();
    void movingFrameAngleIsShownWithoutConversion();
    void modesShowTheirFrames();
    void editorsShowAndHide();
    void currentPositionAngleLosesWholeTurns_data();
    void currentPositionAngleLosesWholeTurns();
    void positionOutsideTheTaskIsIgnored();
    void emptyTaskClearsThePositionFields();
    void editedPositionIsSentWithItsIndex();
    void pointEditorDataIsSentWithItsIndex();
    void sliderDrivesTheCounterAndFollowsItWithoutFeedback();
};

void PanelReadoutTest::startStateOfTheStrip() {
    Synthesis_Widget panel;
    for (const char *v : {"label_PosX", "label_PosY", "label_ThetaValue", "label_MFXValue",
                          "label_MFYValue", "label_MFThetaValue"})
        QCOMPARE(text(panel, v), QStringLiteral("0.000"));
    for (const char *s : {"label_PosXSign", "label_PosYSign", "label_ThetaSign", "label_MFXSign",
                          "label_MFYSign", "label_MFThetaSign"})
        QCOMPARE(text(panel, s), QStringLiteral("+"));
    QCOMPARE(text(panel, "label_Type_Of_Mechanism"), QStringLiteral("Type of Mechanism:"));
    QCOMPARE(text(panel, "label_Position"), QStringLiteral("Position:"));
    QCOMPARE(text(panel, "label_MovingFrame"), QStringLiteral("Moving Frame:"));
    QCOMPARE(text(panel, "label_MaxLinkLength"), QStringLiteral("Maximum Link Length"));
    QSlider *slider = child<QSlider>(panel, "sliderMotion");
    QCOMPARE(slider->minimum(), 0);
    QCOMPARE(slider->maximum(), 360);
    QVERIFY(slider->hasTracking());
    QCOMPARE(slider->orientation(), Qt::Horizontal);
    for (const char *hidden : {"frame_synthesis", "frame_analysis", "frame_3", "editLinkDim",
                               "editPointDim"})
        QVERIFY2(!child<QWidget>(panel, hidden)->isVisibleTo(&panel), hidden);
    QTabWidget *tabs = child<QTabWidget>(panel, "tabWidget_Details");
    QCOMPARE(tabs->count(), 4);
    const QStringList titles = {"Positions", "Moving Frame", "Dyads", "Mechanism"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(tabs->tabText(i), titles[i]);
    QVERIFY(!tabs->isTabVisible(3));
    const QStringList boxes = {"D1", "DD1", "D2", "DD2", "D3", "DD3", "D4", "DD4"};
    for (const QString &b : boxes) {
        QCheckBox *box = panel.findChild<QCheckBox *>("checkBox_" + b);
        QCOMPARE(box->text(), b);
        QVERIFY(!box->isEnabled());
    }
}

void PanelReadoutTest::readoutShowsSignAndMagnitude_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("sign");
    QTest::addColumn<QString>("shown");
    QTest::newRow("-0.5") << -0.5 << "-" << "0.500";
    QTest::newRow("zero") << 0.0 << "+" << "0.000";
    QTest::newRow("9.9994, three decimals") << 9.9994 << "+" << "9.999";
    QTest::newRow("10, two decimals") << 10.0 << "+" << "10.00";
    QTest::newRow("12.345") << 12.345 << "+" << "12.35";
    QTest::newRow("-99.5") << -99.5 << "-" << "99.50";
    QTest::newRow("100, one decimal") << 100.0 << "+" << "100.0";
    QTest::newRow("-250.26") << -250.26 << "-" << "250.3";
}

void PanelReadoutTest::readoutShowsSignAndMagnitude() {
    QFETCH(double, value);
    QFETCH(QString, sign);
    QFETCH(QString, shown);
    Synthesis_Widget panel;
    panel.displaymouselocation(value, -value);
    panel.displaytheta(value);
    QCOMPARE(text(panel, "label_PosXSign"), sign);
    QCOMPARE(text(panel, "label_PosX"), shown);
    QCOMPARE(text(panel, "label_PosY"), shown);
    QCOMPARE(text(panel, "label_ThetaSign"), sign);
    QCOMPARE(text(panel, "label_ThetaValue"), shown);
    if (value != 0.0)
        QVERIFY(text(panel, "label_PosYSign") != sign);
    panel.displayMFlocation(value, value, value);
    for (const char *s : {"label_MFXSign", "label_MFYSign", "label_MFThetaSign"})
        QCOMPARE(text(panel, s), sign);
    for (const char *v : {"label_MFXValue", "label_MFYValue", "label_MFThetaValue"})
        QCOMPARE(text(panel, v), shown);
}

void PanelReadoutTest::movingFrameAngleIsShownWithoutConversion() {
    Synthesis_Widget panel;
    Branch branch;
    QObject::connect(&branch, &Branch::displayMFlocation, &panel,
                     &Synthesis_Widget::displayMFlocation);
    emit branch.displayMFlocation(1.25, -3.5, 1.5708);  // shown as given, not as 90 degrees
    QCOMPARE(text(panel, "label_MFXValue"), QStringLiteral("1.250"));
    QCOMPARE(text(panel, "label_MFYSign"), QStringLiteral("-"));
    QCOMPARE(text(panel, "label_MFYValue"), QStringLiteral("3.500"));
    QCOMPARE(text(panel, "label_MFThetaValue"), QStringLiteral("1.571"));
}

void PanelReadoutTest::modesShowTheirFrames() {
    Synthesis_Widget panel;
    panel.setModeAnalysis();
    QVERIFY(!child<QFrame>(panel, "frame_synthesis")->isVisibleTo(&panel));
    QVERIFY(child<QFrame>(panel, "frame_analysis")->isVisibleTo(&panel));
    panel.setModeSynthesis();
    QVERIFY(child<QFrame>(panel, "frame_synthesis")->isVisibleTo(&panel));
    panel.updateWidget(0, 0);
    QVERIFY(child<QFrame>(panel, "frame_synthesis")->isVisibleTo(&panel));
    QVERIFY(!child<QFrame>(panel, "frame_analysis")->isVisibleTo(&panel));
}

void PanelReadoutTest::editorsShowAndHide() {
    Synthesis_Widget panel;
    panel.LinkDimEditVisibility(true);
    panel.PositionDimEditVisibility(true);
    QVERIFY(child<QFrame>(panel, "editLinkDim")->isVisibleTo(&panel));
    QVERIFY(child<QFrame>(panel, "editPointDim")->isVisibleTo(&panel));
    panel.LinkDimEditVisibility(false);
    panel.PositionDimEditVisibility(false);
    QVERIFY(!child<QFrame>(panel, "editLinkDim")->isVisibleTo(&panel));
    QVERIFY(!child<QFrame>(panel, "editPointDim")->isVisibleTo(&panel));
}

void PanelReadoutTest::currentPositionAngleLosesWholeTurns_data() {
    QTest::addColumn<double>("stored");
    QTest::addColumn<double>("shown");
    QTest::newRow("725") << 725.0 << 5.0;
    QTest::newRow("-370") << -370.0 << -10.0;
    QTest::newRow("400") << 400.0 << 40.0;
    QTest::newRow("-45") << -45.0 << -45.0;
    QTest::newRow("360") << 360.0 << 0.0;
}

void PanelReadoutTest::currentPositionAngleLosesWholeTurns() {
    QFETCH(double, stored);
    QFETCH(double, shown);
    MechanismSynthesis engine;
    fillEngine(engine, {{1.0, 2.0, 0.0}, {3.5, -4.25, stored}});
    Synthesis_Widget panel;
    panel.setSynthesis(&engine);
    panel.displayCurrentPosition(1);
    QCOMPARE(child<QDoubleSpinBox>(panel, "XspinBox")->value(), 3.5);
    QCOMPARE(child<QDoubleSpinBox>(panel, "YspinBox")->value(), -4.25);
    QCOMPARE(child<QDoubleSpinBox>(panel, "angleSpinBox")->value(), shown);
}

void PanelReadoutTest::positionOutsideTheTaskIsIgnored() {
    MechanismSynthesis engine;
    fillEngine(engine, {{1.0, 2.0, 30.0}});
    Synthesis_Widget panel;
    panel.setSynthesis(&engine);
    panel.displayCurrentPosition(0);
    panel.displayCurrentPosition(1);
    panel.displayCurrentPosition(-1);
    QCOMPARE(child<QDoubleSpinBox>(panel, "XspinBox")->value(), 1.0);
    QCOMPARE(child<QDoubleSpinBox>(panel, "angleSpinBox")->value(), 30.0);
    Synthesis_Widget withoutEngine;
    withoutEngine.displayCurrentPosition(0);
    QCOMPARE(child<QDoubleSpinBox>(withoutEngine, "XspinBox")->value(), 0.0);
}

void PanelReadoutTest::emptyTaskClearsThePositionFields() {
    MechanismSynthesis engine;
    fillEngine(engine, {{1.0, 2.0, 30.0}});
    Synthesis_Widget panel;
    panel.setSynthesis(&engine);
    const char *fields[] = {"X_AP_Disp", "Y_AP_Disp", "Phi_AP_Disp",
                            "X_RP_Disp", "Y_RP_Disp", "Phi_RP_Disp"};
    for (const char *f : fields)
        child<QLineEdit>(panel, f)->setText(QStringLiteral("7"));
    panel.updatetabPositions();  // a task: nothing changes
    QCOMPARE(child<QLineEdit>(panel, "X_AP_Disp")->text(), QStringLiteral("7"));
    QCOMPARE(child<QSpinBox>(panel, "spinBox_PosNo_AP")->maximum(), 99);
    engine.setData(0);
    panel.updatetabPositions();
    for (const char *f : fields)
        QVERIFY2(child<QLineEdit>(panel, f)->text().isEmpty(), f);
    QCOMPARE(child<QSpinBox>(panel, "spinBox_PosNo_AP")->minimum(), 0);
    QCOMPARE(child<QSpinBox>(panel, "spinBox_PosNo_AP")->maximum(), 0);
}

void PanelReadoutTest::editedPositionIsSentWithItsIndex() {
    Synthesis_Widget panel;
    child<QLineEdit>(panel, "X_AP_Disp")->setText(QStringLiteral("2.5"));
    child<QLineEdit>(panel, "Y_AP_Disp")->setText(QStringLiteral("7.125"));
    child<QLineEdit>(panel, "Phi_AP_Disp")->setText(QStringLiteral("-30.5"));
    child<QSpinBox>(panel, "spinBox_PosNo_AP")->setValue(3);
    QSignalSpy sent(&panel, &Synthesis_Widget::positionupdate);
    panel.editPositions();
    QCOMPARE(sent.count(), 1);
    const QList<QVariant> args = sent.first();
    QCOMPARE(args.at(0).toDouble(), 2.5);
    QCOMPARE(args.at(1).toDouble(), 7.125);
    QCOMPARE(args.at(2).toDouble(), -30.5);
    QCOMPARE(args.at(3).toInt(), 0);
    QCOMPARE(args.at(4).toInt(), 2);
}

void PanelReadoutTest::pointEditorDataIsSentWithItsIndex() {
    Synthesis_Widget panel;
    child<QDoubleSpinBox>(panel, "XspinBox")->setValue(1.5);
    child<QDoubleSpinBox>(panel, "YspinBox")->setValue(-2.0);
    child<QDoubleSpinBox>(panel, "angleSpinBox")->setValue(45.0);
    child<QSpinBox>(panel, "spinBox_PosNo_AP")->setValue(1);
    QSignalSpy sent(&panel, &Synthesis_Widget::positionEdited);
    panel.sendPositionEditData(0.0);
    QCOMPARE(sent.count(), 1);
    QCOMPARE(sent.first().at(0).toDouble(), 1.5);
    QCOMPARE(sent.first().at(1).toDouble(), -2.0);
    QCOMPARE(sent.first().at(2).toDouble(), 45.0);
    QCOMPARE(sent.first().at(3).toInt(), 0);
    panel.clearPositionBoxes();
    QCOMPARE(child<QDoubleSpinBox>(panel, "XspinBox")->value(), 0.0);
    QCOMPARE(child<QDoubleSpinBox>(panel, "angleSpinBox")->value(), 0.0);
}

void PanelReadoutTest::sliderDrivesTheCounterAndFollowsItWithoutFeedback() {
    Branch branch;
    Synthesis_Widget panel;
    panel.setBranch(&branch);
    panelfix::handToBranch(branch, panelfix::dyadsOfARun(2, 60.0), 60.0);
    panel.updateWidget(2, 0);
    QVERIFY(branch.hasMechanism());
    QSlider *slider = child<QSlider>(panel, "sliderMotion");
    slider->setValue(90);  // the user drags the slider
    QCOMPARE(branch.getMechanismCounter(), 90.0);
    QSignalSpy redraws(&branch, &Branch::updateObject);
    branch.IncrementDyads();
    // One redraw: showing the new counter did not send it back into the branch.
    QCOMPARE(redraws.count(), 1);
    QVERIFY(branch.getMechanismCounter() != 90.0);
    QCOMPARE(slider->value(), static_cast<int>(std::lround(branch.getMechanismCounter())));
}

MS_REGISTER_TEST(PanelReadoutTest)
#include "PanelReadoutTest.moc"
