// mechsynth-cli end to end: the built program on position files made by forward kinematics,
// its JSON and text output, its exit statuses, and the files it leaves or leaves alone.
#include "KnownMechanisms.h"

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
using known::runCli;
using Run = known::CliResult;

void writeFile(const QString &path, const QByteArray &text) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
}

const RevoluteSide inputSide{{1.0, -2.0}, {-0.5, 0.8}, 2.5};
const RevoluteSide outputSide{{6.0, -1.5}, {2.2, 0.4}, 4.0};

QByteArray rrrrTask() {
    std::vector<Pose> poses;
    known::rrrrPoses(inputSide, outputSide, {0.8, 1.05, 1.3, 1.55, 1.8}, true, poses);
    return known::positionFileText(poses).toUtf8();
}

double pairValue(const QJsonValue &v, int i) { return v.toArray().at(i).toDouble(); }

// The dyad of the JSON list whose fixed pivot is the side's, or an empty object.
QJsonObject dyadWithFixedPivot(const QJsonArray &dyads, const RevoluteSide &side) {
    for (const QJsonValue &v : dyads) {
        const QJsonObject d = v.toObject();
        if (std::hypot(pairValue(d["fixedPivot"], 0) - side.fixedPivot.x,
                       pairValue(d["fixedPivot"], 1) - side.fixedPivot.y) < 1e-6)
            return d;
    }
    return {};
}
} // namespace

class CliTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void recoversAKnownRRRRThroughJson();
    void recoversASliderCrankThroughJson();
    void printsOneBlockPerDyadAndTheMechanism();
    void formsTheChosenPair();
    void leavesTheEngineOutputFiles();
    void rejectsBadInputWithStatusOneAndKeepsEarlierFiles_data();
    void rejectsBadInputWithStatusOneAndKeepsEarlierFiles();
    void answersUsageErrorsWithStatusTwoAndTheUsage_data();
    void answersUsageErrorsWithStatusTwoAndTheUsage();

private:
    QTemporaryDir dir;
};

void CliTest::initTestCase() {
    if (!QFile::exists(known::cliPath()))
        QFAIL("mechsynth-cli is not built next to the tests");
    QVERIFY(dir.isValid());
    writeFile(dir.filePath("rrrr.txt"), rrrrTask());
}

void CliTest::recoversAKnownRRRRThroughJson() {
    const Run r = runCli(dir.path(), {"synthesize", "rrrr.txt", "--json"});
    QCOMPARE(r.status, 0);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(r.out, &error);
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
    const QJsonObject o = doc.object();
    QCOMPARE(o["positions"].toInt(), 5);
    QCOMPARE(o["operation"].toString(), QStringLiteral("n-position"));
    const QJsonArray dyads = o["dyads"].toArray();
    QCOMPARE(dyads.size(), o["realRoots"].toInt());
    for (const RevoluteSide &side : {inputSide, outputSide}) {
        const QJsonObject d = dyadWithFixedPivot(dyads, side);
        QVERIFY(!d.isEmpty());
        QCOMPARE(d["type"].toString(), QStringLiteral("RR"));
        QVERIFY(std::fabs(pairValue(d["fixedPivot"], 0) - side.fixedPivot.x) < 1e-8 * 6);
        QVERIFY(std::fabs(pairValue(d["movingPivotLocal"], 0) - side.movingLocal.x) < 1e-8 * 6);
        QVERIFY(std::fabs(pairValue(d["movingPivotLocal"], 1) - side.movingLocal.y) < 1e-8 * 6);
        const QJsonArray p = d["parameters"].toArray();
        QCOMPARE(p.size(), 5);
        QVERIFY(std::fabs(p[4].toDouble() - side.radius) < 1e-8 * 6);
        QCOMPARE(d["parameterNames"].toArray().at(4).toString(), QStringLiteral("Radius"));
        // The moving pivot in the fixed frame is the local one carried by the first pose.
        std::vector<Pose> poses;
        known::rrrrPoses(inputSide, outputSide, {0.8}, true, poses);
        const known::Vec m = known::toFixed(poses[0], side.movingLocal);
        QVERIFY(std::fabs(pairValue(d["movingPivot"], 0) - m.x) < 1e-7);
        QVERIFY(std::fabs(pairValue(d["movingPivot"], 1) - m.y) < 1e-7);
        QVERIFY(d["cfe"].toDouble() < 1e-12);
    }
    const QJsonObject m = o["mechanism"].toObject();
    QCOMPARE(m["type"].toString(), QStringLiteral("RRRR"));
    QCOMPARE(m["dyads"].toArray(), (QJsonArray{1, 2}));
    QVERIFY(!m["class"].toString().isEmpty());
    QCOMPARE(m["inputLimits"].toArray().size(), 2);
}

void CliTest::recoversASliderCrankThroughJson() {
    const RevoluteSide crank{{1.0, 1.0}, {-0.5, 0.25}, 1.5};
    const known::Vec sliderLocal{3.5, -0.5}, linePoint{3.0, -1.0};
    std::vector<Pose> poses;
    QVERIFY(known::sliderCrankPoses(crank, sliderLocal, linePoint, 0.35, {0.2, 0.65, 1.1, 1.55, 2.0}, poses));
    writeFile(dir.filePath("slider.txt"), known::positionFileText(poses).toUtf8());
    const Run r = runCli(dir.path(), {"synthesize", "slider.txt", "--json"});
    QCOMPARE(r.status, 0);
    const QJsonArray dyads = QJsonDocument::fromJson(r.out).object()["dyads"].toArray();
    int sliders = 0;
    for (const QJsonValue &v : dyads) {
        const QJsonObject d = v.toObject();
        if (d["type"].toString() != QLatin1String("PR"))
            continue;
        ++sliders;
        QVERIFY(std::fabs(pairValue(d["movingPivotLocal"], 0) - sliderLocal.x) < 1e-8 * 4);
        QVERIFY(std::fabs(pairValue(d["movingPivotLocal"], 1) - sliderLocal.y) < 1e-8 * 4);
    }
    QCOMPARE(sliders, 1);
    const QJsonObject rr = dyadWithFixedPivot(dyads, crank);
    QCOMPARE(rr["type"].toString(), QStringLiteral("RR"));
    QVERIFY(std::fabs(rr["parameters"].toArray().at(4).toDouble() - crank.radius) < 1e-8 * 4);
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
    QVERIFY(text.contains(QStringLiteral("  Input limits: ")));
    QVERIFY(r.err.isEmpty());
}

