// The dyad boxes: what they show after a synthesis, and how their states reach the branch.
#include "Branch.h"
#include "Dyad.h"
#include "Mechanism.h"
#include "MechanismSynthesis.h"
#include "PanelFixtures.h"
#include "Synthesis_Widget.h"

#include <QCheckBox>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>
#include <set>
#include "TestSupport.h"

using panelfix::child;

namespace {
const double crankDeg = 60.0;

QCheckBox *dyadBox(const Synthesis_Widget &p, int i) {
    return p.findChild<QCheckBox *>(QStringLiteral("checkBox_D%1").arg(i + 1));
}
QCheckBox *alternativeBox(const Synthesis_Widget &p, int i) {
    return p.findChild<QCheckBox *>(QStringLiteral("checkBox_DD%1").arg(i + 1));
}

// The panel wired to a branch and an engine as the main window wires them.
struct Rig {
    Branch branch;
    MechanismSynthesis engine;
    Synthesis_Widget panel;
    Rig() {
        engine.setBranch(&branch);
        panel.setBranch(&branch);
        panel.setSynthesis(&engine);
        QObject::connect(&engine, QOverload<int, int>::of(&MechanismSynthesis::synthesisdone),
                         &panel, &Synthesis_Widget::updateWidget);
        QObject::connect(&branch, &Branch::mechanismUpdated, &panel,
                         &Synthesis_Widget::showTypeofMechanism);
    }
    // A run's end as the engine announces it.
    void synthesisDone(int dyads) {
        panelfix::handToBranch(branch, panelfix::dyadsOfARun(dyads, crankDeg), crankDeg);
        emit engine.synthesisdone(dyads, 0);
    }
    QString typeLabel() const {
        return child<QLabel>(panel, "label_Type_Of_Mechanism")->text();
    }
};

void clickBox(QCheckBox *box) {
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, box->rect().center());
}
} // namespace

class PanelDyadBoxesTest : public QObject {
    Q_OBJECT
private slots:
    void boxesMatchTheDyadsAfterSynthesisDone_data();
    void boxesMatchTheDyadsAfterSynthesisDone();
    void rebuildHandsTheFinalStatesOverOnce();
    void shrinkingRunNeverChoosesPastTheList();
    void userClickHandsTheStatesOverOnce();
    void keyboardToggleHandsTheStatesOverOnce();
    void disabledBoxesIgnoreClicks();
    void exclusiveKindGroupHandsOverOncePerClick();
    void highlightedFirstPassDyadsAreOfferedAsAlternatives();
    void alternativeBoxChoosesTheFirstPassDyad();
    void typeLabelShowsWhatTheBranchAnnounces();
};

void PanelDyadBoxesTest::boxesMatchTheDyadsAfterSynthesisDone_data() {
    QTest::addColumn<int>("dyads");
    QTest::newRow("no dyad") << 0;
    QTest::newRow("one dyad") << 1;
    QTest::newRow("two dyads") << 2;
    QTest::newRow("four dyads") << 4;
    QTest::newRow("six dyads, more than boxes") << 6;
}

void PanelDyadBoxesTest::boxesMatchTheDyadsAfterSynthesisDone() {
    QFETCH(int, dyads);
    Rig rig;
    rig.synthesisDone(dyads);
    for (int i = 0; i < Synthesis_Widget::boxCount; ++i) {
        QCheckBox *box = dyadBox(rig.panel, i);
        const bool exists = i < dyads;
        QCOMPARE(box->isEnabled(), exists);
        QCOMPARE(box->text(), exists ? QStringLiteral("RR") : QStringLiteral("-"));
        QCOMPARE(box->isChecked(), (i == 0 && dyads >= 1) || (i == 1 && dyads >= 2));
        QCOMPARE(rig.panel.dyadShownBy(i), exists ? rig.branch.dyadAt(i) : nullptr);
        QVERIFY(!alternativeBox(rig.panel, i)->isEnabled());
    }
    const std::vector<bool> expected = {dyads >= 1, dyads >= 2, false, false};
    QCOMPARE(rig.branch.getDyadStates(), expected);
    QCOMPARE(rig.branch.hasMechanism(), dyads >= 2);
}

