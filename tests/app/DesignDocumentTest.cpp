// The designer's work kept: a design saved and opened in a fresh window shows the same window,
// every user action is one undo step that puts the window back exactly, bad design files and
// failed saves leave everything as it was, and positions, settings and unsaved work outlast the
// window.
#include "PositionFileReader.h"
#include "WindowTestSupport.h"

#include <QFileDialog>
#include <QSettings>
#include <QStandardPaths>
#include <QUndoStack>

class DesignDocumentTest : public WindowTest {
    Q_OBJECT
    DesignDocument &document() const { return *window->designDocument(); }
    QByteArray state() const { return window->captureDesign().toJson(); }
    // The first line in which two states differ, for a readable failure.
    static QByteArray firstDifference(const QByteArray &a, const QByteArray &b) {
        const QList<QByteArray> x = a.split('\n'), y = b.split('\n');
        for (qsizetype i = 0; i < std::max(x.size(), y.size()); ++i)
            if (x.value(i) != y.value(i))
                return "line " + QByteArray::number(i + 1) + ": " + x.value(i) + " | " + y.value(i);
        return {};
    }
#define COMPARE_STATE(a, b) QVERIFY2((a) == (b), firstDifference(a, b).constData())
    QString undoText() const { return document().undoStack()->undoText(); }
    QByteArray read(const QString &name) const {
        QFile f(name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // What a user sees of a design, beside the state the document captures.
    QStringList shown(const Vendrel &w) const {
        const Synthesis_Widget &p = *w.synthesisPanel();
        QStringList seen{QString::number(w.task()->size()), w.dyadBranch()->getMechanismType(),
                         w.statusTaskText()};
        for (const QCheckBox *box : p.findChildren<QCheckBox *>())
            if (box->isVisibleTo(&w))
                seen << box->objectName() + (box->isChecked() ? " ticked" : "");
        if (const Mechanism *m = w.dyadBranch()->getMechanism(); m && m->isSet())
            seen << QString::number(m->isCircuitOpen())
                 << QString::number(std::remainder(m->getCounter(), 360.0), 'f', 9);
        return seen;
    }
    // The RRRP demo with the third dyad driving the first, on the crossed circuit, moved along,
    // in inches with other synthesis settings and a drawn dyad pair.
    void buildRichDesign() {
        act("actionRRRP")->trigger();
        QVERIFY(window->synthesisPanel()->choosePair(0, 2));
        act("actionSwap_Input_Dyad")->trigger();
        window->setMechanismCircuitascrossed();
        window->dyadBranch()->setMechanismInput(window->dyadBranch()->getMechanism()->getCounter() + 7.5);
        DesignFile d = window->captureDesign();
        d.unit = 'i';
        d.digits = 6;
        d.workspaceWidth = 30;
        d.thresholdExponent = -7;
        d.toleranceDeg = 4.5;
        d.resolution = 2;
        window->applyDesign(d);
        QVERIFY(window->synthesisPanel()->choosePair(0, 2));
    }

private slots:
    void cleanup() {
        unitLetter = 'm';
        significantDigits = 4;
        workspaceWidth = 20;
        workspaceHeight = 10;
        rig.reset();
    }

    void aSavedDesignOpensAsTheSameWindowAndSavesAgainByteForByte() {
        buildRichDesign();
        const QByteArray saved = state();
        const QStringList seen = shown(*window);
        QVERIFY(document().saveDesignTo("rich.msyn.json"));
        QCOMPARE(read("rich.msyn.json"), saved);
        QVERIFY(saved.startsWith("{\n  \"format\": \"mechsynth-design\",\n  \"version\": 1,"));
        QVERIFY(window->windowTitle().startsWith("rich.msyn.json"));
        QVERIFY(!window->isWindowModified());

        // A fresh window, with the process-wide settings back at their start values.
        unitLetter = 'm';
        significantDigits = 4;
        workspaceWidth = 20;
        Vendrel fresh;
        fresh.designDocument()->setAskBeforeDiscard(false);
        QVERIFY(fresh.designDocument()->openDesignFile(rig->dir().path() + "/rich.msyn.json"));
        COMPARE_STATE(fresh.captureDesign().toJson(), saved);
        QCOMPARE(shown(fresh), seen);
        QCOMPARE(unitLetter, 'i');
        QCOMPARE(significantDigits, 6);
        QVERIFY(!fresh.isWindowModified());
        QVERIFY(fresh.designDocument()->saveDesignTo(rig->dir().path() + "/again.msyn.json"));
        QCOMPARE(read("again.msyn.json"), saved);
        QCOMPARE(fresh.designDocument()->recentFiles().value(0),
                 QFileInfo("again.msyn.json").absoluteFilePath());
    }

    // Each action is one step named after it; Undo puts the state before back, Redo the state
    // after, and the window shows what it showed then.
    void everyActionIsOneStepThatUndoAndRedoPutBack_data() {
        QTest::addColumn<QString>("demo");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("step");
        QTest::newRow("click a position") << "actionRRRP" << "click" << "Add Position 6";
        QTest::newRow("drag a position") << "actionRRRP" << "drag" << "Move Position 3";
        QTest::newRow("type an angle") << "actionRRRP" << "type" << "Turn Position 2";
        QTest::newRow("delete a position") << "actionRRRP" << "delete" << "Delete Position 2";
        QTest::newRow("tick dyads") << "actionRRRP" << "tick" << "Choose Dyads D1 and D3";
        QTest::newRow("tick an exact RR") << "actionRRRP" << "tick exact" << "Choose Dyads D1 and the RR of D3";
        QTest::newRow("swap the input") << "actionRRRR" << "swap" << "Swap Input Dyad";
        QTest::newRow("crossed circuit") << "actionRRRR" << "circuit" << "Crossed Circuit";
        QTest::newRow("draw a line") << "actionRRRP" << "line" << "Draw Line";
        QTest::newRow("draw a dyad") << "actionRRRR" << "draw" << "Draw RR Dyad";
        QTest::newRow("workspace dialog") << "actionRRRP" << "workspace" << "Change Workspace Settings";
        QTest::newRow("threshold box") << "actionRRRP" << "threshold" << "Change Synthesis Settings";
    }
    void everyActionIsOneStepThatUndoAndRedoPutBack() {
        QFETCH(QString, demo); QFETCH(QString, action); QFETCH(QString, step);
        act(qPrintable(demo))->trigger();
        QVERIFY(!window->isWindowModified());
        QCOMPARE(document().undoStack()->count(), 0);
        QByteArray before = state();
        QStringList seenBefore = shown(*window);
        MechGLWidget *view = rig->view();
        const Motion &task = *window->task();
        if (action == "click" || action == "drag") {
            act(action == "click" ? "actionClick_to_Plot" : "actionPositionEdit")->trigger();
            const Pose p = poseOf(task, 2);
            const QPoint at = pixelOf(*view, p.x, p.y);
            if (action == "click")
                QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, at + QPoint(80, 90));
            else
                drag(view, at, at + QPoint(30, -20), 6);
        } else if (action == "type") {
            act("actionPositionEdit")->trigger();
            const Pose p = poseOf(task, 1);
            const QPoint at = pixelOf(*view, p.x, p.y);
            hover(view, at);
            QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, at);
            auto *angle = rig->child<QDoubleSpinBox>("angleSpinBox");
            angle->setFocus();
            angle->selectAll();
            QTest::keyClicks(angle, "47.5");  // four keys, one step
            QTest::keyClick(angle, Qt::Key_Enter);
        } else if (action == "delete") {
            act("actionPositionEdit")->trigger();
            const Pose p = poseOf(task, 1);
            hover(view, pixelOf(*view, p.x, p.y));
            view->setFocus();
            QTest::keyClick(view, Qt::Key_Delete);
        } else if (action.startsWith("tick")) {
            QVERIFY(window->synthesisPanel()->choosePair(
                0, action == "tick" ? 2 : Synthesis_Widget::boxCount + 2));
            document().recordStep();
        } else if (action == "swap" || action == "circuit") {
            act(action == "swap" ? "actionSwap_Input_Dyad" : "actionCrossed")->trigger();
            document().recordStep();
        } else if (action == "line") {
            act("action4_Position")->trigger();
            drag(view, pixelOf(*view, -6, -4), pixelOf(*view, 4, -3));
        } else if (action == "draw") {
            // The moving frame first, as its own step, which the test then forgets.
            act("actionMFselect")->trigger();
            drag(view, pixelOf(*view, 1, 1), pixelOf(*view, 2, 1.5));
            QTRY_VERIFY(window->dyadBranch()->isMovingFrameSet());
            QTRY_COMPARE(undoText(), QString("Place Moving Frame"));
            document().undoStack()->clear();
            before = state();
            seenBefore = shown(*window);
            act("actionRRselect")->trigger();
            drag(view, pixelOf(*view, -2, -3), pixelOf(*view, 0, 1));
        } else if (action == "workspace") {
            act("actionWorkSpace")->trigger();
            QDialog *dialog = WindowRig::shownDialog("Settings");
            QVERIFY(dialog);
            dialog->findChild<QDoubleSpinBox *>("Width")->setValue(33.0);
            QTest::mouseClick(dialog->findChild<QPushButton *>(), Qt::LeftButton);
        } else if (action == "threshold") {
            auto *threshold = rig->child<QSpinBox>("Threshold");
            threshold->setFocus();
            QTest::keyClick(threshold, Qt::Key_Down);
        }
        QTRY_COMPARE(undoText(), step);
        QCOMPARE(document().undoStack()->count(), 1);
        QVERIFY(window->isWindowModified());
        const QByteArray after = state();
        QVERIFY(after != before);
        const QStringList seenAfter = shown(*window);

        document().undoStack()->undo();
        COMPARE_STATE(state(), before);
        QCOMPARE(shown(*window), seenBefore);
        QVERIFY(!window->isWindowModified());
        document().undoStack()->redo();
        COMPARE_STATE(state(), after);
        QCOMPARE(shown(*window), seenAfter);
        // Undo itself is no new step.
        document().recordStep();
        QCOMPARE(document().undoStack()->count(), 1);
        if (action == "delete") {  // a second Delete key is a second step, not merged
            const Pose p = poseOf(task, 1);
            hover(view, pixelOf(*view, p.x, p.y));
            QTest::keyClick(view, Qt::Key_Delete);
            QTRY_COMPARE(undoText(), step);
            QTRY_COMPARE(document().undoStack()->count(), 2);
        }
    }

