// Test-side forward kinematics of four-bars and slider-cranks, written from first principles.
#include "KnownMechanisms.h"

#include "ProcessValues.h"

#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QTextStream>
#include <algorithm>
#include <cmath>

namespace known {

double engineDegrees(double radians) { return radians * 180.0 / 3.141592653; }

Vec toFixed(const Pose &pose, Vec local) {
    const double th = pose.thetaDeg * 3.141592653 / 180.0;
    return {pose.x + std::cos(th) * local.x - std::sin(th) * local.y,
            pose.y + std::sin(th) * local.x + std::cos(th) * local.y};
}

// The frame that puts local points a, b at fixed points A, B (|A - B| = |a - b|).
static Pose frameThrough(Vec A, Vec B, Vec a, Vec b) {
    const double th = std::atan2(B.y - A.y, B.x - A.x) - std::atan2(b.y - a.y, b.x - a.x);
    const double x = A.x - (std::cos(th) * a.x - std::sin(th) * a.y);
    const double y = A.y - (std::sin(th) * a.x + std::cos(th) * a.y);
    return {x, y, engineDegrees(th)};
}

bool rrrrPoses(const RevoluteSide &input, const RevoluteSide &output,
               const std::vector<double> &crankAngles, bool elbowUp, std::vector<Pose> &poses) {
    const double coupler = std::hypot(output.movingLocal.x - input.movingLocal.x,
                                      output.movingLocal.y - input.movingLocal.y);
    poses.clear();
    for (double phi : crankAngles) {
        const Vec m1{input.fixedPivot.x + input.radius * std::cos(phi),
                     input.fixedPivot.y + input.radius * std::sin(phi)};
        // Circle about m1 (coupler) meets circle about the output pivot (radius).
        const double dx = output.fixedPivot.x - m1.x, dy = output.fixedPivot.y - m1.y;
        const double d = std::hypot(dx, dy);
        const double along = (coupler * coupler - output.radius * output.radius + d * d) / (2 * d);
        const double h2 = coupler * coupler - along * along;
        if (!(h2 >= 0.0))
            return false;
        const double h = (elbowUp ? 1.0 : -1.0) * std::sqrt(h2);
        const Vec m2{m1.x + along * dx / d - h * dy / d, m1.y + along * dy / d + h * dx / d};
        poses.push_back(frameThrough(m1, m2, input.movingLocal, output.movingLocal));
    }
    return true;
}

bool sliderCrankPoses(const RevoluteSide &crank, Vec sliderLocal, Vec linePoint,
                      double lineAngle, const std::vector<double> &crankAngles,
                      std::vector<Pose> &poses) {
    const double coupler = std::hypot(sliderLocal.x - crank.movingLocal.x,
                                      sliderLocal.y - crank.movingLocal.y);
    const Vec u{std::cos(lineAngle), std::sin(lineAngle)};
    poses.clear();
    for (double phi : crankAngles) {
        const Vec m1{crank.fixedPivot.x + crank.radius * std::cos(phi),
                     crank.fixedPivot.y + crank.radius * std::sin(phi)};
        // |linePoint + s u - m1| = coupler: s^2 + 2 s (w.u) + |w|^2 - coupler^2 = 0.
        const Vec w{linePoint.x - m1.x, linePoint.y - m1.y};
        const double wu = w.x * u.x + w.y * u.y;
        const double disc = wu * wu - (w.x * w.x + w.y * w.y - coupler * coupler);
        if (!(disc >= 0.0))
            return false;
        const double s = -wu + std::sqrt(disc);
        const Vec m2{linePoint.x + s * u.x, linePoint.y + s * u.y};
        poses.push_back(frameThrough(m1, m2, crank.movingLocal, sliderLocal));
    }
    return true;
}

void loadTask(Motion &motion, MechanismSynthesis &engine, const std::vector<Pose> &poses) {
    motion.resetMotion();
    engine.setData(static_cast<int>(poses.size()));
    for (size_t i = 0; i < poses.size(); ++i) {
        const int row = static_cast<int>(i);
        engine.setDataValue(row, 0, poses[i].x);
        engine.setDataValue(row, 1, poses[i].y);
        engine.setDataValue(row, 2, poses[i].thetaDeg);
        motion.currentPose = Point(poses[i].x, poses[i].y, poses[i].thetaDeg * 3.141592653 / 180.0);
        motion.currentImage = toImage(motion.currentPose);
        motion.addPosition();
    }
}

QString positionFileText(const std::vector<Pose> &poses) {
    QString text;
    QTextStream out(&text);
    out.setRealNumberPrecision(17);
    out << poses.size() << '\n';
    for (const Pose &p : poses)
        out << p.x << ' ' << p.y << ' ' << p.thetaDeg << '\n';
    return text;
}

arma::vec rrQuadric(double x0, double y0, double x1, double y1, double r) {
    const double p2 = -x1, p3 = -y1, p4 = -x0, p5 = -y0;
    arma::vec p(8);
    p(0) = 1.0;
    p(1) = p2;
    p(2) = p3;
    p(3) = p4;
    p(4) = p5;
    p(5) = p3 * p4 - p2 * p5;
    p(6) = (p2 * p4 + p3 * p5) / 2.0;
    p(7) = ((p2 * p2 + p3 * p3 + p4 * p4 + p5 * p5) - r * r) / 4.0;
    return p;
}

arma::rowvec dataRow(const Pose &pose) {
    const double h = pose.thetaDeg * (0.5 * 3.141592653 / 180.0);
    const double s = std::sin(h), c = std::cos(h);
    const double z1 = 0.5 * (pose.x * s - pose.y * c), z2 = 0.5 * (pose.x * c + pose.y * s);
    return arma::rowvec{z1 * z1 + z2 * z2, z1 * s - z2 * c, z1 * c + z2 * s, z1 * s + z2 * c,
                        z2 * s - z1 * c, s * c, s * s - c * c, s * s + c * c};
}

double relativeError(double got, double want, double scale) {
    return std::fabs(got - want) / std::max(1.0, std::fabs(scale));
}

const RevoluteSide crankSide{{1.0, -2.0}, {-0.5, 0.8}, 2.5};
const RevoluteSide rockerSide{{6.0, -1.5}, {2.2, 0.4}, 4.0};
const RevoluteSide farCrank{{-4.0, 3.0}, {1.5, -0.7}, 3.2};
const RevoluteSide farRocker{{2.5, 4.5}, {-1.0, 1.8}, 5.1};
const RevoluteSide sliderCrank{{1.0, 1.0}, {-0.5, 0.25}, 1.5};
const Vec sliderLocal{3.5, -0.5};
const Vec sliderLinePoint{3.0, -1.0};
const double sliderLineAngle = 0.35;

std::vector<Pose> couplerPoses(const RevoluteSide &input, const RevoluteSide &output,
                               const std::vector<double> &crankAngles) {
    std::vector<Pose> poses;
    if (!rrrrPoses(input, output, crankAngles, true, poses))
        poses.clear();
    return poses;
}

std::vector<double> angles(double first, double step, int n) {
    std::vector<double> a;
    for (int i = 0; i < n; ++i)
        a.push_back(first + step * i);
    return a;
}

std::vector<Pose> crankRockerPoses(int n, double step) {
    return couplerPoses(crankSide, rockerSide, angles(0.8, step, n));
}

std::vector<Pose> sliderCrankTask() {
    std::vector<Pose> poses;
    if (!sliderCrankPoses(sliderCrank, sliderLocal, sliderLinePoint, sliderLineAngle,
                          angles(0.2, 0.45, 5), poses))
        poses.clear();
    return poses;
}

void useStandardWorkspace() {
    workspaceWidth = 20.0;
    workspaceHeight = 10.0;
}

Session::Session(std::vector<Pose> poses) : task(std::move(poses)) {
    engine.setMotion(&motion);
    engine.setBranch(&branch);
    engine.setMessageOutput(stderr);
    loadTask(motion, engine, task);
}

QByteArray fileText(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QMap<QString, QByteArray> folderFiles(const QString &dir) {
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(dir).entryList(QDir::Files))
        files.insert(name, fileText(QDir(dir).filePath(name)));
    return files;
}

bool writeFile(const QString &path, const QByteArray &text) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
}

