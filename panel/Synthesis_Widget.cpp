// The synthesis panel: the mouse and moving-frame readouts, the dyad boxes through which the user
// chooses the two dyads of the mechanism, the mechanism counter and the maximum link length.
#include "Synthesis_Widget.h"

#include "ui_Synthesis_Widget.h"

#include "Branch.h"
#include "Dyad.h"
#include "MechanismSynthesis.h"
#include "Point.h"
#include "ProcessValues.h"
#include "TaskFrame.h"
#include "Tolerances.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDoubleValidator>
#include <QLineEdit>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>

namespace {
// No one means a link a million times longer than a ratio of 1 allows; the bound keeps the
// rounded ratio well inside int.
constexpr double largestLinkRatio = 1.0e6;
// The slider shows a counter in degrees; a value beyond this is no angle worth showing.
constexpr double largestCounter = 1.0e6;

void setCheckedQuietly(QAbstractButton *box, bool checked) {
    const QSignalBlocker blocker(box);
    box->setChecked(checked);
}

// A box that stands for no dyad: its own name, unchecked, not clickable.
void resetBox(QCheckBox *box, const QString &name) {
    setCheckedQuietly(box, false);
    box->setText(name);
    box->setEnabled(false);
}

QString dyadBoxName(int i) { return QStringLiteral("D%1").arg(i + 1); }
QString alternativeBoxName(int i) { return QStringLiteral("DD%1").arg(i + 1); }

void setSpinQuietly(QDoubleSpinBox *box, double v) {
    const QSignalBlocker blocker(box);
    box->setValue(v);
}
} // namespace

Synthesis_Widget::Synthesis_Widget(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::Synthesis_Widget>()) {
    ui->setupUi(this);
    kindGroup = new QButtonGroup(this);
    kindGroup->setExclusive(true);
    dyadBoxes = {ui->checkBox_D1, ui->checkBox_D2, ui->checkBox_D3, ui->checkBox_D4};
    alternativeBoxes = {ui->checkBox_DD1, ui->checkBox_DD2, ui->checkBox_DD3, ui->checkBox_DD4};
    kindBoxes = {ui->checkBox_MF, ui->checkBox_RR, ui->checkBox_PR, ui->checkBox_RP};
    rebuildBoxLists();
    connectBoxes();
    panelWidth = width();
    panelHeight = height();
    installValidators();
    ui->sliderMotion->setRange(0, 360);
    ui->sliderMotion->setTracking(true);
    ui->editLinkDim->hide();
    ui->editPointDim->hide();
    ui->frame_analysis->hide();
    ui->frame_synthesis->hide();
    connect(ui->linkRatio2, &QDoubleSpinBox::valueChanged, this, &Synthesis_Widget::emitLinkRatio);
    setLinkRatio(2);
    ui->linkRatio2->setSingleStep(linkLengthPerRatio());
    ui->frame_3->hide();
}

Synthesis_Widget::~Synthesis_Widget() = default;

void Synthesis_Widget::setSynthesis(MechanismSynthesis *s) { synthesis = s; }
MechanismSynthesis *Synthesis_Widget::getSynthesis() const { return synthesis; }
Branch *Synthesis_Widget::getBranch() const { return branch; }

Dyad *Synthesis_Widget::dyadShownBy(int i) const {
    return i >= 0 && i < boxCount ? shownDyads[static_cast<size_t>(i)] : nullptr;
}

Dyad *Synthesis_Widget::alternativeShownBy(int i) const {
    return i >= 0 && i < boxCount ? shownAlternatives[static_cast<size_t>(i)] : nullptr;
}

// ---- Construction pieces ------------------------------------------------------------------------

// `clicked` comes only from the user (mouse or keyboard), never from setChecked, so boxes set
// from code never reach the branch half-way: a rebuild hands its final states over once. The
// exclusive kind group toggles two boxes per click; its one click signal stands for both.
void Synthesis_Widget::connectBoxes() {
    for (std::vector<QCheckBox *> *boxes : {&dyadBoxes, &alternativeBoxes}) {
        for (QCheckBox *box : *boxes)
            connect(box, &QCheckBox::clicked, this,
                    [this, box]() { updateDisplay(static_cast<int>(box->checkState())); });
    }
    connect(kindGroup, &QButtonGroup::buttonClicked, this, [this](QAbstractButton *box) {
        updateDisplay(box->isChecked() ? Qt::Checked : Qt::Unchecked);
    });
}

