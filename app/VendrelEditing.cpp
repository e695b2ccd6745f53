// Editing the task and the dyads from the Cartesian view and its overlay editors. Every change
// of a position reaches both copies of the task in the same step (the motion, by index, and the
// engine's data row) and re-runs synthesis; the editors are filled from code with their signals
// blocked, so only what the user types or spins is ever applied.
#include "Vendrel.h"

#include "Branch.h"
#include "CouplerLink.h"
#include "Dyad.h"
#include "MechGLWidget.h"
#include "Mechanism.h"
#include "MechanismSynthesis.h"
#include "Motion.h"
#include "ProcessValues.h"
#include "RP.h"
#include "Synthesis_Widget.h"
#include "ui_Vendrel.h"

#include <QDoubleSpinBox>
#include <QActionGroup>
#include <QLabel>
#include <QSignalBlocker>
#include <cmath>

namespace {
void setSilently(QDoubleSpinBox *box, double value) {
    const QSignalBlocker quiet(box);
    box->setValue(value);
}

// An orientation shown within one turn, keeping its sign: 400 shows as 40, -45 as -45.
double withinOneTurn(double deg) { return deg - 360.0 * std::trunc(deg / 360.0); }
}  // namespace

// ---- The task's positions ------------------------------------------------------------------------

// Moves position i of both copies of the task; the motion keeps the position's time parameter.
// False (and nothing changed) when i names no position.
bool Vendrel::placeTaskPosition(int i, double x, double y, double thetaDeg) {
    if (i < 0 || i >= motion->size())
        return false;
    const double parameter = motion->positions().ref(i).parameter;
    motion->currentPose = Point(x, y, thetaDeg * INPUT_DEG_TO_RAD);
    motion->currentPose.parameter = parameter;
    motion->currentImage = toImage(motion->currentPose);
    motion->updatePos(i);
    synthesis->setDataRow(i, x, y, thetaDeg);
    if (pointEditor.use == PointEditorUse::Position && pointEditor.position == i)
        displayCurrentPosition(i);
    return true;
}

void Vendrel::position_update_mouseclick(double x, double y, double thetaDeg, int t) {
    position_update_mouseclick(x, y, thetaDeg, t, motion->currentIndex);
}

void Vendrel::position_update_mouseclick(double x, double y, double thetaDeg, int, int index) {
    if (!placeTaskPosition(index, x, y, thetaDeg))
        return;
    toSynthesize();
    emit dataChanged();
}

// The panel edits a position by its index; the view is handed the task again before the run.
void Vendrel::position_update_widget(double x, double y, double thetaDeg, int, int index) {
    if (!placeTaskPosition(index, x, y, thetaDeg))
        return;
    cartesianView()->setupPointList(synthesis->getPointList());
    toSynthesize();
    emit dataChanged();
}

void Vendrel::position_update_Dim(double x, double y, double thetaDeg, int t) {
    position_update_mouseclick(x, y, thetaDeg, t);
}

void Vendrel::deleteinputposition() {
    const int i = motion->currentIndex;
    if (i < 0 || i >= motion->size())
        return;
    motion->deleteCurrentPosition();
    synthesis->removeDataRow(i);
    motion->setcurrntpositionindex(motion->size() - 1);
    // The point editor follows its position: gone with it, or one place down.
    if (pointEditor.use == PointEditorUse::Position) {
        if (pointEditor.position == i)
            hidePointEditor();
        else if (pointEditor.position > i)
            --pointEditor.position;
    }
    toSynthesize();
    emit dataChanged();
}

// ---- The point editor: a position, or the mechanism's coupler point --------------------------------

void Vendrel::showPointEditor(PointEditorUse use, const QStringList &labels,
                              const std::array<double, 3> &values) {
    pointEditor.use = use;
    ui->labelR->setText(labels.value(0));
    ui->labelTheta->setText(labels.value(1));
    ui->labelOrientation->setText(labels.value(2));
    setSilently(ui->XspinBox, values[0]);
    setSilently(ui->YspinBox, values[1]);
    setSilently(ui->angleSpinBox, values[2]);
    ui->editPointDim->show();
}

