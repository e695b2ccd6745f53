// The "Mechanisms" table: every pair of the last synthesis's dyads as a four-bar, judged against
// the task (defects, transmission angle, pose error), ranked best first, and chosen with a click.
#include "MechanismTable.h"

#include "Branch.h"
#include "Dyad.h"
#include "EvaluationTolerances.h"
#include "FourBarGeometry.h"
#include "Mechanism.h"
#include "NumericItem.h"
#include "PairCells.h"
#include "PairRanking.h"
#include "Synthesis_Widget.h"

#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTableWidgetItem>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {
enum Column { RankColumn, DyadsColumn, TypeColumn, ClassColumn, DefectsColumn,
              TransmissionColumn, PositionColumn, AngleColumn, RatioColumn, ColumnCount };
// Each cell carries its pair's index (a click finds the pair however the table is sorted) and,
// in numeric columns, the number it sorts by (NumericItem).
constexpr int pairRole = Qt::UserRole;
constexpr double noValue = std::numeric_limits<double>::infinity();
// The columns PairCells fills, and where they stand here.
constexpr std::pair<int, PairCells::Field> sharedColumns[] = {
    {DyadsColumn, PairCells::Pair},           {DefectsColumn, PairCells::Defects},
    {TransmissionColumn, PairCells::Transmission}, {PositionColumn, PairCells::PositionError},
    {AngleColumn, PairCells::AngleError},     {RatioColumn, PairCells::LinkRatio}};
// Class names run to 45 letters ("Non Grashof ... Triple Rocker"): the column shows their start
// and the tool tip the whole name, so the numbers stay in sight in a dock of half the window.
constexpr int classColumnWidth = 170;

QString positionList(const std::vector<int> &positions) {
    QStringList names;
    for (int p : positions)
        names << QString::number(p + 1);
    return names.join(QStringLiteral(", "));
}

// Which positions lie on which circuit, and which cannot be reached at all.
QString circuitReason(const PairEvaluation &e) {
    std::vector<std::vector<int>> byCircuit;
    std::vector<int> unreached;
    for (size_t i = 0; i < e.poses.size(); ++i) {
        const int c = e.poses[i].circuit;
        if (c < 0) {
            unreached.push_back(static_cast<int>(i));
            continue;
        }
        if (static_cast<size_t>(c) >= byCircuit.size())
            byCircuit.resize(static_cast<size_t>(c) + 1);
        byCircuit[static_cast<size_t>(c)].push_back(static_cast<int>(i));
    }
    QStringList parts;
    for (size_t c = 0; c < byCircuit.size(); ++c)
        if (!byCircuit[c].empty())
            parts << QStringLiteral("positions %1 on circuit %2")
                         .arg(positionList(byCircuit[c]))
                         .arg(c + 1);
    if (!unreached.empty())
        parts << QStringLiteral("positions %1 out of reach").arg(positionList(unreached));
    return QStringLiteral("Circuit defect: %1; the linkage would have to be taken apart to "
                          "reach them all.")
        .arg(parts.join(QStringLiteral(", ")));
}

QString branchReason(const PairEvaluation &e) {
    QStringList steps;
    for (size_t i = 1; i < e.poses.size(); ++i) {
        const PairEvaluation::PoseReach &a = e.poses[i - 1], &b = e.poses[i];
        if (a.circuit >= 0 && a.circuit == b.circuit && a.branch != b.branch)
            steps << QStringLiteral("%1 and %2").arg(i).arg(i + 1);
    }
    return QStringLiteral("Branch defect: between positions %1 the driver would have to pass "
                          "a dead centre, where it stalls.")
        .arg(steps.join(QStringLiteral(", ")));
}

QString defectsTip(const MechanismTable::Pair &p) {
    const PairEvaluation &e = p.evaluation;
    if (!p.refusal.isEmpty())
        return p.refusal;
    if (!e.evaluated)
        return QStringLiteral("The task has no positions to judge this pair against.");
    if (e.defectFree)
        return QStringLiteral("Reaches every position on one circuit and one branch, in the "
                              "task's order, with the driver moving one way.");
    QStringList lines;
    if (e.circuitDefect)
        lines << circuitReason(e);
    if (e.branchDefect)
        lines << branchReason(e);
    if (e.orderDefect)
        lines << QStringLiteral("Order defect: with the driver moving one way the positions are "
                                "not met in the task's order.");
    return lines.join(QLatin1Char('\n'));
}

