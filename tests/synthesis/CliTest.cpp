// mechsynth-cli end to end on position files made by forward kinematics: known dyads through
// JSON, traces that close the loop, refusals with their status, and the files it leaves.
#include "DesignFile.h"
#include "KnownMechanisms.h"
#include "MechanismSynthesis.h"
#include "TextFileWriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include "TestSupport.h"
#include <algorithm>
#include <cmath>
#include <sys/stat.h>

using known::Pose;
using known::RevoluteSide;
using known::Vec;
using Run = known::CliResult;

namespace {
using known::runCli;

// A dyad the JSON must list: its kind, its moving pivot in the moving frame and, for a
// revolute side, its fixed pivot and radius; index -1: anywhere in the list.
struct Expected {
    QString type;
    Vec local;
    bool revolute;
    Vec fixed;
    double radius;
    int index;
};
using ExpectedList = std::vector<Expected>;

Expected side(const RevoluteSide &s, int index = -1) {
    return {QStringLiteral("RR"), s.movingLocal, true, s.fixedPivot, s.radius, index};
}

double at(const QJsonValue &v, int i) { return v.toArray().at(i).toDouble(); }
QJsonObject parse(const QByteArray &json) { return QJsonDocument::fromJson(json).object(); }

bool matches(const QJsonObject &d, const Expected &e, const Pose &pose0) {
    const double tol = 1e-8 * 6;
    // The moving pivot in the fixed frame is the local one carried by the first pose.
    const Vec m = known::toFixed(pose0, e.local);
    bool ok = d["type"].toString() == e.type
              && std::hypot(at(d["movingPivotLocal"], 0) - e.local.x,
                            at(d["movingPivotLocal"], 1) - e.local.y) < tol
              && std::hypot(at(d["movingPivot"], 0) - m.x, at(d["movingPivot"], 1) - m.y) < 1e-7;
    if (e.revolute)
        ok = ok && std::hypot(at(d["fixedPivot"], 0) - e.fixed.x, at(d["fixedPivot"], 1) - e.fixed.y) < tol
             && std::fabs(d["parameters"].toArray().at(4).toDouble() - e.radius) < tol
             && d["parameterNames"].toArray().at(4).toString() == QLatin1String("Radius")
             && d["cfe"].toDouble() < 1e-12;
    return ok;
}

// ---- the CSV of trace --------------------------------------------------------------------

struct Row {
    QString circuit;
    double input, x, y, thetaDeg;
};

// The rows of the CSV after its header; false when the header or a row is not as written.
bool parseCsv(const QByteArray &text, QVector<Row> &rows) {
    const QList<QByteArray> lines = text.split('\n');
    if (lines.size() < 2 || lines.first() != "circuit,input,x,y,theta" || !lines.last().isEmpty())
        return false;
    for (int i = 1; i + 1 < lines.size(); ++i) {
        const QList<QByteArray> f = lines[i].split(',');
        bool ok[4] = {false, false, false, false};
        if (f.size() != 5)
            return false;
        rows.push_back({QString::fromLatin1(f[0]), f[1].toDouble(&ok[0]), f[2].toDouble(&ok[1]),
                        f[3].toDouble(&ok[2]), f[4].toDouble(&ok[3])});
        if (!(ok[0] && ok[1] && ok[2] && ok[3]))
            return false;
    }
    return true;
}

int rowsOf(const QVector<Row> &rows, const QString &circuit) {
    return static_cast<int>(std::count_if(rows.begin(), rows.end(),
                                          [&](const Row &r) { return r.circuit == circuit; }));
}

// One dyad as synthesize --json reports it: kind, fixed pivot, moving pivot at assembly (fixed
// frame) and the same pivot in the moving frame.
struct Side {
    bool revolute = true;
    double fx = 0, fy = 0, mx = 0, my = 0, lx = 0, ly = 0;
};

Side sideOf(const QJsonObject &d) {
    return {d["type"].toString() == QLatin1String("RR"), at(d["fixedPivot"], 0), at(d["fixedPivot"], 1),
            at(d["movingPivot"], 0), at(d["movingPivot"], 1), at(d["movingPivotLocal"], 0),
            at(d["movingPivotLocal"], 1)};
}

// The side's moving pivot at a traced pose: its moving-frame point carried by the pose.
Vec movingPivotAt(const Side &s, const Row &r) {
    const double t = r.thetaDeg * std::acos(-1.0) / 180.0;
    return {r.x + std::cos(t) * s.lx - std::sin(t) * s.ly, r.y + std::sin(t) * s.lx + std::cos(t) * s.ly};
}

// How far the pose leaves the side's constraint: for a crank, |M - F| against the length at
// assembly; for a slider, M's distance from the slide line through F and the assembled M.
double closureError(const Side &s, const Row &r) {
    const Vec m = movingPivotAt(s, r);
    const double dx = s.mx - s.fx, dy = s.my - s.fy, length = std::hypot(dx, dy);
    if (s.revolute)
        return std::fabs(std::hypot(m.x - s.fx, m.y - s.fy) - length);
    return std::fabs((m.x - s.fx) * dy - (m.y - s.fy) * dx) / length;
}

// How far the crank pivot that the row's input angle gives is from the pose's.
double inputError(const Side &crank, const Row &r) {
    const Vec m = movingPivotAt(crank, r);
    const double a = r.input * std::acos(-1.0) / 180.0;
    const double length = std::hypot(crank.mx - crank.fx, crank.my - crank.fy);
    return std::hypot(crank.fx + length * std::cos(a) - m.x, crank.fy + length * std::sin(a) - m.y);
}

// The pair to trace: the first two dyads, or for a slider task the first crank with the
// first slider.
QStringList pairFor(const QJsonArray &dyads) {
    int crank = 0, slider = 0;
    for (int k = dyads.size(); k-- > 0;) {
        const QString type = dyads[k].toObject()["type"].toString();
        if (type == QLatin1String("RR"))
            crank = k + 1;
        else if (type == QLatin1String("PR"))
            slider = k + 1;
    }
    if (slider == 0)
        return {"1", "2"};
    return {QString::number(crank), QString::number(slider)};
}

const QStringList crankPivotLine{"--line", "1", "-2", "3", "-1"};
const QStringList bothPivots{"--pivots", "1", "-2", "6", "-1.5"};
const QByteArray synthesizeUsage("Usage:\n  mechsynth-cli synthesize FILE");
const QByteArray traceUsage("\n  mechsynth-cli trace FILE [--pair I J] [--circuit open|crossed] [--csv]\n");
} // namespace