void Vendrel::hidePointEditor() {
    pointEditor = PointEditorState();
    ui->editPointDim->hide();
}

// Shows position i (x, y, orientation in degrees) from the engine's rows, the task's degrees.
void Vendrel::displayCurrentPosition(int i) {
    const std::vector<Point> &rows = *synthesis->getPointList();
    if (i < 0 || i >= static_cast<int>(rows.size()))
        return;
    const Point &p = rows[static_cast<size_t>(i)];
    pointEditor.position = i;
    showPointEditor(PointEditorUse::Position, {tr("x:"), tr("y:"), tr("Orientation:")},
                    {p.x(), p.y(), withinOneTurn(p.z())});
}

void Vendrel::setCouplerDimDisplay(double r, double thetaDeg, double orientationDeg, bool show) {
    if (!show) {
        if (pointEditor.use == PointEditorUse::CouplerPoint)
            hidePointEditor();
        return;
    }
    pointEditor.position = -1;
    showPointEditor(PointEditorUse::CouplerPoint, {tr("r:"), tr("Theta:"), tr("Orientation:")},
                    {r, thetaDeg, orientationDeg});
}

void Vendrel::setPointDimDisplay(double r, double thetaDeg, double orientationDeg, bool show) {
    setCouplerDimDisplay(r, thetaDeg, orientationDeg, show);
    if (show) {
        ui->labelR->setText(tr("r"));
        ui->labelTheta->setText(tr("theta"));
        ui->labelOrientation->setText(tr("Orientation"));
    }
}

void Vendrel::position_update_X(double v) { applyPointEditor(0, v); }
void Vendrel::position_update_Y(double v) { applyPointEditor(1, v); }
void Vendrel::position_update_Angle(double v) { applyPointEditor(2, v); }

// The user changed one box (0, 1 or 2) of the point editor. The other two values come from the
// model, not from the boxes, which show them rounded to their decimals.
void Vendrel::applyPointEditor(int box, double value) {
    if (pointEditor.use == PointEditorUse::Position) {
        const std::vector<Point> &rows = *synthesis->getPointList();
        const int i = pointEditor.position;
        if (i < 0 || i >= static_cast<int>(rows.size()))
            return;
        const Point &p = rows[static_cast<size_t>(i)];
        std::array<double, 3> pose = {p.x(), p.y(), p.z()};
        pose[static_cast<size_t>(box)] = value;
        position_update_mouseclick(pose[0], pose[1], pose[2], 0, i);
    } else if (pointEditor.use == PointEditorUse::CouplerPoint &&
               branch->isCouplerPointSelected()) {
        const CouplerLink &c = branch->getMechanism()->getCoupler();
        std::array<double, 3> polar = {c.pointDistance(), c.pointAngle(), c.couplerPoint()[2]};
        polar[static_cast<size_t>(box)] = value;
        moveCouplerPoint(polar[0], polar[1], polar[2]);
    }
}

// r and thetaDeg place the coupler point from the coupler's first end, thetaDeg measured from
// the coupler line; the orientation is the moving frame's angle in the fixed frame.
void Vendrel::moveCouplerPoint(double r, double thetaDeg, double orientationDeg) {
    Mechanism *m = branch->getMechanism();
    Point *point = m ? m->couplerPointHandle() : nullptr;
    if (!point)
        return;
    const CouplerLink &c = m->getCoupler();
    const double direction = (thetaDeg + c.getAngle()) * PI / 180.0;
    (*point)[0] = c.start().x + r * std::cos(direction);
    (*point)[1] = c.start().y + r * std::sin(direction);
    (*point)[2] = orientationDeg;
    // Re-forming the mechanism records the coupler point anew in the coupler's frame.
    branch->refreshAfterEdit();
    ui->editLinkDim->hide();
}

// ---- The link editor: the pivots and the block angle of a picked dyad ------------------------------

