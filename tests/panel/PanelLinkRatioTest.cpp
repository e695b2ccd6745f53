// The maximum link length: a ratio of ten task sizes shown as a length in the task's unit, and a
// length the user types sent on as a ratio, wired both ways with the "Synthesis Tools" box as in the window.
#include "PanelFixtures.h"
#include "MechanismSynthesis.h"

#include <QDoubleSpinBox>
#include <QFrame>
#include <QLineEdit>
#include <QSpinBox>

namespace {
// A task of two positions at (x0 - size, y0) and (x0 + size, y0): its points lie at RMS distance
// `size` from their centre, so a ratio of 1 allows links of ten times that.
void giveTask(MechanismSynthesis &engine, double size) {
    engine.setData(2);
    for (int i = 0; i < 2; ++i) {
        engine.setDataValue(i, 0, 300.0 + (i == 0 ? -size : size));
        engine.setDataValue(i, 1, -70.0);
        engine.setDataValue(i, 2, 30.0 * i);
    }
}
} // namespace

class PanelLinkRatioTest : public QObject {
    Q_OBJECT

private slots:
    void ratioSetFromCodeIsShownAndNotSentBack_data() {
        QTest::addColumn<double>("size");  // 0: no task
        QTest::addColumn<int>("ratio");  // 0: the panel's start
        QTest::addColumn<double>("shown");
        QTest::newRow("start, no task: ratio 2 of 10 units") << 0.0 << 0 << 20.0;
        QTest::newRow("task of size 0.07, ratio 5") << 0.07 << 5 << 3.5;
        QTest::newRow("task of size 250, ratio 3") << 250.0 << 3 << 7500.0;
    }
    void ratioSetFromCodeIsShownAndNotSentBack() {
        QFETCH(double, size);
        QFETCH(int, ratio);
        QFETCH(double, shown);
        MechanismSynthesis engine;
        if (size > 0.0)
            giveTask(engine, size);
        Synthesis_Widget panel;
        panel.setSynthesis(&engine);
        QSignalSpy sent(&panel, &Synthesis_Widget::linkRatioChanged);
        panel.setLinkRatio(ratio > 0 ? ratio : 2);
        QVERIFY(std::fabs(child<QDoubleSpinBox>(panel, "linkRatio2")->value() - shown) < 1e-9 * shown);
        QCOMPARE(sent.count(), 0);
    }

    void typedLengthReachesTheEngineRounded_data() {
        QTest::addColumn<double>("size");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("ratio");
        // Hand-computed: length / (10 size), to the nearest whole number.
        QTest::newRow("45 over 20 is 2.25") << 2.0 << QStringLiteral("45") << 2;
        QTest::newRow("50 over 20 is 2.5, rounds up") << 2.0 << QStringLiteral("50") << 3;
        QTest::newRow("3.3 over 1.1 is 3 (truncated 2)") << 0.11 << QStringLiteral("3.3") << 3;
        QTest::newRow("8.7 over 1.1 is 7.9") << 0.11 << QStringLiteral("8.7") << 8;
    }
    void typedLengthReachesTheEngineRounded() {
        QFETCH(double, size);
        QFETCH(QString, typed);
        QFETCH(int, ratio);
        // The "Synthesis Tools" ratio box, the engine and the panel, connected as the main window
        // does: panel -> box, box -> engine, box -> panel.
        MechanismSynthesis engine;
        giveTask(engine, size);
        Synthesis_Widget panel;
        panel.setSynthesis(&engine);
        QSpinBox box;
        box.setRange(1, 100);
        box.setValue(2);
        engine.setLinkRatio(2);
        QObject::connect(&panel, &Synthesis_Widget::linkRatioChanged, &box, &QSpinBox::setValue);
        QObject::connect(&box, &QSpinBox::valueChanged, &engine, &MechanismSynthesis::setLinkRatio);
        QObject::connect(&box, &QSpinBox::valueChanged, &panel, &Synthesis_Widget::setLinkRatio);
        child<QFrame>(panel, "frame_3")->show();  // hidden in the strip; shown to take keys
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QSignalSpy runs(&engine, QOverload<>::of(&MechanismSynthesis::synthesisdone));
        QSignalSpy sent(&panel, &Synthesis_Widget::linkRatioChanged);
        // Typed as a user would: select, type, Return.
        auto *field = child<QDoubleSpinBox>(panel, "linkRatio2");
        field->setFocus();
        field->findChild<QLineEdit *>()->selectAll();
        QTest::keyClicks(field, typed);
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(sent.count(), 1);
        QCOMPARE(sent.first().at(0).toInt(), ratio);
        QCOMPARE(engine.getLinkRatio(), static_cast<double>(ratio));
        QCOMPARE(runs.count(), ratio == 2 ? 0 : 1);
        // The field now shows the length of the ratio that runs, not the length typed.
        QVERIFY(std::fabs(field->value() - ratio * 10.0 * size) < 1e-9);
    }
};

MS_REGISTER_TEST(PanelLinkRatioTest)
#include "PanelLinkRatioTest.moc"
