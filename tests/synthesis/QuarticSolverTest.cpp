// The closed-form quartic: known roots, the cases where the textbook formula fails, degree drops.
#include "QuarticSolver.h"
#include "RootSelection.h"

#include <QtTest>
#include "TestSupport.h"
#include <armadillo>
#include <algorithm>
#include <complex>
#include <random>
#include <vector>

using cplx = std::complex<double>;
Q_DECLARE_METATYPE(std::vector<cplx>)
Q_DECLARE_METATYPE(std::vector<double>)

namespace {
// Coefficients (highest first) of lead * prod (a - r) over the given roots, expanded by hand.
std::vector<double> expand(const std::vector<cplx> &roots, double lead) {
    std::vector<cplx> c{cplx(lead)};
    for (const cplx &r : roots) {
        std::vector<cplx> next(c.size() + 1, cplx(0.0));
        for (size_t i = 0; i < c.size(); ++i) {
            next[i] += c[i];
            next[i + 1] -= c[i] * r;
        }
        c = next;
    }
    std::vector<double> real;
    for (const cplx &v : c)
        real.push_back(v.real());
    return real;
}

// Each expected root must be matched by a distinct found root within tol (greedy nearest).
bool matchesRoots(const std::vector<cplx> &found, std::vector<cplx> expected, double tol) {
    for (const cplx &f : found) {
        auto best = std::min_element(expected.begin(), expected.end(), [&](cplx a, cplx b) {
            return std::abs(a - f) < std::abs(b - f);
        });
        if (best == expected.end() || std::abs(*best - f) > tol * std::max(1.0, std::abs(*best)))
            return false;
        expected.erase(best);
    }
    return expected.empty();
}

std::vector<cplx> solved(const QuarticRoots &r) {
    return std::vector<cplx>(r.roots.begin(), r.roots.begin() + r.degree);
}

int countReal(const QuarticRoots &r) { return static_cast<int>(RootSelection::realRoots(r).size()); }

// Roots of a quartic (highest coefficient first) as the eigenvalues of its companion matrix:
// an expectation for quartics that were not built from their roots.
std::vector<cplx> companionRoots(const std::vector<double> &c) {
    arma::mat m(4, 4, arma::fill::zeros);
    for (arma::uword j = 0; j < 4; ++j)
        m(0, j) = -c[j + 1] / c[0];
    for (arma::uword i = 1; i < 4; ++i)
        m(i, i - 1) = 1.0;
    const arma::cx_vec e = arma::eig_gen(m);
    return std::vector<cplx>(e.begin(), e.end());
}
} // namespace

class QuarticSolverTest : public QObject {
    Q_OBJECT
private slots:
    void findsTheRootsOfTheQuartic_data();
    void findsTheRootsOfTheQuartic();
    void solvesTheLowerDegreeEquationWhenTheLeadingCoefficientVanishes_data();
    void solvesTheLowerDegreeEquationWhenTheLeadingCoefficientVanishes();
    void findsFourRealRootsOfRandomQuarticsOverWideRanges();
    void realRootTestAcceptsImaginaryPartExactlyAtTheTolerance();
};

void QuarticSolverTest::findsTheRootsOfTheQuartic_data() {
    QTest::addColumn<std::vector<double>>("coefficients");
    QTest::addColumn<std::vector<cplx>>("roots");
    QTest::addColumn<int>("realCount");
    QTest::addColumn<double>("tolerance");
    // A root of multiplicity m is only determined to about eps^(1/m) of its size.
    const double simple = 1e-9, twofold = 1e-7, fourfold = 1e-3;
    auto row = [](const char *name, std::vector<cplx> roots, double lead, int real, double tol) {
        QTest::newRow(name) << expand(roots, lead) << roots << real << tol;
    };
    row("four real", {1, 2, 3, 4}, 1.0, 4, simple);
    row("widely spread", {-1000, 0.001, 2, 3}, 1.0, 4, simple);
    // Regression: delta1 < 0 with delta1^2 > 4 delta0^3, where delta1 + sqrt(...) cancels; the
    // textbook sign left the real roots with |Im| about 1e-6 and one was dropped.
    row("cancelling delta1 + sqrt",
        {16.39279714, -6.681297734, cplx(-4.884728838, 0.934407062), cplx(-4.884728838, -0.934407062)},
        1.0, 2, simple);
    row("two real, two complex", {-2, 5, cplx(1, 3), cplx(1, -3)}, 1.0, 2, simple);
    row("no real", {cplx(-1, 0.5), cplx(-1, -0.5), cplx(2, 4), cplx(2, -4)}, 3.0, 0, simple);
    row("double roots", {-1, -1, 2, 2}, 1.0, 4, twofold);
    row("double root and a complex pair", {0.5, 0.5, cplx(0, 2), cplx(0, -2)}, 1.0, 2, twofold);
    row("quadruple root", {1.5, 1.5, 1.5, 1.5}, 1.0, 4, fourfold);
    // a^4 - 1: the principal cube root gives S = 0 and the split term q/S is 0/0.
    row("S is zero", {1, -1, cplx(0, 1), cplx(0, -1)}, 1.0, 2, 1e-12);
    // a^4 - 3a^2 + a - 0.75: delta0 = 9 - 12*0.75 = 0 and delta1 < 0, so the textbook cube root
    // is the cube root of 0 and T divides by it.
    const std::vector<double> flat{1.0, 0.0, -3.0, 1.0, -0.75};
    QTest::newRow("delta0 zero, delta1 negative") << flat << companionRoots(flat) << 2 << simple;
}

