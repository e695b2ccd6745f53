// mechsynth-cli with the options of the synthesis variants: a line for four positions, two
// pivots for three, the tolerance sweep, and every task that fits no operation.
#include "KnownMechanisms.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>
#include "TestSupport.h"
#include <cmath>

using known::Pose;
using known::RevoluteSide;

namespace {
using known::crankSide;
using known::rockerSide;
using known::runCli;
using Run = known::CliResult;

std::vector<Pose> poses(int n) { return known::crankRockerPoses(n); }

// Position files of 2 ... 6 positions of the crank-rocker's coupler, in dir.
void writeTasks(const QString &dir) {
    for (int n = 2; n <= 6; ++n) {
        QFile f(QDir(dir).filePath(QStringLiteral("task%1.txt").arg(n)));
        if (f.open(QIODevice::WriteOnly))
            f.write(known::positionFileText(poses(n)).toUtf8());
    }
}

double at(const QJsonValue &v, int i) { return v.toArray().at(i).toDouble(); }

bool hasSide(const QJsonObject &dyad, const RevoluteSide &side) {
    return dyad["type"].toString() == QLatin1String("RR")
           && std::hypot(at(dyad["fixedPivot"], 0) - side.fixedPivot.x,
                         at(dyad["fixedPivot"], 1) - side.fixedPivot.y) < 1e-8
           && std::hypot(at(dyad["movingPivotLocal"], 0) - side.movingLocal.x,
                         at(dyad["movingPivotLocal"], 1) - side.movingLocal.y) < 1e-8;
}

QJsonObject parse(const QByteArray &json) { return QJsonDocument::fromJson(json).object(); }

const QStringList crankPivotLine{"--line", "1", "-2", "3", "-1"};
const QStringList bothPivots{"--pivots", "1", "-2", "6", "-1.5"};
} // namespace

class CliVariantsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void fourPositionsWithALineRecoverTheSideOnIt();
    void threePositionsWithPivotsGiveTheirDyadsInOrder();
    void theSweepPrintsOneLinePerRecordedSolution();
    void theSweepListsItsSolutionsInJson();
    void sixPositionsWithAToleranceRunTheOrdinarySynthesis();
    void aTaskThatFitsNoOperationSaysWhatIsMissing_data();
    void aTaskThatFitsNoOperationSaysWhatIsMissing();
    void optionsOfTheVariantsAreCheckedAsUsage_data();
    void optionsOfTheVariantsAreCheckedAsUsage();

private:
    QTemporaryDir dir;
};

void CliVariantsTest::initTestCase() {
    QVERIFY(QFile::exists(known::cliPath()));
    writeTasks(dir.path());
}

void CliVariantsTest::fourPositionsWithALineRecoverTheSideOnIt() {
    for (const QStringList &line : {crankPivotLine, QStringList{"--line", "1", "5", "1", "-7"}}) {
        const Run r = runCli(dir.path(), QStringList{"synthesize", "task4.txt", "--json"} + line);
        QCOMPARE(r.status, 0);
        const QJsonObject o = parse(r.out);
        QCOMPARE(o["operation"].toString(), QStringLiteral("four-position"));
        QCOMPARE(o["positions"].toInt(), 4);
        int found = 0;
        for (const QJsonValue &d : o["dyads"].toArray())
            found += hasSide(d.toObject(), crankSide) ? 1 : 0;
        QCOMPARE(found, 1);
    }
    const Run text = runCli(dir.path(), QStringList{"synthesize", "task4.txt"} + crankPivotLine);
    QCOMPARE(text.status, 0);
    QVERIFY(text.out.startsWith("4 positions, four-position synthesis, "));
}

void CliVariantsTest::threePositionsWithPivotsGiveTheirDyadsInOrder() {
    const Run r = runCli(dir.path(), QStringList{"synthesize", "task3.txt", "--json"} + bothPivots);
    QCOMPARE(r.status, 0);
    const QJsonObject o = parse(r.out);
    QCOMPARE(o["operation"].toString(), QStringLiteral("three-position"));
    const QJsonArray dyads = o["dyads"].toArray();
    QCOMPARE(dyads.size(), 2);
    QVERIFY(hasSide(dyads[0].toObject(), crankSide));
    QVERIFY(hasSide(dyads[1].toObject(), rockerSide));
    QCOMPARE(o["mechanism"].toObject()["type"].toString(), QStringLiteral("RRRR"));
    const Run swapped = runCli(dir.path(), {"synthesize", "task3.txt", "--json", "--pivots", "6",
                                            "-1.5", "1", "-2"});
    QVERIFY(hasSide(parse(swapped.out)["dyads"].toArray()[0].toObject(), rockerSide));
}

void CliVariantsTest::theSweepPrintsOneLinePerRecordedSolution() {
    const Run r = runCli(dir.path(), QStringList{"synthesize", "task3.txt", "--tolerance", "15",
                                                 "--resolution", "1"} + bothPivots);
    QCOMPARE(r.status, 0);
    const QList<QByteArray> lines = r.out.trimmed().split('\n');
    QVERIFY(lines.at(0).contains("27 solution(s)"));
    QCOMPARE(lines.size(), 2 + 27);  // heading, empty line, one line per solution
    const std::vector<Pose> task = poses(3);
    // Solution 2: positions 0 and 1 at theta - 15, position 2 at theta.
    const QList<QByteArray> second = lines.at(3).split(' ');
    QCOMPARE(second.at(0) + ' ' + second.at(1), QByteArray("Solution 2:"));
    QCOMPARE(second.at(2), QByteArray("angles"));
    const double want[3] = {task[0].thetaDeg - 15.0, task[1].thetaDeg - 15.0, task[2].thetaDeg};
    for (int j = 0; j < 3; ++j)
        QVERIFY(std::fabs(second.at(3 + j).toDouble() - want[j]) < 1e-7);
    QVERIFY(lines.at(3).endsWith("| dyads RR RR | RRRR"));
}

