// The SVG export of a mechanism: well-formed XML, one <path> per non-empty coupler-curve piece
// with its points in workspace units, the pivots and positions where they are, a scale bar.
#include "MechanismSvgExport.h"

#include "Mechanism.h"
#include "Motion.h"
#include "RR.h"
#include "TestSupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>
#include <cmath>
#include <memory>

namespace {
const double pi = std::acos(-1.0);

struct Xy {
    double x = 0.0, y = 0.0;
};

// The circle (c1, r1) meets the circle (c2, r2) on the left of c1 -> c2.
bool meetLeft(Xy c1, double r1, Xy c2, double r2, Xy &out) {
    const double dx = c2.x - c1.x, dy = c2.y - c1.y, d = std::hypot(dx, dy);
    const double a = (r1 * r1 - r2 * r2 + d * d) / (2.0 * d);
    const double h2 = r1 * r1 - a * a;
    if (h2 < 0.0)
        return false;
    const double h = std::sqrt(h2);
    out = {c1.x + (a * dx - h * dy) / d, c1.y + (a * dy + h * dx) / d};
    return true;
}

// A four-bar with ground (0, 0) -> (G, 0), input L1 at thetaDeg, coupler h, output L2, drawn as
// two user dyads; the coupler point rides off the coupler line.
struct FourBar {
    std::unique_ptr<RR> input, output;
    Mechanism mechanism;
    Xy o1, o2, m1, m2;
    bool build(double G, double L1, double h, double L2, double thetaDeg) {
        o2 = {G, 0.0};
        m1 = {L1 * std::cos(thetaDeg * pi / 180.0), L1 * std::sin(thetaDeg * pi / 180.0)};
        if (!meetLeft(m1, h, o2, L2, m2))
            return false;
        const Point pose(0.5 * (m1.x + m2.x) - 0.3, 0.5 * (m1.y + m2.y) + 0.7, 25.0);
        input = std::make_unique<RR>(o1.x, o1.y, m1.x, m1.y, pose[0], pose[1], pose[2]);
        output = std::make_unique<RR>(o2.x, o2.y, m2.x, m2.y, pose[0], pose[1], pose[2]);
        mechanism.setCouplerPose(pose);
        mechanism.setDyads(input.get(), output.get());
        return true;
    }
};

// What the test reads back from the file.
struct Drawing {
    QString viewBox;
    QStringList pathData;       // d of every <path>
    QStringList pathTransforms; // transform of the <g> holding each path
    QVector<Xy> ellipseCentres;
    QStringList texts;
    QString error;
};

bool readSvg(const QByteArray &svg, Drawing &out) {
    QXmlStreamReader xml(svg);
    QStringList transforms;   // of the open <g> elements, innermost last
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const QStringView name = xml.name();
            const auto attrs = xml.attributes();
            if (name == QLatin1String("svg"))
                out.viewBox = attrs.value("viewBox").toString();
            if (name == QLatin1String("g"))
                transforms << attrs.value("transform").toString();
            if (name == QLatin1String("path")) {
                out.pathData << attrs.value("d").toString();
                out.pathTransforms << (transforms.isEmpty() ? QString() : transforms.last());
            }
            // Round glyphs: an ellipse, or the circle the generator makes of a round one.
            if (name == QLatin1String("ellipse") || name == QLatin1String("circle"))
                out.ellipseCentres.push_back(
                    {attrs.value("cx").toDouble(), attrs.value("cy").toDouble()});
            if (name == QLatin1String("text"))
                out.texts << xml.readElementText(QXmlStreamReader::IncludeChildElements)
                                 .simplified();
        } else if (xml.isEndElement() && xml.name() == QLatin1String("g")) {
            transforms.removeLast();
        }
    }
    if (xml.hasError())
        out.error = xml.errorString();
    return !xml.hasError();
}

// The coordinates of a path's data, in order.
QVector<Xy> pathPoints(const QString &d) {
    static const QRegularExpression number(QStringLiteral("-?[0-9]*\\.?[0-9]+(?:[eE][-+]?[0-9]+)?"));
    QVector<double> values;
    for (auto it = number.globalMatch(d); it.hasNext();)
        values << it.next().captured(0).toDouble();
    QVector<Xy> points;
    for (int i = 0; i + 1 < values.size(); i += 2)
        points.push_back({values[i], values[i + 1]});
    return points;
}

bool hasEllipseAt(const Drawing &d, Xy p, double tol) {
    for (const Xy &c : d.ellipseCentres)
        if (std::hypot(c.x - p.x, c.y - p.y) < tol)
            return true;
    return false;
}

int nonEmptyPieces(const Mechanism &m) {
    int n = 0;
    for (int k = 0; k < 3; ++k)
        n += (m.openCurve(k).isEmpty() ? 0 : 1) + (m.crossedCurve(k).isEmpty() ? 0 : 1);
    return n;
}
} // namespace

