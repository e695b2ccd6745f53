// Writing the diagnostic trail of a synthesis run: input rows, matrices, progress, parameters,
// the numeric report, equation residuals and the summary of the first two dyads.
#include "DiagnosticFiles.h"

#include "Dyad.h"
#include "TextFileWriter.h"

#include <algorithm>
#include <ostream>

void DiagnosticFiles::writeVector(std::ostream &out, const arma::vec &v) {
    for (arma::uword i = 0; i < v.n_elem; ++i)
        out << v(i) << '\n';
}

namespace {
void writeBasisSection(std::ostream &out, const FitResult &fit) {
    using F = DiagnosticFiles;
    out << "Right Singular Vectors" << '\n';
    for (arma::uword k = 0; k < 3; ++k) {
        F::writeVector(out, fit.basisVector(static_cast<int>(k)));
        out << '\n';
    }
    F::writeErrorsAndValues(out, fit.basisErrors, fit.basis.eigenvalues());
}
} // namespace

void DiagnosticFiles::writeErrorsAndValues(std::ostream &out, const std::array<double, 3> &errors,
                                           const arma::vec &values) {
    out << '\n' << "Constraint Fitting Error before optimization" << '\n' << '\n';
    for (double e : errors)
        out << e << '\n';
    out << '\n' << "Singular Values" << '\n' << '\n';
    writeVector(out, values);
}

void DiagnosticFiles::writeCoefficients(std::ostream &out, const FitResult &fit) {
    out << " Values of K and M" << '\n' << '\n';
    for (size_t i = 0; i < 6; ++i)
        out << 'k' << i + 1 << " :" << fit.conics.k[i] << '\n';
    out << '\n';
    for (size_t i = 0; i < 6; ++i)
        out << 'm' << i + 1 << " :" << fit.conics.m[i] << '\n';
    out << '\n';
}

void DiagnosticFiles::writeRootSections(std::ostream &out, const FitResult &fit) {
    out << '\n' << "Roots of a " << '\n' << '\n';
    for (size_t i = 0; i < 4; ++i)
        out << (i ? "     " : "") << fit.roots.roots[i];
    out << '\n';
    out << '\n' << "Roots of b " << '\n' << '\n';
    for (const auto &candidates : fit.bCandidates) {
        for (const std::complex<double> &b : candidates)
            out << b << '\n';
        out << '\n';
    }
    out << '\n' << "Real Roots of a " << '\n' << '\n';
    for (const FitResult::Root &r : fit.realRoots)
        out << r.a << '\n';
    out << '\n';
    out << '\n' << "Real Roots of b " << '\n';
    for (const FitResult::Root &r : fit.realRoots)
        out << r.b << '\n';
}

void DiagnosticFiles::writeResidualSections(std::ostream &out, const FitResult &fit) {
    out << '\n' << "Equation A = k1*a^2+k2*b^2+k3*a*b+k4*a+k5*b+k6" << '\n' << '\n';
    for (const FitResult::Root &r : fit.realRoots)
        out << r.equationA << '\n';
    out << '\n';
    out << '\n' << "Equation B = m1*a^2+m2*b^2+m3*a*b+m4*a+m5*b+m6" << '\n' << '\n';
    for (const FitResult::Root &r : fit.realRoots)
        out << r.equationB << '\n';
}

void DiagnosticFiles::writeVectorBlocks(std::ostream &out, const FitResult &fit, const char *label,
                                        bool unit) {
    int i = 1;
    for (const FitResult::Root &r : fit.realRoots) {
        out << label << i++ << "  " << "CFE" << ' ' << r.cfe << ' ' << "SFE" << ' ' << r.sfe
            << '\n' << '\n';
        writeVector(out, unit ? r.p : r.q);
        out << '\n' << '\n';
    }
}

void DiagnosticFiles::writeDataRows(const arma::mat &task) {
    TextFileWriter outFile(QStringLiteral("datamat.txt"));
    std::ostream &out = outFile.stream();
    const arma::uword rows = std::min<arma::uword>(5, task.n_rows);
    const arma::uword cols = std::min<arma::uword>(3, task.n_cols);
    for (arma::uword i = 0; i < rows; ++i) {
        for (arma::uword j = 0; j < cols; ++j)
            out << task(i, j) << '\t';
        out << '\n';
    }
}