void Synthesis_Widget::installValidators() {
    auto *lengths = new QDoubleValidator(0.0, 100.0, 3, this);
    lengths->setNotation(QDoubleValidator::StandardNotation);
    auto *angles = new QDoubleValidator(-1000.0, 1000.0, 2, this);
    angles->setNotation(QDoubleValidator::StandardNotation);
    auto *coordinates = new QDoubleValidator(-1000.0, 1000.0, 3, this);
    coordinates->setNotation(QDoubleValidator::StandardNotation);
    for (QLineEdit *f : {ui->X_AP_Disp, ui->Y_AP_Disp, ui->X_RP_Disp, ui->Y_RP_Disp, ui->L1_Disp,
                         ui->L2_Disp, ui->L3_Disp, ui->L4_Disp, ui->L5_Disp})
        f->setValidator(lengths);
    for (QLineEdit *f : {ui->Phi_AP_Disp, ui->Phi_RP_Disp, ui->MF_X_Disp, ui->MF_Y_Disp,
                         ui->MF_Phi_Disp, ui->A1_Disp, ui->A2_Disp, ui->A3_Disp, ui->A4_Disp,
                         ui->A5_Disp, ui->TangentAngle_Disp, ui->LineAngle_Disp})
        f->setValidator(angles);
    for (QLineEdit *f : {ui->FP_X_Disp, ui->FP_Y_Disp, ui->MP_X_Disp, ui->MP_Y_Disp,
                         ui->Radius_Disp})
        f->setValidator(coordinates);
}

// Every box back to "stands for nothing"; the kind boxes go into their group. Nothing is sent.
void Synthesis_Widget::rebuildBoxLists() {
    for (int i = 0; i < boxCount; ++i) {
        resetBox(dyadBoxes[static_cast<size_t>(i)], dyadBoxName(i));
        QCheckBox *alternative = alternativeBoxes[static_cast<size_t>(i)];
        resetBox(alternative, alternativeBoxName(i));
        alternative->hide();
    }
    dyadStates.assign(boxCount, false);
    alternativeStates.assign(boxCount, false);
    ui->tabWidget_Details->setTabVisible(ui->tabWidget_Details->indexOf(ui->tab_Mechanism), false);
    kindStates.clear();
    for (QCheckBox *box : kindBoxes) {
        if (!kindGroup->buttons().contains(box))
            kindGroup->addButton(box);
        box->hide();
        box->setEnabled(true);
        kindStates.push_back(box->isChecked());
    }
}

// ---- The branch and its dyads -------------------------------------------------------------------

void Synthesis_Widget::setBranch(Branch *b) {
    for (QMetaObject::Connection &c : branchConnections)
        disconnect(c);
    branch = b;
    if (b) {
        branchConnections = {
            connect(ui->sliderMotion, &QSlider::valueChanged, b, &Branch::setMechanismCounter),
            connect(b, &Branch::updateObject, this, &Synthesis_Widget::setSlider),
            connect(b, &Branch::dyadListChanged, this, &Synthesis_Widget::dropStaleDyads)};
    }
    // Boxes that showed another branch's dyads stand for nothing now.
    dropStaleDyads();
}

// Showing the branch's counter must not feed it back into the branch.
void Synthesis_Widget::setSlider() {
    if (!branch)
        return;
    const double counter = branch->getMechanismCounter();
    if (!std::isfinite(counter))
        return;
    const QSignalBlocker blocker(ui->sliderMotion);
    ui->sliderMotion->setValue(
        static_cast<int>(std::lround(std::clamp(counter, -largestCounter, largestCounter))));
}

