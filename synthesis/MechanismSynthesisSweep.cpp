// The engine's tolerance sweep: the ordinary operation at every grid point of orientations
// within the stated tolerance, one record per grid point.
#include "MechanismSynthesis.h"

#include "Branch.h"
#include "DiagnosticFiles.h"
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
    TextFileWriter file(QStringLiteral("TolSolutions.txt"));
    file.stream() << positionCount() << n;
    Operation op = Operation::NPosition;
    if (n > minimumPositions)
        synthesizeInsteadOfSweep(n);
    else if (sweepCanRun(tol, res, n, op))
        sweepGrid(ToleranceGrid(std::vector<double>(data.begin_col(2), data.begin_col(2) + n), tol, res),
                  op, file);
    file.commit();
    emit tolSynthesisDone();
}

// With six or more positions the sweep is not defined; the task still gets its synthesis, and
// the user learns why there is no list.
void MechanismSynthesis::synthesizeInsteadOfSweep(int n) {
    synthesize();
    const QString why = QStringLiteral("The tolerance sweep takes three to five positions; the task "
                                       "has %1, so it got the ordinary n-position synthesis.")
                            .arg(n);
    std::fprintf(messages, "%s\n", why.toLocal8Bit().constData());
    std::fflush(messages);
    emit updateOutfile(why + QStringLiteral("\n\n") + DiagnosticFiles::dyadListing(fit));
    emit runStopped(why);
}

bool MechanismSynthesis::sweepCanRun(double tol, int res, int n, Operation &op) {
    QString why;
    if (!branch)
        why = QStringLiteral("Synthesis has no branch to hand its dyads to.");
    else if (n != positionCount() || static_cast<int>(data.n_rows) < n || data.n_cols < 3)
        why = QStringLiteral("The tolerance sweep was asked for %1 positions; the task has %2.")
                  .arg(n)
                  .arg(positionCount());
    else if (n < threePositions)
        why = QStringLiteral("The tolerance sweep takes three to five positions; the task has %1.").arg(n);
    else if (n == fourPositions && !lineDefined)
        why = QStringLiteral("The tolerance sweep of four positions needs a line for the fixed pivot.");
    else if (n == threePositions && !(udp1Defined && udp2Defined))
        why = QStringLiteral("The tolerance sweep of three positions needs two chosen fixed pivots.");
    else if (!std::isfinite(tol))
        why = QStringLiteral("The angular tolerance is not a number; nothing was swept.");
    else if (res < 0)
        why = QStringLiteral("The tolerance resolution %1 is below 0; nothing was swept.").arg(res);
    else if (ToleranceGrid::pointCount(res, n) > ToleranceGrid::maxPoints)
        why = QStringLiteral("Resolution %1 over %2 positions makes more than %3 grid points; "
                             "nothing was swept.")
                  .arg(res)
                  .arg(n)
                  .arg(ToleranceGrid::maxPoints);
    if (!why.isEmpty()) {
        reportStop(why);
        return false;
    }
    op = n == fourPositions    ? Operation::FourPosition
         : n == threePositions ? Operation::ThreePosition
                               : Operation::NPosition;
    return true;
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

void MechanismSynthesis::recordGridPoint() {
    ToleranceSolution record;
    record.positions = getPointListCpy();
    record.dyads = branch->getSharedDyadList();
    record.mechanismType = branch->getMechanismType();
    tolSolutions.push_back(std::move(record));
}

// The four-position sweep writes its four level counters (0 ... 2 res) into "TolSolutions.txt",
// one line per grid point; the other sweeps leave the file at its two numbers.
void MechanismSynthesis::sweepGrid(const ToleranceGrid &grid, Operation op, TextFileWriter &file) {
    const bool files = fileOutput;
    const long long total = grid.size();
    sweepRunning = true;
    heldBackReports = 0;
    branch->clearBranch();
    emit tolSynthesisStarted(static_cast<int>(total));
    long long done = 0;
    for (; done < total && !sweepCancelRequested; ++done) {
        grid.apply(done, data);
        runGridPoint(op, fastSweep && done != total - 1, files);
        recordGridPoint();
        if (op == Operation::FourPosition) {
            file.stream() << '\n';
            const std::vector<int> levels = grid.levels(done);
            for (size_t j = 0; j < levels.size(); ++j)
                file.stream() << (j ? " " : "") << levels[j];
        }
        reportProgress(done + 1, total);
    }
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
void MechanismSynthesis::reportProgress(long long done, long long total) {
    constexpr long long steps = 100;
    if (done == total || (done * steps) / total != ((done - 1) * steps) / total)
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
