// The "Solution Filter" table: one row per record of the last tolerance sweep with its best
// pair judged as the Mechanisms table judges pairs, and the task of a clicked row made the
// current task. Each row carries the index of its record, so a click picks the right record
// however the user has sorted or filtered the table.
#include "Vendrel.h"

#include "ImageGLWidget.h"
#include "MechGLWidget.h"
#include "MechanismSynthesis.h"
#include "PairCells.h"
#include "ToleranceSolution.h"
#include "ui_Vendrel.h"

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QTableWidgetItem>
#include <cmath>

namespace {
constexpr int dyadColumns = 4;
constexpr int offsetColumn = 4;
constexpr int noteColumn = 5;
// The best pair's fields follow, in PairCells' order.
constexpr int firstPairColumn = 6;

QTableWidgetItem *solutionItem(const QString &text, int solution) {
    auto *item = new QTableWidgetItem(text);
    item->setData(Qt::UserRole, solution);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

// "+2.5 -1.0 0.0": how far the grid point turned each position from the task's orientation.
QString offsetsText(const std::vector<Point> &positions, const std::vector<double> &baseDeg) {
    QStringList parts;
    for (size_t i = 0; i < positions.size(); ++i) {
        const double offset = i < baseDeg.size() ? positions[i].z() - baseDeg[i] : 0.0;
        const double shown = std::fabs(offset) < 5e-7 ? 0.0 : offset;
        parts << (shown > 0.0 ? QStringLiteral("+") : QString()) + QString::number(shown, 'f', 2);
    }
    return parts.join(QLatin1Char(' '));
}
} // namespace

void Vendrel::solutionSelector() {
    QTableWidget *table = ui->SolutionWidget;
    // Rows go in unsorted: with sorting on, a row would move as soon as its first cell is set.
    // The header's sort applies again once every row is in.
    table->setSortingEnabled(false);
    emptySolutionTable();
    ui->dockWidget->show();
    const std::vector<ToleranceSolution> &records = synthesis->getTolSolutions();
    for (size_t k = 0; k < records.size(); ++k)
        addSolutionRow(static_cast<int>(k), records[k]);
    // A new list shows in the engine's order, the order of "TolSolutions.txt"; the user may sort
    // it by a column afterwards.
    table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table->setSortingEnabled(true);
    applySolutionFilter();
}

// The first four columns name the kinds of the record's dyads (up to four), the fifth how the
// grid point turned each position, the last why a row names no mechanism; every cell carries
// the record's index.
void Vendrel::addSolutionRow(int solution, const ToleranceSolution &record) {
    QTableWidget *table = ui->SolutionWidget;
    const int row = table->rowCount();
    table->insertRow(row);
    for (int c = 0; c < dyadColumns; ++c) {
        QTableWidgetItem *item = solutionItem(record.dyadKind(c), solution);
        item->setTextAlignment(Qt::AlignCenter);
        table->setItem(row, c, item);
    }
    table->setItem(row, offsetColumn,
                   solutionItem(offsetsText(record.positions, sweepBaseDeg), solution));
    QString note;
    if (record.dyadCount() < 2)
        note = record.dyadCount() == 1 ? tr("1 dyad: no mechanism")
                                       : tr("no dyad: no mechanism");
    table->setItem(row, noteColumn, solutionItem(note, solution));
    for (int f = 0; f < PairCells::FieldCount; ++f) {
        QTableWidgetItem *item = PairCells::cell(static_cast<PairCells::Field>(f), record.best);
        item->setData(Qt::UserRole, solution);
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        table->setItem(row, firstPairColumn + f, item);
    }
}

int Vendrel::recordOfSolutionRow(int row) const {
    const QTableWidgetItem *item = ui->SolutionWidget->item(row, 0);
    bool ok = false;
    const int solution = item ? item->data(Qt::UserRole).toInt(&ok) : -1;
    return ok ? solution : -1;
}

// With the box ticked only records whose best pair is defect-free stay in sight. The rows stay
// in the table, so the row-to-record mapping is as without the filter, and a sort carries a
// hidden row along with its record (the header keeps its hidden sections through a sort).
void Vendrel::applySolutionFilter() {
    QTableWidget *table = ui->SolutionWidget;
    const bool hide = ui->solutionFilterCheckBox->isChecked();
    for (int row = 0; row < table->rowCount(); ++row) {
        const ToleranceSolution *record = synthesis->tolSolutionAt(recordOfSolutionRow(row));
        table->setRowHidden(row, hide && !(record && record->best.defectFree));
    }
}

// The record of the clicked row becomes the task (its perturbed orientations included), and
// synthesis runs on it without a new sweep; clicked positions still join it, as after any task.
void Vendrel::displaySelectedSol(int row, int column) {
    const QTableWidgetItem *item = ui->SolutionWidget->item(row, column);
    bool ok = false;
    const int solution = item ? item->data(Qt::UserRole).toInt(&ok) : -1;
    const ToleranceSolution *record = ok ? synthesis->tolSolutionAt(solution) : nullptr;
    if (!record)
        return;
    // A copy: clearing the branch and the run below must not touch the record.
    const std::vector<Point> poses = record->positions;
    replaceTask({});
    cartesianView()->resetwidget();
    imageView()->resetwidget();
    hidePointEditor();
    // Each position joins both copies of the task as a clicked one would, time parameter 0.
    for (const Point &p : poses)
        ss_position_input_mouseclick(p.x(), p.y(), p.z(), 0);
    cartesianView()->setupPointList(synthesis->getPointList());
    toSynthesizeWithoutTol();
    emit dataChanged();
}

// The end of a sweep and the "Solution Selector" command both fill the table; a click on any
// cell of a row chooses that row's record. The sweep's progress dialog is connected earlier, so
// it closes before the table is filled.
void Vendrel::connectSolutionTable() {
    QTableWidget *table = ui->SolutionWidget;
    table->setColumnCount(firstPairColumn + PairCells::FieldCount);
    for (int f = 0; f < PairCells::FieldCount; ++f)
        table->setHorizontalHeaderItem(firstPairColumn + f,
                                       PairCells::header(static_cast<PairCells::Field>(f)));
    QTableWidgetItem *best = table->horizontalHeaderItem(firstPairColumn + PairCells::Pair);
    best->setText(tr("Best pair (input → output)"));
    best->setToolTip(tr("The record's best four-bar as the Mechanisms table ranks its pairs: "
                        "defect-free first, then the smaller pose error, then the transmission "
                        "angle nearer 90°"));
    connect(ui->solutionFilterCheckBox, &QCheckBox::toggled, this, &Vendrel::applySolutionFilter);
    // A sweep that was refused (too many positions, a missing line) ends without records: the
    // table then stays as it is instead of popping up empty. A sweep that ran leaves the branch
    // with the dyads of its last grid point, made for orientations the view does not show, so
    // synthesis runs once more on the task as given: the view and the status bar describe the
    // positions on screen, and the records stay for the table, where a click takes one as the
    // task.
    connect(synthesis.get(), &MechanismSynthesis::tolSynthesisDone, this, [this]() {
        if (synthesis->getTolSolutions().empty())
            return;
        toSynthesizeWithoutTol();
        solutionSelector();
    });
    connect(ui->aSol_Selector, &QAction::triggered, this, &Vendrel::solutionSelector);
    connect(ui->SolutionWidget, &QTableWidget::cellClicked, this, &Vendrel::displaySelectedSol);
}
