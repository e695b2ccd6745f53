// The main window's start-up wiring: models handed to the views, the panel and the engine, the
// connection table, the choice of synthesis variant, the dyad-kind selectors, the circuit
// commands and the reset of the whole task.
#include "Vendrel.h"

#include "Branch.h"
#include "ImageGLWidget.h"
#include "MechGLWidget.h"
#include "Mechanism.h"
#include "MechanismSynthesis.h"
#include "Motion.h"
#include "Synthesis_Widget.h"
#include "ui_Vendrel.h"

#include <QAction>
#include <QProgressDialog>
#include <QSpinBox>
#include <QTableWidget>
#include <QTextEdit>
#include <QTimer>
#include <cstdio>

MechGLWidget *Vendrel::cartesianView() const { return ui->widget_Mech; }
ImageGLWidget *Vendrel::imageView() const { return ui->widget_Image; }

// ---- Creation and hand-over -------------------------------------------------------------------

void Vendrel::handModelsOver() {
    imageView()->setAllDyad(branch.get());
    imageView()->setMotion(motion.get());
    cartesianView()->setAllDyad(branch.get());
    // The panel connects its slider and its stale-dyad drop to the branch itself.
    panel->setBranch(branch.get());
    panel->setSynthesis(synthesis.get());
    synthesis->setMotion(motion.get());
    synthesis->setBranch(branch.get());
}

// ---- The connection table ---------------------------------------------------------------------

void Vendrel::InitialConnection() {
    connectCommands();
    connectModels();
    connectSynthesisTools();
    connectEditors();
    connectMouseInput();
}

// Menu and tool bar commands.
void Vendrel::connectCommands() {
    connectTaskCommands();
    MechGLWidget *c = cartesianView();
    ImageGLWidget *i = imageView();
    connect(ui->actionToggle_Grid, &QAction::triggered, c, &MechGLWidget::toggle_Grid);
    connect(ui->actionClick_to_Plot, &QAction::triggered, c, &MechGLWidget::plotsettings);
    connect(ui->actionReset_View, &QAction::triggered, c, &MechGLWidget::resetView);
    connect(ui->actionReset_View, &QAction::triggered, i, &ImageGLWidget::resetwidget);
    connect(ui->actionStart, &QAction::triggered, c, &MechGLWidget::startAnimate);
    // The keys S and T in the view: the control shows Pause while it runs, Start when not.
    connect(c, &MechGLWidget::animationKeyPressed, this, [this](bool running) {
        if (running)
            onStartTriggered();
        else if (ui->actionPause->isEnabled())
            ui->actionPause->trigger();
    });
    connect(ui->actionStop, &QAction::triggered, c, &MechGLWidget::stopAnimate);
    connect(ui->actionPause, &QAction::triggered, c, &MechGLWidget::pauseAnimate);
    connect(ui->actionIncrement, &QAction::triggered, branch.get(), &Branch::IncrementDyads);
    connect(ui->actionDecrement, &QAction::triggered, branch.get(), &Branch::DecrementDyads);
    connect(ui->actionSwap_Input_Dyad, &QAction::triggered, branch.get(), &Branch::swapInputDyad);
    connect(ui->actionOpen, &QAction::triggered, this, &Vendrel::setMechanismCircuitasopen);
    connect(ui->actionCrossed, &QAction::triggered, this, &Vendrel::setMechanismCircuitascrossed);
    connect(ui->actionShow_Animation_in_Image_Space, &QAction::triggered, i,
            &ImageGLWidget::toggle_toshowCouplerAnimation);
    connect(ui->actionMFselect, &QAction::triggered, this, &Vendrel::todrawMF);
    connect(ui->actionRRselect, &QAction::triggered, this, &Vendrel::todrawRR);
    connect(ui->actionRPselect, &QAction::triggered, this, &Vendrel::todrawRP);
    connect(ui->actionPRselect, &QAction::triggered, this, &Vendrel::todrawPR);
    connect(ui->actionShow_hide_InterPolation, &QAction::triggered, c,
            &MechGLWidget::toggle_toInterPolate);
    connect(ui->actionShow_hide_InterPolation, &QAction::triggered, i,
            &ImageGLWidget::toggle_toInterPolate);
    connect(ui->actionSynthesize, &QAction::triggered, this, &Vendrel::requestSynthesis);
    connect(ui->action4Position_Input, &QAction::triggered, c, &MechGLWidget::setModeFour_Position);
    connect(ui->action3_Position, &QAction::triggered, c, &MechGLWidget::setModeUDP_Input);
}

