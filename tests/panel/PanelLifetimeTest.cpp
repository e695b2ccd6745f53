// The panel never keeps a dyad the branch has let go of: after a reset, a new run, a load that
// clears the branch, or new first-pass dyads, no box stands for a released dyad.
#include "Branch.h"
#include "Dyad.h"
#include "PanelFixtures.h"
#include "Synthesis_Widget.h"

#include <QCheckBox>
#include <QSignalSpy>
#include <QtTest>
#include "TestSupport.h"

namespace {
const double crankDeg = 75.0;

QCheckBox *dyadBox(const Synthesis_Widget &p, int i) {
    return p.findChild<QCheckBox *>(QStringLiteral("checkBox_D%1").arg(i + 1));
}
QCheckBox *alternativeBox(const Synthesis_Widget &p, int i) {
    return p.findChild<QCheckBox *>(QStringLiteral("checkBox_DD%1").arg(i + 1));
}

std::vector<std::weak_ptr<Dyad>> watch(const std::vector<std::shared_ptr<Dyad>> &dyads) {
    return {dyads.begin(), dyads.end()};
}

bool allReleased(const std::vector<std::weak_ptr<Dyad>> &watched) {
    for (const std::weak_ptr<Dyad> &w : watched)
        if (!w.expired())
            return false;
    return true;
}

// Every box in the state of a panel that shows nothing.
void verifyNoBoxStandsForADyad(const Synthesis_Widget &panel) {
    for (int i = 0; i < Synthesis_Widget::boxCount; ++i) {
        QCOMPARE(panel.dyadShownBy(i), nullptr);
        QCOMPARE(panel.alternativeShownBy(i), nullptr);
        QVERIFY(!dyadBox(panel, i)->isEnabled());
        QVERIFY(!dyadBox(panel, i)->isChecked());
        QVERIFY(!alternativeBox(panel, i)->isEnabled());
        QVERIFY(!alternativeBox(panel, i)->isVisibleTo(&panel));
    }
}

// A run of four synthesized dyads, the second and third with a highlighted first-pass RR.
struct FourDyadRun {
    Branch branch;
    Synthesis_Widget panel;
    std::vector<std::weak_ptr<Dyad>> watched;
    FourDyadRun() {
        panel.setBranch(&branch);
        std::vector<std::shared_ptr<Dyad>> dyads = panelfix::dyadsOfARun(4, crankDeg);
        std::vector<std::shared_ptr<Dyad>> firstPass = panelfix::dyadsOfARun(4, crankDeg);
        firstPass[1]->setHighlighted(true);
        firstPass[2]->setHighlighted(true);
        watched = watch(dyads);
        const std::vector<std::weak_ptr<Dyad>> alternatives = watch(firstPass);
        watched.insert(watched.end(), alternatives.begin(), alternatives.end());
        panelfix::handToBranch(branch, dyads, crankDeg);
        branch.setSynthesizedDyads(std::move(firstPass));
        panel.updateWidget(4, 0);
    }
};
} // namespace

class PanelLifetimeTest : public QObject {
    Q_OBJECT
private slots:
    void runShowsEveryDyadOfTheBranch();
    void clearWidgetThenResetLeavesNoBoxReferringToADyad();
    void branchClearedAloneStillLeavesNoStaleBox();
    void newRunReplacesEveryDyadTheBoxesShow();
    void newFirstPassDyadsDropTheOldAlternatives();
    void resetWidgetUnchecksAndDisablesTheDyadBoxes();
    void replacingTheBranchForgetsTheOldOnesDyads();
};

void PanelLifetimeTest::runShowsEveryDyadOfTheBranch() {
    FourDyadRun run;
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(run.panel.dyadShownBy(i), run.branch.dyadAt(i));
        QVERIFY(run.panel.dyadShownBy(i) != nullptr);
    }
    QCOMPARE(run.panel.alternativeShownBy(1), run.branch.getFirstPassDyadsCpy()[1]);
    QCOMPARE(run.panel.alternativeShownBy(2), run.branch.getFirstPassDyadsCpy()[2]);
    QCOMPARE(run.panel.alternativeShownBy(0), nullptr);
}

