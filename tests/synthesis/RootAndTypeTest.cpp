// Choosing b for a real root, and the type decision that turns a root into RR, PR or RP.
#include "ConicPair.h"
#include "RootSelection.h"
#include "TypeDecision.h"

#include <QtTest>
#include "TestSupport.h"
#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(TypeDecision::Choice)
Q_DECLARE_METATYPE(arma::vec)
Q_DECLARE_METATYPE(ConicPair)

namespace {
// Conics that do not depend on a: A = k2 b^2 + k5 b + k6, B = m2 b^2 + m5 b + m6.
ConicPair constantInA(double k2, double k5, double k6, double m2, double m5, double m6) {
    ConicPair c;
    c.k = {0.0, k2, 0.0, 0.0, k5, k6};
    c.m = {0.0, m2, 0.0, 0.0, m5, m6};
    return c;
}

arma::vec unitVector(std::initializer_list<double> values) { return arma::vec(values); }

const double notANumber = std::numeric_limits<double>::quiet_NaN();
} // namespace

class RootAndTypeTest : public QObject {
    Q_OBJECT
private slots:
    void selectsTheCommonRootB_data();
    void selectsTheCommonRootB();
    void typeDecisionFollowsItsRules_data();
    void typeDecisionFollowsItsRules();
};

// Conics in b alone, built from the roots each must have; NaN: no b may be chosen.
void RootAndTypeTest::selectsTheCommonRootB_data() {
    QTest::addColumn<ConicPair>("conics");
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("wantB");
    // A: (b - 1)(b - 3), B: (b - 3)(b + 4): the shared root 3 is A's "+" and B's "+".
    QTest::newRow("first agreeing pair") << constantInA(1, -4, 3, 1, 1, -12) << 0.7 << 3.0;
    // A: (b - 2)^2 gives c0 = c1 = 2; B has roots 5 and -1.
    QTest::newRow("double root of A") << constantInA(1, -4, 4, 1, -4, -5) << 0.0 << 2.0;
    // Regression: candidates 2 +- 1e-4 against an exact 2 used to give b = 0. A = 1e-12 (b - 2)
    // (b - 1e12): its small root cancels in the textbook formula; B = (b - 2)(b - 3).
    const double k2 = 1e-12, big = 1e12;
    QTest::newRow("candidates that miss each other")
        << constantInA(k2, -k2 * (2.0 + big), k2 * 2.0 * big, 1, -5, 6) << 0.0 << 2.0;
    // Two parallel lines in b: 2b + 1 = 0 and 2b + 3 = 0 share no root.
    QTest::newRow("no common root") << constantInA(0, 2, 1, 0, 2, 3) << 1.0 << notANumber;
}

void RootAndTypeTest::selectsTheCommonRootB() {
    QFETCH(ConicPair, conics);
    QFETCH(double, a);
    QFETCH(double, wantB);
    const double b = RootSelection::selectB(conics, a);
    if (std::isnan(wantB))
        QVERIFY2(std::isnan(b), qPrintable(QString::number(b)));
    else
        QVERIFY2(std::fabs(b - wantB) < 1e-9, qPrintable(QString::number(b, 'g', 17)));
}

void RootAndTypeTest::typeDecisionFollowsItsRules_data() {
    QTest::addColumn<arma::vec>("q");
    QTest::addColumn<double>("x0");
    QTest::addColumn<double>("y0");
    QTest::addColumn<double>("x1");
    QTest::addColumn<double>("y1");
    QTest::addColumn<double>("r");
    QTest::addColumn<TypeDecision::Choice>("expected");
    using C = TypeDecision::Choice;
    // Pivots and radius in task sizes (the fit's frame); link ratio 2, threshold 1e-5 (the
    // defaults).
    const arma::vec generic{0.5, 0.2, -0.3, 1.0, 0.4, 0.1, 0.2, -0.6};
    QTest::newRow("RP: p1, p4, p5 below the threshold, RR box would pass")
        << unitVector({9e-6, 0.5, 1.0, -9e-6, 5e-6, 0.3, 0.1, 0.2}) << 1.0 << 1.0 << 1.0 << 1.0
        << 2.0 << C::RP;
    QTest::newRow("PR: p1, p2, p3 below the threshold")
        << unitVector({1e-7, -2e-6, 3e-6, 1.0, 0.4, 0.2, 0.1, 0.3}) << 1.0 << 1.0 << 1.0 << 1.0
        << 2.0 << C::PR;
    QTest::newRow("threshold itself is not below it")
        << unitVector({1e-5, 0.5, 1.0, 1e-5, 1e-5, 0.3, 0.1, 0.2}) << 1.0 << 1.0 << 1.0 << 1.0
        << 2.0 << C::RRNearTask;
    QTest::newRow("RR with both pivots ten task sizes out") << generic << 6.0 << -8.0 << -8.0 << 6.0
                                                            << 100.0 << C::RRNearTask;
    QTest::newRow("RR farther out with a short link")
        << generic << 10.5 << 0.0 << 0.0 << 0.0 << 20.0 << C::RRShortLink;
    QTest::newRow("RR whose moving pivot alone is far out")
        << generic << 1.0 << 0.0 << 0.0 << 10.5 << 10.0 << C::RRShortLink;
    QTest::newRow("RR outside the box with a NaN radius")
        << generic << 0.0 << 16.0 << 0.0 << 0.0 << notANumber << C::RRShortLink;
    QTest::newRow("long RR with its fixed pivot within twenty task sizes")
        << generic << 12.0 << -16.0 << 500.0 << 0.0 << 20.5 << C::ApproximateRP;
    QTest::newRow("long RR with its fixed pivot farther out")
        << generic << 20.5 << 0.0 << 0.0 << 0.0 << 21.0 << C::ApproximatePR;
}

void RootAndTypeTest::typeDecisionFollowsItsRules() {
    QFETCH(arma::vec, q);
    QFETCH(double, x0);
    QFETCH(double, y0);
    QFETCH(double, x1);
    QFETCH(double, y1);
    QFETCH(double, r);
    QFETCH(TypeDecision::Choice, expected);
    const DyadExtraction::RRNumbers rr{x0, y0, r, x1, y1};
    QCOMPARE(TypeDecision::decide(q, rr, TypeDecision::Settings{}), expected);
}

MS_REGISTER_TEST(RootAndTypeTest)
#include "RootAndTypeTest.moc"
