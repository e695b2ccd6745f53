// The panel's readouts, the position slots and the counter slider.
#include "PanelFixtures.h"

#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>

namespace {
QString text(const Synthesis_Widget &p, const char *label) { return child<QLabel>(p, label)->text(); }
double boxValue(const Synthesis_Widget &p, const char *box) {
    return child<QDoubleSpinBox>(p, box)->value();
}

void fillEngine(MechanismSynthesis &engine, const std::vector<std::array<double, 3>> &rows) {
    engine.setData(static_cast<int>(rows.size()));
    for (int k = 0; k < 3 * static_cast<int>(rows.size()); ++k)
        engine.setDataValue(k / 3, k % 3, rows[size_t(k / 3)][size_t(k % 3)]);
}
} // namespace

class PanelReadoutTest : public QObject {
    Q_OBJECT
private slots:
    void readoutShowsSignAndMagnitude_data() {
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
    void readoutShowsSignAndMagnitude() {
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
        QCOMPARE(text(panel, "label_PosYSign") == sign, value == 0.0);
        panel.displayMFlocation(value, value, value);  // the angle is shown as given
        for (const char *s : {"label_MFXSign", "label_MFYSign", "label_MFThetaSign"})
            QCOMPARE(text(panel, s), sign);
        for (const char *v : {"label_MFXValue", "label_MFYValue", "label_MFThetaValue"})
            QCOMPARE(text(panel, v), shown);
    }

    void currentPositionAngleLosesWholeTurns_data() {
        QTest::addColumn<double>("stored");
        QTest::addColumn<double>("shown");
        QTest::newRow("725") << 725.0 << 5.0;
        QTest::newRow("-370") << -370.0 << -10.0;
        QTest::newRow("400") << 400.0 << 40.0;
        QTest::newRow("-45") << -45.0 << -45.0;
        QTest::newRow("360") << 360.0 << 0.0;
    }
    void currentPositionAngleLosesWholeTurns() {
        QFETCH(double, stored);
        QFETCH(double, shown);
        MechanismSynthesis engine;
        fillEngine(engine, {{1.0, 2.0, 0.0}, {3.5, -4.25, stored}});
        Synthesis_Widget panel;
        panel.setSynthesis(&engine);
        panel.displayCurrentPosition(1);
        QCOMPARE(boxValue(panel, "XspinBox"), 3.5);
        QCOMPARE(boxValue(panel, "YspinBox"), -4.25);
        QCOMPARE(boxValue(panel, "angleSpinBox"), shown);
        // Positions outside the task leave the boxes as they are.
        panel.displayCurrentPosition(2);
        panel.displayCurrentPosition(-1);
        QCOMPARE(boxValue(panel, "XspinBox"), 3.5);
    }

    // An edit is sent with its task index (position 3 in the panel's numbering is index 2); the
    // fields keep their text while there is a task and empty with it.
    void positionFieldsSendEditsAndEmptyWithTheTask() {
        MechanismSynthesis engine;
        fillEngine(engine, {{1.0, 2.0, 30.0}});
        Synthesis_Widget panel;
        panel.setSynthesis(&engine);
        const char *fields[] = {"X_AP_Disp", "Y_AP_Disp", "Phi_AP_Disp",
                                "X_RP_Disp", "Y_RP_Disp", "Phi_RP_Disp"};
        const char *typed[] = {"2.5", "7.125", "-30.5", "7", "7", "7"};
        for (int k = 0; k < 6; ++k)
            child<QLineEdit>(panel, fields[k])->setText(QString::fromLatin1(typed[k]));
        child<QSpinBox>(panel, "spinBox_PosNo_AP")->setValue(3);
        QSignalSpy sent(&panel, &Synthesis_Widget::positionupdate);
        panel.editPositions();
        QCOMPARE(sent.count(), 1);
        QCOMPARE(sent.first(), (QList<QVariant>{2.5, 7.125, -30.5, 0, 2}));
        panel.updatetabPositions();
        QCOMPARE(child<QLineEdit>(panel, "X_AP_Disp")->text(), QStringLiteral("2.5"));
        engine.setData(0);
        panel.updatetabPositions();
        for (const char *f : fields)
            QVERIFY2(child<QLineEdit>(panel, f)->text().isEmpty(), f);
        QCOMPARE(child<QSpinBox>(panel, "spinBox_PosNo_AP")->maximum(), 0);
    }

    void sliderDrivesTheCounterAndFollowsItWithoutFeedback() {
        Branch branch;
        Synthesis_Widget panel;
        panel.setBranch(&branch);
        handToBranch(branch, dyadsOfARun(2));
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
};

MS_REGISTER_TEST(PanelReadoutTest)
#include "PanelReadoutTest.moc"
