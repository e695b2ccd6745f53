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
bool MechanismSynthesis::checkVariantTask(int n, int wanted, bool inputGiven,
                                          const QString &operation, const QString &missing) {
    if (!branch) {
        reportStop(QStringLiteral("Synthesis has no branch to hand its dyads to."));
        return false;
    }
    if (n != wanted) {
        reportStop(QStringLiteral("%1 needs exactly %2 positions; the task has %3.")
                       .arg(operation)
                       .arg(wanted)
                       .arg(n));
        return false;
    }
    if (!inputGiven) {
        reportStop(QStringLiteral("%1 needs %2.").arg(operation, missing));
        return false;
    }
    if (static_cast<int>(data.n_rows) < n || data.n_cols < 3) {
        reportStop(QStringLiteral("The data matrix holds %1 rows for %2 positions.")
                       .arg(data.n_rows)
                       .arg(n));
        return false;
    }
    return true;
}

// A solution that cannot become a dyad is left out, and the user is told so.
void MechanismSynthesis::reportSkipped(const QStringList &why) {
    for (const QString &line : why)
        reportStop(line);
}

void MechanismSynthesis::synthesize4pos() {
    const int n = positionCount();
    if (!checkVariantTask(n, fourPositions, lineDefined, QStringLiteral("Four-position synthesis"),
                          QStringLiteral("a line for the fixed pivot")))
        return;
    if (fileOutput)
        DiagnosticFiles::writeDataRows(arma::mat());
    branch->clearBranch();
    const LineConstraint line = lineConstraint();
    const FourPositionFit::Result r =
        FourPositionFit::run(data, static_cast<arma::uword>(n), line, decisionSettings());
    rebuildPointList();
    if (!decomposed(Operation::FourPosition, r.fit))
        return;
    fit = r.fit;
    reportSkipped(r.skipped);
    branch->setupPointList(pointList);
    handOverDyads(firstPose(), Operation::FourPosition);
    if (!fileOutput)
        return;
    VariantFiles::writeFourPositionOutput(r, line, data, static_cast<arma::uword>(n));
    DiagnosticFiles::writeEquations(fit);
    DiagnosticFiles::writeSolStats(branch->getDyadListCpy());
}

void MechanismSynthesis::synthesize3pos() {
    const int n = positionCount();
    if (!checkVariantTask(n, threePositions, udp1Defined && udp2Defined,
                          QStringLiteral("Three-position synthesis"),
                          QStringLiteral("two chosen fixed pivots")))
        return;
    if (fileOutput)
        DiagnosticFiles::writeDataRows(arma::mat());
    branch->clearBranch();
    const std::array<ThreePositionFit::Pivot, 2> pivots{
        {{udp1.x(), udp1.y()}, {udp2.x(), udp2.y()}}};
    const ThreePositionFit::Result r =
        ThreePositionFit::run(data, static_cast<arma::uword>(n), pivots, decisionSettings());
    rebuildPointList();
    if (!decomposed(Operation::ThreePosition, r.fit))
        return;
    fit = r.fit;
    reportSkipped(r.skipped);
    branch->setupPointList(pointList);
    handOverDyads(firstPose(), Operation::ThreePosition);
    if (fileOutput)
        VariantFiles::writeThreePositionOutput(r, lineConstraint(), data, static_cast<arma::uword>(n));
}