    // A refused file names what is wrong, in the window, and changes nothing.
    void aBadDesignFileIsRefusedAndTheDesignStays() {
        act("actionRRRP")->trigger();
        const QByteArray before = state();
        rig->dir().write("bad.msyn.json", before.left(before.size() / 2));
        QString said;
        ModalCloser closer([&](QWidget *w) {
            if (auto *box = qobject_cast<QMessageBox *>(w))
                said = box->text();
            w->close();
        });
        QVERIFY(!document().openDesignFile(rig->dir().path() + "/bad.msyn.json"));
        QTRY_VERIFY(said.contains("bad.msyn.json") && said.contains("not whole JSON"));
        QVERIFY(window->statusResultText().contains("not whole JSON"));
        COMPARE_STATE(state(), before);
        QVERIFY(document().filePath().isEmpty());
    }

    // A save into a folder that refuses it keeps the earlier file whole and the design unsaved.
    void aFailedSaveKeepsTheOldFileAndTheMark() {
        act("actionRRRP")->trigger();
        QDir().mkdir("locked");
        const QString file = QDir("locked").absoluteFilePath("task.msyn.json");
        QVERIFY(document().saveDesignTo(file));
        const QByteArray old = read(file);
        window->synthesisPanel()->choosePair(1, 2);
        document().recordStep();
        QVERIFY(window->isWindowModified());
        RefusingFolder refusing("locked");
        QVERIFY(refusing.refuses());
        ModalCloser closer([](QWidget *w) { w->close(); });
        QVERIFY(!document().saveDesign());
        QCOMPARE(read(file), old);
        QVERIFY(window->isWindowModified());
        QCOMPARE(QDir("locked").entryList(QDir::Files), QStringList{"task.msyn.json"});
    }

