// Position files through the main window: the free layout of the numbers, both record forms,
// the conversion to the motion's radians, every malformed file (rejected with a message before
// the task is touched), mouse input cut after a load, random positions and the mechanism file.
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
#include "TaskFixtures.h"
#include "TestSupport.h"
#include "Vendrel.h"

#include <QAction>
#include <QCheckBox>
#include <QSignalSpy>
#include <QtTest>
#include <cmath>
#include <memory>

namespace {
// The pose (x, y, theta in radians) of motion position i, back from its image.
Point motionPose(const Motion &m, int i) { return toCartesian(m.positions().ref(i)); }
} // namespace

class PositionFileInputTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void numbersMayBeSpreadOverLinesFreely();
    void oneRecordGivesRadiansToTheMotionAndDegreesToTheEngine();
    void countZeroEmptiesTheTaskAndKeepsMouseInputOff();
    void fourNumberRecordsAreRecognisedByTheirCount();
    void runDemoFormReadsThreeNumberRecords();
    void malformedFileIsRejectedAndThePreviousTaskSurvives_data();
    void malformedFileIsRejectedAndThePreviousTaskSurvives();
    void unopenableFileSaysSoAndChangesNothing();

    void viewCannotAddPositionsAfterALoadUntilReset();
    void randomPositionsFollowThePositionCommands_data();
    void randomPositionsFollowThePositionCommands();
    void testCommandLeavesAnEmptyTestingFile();

    void mechanismFileBuildsTwoDrawnRRDyads();
    void malformedMechanismFileIsRejected_data();
    void malformedMechanismFileIsRejected();

private:
    // A synthesized five-position task, so that rejections can be seen to keep it.
    void loadSynthesizedTask();

    std::unique_ptr<ScopedWorkingDirectory> workdir;
    std::unique_ptr<Vendrel> window;
};

void PositionFileInputTest::init() {
    MS_REQUIRE_GL();
    registerAppResources();
    workdir = std::make_unique<ScopedWorkingDirectory>();
    window = std::make_unique<Vendrel>();
}

void PositionFileInputTest::cleanup() {
    window.reset();
    workdir.reset();
}

void PositionFileInputTest::loadSynthesizedTask() {
    const QString path = workdir->write("good.txt", taskfix::taskText(taskfix::crankRockerTask(5)));
    QVERIFY(window->loadPositionFile(path, 3));
    window->toSynthesize();
    QVERIFY(window->dyadBranch()->synthesizedDyadCount() >= 2);
    QVERIFY(part<QCheckBox>(window.get(), "checkBox_D1")->isChecked());
}

void PositionFileInputTest::numbersMayBeSpreadOverLinesFreely() {
    const QString path = workdir->write("free.txt", "3 0 0 0 1 1 45 2 0 90");
    QVERIFY(window->loadPositionFile(path, 3));
    const Motion &m = *window->task();
    QCOMPARE(m.size(), 3);
    const double expected[3][3] = {{0, 0, 0}, {1, 1, 45}, {2, 0, 90}};
    const arma::mat &rows = window->synthesisEngine()->getData();
    for (int i = 0; i < 3; ++i) {
        const Point pose = motionPose(m, i);
        QVERIFY(std::fabs(pose[0] - expected[i][0]) < 1e-12);
        QVERIFY(std::fabs(pose[1] - expected[i][1]) < 1e-12);
        QVERIFY(std::fabs(pose[2] - expected[i][2] * 3.141592653 / 180.0) < 1e-12);
        for (int j = 0; j < 3; ++j)
            QCOMPARE(rows(i, j), expected[i][j]);
    }
    QCOMPARE(m.currentPositionIndex(), 2);
}

void PositionFileInputTest::oneRecordGivesRadiansToTheMotionAndDegreesToTheEngine() {
    const QString path = workdir->write("one.txt", "1\n1.5 -2 90\n");
    QVERIFY(window->loadPositionFile(path, 3));
    const Point pose = motionPose(*window->task(), 0);
    QVERIFY(std::fabs(pose[0] - 1.5) < 1e-12);
    QVERIFY(std::fabs(pose[1] + 2.0) < 1e-12);
    QVERIFY(std::fabs(pose[2] - 3.141592653 / 2.0) < 1e-12);
    QCOMPARE(window->synthesisEngine()->getData()(0, 2), 90.0);
    QCOMPARE(window->task()->positions().ref(0).parameter, 0.0);
}

