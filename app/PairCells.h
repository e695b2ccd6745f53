// The cells of a judged four-bar as the Mechanisms table and the Solution Filter show them.
#pragma once

#include "PairSummary.h"

#include <QString>

class QTableWidgetItem;

// One place for the labels, the number formats and the sort keys of a pair's judgement, so a
// sweep record's best pair reads exactly as the same pair's row in the Mechanisms table.
// Every numeric cell sorts by its number (NumericItem), a dash (not judged) last.
class PairCells {
public:
    enum Field { Pair, Defects, Transmission, PositionError, AngleError, LinkRatio, FieldCount };

    // The column's header: its label and a tool tip saying what the number means.
    static QTableWidgetItem *header(Field f);
    // The cell of field f for the pair s; a dash where s has no pair or was not judged (the link
    // ratio shows whenever the pair has one).
    static QTableWidgetItem *cell(Field f, const PairSummary &s);
    static const QString &dash();
};
