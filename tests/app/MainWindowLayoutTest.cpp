// Main window frame, as built: title, menus, tool bar, start states, docks and overlay editors.
#include "AppTestHelpers.h"
#include "ImageGLWidget.h"
#include "MechGLWidget.h"
#include "Synthesis_Widget.h"
#include "TestSupport.h"
#include "Vendrel.h"

#include <QCheckBox>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QtTest>
#include <memory>

namespace {
const QString SEP = "---";

// A menu's entries as texts: "---" for a separator, "[Title]" for a submenu.
QStringList entriesOf(const QList<QAction *> &actions) {
    QStringList out;
    for (const QAction *a : actions) {
        if (a->isSeparator())
            out << SEP;
        else if (a->menu())
            out << "[" + a->menu()->title() + "]";
        else
            out << a->text();
    }
    return out;
}

QMenu *menuTitled(QMenuBar *bar, const QString &path) {
    const QStringList parts = path.split(" > ");
    QList<QAction *> actions = bar->actions();
    QMenu *found = nullptr;
    for (const QString &title : parts) {
        found = nullptr;
        for (QAction *a : actions)
            if (a->menu() && a->menu()->title() == title)
                found = a->menu();
        if (!found)
            return nullptr;
        actions = found->actions();
    }
    return found;
}
} // namespace

class MainWindowLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void windowIsTitledMechanismSynthesis();
    void menuBarShowsItsMenusInOrder();
    void menuHoldsItsEntriesInOrder_data();
    void menuHoldsItsEntriesInOrder();
    void hiddenMenuEntriesStayInPlace();
    void toolBarHoldsItsCommandsInOrder();
    void actionStartsInItsStatedState_data();
    void actionStartsInItsStatedState();
    void actionCarriesItsToolTip_data();
    void actionCarriesItsToolTip();
    void saveDyadsAnswersCtrlS();
    void everyToolBarCommandHasAVisibleIcon();
    void toolBarIsWhiteFixedAndShowsIconsAt24Pixels();
    void menuBarIsWhiteAndStatusBarHidden();
    void splitterHoldsCartesianViewThenImageSpaceView();
    void docksStartHidden();
    void bottomDockHoldsThePanelWithoutTitle();
    void solutionTableHasFourCentredDyadColumns();
    void synthesisToolsShowTheValuesTheEngineUses();
    void overlayEditorsStartHiddenWithTheirRanges_data();
    void overlayEditorsStartHiddenWithTheirRanges();

private:
    std::unique_ptr<Vendrel> window;
    QAction *act(const char *name) const { return part<QAction>(window.get(), name); }
};

void MainWindowLayoutTest::initTestCase() {
    MS_REQUIRE_GL();
    registerAppResources();
}

void MainWindowLayoutTest::init() {
    window = std::make_unique<Vendrel>();
}

void MainWindowLayoutTest::cleanup() {
    window.reset();
}

void MainWindowLayoutTest::windowIsTitledMechanismSynthesis() {
    QCOMPARE(window->windowTitle(), QString("Mechanism Synthesis"));
    QCOMPARE(window->objectName(), QString("VendrelClass"));
    QCOMPARE(window->windowModality(), Qt::WindowModal);
}

void MainWindowLayoutTest::menuBarShowsItsMenusInOrder() {
    const QStringList expected = {"[File]",      "[Edit]",     "[View]", "[Mode]",
                                  "[Mechanism]", "[Settings]", "[Help]", "[Demo]"};
    QCOMPARE(entriesOf(window->menuBar()->actions()), expected);
}

void MainWindowLayoutTest::menuHoldsItsEntriesInOrder_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("File") << "File"
                          << QStringList{SEP, "Read Positions", "Read Mechanism", "Save Dyads",
                                         "Save Screenshot", "Export Mechanism (SVG)",
                                         "Export Coupler Curve (CSV)", "Exit"};
    QTest::newRow("Edit") << "Edit" << QStringList{};
    QTest::newRow("View") << "View"
                          << QStringList{"Reset View", SEP, "Dimension Toggle",
                                         "Image Space Toggle", "Show Animation in Image Space",
                                         "Show/hide InterPolation", "[Toolbars]",
                                         "Background Image"};
    QTest::newRow("View > Toolbars")
        << "View > Toolbars" << QStringList{"Synthesis", "Analysis", "Mechanism", "Wokrspace"};
    QTest::newRow("Mode") << "Mode"
                          << QStringList{"Synthesis", "Analysis", "Animation", SEP,
                                         "SmartSynthesis", "4 Position", "3 Position"};
    QTest::newRow("Mechanism") << "Mechanism"
                               << QStringList{SEP, "Start", "Pause", "Stop", "[Select Circuit]",
                                              "Swap Input Dyad"};
    QTest::newRow("Mechanism > Select Circuit")
        << "Mechanism > Select Circuit" << QStringList{SEP, "Open", "Crossed"};
    QTest::newRow("Settings") << "Settings"
                              << QStringList{"[Input Method]", "WorkSpace", "Synthesis Tools"};
    QTest::newRow("Settings > Input Method")
        << "Settings > Input Method"
        << QStringList{"Click and Drag to Input", "Click to Plot"};
    QTest::newRow("Help") << "Help" << QStringList{"About", "How to Use", "Run Demo"};
    QTest::newRow("Demo") << "Demo"
                          << QStringList{"RRRR", "RRRP", "RRPR", "PRRP", "PRPR",
                                         "Design Challenge"};
}

