// Speed of n-position synthesis: the whole run with its files, the run without files, and the
// numeric fit alone, for tasks of 5, 10 and 50 positions made by a known crank-rocker.
#include "Branch.h"
#include "MechanismSynthesis.h"
#include "Motion.h"
#include "NPositionFit.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

namespace {
struct Pose {
    double x, y, thetaDeg;
};

// Poses of the coupler of a crank-rocker (ground (1, -2)-(6, -1.5), crank 2.5, rocker 4),
// n crank angles spread over 1 rad, with a small deterministic wobble when n > 5 so the task
// is one of approximate synthesis, as real tasks are.
std::vector<Pose> crankRockerTask(int n) {
    const double f1x = 1.0, f1y = -2.0, f2x = 6.0, f2y = -1.5, r1 = 2.5, r2 = 4.0;
    const double m1x = -0.5, m1y = 0.8, m2x = 2.2, m2y = 0.4;
    const double coupler = std::hypot(m2x - m1x, m2y - m1y);
    std::vector<Pose> poses;
    for (int i = 0; i < n; ++i) {
        const double phi = 0.8 + 1.0 * i / n;
        const double ax = f1x + r1 * std::cos(phi), ay = f1y + r1 * std::sin(phi);
        const double dx = f2x - ax, dy = f2y - ay, d = std::hypot(dx, dy);
        const double along = (coupler * coupler - r2 * r2 + d * d) / (2 * d);
        const double h = std::sqrt(coupler * coupler - along * along);
        const double bx = ax + along * dx / d - h * dy / d, by = ay + along * dy / d + h * dx / d;
        const double th = std::atan2(by - ay, bx - ax) - std::atan2(m2y - m1y, m2x - m1x);
        const double wobble = n > 5 ? 1e-4 * std::sin(7.0 * i) : 0.0;
        poses.push_back({ax - (std::cos(th) * m1x - std::sin(th) * m1y) + wobble,
                         ay - (std::sin(th) * m1x + std::cos(th) * m1y), th * 180.0 / 3.141592653});
    }
    return poses;
}

struct Session {
    Motion motion;
    Branch branch;
    MechanismSynthesis engine;
    explicit Session(const std::vector<Pose> &poses) {
        engine.setMotion(&motion);
        engine.setBranch(&branch);
        engine.setData(static_cast<int>(poses.size()));
        for (size_t i = 0; i < poses.size(); ++i) {
            const int row = static_cast<int>(i);
            engine.setDataValue(row, 0, poses[i].x);
            engine.setDataValue(row, 1, poses[i].y);
            engine.setDataValue(row, 2, poses[i].thetaDeg);
            motion.currentPose = Point(poses[i].x, poses[i].y, poses[i].thetaDeg * 3.141592653 / 180.0);
            motion.currentImage = toImage(motion.currentPose);
            motion.addPosition();
        }
    }
};

// The run writes its files into the working directory: a private one for the benchmark.
struct ScratchDirectory {
    QTemporaryDir dir;
    QString previous = QDir::currentPath();
    ScratchDirectory() { QDir::setCurrent(dir.path()); }
    ~ScratchDirectory() { QDir::setCurrent(previous); }
};

void runSynthesis(benchmark::State &state, bool files) {
    ScratchDirectory scratch;
    Session s(crankRockerTask(static_cast<int>(state.range(0))));
    s.engine.setFileOutput(files);
    s.engine.synthesize();
    if (s.branch.synthesizedDyadCount() < 2) {
        state.SkipWithError("the task gave fewer than two dyads");
        return;
    }
    for (auto _ : state) {
        s.engine.synthesize();
        benchmark::DoNotOptimize(s.branch.synthesizedDyadCount());
    }
}

void BM_SynthesizeWithFiles(benchmark::State &state) { runSynthesis(state, true); }
void BM_SynthesizeWithoutFiles(benchmark::State &state) { runSynthesis(state, false); }

void BM_FitAlone(benchmark::State &state) {
    const std::vector<Pose> poses = crankRockerTask(static_cast<int>(state.range(0)));
    arma::mat task(poses.size(), 3);
    for (arma::uword i = 0; i < task.n_rows; ++i)
        task.row(i) = arma::rowvec{poses[i].x, poses[i].y, poses[i].thetaDeg};
    const TypeDecision::Settings settings;
    if (NPositionFit::run(task, task.n_rows, settings).realRoots.size() < 2) {
        state.SkipWithError("the task gave fewer than two roots");
        return;
    }
    for (auto _ : state) {
        FitResult fit = NPositionFit::run(task, task.n_rows, settings);
        benchmark::DoNotOptimize(fit.realRoots.data());
    }
}
} // namespace

BENCHMARK(BM_SynthesizeWithFiles)->Arg(5)->Arg(10)->Arg(50)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SynthesizeWithoutFiles)->Arg(5)->Arg(10)->Arg(50)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FitAlone)->Arg(5)->Arg(10)->Arg(50)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
