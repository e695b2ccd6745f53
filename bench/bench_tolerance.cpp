// Speed of the tolerance sweep: five positions at resolution 2 (3125 grid points), the fast
// sweep that writes the per-run files for its last grid point only against the naive sweep
// that writes them at every grid point; three- and four-position sweeps beside them.
#include "Branch.h"
#include "MechanismSynthesis.h"
#include "Motion.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

namespace {
struct Pose {
    double x, y, thetaDeg;
};

// Poses of the coupler of a crank-rocker (ground (1, -2)-(6, -1.5), crank 2.5, rocker 4) at n
// crank angles 0.2 rad apart.
std::vector<Pose> crankRockerTask(int n) {
    const double f1x = 1.0, f1y = -2.0, f2x = 6.0, f2y = -1.5, r1 = 2.5, r2 = 4.0;
    const double m1x = -0.5, m1y = 0.8, m2x = 2.2, m2y = 0.4;
    const double coupler = std::hypot(m2x - m1x, m2y - m1y);
    std::vector<Pose> poses;
    for (int i = 0; i < n; ++i) {
        const double phi = 0.8 + 0.2 * i;
        const double ax = f1x + r1 * std::cos(phi), ay = f1y + r1 * std::sin(phi);
        const double dx = f2x - ax, dy = f2y - ay, d = std::hypot(dx, dy);
        const double along = (coupler * coupler - r2 * r2 + d * d) / (2 * d);
        const double h = std::sqrt(coupler * coupler - along * along);
        const double bx = ax + along * dx / d - h * dy / d, by = ay + along * dy / d + h * dx / d;
        const double th = std::atan2(by - ay, bx - ax) - std::atan2(m2y - m1y, m2x - m1x);
        poses.push_back({ax - (std::cos(th) * m1x - std::sin(th) * m1y),
                         ay - (std::sin(th) * m1x + std::cos(th) * m1y), th * 180.0 / 3.141592653});
    }
    return poses;
}

// The objects the main window owns, with the task and the input each variant needs.
struct Session {
    Motion motion;
    Branch branch;
    MechanismSynthesis engine;
    explicit Session(int n) {
        const std::vector<Pose> poses = crankRockerTask(n);
        engine.setMotion(&motion);
        engine.setBranch(&branch);
        engine.setMessageOutput(stderr);
        engine.setData(n);
        for (int i = 0; i < n; ++i) {
            const Pose &p = poses[static_cast<size_t>(i)];
            engine.setDataValue(i, 0, p.x);
            engine.setDataValue(i, 1, p.y);
            engine.setDataValue(i, 2, p.thetaDeg);
            motion.currentPose = Point(p.x, p.y, p.thetaDeg * 3.141592653 / 180.0);
            motion.currentImage = toImage(motion.currentPose);
            motion.addPosition();
        }
        engine.updateLineParams(1.0, -2.0, 3.0, -1.0);
        engine.setUDP(1.0, -2.0);
        engine.setUDP(6.0, -1.5);
    }
};

// The sweep writes its files into the working directory: a private one for the benchmark.
struct ScratchDirectory {
    QTemporaryDir dir;
    QString previous = QDir::currentPath();
    ScratchDirectory() { QDir::setCurrent(dir.path()); }
    ~ScratchDirectory() { QDir::setCurrent(previous); }
};

// Arguments: positions, resolution, fast (1) or naive (0).
void BM_ToleranceSweep(benchmark::State &state) {
    ScratchDirectory scratch;
    const int n = static_cast<int>(state.range(0));
    const int res = static_cast<int>(state.range(1));
    Session s(n);
    s.engine.setFastSweep(state.range(2) != 0);
    const int expected = static_cast<int>(std::pow(2 * res + 1, n));
    s.engine.synthesizeWithTol(2.0, res, n);
    if (s.engine.tolSolutionCount() != expected || s.branch.synthesizedDyadCount() < 2) {
        state.SkipWithError("the sweep did not record one solution per grid point");
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
} // namespace

BENCHMARK(BM_ToleranceSweep)
    ->ArgNames({"positions", "res", "fast"})
    ->Args({5, 2, 1})
    ->Args({5, 2, 0})
    ->Args({4, 2, 1})
    ->Args({3, 2, 1})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

BENCHMARK_MAIN();