void PanelDyadBoxesTest::rebuildHandsTheFinalStatesOverOnce() {
    // Regression: rebuilding the boxes sent each half-done state to the branch.
    Rig rig;
    rig.synthesisDone(4);
    rig.panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.panel));
    clickBox(dyadBox(rig.panel, 3));  // the user ticks D4 as well
    QSignalSpy handOvers(&rig.branch, &Branch::updateObject);
    QSignalSpy types(&rig.branch, &Branch::mechanismUpdated);
    rig.synthesisDone(4);
    QCOMPARE(handOvers.count(), 1);
    QCOMPARE(rig.branch.getDyadStates(), (std::vector<bool>{true, true, false, false}));
    QCOMPARE(types.last().at(0).toString(), rig.branch.getMechanism()->typeName());
}

void PanelDyadBoxesTest::shrinkingRunNeverChoosesPastTheList() {
    // Regression: after a run of four, a run of one left D2 ticked for a dyad that is gone.
    Rig rig;
    rig.synthesisDone(4);
    QSignalSpy handOvers(&rig.branch, &Branch::updateObject);
    rig.synthesisDone(1);
    QCOMPARE(handOvers.count(), 1);
    QCOMPARE(rig.branch.getDyadStates(), (std::vector<bool>{true, false, false, false}));
    QVERIFY(!rig.branch.hasMechanism());
    for (int i = 1; i < Synthesis_Widget::boxCount; ++i) {
        QVERIFY(!dyadBox(rig.panel, i)->isChecked());
        QVERIFY(!dyadBox(rig.panel, i)->isEnabled());
    }
}

void PanelDyadBoxesTest::userClickHandsTheStatesOverOnce() {
    Rig rig;
    rig.synthesisDone(2);
    rig.panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.panel));
    QSignalSpy handOvers(&rig.branch, &Branch::updateObject);
    clickBox(dyadBox(rig.panel, 1));
    QCOMPARE(handOvers.count(), 1);
    QCOMPARE(rig.branch.getDyadStates(), (std::vector<bool>{true, false, false, false}));
    clickBox(dyadBox(rig.panel, 1));
    QCOMPARE(handOvers.count(), 2);
    QCOMPARE(rig.branch.getDyadStates(), (std::vector<bool>{true, true, false, false}));
    QVERIFY(rig.branch.hasMechanism());
}

void PanelDyadBoxesTest::keyboardToggleHandsTheStatesOverOnce() {
    Rig rig;
    rig.synthesisDone(2);
    rig.panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.panel));
    QSignalSpy handOvers(&rig.branch, &Branch::updateObject);
    QTest::keyClick(dyadBox(rig.panel, 0), Qt::Key_Space);
    QCOMPARE(handOvers.count(), 1);
    QCOMPARE(rig.branch.getDyadStates(), (std::vector<bool>{false, true, false, false}));
}

void PanelDyadBoxesTest::disabledBoxesIgnoreClicks() {
    Rig rig;
    rig.synthesisDone(2);
    rig.panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.panel));
    QSignalSpy handOvers(&rig.branch, &Branch::updateObject);
    clickBox(dyadBox(rig.panel, 2));
    dyadBox(rig.panel, 3)->click();
    QCOMPARE(handOvers.count(), 0);
    QCOMPARE(rig.branch.getDyadStates(), (std::vector<bool>{true, true, false, false}));
}