void MainWindowLayoutTest::menuHoldsItsEntriesInOrder() {
    QFETCH(QString, menu);
    QFETCH(QStringList, entries);
    QMenu *m = menuTitled(window->menuBar(), menu);
    QVERIFY2(m != nullptr, qPrintable("no menu " + menu));
    QCOMPARE(entriesOf(m->actions()), entries);
}

void MainWindowLayoutTest::hiddenMenuEntriesStayInPlace() {
    // "Read Mechanism" is in the File menu but not offered; Pause waits for Start.
    QVERIFY(!act("actionRead_Mechanism")->isVisible());
    QVERIFY(!act("actionPause")->isVisible());
    QVERIFY(!act("actionCrossed")->isVisible());
    QVERIFY(act("actionStart")->isVisible());
    QVERIFY(act("actionOpen")->isVisible());
}

void MainWindowLayoutTest::toolBarHoldsItsCommandsInOrder() {
    const QStringList expected = {
        "Reset", "Read Positions", "Read Mechanism", "Save Dyads", SEP,
        "Input Positions", "Edit Positions", "Synthesize", SEP,
        "Input Mechanism", "Edit Mechanism", "RRselect", "PRselect", "RPselect", "MFselect", SEP,
        "Swap Input Dyad", "Crossed", "Open", SEP,
        "Start", "Pause", "Stop", "Pan", "Zoom", SEP,
        "Toggle Grid", SEP,
        "SmartSynthesis", "Solution Selector", "4 Position", "Line Input", "Position Input",
        "3 Position", "Arbitary Positions", "Settings"};
    const QList<QToolBar *> bars = window->findChildren<QToolBar *>();
    QCOMPARE(bars.size(), 1);
    QCOMPARE(window->toolBarArea(bars.first()), Qt::TopToolBarArea);
    QCOMPARE(entriesOf(bars.first()->actions()), expected);
}

void MainWindowLayoutTest::actionStartsInItsStatedState_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("checkable");
    QTest::addColumn<bool>("checked");
    const auto row = [](const char *name, bool visible, bool enabled, bool checkable,
                        bool checked) {
        QTest::newRow(name) << QString(name) << visible << enabled << checkable << checked;
    };
    // Tool bar commands, in tool bar order.
    row("action_Reset", true, true, false, false);
    row("actionRead_File", true, true, false, false);
    row("actionRead_Mechanism", false, true, false, false);
    row("actionSave_dyads", true, true, false, false);
    row("actionInput_Positions", true, true, true, true);
    row("actionPositionEdit", true, true, true, false);
    row("actionSynthesize", true, true, false, false);
    row("actionInput_Mechanism", true, true, true, false);
    row("actionEdit_Mechanism", true, true, true, false);
    row("actionRRselect", true, true, true, false);
    row("actionPRselect", true, true, true, false);
    row("actionRPselect", true, true, true, false);
    row("actionMFselect", true, true, true, false);
    row("actionSwap_Input_Dyad", true, true, false, false);
    row("actionCrossed", false, false, false, false);
    row("actionOpen", true, true, false, false);
    row("actionStart", true, true, true, false);
    row("actionPause", false, false, true, false);
    row("actionStop", true, true, false, false);
    row("actionPan", true, true, true, false);
    row("actionZoom", true, true, true, false);
    row("actionToggle_Grid", true, true, false, false);
    row("actionSmartSynthesis", true, true, true, false);
    row("aSol_Selector", false, false, false, false);
    row("action4_Position", true, true, true, false);
    row("actionLine_Input", false, true, true, true);
    row("action4Position_Input", false, true, true, false);
    row("action3_Position", true, true, true, false);
    row("actionRandom_Positions", true, true, false, false);
    row("actionSettings", true, true, false, false);
    // Menu-only commands with a state.
    row("actionDimension", true, true, true, false);
    row("actionShowImg", true, true, true, false);
    row("actionShow_Animation_in_Image_Space", true, true, true, false);
    row("actionShow_hide_InterPolation", true, true, true, false);
    row("actionSynthesis_Tools", true, true, true, false);
    row("actionClick_to_Plot", true, true, true, false);
    row("actionClick_and_Drag_to_Input", true, true, true, false);
    row("Synthesistt", true, true, true, true);
    row("Analysistt", true, true, true, true);
    row("Mechanismtt", true, true, true, true);
    row("Wokrspacett", true, true, true, true);
    row("modeSynthesis", true, true, true, true);
    row("modeAnalysis", true, true, true, true);
    row("modeAnimation", true, true, true, true);
    row("actionWorkSpace", true, true, false, false);
    row("actionRun_Demo", true, true, false, false);
}

