// Writing the reports of the four- and three-position operations into "output.txt".
#include "VariantFiles.h"

#include "DiagnosticFiles.h"
#include "TextFileWriter.h"

#include <ostream>

namespace {
using DF = DiagnosticFiles;

void writeLineAndTask(std::ostream &out, const LineConstraint &line, const arma::mat &task,
                      arma::uword n) {
    out << line.lineA << ',' << line.lineB << ',' << line.lineC << "============" << '\n';
    for (arma::uword i = 0; i < n && i < task.n_rows; ++i)
        out << task(i, 0) << ' ' << task(i, 1) << ' ' << task(i, 2) << "\n";
}

// "Right Singular Vectors", then each group of values followed by an empty line.
void writeGroups(std::ostream &out, const arma::vec &first, const arma::vec *rest, size_t count) {
    out << "Right Singular Vectors" << '\n';
    DF::writeVector(out, first);
    out << '\n';
    for (size_t i = 0; i < count; ++i) {
        DF::writeVector(out, rest[i]);
        out << '\n';
    }
}

void writeQuadric(std::ostream &out, const char *label, const FourPositionFit::QuadricABC &q) {
    for (size_t i = 0; i < q.q.size(); ++i)
        out << label << i + 1 << " :" << q.q[i] << '\n';
    out << '\n';
}

void writeLineAlgebra(std::ostream &out, const FourPositionFit::Result &r) {
    out << " Values of Kk and Mm" << '\n' << '\n';
    writeQuadric(out, "kk", r.equationA);
    writeQuadric(out, "mm", r.equationB);
    for (size_t i = 0; i < r.lineTerms.size(); ++i)
        out << 'c' << i + 1 << ':' << r.lineTerms[i] << '\n';
    out << '\n';
}

// c of every real pair, then the residual of each (a, b, c) quadric at every real triple.
void writeThirdCoordinate(std::ostream &out, const FourPositionFit::Result &r) {
    const std::vector<FitResult::Root> &roots = r.fit.realRoots;
    out << '\n' << "Roots of c " << '\n' << '\n';
    for (double c : r.rootC)
        out << c << '\n';
    const FourPositionFit::QuadricABC *quadrics[2] = {&r.equationA, &r.equationB};
    const char *titles[2] = {"Equation A (abc)", "Equation B (abc)"};
    for (int k = 0; k < 2; ++k) {
        out << '\n' << titles[k] << '\n' << '\n';
        for (size_t i = 0; i < roots.size(); ++i)
            out << quadrics[k]->value(roots[i].a, roots[i].b, r.rootC[i]) << '\n';
    }
}
} // namespace

void VariantFiles::writeFourPositionOutput(const FourPositionFit::Result &r,
                                           const LineConstraint &line, const arma::mat &task,
                                           arma::uword n) {
    TextFileWriter file(QStringLiteral("output.txt"));
    std::ostream &out = file.stream();
    writeLineAndTask(out, line, task, n);
    const arma::vec singular = r.fit.basis.singularValuesOfK();
    writeGroups(out, singular, r.f.data(), r.f.size());
    DF::writeErrorsAndValues(out, r.columnErrors, singular);
    writeLineAlgebra(out, r);
    DF::writeCoefficients(out, r.fit);
    DF::writeRootSections(out, r.fit);
    writeThirdCoordinate(out, r);
    DF::writeResidualSections(out, r.fit);
    out << '\n' << "ALLL the vr vrctors" << '\n' << '\n';
    DF::writeVectorBlocks(out, r.fit, "vr", true);
}

void VariantFiles::writeThreePositionOutput(const ThreePositionFit::Result &r,
                                            const LineConstraint &line, const arma::mat &task,
                                            arma::uword n) {
    TextFileWriter file(QStringLiteral("output.txt"));
    std::ostream &out = file.stream();
    for (const FitResult::Root &root : r.fit.realRoots) {
        out << "p done!" << '\n';
        DF::writeVector(out, root.p);
    }
    writeLineAndTask(out, line, task, n);
    writeGroups(out, r.fit.basis.singularValuesOfK(), r.g.data(), 4);
    out << r.fit.realRoots.size();
}
