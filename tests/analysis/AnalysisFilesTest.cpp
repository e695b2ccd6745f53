// The files of the analysis compared line by line with text built here: "Mechanism Limits.txt"
// (limits from the law of cosines), "GeneratedPositions.txt" (poses from circle intersection and
// the seeded picks) and the coupler-curve CSV (every row read back closes the loop of the exported
// mechanism, written here from the dyads' assembled geometry, not from the solvers).
#include "CouplerCurveExport.h"
#include "FourBarFixtures.h"
#include "Mechanism.h"
#include "PR.h"
#include "RandomPicks.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include "TestSupport.h"
#include <cmath>
#include <random>

using namespace fixtures;

Q_DECLARE_METATYPE(fixtures::Kind)

namespace {
const double closeTol = 1e-9;

struct Row {
    QString circuit;
    double input = 0.0;
    Point pose;   // x, y, theta degrees
};

// The data lines after the header, each "circuit,input,x,y,theta".
bool parseRows(const QStringList &lines, QVector<Row> &rows) {
    for (const QString &line : lines.mid(1)) {
        const QStringList f = line.split(QLatin1Char(','));
        bool ok[4] = {f.size() == 5, true, true, true};
        if (!ok[0])
            return false;
        Row r{f[0], f[1].toDouble(&ok[0]), Point(f[2].toDouble(&ok[1]), f[3].toDouble(&ok[2]),
                                                 f[4].toDouble(&ok[3]))};
        if (!(ok[0] && ok[1] && ok[2] && ok[3]))
            return false;
        rows.push_back(r);
    }
    return true;
}

QStringList csvLines(const QString &csv) {
    QStringList lines = csv.split(QLatin1Char('\n'));
    if (lines.last().isEmpty())   // the text ends with a newline
        lines.removeLast();
    return lines;
}

struct Exported {
    Pair pair;
    Mechanism mechanism;
};

void exportPair(Kind kind, const Placement &place, Exported &e) {
    standardPair(kind, e.pair, place);
    e.mechanism.setCouplerPose(e.pair.couplerPose);
    e.mechanism.setDyads(e.pair.input.get(), e.pair.output.get());
}
} // namespace