    // Saved positions read back as the same task, and saving them again gives the same bytes.
    void savedPositionsReadBackByteForByte() {
        std::vector<Pose> poses = crankRockerTask(6);
        poses[1].x = 1.0 / 3.0;
        QVERIFY(rig->load(poses));
        QVERIFY(document().savePositionsTo("first.txt"));
        const QByteArray before = state();
        QVERIFY(window->loadPositionFile("first.txt", 3));
        COMPARE_STATE(state(), before);
        QVERIFY(document().savePositionsTo("second.txt"));
        QCOMPARE(read("second.txt"), read("first.txt"));
        PositionFileReader reader;
        QVERIFY(reader.readFile("first.txt"));
        QCOMPARE(reader.records()[1].x, 1.0 / 3.0);
    }

    // Unsaved work is asked about before a demo replaces it; Cancel keeps it.
    void unsavedWorkIsAskedAboutAndCancelKeepsIt() {
        act("actionRRRP")->trigger();
        window->synthesisPanel()->choosePair(1, 2);
        document().recordStep();
        const QByteArray kept = state();
        document().setAskBeforeDiscard(true);
        QString asked;
        ModalCloser closer([&](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            QVERIFY(box);
            asked = box->informativeText();
            box->button(QMessageBox::Cancel)->click();
        });
        act("actionRRRR")->trigger();
        QVERIFY(asked.contains("open the demonstration"));
        QCOMPARE(state(), kept);
        act("action_Reset")->trigger();
        QCOMPARE(closer.seen(), 2);
        QCOMPARE(state(), kept);
        document().setAskBeforeDiscard(false);
    }

