// The branch: its solution list and the pair it forms from the chosen dyads, with its signals.
#include "Branch.h"
#include "Dyad.h"
#include "Mechanism.h"
#include "RR.h"

#include <QSignalSpy>
#include <QtTest>
#include "TestSupport.h"
#include <memory>

namespace {
// An RR for the given pivots as the synthesis would build it: pose (0, 0, 0), so the moving
// pivot in the moving frame is the fixed-frame one.
std::shared_ptr<Dyad> rr(double fx, double fy, double mx, double my) {
    const double r = std::hypot(mx - fx, my - fy);
    return std::make_shared<RR>(Point(0.0, 0.0, 0.0), fx, fy, r, mx, my, 0);
}

// A crank-rocker: ground (0, 0)-(4, 0), crank 1, coupler 3.5, rocker 3, at crank angle 90.
void addCrankRocker(Branch &b) {
    b.createDyad(rr(0.0, 0.0, 0.0, 1.0));
    const double c = 3.5, r = 3.0;
    // Output moving pivot: |m - (0, 1)| = c and |m - (4, 0)| = r, the upper one.
    const double dx = 4.0, dy = -1.0, d = std::hypot(dx, dy);
    const double along = (c * c - r * r + d * d) / (2 * d), h = std::sqrt(c * c - along * along);
    const double mx = 0.0 + along * dx / d - h * dy / d, my = 1.0 + along * dy / d + h * dx / d;
    b.createDyad(rr(4.0, 0.0, mx, my));
}

std::vector<bool> states(std::initializer_list<bool> l) { return std::vector<bool>(l); }
} // namespace

class BranchTest : public QObject {
    Q_OBJECT
private slots:
    void solutionListHoldsEveryPairInOrder();

    void twoChosenDyadsFormTheMechanism();
    void oneOrThreeChosenDyadsClearTheMechanismAndSaySo();
    void alternativesComeAfterTheirDyadAndIndicesPastTheListsAreIgnored();
};

void BranchTest::solutionListHoldsEveryPairInOrder() {
    Branch b;
    b.setResults();
    QVERIFY(b.getsolutionList().empty());
    b.createDyad(rr(0, 0, 1, 0));
    b.createDyad(rr(1, 0, 2, 0));
    b.createDyad(rr(2, 0, 3, 0));
    b.setResults();
    const std::vector<std::vector<int>> want{{1, 2}, {1, 3}, {2, 3}};
    QCOMPARE(b.getsolutionList(), want);
    b.createDyad(rr(3, 0, 4, 0));
    b.setResults();
    QCOMPARE(b.getsolutionList().size(), size_t(6));
    QCOMPARE(b.getsolutionList().back(), (std::vector<int>{3, 4}));
}

void BranchTest::twoChosenDyadsFormTheMechanism() {
    Branch b;
    addCrankRocker(b);
    b.createDyad(rr(9, 9, 9, 10));
    b.setupPointList({Point(0.5, 1.5, 10.0)});
    QSignalSpy type(&b, &Branch::mechanismUpdated);
    QSignalSpy frame(&b, &Branch::displayMFlocation);
    b.setcurrentdyadstate(states({true, true, false, false}), states({true, false, false, false}),
                          states({false, false, false, false}));
    QVERIFY(b.hasMechanism());
    QCOMPARE(b.getDyadCount(), 3);
    QCOMPARE(b.getMechanism()->getInputDyad(), b.dyadAt(0));
    QCOMPARE(b.getMechanism()->getOutputDyad(), b.dyadAt(1));
    // The type is announced once, for the pair as it now is.
    QCOMPARE(type.count(), 1);
    QCOMPARE(type.at(0).at(0).toString(), QStringLiteral("RRRR"));
    QCOMPARE(frame.count(), 1);
    QCOMPARE(frame.at(0).at(0).toDouble(), 0.5);
    QCOMPARE(b.getDyadStates(), states({true, true, false, false}));
    QCOMPARE(b.getKindStates(), states({true, false, false, false}));
}

// Regression: with one or three dyads ticked the old pair stayed drawn and named.
void BranchTest::oneOrThreeChosenDyadsClearTheMechanismAndSaySo() {
    Branch b;
    addCrankRocker(b);
    b.createDyad(rr(9, 9, 9, 10));
    b.setupPointList({Point(0.5, 1.5, 10.0)});
    b.setcurrentdyadstate(states({true, true, false}), states({}), states({}));
    Dyad *input = b.getMechanism()->getInputDyad();
    QSignalSpy type(&b, &Branch::mechanismUpdated);
    QSignalSpy frame(&b, &Branch::displayMFlocation);
    QVERIFY(input);
    for (const std::vector<bool> &ticked : {states({true, false, false}), states({true, true, true})}) {
        b.setcurrentdyadstate(ticked, states({}), states({}));
        QVERIFY(!b.hasMechanism());
    }
    QCOMPARE(type.count(), 2);
    QCOMPARE(type.at(1).at(0).toString(), QStringLiteral(" "));
    QVERIFY(std::isnan(frame.at(1).at(0).toDouble()));
}

void BranchTest::alternativesComeAfterTheirDyadAndIndicesPastTheListsAreIgnored() {
    Branch b;
    addCrankRocker(b);
    // First-pass entry 0 has the rocker's geometry, so dyad 0 with it is the crank-rocker.
    const Point rocker = b.dyadAt(1)->movingPivotCopy();
    b.setSynthesizedDyads({rr(4, 0, rocker.x(), rocker.y()), rr(9, 9, 9, 10)});
    b.setupPointList({Point(0.5, 1.5, 10.0)});
    // Dyad 0, its alternative and dyad 1: three, no pair.
    b.setcurrentdyadstate(states({true, true}), states({}), states({true, false}));
    QVERIFY(!b.hasMechanism());
    // Dyad 0 then its alternative; boxes past both lists change nothing.
    b.setcurrentdyadstate(states({true, false, true, true}), states({}),
                          states({true, false, true, true}));
    QVERIFY(b.hasMechanism());
    QCOMPARE(b.getMechanism()->getInputDyad(), b.dyadAt(0));
    QCOMPARE(b.getMechanism()->getOutputDyad(), b.getFirstPassDyadsCpy()[0]);
}

MS_REGISTER_TEST(BranchTest)
#include "BranchTest.moc"
