// Synthesis must give back the dyads of a mechanism that made the positions: exactly for five
// poses, nearly for six or more perturbed ones.
#include "Branch.h"
#include "Dyad.h"
#include "KnownMechanisms.h"
#include "MechanismSynthesis.h"
#include "Motion.h"
#include "PR.h"
#include "RP.h"

#include <QSignalSpy>
#include <QtTest>
#include "TestSupport.h"
#include <cmath>
#include <random>

using known::Pose;
using known::RevoluteSide;
using known::Vec;
Q_DECLARE_METATYPE(known::RevoluteSide)

namespace {
using known::angles;

// Synthesis of the task, the main window's way.
struct Rig : known::Session {
    explicit Rig(std::vector<Pose> poses, double linkRatio = 2.0) : Session(std::move(poses)) {
        engine.setLinkRatioValue(linkRatio);
        engine.synthesize();
    }
};

// Largest relative difference between an RR dyad and a known side (scale: the mechanism size).
double rrDifference(const Dyad &d, const RevoluteSide &side, double scale) {
    const Point f = d.fixedPivotCopy(), m = d.movingPivotLocalCopy();
    return std::max({known::relativeError(f.x(), side.fixedPivot.x, scale),
                     known::relativeError(f.y(), side.fixedPivot.y, scale),
                     known::relativeError(m.x(), side.movingLocal.x, scale),
                     known::relativeError(m.y(), side.movingLocal.y, scale),
                     known::relativeError(d.parameter5(), side.radius, scale)});
}

// The closest synthesized RR to a known side.
double bestRRMatch(const Branch &branch, const RevoluteSide &side, double scale) {
    double best = HUGE_VAL;
    for (Dyad *d : branch.getDyadListCpy())
        if (d->typeName() == QLatin1String("RR"))
            best = std::min(best, rrDifference(*d, side, scale));
    return best;
}

// Every synthesized RR of an exact task guides all its poses: its moving pivot, carried by the
// moving frame, stays at the radius from its fixed pivot.
double worstCircleError(const Dyad &rr, const std::vector<Pose> &poses) {
    const Point f = rr.fixedPivotCopy(), m = rr.movingPivotLocalCopy();
    double worst = 0.0;
    for (const Pose &p : poses) {
        const Vec at = known::toFixed(p, {m.x(), m.y()});
        worst = std::max(worst, std::fabs(std::hypot(at.x - f.x(), at.y - f.y()) - rr.parameter5()));
    }
    return worst;
}

} // namespace

class DyadRecoveryTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void recoversBothDyadsOfAKnownRRRR_data();
    void recoversBothDyadsOfAKnownRRRR();
    void recoversTheCrankAndTheSliderOfASliderCrank();
    void recoversTheCrankAndTheSwingingBlockOfAnInvertedSliderCrank();
    void recoversRRRRTasksFarFromTheOrigin();
    void findsNearDyadsForPerturbedPositions_data();
    void findsNearDyadsForPerturbedPositions();
};

void DyadRecoveryTest::initTestCase() { known::useStandardWorkspace(); }

void DyadRecoveryTest::recoversBothDyadsOfAKnownRRRR_data() {
    QTest::addColumn<RevoluteSide>("input");
    QTest::addColumn<RevoluteSide>("output");
    QTest::addColumn<double>("firstAngle");
    QTest::addColumn<double>("step");
    QTest::newRow("pivots away from the origin") << known::crankSide << known::rockerSide << 0.8 << 0.25;
    // Regression: a fixed pivot at the origin made p4^2 + p5^2 vanish in the old RR formulas.
    QTest::newRow("a fixed pivot at the origin")
        << RevoluteSide{{0.0, 0.0}, {0.75, -0.3}, 2.0} << RevoluteSide{{4.5, 0.5}, {3.0, 1.25}, 3.25}
        << 0.4 << 0.3;
    QTest::newRow("moving pivot at the frame origin")
        << RevoluteSide{{-2.0, 1.0}, {0.0, 0.0}, 1.75} << RevoluteSide{{2.5, 2.0}, {2.0, 1.0}, 3.0}
        << 1.0 << 0.2;
}

