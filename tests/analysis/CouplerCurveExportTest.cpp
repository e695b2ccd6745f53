// The coupler-curve CSV: every row read back closes the loop of the exported mechanism (written
// here from the dyads' assembled geometry, not from the solvers), inputs run as the sweep ran,
// and the file has its header, its circuits and nothing else.
#include "CouplerCurveExport.h"
#include "FourBarFixtures.h"
#include "Mechanism.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include "TestSupport.h"
#include <cmath>

using namespace fixtures;

Q_DECLARE_METATYPE(fixtures::Kind)

namespace {
const double closeTol = 1e-9;

struct Row {
    QString circuit;
    double input = 0.0;
    double x = 0.0, y = 0.0, thetaDeg = 0.0;
};

bool parseRows(const QString &csv, QString &header, QVector<Row> &rows) {
    QStringList lines = csv.split(QLatin1Char('\n'));
    if (lines.isEmpty() || !lines.last().isEmpty())
        return false;   // the file ends with a newline
    lines.removeLast();
    header = lines.takeFirst();
    for (const QString &line : lines) {
        const QStringList f = line.split(QLatin1Char(','));
        if (f.size() != 5)
            return false;
        Row r;
        bool ok[4];
        r.circuit = f[0];
        r.input = f[1].toDouble(&ok[0]);
        r.x = f[2].toDouble(&ok[1]);
        r.y = f[3].toDouble(&ok[2]);
        r.thetaDeg = f[4].toDouble(&ok[3]);
        if (!(ok[0] && ok[1] && ok[2] && ok[3]))
            return false;
        rows.push_back(r);
    }
    return true;
}

// A row's pose as the coupler frame it stands for.
Point poseOf(const Row &r) { return Point(r.x, r.y, r.thetaDeg); }

// How far the coupler at this pose is from meeting the dyad's constraint.
double sideMiss(const Side &s, const Row &pose) {
    if (s.kind == QLatin1String("RP")) {
        // The block pivot stays at the dyad's offset from the line the coupler carries.
        const P n = polar({0, 0}, 1.0, s.lineNormalLocal + pose.thetaDeg);
        return std::fabs(dot(n, sub(s.fixed, {pose.x, pose.y})) + s.length - s.lineOffsetLocal);
    }
    const P m = fromMovingFrame(poseOf(pose), s.local);
    if (s.kind == QLatin1String("PR"))
        return std::fabs(cross(polar({0, 0}, 1.0, s.slideDeg), sub(m, s.fixed)));
    return std::fabs(dist(m, s.fixed) - s.length);
}

// How far the stated input is from the one that puts the input dyad where the pose has it.
double inputMiss(const Side &s, const Row &pose) {
    if (s.kind == QLatin1String("RP"))
        return std::fabs(angleDiff(pose.input, s.lineNormalLocal + pose.thetaDeg));
    const P m = fromMovingFrame(poseOf(pose), s.local);
    if (s.kind == QLatin1String("PR"))
        return dist(m, polar(s.fixed, pose.input, s.slideDeg));
    return dist(m, polar(s.fixed, s.length, pose.input));
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

class CouplerCurveExportTest : public QObject {
    Q_OBJECT
private slots:
    void everyRowClosesTheLoopOfTheExportedMechanism_data();
    void everyRowClosesTheLoopOfTheExportedMechanism();
    void crankInputsRunAsTheSweepRanPast180();
    void circuitFilterKeepsOnlyThatCircuit();
    void emptyMechanismGivesTheHeaderAlone();
    void writtenFileHoldsTheSameRows();
    void unwritablePathIsReportedAndLeavesNoFile();
};

void CouplerCurveExportTest::everyRowClosesTheLoopOfTheExportedMechanism_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<double>("turn");
    QTest::addColumn<double>("dx");
    QTest::addColumn<double>("dy");
    for (Kind k : {Kind::RRRR, Kind::RRRP, Kind::RRPR, Kind::PRPR, Kind::PRRP, Kind::RPRP}) {
        const QByteArray name = kindName(k).toLatin1();
        QTest::newRow(name.constData()) << k << 0.0 << 0.0 << 0.0;
        QTest::newRow((name + " turned 40 and shifted").constData()) << k << 40.0 << -6.0 << 2.5;
    }
}

void CouplerCurveExportTest::everyRowClosesTheLoopOfTheExportedMechanism() {
    QFETCH(Kind, kind);
    QFETCH(double, turn);
    QFETCH(double, dx);
    QFETCH(double, dy);
    Exported e;
    exportPair(kind, Placement{turn, dx, dy}, e);
    QCOMPARE(e.mechanism.typeName(), kindName(kind));
    const Side in = snapshot(*e.pair.input, e.pair.couplerPose);
    const Side out = snapshot(*e.pair.output, e.pair.couplerPose);

    QString header;
    QVector<Row> rows;
    QVERIFY(parseRows(CouplerCurveExport(e.mechanism).csv(), header, rows));
    QCOMPARE(header, QStringLiteral("circuit,input,x,y,theta"));
    int traced = 0;
    for (int k = 0; k < 3; ++k)
        traced += e.mechanism.openCurve(k).size() + e.mechanism.crossedCurve(k).size();
    QCOMPARE(rows.size(), traced);
    QVERIFY(rows.size() > 30);
    int open = 0;
    for (const Row &r : rows) {
        QVERIFY(r.circuit == QLatin1String("open") || r.circuit == QLatin1String("crossed"));
        // Open rows come first.
        if (r.circuit == QLatin1String("open"))
            QCOMPARE(open++, int(&r - rows.data()));
        const QString where = QStringLiteral("%1 input %2").arg(r.circuit).arg(r.input, 0, 'g', 10);
        QVERIFY2(sideMiss(in, r) < closeTol, qPrintable("input side, " + where));
        QVERIFY2(sideMiss(out, r) < closeTol, qPrintable("output side, " + where));
        QVERIFY2(inputMiss(in, r) < closeTol, qPrintable("input value, " + where));
    }
    QVERIFY(open > 0);
}

// A crank-rocker 4, 1, 3.5, 3 turns fully: the trace runs -5, -4, ..., 365 degrees on each
// circuit, (365 - (-5)) / 1 + 1 = 371 poses, and the exported inputs must read exactly so.
void CouplerCurveExportTest::crankInputsRunAsTheSweepRanPast180() {
    Exported e;
    exportPair(Kind::RRRR, Placement{}, e);
    const std::vector<TracedPose> poses = CouplerCurveExport(e.mechanism).poses();
    QCOMPARE(CouplerCurveExport(e.mechanism).poseCount(true), 371);
    QCOMPARE(CouplerCurveExport(e.mechanism).poseCount(false), 371);
    QCOMPARE(int(poses.size()), 742);
    for (int i = 0; i < 742; ++i) {
        const TracedPose &p = poses[size_t(i)];
        QCOMPARE(p.open, i < 371);
        QCOMPARE(p.piece, 0);
        const double expected = -5.0 + (i % 371);
        QVERIFY2(std::fabs(p.input - expected) < 1e-9,
                 qPrintable(QStringLiteral("pose %1 input %2").arg(i).arg(p.input, 0, 'g', 12)));
    }
}

void CouplerCurveExportTest::circuitFilterKeepsOnlyThatCircuit() {
    Exported e;
    exportPair(Kind::RRPR, Placement{}, e);
    const CouplerCurveExport x(e.mechanism);
    for (auto which : {CouplerCurveExport::Circuits::Open, CouplerCurveExport::Circuits::Crossed}) {
        const bool open = which == CouplerCurveExport::Circuits::Open;
        QString header;
        QVector<Row> rows;
        QVERIFY(parseRows(x.csv(which), header, rows));
        QCOMPARE(rows.size(), x.poseCount(open));
        QVERIFY(!rows.isEmpty());
        for (const Row &r : rows)
            QCOMPARE(r.circuit, QString::fromLatin1(open ? "open" : "crossed"));
    }
}

void CouplerCurveExportTest::emptyMechanismGivesTheHeaderAlone() {
    Mechanism m;
    const CouplerCurveExport x(m);
    QCOMPARE(x.csv(), QStringLiteral("circuit,input,x,y,theta\n"));
    QVERIFY(x.poses().empty());
    QCOMPARE(x.poseCount(true) + x.poseCount(false), 0);
}

void CouplerCurveExportTest::writtenFileHoldsTheSameRows() {
    Exported e;
    exportPair(Kind::PRRP, Placement{}, e);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("curve.csv");
    const CouplerCurveExport x(e.mechanism);
    QVERIFY(x.writeCsv(path));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(f.readAll()), x.csv());
}

void CouplerCurveExportTest::unwritablePathIsReportedAndLeavesNoFile() {
    Exported e;
    exportPair(Kind::RRRR, Placement{}, e);
    QTemporaryDir dir;
    const QString path = dir.filePath("no such folder/curve.csv");
    QVERIFY(!CouplerCurveExport(e.mechanism).writeCsv(path));
    QVERIFY(!QFile::exists(path));
}

MS_REGISTER_TEST(CouplerCurveExportTest)
#include "CouplerCurveExportTest.moc"
