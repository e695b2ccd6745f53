// The tolerance sweep's judging of its records: the four-bars of each grid point's dyads are
// queued as the sweep runs them, and worker threads judge them while the sweep goes on.
#pragma once

#include "PairRanking.h"
#include "ToleranceSolution.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

class Dyad;

// The synthesis itself runs on the sweep's thread (the engine and its branch hold each run's
// state); the judging, a few times its cost, reads only the pairs' geometry and the record's
// task, so one worker per core does it meanwhile, with no step where one waits for another.
// Each record's result depends on its own pairs alone: any number of threads gives the same
// records. With one thread the sweep's own thread judges each record as it is queued.
class SweepRanking {
public:
    // records must already hold the capacity for every record of the sweep: workers write into
    // records queued earlier while the sweep appends later ones. threads <= 0: one per core.
    SweepRanking(std::vector<ToleranceSolution> &records, int threads);
    ~SweepRanking();
    SweepRanking(const SweepRanking &) = delete;
    SweepRanking &operator=(const SweepRanking &) = delete;

    // Queues the pairs of record `index`'s dyads, read now from their reference pivots, so the
    // dyads may be freed by the next run before the record is judged.
    void queue(std::size_t index, const std::vector<const Dyad *> &dyads);
    // Judges one waiting record on the calling thread; false when none waits.
    bool judgeOne();
    // Judges on the calling thread until at most `backlog` records wait: the sweep helps when
    // it runs ahead of the workers, which bounds the geometry held in the queue.
    void keepUpTo(std::size_t backlog);
    // Records judged so far.
    std::size_t judged() const { return done.load(); }
    // Judges what is left (on this thread too) and stops the workers.
    void finish();

private:
    struct Waiting {
        std::size_t index = 0;
        std::vector<PairRanking::Candidate> candidates;
    };
    void judge(const Waiting &w);
    void work();

    ToleranceSolution *records;  // the sweep's list; its storage does not move (see above)
    std::deque<Waiting> waiting;
    std::mutex lock;
    std::condition_variable wake;
    bool closing = false;
    std::atomic<std::size_t> done{0};
    std::vector<std::thread> workers;
};