void PanelDyadBoxesTest::exclusiveKindGroupHandsOverOncePerClick() {
    Rig rig;
    rig.synthesisDone(2);
    QCheckBox *rr = child<QCheckBox>(rig.panel, "checkBox_RR");
    QCheckBox *pr = child<QCheckBox>(rig.panel, "checkBox_PR");
    QSignalSpy handOvers(&rig.branch, &Branch::updateObject);
    rr->click();
    QCOMPARE(handOvers.count(), 1);
    QCOMPARE(rig.branch.getKindStates(), (std::vector<bool>{false, true, false, false}));
    pr->click();  // unchecks RR on the way: still one hand-over
    QCOMPARE(handOvers.count(), 2);
    QCOMPARE(rig.branch.getKindStates(), (std::vector<bool>{false, false, true, false}));
}

void PanelDyadBoxesTest::highlightedFirstPassDyadsAreOfferedAsAlternatives() {
    Rig rig;
    panelfix::handToBranch(rig.branch, panelfix::dyadsOfARun(3, crankDeg), crankDeg);
    std::vector<std::shared_ptr<Dyad>> firstPass = panelfix::dyadsOfARun(6, crankDeg);
    firstPass[1]->setHighlighted(true);
    firstPass[5]->setHighlighted(true);  // past the boxes: ignored
    rig.branch.setSynthesizedDyads(firstPass);
    emit rig.engine.synthesisdone(3, 0);
    for (int j = 0; j < Synthesis_Widget::boxCount; ++j) {
        QCheckBox *box = alternativeBox(rig.panel, j);
        const bool offered = j == 1;
        QCOMPARE(box->isVisibleTo(&rig.panel), offered);
        QCOMPARE(box->isEnabled(), offered);
        QVERIFY(!box->isChecked());
        QCOMPARE(rig.panel.alternativeShownBy(j), offered ? firstPass[1].get() : nullptr);
    }
    QCOMPARE(alternativeBox(rig.panel, 1)->text(), QStringLiteral("RR"));
}

void PanelDyadBoxesTest::alternativeBoxChoosesTheFirstPassDyad() {
    Rig rig;
    panelfix::handToBranch(rig.branch, panelfix::dyadsOfARun(2, crankDeg), crankDeg);
    // The exact RR standing in for dyad 1 is the rocker side, so D1 + DD2 form the crank-rocker.
    std::vector<std::shared_ptr<Dyad>> firstPass = {panelfix::spareDyad(7, crankDeg),
                                                    panelfix::rockerDyad(crankDeg)};
    firstPass[1]->setHighlighted(true);
    rig.branch.setSynthesizedDyads(firstPass);
    emit rig.engine.synthesisdone(2, 0);
    rig.panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.panel));
    clickBox(dyadBox(rig.panel, 1));  // D2 off: only D1 left, the old pair stays formed
    QCOMPARE(rig.branch.getDyadStates(), (std::vector<bool>{true, false, false, false}));
    clickBox(alternativeBox(rig.panel, 1));
    QCOMPARE(rig.panel.getAlternativeStates(), (std::vector<bool>{false, true, false, false}));
    QVERIFY(rig.branch.hasMechanism());
    const Mechanism *m = rig.branch.getMechanism();
    const std::set<const Dyad *> pair = {m->getInputDyad(), m->getOutputDyad()};
    QCOMPARE(pair, (std::set<const Dyad *>{rig.branch.dyadAt(0), firstPass[1].get()}));
}

void PanelDyadBoxesTest::typeLabelShowsWhatTheBranchAnnounces() {
    Rig rig;
    QCOMPARE(rig.typeLabel(), QStringLiteral("Type of Mechanism:"));
    rig.synthesisDone(2);
    QCOMPARE(rig.typeLabel(), QStringLiteral("RRRR"));
    rig.synthesisDone(1);
    QCOMPARE(rig.typeLabel(), QStringLiteral(" "));
    emit rig.branch.mechanismUpdated(QStringLiteral("PRRP"));
    QCOMPARE(rig.typeLabel(), QStringLiteral("PRRP"));
}

MS_REGISTER_TEST(PanelDyadBoxesTest)
#include "PanelDyadBoxesTest.moc"
