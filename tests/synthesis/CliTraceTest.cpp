// mechsynth-cli trace end to end: the coupler curve of a synthesized pair as CSV rows that
// close the loop of that pair (checked here against the pivots the synthesize command
// reports), the summary's counts, the circuit filter, and the refused runs.
#include "KnownMechanisms.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>
#include "TestSupport.h"
#include <algorithm>
#include <cmath>

using known::Pose;
using Run = known::CliResult;

namespace {
using known::runCli;

constexpr double closureTolerance = 1e-9;

void writeFile(const QString &path, const QByteArray &text) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(text);
}

QByteArray crankRockerTask(int positions) {
    return known::positionFileText(known::crankRockerPoses(positions)).toUtf8();
}

QByteArray sliderCrankTask() {
    const known::RevoluteSide crank{{1.0, 1.0}, {-0.5, 0.25}, 1.5};
    std::vector<Pose> poses;
    known::sliderCrankPoses(crank, {3.5, -0.5}, {3.0, -1.0}, 0.35, {0.2, 0.65, 1.1, 1.55, 2.0},
                            poses);
    return known::positionFileText(poses).toUtf8();
}

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
    int n = 0;
    for (const Row &r : rows)
        n += r.circuit == circuit ? 1 : 0;
    return n;
}

// One dyad as synthesize --json reports it: kind, fixed pivot, moving pivot at assembly (fixed
// frame) and the same pivot in the moving frame.
struct Side {
    bool revolute = true;
    double fx = 0, fy = 0, mx = 0, my = 0, lx = 0, ly = 0;
};

double at(const QJsonValue &v, int i) { return v.toArray().at(i).toDouble(); }

Side sideOf(const QJsonObject &d) {
    return {d["type"].toString() == QLatin1String("RR"),
            at(d["fixedPivot"], 0),       at(d["fixedPivot"], 1),
            at(d["movingPivot"], 0),      at(d["movingPivot"], 1),
            at(d["movingPivotLocal"], 0), at(d["movingPivotLocal"], 1)};
}

// The side's moving pivot at a traced pose: its moving-frame point carried by the pose.
void movingPivotAt(const Side &s, const Row &r, double &x, double &y) {
    const double t = r.thetaDeg * std::acos(-1.0) / 180.0;
    x = r.x + std::cos(t) * s.lx - std::sin(t) * s.ly;
    y = r.y + std::sin(t) * s.lx + std::cos(t) * s.ly;
}

// How far the pose leaves the side's constraint: for a crank, |M - F| against the length at
// assembly; for a slider, M's distance from the slide line through F and the assembled M.
double closureError(const Side &s, const Row &r) {
    double x, y;
    movingPivotAt(s, r, x, y);
    const double dx = s.mx - s.fx, dy = s.my - s.fy, length = std::hypot(dx, dy);
    if (s.revolute)
        return std::fabs(std::hypot(x - s.fx, y - s.fy) - length);
    return std::fabs((x - s.fx) * dy - (y - s.fy) * dx) / length;
}

// How far the crank pivot that the row's input angle gives is from the pose's.
double inputError(const Side &crank, const Row &r) {
    double x, y;
    movingPivotAt(crank, r, x, y);
    const double a = r.input * std::acos(-1.0) / 180.0;
    const double length = std::hypot(crank.mx - crank.fx, crank.my - crank.fy);
    return std::hypot(crank.fx + length * std::cos(a) - x, crank.fy + length * std::sin(a) - y);
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
} // namespace

class CliTraceTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void csvRowsCloseTheLoopOfTheSynthesizedPair_data();
    void csvRowsCloseTheLoopOfTheSynthesizedPair();
    void summaryNamesTheMechanismAndCountsThePosesOfEachCircuit();
    void circuitOptionKeepsTheRowsOfOneCircuit_data();
    void circuitOptionKeepsTheRowsOfOneCircuit();
    void usageErrorsAreRefusedWithStatusTwo_data();
    void usageErrorsAreRefusedWithStatusTwo();
    void badInputIsRefusedWithStatusOne_data();
    void badInputIsRefusedWithStatusOne();

