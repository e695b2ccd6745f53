// The main window frame: its form, the interaction-mode group, the Start/Pause/Stop control and
// the small slots that need nothing beyond the window itself.
#include "Vendrel.h"

#include "Branch.h"
#include "DesignDocument.h"
#include "ExportAndHelpCommands.h"
#include "ImageGLWidget.h"
#include "MechGLWidget.h"
#include "MechanismSynthesis.h"
#include "MechanismTable.h"
#include "Motion.h"
#include "ProcessValues.h"
#include "Synthesis_Widget.h"
#include "ui_Vendrel.h"

#include <QActionGroup>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableWidget>
#include <QKeySequence>
#include <QProgressDialog>
#include <QGuiApplication>
#include <QPair>
#include <QScreen>
#include <QCloseEvent>
#include <QSplitter>
#include <QWidget>
#include <algorithm>
#include <cstdlib>

Vendrel::Vendrel(QWidget *parent, Qt::WindowFlags flags)
    : QMainWindow(parent, flags), ui(std::make_unique<Ui::VendrelClass>()) {
    ui->setupUi(this);
    connectFrameControls();
    createModels();
    createModeGroup();
    ui->widget_Image->hide();
    recordFrameWidths();
    applyStyleSheets();
    InitialConnection();
    connectModeActions();
    createStatusBar();
    createFitToTask();
    createMechanismsDock();
    // Has an effect only once a mechanism exists; kept so the tool bar starts as the circuit
    // commands leave it.
    setMechanismCircuitascrossed();
    ui->actionLine_Input->setVisible(false);
    ui->dockWidget->hide();
    showDimensions = false;
    ui->SynthesisToolsWidget->hide();
    placePanel();
    hideOverlayEditors();
    exportAndHelp = new ExportAndHelpCommands(this, branch.get(), motion.get());
    exportAndHelp->install(ui->menuFile, ui->action_Exit, ui->actionAbout, ui->actionHow_to_Use);
    document = new DesignDocument(*this);
    document->install(ui->menuFile, ui->actionRead_File, ui->menuEdit, ui->menuSettings);
}

// Members are released in the order the models depend on one another: the task first, then
// the branch and the engine, then the panel that observes them. The form's widgets go with the
// window itself.
Vendrel::~Vendrel() {
    // The document watches every event of the application and reads the models: it goes first.
    delete document;
    document = nullptr;
    // The views outlive these members (they go with the form): let them forget the models first.
    ui->widget_Mech->setMotion(nullptr);
    ui->widget_Mech->setAllDyad(nullptr);
    ui->widget_Image->setMotion(nullptr);
    ui->widget_Image->setAllDyad(nullptr);
    synthesis->setMotion(nullptr);
    synthesis->setBranch(nullptr);
    // Closing the window below hides its docks, and a hidden Mechanisms dock unticks its View
    // entry: by then the form is gone, so the entry must no longer reach this window.
    disconnect(ui->actionMechanisms, nullptr, this, nullptr);
    mechanisms.reset();
    motion.reset();
    branch.reset();
    synthesis.reset();
    panel.reset();
}

void Vendrel::createModels() {
    motion = std::make_unique<Motion>();
    ui->widget_Mech->setMotion(motion.get());
    branch = std::make_unique<Branch>();
    synthesis = std::make_unique<MechanismSynthesis>();
    panel = std::make_unique<Synthesis_Widget>();
    handModelsOver();
}

void Vendrel::createModeGroup() {
    modeGroup = new QActionGroup(this);
    modeGroup->setExclusive(true);
    modeActions = {ui->actionInput_Positions, ui->actionPositionEdit, ui->actionInput_Mechanism,
                   ui->actionEdit_Mechanism,  ui->actionPan,          ui->actionZoom};
    for (QAction *a : modeActions)
        modeGroup->addAction(a);
    connect(modeGroup, &QActionGroup::triggered, this, &Vendrel::setMode);
    resetMode();
    for (QAction *a : modeActions)
        modeStates.append(a->isChecked());
}

void Vendrel::recordFrameWidths() {
    frameWidth = frameGeometry().width();
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    availableWidth = screen ? screen->availableGeometry().width() : 0.0;
    widthDifference = frameWidth - availableWidth;
}

void Vendrel::applyStyleSheets() {
    ui->statusBar->setStyleSheet("QStatusBar{ border: 1px solid black; border-radius: 1px;} ");
    ui->mainToolBar->setStyleSheet("background-color: white;");
    ui->mainToolBar->setMovable(false);
    // A white bar whose items stay white when hovered, as the rest of the frame.
    ui->menuBar->setStyleSheet("QMenuBar { background-color: white; } "
                               "QMenuBar::item { background-color: white; } "
                               "QMenuBar::item::selected{ background-color: white;} ");
}

