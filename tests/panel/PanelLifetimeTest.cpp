// The panel never keeps a dyad the branch has let go of: after a reset, a new run, a load that
// clears the branch, new first-pass dyads or another branch, no box stands for a released dyad.
#include "PanelFixtures.h"

class PanelLifetimeTest : public QObject {
    Q_OBJECT
private slots:
    void noBoxOutlivesItsDyad_data() {
        QTest::addColumn<QString>("event");
        QTest::addColumn<int>("kept");  // dyad boxes that still stand for the branch's dyads
        // The order of the main window's reset: the panel first, then the branch.
        QTest::newRow("reset") << "clearWidget, clearBranch" << 0;
        // Regression: a branch cleared without the panel being told left boxes on freed dyads.
        QTest::newRow("branch cleared alone") << "clearBranch" << 0;
        QTest::newRow("another branch") << "setBranch" << 0;
        QTest::newRow("new run of two") << "clearBranch, run" << 2;
        QTest::newRow("new first-pass dyads") << "firstPass" << 4;
    }
    void noBoxOutlivesItsDyad() {
        QFETCH(QString, event);
        QFETCH(int, kept);
        // A run of four synthesized dyads, the second and third with a highlighted first-pass
        // RR; the panel follows the branch but is not told of runs by an engine.
        Branch branch;
        Synthesis_Widget panel;
        panel.setBranch(&branch);
        std::vector<std::shared_ptr<Dyad>> dyads = dyadsOfARun(4, 75.0);
        std::vector<std::shared_ptr<Dyad>> firstPass = dyadsOfARun(4, 75.0);
        firstPass[1]->setHighlighted(true);
        firstPass[2]->setHighlighted(true);
        std::vector<std::weak_ptr<Dyad>> watched(dyads.begin(), dyads.end());
        watched.insert(watched.end(), firstPass.begin(), firstPass.end());
        handToBranch(branch, dyads, 75.0);
        branch.setSynthesizedDyads(firstPass);
        panel.updateWidget(4, 0);
        dyads.clear();
        firstPass.clear();
        QCOMPARE(panel.dyadShownBy(3), branch.dyadAt(3));
        QCOMPARE(panel.alternativeShownBy(2), branch.getFirstPassDyadsCpy()[2]);

        Branch other;
        if (event.contains("clearWidget"))
            panel.clearWidget();
        if (event.contains("clearBranch"))
            branch.clearBranch();
        if (event.contains("run")) {
            handToBranch(branch, dyadsOfARun(2, 75.0), 75.0);
            panel.updateWidget(2, 0);
        }
        if (event == "firstPass") {
            std::vector<std::shared_ptr<Dyad>> replacement = dyadsOfARun(4, 75.0);
            replacement[2]->setHighlighted(true);
            branch.setSynthesizedDyads(replacement);
        }
        if (event == "setBranch")
            panel.setBranch(&other);

        bool released = true;
        for (const std::weak_ptr<Dyad> &w : watched)
            released = released && w.expired();
        QCOMPARE(released, event.contains("clearBranch"));
        for (int i = 0; i < Synthesis_Widget::boxCount; ++i) {
            QCOMPARE(panel.dyadShownBy(i), i < kept ? branch.dyadAt(i) : nullptr);
            QCOMPARE(dyadBox(panel, i)->isEnabled(), i < kept);
            QCOMPARE(panel.alternativeShownBy(i), nullptr);
            QVERIFY(!alternativeBox(panel, i)->isEnabled());
        }
        QCOMPARE(dyadBox(panel, 0)->isChecked(), kept > 0);
        if (event.contains("clearWidget"))
            QCOMPARE(dyadBox(panel, 0)->text(), QStringLiteral("D1"));
        // Nothing reaches the old branch: the box is disabled, and a new run drives the new one.
        if (kept == 0) {
            QSignalSpy handOvers(&branch, &Branch::updateObject);
            dyadBox(panel, 0)->click();
            if (event == "setBranch")
                panel.updateWidget(0, 0);
            QCOMPARE(handOvers.count(), 0);
        }
    }
};

MS_REGISTER_TEST(PanelLifetimeTest)
#include "PanelLifetimeTest.moc"