void PositionFileInputTest::countZeroEmptiesTheTaskAndKeepsMouseInputOff() {
    loadSynthesizedTask();
    const QString path = workdir->write("zero.txt", "0\n");
    QVERIFY(window->loadPositionFile(path, 3));
    QCOMPARE(window->task()->size(), 0);
    QCOMPARE(int(window->synthesisEngine()->getData().n_rows), 0);
    QCOMPARE(window->dyadBranch()->synthesizedDyadCount(), 0);
    QVERIFY(window->synthesisPanel()->dyadShownBy(0) == nullptr);
    QVERIFY(!part<QCheckBox>(window.get(), "checkBox_D1")->isChecked());
    QVERIFY(!window->acceptsMousePositions());
}

void PositionFileInputTest::fourNumberRecordsAreRecognisedByTheirCount() {
    const QString path = workdir->write("timed.txt", "2\n1 2 30 0.5\n3 4 60 0.75\n");
    QVERIFY(window->loadPositionFile(path, 3));
    const Motion &m = *window->task();
    QCOMPARE(m.size(), 2);
    QCOMPARE(m.positions().ref(0).parameter, 0.5);
    QCOMPARE(m.positions().ref(1).parameter, 0.75);
    QCOMPARE(window->synthesisEngine()->getData()(1, 2), 60.0);
}

void PositionFileInputTest::runDemoFormReadsThreeNumberRecords() {
    const QString path = workdir->write("plain.txt", "2\n1 2 30\n3 4 60\n");
    QVERIFY(window->loadPositionFile(path, 4));
    QCOMPARE(window->task()->size(), 2);
    QCOMPARE(window->task()->positions().ref(1).parameter, 0.0);
    QCOMPARE(window->synthesisEngine()->getData()(1, 1), 4.0);
}

void PositionFileInputTest::malformedFileIsRejectedAndThePreviousTaskSurvives_data() {
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("mentions");  // part of the message naming the problem
    QTest::newRow("count not a number") << QByteArray("five\n0 0 0\n") << "count";
    QTest::newRow("count with decimals") << QByteArray("2.5\n0 0 0 1 1 1\n") << "count";
    QTest::newRow("negative count") << QByteArray("-2\n0 0 0\n") << "negative";
    QTest::newRow("absurd count") << QByteArray("100001\n0 0 0\n") << "100001";
    QTest::newRow("fewer records than the count") << QByteArray("3\n0 0 0\n1 1 1\n")
                                                 << "record 3";
    QTest::newRow("an incomplete record") << QByteArray("2\n0 0 0\n1 1\n") << "record 2";
    QTest::newRow("numbers left over") << QByteArray("1\n0 0 0 1 2\n") << "numbers";
    QTest::newRow("number that does not parse") << QByteArray("2\n0 0 0\n1 one 1\n")
                                               << "record 2, y";
    QTest::newRow("infinite value") << QByteArray("2\n0 0 0\n1 1 inf\n") << "record 2, theta";
    QTest::newRow("not a number value") << QByteArray("1\nnan 0 0\n") << "record 1, x";
    QTest::newRow("overflowing value") << QByteArray("1\n0 1e999 0\n") << "record 1, y";
    QTest::newRow("empty file") << QByteArray("") << "empty";
}