Q_DECLARE_METATYPE(ExpectedList)

class CliTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void leavesTheEngineOutputFiles();
    void recoversTheKnownDyadsThroughJson_data();
    void recoversTheKnownDyadsThroughJson();
    void printsOneBlockPerDyadAndTheMechanism();
    void refusesWhatItCannotRunAndTouchesNoFile_data();
    void refusesWhatItCannotRunAndTouchesNoFile();
    void theSweepPrintsOneLinePerRecordedSolution();
    void aRunThatCannotWriteKeepsTheEarlierFiles_data();
    void aRunThatCannotWriteKeepsTheEarlierFiles();
    void csvRowsCloseTheLoopOfTheSynthesizedPair_data();
    void csvRowsCloseTheLoopOfTheSynthesizedPair();
    void summaryNamesTheMechanismAndCountsThePosesOfEachCircuit();
    void traceWritesItsDrawingWithTheRunsFilesOrNone();

private:
    QTemporaryDir dir, elsewhere;
    QMap<QString, std::vector<Pose>> tasks;
    void writeTask(const QString &name, const std::vector<Pose> &poses) {
        tasks.insert(name, poses);
        QVERIFY(known::writeFile(dir.filePath(name), known::positionFileText(poses).toUtf8()));
    }
    // A design as the window saves it, holding the task of taskName: its line and pivots stand
    // where the position file needs options.
    void writeDesign(const QString &name, const QString &taskName, DesignFile d) {
        tasks.insert(name, tasks[taskName]);
        for (const Pose &p : tasks[taskName])
            d.positions.push_back({p.x, p.y, p.thetaDeg, 0.0});
        QVERIFY(known::writeFile(dir.filePath(name), d.toJson()));
    }
};

