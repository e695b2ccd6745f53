// Forward kinematics written for the tests, independent of the code under test: poses of the
// moving frame of known four-bars and slider-cranks, loading a task the way the main window
// does, the files a run leaves, and the command-line program run in a folder.
#pragma once

#include "Branch.h"
#include "MechanismSynthesis.h"
#include "Motion.h"

#include <QByteArray>
#include <QDir>
#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QStringList>
#include <armadillo>
#include <vector>

namespace known {

struct Vec {
    double x, y;
};

// A pose of the moving frame with theta in degrees, converted with the literal the engine uses
// for its input (3.141592653), so the engine sees exactly the angle the test meant.
struct Pose {
    double x, y, thetaDeg;
};

// Radians to the degrees the engine reads back to the same radians.
double engineDegrees(double radians);

// One revolute-revolute side: fixed pivot (fixed frame), moving pivot in the moving frame.
struct RevoluteSide {
    Vec fixedPivot;
    Vec movingLocal;
    double radius;
};

// The RRRR whose coupler carries the moving frame: for each crank angle (radians) of the
// input side, the output side closes on the branch given by `elbowUp`. Returns false (and
// fewer poses) when a crank angle does not close.
bool rrrrPoses(const RevoluteSide &input, const RevoluteSide &output,
               const std::vector<double> &crankAngles, bool elbowUp, std::vector<Pose> &poses);

// A slider-crank: the crank side as above; the slider's moving pivot (moving frame) runs on
// the ground line through linePoint with direction lineAngle (radians).
bool sliderCrankPoses(const RevoluteSide &crank, Vec sliderLocal, Vec linePoint,
                      double lineAngle, const std::vector<double> &crankAngles,
                      std::vector<Pose> &poses);

// The moving-frame point `local` in the fixed frame at a pose.
Vec toFixed(const Pose &pose, Vec local);

// Fills both copies of the task, as the main window does after reading a file.
void loadTask(Motion &motion, MechanismSynthesis &engine, const std::vector<Pose> &poses);

// The text of a position file holding the poses (three numbers per record).
QString positionFileText(const std::vector<Pose> &poses);

// The image-space quadric of an RR with fixed pivot (x0, y0), moving pivot (x1, y1) in the
// moving frame and radius r, derived by hand: p = (1, -x1, -y1, -x0, -y0, p6, p7, p8) with p6,
// p7 chosen so that both dyad constraints vanish and p8 from the radius.
arma::vec rrQuadric(double x0, double y0, double x1, double y1, double r);

// The data row of a pose (theta in degrees), written out from the mapping's formulas.
arma::rowvec dataRow(const Pose &pose);

// Relative difference against a scale of at least 1.
double relativeError(double got, double want, double scale);

// A crank-rocker near the origin, a four-bar whose pivots lie a few units out, and the
// slider-crank the recovery and CLI tests share (line through linePoint at lineAngle radians).
extern const RevoluteSide crankSide, rockerSide, farCrank, farRocker, sliderCrank;
extern const Vec sliderLocal, sliderLinePoint;
extern const double sliderLineAngle;

// Poses of the coupler of input-output at the crank angles (radians), elbow up; empty when an
// angle does not close, so a test sees no task rather than a short one.
std::vector<Pose> couplerPoses(const RevoluteSide &input, const RevoluteSide &output,
                               const std::vector<double> &crankAngles);
// n crank angles first, first + step, ...
std::vector<double> angles(double first, double step, int n);
// n poses of the crank-rocker at crank angles 0.8, 0.8 + step, ...
std::vector<Pose> crankRockerPoses(int n, double step = 0.2);
// Five poses of the slider-crank.
std::vector<Pose> sliderCrankTask();

// The workspace every synthesis expectation is worked out for (20 x 10).
void useStandardWorkspace();

// Motion, branch and engine wired as the main window wires them, the task loaded into both.
struct Session {
    Motion motion;
    Branch branch;
    MechanismSynthesis engine;
    std::vector<Pose> task;
    explicit Session(std::vector<Pose> poses);
    double thetaOfRow(int i) const { return engine.getData()(static_cast<arma::uword>(i), 2); }
};

// A file's bytes ("<missing>" when it cannot be read); every file of a folder by name.
QByteArray fileText(const QString &path);
QMap<QString, QByteArray> folderFiles(const QString &dir);
bool writeFile(const QString &path, const QByteArray &text);

// Runs f with the working directory set to dir.
template <typename F>
void inDirectory(const QString &dir, F f) {
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir);
    f();
    QDir::setCurrent(before);
}

// mechsynth-cli run to its end in a folder.
struct CliResult {
    int status = -1;  // -1: it crashed or did not finish
    QByteArray out;
    QByteArray err;
};
CliResult runCli(const QString &dir, const QStringList &args);
QString cliPath();

// A DXF file as a CAD reader sees it: python3-ezdxf (scripts/setup-deps installs it) reads it
// strictly and through its recovering reader, audits both, and reports "errors" (their count),
// "acadver", "insunits", "extmin", "extmax" ([x, y]), "layers" (the declared names) and
// "lines", "circles", "polylines", each entity as {"layer", "points": [[x, y], ...]}. Empty,
// with `why`, when the reader is missing or cannot read the file: a test must fail then.
QJsonObject readDxf(const QString &path, QString &why);

} // namespace known