class MechanismSvgExportTest : public QObject {
    Q_OBJECT
private slots:
    void isWellFormedXmlWithOnePathPerCurvePiece_data();
    void isWellFormedXmlWithOnePathPerCurvePiece();
    void curvePointsAreWrittenInWorkspaceUnits();
    void pivotsArePlacedAtTheMechanismsCurrentInput();
    void positionsAreNumberedFrames();
    void scaleBarIsARoundLength_data();
    void scaleBarIsARoundLength();
    void scaleBarCarriesTheWorkspaceUnit();
    void emptyMechanismDrawsNoCurve();
    void writesTheFileOrReportsThatItCannot();
};

void MechanismSvgExportTest::isWellFormedXmlWithOnePathPerCurvePiece_data() {
    QTest::addColumn<double>("G");
    QTest::addColumn<double>("L1");
    QTest::addColumn<double>("h");
    QTest::addColumn<double>("L2");
    QTest::addColumn<double>("thetaDeg");
    QTest::addColumn<int>("pieces");
    // A crank turns fully: one piece per circuit.
    QTest::newRow("crank-rocker") << 4.0 << 1.0 << 3.5 << 3.0 << 60.0 << 2;
    // A rocker swings through 38.62 ... 78.58 degrees and through its mirror swing,
    // 281.42 ... 321.38 (closure depends on |M1 - O2| alone): two runs of the sweep per circuit.
    QTest::newRow("Grashof double rocker") << 4.0 << 3.0 << 1.0 << 3.5 << 60.0 << 4;
    // A triple rocker swings through 0 (limits +-102.6): the sweep from -5 to 365 meets it
    // twice per circuit, so each circuit has two pieces.
    QTest::newRow("triple rocker") << 4.0 << 3.0 << 2.5 << 3.0 << 30.0 << 4;
}

void MechanismSvgExportTest::isWellFormedXmlWithOnePathPerCurvePiece() {
    QFETCH(double, G);
    QFETCH(double, L1);
    QFETCH(double, h);
    QFETCH(double, L2);
    QFETCH(double, thetaDeg);
    QFETCH(int, pieces);
    FourBar fb;
    QVERIFY(fb.build(G, L1, h, L2, thetaDeg));
    QCOMPARE(nonEmptyPieces(fb.mechanism), pieces);
    Drawing d;
    const QByteArray svg = MechanismSvgExport(fb.mechanism).svg();
    QVERIFY2(readSvg(svg, d), qPrintable(d.error));
    QCOMPARE(d.pathData.size(), pieces);
    for (const QString &data : d.pathData)
        QVERIFY(pathPoints(data).size() > 10);
}

// The curve's own numbers stand in the file: the drawing turns y up by its group transform
// alone, so a CAD reader gets workspace coordinates.
void MechanismSvgExportTest::curvePointsAreWrittenInWorkspaceUnits() {
    FourBar fb;
    QVERIFY(fb.build(4.0, 1.0, 3.5, 3.0, 60.0));
    Drawing d;
    QVERIFY(readSvg(MechanismSvgExport(fb.mechanism).svg(), d));
    QCOMPARE(d.pathData.size(), 2);
    const PointList &open = fb.mechanism.openCurve(0);
    const QVector<Xy> written = pathPoints(d.pathData[0]);
    QCOMPARE(written.size(), open.size());
    for (int i = 0; i < open.size(); ++i) {
        // The generator writes six significant digits.
        QVERIFY(std::fabs(written[i].x - open.ref(i)[0]) < 1e-4);
        QVERIFY(std::fabs(written[i].y - open.ref(i)[1]) < 1e-4);
    }
    static const QRegularExpression flip(QStringLiteral(
        "matrix\\(\\s*1\\s*,\\s*0\\s*,\\s*0\\s*,\\s*-1\\s*,\\s*0\\s*,\\s*0\\s*\\)"));
    QVERIFY2(flip.match(d.pathTransforms[0]).hasMatch(), qPrintable(d.pathTransforms[0]));
    // The view box is the drawing box with y turned down: x from its left, width its width.
    const QStringList box = d.viewBox.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QCOMPARE(box.size(), 4);
    const QRectF expected = MechanismSvgExport(fb.mechanism).drawingBox();
    QVERIFY(std::fabs(box[0].toDouble() - expected.left()) < 1e-3);
    QVERIFY(std::fabs(box[1].toDouble() + expected.bottom()) < 1e-3);
    QVERIFY(std::fabs(box[2].toDouble() - expected.width()) < 1e-3);
    // The default workspace 20 x 10 centred on the origin lies inside it.
    QVERIFY(expected.contains(QRectF(-10.0, -5.0, 20.0, 10.0)));
    QVERIFY(expected.contains(MechanismSvgExport(fb.mechanism).contentBox()));
}