void CliTest::initTestCase() {
    QVERIFY2(QFile::exists(known::cliPath()), "mechsynth-cli is not built next to the tests");
    QVERIFY(dir.isValid() && elsewhere.isValid());
    // Inputs that are no position file, outside the folder whose files are compared.
    QVERIFY(QDir().mkdir(elsewhere.filePath("folder")));
    QVERIFY(::mkfifo(QFile::encodeName(elsewhere.filePath("fifo.txt")).constData(), 0600) == 0);
    QFile big(elsewhere.filePath("big.txt"));
    QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(17 * 1024 * 1024));
    writeTask("rrrr.txt", known::crankRockerPoses(5, 0.25));
    writeTask("slider.txt", known::sliderCrankTask());
    for (int n = 2; n <= 6; ++n)
        writeTask(QStringLiteral("task%1.txt").arg(n), known::crankRockerPoses(n));
    DesignFile lined, pivoted;
    lined.lineDefined = true;
    lined.lineEnds = {1, -2, 3, -1};
    writeDesign("task4.msyn.json", "task4.txt", lined);
    pivoted.pointDefined = {true, true};
    pivoted.points = {{{1, -2}, {6, -1.5}}};
    writeDesign("task3.msyn.json", "task3.txt", pivoted);
    const QMap<QString, QByteArray> bad{
        {"damaged.msyn.json", "{\"format\": \"mechsynth-design\", \"version\": 1, \"positions\": ["},
        {"bad-count.txt", "five 1 2 3"},
        {"bad-number.txt", "5\n0 0 0\n1 1 1\n2 2 two\n3 3 3\n4 4 4\n"},
        {"short.txt", "5\n0 0 0\n1 1 1\n2 2 2\n"},
        {"infinite.txt", "5\n0 0 0\n1 1 1\n2 inf 2\n3 3 3\n4 4 4\n"},
        {"four.txt", "4\n0 0 0\n1 1 10\n2 1 20\n3 0 30\n"},
        // Coordinates whose squares overflow the engine's data matrix.
        {"overflow.txt", "5\n1e200 0 0\n0 1e200 10\n1 1 20\n2 1 30\n3 0 40\n"},
        {"huge-count.txt", "999999999999 0 0 0"},
        {"translation.txt", "5\n0 0 10\n1 0 10\n2 0 10\n3 0 10\n4 0 10\n"},
        {"same.txt", "5\n1 1 10\n1 1 10\n1 1 10\n1 1 10\n1 1 10\n"},
        {"zero.txt", "5\n0 0 0\n0 0 0\n0 0 0\n0 0 0\n0 0 0\n"},
        {"line3.txt", "3\n0 0 10\n1 0 10\n2 0 10\n"},
        // Five poses turning about (0, 0): every point of the body is a circle point.
        {"rotation.txt", "5\n2 0 0\n1.879385241572 0.684040286651 20\n1.414213562373 "
                         "1.414213562373 45\n0.684040286651 1.879385241572 70\n"
                         "-0.347296355334 1.969615506024 100\n"},
        // Five scattered poses no real dyad passes through.
        {"noroots.txt", "5\n-2.640 -3.968 -18.710\n-3.450 -4.335 -17.714\n4.180 3.005 47.729\n"
                        "-2.781 0.367 -40.197\n-3.273 -3.938 -51.408\n"}};
    for (auto it = bad.begin(); it != bad.end(); ++it)
        QVERIFY(known::writeFile(dir.filePath(it.key()), it.value()));
    // The trace refusal of noroots.txt tests something only if its task really has < 2 dyads.
    const Run noRoots = runCli(dir.path(), {"synthesize", "noroots.txt", "--json"});
    QCOMPARE(noRoots.status, 0);
    QVERIFY(parse(noRoots.out)["dyads"].toArray().size() < 2);
    // The files of a good run, which every refused run below must leave as they are.
    QCOMPARE(runCli(dir.path(), {"synthesize", "rrrr.txt"}).status, 0);
}

void CliTest::leavesTheEngineOutputFiles() {
    QTemporaryDir fresh;
    QVERIFY(QFile::copy(dir.filePath("rrrr.txt"), fresh.filePath("rrrr.txt")));
    QCOMPARE(runCli(fresh.path(), {"synthesize", "rrrr.txt"}).status, 0);
    for (const char *name : {"datamat.txt", "mata.txt", "matb.txt", "steps.txt", "Parameters.txt",
                             "output.txt", "equation output.txt", "SolStats.txt",
                             "dyad parameters.txt"})
        QVERIFY2(QFile::exists(fresh.filePath(QLatin1String(name))), name);
    QCOMPARE(known::fileText(fresh.filePath("steps.txt")), QByteArray("Step 2 \n"));
}

void CliTest::recoversTheKnownDyadsThroughJson_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<ExpectedList>("expected");
    QTest::addColumn<QString>("mechanism");  // type of the pair of dyads 1 and 2
    const Expected slider{"PR", known::sliderLocal, false, {0, 0}, 0, -1};
    QTest::newRow("four-bar") << QStringList{"rrrr.txt"} << "n-position"
                              << ExpectedList{side(known::crankSide), side(known::rockerSide)} << "RRRR";
    QTest::newRow("slider-crank") << QStringList{"slider.txt"} << "n-position"
                                  << ExpectedList{side(known::sliderCrank), slider} << "";
    QTest::newRow("four positions, line through the crank pivot")
        << QStringList{"task4.txt"} + crankPivotLine << "four-position"
        << ExpectedList{side(known::crankSide)} << "";
    QTest::newRow("three positions, crank pivot first")
        << QStringList{"task3.txt"} + bothPivots << "three-position"
        << ExpectedList{side(known::crankSide, 0), side(known::rockerSide, 1)} << "RRRR";
    QTest::newRow("design file with its line") << QStringList{"task4.msyn.json"} << "four-position"
                                               << ExpectedList{side(known::crankSide)} << "";
    QTest::newRow("design file with its pivots")
        << QStringList{"task3.msyn.json"} << "three-position"
        << ExpectedList{side(known::crankSide, 0), side(known::rockerSide, 1)} << "RRRR";
    // An option given overrides the design: these pivots swap the dyads' order.
    QTest::newRow("design file, pivots overridden")
        << QStringList{"task3.msyn.json", "--pivots", "6", "-1.5", "1", "-2"} << "three-position"
        << ExpectedList{side(known::rockerSide, 0), side(known::crankSide, 1)} << "RRRR";
}