QString transmissionTip(const PairEvaluation &e) {
    const PairEvaluation::TransmissionAngle &mu = e.transmissionAngle;
    return QStringLiteral("μ from the first to the last position: %1° to %2°\n"
                          "μ over the whole circuit: %3° to %4°")
        .arg(mu.taskMinDeg, 0, 'f', 1)
        .arg(mu.taskMaxDeg, 0, 'f', 1)
        .arg(mu.cycleMinDeg, 0, 'f', 1)
        .arg(mu.cycleMaxDeg, 0, 'f', 1);
}

} // namespace

MechanismTable::MechanismTable(QTableWidget *table, QLabel *emptyNote, Branch *branch,
                               Synthesis_Widget *panel, QObject *parent)
    : QObject(parent), table(table), emptyNote(emptyNote), branch(branch), panel(panel) {
    for (const auto &[column, field] : sharedColumns)
        table->setHorizontalHeaderItem(column, PairCells::header(field));
    table->verticalHeader()->hide();
    table->setWordWrap(false);
    table->horizontalHeader()->setSortIndicator(RankColumn, Qt::AscendingOrder);
    // The mouse and the keyboard both move the current row; a click on the current row chooses
    // it again after the panel chose another pair.
    connect(table, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int, int) { chooseRow(row); });
    connect(table, &QTableWidget::cellClicked, this, [this](int row, int) { chooseRow(row); });
    connect(branch, &Branch::dyadListChanged, this, &MechanismTable::forgetIfStale);
    connect(branch, &Branch::mechanismUpdated, this, &MechanismTable::showChosenPair);
    clearRows();
}

// ---- Judging --------------------------------------------------------------------------------

std::vector<MechanismTable::Pair> MechanismTable::judgePairs(const Branch &b, int dyadLimit) {
    const std::vector<Point> &task = b.getPointList();  // x, y, theta degrees, user's order
    const int n = std::min(b.synthesizedDyadCount(), dyadLimit);
    std::vector<const Dyad *> dyads;
    for (int k = 0; k < n; ++k)
        dyads.push_back(b.dyadAt(k));
    std::vector<Pair> pairs;
    // The ranking lists the machines best first; a pair this tool does not analyse comes last,
    // once, with the reason instead of a rank.
    for (const PairRanking::Row &r : PairRanking::rankAll(dyads, task)) {
        const Dyad &input = *b.dyadAt(r.input), &output = *b.dyadAt(r.output);
        Pair p;
        p.input = r.input;
        p.output = r.output;
        p.type = input.typeName() + output.typeName();
        if (Branch::isAnalysedType(p.type)) {
            p.evaluation = r.evaluation;
            p.rank = r.rank;
        } else {
            const bool listed = std::any_of(pairs.begin(), pairs.end(), [&r](const Pair &q) {
                return q.input == r.output && q.output == r.input;
            });
            if (listed)
                continue;
            p.refusal = QStringLiteral("%1 + %2 is not one of the four-bars this tool analyses "
                                       "(RRRR, RRRP, RRPR, PRRP, PRPR).")
                            .arg(input.typeName(), output.typeName());
        }
        pairs.push_back(std::move(p));
    }
    return pairs;
}

// ---- Rows -----------------------------------------------------------------------------------

void MechanismTable::refresh() {
    const QSignalBlocker blocker(table);
    // Rows go in unsorted: with sorting on, a row would move as soon as its first cell is set.
    table->setSortingEnabled(false);
    table->clearContents();
    table->setRowCount(0);
    pairList = branch ? judgePairs(*branch, Synthesis_Widget::boxCount) : std::vector<Pair>();
    judgedDyadCount = branch ? branch->synthesizedDyadCount() : 0;
    for (size_t k = 0; k < pairList.size(); ++k)
        addRow(static_cast<int>(k));
    table->setSortingEnabled(true);
    table->resizeColumnsToContents();
    table->setColumnWidth(ClassColumn, std::min(table->columnWidth(ClassColumn), classColumnWidth));
    emptyNote->setVisible(pairList.empty());
    showChosenPair();
}

void MechanismTable::clearRows() {
    const QSignalBlocker blocker(table);
    table->clearContents();
    table->setRowCount(0);
    pairList.clear();
    judgedDyadCount = 0;
    emptyNote->show();
}

// A run starts by clearing the list and adds its dyads one by one: the rows, which name dyads
// by their place, go at the first change and return with the finished run (refresh). A drawn
// dyad leaves the synthesized list as it is and the rows with it.
void MechanismTable::forgetIfStale() {
    if (!branch || branch->synthesizedDyadCount() != judgedDyadCount)
        clearRows();
}