void DiagnosticFiles::writeMatrices(const arma::mat &d, const arma::mat &k) {
    TextFileWriter aFile(QStringLiteral("mata.txt"));
    std::ostream &a = aFile.stream();
    a.precision(3);
    a << d;
    TextFileWriter bFile(QStringLiteral("matb.txt"));
    std::ostream &b = bFile.stream();
    b.precision(14);
    b << k;
}

void DiagnosticFiles::writeStep(const char *marker) {
    TextFileWriter outFile(QStringLiteral("steps.txt"));
    std::ostream &out = outFile.stream();
    out << marker;
}

void DiagnosticFiles::writeParameters(const std::vector<FitResult::Root> &roots, const char *head) {
    TextFileWriter outFile(QStringLiteral("Parameters.txt"));
    std::ostream &out = outFile.stream();
    out << head;
    for (const FitResult::Root &r : roots)
        out << r.rr.x0 << ' ' << r.rr.y0 << ' ' << r.rr.r << ' ' << r.rr.x1 << ' ' << r.rr.y1
            << '\n';
    for (const FitResult::Root &r : roots)
        out << r.pr.lineA << ' ' << r.pr.lineB << ' ' << r.pr.lineC << ' ' << r.pr.x1 << ' '
            << r.pr.y1 << '\n';
}

QString DiagnosticFiles::dyadListing(const FitResult &fit) {
    QString text;
    int i = 1;
    for (const FitResult::Root &r : fit.realRoots) {
        text += QStringLiteral("Dyad ") + QString::number(i++) + QLatin1Char('\n');
        for (arma::uword k = 0; k < r.q.n_elem; ++k)
            text += QString::number(r.q(k), 'g', 6) + QLatin1Char('\n');
        text += QLatin1Char('\n');
    }
    return text;
}

QString DiagnosticFiles::writeOutput(const FitResult &fit, double threshold) {
    const QString listing = dyadListing(fit);
    TextFileWriter outFile(QStringLiteral("output.txt"));
    std::ostream &out = outFile.stream();
    writeBasisSection(out, fit);
    writeCoefficients(out, fit);
    writeRootSections(out, fit);
    writeResidualSections(out, fit);
    out << '\n' << "ALLL the vr vrctors" << '\n' << '\n';
    writeVectorBlocks(out, fit, "vr", true);
    out << '\n' << "ALLL the normalised vr vrctors" << '\n' << '\n';
    writeVectorBlocks(out, fit, "nvr", false);
    out << threshold << listing.toStdString();
    return listing;
}

void DiagnosticFiles::writeEquations(const FitResult &fit) {
    TextFileWriter outFile(QStringLiteral("equation output.txt"));
    std::ostream &out = outFile.stream();
    for (const FitResult::Root &r : fit.realRoots)
        out << r.equationA << '\n';
    out << '\n';
    for (const FitResult::Root &r : fit.realRoots)
        out << r.equationB << '\n';
}

void DiagnosticFiles::writeSolStats(const std::vector<Dyad *> &dyads) {
    TextFileWriter outFile(QStringLiteral("SolStats.txt"));
    std::ostream &out = outFile.stream();
    if (dyads.size() < 2)
        return;
    const Point f1 = dyads[0]->fixedPivotCopy(), m1 = dyads[0]->movingPivotCopy();
    const Point f2 = dyads[1]->fixedPivotCopy(), m2 = dyads[1]->movingPivotCopy();
    for (const Point *p : {&f1, &f2, &m1, &m2})
        out << p->x() << ',' << p->y() << '\n';
    const double lengths[4] = {f1.distance(f2), m1.distance(m2), f1.distance(m1), f2.distance(m2)};
    double sum = 0.0;
    for (double l : lengths)
        out << l << '\n';
    for (double l : lengths)
        sum += l;
    const double shortest = *std::min_element(lengths, lengths + 4);
    const double longest = *std::max_element(lengths, lengths + 4);
    out << sum << '\n' << shortest << '\n' << longest << '\n';
    out << sumTestVerdict(lengths[0], lengths[1], lengths[2], lengths[3]).toStdString();
}

QString DiagnosticFiles::sumTestVerdict(double ground, double coupler, double first, double second) {
    const double lengths[4] = {ground, coupler, first, second};
    const double sum = ground + coupler + first + second;
    const double shortest = *std::min_element(lengths, lengths + 4);
    const double longest = *std::max_element(lengths, lengths + 4);
    return sum - (shortest + longest) < shortest + longest ? QStringLiteral("YES")
                                                           : QStringLiteral("NO");
}