// The commands that replace or clear the task.
void Vendrel::connectTaskCommands() {
    connect(ui->actionRead_File, &QAction::triggered, this, &Vendrel::readMotion);
    connect(ui->actionRead_Mechanism, &QAction::triggered, this, &Vendrel::readMechanism);
    connect(ui->actionRun_Demo, &QAction::triggered, this, &Vendrel::RunDemo);
    connect(ui->action_Reset, &QAction::triggered, this, &Vendrel::resetRequested);
    connect(ui->action_Reset, &QAction::triggered, this, &Vendrel::resetSolutions);
    connect(ui->actionRRRR, &QAction::triggered, this, &Vendrel::LoadFileRRRR);
    connect(ui->actionRRPR, &QAction::triggered, this, &Vendrel::LoadFileRRPR);
    connect(ui->actionRRRP, &QAction::triggered, this, &Vendrel::LoadFileRRRP);
    connect(ui->actionPRRP, &QAction::triggered, this, &Vendrel::LoadFilePRRP);
    connect(ui->actionPRPR, &QAction::triggered, this, &Vendrel::LoadFilePRPR);
    connect(ui->actionDesign_Challenge, &QAction::triggered, this, &Vendrel::LoadFileDC);
    connect(ui->actionRandom_Positions, &QAction::triggered, this,
            &Vendrel::generateRandomPositions);
}

// Signals between the models, the views, the panel and this window.
void Vendrel::connectModels() {
    MechGLWidget *c = cartesianView();
    ImageGLWidget *i = imageView();
    Branch *b = branch.get();
    MechanismSynthesis *s = synthesis.get();
    Synthesis_Widget *p = panel.get();
    connect(c, &MechGLWidget::lineConstraintAdded, s, &MechanismSynthesis::updateLineParams);
    connect(this, &Vendrel::dataChanged, c, &MechGLWidget::updateObject);
    connect(this, &Vendrel::dataChanged, i, &ImageGLWidget::updateObject);
    connect(b, &Branch::updateObject, c, &MechGLWidget::updateObject);
    connect(b, &Branch::mechanismUpdated, p, &Synthesis_Widget::showTypeofMechanism);
    connect(b, &Branch::mechanismUpdated, this, &Vendrel::offerCircuitOfMechanism);
    offerCircuitOfMechanism();
    connect(b, &Branch::displayMFlocation, p, &Synthesis_Widget::displayMFlocation);
    connect(p, &Synthesis_Widget::updatedyaddisplay, c, &MechGLWidget::updatedyaddisplay);
    connect(p, &Synthesis_Widget::updatedyaddisplay, motion.get(),
            QOverload<int>::of(&Motion::getMotionPoint));
    connect(motion.get(), &Motion::pointChanged, this, &Vendrel::displayData);
    connect(s, QOverload<int, int>::of(&MechanismSynthesis::synthesisdone), p,
            &Synthesis_Widget::updateWidget);
    connect(c, &MechGLWidget::emitmouselocation, p, &Synthesis_Widget::displaymouselocation);
    connect(c, &MechGLWidget::emittheta, p, &Synthesis_Widget::displaytheta);
    connect(c, &MechGLWidget::emitdyadupdate, b, &Branch::editDyadList);
    connect(c, &MechGLWidget::udpinput, s, &MechanismSynthesis::setUDP);
    // A changed threshold, link ratio or line re-runs synthesis on the task as it stands.
    connect(s, QOverload<>::of(&MechanismSynthesis::synthesisdone), this, &Vendrel::toSynthesize);
    connect(s, &MechanismSynthesis::updateOutfile, ui->outputtext, &QTextEdit::setText);
    // The progress of a tolerance sweep; the dialog goes before the solution table is filled.
    connect(s, &MechanismSynthesis::tolSynthesisStarted, this, &Vendrel::showToleranceProgress);
    connect(s, &MechanismSynthesis::tolSynthesisInProgress, this,
            &Vendrel::advanceToleranceProgress);
    connect(s, &MechanismSynthesis::tolSynthesisDone, this, &Vendrel::closeToleranceProgress);
}

