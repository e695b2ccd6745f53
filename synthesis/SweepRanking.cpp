// Judging the records of a tolerance sweep on worker threads: each takes the next queued record
// and writes only that record's summary.
#include "SweepRanking.h"

#include <utility>

SweepRanking::SweepRanking(std::vector<ToleranceSolution> &list, int threadsWanted)
    : records(list.data()) {
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    const int threads = threadsWanted > 0 ? threadsWanted : (cores > 0 ? cores : 1);
    for (int t = 0; threads > 1 && t < threads; ++t)
        workers.emplace_back([this] { work(); });
}

SweepRanking::~SweepRanking() { finish(); }

void SweepRanking::queue(std::size_t index, const std::vector<const Dyad *> &dyads) {
    Waiting w{index, PairRanking::candidates(dyads)};
    if (workers.empty()) {
        judge(w);
        return;
    }
    {
        const std::lock_guard<std::mutex> hold(lock);
        waiting.push_back(std::move(w));
    }
    wake.notify_one();
}

// The task a record's pairs are judged against is the one its grid point set (x, y, theta in
// degrees), as the Mechanisms table judges them once the record is chosen.
void SweepRanking::judge(const Waiting &w) {
    ToleranceSolution &record = records[w.index];
    const PairRanking::Row best = PairRanking::best(w.candidates, record.positions);
    record.best = best.input < 0 ? PairSummary()
                                 : PairSummary::of(best.input, best.output, best.evaluation);
    ++done;
}

bool SweepRanking::judgeOne() {
    Waiting w;
    {
        const std::lock_guard<std::mutex> hold(lock);
        if (waiting.empty())
            return false;
        w = std::move(waiting.front());
        waiting.pop_front();
    }
    judge(w);
    return true;
}

void SweepRanking::keepUpTo(std::size_t backlog) {
    for (;;) {
        {
            const std::lock_guard<std::mutex> hold(lock);
            if (waiting.size() <= backlog)
                return;
        }
        judgeOne();
    }
}

void SweepRanking::work() {
    for (;;) {
        Waiting w;
        {
            std::unique_lock<std::mutex> hold(lock);
            wake.wait(hold, [this] { return closing || !waiting.empty(); });
            if (waiting.empty())
                return;  // closing, and nothing left
            w = std::move(waiting.front());
            waiting.pop_front();
        }
        judge(w);
    }
}

void SweepRanking::finish() {
    while (judgeOne()) {
    }
    {
        const std::lock_guard<std::mutex> hold(lock);
        closing = true;
    }
    wake.notify_all();
    for (std::thread &t : workers)
        t.join();
    workers.clear();
}
