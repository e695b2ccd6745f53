// Position files through the main window: the free layout of the numbers, both record forms, the
// conversion to the motion's radians and the view's degrees, every malformed file (rejected with a
// message before the task is touched), mouse input cut after a load, random positions and the
// mechanism file.
#include "WindowTestSupport.h"

namespace {
// The pose (x, y, theta in radians) of motion position i, back from its image.
Point motionPose(const Motion &m, int i) { return toCartesian(m.positions().ref(i)); }
} // namespace

class PositionFileInputTest : public WindowTest {
    Q_OBJECT
public:
    PositionFileInputTest() : WindowTest(false) {}

private:
    QCheckBox *firstBox() const { return rig->child<QCheckBox>("checkBox_D1"); }

    // A synthesized five-position task, so that rejections can be seen to keep it.
    void loadSynthesizedTask() {
        QVERIFY(rig->load(crankRockerTask(5)));
        window->toSynthesize();
        QVERIFY(window->dyadBranch()->synthesizedDyadCount() >= 2);
        QVERIFY(firstBox()->isChecked());
    }

private slots:
    void wellFormedFileFillsBothCopiesOfTheTask_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<int>("recordSize");  // the form the caller expects
        QTest::addColumn<QVector<double>>("records");  // x, y, theta (degrees), parameter
        QTest::newRow("numbers spread freely") << QByteArray("3 0 0 0 1 1 45 2 0 90") << 3
                                               << QVector<double>{0, 0, 0, 0, 1, 1, 45, 0,
                                                                  2, 0, 90, 0};
        QTest::newRow("four numbers, known by the count")
            << QByteArray("2\n1 2 30 0.5\n3 4 60 0.75\n") << 3
            << QVector<double>{1, 2, 30, 0.5, 3, 4, 60, 0.75};
        QTest::newRow("three numbers under the four-number default")
            << QByteArray("2\n1 2 30\n3 4 -60\n") << 4
            << QVector<double>{1, 2, 30, 0, 3, 4, -60, 0};
    }
    void wellFormedFileFillsBothCopiesOfTheTask() {
        QFETCH(QByteArray, contents); QFETCH(int, recordSize); QFETCH(QVector<double>, records);
        QVERIFY(window->loadPositionFile(rig->dir().write("good.txt", contents), recordSize));
        const int n = records.size() / 4;
        const Motion &m = *window->task();
        QCOMPARE(m.size(), n);
        QCOMPARE(m.currentPositionIndex(), n - 1);
        const arma::mat &rows = window->synthesisEngine()->getData();
        QCOMPARE(int(rows.n_rows), n);
        const std::vector<Point> &shown = rig->view()->shownPositions();
        QCOMPARE(int(shown.size()), n);
        for (int i = 0; i < n; ++i) {
            const double *r = records.constData() + 4 * i;
            // The motion holds radians (through the readers' 3.141592653), the engine's rows and
            // the view the numbers of the file.
            const Point pose = motionPose(m, i);
            QVERIFY(std::fabs(pose[0] - r[0]) < 1e-12 && std::fabs(pose[1] - r[1]) < 1e-12);
            QVERIFY(std::fabs(pose[2] - r[2] * 3.141592653 / 180.0) < 1e-12);
            QCOMPARE(m.positions().ref(i).parameter, r[3]);
            for (int j = 0; j < 3; ++j)
                QCOMPARE(rows(i, j), r[j]);
            QVERIFY(std::fabs(shown[size_t(i)][0] - r[0]) < 1e-9);
            QVERIFY(std::fabs(shown[size_t(i)][1] - r[1]) < 1e-9);
            QVERIFY(std::fabs(shown[size_t(i)][2] - r[2]) < 1e-6);
        }
    }

    void countZeroEmptiesTheTask() {
        loadSynthesizedTask();
        QVERIFY(window->loadPositionFile(rig->dir().write("zero.txt", "0\n"), 3));
        QCOMPARE(window->task()->size(), 0);
        QCOMPARE(int(window->synthesisEngine()->getData().n_rows), 0);
        QCOMPARE(window->dyadBranch()->synthesizedDyadCount(), 0);
        QVERIFY(window->synthesisPanel()->dyadShownBy(0) == nullptr);
        QVERIFY(!firstBox()->isChecked());
        QVERIFY(window->acceptsMousePositions());
    }

    // The reader's own table has every malformed form; these show the window keeps its task.
    void malformedFileIsRejectedAndThePreviousTaskSurvives_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("mentions");  // part of the message naming the problem
        QTest::newRow("count not a number") << QByteArray("five\n0 0 0\n") << "count";
        QTest::newRow("fewer records than the count") << QByteArray("3\n0 0 0\n1 1 1\n")
                                                     << "record 3";
        QTest::newRow("number that does not parse") << QByteArray("2\n0 0 0\n1 one 1\n")
                                                   << "record 2, y";
        QTest::newRow("infinite value") << QByteArray("2\n0 0 0\n1 1 inf\n") << "record 2, theta";
        QTest::newRow("empty file") << QByteArray("") << "empty";
        QTest::newRow("no such file") << QByteArray() << "Cannot open the file.";
    }
    void malformedFileIsRejectedAndThePreviousTaskSurvives() {
        QFETCH(QByteArray, contents); QFETCH(QString, mentions);
        loadSynthesizedTask();
        const arma::mat rowsBefore = window->synthesisEngine()->getData();
        const int dyadsBefore = window->dyadBranch()->synthesizedDyadCount();
        Dyad *firstDyad = window->dyadBranch()->dyadAt(0);
        const QString typeBefore = window->dyadBranch()->getMechanismType();
        const QString path = contents.isNull() ? rig->dir().filePath("no such file.txt")
                                               : rig->dir().write("bad.txt", contents);
        QSignalSpy changed(window, &Vendrel::dataChanged);

        StdoutCapture out;
        QVERIFY(!window->loadPositionFile(path, 3));
        const QString said = QString::fromLocal8Bit(out.text());
        QVERIFY2(said.contains(mentions), qPrintable(said));
        QVERIFY2(contents.isNull() || said.contains("bad.txt"), qPrintable(said));

        QCOMPARE(window->task()->size(), 5);
        QVERIFY(
            arma::approx_equal(window->synthesisEngine()->getData(), rowsBefore, "absdiff", 0.0));
        QCOMPARE(window->dyadBranch()->synthesizedDyadCount(), dyadsBefore);
        QCOMPARE(window->dyadBranch()->dyadAt(0), firstDyad);
        QCOMPARE(window->dyadBranch()->getMechanismType(), typeBefore);
        QCOMPARE(window->synthesisPanel()->dyadShownBy(0), firstDyad);
        QVERIFY(firstBox()->isChecked());
        QVERIFY(window->acceptsMousePositions());
        QCOMPARE(changed.count(), 0);
    }

    void randomPositionsFollowThePositionCommands_data() {
        QTest::addColumn<QString>("checked");  // the position command checked, if any
        QTest::addColumn<int>("n");
        QTest::newRow("neither") << QString() << 5;
        QTest::newRow("4 Position") << "action4_Position" << 4;
        QTest::newRow("3 Position") << "action3_Position" << 3;
    }
    void randomPositionsFollowThePositionCommands() {
        QFETCH(QString, checked); QFETCH(int, n);
        if (!checked.isEmpty())
            rig->act(qPrintable(checked))->setChecked(true);
        QSignalSpy done = runsOf(*window);
        rig->act("actionRandom_Positions")->trigger();
        QCOMPARE(window->task()->size(), n);
        const arma::mat &rows = window->synthesisEngine()->getData();
        QCOMPARE(int(rows.n_rows), n);
        for (int i = 0; i < n; ++i) {
            // Whole numbers in [-10, 10) x [-5, 5) for the default 20 x 10 workspace, whole
            // degrees within one turn.
            const double x = rows(i, 0), y = rows(i, 1), t = rows(i, 2);
            QVERIFY(x == std::floor(x) && y == std::floor(y) && t == std::floor(t));
            QVERIFY(x >= -10.0 && x < 10.0 && y >= -5.0 && y < 5.0 && t > -180.0 && t <= 180.0);
            const Point pose = motionPose(*window->task(), i);
            QVERIFY(std::fabs(pose[0] - x) < 1e-9 && std::fabs(pose[1] - y) < 1e-9);
        }
        QCOMPARE(done.count(), n == 5 ? 1 : 0);
        QVERIFY(window->acceptsMousePositions());
    }

    void mechanismFileBuildsTwoDrawnRRDyads() {
        // A crank-rocker: pivots (0, 0)-(1, 0) and (4, 0)-(4, 3) (ground 4, crank 1, coupler
        // sqrt(18), rocker 3); the moving frame at (2, 1).
        const QString path =
            rig->dir().write("mech.txt", "RR\n0 0 1 0 2 1\nRR\n(4, 0) (4, 3) (2, 1)\n");
        QVERIFY(window->loadMechanismFile(path));
        const std::vector<Dyad *> drawn = window->dyadBranch()->getUserInputDyadsCpy();
        QCOMPARE(int(drawn.size()), 2);
        const double pivots[2][4] = {{0, 0, 1, 0}, {4, 0, 4, 3}};
        for (int k = 0; k < 2; ++k) {
            QCOMPARE(drawn[k]->typeName(), QString("RR"));
            const Point f = drawn[k]->fixedPivotCopy(), m = drawn[k]->movingPivotCopy();
            QVERIFY(std::fabs(f[0] - pivots[k][0]) < 1e-12 &&
                    std::fabs(f[1] - pivots[k][1]) < 1e-12);
            QVERIFY(std::fabs(m[0] - pivots[k][2]) < 1e-12 &&
                    std::fabs(m[1] - pivots[k][3]) < 1e-12);
        }
        QCOMPARE(window->dyadBranch()->getMechanism()->typeName(), QString("RRRR"));
        const Point frame = window->dyadBranch()->getMechanismMFPoint();
        QVERIFY(std::fabs(frame[0] - 2.0) < 1e-9 && std::fabs(frame[1] - 1.0) < 1e-9);
        QVERIFY(window->acceptsMousePositions());  // a mechanism file leaves mouse input alone
    }

    void malformedMechanismFileIsRejected_data() {
        QTest::addColumn<QByteArray>("contents"); QTest::addColumn<QString>("mentions");
        QTest::newRow("no record") << QByteArray("PR\n0 0 1 0 2 1\n") << "no \"RR\" record";
        QTest::newRow("five numbers") << QByteArray("RR\n0 0 1 0 2\n") << "record 1";
        QTest::newRow("cut by the next record") << QByteArray("RR\n0 0 1 0 2 1\nRR\n4 0 4\nRR\n")
                                                << "record 2";
        QTest::newRow("a word among the numbers") << QByteArray("RR\n0 0 one 0 2 1\n") << "'one'";
        QTest::newRow("infinite") << QByteArray("RR\n0 0 1 inf 2 1\n") << "'inf'";
    }
    void malformedMechanismFileIsRejected() {
        QFETCH(QByteArray, contents); QFETCH(QString, mentions);
        loadSynthesizedTask();
        const int dyadsBefore = window->dyadBranch()->synthesizedDyadCount();
        StdoutCapture out;
        QVERIFY(!window->loadMechanismFile(rig->dir().write("badmech.txt", contents)));
        const QString said = QString::fromLocal8Bit(out.text());
        QVERIFY2(said.contains(mentions), qPrintable(said));
        QCOMPARE(window->dyadBranch()->synthesizedDyadCount(), dyadsBefore);
        QCOMPARE(int(window->dyadBranch()->getUserInputDyadsCpy().size()), 0);
        QCOMPARE(window->task()->size(), 5);
    }
};

MS_REGISTER_TEST(PositionFileInputTest)
#include "PositionFileInputTest.moc"
