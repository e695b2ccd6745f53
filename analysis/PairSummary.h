// The few numbers of a pair's judgement that a list of many syntheses keeps for each: which pair,
// its defects, its worst transmission angle and its largest pose errors.
#pragma once

#include "PairEvaluation.h"

#include <QStringList>
#include <limits>

// What a table row or a sweep record shows of a PairEvaluation, without its per-pose detail
// (tens of bytes instead of hundreds).
struct PairSummary {
    int input = -1;   // 0-based places of the dyads in the synthesis's list; -1: no pair
    int output = -1;
    bool evaluated = false;
    bool circuitDefect = false;
    bool branchDefect = false;
    bool orderDefect = false;
    bool defectFree = false;
    // transmissionDeviationDeg(): the largest |mu - 90| over the task's travel, infinite when
    // the pair was not judged.
    double transmissionDeviationDeg = std::numeric_limits<double>::infinity();
    double maxPositionError = 0.0;   // task units
    double maxAngleErrorDeg = 0.0;
    double linkRatio = std::numeric_limits<double>::quiet_NaN();
    double taskSize = 0.0;           // what a position error is exact against

    static PairSummary of(int input, int output, const PairEvaluation &e) {
        PairSummary s;
        s.input = input;
        s.output = output;
        s.evaluated = e.evaluated;
        s.circuitDefect = e.circuitDefect;
        s.branchDefect = e.branchDefect;
        s.orderDefect = e.orderDefect;
        s.defectFree = e.defectFree;
        s.transmissionDeviationDeg = ::transmissionDeviationDeg(e);
        s.maxPositionError = e.maxPositionError;
        s.maxAngleErrorDeg = e.maxAngleErrorDeg;
        s.linkRatio = e.linkRatio;
        s.taskSize = e.taskSize;
        return s;
    }
    bool hasPair() const { return input >= 0 && output >= 0; }
    QStringList defectNames() const {
        return ::defectNames(circuitDefect, branchDefect, orderDefect);
    }
};
