// The three dyad parameter files, line by line, from dyads whose numbers the test knows.
#include "Branch.h"
#include "Dyad.h"
#include "KnownMechanisms.h"
#include "MechanismSynthesis.h"
#include "Motion.h"
#include "ProcessValues.h"
#include "RR.h"
#include "TextFileWriter.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>
#include "TestSupport.h"
#include <cmath>
#include <sstream>

namespace {
std::string g6(double v) {
    std::ostringstream out;
    out << v;
    return out.str();
}

QByteArray fileText(const char *name) { return known::fileText(QString::fromLatin1(name)); }

const char *const rrNames[5] = {"Fixed Pivot x co-ordinate wrt fixed frame",
                                "Fixed Pivot y co-ordinate wrt fixed frame",
                                "Moving Pivot x co-ordinate wrt Moving frame",
                                "Moving Pivot y co-ordinate wrt Moving frame", "Radius"};

// One RR block: kind, empty line, [pose x, pose y,] five values, the order line, five names.
std::string rrBlock(const double values[5], const double *pose) {
    std::string b = "RR\n\n";
    if (pose)
        b += g6(pose[0]) + "\n" + g6(pose[1]) + "\n";
    for (int k = 0; k < 5; ++k)
        b += g6(values[k]) + "\n";
    b += "\n where above values are in order\n\n";
    for (const char *n : rrNames)
        b += std::string(n) + "\n";
    return b + "\n";
}

std::vector<bool> states(std::initializer_list<bool> l) { return std::vector<bool>(l); }
} // namespace

class DyadFilesTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void emptyListsGiveEmptyFilesAndNoMechanismItsNote();
    void allSynthesizedDyadsAfterARun();
    void chosenDyadsCarryTheirPoseAndDrawnDyadsReferToTheCouplerPose();
    void aFileThatCannotBeWrittenKeepsItsContentAndIsAnnounced();
};

void DyadFilesTest::init() {
    for (const char *f : {"dyad parameters.txt", "synthesized dyad parameters.txt",
                          "user input dyad parameters.txt"})
        QFile::remove(QString::fromLatin1(f));
}

void DyadFilesTest::emptyListsGiveEmptyFilesAndNoMechanismItsNote() {
    Branch b;
    QVERIFY(b.printallsynthesizeddyads());
    QCOMPARE(fileText("dyad parameters.txt"), QByteArray());
    b.createDyad(std::make_shared<RR>(Point(0.0, 0.0, 0.0), 0.0, 0.0, 1.0, 1.0, 0.0, 0));
    QVERIFY(b.printdyads().isEmpty());  // every state false, no mechanism
    QCOMPARE(fileText("synthesized dyad parameters.txt"), QByteArray());
    QCOMPARE(fileText("user input dyad parameters.txt"), QByteArray(" No Mechanism set "));
}

void DyadFilesTest::allSynthesizedDyadsAfterARun() {
    const known::RevoluteSide &in = known::crankSide, &out = known::rockerSide;
    known::Session rig(known::crankRockerPoses(5, 0.25));
    rig.engine.synthesize();
    QCOMPARE(rig.branch.synthesizedDyadCount(), 2);
    std::string want;
    for (Dyad *d : rig.branch.getDyadListCpy()) {
        const known::RevoluteSide &s = std::fabs(d->fixedPivotCopy().x() - 1.0) < 1e-6 ? in : out;
        const double values[5] = {s.fixedPivot.x, s.fixedPivot.y, s.movingLocal.x, s.movingLocal.y,
                                  s.radius};
        want += rrBlock(values, nullptr);
    }
    QCOMPARE(fileText("dyad parameters.txt"), QByteArray::fromStdString(want));
}