void MainWindowLayoutTest::actionStartsInItsStatedState() {
    QFETCH(QString, name);
    QFETCH(bool, visible);
    QFETCH(bool, enabled);
    QFETCH(bool, checkable);
    QFETCH(bool, checked);
    QAction *a = window->findChild<QAction *>(name);
    QVERIFY2(a != nullptr, qPrintable("no action " + name));
    QCOMPARE(a->isVisible(), visible);
    // A hidden action also reads as disabled; whether it is disabled in its own right shows once
    // something makes it visible.
    a->setVisible(true);
    QCOMPARE(a->isEnabled(), enabled);
    QCOMPARE(a->isCheckable(), checkable);
    QCOMPARE(a->isChecked(), checked);
}

void MainWindowLayoutTest::actionCarriesItsToolTip_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("read positions")
        << "actionRead_File" << "Read Positions" << "Read Position data from text file";
    QTest::newRow("read mechanism")
        << "actionRead_Mechanism" << "Read Mechanism" << "Read mechanism data from text file.";
    QTest::newRow("save dyads") << "actionSave_dyads" << "Save Dyads" << "Save";
    QTest::newRow("dimension")
        << "actionDimension" << "Dimension Toggle" << "Persistent Dimension Toggle";
    QTest::newRow("animation in image space")
        << "actionShow_Animation_in_Image_Space" << "Show Animation in Image Space"
        << "Show Animation of Coupler Point in Image Space";
    QTest::newRow("input positions")
        << "actionInput_Positions" << "Input Positions" << "Input Location and Angle";
    QTest::newRow("edit positions")
        << "actionPositionEdit" << "Edit Positions" << "Edit Location and Orientation";
    QTest::newRow("edit mechanism")
        << "actionEdit_Mechanism" << "Edit Mechanism" << "Edit Existing Mechanism";
    QTest::newRow("pan") << "actionPan" << "Pan" << "Pan";
    QTest::newRow("zoom") << "actionZoom" << "Zoom" << "Zoom";
    QTest::newRow("RR") << "actionRRselect" << "RRselect" << "Circle Constraint";
    QTest::newRow("PR") << "actionPRselect" << "PRselect" << "Fixed Line Constraint";
    QTest::newRow("RP") << "actionRPselect" << "RPselect" << "Floating Line Constraint";
    QTest::newRow("open") << "actionOpen" << "Open" << "Toggle Circuit (Current : Crossed)";
    QTest::newRow("crossed") << "actionCrossed" << "Crossed" << "Toggle Circuit (Current : Open)";
    QTest::newRow("smart synthesis")
        << "actionSmartSynthesis" << "SmartSynthesis" << "Tolerance based synthesis";
    QTest::newRow("settings") << "actionSettings" << "Settings" << "Settings";
    QTest::newRow("workspace") << "actionWorkSpace" << "WorkSpace" << "Adjust worspace parameters";
}

void MainWindowLayoutTest::actionCarriesItsToolTip() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, toolTip);
    const QAction *a = window->findChild<QAction *>(name);
    QVERIFY2(a != nullptr, qPrintable("no action " + name));
    QCOMPARE(a->text(), text);
    QCOMPARE(a->toolTip(), toolTip);
}

void MainWindowLayoutTest::saveDyadsAnswersCtrlS() {
    QCOMPARE(act("actionSave_dyads")->shortcut(), QKeySequence("Ctrl+S"));
}

