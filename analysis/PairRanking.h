// Every four-bar a synthesis offers: each pair of its dyads, and for two dyads of one kind both
// choices of the driving dyad (a crank-rocker driven by its rocker is another machine), each
// judged against the task and put in rank order.
#pragma once

#include "FourBarGeometry.h"
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
    // A four-bar to judge: its dyads' places in the list and its geometry, read from the dyads'
    // reference pivots. It outlives the dyads, so it can be judged after they are gone.
    struct Candidate {
        int input = 0;
        int output = 0;
        FourBarGeometry geometry;
    };

    // The rows of dyads (the synthesis's list, in its order) against the task's poses (x, y,
    // theta in degrees, in the user's order), best first by ranksBefore(); rows that rank alike
    // keep the order of their dyad indices. A pair of mixed kinds has one row, driven as the
    // four-bar forms it (RR before PR before RP). Null dyads are skipped.
    static std::vector<Row> rankAll(const std::vector<const Dyad *> &dyads,
                                    const std::vector<Point> &task);
    // The four-bars rankAll judges, in the order it judges them, unjudged.
    static std::vector<Candidate> candidates(const std::vector<const Dyad *> &dyads);
    // rankAll's first row (rank 1), judged to EvaluationScope::Ranking only; input and output
    // are -1 when there is no candidate or no task.
    static Row best(const std::vector<Candidate> &candidates, const std::vector<Point> &task);
};
