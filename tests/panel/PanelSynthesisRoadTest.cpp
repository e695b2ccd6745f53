// One synthesis through the panel with the real engine: five poses of the known crank-rocker go
// in, the boxes, the branch's pair and the type label come out; the panel is photographed.
#include "Branch.h"
#include "Dyad.h"
#include "Mechanism.h"
#include "MechanismSynthesis.h"
#include "PanelFixtures.h"
#include "Synthesis_Widget.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QSignalSpy>
#include <QtTest>
#include "TestSupport.h"
#include <cmath>
#include <set>

using panelfix::child;

namespace {
const double crankAngles[] = {40.0, 70.0, 100.0, 130.0, 160.0};

struct Road {
    Branch branch;
    MechanismSynthesis engine;
    Synthesis_Widget panel;
    Road() {
        engine.setBranch(&branch);
        engine.setFileOutput(false);
        panel.setBranch(&branch);
        panel.setSynthesis(&engine);
        QObject::connect(&engine, QOverload<int, int>::of(&MechanismSynthesis::synthesisdone),
                         &panel, &Synthesis_Widget::updateWidget);
        QObject::connect(&branch, &Branch::mechanismUpdated, &panel,
                         &Synthesis_Widget::showTypeofMechanism);
        QObject::connect(&branch, &Branch::displayMFlocation, &panel,
                         &Synthesis_Widget::displayMFlocation);
        engine.setData(5);
        for (int i = 0; i < 5; ++i) {
            const panelfix::CouplerPose p = panelfix::crankRockerPose(crankAngles[i]);
            engine.setDataValue(i, 0, p.x);
            engine.setDataValue(i, 1, p.y);
            engine.setDataValue(i, 2, p.thetaDeg);
        }
    }
    QCheckBox *box(int i) const {
        return panel.findChild<QCheckBox *>(QStringLiteral("checkBox_D%1").arg(i + 1));
    }
};

// Whether some synthesized dyad has this fixed pivot (the test's own crank-rocker).
bool hasFixedPivot(const Branch &branch, double x, double y) {
    for (Dyad *d : branch.getDyadListCpy()) {
        const Point f = d->fixedPivotCopy();
        if (std::hypot(f[0] - x, f[1] - y) < 1e-6)
            return true;
    }
    return false;
}
} // namespace

class PanelSynthesisRoadTest : public QObject {
    Q_OBJECT
private slots:
    void synthesisOfAKnownCrankRockerReachesTheBoxes();
    void photographOfThePanelAfterSynthesis();
};

void PanelSynthesisRoadTest::synthesisOfAKnownCrankRockerReachesTheBoxes() {
    Road road;
    QSignalSpy done(&road.engine, QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    road.engine.synthesize();
    QCOMPARE(done.count(), 1);
    const int n = road.branch.synthesizedDyadCount();
    QVERIFY2(n >= 2, qPrintable(QString::number(n)));
    // The engine recovered the crank-rocker's two ground pivots.
    QVERIFY(hasFixedPivot(road.branch, 0.0, 0.0));
    QVERIFY(hasFixedPivot(road.branch, 4.0, 0.0));
    for (int i = 0; i < Synthesis_Widget::boxCount; ++i) {
        const bool exists = i < n;
        QCOMPARE(road.box(i)->isEnabled(), exists);
        QCOMPARE(road.box(i)->isChecked(), i < 2);
        if (exists)
            QCOMPARE(road.box(i)->text(), road.branch.dyadAt(i)->getName());
    }
    QVERIFY(road.branch.hasMechanism());
    const Mechanism *m = road.branch.getMechanism();
    const std::set<const Dyad *> pair = {m->getInputDyad(), m->getOutputDyad()};
    QCOMPARE(pair, (std::set<const Dyad *>{road.branch.dyadAt(0), road.branch.dyadAt(1)}));
    QCOMPARE(child<QLabel>(road.panel, "label_Type_Of_Mechanism")->text(), m->typeName());
    QVERIFY(!m->typeName().trimmed().isEmpty());
}

void PanelSynthesisRoadTest::photographOfThePanelAfterSynthesis() {
    Road road;
    road.engine.synthesize();
    road.panel.displaymouselocation(3.25, -1.5);
    road.panel.displaytheta(-42.0);
    road.panel.resize(1240, road.panel.sizeHint().height());
    road.panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&road.panel));
    const QPixmap shot = road.panel.grab();
    QVERIFY(!shot.isNull());
    QVERIFY(shot.save(QDir::current().filePath(QStringLiteral("panel-after-synthesis.png"))));
    // Every readout and box fits the strip: nothing is squeezed below its size hint.
    for (const char *name : {"frame_Position", "frame_synthesis", "frame_MovingFrame",
                             "label_Type_Of_Mechanism"}) {
        const QWidget *w = child<QWidget>(road.panel, name);
        QVERIFY2(w->width() >= w->minimumSizeHint().width(), name);
    }
}

MS_REGISTER_TEST(PanelSynthesisRoadTest)
#include "PanelSynthesisRoadTest.moc"
