// The whole road of one synthesis for every demonstration: the Demo entry loads its task, the
// fit runs, the panel ticks the first two dyads, the branch forms the mechanism the entry is
// named after from the dyads of the mechanism the task was made with, and "Start" animates it.
#include "AppTestHelpers.h"
#include "Branch.h"
#include "Dyad.h"
#include "MechGLWidget.h"
#include "Mechanism.h"
#include "MechanismSynthesis.h"
#include "Motion.h"
#include "ScopedWorkingDirectory.h"
#include "StdoutCapture.h"
#include "Synthesis_Widget.h"
#include "TestSupport.h"
#include "Vendrel.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <memory>

namespace demoroad {

// What a demonstration's first two dyads must be, from the mechanism its task was made with
// (tools/make_demos.py): an RR or RP by its fixed pivot, a PR by a point of its ground line.
struct Expected {
    QString kind;
    double x, y;
};

} // namespace demoroad

Q_DECLARE_METATYPE(demoroad::Expected)

namespace {

using demoroad::Expected;

const QStringList demoFiles = {"RRRR.txt", "RRRP.txt", "RRPR.txt", "PRRP.txt", "PRPR.txt",
                               "Design Challenge.txt"};

QString demoSource() { return QStringLiteral(MS_SOURCE_DIR "/demo"); }

bool insideWorkspace(const Point &p) { return std::fabs(p[0]) <= 10.0 && std::fabs(p[1]) <= 5.0; }

// The distance of (x, y) from a PR dyad's ground line a1 x + a2 y + a3 = 0.
double distanceFromGroundLine(const Dyad &d, double x, double y) {
    return std::fabs(d.parameter1() * x + d.parameter2() * y + d.parameter3()) /
           std::hypot(d.parameter1(), d.parameter2());
}

} // namespace

class DemoRoadTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void demoEntryFormsItsNamedMechanism_data();
    void demoEntryFormsItsNamedMechanism();
    void startAnimatesEveryDemoThroughAUsefulRange_data();
    void startAnimatesEveryDemoThroughAUsefulRange();
    void designChallengeIsMetOnlyApproximately();
    void runDemoReadsTheRRRRFileUnderItsFourNumberDefault();
    void demoIsFoundInTheFolderNextToTheExecutable();
    void missingDemoSaysItCannotOpenTheFile();

private:
    std::unique_ptr<ScopedWorkingDirectory> workdir;
    std::unique_ptr<Vendrel> window;
};

void DemoRoadTest::init() {
    MS_REQUIRE_GL();
    registerAppResources();
    workdir = std::make_unique<ScopedWorkingDirectory>();
    workdir->copyFrom(demoSource(), demoFiles);
    window = std::make_unique<Vendrel>();
}

void DemoRoadTest::cleanup() {
    window.reset();
    workdir.reset();
}

void DemoRoadTest::demoEntryFormsItsNamedMechanism_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("type");
    QTest::addColumn<Expected>("first");
    QTest::addColumn<Expected>("second");
    QTest::newRow("RRRR") << "actionRRRR" << "RRRR" << Expected{"RR", -4, -2}
                          << Expected{"RR", 3, -2};
    QTest::newRow("RRRP") << "actionRRRP" << "RRRP" << Expected{"RR", -3, 0}
                          << Expected{"RP", 3, 0};
    QTest::newRow("RRPR") << "actionRRPR" << "RRPR" << Expected{"RR", -4, 0}
                          << Expected{"PR", 0, -1};
    QTest::newRow("PRRP") << "actionPRRP" << "PRRP" << Expected{"PR", -4, -2}
                          << Expected{"RP", 0, 2};
    // Every point of a trammel's moving circle slides on a line through the slides' meeting
    // point (0, -2): both dyads' lines must pass through it.
    QTest::newRow("PRPR") << "actionPRPR" << "PRPR" << Expected{"PR", 0, -2}
                          << Expected{"PR", 0, -2};
}

