// The SVG and DXF exports of a mechanism: well-formed XML, one <path> per coupler-curve piece in
// workspace units, the pivots and positions where they are, a scale bar in the workspace unit;
// a DXF that a CAD reader takes with one polyline per piece on its circuit's layer.
#include "MechanismDxfExport.h"
#include "MechanismSvgExport.h"
#include "RR.h"
#include "WindowTestSupport.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace {
// Ground (0, 0) -> (G, 0), input L1, coupler h, output L2 left of the input's moving pivot ->
// output pivot, as two user dyads; the moving frame 0.3 back from the coupler's middle, 0.7 left.
struct FourBar {
    known::RevoluteSide in, out;
    std::unique_ptr<RR> input, output;
    Mechanism mechanism;
    // The pose and moving pivots with the input at crankDeg, by the test's own kinematics.
    bool pivots(double crankDeg, known::Pose &pose, known::Vec &m1, known::Vec &m2) const {
        std::vector<known::Pose> p;
        if (!known::rrrrPoses(in, out, {crankDeg * pi / 180.0}, true, p))
            return false;
        pose = p[0];
        m1 = known::toFixed(pose, in.movingLocal);
        m2 = known::toFixed(pose, out.movingLocal);
        return true;
    }
    bool build(double G, double L1, double h, double L2, double crankDeg) {
        in = {{0.0, 0.0}, {0.3 - h / 2, -0.7}, L1};
        out = {{G, 0.0}, {0.3 + h / 2, -0.7}, L2};
        known::Pose p;
        known::Vec m1, m2;
        if (!pivots(crankDeg, p, m1, m2))
            return false;
        input = std::make_unique<RR>(0.0, 0.0, m1.x, m1.y, p.x, p.y, p.thetaDeg);
        output = std::make_unique<RR>(G, 0.0, m2.x, m2.y, p.x, p.y, p.thetaDeg);
        mechanism.setCouplerPose(Point(p.x, p.y, p.thetaDeg));
        mechanism.setDyads(input.get(), output.get());
        return true;
    }
};

// What the test reads back from the file: each path's data and enclosing group transform, the
// centres of round glyphs, the texts.
struct Drawing {
    QStringList pathData, pathTransforms, texts;
    QVector<known::Vec> roundCentres;
    bool read(const QByteArray &svg) {
        QXmlStreamReader xml(svg);
        QStringList transforms;  // of the open <g> elements, innermost last
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && xml.name() == QLatin1String("g"))
                transforms.removeLast();
            if (!xml.isStartElement())
                continue;
            const QStringView name = xml.name();
            const auto attrs = xml.attributes();
            if (name == QLatin1String("g"))
                transforms << attrs.value("transform").toString();
            if (name == QLatin1String("path")) {
                pathData << attrs.value("d").toString();
                pathTransforms << (transforms.isEmpty() ? QString() : transforms.last());
            }
            if (name == QLatin1String("ellipse") || name == QLatin1String("circle"))
                roundCentres.push_back(
                    {attrs.value("cx").toDouble(), attrs.value("cy").toDouble()});
            if (name == QLatin1String("text"))
                texts << xml.readElementText(QXmlStreamReader::IncludeChildElements).simplified();
        }
        return !xml.hasError();
    }
    bool hasRoundAt(known::Vec p, double tol) const {
        for (const known::Vec &c : roundCentres)
            if (std::hypot(c.x - p.x, c.y - p.y) < tol)
                return true;
        return false;
    }
};

// The coordinates of a path's data, in order.
QVector<known::Vec> pathPoints(const QString &d) {
    static const QRegularExpression number(
        QStringLiteral("-?[0-9]*\\.?[0-9]+(?:[eE][-+]?[0-9]+)?"));
    QVector<double> v;
    for (auto it = number.globalMatch(d); it.hasNext();)
        v << it.next().captured(0).toDouble();
    QVector<known::Vec> points;
    for (int i = 0; i + 1 < v.size(); i += 2)
        points.push_back({v[i], v[i + 1]});
    return points;
}

// The point lists of the entities of one kind ("lines", "circles", "polylines") on a layer.
QVector<QVector<known::Vec>> onLayer(const QJsonObject &dxf, const char *kind,
                                     const QString &layer) {
    QVector<QVector<known::Vec>> found;
    for (const QJsonValue &e : dxf[kind].toArray()) {
        if (e["layer"].toString() != layer)
            continue;
        found.push_back({});
        for (const QJsonValue &p : e["points"].toArray())
            found.back().push_back({p[0].toDouble(), p[1].toDouble()});
    }
    return found;
}

bool near(known::Vec a, known::Vec b, double tol = 1e-8) {
    return std::hypot(a.x - b.x, a.y - b.y) < tol;
}

