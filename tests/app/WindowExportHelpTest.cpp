// The export and help entries of the real main window: the File menu offers the two exports only
// while a mechanism exists (none at start, one after a demo, none after Reset), and the Help
// menu's entries open their dialogs.
#include "AboutDialog.h"
#include "Branch.h"
#include "ExportAndHelpCommands.h"
#include "HowToUseDialog.h"
#include "TestSupport.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QMenu>
#include <QtTest>
#include <memory>

using namespace wintest;

class WindowExportHelpTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void exportsAreInTheFileMenu();
    void exportsFollowTheMechanismThroughDemoAndReset();
    void aboutEntryOpensTheAboutDialog();
    void howToUseEntryOpensTheGuide();

private:
    QAction *svg() const { return rig->main().exportAndHelpCommands()->exportSvgAction(); }
    QAction *csv() const { return rig->main().exportAndHelpCommands()->exportCsvAction(); }
    std::unique_ptr<WindowRig> rig;
};

void WindowExportHelpTest::init() {
    MS_REQUIRE_GL();
    rig = std::make_unique<WindowRig>();
    QVERIFY(rig->exposed());
}

void WindowExportHelpTest::cleanup() { rig.reset(); }

void WindowExportHelpTest::exportsAreInTheFileMenu() {
    const QList<QAction *> file = rig->child<QMenu>("menuFile")->actions();
    QVERIFY(file.contains(svg()));
    QVERIFY(file.contains(csv()));
    QCOMPARE(svg()->text(), QString("Export Mechanism (SVG)"));
    QCOMPARE(csv()->text(), QString("Export Coupler Curve (CSV)"));
}

void WindowExportHelpTest::exportsFollowTheMechanismThroughDemoAndReset() {
    QVERIFY(!rig->main().dyadBranch()->hasMechanism());
    QVERIFY(!svg()->isEnabled());
    QVERIFY(!csv()->isEnabled());
    QVERIFY(rig->main().runDemoNamed("RRRR"));
    QVERIFY(rig->main().dyadBranch()->hasMechanism());
    QVERIFY(svg()->isEnabled());
    QVERIFY(csv()->isEnabled());
    rig->child<QAction>("action_Reset")->trigger();
    QVERIFY(!rig->main().dyadBranch()->hasMechanism());
    QVERIFY(!svg()->isEnabled());
    QVERIFY(!csv()->isEnabled());
}

void WindowExportHelpTest::aboutEntryOpensTheAboutDialog() {
    QVERIFY(rig->main().exportAndHelpCommands()->aboutDialog() == nullptr);
    rig->child<QAction>("actionAbout")->trigger();
    AboutDialog *about = rig->main().exportAndHelpCommands()->aboutDialog();
    QVERIFY(about != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(about));
    QVERIFY(about->isVisible());
    about->close();
    QVERIFY(!about->isVisible());
}

void WindowExportHelpTest::howToUseEntryOpensTheGuide() {
    QVERIFY(rig->main().exportAndHelpCommands()->howToUseDialog() == nullptr);
    rig->child<QAction>("actionHow_to_Use")->trigger();
    HowToUseDialog *guide = rig->main().exportAndHelpCommands()->howToUseDialog();
    QVERIFY(guide != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(guide));
    QVERIFY(guide->isVisible());
    guide->close();
    QVERIFY(!guide->isVisible());
}

MS_REGISTER_TEST(WindowExportHelpTest)
#include "WindowExportHelpTest.moc"
