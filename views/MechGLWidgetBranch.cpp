// Cartesian view and the branch: drawing dyads and the mechanism, picking and editing dyads.
// Dyads are read from the branch at every use and never kept, since the branch frees them on
// every new synthesis, reset or file load.
#include "MechGLWidget.h"

#include "Branch.h"
#include "Dyad.h"
#include "Link.h"
#include "Mechanism.h"
#include "ProcessValues.h"

#include <QCursor>
#include <algorithm>
#include <cmath>

namespace {
// Distance from p to the segment a-b: perpendicular when the foot falls inside, else to the
// nearer end.
double distanceToSegment(double px, double py, const Point &a, const Point &b) {
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    const double lengthSq = dx * dx + dy * dy;
    double t = 0.0;
    if (lengthSq > 0.0)
        t = ((px - a.x()) * dx + (py - a.y()) * dy) / lengthSq;
    if (t < 0.0 || t > 1.0)
        return std::min(std::hypot(px - a.x(), py - a.y()), std::hypot(px - b.x(), py - b.y()));
    return std::hypot(px - (a.x() + t * dx), py - (a.y() + t * dy));
}

// The far end of a dyad's pickable segment: its moving pivot, or for an RP its pose point,
// since an RP's moving pivot is a handle a hair from the fixed pivot.
Point pickEnd(const Dyad &d) {
    if (d.typeName() == "RP")
        return d.poseCopy();
    return d.movingPivotCopy();
}

void drawHighlightedLinksOf(const Branch::DyadHandles &dyads) {
    for (const Branch::DyadHandle &d : dyads)
        if (d && d->isHighlighted())
            Link(d->fixedPivotCopy(), d->movingPivotCopy()).drawHighlighted();
}
} // namespace

// ---- Drawing -------------------------------------------------------------------------------------

void MechGLWidget::drawBranchLayer() const {
    if (!branch)
        return;
    branch->drawChosenDyads();
    branch->drawUserDyads();
    drawHighlightedLinks();
}

// A picked dyad's link is drawn once more on top, in the highlighted style.
void MechGLWidget::drawHighlightedLinks() const {
    // Either mechanism holding a pair makes its dyads pickable, so both lists are shown.
    if (!branch->hasMechanism() && !branch->hasMechanismA())
        return;
    drawHighlightedLinksOf(branch->getUserInputDyads());
    drawHighlightedLinksOf(branch->getDyadList());
}

void MechGLWidget::drawDyadBeingEntered() const {
    if (branch)
        branch->drawPreview(bandStart.x(), bandStart.y(), bandEnd.x(), bandEnd.y(),
                            std::atan2(bandEnd.y() - bandStart.y(), bandEnd.x() - bandStart.x()) *
                                180.0 / PI);
}

// ---- Picking and editing ---------------------------------------------------------------------------

// The synthesized dyads are picked when there are any, else the drawn ones.
int MechGLWidget::pickDyad(double x, double y) const {
    if (!branch)
        return -1;
    const Branch::DyadHandles &list = branch->getDyadList().empty()
                                          ? branch->getUserInputDyads()
                                          : branch->getDyadList();
    for (size_t i = 0; i < list.size(); ++i) {
        const Dyad *d = list[i].get();
        if (d && distanceToSegment(x, y, d->fixedPivotCopy(), pickEnd(*d)) < 0.3)
            return static_cast<int>(i);
    }
    return -1;
}

void MechGLWidget::clearDyadHighlights() const {
    if (!branch)
        return;
    for (const Branch::DyadHandle &d : branch->getUserInputDyads())
        if (d)
            d->setHighlighted(false);
    for (const Branch::DyadHandle &d : branch->getDyadList())
        if (d)
            d->setHighlighted(false);
}

void MechGLWidget::choosePreviewDrawer() {
    if (branch)
        branch->choosePreviewPrototype();
}

void MechGLWidget::buildBranchPivots() {
    if (branch)
        branch->buildPivotList();
}

void MechGLWidget::createUserDyad(double x1, double y1, double x2, double y2, double thetaDeg) {
    if (branch)
        branch->createUserDyad(x1, y1, x2, y2, thetaDeg);
}

// What the coupler-point editor shows: distance and angle of the coupler point from the
// coupler's first end (relative to the coupler line) and its orientation.
void MechGLWidget::emitCouplerValues() {
    const Mechanism *m = branch ? branch->getMechanism() : nullptr;
    if (m && m->hasCouplerPoint() && branch->isCouplerPointSelected()) {
        const CouplerLink &c = m->getCoupler();
        emit updateCouplerDimDisplay(c.pointDistance(), c.pointAngle(), c.couplerPoint()[2],
                                     true);
    } else {
        emit updateCouplerDimDisplay(0.0, 0.0, 0.0, false);
    }
}

void MechGLWidget::pressEditMechanism() {
    if (!branch || !branch->hasCouplerPoint())
        return;
    selectedDyad = pickDyad(mouseWorld.x(), mouseWorld.y());
    clearDyadHighlights();
    if (selectedDyad < 0) {
        draggingDyad = false;
    } else {
        const auto i = static_cast<size_t>(selectedDyad);
        if (i < branch->getDyadList().size())
            branch->getDyadList()[i]->setHighlighted(true);
        if (i < branch->getUserInputDyads().size())
            branch->getUserInputDyads()[i]->setHighlighted(true);
        emit updateCurrentDyad(selectedDyad);
        update();
        draggingDyad = true;
    }
    // A pivot handle off every link (the coupler point) can be dragged as well.
    if (branch->pickPivot(mouseWorld.x(), mouseWorld.y()))
        draggingDyad = true;
    emitCouplerValues();
}

// Dragging a pivot handle: the branch moves the picked handle and rebuilds the mechanism.
void MechGLWidget::moveEditMechanism(Qt::MouseButtons buttons, const QPointF &pixel) {
    if ((buttons & Qt::LeftButton) && draggingDyad) {
        setCursor(Qt::ClosedHandCursor);
        emit emitdyadupdate(mouseWorld.x(), mouseWorld.y());
        if (selectedDyad >= 0)
            emit updateCurrentDyad(selectedDyad);
        emitCouplerValues();
        update();
    } else if (buttons & Qt::RightButton) {
        panBy(pixel);
    }
}