void CliTest::recoversTheKnownDyadsThroughJson() {
    QFETCH(QStringList, args);
    QFETCH(QString, operation);
    QFETCH(ExpectedList, expected);
    QFETCH(QString, mechanism);
    const Run r = runCli(dir.path(), QStringList{"synthesize", "--json"} + args);
    QCOMPARE(r.status, 0);
    QJsonParseError error;
    const QJsonObject o = QJsonDocument::fromJson(r.out, &error).object();
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
    const std::vector<Pose> &task = tasks[args.first()];
    QCOMPARE(o["operation"].toString(), operation);
    QCOMPARE(o["positions"].toInt(), static_cast<int>(task.size()));
    const QJsonArray dyads = o["dyads"].toArray();
    if (operation == QLatin1String("n-position"))
        QCOMPARE(dyads.size(), o["realRoots"].toInt());
    for (const Expected &e : expected) {
        int found = 0;
        for (int k = 0; k < dyads.size(); ++k)
            if ((e.index < 0 || e.index == k) && matches(dyads[k].toObject(), e, task[0]))
                ++found;
        QVERIFY2(found == 1, qPrintable(QStringLiteral("%1 at (%2, %3): %4 matches")
                                            .arg(e.type).arg(e.fixed.x).arg(e.fixed.y).arg(found)));
    }
    if (!mechanism.isEmpty()) {
        const QJsonObject m = o["mechanism"].toObject();
        QCOMPARE(m["type"].toString(), mechanism);
        QCOMPARE(m["dyads"].toArray(), (QJsonArray{1, 2}));
        QVERIFY(!m["class"].toString().isEmpty());
        QCOMPARE(m["inputLimits"].toArray().size(), 2);
        // Judged against the task it was made for: the pair meets every pose.
        QVERIFY(m["positionError"].toDouble(1.0) < 1e-6 && m["angleError"].toDouble(1.0) < 1e-6);
        QVERIFY(m["transmissionAngle"].toObject().contains("cycleMin"));
        // rank: the same dyads, and the pair once per driving dyad, best first.
        const Run ranked = runCli(dir.path(), QStringList{"rank", "--json"} + args);
        QCOMPARE(ranked.status, 0);
        const QJsonObject r = parse(ranked.out);
        QCOMPARE(r["dyads"].toArray(), dyads);
        const QJsonArray rows = r["mechanisms"].toArray();
        QCOMPARE(rows.size(), 2);
        for (int k = 0; k < rows.size(); ++k)
            QCOMPARE(rows[k].toObject()["rank"].toInt(), k + 1);
        QCOMPARE(rows[0].toObject()["type"].toString(), mechanism);
        QVERIFY(rows[0].toObject()["positionError"].toDouble(1.0) < 1e-6);
        QCOMPARE(rows[0].toObject()["dyads"].toArray().size(), 2);
        QVERIFY(rows[0].toObject()["dyads"] != rows[1].toObject()["dyads"]);
    }
}

void CliTest::printsOneBlockPerDyadAndTheMechanism() {
    const Run r = runCli(dir.path(), {"synthesize", "rrrr.txt"});
    QCOMPARE(r.status, 0);
    const QString text = QString::fromUtf8(r.out);
    QVERIFY(text.startsWith(QStringLiteral("5 positions, n-position synthesis, 2 real root(s)\n")));
    QCOMPARE(text.count(QRegularExpression(QStringLiteral("^Dyad \\d: RR \\(RR\\)$"),
                                           QRegularExpression::MultilineOption)),
             2);
    QVERIFY(text.contains(QStringLiteral("  Fixed Pivot x co-ordinate wrt fixed frame = 6\n")));
    QVERIFY(text.contains(QStringLiteral("  Fixed Pivot y co-ordinate wrt fixed frame = -2\n")));
    QVERIFY(text.contains(QStringLiteral("Mechanism of dyads 1 and 2: RRRR\n  Class: ")));
    QVERIFY(r.err.isEmpty());
}

