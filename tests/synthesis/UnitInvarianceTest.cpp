// The same task drawn in another unit, far from the origin or turned must give the same dyads:
// the same kinds, and pivots that map back onto the known mechanism's.
#include "Branch.h"
#include "Dyad.h"
#include "KnownMechanisms.h"
#include "MechanismSynthesis.h"
#include "Motion.h"

#include <QtTest>
#include "TestSupport.h"
#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

using known::Pose;
using known::RevoluteSide;
using known::Vec;

namespace {
// How the test redraws a task: scaled about the origin, turned by rotationDeg, then moved.
struct Placement {
    double scale, offsetX, offsetY, rotationDeg;
    double turn() const { return rotationDeg * 3.141592653 / 180.0; }
    Vec place(Vec p) const {
        const double c = std::cos(turn()), s = std::sin(turn());
        return {offsetX + scale * (c * p.x - s * p.y), offsetY + scale * (s * p.x + c * p.y)};
    }
    Vec unplace(Vec p) const {
        const double c = std::cos(turn()), s = std::sin(turn());
        const double dx = (p.x - offsetX) / scale, dy = (p.y - offsetY) / scale;
        return {c * dx + s * dy, -s * dx + c * dy};
    }
    Pose place(const Pose &p) const {
        const Vec at = place(Vec{p.x, p.y});
        return {at.x, at.y, p.thetaDeg + rotationDeg};
    }
};

// One dyad of the generating mechanism: its kind and the pivot that must come back (the fixed
// pivot of an RR or RP, the moving pivot at the first pose of a PR), in the task's own frame.
struct Known {
    QString kind;
    Vec pivot;
};

struct Task {
    std::vector<Pose> poses;
    std::vector<Known> dyads;
    std::vector<Vec> extra;  // the line's two points or the two chosen pivots
};

const RevoluteSide crank{{1.0, -2.0}, {-0.5, 0.8}, 2.5};
const RevoluteSide rocker{{6.0, -1.5}, {2.2, 0.4}, 4.0};

std::vector<double> crankAngles(int n) {
    std::vector<double> a;
    for (int i = 0; i < n; ++i)
        a.push_back(0.5 + 0.3 * i);
    return a;
}

// A swinging block: the crank's pin carries the body, whose line Y = lineY (moving frame)
// passes through the fixed pivot blockPivot in every pose.
bool swingingBlockPoses(const RevoluteSide &side, Vec blockPivot, double lineY, int n,
                        std::vector<Pose> &poses) {
    for (double phi : crankAngles(n)) {
        const Vec pin{side.fixedPivot.x + side.radius * std::cos(phi),
                      side.fixedPivot.y + side.radius * std::sin(phi)};
        const double dx = blockPivot.x - pin.x, dy = blockPivot.y - pin.y;
        // The pin sits at moving-frame point movingLocal; the body line's signed distance from
        // the pivot vanishes when sin(alpha - theta) D = lineY - movingLocal.y.
        const double d = std::hypot(dx, dy), offset = lineY - side.movingLocal.y;
        if (std::fabs(offset) >= d)
            return false;
        const double th = std::atan2(dy, dx) - std::asin(offset / d);
        poses.push_back({pin.x - (std::cos(th) * side.movingLocal.x - std::sin(th) * side.movingLocal.y),
                         pin.y - (std::sin(th) * side.movingLocal.x + std::cos(th) * side.movingLocal.y),
                         known::engineDegrees(th)});
    }
    return true;
}

Task makeTask(const QString &name, int n) {
    Task t;
    if (name == "slider-crank") {
        const Vec sliderLocal{4.0, -1.5}, linePoint{3.0, -4.0};
        known::sliderCrankPoses(crank, sliderLocal, linePoint, 0.1, crankAngles(n), t.poses);
        t.dyads = {{"RR", crank.fixedPivot}, {"PR", known::toFixed(t.poses[0], sliderLocal)}};
    } else if (name == "swinging block") {
        const Vec blockPivot{5.5, 1.0};
        swingingBlockPoses(crank, blockPivot, 0.3, n, t.poses);
        t.dyads = {{"RR", crank.fixedPivot}, {"RP", blockPivot}};
    } else {
        known::rrrrPoses(crank, rocker, crankAngles(n), true, t.poses);
        t.dyads = {{"RR", crank.fixedPivot}, {"RR", rocker.fixedPivot}};
    }
    if (n == MechanismSynthesis::fourPositions)  // a line through the crank's fixed pivot
        t.extra = {crank.fixedPivot, {crank.fixedPivot.x + 3.0, crank.fixedPivot.y + 1.2}};
    if (n == MechanismSynthesis::threePositions)
        t.extra = {crank.fixedPivot, rocker.fixedPivot};
    return t;
}

// The size every pivot is compared at: the RMS distance of the task's points from their centre.
double taskSize(const std::vector<Pose> &poses) {
    double cx = 0.0, cy = 0.0, sum = 0.0;
    for (const Pose &p : poses)
        cx += p.x / poses.size(), cy += p.y / poses.size();
    for (const Pose &p : poses)
        sum += (p.x - cx) * (p.x - cx) + (p.y - cy) * (p.y - cy);
    return std::sqrt(sum / poses.size());
}

// The run's dyads: each kind and its pivot brought back into the task's own frame.
std::vector<Known> synthesize(const Task &task, const Placement &where) {
    std::vector<Pose> placed;
    for (const Pose &p : task.poses)
        placed.push_back(where.place(p));
    Motion motion;
    Branch branch;
    MechanismSynthesis engine;
    engine.setMotion(&motion);
    engine.setBranch(&branch);
    engine.setFileOutput(false);
    engine.setMessageOutput(stderr);
    known::loadTask(motion, engine, placed);
    if (task.poses.size() == 4u) {
        const Vec a = where.place(task.extra[0]), b = where.place(task.extra[1]);
        engine.updateLineParams(a.x, a.y, b.x, b.y);
        engine.synthesize4pos();
    } else if (task.poses.size() == 3u) {
        for (const Vec &v : task.extra)
            engine.setUDP(where.place(v).x, where.place(v).y);
        engine.synthesize3pos();
    } else {
        engine.synthesize();
    }
    std::vector<Known> found;
    for (int k = 0; k < branch.synthesizedDyadCount(); ++k) {
        const Dyad &d = *branch.dyadAt(k);
        const Point p = d.typeName() == "PR" ? d.movingPivotCopy() : d.fixedPivotCopy();
        found.push_back({d.typeName(), where.unplace(Vec{p.x(), p.y()})});
    }
    return found;
}

QStringList kindsOf(const std::vector<Known> &dyads) {
    QStringList kinds;
    for (const Known &d : dyads)
        kinds << d.kind;
    return kinds.sort(), kinds;
}

// The distance from the wanted pivot to the nearest found pivot of its kind (infinite if none).
double missBy(const std::vector<Known> &found, const Known &want) {
    double best = std::numeric_limits<double>::infinity();
    for (const Known &d : found)
        if (d.kind == want.kind)
            best = std::min(best, std::hypot(d.pivot.x - want.pivot.x, d.pivot.y - want.pivot.y));
    return best;
}

const Placement home{1.0, 0.0, 0.0, 0.0};
} // namespace

