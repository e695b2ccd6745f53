// Helpers of the main-window tests that drive editing, dialogs and output: a shown window in a
// working folder of its own, mouse gestures on the Cartesian view, its world-to-pixel mapping
// written out independently, and a closer for the modal dialogs and message boxes that would
// otherwise block a test. The tasks themselves come from TaskFixtures.h.
#pragma once

#include "AppTestHelpers.h"
#include "MechGLWidget.h"
#include "Motion.h"
#include "ScopedWorkingDirectory.h"
#include "TaskFixtures.h"
#include "Vendrel.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QPointer>
#include <QTextStream>
#include <QTimer>
#include <QtTest>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

namespace wintest {

using taskfix::Pose;

const double pi = std::acos(-1.0);

// The main window shown at a fixed size, working in a fresh folder that holds the
// demonstration files: every output file of a test lands there and goes with it.
class WindowRig {
public:
    WindowRig() {
        registerAppResources();
        folder.copyFrom(QStringLiteral(MS_SOURCE_DIR "/demo"),
                        {"RRRR.txt", "RRRP.txt", "RRPR.txt", "PRRP.txt", "PRPR.txt",
                         "Design Challenge.txt"});
        window = std::make_unique<Vendrel>();
        window->resize(1200, 760);
        window->show();
    }
    ~WindowRig() { window.reset(); }  // before the folder is left
    bool exposed() const { return QTest::qWaitForWindowExposed(window.get()); }
    Vendrel &main() const { return *window; }
    MechGLWidget *view() const { return part<MechGLWidget>(window.get(), "widget_Mech"); }
    template <class T> T *child(const char *name) const { return part<T>(window.get(), name); }
    // Makes poses the task as a position file read by the window would.
    bool load(const std::vector<Pose> &poses) const {
        const QString path = folder.write(QStringLiteral("task.txt"), taskfix::taskText(poses));
        return window->loadPositionFile(path, 3);
    }

private:
    ScopedWorkingDirectory folder;
    std::unique_ptr<Vendrel> window;
};

// A move with no button held, sent straight to the widget (QTest would move the real cursor,
// which Xvfb need not deliver).
inline void hover(QWidget *w, QPoint pos) {
    QMouseEvent e(QEvent::MouseMove, QPointF(pos), QPointF(w->mapToGlobal(pos)), Qt::NoButton,
                  Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Press at `from`, move in even steps to `to` with the button held, release.
inline void drag(QWidget *w, QPoint from, QPoint to, int steps = 4) {
    hover(w, from);
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, from);
    for (int k = 1; k <= steps; ++k)
        QTest::mouseMove(w, from + (to - from) * k / steps);
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, to);
}

// The view's square viewport has the longer widget side and spans 10/scale world units; y grows
// upwards. Written here from that rule, not taken from the view.
inline QPoint pixelOf(const MechGLWidget &view, double x, double y) {
    const double side = std::max(view.width(), view.height());
    const double s = view.currentScale();
    return QPoint(qRound(view.width() / 2.0 + s * (x + view.currentPanX()) * side / 10.0),
                  qRound(view.height() / 2.0 - s * (y + view.currentPanY()) * side / 10.0));
}

inline QPointF worldOf(const MechGLWidget &view, QPoint px) {
    const double side = std::max(view.width(), view.height());
    const double s = view.currentScale();
    return QPointF((px.x() - view.width() / 2.0) * 10.0 / (s * side) - view.currentPanX(),
                   (view.height() / 2.0 - px.y()) * 10.0 / (s * side) - view.currentPanY());
}

// Pose of position i of the motion, from its image point by the inverse of the kinematic
// mapping written out here: Z = (x c + y s, y c - x s, 2 s, 2 c) / 2 with s, c of theta/2.
inline Pose poseOf(const Motion &m, int i) {
    const Point z = m.positions().at(i);
    const double s = z[2], c = z[3];
    const double n = s * s + c * c;
    return {2.0 * (c * z[0] - s * z[1]) / n, 2.0 * (c * z[1] + s * z[0]) / n,
            2.0 * std::atan2(s, c) * 180.0 / pi};
}

// Two orientations in degrees that name the same direction.
inline bool sameAngle(double aDeg, double bDeg, double tolerance) {
    const double d = std::remainder(aDeg - bDeg, 360.0);
    return std::fabs(d) <= tolerance;
}

// Acts on every modal window that opens while it lives (once per window): a dialog's exec()
// would otherwise block the test. The action must close the window it is given.
class ModalCloser {
public:
    explicit ModalCloser(std::function<void(QWidget *)> act) : action(std::move(act)) {
        QObject::connect(&timer, &QTimer::timeout, [this]() {
            QWidget *w = QApplication::activeModalWidget();
            if (!w || w == handled.data())
                return;
            handled = w;
            ++count;
            action(w);
            // Closed at once: the same dialog shown again later is a new showing.
            if (handled && !handled->isVisible())
                handled = nullptr;
        });
        timer.start(20);
    }
    int seen() const { return count; }

private:
    std::function<void(QWidget *)> action;
    QTimer timer;
    QPointer<QWidget> handled;
    int count = 0;
};

} // namespace wintest
