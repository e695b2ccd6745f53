// The ranking of the four-bars a synthesis's dyads form: all of them for the Mechanisms table,
// or only the best for a tolerance sweep's records.
#include "PairRanking.h"

#include "Dyad.h"

#include <algorithm>

std::vector<PairRanking::Candidate> PairRanking::candidates(const std::vector<const Dyad *> &dyads) {
    std::vector<Candidate> list;
    const int n = static_cast<int>(dyads.size());
    for (int i = 0; i < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            const Dyad *a = dyads[static_cast<size_t>(i)];
            const Dyad *b = dyads[static_cast<size_t>(j)];
            if (!a || !b)
                continue;
            // The geometry orders mixed kinds itself (RR before PR before RP), so only a
            // same-kind pair has a second machine: the other dyad driving.
            const bool swapped = inputRanksAfterOutput(*a, *b);
            list.push_back({swapped ? j : i, swapped ? i : j,
                            fourBarGeometryOf(swapped ? *b : *a, swapped ? *a : *b, true)});
            if (a->typeName() == b->typeName())
                list.push_back({j, i, fourBarGeometryOf(*b, *a, true)});
        }
    }
    return list;
}

std::vector<PairRanking::Row> PairRanking::rankAll(const std::vector<const Dyad *> &dyads,
                                                   const std::vector<Point> &task) {
    std::vector<Row> rows;
    if (task.empty())
        return rows;
    for (const Candidate &c : candidates(dyads)) {
        Row row;
        row.input = c.input;
        row.output = c.output;
        row.evaluation = evaluatePair(c.geometry, task.front(), task);
        rows.push_back(std::move(row));
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row &x, const Row &y) {
        return ranksBefore(x.evaluation, y.evaluation);
    });
    for (size_t k = 0; k < rows.size(); ++k)
        rows[k].rank = static_cast<int>(k) + 1;
    return rows;
}

// A stable sort puts first the earliest row that no other ranks before: the same row is kept
// here by replacing the best only with one that ranks strictly before it.
PairRanking::Row PairRanking::best(const std::vector<Candidate> &candidates,
                                   const std::vector<Point> &task) {
    Row best;
    best.input = best.output = -1;
    if (task.empty())
        return best;
    for (const Candidate &c : candidates) {
        PairEvaluation e = evaluatePair(c.geometry, task.front(), task, EvaluationScope::Ranking);
        if (best.input < 0 || ranksBefore(e, best.evaluation)) {
            best.input = c.input;
            best.output = c.output;
            best.rank = 1;
            best.evaluation = std::move(e);
        }
    }
    return best;
}
