// What the window shows after an action describes the task and mechanism as they are now, and
// every refusal is said in the window: replayed with triggers, clicks and keys on the real window.
#include "WindowTestSupport.h"

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QSlider>
#include <QSplitter>

namespace {
// The panel shows a readout as a sign label and a magnitude label.
double readout(const WindowRig &rig, const char *sign, const char *value) {
    const QString s = rig.child<QLabel>(sign)->text().trimmed();
    const QString v = rig.child<QLabel>(value)->text();
    return v == QLatin1String("---") ? std::nan("") : (s == "-" ? -1.0 : 1.0) * v.toDouble();
}
} // namespace

class WindowTruthTest : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowRig> rig;

    QCheckBox *box(int i) const {
        return rig->child<QCheckBox>(qPrintable(QString("checkBox_D%1").arg(i)));
    }
    void click(QCheckBox *b) {
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }

    // The invariant: a mechanism is shown only while exactly two ticked dyads of the current run
    // form it, its type is one of the five, and the label and the moving-frame readout are its own;
    // without one both are blank.
    void verifyShownMechanism() {
        Branch *b = rig->main().dyadBranch();
        const Mechanism *m = b->getMechanism();
        const QString label = rig->child<QLabel>("label_Type_Of_Mechanism")->text().trimmed();
        const double mfx = readout(*rig, "label_MFXSign", "label_MFXValue");
        std::vector<const Dyad *> ticked;
        for (int i = 0; i < 4; ++i)
            if (box(i + 1)->isChecked())
                ticked.push_back(b->dyadAt(i));
        if (!m->isSet()) {
            QCOMPARE(label, QString());
            QVERIFY2(std::isnan(mfx), "the moving frame readout outlived its mechanism");
            return;
        }
        QVERIFY(Branch::isAnalysedType(m->typeName()));
        QCOMPARE(label, m->typeName());
        QCOMPARE(int(ticked.size()), 2);
        for (const Dyad *d : {m->getInputDyad(), m->getOutputDyad()})
            QVERIFY(std::find(ticked.begin(), ticked.end(), d) != ticked.end());
        // The readout shows two or three decimals.
        QVERIFY(std::fabs(mfx - m->couplerPoint()[0]) < 6e-3);
        QCOMPARE(rig->child<QSlider>("sliderMotion")->value(), int(std::lround(m->getCounter())));
    }