void DemoRoadTest::demoEntryFormsItsNamedMechanism() {
    QFETCH(QString, action);
    QFETCH(QString, type);
    QFETCH(Expected, first);
    QFETCH(Expected, second);
    QSignalSpy done(window->synthesisEngine(),
                    QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    part<QAction>(window.get(), qPrintable(action))->trigger();
    QCOMPARE(done.count(), 1);
    QCOMPARE(window->task()->size(), 5);

    Branch *branch = window->dyadBranch();
    QCOMPARE(branch->getMechanismType(), type);
    QVERIFY(branch->hasMechanism());
    QCOMPARE(branch->getMechanism()->typeName(), type);
    QVERIFY(part<QCheckBox>(window.get(), "checkBox_D1")->isChecked());
    QVERIFY(part<QCheckBox>(window.get(), "checkBox_D2")->isChecked());
    QVERIFY(!part<QCheckBox>(window.get(), "checkBox_D3")->isChecked());
    QCOMPARE(part<QLabel>(window.get(), "label_Type_Of_Mechanism")->text(), type);

    const Expected expected[2] = {first, second};
    for (int k = 0; k < 2; ++k) {
        const Dyad &d = *branch->dyadAt(k);
        QCOMPARE(window->synthesisPanel()->dyadShownBy(k), branch->dyadAt(k));
        QCOMPARE(d.typeName(), expected[k].kind);
        if (d.typeName() == QLatin1String("PR")) {
            QVERIFY(distanceFromGroundLine(d, expected[k].x, expected[k].y) < 1e-3);
        } else {
            const Point f = d.fixedPivotCopy();
            QVERIFY2(std::hypot(f[0] - expected[k].x, f[1] - expected[k].y) < 1e-3,
                     qPrintable(QString("fixed pivot %1 %2").arg(f[0]).arg(f[1])));
        }
        QVERIFY(insideWorkspace(d.fixedPivotCopy()));
        QVERIFY(insideWorkspace(d.movingPivotCopy()));
    }
}

void DemoRoadTest::startAnimatesEveryDemoThroughAUsefulRange_data() {
    QTest::addColumn<QString>("action");
    for (const char *a : {"actionRRRR", "actionRRRP", "actionRRPR", "actionPRRP", "actionPRPR",
                          "actionDesign_Challenge"})
        QTest::newRow(a) << a;
}

void DemoRoadTest::startAnimatesEveryDemoThroughAUsefulRange() {
    QFETCH(QString, action);
    part<QAction>(window.get(), qPrintable(action))->trigger();
    Branch *branch = window->dyadBranch();
    QVERIFY(branch->hasCouplerPoint());
    Mechanism *m = branch->getMechanism();
    // RR links must keep their lengths while the mechanism moves.
    std::vector<std::pair<const Dyad *, double>> cranks;
    for (const Dyad *d : {m->getInputDyad(), m->getOutputDyad()})
        if (d->typeName() == QLatin1String("RR"))
            cranks.emplace_back(d, d->getLink().getLength());
    const Point start = branch->getMechanismMFPoint();

    MechGLWidget *view = part<MechGLWidget>(window.get(), "widget_Mech");
    part<QAction>(window.get(), "actionStart")->trigger();
    QVERIFY(view->isAnimating());
    double xMin = start[0], xMax = start[0], yMin = start[1], yMax = start[1];
    for (int tick = 0; tick < 360; ++tick) {
        view->animate();
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
             qPrintable(QString("the moving frame swept only %1 x %2").arg(xMax - xMin)
                            .arg(yMax - yMin)));
    part<QAction>(window.get(), "actionStop")->trigger();
    QVERIFY(!view->isAnimating());
    const Point back = branch->getMechanismMFPoint();
    QVERIFY(std::hypot(back[0] - start[0], back[1] - start[1]) < 1e-9);
}

void DemoRoadTest::designChallengeIsMetOnlyApproximately() {
    part<QAction>(window.get(), "actionDesign_Challenge")->trigger();
    QVERIFY(window->task()->size() >= 7);
    Branch *branch = window->dyadBranch();
    QCOMPARE(branch->getMechanismType(), QString("RRRR"));
    const FitResult &fit = window->synthesisEngine()->lastFit();
    QVERIFY(fit.realRoots.size() >= 2);
    // No dyad meets every position: each leaves a fitting error well above rounding.
    for (const FitResult::Root &r : fit.realRoots)
        QVERIFY(std::fabs(r.sfe) > 1e-8);
    // Yet the first two come close to the crank-rocker the poses were nudged from: crank about
    // (-4, -1) of radius 2, rocker about (4, -1) of radius 5, in the order the fit's roots come.
    const double expected[2][3] = {{-4, -1, 2}, {4, -1, 5}};
    const bool rockerFirst = branch->dyadAt(0)->fixedPivotCopy()[0] > 0.0;
    for (int k = 0; k < 2; ++k) {
        const Dyad &d = *branch->dyadAt(rockerFirst ? 1 - k : k);
        const Point f = d.fixedPivotCopy();
        QVERIFY(std::hypot(f[0] - expected[k][0], f[1] - expected[k][1]) < 0.3);
        QVERIFY(std::fabs(d.parameter5() - expected[k][2]) < 0.4);  // the radius
    }
}

void DemoRoadTest::runDemoReadsTheRRRRFileUnderItsFourNumberDefault() {
    QSignalSpy done(window->synthesisEngine(),
                    QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    part<QAction>(window.get(), "actionRun_Demo")->trigger();
    QCOMPARE(done.count(), 1);
    QCOMPARE(window->task()->size(), 5);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(window->task()->positions().ref(i).parameter, 0.0);
    QCOMPARE(window->dyadBranch()->getMechanismType(), QString("RRRR"));
    QCOMPARE(window->task()->currentPositionIndex(), 4);
    QVERIFY(!window->acceptsMousePositions());
}

void DemoRoadTest::demoIsFoundInTheFolderNextToTheExecutable() {
    ScopedWorkingDirectory elsewhere;  // a working directory without demonstration files
    const QString found = Vendrel::locateDemoFile("PRPR.txt", {elsewhere.path(), workdir->path()});
    QCOMPARE(found, workdir->filePath("PRPR.txt"));
    QCOMPARE(Vendrel::locateDemoFile("PRPR.txt", {workdir->path(), elsewhere.path()}), found);
    QCOMPARE(Vendrel::locateDemoFile("none.txt", {elsewhere.path()}), QString("none.txt"));
    const QStringList folders = Vendrel::demoFolders();
    QCOMPARE(folders.size(), 2);
    QCOMPARE(folders[0], elsewhere.path());
    QCOMPARE(folders[1], QCoreApplication::applicationDirPath() + "/demo");
}

void DemoRoadTest::missingDemoSaysItCannotOpenTheFile() {
    ScopedWorkingDirectory empty;
    QSignalSpy done(window->synthesisEngine(),
                    QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    StdoutCapture out;
    part<QAction>(window.get(), "actionRRRR")->trigger();
    QCOMPARE(out.text(), QByteArray("Cannot open the file.\n"));
    QCOMPARE(done.count(), 0);
    QCOMPARE(window->task()->size(), 0);
}

MS_REGISTER_TEST(DemoRoadTest)
#include "DemoRoadTest.moc"
