// The "Solution Filter" table after a tolerance sweep: one row per record, named by the kinds of
// its dyads, and a clicked row makes its own record the task however the table is sorted.
#include "WindowTestSupport.h"

#include <QHeaderView>
#include <set>

class SolutionTableTest : public WindowTest {
    Q_OBJECT
    QTableWidget *table() const { return rig->child<QTableWidget>("SolutionWidget"); }
    MechanismSynthesis *engine() const { return rig->main().synthesisEngine(); }
    // Turns tolerance mode on as the user does: the tolerance dialog opens, takes its two values
    // and is confirmed, and the sweep runs on the task.
    void sweep(double toleranceDeg, int resolution) {
        rig->act("actionSmartSynthesis")->trigger();
        QDialog *dialog = WindowRig::shownDialog("Tolerance Spec");
        QVERIFY(dialog != nullptr);
        dialog->findChild<QDoubleSpinBox *>("OTol")->setValue(toleranceDeg);
        dialog->findChild<QSpinBox *>("TolRes")->setValue(resolution);
        dialog->accept();
    }
    // The record a row stands for, from the index every cell of the row carries.
    int recordOfRow(int row) const {
        const QTableWidgetItem *item = table()->item(row, 0);
        bool ok = false;
        const int k = item ? item->data(Qt::UserRole).toInt(&ok) : -1;
        return ok ? k : -1;
    }

private slots:
    void tableListsEveryRecordAndASortedClickTakesItsOwn() {
        QVERIFY(rig->load(crankRockerTask(5)));
        QSignalSpy swept(engine(), &MechanismSynthesis::tolSynthesisDone);
        sweep(10.0, 1);
        QCOMPARE(swept.count(), 1);
        // 5 orientations, each at -10, 0 and +10 degrees.
        QCOMPARE(engine()->tolSolutionCount(), 243);
        QVERIFY(rig->child<QDockWidget>("dockWidget")->isVisible());
        // Regression: the view went on showing the last grid point's mechanism, turned 10
        // degrees away from the positions on screen. It shows the task as given.
        const Mechanism *shown = rig->main().dyadBranch()->getMechanism();
        QVERIFY(shown->isSet());
        QVERIFY(std::fabs(shown->couplerPoint().z() - poseOf(*rig->main().task(), 0).thetaDeg) <
                1e-6);
        QCOMPARE(table()->rowCount(), engine()->tolSolutionCount());
        std::set<int> listed;
        bool sawTwo = false, sawFour = false;
        for (int r = 0; r < table()->rowCount(); ++r) {
            const int k = recordOfRow(r);
            const ToleranceSolution *record = engine()->tolSolutionAt(k);
            QVERIFY2(record, qPrintable(QString("row %1").arg(r)));
            listed.insert(k);
            // A new list is in the engine's order, as "TolSolutions.txt" has it.
            QCOMPARE(k, r);
            const int n = record->dyadCount();
            sawTwo = sawTwo || (n >= 2 && n < 4);
            sawFour = sawFour || n >= 4;
            // Two dyads name columns 0 and 1, four also 2 and 3; the rest stays empty.
            const int shown = n >= 4 ? 4 : n >= 2 ? 2 : 0;
            for (int c = 0; c < 4; ++c) {
                const QString expected =
                    c < shown ? record->dyadKind(c) : QString();
                QCOMPARE(table()->item(r, c)->text(), expected);
                QCOMPARE(table()->item(r, c)->data(Qt::UserRole).toInt(), k);
            }
        }
        QCOMPARE(int(listed.size()), engine()->tolSolutionCount());
        QVERIFY(sawTwo && sawFour);
        // Regression: a click passed the row's place, which after a sort names another record.
        // The user sorts by "Dyad 3": records with fewer than four dyads move to the top.
        QHeaderView *header = table()->horizontalHeader();
        const QPoint onDyad3(header->sectionViewportPosition(2) + header->sectionSize(2) / 2,
                             header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, onDyad3);
        QCOMPARE(header->sortIndicatorSection(), 2);
        int row = -1;
        for (int r = table()->rowCount() - 1; r >= 0 && row < 0; --r)
            if (recordOfRow(r) != r && engine()->tolSolutionAt(recordOfRow(r))->dyadCount() >= 2)
                row = r;
        QVERIFY2(row >= 0, "sorting moved no record with dyads");
        const int k = recordOfRow(row);
        const ToleranceSolution record = *engine()->tolSolutionAt(k);
        QStringList recordKinds;
        for (int c = 0; c < record.dyadCount(); ++c)
            recordKinds << record.dyadKind(c);

        QSignalSpy done = runsOf(rig->main());
        swept.clear();
        const QRect cell = table()->visualItemRect(table()->item(row, 1));
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());