void DyadFilesTest::chosenDyadsCarryTheirPoseAndDrawnDyadsReferToTheCouplerPose() {
    Branch b;
    const Point pose0(0.5, 1.5, 30.0);
    // Two synthesized dyads; only the second is chosen.
    b.createDyad(std::make_shared<RR>(pose0, 0.0, 0.0, 1.0, 1.0, 0.0, 0));
    b.createDyad(std::make_shared<RR>(pose0, 4.0, 0.0, 2.0, 2.0, -0.5, 0));
    b.setcurrentdyadstate(states({false, true}), states({}), states({}));
    // Drawn dyads: the moving frame at (0, 1, 0 deg), then two RRs (crank-rocker 4, 1, 3.5, 3).
    b.settodraw(0);
    b.createUserDyad(0.0, 1.0, 0.0, 0.0, 0.0);
    b.settodraw(1);
    const double c = 3.5, r = 3.0, dx = 4.0, dy = -1.0, d = std::hypot(dx, dy);
    const double along = (c * c - r * r + d * d) / (2 * d), h = std::sqrt(c * c - along * along);
    const double mx = along * dx / d - h * dy / d, my = 1.0 + along * dy / d + h * dx / d;
    b.createUserDyad(0.0, 0.0, 0.0, 1.0, 0.0);
    b.createUserDyad(4.0, 0.0, mx, my, 0.0);
    QVERIFY(b.hasMechanism());
    QVERIFY(b.printdyads().isEmpty());

    const double chosen[5] = {4.0, 0.0, 2.0, -0.5, 2.0};
    const double poseXY[2] = {0.5, 1.5};
    // Radius of the chosen one: its moving pivot at pose0 against (4, 0), computed here.
    const double th = 30.0 * PI / 180.0;
    const double cx = 0.5 + std::cos(th) * 2.0 - std::sin(th) * -0.5;
    const double cy = 1.5 + std::sin(th) * 2.0 + std::cos(th) * -0.5;
    double withRadius[5];
    std::copy(chosen, chosen + 5, withRadius);
    withRadius[4] = std::hypot(cx - 4.0, cy);
    QCOMPARE(fileText("synthesized dyad parameters.txt"),
             QByteArray::fromStdString(rrBlock(withRadius, poseXY)));
    // The coupler point is the moving frame (0, 1, 0 deg): local = fixed-frame pivot - (0, 1).
    const double first[5] = {0.0, 0.0, 0.0, 0.0, 1.0};
    const double second[5] = {4.0, 0.0, mx, my - 1.0, 3.0};
    QCOMPARE(fileText("user input dyad parameters.txt"),
             QByteArray::fromStdString(rrBlock(first, nullptr) + rrBlock(second, nullptr)));
}

// Regression: a file that could not be written was skipped without a word. The window learns
// of it from the engine; the file keeps its content and no temporary is left beside it.
void DyadFilesTest::aFileThatCannotBeWrittenKeepsItsContentAndIsAnnounced() {
    const QString name = QStringLiteral("dyad parameters.txt");
    QVERIFY(known::writeFile(name, "earlier content\n"));
    QVERIFY(QFile::setPermissions(name, QFileDevice::ReadOwner));
    known::Session rig(known::crankRockerPoses(5, 0.25));
    QSignalSpy unwritten(&rig.engine, &MechanismSynthesis::outputFilesNotWritten);
    TextFileWriter::takeFailures();  // only this run's
    rig.engine.synthesize();
    QCOMPARE(rig.branch.synthesizedDyadCount(), 2);  // the result stands
    QCOMPARE(unwritten.count(), 1);
    QCOMPARE(unwritten.at(0).at(0).toString(), name + QStringLiteral(": the file is write-protected"));
    QCOMPARE(known::fileText(name), QByteArray("earlier content\n"));
    QVERIFY(QDir().entryList(QStringList{name + QStringLiteral(".*")}, QDir::Files).isEmpty());
    QVERIFY(QFile::setPermissions(name, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
}

MS_REGISTER_TEST(DyadFilesTest)
#include "DyadFilesTest.moc"