// Whether a line starts at `from` and heads at angleDeg.
bool hasLineFrom(const QVector<QVector<known::Vec>> &lines, known::Vec from, double angleDeg) {
    for (const QVector<known::Vec> &l : lines) {
        const double heading = std::atan2(l[1].y - l[0].y, l[1].x - l[0].x) * 180.0 / pi;
        if (near(l[0], from) && std::fabs(std::remainder(heading - angleDeg, 360.0)) < 1e-6)
            return true;
    }
    return false;
}
} // namespace

class MechanismSvgExportTest : public QObject {
    Q_OBJECT
private slots:
    // The scale bar is the longest of 1, 2 or 5 times a power of ten that fits in a fifth of the
    // drawing's width (worked out by hand for each row).
    void scaleBarIsARoundLengthWithinAFifth_data() {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("bar");
        QTest::newRow("300: 50") << 300.0 << 50.0;
        QTest::newRow("110: 20") << 110.0 << 20.0;
        QTest::newRow("7: 1") << 7.0 << 1.0;
        QTest::newRow("0.3: 0.05") << 0.3 << 0.05;
    }
    void scaleBarIsARoundLengthWithinAFifth() {
        QFETCH(double, width);
        QFETCH(double, bar);
        QVERIFY(std::fabs(MechanismSvgExport::scaleBarLength(width) - bar) < 1e-12 * bar);
    }

    void isWellFormedXmlWithOnePathPerCurvePiece_data() {
        QTest::addColumn<QVector<double>>("bar");  // G, L1, h, L2, assembled crank angle
        QTest::addColumn<int>("pieces");
        // A crank turns fully: one piece per circuit.
        QTest::newRow("crank-rocker") << QVector<double>{4, 1, 3.5, 3, 60} << 2;
        // Swings 38.62 ... 78.58 and its mirror 281.42 ... 321.38: two runs per circuit.
        QTest::newRow("Grashof double rocker") << QVector<double>{4, 3, 1, 3.5, 60} << 4;
        // Swings through 0 (limits +-102.6): the sweep -5 ... 365 meets it twice per circuit.
        QTest::newRow("triple rocker") << QVector<double>{4, 3, 2.5, 3, 30} << 4;
    }
    void isWellFormedXmlWithOnePathPerCurvePiece() {
        QFETCH(QVector<double>, bar); QFETCH(int, pieces);
        FourBar fb;
        QVERIFY(fb.build(bar[0], bar[1], bar[2], bar[3], bar[4]));
        Drawing d;
        QVERIFY(d.read(MechanismSvgExport(fb.mechanism).svg()));
        QCOMPARE(d.pathData.size(), pieces);
        for (const QString &data : d.pathData)
            QVERIFY(pathPoints(data).size() > 10);
    }

