// The export and help commands: the exports are offered only while the branch holds a
// mechanism, write what the exporters write, and the help entries open their dialogs.
#include "AboutDialog.h"
#include "Branch.h"
#include "ExportAndHelpCommands.h"
#include "HowToUseDialog.h"
#include "Mechanism.h"
#include "Motion.h"
#include "RR.h"
#include "TestSupport.h"

#include <QAction>
#include <QFile>
#include <QMainWindow>
#include <QMenu>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>
#include <cmath>
#include <memory>

namespace {
// Crank-rocker: ground (0, 0) -> (4, 0), crank 1 at 90 degrees, coupler 3.5, rocker 3; the
// output pivot (4 - 3 cos a, 3 sin a) solves |M2 - (0, 1)| = 3.5, worked out in formPair.
void formPair(Branch &branch) {
    // |(4 - 3c, 3s - 1)|^2 = 12.25  <=>  16 - 24c + 9 + 1 - 6s = 12.25  <=>  24c + 6s = 13.75
    double a = 1.0;
    for (int i = 0; i < 60; ++i)   // Newton on f(a) = 24 cos a + 6 sin a - 13.75
        a -= (24.0 * std::cos(a) + 6.0 * std::sin(a) - 13.75) /
             (-24.0 * std::sin(a) + 6.0 * std::cos(a));
    const double m2x = 4.0 - 3.0 * std::cos(a), m2y = 3.0 * std::sin(a);
    const Point pose(1.5, 2.5, 10.0);
    branch.createDyad(std::make_shared<RR>(0.0, 0.0, 0.0, 1.0, pose[0], pose[1], pose[2]));
    branch.createDyad(std::make_shared<RR>(4.0, 0.0, m2x, m2y, pose[0], pose[1], pose[2]));
    branch.setupPointList({pose});
    branch.setcurrentdyadstate({true, true}, {false, false, false, false}, {});
}

bool wellFormed(const QByteArray &bytes, int &paths) {
    QXmlStreamReader xml(bytes);
    paths = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("path"))
            ++paths;
    }
    return !xml.hasError();
}

QByteArray contents(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class ExportAndHelpCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void exportsAreOfferedOnlyWhileAMechanismExists();
    void exportEntriesSitInTheFileMenuBeforeExit();
    void exportsWriteTheMechanismAndItsCurve();
    void exportsWithoutAMechanismWriteNothing();
    void helpEntriesOpenTheirDialogs();

private:
    std::unique_ptr<QMainWindow> window;
    std::unique_ptr<Branch> branch;
    std::unique_ptr<Motion> motion;
    ExportAndHelpCommands *commands = nullptr;   // owned by the window
    QMenu *fileMenu = nullptr;                   // owned by the window
    QAction *exitEntry = nullptr;
    QAction *aboutEntry = nullptr;
    QAction *howToEntry = nullptr;
};

void ExportAndHelpCommandsTest::init() {
    window = std::make_unique<QMainWindow>();
    branch = std::make_unique<Branch>();
    motion = std::make_unique<Motion>();
    fileMenu = new QMenu(QStringLiteral("File"), window.get());
    fileMenu->addAction(QStringLiteral("Save Screenshot"));
    exitEntry = fileMenu->addAction(QStringLiteral("Exit"));
    aboutEntry = new QAction(QStringLiteral("About"), window.get());
    howToEntry = new QAction(QStringLiteral("How to Use"), window.get());
    commands = new ExportAndHelpCommands(window.get(), branch.get(), motion.get());
    commands->install(fileMenu, exitEntry, aboutEntry, howToEntry);
}

void ExportAndHelpCommandsTest::cleanup() {
    window.reset();
    branch.reset();
    motion.reset();
}

void ExportAndHelpCommandsTest::exportsAreOfferedOnlyWhileAMechanismExists() {
    QVERIFY(!commands->exportSvgAction()->isEnabled());
    QVERIFY(!commands->exportCsvAction()->isEnabled());
    formPair(*branch);
    QVERIFY(branch->hasMechanism());
    QVERIFY(commands->exportSvgAction()->isEnabled());
    QVERIFY(commands->exportCsvAction()->isEnabled());
    branch->clearBranch();
    QVERIFY(!commands->exportSvgAction()->isEnabled());
    QVERIFY(!commands->exportCsvAction()->isEnabled());
}

void ExportAndHelpCommandsTest::exportEntriesSitInTheFileMenuBeforeExit() {
    QStringList texts;
    for (const QAction *a : fileMenu->actions())
        texts << a->text();
    QCOMPARE(texts, (QStringList{"Save Screenshot", "Export Mechanism (SVG)",
                                 "Export Coupler Curve (CSV)", "Exit"}));
}

void ExportAndHelpCommandsTest::exportsWriteTheMechanismAndItsCurve() {
    formPair(*branch);
    QTemporaryDir dir;
    const QString svg = dir.filePath("m.svg"), csv = dir.filePath("c.csv");
    QVERIFY(commands->exportMechanismSvgTo(svg));
    QVERIFY(commands->exportCouplerCurveCsvTo(csv));
    int paths = 0;
    QVERIFY(wellFormed(contents(svg), paths));
    // A crank-rocker's crank turns fully on both circuits: one curve piece each.
    QCOMPARE(paths, 2);
    const QList<QByteArray> lines = contents(csv).split('\n');
    QCOMPARE(lines.first(), QByteArray("circuit,input,x,y,theta"));
    // 371 poses per circuit (-5 ... 365 degrees), a header, and the empty piece after the last
    // newline.
    QCOMPARE(lines.size(), 1 + 2 * 371 + 1);
}

void ExportAndHelpCommandsTest::exportsWithoutAMechanismWriteNothing() {
    QTemporaryDir dir;
    const QString svg = dir.filePath("m.svg"), csv = dir.filePath("c.csv");
    QVERIFY(!commands->exportMechanismSvgTo(svg));
    QVERIFY(!commands->exportCouplerCurveCsvTo(csv));
    QVERIFY(!QFile::exists(svg));
    QVERIFY(!QFile::exists(csv));
    // The menu commands do nothing either (no file dialog opens while they are disabled).
    commands->exportSvgAction()->trigger();
    commands->exportCsvAction()->trigger();
}

void ExportAndHelpCommandsTest::helpEntriesOpenTheirDialogs() {
    QVERIFY(commands->aboutDialog() == nullptr);
    aboutEntry->trigger();
    QVERIFY(commands->aboutDialog() != nullptr);
    QVERIFY(commands->aboutDialog()->isVisible());
    QCOMPARE(commands->aboutDialog()->parentWidget(), window.get());
    howToEntry->trigger();
    QVERIFY(commands->howToUseDialog() != nullptr);
    QVERIFY(commands->howToUseDialog()->isVisible());
    // A second trigger shows the same dialog again rather than a new one.
    AboutDialog *first = commands->aboutDialog();
    commands->aboutDialog()->close();
    aboutEntry->trigger();
    QCOMPARE(commands->aboutDialog(), first);
    QVERIFY(first->isVisible());
}

MS_REGISTER_TEST(ExportAndHelpCommandsTest)
#include "ExportAndHelpCommandsTest.moc"
