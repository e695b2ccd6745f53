// Classification of four-bars: the Grashof, non-Grashof and change-point families with their
// input limits (expected values from the law of cosines), and the names of the slider pairs.
#include "FourBarFixtures.h"
#include "Mechanism.h"

#include <QtTest>
#include "TestSupport.h"
#include <cmath>
#include <random>

using namespace fixtures;

Q_DECLARE_METATYPE(fixtures::Kind)

class ClassificationTest : public QObject {
    Q_OBJECT
private slots:
    void fourRevoluteClassAndLimits_data();
    void fourRevoluteClassAndLimits();
    void changePointsAtRandomPlacements_data();
    void changePointsAtRandomPlacements();
    void rockerSwingsWithinItsLimitsOnly();
    void sliderPairsAreNamedByKind_data();
    void sliderPairsAreNamedByKind();
    void emptyMechanismHasNoClass();
};

namespace {
const double none = std::nan("");
}

void ClassificationTest::fourRevoluteClassAndLimits_data() {
    QTest::addColumn<double>("G");
    QTest::addColumn<double>("L1");
    QTest::addColumn<double>("h");
    QTest::addColumn<double>("L2");
    QTest::addColumn<double>("theta0");
    QTest::addColumn<QString>("label");
    QTest::addColumn<double>("lower");   // NaN: no limit expected
    QTest::addColumn<double>("upper");
    const QString grashof = QStringLiteral("Grashoff ");
    // The rocker's limits: coupler and output folded (|h - L2|) or stretched (h + L2) across
    // the diagonal from M1 to O2.
    const double fold = lawOfCosinesDeg(3, 4, 2.5), stretch = lawOfCosinesDeg(3, 4, 4.5);
    const double outward = lawOfCosinesDeg(3, 4, 5.5), inward = lawOfCosinesDeg(3, 2, 3.3);
    for (double turn : {0.0, 30.0}) {
        // Name, bars G, L1, h, L2, crank angle at assembly, class, limits (turned with ground).
        auto row = [turn](const char *name, double G, double L1, double h, double L2,
                          double theta0, const QString &label, double lower, double upper) {
            const QByteArray tag = QByteArray(name) + (turn == 0.0 ? "" : " turned 30");
            QTest::newRow(tag.constData()) << G << L1 << h << L2 << theta0 + turn << label
                                           << lower + turn << upper + turn;
        };
        row("crank-rocker", 4, 1, 3.5, 3, 60, grashof + "crank-rocker-rocker", -turn,
            180 - turn);
        row("double crank", 1, 3, 3.5, 3, 20, grashof + "crank-crank-crank", -turn, 180 - turn);
        row("double rocker", 4, 3, 1, 3.5, 60, grashof + "rocker-crank-rocker", fold, stretch);
        row("double rocker, mirror side", 4, 3, 1, 3.5, -60, grashof + "rocker-crank-rocker",
            -stretch, -fold);
        row("rocker-crank", 4, 3, 3.5, 1, 60, grashof + "rocker-rocker-crank", fold, stretch);
        row("outward triple rocker", 4, 3, 2.5, 3, 20,
            "Non Grashof Outward/Outward Limited Triple Rocker", -outward, outward);
        row("inward triple rocker", 2, 3, 4.5, 1.2, 180,
            "Non Grashof Inward/Inward Limited Triple Rocker", inward, 360.0 - inward);
        row("square", 1, 1, 1, 1, 60, "Triple change point", none, none);
        row("parallelogram", 3, 2, 3, 2, 60, "Change-point crank-rocker-rocker", none, none);
    }
    // The figures the rocker's limits must come to: 38.62 and 78.58 (by hand).
    QVERIFY(std::fabs(fold - 38.62) < 0.005 && std::fabs(stretch - 78.58) < 0.005);
}

// Guards against rocker limits given upper below lower and on one side only, and against
// triple-rocker limits taken from the folded form alone (NaN for an outward rocker) with the
// inward pair labelled backwards.
void ClassificationTest::fourRevoluteClassAndLimits() {
    QFETCH(double, G);
    QFETCH(double, L1);
    QFETCH(double, h);
    QFETCH(double, L2);
    QFETCH(double, theta0);
    QFETCH(QString, label);
    QFETCH(double, lower);
    QFETCH(double, upper);
    const double turn = QByteArray(QTest::currentDataTag()).contains("turned") ? 30.0 : 0.0;
    Pair pair;
    QVERIFY(fourRevolute(pair, G, L1, h, L2, theta0 - turn, true, Placement{turn, 6.0, -2.0}));
    Mechanism m;
    m.setCouplerPose(pair.couplerPose);
    m.setDyads(pair.input.get(), pair.output.get());
    QCOMPARE(m.className(), label);
    if (std::isnan(lower)) {
        QVERIFY(!m.hasLowerLimit());
        QVERIFY(!m.hasUpperLimit());
        return;
    }
    QVERIFY(m.hasLowerLimit() && m.hasUpperLimit());
    QVERIFY(m.getLowerLimit() < m.getUpperLimit());
    QVERIFY2(std::fabs(angleDiff(m.getLowerLimit(), lower)) < 1e-9,
             qPrintable(QString::number(m.getLowerLimit())));
    QVERIFY2(std::fabs(m.getUpperLimit() - m.getLowerLimit() - (upper - lower)) < 1e-9,
             qPrintable(QString::number(m.getUpperLimit())));
}