class UnitInvarianceTest : public QObject {
    Q_OBJECT
private slots:
    void exactTaskGivesTheSameDyadsAnywhere_data();
    void exactTaskGivesTheSameDyadsAnywhere();
    void variantsAndTheApproximateFitKeepTheirDyads_data();
    void variantsAndTheApproximateFitKeepTheirDyads();
};

void UnitInvarianceTest::exactTaskGivesTheSameDyadsAnywhere_data() {
    QTest::addColumn<QString>("mechanism");
    QTest::addColumn<double>("scale");
    QTest::addColumn<double>("offsetX");
    QTest::addColumn<double>("offsetY");
    QTest::addColumn<double>("rotationDeg");
    const double offsets[3][2] = {{0.0, 0.0}, {3e4, -2e4}, {-3e4, 2e4}};
    for (const char *mechanism : {"four-bar", "slider-crank", "swinging block"})
        for (double scale : {1e-3, 1.0, 25.4, 1000.0})
            for (const auto &o : offsets)
                for (double turn : {0.0, 37.0})
                    QTest::addRow("%s x%g at (%g, %g) turned %g", mechanism, scale, o[0], o[1], turn)
                        << QString(mechanism) << scale << o[0] << o[1] << turn;
}

// Five positions are met exactly, so the dyads are the mechanism's own wherever it is drawn.
void UnitInvarianceTest::exactTaskGivesTheSameDyadsAnywhere() {
    QFETCH(QString, mechanism);
    QFETCH(double, scale);
    QFETCH(double, offsetX);
    QFETCH(double, offsetY);
    QFETCH(double, rotationDeg);
    const Task task = makeTask(mechanism, 5);
    QCOMPARE(task.poses.size(), size_t(5));
    const std::vector<Known> found = synthesize(task, {scale, offsetX, offsetY, rotationDeg});
    QCOMPARE(kindsOf(found), kindsOf(synthesize(task, home)));
    // 1e-8 of the task's size; a tiny task far out is also given only to the rounding of its
    // coordinates (2.2e-16 of the offset), which five positions magnify about a thousandfold.
    const double size = taskSize(task.poses);
    const double inputRounding = 2.2e-16 * std::hypot(offsetX, offsetY) / scale;
    const double tolerance = std::max(1e-8 * size, 1e3 * inputRounding);
    for (const Known &want : task.dyads)
        QVERIFY2(missBy(found, want) < tolerance, qPrintable(want.kind));
}