// The form's own connections: controls that only change other controls of the window.
void Vendrel::connectFrameControls() {
    connect(ui->actionStart, &QAction::triggered, this, &Vendrel::onStartTriggered);
    connect(ui->actionPause, &QAction::triggered, this, &Vendrel::onPauseTriggered);
    connect(ui->actionStop, &QAction::triggered, this, &Vendrel::onStopTriggered);
    connect(ui->actionSmartSynthesis, &QAction::toggled, this, &Vendrel::onSmartSynthesisToggled);
    connect(ui->actionSynthesis_Tools, &QAction::toggled, ui->SynthesisToolsWidget,
            &QWidget::setVisible);
    connect(ui->actionShowImg, &QAction::toggled, this, &Vendrel::showImageSpace);
    connect(ui->actionDimension, &QAction::toggled, this, &Vendrel::setShowDim);
    connect(ui->action_Exit, &QAction::triggered, this, &Vendrel::exitProgram);
    connectToolbarToggles();
    connectModeMenu();
}

// View > Toolbars: each entry shows or hides one group of tool bar commands.
void Vendrel::connectToolbarToggles() {
    const QVector<QPair<QAction *, QVector<QAction *>>> groups = {
        {ui->Synthesistt, {ui->actionInput_Positions}},
        {ui->Analysistt, {ui->actionInput_Mechanism, ui->actionEdit_Mechanism}},
        {ui->Mechanismtt,
         {ui->actionSwap_Input_Dyad, ui->actionCrossed, ui->actionOpen, ui->actionStart,
          ui->actionPause, ui->actionStop}},
        {ui->Wokrspacett, {ui->actionToggle_Grid, ui->actionWorkSpace}},
    };
    for (const auto &group : groups) {
        for (QAction *a : group.second) {
            commandGroup.insert(a, group.first);
            commandWanted.insert(a, a->isVisible());
        }
        QAction *toggle = group.first;
        connect(toggle, &QAction::toggled, this, [this, toggle](bool on) {
            showCommandGroup(toggle, on);
        });
    }
}

void Vendrel::setCommandVisible(QAction *a, bool on) {
    commandWanted.insert(a, on);
    const QAction *group = commandGroup.value(a, nullptr);
    a->setVisible(on && (group == nullptr || group->isChecked()));
}

void Vendrel::showCommandGroup(const QAction *group, bool on) {
    for (auto it = commandGroup.cbegin(); it != commandGroup.cend(); ++it)
        if (it.value() == group)
            it.key()->setVisible(on && commandWanted.value(it.key(), true));
}

// The Mode menu switches the same groups through their Toolbars entries.
void Vendrel::connectModeMenu() {
    connect(ui->modeSynthesis, &QAction::toggled, ui->Synthesistt, &QAction::setChecked);
    connect(ui->modeAnalysis, &QAction::toggled, ui->Analysistt, &QAction::setChecked);
    connect(ui->modeAnimation, &QAction::toggled, ui->Mechanismtt, &QAction::setChecked);
}

void Vendrel::placePanel() {
    ui->dock_synthesis_widget->setWidget(panel.get());
    // An empty title bar: the panel is part of the window, not a floating tool.
    ui->dock_synthesis_widget->setTitleBarWidget(new QWidget(ui->dock_synthesis_widget));
    ui->dock_synthesis_widget->setMinimumHeight(65);
}

void Vendrel::hideOverlayEditors() {
    ui->editLinkDim->hide();
    connect(ui->actionEdit_Mechanism, &QAction::toggled, ui->editLinkDim, &QWidget::setVisible);
    ui->labelLength->hide();
    ui->lengthspinBox->hide();
    ui->labelAngle->hide();
    ui->linkAngleSpinBox->hide();
    ui->editPointDim->hide();
    ui->solutionFilterLabel->hide();
}

// Start and Pause share one place in the tool bar: only the one that can act is shown, and
// neither keeps a checked look after it ran.
void Vendrel::onStartTriggered() {
    ui->actionStart->setChecked(false);
    setCommandVisible(ui->actionStart, false);
    ui->actionPause->setEnabled(true);
    setCommandVisible(ui->actionPause, true);
}

void Vendrel::onPauseTriggered() {
    ui->actionPause->setChecked(false);
    setCommandVisible(ui->actionPause, false);
    setCommandVisible(ui->actionStart, true);
}

// Stopping also pauses, so the control returns to Start. While Pause is still disabled (nothing
// ever started) the trigger does nothing, and Start is already showing.
void Vendrel::onStopTriggered() { ui->actionPause->trigger(); }

void Vendrel::onSmartSynthesisToggled(bool on) {
    ui->aSol_Selector->setVisible(on);
    ui->aSol_Selector->setEnabled(on);
}

