// The maximum link length: a ratio of the workspace width shown as a length, and a length the
// user types sent on as a ratio, wired both ways with the "Synthesis Tools" box as in the window.
#include "PanelFixtures.h"
#include "ProcessValues.h"

#include <QDoubleSpinBox>
#include <QFrame>
#include <QLineEdit>
#include <QSpinBox>

class PanelLinkRatioTest : public QObject {
    Q_OBJECT
    double savedWidth = 20.0;

private slots:
    void init() { savedWidth = workspaceWidth; }
    void cleanup() { workspaceWidth = savedWidth; }

    void ratioSetFromCodeIsShownAndNotSentBack_data() {
        QTest::addColumn<double>("width");
        QTest::addColumn<int>("ratio");  // 0: the panel's start
        QTest::addColumn<double>("shown");
        QTest::newRow("start: twice width 20") << 20.0 << 0 << 40.0;
        QTest::newRow("width 0.7, ratio 5") << 0.7 << 5 << 3.5;
        QTest::newRow("width 0 sends nothing") << 0.0 << 3 << 0.0;
    }
    void ratioSetFromCodeIsShownAndNotSentBack() {
        QFETCH(double, width);
        QFETCH(int, ratio);
        QFETCH(double, shown);
        workspaceWidth = width;
        Synthesis_Widget panel;
        QSignalSpy sent(&panel, &Synthesis_Widget::linkRatioChanged);
        if (ratio > 0)
            panel.setLinkRatio(ratio);
        QVERIFY(std::fabs(child<QDoubleSpinBox>(panel, "linkRatio2")->value() - shown) < 1e-9);
        if (width == 0.0) {  // no ratio of a zero width: typed lengths go nowhere
            panel.emitLinkRatio(45.0);
            child<QDoubleSpinBox>(panel, "linkRatio2")->setValue(12.0);
        }
        QCOMPARE(sent.count(), 0);
    }

    void typedLengthReachesTheEngineRounded_data() {
        QTest::addColumn<double>("width");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("ratio");
        // Hand-computed: length / width, to the nearest whole number.
        QTest::newRow("45 over 20 is 2.25") << 20.0 << QStringLiteral("45") << 2;
        QTest::newRow("50 over 20 is 2.5, rounds up") << 20.0 << QStringLiteral("50") << 3;
        QTest::newRow("61 over 20 is 3.05") << 20.0 << QStringLiteral("61") << 3;
        QTest::newRow("3.3 over 1.1 is 3 (truncated 2)") << 1.1 << QStringLiteral("3.3") << 3;
        QTest::newRow("8.7 over 1.1 is 7.9") << 1.1 << QStringLiteral("8.7") << 8;
    }
    void typedLengthReachesTheEngineRounded() {
        QFETCH(double, width);
        QFETCH(QString, typed);
        QFETCH(int, ratio);
        workspaceWidth = width;
        // The "Synthesis Tools" ratio box, the engine and the panel, connected as the main window
        // does: panel -> box, box -> engine, box -> panel.
        MechanismSynthesis engine;
        Synthesis_Widget panel;
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
        QVERIFY(std::fabs(field->value() - ratio * width) < 1e-9);
    }
};

MS_REGISTER_TEST(PanelLinkRatioTest)
#include "PanelLinkRatioTest.moc"