void CliTest::formsTheChosenPair() {
    const Run r = runCli(dir.path(), {"synthesize", "rrrr.txt", "--json", "--pair", "2", "1"});
    QCOMPARE(r.status, 0);
    QCOMPARE(QJsonDocument::fromJson(r.out).object()["mechanism"].toObject()["dyads"].toArray(),
             (QJsonArray{1, 2}));
    const Run beyond = runCli(dir.path(), {"synthesize", "rrrr.txt", "--pair", "1", "3"});
    QCOMPARE(beyond.status, 1);
    QVERIFY(beyond.err.contains("the run gave 2 dyad(s)"));
}

void CliTest::leavesTheEngineOutputFiles() {
    QTemporaryDir fresh;
    writeFile(fresh.filePath("rrrr.txt"), rrrrTask());
    QCOMPARE(runCli(fresh.path(), {"synthesize", "rrrr.txt"}).status, 0);
    for (const char *name : {"datamat.txt", "mata.txt", "matb.txt", "steps.txt", "Parameters.txt",
                             "output.txt", "equation output.txt", "SolStats.txt",
                             "dyad parameters.txt"})
        QVERIFY2(QFile::exists(fresh.filePath(QLatin1String(name))), name);
    QFile steps(fresh.filePath("steps.txt"));
    QVERIFY(steps.open(QIODevice::ReadOnly));
    QCOMPARE(steps.readAll(), QByteArray("Step 2 \n"));
}

void CliTest::rejectsBadInputWithStatusOneAndKeepsEarlierFiles_data() {
    QTest::addColumn<QByteArray>("content");  // empty: the file is missing
    QTest::addColumn<QByteArray>("mentions");
    QTest::newRow("missing file") << QByteArray() << QByteArray("Cannot open the file.");
    QTest::newRow("count does not parse") << QByteArray("five 1 2 3") << QByteArray("'five'");
    QTest::newRow("number does not parse")
        << QByteArray("5\n0 0 0\n1 1 1\n2 2 two\n3 3 3\n4 4 4\n") << QByteArray("record 3, theta");
    QTest::newRow("count does not match")
        << QByteArray("5\n0 0 0\n1 1 1\n2 2 2\n") << QByteArray("the count says 5");
    QTest::newRow("non-finite value")
        << QByteArray("5\n0 0 0\n1 1 1\n2 inf 2\n3 3 3\n4 4 4\n") << QByteArray("not a finite value");
    QTest::newRow("too few positions")
        << QByteArray("4\n0 0 0\n1 1 10\n2 1 20\n3 0 30\n") << QByteArray("at least 5");
}

void CliTest::rejectsBadInputWithStatusOneAndKeepsEarlierFiles() {
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, mentions);
    QTemporaryDir work;
    writeFile(work.filePath("rrrr.txt"), rrrrTask());
    QCOMPARE(runCli(work.path(), {"synthesize", "rrrr.txt"}).status, 0);
    if (!content.isEmpty())
        writeFile(work.filePath("bad.txt"), content);
    const QMap<QString, QByteArray> before = known::folderFiles(work.path());
    const Run r = runCli(work.path(), {"synthesize", "bad.txt", "--json"});
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.contains(mentions), r.err.constData());
    QCOMPARE(r.err.count('\n'), 1);  // one line
    QVERIFY(r.out.isEmpty());
    QCOMPARE(known::folderFiles(work.path()), before);
}

void CliTest::answersUsageErrorsWithStatusTwoAndTheUsage_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("nothing") << QStringList{};
    QTest::newRow("unknown command") << QStringList{"fit", "rrrr.txt"};
    QTest::newRow("no file") << QStringList{"synthesize", "--json"};
    QTest::newRow("two files") << QStringList{"synthesize", "rrrr.txt", "other.txt"};
    QTest::newRow("unknown option") << QStringList{"synthesize", "rrrr.txt", "--fast"};
    QTest::newRow("pair missing a value") << QStringList{"synthesize", "rrrr.txt", "--pair", "1"};
    QTest::newRow("pair of one dyad") << QStringList{"synthesize", "rrrr.txt", "--pair", "2", "2"};
    QTest::newRow("threshold not whole") << QStringList{"synthesize", "rrrr.txt", "--threshold", "x"};
    QTest::newRow("negative link ratio") << QStringList{"synthesize", "rrrr.txt", "--link-ratio", "-1"};
    QTest::newRow("workspace of zero")
        << QStringList{"synthesize", "rrrr.txt", "--workspace", "0", "10"};
}

void CliTest::answersUsageErrorsWithStatusTwoAndTheUsage() {
    QFETCH(QStringList, args);
    const Run r = runCli(dir.path(), args);
    QCOMPARE(r.status, 2);
    QVERIFY(r.err.contains("Usage:\n  mechsynth-cli synthesize FILE"));
    QVERIFY(r.out.isEmpty());
}

MS_REGISTER_TEST(CliTest)
#include "CliTest.moc"