void MechanismSvgExportTest::pivotsArePlacedAtTheMechanismsCurrentInput() {
    FourBar fb;
    QVERIFY(fb.build(4.0, 1.0, 3.5, 3.0, 60.0));
    // Turn the crank to 150 degrees; the output pivot then sits where the circles meet.
    fb.mechanism.setCircuitOpen();
    fb.mechanism.analyze(150.0);
    QVERIFY(fb.mechanism.isLastStepValid());
    const Xy m1{std::cos(150.0 * pi / 180.0), std::sin(150.0 * pi / 180.0)};
    Xy m2;
    QVERIFY(meetLeft(m1, 3.5, fb.o2, 3.0, m2));
    Drawing d;
    QVERIFY(readSvg(MechanismSvgExport(fb.mechanism).svg(), d));
    for (Xy p : {fb.o1, fb.o2, m1, m2})
        QVERIFY2(hasEllipseAt(d, p, 1e-3), qPrintable(QStringLiteral("%1 %2").arg(p.x).arg(p.y)));
    // The assembled pivot (at 60 degrees) is not drawn any more.
    QVERIFY(!hasEllipseAt(d, fb.m1, 1e-2));
}

void MechanismSvgExportTest::positionsAreNumberedFrames() {
    FourBar fb;
    QVERIFY(fb.build(4.0, 1.0, 3.5, 3.0, 60.0));
    Motion motion;
    const double poses[3][3] = {{-2.0, 1.0, 0.0}, {0.5, 3.0, 0.7}, {3.0, -1.5, -1.2}};
    for (const auto &p : poses) {
        motion.currentPose = Point(p[0], p[1], p[2]);
        motion.currentImage = toImage(motion.currentPose);
        motion.addPosition();
    }
    MechanismSvgExport exporter(fb.mechanism);
    exporter.setTask(motion);
    Drawing d;
    QVERIFY(readSvg(exporter.svg(), d));
    for (const auto &p : poses)
        QVERIFY(hasEllipseAt(d, {p[0], p[1]}, 1e-3));
    for (const char *label : {"1", "2", "3"})
        QVERIFY(d.texts.contains(QLatin1String(label)));
    QVERIFY(!d.texts.contains(QLatin1String("4")));
}

void MechanismSvgExportTest::scaleBarIsARoundLength_data() {
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("length");
    QTest::newRow("default workspace with margins") << 22.0 << 2.0;
    QTest::newRow("exactly five tens") << 50.0 << 10.0;
    QTest::newRow("just under a five") << 24.9 << 2.0;
    QTest::newRow("a five") << 25.0 << 5.0;
    QTest::newRow("small") << 0.3 << 0.05;
    QTest::newRow("large") << 1200.0 << 200.0;
}

void MechanismSvgExportTest::scaleBarIsARoundLength() {
    QFETCH(double, width);
    QFETCH(double, length);
    QVERIFY(std::fabs(MechanismSvgExport::scaleBarLength(width) - length) < 1e-12 * length);
}

void MechanismSvgExportTest::scaleBarCarriesTheWorkspaceUnit() {
    FourBar fb;
    QVERIFY(fb.build(4.0, 1.0, 3.5, 3.0, 60.0));
    MechanismSvgExport exporter(fb.mechanism);
    exporter.setWorkspace(20.0, 10.0);
    exporter.setUnitLetter('m');
    Drawing d;
    QVERIFY(readSvg(exporter.svg(), d));
    // 20 wide plus 5 % of it on each side: 22, a fifth of it 4.4, so the bar is 2 long; and
    // for 100 wide, 110 and 22: 20.
    QVERIFY2(d.texts.contains(QLatin1String("2 m")), qPrintable(d.texts.join('|')));
    exporter.setUnitLetter('i');
    exporter.setWorkspace(100.0, 40.0);
    Drawing inches;
    QVERIFY(readSvg(exporter.svg(), inches));
    QVERIFY2(inches.texts.contains(QLatin1String("20 in")), qPrintable(inches.texts.join('|')));
}

void MechanismSvgExportTest::emptyMechanismDrawsNoCurve() {
    Mechanism empty;
    Drawing d;
    QVERIFY(readSvg(MechanismSvgExport(empty).svg(), d));
    QCOMPARE(d.pathData.size(), 0);
    QVERIFY(d.texts.contains(QLatin1String("No mechanism")));
}

void MechanismSvgExportTest::writesTheFileOrReportsThatItCannot() {
    FourBar fb;
    QVERIFY(fb.build(4.0, 1.0, 3.5, 3.0, 60.0));
    const MechanismSvgExport exporter(fb.mechanism);
    QTemporaryDir dir;
    const QString path = dir.filePath("mechanism.svg");
    QVERIFY(exporter.write(path));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    Drawing d;
    QVERIFY(readSvg(f.readAll(), d));
    QCOMPARE(d.pathData.size(), 2);
    const QString nowhere = dir.filePath("missing folder/mechanism.svg");
    QVERIFY(!exporter.write(nowhere));
    QVERIFY(!QFile::exists(nowhere));
}

MS_REGISTER_TEST(MechanismSvgExportTest)
#include "MechanismSvgExportTest.moc"