void UnitInvarianceTest::variantsAndTheApproximateFitKeepTheirDyads_data() {
    QTest::addColumn<int>("positions");
    QTest::addColumn<double>("scale");
    QTest::addColumn<double>("tolerance");  // of the known pivots, in task sizes
    for (double scale : {1.0, 1000.0}) {
        // Six noisy positions: no dyad meets them all, the least-squares fit comes close.
        QTest::addRow("six noisy positions x%g", scale) << 6 << scale << 1e-2;
        QTest::addRow("four positions and a line x%g", scale) << 4 << scale << 1e-8;
        QTest::addRow("three positions and two pivots x%g", scale) << 3 << scale << 1e-8;
    }
}

void UnitInvarianceTest::variantsAndTheApproximateFitKeepTheirDyads() {
    QFETCH(int, positions);
    QFETCH(double, scale);
    QFETCH(double, tolerance);
    Task task = makeTask("four-bar", positions);
    QCOMPARE(task.poses.size(), size_t(positions));
    const double size = taskSize(task.poses);
    if (positions == 6) {
        std::mt19937 gen(7u);
        std::uniform_real_distribution<double> noise(-1e-5, 1e-5);
        for (Pose &p : task.poses)
            p = {p.x + size * noise(gen), p.y + size * noise(gen), p.thetaDeg + noise(gen)};
    }
    // Millimetres far from the drawing's origin against the units the task was made in.
    const Placement far{scale, scale * 23.0, -scale * 17.0, 0.0};
    const std::vector<Known> found = synthesize(task, far);
    QCOMPARE(kindsOf(found), kindsOf(synthesize(task, home)));
    const size_t wanted = positions == 4 ? 1 : 2;  // the line holds the crank's pivot only
    for (size_t k = 0; k < wanted; ++k)
        QVERIFY2(missBy(found, task.dyads[k]) < tolerance * size, qPrintable(task.dyads[k].kind));
}

MS_REGISTER_TEST(UnitInvarianceTest)
#include "UnitInvarianceTest.moc"