        // Both copies of the task are the record's positions, in its order.
        const Motion &task = *rig->main().task();
        const arma::mat &rows = engine()->getData();
        QCOMPARE(task.size(), int(record.positions.size()));
        QCOMPARE(int(rows.n_rows), task.size());
        for (int i = 0; i < task.size(); ++i) {
            const Point &want = record.positions[size_t(i)];
            const Pose got = poseOf(task, i);
            QVERIFY(std::fabs(got.x - want.x()) < 1e-9 && std::fabs(got.y - want.y()) < 1e-9);
            // Degrees reach the motion through the input paths' 3.141592653/180.
            QVERIFY(sameAngle(got.thetaDeg, want.z(), 1e-6));
            QCOMPARE(rows(arma::uword(i), 0), want.x());
            QCOMPARE(rows(arma::uword(i), 1), want.y());
            QCOMPARE(rows(arma::uword(i), 2), want.z());
        }
        QCOMPARE(task.currentIndex, task.size() - 1);
        // One plain run on those positions, no new sweep: the same dyads as the record's run.
        QCOMPARE(done.count(), 1);
        QCOMPARE(swept.count(), 0);
        QStringList branchKinds;
        for (const Dyad *d : rig->main().dyadBranch()->getDyadListCpy())
            branchKinds << d->typeName();
        QCOMPARE(branchKinds, recordKinds);
        // The table still lists the sweep.
        QCOMPARE(table()->rowCount(), engine()->tolSolutionCount());
        table()->setRowCount(0);
        rig->child<QDockWidget>("dockWidget")->hide();
        QVERIFY(rig->act("aSol_Selector")->isEnabled());
        rig->act("aSol_Selector")->trigger();
        QCOMPARE(table()->rowCount(), engine()->tolSolutionCount());
        for (int r = 0; r < table()->rowCount(); ++r)
            QCOMPARE(recordOfRow(r), r);
        QVERIFY(rig->child<QDockWidget>("dockWidget")->isVisible());
    }

    // Each row shows its record's best pair; sorted by the worst transmission angle the rows
    // follow the records' numbers, and the hide box hides exactly the rows whose record's best
    // pair has a defect (or no pair), before and after another sort.
    void bestPairColumnsSortAndFilterByTheirRecords() {
        QVERIFY(rig->load(crankRockerTask(5)));
        sweep(20.0, 1);
        QCOMPARE(table()->rowCount(), engine()->tolSolutionCount());
        constexpr int pairColumn = 6, defectsColumn = 7, transmissionColumn = 8;
        QCOMPARE(table()->horizontalHeaderItem(transmissionColumn)->text(),
                 rig->child<QTableWidget>("mechanismsTable")->horizontalHeaderItem(5)->text());
        table()->sortByColumn(transmissionColumn, Qt::AscendingOrder);
        double last = -1.0;
        int withDefect = 0;
        for (int r = 0; r < table()->rowCount(); ++r) {
            const PairSummary &best = engine()->tolSolutionAt(recordOfRow(r))->best;
            for (int c = 0; c < table()->columnCount(); ++c)
                QCOMPARE(table()->item(r, c)->data(Qt::UserRole).toInt(), recordOfRow(r));
            const double deviation = best.evaluated ? best.transmissionDeviationDeg : INFINITY;
            QVERIFY2(deviation >= last, qPrintable(QString("row %1").arg(r)));
            last = deviation;
            withDefect += !best.defectFree;
            if (best.hasPair())
                QCOMPARE(table()->item(r, pairColumn)->text(),
                         QString("D%1 → D%2").arg(best.input + 1).arg(best.output + 1));
        }
        QVERIFY2(withDefect > 0 && withDefect < table()->rowCount(), "the sweep gives both kinds");
        auto *hide = rig->child<QCheckBox>("solutionFilterCheckBox");
        QVERIFY(hide->isVisible());
        for (int column : {-1, defectsColumn, 1}) {
            if (column < 0)
                hide->setChecked(true);
            else
                table()->sortByColumn(column, Qt::DescendingOrder);
            int hidden = 0;
            for (int r = 0; r < table()->rowCount(); ++r) {
                const bool defectFree = engine()->tolSolutionAt(recordOfRow(r))->best.defectFree;
                QCOMPARE(table()->isRowHidden(r), !defectFree);
                hidden += table()->isRowHidden(r);
            }
            QCOMPARE(hidden, withDefect);
        }
        hide->setChecked(false);
        for (int r = 0; r < table()->rowCount(); ++r)
            QVERIFY(!table()->isRowHidden(r));
    }

    // Regression: a file or demo read after a sweep kept the old records listed, and a click on one
    // replaced the new task with a record of the old one.
    void loadingANewTaskForgetsTheOldSweep() {
        QVERIFY(rig->load(crankRockerTask(5)));
        sweep(5.0, 1);
        QVERIFY(table()->rowCount() > 0);
        QAction *smart = rig->act("actionSmartSynthesis");
        smart->trigger();
        QVERIFY(!smart->isChecked());
        QVERIFY(rig->main().runDemoNamed(QStringLiteral("RRRR")));
        QCOMPARE(engine()->tolSolutionCount(), 0);
        QCOMPARE(table()->rowCount(), 0);
        // The demo's task stays the task.
        const int demoPositions = rig->main().task()->size();
        QVERIFY(demoPositions >= 5);
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        QCOMPARE(rig->main().task()->size(), demoPositions);
    }

    // Regression: a sweep refused for its count of positions popped up an empty table.
    void aRefusedSweepLeavesTheTableClosed() {
        QVERIFY(rig->load(crankRockerTask(6)));
        QDockWidget *dock = rig->child<QDockWidget>("dockWidget");
        QVERIFY(!dock->isVisible());
        QSignalSpy swept(engine(), &MechanismSynthesis::tolSynthesisDone);
        sweep(5.0, 1);
        QCOMPARE(swept.count(), 1);
        QCOMPARE(engine()->tolSolutionCount(), 0);
        QVERIFY(!dock->isVisible());
    }
};

MS_REGISTER_TEST(SolutionTableTest)
#include "SolutionTableTest.moc"