void MechanismTable::addRow(int k) {
    const Pair &p = pairList[static_cast<size_t>(k)];
    const PairEvaluation &e = p.evaluation;
    const bool best = p.rank == 1 && e.evaluated;
    const bool judged = p.refusal.isEmpty() && e.evaluated;
    const PairSummary summary = PairSummary::of(p.input, p.output, e);
    const int row = table->rowCount();
    table->insertRow(row);
    std::vector<QTableWidgetItem *> cells(ColumnCount, nullptr);
    cells[RankColumn] = new NumericItem(best ? QStringLiteral("★ best") : p.rank > 0
                                                   ? QString::number(p.rank) : PairCells::dash(),
                                        p.rank > 0 ? p.rank : noValue);
    for (const auto &[column, field] : sharedColumns)
        cells[static_cast<size_t>(column)] = PairCells::cell(field, summary);
    cells[TypeColumn] = new QTableWidgetItem(p.type);
    cells[ClassColumn] = new QTableWidgetItem(e.className);
    cells[ClassColumn]->setToolTip(e.className);
    if (!p.refusal.isEmpty())
        cells[DefectsColumn]->setText(QStringLiteral("refused"));
    cells[DefectsColumn]->setToolTip(defectsTip(p));
    if (judged)
        cells[TransmissionColumn]->setToolTip(transmissionTip(e));
    for (int c = 0; c < ColumnCount; ++c) {
        QTableWidgetItem *item = cells[static_cast<size_t>(c)];
        item->setData(pairRole, k);
        // A refused pair shows greyed out and cannot be chosen; its reason is in the tool tip.
        item->setFlags(p.refusal.isEmpty() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled
                                           : Qt::NoItemFlags);
        if (!p.refusal.isEmpty() && c != DefectsColumn)
            item->setToolTip(p.refusal);
        if (best) {
            QFont bold = item->font();
            bold.setBold(true);
            item->setFont(bold);
        }
        table->setItem(row, c, item);
    }
    if (best)
        cells[RankColumn]->setToolTip(QStringLiteral(
            "The best pair: defect-free first, then the smaller pose error, then the "
            "transmission angle nearer 90°"));
}

int MechanismTable::pairOfRow(int row) const {
    const QTableWidgetItem *item = row >= 0 ? table->item(row, 0) : nullptr;
    bool ok = false;
    const int k = item ? item->data(pairRole).toInt(&ok) : -1;
    return ok && k >= 0 && k < static_cast<int>(pairList.size()) ? k : -1;
}

// ---- Choosing -------------------------------------------------------------------------------

bool MechanismTable::isChosen(const Pair &p) const {
    const Mechanism *m = branch ? branch->getMechanism() : nullptr;
    return m && m->isSet() && m->getInputDyad() == branch->dyadAt(p.input)
           && m->getOutputDyad() == branch->dyadAt(p.output);
}

void MechanismTable::chooseRow(int row) {
    const int k = pairOfRow(row);
    if (k >= 0)
        choose(k);
}

bool MechanismTable::choose(int k) {
    if (k < 0 || k >= static_cast<int>(pairList.size()) || !branch || !panel)
        return false;
    const Pair &p = pairList[static_cast<size_t>(k)];
    if (!p.refusal.isEmpty())
        return false;
    if (isChosen(p))
        return true;
    choosing = true;
    // The panel forms the pair with the lower box as the driver (for two dyads of one kind);
    // the other driver is the "Swap Input Dyad" command's.
    const bool ticked = panel->choosePair(std::min(p.input, p.output),
                                          std::max(p.input, p.output));
    const Mechanism *m = branch->getMechanism();
    if (ticked && m->isSet() && m->getInputDyad() != branch->dyadAt(p.input))
        branch->swapInputDyad();
    choosing = false;
    showChosenPair();
    return isChosen(p);
}

// The row of the mechanism the branch now has is the current one; none when the mechanism is
// not a pair of the table (drawn dyads, an alternative, no mechanism).
void MechanismTable::showChosenPair() {
    if (choosing)
        return;
    const QSignalBlocker blocker(table);
    for (int row = 0; row < table->rowCount(); ++row) {
        const int k = pairOfRow(row);
        if (k >= 0 && isChosen(pairList[static_cast<size_t>(k)])) {
            table->setCurrentCell(row, table->currentColumn() < 0 ? 0 : table->currentColumn());
            table->selectRow(row);
            return;
        }
    }
    table->setCurrentItem(nullptr);
    table->clearSelection();
}