private:
    QTemporaryDir dir;
};

void CliTraceTest::initTestCase() {
    QVERIFY2(QFile::exists(known::cliPath()), "mechsynth-cli is not built next to the tests");
    QVERIFY(dir.isValid());
    writeFile(dir.filePath("rrrr.txt"), crankRockerTask(5));
    writeFile(dir.filePath("four.txt"), crankRockerTask(4));
    writeFile(dir.filePath("slider.txt"), sliderCrankTask());
    // Coordinates whose squares overflow: the engine's data matrix is no longer finite.
    writeFile(dir.filePath("overflow.txt"), "5\n1e200 0 0\n0 1e200 10\n1 1 20\n2 1 30\n3 0 40\n");
    // Five scattered poses no real dyad passes through.
    writeFile(dir.filePath("noroots.txt"), "5\n-2.640 -3.968 -18.710\n-3.450 -4.335 -17.714\n"
                                           "4.180 3.005 47.729\n-2.781 0.367 -40.197\n"
                                           "-3.273 -3.938 -51.408\n");
}

void CliTraceTest::csvRowsCloseTheLoopOfTheSynthesizedPair_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("type");
    QTest::newRow("crank-rocker") << "rrrr.txt" << "RRRR";
    QTest::newRow("slider-crank") << "slider.txt" << "RRPR";
}

void CliTraceTest::csvRowsCloseTheLoopOfTheSynthesizedPair() {
    QFETCH(QString, file);
    QFETCH(QString, type);
    const Run first = runCli(dir.path(), {"synthesize", file, "--json"});
    QCOMPARE(first.status, 0);
    const QJsonArray dyads = QJsonDocument::fromJson(first.out).object()["dyads"].toArray();
    const QStringList pair = pairFor(dyads);
    const Run synth =
        runCli(dir.path(), QStringList{"synthesize", file, "--json", "--pair"} + pair);
    QCOMPARE(synth.status, 0);
    const QJsonObject mechanism =
        QJsonDocument::fromJson(synth.out).object()["mechanism"].toObject();
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
        QVERIFY2(closureError(input, r) < closureTolerance, qPrintable(QString::number(r.input)));
        QVERIFY2(closureError(output, r) < closureTolerance, qPrintable(QString::number(r.input)));
        QVERIFY2(inputError(input, r) < closureTolerance, qPrintable(QString::number(r.input)));
    }
}