    // Each row's drawing in metres and in inches as ezdxf reads it: no audit error, the unit in
    // the header, every layer declared, one polyline per piece holding the traced poses, the
    // pivots and links where the test's kinematics put them, two lines along each finite
    // position's axes, a ground mark hanging from each fixed pivot, all inside the extents.
    void dxfReadsBackInCadWithOnePolylinePerCurvePiece_data() {
        isWellFormedXmlWithOnePathPerCurvePiece_data();
    }
    void dxfReadsBackInCadWithOnePolylinePerCurvePiece() {
        QFETCH(QVector<double>, bar); QFETCH(int, pieces);
        FourBar fb;
        known::Pose pose;
        known::Vec m1, m2;
        QVERIFY(fb.build(bar[0], bar[1], bar[2], bar[3], bar[4]));
        QVERIFY(fb.pivots(bar[4], pose, m1, m2));
        const std::vector<Point> task = {
            {-2.0, 1.0, 30.0}, {0.5, 3.0, -80.0}, {std::nan(""), 0.0, 0.0}};
        MechanismSketch sketch(fb.mechanism);
        sketch.setPositions(task);
        QTemporaryDir dir;
        QJsonObject dxf;
        for (char unit : {'m', 'i'}) {
            sketch.setUnitLetter(unit);
            const QByteArray bytes = MechanismDxfExport(sketch).dxf();
            QVERIFY(!bytes.toLower().contains("nan") && !bytes.toLower().contains("inf"));
            QVERIFY(known::writeFile(dir.filePath("m.dxf"), bytes));
            QString why;
            dxf = known::readDxf(dir.filePath("m.dxf"), why);
            QVERIFY2(!dxf.isEmpty(), qPrintable("python3-ezdxf could not read it: " + why));
            QCOMPARE(dxf["errors"].toInt(), 0);
            QCOMPARE(dxf["acadver"].toString(), QStringLiteral("AC1009"));
            QCOMPARE(dxf["insunits"].toInt(), unit == 'i' ? 1 : 6);
        }
        const QVector<QVector<known::Vec>> open = onLayer(dxf, "polylines", "COUPLER_OPEN");
        QCOMPARE(open.size() + onLayer(dxf, "polylines", "COUPLER_CROSSED").size(), pieces);
        QCOMPARE(dxf["polylines"].toArray().size(), pieces);
        const PointList &first = fb.mechanism.openCurve(0);
        QCOMPARE(open[0].size(), first.size());
        for (int i = 0; i < first.size(); ++i)
            QVERIFY(near(open[0][i], {first.ref(i)[0], first.ref(i)[1]}));
        QVector<known::Vec> pivots;
        for (const auto &c : onLayer(dxf, "circles", "PIVOTS"))
            pivots << c[0];
        QCOMPARE(pivots.size(), 4);
        for (known::Vec p : {fb.in.fixedPivot, fb.out.fixedPivot, m1, m2})
            QVERIFY(std::any_of(pivots.begin(), pivots.end(),
                                [p](known::Vec c) { return near(c, p); }));
        const auto links = onLayer(dxf, "lines", "LINKS");
        const auto heading = [](known::Vec a, known::Vec b) {
            return std::atan2(b.y - a.y, b.x - a.x) * 180.0 / pi;
        };
        QVERIFY(hasLineFrom(links, fb.in.fixedPivot, heading(fb.in.fixedPivot, m1)));
        QVERIFY(hasLineFrom(links, fb.out.fixedPivot, heading(fb.out.fixedPivot, m2)));
        const auto frames = onLayer(dxf, "lines", "POSITIONS");
        QCOMPARE(frames.size(), 4);
        for (int i = 0; i < 2; ++i)
            QVERIFY(hasLineFrom(frames, {task[i][0], task[i][1]}, task[i][2]) &&
                    hasLineFrom(frames, {task[i][0], task[i][1]}, task[i][2] + 90.0));
        const auto ground = onLayer(dxf, "lines", "GROUND");
        for (known::Vec p : {fb.in.fixedPivot, fb.out.fixedPivot})
            QVERIFY(std::count_if(ground.begin(), ground.end(), [p](const auto &l) {
                        return near(l[0], p) || near(l[1], p);
                    }) == 2);
        const QJsonArray low = dxf["extmin"].toArray(), high = dxf["extmax"].toArray();
        const QStringList declared = dxf["layers"].toVariant().toStringList();
        for (const char *kind : {"lines", "circles", "polylines"}) {
            for (const QJsonValue &e : dxf[kind].toArray()) {
                const QString layer = e["layer"].toString();
                QVERIFY2(declared.contains(layer), qPrintable(layer));
                for (const QJsonValue &p : e["points"].toArray())
                    for (int k : {0, 1})
                        QVERIFY(p[k].toDouble() >= low[k].toDouble() &&
                                p[k].toDouble() <= high[k].toDouble());
            }
        }
    }

    // A pose the sweep could not place breaks the curve there, and a lone pose between two
    // gaps makes no line, so no drawing joins across a gap or holds a NaN.
    void curvesBreakAtPosesThatCouldNotBePlaced_data() {
        QTest::addColumn<QVector<double>>("xs");     // NaN or inf: a pose that could not be placed
        QTest::addColumn<QVector<double>>("drawn");  // the stretches drawn, NaN between two
        QTest::newRow("whole") << QVector<double>{0, 1, 2} << QVector<double>{0, 1, 2};
        QTest::newRow("gap in the middle")
            << QVector<double>{0, 1, NAN, 2, 3} << QVector<double>{0, 1, NAN, 2, 3};
        QTest::newRow("gaps at the ends, a lone pose")
            << QVector<double>{NAN, 0, 1, INFINITY, 2, NAN, NAN, 3, 4, NAN}
            << QVector<double>{0, 1, NAN, 3, 4};
        QTest::newRow("nothing placed") << QVector<double>{NAN, NAN} << QVector<double>{};
    }
    void curvesBreakAtPosesThatCouldNotBePlaced() {
        QFETCH(QVector<double>, xs);
        QFETCH(QVector<double>, drawn);
        PointList piece;
        for (double x : xs)
            piece.append(Point(x, 2.0 * x, 0.0));
        QVector<double> got;
        for (const std::vector<Vec2> &run : MechanismSketch::finiteRuns(piece)) {
            if (!got.isEmpty())
                got << NAN;
            for (const Vec2 &p : run) {
                QCOMPARE(p.y, 2.0 * p.x);
                got << p.x;
            }
        }
        QCOMPARE(got.size(), drawn.size());
        for (int i = 0; i < got.size(); ++i)
            QVERIFY(got[i] == drawn[i] || (std::isnan(got[i]) && std::isnan(drawn[i])));
    }

