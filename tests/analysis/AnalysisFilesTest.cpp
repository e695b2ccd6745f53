// "Mechanism Limits.txt" and "GeneratedPositions.txt" compared line by line with text built
// here: limits from the law of cosines, poses from circle intersection and the seeded picks.
#include "FourBarFixtures.h"
#include "Mechanism.h"
#include "PR.h"
#include "RandomPicks.h"

#include <QtTest>
#include "TestSupport.h"
#include <cmath>
#include <random>

using namespace fixtures;

class AnalysisFilesTest : public QObject {
    Q_OBJECT
private slots:
    void limitsOfACrankRocker();
    void limitsOfAGrashofRocker();
    void limitsAndDriveOfADoubleSlider();
    void generatedPositionsOfACrankRocker();
    void generatedPositionsStayEmptyWhenNothingCloses();
};

namespace {
QStringList limitsLines() {
    QStringList lines;
    fileLines("Mechanism Limits.txt", lines);
    return lines;
}
} // namespace

void AnalysisFilesTest::limitsOfACrankRocker() {
    Pair pair;
    QVERIFY(fourRevolute(pair, 4, 1, 3.5, 3, 60, true));
    Mechanism m;
    m.setDyads(pair.input.get(), pair.output.get());
    QCOMPARE(limitsLines(), QStringList({"Upper  180  Lower  0", "Amplitude0  InitPhaseAngle 0"}));
}

void AnalysisFilesTest::limitsOfAGrashofRocker() {
    Pair pair;
    QVERIFY(fourRevolute(pair, 4, 3, 1, 3.5, 60, true));
    Mechanism m;
    m.setDyads(pair.input.get(), pair.output.get());
    const double lower = lawOfCosinesDeg(3, 4, 2.5), upper = lawOfCosinesDeg(3, 4, 4.5);
    QCOMPARE(limitsLines(), QStringList({"Upper  " + streamed(upper) + "  Lower  " +
                                             streamed(lower),
                                         "Amplitude0  InitPhaseAngle 0"}));
}

// Travel [2, 6] (the coupler of 2 reaches the line x = 4), s0 = 2.5: the drive's amplitude is
// 2 about 4, and it starts at s0, so its phase is asin((2.5 - 4) / 2).
void AnalysisFilesTest::limitsAndDriveOfADoubleSlider() {
    const Point c(3.0, 1.0, 0.0);
    PR input(0, 0, 2.5, 0, c[0], c[1], c[2]);
    PR output(4, 3, 4, std::sqrt(4.0 - 1.5 * 1.5), c[0], c[1], c[2]);
    Mechanism m;
    m.setDyads(&input, &output);
    QCOMPARE(limitsLines(),
             QStringList({"Upper  6  Lower  2",
                          "Amplitude2  InitPhaseAngle " + streamed(deg(std::asin(-0.75)))}));
}

// One draw is discarded, then crossed piece 0, open piece 0, crossed 0, open 0, crossed 0 (a
// crank-rocker closes everywhere, so each circuit traces one piece over the whole sweep).
void AnalysisFilesTest::generatedPositionsOfACrankRocker() {
    const Placement place{12.0, 1.5, -0.5};
    Pair pair;
    QVERIFY(fourRevolute(pair, 4, 1, 3.5, 3, 60, true, place));
    const P o1 = fixedOf(*pair.input), o2 = fixedOf(*pair.output);
    seedRandomPicks(2024);
    Mechanism m;
    m.setCouplerPose(pair.couplerPose);
    m.setDyads(pair.input.get(), pair.output.get());

    QVector<double> sweep;
    for (double v = -5.0; v <= 365.2; v += 1.0)
        sweep << v;
    std::mt19937 picks(2024);
    picks();
    QStringList expected{"5", ""};
    const bool crossedFirst[5] = {true, false, true, false, true};
    for (int i = 0; i < 5; ++i) {
        const double v = sweep.at(static_cast<int>(picks() % sweep.size()));
        const P m1 = polar(o1, 1.0, v);
        P m2;
        QVERIFY(circleIntersection(m1, 3.5, o2, 3.0, !crossedFirst[i], m2));
        const Point pose = couplerPoseFor(pair, m1, m2);
        expected << streamed(pose[0]) + " " + streamed(pose[1]) + " " + streamed(pose[2]) + " " +
                        streamed(i / 5.0);
    }
    QStringList lines;
    QVERIFY(fileLines("GeneratedPositions.txt", lines));
    QCOMPARE(lines, expected);
    QCOMPARE(m.getGeneratedPositions().size(), 5);
}

void AnalysisFilesTest::generatedPositionsStayEmptyWhenNothingCloses() {
    // A double slider with a coupler of length zero never closes.
    const Point c(1.0, 1.0, 0.0);
    PR input(0, 0, 3, 0, c[0], c[1], c[2]);
    PR output(3, 4, 3, 0, c[0], c[1], c[2]);
    Mechanism m;
    m.setCouplerPose(c);
    m.setDyads(&input, &output);
    QVERIFY(m.getGeneratedPositions().isEmpty());
    QStringList lines;
    QVERIFY(fileLines("GeneratedPositions.txt", lines));
    QVERIFY(lines.isEmpty());
}

MS_REGISTER_TEST(AnalysisFilesTest)
#include "AnalysisFilesTest.moc"