void CliVariantsTest::theSweepListsItsSolutionsInJson() {
    const Run r = runCli(dir.path(), {"synthesize", "task5.txt", "--json", "--tolerance", "2",
                                      "--resolution", "0"});
    QCOMPARE(r.status, 0);
    const QJsonObject o = parse(r.out);
    QCOMPARE(o["operation"].toString(), QStringLiteral("tolerance"));
    QCOMPARE(o["sweptOperation"].toString(), QStringLiteral("n-position"));
    const QJsonArray solutions = o["toleranceSolutions"].toArray();
    QCOMPARE(solutions.size(), 1);  // resolution 0: the nominal orientations once
    const QJsonObject s = solutions[0].toObject();
    const std::vector<Pose> task = poses(5);
    QCOMPARE(s["angles"].toArray().size(), 5);
    for (int j = 0; j < 5; ++j)
        QVERIFY(std::fabs(at(s["angles"], j) - task[static_cast<size_t>(j)].thetaDeg) < 1e-9);
    QVERIFY(s["dyads"].toArray().size() >= 2);
    QCOMPARE(s["mechanismType"].toString(),
             s["dyads"].toArray()[0].toString() + s["dyads"].toArray()[1].toString());
    const Run four = runCli(dir.path(), QStringList{"synthesize", "task4.txt", "--json", "--tolerance",
                                                    "1", "--resolution", "1"} + crankPivotLine);
    QCOMPARE(parse(four.out)["toleranceSolutions"].toArray().size(), 81);
}

void CliVariantsTest::sixPositionsWithAToleranceRunTheOrdinarySynthesis() {
    QTemporaryDir work;
    QVERIFY(QFile::copy(QDir(dir.path()).filePath("task6.txt"), QDir(work.path()).filePath("task6.txt")));
    const Run r = runCli(work.path(), {"synthesize", "task6.txt", "--json", "--tolerance", "2",
                                       "--resolution", "1"});
    QCOMPARE(r.status, 0);
    const QJsonObject o = parse(r.out);
    QCOMPARE(o["toleranceSolutions"].toArray().size(), 0);
    QVERIFY(o["dyads"].toArray().size() >= 2);
    QVERIFY(r.err.contains("three to five positions"));
    QFile tol(QDir(work.path()).filePath("TolSolutions.txt"));
    QVERIFY(tol.open(QIODevice::ReadOnly));
    QCOMPARE(tol.readAll(), QByteArray("66"));
}

void CliVariantsTest::aTaskThatFitsNoOperationSaysWhatIsMissing_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("mentions");
    QTest::newRow("four positions, no line") << QStringList{"task4.txt"} << QByteArray("need --line");
    QTest::newRow("four positions, pivots instead")
        << (QStringList{"task4.txt"} + bothPivots) << QByteArray("need --line");
    QTest::newRow("four positions, a line of one point")
        << QStringList{"task4.txt", "--line", "2", "2", "2", "2"} << QByteArray("two equal points");
    QTest::newRow("three positions, no pivots") << QStringList{"task3.txt"} << QByteArray("need --pivots");
    QTest::newRow("three positions, a line instead")
        << (QStringList{"task3.txt"} + crankPivotLine) << QByteArray("need --pivots");
    QTest::newRow("three positions sweep, no pivots")
        << QStringList{"task3.txt", "--tolerance", "5", "--resolution", "1"} << QByteArray("need --pivots");
    QTest::newRow("two positions") << (QStringList{"task2.txt"} + bothPivots) << QByteArray("at least 3");
}

void CliVariantsTest::aTaskThatFitsNoOperationSaysWhatIsMissing() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, mentions);
    QTemporaryDir work;
    for (int n : {2, 3, 4})
        QFile::copy(QDir(dir.path()).filePath(QStringLiteral("task%1.txt").arg(n)),
                    QDir(work.path()).filePath(QStringLiteral("task%1.txt").arg(n)));
    const Run r = runCli(work.path(), QStringList{"synthesize"} + args);
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.contains(mentions), r.err.constData());
    QCOMPARE(r.err.count('\n'), 1);
    QVERIFY(r.out.isEmpty());
    QCOMPARE(QDir(work.path()).entryList(QDir::Files).size(), 3);  // nothing was written
}

void CliVariantsTest::optionsOfTheVariantsAreCheckedAsUsage_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("line of three numbers") << QStringList{"task4.txt", "--line", "1", "2", "3"};
    QTest::newRow("pivot not a number") << QStringList{"task3.txt", "--pivots", "1", "x", "3", "4"};
    QTest::newRow("tolerance alone") << QStringList{"task5.txt", "--tolerance", "5"};
    QTest::newRow("resolution alone") << QStringList{"task5.txt", "--resolution", "1"};
    QTest::newRow("negative resolution")
        << QStringList{"task5.txt", "--tolerance", "5", "--resolution", "-1"};
    QTest::newRow("pair with a sweep")
        << QStringList{"task5.txt", "--tolerance", "5", "--resolution", "1", "--pair", "1", "2"};
}

void CliVariantsTest::optionsOfTheVariantsAreCheckedAsUsage() {
    QFETCH(QStringList, args);
    const Run r = runCli(dir.path(), QStringList{"synthesize"} + args);
    QCOMPARE(r.status, 2);
    QVERIFY(r.err.contains("Usage:\n  mechsynth-cli synthesize FILE"));
    QVERIFY(r.out.isEmpty());
}

MS_REGISTER_TEST(CliVariantsTest)
#include "CliVariantsTest.moc"