// The "Synthesis Tools" boxes. The boxes were given their start values before these
// connections exist, and they show what the engine starts with (threshold 10^-5, ratio 2). The
// link ratio travels both ways between the box and the panel; the panel never sends back a
// value it was given, so the exchange settles in one step.
void Vendrel::connectSynthesisTools() {
    MechanismSynthesis *s = synthesis.get();
    Synthesis_Widget *p = panel.get();
    connect(ui->Threshold, QOverload<int>::of(&QSpinBox::valueChanged), s,
            &MechanismSynthesis::setThreshold);
    connect(ui->linkRatio, QOverload<int>::of(&QSpinBox::valueChanged), s,
            &MechanismSynthesis::setLinkRatio);
    connect(p, &Synthesis_Widget::linkRatioChanged, ui->linkRatio, &QSpinBox::setValue);
    connect(ui->linkRatio, QOverload<int>::of(&QSpinBox::valueChanged), p,
            &Synthesis_Widget::setLinkRatio);
}

// Each mode action puts the Cartesian view into its mode; the position and mechanism modes also
// switch the panel between its synthesis and analysis rows.
void Vendrel::connectModeActions() {
    MechGLWidget *c = cartesianView();
    Synthesis_Widget *p = panel.get();
    connect(ui->actionInput_Positions, &QAction::triggered, c, &MechGLWidget::setModeInput_Position);
    connect(ui->actionInput_Positions, &QAction::triggered, p, &Synthesis_Widget::setModeSynthesis);
    connect(ui->actionPositionEdit, &QAction::triggered, c, &MechGLWidget::setModeEdit_Position);
    connect(ui->actionPositionEdit, &QAction::triggered, p, &Synthesis_Widget::setModeSynthesis);
    connect(ui->actionInput_Mechanism, &QAction::triggered, c,
            &MechGLWidget::setModeInput_Mechanism);
    connect(ui->actionInput_Mechanism, &QAction::triggered, p, &Synthesis_Widget::setModeAnalysis);
    connect(ui->actionEdit_Mechanism, &QAction::triggered, c, &MechGLWidget::setModeEdit_Mechanism);
    connect(ui->actionEdit_Mechanism, &QAction::triggered, p, &Synthesis_Widget::setModeAnalysis);
    connect(ui->actionPan, &QAction::triggered, c, &MechGLWidget::setModePan);
    connect(ui->actionZoom, &QAction::triggered, c, &MechGLWidget::setModeZoom);
    connect(ui->action4_Position, &QAction::triggered, c, &MechGLWidget::setModeLine_Input);
    connect(ui->actionLine_Input, &QAction::triggered, c, &MechGLWidget::setModeLine_Input);
}

// The view asks for a position with positioninput; only this connection lets the task take it.
void Vendrel::connectMouseInput() {
    if (!mouseInputConnection)
        mouseInputConnection = connect(cartesianView(), &MechGLWidget::positioninput, this,
                                       &Vendrel::position_input_mouseclick);
}

void Vendrel::disconnectMouseInput() {
    if (mouseInputConnection)
        disconnect(mouseInputConnection);
    mouseInputConnection = {};
}

// ---- Choosing the synthesis variant -----------------------------------------------------------

Vendrel::SynthesisVariant Vendrel::chooseSynthesisVariant() const {
    const int n = motion->size();
    if (n == 4 && synthesis->lineDefined)
        return SynthesisVariant::FourPosition;
    if (n == 3 && synthesis->udp1Defined && synthesis->udp2Defined)
        return SynthesisVariant::ThreePosition;
    if (n >= MechanismSynthesis::minimumPositions)
        return SynthesisVariant::NPosition;
    return SynthesisVariant::None;
}

