// Evaluation of a pair against the task: tasks made by forward kinematics of known linkages
// (a Grashof crank-rocker, a non-Grashof triple rocker, a slider-crank) with the defects each
// must show worked out from how the poses were made; transmission angles by the law of cosines;
// the ranking on a hand-made table.
#include "KnownMechanisms.h"
#include "Mechanism.h"
#include "PR.h"
#include "PairEvaluation.h"
#include "PairRanking.h"
#include "RR.h"

#include <QtTest>
#include "TestSupport.h"
#include <algorithm>
#include <cmath>
#include <memory>

namespace {

using known::Pose;
using known::RevoluteSide;

// Crank-rocker ground (0, 0) -> (4, 0), crank 1, coupler 3.5, rocker 3: s + l = 5 < p + q = 6.5
// with the crank shortest. The moving frame's origin sits off the coupler line.
const RevoluteSide grashofCrank{{0.0, 0.0}, {-1.0, 0.5}, 1.0};
const RevoluteSide grashofRocker{{4.0, 0.0}, {2.5, 0.5}, 3.0};
// Triple rocker ground 4, input 3, coupler 2.5, output 3: s + l = 6.5 > p + q = 6. Its input
// stops where coupler and output stretch: |M1 O2| = 5.5, at 102.6 degrees from the ground line.
const RevoluteSide tripleInput{{0.0, 0.0}, {0.0, 0.0}, 3.0};
const RevoluteSide tripleOutput{{4.0, 0.0}, {2.5, 0.0}, 3.0};

double rad(double deg) { return deg * 3.141592653 / 180.0; }

Point asPoint(const Pose &p) { return Point(p.x, p.y, p.thetaDeg); }

std::vector<Point> asPoints(const std::vector<Pose> &poses) {
    std::vector<Point> points;
    for (const Pose &p : poses)
        points.push_back(asPoint(p));
    return points;
}

// The RR of one side, its moving pivot placed by the task's first pose.
std::unique_ptr<Dyad> rrOf(const RevoluteSide &side, const Pose &first) {
    const known::Vec m = known::toFixed(first, side.movingLocal);
    return std::make_unique<RR>(side.fixedPivot.x, side.fixedPivot.y, m.x, m.y, first.x, first.y,
                                first.thetaDeg);
}

// One pose per crank angle (degrees), each on the assembly given by its letter: 'u' the output
// pivot left of M1 -> O2, 'd' right of it.
std::vector<Pose> fourBarTask(const RevoluteSide &in, const RevoluteSide &out,
                              const std::vector<double> &crankDeg, const QString &assemblies) {
    std::vector<Pose> task;
    for (size_t i = 0; i < crankDeg.size(); ++i) {
        std::vector<Pose> one;
        if (!known::rrrrPoses(in, out, {rad(crankDeg[i])}, assemblies[int(i)] == 'u', one))
            return {};
        task.push_back(one.front());
    }
    return task;
}

// The evaluation of one ordering of a pair: dyads built at the first pose, the task as made.
PairEvaluation evaluateTask(const Dyad &input, const Dyad &output, const std::vector<Pose> &task) {
    return evaluatePair(input, output, asPoint(task.front()), asPoints(task));
}

PairEvaluation handMade(bool defectFree, double positionError, double muMin, double muMax) {
    PairEvaluation e;
    e.evaluated = true;
    e.defectFree = defectFree;
    e.taskSize = 1.0;
    e.maxPositionError = positionError;
    e.transmissionAngle.taskMinDeg = muMin;
    e.transmissionAngle.taskMaxDeg = muMax;
    return e;
}

} // namespace

