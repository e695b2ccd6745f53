// The image-space side of the fit: the engine's mapping, data rows that a dyad's quadric
// annuls, the polar forms of the constraints, the conics and their resultant.
#include "ConicPair.h"
#include "ConstraintForms.h"
#include "ImageMapping.h"
#include "KnownMechanisms.h"

#include <QtTest>
#include "TestSupport.h"
#include <cmath>
#include <random>

namespace {
using known::rrQuadric;

arma::vec randomVector(std::mt19937 &gen) {
    std::uniform_real_distribution<double> u(-2.0, 2.0);
    arma::vec v(8);
    for (arma::uword i = 0; i < 8; ++i)
        v(i) = u(gen);
    return v;
}
} // namespace

class ImageSpaceFitTest : public QObject {
    Q_OBJECT
private slots:
    void imagePointFollowsTheHalfAngleFormulas();
    void dataRowsOfAnRRsPosesAnnulItsQuadric();
    void polarFormsAreTheSymmetricBilinearPartOfTheConstraints();
    void resultantVanishesAtACommonRootOfTheConics();
};

void ImageSpaceFitTest::imagePointFollowsTheHalfAngleFormulas() {
    // theta = 180 degrees: s = sin(90 deg), c = cos(90 deg) with the engine's pi literal.
    const double h = 90.0 * 3.141592653 / 180.0;
    const arma::vec4 z = ImageMapping::imagePoint(2.0, -4.0, 180.0);
    QVERIFY(std::fabs(z(2) - std::sin(h)) < 1e-15);
    QVERIFY(std::fabs(z(3) - std::cos(h)) < 1e-15);
    QVERIFY(std::fabs(z(0) - 0.5 * (2.0 * std::sin(h) + 4.0 * std::cos(h))) < 1e-15);
    QVERIFY(std::fabs(z(1) - 0.5 * (2.0 * std::cos(h) - 4.0 * std::sin(h))) < 1e-15);
}

void ImageSpaceFitTest::dataRowsOfAnRRsPosesAnnulItsQuadric() {
    const double x0 = 1.3, y0 = -0.7, x1 = 0.4, y1 = 1.1, r = 2.0;
    const arma::vec p = rrQuadric(x0, y0, x1, y1, r);
    for (int k = 0; k < 12; ++k) {
        // The moving pivot on the circle at crank angle phi, the frame turned by any angle.
        const double phi = 0.3 + 0.5 * k, th = -2.0 + 0.4 * k;
        const double mx = x0 + r * std::cos(phi), my = y0 + r * std::sin(phi);
        const double x = mx - (std::cos(th) * x1 - std::sin(th) * y1);
        const double y = my - (std::sin(th) * x1 + std::cos(th) * y1);
        const arma::rowvec row = ImageMapping::dataRow(ImageMapping::imagePoint(x, y, known::engineDegrees(th)));
        QVERIFY2(std::fabs(arma::dot(row, p)) < 1e-13, qPrintable(QString::number(k)));
    }
}

void ImageSpaceFitTest::polarFormsAreTheSymmetricBilinearPartOfTheConstraints() {
    std::mt19937 gen(7u);
    for (int k = 0; k < 50; ++k) {
        const arma::vec x = randomVector(gen), y = randomVector(gen);
        const double b1 = ConstraintForms::c1(x + y) - ConstraintForms::c1(x) - ConstraintForms::c1(y);
        const double b2 = ConstraintForms::c2(x + y) - ConstraintForms::c2(x) - ConstraintForms::c2(y);
        QVERIFY(std::fabs(ConstraintForms::b1(x, y) - b1) < 1e-12);
        QVERIFY(std::fabs(ConstraintForms::b2(x, y) - b2) < 1e-12);
        QVERIFY(std::fabs(ConstraintForms::b1(x, y) - ConstraintForms::b1(y, x)) < 1e-14);
        QVERIFY(std::fabs(ConstraintForms::b1(x, x) - 2.0 * ConstraintForms::c1(x)) < 1e-12);
    }
}

void ImageSpaceFitTest::resultantVanishesAtACommonRootOfTheConics() {
    // Two conics through (a, b) = (1.5, -2) built by hand: each is (a - 1.5) * (...) + (b + 2) * (...).
    ConicPair c;
    // A: (a - 1.5)(a + b) + (b + 2)(2b - 1) = a^2 + ab - 1.5a - 1.5b + 2b^2 + 3b - 2
    c.k = {1.0, 2.0, 1.0, -1.5, 1.5, -2.0};
    // B: (a - 1.5)(3) + (b + 2)(a - b) = 3a - 4.5 + ab - b^2 + 2a - 2b
    c.m = {0.0, -1.0, 1.0, 5.0, -2.0, -4.5};
    QVERIFY(std::fabs(c.valueA(1.5, -2.0)) < 1e-15);
    QVERIFY(std::fabs(c.valueB(1.5, -2.0)) < 1e-15);
    const std::array<double, 5> q = c.resultantQuartic();
    const double a = 1.5;
    const double value = (((q[0] * a + q[1]) * a + q[2]) * a + q[3]) * a + q[4];
    QVERIFY(std::fabs(value) < 1e-12);
    QVERIFY(std::fabs(c.commonRoot(1.5) + 2.0) < 1e-14);
}

MS_REGISTER_TEST(ImageSpaceFitTest)
#include "ImageSpaceFitTest.moc"