class AnalysisFilesTest : public QObject {
    Q_OBJECT
private slots:
    void limitsFileOfEachClass_data() {
        QTest::addColumn<QString>("which"); QTest::addColumn<QStringList>("expected");
        QTest::newRow("crank-rocker") << "crank-rocker"
                                      << QStringList{"Upper  180  Lower  0",
                                                     "Amplitude0  InitPhaseAngle 0"};
        // The rocker's limits: coupler and output folded or stretched across M1 -> O2.
        QTest::newRow("Grashof rocker")
            << "rocker"
            << QStringList{"Upper  " + streamed(lawOfCosinesDeg(3, 4, 4.5)) + "  Lower  " +
                               streamed(lawOfCosinesDeg(3, 4, 2.5)),
                           "Amplitude0  InitPhaseAngle 0"};
        // Travel [2, 6] (the coupler of 2 reaches the line x = 4), s0 = 2.5: the drive's amplitude
        // is 2 about 4, and it starts at s0, so its phase is asin((2.5 - 4) / 2).
        QTest::newRow("double slider")
            << "sliders"
            << QStringList{"Upper  6  Lower  2",
                           "Amplitude2  InitPhaseAngle " + streamed(deg(std::asin(-0.75)))};
    }
    void limitsFileOfEachClass() {
        QFETCH(QString, which); QFETCH(QStringList, expected);
        const Point c(3.0, 1.0, 0.0);
        PR slideIn(0, 0, 2.5, 0, c[0], c[1], c[2]);
        PR slideOut(4, 3, 4, std::sqrt(4.0 - 1.5 * 1.5), c[0], c[1], c[2]);
        Pair pair;
        Mechanism m;
        if (which == "sliders") {
            m.setCouplerPose(c);
            m.setDyads(&slideIn, &slideOut);
        } else {
            QVERIFY(which == "rocker" ? fourRevolute(pair, 4, 3, 1, 3.5, 60, true)
                                      : fourRevolute(pair, 4, 1, 3.5, 3, 60, true));
            m.setDyads(pair.input.get(), pair.output.get());
        }
        QStringList lines;
        QVERIFY(fileLines("Mechanism Limits.txt", lines));
        QCOMPARE(lines, expected);
    }
    // One draw is discarded, then crossed piece 0, open piece 0, crossed 0, open 0, crossed 0 (a
    // crank- rocker closes everywhere, so each circuit traces one piece over the whole sweep).
    void generatedPositionsOfACrankRocker() {
        const Placement place{12.0, 1.5, -0.5};
        Pair pair;
        QVERIFY(fourRevolute(pair, 4, 1, 3.5, 3, 60, true, place));
        const P o1 = fixedOf(*pair.input), o2 = fixedOf(*pair.output);
        seedRandomPicks(2024);
        Mechanism m;
        m.setCouplerPose(pair.couplerPose);
        m.setDyads(pair.input.get(), pair.output.get());

        QVector<double> sweep;
        for (double v = -5.0; v <= 365.2; v += 1.0)
            sweep << v;
        std::mt19937 picks(2024);
        picks();
        QStringList expected{"5", ""};
        const bool crossedFirst[5] = {true, false, true, false, true};
        for (int i = 0; i < 5; ++i) {
            const double v = sweep.at(static_cast<int>(picks() % sweep.size()));
            const P m1 = polar(o1, 1.0, v);
            P m2;
            QVERIFY(circleIntersection(m1, 3.5, o2, 3.0, !crossedFirst[i], m2));
            const Point pose = couplerPoseFor(pair, m1, m2);
            expected << streamed(pose[0]) + " " + streamed(pose[1]) + " " + streamed(pose[2]) +
                            " " + streamed(i / 5.0);
        }
        QStringList lines;
        QVERIFY(fileLines("GeneratedPositions.txt", lines));
        QCOMPARE(lines, expected);
        QCOMPARE(m.getGeneratedPositions().size(), 5);
    }
    void generatedPositionsStayEmptyWhenNothingCloses() {
        // A double slider with a coupler of length zero never closes.
        const Point c(1.0, 1.0, 0.0);
        PR input(0, 0, 3, 0, c[0], c[1], c[2]);
        PR output(3, 4, 3, 0, c[0], c[1], c[2]);
        Mechanism m;
        m.setCouplerPose(c);
        m.setDyads(&input, &output);
        QVERIFY(m.getGeneratedPositions().isEmpty());
        QStringList lines;
        QVERIFY(fileLines("GeneratedPositions.txt", lines));
        QVERIFY(lines.isEmpty());
    }
    void everyWrittenRowClosesTheLoopOfTheExportedMechanism_data() {
        QTest::addColumn<Kind>("kind"); QTest::addColumn<double>("turn");
        QTest::addColumn<double>("dx"); QTest::addColumn<double>("dy");
        for (Kind k : {Kind::RRRR, Kind::RRRP, Kind::RRPR, Kind::PRPR, Kind::PRRP, Kind::RPRP}) {
            const QByteArray name = kindName(k).toLatin1();
            QTest::newRow(name.constData()) << k << 0.0 << 0.0 << 0.0;
            QTest::newRow((name + " turned 40 and shifted").constData())
                << k << 40.0 << -6.0 << 2.5;
        }
    }
    // The file is read back line by line: a header, then one row per traced pose, open rows first,
    // each closing both sides of the loop at the input it states.
    void everyWrittenRowClosesTheLoopOfTheExportedMechanism() {
        QFETCH(Kind, kind); QFETCH(double, turn); QFETCH(double, dx); QFETCH(double, dy);
        Exported e;
        exportPair(kind, Placement{turn, dx, dy}, e);
        const Side in = snapshot(*e.pair.input, e.pair.couplerPose);
        const Side out = snapshot(*e.pair.output, e.pair.couplerPose);
        QTemporaryDir dir;
        const QString path = dir.filePath("curve.csv");
        QVERIFY(CouplerCurveExport(e.mechanism).writeCsv(path));
        QStringList lines;
        QVERIFY(fileLines(path, lines));
        QCOMPARE(lines.value(0), QStringLiteral("circuit,input,x,y,theta"));
        QVector<Row> rows;
        QVERIFY(parseRows(lines, rows));
        int traced = 0;
        for (int k = 0; k < 3; ++k)
            traced += e.mechanism.openCurve(k).size() + e.mechanism.crossedCurve(k).size();
        QCOMPARE(rows.size(), traced);
        QVERIFY(rows.size() > 30);
        int open = 0;
        for (const Row &r : rows) {
            QVERIFY(r.circuit == QLatin1String("open") || r.circuit == QLatin1String("crossed"));
            if (r.circuit == QLatin1String("open"))
                QCOMPARE(open++, int(&r - rows.data()));
            const QString where =
                QStringLiteral("%1 input %2").arg(r.circuit).arg(r.input, 0, 'g', 10);
            QVERIFY2(sideMiss(in, r.pose) < closeTol, qPrintable("input side, " + where));
            QVERIFY2(sideMiss(out, r.pose) < closeTol, qPrintable("output side, " + where));
            QVERIFY2(inputMiss(in, r.pose, r.input) < closeTol,
                     qPrintable("input value, " + where));
        }
        QVERIFY(open > 0 && open < rows.size());
    }
    // A crank-rocker 4, 1, 3.5, 3 turns fully: the trace runs -5, -4, ..., 365 degrees on each
    // circuit, (365 - (-5)) / 1 + 1 = 371 poses, and the exported inputs must read exactly so.
    void crankInputsRunAsTheSweepRanPast180() {
        Exported e;
        exportPair(Kind::RRRR, Placement{}, e);
        const std::vector<TracedPose> poses = CouplerCurveExport(e.mechanism).poses();
        QCOMPARE(int(poses.size()), 742);
        for (int i = 0; i < 742; ++i) {
            const TracedPose &p = poses[size_t(i)];
            QCOMPARE(p.open, i < 371);
            QCOMPARE(p.piece, 0);
            QVERIFY2(
                std::fabs(p.input - (-5.0 + (i % 371))) < 1e-9,
                qPrintable(QStringLiteral("pose %1 input %2").arg(i).arg(p.input, 0, 'g', 12)));
        }
    }
    void circuitFilterKeepsOnlyThatCircuit() {
        Exported e;
        exportPair(Kind::RRRR, Placement{}, e);
        const CouplerCurveExport x(e.mechanism);
        for (auto which :
             {CouplerCurveExport::Circuits::Open, CouplerCurveExport::Circuits::Crossed}) {
            const bool open = which == CouplerCurveExport::Circuits::Open;
            QVector<Row> rows;
            QVERIFY(parseRows(csvLines(x.csv(which)), rows));
            QCOMPARE(rows.size(), 371);
            for (const Row &r : rows)
                QCOMPARE(r.circuit, QString::fromLatin1(open ? "open" : "crossed"));
        }
    }
    void emptyMechanismGivesTheHeaderAlone() {
        Mechanism m;
        QCOMPARE(CouplerCurveExport(m).csv(), QStringLiteral("circuit,input,x,y,theta\n"));
    }
    void unwritablePathIsReportedAndLeavesNoFile() {
        Exported e;
        exportPair(Kind::RRRR, Placement{}, e);
        QTemporaryDir dir;
        const QString path = dir.filePath("no such folder/curve.csv");
        QVERIFY(!CouplerCurveExport(e.mechanism).writeCsv(path));
        QVERIFY(!QFile::exists(path));
    }
};
MS_REGISTER_TEST(AnalysisFilesTest)
#include "AnalysisFilesTest.moc"