// Status 1: the input cannot be run (one line why); status 2: the command line is wrong (the
// usage). Nothing goes to standard output, and the files of the earlier good run in the folder
// stay byte for byte, also when the refusal comes after the synthesis ran.
void CliTest::refusesWhatItCannotRunAndTouchesNoFile_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArrayList>("mentions");
    auto bad = [](const char *name, QStringList args, QByteArray mention) {
        QTest::newRow(name) << args << 1 << QByteArrayList{mention};
    };
    auto usage = [](const char *name, QStringList args, QByteArray mention = synthesizeUsage) {
        const bool trace = args.value(0) == QLatin1String("trace");
        QTest::newRow(name) << args << 2 << QByteArrayList{mention, trace ? traceUsage : synthesizeUsage};
    };
    const QStringList s{"synthesize"}, t{"trace", "rrrr.txt"}, sweep{"--tolerance", "1", "--resolution"};
    const QString other = elsewhere.path() + QLatin1Char('/');
    bad("missing file", s + QStringList{"absent.txt", "--json"}, "Cannot open the file.");
    bad("damaged design file", s + QStringList{"damaged.msyn.json"}, "not whole JSON");
    bad("damaged design file, trace", {"trace", "damaged.msyn.json"}, "not whole JSON");
    bad("count does not parse", s + QStringList{"bad-count.txt"}, "'five'");
    bad("number does not parse", s + QStringList{"bad-number.txt"}, "record 3, theta");
    bad("count does not match", s + QStringList{"short.txt"}, "the count says 5");
    bad("non-finite value", s + QStringList{"infinite.txt"}, "not a finite value");
    bad("too few positions", s + QStringList{"four.txt"}, "at least 5");
    bad("device file", s + QStringList{"/dev/zero"}, "not a regular file");
    bad("pipe", s + QStringList{other + "fifo.txt"}, "not a regular file");
    bad("folder", s + QStringList{other + "folder"}, "not a regular file");
    bad("oversized file", s + QStringList{other + "big.txt"}, "a position file holds at most");
    bad("huge count", s + QStringList{"huge-count.txt"}, "more than 100000 positions");
    bad("coordinate of 1e200", s + QStringList{"overflow.txt"}, "record 1, x: 1e200 is beyond");
    bad("pure translation", s + QStringList{"translation.txt"}, "same orientation");
    bad("five identical poses", s + QStringList{"same.txt"}, "Positions 1 and 2 are the same pose");
    bad("five poses at the origin", s + QStringList{"zero.txt"}, "the same pose");
    bad("three on a line, turned alike", s + QStringList{"line3.txt"} + bothPivots, "same orientation");
    bad("singular fit", s + QStringList{"rotation.txt"}, "turning about one common point");
    bad("sweep of too many grid points", s + QStringList{"rrrr.txt"} + sweep + QStringList{"8"}, "grid points");
    bad("sweep over the memory budget", s + QStringList{"rrrr.txt"} + sweep + QStringList{"7"}, "would take about");
    bad("four-position sweep refused before its fit",
        s + QStringList{"task4.txt"} + crankPivotLine + sweep + QStringList{"31"}, "grid points");
    bad("pair past the dyads", s + QStringList{"rrrr.txt", "--pair", "1", "3"},
        "the run gave 2 dyad(s)");
    bad("four positions, no line", s + QStringList{"task4.txt"}, "need --line");
    bad("four positions, a line of one point",
        s + QStringList{"task4.txt", "--line", "2", "2", "2", "2"}, "two equal points");
    bad("three positions, no pivots", s + QStringList{"task3.txt"}, "need --pivots");
    bad("two positions", s + QStringList{"task2.txt"} + bothPivots, "at least 3");
    bad("trace, pair past the dyads", t + QStringList{"--pair", "1", "9"}, "--pair 1 9: the run gave");
    bad("trace, synthesis stopped", {"trace", "rotation.txt"}, "synthesis stopped");
    bad("trace, no dyads", {"trace", "noroots.txt"}, "a mechanism needs two");
    bad("rank, no dyads", {"rank", "noroots.txt"}, "a mechanism needs two");
    usage("rank of one pair", {"rank", "rrrr.txt", "--pair", "1", "2"}, "--pair belongs to");
    usage("rank of a sweep", QStringList{"rank", "task5.txt"} + sweep + QStringList{"1"}, "--tolerance belongs to");

    usage("nothing", {});
    usage("unknown command", {"fit", "rrrr.txt"});
    usage("no file", {"synthesize", "--json"});
    usage("two files", s + QStringList{"rrrr.txt", "other.txt"});
    usage("unknown option", s + QStringList{"rrrr.txt", "--fast"});
    usage("pair missing a value", s + QStringList{"rrrr.txt", "--pair", "1"});
    usage("pair of one dyad", s + QStringList{"rrrr.txt", "--pair", "2", "2"});
    usage("threshold not whole", s + QStringList{"rrrr.txt", "--threshold", "x"});
    usage("threshold of the smallest int", s + QStringList{"rrrr.txt", "--threshold", "-2147483648"},
          "from -20 to 20");
    usage("threshold of the largest int", s + QStringList{"rrrr.txt", "--threshold", "2147483647"},
          "from -20 to 20");
    usage("pivot at 1e308", s + QStringList{"task3.txt", "--pivots", "1e308", "0", "1", "1"}, "magnitude");
    usage("negative tolerance", s + QStringList{"task5.txt", "--tolerance", "-1", "--resolution", "1"});
    usage("tolerance of 1e308", s + QStringList{"task5.txt", "--tolerance", "1e308", "--resolution", "1"},
          "up to 180");
    usage("resolution past its bound", s + QStringList{"task5.txt"} + sweep + QStringList{"2147483647"}, "0 to 1000");
    usage("negative link ratio", s + QStringList{"rrrr.txt", "--link-ratio", "-1"});
    usage("line of three numbers", s + QStringList{"task4.txt", "--line", "1", "2", "3"});
    usage("tolerance alone", s + QStringList{"task5.txt", "--tolerance", "5"});
    usage("negative resolution", s + QStringList{"task5.txt", "--tolerance", "5", "--resolution", "-1"});
    usage("pair with a sweep",
          s + QStringList{"task5.txt", "--tolerance", "5", "--resolution", "1", "--pair", "1", "2"});
    usage("trace, unknown circuit", t + QStringList{"--circuit", "sideways"}, "'sideways'");
    usage("trace, json", t + QStringList{"--json"}, "no --json");
    usage("trace, tolerance sweep", t + QStringList{"--tolerance", "2", "--resolution", "1"},
          "--tolerance");
    usage("trace, pair of one dyad", t + QStringList{"--pair", "1", "1"}, "--pair");
    usage("trace, drawing without a name", t + QStringList{"--dxf", "--csv"}, "--dxf wants");
}

