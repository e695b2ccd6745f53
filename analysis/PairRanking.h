// Every four-bar a synthesis offers: each pair of its dyads, and for two dyads of one kind both
// choices of the driving dyad (a crank-rocker driven by its rocker is another machine), each
// judged against the task and put in rank order.
#pragma once

#include "PairEvaluation.h"

#include <vector>

class Dyad;

class PairRanking {
public:
    struct Row {
        int input = 0;   // 0-based index of the driving dyad in the synthesis's list
        int output = 0;  // 0-based index of the other dyad
        int rank = 0;    // 1 = best
        PairEvaluation evaluation;
    };

    // The rows of dyads (the synthesis's list, in its order) against the task's poses (x, y,
    // theta in degrees, in the user's order), best first by ranksBefore(); rows that rank alike
    // keep the order of their dyad indices. A pair of mixed kinds has one row, driven as the
    // four-bar forms it (RR before PR before RP). Null dyads are skipped.
    static std::vector<Row> rankAll(const std::vector<const Dyad *> &dyads,
                                    const std::vector<Point> &task);
};