void Vendrel::toSynthesize() {
    const SynthesisVariant v = chooseSynthesisVariant();
    runNote.clear();
    filesNote.clear();
    if (v == SynthesisVariant::None) {
        // The task no longer has what its last result was made for (a position was deleted,
        // the line forgotten): the result goes, and the status bar says what is missing.
        branch->clearSynthesized();
        showResult();
        return;
    }
    const bool tolerance = ui->actionSmartSynthesis->isChecked();
    // With five or more positions the sweep takes the place of the plain fit; with three or
    // four it follows the variant's own run.
    if (v != SynthesisVariant::NPosition || !tolerance)
        runSynthesisVariant(v);
    if (tolerance) {
        emptySolutionTable();
        // The table shows each grid point as offsets from the orientations the sweep starts at.
        const arma::mat &rows = synthesis->getData();
        sweepBaseDeg.assign(rows.n_rows, 0.0);
        for (arma::uword r = 0; r < rows.n_rows && rows.n_cols >= 3; ++r)
            sweepBaseDeg[r] = rows(r, 2);
        synthesis->synthesizeWithTol(toleranceDialog.getAngularTolerance(),
                                     static_cast<int>(toleranceDialog.getToleranceResolution()),
                                     motion->size());
    }
    if (v == SynthesisVariant::NPosition)
        emit dataChanged();
}

void Vendrel::toSynthesizeWithoutTol() { runSynthesisVariant(chooseSynthesisVariant()); }

void Vendrel::runSynthesisVariant(SynthesisVariant v) {
    switch (v) {
    case SynthesisVariant::NPosition:
        synthesis->synthesize();
        break;
    case SynthesisVariant::FourPosition:
        synthesis->synthesize4pos();
        break;
    case SynthesisVariant::ThreePosition:
        synthesis->synthesize3pos();
        break;
    case SynthesisVariant::None:
        break;
    }
}

// A sweep of many grid points takes a while: a progress dialog counts them and lets the user
// stop it (the records made so far stay). It appears only when the sweep lasts long enough.
void Vendrel::showToleranceProgress(int total) {
    toleranceProgress = std::make_unique<QProgressDialog>(
        QStringLiteral("Tolerance synthesis"), QStringLiteral("Cancel"), 0, total, this);
    toleranceProgress->setWindowTitle(QStringLiteral("Tolerance synthesis"));
    toleranceProgress->setWindowModality(Qt::WindowModal);
    // A sweep of a few hundred milliseconds finishes before the dialog would be read; a longer
    // one shows it early, so the user sees it move and can cancel it (Qt's default waits 4 s).
    toleranceProgress->setMinimumDuration(400);
    connect(toleranceProgress.get(), &QProgressDialog::canceled, synthesis.get(),
            &MechanismSynthesis::cancelTolSynthesis);
}

void Vendrel::advanceToleranceProgress(int done) {
    if (toleranceProgress)
        toleranceProgress->setValue(done);
}

void Vendrel::closeToleranceProgress() { toleranceProgress.reset(); }

void Vendrel::setMode4Position() {
    cartesianView()->setModeFour_Position();
    toSynthesize();
}

void Vendrel::emptySolutionTable() {
    ui->SolutionWidget->clearContents();
    ui->SolutionWidget->setRowCount(0);
}

// ---- Dyad-kind selectors ------------------------------------------------------------------------

// k: 0 moving frame, 1 RR, 2 RP, 3 PR, as the branch numbers what it draws next.
void Vendrel::selectDyadKind(QAction *selector, int kind) {
    for (QAction *a : {ui->actionMFselect, ui->actionRRselect, ui->actionRPselect,
                       ui->actionPRselect})
        if (a != selector)
            a->setChecked(false);
    ui->actionInput_Mechanism->setChecked(true);
    cartesianView()->setModeInput_Mechanism();
    branch->settodraw(kind);
}

