// The branch: who owns the dyads and for how long, the solution list, the pivot handles, pair
// selection and mouse input, with the signals each change sends.
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
    void todrawIsTheIntegerRemainderAndChoosesThePrototype();
    void setCurrentDyadIgnoresIndicesOutsideTheList();

    void clearBranchEmptiesEveryListAndHandle();
    void forgottenDyadsLiveUntilObserversHaveBeenTold();
    void sharedRecordsKeepDyadsAliveAfterClearBranch();
    void replacingTheFirstPassListReleasesTheOldOne();

    void pivotListFollowsTheDyadsAndTheCouplerPoint();
    void pickPivotSelectsTheFirstHandleWithinReach();
    void couplerPointIsNotSelectedWithoutACouplerPoint();
    void draggingAPivotMovesTheDyadAndReformsTheMechanism();

    void twoChosenDyadsFormTheMechanism();
    void oneOrThreeChosenDyadsLeaveThePairButStillAnnounce();
    void alternativesComeAfterTheirDyadAndIndicesPastTheListsAreIgnored();
    void aThirdDrawnDyadIsIgnored();
};

void BranchTest::solutionListHoldsEveryPairInOrder() {
    Branch b;
    b.setResults();
    QVERIFY(b.getsolutionList().empty());
    b.createDyad(rr(0, 0, 1, 0));
    b.setResults();
    QVERIFY(b.getsolutionList().empty());
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

// The kind to draw is the integer remainder by 4 of the panel's choice; 1, 2, 3 preview RR, RP, PR,
// anything else no dyad, and a negative choice keeps the last preview.
void BranchTest::todrawIsTheIntegerRemainderAndChoosesThePrototype() {
    Branch b;
    const std::vector<std::pair<int, QString>> steps{
        {5, "RR"}, {-1, "RR"}, {2, "RP"}, {3, "PR"}, {4, ""}};
    for (const auto &[todraw, kind] : steps) {
        b.settodraw(todraw);
        b.choosePreviewPrototype();
        QCOMPARE(b.getTodraw(), double(todraw % 4));
        QCOMPARE(b.getDrawPrototype() ? b.getDrawPrototype()->typeName() : QString(), kind);
    }
}

void BranchTest::setCurrentDyadIgnoresIndicesOutsideTheList() {
    Branch b;
    int changed = 0;
    connect(&b, &Branch::dyadChanged, this, [&changed](Dyad *) { ++changed; });
    b.setCurrentDyad(0);  // empty list: nothing
    QCOMPARE(changed, 0);
    b.createDyad(rr(0, 0, 1, 0));
    b.createDyad(rr(1, 0, 2, 0));
    b.setCurrentDyad(0);
    QCOMPARE(b.getCurrentDyad(), b.dyadAt(0));
    QCOMPARE(Branch::lastSetDyadIndex(), 0);
    b.setCurrentDyad(5);
    b.setCurrentDyad(-1);
    QCOMPARE(b.getCurrentDyad(), b.dyadAt(0));
    QCOMPARE(changed, 3);  // two createDyad, one valid setCurrentDyad
}

// Regression: clearBranch left pivot handles inside freed dyads and the last run's first-pass
// dyads behind, which the panel then offered for another task.
void BranchTest::clearBranchEmptiesEveryListAndHandle() {
    Branch b;
    addCrankRocker(b);
    b.setSynthesizedDyads({rr(5, 5, 6, 5)});
    b.setupPointList({Point(0.0, 1.0, 0.0)});
    b.setcurrentdyadstate(states({true, true, false, false}), states({false, false, false, false}),
                          states({false, false, false, false}));
    QVERIFY(b.hasMechanism());
    QVERIFY(!b.getPivotList().empty());
    b.setcurrentdyadindex(1);
    b.setsolutionindex(1);
    QSignalSpy lists(&b, &Branch::dyadListChanged);
    b.clearBranch();
    QCOMPARE(lists.count(), 1);
    QCOMPARE(b.synthesizedDyadCount(), 0);
    QVERIFY(b.getFirstPassDyads().empty());
    QVERIFY(b.getUserInputDyads().empty());
    QVERIFY(b.getPivotList().empty());
    QVERIFY(!b.hasMechanism());
    QVERIFY(!b.hasCouplerPoint());
    QCOMPARE(b.getCurrentDyad(), nullptr);
    QCOMPARE(b.getCurrentDyadIndex(), -1);
    QCOMPARE(b.getSolutionIndex(), -1);
    QCOMPARE(b.getSelectedPivot(), -1);
}

void BranchTest::forgottenDyadsLiveUntilObserversHaveBeenTold() {
    Branch b;
    std::weak_ptr<Dyad> watched;
    {
        std::shared_ptr<Dyad> d = rr(0, 0, 1, 0);
        watched = d;
        b.createDyad(d);
    }
    bool aliveWhenTold = false;
    connect(&b, &Branch::dyadListChanged, this, [&]() { aliveWhenTold = !watched.expired(); });
    b.clearBranch();
    QVERIFY(aliveWhenTold);
    QVERIFY(watched.expired());  // released once the observers were told, not leaked
}

void BranchTest::sharedRecordsKeepDyadsAliveAfterClearBranch() {
    Branch b;
    addCrankRocker(b);
    const Branch::DyadHandles record = b.getSharedDyadList();
    b.clearBranch();
    QCOMPARE(record.size(), size_t(2));
    QCOMPARE(record[0]->typeName(), QStringLiteral("RR"));
    QCOMPARE(record[1]->fixedPivotCopy().x(), 4.0);
}

void BranchTest::replacingTheFirstPassListReleasesTheOldOne() {
    Branch b;
    std::weak_ptr<Dyad> old;
    {
        std::shared_ptr<Dyad> d = rr(0, 0, 1, 0);
        old = d;
        b.setSynthesizedDyads({d});
    }
    QSignalSpy lists(&b, &Branch::dyadListChanged);
    b.setSynthesizedDyads({rr(2, 0, 3, 0)});
    QCOMPARE(lists.count(), 1);
    QVERIFY(old.expired());
    QCOMPARE(b.getFirstPassDyads().size(), size_t(1));
}

void BranchTest::pivotListFollowsTheDyadsAndTheCouplerPoint() {
    Branch b;
    addCrankRocker(b);
    // Rebuilt by createDyad already: fixed and moving pivot of each dyad, in order.
    const std::vector<Point *> &handles = b.getPivotList();
    QCOMPARE(handles.size(), size_t(4));
    QCOMPARE(handles[0], b.dyadAt(0)->fixedPivotPtr());
    QCOMPARE(handles[1], b.dyadAt(0)->movingPivotPtr());
    QCOMPARE(handles[3], b.dyadAt(1)->movingPivotPtr());
    b.setupPointList({Point(0.5, 1.5, 10.0)});
    b.setcurrentdyadstate(states({true, true}), states({}), states({}));
    QVERIFY(b.hasCouplerPoint());
    QCOMPARE(b.getPivotList().size(), size_t(5));
    QCOMPARE(b.getPivotList().back(), b.getMechanism()->couplerPointHandle());
}

void BranchTest::pickPivotSelectsTheFirstHandleWithinReach() {
    Branch b;
    QVERIFY(!b.pickPivot(0.0, 0.0));
    QCOMPARE(b.getSelectedPivot(), -1);
    b.createDyad(rr(0, 0, 1, 0));
    QVERIFY(b.pickPivot(1.1, 0.1));  // 0.14 from the moving pivot
    QCOMPARE(b.getSelectedPivot(), 1);
    QVERIFY(b.isNearPivot(0.0, 0.19));
    QVERIFY(!b.isNearPivot(0.0, 0.21));
    QVERIFY(!b.pickPivot(0.5, 0.5));
    QCOMPARE(b.getSelectedPivot(), -1);
}

// Regression: with no pivot list built, selectedPivot -1 equalled "last index" of an empty list.
void BranchTest::couplerPointIsNotSelectedWithoutACouplerPoint() {
    Branch b;
    QVERIFY(!b.isCouplerPointSelected());
    b.createDyad(rr(0, 0, 1, 0));
    b.pickPivot(1.0, 0.0);
    QVERIFY(!b.isCouplerPointSelected());
}

void BranchTest::draggingAPivotMovesTheDyadAndReformsTheMechanism() {
    Branch b;
    addCrankRocker(b);
    b.setupPointList({Point(0.5, 1.5, 10.0)});
    b.setcurrentdyadstate(states({true, true}), states({}), states({}));
    QVERIFY(b.pickPivot(4.0, 0.0));  // the output's fixed pivot
    QCOMPARE(b.getSelectedPivot(), 2);
    QSignalSpy redraw(&b, &Branch::updateObject);
    QSignalSpy type(&b, &Branch::mechanismUpdated);
    b.editDyadList(4.25, 0.1);
    QCOMPARE(b.dyadAt(1)->fixedPivotCopy().x(), 4.25);
    QCOMPARE(b.dyadAt(1)->fixedPivotCopy().y(), 0.1);
    QVERIFY(std::fabs(b.getMechanismgroundLinkLength() - std::hypot(4.25, 0.1)) < 1e-12);
    QCOMPARE(redraw.count(), 1);
    QCOMPARE(type.count(), 1);
    QCOMPARE(type.at(0).at(0).toString(), QStringLiteral("RRRR"));
    QCOMPARE(b.getPivotList().size(), size_t(5));
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
    // " " on reset, the type on the pair, the type again when announced.
    QCOMPARE(type.count(), 3);
    QCOMPARE(type.at(0).at(0).toString(), QStringLiteral(" "));
    QCOMPARE(type.at(2).at(0).toString(), QStringLiteral("RRRR"));
    QCOMPARE(frame.count(), 1);
    QCOMPARE(frame.at(0).at(0).toDouble(), 0.5);
    QCOMPARE(b.getDyadStates(), states({true, true, false, false}));
    QCOMPARE(b.getKindStates(), states({true, false, false, false}));
}

void BranchTest::oneOrThreeChosenDyadsLeaveThePairButStillAnnounce() {
    Branch b;
    addCrankRocker(b);
    b.createDyad(rr(9, 9, 9, 10));
    b.setupPointList({Point(0.5, 1.5, 10.0)});
    b.setcurrentdyadstate(states({true, true, false}), states({}), states({}));
    Dyad *input = b.getMechanism()->getInputDyad();
    QSignalSpy type(&b, &Branch::mechanismUpdated);
    b.setcurrentdyadstate(states({true, false, false}), states({}), states({}));
    b.setcurrentdyadstate(states({true, true, true}), states({}), states({}));
    QCOMPARE(b.getMechanism()->getInputDyad(), input);
    QCOMPARE(type.count(), 4);  // " " and the announcement, twice
    QCOMPARE(type.at(1).at(0).toString(), QStringLiteral("RRRR"));
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

void BranchTest::aThirdDrawnDyadIsIgnored() {
    Branch b;
    b.settodraw(0);
    b.createUserDyad(0.5, 1.5, 0.0, 0.0, 10.0);  // the moving frame
    QVERIFY(b.isMovingFrameSet());
    b.settodraw(1);
    QSignalSpy lists(&b, &Branch::dyadListChanged);
    b.createUserDyad(0.0, 0.0, 0.0, 1.0, 0.0);
    b.createUserDyad(4.0, 0.0, 3.0, 2.2, 0.0);
    QCOMPARE(b.getUserInputDyads().size(), size_t(2));
    QVERIFY(b.hasMechanism());
    b.createUserDyad(7.0, 7.0, 8.0, 8.0, 0.0);
    QCOMPARE(b.getUserInputDyads().size(), size_t(2));
    QCOMPARE(lists.count(), 2);
    QCOMPARE(b.getPivotList().size(), size_t(5));  // two drawn dyads and the coupler point
}

MS_REGISTER_TEST(BranchTest)
#include "BranchTest.moc"