void MainWindowLayoutTest::everyToolBarCommandHasAVisibleIcon() {
    for (const QAction *a : part<QToolBar>(window.get(), "mainToolBar")->actions()) {
        if (a->isSeparator())
            continue;
        QVERIFY2(!a->icon().isNull(), qPrintable("no icon for " + a->text()));
        // An icon whose file is missing from the bundle renders to nothing: look for ink.
        const QImage img = a->icon().pixmap(24, 24).toImage();
        QCOMPARE(img.size(), QSize(24, 24));
        int inked = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (img.pixelColor(x, y).alpha() > 128)
                    ++inked;
        QVERIFY2(inked > 20, qPrintable("empty icon for " + a->text()));
    }
}

void MainWindowLayoutTest::toolBarIsWhiteFixedAndShowsIconsAt24Pixels() {
    QVERIFY(!part<QToolBar>(window.get(), "mainToolBar")->isMovable());
    QCOMPARE(part<QToolBar>(window.get(), "mainToolBar")->styleSheet(), QString("background-color: white;"));
    QCOMPARE(part<QToolBar>(window.get(), "mainToolBar")->iconSize(), QSize(24, 24));
    QCOMPARE(window->styleSheet(), QString("QToolBar { qproperty-iconSize: 24px 24px; }"));
}

void MainWindowLayoutTest::menuBarIsWhiteAndStatusBarHidden() {
    const QString sheet = window->menuBar()->styleSheet();
    QVERIFY(sheet.contains("background-color: white;"));
    QVERIFY(sheet.endsWith("QMenuBar::item::selected{ background-color: white;} "));
    QVERIFY(window->statusBar()->isHidden());
    QCOMPARE(window->statusBar()->styleSheet(),
             QString("QStatusBar{ border: 1px solid black; border-radius: 1px;} "));
}

void MainWindowLayoutTest::splitterHoldsCartesianViewThenImageSpaceView() {
    const QSplitter *splitter = part<QSplitter>(window.get(), "splitter");
    QCOMPARE(splitter->parentWidget(), window->centralWidget());
    QCOMPARE(splitter->orientation(), Qt::Horizontal);
    QCOMPARE(splitter->handleWidth(), 6);
    QCOMPARE(splitter->lineWidth(), 0);
    QCOMPARE(splitter->count(), 2);
    const auto *mech = qobject_cast<MechGLWidget *>(splitter->widget(0));
    QVERIFY(mech != nullptr);
    QCOMPARE(mech->objectName(), QString("widget_Mech"));
    QCOMPARE(mech->cursor().shape(), Qt::CrossCursor);
    QVERIFY(mech->hasMouseTracking());
    QCOMPARE(mech->focusPolicy(), Qt::ClickFocus);
    const auto *image = qobject_cast<ImageGLWidget *>(splitter->widget(1));
    QVERIFY(image != nullptr);
    QCOMPARE(image->objectName(), QString("widget_Image"));
    QVERIFY(image->isHidden());
    const auto *grid = qobject_cast<QGridLayout *>(window->centralWidget()->layout());
    QVERIFY(grid != nullptr);
    QCOMPARE(grid->spacing(), 6);
    QCOMPARE(grid->contentsMargins(), QMargins(11, 11, 11, 11));
}

void MainWindowLayoutTest::docksStartHidden() {
    window->show();
    QCOMPARE(part<QDockWidget>(window.get(), "dockWidget")->windowTitle(), QString("Solution Filter"));
    QCOMPARE(part<QDockWidget>(window.get(), "SynthesisToolsWidget")->windowTitle(), QString("Synthesis Tools"));
    QCOMPARE(window->dockWidgetArea(part<QDockWidget>(window.get(), "dockWidget")), Qt::RightDockWidgetArea);
    QCOMPARE(window->dockWidgetArea(part<QDockWidget>(window.get(), "SynthesisToolsWidget")), Qt::RightDockWidgetArea);
    QVERIFY(!part<QDockWidget>(window.get(), "dockWidget")->isVisible());
    QVERIFY(!part<QDockWidget>(window.get(), "SynthesisToolsWidget")->isVisible());
    QVERIFY(!part<QWidget>(window.get(), "widget_Image")->isVisible());
    QVERIFY(part<QWidget>(window.get(), "widget_Mech")->isVisible());
    QVERIFY(part<QDockWidget>(window.get(), "dock_synthesis_widget")->isVisible());
}

