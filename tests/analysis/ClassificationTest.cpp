// Classification of four-bars: the Grashof, non-Grashof and change-point families with their input
// limits (expected values from the law of cosines), the names of the slider pairs, the travel over
// which slider pairs close, and limits that must not outlive their pair.
#include "FourBarFixtures.h"
#include "Mechanism.h"
#include "PR.h"

#include <QtTest>
#include "TestSupport.h"
#include <cmath>
#include <random>

using namespace fixtures;

Q_DECLARE_METATYPE(fixtures::Kind)

namespace {
// Displacement of a slider input along its own line.
double displacement(const Dyad &d, double slideDeg, P origin) {
    return dot(sub(movingOf(d), origin), polar({0, 0}, 1.0, slideDeg));
}
} // namespace

class ClassificationTest : public QObject {
    Q_OBJECT
private slots:
    void fourRevoluteClassAndLimits_data() {
        QTest::addColumn<double>("G");
        QTest::addColumn<double>("L1");
        QTest::addColumn<double>("h");
        QTest::addColumn<double>("L2"); QTest::addColumn<double>("theta0");
        QTest::addColumn<bool>("open"); QTest::addColumn<QString>("label");
        QTest::addColumn<double>("lower");   // NaN: no limit expected; else from the ground line
        QTest::addColumn<double>("upper");
        const QString grashof = QStringLiteral("Grashoff ");
        // The rocker's limits: coupler and output folded (|h - L2|) or stretched (h + L2) across
        // the diagonal from M1 to O2; by hand 38.62 and 78.58.
        const double fold = lawOfCosinesDeg(3, 4, 2.5), stretch = lawOfCosinesDeg(3, 4, 4.5);
        const double outward = lawOfCosinesDeg(3, 4, 5.5), inward = lawOfCosinesDeg(3, 2, 3.3);
        QVERIFY(std::fabs(fold - 38.62) < 0.005 && std::fabs(stretch - 78.58) < 0.005);
        auto row = [](const char *name, double G, double L1, double h, double L2, double theta0,
                      bool open, const QString &label, double lower, double upper) {
            QTest::newRow(name) << G << L1 << h << L2 << theta0 << open << label << lower << upper;
        };
        row("crank-rocker", 4, 1, 3.5, 3, 60, true, grashof + "crank-rocker-rocker", 0, 180);
        row("double crank", 1, 3, 3.5, 3, 20, true, grashof + "crank-crank-crank", 0, 180);
        row("double rocker", 4, 3, 1, 3.5, 60, true, grashof + "rocker-crank-rocker", fold,
            stretch);
        row("double rocker, mirror side", 4, 3, 1, 3.5, -60, true, grashof + "rocker-crank-rocker",
            -stretch, -fold);
        row("rocker-crank", 4, 3, 3.5, 1, 60, true, grashof + "rocker-rocker-crank", fold, stretch);
        row("outward triple rocker", 4, 3, 2.5, 3, 20, true,
            "Non Grashof Outward/Outward Limited Triple Rocker", -outward, outward);
        row("inward triple rocker", 2, 3, 4.5, 1.2, 180, true,
            "Non Grashof Inward/Inward Limited Triple Rocker", inward, 360.0 - inward);
        const double none = std::nan("");
        row("square", 1, 1, 1, 1, 60, true, "Triple change point", none, none);
        row("rhombus", 2, 2, 2, 2, 40, false, "Triple change point", none, none);
        row("parallelogram", 3, 2, 3, 2, 60, false, "Change-point crank-rocker-rocker", none, none);
        row("antiparallelogram", 3, 2, 3, 2, 60, true, "Change-point crank-rocker-rocker", none,
            none);
        // Equal shortest bars count in the order input, coupler, output, ground.
        row("kite", 2, 3, 2, 3, 40, false, "Change-point rocker-crank-rocker", none, none);
    }
    // Each four-bar is placed at a fixed and at many random places in the plane.
    void fourRevoluteClassAndLimits() {
        QFETCH(double, G); QFETCH(double, L1); QFETCH(double, h); QFETCH(double, L2);
        QFETCH(double, theta0); QFETCH(bool, open); QFETCH(QString, label); QFETCH(double, lower);
        QFETCH(double, upper);
        std::mt19937 random(12345);
        std::uniform_real_distribution<double> angle(-180.0, 180.0), shift(-50.0, 50.0);
        const QString grashof = QStringLiteral("Grashoff ");
        for (int k = 0; k < 60; ++k) {
            const Placement place = k == 0 ? Placement{30.0, 6.0, -2.0}
                                           : Placement{angle(random), shift(random), shift(random)};
            Pair pair;
            QVERIFY(fourRevolute(pair, G, L1, h, L2, theta0, open, place));
            Mechanism m;
            if (k == 0)   // the class must not depend on whether a coupler point is attached
                m.setCouplerPose(pair.couplerPose);
            m.setDyads(pair.input.get(), pair.output.get());
            QCOMPARE(m.className(), label);
            if (std::isnan(lower)) {
                QVERIFY(!m.hasLowerLimit() && !m.hasUpperLimit());
                continue;
            }
            QVERIFY(m.hasLowerLimit() && m.hasUpperLimit());
            QVERIFY(m.getLowerLimit() < m.getUpperLimit());
            // A full crank's limits are 0 and 180 whatever the ground; a rocker's turn with it.
            const double want = label.startsWith(grashof + "crank") ? lower : place.turn(lower);
            QVERIFY2(std::fabs(angleDiff(m.getLowerLimit(), want)) < 1e-9,
                     qPrintable(QString::number(m.getLowerLimit())));
            QVERIFY(std::fabs(m.getUpperLimit() - m.getLowerLimit() - (upper - lower)) < 1e-9);
        }
    }
    void inputClosesExactlyOverItsRange_data() {
        QTest::addColumn<Kind>("kind"); QTest::addColumn<double>("turn");
        QTest::addColumn<double>("lower"); QTest::addColumn<double>("upper");
        QTest::addColumn<bool>("reported");   // the range is the mechanism's stated limits
        // Input slide along x from (0, 0), output line x = 4 through (4, 3), coupler 2: M1 = (s, 0)
        // reaches the line while |4 - s| <= 2, so the travel is [2, 6].
        QTest::newRow("double slider") << Kind::PRPR << 0.0 << 2.0 << 6.0 << true;
        QTest::newRow("double slider turned 30") << Kind::PRPR << 30.0 << 2.0 << 6.0 << true;
        QTest::newRow("double slider turned -135") << Kind::PRPR << -135.0 << 2.0 << 6.0 << true;
        // Crank 1 at 90 degrees from (0, 0), a vertical line through the block at (3, 0): the crank
        // is parallel to the line, where the old offset e = .../sin(phi) was infinite.
        const double edge = deg(std::acos(1.0 / 6.0));
        QTest::newRow("crank parallel to the line") << Kind::RRRP << 0.0 << edge << 360.0 - edge
                                                    << false;
    }
    void inputClosesExactlyOverItsRange() {
        QFETCH(Kind, kind); QFETCH(double, turn); QFETCH(double, lower); QFETCH(double, upper);
        QFETCH(bool, reported);
        Pair pair;
        standardPair(kind, pair, Placement{turn, -2.0, 5.0});
        Mechanism m;
        m.setCouplerPose(pair.couplerPose);
        m.setDyads(pair.input.get(), pair.output.get());
        if (reported) {
            QVERIFY(m.hasLowerLimit() && m.hasUpperLimit());
            QVERIFY(std::fabs(m.getLowerLimit() - lower) < 1e-9);
            QVERIFY(std::fabs(m.getUpperLimit() - upper) < 1e-9);
        }
        for (double v : {lower + 1e-6, 0.7 * lower + 0.3 * upper, upper - 1e-6}) {
            m.analyze(v);
            QVERIFY2(m.isLastStepValid(), qPrintable(QString::number(v)));
            const Point c = m.couplerPoint();
            QVERIFY(std::isfinite(c[0]) && std::isfinite(c[1]) && std::isfinite(c[2]));
        }
        for (double v : {lower - 1e-6, upper + 1e-6}) {
            m.analyze(v);
            QVERIFY2(!m.isLastStepValid(), qPrintable(QString::number(v)));
        }
    }
    void parallelSlidesHaveNoLimits() {
        const Point c(3.5, 2.0, 0.0);
        PR input(0, 0, 3, 0, c[0], c[1], c[2]);
        PR output(-1, 1, 4, 1, c[0], c[1], c[2]);
        Mechanism m;
        m.setCouplerPose(c);
        m.setDyads(&input, &output);
        QVERIFY(!m.hasLowerLimit() && !m.hasUpperLimit());
        // The coupler (sqrt 2 long) always spans the unit gap between the lines.
        for (double s = -50.0; s <= 50.0; s += 2.5) {
            m.analyze(s);
            QVERIFY(m.isLastStepValid());
        }
        // The drive starts where the slider was assembled.
        m.setCounter(0.0);
        QVERIFY(std::fabs(displacement(input, 0.0, {0, 0}) - 3.0) < 1e-12);
    }
    void swingingSliderHasANoCloseZone_data() {
        QTest::addColumn<double>("turn");
        QTest::newRow("slide along x") << 0.0;
        // With the slide off the x axis, cos(sigma1 + gamma) and cos(sigma1 - gamma) differ.
        QTest::newRow("turned 30") << 30.0;
        QTest::newRow("turned 100") << 100.0;
    }
    // Guards against cos(sigma1 + gamma) and the RP's tiny link in place of the line's offset.
    void swingingSliderHasANoCloseZone() {
        QFETCH(double, turn);
        Pair pair;
        standardPair(Kind::PRRP, pair, Placement{turn, 4.0, -1.0});
        const P o2 = fixedOf(*pair.output), handle = movingOf(*pair.output);
        const double offset = dist(o2, handle);
        const P n = scale(sub(handle, o2), 1.0 / offset);
        const double kc = dot(sub(movingOf(*pair.input), handle), n) + offset;
        const double halfZone = std::sqrt(kc * kc - 1.0);
        Mechanism m;
        m.setCouplerPose(pair.couplerPose);
        m.setDyads(pair.input.get(), pair.output.get());
        QVERIFY(!m.hasLowerLimit());
        QVERIFY(m.hasUpperLimit());
        QVERIFY(std::fabs(m.getUpperLimit() - (3.0 - halfZone)) < 1e-9);
        m.analyze(3.0 - halfZone - 1e-6);
        QVERIFY(m.isLastStepValid());
        for (double s : {3.0 - halfZone + 1e-6, 3.0, 3.0 + halfZone - 1e-6}) {
            m.analyze(s);
            QVERIFY(!m.isLastStepValid());
        }
        m.analyze(3.0 + halfZone + 1e-6);
        QVERIFY(m.isLastStepValid());
        // Driven from its assembly (s = 1), the slider stays on its own side of the zone.
        m.setCounter(0.0);
        QVERIFY(std::fabs(dot(sub(movingOf(*pair.input), fixedOf(*pair.input)),
                              polar({0, 0}, 1.0, turn)) - 1.0) < 1e-12);
        for (int k = 0; k < 400; ++k) {
            m.stepForward();
            QVERIFY(m.isLastStepValid());
            QVERIFY(dot(sub(movingOf(*pair.input), fixedOf(*pair.input)),
                        polar({0, 0}, 1.0, turn)) <= 3.0 - halfZone + 1e-9);
        }
    }
    // Guards against the drive centred on s0 with a stray factor 2: limits [2, 6] and s0 = 2.5
    // started at 1.75 and covered 0.5 ..
    void driveStartsAtTheAssembledDisplacementAndStaysInside() {
        const double y = std::sqrt(4.0 - 1.5 * 1.5);
        const Point c(3.0, 1.0, 0.0);
        PR input(0, 0, 2.5, 0, c[0], c[1], c[2]);
        PR output(4, 3, 4, y, c[0], c[1], c[2]);
        Mechanism m;
        m.setCouplerPose(c);
        m.setDyads(&input, &output);
        m.setCounter(0.0);
        QVERIFY(std::fabs(displacement(input, 0.0, {0, 0}) - 2.5) < 1e-12);
        double lo = 1e9, hi = -1e9;
        for (int k = 0; k < 720; ++k) {
            m.stepForward();
            QVERIFY(m.isLastStepValid());
            const double s = displacement(input, 0.0, {0, 0});
            QVERIFY(s >= 2.0 - 1e-9 && s <= 6.0 + 1e-9);
            lo = std::min(lo, s);
            hi = std::max(hi, s);
        }
        QVERIFY(lo < 2.001 && hi > 5.999);
    }
    // Guards against limits kept from the previous mechanism: the crank slider has none of its own.
    void limitsAreResetWhenACrankSliderFollowsADoubleSlider() {
        Pair sliders, crankSlider;
        standardPair(Kind::PRPR, sliders);
        standardPair(Kind::RRPR, crankSlider);
        Mechanism m;
        m.setCouplerPose(sliders.couplerPose);
        m.setDyads(sliders.input.get(), sliders.output.get());
        QVERIFY(m.hasLowerLimit() && m.getSliderAmplitude() > 0.0);
        m.setDyads(crankSlider.input.get(), crankSlider.output.get());
        QVERIFY(!m.hasLowerLimit() && !m.hasUpperLimit());
        QCOMPARE(m.getSliderAmplitude(), 0.0);
        QCOMPARE(m.getSliderPhase(), 0.0);
        QStringList lines;
        QVERIFY(fileLines("Mechanism Limits.txt", lines));
        QCOMPARE(lines.value(0), QStringLiteral("Upper  none  Lower  none"));
        QCOMPARE(lines.value(1), QStringLiteral("Amplitude0  InitPhaseAngle 0"));
    }
};
MS_REGISTER_TEST(ClassificationTest)
#include "ClassificationTest.moc"