class PairEvaluationTest : public QObject {
    Q_OBJECT
private slots:
    void defectsOfKnownTasks_data() {
        QTest::addColumn<bool>("triple");
        QTest::addColumn<QString>("crankDeg");     // the crank angles, in the task's order
        QTest::addColumn<QString>("assemblies");   // 'u' or 'd' per pose
        QTest::addColumn<bool>("circuit");
        QTest::addColumn<bool>("branch");
        QTest::addColumn<bool>("order");
        // The crank turns fully: each assembly is a circuit on its own.
        QTest::newRow("crank-rocker, one circuit in crank order")
            << false << "20 75 130 185 240" << "uuuuu" << false << false << false;
        QTest::newRow("crank-rocker, one pose from the other circuit")
            << false << "20 75 130 185 240" << "uuduu" << true << false << false;
        QTest::newRow("crank-rocker, poses shuffled")
            << false << "20 130 75 185 240" << "uuuuu" << false << false << true;
        QTest::newRow("crank-rocker, in order across zero degrees")
            << false << "300 340 20 60 100" << "uuuuu" << false << false << false;
        QTest::newRow("crank-rocker, turned backwards")
            << false << "240 185 130 75 20" << "ddddd" << false << false << false;
        // The triple rocker's input turns back at 102.6 degrees, where the assemblies meet: the
        // poses before and after that limit lie on one circuit but on two branches.
        QTest::newRow("triple rocker, across its input limit")
            << true << "40 70 95 80 50" << "uuudd" << false << true << false;
        QTest::newRow("triple rocker, one branch in order")
            << true << "-60 -20 20 60 95" << "ddddd" << false << false << false;
        QTest::newRow("triple rocker, one branch out of order")
            << true << "-60 20 -20 60 95" << "uuuuu" << false << false << true;
    }
    void defectsOfKnownTasks() {
        QFETCH(bool, triple); QFETCH(QString, crankDeg); QFETCH(QString, assemblies);
        QFETCH(bool, circuit); QFETCH(bool, branch); QFETCH(bool, order);
        std::vector<double> angles;
        for (const QString &a : crankDeg.split(' '))
            angles.push_back(a.toDouble());
        const RevoluteSide &in = triple ? tripleInput : grashofCrank;
        const RevoluteSide &out = triple ? tripleOutput : grashofRocker;
        const std::vector<Pose> task = fourBarTask(in, out, angles, assemblies);
        QCOMPARE(task.size(), angles.size());
        const auto input = rrOf(in, task.front()), output = rrOf(out, task.front());
        const PairEvaluation e = evaluateTask(*input, *output, task);
        QVERIFY(e.evaluated);
        QCOMPARE(e.family, triple ? FourBarClass::Family::NonGrashof
                                  : FourBarClass::Family::Grashof);
        QCOMPARE(e.circuitDefect, circuit);
        QCOMPARE(e.branchDefect, branch);
        QCOMPARE(e.orderDefect, order);
        QCOMPARE(e.defectFree, !circuit && !branch && !order);
        // Every pose is met, at the crank angle it was made with.
        QVERIFY2(e.maxPositionError < 1e-6, qPrintable(QString::number(e.maxPositionError)));
        QVERIFY(e.maxAngleErrorDeg < 1e-6);
        for (size_t i = 0; i < angles.size(); ++i)
            QVERIFY(std::fabs(std::remainder(e.poses[i].input - angles[i], 360.0)) < 1e-5);
        // A defect-free crank-rocker moves through poses whose angles lie inside its cycle.
        const auto &mu = e.transmissionAngle;
        QVERIFY(mu.cycleMinDeg <= mu.taskMinDeg + 1e-9 && mu.taskMaxDeg <= mu.cycleMaxDeg + 1e-9);
        // The same pair as a Mechanism forms it is judged alike.
        Mechanism m;
        m.setDyads(input.get(), output.get());
        m.setCouplerPose(asPoint(task.front()));
        const PairEvaluation viaMechanism = evaluatePair(m, asPoints(task));
        QCOMPARE(viaMechanism.defectFree, e.defectFree);
        QVERIFY(std::fabs(viaMechanism.transmissionAngle.taskMinDeg - mu.taskMinDeg) < 1e-6);
        // Both machines of the pair, ranked: driven by its rocker, which turns back between
        // poses a crank turn apart, the crank-rocker cannot meet them in one go.
        if (!triple && e.defectFree) {
            const auto rows = PairRanking::rankAll({input.get(), output.get()}, asPoints(task));
            QCOMPARE(rows.size(), size_t(2));
            QCOMPARE(rows[0].input, 0);
            QCOMPARE(rows[0].rank, 1);
            QVERIFY(rows[0].evaluation.defectFree && !rows[1].evaluation.defectFree);
            QCOMPARE(rows[1].input, 1);
            QCOMPARE(rows[1].output, 0);
        }
    }

