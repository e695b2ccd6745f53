// What the tests of the synthesis variants share: two known four-bars, a task loaded the way the
// main window loads one, the files a run leaves, and the command-line program run in a folder.
#pragma once

#include "Branch.h"
#include "KnownMechanisms.h"
#include "MechanismSynthesis.h"
#include "Motion.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <vector>

namespace fixtures {

// A crank-rocker near the origin and a four-bar whose pivots lie a few units out.
extern const known::RevoluteSide crankSide, rockerSide, farCrank, farRocker;

// Poses of the coupler of the four-bar input-output at the crank angles (radians).
std::vector<known::Pose> couplerPoses(const known::RevoluteSide &input,
                                      const known::RevoluteSide &output,
                                      const std::vector<double> &crankAngles);
// n poses of the crank-rocker, crank angles 0.8, 1.0, 1.2, ...
std::vector<known::Pose> crankRockerPoses(int n);

// The workspace every expectation of these tests is worked out for (20 x 10).
void useStandardWorkspace();

// Motion, branch and engine wired as the main window wires them, the task loaded into both.
struct Session {
    Motion motion;
    Branch branch;
    MechanismSynthesis engine;
    std::vector<known::Pose> task;
    explicit Session(std::vector<known::Pose> poses);
    double thetaOfRow(int i) const { return engine.getData()(static_cast<arma::uword>(i), 2); }
};

// A file's bytes ("<missing>" when it cannot be read); every file of a folder by name.
QByteArray fileText(const QString &path);
QMap<QString, QByteArray> folderFiles(const QString &dir);

// Runs f with the working directory set to dir.
template <typename F>
void inDirectory(const QString &dir, F f);

// mechsynth-cli run to its end in a folder.
struct CliResult {
    int status = -1;  // -1: it crashed or did not finish
    QByteArray out;
    QByteArray err;
};
CliResult runCli(const QString &dir, const QStringList &args);
QString cliPath();

} // namespace fixtures

#include <QDir>

template <typename F>
void fixtures::inDirectory(const QString &dir, F f) {
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir);
    f();
    QDir::setCurrent(before);
}
