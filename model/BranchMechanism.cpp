// Branch: the mechanism it forms and drives, the pivot handles, mouse-drawn dyads and drawing.
#include "Branch.h"

#include "Dyad.h"
#include "Mechanism.h"
#include "PR.h"
#include "RP.h"
#include "RR.h"

#include <algorithm>
#include <limits>

namespace {
// A handle is picked when the mouse is closer than this (workspace units).
constexpr double pivotPickRadius = 0.2;
} // namespace

bool Branch::hasMechanism() const { return mechanismB->isSet(); }
bool Branch::hasMechanismA() const { return mechanismA->isSet(); }
bool Branch::hasCouplerPoint() const { return mechanismB->hasCouplerPoint(); }

Point Branch::movingFramePoint() const {
    if (mechanismB->isSet())
        return mechanismB->couplerPoint();
    if (mechanismA->isSet())
        return mechanismA->couplerPoint();
    return Point(0.0, 0.0, 0.0);
}

QString Branch::mechanismTypeOrBlank() const {
    return mechanismB->isSet() ? mechanismB->typeName() : QStringLiteral(" ");
}

// Without a coupler point there is no moving frame to show: the readout gets not-a-number,
// which it shows as blank, rather than a zero pose that looks like a result.
void Branch::emitMFLocation() {
    if (mechanismB->hasCouplerPoint()) {
        const Point c = mechanismB->couplerPoint();
        emit displayMFlocation(c[0], c[1], c[2]);
    } else {
        const double none = std::numeric_limits<double>::quiet_NaN();
        emit displayMFlocation(none, none, none);
    }
}

void Branch::announceMechanism() {
    emit mechanismUpdated(mechanismTypeOrBlank());
    emitMFLocation();
}

double Branch::getMechanismCounter() const { return mechanismB->getCounter(); }
Point Branch::getMechanismMFPoint() const { return mechanismB->couplerPoint(); }
double Branch::getMechanismgroundLinkLength() const { return mechanismB->groundLinkLength(); }
double Branch::getMechanismfloatingLinkLength() const { return mechanismB->floatingLinkLength(); }
double Branch::getMechanismdyad1LinkLength() const { return mechanismB->dyad1LinkLength(); }
double Branch::getMechanismdyad2LinkLength() const { return mechanismB->dyad2LinkLength(); }
double Branch::getMechanismgroundLinkAngle() const { return mechanismB->groundLinkAngle(); }
// The coupler's own angle: a length under this name would serve nobody.
double Branch::getMechanismfloatingLinkAngle() const { return mechanismB->floatingLinkAngle(); }
double Branch::getMechanismdyad1LinkAngle() const { return mechanismB->dyad1LinkAngle(); }
double Branch::getMechanismdyad2LinkAngle() const { return mechanismB->dyad2LinkAngle(); }

void Branch::setMechanismCounter(int count) {
    mechanismB->setCounter(static_cast<double>(count));
    emitMFLocation();
    emit updateObject();
}

void Branch::setMechanismInput(double value) {
    mechanismB->setCounter(value);
    emitMFLocation();
    emit updateObject();
}

void Branch::IncrementDyads() {
    if (mechanismB->isSet())
        mechanismB->stepForward();
    emitMFLocation();
    emit updateObject();
}

void Branch::DecrementDyads() {
    if (mechanismB->isSet())
        mechanismB->stepBackward();
    emitMFLocation();
    emit updateObject();
}

void Branch::setMechanismCircuitasopen() {
    mechanismB->setCircuitOpen();
    emitMFLocation();
    emit updateObject();
}

void Branch::setMechanismCircuitascrossed() {
    mechanismB->setCircuitCrossed();
    emitMFLocation();
    emit updateObject();
}

// The mechanism stays on the circuit its assembly sits on after the swap; forcing the crossed
// circuit here would flip an open assembly into its mirror image, which misses the task.
void Branch::swapInputDyad() {
    if (!mechanismB->hasCouplerPoint())
        return;
    mechanismB->swapDyads();
    emit updateObject();
    emit mechanismUpdated(mechanismTypeOrBlank());
    announceMechanism();
    emit updateObject();
}

void Branch::resetMechanism() {
    for (const DyadHandle &d : dyadList)
        d->resetToReference();
    for (const DyadHandle &d : userInputDyads)
        d->resetToReference();
    if (mechanismB->isSet())
        mechanismB->assemble();
    movingFrameSet = false;
    // Back at its start the mechanism is still the same one: its label stays, and the readout
    // and the counter slider follow it back.
    announceMechanism();
    emit updateObject();
}

// ---- Pivot handles ------------------------------------------------------------------------

void Branch::buildPivotList() {
    pivotList.clear();
    for (const DyadHandles *list : {&dyadList, &userInputDyads}) {
        for (const DyadHandle &d : *list) {
            pivotList.push_back(d->fixedPivotPtr());
            pivotList.push_back(d->movingPivotPtr());
        }
    }
    if (Point *coupler = mechanismB->couplerPointHandle())
        pivotList.push_back(coupler);
    if (selectedPivot >= static_cast<int>(pivotList.size()))
        selectedPivot = -1;
}

