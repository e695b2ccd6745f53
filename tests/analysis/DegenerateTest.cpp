// Degenerate pairs: coincident pivots, zero-length links, parallel lines, a slide through a pivot
// and pivots that are not numbers.
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
const double notANumber = std::numeric_limits<double>::quiet_NaN();

// A dyad of the given kind from its fixed and moving pivots (an RP from its block pivot and a point
// of its line) for the coupler pose.
std::unique_ptr<Dyad> makeDyad(const QString &kind, const QVector<double> &v, const Point &c) {
    if (kind == "RP")
        return std::make_unique<RP>(v[0], v[1], v[2], v[3], v[2], v[3], 0);
    if (kind == "PR")
        return std::make_unique<PR>(v[0], v[1], v[2], v[3], c[0], c[1], c[2]);
    return std::make_unique<RR>(v[0], v[1], v[2], v[3], c[0], c[1], c[2]);
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

class DegenerateTest : public QObject {
    Q_OBJECT
private slots:
    void nothingBecomesANonNumber_data() {
        QTest::addColumn<QString>("kind1"); QTest::addColumn<QVector<double>>("pivots1");
        QTest::addColumn<QString>("kind2"); QTest::addColumn<QVector<double>>("pivots2");
        using V = QVector<double>;
        const double y = std::sqrt(2.25 - 1.125 * 1.125);
        QTest::newRow("coincident fixed pivots")
            << "RR" << V{0, 0, 1, 0} << "RR" << V{0, 0, 1.125, y};
        QTest::newRow("zero-length crank") << "RR" << V{0, 0, 0, 0} << "RR" << V{4, 0, 4, 3};
        QTest::newRow("zero-length output") << "RR" << V{0, 0, 1, 0} << "RR" << V{4, 0, 4, 0};
        QTest::newRow("coincident moving pivots") << "RR" << V{0, 0, 1, 1} << "RR" << V{3, 0, 1, 1};
        QTest::newRow("everything at one point") << "RR" << V{0, 0, 0, 0} << "RR" << V{0, 0, 0, 0};
        QTest::newRow("parallel lines") << "RP" << V{0, 0, 1, 0} << "RP" << V{3, 1, 4, 1};
        QTest::newRow("slide through the crank pivot") << "RR" << V{0, 0, 1, 0} << "PR"
                                                       << V{-3, 0, 2, 0};
        QTest::newRow("block at the crank pivot") << "RR" << V{0, 0, 1, 0} << "RP" << V{0, 0, 0, 1};
        QTest::newRow("zero-travel slider") << "PR" << V{1, 1, 1, 1} << "RP" << V{3, 0, 3, 1};
        QTest::newRow("pivot not a number")
            << "RR" << V{0, 0, notANumber, notANumber} << "RR" << V{4, 0, 4, 3};
    }
    void nothingBecomesANonNumber() {
        QFETCH(QString, kind1); QFETCH(QVector<double>, pivots1); QFETCH(QString, kind2);
        QFETCH(QVector<double>, pivots2);
        const Point pose(2.0, 2.0, 10.0);
        const std::unique_ptr<Dyad> a = makeDyad(kind1, pivots1, pose),
                                    b = makeDyad(kind2, pivots2, pose);
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
};
MS_REGISTER_TEST(DegenerateTest)
#include "DegenerateTest.moc"
