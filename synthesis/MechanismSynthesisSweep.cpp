// The engine's tolerance sweep: the ordinary operation at every grid point of orientations
// within the stated tolerance, one record per grid point.
#include "MechanismSynthesis.h"

#include "Branch.h"
#include "DiagnosticFiles.h"
#include "Dyad.h"
#include "SweepRanking.h"
#include "TextFileWriter.h"
#include "ToleranceGrid.h"

#include <cmath>
#include <cstdio>

const ToleranceSolution *MechanismSynthesis::tolSolutionAt(int i) const {
    if (i < 0 || i >= tolSolutionCount())
        return nullptr;
    return &tolSolutions[static_cast<size_t>(i)];
}

void MechanismSynthesis::setTolSolutionFlag(int i, bool on) {
    if (i >= 0 && i < tolSolutionCount())
        tolSolutions[static_cast<size_t>(i)].flag = on;
}

void MechanismSynthesis::clearTolSolutions() { tolSolutions.clear(); }

void MechanismSynthesis::cancelTolSynthesis() {
    if (sweepRunning)
        sweepCancelRequested = true;
}

void MechanismSynthesis::synthesizeWithTol(double tol, int res, int n) {
    if (sweepRunning) {
        reportStop(QStringLiteral("A tolerance sweep is running already."));
        return;
    }
    // A new sweep starts a new list: the table the records fill is emptied at this moment too.
    tolSolutions.clear();
    sweepCancelled = false;
    sweepCancelRequested = false;
    if (n > minimumPositions) {
        TextFileWriter file(QStringLiteral("TolSolutions.txt"));
        file.stream() << positionCount() << n;
        synthesizeInsteadOfSweep(n);
    } else if (const QString why = sweepRefusal(tol, res, n); !why.isEmpty()) {
        // A refused sweep writes nothing: every file stays as the last run left it.
        reportStop(why);
    } else {
        const Operation op = n == fourPositions    ? Operation::FourPosition
                             : n == threePositions ? Operation::ThreePosition
                                                   : Operation::NPosition;
        TextFileWriter file(QStringLiteral("TolSolutions.txt"));
        file.stream() << positionCount() << n;
        sweepGrid(ToleranceGrid(std::vector<double>(data.begin_col(2), data.begin_col(2) + n), tol, res),
                  op, file);
    }
    reportUnwrittenFiles();
    emit tolSynthesisDone();
}

// With six or more positions the sweep is not defined; the task still gets its synthesis, and
// the user learns why there is no list.
void MechanismSynthesis::synthesizeInsteadOfSweep(int n) {
    synthesize();
    const QString why = QStringLiteral("The tolerance sweep takes three to five positions; the task "
                                       "has %1, so it got the ordinary n-position synthesis.")
                            .arg(n);
    if (messages) {
        std::fprintf(messages, "%s\n", why.toLocal8Bit().constData());
        std::fflush(messages);
    }
    emit updateOutfile(why + QStringLiteral("\n\n") + DiagnosticFiles::dyadListing(fit));
    emit runStopped(why);
}

QString MechanismSynthesis::sweepRefusal(double tol, int res, int n) const {
    if (!branch)
        return QStringLiteral("Synthesis has no branch to hand its dyads to.");
    if (n != positionCount() || static_cast<int>(data.n_rows) < n || data.n_cols < 3)
        return QStringLiteral("The tolerance sweep was asked for %1 positions; the task has %2.")
            .arg(n)
            .arg(positionCount());
    if (n < threePositions || n > minimumPositions)
        return QStringLiteral("The tolerance sweep takes three to five positions; the task has %1.").arg(n);
    if (n == fourPositions && !lineDefined)
        return QStringLiteral("The tolerance sweep of four positions needs a line for the fixed pivot.");
    if (n == threePositions && !(udp1Defined && udp2Defined))
        return QStringLiteral("The tolerance sweep of three positions needs two chosen fixed pivots.");
    if (!std::isfinite(tol) || tol < 0.0 || tol > maximumToleranceDeg)
        return QStringLiteral("The angular tolerance %1 is not between 0 and %2 degrees; nothing was "
                              "swept.")
            .arg(tol)
            .arg(maximumToleranceDeg);
    if (res < 0)
        return QStringLiteral("The tolerance resolution %1 is below 0; nothing was swept.").arg(res);
    const long long points = ToleranceGrid::pointCount(res, n);
    if (points > ToleranceGrid::maxPoints)
        return QStringLiteral("Resolution %1 over %2 positions makes more than %3 grid points; "
                              "nothing was swept.")
            .arg(res)
            .arg(n)
            .arg(ToleranceGrid::maxPoints);
    const double megabytes = static_cast<double>(points)
                             * static_cast<double>(ToleranceSolution::estimatedBytes(n)) / (1 << 20);
    if (megabytes > ToleranceGrid::memoryBudgetMB)
        return QStringLiteral("Resolution %1 over %2 positions makes %3 grid points, whose records "
                              "would take about %4 MB, more than the %5 MB a sweep may hold; "
                              "nothing was swept.")
            .arg(res)
            .arg(n)
            .arg(points)
            .arg(std::ceil(megabytes))
            .arg(ToleranceGrid::memoryBudgetMB);
    return {};
}