void Vendrel::setMode(QAction *a) {
    for (QAction *m : modeActions)
        m->setChecked(false);
    a->setChecked(true);
}

void Vendrel::resetMode() {
    for (QAction *m : modeActions)
        m->setChecked(false);
    modeActions.first()->setChecked(true);
}

// "Exit" ends the program at once, once unsaved changes were saved or given up; the settings
// stay for the next start, and a run that ends so leaves no recovery file.
void Vendrel::exitProgram() {
    if (!document->maybeDiscard(tr("exit")))
        return;
    document->saveSettings();
    document->removeRecoveryFile();
    std::exit(0);
}

void Vendrel::closeEvent(QCloseEvent *event) {
    if (!document->maybeDiscard(tr("close the window"))) {
        event->ignore();
        return;
    }
    document->saveSettings();
    document->removeRecoveryFile();
    event->accept();
}

// "Reset" clears the task, once unsaved changes were saved or given up.
void Vendrel::resetRequested() {
    if (!document->maybeDiscard(tr("reset")))
        return;
    resetall();
    document->startOver();
}

void Vendrel::displayData() { emit dataChanged(); }

// The views draw the labels from the flag: they must draw again to show or hide them now.
void Vendrel::setShowDim(bool on) {
    ui->widget_Mech->setShowDimensions(on);
    ui->widget_Image->setShowDimensions(on);
}

// View > Fit to Task (key F): the positions, pivots and curves framed in the Cartesian view.
void Vendrel::createFitToTask() {
    fitToTaskAction = new QAction(tr("Fit to Task"), this);
    fitToTaskAction->setObjectName(QStringLiteral("actionFit_to_Task"));
    fitToTaskAction->setShortcut(QKeySequence(Qt::Key_F));
    ui->menuView->addAction(fitToTaskAction);
    connect(fitToTaskAction, &QAction::triggered, ui->widget_Mech, &MechGLWidget::fitToTask);
    connect(synthesis.get(), QOverload<int, int>::of(&MechanismSynthesis::synthesisdone), this,
            &Vendrel::fitViewIfNeeded);
}

// View > Mechanisms shows the dock, which starts hidden as the "Solution Filter" does; closing
// the dock unticks the entry. The table is judged again after every finished run: the panel,
// connected earlier, has ticked its pair by then, so the table can show it as the current row.
void Vendrel::createMechanismsDock() {
    mechanisms = std::make_unique<MechanismTable>(ui->mechanismsTable, ui->mechanismsEmptyLabel,
                                                  branch.get(), panel.get());
    connect(synthesis.get(), QOverload<int, int>::of(&MechanismSynthesis::synthesisdone),
            mechanisms.get(), &MechanismTable::refresh);
    ui->mechanismsDock->hide();
    connect(ui->actionMechanisms, &QAction::toggled, this, [this](bool on) {
        ui->mechanismsDock->setVisible(on);
        if (on)
            widenMechanismsDock();
    });
    connect(ui->mechanismsDock->toggleViewAction(), &QAction::toggled, ui->actionMechanisms,
            &QAction::setChecked);
}

// The table is wide: the dock opens wide enough for its columns, but leaves the views at least
// half of the window.
void Vendrel::widenMechanismsDock() {
    const QTableWidget *table = ui->mechanismsTable;
    int columns = 0;
    for (int c = 0; c < table->columnCount(); ++c)
        columns += table->horizontalHeader()->sectionSize(c);
    const int frame = 2 * table->frameWidth() + table->verticalScrollBar()->sizeHint().width();
    const int margins = 24;  // the dock's layout around the table
    resizeDocks({ui->mechanismsDock}, {std::min(columns + frame + margins, width() / 2)},
                Qt::Horizontal);
}

// A new task or result that reaches beyond the view is framed; one that fits is left alone, so
// the view does not jump while the user works inside it.
void Vendrel::fitViewIfNeeded() {
    if (ui->widget_Mech->contentOutsideView())
        ui->widget_Mech->fitToTask();
}

// The image-space view opens beside the Cartesian view at the share it had when it was last
// closed, half the splitter the first time; a view squeezed to nothing would look absent.
void Vendrel::showImageSpace(bool on) {
    QSplitter *splitter = ui->splitter;
    if (!on) {
        if (ui->widget_Image->isVisible())
            imageShare = splitter->sizes();
        ui->widget_Image->hide();
        return;
    }
    ui->widget_Image->show();
    QList<int> sizes = imageShare;
    const int total = splitter->width();
    if (sizes.size() != splitter->count() || sizes.value(1) < total / 10)
        sizes = {total / 2, total - total / 2};
    splitter->setSizes(sizes);
}

void Vendrel::displaymouselocation(double, double) {}

void Vendrel::toInterpolate() {}