    // cos mu = (h^2 + L2^2 - d^2) / (2 h L2) with d^2 = G^2 + L1^2 - 2 G L1 cos(crank): the
    // crank-rocker's extremes lie where the crank lies along the ground line (0 and 180).
    void transmissionAngleByLawOfCosines_data() {
        QTest::addColumn<double>("crankDeg");
        for (double a : {0.0, 35.0, 90.0, 180.0, 250.0})
            QTest::newRow(qPrintable(QStringLiteral("crank at %1").arg(a))) << a;
    }
    void transmissionAngleByLawOfCosines() {
        QFETCH(double, crankDeg);
        auto mu = [](double crank) {
            const double d2 = 16.0 + 1.0 - 8.0 * std::cos(crank * 3.141592653589793 / 180.0);
            return std::acos((3.5 * 3.5 + 9.0 - d2) / (2.0 * 3.5 * 3.0)) * 180.0 /
                   3.141592653589793;
        };
        for (const char *assembly : {"u", "d"}) {
            const auto task = fourBarTask(grashofCrank, grashofRocker, {crankDeg}, assembly);
            QVERIFY(!task.empty());
            const auto input = rrOf(grashofCrank, task[0]), output = rrOf(grashofRocker, task[0]);
            const auto range = evaluateTask(*input, *output, task).transmissionAngle;
            QVERIFY(std::fabs(range.taskMinDeg - mu(crankDeg)) < 1e-6);
            QVERIFY(std::fabs(range.taskMaxDeg - mu(crankDeg)) < 1e-6);
            QVERIFY(std::fabs(range.cycleMinDeg - mu(0.0)) < 1e-6);
            QVERIFY(std::fabs(range.cycleMaxDeg - mu(180.0)) < 1e-6);
        }
    }

    // Slider-crank: the coupler meets the slide at beta with sin beta = distance of M1 from the
    // slide over the coupler length, so |mu - 90| = beta; the crank turns fully (crank plus
    // offset 4.06 is shorter than the coupler 4.07).
    void sliderCrankIsDefectFree() {
        const std::vector<Pose> task = known::sliderCrankTask();
        QCOMPARE(task.size(), size_t(5));
        const double u = known::sliderLineAngle;
        const known::Vec m2 = known::toFixed(task[0], known::sliderLocal);
        const known::Vec slideStart{m2.x - 10.0 * std::cos(u), m2.y - 10.0 * std::sin(u)};
        const auto crank = rrOf(known::sliderCrank, task[0]);
        const PR slider(slideStart.x, slideStart.y, m2.x, m2.y, task[0].x, task[0].y,
                        task[0].thetaDeg);
        // Given slider first, the pair is ordered crank first, as a Mechanism orders it.
        const PairEvaluation e = evaluateTask(slider, *crank, task);
        QCOMPARE(e.kind, PairKind::RRPR);
        QVERIFY(e.defectFree);
        QVERIFY(e.maxPositionError < 1e-6 && e.maxAngleErrorDeg < 1e-6);
        const double h = std::hypot(known::sliderLocal.x - known::sliderCrank.movingLocal.x,
                                    known::sliderLocal.y - known::sliderCrank.movingLocal.y);
        QVERIFY(std::fabs(e.linkRatio - h / known::sliderCrank.radius) < 1e-9);
        // Mixed kinds make one machine, driven by the crank whichever comes first in the list.
        const auto rows = PairRanking::rankAll({&slider, crank.get()}, asPoints(task));
        QCOMPARE(rows.size(), size_t(1));
        QCOMPARE(rows[0].input, 1);
        QCOMPARE(rows[0].output, 0);
        QVERIFY(rows[0].evaluation.defectFree);
        // One pose at a time (the pair still assembled at the first): the task's range is
        // that pose's angle.
        for (const Pose &p : task) {
            const known::Vec m1 = known::toFixed(p, known::sliderCrank.movingLocal);
            const double across = std::fabs(-std::sin(u) * (m1.x - known::sliderLinePoint.x) +
                                            std::cos(u) * (m1.y - known::sliderLinePoint.y));
            const double beta = std::asin(across / h) * 180.0 / 3.141592653589793;
            const auto mu =
                evaluatePair(slider, *crank, asPoint(task[0]), {asPoint(p)}).transmissionAngle;
            QVERIFY(std::fabs(mu.taskMaxDeg - mu.taskMinDeg) < 1e-9);
            QVERIFY(std::fabs(std::fabs(mu.taskMinDeg - 90.0) - beta) < 1e-6);
        }
    }

