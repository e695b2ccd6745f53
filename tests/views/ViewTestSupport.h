// The rig of the view tests: mouse gestures, the expected pixel of a world point, a stand-in for
// the main window's position slots, a small hand-made four-bar, and picture helpers on top of the
// shared GL canvas.
#pragma once

#include "Branch.h"
#include "KnownMechanisms.h"
#include "MechGLWidget.h"
#include "Motion.h"
#include "RR.h"
#include "TestSupport.h"

#include <GL/gl.h>
#include <QApplication>
#include <QMouseEvent>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <vector>

namespace viewtest {

const double pi = std::acos(-1.0);

inline bool notWhite(QColor c) { return !testsupport::isWhite(c); }

inline int countPixels(const QImage &img, QRect box, const std::function<bool(QColor)> &pred) {
    int n = 0;
    box = box.normalized() & img.rect();
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            n += pred(img.pixelColor(x, y)) ? 1 : 0;
    return n;
}

// The smallest rectangle holding every pixel of `box` that satisfies pred; null when none does.
inline QRect inkBox(const QImage &img, QRect box, const std::function<bool(QColor)> &pred) {
    QRect ink;
    box = box.normalized() & img.rect();
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (pred(img.pixelColor(x, y)))
                ink |= QRect(x, y, 1, 1);
    return ink;
}

// A degree sign ends the text in `ink`: its last columns hold ink in the upper half of the line
// only, where a digit's would reach down to the baseline.
inline bool endsInARingAtTheTop(const QImage &img, QRect ink,
                                const std::function<bool(QColor)> &pred) {
    const int columns = std::max(1, ink.width() / 8);
    const QRect last(ink.right() - columns + 1, ink.top(), columns, ink.height());
    const QRect ring = inkBox(img, last, pred);
    return !ring.isNull() && ring.bottom() < ink.top() + ink.height() / 2;
}

// The canvas reads its framebuffer back as premultiplied colour, so translucent drawing that lowers
// the destination alpha comes back garbled; an on-screen view keeps alpha at 1.
inline QImage renderOpaque(testsupport::GLCanvas &c, const std::function<void()> &draw) {
    return c.render([&draw]() {
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
        draw();
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    });
}

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
    for (int k = 1; k <= steps; ++k)
        QTest::mouseMove(w, from + (to - from) * k / steps);
    QTest::mouseRelease(w, button, Qt::NoModifier, to);
}

inline void sendWheel(QWidget *w, int delta) {
    const QPointF c(w->width() / 2.0, w->height() / 2.0);
    QWheelEvent e(c, w->mapToGlobal(c), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
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
// overwrite the motion's current position.
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

// The crank-rocker drawn by buildUserFourBar: ground (0,0)-(4,0), crank 1, coupler 4, rocker 3,
// with the moving frame (1.5, 2, 0) on the coupler.
inline known::Vec rockerPivot() {
    const double bx = (96.0 + std::sqrt(96.0 * 96.0 - 4.0 * 17.0 * 128.0)) / 34.0;
    return {bx, 4.0 * bx - 11.0};
}

inline void buildUserFourBar(Branch &branch) {
    const known::Vec b = rockerPivot();
    branch.settodraw(0);
    branch.createUserDyad(1.5, 2.0, 0.0, 0.0, 0.0);
    branch.settodraw(1);
    branch.createUserDyad(0.0, 0.0, 0.0, 1.0, 0.0);
    branch.createUserDyad(4.0, 0.0, b.x, b.y, 0.0);
}

// The same crank-rocker as a synthesis would leave it: two dyads in the branch's table for the
// single task pose (1.5, 2, 0), both chosen.
inline void chooseCrankRockerDyads(Branch &branch) {
    const known::Vec b = rockerPivot();
    const Point pose(1.5, 2.0, 0.0);
    branch.setupPointList({pose});
    branch.createDyad(std::make_shared<RR>(pose, 0.0, 0.0, 1.0, -1.5, -1.0, 0));
    branch.createDyad(std::make_shared<RR>(pose, 4.0, 0.0, 3.0, b.x - 1.5, b.y - 2.0, 0));
    branch.setcurrentdyadstate({true, true, false, false}, {false, false, false, false},
                               {false, false, false, false});
}

// Its coupler poses at crank angles in degrees, on the assembly drawn (elbowUp) or the other, from
// the shared forward kinematics.
inline std::vector<known::Pose> crankRockerPoses(const std::vector<double> &crankDeg,
                                                 bool drawnAssembly = true) {
    const known::Vec b = rockerPivot();
    const known::RevoluteSide crank{{0.0, 0.0}, {-1.5, -1.0}, 1.0};
    const known::RevoluteSide rocker{{4.0, 0.0}, {b.x - 1.5, b.y - 2.0}, 3.0};
    std::vector<double> radians;
    for (double a : crankDeg)
        radians.push_back(a * pi / 180.0);
    std::vector<known::Pose> poses;
    known::rrrrPoses(crank, rocker, radians, drawnAssembly, poses);
    return poses;
}

// The mouse-entry rig: a task, a branch and an 800 x 400 view at scale 0.45 (36 pixels per unit,
// origin at (400, 200)).
struct Rig {
    Motion motion;
    Branch branch;
    MechGLWidget view;
    Rig() {
        view.resize(800, 400);
        view.setMotion(&motion);
        view.setAllDyad(&branch);
    }
    static QPoint px(double x, double y) {
        return QPoint(static_cast<int>(std::lround(400 + 36 * x)),
                      static_cast<int>(std::lround(200 - 36 * y)));
    }
};

} // namespace viewtest