void DyadRecoveryTest::recoversBothDyadsOfAKnownRRRR() {
    QFETCH(RevoluteSide, input);
    QFETCH(RevoluteSide, output);
    QFETCH(double, firstAngle);
    QFETCH(double, step);
    const std::vector<Pose> poses = known::couplerPoses(input, output, angles(firstAngle, step, 5));
    QCOMPARE(poses.size(), size_t(5));
    Rig rig(poses);
    QVERIFY(rig.branch.synthesizedDyadCount() >= 2);
    const double scale = 6.0;
    const double e1 = bestRRMatch(rig.branch, input, scale);
    const double e2 = bestRRMatch(rig.branch, output, scale);
    QVERIFY2(e1 < 1e-8, qPrintable(QStringLiteral("input side off by %1").arg(e1)));
    QVERIFY2(e2 < 1e-8, qPrintable(QStringLiteral("output side off by %1").arg(e2)));
    // Five positions admit up to four dyads; every other one found must fit the task too.
    for (Dyad *d : rig.branch.getDyadListCpy())
        if (d->typeName() == QLatin1String("RR"))
            QVERIFY(worstCircleError(*d, poses) < 1e-8 * scale);
}

void DyadRecoveryTest::recoversTheCrankAndTheSliderOfASliderCrank() {
    const RevoluteSide &crank = known::sliderCrank;
    const Vec sliderLocal = known::sliderLocal, linePoint = known::sliderLinePoint;
    const double lineAngle = known::sliderLineAngle;
    const std::vector<Pose> poses = known::sliderCrankTask();
    Rig rig(poses);
    // The crank among the RRs (any further RR must fit the task as well), one PR: the slider.
    int prCount = 0;
    const PR *slider = nullptr;
    for (Dyad *d : rig.branch.getDyadListCpy()) {
        if (d->typeName() == QLatin1String("RR"))
            QVERIFY(worstCircleError(*d, poses) < 1e-8 * 4.0);
        else if (d->typeName() == QLatin1String("PR"))
            slider = dynamic_cast<const PR *>(d), ++prCount;
    }
    QCOMPARE(prCount, 1);
    QVERIFY(slider != nullptr);
    QVERIFY(bestRRMatch(rig.branch, crank, 4.0) < 1e-8);
    // The slider: its moving pivot in the moving frame, its line direction (modulo a half
    // turn), and its fixed pivot on the ground line.
    const Point m = slider->movingPivotLocalCopy();
    QVERIFY(known::relativeError(m.x(), sliderLocal.x, 4.0) < 1e-8);
    QVERIFY(known::relativeError(m.y(), sliderLocal.y, 4.0) < 1e-8);
    const double wantDeg = lineAngle * 180.0 / M_PI;
    const double turn = std::remainder(slider->getLineAngle() - wantDeg, 180.0);
    QVERIFY2(std::fabs(turn) < 1e-7, qPrintable(QString::number(slider->getLineAngle(), 'g', 12)));
    const Point f = slider->fixedPivotCopy();
    const double offLine = -(f.x() - linePoint.x) * std::sin(lineAngle)
                           + (f.y() - linePoint.y) * std::cos(lineAngle);
    QVERIFY(std::fabs(offLine) < 1e-8);
}