void QuarticSolverTest::findsTheRootsOfTheQuartic() {
    QFETCH(std::vector<double>, coefficients);
    QFETCH(std::vector<cplx>, roots);
    QFETCH(int, realCount);
    QFETCH(double, tolerance);
    const std::vector<double> &c = coefficients;
    const QuarticRoots r = QuarticSolver::solve(c[0], c[1], c[2], c[3], c[4]);
    QCOMPARE(r.degree, 4);
    QVERIFY2(matchesRoots(solved(r), roots, tolerance), "roots differ from the quartic's");
    QCOMPARE(countReal(r), realCount);
}

void QuarticSolverTest::solvesTheLowerDegreeEquationWhenTheLeadingCoefficientVanishes_data() {
    QTest::addColumn<std::vector<cplx>>("roots");
    QTest::newRow("cubic") << std::vector<cplx>{1, 2, 3};
    QTest::newRow("quadratic") << std::vector<cplx>{-0.5, 7};
    QTest::newRow("linear") << std::vector<cplx>{2.25};
}

void QuarticSolverTest::solvesTheLowerDegreeEquationWhenTheLeadingCoefficientVanishes() {
    QFETCH(std::vector<cplx>, roots);
    std::vector<double> c = expand(roots, 2.0);
    c.insert(c.begin(), 4 - roots.size(), 0.0);
    QCOMPARE(c.size(), size_t(5));
    const QuarticRoots r = QuarticSolver::solve(c[0], c[1], c[2], c[3], c[4]);
    QCOMPARE(r.degree, static_cast<int>(roots.size()));
    QVERIFY(matchesRoots(solved(r), roots, 1e-10));
    for (int i = r.degree; i < 4; ++i)
        QVERIFY(std::isnan(r.roots[static_cast<size_t>(i)].real()));
}

void QuarticSolverTest::findsFourRealRootsOfRandomQuarticsOverWideRanges() {
    std::mt19937 gen(20240611u);
    std::uniform_real_distribution<double> spread(-50.0, 50.0);
    for (int trial = 0; trial < 500; ++trial) {
        std::vector<cplx> roots;
        for (int k = 0; k < 4; ++k)
            roots.emplace_back(spread(gen));
        const std::vector<double> c = expand(roots, spread(gen));
        const QuarticRoots r = QuarticSolver::solve(c[0], c[1], c[2], c[3], c[4]);
        // Random roots can come close; the tolerance covers a pair 1e-3 apart.
        QVERIFY2(matchesRoots(solved(r), roots, 1e-6), qPrintable(QString::number(trial)));
        QVERIFY2(countReal(r) == 4, qPrintable(QString::number(trial)));
    }
}

void QuarticSolverTest::realRootTestAcceptsImaginaryPartExactlyAtTheTolerance() {
    QuarticRoots r;
    r.roots = {cplx(1.0, 1e-6), cplx(2.0, -1e-6), cplx(3.0, 1.0000001e-6), cplx(4.0, 0.0)};
    const std::vector<double> real = RootSelection::realRoots(r);
    QCOMPARE(real, (std::vector<double>{1.0, 2.0, 4.0}));
}

MS_REGISTER_TEST(QuarticSolverTest)
#include "QuarticSolverTest.moc"
