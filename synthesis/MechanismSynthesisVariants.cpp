// The engine's four- and three-position operations: each its own few steps around the shared
// decomposition, dyad passes and files.
#include "MechanismSynthesis.h"

#include "Branch.h"
#include "DiagnosticFiles.h"
#include "FourPositionFit.h"
#include "ThreePositionFit.h"
#include "VariantFiles.h"

// The main window runs a variant only for its own number of positions and with its input
// given; anything else (a script, the command line) is told what is missing and changes nothing.
// Then the run starts as every variant's does: an empty "datamat.txt" and a cleared branch.
bool MechanismSynthesis::startVariant(int n, int wanted, bool inputGiven, const QString &operation,
                                      const QString &missing) {
    QString problem;
    if (n != wanted)
        problem = QStringLiteral("%1 needs exactly %2 positions; the task has %3.")
                      .arg(operation)
                      .arg(wanted)
                      .arg(n);
    else if (!inputGiven)
        problem = QStringLiteral("%1 needs %2.").arg(operation, missing);
    if (!checkTask(n, problem))
        return false;
    if (fileOutput)
        DiagnosticFiles::writeDataRows(arma::mat());
    branch->clearBranch();
    return true;
}

// The variant's fit becomes the engine's: its dyads go to the branch, the solutions it left out
// are told. False when the fit failed or there are no files to write.
bool MechanismSynthesis::handOverVariant(Operation op, const FitResult &result,
                                         const QStringList &skipped) {
    rebuildPointList();
    if (!decomposed(op, result))
        return false;
    fit = result;
    reportSkipped(skipped);
    branch->setupPointList(pointList);
    handOverDyads(firstPose(), op);
    return fileOutput;
}

// A solution that cannot become a dyad is left out, and the user is told so.
void MechanismSynthesis::reportSkipped(const QStringList &why) {
    for (const QString &line : why)
        reportStop(line);
}

void MechanismSynthesis::synthesize4pos() {
    const int n = positionCount();
    if (!startVariant(n, fourPositions, lineDefined, QStringLiteral("Four-position synthesis"),
                      QStringLiteral("a line for the fixed pivot")))
        return;
    const LineConstraint line = lineConstraint();
    const arma::uword rows = static_cast<arma::uword>(n);
    const FourPositionFit::Result r = FourPositionFit::run(data, rows, line, decisionSettings());
    if (!handOverVariant(Operation::FourPosition, r.fit, r.skipped))
        return;
    VariantFiles::writeFourPositionOutput(r, line, data, rows);
    DiagnosticFiles::writeEquations(fit);
    DiagnosticFiles::writeSolStats(branch->getDyadListCpy());
    reportUnwrittenFiles();
}

void MechanismSynthesis::synthesize3pos() {
    const int n = positionCount();
    if (!startVariant(n, threePositions, udp1Defined && udp2Defined,
                      QStringLiteral("Three-position synthesis"),
                      QStringLiteral("two chosen fixed pivots")))
        return;
    const std::array<ThreePositionFit::Pivot, 2> pivots{{{udp1.x(), udp1.y()}, {udp2.x(), udp2.y()}}};
    const arma::uword rows = static_cast<arma::uword>(n);
    const ThreePositionFit::Result r = ThreePositionFit::run(data, rows, pivots, decisionSettings());
    if (handOverVariant(Operation::ThreePosition, r.fit, r.skipped))
        VariantFiles::writeThreePositionOutput(r, lineConstraint(), data, rows);
    reportUnwrittenFiles();
}