    // Settings outlast the window; unsaved work leaves a recovery file that a clean state removes.
    void settingsAndRecoveryOutlastTheWindow() {
        DesignFile d = window->captureDesign();
        d.workspaceHeight = 12.5;
        d.digits = 7;
        d.linkRatio = 5;
        window->applyDesign(d);
        document().recordStep();
        document().saveSettings();
        {
            Vendrel next;
            next.designDocument()->loadSettings();
            const DesignFile loaded = next.captureDesign();
            QCOMPARE(loaded.workspaceHeight, 12.5);
            QCOMPARE(loaded.digits, 7);
            QCOMPARE(loaded.linkRatio, 5);
        }
        // The first-start values come back as one step that undo takes back.
        act("actionRestore_Default_Settings")->trigger();
        QCOMPARE(window->captureDesign().digits, 4);
        QCOMPARE(window->captureDesign().linkRatio, 2);
        QCOMPARE(undoText(), QString("Change Workspace Settings"));
        document().undoStack()->undo();
        QCOMPARE(window->captureDesign().digits, 7);
        QSettings().clear();
        act("actionRRRP")->trigger();
        QVERIFY(!QFile::exists(DesignDocument::recoveryPath()));
        window->synthesisPanel()->choosePair(0, 3);
        document().recordStep();
        DesignFile recovered;
        QString why;
        QVERIFY2(recovered.readFile(DesignDocument::recoveryPath(), why), qPrintable(why));
        QCOMPARE(recovered.toJson(), state());
        document().undoStack()->undo();
        QVERIFY(!QFile::exists(DesignDocument::recoveryPath()));
    }
};

MS_REGISTER_TEST(DesignDocumentTest)
#include "DesignDocumentTest.moc"