// The coupler is a slotted bar through the crank's moving pivot, sliding through a block that
// turns about a ground pivot: an RR and an RP.
void DyadRecoveryTest::recoversTheCrankAndTheSwingingBlockOfAnInvertedSliderCrank() {
    const RevoluteSide crank{{0.5, 0.5}, {1.0, -0.5}, 1.25};
    const Vec blockPivot{4.0, 1.5};
    const double slotAngle = 0.6;  // direction of the slot in the moving frame, radians
    std::vector<Pose> poses;
    for (double phi : angles(0.3, 0.5, 5)) {
        // The slot passes through the crank pin and the block pivot.
        const Vec m{crank.fixedPivot.x + crank.radius * std::cos(phi),
                    crank.fixedPivot.y + crank.radius * std::sin(phi)};
        const double th = std::atan2(blockPivot.y - m.y, blockPivot.x - m.x) - slotAngle;
        poses.push_back({m.x - (std::cos(th) * crank.movingLocal.x - std::sin(th) * crank.movingLocal.y),
                         m.y - (std::sin(th) * crank.movingLocal.x + std::cos(th) * crank.movingLocal.y),
                         known::engineDegrees(th)});
    }
    Rig rig(poses);
    QVERIFY(bestRRMatch(rig.branch, crank, 4.0) < 1e-8);
    const RP *block = nullptr;
    for (Dyad *d : rig.branch.getDyadListCpy())
        if (d->typeName() == QLatin1String("RP"))
            block = dynamic_cast<const RP *>(d);
    QVERIFY(block != nullptr);
    QVERIFY(known::relativeError(block->fixedPivotCopy().x(), blockPivot.x, 4.0) < 1e-8);
    QVERIFY(known::relativeError(block->fixedPivotCopy().y(), blockPivot.y, 4.0) < 1e-8);
    // The slot in the moving frame: normal (-sin, cos) of its direction, through the pin.
    const double n1 = -std::sin(slotAngle), n2 = std::cos(slotAngle);
    const double n3 = -(n1 * crank.movingLocal.x + n2 * crank.movingLocal.y);
    const double scale = std::hypot(block->getL1(), block->getL2());
    QVERIFY(scale > 0.0);
    const double sign = (block->getL1() * n1 + block->getL2() * n2) > 0 ? 1.0 : -1.0;
    QVERIFY(std::fabs(sign * block->getL1() / scale - n1) < 1e-8);
    QVERIFY(std::fabs(sign * block->getL2() / scale - n2) < 1e-8);
    QVERIFY(std::fabs(sign * block->getL3() / scale - n3) < 1e-8);
}

// Regression: K = D^T D squared the conditioning; around (100, 50) tasks lost their dyads.
void DyadRecoveryTest::recoversRRRRTasksFarFromTheOrigin() {
    std::mt19937 gen(11u);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    const Vec centre{100.0, 50.0};
    const double scale = std::hypot(centre.x, centre.y);
    int tasks = 0;
    for (int trial = 0; trial < 100 && tasks < 40; ++trial) {
        const RevoluteSide in{{centre.x + 3 * u(gen), centre.y + 3 * u(gen)},
                              {2 * u(gen), 2 * u(gen)}, 2.0 + u(gen)};
        const RevoluteSide out{{centre.x + 5 + 3 * u(gen), centre.y + 3 * u(gen)},
                               {1 + 2 * u(gen), 2 * u(gen)}, 4.0 + u(gen)};
        std::vector<Pose> poses;
        if (!known::rrrrPoses(in, out, angles(0.2, 0.15, 5), true, poses))
            continue;  // this mechanism does not close over the crank range
        ++tasks;
        // These motions are small (a crank turning 0.6 rad) against links up to 5 long, up to 30
        // task sizes: allow such links as RR, which the type decision measures in task sizes.
        Rig rig(poses, 10.0);
        const double e = std::max(bestRRMatch(rig.branch, in, scale), bestRRMatch(rig.branch, out, scale));
        QVERIFY2(e < 1e-8, qPrintable(QStringLiteral("trial %1: off by %2").arg(trial).arg(e)));
    }
    QVERIFY(tasks >= 20);
}

void DyadRecoveryTest::findsNearDyadsForPerturbedPositions_data() {
    QTest::addColumn<int>("count");
    QTest::newRow("six positions") << 6;
    QTest::newRow("eight positions") << 8;
    QTest::newRow("twelve positions") << 12;
}

void DyadRecoveryTest::findsNearDyadsForPerturbedPositions() {
    QFETCH(int, count);
    const RevoluteSide &in = known::crankSide, &out = known::rockerSide;
    std::vector<Pose> poses = known::couplerPoses(in, out, angles(0.6, 1.0 / count, count));
    QCOMPARE(static_cast<int>(poses.size()), count);
    // Noise of 1e-5 in position and orientation, as read off a drawing.
    std::mt19937 gen(5u);
    std::uniform_real_distribution<double> noise(-1e-5, 1e-5);
    for (Pose &p : poses) {
        p.x += noise(gen);
        p.y += noise(gen);
        p.thetaDeg += noise(gen);
    }
    Rig rig(poses);
    QVERIFY(bestRRMatch(rig.branch, in, 6.0) < 1e-2);
    QVERIFY(bestRRMatch(rig.branch, out, 6.0) < 1e-2);
}

MS_REGISTER_TEST(DyadRecoveryTest)
#include "DyadRecoveryTest.moc"
