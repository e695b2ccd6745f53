// The engine's state and slots, and the n-position run: fit, hand the dyads to the branch,
// write the trail of files, announce.
#include "MechanismSynthesis.h"

#include "Branch.h"
#include "DiagnosticFiles.h"
#include "Dyad.h"
#include "DyadFactory.h"
#include "Motion.h"
#include "NPositionFit.h"
#include "TaskDegeneracy.h"
#include "TextFileWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

MechanismSynthesis::MechanismSynthesis(QObject *parent) : QObject(parent) {}

MechanismSynthesis::~MechanismSynthesis() = default;

int MechanismSynthesis::positionCount() const {
    return motion ? motion->size() : static_cast<int>(data.n_rows);
}

TypeDecision::Settings MechanismSynthesis::decisionSettings() const {
    TypeDecision::Settings s;
    s.threshold = threshold;
    s.linkRatio = linkRatio;
    return s;
}

// ---- State ---------------------------------------------------------------------------------

void MechanismSynthesis::setData(int n) { data.zeros(static_cast<arma::uword>(std::max(n, 0)), 3); }

void MechanismSynthesis::setDataValue(int i, int j, double v) {
    if (i < 0 || j < 0 || i >= static_cast<int>(data.n_rows) || j >= static_cast<int>(data.n_cols))
        return;  // the callers fill rows they created; nothing else may write past them
    data(static_cast<arma::uword>(i), static_cast<arma::uword>(j)) = v;
}

// 10^-|n| by repeated division, as the threshold box's exponent means it. An unchanged value
// does not re-run synthesis.
void MechanismSynthesis::setThreshold(int n) {
    // |INT_MIN| does not exist as an int: bound the exponent before taking its size.
    const int exponent = std::min(std::max(n, -maximumThresholdExponent), maximumThresholdExponent);
    double t = 1.0;
    for (int k = 0; k < std::abs(exponent); ++k)
        t /= 10.0;
    if (t == threshold)
        return;
    threshold = t;
    emit synthesisdone();
}

void MechanismSynthesis::setLinkRatio(int n) { setLinkRatioValue(static_cast<double>(n)); }

void MechanismSynthesis::setLinkRatioValue(double ratio) {
    if (ratio == linkRatio)
        return;
    linkRatio = ratio;
    emit synthesisdone();
}

// A click without a drag gives two equal points: no direction, so no constraint (and no re-run).
void MechanismSynthesis::updateLineParams(double x1, double y1, double x2, double y2) {
    LineConstraint line = lineConstraint();
    if (!line.setThrough(x1, y1, x2, y2)) {
        reportStop(QStringLiteral("The line for the fixed pivot needs two different points; "
                                  "no line constraint was set."));
        return;
    }
    lineA = line.lineA;
    lineB = line.lineB;
    lineC = line.lineC;
    lineDefined = true;
    emit synthesisdone();
}

void MechanismSynthesis::setUDP(double x, double y) {
    if (!udp1Defined) {
        udp1 = Point(x, y, 0.0);
        udp1Defined = true;
    } else if (!udp2Defined) {
        udp2 = Point(x, y, 0.0);
        udp2Defined = true;
    }
}

void MechanismSynthesis::rebuildPointList() {
    pointList.clear();
    const int n = std::min(positionCount(), static_cast<int>(data.n_rows));
    if (data.n_cols < 3)
        return;
    for (int i = 0; i < n; ++i) {
        const arma::uword r = static_cast<arma::uword>(i);
        pointList.emplace_back(data(r, 0), data(r, 1), data(r, 2));
    }
}

std::vector<Point> *MechanismSynthesis::getPointList() {
    rebuildPointList();
    return &pointList;
}

std::vector<Point> MechanismSynthesis::getPointListCpy() {
    rebuildPointList();
    return pointList;
}

Point MechanismSynthesis::firstPose() const {
    return pointList.empty() ? Point(0.0, 0.0, 0.0) : pointList.front();
}