    // The crank-rocker turned to 150 degrees with a three-position task, written to a file in
    // inches on a 100 x 40 workspace: the curve's own numbers under a y-flipping group, the
    // pivots where the test's kinematics put them, numbered positions, a 20 in scale bar (a fifth
    // of 100 plus 5 % margins either side is 22).
    void fileHoldsCurvePivotsPositionsAndScaleBar() {
        FourBar fb;
        QVERIFY(fb.build(4.0, 1.0, 3.5, 3.0, 60.0));
        known::Pose assembled, turned;
        known::Vec m1At60, m2At60, m1, m2;
        QVERIFY(fb.pivots(60.0, assembled, m1At60, m2At60));
        QVERIFY(fb.pivots(150.0, turned, m1, m2));
        fb.mechanism.setCircuitOpen();
        fb.mechanism.analyze(150.0);
        QVERIFY(fb.mechanism.isLastStepValid());
        Motion motion;
        const double poses[3][3] = {{-2.0, 1.0, 0.0}, {0.5, 3.0, 0.7}, {3.0, -1.5, -1.2}};
        for (const auto &p : poses) {
            motion.currentPose = Point(p[0], p[1], p[2]);
            motion.currentImage = toImage(motion.currentPose);
            motion.addPosition();
        }
        MechanismSvgExport exporter(fb.mechanism);
        exporter.setTask(motion);
        exporter.setUnitLetter('i');
        exporter.setWorkspace(100.0, 40.0);
        QTemporaryDir dir;
        QVERIFY(exporter.write(dir.filePath("mechanism.svg")));
        QFile f(dir.filePath("mechanism.svg"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        Drawing d;
        QVERIFY(d.read(f.readAll()));
        QCOMPARE(d.pathData.size(), 2);
        const PointList &open = fb.mechanism.openCurve(0);
        const QVector<known::Vec> written = pathPoints(d.pathData[0]);
        QCOMPARE(written.size(), open.size());
        for (int i = 0; i < open.size(); ++i)  // the generator writes six significant digits
            QVERIFY(std::hypot(written[i].x - open.ref(i)[0], written[i].y - open.ref(i)[1]) <
                    1e-4);
        static const QRegularExpression flip(QStringLiteral(
            "matrix\\(\\s*1\\s*,\\s*0\\s*,\\s*0\\s*,\\s*-1\\s*,\\s*0\\s*,\\s*0\\s*\\)"));
        QVERIFY2(flip.match(d.pathTransforms[0]).hasMatch(), qPrintable(d.pathTransforms[0]));
        for (known::Vec p : {fb.in.fixedPivot, fb.out.fixedPivot, m1, m2})
            QVERIFY2(d.hasRoundAt(p, 1e-3), qPrintable(QStringLiteral("%1 %2").arg(p.x).arg(p.y)));
        QVERIFY(!d.hasRoundAt(m1At60, 1e-2));  // the assembled pivot is not drawn any more
        for (const auto &p : poses)
            QVERIFY(d.hasRoundAt({p[0], p[1]}, 1e-3));
        QVERIFY(d.texts.contains("1") && d.texts.contains("3") && !d.texts.contains("4"));
        QVERIFY2(d.texts.contains(QLatin1String("20 in")), qPrintable(d.texts.join('|')));
        // The caption names type, class and circuit; the crossed circuit renames it.
        const QString caption = "RRRR, " + fb.mechanism.className() + ", open circuit";
        QVERIFY2(d.texts.contains(caption), qPrintable(d.texts.join('|')));
        fb.mechanism.setCircuitCrossed();
        Drawing crossed;
        QVERIFY(crossed.read(exporter.svg()));
        QVERIFY(
            crossed.texts.contains(QString(caption).replace("open circuit", "crossed circuit")));
        QVERIFY(!crossed.texts.contains(caption));
        // A folder that does not exist gets no file; no mechanism draws a note and no curve.
        const QString nowhere = dir.filePath("missing folder/mechanism.svg");
        QVERIFY(!exporter.write(nowhere) && !QFile::exists(nowhere));
        Mechanism empty;
        Drawing none;
        QVERIFY(none.read(MechanismSvgExport(empty).svg()));
        QCOMPARE(none.pathData.size(), 0);
        QVERIFY(none.texts.contains(QLatin1String("No mechanism")));
    }
};

MS_REGISTER_TEST(MechanismSvgExportTest)
#include "MechanismSvgExportTest.moc"
