// The tolerance sweep's judging of its records: the four-bars of each grid point's dyads are
// queued while the sweep runs, then judged in batches spread over the machine's cores.
#pragma once

#include "PairRanking.h"
#include "ToleranceSolution.h"

#include <cstddef>
#include <vector>

class Dyad;

// The synthesis itself runs on one thread (the engine and its branch hold each run's state);
// the judging, several times its cost, reads only the pairs' geometry and the record's task,
// so it runs on every core. Each record's result depends on its own pairs alone: any number of
// threads gives the same records.
class SweepRanking {
public:
    // threads <= 0: one per core the machine reports.
    explicit SweepRanking(int threads);

    int threadCount() const { return threads; }
    // Queues the pairs of record `index`'s dyads, read now from their reference pivots, so the
    // dyads may be freed by the next run before the record is judged.
    void queue(std::size_t index, const std::vector<const Dyad *> &dyads);
    std::size_t queued() const { return waiting.size(); }
    // Stores the best pair of every queued record in records[index].best and empties the queue.
    void judgeQueued(std::vector<ToleranceSolution> &records);

private:
    struct Waiting {
        std::size_t index = 0;
        std::vector<PairRanking::Candidate> candidates;
    };
    void judge(const Waiting &w, std::vector<ToleranceSolution> &records) const;

    int threads = 1;
    std::vector<Waiting> waiting;
};