bool Branch::pickPivot(double x, double y) {
    for (size_t k = 0; k < pivotList.size(); ++k) {
        if (pivotList[k]->distance(x, y) < pivotPickRadius) {
            selectedPivot = static_cast<int>(k);
            return true;
        }
        selectedPivot = -1;
    }
    return false;
}

bool Branch::isNearPivot(double x, double y) const {
    for (const Point *p : pivotList)
        if (p->distance(x, y) < pivotPickRadius)
            return true;
    return false;
}

bool Branch::isCouplerPointSelected() const {
    return mechanismB->hasCouplerPoint() && selectedPivot >= 0
           && selectedPivot == static_cast<int>(pivotList.size()) - 1;
}

void Branch::commitAllDyads() {
    for (const DyadHandle &d : dyadList)
        d->commitGeometry();
    for (const DyadHandle &d : userInputDyads)
        d->commitGeometry();
}

void Branch::editDyadList(double x, double y) {
    if (selectedPivot < 0 || selectedPivot >= static_cast<int>(pivotList.size()))
        return;
    Point *handle = pivotList[static_cast<size_t>(selectedPivot)];
    (*handle)[0] = x;
    (*handle)[1] = y;
    commitAllDyads();
    mechanismB->setDyadsAgain();
    buildPivotList();
    announceMechanism();
    emit updateObject();
}

void Branch::refreshAfterEdit() {
    mechanismB->setDyadsAgain();
    buildPivotList();
    announceMechanism();
    emit updateObject();
}

// ---- Mouse-drawn dyads ----------------------------------------------------------------------

std::shared_ptr<Dyad> Branch::makeDrawnDyad(int kind, double x1, double y1, double x2, double y2,
                                            const Point &frame) {
    const double fx = frame[0], fy = frame[1], ft = frame[2];
    if (kind == 1)
        return std::make_shared<RR>(x1, y1, x2, y2, fx, fy, ft);
    if (kind == 2)
        return std::make_shared<RP>(x1, y1, x2, y2, fx, fy, ft);
    return std::make_shared<PR>(x1, y1, x2, y2, fx, fy, ft);
}

void Branch::createUserDyad(double x1, double y1, double x2, double y2, double thetaDeg) {
    const int kind = static_cast<int>(todraw);
    if (kind == 0) {
        if (movingFrameSet)
            return;
        movingFramePose = Point(x1, y1, thetaDeg);
        movingFrameSet = true;
        mechanismB->setCouplerPose(Point(x1, y1, thetaDeg));
        buildPivotList();
        emitMFLocation();
        return;
    }
    if (kind < 1 || kind > 3 || userInputDyads.size() >= 2)
        return;
    Point frame = movingFramePose;
    if (kind == 2 && userInputDyads.size() == 1) {
        const Point m = userInputDyads.front()->movingPivotCopy();
        frame = Point(m.x(), m.y(), m.z());
    }
    userInputDyads.push_back(makeDrawnDyad(kind, x1, y1, x2, y2, frame));
    if (userInputDyads.size() == 2)
        mechanismB->setDyads(userInputDyads[0].get(), userInputDyads[1].get());
    buildPivotList();
    emit dyadListChanged();
    emit mechanismUpdated(mechanismTypeOrBlank());
    announceMechanism();
    emit updateObject();
}

// ---- Drawing (needs a current GL context) -----------------------------------------------------

void Branch::drawChosenDyads() const {
    for (size_t i = 0; i < dyadList.size() && i < dyadStates.size(); ++i)
        if (dyadStates[i])
            dyadList[i]->draw();
}

// The chosen synthesized dyads, then those of the formed mechanism that are not among them
// (drawn dyads, a first-pass alternative). A dyad of both comes once: a translucent skin drawn
// twice looks darker and costs the image-space view a second pass.
std::vector<Dyad *> Branch::surfaceDyads() const {
    std::vector<Dyad *> dyads;
    for (size_t i = 0; i < dyadList.size() && i < dyadStates.size(); ++i)
        if (dyadStates[i])
            dyads.push_back(dyadList[i].get());
    const Mechanism &m = *mechanismB;
    if (!m.isSet() || !m.hasCouplerPoint())
        return dyads;
    for (Dyad *d : {m.getInputDyad(), m.getOutputDyad()})
        if (d && std::find(dyads.begin(), dyads.end(), d) == dyads.end())
            dyads.push_back(d);
    return dyads;
}

void Branch::drawUserDyads() const {
    for (const DyadHandle &d : userInputDyads)
        d->draw();
    mechanismB->draw();
}

void Branch::drawPreview(double x1, double y1, double x2, double y2, double thetaDeg) const {
    if (drawPrototype)
        drawPrototype->drawInputPreviewFull(x1, y1, x2, y2, thetaDeg);
}
