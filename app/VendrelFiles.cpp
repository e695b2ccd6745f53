// The main window's task readers: position files, the demonstration tasks, random positions,
// and the hidden mechanism file. Every reader checks its whole file before it touches the task,
// so a rejected file leaves the previous task, branch and panel as they were.
#include "Vendrel.h"

#include "Branch.h"
#include "DesignDocument.h"
#include "MechGLWidget.h"
#include "MechanismSynthesis.h"
#include "Motion.h"
#include "PositionFileReader.h"
#include "ProcessValues.h"
#include "RandomPicks.h"
#include "Synthesis_Widget.h"
#include "ui_Vendrel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

const char *const openFailure = "Cannot open the file.\n";

// Messages go to standard output, as the open failure does; flushed so that they are seen
// at once also when the output is a pipe.
void report(const QString &text) {
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

// One "RR" record of a mechanism file: fixed pivot, moving pivot, third point (x then y each).
struct RRRecord {
    double values[6] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
};

// The numbers of a record may be separated by blanks, commas, semicolons or parentheses.
const QRegularExpression &numberSeparators() {
    static const QRegularExpression separators(QStringLiteral("[\\s,;()]+"));
    return separators;
}

// Reads the records; on a malformed record returns why (naming the record and its line) and
// leaves records empty.
QString parseMechanismRecords(const QByteArray &text, std::vector<RRRecord> &records) {
    records.clear();
    const QList<QByteArray> lines = text.split('\n');
    int filled = -1;  // numbers read into the open record; -1 while no record is open
    int recordLine = 0;
    for (int l = 0; l < lines.size(); ++l) {
        const QString line = QString::fromLatin1(lines[l]).trimmed();
        if (line == QLatin1String("RR")) {
            if (filled >= 0)
                break;  // the open record is incomplete: reported below
            records.emplace_back();
            filled = 0;
            recordLine = l + 1;
            continue;
        }
        if (filled < 0)
            continue;
        for (const QString &token : line.split(numberSeparators(), Qt::SkipEmptyParts)) {
            bool ok = false;
            const double v = QLocale::c().toDouble(token, &ok);
            if (!ok || !std::isfinite(v)) {
                const int k = static_cast<int>(records.size());
                records.clear();
                return QStringLiteral("record %1 (line %2): '%3' is not a finite number")
                    .arg(k).arg(l + 1).arg(token.left(40));
            }
            records.back().values[filled++] = v;
            if (filled == 6)
                break;  // whatever follows on the line is not part of the record
        }
        if (filled == 6)
            filled = -1;
    }
    if (filled >= 0) {
        const int k = static_cast<int>(records.size());
        records.clear();
        return QStringLiteral("record %1 (line %2) holds %3 of its six numbers")
            .arg(k).arg(recordLine).arg(filled);
    }
    return {};
}

} // namespace

// ---- Position files ------------------------------------------------------------------------------

bool Vendrel::loadPositionFile(const QString &path, int defaultRecordSize) {
    // A cancelled file dialog is no problem to report.
    if (path.isEmpty())
        return false;
    PositionFileReader reader(defaultRecordSize);
    if (!reader.readFile(path)) {
        const QString why = reader.error();
        const QString opening = QString::fromLatin1(openFailure).trimmed();
        showFileProblem(tr("Read Positions"), path, why,
                        why == opening ? opening
                                       : QStringLiteral("The position file \"%1\" was not read: %2.")
                                             .arg(path, why));
        return false;
    }
    std::vector<TaskPosition> positions;
    positions.reserve(reader.records().size());
    for (const PositionFileReader::Record &r : reader.records())
        positions.push_back({r.x, r.y, r.thetaDeg, r.parameter});
    // The last sweep's records belong to the old task: a click on one would bring it back.
    resetSolutions();
    replaceTask(positions);
    return true;
}

// The common steps of every reader: the old task, its dyads and the panel's boxes go, and the
// new positions fill both copies of the task. Clicks in Input Positions mode keep adding
// positions to it, as the mode shown in the tool bar promises.
void Vendrel::replaceTask(const std::vector<TaskPosition> &positions) {
    const int n = static_cast<int>(positions.size());
    panel->clearWidget();
    motion->resetMotion();
    branch->clearBranch();
    synthesis->setData(n);
    for (int i = 0; i < n; ++i) {
        const TaskPosition &p = positions[static_cast<size_t>(i)];
        synthesis->setDataValue(i, 0, p.x);
        synthesis->setDataValue(i, 1, p.y);
        synthesis->setDataValue(i, 2, p.thetaDeg);
        appendToTask(p);
    }
    cartesianView()->setupPointList(synthesis->getPointList());
    motion->setcurrntpositionindex(n - 1);
    panel->forgetChosenPair();
    runNote.clear();
    filesNote.clear();
    connectMouseInput();
    fitViewIfNeeded();
}

bool Vendrel::readMotion() {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Select File"),
                                                      QStringLiteral("Position Data"),
                                                      QStringLiteral("Input File (*.txt)"));
    if (!loadPositionFile(path, 3))
        return false;
    emit dataChanged();
    return true;
}

// ---- Demonstrations ------------------------------------------------------------------------------

QStringList Vendrel::demoFolders() {
    const QDir programDir(QCoreApplication::applicationDirPath());
    QStringList folders{QDir::currentPath(), programDir.filePath("demo"),
                        QDir::cleanPath(programDir.filePath("../share/mechsynth/demo"))};
    // An installation moved as a whole keeps its demos beside its bin/, so that copy comes
    // before the system's data folders, where another version may have left its own.
    for (const QString &shared : QStandardPaths::locateAll(
             QStandardPaths::GenericDataLocation, "mechsynth/demo", QStandardPaths::LocateDirectory))
        if (!folders.contains(QDir::cleanPath(shared)))
            folders << QDir::cleanPath(shared);
    return folders;
}