void PositionFileInputTest::malformedFileIsRejectedAndThePreviousTaskSurvives() {
    QFETCH(QByteArray, contents);
    QFETCH(QString, mentions);
    loadSynthesizedTask();
    const arma::mat rowsBefore = window->synthesisEngine()->getData();
    const int dyadsBefore = window->dyadBranch()->synthesizedDyadCount();
    Dyad *firstDyad = window->dyadBranch()->dyadAt(0);
    const QString typeBefore = window->dyadBranch()->getMechanismType();
    const bool mouseBefore = window->acceptsMousePositions();
    const QString path = workdir->write("bad.txt", contents);
    QSignalSpy changed(window.get(), &Vendrel::dataChanged);

    StdoutCapture out;
    QVERIFY(!window->loadPositionFile(path, 3));
    const QString said = QString::fromLocal8Bit(out.text());
    QVERIFY2(said.contains(mentions), qPrintable(said));
    QVERIFY2(said.contains("bad.txt"), qPrintable(said));

    QCOMPARE(window->task()->size(), 5);
    QVERIFY(arma::approx_equal(window->synthesisEngine()->getData(), rowsBefore, "absdiff", 0.0));
    QCOMPARE(window->dyadBranch()->synthesizedDyadCount(), dyadsBefore);
    QCOMPARE(window->dyadBranch()->dyadAt(0), firstDyad);
    QCOMPARE(window->dyadBranch()->getMechanismType(), typeBefore);
    QCOMPARE(window->synthesisPanel()->dyadShownBy(0), firstDyad);
    QVERIFY(part<QCheckBox>(window.get(), "checkBox_D1")->isChecked());
    QCOMPARE(window->acceptsMousePositions(), mouseBefore);
    QCOMPARE(changed.count(), 0);
}

void PositionFileInputTest::unopenableFileSaysSoAndChangesNothing() {
    loadSynthesizedTask();
    StdoutCapture out;
    QVERIFY(!window->loadPositionFile(workdir->filePath("no such file.txt"), 3));
    QVERIFY(!window->loadPositionFile(QString(), 3));  // a cancelled dialog gives no name
    QCOMPARE(out.text(), QByteArray("Cannot open the file.\nCannot open the file.\n"));
    QCOMPARE(window->task()->size(), 5);
}

// Fault: after a load the view kept adding mouse positions the task did not have.
void PositionFileInputTest::viewCannotAddPositionsAfterALoadUntilReset() {
    MechGLWidget *view = part<MechGLWidget>(window.get(), "widget_Mech");
    QVERIFY(window->acceptsMousePositions());
    emit view->positioninput(1.0, 1.0, 10.0, 0);
    QCOMPARE(window->task()->size(), 1);

    loadSynthesizedTask();
    QVERIFY(!window->acceptsMousePositions());
    emit view->positioninput(2.0, 2.0, 20.0, 0);
    QCOMPARE(window->task()->size(), 5);
    QCOMPARE(int(window->synthesisEngine()->getData().n_rows), 5);
    QCOMPARE(int(view->shownPositions().size()), 5);

    part<QAction>(window.get(), "action_Reset")->trigger();
    QVERIFY(window->acceptsMousePositions());
    emit view->positioninput(3.0, -1.0, 30.0, 0);
    QCOMPARE(window->task()->size(), 1);
    QCOMPARE(window->synthesisEngine()->getData()(0, 0), 3.0);
}

void PositionFileInputTest::randomPositionsFollowThePositionCommands_data() {
    QTest::addColumn<QString>("checked");  // the position command checked, if any
    QTest::addColumn<int>("n");
    QTest::newRow("neither") << QString() << 5;
    QTest::newRow("4 Position") << "action4_Position" << 4;
    QTest::newRow("3 Position") << "action3_Position" << 3;
}

void PositionFileInputTest::randomPositionsFollowThePositionCommands() {
    QFETCH(QString, checked);
    QFETCH(int, n);
    if (!checked.isEmpty())
        part<QAction>(window.get(), qPrintable(checked))->setChecked(true);
    QSignalSpy done(window->synthesisEngine(),
                    QOverload<int, int>::of(&MechanismSynthesis::synthesisdone));
    part<QAction>(window.get(), "actionRandom_Positions")->trigger();
    QCOMPARE(window->task()->size(), n);
    const arma::mat &rows = window->synthesisEngine()->getData();
    QCOMPARE(int(rows.n_rows), n);
    for (int i = 0; i < n; ++i) {
        // Whole numbers in [-10, 10) x [-5, 5) for the default 20 x 10 workspace, whole degrees.
        const double x = rows(i, 0), y = rows(i, 1), t = rows(i, 2);
        QCOMPARE(x, std::floor(x));
        QCOMPARE(y, std::floor(y));
        QCOMPARE(t, std::floor(t));
        QVERIFY(x >= -10.0 && x < 10.0);
        QVERIFY(y >= -5.0 && y < 5.0);
        QVERIFY(t >= 0.0 && t <= 32767.0);
        const Point pose = motionPose(*window->task(), i);
        QVERIFY(std::fabs(pose[0] - x) < 1e-9 && std::fabs(pose[1] - y) < 1e-9);
    }
    QCOMPARE(done.count(), n == 5 ? 1 : 0);
    QVERIFY(!window->acceptsMousePositions());
}

