// Helpers for the view tests: mouse gestures, the expected pixel of a world point, a stand-in
// for the main window's position slots and a small hand-made four-bar.
#pragma once

#include "Branch.h"
#include "MechGLWidget.h"
#include "Motion.h"

#include <QApplication>
#include <QMouseEvent>
#include <QtTest>
#include <cmath>
#include <vector>

namespace viewtest {

const double pi = std::acos(-1.0);

// A move with no button held (QTest would move the real cursor instead, which Xvfb need not
// deliver).
inline void hover(QWidget *w, QPointF pos) {
    QMouseEvent e(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Press at `from`, move in `steps` even steps to `to` with the button held, release.
inline void drag(QWidget *w, QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton,
                 int steps = 4) {
    hover(w, from);
    QTest::mousePress(w, button, Qt::NoModifier, from);
    for (int k = 1; k <= steps; ++k) {
        const QPoint p = from + (to - from) * k / steps;
        QTest::mouseMove(w, p);
    }
    QTest::mouseRelease(w, button, Qt::NoModifier, to);
}

// Where a world point must land, written from the view's geometry: the visible square has the
// longer side and spans 10/scale units; y grows upwards.
inline QPointF expectedPixel(int w, int h, double scale, double panX, double panY, double x,
                             double y) {
    const double side = std::max(w, h);
    return QPointF(w / 2.0 + scale * (x + panX) * side / 10.0,
                   h / 2.0 - scale * (y + panY) * side / 10.0);
}

inline void addPose(Motion &m, double x, double y, double thetaDeg, double parameter = 0.0) {
    m.currentPose = Point(x, y, thetaDeg * pi / 180.0);
    m.currentPose.parameter = parameter;
    m.currentImage = toImage(m.currentPose);
    m.addPosition();
}

// Pose (x, y, theta degrees) of position i, computed from the image point by the inverse of the
// kinematic mapping written out here: Z = (x c + y s, y c - x s, 2 s, 2 c) / 2, s, c of theta/2.
inline void poseOf(const Motion &m, int i, double &x, double &y, double &thetaDeg) {
    const Point z = m.positions().at(i);
    const double s = z[2], c = z[3];
    const double n = s * s + c * c;
    x = 2.0 * (c * z[0] - s * z[1]) / n;
    y = 2.0 * (c * z[1] + s * z[0]) / n;
    thetaDeg = 2.0 * std::atan2(s, c) * 180.0 / pi;
}

// What the main window does with the view's position requests (its two position slots): append or
// overwrite the motion's current position. Keeps the connections alive with the keeper.
struct TaskKeeper {
    std::vector<QMetaObject::Connection> connections;
    TaskKeeper(MechGLWidget &view, Motion &motion) {
        Motion *m = &motion;
        connections.push_back(QObject::connect(
            &view, &MechGLWidget::positioninput, [m](double x, double y, double th, int t) {
                addPose(*m, x, y, th, t);
                m->setcurrntpositionindex(m->size() - 1);
            }));
        connections.push_back(QObject::connect(
            &view, QOverload<double, double, double, int>::of(&MechGLWidget::positionupdate),
            [m](double x, double y, double th, int) {
                const int i = m->currentPositionIndex();
                if (i < 0 || i >= m->size())
                    return;
                m->currentPose = Point(x, y, th * pi / 180.0);
                m->currentImage = toImage(m->currentPose);
                m->updatePos(i);
            }));
    }
    ~TaskKeeper() {
        for (auto &c : connections)
            QObject::disconnect(c);
    }
};

// A crank-rocker drawn by mouse: ground (0,0)-(4,0), crank 1, coupler 4, rocker 3, with the
// moving frame on the coupler. The rocker's moving pivot solves |B - (4,0)| = 3, |B - (0,1)| = 4:
// 17x^2 - 96x + 128 = 0, y = 4x - 11.
inline void buildUserFourBar(Branch &branch) {
    const double bx = (96.0 + std::sqrt(96.0 * 96.0 - 4.0 * 17.0 * 128.0)) / 34.0;
    const double by = 4.0 * bx - 11.0;
    branch.settodraw(0);
    branch.createUserDyad(1.5, 2.0, 0.0, 0.0, 0.0);
    branch.settodraw(1);
    branch.createUserDyad(0.0, 0.0, 0.0, 1.0, 0.0);
    branch.createUserDyad(4.0, 0.0, bx, by, 0.0);
}

// The coupler pose (x, y, theta degrees) of that crank-rocker at crank angle aDeg, on one of its
// two assemblies (sign +1 is the one drawn by buildUserFourBar), found by intersecting the
// circles |B - M1| = 4 and |B - (4, 0)| = 3 and carrying the frame (1.5, 2, 0) rigidly.
inline Point crankRockerCouplerPose(double aDeg, double sign = 1.0) {
    const double bx0 = (96.0 + std::sqrt(96.0 * 96.0 - 4.0 * 17.0 * 128.0)) / 34.0;
    const double by0 = 4.0 * bx0 - 11.0;
    const double ang0 = std::atan2(by0 - 1.0, bx0);  // coupler line at the drawn assembly
    const double cx = 1.5, cy = 1.0;                  // frame origin minus M1 = (0, 1)
    const double along = cx * std::cos(ang0) + cy * std::sin(ang0);
    const double across = -cx * std::sin(ang0) + cy * std::cos(ang0);

    const double a = aDeg * pi / 180.0;
    const double m1x = std::cos(a), m1y = std::sin(a);
    const double dx = 4.0 - m1x, dy = -m1y, d = std::hypot(dx, dy);
    const double l = (16.0 - 9.0 + d * d) / (2.0 * d);
    const double hgt = std::sqrt(16.0 - l * l);
    const double bx = m1x + l * dx / d - sign * hgt * dy / d;
    const double by = m1y + l * dy / d + sign * hgt * dx / d;
    const double ang = std::atan2(by - m1y, bx - m1x);
    return Point(m1x + along * std::cos(ang) - across * std::sin(ang),
                 m1y + along * std::sin(ang) + across * std::cos(ang), (ang - ang0) * 180.0 / pi);
}

inline double directionDeg(const Point &from, const Point &to) {
    return std::atan2(to.y() - from.y(), to.x() - from.x()) * 180.0 / pi;
}

} // namespace viewtest