void CliTraceTest::summaryNamesTheMechanismAndCountsThePosesOfEachCircuit() {
    const Run csv = runCli(dir.path(), {"trace", "rrrr.txt", "--csv"});
    QVector<Row> rows;
    QVERIFY(parseCsv(csv.out, rows));
    const Run summary = runCli(dir.path(), {"trace", "rrrr.txt"});
    QCOMPARE(summary.status, 0);
    const QString text = QString::fromLocal8Bit(summary.out);
    QVERIFY2(text.startsWith(QLatin1String("Mechanism of dyads 1 and 2: RRRR\n  Class: ")),
             qPrintable(text));
    QVERIFY(text.contains(QLatin1String("\n  Input limits: ")));
    // The summary calls the input a full-turn crank exactly when the traced inputs of a circuit
    // sweep a whole turn.
    double lowest = 1e300, highest = -1e300;
    for (const Row &r : rows)
        if (r.circuit == QLatin1String("open")) {
            lowest = std::min(lowest, r.input);
            highest = std::max(highest, r.input);
        }
    QCOMPARE(text.contains(QLatin1String(" (the input crank turns fully)\n")),
             highest - lowest >= 359.0);
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

void CliTraceTest::circuitOptionKeepsTheRowsOfOneCircuit_data() {
    QTest::addColumn<QString>("circuit");
    QTest::newRow("open") << "open";
    QTest::newRow("crossed") << "crossed";
}

void CliTraceTest::circuitOptionKeepsTheRowsOfOneCircuit() {
    QFETCH(QString, circuit);
    const Run both = runCli(dir.path(), {"trace", "rrrr.txt", "--csv"});
    QCOMPARE(both.status, 0);
    const Run one = runCli(dir.path(), {"trace", "rrrr.txt", "--circuit", circuit, "--csv"});
    QCOMPARE(one.status, 0);
    // The filtered output is the header and the full output's rows of that circuit, in order.
    QList<QByteArray> expected;
    for (const QByteArray &line : both.out.split('\n'))
        if (expected.isEmpty() || line.startsWith(circuit.toLatin1() + ','))
            expected << line;
    expected << QByteArray();
    const QList<QByteArray> got = one.out.split('\n');
    QVERIFY(got.size() > 50);
    QCOMPARE(got.size(), expected.size());
    for (int i = 0; i < got.size(); ++i)
        QCOMPARE(got[i], expected[i]);
}

void CliTraceTest::usageErrorsAreRefusedWithStatusTwo_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("mentions");
    QTest::newRow("unknown circuit")
        << QStringList{"--circuit", "sideways"} << QByteArray("'sideways'");
    QTest::newRow("circuit without value")
        << QStringList{"--circuit"} << QByteArray("--circuit wants");
    QTest::newRow("json") << QStringList{"--json"} << QByteArray("no --json");
    QTest::newRow("tolerance sweep")
        << QStringList{"--tolerance", "2", "--resolution", "1"} << QByteArray("--tolerance");
    QTest::newRow("tolerance alone")
        << QStringList{"--tolerance", "2"} << QByteArray("--tolerance");
    QTest::newRow("unknown option") << QStringList{"--fast"} << QByteArray("unknown option --fast");
    QTest::newRow("pair of one dyad") << QStringList{"--pair", "1", "1"} << QByteArray("--pair");
}

void CliTraceTest::usageErrorsAreRefusedWithStatusTwo() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, mentions);
    const Run r = runCli(dir.path(), QStringList{"trace", "rrrr.txt"} + args);
    QCOMPARE(r.status, 2);
    QVERIFY2(r.err.contains(mentions), r.err.constData());
    QVERIFY(r.err.contains(
        "\n  mechsynth-cli trace FILE [--pair I J] [--circuit open|crossed] [--csv]\n"));
    QVERIFY(r.out.isEmpty());
}

void CliTraceTest::badInputIsRefusedWithStatusOne_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("mentions");
    QTest::newRow("missing file") << QStringList{"absent.txt"} << QByteArray("absent.txt");
    QTest::newRow("pair past the dyads")
        << QStringList{"rrrr.txt", "--pair", "1", "9"} << QByteArray("--pair 1 9: the run gave");
    QTest::newRow("synthesis stopped")
        << QStringList{"overflow.txt"} << QByteArray("synthesis stopped");
    QTest::newRow("no dyads") << QStringList{"noroots.txt"} << QByteArray("a mechanism needs two");
    QTest::newRow("four positions without a line")
        << QStringList{"four.txt"} << QByteArray("need --line");
}

void CliTraceTest::badInputIsRefusedWithStatusOne() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, mentions);
    if (args.first() == QLatin1String("noroots.txt")) {
        // The task must really give fewer than two dyads, or this row tests nothing.
        const Run synth = runCli(dir.path(), {"synthesize", "noroots.txt", "--json"});
        QCOMPARE(synth.status, 0);
        QVERIFY(QJsonDocument::fromJson(synth.out).object()["dyads"].toArray().size() < 2);
    }
    const Run r = runCli(dir.path(), QStringList{"trace"} + args);
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.contains(mentions), r.err.constData());
    QVERIFY(!r.err.contains("Usage:"));
    QVERIFY(r.out.isEmpty());
}

MS_REGISTER_TEST(CliTraceTest)
#include "CliTraceTest.moc"
