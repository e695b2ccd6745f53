// The whole road of one synthesis for every demonstration: the Demo entry loads its task, the fit
// runs, the panel ticks the first two dyads, the branch forms the mechanism the entry is named
// after from the dyads of the mechanism the task was made with, and "Start" animates it.
#include "WindowTestSupport.h"

namespace demoroad {
// What a demonstration's first two dyads must be, from the mechanism its task was made with
// (tools/make_demos.py): an RR or RP by its fixed pivot (and radius for an RR, 0 to skip), a PR by
// a point of its ground line; within `tol`.
struct Expected {
    QString kind;
    double x, y, radius, tol;
};
} // namespace demoroad
Q_DECLARE_METATYPE(demoroad::Expected)
using demoroad::Expected;

namespace {
bool insideWorkspace(const Point &p) { return std::fabs(p[0]) <= 10.0 && std::fabs(p[1]) <= 5.0; }
} // namespace

class DemoRoadTest : public WindowTest {
    Q_OBJECT
public:
    DemoRoadTest() : WindowTest(false) {}

private slots:
    void demoEntryFormsAndAnimatesItsNamedMechanism_data() {
        QTest::addColumn<QString>("action"); QTest::addColumn<QString>("type");
        QTest::addColumn<int>("positions"); QTest::addColumn<Expected>("first");
        QTest::addColumn<Expected>("second");
        // Exactly met: the type names the dyads, first two letters and last two.
        const auto exact = [](const char *type, double x1, double y1, double x2, double y2) {
            QTest::newRow(type) << QString("action") + type << QString(type) << 5
                                << Expected{QString(type).left(2), x1, y1, 0, 1e-3}
                                << Expected{QString(type).right(2), x2, y2, 0, 1e-3};
        };
        exact("RRRR", -4, -2, 3, -2);
        exact("RRRP", -3, 0, 3, 0);
        exact("RRPR", -4, 0, 0, -1);
        exact("PRRP", -4, -2, 0, 2);
        // A trammel's moving circle slides on lines through the slides' meeting point (0, -2).
        exact("PRPR", 0, -2, 0, -2);
        // The challenge's poses were nudged off a crank-rocker (crank about (-4, -1) of radius 2,
        // rocker about (4, -1) of radius 5): no dyad meets them all, the first two come close.
        QTest::newRow("Design Challenge") << "actionDesign_Challenge" << "RRRR" << -7
                                          << Expected{"RR", -4, -1, 2, 0.4}
                                          << Expected{"RR", 4, -1, 5, 0.4};
        // Help > Run Demo reads the RRRR file under the four-number default.
        QTest::newRow("Run Demo") << "actionRun_Demo" << "RRRR" << 5
                                  << Expected{"RR", -4, -2, 0, 1e-3}
                                  << Expected{"RR", 3, -2, 0, 1e-3};
    }
    void demoEntryFormsAndAnimatesItsNamedMechanism() {
        QFETCH(QString, action); QFETCH(QString, type);
        QFETCH(int, positions);  // negative: at least that many, met only approximately
        QFETCH(Expected, first); QFETCH(Expected, second);
        Vendrel &w = rig->main();
        QSignalSpy done = runsOf(w);
        rig->act(qPrintable(action))->trigger();
        QCOMPARE(done.count(), 1);
        if (positions > 0)
            QCOMPARE(w.task()->size(), positions);
        QVERIFY(w.task()->size() >= std::abs(positions));
        for (int i = 0; i < w.task()->size(); ++i)
            QCOMPARE(w.task()->positions().ref(i).parameter, 0.0);
        QCOMPARE(w.task()->currentPositionIndex(), w.task()->size() - 1);
        QVERIFY(w.acceptsMousePositions());  // a loaded task takes clicked positions too
        for (const FitResult::Root &r : w.synthesisEngine()->lastFit().realRoots)
            QCOMPARE(std::fabs(r.sfe) > 1e-8, positions < 0);

        Branch *branch = w.dyadBranch();
        QCOMPARE(branch->getMechanismType(), type);
        QVERIFY(branch->hasMechanism());
        QCOMPARE(branch->getMechanism()->typeName(), type);
        QVERIFY(rig->child<QCheckBox>("checkBox_D1")->isChecked());
        QVERIFY(rig->child<QCheckBox>("checkBox_D2")->isChecked());
        QVERIFY(!rig->child<QCheckBox>("checkBox_D3")->isChecked());
        QCOMPARE(rig->child<QLabel>("label_Type_Of_Mechanism")->text(), type);
        // An approximate fit's roots come in no fixed order: the challenge's crank may be second.
        const Expected expected[2] = {first, second};
        const bool swapped = positions < 0 && branch->dyadAt(0)->fixedPivotCopy()[0] > 0.0;
        for (int k = 0; k < 2; ++k) {
            const Dyad &d = *branch->dyadAt(k);
            const Expected &e = expected[swapped ? 1 - k : k];
            QCOMPARE(w.synthesisPanel()->dyadShownBy(k), branch->dyadAt(k));
            QCOMPARE(d.typeName(), e.kind);
            const double ex = e.x, ey = e.y;
            if (d.typeName() == QLatin1String("PR")) {  // distance from a1 x + a2 y + a3 = 0
                QVERIFY(std::fabs(d.parameter1() * ex + d.parameter2() * ey + d.parameter3()) /
                            std::hypot(d.parameter1(), d.parameter2()) < e.tol);
            } else {
                const Point f = d.fixedPivotCopy();
                QVERIFY2(std::hypot(f[0] - ex, f[1] - ey) < e.tol,
                         qPrintable(QString("fixed pivot %1 %2").arg(f[0]).arg(f[1])));
            }
            if (e.radius > 0)
                QVERIFY(std::fabs(d.parameter5() - e.radius) < e.tol);
            QVERIFY(insideWorkspace(d.fixedPivotCopy()));
            QVERIFY(insideWorkspace(d.movingPivotCopy()));
        }
        // The view frames the task: every position on screen, and the task not shrunk to a dot
        // to make room for a slider's long coupler curve.
        QRectF seen;
        for (int i = 0; i < w.task()->size(); ++i) {
            const Pose p = poseOf(*w.task(), i);
            seen |= QRectF(rig->view()->worldToPixel(p.x, p.y), QSizeF(1.0, 1.0));
        }
        QVERIFY(rig->view()->rect().contains(seen.toRect()));
        QVERIFY2(std::max(seen.width(), seen.height()) >
                     0.2 * std::min(rig->view()->width(), rig->view()->height()),
                 qPrintable(QString("%1 x %2 pixels").arg(seen.width()).arg(seen.height())));

        // Start: the RR links keep their lengths while the moving frame sweeps a useful range; Stop
        // puts the mechanism back where it started.
        Mechanism *m = branch->getMechanism();
        std::vector<std::pair<const Dyad *, double>> cranks;
        for (const Dyad *d : {m->getInputDyad(), m->getOutputDyad()})
            if (d->typeName() == QLatin1String("RR"))
                cranks.emplace_back(d, d->getLink().getLength());
        const Point start = branch->getMechanismMFPoint();
        rig->act("actionStart")->trigger();
        QVERIFY(rig->view()->isAnimating());
        double xMin = start[0], xMax = start[0], yMin = start[1], yMax = start[1];
        for (int tick = 0; tick < 360; ++tick) {
            rig->view()->animate();
            const Point p = branch->getMechanismMFPoint();
            QVERIFY(std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]));
            xMin = std::min(xMin, p[0]);
            xMax = std::max(xMax, p[0]);
            yMin = std::min(yMin, p[1]);
            yMax = std::max(yMax, p[1]);
            for (const auto &c : cranks)
                QVERIFY(std::fabs(c.first->getLink().getLength() - c.second) < 1e-9);
        }
        QVERIFY2(std::hypot(xMax - xMin, yMax - yMin) > 1.0,
                 qPrintable(QString("swept only %1 x %2").arg(xMax - xMin).arg(yMax - yMin)));
        rig->act("actionStop")->trigger();
        QVERIFY(!rig->view()->isAnimating());
        const Point back = branch->getMechanismMFPoint();
        QVERIFY(std::hypot(back[0] - start[0], back[1] - start[1]) < 1e-9);
    }

    void demoIsFoundInTheFolderNextToTheExecutable() {
        ScopedWorkingDirectory elsewhere;  // a working directory without demonstration files
        const QString home = rig->dir().path();
        QCOMPARE(Vendrel::locateDemoFile("PRPR.txt", {elsewhere.path(), home}),
                 rig->dir().filePath("PRPR.txt"));
        QCOMPARE(Vendrel::locateDemoFile("PRPR.txt", {home, elsewhere.path()}),
                 rig->dir().filePath("PRPR.txt"));
        QCOMPARE(Vendrel::locateDemoFile("none.txt", {elsewhere.path()}), QString("none.txt"));
        const QString bin = QCoreApplication::applicationDirPath();
        QCOMPARE(Vendrel::demoFolders().mid(0, 3),
                 (QStringList{elsewhere.path(), bin + "/demo",
                              QFileInfo(bin).dir().absolutePath() + "/share/mechsynth/demo"}));
    }

    void missingDemoSaysItCannotOpenTheFile() {
        ScopedWorkingDirectory empty;
        QSignalSpy done = runsOf(rig->main());
        StdoutCapture out;
        rig->act("actionRRRR")->trigger();
        QCOMPARE(out.text(), QByteArray("Cannot open the file.\n"));
        QCOMPARE(done.count(), 0);
        QCOMPARE(rig->main().task()->size(), 0);
    }
};

MS_REGISTER_TEST(DemoRoadTest)
#include "DemoRoadTest.moc"
