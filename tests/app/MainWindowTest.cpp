// The main window frame in use: its user-facing wording, the tool bar's icons, the File menu's
// exports, the Start/Pause/Stop control, the tool bar groups and the toggles that show and hide
// parts of the window, all driven through QAction::trigger as a click on the tool bar would.
#include "WindowTestSupport.h"

#include <QMenu>
#include <QToolBar>

class MainWindowTest : public WindowTest {
    Q_OBJECT
public:
    MainWindowTest() : WindowTest(false) {}

private slots:
    void cleanup() {
        rig.reset();
        showDimensions = false;
    }

    // The strings whose exact wording the user reads or types.
    void userFacingWording_data() {
        QTest::addColumn<QString>("action");  // empty: the window itself
        QTest::addColumn<QString>("property"); QTest::addColumn<QString>("wording");
        // The design's name and, while it has unsaved changes, the mark Qt puts for "[*]".
        QTest::newRow("title") << "" << "windowTitle" << "Untitled[*] \u2014 Mechanism Synthesis";
        QTest::newRow("open") << "actionOpen" << "toolTip" << "Toggle Circuit (Current : Crossed)";
        QTest::newRow("crossed") << "actionCrossed" << "toolTip"
                                 << "Toggle Circuit (Current : Open)";
        QTest::newRow("save") << "actionSave_dyads" << "shortcut" << "Ctrl+S";
        QTest::newRow("save design") << "actionSave_Design" << "shortcut" << "Ctrl+Shift+S";
        QTest::newRow("open design") << "actionOpen_Design" << "shortcut" << "Ctrl+O";
        QTest::newRow("undo") << "actionUndo" << "shortcut" << "Ctrl+Z";
        QTest::newRow("redo") << "actionRedo" << "shortcut" << "Ctrl+Shift+Z";
        QTest::newRow("export svg") << "File" << "text" << "Export Mechanism (SVG)";
        QTest::newRow("export dxf") << "File" << "text" << "Export Mechanism (DXF)";
        QTest::newRow("export csv") << "File" << "text" << "Export Coupler Curve (CSV)";
    }
    void userFacingWording() {
        QFETCH(QString, action); QFETCH(QString, property); QFETCH(QString, wording);
        if (action.isEmpty()) {
            QCOMPARE(rig->main().property(qPrintable(property)).toString(), wording);
        } else if (action == "File") {
            // The exports are put into the File menu by code, between the screenshot and Exit.
            QStringList texts;
            for (const QAction *a : rig->child<QMenu>("menuFile")->actions())
                texts << a->text();
            QVERIFY2(texts.indexOf("Save Screenshot") < texts.indexOf(wording) &&
                         texts.indexOf(wording) < texts.indexOf("Exit"),
                     qPrintable(texts.join('|')));
        } else if (property == "shortcut") {
            QCOMPARE(rig->act(qPrintable(action))->shortcut(), QKeySequence(wording));
        } else {
            QCOMPARE(rig->act(qPrintable(action))->property(qPrintable(property)).toString(),
                     wording);
        }
    }

    void everyToolBarCommandHasAVisibleIcon() {
        for (const QAction *a : rig->child<QToolBar>("mainToolBar")->actions()) {
            if (a->isSeparator())
                continue;
            // An icon whose file is missing from the bundle renders to nothing: look for ink.
            const QImage img = a->icon().pixmap(24, 24).toImage();
            int inked = 0;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    inked += img.pixelColor(x, y).alpha() > 128 ? 1 : 0;
            QVERIFY2(inked > 20, qPrintable("empty icon for " + a->text()));
        }
    }

    // Start and Pause share one place: exactly one of them is offered while the Mechanism group
    // shows, none while it is hidden, and Stop pauses a running animation. Without a mechanism
    // none of the group's commands can be used.
    void startPauseAndStopShareOnePlace_data() {
        QTest::addColumn<QStringList>("steps"); QTest::addColumn<bool>("start");
        QTest::addColumn<bool>("pause");
        QTest::addColumn<int>("pauses");  // triggers of Pause
        const auto row = [](const char *name, const QString &steps, bool start, bool pause,
                            int pauses) {
            QTest::newRow(name) << steps.split(' ', Qt::SkipEmptyParts) << start << pause << pauses;
        };
        row("at start", "", true, false, 0);
        row("start", "actionStart", false, true, 0);
        row("start, pause, start", "actionStart actionPause actionStart", false, true, 1);
        row("start, pause", "actionStart actionPause", true, false, 1);
        row("stop while running", "actionStart actionStop", true, false, 1);
        row("stop before any start", "actionStop", true, false, 0);
        // The view's keys S and T run and pause it too; the control must follow them.
        row("key S", "keyS", false, true, 0);
        row("key S, key T", "keyS keyT", true, false, 1);
        // Re-showing the group once showed Start and Pause (and Open and Crossed) together.
        row("group hidden and shown", "Mechanismtt Mechanismtt", true, false, 0);
        row("running, group hidden", "actionStart Mechanismtt", false, false, 0);
        // A pause while the group is hidden (Reset does this) must not show Start early.
        row("stopped while hidden", "actionStart Mechanismtt actionStop", false, false, 1);
        row("stopped while hidden, shown", "actionStart Mechanismtt actionStop Mechanismtt", true,
            false, 1);
    }
    void startPauseAndStopShareOnePlace() {
        QFETCH(QStringList, steps); QFETCH(bool, start); QFETCH(bool, pause); QFETCH(int, pauses);
        for (const char *name : {"actionStart", "actionStop", "actionSwap_Input_Dyad", "actionOpen",
                                 "actionCrossed"})
            QVERIFY2(!rig->act(name)->isEnabled(), name);
        QVERIFY(rig->main().runDemoNamed("RRRR"));
        const bool open = rig->main().dyadBranch()->getMechanism()->isCircuitOpen();
        QSignalSpy paused(rig->act("actionPause"), &QAction::triggered);
        for (const QString &s : steps)
            if (s.startsWith("key"))
                QTest::keyClick(rig->view(), s.endsWith('S') ? Qt::Key_S : Qt::Key_T);
            else
                rig->act(qPrintable(s))->trigger();
        if (steps.contains("keyS"))
            QCOMPARE(rig->view()->isAnimating(), pause);
        QCOMPARE(rig->act("actionStart")->isVisible(), start);
        QCOMPARE(rig->act("actionPause")->isVisible(), pause);
        QCOMPARE(rig->act("actionPause")->isEnabled(), pause);
        QVERIFY(!rig->act("actionStart")->isChecked() && !rig->act("actionPause")->isChecked());
        QCOMPARE(paused.count(), pauses);
        // The circuit command offers the circuit the mechanism is not on, when its group shows.
        QCOMPARE(rig->act(open ? "actionCrossed" : "actionOpen")->isVisible(), start || pause);
        QVERIFY(!rig->act(open ? "actionOpen" : "actionCrossed")->isVisible());
    }