QString cliPath() { return QStringLiteral(MS_BINARY_DIR "/mechsynth-cli"); }

CliResult runCli(const QString &dir, const QStringList &args) {
    QProcess program;
    program.setWorkingDirectory(dir);
    program.start(cliPath(), args);
    CliResult result;
    const bool finished = program.waitForFinished(60000);
    if (finished && program.exitStatus() == QProcess::NormalExit)
        result.status = program.exitCode();
    result.out = program.readAllStandardOutput();
    result.err = program.readAllStandardError();
    return result;
}

QJsonObject readDxf(const QString &path, QString &why) {
    static const char *const script = R"(
import json, sys
import ezdxf
from ezdxf import recover
doc = ezdxf.readfile(sys.argv[1])
errors = len(doc.audit().errors) + len(recover.readfile(sys.argv[1])[1].errors)
xy = lambda v: [v[0], v[1]]
ents = lambda kind, pts: [{"layer": e.dxf.layer, "points": [xy(p) for p in pts(e)]}
                          for e in doc.modelspace().query(kind)]
h = doc.header
print(json.dumps({"errors": errors,
    "acadver": h.get("$ACADVER"), "insunits": h.get("$INSUNITS"),
    "extmin": xy(h.get("$EXTMIN")), "extmax": xy(h.get("$EXTMAX")),
    "layers": [layer.dxf.name for layer in doc.layers],
    "lines": ents("LINE", lambda e: [e.dxf.start, e.dxf.end]),
    "circles": ents("CIRCLE", lambda e: [e.dxf.center]),
    "polylines": ents("POLYLINE", lambda e: list(e.points()))}))
)";
    // Debian's own interpreter, the one its python3-ezdxf is installed for: a python3 earlier
    // on the PATH (a version manager's) does not see Debian's packages.
    QProcess python;
    // The sanitized test programs preload the sanitizer's runtime, which would check the
    // interpreter's own memory too: the reader runs without it.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("LD_PRELOAD"));
    python.setProcessEnvironment(environment);
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"), QLatin1String(script), path});
    const bool ran = python.waitForFinished(60000) && python.exitStatus() == QProcess::NormalExit
                     && python.exitCode() == 0;
    why = QString::fromLocal8Bit(python.readAllStandardError());
    if (why.isEmpty())
        why = python.errorString();
    if (!ran)
        return {};
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

} // namespace known
