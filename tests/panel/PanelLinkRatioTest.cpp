// The maximum link length: a ratio of the workspace width shown as a length, and a length the
// user types sent on as a ratio, wired both ways with the "Synthesis Tools" box as in the window.
#include "MechanismSynthesis.h"
#include "PanelFixtures.h"
#include "ProcessValues.h"
#include "Synthesis_Widget.h"

#include <QDoubleSpinBox>
#include <QFrame>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>
#include "TestSupport.h"

using panelfix::child;

namespace {
// The "Synthesis Tools" ratio box, the engine and the panel, connected as the main window does:
// panel -> box, box -> engine, box -> panel.
struct Rig {
    MechanismSynthesis engine;
    Synthesis_Widget panel;
    QSpinBox linkRatio;
    explicit Rig(int startRatio) {
        linkRatio.setRange(1, 100);
        linkRatio.setValue(startRatio);
        engine.setLinkRatio(startRatio);
        QObject::connect(&panel, &Synthesis_Widget::linkRatioChanged, &linkRatio,
                         &QSpinBox::setValue);
        QObject::connect(&linkRatio, &QSpinBox::valueChanged, &engine,
                         &MechanismSynthesis::setLinkRatio);
        QObject::connect(&linkRatio, &QSpinBox::valueChanged, &panel,
                         &Synthesis_Widget::setLinkRatio);
    }
    QDoubleSpinBox *field() const { return child<QDoubleSpinBox>(panel, "linkRatio2"); }
};

// Types a length into the field as a user would: select, type, Return.
void typeLength(QDoubleSpinBox *field, const QString &text) {
    field->setFocus();
    field->findChild<QLineEdit *>()->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}
} // namespace

class PanelLinkRatioTest : public QObject {
    Q_OBJECT
private slots:
    void init() { savedWidth = workspaceWidth; }
    void cleanup() { workspaceWidth = savedWidth; }

    void startsAtTwiceTheWorkspaceWidth();
    void ratioSetFromCodeIsShownAndNotSentBack_data();
    void ratioSetFromCodeIsShownAndNotSentBack();
    void ratioFromTheToolsBoxReachesTheEngineUnchanged();
    void typedLengthReachesTheEngineRounded_data();
    void typedLengthReachesTheEngineRounded();
    void zeroWorkspaceWidthSendsNothing();

private:
    double savedWidth = 20.0;
};

void PanelLinkRatioTest::startsAtTwiceTheWorkspaceWidth() {
    workspaceWidth = 20.0;
    Synthesis_Widget panel;
    QDoubleSpinBox *field = child<QDoubleSpinBox>(panel, "linkRatio2");
    QCOMPARE(field->value(), 40.0);
    QCOMPARE(field->singleStep(), 20.0);
}

void PanelLinkRatioTest::ratioSetFromCodeIsShownAndNotSentBack_data() {
    QTest::addColumn<double>("width");
    QTest::addColumn<int>("ratio");
    QTest::addColumn<double>("shown");
    QTest::newRow("width 20, ratio 3") << 20.0 << 3 << 60.0;
    QTest::newRow("width 1.1, ratio 3") << 1.1 << 3 << 3.3;
    QTest::newRow("width 0.7, ratio 5") << 0.7 << 5 << 3.5;
}

void PanelLinkRatioTest::ratioSetFromCodeIsShownAndNotSentBack() {
    QFETCH(double, width);
    QFETCH(int, ratio);
    QFETCH(double, shown);
    workspaceWidth = width;
    Synthesis_Widget panel;
    QSignalSpy sent(&panel, &Synthesis_Widget::linkRatioChanged);
    panel.setLinkRatio(ratio);
    QVERIFY(std::fabs(child<QDoubleSpinBox>(panel, "linkRatio2")->value() - shown) < 1e-9);
    QCOMPARE(sent.count(), 0);
}

void PanelLinkRatioTest::ratioFromTheToolsBoxReachesTheEngineUnchanged() {
    // Regression: width 1.1 and ratio 3 came back as 2 and the engine synthesized twice.
    workspaceWidth = 1.1;
    Rig rig(2);
    QSignalSpy runs(&rig.engine, QOverload<>::of(&MechanismSynthesis::synthesisdone));
    QSignalSpy sent(&rig.panel, &Synthesis_Widget::linkRatioChanged);
    rig.linkRatio.setValue(3);
    QCOMPARE(rig.engine.getLinkRatio(), 3.0);
    QCOMPARE(rig.linkRatio.value(), 3);
    QCOMPARE(runs.count(), 1);
    QCOMPARE(sent.count(), 0);
    QVERIFY(std::fabs(rig.field()->value() - 3.3) < 1e-9);
}

void PanelLinkRatioTest::typedLengthReachesTheEngineRounded_data() {
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

void PanelLinkRatioTest::typedLengthReachesTheEngineRounded() {
    QFETCH(double, width);
    QFETCH(QString, typed);
    QFETCH(int, ratio);
    workspaceWidth = width;
    Rig rig(2);
    QFrame *frame = child<QFrame>(rig.panel, "frame_3");
    frame->show();  // hidden in the strip; shown here so it can take keys
    rig.panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.panel));
    QSignalSpy runs(&rig.engine, QOverload<>::of(&MechanismSynthesis::synthesisdone));
    QSignalSpy sent(&rig.panel, &Synthesis_Widget::linkRatioChanged);
    typeLength(rig.field(), typed);
    QCOMPARE(sent.count(), 1);
    QCOMPARE(sent.first().at(0).toInt(), ratio);
    QCOMPARE(rig.engine.getLinkRatio(), static_cast<double>(ratio));
    QCOMPARE(runs.count(), ratio == 2 ? 0 : 1);
    // The field now shows the length of the ratio that runs, not the length typed.
    QVERIFY(std::fabs(rig.field()->value() - ratio * width) < 1e-9);
}

void PanelLinkRatioTest::zeroWorkspaceWidthSendsNothing() {
    workspaceWidth = 0.0;
    Synthesis_Widget panel;
    QSignalSpy sent(&panel, &Synthesis_Widget::linkRatioChanged);
    panel.emitLinkRatio(45.0);
    child<QDoubleSpinBox>(panel, "linkRatio2")->setValue(12.0);
    panel.setLinkRatio(3);
    QCOMPARE(sent.count(), 0);
    QCOMPARE(child<QDoubleSpinBox>(panel, "linkRatio2")->value(), 0.0);
}

MS_REGISTER_TEST(PanelLinkRatioTest)
#include "PanelLinkRatioTest.moc"
