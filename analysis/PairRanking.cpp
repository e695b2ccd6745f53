#include "PairRanking.h"

#include "Dyad.h"
#include "FourBarGeometry.h"

#include <algorithm>

std::vector<PairRanking::Row> PairRanking::rankAll(const std::vector<const Dyad *> &dyads,
                                                   const std::vector<Point> &task) {
    std::vector<Row> rows;
    if (task.empty())
        return rows;
    const Point &assembledPose = task.front();
    const int n = static_cast<int>(dyads.size());
    for (int i = 0; i < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            const Dyad *a = dyads[static_cast<size_t>(i)];
            const Dyad *b = dyads[static_cast<size_t>(j)];
            if (!a || !b)
                continue;
            Row row;
            const bool swapped = inputRanksAfterOutput(*a, *b);
            row.input = swapped ? j : i;
            row.output = swapped ? i : j;
            row.evaluation = evaluatePair(*a, *b, assembledPose, task);
            rows.push_back(row);
            // The evaluation orders mixed kinds itself, so only a same-kind pair has a second
            // machine: the other dyad driving.
            if (a->typeName() == b->typeName()) {
                row.input = j;
                row.output = i;
                row.evaluation = evaluatePair(*b, *a, assembledPose, task);
                rows.push_back(row);
            }
        }
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row &x, const Row &y) {
        return ranksBefore(x.evaluation, y.evaluation);
    });
    for (size_t k = 0; k < rows.size(); ++k)
        rows[k].rank = static_cast<int>(k) + 1;
    return rows;
}