void Synthesis_Widget::setDyadList(const std::vector<Dyad *> &synthesized,
                                   const std::vector<Dyad *> &firstPass) {
    dyadListGiven = true;
    for (int i = 0; i < boxCount; ++i) {
        const size_t k = static_cast<size_t>(i);
        QCheckBox *box = dyadBoxes[k];
        Dyad *d = k < synthesized.size() ? synthesized[k] : nullptr;
        shownDyads[k] = d;
        if (!d) {
            resetBox(box, QStringLiteral("-"));
            continue;
        }
        box->setEnabled(true);
        box->setText(d->getName());
        // The user's pair when this run still has both of its dyads, the first two otherwise;
        // a box is ticked only for a dyad it shows.
        if (keepsChosenPair(synthesized.size()) ? isChosen(i) : i < 2)
            setCheckedQuietly(box, true);
    }
    // The exact RR of an approximate slider dyad is offered next to it.
    for (int j = 0; j < boxCount; ++j) {
        const size_t k = static_cast<size_t>(j);
        Dyad *d = k < firstPass.size() ? firstPass[k] : nullptr;
        if (!d || !d->isHighlighted())
            continue;
        QCheckBox *box = alternativeBoxes[k];
        shownAlternatives[k] = d;
        box->setEnabled(true);
        box->show();
        box->setText(d->typeName());
    }
}

// Runs whenever the branch's lists change (a clear, a new dyad, new first-pass dyads): a box
// whose dyad is no longer at its place in the list stops standing for it, silently; the dyad
// may be released as soon as this returns.
void Synthesis_Widget::dropStaleDyads() {
    const std::vector<Dyad *> synthesized =
        branch ? branch->getDyadListCpy() : std::vector<Dyad *>();
    const std::vector<Dyad *> firstPass =
        branch ? branch->getFirstPassDyadsCpy() : std::vector<Dyad *>();
    for (int i = 0; i < boxCount; ++i) {
        const size_t k = static_cast<size_t>(i);
        if (shownDyads[k] && (k >= synthesized.size() || synthesized[k] != shownDyads[k])) {
            shownDyads[k] = nullptr;
            resetBox(dyadBoxes[k], dyadBoxName(i));
        }
        if (shownAlternatives[k] && (k >= firstPass.size() || firstPass[k] != shownAlternatives[k])) {
            shownAlternatives[k] = nullptr;
            resetBox(alternativeBoxes[k], alternativeBoxName(i));
            alternativeBoxes[k]->hide();
        }
    }
}

void Synthesis_Widget::forgetDyads() {
    shownDyads.fill(nullptr);
    shownAlternatives.fill(nullptr);
}

void Synthesis_Widget::collectStates() {
    dyadStates.clear();
    alternativeStates.clear();
    kindStates.clear();
    for (const QCheckBox *box : dyadBoxes)
        dyadStates.push_back(box->isChecked());
    for (const QCheckBox *box : alternativeBoxes)
        alternativeStates.push_back(box->isChecked());
    for (const QCheckBox *box : kindBoxes)
        kindStates.push_back(box->isChecked());
}

bool Synthesis_Widget::keepsChosenPair(size_t dyadCount) const {
    return chosenPair.size() == 2 && chosenPair[1] < static_cast<int>(dyadCount);
}

bool Synthesis_Widget::isChosen(int i) const {
    return std::find(chosenPair.begin(), chosenPair.end(), i) != chosenPair.end();
}

void Synthesis_Widget::forgetChosenPair() { chosenPair.clear(); }

void Synthesis_Widget::handStatesToBranch() {
    collectStates();
    if (branch)
        branch->setcurrentdyadstate(dyadStates, kindStates, alternativeStates);
}

// A click of the user's: remember which dyad boxes are ticked, so that a re-run of the same
// task (after a position was dragged or a setting changed) keeps the pair the user chose.
void Synthesis_Widget::updateDisplay(int) {
    handStatesToBranch();
    chosenPair.clear();
    for (int i = 0; i < boxCount; ++i)
        if (dyadStates[static_cast<size_t>(i)])
            chosenPair.push_back(i);
}

