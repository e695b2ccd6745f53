// Speed of the tolerance sweep, with the judging of every record's best pair, on the
// demonstration four-bar task: five positions at resolution 2 (3125 grid points), the fast sweep
// that writes the per-run files for its last grid point only against the naive sweep that writes
// them at every grid point, its records judged on every core against one thread; four- and
// three-position sweeps and resolution 3 (16,807 grid points) beside them.
#include "Branch.h"
#include "Dyad.h"
#include "MechanismSynthesis.h"
#include "Motion.h"
#include "PairRanking.h"
#include "PositionFileReader.h"
#include "ProcessValues.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {
// The first n positions of the demonstration task "RRRR.txt" in a session wired as the main
// window wires it, with a line and two fixed pivots for the four- and three-position sweeps.
struct Session {
    Motion motion;
    Branch branch;
    MechanismSynthesis engine;
    bool loaded = false;
    explicit Session(int n, const char *demo = "RRRR.txt") {
        engine.setMotion(&motion);
        engine.setBranch(&branch);
        engine.setMessageOutput(stderr);
        PositionFileReader reader(3);
        loaded = reader.readFile(QStringLiteral(MS_SOURCE_DIR "/demo/") + QLatin1String(demo))
                 && static_cast<int>(reader.records().size()) >= n;
        for (int i = 0; loaded && i < n; ++i) {
            const PositionFileReader::Record &r = reader.records()[static_cast<size_t>(i)];
            engine.appendDataRow(r.x, r.y, r.thetaDeg);
            motion.currentPose = Point(r.x, r.y, r.thetaDeg * INPUT_DEG_TO_RAD);
            motion.currentImage = toImage(motion.currentPose);
            motion.addPosition();
        }
        engine.updateLineParams(0.0, 0.0, 1.0, 0.5);
        engine.setUDP(0.0, 0.0);
        engine.setUDP(3.0, -1.0);
    }
};

// The sweep writes its files into the working directory: a private one for the benchmark.
struct ScratchDirectory {
    QTemporaryDir dir;
    QString previous = QDir::currentPath();
    ScratchDirectory() { QDir::setCurrent(dir.path()); }
    ~ScratchDirectory() { QDir::setCurrent(previous); }
};

// Arguments: positions, resolution, fast (1) or naive (0), threads judging the records (0: one
// per core).
void BM_ToleranceSweep(benchmark::State &state) {
    ScratchDirectory scratch;
    const int n = static_cast<int>(state.range(0));
    const int res = static_cast<int>(state.range(1));
    Session s(n);
    if (!s.loaded) {
        state.SkipWithError("demo/RRRR.txt could not be read");
        return;
    }
    s.engine.setFastSweep(state.range(2) != 0);
    s.engine.setSweepThreads(static_cast<int>(state.range(3)));
    const int expected = static_cast<int>(std::pow(2 * res + 1, n));
    s.engine.synthesizeWithTol(2.0, res, n);
    if (s.engine.tolSolutionCount() != expected) {
        state.SkipWithError("the sweep did not record one solution per grid point");
        return;
    }
    if (!s.engine.tolSolutionAt(expected / 2)->best.defectFree) {
        state.SkipWithError("the task's own orientations gave no defect-free best pair");
        return;
    }
    for (auto _ : state) {
        s.engine.synthesizeWithTol(2.0, res, n);
        benchmark::DoNotOptimize(s.engine.tolSolutionCount());
    }
    state.counters["gridPoints"] = expected;
    state.counters["perGridPoint"] = benchmark::Counter(
        static_cast<double>(expected) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
// Judging every pair of one synthesis against its task, as the Mechanisms table does after each
// run, a drag included. The RRRP demonstration gives four dyads: six pairs, one of them of two
// RR dyads and so judged with either as the input.
void BM_RankAllPairs(benchmark::State &state) {
    ScratchDirectory scratch;
    Session s(5, "RRRP.txt");
    s.engine.setFileOutput(false);
    s.engine.synthesize();
    std::vector<const Dyad *> dyads;
    for (const Dyad *d : s.branch.getDyadListCpy())
        dyads.push_back(d);
    const std::vector<Point> task = s.engine.getPointListCpy();
    if (!s.loaded || dyads.size() < 4) {
        state.SkipWithError("demo/RRRP.txt did not give four dyads");
        return;
    }
    size_t rows = 0;
    for (auto _ : state) {
        const std::vector<PairRanking::Row> ranked = PairRanking::rankAll(dyads, task);
        rows = ranked.size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["dyads"] = static_cast<double>(dyads.size());
    state.counters["rows"] = static_cast<double>(rows);
}
} // namespace

BENCHMARK(BM_RankAllPairs)->Unit(benchmark::kMicrosecond);

BENCHMARK(BM_ToleranceSweep)
    ->ArgNames({"positions", "res", "fast", "threads"})
    ->Args({5, 2, 1, 0})
    ->Args({5, 2, 1, 1})
    ->Args({5, 2, 0, 0})
    ->Args({4, 2, 1, 0})
    ->Args({3, 2, 1, 0})
    ->Args({5, 3, 1, 0})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

BENCHMARK_MAIN();
