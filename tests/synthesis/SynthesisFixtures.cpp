// The shared pieces of the variant tests: known four-bars, sessions, files and the CLI.
#include "SynthesisFixtures.h"

#include "ProcessValues.h"

#include <QFile>
#include <QProcess>

namespace fixtures {

const known::RevoluteSide crankSide{{1.0, -2.0}, {-0.5, 0.8}, 2.5};
const known::RevoluteSide rockerSide{{6.0, -1.5}, {2.2, 0.4}, 4.0};
const known::RevoluteSide farCrank{{-4.0, 3.0}, {1.5, -0.7}, 3.2};
const known::RevoluteSide farRocker{{2.5, 4.5}, {-1.0, 1.8}, 5.1};

std::vector<known::Pose> couplerPoses(const known::RevoluteSide &input,
                                      const known::RevoluteSide &output,
                                      const std::vector<double> &crankAngles) {
    std::vector<known::Pose> poses;
    if (!known::rrrrPoses(input, output, crankAngles, true, poses))
        poses.clear();  // a crank angle that does not close: the test sees no task
    return poses;
}

std::vector<known::Pose> crankRockerPoses(int n) {
    std::vector<double> angles;
    for (int i = 0; i < n; ++i)
        angles.push_back(0.8 + 0.2 * i);
    return couplerPoses(crankSide, rockerSide, angles);
}

void useStandardWorkspace() {
    workspaceWidth = 20.0;
    workspaceHeight = 10.0;
}

Session::Session(std::vector<known::Pose> poses) : task(std::move(poses)) {
    engine.setMotion(&motion);
    engine.setBranch(&branch);
    engine.setMessageOutput(stderr);
    known::loadTask(motion, engine, task);
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

} // namespace fixtures