// ---- Row operations --------------------------------------------------------------------------

void MechanismSynthesis::writeDataFile() {
    {
        TextFileWriter file(QStringLiteral("data_value matrix.txt"));
        data.save(file.stream(), arma::arma_ascii);
    }
    reportUnwrittenFiles();
}

void MechanismSynthesis::reportUnwrittenFiles() {
    const QStringList failed = TextFileWriter::takeFailures();
    if (!failed.isEmpty())
        emit outputFilesNotWritten(failed.join(QLatin1Char('\n')));
}

// The row carries its own index as a fourth value, which only a matrix that has four columns
// (one started by this operation) keeps.
void MechanismSynthesis::appendDataRow(double x, double y, double thetaDeg) {
    const double index = static_cast<double>(data.n_rows);
    if (data.n_elem == 0)
        data = arma::rowvec{x, y, thetaDeg, index};
    else if (data.n_cols >= 4)
        data.insert_rows(data.n_rows, arma::rowvec{x, y, thetaDeg, index});
    else
        data.insert_rows(data.n_rows, arma::rowvec{x, y, thetaDeg});
    writeDataFile();
}

void MechanismSynthesis::setDataRow(int i, double x, double y, double thetaDeg) {
    if (i < 0 || i >= static_cast<int>(data.n_rows) || data.n_cols < 3)
        return;
    const arma::uword r = static_cast<arma::uword>(i);
    data(r, 0) = x;
    data(r, 1) = y;
    data(r, 2) = thetaDeg;
    writeDataFile();
}

void MechanismSynthesis::removeDataRow(int i) {
    if (i < 0 || i >= static_cast<int>(data.n_rows))
        return;
    data.shed_row(static_cast<arma::uword>(i));
    writeDataFile();
}

// ---- The n-position run ---------------------------------------------------------------------

void MechanismSynthesis::reportStop(const QString &message) {
    if (quietRun) {
        if (heldBackReports++ == 0)
            firstHeldBackReport = message;
        return;
    }
    if (messages) {
        std::fputs(message.toLocal8Bit().constData(), messages);
        std::fputc('\n', messages);
        std::fflush(messages);
    }
    emit updateOutfile(message);
    emit runStopped(message);
}

// A branch, a task its operation can work on (problem: why not, empty when it can) and as many
// rows as positions, or the run reads past the task.
bool MechanismSynthesis::checkTask(int n, const QString &problem) {
    QString why = problem;
    if (!branch)
        why = QStringLiteral("Synthesis has no branch to hand its dyads to.");
    else if (why.isEmpty() && (static_cast<int>(data.n_rows) < n || data.n_cols < 3))
        why = QStringLiteral("The data matrix holds %1 rows for %2 positions.").arg(data.n_rows).arg(n);
    else if (why.isEmpty())
        why = TaskDegeneracy::reason(data, n);
    if (why.isEmpty())
        return true;
    // The refused run leaves no fit: lastFit() says why, and the branch keeps what it held.
    fit = FitResult();
    fit.failure = why;
    reportStop(why);
    return false;
}

void MechanismSynthesis::synthesize() {
    const int n = positionCount();
    if (!checkTask(n, n < minimumPositions
                          ? QStringLiteral("Synthesis needs at least %1 positions; the task has %2.")
                                .arg(minimumPositions)
                                .arg(n)
                          : QString()))
        return;
    if (fileOutput)
        DiagnosticFiles::writeDataRows(data);
    branch->clearBranch();
    fit = NPositionFit::run(data, static_cast<arma::uword>(n), decisionSettings());
    rebuildPointList();
    if (!decomposed(Operation::NPosition, fit))
        return;
    if (fileOutput) {
        DiagnosticFiles::writeStep("Step 2 \n");
        DiagnosticFiles::writeStep("Step 3 \n");
    }
    QString cfeText;
    for (const FitResult::Root &r : fit.realRoots)
        cfeText += QString::number(r.sfe, 'g', 6) + QLatin1Char(',');
    if (!quietRun)
        emit updateCFE(cfeText);
    if (fileOutput)
        DiagnosticFiles::writeStep("Step 4 \n");
    branch->setupPointList(pointList);
    handOverDyads(firstPose(), Operation::NPosition);
    writeReport();
    reportUnwrittenFiles();
}