    void toolbarGroupEntriesHideAndRestoreTheirCommands_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("toggle");  // the View > Toolbars entry that follows
        QTest::addColumn<QStringList>("commands");
        const QStringList synthesis{"actionInput_Positions"};
        const QStringList analysis{"actionInput_Mechanism", "actionEdit_Mechanism"};
        const QStringList mechanism{"actionSwap_Input_Dyad", "actionOpen", "actionStart",
                                    "actionStop"};
        QTest::newRow("Synthesis") << "Synthesistt" << "Synthesistt" << synthesis;
        QTest::newRow("Analysis") << "Analysistt" << "Analysistt" << analysis;
        QTest::newRow("Mechanism") << "Mechanismtt" << "Mechanismtt" << mechanism;
        QTest::newRow("Wokrspace") << "Wokrspacett" << "Wokrspacett"
                                   << QStringList{"actionToggle_Grid", "actionWorkSpace"};
        QTest::newRow("Mode > Synthesis") << "modeSynthesis" << "Synthesistt" << synthesis;
        QTest::newRow("Mode > Analysis") << "modeAnalysis" << "Analysistt" << analysis;
        QTest::newRow("Mode > Animation") << "modeAnimation" << "Mechanismtt" << mechanism;
    }
    void toolbarGroupEntriesHideAndRestoreTheirCommands() {
        QFETCH(QString, entry); QFETCH(QString, toggle); QFETCH(QStringList, commands);
        for (bool shown : {false, true}) {
            rig->act(qPrintable(entry))->trigger();
            QCOMPARE(rig->act(qPrintable(toggle))->isChecked(), shown);
            for (const QString &name : commands)
                QVERIFY2(rig->act(qPrintable(name))->isVisible() == shown, qPrintable(name));
            QVERIFY(rig->act("actionSynthesize")->isVisible());  // in no group
        }
    }

    void togglesShowAndHideTheirPart_data() {
        QTest::addColumn<QString>("on"); QTest::addColumn<QString>("off");
        QTest::addColumn<QString>("shown");
        QTest::newRow("synthesis tools dock") << "actionSynthesis_Tools" << "actionSynthesis_Tools"
                                              << "SynthesisToolsWidget";
        QTest::newRow("image space view") << "actionShowImg" << "actionShowImg" << "widget_Image";
        // Leaving the mode (the group unchecks it) takes the link editor away again.
        QTest::newRow("link editor") << "actionEdit_Mechanism" << "actionPan" << "editLinkDim";
        // The solution selector is offered only in tolerance mode.
        QTest::newRow("solution selector") << "actionSmartSynthesis" << "actionSmartSynthesis"
                                           << "aSol_Selector";
    }
    void togglesShowAndHideTheirPart() {
        QFETCH(QString, on); QFETCH(QString, off); QFETCH(QString, shown);
        rig->main().show();
        QVERIFY(rig->exposed());
        const auto isShown = [&]() {
            if (auto *a = rig->main().findChild<QAction *>(shown))
                return a->isVisible() && a->isEnabled();
            return rig->child<QWidget>(qPrintable(shown))->isVisible();
        };
        QVERIFY(!isShown());
        rig->act(qPrintable(on))->trigger();
        QVERIFY(isShown());
        QVERIFY(rig->view()->isVisible());
        QVERIFY(!rig->child<QDockWidget>("dockWidget")->isVisible());
        rig->act(qPrintable(off))->trigger();
        QVERIFY(!isShown());
    }

    void dimensionToggleSetsAndClearsShowDimensions() {
        QVERIFY(!showDimensions);
        rig->act("actionDimension")->trigger();
        QVERIFY(showDimensions);
        rig->act("actionDimension")->trigger();
        QVERIFY(!showDimensions);
    }
};

MS_REGISTER_TEST(MainWindowTest)
#include "MainWindowTest.moc"
