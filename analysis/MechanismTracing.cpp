// Coupler curves: sweeping the input over both circuits, and the poses picked from the curves
// for "GeneratedPositions.txt".
#include "Mechanism.h"

#include "RandomPicks.h"
#include "TextFileWriter.h"

#include <ostream>

namespace {
// Sweep of one circuit: first value, step and last value of the input.
struct Sweep {
    double first;
    double step;
    double last;
};

// A slider input is swept in displacement, a crank or an RP input in degrees; two RPs need a
// finer step because the lines' crossing runs fast where the lines are nearly parallel.
Sweep sweepFor(PairKind kind) {
    switch (kind) {
    case PairKind::PRPR:
    case PairKind::PRRP:
        return {-100.0, 0.2, 100.0};
    case PairKind::RPRP:
        return {-5.0, 0.1, 365.2};
    default:
        return {-5.0, 1.0, 365.2};
    }
}

constexpr int maxGeneratedPositions = 5;
} // namespace

void Mechanism::traceCouplerCurves() {
    if (!coupler.hasCouplerPoint() || !isSet())
        return;
    sweepCouplerCurves();
    generatePositions();
}

void Mechanism::sweepCouplerCurves() {
    if (!coupler.hasCouplerPoint() || !isSet())
        return;
    for (PointList &c : curves)
        c.clear();
    resetSegments();
    assemble();
    sweepCircuit(true);
    sweepCircuit(false);
    assemble();
    chooseAssembledCircuit();
}

void Mechanism::sweepCircuit(bool open) {
    selectCircuit(open);
    resetSegments();
    tracing = true;
    const Sweep sweep = sweepFor(geometry.kind);
    // Accumulated steps, as the animation accumulates them.
    for (double v = sweep.first; v <= sweep.last; v += sweep.step)
        analyze(v);
    tracing = false;
}

// One draw is discarded, then one per pick: crossed pieces 0-2, then open pieces 0-2, pass after
// pass, until five poses are picked or a pass adds nothing.
void Mechanism::generatePositions() {
    std::mt19937 &random = randomPicks();
    random();
    generatedPositions.clear();
    auto pickFrom = [&](const PointList &piece) {
        if (generatedPositions.size() >= maxGeneratedPositions || piece.isEmpty())
            return;
        const auto r = random();
        generatedPositions.append(piece.at(static_cast<int>(r % piece.size())));
    };
    for (;;) {
        const int before = generatedPositions.size();
        for (int k = 0; k < 3; ++k)
            pickFrom(crossedCurve(k));
        for (int k = 0; k < 3; ++k)
            pickFrom(openCurve(k));
        if (generatedPositions.size() == before ||
            generatedPositions.size() >= maxGeneratedPositions)
            break;
    }
    writeGeneratedPositionsFile();
}

void Mechanism::writeGeneratedPositionsFile() const {
    TextFileWriter file(QStringLiteral("GeneratedPositions.txt"));
    std::ostream &out = file.stream();
    if (generatedPositions.isEmpty())
        return;
    const int n = generatedPositions.size();
    out << n << "\n\n";
    for (int i = 0; i < n; ++i) {
        const Point &p = generatedPositions.ref(i);
        out << p[0] << ' ' << p[1] << ' ' << p[2] << ' ' << static_cast<double>(i) / n << '\n';
    }
}