// Another control (the Mechanisms table) chooses a pair: every other box, the alternatives
// included, is unticked, since a third ticked dyad would leave no pair at all.
bool Synthesis_Widget::choosePair(int first, int second) {
    auto shown = [this](int i) {
        return i < boxCount ? dyadShownBy(i) : alternativeShownBy(i - boxCount);
    };
    if (first == second || !shown(first) || !shown(second))
        return false;
    for (int i = 0; i < boxCount; ++i) {
        const size_t k = static_cast<size_t>(i);
        setCheckedQuietly(dyadBoxes[k], i == first || i == second);
        setCheckedQuietly(alternativeBoxes[k], i + boxCount == first || i + boxCount == second);
    }
    updateDisplay(Qt::Checked);
    return true;
}

// After each synthesis: the boxes are rebuilt from the branch's lists as they are now (no dyad
// of an earlier run is kept), and the final states reach the branch in one hand-over.
void Synthesis_Widget::updateWidget(int, int) {
    if (!dyadListGiven) {
        ui->frame_synthesis->hide();
        ui->frame_3->hide();
    } else {
        ui->frame_synthesis->show();
    }
    clearWidget();
    if (branch)
        setDyadList(branch->getDyadListCpy(), branch->getFirstPassDyadsCpy());
    else
        setDyadList({}, {});
    handStatesToBranch();
    ui->frame_synthesis->show();
    ui->frame_analysis->hide();
    // The task may have a new size: the box shows the same ratio as the length it now means.
    ui->linkRatio2->setSingleStep(linkLengthPerRatio());
    if (synthesis)
        setLinkRatio(static_cast<int>(std::lround(synthesis->getLinkRatio())));
}

// The type decision allows links up to the ratio times ten task sizes (the RMS distance of the
// positions from their centre), whatever the unit; the box shows that length in the task's unit.
double Synthesis_Widget::linkLengthPerRatio() const {
    const int n = synthesis ? synthesis->positionCount() : 0;
    if (n < 1)
        return tol::linkTaskSizesPerRatio;
    return tol::linkTaskSizesPerRatio
           * TaskFrame::of(synthesis->getData(), static_cast<arma::uword>(n)).size();
}

void Synthesis_Widget::clearWidget() {
    currentDyad = -1;
    currentPoint = -1;
    forgetDyads();
    rebuildBoxLists();
}

void Synthesis_Widget::resetWidget() {
    setSlider();
    for (int i = 0; i < boxCount; ++i) {
        shownDyads[static_cast<size_t>(i)] = nullptr;
        resetBox(dyadBoxes[static_cast<size_t>(i)], dyadBoxName(i));
    }
    // An exclusive group keeps one box checked; lift that while every box is cleared.
    kindGroup->setExclusive(false);
    for (QCheckBox *box : kindBoxes) {
        setCheckedQuietly(box, false);
        box->setEnabled(true);
    }
    kindGroup->setExclusive(true);
    dyadStates.assign(boxCount, false);
    kindStates.assign(boxCount, false);
}

void Synthesis_Widget::updateValuesLineEdits() {
    if (branch)
        static_cast<void>(branch->hasMechanism());
}

// ---- Readouts -----------------------------------------------------------------------------------

// A value that is not a number stands for "nothing to show": no sign, and "---" after it.
QString Synthesis_Widget::signText(double v) {
    if (std::isnan(v))
        return QStringLiteral(" ");
    return v < 0.0 ? QStringLiteral("-") : QStringLiteral("+");
}

QString Synthesis_Widget::magnitudeText(double v) {
    if (!std::isfinite(v))
        return QStringLiteral("---");
    const double a = std::fabs(v);
    const int decimals = a < 10.0 ? 3 : (a < 100.0 ? 2 : 1);
    return QString::number(a, 'f', decimals);
}

void Synthesis_Widget::showValue(QLabel *signLabel, QLabel *valueLabel, double v) {
    signLabel->setText(signText(v));
    valueLabel->setText(magnitudeText(v));
}

void Synthesis_Widget::showTypeofMechanism(QString type) {
    ui->label_Type_Of_Mechanism->setText(type);
}

void Synthesis_Widget::displaymouselocation(double x, double y) {
    showValue(ui->label_PosXSign, ui->label_PosX, x);
    showValue(ui->label_PosYSign, ui->label_PosY, y);
}