void MainWindowLayoutTest::bottomDockHoldsThePanelWithoutTitle() {
    QDockWidget *dock = part<QDockWidget>(window.get(), "dock_synthesis_widget");
    QCOMPARE(window->dockWidgetArea(dock), Qt::BottomDockWidgetArea);
    QVERIFY(!dock->isFloating());
    QCOMPARE(dock->minimumHeight(), 65);
    QVERIFY(qobject_cast<Synthesis_Widget *>(dock->widget()) != nullptr);
    QCOMPARE(dock->widget(), window->synthesisPanel());
    // The replacement title bar is an empty widget: nothing to read, nothing to click.
    const QWidget *title = dock->titleBarWidget();
    QVERIFY(title != nullptr);
    QVERIFY(title->children().isEmpty());
}

void MainWindowLayoutTest::solutionTableHasFourCentredDyadColumns() {
    const QTableWidget *table = part<QTableWidget>(window.get(), "SolutionWidget");
    QCOMPARE(table->columnCount(), 4);
    QCOMPARE(table->rowCount(), 0);
    QVERIFY(table->isSortingEnabled());
    for (int c = 0; c < 4; ++c) {
        const QTableWidgetItem *header = table->horizontalHeaderItem(c);
        QVERIFY(header != nullptr);
        QCOMPARE(header->text(), QString("Dyad %1").arg(c + 1));
        QCOMPARE(header->textAlignment(), int(Qt::AlignCenter));
    }
    QVERIFY(part<QLabel>(window.get(), "solutionFilterLabel")->isHidden());
    QVERIFY(part<QCheckBox>(window.get(), "solutionFilterCheckBox")->isHidden());
}

void MainWindowLayoutTest::synthesisToolsShowTheValuesTheEngineUses() {
    // The threshold box once showed -2 while the engine used 1e-5; it must show -5.
    QCOMPARE(part<QSpinBox>(window.get(), "Threshold")->value(), -5);
    QCOMPARE(part<QSpinBox>(window.get(), "Threshold")->minimum(), -20);
    QCOMPARE(part<QSpinBox>(window.get(), "Threshold")->maximum(), 0);
    QCOMPARE(part<QSpinBox>(window.get(), "linkRatio")->value(), 2);
    QVERIFY(part<QTextEdit>(window.get(), "outputtext")->isReadOnly());
    QCOMPARE(part<QLabel>(window.get(), "thresholdLabel")->text(), QString("Coefficient threshhold (to the power of 10):"));
    QCOMPARE(part<QLabel>(window.get(), "linkRatioLabel")->text(), QString("Maximum Link Length (x Workspace Width)"));
}

void MainWindowLayoutTest::overlayEditorsStartHiddenWithTheirRanges_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<bool>("hiddenAtStart");
    QTest::newRow("length") << "lengthspinBox" << -999999.0 << 999999.0 << true;
    QTest::newRow("link angle") << "linkAngleSpinBox" << -360.0 << 360.0 << true;
    QTest::newRow("fixed x") << "fpxSpinBox" << -999999.0 << 999999.0 << false;
    QTest::newRow("fixed y") << "fpySpinBox" << -999999.0 << 999999.0 << false;
    QTest::newRow("moving x") << "mpxSpinBox" << -999999.0 << 999999.0 << false;
    QTest::newRow("moving y") << "mpySpinBox" << -999999.0 << 999999.0 << false;
    QTest::newRow("theta") << "YspinBox" << -9999.0 << 9999.0 << false;
    QTest::newRow("orientation") << "angleSpinBox" << -360.0 << 360.0 << false;
}

void MainWindowLayoutTest::overlayEditorsStartHiddenWithTheirRanges() {
    QFETCH(QString, name);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(bool, hiddenAtStart);
    const auto *box = window->findChild<QDoubleSpinBox *>(name);
    QVERIFY2(box != nullptr, qPrintable("no spin box " + name));
    QCOMPARE(box->minimum(), minimum);
    QCOMPARE(box->maximum(), maximum);
    QCOMPARE(box->isHidden(), hiddenAtStart);
    // Both editors float over the Cartesian view and start hidden.
    QVERIFY(part<QWidget>(window.get(), "widget_Mech")->isAncestorOf(box));
    QVERIFY(part<QWidget>(window.get(), "editLinkDim")->isHidden());
    QVERIFY(part<QWidget>(window.get(), "editPointDim")->isHidden());
    QCOMPARE(part<QDoubleSpinBox>(window.get(), "XspinBox")->minimum(), -9999.0);
    QVERIFY(part<QLabel>(window.get(), "labelLength")->isHidden());
    QVERIFY(part<QLabel>(window.get(), "labelAngle")->isHidden());
}

MS_REGISTER_TEST(MainWindowLayoutTest)
#include "MainWindowLayoutTest.moc"