Dyad *Vendrel::editedDyad() const {
    const Branch::DyadHandles *list = nullptr;
    if (dyadEditor.list == DyadListKind::Synthesized)
        list = &branch->getDyadList();
    else if (dyadEditor.list == DyadListKind::UserInput)
        list = &branch->getUserInputDyads();
    if (!list || dyadEditor.index < 0 || dyadEditor.index >= static_cast<int>(list->size()))
        return nullptr;
    return (*list)[static_cast<size_t>(dyadEditor.index)].get();
}

// The lists changed (a new run, a reset, a drawn dyad): the picked dyad may be gone, and the
// link editor must not go on showing its pivots as if they were another dyad's. Its boxes stay
// blank and disabled until a dyad is picked again.
void Vendrel::forgetEditedDyad() {
    // Every grid point of a tolerance sweep changes the lists: once blank, the boxes stay so
    // without being set again.
    if (dyadEditor.index < 0 && !ui->fpxSpinBox->isEnabled())
        return;
    dyadEditor = DyadEditorState();
    for (QDoubleSpinBox *box : linkEditorBoxes()) {
        box->setSpecialValueText(QStringLiteral(" "));
        setSilently(box, box->minimum());
        box->setEnabled(false);
    }
}

std::array<QDoubleSpinBox *, 5> Vendrel::linkEditorBoxes() const {
    return {ui->fpxSpinBox, ui->fpySpinBox, ui->mpxSpinBox, ui->mpySpinBox, ui->linkAngleSpinBox};
}

// The view picks from the synthesized dyads when there are any, else from the drawn ones.
void Vendrel::updateCurrentDyad(int i) {
    forgetEditedDyad();
    if (!branch->getDyadList().empty())
        dyadEditor.list = DyadListKind::Synthesized;
    else if (!branch->getUserInputDyads().empty())
        dyadEditor.list = DyadListKind::UserInput;
    dyadEditor.index = i;
    const Dyad *d = editedDyad();
    if (!d) {
        forgetEditedDyad();
        return;
    }
    fillLinkEditor(*d);
    ui->editLinkDim->show();
}

// An RP is edited by its fixed pivot and the direction of its block; the others by both pivots.
void Vendrel::fillLinkEditor(const Dyad &d) {
    for (QDoubleSpinBox *box : linkEditorBoxes())
        box->setEnabled(true);
    const auto *rp = dynamic_cast<const RP *>(&d);
    const Point fixed = d.fixedPivotCopy();
    setSilently(ui->fpxSpinBox, fixed.x());
    setSilently(ui->fpySpinBox, fixed.y());
    if (rp) {
        setSilently(ui->linkAngleSpinBox, rp->getBlockAngle());
    } else {
        const Point moving = d.movingPivotCopy();
        setSilently(ui->mpxSpinBox, moving.x());
        setSilently(ui->mpySpinBox, moving.y());
    }
    for (QWidget *w : std::initializer_list<QWidget *>{
             ui->labelMovingPivot, ui->mpxSpinBox, ui->labelMovingComma, ui->mpySpinBox,
             ui->labelMovingClose})
        w->setVisible(!rp);
    ui->labelAngle->setVisible(rp != nullptr);
    ui->linkAngleSpinBox->setVisible(rp != nullptr);
}

void Vendrel::commitDyadEdit(Dyad &d) {
    d.commitGeometry();
    branch->refreshAfterEdit();
}

// Moving an RP's fixed pivot keeps its block's direction: the handle is placed again along it.
void Vendrel::moveEditedFixedPivot(int axis, double v) {
    Dyad *d = editedDyad();
    if (!d)
        return;
    Point fixed = d->fixedPivotCopy();
    fixed[axis] = v;
    if (auto *rp = dynamic_cast<RP *>(d)) {
        const double blockDeg = rp->getBlockAngle();
        rp->setFixedPivot(fixed);
        rp->setBlockAngle(blockDeg);
    } else {
        d->setFixedPivot(fixed);
    }
    commitDyadEdit(*d);
}

// An RP's moving pivot is only a handle on its block; its editor boxes are hidden.
void Vendrel::moveEditedMovingPivot(int axis, double v) {
    Dyad *d = editedDyad();
    if (!d || dynamic_cast<RP *>(d))
        return;
    Point moving = d->movingPivotCopy();
    moving[axis] = v;
    d->setMovingPivot(moving);
    commitDyadEdit(*d);
}