    // Elliptic trammel: M1 slides on the x axis, M2 on the y axis, |M1 M2| = 2. The slide input
    // stops at s = +-2, where M2 above and M2 below the axis meet: one circuit, two branches.
    void sliderInputDefects_data() {
        QTest::addColumn<QString>("slides");
        QTest::addColumn<QString>("sides");   // '+' M2 above the x axis, '-' below
        QTest::addColumn<bool>("branch");
        QTest::addColumn<bool>("order");
        QTest::newRow("one branch in order")
            << "-1.5 -0.5 0.5 1.2 1.8" << "+++++" << false << false;
        QTest::newRow("across the limit at 2") << "0 1 1.8 1.2 0.5" << "+++--" << true << false;
        QTest::newRow("one branch out of order") << "-1.5 0.5 -0.5 1.2 1.8" << "-----" << false
                                                 << true;
    }
    void sliderInputDefects() {
        QFETCH(QString, slides); QFETCH(QString, sides); QFETCH(bool, branch); QFETCH(bool, order);
        std::vector<Point> task;
        for (const QString &v : slides.split(' ')) {
            const double s = v.toDouble(), up = sides[int(task.size())] == '+' ? 1.0 : -1.0;
            const double y = up * std::sqrt(4.0 - s * s);
            task.push_back(Point(s, 0.0, std::atan2(y, -s) * 180.0 / 3.141592653589793));
        }
        const double y0 = std::sqrt(4.0 - task[0][0] * task[0][0]) * (sides[0] == '+' ? 1 : -1);
        const PR input(-5.0, 0.0, task[0][0], 0.0, task[0][0], 0.0, task[0][2]);
        const PR output(0.0, -5.0, 0.0, y0, task[0][0], 0.0, task[0][2]);
        const PairEvaluation e = evaluatePair(input, output, task[0], task);
        QCOMPARE(e.kind, PairKind::PRPR);
        QVERIFY(e.evaluated && !e.circuitDefect);
        QCOMPARE(e.branchDefect, branch);
        QCOMPARE(e.orderDefect, order);
        QVERIFY(e.maxPositionError < 1e-9 && e.maxAngleErrorDeg < 1e-9);
        // A slider input reaching its limit puts the coupler square to the output slide.
        QVERIFY(e.transmissionAngle.cycleMinDeg < 0.1 || e.transmissionAngle.cycleMaxDeg > 179.9);
    }

    // Defect-free first, then the smaller error (rounding counts as none), then the transmission
    // angle nearer 90 degrees; pairs that could not be evaluated last.
    void rankingOrder() {
        std::vector<PairEvaluation> table = {
            handMade(false, 0.0, 89.0, 91.0),    // 0: a defect, however good otherwise
            handMade(true, 0.02, 80.0, 100.0),   // 1: defect-free, a visible error
            handMade(true, 1e-13, 40.0, 95.0),   // 2: exact, worst 50 from 90
            handMade(true, 0.0, 60.0, 130.0),    // 3: exact, worst 40 from 90
            PairEvaluation(),                    // 4: not evaluated
            handMade(true, 0.01, 10.0, 170.0),   // 5: defect-free, a smaller error than 1
        };
        std::vector<int> order = {0, 1, 2, 3, 4, 5};
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return ranksBefore(table[a], table[b]); });
        QCOMPARE(order, (std::vector<int>{3, 2, 5, 1, 0, 4}));
    }
};

MS_REGISTER_TEST(PairEvaluationTest)
#include "PairEvaluationTest.moc"