QString Vendrel::locateDemoFile(const QString &name, const QStringList &folders) {
    for (const QString &folder : folders) {
        const QString candidate = QDir(folder).filePath(name);
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return name;
}

bool Vendrel::runDemoNamed(const QString &name) {
    for (QAction *a : ui->menuDemo->actions())
        if (a->text() == name) {
            a->trigger();
            return true;
        }
    return false;
}

// A demonstration is a new design: unsaved work is asked about first.
void Vendrel::loadDemo(const QString &fileName) {
    if (!document->maybeDiscard(tr("open the demonstration")))
        return;
    if (!loadPositionFile(locateDemoFile(fileName, demoFolders()), 3))
        return;
    emit dataChanged();
    toSynthesize();
    document->startOver();
}

void Vendrel::LoadFileRRRR() { loadDemo(QStringLiteral("RRRR.txt")); }
void Vendrel::LoadFileRRRP() { loadDemo(QStringLiteral("RRRP.txt")); }
void Vendrel::LoadFileRRPR() { loadDemo(QStringLiteral("RRPR.txt")); }
void Vendrel::LoadFilePRRP() { loadDemo(QStringLiteral("PRRP.txt")); }
void Vendrel::LoadFilePRPR() { loadDemo(QStringLiteral("PRPR.txt")); }
void Vendrel::LoadFileDC() { loadDemo(QStringLiteral("Design Challenge.txt")); }

// "Run Demo" names the four-number form (with time parameters); our "RRRR.txt" carries three
// numbers per record, which the reader recognises by the count of numbers in the file.
void Vendrel::RunDemo() {
    if (!loadPositionFile(locateDemoFile(QStringLiteral("RRRR.txt"), demoFolders()), 4))
        return;
    panel->updatetabPositions();
    toSynthesize();
}

// ---- Random positions ----------------------------------------------------------------------------

// Whole-number positions spread over the workspace, x in [-W/2, W/2) and y in [-H/2, H/2) for
// even W and H, with whole-degree orientations drawn from 0 to 32767 and shown as the same
// direction in (-180, 180].
void Vendrel::generateRandomPositions() {
    const int n = ui->action4_Position->isChecked() ? 4 : ui->action3_Position->isChecked() ? 3 : 5;
    const int h = static_cast<int>(workspaceHeight);
    const int w = static_cast<int>(workspaceWidth);
    const auto seed = static_cast<quint32>(std::time(nullptr));
    QRandomGenerator generator(seed);
    // The poses generated from coupler curves draw from the same clock-seeded start.
    seedRandomPicks(seed);
    std::vector<TaskPosition> positions;
    for (int i = 0; i < n; ++i) {
        const int rx = static_cast<int>(generator.bounded(32768));
        const int ry = static_cast<int>(generator.bounded(32768));
        int thetaDeg = static_cast<int>(QRandomGenerator::global()->bounded(32768)) % 360;
        if (thetaDeg > 180)
            thetaDeg -= 360;
        positions.push_back({static_cast<double>((rx * w) / 32768 - w / 2),
                             static_cast<double>((ry * h) / 32768 - h / 2),
                             static_cast<double>(thetaDeg), 0.0});
    }
    resetSolutions();
    replaceTask(positions);
    emit dataChanged();
    toSynthesize();
}

void Vendrel::Test() {
    QFile file(QStringLiteral("Testing.txt"));
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

// ---- Mechanism files -----------------------------------------------------------------------------

bool Vendrel::readMechanism() {
    return loadMechanismFile(QFileDialog::getOpenFileName(this, QStringLiteral("Select File"),
                                                          QStringLiteral("Mechanism"),
                                                          QStringLiteral("Input File (*.txt)")));
}

// Each "RR" record is a drawn RR dyad: its first point the fixed pivot, its second the moving
// pivot. The third point of the first record places the moving frame (orientation 0), which both
// dyads share; the branch takes two drawn dyads, so later records are read and left out. The
// task's positions are kept, and mouse input stays as it was.
bool Vendrel::loadMechanismFile(const QString &path) {
    if (path.isEmpty())
        return false;
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        const QString opening = QString::fromLatin1(openFailure).trimmed();
        showFileProblem(tr("Read Mechanism"), path, opening, opening);
        return false;
    }
    std::vector<RRRecord> records;
    // A mechanism file is a few lines; what is larger is no mechanism file.
    QString why = file.size() > PositionFileReader::maximumFileBytes
                      ? QStringLiteral("the file is too large for a mechanism file")
                      : parseMechanismRecords(file.read(PositionFileReader::maximumFileBytes),
                                              records);
    if (why.isEmpty() && records.empty())
        why = QStringLiteral("it holds no \"RR\" record");
    if (!why.isEmpty()) {
        showFileProblem(tr("Read Mechanism"), path, why,
                        QStringLiteral("The mechanism file \"%1\" was not read: %2.").arg(path, why));
        return false;
    }
    if (records.size() > 2)
        report(QStringLiteral("The mechanism file \"%1\" holds %2 RR records; the first two are "
                              "used.\n").arg(path).arg(records.size()));
    panel->clearWidget();
    branch->clearBranch();
    const int kindBefore = static_cast<int>(branch->getTodraw());
    const double *first = records.front().values;
    branch->settodraw(0);
    branch->createUserDyad(first[4], first[5], first[4], first[5], 0.0);
    branch->settodraw(1);
    for (size_t k = 0; k < records.size() && k < 2; ++k) {
        const double *v = records[k].values;
        branch->createUserDyad(v[0], v[1], v[2], v[3], 0.0);
    }
    branch->settodraw(kindBefore);
    emit dataChanged();
    return true;
}