void Vendrel::dyadFPXupdate(double v) { moveEditedFixedPivot(0, v); }
void Vendrel::dyadFPYupdate(double v) { moveEditedFixedPivot(1, v); }
void Vendrel::dyadMPXupdate(double v) { moveEditedMovingPivot(0, v); }
void Vendrel::dyadMPYupdate(double v) { moveEditedMovingPivot(1, v); }

// The box and setBlockAngle both take degrees; other kinds have no block to turn.
void Vendrel::setDyadAngle(double angleDeg) {
    auto *rp = dynamic_cast<RP *>(editedDyad());
    if (!rp)
        return;
    rp->setBlockAngle(angleDeg);
    commitDyadEdit(*rp);
}

// ---- Connections of the editors ----------------------------------------------------------------

void Vendrel::connectEditors() {
    MechGLWidget *c = cartesianView();
    connect(c, QOverload<double, double, double, int>::of(&MechGLWidget::positionupdate), this,
            QOverload<double, double, double, int>::of(&Vendrel::position_update_mouseclick));
    connect(c, QOverload<double, double, double, int, int>::of(&MechGLWidget::positionupdate),
            this,
            QOverload<double, double, double, int, int>::of(&Vendrel::position_update_mouseclick));
    connect(panel.get(), &Synthesis_Widget::positionupdate, this, &Vendrel::position_update_widget);
    connect(c, &MechGLWidget::deletecurrentkey, this, &Vendrel::deleteinputposition);
    connect(c, &MechGLWidget::updatecurrentDisp, this, &Vendrel::displayCurrentPosition);
    connect(c, &MechGLWidget::updateCurrentDyad, this, &Vendrel::updateCurrentDyad);
    connect(c, &MechGLWidget::updateCouplerDimDisplay, this, &Vendrel::setCouplerDimDisplay);
    connect(branch.get(), &Branch::dyadListChanged, this, &Vendrel::forgetEditedDyad);
    // Save Dyads is offered only while there are dyads: an empty window would otherwise write
    // two empty files over the dyads saved before and report them as saved.
    const auto offerSaveDyads = [this]() { ui->actionSave_dyads->setEnabled(hasDyadsToSave()); };
    connect(branch.get(), &Branch::dyadListChanged, this, offerSaveDyads);
    connect(branch.get(), &Branch::mechanismUpdated, this, offerSaveDyads);
    offerSaveDyads();
    const auto onValue = QOverload<double>::of(&QDoubleSpinBox::valueChanged);
    connect(ui->fpxSpinBox, onValue, this, &Vendrel::dyadFPXupdate);
    connect(ui->fpySpinBox, onValue, this, &Vendrel::dyadFPYupdate);
    connect(ui->mpxSpinBox, onValue, this, &Vendrel::dyadMPXupdate);
    connect(ui->mpySpinBox, onValue, this, &Vendrel::dyadMPYupdate);
    connect(ui->linkAngleSpinBox, onValue, this, &Vendrel::setDyadAngle);
    connect(ui->XspinBox, onValue, this, &Vendrel::position_update_X);
    connect(ui->YspinBox, onValue, this, &Vendrel::position_update_Y);
    connect(ui->angleSpinBox, onValue, this, &Vendrel::position_update_Angle);
    // A value counts when the user finishes typing it (Enter, Tab, an arrow), not at every
    // keystroke: each change moves the task and re-runs synthesis.
    for (QDoubleSpinBox *box : {ui->fpxSpinBox, ui->fpySpinBox, ui->mpxSpinBox, ui->mpySpinBox,
                                ui->linkAngleSpinBox, ui->XspinBox, ui->YspinBox,
                                ui->angleSpinBox})
        box->setKeyboardTracking(false);
    // A position is shown for editing only in the mode that edits positions.
    connect(modeGroup, &QActionGroup::triggered, this, [this](QAction *a) {
        if (a != ui->actionPositionEdit && pointEditor.use == PointEditorUse::Position)
            hidePointEditor();
    });
    connectOutputCommands();
    connectSolutionTable();
}
