// Speed of the four-bar analysis: full coupler-curve traces of an RRRR and of an RP-RP pair (the
// largest sample counts), the sweeps alone (no picking, no file), and one animation step.
#include "Mechanism.h"
#include "RP.h"
#include "RR.h"
#include "RandomPicks.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

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

} // namespace

BENCHMARK_MAIN();