void Synthesis_Widget::displaytheta(double t) {
    showValue(ui->label_ThetaSign, ui->label_ThetaValue, t);
}

// t is shown as the branch gives it (degrees), without conversion.
void Synthesis_Widget::displayMFlocation(double x, double y, double t) {
    showValue(ui->label_MFXSign, ui->label_MFXValue, x);
    showValue(ui->label_MFYSign, ui->label_MFYValue, y);
    showValue(ui->label_MFThetaSign, ui->label_MFThetaValue, t);
}

// ---- Modes and editors --------------------------------------------------------------------------

void Synthesis_Widget::setModeSynthesis() { ui->frame_synthesis->show(); }

void Synthesis_Widget::setModeAnalysis() {
    ui->frame_synthesis->hide();
    ui->frame_analysis->show();
}

void Synthesis_Widget::LinkDimEditVisibility(bool visible) { ui->editLinkDim->setVisible(visible); }

void Synthesis_Widget::PositionDimEditVisibility(bool visible) {
    ui->editPointDim->setVisible(visible);
}

// ---- Maximum link length ------------------------------------------------------------------------

// The value comes from the "Synthesis Tools" box: showing it must not send it back, or a ratio
// would make a round trip through the length and could return changed.
void Synthesis_Widget::setLinkRatio(int r) {
    const QSignalBlocker blocker(ui->linkRatio2);
    ui->linkRatio2->setValue(r * linkLengthPerRatio());
}

void Synthesis_Widget::emitLinkRatio(double length) {
    const double perRatio = linkLengthPerRatio();
    if (!(perRatio > 0.0) || !std::isfinite(length))
        return;
    // Rounded, not truncated: 3.3 over a width of 1.1 is the ratio 3 even though the quotient
    // comes out a hair below it.
    const int ratio = static_cast<int>(
        std::lround(std::clamp(length / perRatio, 0.0, largestLinkRatio)));
    // The field shows the length of the ratio that will run; should the receiver adjust the
    // ratio, its answer comes back through setLinkRatio and overrides this.
    setLinkRatio(ratio);
    emit linkRatioChanged(ratio);
}

// ---- Positions ----------------------------------------------------------------------------------

void Synthesis_Widget::updatetabPositions() {
    if (!synthesis || !synthesis->getPointList()->empty())
        return;
    ui->spinBox_PosNo_AP->setRange(0, 0);
    for (QLineEdit *f : {ui->X_AP_Disp, ui->Y_AP_Disp, ui->Phi_AP_Disp, ui->X_RP_Disp,
                         ui->Y_RP_Disp, ui->Phi_RP_Disp})
        f->clear();
}

// The angle is reduced by whole turns and keeps its sign (725 shows 5, -370 shows -10).
void Synthesis_Widget::displayCurrentPosition(int i) {
    if (!synthesis)
        return;
    const std::vector<Point> *points = synthesis->getPointList();
    if (i < 0 || i >= static_cast<int>(points->size()))
        return;  // a caller error; there is nothing to show
    const Point &p = (*points)[static_cast<size_t>(i)];
    setSpinQuietly(ui->XspinBox, p[0]);
    setSpinQuietly(ui->YspinBox, p[1]);
    setSpinQuietly(ui->angleSpinBox, std::fmod(p[2], 360.0));
}

void Synthesis_Widget::clearPositionBoxes() {
    for (QDoubleSpinBox *box : {ui->XspinBox, ui->YspinBox, ui->angleSpinBox})
        setSpinQuietly(box, 0.0);
}

void Synthesis_Widget::editPositions() {
    const double x = ui->X_AP_Disp->text().toDouble();
    const double y = ui->Y_AP_Disp->text().toDouble();
    const double angle = ui->Phi_AP_Disp->text().toDouble();
    emit positionupdate(x, y, angle, 0, ui->spinBox_PosNo_AP->value() - 1);
}

void Synthesis_Widget::sendPositionEditData(double) {
    emit positionEdited(ui->XspinBox->value(), ui->YspinBox->value(), ui->angleSpinBox->value(),
                        ui->spinBox_PosNo_AP->value() - 1);
}