void PositionFileInputTest::testCommandLeavesAnEmptyTestingFile() {
    workdir->write("Testing.txt", "left over");
    window->Test();
    QFile f(workdir->filePath("Testing.txt"));
    QVERIFY(f.exists());
    QCOMPARE(f.size(), qint64(0));
}

void PositionFileInputTest::mechanismFileBuildsTwoDrawnRRDyads() {
    // A crank-rocker: pivots (0, 0)-(1, 0) and (4, 0)-(4, 3) (ground 4, crank 1, coupler
    // sqrt(18), rocker 3); the moving frame at (2, 1).
    const QString path = workdir->write("mech.txt", "RR\n0 0 1 0 2 1\nRR\n(4, 0) (4, 3) (2, 1)\n");
    QVERIFY(window->loadMechanismFile(path));
    const std::vector<Dyad *> drawn = window->dyadBranch()->getUserInputDyadsCpy();
    QCOMPARE(int(drawn.size()), 2);
    const double pivots[2][4] = {{0, 0, 1, 0}, {4, 0, 4, 3}};
    for (int k = 0; k < 2; ++k) {
        QCOMPARE(drawn[k]->typeName(), QString("RR"));
        const Point f = drawn[k]->fixedPivotCopy(), m = drawn[k]->movingPivotCopy();
        QVERIFY(std::fabs(f[0] - pivots[k][0]) < 1e-12 && std::fabs(f[1] - pivots[k][1]) < 1e-12);
        QVERIFY(std::fabs(m[0] - pivots[k][2]) < 1e-12 && std::fabs(m[1] - pivots[k][3]) < 1e-12);
    }
    QVERIFY(window->dyadBranch()->hasMechanism());
    QCOMPARE(window->dyadBranch()->getMechanism()->typeName(), QString("RRRR"));
    const Point frame = window->dyadBranch()->getMechanismMFPoint();
    QVERIFY(std::fabs(frame[0] - 2.0) < 1e-9 && std::fabs(frame[1] - 1.0) < 1e-9);
    QVERIFY(window->acceptsMousePositions());  // a mechanism file leaves mouse input alone
}

void PositionFileInputTest::malformedMechanismFileIsRejected_data() {
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("mentions");
    QTest::newRow("no record") << QByteArray("PR\n0 0 1 0 2 1\n") << "no \"RR\" record";
    QTest::newRow("five numbers") << QByteArray("RR\n0 0 1 0 2\n") << "record 1";
    QTest::newRow("cut by the next record") << QByteArray("RR\n0 0 1 0 2 1\nRR\n4 0 4\nRR\n")
                                            << "record 2";
    QTest::newRow("a word among the numbers") << QByteArray("RR\n0 0 one 0 2 1\n") << "'one'";
    QTest::newRow("infinite") << QByteArray("RR\n0 0 1 inf 2 1\n") << "'inf'";
}

void PositionFileInputTest::malformedMechanismFileIsRejected() {
    QFETCH(QByteArray, contents);
    QFETCH(QString, mentions);
    loadSynthesizedTask();
    const int dyadsBefore = window->dyadBranch()->synthesizedDyadCount();
    const QString path = workdir->write("badmech.txt", contents);
    StdoutCapture out;
    QVERIFY(!window->loadMechanismFile(path));
    const QString said = QString::fromLocal8Bit(out.text());
    QVERIFY2(said.contains(mentions), qPrintable(said));
    QCOMPARE(window->dyadBranch()->synthesizedDyadCount(), dyadsBefore);
    QCOMPARE(int(window->dyadBranch()->getUserInputDyadsCpy().size()), 0);
    QCOMPARE(window->task()->size(), 5);
}

MS_REGISTER_TEST(PositionFileInputTest)
#include "PositionFileInputTest.moc"