void CliTest::refusesWhatItCannotRunAndTouchesNoFile() {
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QByteArrayList, mentions);
    const QMap<QString, QByteArray> before = known::folderFiles(dir.path());
    const Run r = runCli(dir.path(), args);
    QCOMPARE(r.status, status);
    for (const QByteArray &m : mentions)
        QVERIFY2(r.err.contains(m), r.err.constData());
    if (status == 1)
        QVERIFY(!r.err.contains("Usage:"));
    QVERIFY(r.out.isEmpty());
    QVERIFY(known::folderFiles(dir.path()) == before);
    if (status == 1)
        QCOMPARE(r.err.count('\n'), 1);
}

// A run that cannot write its files prints its result, names the files and exits 3; the earlier
// run's files stay byte for byte and no temporary is left. A small tmpfs is filled, or mounted
// read-only (root is not stopped by a folder's permissions). The window's engine writes each
// file in place: a file that would grow on the full disk gets its earlier content back.
void CliTest::aRunThatCannotWriteKeepsTheEarlierFiles_data() {
    QTest::addColumn<bool>("fill");
    QTest::addColumn<bool>("window");
    QTest::addColumn<QByteArray>("reason");
    QTest::newRow("full disk") << true << false << QByteArray("No space left on device");
    QTest::newRow("read-only folder") << false << false << QByteArray("Read-only file system");
    QTest::newRow("full disk, the window's engine") << true << true << QByteArray("No space left on device");
}