// Writes the data matrix and its normal matrix. Nothing of a failed decomposition may be read:
// the branch stays empty and the panel clears.
bool MechanismSynthesis::decomposed(Operation op, const FitResult &result) {
    if (fileOutput && result.d.n_elem > 0) {
        DiagnosticFiles::writeMatrices(result.d, result.normalMatrix());
        if (op == Operation::NPosition)
            DiagnosticFiles::writeStep("Step 1 \n");
    }
    if (result.ok)
        return true;
    if (!quietRun && messages)
        std::fprintf(messages, "error: %s\n", result.failure.toLocal8Bit().constData());
    reportStop(QStringLiteral("Synthesis stopped: %1. No dyads were made.").arg(result.failure));
    if (!quietRun)
        emit synthesisdone(0, 0);
    reportUnwrittenFiles();
    return false;
}

// Both dyad passes: one first-pass RR per root, and the dyad the type decision selects. Only the
// n-position operation marks approximate sliders, highlights their first-pass RR and gives the
// branch the first-pass list; the variants keep the selected dyads' names.
void MechanismSynthesis::handOverDyads(const Point &pose0, Operation op) {
    const bool nPosition = op == Operation::NPosition;
    if (fileOutput) {
        if (nPosition)
            DiagnosticFiles::writeStep("Step 444 \n");
        writeParameterLines(op);
    }
    std::vector<std::shared_ptr<Dyad>> firstPass;
    std::vector<std::shared_ptr<Dyad>> selected;
    for (const FitResult::Root &root : fit.realRoots) {
        firstPass.push_back(DyadFactory::makeRR(pose0, root));
        branch1 = QStringLiteral("RR");
    }
    for (size_t i = 0; i < fit.realRoots.size(); ++i) {
        const FitResult::Root &root = fit.realRoots[i];
        selected.push_back(DyadFactory::makeSelected(pose0, root, nPosition));
        branch1 = TypeDecision::kindName(root.choice);
        if (nPosition && TypeDecision::isApproximate(root.choice))
            firstPass[i]->setHighlighted(true);
    }
    for (const std::shared_ptr<Dyad> &d : selected) {
        branch->createDyad(d);
        if (nPosition)
            branch->setSynthesizedDyads(firstPass);
    }
    if (fileOutput)
        branch->printallsynthesizeddyads();
    if (!quietRun)
        emit synthesisdone(static_cast<int>(fit.realRoots.size()), 0);
    if (fileOutput && nPosition)
        DiagnosticFiles::writeStep("Step 5 \n");
}

// Three-position synthesis reopens "Parameters.txt" for each chosen pivot, starting it with
// "Done", so the file keeps the lines of the last pivot only.
void MechanismSynthesis::writeParameterLines(Operation op) const {
    if (op != Operation::ThreePosition) {
        DiagnosticFiles::writeParameters(fit.realRoots);
        return;
    }
    std::vector<FitResult::Root> last;
    if (!fit.realRoots.empty())
        last.push_back(fit.realRoots.back());
    DiagnosticFiles::writeParameters(last, "Done");
}

void MechanismSynthesis::writeReport() {
    if (!fileOutput) {
        if (!quietRun)
            emit updateOutfile(DiagnosticFiles::dyadListing(fit));
        return;
    }
    const QString listing = DiagnosticFiles::writeOutput(fit, threshold);
    if (!quietRun)
        emit updateOutfile(listing);
    DiagnosticFiles::writeEquations(fit);
    DiagnosticFiles::writeSolStats(branch->getDyadListCpy());
    DiagnosticFiles::writeStep("Step 2 \n");
}
