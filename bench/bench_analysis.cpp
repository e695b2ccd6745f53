// Speed of the four-bar analysis: full coupler-curve traces of an RRRR and of an RP-RP pair (the
// largest sample counts), the sweeps alone (no picking, no file), one animation step, and the
// evaluation of every pair of a synthesis against its task.
#include "Branch.h"
#include "Mechanism.h"
#include "MechanismSynthesis.h"
#include "Motion.h"
#include "PairEvaluation.h"
#include "RP.h"
#include "RR.h"
#include "RandomPicks.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <vector>

namespace {

// Crank-rocker: ground (0, 0) -> (4, 0), crank 1 at 60 degrees, coupler 3.5, rocker 3, output
// pivot on the open side; the coupler pose rides off the coupler line.
struct CrankRocker {
    std::unique_ptr<RR> input, output;
    Point pose{0.0, 0.0, 0.0};
    CrankRocker() {
        const double pi = std::acos(-1.0);
        const double m1x = std::cos(pi / 3.0), m1y = std::sin(pi / 3.0);
        // Output pivot: circle (M1, 3.5) meets circle (O2, 3), left of M1 -> O2.
        const double dx = 4.0 - m1x, dy = -m1y, d = std::hypot(dx, dy);
        const double a = (3.5 * 3.5 - 9.0 + d * d) / (2.0 * d), hh = std::sqrt(3.5 * 3.5 - a * a);
        const double m2x = m1x + (a * dx - hh * dy) / d, m2y = m1y + (a * dy + hh * dx) / d;
        pose = Point(0.5 * (m1x + m2x) - 0.5, 0.5 * (m1y + m2y) + 0.8, 20.0);
        input = std::make_unique<RR>(0, 0, m1x, m1y, pose[0], pose[1], pose[2]);
        output = std::make_unique<RR>(4, 0, m2x, m2y, pose[0], pose[1], pose[2]);
    }
};

// Two swinging blocks: lines at 30 degrees through (0, 0) and at 100 degrees through (4, 1).
struct TwoBlocks {
    RP input{0, 0, std::cos(0.5236), std::sin(0.5236), 1, 1, 0};
    RP output{4, 1, 4 + std::cos(1.7453), 1 + std::sin(1.7453), 5, 2, 0};
    Point pose{2.0, 2.0, 0.0};
};

int curveSamples(const Mechanism &m) {
    int n = 0;
    for (int k = 0; k < 3; ++k)
        n += m.openCurve(k).size() + m.crossedCurve(k).size();
    return n;
}

// The result is checked once before timing: a trace that silently failed would be fast.
void require(bool ok, const char *what) {
    if (!ok) {
        std::fprintf(stderr, "bench_analysis: %s\n", what);
        std::exit(1);
    }
}

void BM_TraceCrankRocker(benchmark::State &state) {
    CrankRocker fb;
    Mechanism m;
    m.setCouplerPose(fb.pose);
    m.setDyads(fb.input.get(), fb.output.get());
    require(curveSamples(m) >= 740 && m.getGeneratedPositions().size() == 5, "RRRR trace");
    seedRandomPicks(1);
    for (auto _ : state)
        m.traceCouplerCurves();
    state.counters["samples"] = curveSamples(m);
}
BENCHMARK(BM_TraceCrankRocker)->Unit(benchmark::kMicrosecond);

void BM_SweepCrankRocker(benchmark::State &state) {
    CrankRocker fb;
    Mechanism m;
    m.setCouplerPose(fb.pose);
    m.setDyads(fb.input.get(), fb.output.get());
    for (auto _ : state)
        m.sweepCouplerCurves();
    require(curveSamples(m) >= 740, "RRRR sweep");
}
BENCHMARK(BM_SweepCrankRocker)->Unit(benchmark::kMicrosecond);

void BM_TraceTwoBlocks(benchmark::State &state) {
    TwoBlocks fb;
    Mechanism m;
    m.setCouplerPose(fb.pose);
    m.setDyads(&fb.input, &fb.output);
    require(curveSamples(m) >= 7400, "RP-RP trace");
    for (auto _ : state)
        m.traceCouplerCurves();
    state.counters["samples"] = curveSamples(m);
}
BENCHMARK(BM_TraceTwoBlocks)->Unit(benchmark::kMicrosecond);

void BM_SweepTwoBlocks(benchmark::State &state) {
    TwoBlocks fb;
    Mechanism m;
    m.setCouplerPose(fb.pose);
    m.setDyads(&fb.input, &fb.output);
    for (auto _ : state)
        m.sweepCouplerCurves();
    require(curveSamples(m) >= 7400, "RP-RP sweep");
}
BENCHMARK(BM_SweepTwoBlocks)->Unit(benchmark::kMicrosecond);

// One animation tick's worth of analysis: IncrementDyads calls stepForward once.
void BM_StepForward(benchmark::State &state) {
    CrankRocker fb;
    Mechanism m;
    m.setCouplerPose(fb.pose);
    m.setDyads(fb.input.get(), fb.output.get());
    m.stepForward();
    require(m.isLastStepValid(), "step");
    for (auto _ : state) {
        m.stepForward();
        benchmark::DoNotOptimize(m.getCounter());
    }
    require(m.isLastStepValid(), "steps");
}
BENCHMARK(BM_StepForward)->Unit(benchmark::kNanosecond);

// The classification with its file, as every change of the pair runs it.
void BM_ClassifyCrankRocker(benchmark::State &state) {
    CrankRocker fb;
    Mechanism m;
    m.setDyads(fb.input.get(), fb.output.get());
    for (auto _ : state)
        m.classify();
    require(m.hasUpperLimit(), "classify");
}
BENCHMARK(BM_ClassifyCrankRocker)->Unit(benchmark::kMicrosecond);

// Every pair of the dyads a five-position synthesis of the RRPR demonstration returns (RR, PR,
// RR, RR: four dyads, six pairs, three of them slider-cranks), evaluated against the task as the
// Mechanisms table refreshes it on a drag.
void BM_EvaluateAllPairs(benchmark::State &state) {
    std::ifstream file(MS_SOURCE_DIR "/demo/RRPR.txt");
    int n = 0;
    file >> n;
    require(n == 5, "demo/RRPR.txt");
    Motion motion;
    Branch branch;
    MechanismSynthesis engine;
    engine.setMotion(&motion);
    engine.setBranch(&branch);
    engine.setData(n);
    std::vector<Point> task;
    for (int row = 0; row < n; ++row) {
        double x, y, thetaDeg;
        file >> x >> y >> thetaDeg;
        engine.setDataValue(row, 0, x);
        engine.setDataValue(row, 1, y);
        engine.setDataValue(row, 2, thetaDeg);
        motion.currentPose = Point(x, y, thetaDeg * 3.141592653 / 180.0);
        motion.currentImage = toImage(motion.currentPose);
        motion.addPosition();
        task.push_back(Point(x, y, thetaDeg));
    }
    // The synthesis writes its files into the working directory: a private one here.
    QTemporaryDir scratch;
    const QString before = QDir::currentPath();
    QDir::setCurrent(scratch.path());
    engine.synthesize();
    QDir::setCurrent(before);
    const auto &dyads = branch.getDyadList();
    require(dyads.size() == 4 && task.size() == 5, "synthesis of the RRPR demonstration");
    const PairEvaluation first = evaluatePair(*dyads[0], *dyads[1], task.front(), task);
    require(first.defectFree && first.maxPositionError < 1e-6, "the demonstration's slider-crank");
    int pairs = 0;
    for (auto _ : state) {
        pairs = 0;
        for (size_t i = 0; i < dyads.size(); ++i)
            for (size_t j = i + 1; j < dyads.size(); ++j, ++pairs)
                benchmark::DoNotOptimize(evaluatePair(*dyads[i], *dyads[j], task.front(), task));
    }
    state.counters["pairs"] = pairs;
}
BENCHMARK(BM_EvaluateAllPairs)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
