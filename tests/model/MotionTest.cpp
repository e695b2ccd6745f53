// Kinematic model: points, the planar kinematic mapping and the motion (the user's task).
#include "Motion.h"
#include "Point.h"

#include <QSignalSpy>
#include <QtTest>
#include "TestSupport.h"
#include <cmath>

namespace {
const double pi = std::acos(-1.0);

// Pose composition written independently of the mapping: a point fixed in the moving frame
// lands at R(theta)*local + (x, y). The image point must reproduce the same transformation.
void applyPose(double x, double y, double th, double lx, double ly, double &gx, double &gy) {
    gx = std::cos(th) * lx - std::sin(th) * ly + x;
    gy = std::sin(th) * lx + std::cos(th) * ly + y;
}

void addPose(Motion &m, double x, double y, double thetaRad, double param = 0.0) {
    m.currentPose = Point(x, y, thetaRad);
    m.currentPose.parameter = param;
    m.currentImage = toImage(m.currentPose);
    m.addPosition();
}
} // namespace

class TestModel : public QObject {
    Q_OBJECT
private slots:
    void mappingRoundTripsOverAGridOfPoses();
    void imageCoordinatesEncodeTheRigidMotion();

    void updateByIndexWorksWhenAllParametersAreZero();
    void hoverSelectsFirstPositionStrictlyInsideThePickRadius();
};

// Every pose of a grid comes back from its image point with theta in (-pi, pi] as it was (pi
// itself included), wider angles wrapped, and its parameter; so does the negated or scaled
// image point, which is the same pose.
void TestModel::mappingRoundTripsOverAGridOfPoses() {
    for (double x = -30; x <= 30; x += 7.5)
        for (double y = -20; y <= 20; y += 5)
            for (int k = -17 - 36; k <= 18 + 36; ++k) {
                const double th = k * pi / 18.0;
                Point pose(x, y, th);
                pose.parameter = k;
                const Point z = toImage(pose);
                for (double scale : {1.0, -1.0, 3.0}) {
                    Point image(4);
                    for (int i = 0; i < 4; ++i)
                        image[i] = scale * z[i];
                    image.parameter = z.parameter;
                    const Point back = toCartesian(image);
                    QVERIFY(std::fabs(back[0] - x) < 1e-12 && std::fabs(back[1] - y) < 1e-12);
                    const bool inRange = k >= -17 && k <= 18;  // (-pi, pi]: back as it was
                    QVERIFY2(inRange ? std::fabs(back[2] - th) < 1e-12
                                     : std::fabs(std::remainder(back[2] - th, 2.0 * pi)) < 1e-12
                                           && std::fabs(back[2]) <= pi + 1e-12,
                             qPrintable(QString::number(k)));
                    QCOMPARE(back.parameter, double(k));
                }
            }
    Point noRotation(4);
    noRotation[0] = 3.0;
    noRotation[1] = -2.0;
    const Point q = toCartesian(noRotation);  // Z3 = Z4 = 0: no pose, stays at the origin
    QVERIFY(q[0] == 0.0 && q[1] == 0.0 && q[2] == 0.0);
}

void TestModel::imageCoordinatesEncodeTheRigidMotion() {
    // The motion rebuilt from Z alone must carry a moving-frame point where the pose does.
    const double x = 4.0, y = -1.0, th = 0.7;
    const Point z = toImage(Point(x, y, th));
    QVERIFY(std::fabs(z[2] * z[2] + z[3] * z[3] - 1.0) < 1e-15);
    const double thz = 2.0 * std::atan2(z[2], z[3]);
    const double xz = 2.0 * (z[3] * z[0] - z[2] * z[1]);
    const double yz = 2.0 * (z[3] * z[1] + z[2] * z[0]);
    double gx, gy, hx, hy;
    applyPose(x, y, th, 1.2, -0.4, gx, gy);
    applyPose(xz, yz, thz, 1.2, -0.4, hx, hy);
    QVERIFY(std::fabs(gx - hx) < 1e-12);
    QVERIFY(std::fabs(gy - hy) < 1e-12);
}

void TestModel::updateByIndexWorksWhenAllParametersAreZero() {
    // Regression: the parameter (0 for every position read from a file) was taken as the
    // position's identity, so no loaded position could ever be moved.
    Motion m;
    addPose(m, 1, 1, 0);
    addPose(m, 2, 2, 0.1);
    addPose(m, 3, 3, 0.2);
    QSignalSpy changed(&m, &Motion::currentchanged);
    m.currentImage = toImage(Point(5.0, -5.0, 0.5));
    QVERIFY(m.updatePos(1));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toInt(), 1);
    const Point p = toCartesian(m.positions().at(1));
    QVERIFY(std::fabs(p[0] - 5.0) < 1e-12 && std::fabs(p[1] + 5.0) < 1e-12);
    QVERIFY(std::fabs(toCartesian(m.positions().at(2))[0] - 3.0) < 1e-12);  // others stay

    QVERIFY(!m.updatePos(3));
    QVERIFY(!m.updatePos());  // current index is -1
    QCOMPARE(changed.count(), 1);
}

void TestModel::hoverSelectsFirstPositionStrictlyInsideThePickRadius() {
    Motion m;
    addPose(m, 0, 0, 0);
    addPose(m, 0.1, 0, 0);
    QSignalSpy changed(&m, &Motion::currentchanged);
    m.updatecurrentMousemove(0.05, 0.0);  // near both: the first in list order wins
    QCOMPARE(m.currentPositionIndex(), 0);
    QCOMPARE(changed.count(), 1);
    m.updatecurrentMousemove(0.35, 0.0);  // 0.35 from the first, 0.25 from the second
    QCOMPARE(m.currentPositionIndex(), 1);
    m.updatecurrentMousemove(0.4, 0.0);   // exactly 0.3 from the second: not selected
    QCOMPARE(m.currentPositionIndex(), -1);
    QCOMPARE(changed.last().at(0).toInt(), -1);
}

MS_REGISTER_TEST(TestModel)
#include "MotionTest.moc"