void ClassificationTest::changePointsAtRandomPlacements_data() {
    QTest::addColumn<double>("G");
    QTest::addColumn<double>("L1");
    QTest::addColumn<double>("h");
    QTest::addColumn<double>("L2");
    QTest::addColumn<bool>("open");
    QTest::addColumn<QString>("label");
    QTest::newRow("parallelogram") << 3.0 << 2.0 << 3.0 << 2.0 << false
                                   << "Change-point crank-rocker-rocker";
    QTest::newRow("antiparallelogram") << 3.0 << 2.0 << 3.0 << 2.0 << true
                                       << "Change-point crank-rocker-rocker";
    QTest::newRow("rhombus") << 2.0 << 2.0 << 2.0 << 2.0 << false << "Triple change point";
    // Equal shortest bars count in the order input, coupler, output, ground.
    QTest::newRow("kite") << 2.0 << 3.0 << 2.0 << 3.0 << false
                          << "Change-point rocker-crank-rocker";
}

// Guards against strict comparisons of rounded lengths, which misclassified a parallelogram
// placed at random coordinates about one time in ten and a rhombus most of the time.
void ClassificationTest::changePointsAtRandomPlacements() {
    QFETCH(double, G);
    QFETCH(double, L1);
    QFETCH(double, h);
    QFETCH(double, L2);
    QFETCH(bool, open);
    QFETCH(QString, label);
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> angle(-180.0, 180.0), shift(-50.0, 50.0),
        crank(10.0, 80.0);
    int placed = 0;
    for (int k = 0; k < 200; ++k) {
        Pair pair;
        const double theta = crank(random);
        if (!fourRevolute(pair, G, L1, h, L2, theta, open,
                          Placement{angle(random), shift(random), shift(random)}))
            continue;
        Mechanism m;
        m.setDyads(pair.input.get(), pair.output.get());
        QCOMPARE(m.className(), label);
        QVERIFY(!m.hasLowerLimit() && !m.hasUpperLimit());
        ++placed;
    }
    QVERIFY(placed > 150);
}

// The input of a Grashof double rocker closes exactly inside its limits.
void ClassificationTest::rockerSwingsWithinItsLimitsOnly() {
    Pair pair;
    QVERIFY(fourRevolute(pair, 4, 3, 1, 3.5, 60, true, Placement{-20.0, 1.0, 2.0}));
    Mechanism m;
    m.setDyads(pair.input.get(), pair.output.get());
    const double lo = m.getLowerLimit(), hi = m.getUpperLimit();
    for (double eps : {1e-6, 0.5}) {
        m.analyze(lo + eps);
        QVERIFY(m.isLastStepValid());
        m.analyze(hi - eps);
        QVERIFY(m.isLastStepValid());
        m.analyze(lo - eps);
        QVERIFY(!m.isLastStepValid());
        m.analyze(hi + eps);
        QVERIFY(!m.isLastStepValid());
    }
}

void ClassificationTest::sliderPairsAreNamedByKind_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("label");
    QTest::newRow("RRRP") << Kind::RRRP << "Swinging Block Mechanism";
    QTest::newRow("RRPR") << Kind::RRPR << "Crank Slider Mechanism";
    QTest::newRow("PRPR") << Kind::PRPR << "Double Slider Mechanism";
    QTest::newRow("PRRP") << Kind::PRRP << "Slider-Swinging Block Mechanism";
    QTest::newRow("RPRP") << Kind::RPRP << "Double Swinging Block Mechanism";
}

void ClassificationTest::sliderPairsAreNamedByKind() {
    QFETCH(Kind, kind);
    QFETCH(QString, label);
    Pair pair;
    standardPair(kind, pair);
    Mechanism m;
    m.setCouplerPose(pair.couplerPose);
    m.setDyads(pair.input.get(), pair.output.get());
    QCOMPARE(m.className(), label);
    QCOMPARE(m.typeName(), kindName(kind));
}

void ClassificationTest::emptyMechanismHasNoClass() {
    Mechanism m;
    QCOMPARE(m.className(), QStringLiteral("No Mechanism set"));
    QCOMPARE(m.typeName(), QString());
    QVERIFY(m.empty());
    m.classify();
    QVERIFY(!m.hasLowerLimit() && !m.hasUpperLimit());
}

MS_REGISTER_TEST(ClassificationTest)
#include "ClassificationTest.moc"