private slots:
    void init() {
        MS_REQUIRE_GL();
        rig = std::make_unique<WindowRig>();
        QVERIFY(rig->exposed());
    }
    void cleanup() { rig.reset(); }

    // Regression: the mechanism, its curves, label and readout stayed after its pair or task went,
    // the animation control still offered Pause, and the readouts stood still while the slider,
    // the circuit or Stop moved the mechanism.
    void shownMechanismFollowsEveryAction_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("mechanism");
        QTest::newRow("untick D2") << "untick2" << false;
        QTest::newRow("delete a position") << "delete" << false;
        QTest::newRow("reset") << "reset" << false;
        QTest::newRow("another file") << "file" << true;
        QTest::newRow("slider") << "slider" << true;
        QTest::newRow("circuit") << "circuit" << true;
        QTest::newRow("start, ticks, stop") << "stop" << true;
        QTest::newRow("RP + RP pair") << "rprp" << false;
    }
    void shownMechanismFollowsEveryAction() {
        QFETCH(QString, steps);
        QFETCH(bool, mechanism);
        Vendrel &w = rig->main();
        rig->act(steps == "rprp" ? "actionRRRP" : "actionRRRR")->trigger();
        QVERIFY(w.dyadBranch()->hasMechanism());
        if (steps != "stop")
            rig->act("actionStart")->trigger();
        if (steps == "untick2") {
            click(box(2));
        } else if (steps == "delete") {
            w.task()->setcurrntpositionindex(2);
            w.deleteinputposition();
            QCOMPARE(w.task()->size(), 4);
            QVERIFY(!box(1)->isEnabled());
        } else if (steps == "reset") {
            rig->act("action_Reset")->trigger();
        } else if (steps == "file") {
            QVERIFY(rig->load(crankRockerTask(6)));
            rig->act("actionSynthesize")->trigger();
        } else if (steps == "slider") {
            rig->child<QSlider>("sliderMotion")->setValue(200);
        } else if (steps == "circuit") {
            const bool open = w.dyadBranch()->getMechanism()->isCircuitOpen();
            rig->act(open ? "actionCrossed" : "actionOpen")->trigger();
            QCOMPARE(w.dyadBranch()->getMechanism()->isCircuitOpen(), !open);
        } else if (steps == "stop") {
            rig->act("actionStart")->trigger();
            for (int k = 0; k < 40; ++k)
                rig->view()->animate();
            rig->act("actionStop")->trigger();
        } else if (steps == "rprp") {
            // The swinging-block task gives two RP dyads: ticked together they form no four-bar.
            std::vector<int> rp;
            for (int i = 0; i < w.dyadBranch()->synthesizedDyadCount(); ++i)
                if (w.dyadBranch()->dyadAt(i)->typeName() == "RP")
                    rp.push_back(i);
            QVERIFY(rp.size() >= 2);
            for (int i = 0; i < 4; ++i)
                if (box(i + 1)->isChecked() != (i == rp[0] || i == rp[1]))
                    click(box(i + 1));
            QVERIFY(w.statusResultText().contains("not one of the four-bars"));
        }
        QCOMPARE(w.dyadBranch()->hasMechanism(), mechanism);
        verifyShownMechanism();
        // A running animation stops with its mechanism, and the control offers Start again.
        if (!mechanism)
            QTRY_VERIFY(!rig->view()->isAnimating() && rig->act("actionStart")->isVisible() &&
                        !rig->act("actionPause")->isVisible());
        const int n = w.task()->size();
        QVERIFY(n == 0 || w.statusTaskText().startsWith(QString::number(n) + " position"));
    }

    // Regression: any position edit re-ran synthesis and ticked D1 and D2 again.
    void editKeepsTheUsersPair() {
        Vendrel &w = rig->main();
        rig->act("actionPRRP")->trigger();  // four dyads: PR, RP and two RR
        QVERIFY(w.dyadBranch()->synthesizedDyadCount() >= 4);
        for (int i : {1, 2, 3, 4})
            if (box(i)->isChecked() != (i >= 3))
                click(box(i));
        // The position is put back where it is: the re-run finds the same four dyads.
        QSignalSpy runs = runsOf(w);
        const Pose p = poseOf(*w.task(), 1);
        w.position_update_mouseclick(p.x, p.y, p.thetaDeg, 0, 1);
        QCOMPARE(runs.count(), 1);
        QVERIFY(w.dyadBranch()->synthesizedDyadCount() >= 4);
        for (int i : {1, 2, 3, 4})
            QCOMPARE(box(i)->isChecked(), i >= 3);
        verifyShownMechanism();
    }

    // Regression: after a file or a demo, clicks no longer added positions while Input Positions
    // still showed as the active mode.
    void loadedTaskTakesClickedPositions() {
        rig->act("actionRRRR")->trigger();
        QVERIFY(rig->act("actionInput_Positions")->isChecked());
        drag(rig->view(), pixelOf(*rig->view(), 6.0, 3.0), pixelOf(*rig->view(), 7.0, 3.5));
        QCOMPARE(rig->main().task()->size(), 6);
    }

    // Regression: these refusals were printed on standard output only.
    void refusalsAreSaidInTheWindow_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("said");
        QTest::newRow("two positions") << QByteArray("2\n0 0 0\n1 0 30\n") << "at least five";
        QTest::newRow("four, no line")
            << QByteArray("4\n0 0 0\n1 0 30\n2 1 50\n0 2 80\n") << "a line";
        QTest::newRow("three, no pivots")
            << QByteArray("3\n0 0 0\n1 0 30\n2 1 50\n") << "two fixed pivots";
        QTest::newRow("pure translation")
            << QByteArray("5\n0 0 10\n1 0 10\n2 1 10\n0 2 10\n3 3 10\n") << "same orientation";
        QTest::newRow("repeated pose")
            << QByteArray("5\n0 0 10\n1 0 20\n2 1 30\n1 0 20\n3 3 50\n") << "Positions 2 and 4";
        QTest::newRow("a word in record 3")
            << QByteArray("5\n0 0 0\n1 0 30\nabc 3 50\n0 2 80\n3 3 90\n") << "record 3, x: 'abc'";
        // Five scattered poses no real dyad passes through: the run ends with nothing to show.
        QTest::newRow("no real dyad")
            << QByteArray("5\n-2.640 -3.968 -18.710\n-3.450 -4.335 -17.714\n4.180 3.005 47.729\n"
                          "-2.781 0.367 -40.197\n-3.273 -3.938 -51.408\n")
            << "no dyads";
    }
    void refusalsAreSaidInTheWindow() {
        QFETCH(QByteArray, file);
        QFETCH(QString, said);
        Vendrel &w = rig->main();
        rig->act("actionRRRR")->trigger();
        StdoutCapture out;
        const bool read = w.loadPositionFile(rig->dir().write("task.txt", file), 3);
        if (read)
            rig->act("actionSynthesize")->trigger();
        const QByteArray printed = out.text();
        QVERIFY2(w.statusResultText().contains(said), qPrintable(w.statusResultText()));
        // Refusals also go to standard output; a run that found nothing is a result, not one.
        QVERIFY(!printed.isEmpty() || said == "no dyads");
        QVERIFY(!w.dyadBranch()->hasMechanism() || !read);
        if (!read) {  // the file is refused whole: a box names it, and the old task stays
            QVERIFY(w.fileProblemBox() && w.fileProblemBox()->isVisible());
            QVERIFY(w.fileProblemBox()->text().contains("task.txt"));
            QCOMPARE(w.task()->size(), 5);
        }
        verifyShownMechanism();
    }

    // Regression: the image-space view opened with zero width at the splitter's right edge.
    void imageSpaceOpensAtAUsableShareAndKeepsTheUsersShare() {
        auto *splitter = rig->child<QSplitter>("splitter");
        rig->act("actionShowImg")->trigger();
        QVERIFY(splitter->sizes().value(1) >= splitter->width() / 3);
        splitter->setSizes({splitter->width() * 3 / 4, splitter->width() / 4});
        const int share = splitter->sizes().value(1);
        rig->act("actionShowImg")->trigger();
        rig->act("actionShowImg")->trigger();
        QVERIFY(std::abs(splitter->sizes().value(1) - share) <= 2);
    }
};

MS_REGISTER_TEST(WindowTruthTest)
#include "WindowTruthTest.moc"