void MechanismSynthesis::runOperation(Operation op) {
    switch (op) {
    case Operation::FourPosition:
        synthesize4pos();
        break;
    case Operation::ThreePosition:
        synthesize3pos();
        break;
    case Operation::NPosition:
        synthesize();
        break;
    }
}

// A quiet run (every grid point but the last of the fast sweep) writes no files and announces
// nothing: the next grid point's run would replace all of it.
void MechanismSynthesis::runGridPoint(Operation op, bool quiet, bool files) {
    quietRun = quiet;
    fileOutput = files && !quiet;
    runOperation(op);
    quietRun = false;
    fileOutput = files;
}

// The record keeps the kinds; its dyads' pairs go to the ranking to be judged.
void MechanismSynthesis::recordGridPoint(SweepRanking &ranking) {
    ToleranceSolution record;
    record.positions = getPointListCpy();
    std::vector<const Dyad *> dyads;
    for (const Dyad *d : branch->getDyadListCpy()) {
        const QByteArray kind = d->typeName().toLatin1().leftJustified(2, ' ', true);
        record.kinds.push_back({{kind[0], kind[1]}});
        dyads.push_back(d);
    }
    tolSolutions.push_back(std::move(record));
    ranking.queue(tolSolutions.size() - 1, dyads);
}

// The four-position sweep writes its four level counters (0 ... 2 res) into "TolSolutions.txt",
// one line per grid point; the other sweeps leave the file at its two numbers. Progress counts
// the records run and judged.
void MechanismSynthesis::sweepGrid(const ToleranceGrid &grid, Operation op, TextFileWriter &file) {
    // Records run but not yet judged, at most: the sweep's thread judges too beyond it.
    constexpr std::size_t backlog = 512;
    const bool files = fileOutput;
    const long long total = grid.size();
    sweepRunning = true;
    heldBackReports = 0;
    tolSolutions.reserve(static_cast<size_t>(total));  // no doubling, and no move under the workers
    SweepRanking ranking(tolSolutions, sweepThreads);
    branch->clearBranch();
    emit tolSynthesisStarted(static_cast<int>(total));
    long long done = 0, reported = 0;
    const auto report = [&]() {
        const long long judged = static_cast<long long>(ranking.judged());
        reportProgress(reported, judged, total);
        reported = judged;
    };
    for (; done < total && !sweepCancelRequested; ++done) {
        grid.apply(done, data);
        runGridPoint(op, fastSweep && done != total - 1, files);
        recordGridPoint(ranking);
        if (op == Operation::FourPosition) {
            file.stream() << '\n';
            const std::vector<int> levels = grid.levels(done);
            for (size_t j = 0; j < levels.size(); ++j)
                file.stream() << (j ? " " : "") << levels[j];
        }
        ranking.keepUpTo(backlog);
        report();
    }
    while (ranking.judgeOne())
        report();
    ranking.finish();
    report();
    sweepCancelled = done < total;
    if (sweepCancelled && fastSweep && done > 0) {
        // The last completed grid point ran quietly: run it again to leave its files and
        // announce its dyads, as a sweep that ended there would.
        grid.apply(done - 1, data);
        runGridPoint(op, false, files);
    }
    grid.restore(data);
    sweepRunning = false;
    reportHeldBack();
}

// One signal per hundredth of the sweep at most, the last one always: each may make a progress
// dialog process events, which costs more than a grid point's run.
void MechanismSynthesis::reportProgress(long long before, long long done, long long total) {
    constexpr long long steps = 100;
    if (done > before && (done == total || (done * steps) / total != (before * steps) / total))
        emit tolSynthesisInProgress(static_cast<int>(done));
}

void MechanismSynthesis::reportHeldBack() {
    if (heldBackReports == 0)
        return;
    reportStop(QStringLiteral("%1 report(s) of the sweep's grid points were held back; the first: %2")
                   .arg(heldBackReports)
                   .arg(firstHeldBackReport));
    heldBackReports = 0;
}