void CliTest::aRunThatCannotWriteKeepsTheEarlierFiles() {
    QFETCH(bool, fill);
    QFETCH(bool, window);
    QFETCH(QByteArray, reason);
    QTemporaryDir small;
    const QString path = small.path(), previous = QDir::currentPath();
    auto run = [](const QStringList &args) { return QProcess::execute(args.first(), args.mid(1)); };
    if (run({"mount", "-t", "tmpfs", "-o", "size=256k", "tmpfs", path}) != 0)
        QSKIP("this machine does not allow mounting a small tmpfs (it takes root)");
    const auto unmount = qScopeGuard([&] {
        QDir::setCurrent(previous);
        run({"umount", path});
    });
    QVERIFY(QFile::copy(dir.filePath("rrrr.txt"), small.filePath("rrrr.txt")));
    QVERIFY(QDir::setCurrent(path));
    known::Session first(known::crankRockerPoses(5));
    if (window)
        first.engine.synthesize();
    else
        QCOMPARE(runCli(path, {"synthesize", "rrrr.txt"}).status, 0);
    if (fill) {
        QFile filler(small.filePath("filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    } else {
        QCOMPARE(run({"mount", "-o", "remount,ro", path}), 0);
    }
    const QMap<QString, QByteArray> before = known::folderFiles(path);
    if (window) {
        // Sixty rows make "mata.txt" longer than the page it holds.
        known::Session grown(known::crankRockerPoses(60, 0.02));
        QSignalSpy unwritten(&grown.engine, &MechanismSynthesis::outputFilesNotWritten);
        TextFileWriter::takeFailures();
        grown.engine.synthesize();
        QVERIFY2(grown.branch.synthesizedDyadCount() >= 2, qPrintable(grown.engine.lastFit().failure));
        QCOMPARE(unwritten.count(), 1);
        QVERIFY(unwritten.at(0).at(0).toString().contains("mata.txt: " + reason));
        QCOMPARE(known::fileText("mata.txt"), before["mata.txt"]);
        QCOMPARE(known::folderFiles(path).keys(), before.keys());
        return;
    }
    const Run r = runCli(path, {"synthesize", "rrrr.txt"});
    QCOMPARE(r.status, 3);
    QVERIFY(r.out.startsWith("5 positions, n-position synthesis"));
    QVERIFY2(r.err.contains("mata.txt: " + reason), r.err.constData());
    QVERIFY(known::folderFiles(path) == before);
}

void CliTest::theSweepPrintsOneLinePerRecordedSolution() {
    const Run r = runCli(dir.path(), QStringList{"synthesize", "task3.txt", "--tolerance", "15",
                                                 "--resolution", "1"} + bothPivots);
    QCOMPARE(r.status, 0);
    const QList<QByteArray> lines = r.out.trimmed().split('\n');
    QVERIFY(lines.at(0).contains("27 solution(s)"));
    QCOMPARE(lines.size(), 2 + 27);  // heading, empty line, one line per solution
    const std::vector<Pose> &task = tasks["task3.txt"];
    // Solution 2: positions 0 and 1 at theta - 15, position 2 at theta.
    const QList<QByteArray> second = lines.at(3).split(' ');
    QCOMPARE(second.mid(0, 3).join(' '), QByteArray("Solution 2: angles"));
    const double want[3] = {task[0].thetaDeg - 15.0, task[1].thetaDeg - 15.0, task[2].thetaDeg};
    for (int j = 0; j < 3; ++j)
        QVERIFY(std::fabs(second.at(3 + j).toDouble() - want[j]) < 1e-7);
    QVERIFY(lines.at(3).contains("| dyads RR RR | RRRR | best "));
    // The grid point at the task's own orientations (levels 1 1 1) gives the crank-rocker the
    // poses came from: defect-free, exact, ground over crank |(5, 0.5)| / 2.5 as its link ratio.
    const Run json = runCli(dir.path(), QStringList{"synthesize", "task3.txt", "--json", "--tolerance",
                                                    "15", "--resolution", "1"} + bothPivots);
    const QJsonArray records = parse(json.out)["toleranceSolutions"].toArray();
    QCOMPARE(records.size(), 27);
    const QJsonObject nominal = records[13].toObject()["bestPair"].toObject();
    QVERIFY(nominal["defectFree"].toBool());
    QVERIFY(nominal["positionError"].toDouble() < 1e-6);
    QVERIFY(std::fabs(nominal["linkRatio"].toDouble() - std::hypot(5.0, 0.5) / 2.5) < 1e-6);
    const QJsonArray pair = records[1].toObject()["bestPair"].toObject()["dyads"].toArray();
    QVERIFY(lines.at(3).contains(QStringLiteral("best %1->%2").arg(pair[0].toInt()).arg(pair[1].toInt()).toLatin1()));
}

void CliTest::csvRowsCloseTheLoopOfTheSynthesizedPair_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("type");
    QTest::newRow("crank-rocker") << "rrrr.txt" << "RRRR";
    QTest::newRow("slider-crank") << "slider.txt" << "RRPR";
}

void CliTest::csvRowsCloseTheLoopOfTheSynthesizedPair() {
    QFETCH(QString, file);
    QFETCH(QString, type);
    const Run first = runCli(dir.path(), {"synthesize", file, "--json"});
    QCOMPARE(first.status, 0);
    const QJsonArray dyads = parse(first.out)["dyads"].toArray();
    const QStringList pair = pairFor(dyads);
    const Run synth = runCli(dir.path(), QStringList{"synthesize", file, "--json", "--pair"} + pair);
    QCOMPARE(synth.status, 0);
    const QJsonObject mechanism = parse(synth.out)["mechanism"].toObject();
    QCOMPARE(mechanism["type"].toString(), type);
    // The input dyad comes first in the pair's order, as its type is written.
    const QJsonArray order = mechanism["dyads"].toArray();
    Side input = sideOf(dyads[order[0].toInt() - 1].toObject());
    Side output = sideOf(dyads[order[1].toInt() - 1].toObject());
    if (!input.revolute)
        std::swap(input, output);
    const Run trace = runCli(dir.path(), QStringList{"trace", file, "--csv", "--pair"} + pair);
    QCOMPARE(trace.status, 0);
    QVector<Row> rows;
    QVERIFY(parseCsv(trace.out, rows));
    QVERIFY(rowsOf(rows, "open") > 50);
    QVERIFY(rowsOf(rows, "crossed") > 50);
    for (const Row &r : rows) {
        QVERIFY2(closureError(input, r) < 1e-9, qPrintable(QString::number(r.input)));
        QVERIFY2(closureError(output, r) < 1e-9, qPrintable(QString::number(r.input)));
        QVERIFY2(inputError(input, r) < 1e-9, qPrintable(QString::number(r.input)));
    }
}

void CliTest::summaryNamesTheMechanismAndCountsThePosesOfEachCircuit() {
    const Run csv = runCli(dir.path(), {"trace", "rrrr.txt", "--csv"});
    QVector<Row> rows;
    QVERIFY(parseCsv(csv.out, rows));
    const Run summary = runCli(dir.path(), {"trace", "rrrr.txt"});
    QCOMPARE(summary.status, 0);
    const QString text = QString::fromLocal8Bit(summary.out);
    QVERIFY2(text.startsWith(QLatin1String("Mechanism of dyads 1 and 2: RRRR\n  Class: ")),
             qPrintable(text));
    QVERIFY(text.contains(QLatin1String("\n  Input limits: ")));
    QVERIFY2(text.endsWith(QStringLiteral("  Traced poses, open circuit: %1\n"
                                          "  Traced poses, crossed circuit: %2\n")
                               .arg(rowsOf(rows, "open"))
                               .arg(rowsOf(rows, "crossed"))),
             qPrintable(text));
    const Run open = runCli(dir.path(), {"trace", "rrrr.txt", "--circuit", "open"});
    QCOMPARE(open.status, 0);
    const QString openText = QString::fromLocal8Bit(open.out);
    QVERIFY(openText.endsWith(
        QStringLiteral("  Traced poses, open circuit: %1\n").arg(rowsOf(rows, "open"))));
    QVERIFY(!openText.contains(QLatin1String("crossed")));
}

// The DXF drawing is one of the run's files: written with the others, its curves the traced
// poses of the circuit asked for; a drawing that cannot be written leaves every file as it was.
void CliTest::traceWritesItsDrawingWithTheRunsFilesOrNone() {
    QTemporaryDir fresh;
    QVERIFY(QFile::copy(dir.filePath("rrrr.txt"), fresh.filePath("rrrr.txt")));
    QVector<Row> rows;
    QVERIFY(parseCsv(runCli(fresh.path(), {"trace", "rrrr.txt", "--csv"}).out, rows));
    const QStringList open{"trace", "rrrr.txt", "--circuit", "open", "--dxf", "open.dxf"};
    QCOMPARE(runCli(fresh.path(), open).status, 0);
    QString why;
    const QJsonObject dxf = known::readDxf(fresh.filePath("open.dxf"), why);
    QVERIFY2(!dxf.isEmpty() && dxf["errors"].toInt() == 0, qPrintable(why));
    QCOMPARE(dxf["insunits"].toInt(), 6);
    int vertices = 0;
    for (const QJsonValue &p : dxf["polylines"].toArray()) {
        QCOMPARE(p["layer"].toString(), QStringLiteral("COUPLER_OPEN"));
        vertices += p["points"].toArray().size();
    }
    QCOMPARE(vertices, rowsOf(rows, "open"));
    // An engine file of an earlier run tells whether the refused run wrote any of its own.
    QVERIFY(known::writeFile(fresh.filePath("mata.txt"), "an earlier run\n"));
    const QMap<QString, QByteArray> before = known::folderFiles(fresh.path());
    const Run refused = runCli(fresh.path(), {"trace", "rrrr.txt", "--dxf", "no folder/m.dxf"});
    QCOMPARE(refused.status, 3);
    QVERIFY2(refused.err.contains("no folder/m.dxf"), refused.err.constData());
    QVERIFY(known::folderFiles(fresh.path()) == before);
    QVERIFY(!QFileInfo::exists(fresh.filePath("no folder")));
}

MS_REGISTER_TEST(CliTest)
#include "CliTest.moc"