void Vendrel::todrawMF() { selectDyadKind(ui->actionMFselect, 0); }
void Vendrel::todrawRR() { selectDyadKind(ui->actionRRselect, 1); }
void Vendrel::todrawRP() { selectDyadKind(ui->actionRPselect, 2); }
void Vendrel::todrawPR() { selectDyadKind(ui->actionPRselect, 3); }

// ---- Circuit commands ----------------------------------------------------------------------------

// The tool bar offers the circuit the mechanism is not on: "Crossed" while it is open, "Open"
// while it is crossed.
void Vendrel::setMechanismCircuitascrossed() {
    if (!branch->hasCouplerPoint())
        return;
    branch->setMechanismCircuitascrossed();
    setCommandVisible(ui->actionCrossed, false);
    setCommandVisible(ui->actionOpen, true);
}

void Vendrel::setMechanismCircuitasopen() {
    if (!branch->hasCouplerPoint())
        return;
    branch->setMechanismCircuitasopen();
    ui->actionCrossed->setEnabled(true);
    setCommandVisible(ui->actionCrossed, true);
    setCommandVisible(ui->actionOpen, false);
}

// A mechanism is left on the circuit its assembly sits on, which may be either: whenever one is
// formed, the tool bar offers the other circuit, so a circuit command always changes something.
// Without a mechanism the commands that move one are not offered: Start would show Pause and
// animate nothing.
void Vendrel::offerCircuitOfMechanism() {
    const bool formed = branch->hasCouplerPoint();
    for (QAction *a : {ui->actionStart, ui->actionStop, ui->actionSwap_Input_Dyad, ui->actionOpen,
                       ui->actionCrossed})
        a->setEnabled(formed);
    const Mechanism *m = branch->getMechanism();
    if (!m || !m->isSet() || !formed) {
        // Nothing is left to animate: the control goes back to Start instead of showing Pause
        // for a mechanism that is gone. Judged once the action is over, as a re-run clears the
        // mechanism on its way to forming it again from the same pair.
        QTimer::singleShot(0, this, [this]() {
            if (!branch->hasCouplerPoint() && ui->actionPause->isEnabled() &&
                cartesianView()->isAnimating())
                ui->actionPause->trigger();
        });
        return;
    }
    const bool open = m->isCircuitOpen();
    ui->actionCrossed->setEnabled(open);
    setCommandVisible(ui->actionCrossed, open);
    setCommandVisible(ui->actionOpen, !open);
}

// ---- Reset -------------------------------------------------------------------------------------

void Vendrel::resetall() {
    disconnectMouseInput();
    panel->clearWidget();
    motion->resetMotion();
    branch->clearBranch();
    synthesis->setData(0);
    cartesianView()->resetwidget();
    imageView()->resetwidget();
    resetMode();
    // Checking the mode action does not trigger it: put the view and the panel into the mode
    // the tool bar now shows, or a click after Reset would still enter dyads.
    cartesianView()->setModeInput_Position();
    panel->setModeSynthesis();
    ui->editPointDim->hide();
    ui->editLinkDim->hide();
    panel->clearPositionBoxes();
    uncheckInputCommands();
    cartesianView()->clearPendingInput();
    panel->clearPositionBoxes();
    cartesianView()->clearMarkerPoints();
    if (ui->actionPause->isEnabled())
        ui->actionPause->trigger();
    synthesis->lineDefined = false;
    synthesis->udp1Defined = false;
    synthesis->udp2Defined = false;
    panel->forgetChosenPair();
    runNote.clear();
    filesNote.clear();
    connectMouseInput();
    emit dataChanged();
    showResult();
}

void Vendrel::uncheckInputCommands() {
    for (QAction *a : {ui->actionMFselect, ui->actionRRselect, ui->actionRPselect,
                       ui->actionPRselect, ui->actionPositionEdit, ui->actionSmartSynthesis,
                       ui->action4_Position, ui->action4Position_Input, ui->actionLine_Input})
        a->setChecked(false);
    ui->action4Position_Input->setVisible(false);
    ui->actionLine_Input->setVisible(false);
    ui->action3_Position->setChecked(false);
}

void Vendrel::resetSolutions() {
    synthesis->clearTolSolutions();
    emptySolutionTable();
}
