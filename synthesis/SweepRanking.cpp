// Judging the records of a tolerance sweep on several threads: each takes the next queued record
// until none is left, and writes only that record's summary.
#include "SweepRanking.h"

#include <algorithm>
#include <atomic>
#include <thread>

SweepRanking::SweepRanking(int threadsWanted) {
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    threads = threadsWanted > 0 ? threadsWanted : (cores > 0 ? cores : 1);
}

void SweepRanking::queue(std::size_t index, const std::vector<const Dyad *> &dyads) {
    waiting.push_back({index, PairRanking::candidates(dyads)});
}

// The task a record's pairs are judged against is the one its grid point set (x, y, theta in
// degrees), as the Mechanisms table judges them once the record is chosen.
void SweepRanking::judge(const Waiting &w, std::vector<ToleranceSolution> &records) const {
    ToleranceSolution &record = records[w.index];
    const PairRanking::Row best = PairRanking::best(w.candidates, record.positions);
    record.best = best.input < 0 ? PairSummary()
                                 : PairSummary::of(best.input, best.output, best.evaluation);
}

void SweepRanking::judgeQueued(std::vector<ToleranceSolution> &records) {
    // Records are taken one at a time from a shared counter: a record of four dyads (twelve
    // pairs) costs many times one of two, so fixed shares would leave a thread idle.
    std::atomic<std::size_t> next{0};
    auto work = [&]() {
        for (std::size_t k = next++; k < waiting.size(); k = next++)
            judge(waiting[k], records);
    };
    const int helpers = std::min<int>(threads, static_cast<int>(waiting.size())) - 1;
    std::vector<std::thread> pool;
    for (int t = 0; t < helpers; ++t)
        pool.emplace_back(work);
    work();  // the sweep's own thread takes its share
    for (std::thread &t : pool)
        t.join();
    waiting.clear();
}