void PanelLifetimeTest::clearWidgetThenResetLeavesNoBoxReferringToADyad() {
    FourDyadRun run;
    // The order of the main window's reset: the panel first, then the branch.
    run.panel.clearWidget();
    run.branch.clearBranch();
    QVERIFY(allReleased(run.watched));
    verifyNoBoxStandsForADyad(run.panel);
    for (int i = 0; i < Synthesis_Widget::boxCount; ++i)
        QCOMPARE(dyadBox(run.panel, i)->text(), QStringLiteral("D%1").arg(i + 1));
    QCOMPARE(run.panel.getCurrentDyad(), -1);
    QCOMPARE(run.panel.getCurrentPoint(), -1);
}

void PanelLifetimeTest::branchClearedAloneStillLeavesNoStaleBox() {
    // Regression: a branch cleared without the panel being told left boxes on freed dyads.
    FourDyadRun run;
    QSignalSpy handOvers(&run.branch, &Branch::updateObject);
    run.branch.clearBranch();
    QVERIFY(allReleased(run.watched));
    verifyNoBoxStandsForADyad(run.panel);
    dyadBox(run.panel, 0)->click();  // disabled: nothing reaches the branch
    QCOMPARE(handOvers.count(), 0);
}

void PanelLifetimeTest::newRunReplacesEveryDyadTheBoxesShow() {
    FourDyadRun run;
    const std::vector<std::shared_ptr<Dyad>> second = panelfix::dyadsOfARun(2, crankDeg);
    panelfix::handToBranch(run.branch, second, crankDeg);
    run.panel.updateWidget(2, 0);
    QVERIFY(allReleased(run.watched));
    QCOMPARE(run.panel.dyadShownBy(0), second[0].get());
    QCOMPARE(run.panel.dyadShownBy(1), second[1].get());
    QCOMPARE(run.panel.dyadShownBy(2), nullptr);
    QCOMPARE(run.panel.dyadShownBy(3), nullptr);
    for (int i = 0; i < Synthesis_Widget::boxCount; ++i)
        QCOMPARE(run.panel.alternativeShownBy(i), nullptr);
}

void PanelLifetimeTest::newFirstPassDyadsDropTheOldAlternatives() {
    FourDyadRun run;
    std::vector<std::shared_ptr<Dyad>> replacement = panelfix::dyadsOfARun(4, crankDeg);
    replacement[2]->setHighlighted(true);
    run.branch.setSynthesizedDyads(replacement);
    for (int i = 0; i < Synthesis_Widget::boxCount; ++i) {
        QCOMPARE(run.panel.alternativeShownBy(i), nullptr);
        QVERIFY(!alternativeBox(run.panel, i)->isEnabled());
    }
    // The synthesized dyads did not change: their boxes keep them.
    QCOMPARE(run.panel.dyadShownBy(3), run.branch.dyadAt(3));
    QVERIFY(dyadBox(run.panel, 0)->isChecked());
}

void PanelLifetimeTest::resetWidgetUnchecksAndDisablesTheDyadBoxes() {
    FourDyadRun run;
    run.panel.findChild<QCheckBox *>(QStringLiteral("checkBox_RP"))->click();
    run.panel.resetWidget();
    for (int i = 0; i < Synthesis_Widget::boxCount; ++i) {
        QCheckBox *box = dyadBox(run.panel, i);
        QVERIFY(!box->isChecked());
        QVERIFY(!box->isEnabled());
        QCOMPARE(box->text(), QStringLiteral("D%1").arg(i + 1));
        QCOMPARE(run.panel.dyadShownBy(i), nullptr);
    }
    for (const char *name : {"checkBox_MF", "checkBox_RR", "checkBox_PR", "checkBox_RP"}) {
        QCheckBox *kind = run.panel.findChild<QCheckBox *>(QString::fromLatin1(name));
        QVERIFY(!kind->isChecked());
        QVERIFY(kind->isEnabled());
    }
    QCOMPARE(run.panel.getDyadStates(), std::vector<bool>(4, false));
    QCOMPARE(run.panel.getKindStates(), std::vector<bool>(4, false));
}

void PanelLifetimeTest::replacingTheBranchForgetsTheOldOnesDyads() {
    FourDyadRun run;
    Branch other;
    run.panel.setBranch(&other);
    verifyNoBoxStandsForADyad(run.panel);
    // The old branch no longer drives the panel, nor the panel the old branch.
    QSignalSpy oldHandOvers(&run.branch, &Branch::updateObject);
    run.panel.updateWidget(0, 0);
    QCOMPARE(oldHandOvers.count(), 0);
}

MS_REGISTER_TEST(PanelLifetimeTest)
#include "PanelLifetimeTest.moc"
