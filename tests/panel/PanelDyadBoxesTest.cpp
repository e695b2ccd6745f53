// The dyad boxes: what they show after a synthesis, and how their states reach the branch.
#include "PanelFixtures.h"

#include <QLabel>
#include <set>

class PanelDyadBoxesTest : public QObject {
    Q_OBJECT
private slots:
    void boxesMatchTheDyadsAfterSynthesisDone_data() {
        QTest::addColumn<int>("dyads");
        QTest::newRow("no dyad") << 0;
        QTest::newRow("two dyads") << 2;
        QTest::newRow("four dyads") << 4;
        QTest::newRow("six dyads, more than boxes") << 6;
    }
    void boxesMatchTheDyadsAfterSynthesisDone() {
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
        QCOMPARE(rig.branch.getDyadStates(),
                 (std::vector<bool>{dyads >= 1, dyads >= 2, false, false}));
        QCOMPARE(rig.branch.hasMechanism(), dyads >= 2);
    }

    // Regressions: rebuilding the boxes sent each half-done state to the branch; after a run of
    // four, a run of one left D2 ticked for a dyad that is gone.
    void aNewRunHandsTheFinalStatesOverOnce() {
        Rig rig;
        rig.synthesisDone(4);
        QVERIFY(rig.shown());
        clickBox(dyadBox(rig.panel, 3));  // the user ticks D4 as well
        QSignalSpy handOvers(&rig.branch, &Branch::updateObject);
        QSignalSpy types(&rig.branch, &Branch::mechanismUpdated);
        rig.synthesisDone(4);
        QCOMPARE(handOvers.count(), 1);
        QCOMPARE(rig.branch.getDyadStates(), (std::vector<bool>{true, true, false, false}));
        QCOMPARE(types.last().at(0).toString(), rig.branch.getMechanism()->typeName());
        rig.synthesisDone(1);
        QCOMPARE(handOvers.count(), 2);
        QCOMPARE(rig.branch.getDyadStates(), (std::vector<bool>{true, false, false, false}));
        QVERIFY(!rig.branch.hasMechanism());
        for (int i = 1; i < Synthesis_Widget::boxCount; ++i)
            QVERIFY(!dyadBox(rig.panel, i)->isChecked() && !dyadBox(rig.panel, i)->isEnabled());
    }

    // A click or a key on an enabled box hands the states over once; a disabled box does not.
    void userInputHandsTheStatesOverOncePerChange() {
        Rig rig;
        rig.synthesisDone(2);
        QVERIFY(rig.shown());
        QSignalSpy handOvers(&rig.branch, &Branch::updateObject);
        clickBox(dyadBox(rig.panel, 1));
        QCOMPARE(handOvers.count(), 1);
        QCOMPARE(rig.branch.getDyadStates(), (std::vector<bool>{true, false, false, false}));
        clickBox(dyadBox(rig.panel, 2));
        QCOMPARE(handOvers.count(), 1);
        QTest::keyClick(dyadBox(rig.panel, 1), Qt::Key_Space);
        QCOMPARE(handOvers.count(), 2);
        QCOMPARE(rig.branch.getDyadStates(), (std::vector<bool>{true, true, false, false}));
        QVERIFY(rig.branch.hasMechanism());
    }

    void exclusiveKindGroupHandsOverOncePerClick() {
        Rig rig;
        rig.synthesisDone(2);
        QSignalSpy handOvers(&rig.branch, &Branch::updateObject);
        child<QCheckBox>(rig.panel, "checkBox_RR")->click();
        QCOMPARE(handOvers.count(), 1);
        QCOMPARE(rig.branch.getKindStates(), (std::vector<bool>{false, true, false, false}));
        child<QCheckBox>(rig.panel, "checkBox_PR")->click();  // unchecks RR: still one hand-over
        QCOMPARE(handOvers.count(), 2);
        QCOMPARE(rig.branch.getKindStates(), (std::vector<bool>{false, false, true, false}));
    }

    // A highlighted first-pass dyad is offered beside its box; the exact RR standing in for
    // dyad 1 is the rocker side, so D1 + DD2 form the crank-rocker.
    void alternativeBoxOffersAndChoosesTheFirstPassDyad() {
        Rig rig;
        handToBranch(rig.branch, dyadsOfARun(3));
        std::vector<std::shared_ptr<Dyad>> firstPass = dyadsOfARun(6);
        firstPass[1] = sideDyad(rocker, 60.0);
        firstPass[1]->setHighlighted(true);
        firstPass[5]->setHighlighted(true);  // past the boxes: ignored
        rig.branch.setSynthesizedDyads(firstPass);
        emit rig.engine.synthesisdone(3, 0);
        for (int j = 0; j < Synthesis_Widget::boxCount; ++j) {
            QCheckBox *box = alternativeBox(rig.panel, j);
            QCOMPARE(box->isVisibleTo(&rig.panel), j == 1);
            QCOMPARE(box->isEnabled(), j == 1);
            QVERIFY(!box->isChecked());
            QCOMPARE(rig.panel.alternativeShownBy(j), j == 1 ? firstPass[1].get() : nullptr);
        }
        QCOMPARE(alternativeBox(rig.panel, 1)->text(), QStringLiteral("RR"));
        QVERIFY(rig.shown());
        clickBox(dyadBox(rig.panel, 1));  // D2 off: only D1 left, the old pair stays formed
        QCOMPARE(rig.branch.getDyadStates(), (std::vector<bool>{true, false, false, false}));
        clickBox(alternativeBox(rig.panel, 1));
        QCOMPARE(rig.panel.getAlternativeStates(), (std::vector<bool>{false, true, false, false}));
        QVERIFY(rig.branch.hasMechanism());
        const Mechanism *m = rig.branch.getMechanism();
        QCOMPARE((std::set<const Dyad *>{m->getInputDyad(), m->getOutputDyad()}),
                 (std::set<const Dyad *>{rig.branch.dyadAt(0), firstPass[1].get()}));
    }

    void typeLabelShowsWhatTheBranchAnnounces() {
        Rig rig;
        QLabel *label = child<QLabel>(rig.panel, "label_Type_Of_Mechanism");
        QCOMPARE(label->text(), QStringLiteral("Type of Mechanism:"));
        rig.synthesisDone(2);
        QCOMPARE(label->text(), QStringLiteral("RRRR"));
        rig.synthesisDone(1);
        QCOMPARE(label->text(), QStringLiteral(" "));
    }
};

MS_REGISTER_TEST(PanelDyadBoxesTest)
#include "PanelDyadBoxesTest.moc"
