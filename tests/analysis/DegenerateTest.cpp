// Degenerate pairs: coincident pivots, zero-length links, parallel lines, a slide through a
// pivot and pivots that are not numbers. Nothing may crash, loop, or leave a NaN behind.
#include "FourBarFixtures.h"
#include "Mechanism.h"
#include "PR.h"
#include "RP.h"
#include "RR.h"

#include <QtTest>
#include "TestSupport.h"
#include <cmath>
#include <limits>

using namespace fixtures;

namespace {
const double nan = std::numeric_limits<double>::quiet_NaN();

enum class Case {
    CoincidentFixedPivots,
    ZeroLengthCrank,
    ZeroLengthOutput,
    CoincidentMovingPivots,
    EverythingAtOnePoint,
    ParallelLines,
    SlideThroughTheCrankPivot,
    BlockAtTheCrankPivot,
    ZeroTravelSlider,
    NotANumberPivot,
};

void build(Case c, const Point &pose, std::unique_ptr<Dyad> &a, std::unique_ptr<Dyad> &b) {
    const double x = pose[0], y = pose[1], t = pose[2];
    switch (c) {
    case Case::CoincidentFixedPivots:
        a = std::make_unique<RR>(0, 0, 1, 0, x, y, t);
        b = std::make_unique<RR>(0, 0, 1.125, std::sqrt(2.25 - 1.125 * 1.125), x, y, t);
        return;
    case Case::ZeroLengthCrank:
        a = std::make_unique<RR>(0, 0, 0, 0, x, y, t);
        b = std::make_unique<RR>(4, 0, 4, 3, x, y, t);
        return;
    case Case::ZeroLengthOutput:
        a = std::make_unique<RR>(0, 0, 1, 0, x, y, t);
        b = std::make_unique<RR>(4, 0, 4, 0, x, y, t);
        return;
    case Case::CoincidentMovingPivots:
        a = std::make_unique<RR>(0, 0, 1, 1, x, y, t);
        b = std::make_unique<RR>(3, 0, 1, 1, x, y, t);
        return;
    case Case::EverythingAtOnePoint:
        a = std::make_unique<RR>(0, 0, 0, 0, x, y, t);
        b = std::make_unique<RR>(0, 0, 0, 0, x, y, t);
        return;
    case Case::ParallelLines:
        a = std::make_unique<RP>(0, 0, 1, 0, 1, 0, 0);
        b = std::make_unique<RP>(3, 1, 4, 1, 4, 1, 0);
        return;
    case Case::SlideThroughTheCrankPivot:
        a = std::make_unique<RR>(0, 0, 1, 0, x, y, t);
        b = std::make_unique<PR>(-3, 0, 2, 0, x, y, t);
        return;
    case Case::BlockAtTheCrankPivot:
        a = std::make_unique<RR>(0, 0, 1, 0, x, y, t);
        b = std::make_unique<RP>(0, 0, 0, 1, 0, 1, 0);
        return;
    case Case::ZeroTravelSlider:
        a = std::make_unique<PR>(1, 1, 1, 1, x, y, t);
        b = std::make_unique<RP>(3, 0, 3, 1, 3, 1, 0);
        return;
    case Case::NotANumberPivot:
        a = std::make_unique<RR>(0, 0, nan, nan, x, y, t);
        b = std::make_unique<RR>(4, 0, 4, 3, x, y, t);
        return;
    }
}

bool finitePose(const Point &p) {
    for (int i = 0; i < p.dimension(); ++i)
        if (!std::isfinite(p[i]))
            return false;
    return true;
}

bool fileHasNoNonNumbers(const QString &path) {
    QStringList lines;
    if (!fileLines(path, lines))
        return true;   // a file never written has nothing in it
    for (const QString &l : lines)
        if (l.contains("nan", Qt::CaseInsensitive) || l.contains("inf", Qt::CaseInsensitive))
            return false;
    return true;
}
} // namespace

Q_DECLARE_METATYPE(Case)

class DegenerateTest : public QObject {
    Q_OBJECT
private slots:
    void nothingBecomesANonNumber_data();
    void nothingBecomesANonNumber();
};

void DegenerateTest::nothingBecomesANonNumber_data() {
    QTest::addColumn<Case>("which");
    QTest::newRow("coincident fixed pivots") << Case::CoincidentFixedPivots;
    QTest::newRow("zero-length crank") << Case::ZeroLengthCrank;
    QTest::newRow("zero-length output") << Case::ZeroLengthOutput;
    QTest::newRow("coincident moving pivots") << Case::CoincidentMovingPivots;
    QTest::newRow("everything at one point") << Case::EverythingAtOnePoint;
    QTest::newRow("parallel lines") << Case::ParallelLines;
    QTest::newRow("slide through the crank pivot") << Case::SlideThroughTheCrankPivot;
    QTest::newRow("block at the crank pivot") << Case::BlockAtTheCrankPivot;
    QTest::newRow("zero-travel slider") << Case::ZeroTravelSlider;
    QTest::newRow("pivot not a number") << Case::NotANumberPivot;
}

void DegenerateTest::nothingBecomesANonNumber() {
    QFETCH(Case, which);
    const Point pose(2.0, 2.0, 10.0);
    std::unique_ptr<Dyad> a, b;
    build(which, pose, a, b);
    QFile::remove("Mechanism Limits.txt");
    QFile::remove("GeneratedPositions.txt");
    Mechanism m;
    m.setCouplerPose(pose);
    m.setDyads(a.get(), b.get());
    for (int k = 0; k < 400; ++k)
        m.stepForward();
    for (int k = 0; k < 10; ++k)
        m.stepBackward();
    m.setCircuitCrossed();
    m.setCircuitOpen();
    m.setCounter(123.0);
    m.swapDyads();
    m.setDyadsAgain();

    QVERIFY(finitePose(m.couplerPoint()));
    QVERIFY(m.getCoupler().start().isFinite() && m.getCoupler().end().isFinite());
    for (int k = 0; k < 3; ++k)
        for (const PointList *piece : {&m.openCurve(k), &m.crossedCurve(k)})
            for (int i = 0; i < piece->size(); ++i)
                QVERIFY(finitePose(piece->at(i)));
    for (int i = 0; i < m.getGeneratedPositions().size(); ++i)
        QVERIFY(finitePose(m.getGeneratedPositions().at(i)));
    QVERIFY(std::isfinite(m.getLowerLimit()) && std::isfinite(m.getUpperLimit()));
    QVERIFY(std::isfinite(m.getSliderMean()) && std::isfinite(m.getSliderAmplitude()) &&
            std::isfinite(m.getSliderPhase()));
    QVERIFY(std::isfinite(m.getCounter()) && std::isfinite(m.getStepSign()));
    QVERIFY(std::isfinite(m.getOutputAngle()));
    QVERIFY(std::isfinite(m.getSlideOffset()) && std::isfinite(m.getSlideOffset2()));
    QVERIFY(std::isfinite(m.groundLinkLength()) && std::isfinite(m.groundLinkAngle()));
    QVERIFY(std::isfinite(m.floatingLinkLength()) && std::isfinite(m.floatingLinkAngle()));
    QVERIFY(!m.className().isEmpty());
    QVERIFY(fileHasNoNonNumbers("Mechanism Limits.txt"));
    QVERIFY(fileHasNoNonNumbers("GeneratedPositions.txt"));
    QVERIFY(QFile::exists("Mechanism Limits.txt"));
}

MS_REGISTER_TEST(DegenerateTest)
#include "DegenerateTest.moc"
