// Labels, formats and sort keys of a judged pair's cells, shared by the tables that list pairs.
#include "PairCells.h"

#include "EvaluationTolerances.h"
#include "NumericItem.h"

#include <QTableWidgetItem>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr double noValue = std::numeric_limits<double>::infinity();

double radians(double deg) { return deg * std::acos(-1.0) / 180.0; }

// An error below rounding of an exact fit shows as 0, as the ranking counts it; the tool tip
// keeps the computed value.
QTableWidgetItem *errorItem(double value, double relative) {
    if (!std::isfinite(value))
        return new NumericItem(PairCells::dash(), noValue);
    const bool exact = relative < tol::exactPoseError;
    auto *item = new NumericItem(exact ? QStringLiteral("0") : QString::number(value, 'g', 3),
                                 exact ? 0.0 : value);
    item->setToolTip(QString::number(value, 'g', 6));
    return item;
}

// Defect-free first, then by the number of defects; a pair not judged last.
QTableWidgetItem *defectsItem(const PairSummary &s) {
    if (!s.hasPair())
        return new NumericItem(PairCells::dash(), noValue);
    const QStringList names = s.defectNames();
    const QString text = !s.evaluated   ? QStringLiteral("not evaluated")
                         : s.defectFree ? QStringLiteral("✓ defect-free")
                                        : names.join(QStringLiteral(", "));
    auto *item = new NumericItem(text, s.evaluated ? static_cast<double>(names.size()) : noValue);
    item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return item;
}
} // namespace

const QString &PairCells::dash() {
    static const QString text = QStringLiteral("—");
    return text;
}

QTableWidgetItem *PairCells::header(Field f) {
    struct Label {
        const char *text;
        const char *tip;
    };
    static const Label labels[FieldCount] = {
        {"Input → output",
         "The synthesized dyads of the pair as the panel names them, the driving (input) dyad "
         "first"},
        {"Defects",
         "Circuit, branch and order defects against the task's positions in their order"},
        {"Worst |μ − 90°| (°)",
         "Transmission angle μ over the travel from the first to the last position: its largest "
         "deviation from 90° (0 best, 90 a dead centre)"},
        {"Max position error",
         "Largest distance between a task position and the coupler's point where the mechanism "
         "reaches it, in the task's units"},
        {"Max angle error (°)",
         "Largest difference between a task orientation and the coupler's where the mechanism "
         "reaches it"},
        {"Link ratio", "Longest over shortest link between two revolute joints"},
    };
    auto *item = new QTableWidgetItem(QString::fromUtf8(labels[f].text));
    item->setToolTip(QString::fromUtf8(labels[f].tip));
    return item;
}

QTableWidgetItem *PairCells::cell(Field f, const PairSummary &s) {
    const bool judged = s.hasPair() && s.evaluated;
    const double size = std::max(s.taskSize, std::numeric_limits<double>::min());
    switch (f) {
    case Pair:
        return new QTableWidgetItem(s.hasPair()
                                        ? QStringLiteral("D%1 → D%2").arg(s.input + 1).arg(s.output + 1)
                                        : dash());
    case Defects:
        return defectsItem(s);
    case Transmission: {
        const double deviation = judged ? s.transmissionDeviationDeg : noValue;
        return new NumericItem(std::isfinite(deviation) ? QString::number(deviation, 'f', 1) : dash(),
                               deviation);
    }
    case PositionError:
        return judged ? errorItem(s.maxPositionError, s.maxPositionError / size)
                      : new NumericItem(dash(), noValue);
    case AngleError:
        return judged ? errorItem(s.maxAngleErrorDeg, radians(s.maxAngleErrorDeg))
                      : new NumericItem(dash(), noValue);
    case LinkRatio:
    case FieldCount:
        break;
    }
    const bool ratio = s.hasPair() && std::isfinite(s.linkRatio) && s.linkRatio > 0.0;
    return new NumericItem(ratio ? QString::number(s.linkRatio, 'f', 2) : dash(),
                           ratio ? s.linkRatio : noValue);
}
