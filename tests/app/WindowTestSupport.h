// What the application tests share: the icon bundle, named parts of a window, a scratch working
// folder and one that refuses new files, a catcher for standard output and error, the
// crank-rocker task (forward kinematics from the shared known mechanisms), the main window rig,
// mouse gestures on the Cartesian view with its world-to-pixel mapping written out here, and a
// closer for modal dialogs.
#pragma once

#include "Branch.h"
#include "DesignDocument.h"
#include "Dyad.h"
#include "KnownMechanisms.h"
#include "MechGLWidget.h"
#include "ProcessValues.h"
#include "Synthesis_Widget.h"
#include "Mechanism.h"
#include "MechanismSynthesis.h"
#include "Motion.h"
#include "TestSupport.h"
#include "Vendrel.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTimer>
#include <QtTest>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <linux/fs.h>
#include <memory>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

// The icon bundle sits in a static library: each test program registers it once, as main() does
// (outside any namespace, where the bundle's registration function lives).
inline void registerAppResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    (void)registered;
}

namespace wintest {

using known::Pose;
const double pi = std::acos(-1.0);

// A named part of a window; a missing name is a broken test, so it stops the program loudly.
template <class T> T *part(const QObject *root, const char *name) {
    T *found = root->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("the window has no %s named %s", T::staticMetaObject.className(), name);
    return found;
}

// A fresh temporary working directory, left again (and removed) at its end.
class ScopedWorkingDirectory {
public:
    ScopedWorkingDirectory() : previous(QDir::currentPath()) { QDir::setCurrent(dir.path()); }
    ~ScopedWorkingDirectory() { QDir::setCurrent(previous); }
    QString path() const { return dir.path(); }
    QString filePath(const QString &name) const { return dir.filePath(name); }
    QString write(const QString &name, const QByteArray &contents) const {
        QFile f(filePath(name));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(contents);
        return f.fileName();
    }

private:
    QTemporaryDir dir;
    QString previous;
};

// Catches what the code prints on standard output (or, given STDERR_FILENO, on standard error);
// text() ends the capture.
class StdoutCapture {
public:
    explicit StdoutCapture(int fd = STDOUT_FILENO) : fd(fd) {
        file.open();
        flushBoth();
        saved = ::dup(fd);
        ::dup2(file.handle(), fd);
    }
    ~StdoutCapture() { text(); }
    QByteArray text() {
        if (saved >= 0) {
            flushBoth();
            ::dup2(saved, fd);
            ::close(saved);
            saved = -1;
        }
        QFile in(file.fileName());
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

private:
    static void flushBoth() {
        std::fflush(stdout);
        std::fflush(stderr);
    }
    QTemporaryFile file;
    int fd;
    int saved = -1;
};

// A folder that refuses new entries, to its owner and to root alike: its write permission is
// taken away and, where that does not stop this user (root), it is marked immutable, which the
// usual Linux file systems honour for root too. Files already in it can still be written in
// place, so only a save that replaces a file through a new one is refused. Undone at its end.
class RefusingFolder {
public:
    explicit RefusingFolder(const QString &path) : path(path) {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
        if (!refuses())
            setImmutable(true);
    }
    ~RefusingFolder() {
        setImmutable(false);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool refuses() const {
        QFile probe(QDir(path).filePath(QStringLiteral("probe")));
        if (!probe.open(QIODevice::WriteOnly))
            return true;
        probe.remove();
        return false;
    }

private:
    void setImmutable(bool on) const {
        const int dir = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        if (dir >= 0 && ::ioctl(dir, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ::ioctl(dir, FS_IOC_SETFLAGS, &flags);
        }
        if (dir >= 0)
            ::close(dir);
    }
    QString path;
};

// n coupler poses of a crank-rocker at crank angles spread over a turn.
inline std::vector<Pose> crankRockerTask(int n) {
    const known::RevoluteSide crank{{1.0, 1.0}, {-1.5, -1.0}, 1.2};
    const known::RevoluteSide rocker{{5.0, 1.5}, {2.5, -1.0}, 3.0};
    std::vector<double> angles;
    for (int k = 0; k < n; ++k)
        angles.push_back((17.0 + 331.0 * k / std::max(n, 1)) * pi / 180.0);
    std::vector<Pose> poses;
    known::rrrrPoses(crank, rocker, angles, true, poses);
    return poses;
}

// Counts the engine's plain synthesis runs (C++17 hands the spy out without a copy).
inline QSignalSpy runsOf(const Vendrel &w) {
    return QSignalSpy(w.synthesisEngine(),
                      QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
}

// The main window shown at a fixed size, working in a fresh folder that holds the demonstration
// files: every output file of a test lands there and goes with it.
class WindowRig {
public:
    WindowRig() {
        registerAppResources();
        for (const char *n : {"RRRR.txt", "RRRP.txt", "RRPR.txt", "PRRP.txt", "PRPR.txt",
                              "Design Challenge.txt"})
            QFile::copy(QStringLiteral(MS_SOURCE_DIR "/demo/") + n, folder.filePath(n));
        window = std::make_unique<Vendrel>();
        // Unsaved changes go without a question unless a test asks for one.
        window->designDocument()->setAskBeforeDiscard(false);
        window->resize(1200, 760);
        window->show();
    }
    ~WindowRig() { window.reset(); }  // before the folder is left
    bool exposed() const { return QTest::qWaitForWindowExposed(window.get()); }
    Vendrel &main() const { return *window; }
    MechGLWidget *view() const { return part<MechGLWidget>(window.get(), "widget_Mech"); }
    template <class T> T *child(const char *name) const { return part<T>(window.get(), name); }
    QAction *act(const char *name) const { return child<QAction>(name); }
    const ScopedWorkingDirectory &dir() const { return folder; }
    // Makes poses the task as a position file read by the window would.
    bool load(const std::vector<Pose> &poses) const {
        return window->loadPositionFile(
            folder.write(QStringLiteral("task.txt"), known::positionFileText(poses).toUtf8()), 3);
    }
    // The window's dialogs have no parent: found among the shown top-level windows.
    static QDialog *shownDialog(const char *title) {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->windowTitle() == QLatin1String(title) && w->isVisible())
                return qobject_cast<QDialog *>(w);
        return nullptr;
    }

private:
    ScopedWorkingDirectory folder;
    std::unique_ptr<Vendrel> window;
};

// A test class with a fresh window per test function, shown and exposed or (where no drawing is
// needed, which is faster) hidden.
class WindowTest : public QObject {
    Q_OBJECT
public:
    explicit WindowTest(bool shown = true) : shown(shown) {}

protected:
    std::unique_ptr<WindowRig> rig;
    Vendrel *window = nullptr;
    QAction *act(const char *name) const { return rig->act(name); }

protected slots:
    void init() {
        MS_REQUIRE_GL();
        rig = std::make_unique<WindowRig>();
        window = &rig->main();
        if (shown)
            QVERIFY(rig->exposed());
        else
            window->hide();
    }
    void cleanup() { rig.reset(); }

private:
    bool shown;
};

// A move with no button held, sent straight to the widget (QTest would move the real cursor, which
// Xvfb need not deliver).
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
// upwards.
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

// Pose of position i of the motion, from its image point by the inverse of the kinematic mapping
// written out here: Z = (x c + y s, y c - x s, 2 s, 2 c) / 2 with s, c of theta/2.
inline Pose poseOf(const Motion &m, int i) {
    const Point z = m.positions().at(i);
    const double s = z[2], c = z[3];
    const double n = s * s + c * c;
    return {2.0 * (c * z[0] - s * z[1]) / n, 2.0 * (c * z[1] + s * z[0]) / n,
            2.0 * std::atan2(s, c) * 180.0 / pi};
}

// Two orientations in degrees that name the same direction.
inline bool sameAngle(double aDeg, double bDeg, double tolerance) {
    return std::fabs(std::remainder(aDeg - bDeg, 360.0)) <= tolerance;
}

// Acts on every modal window that opens while it lives (once per window): a dialog's exec() would
// otherwise block the test.
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

using namespace wintest;
