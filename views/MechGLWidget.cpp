// Cartesian view: its state, the pixel <-> workspace mapping, picking and the animation timer.
#include "MechGLWidget.h"

#include "Branch.h"
#include "Line.h"
#include "Motion.h"
#include "ProcessValues.h"
#include "Tolerances.h"

#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace {
// Rotation angles are kept in sixteenths of a degree within one turn.
constexpr double fullTurn16 = 5760.0;
}

MechGLWidget::MechGLWidget(QWidget *parent) : QOpenGLWidget(parent) {
    // The view asks for its depth buffer itself instead of through the default format, which
    // would give one to the surface Qt composes the whole window on as well: a buffer of the
    // window's size to allocate, fill and clear at start-up and at every animation frame.
    setFormat(surfaceFormat());
    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &MechGLWidget::animateOnTime);
    workspaceWidth = 20.0;
    workspaceHeight = 10.0;
    defaultScale = 0.45;
    scale = defaultScale;
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setCursor(Qt::CrossCursor);
}

MechGLWidget::~MechGLWidget() {
    // The base class destroys the context after this destructor has run, when this object is
    // only a QOpenGLWidget: the context's last signal must not reach releaseGl() then.
    QObject::disconnect(contextLossConnection);
    releaseGl();
}

// Frees what this view made in its context, while that context still exists and is current.
void MechGLWidget::releaseGl() {
    if (backgroundTexture == 0 || !context())
        return;
    makeCurrent();
    freeBackgroundTexture();
    doneCurrent();
}

// ---- Mapping --------------------------------------------------------------------------------

// The view is a square of the longer widget side, centred, showing 10/scale world units across:
// world (x, y) -> normalised device coordinates scale*(x + pan)/5. Widths and mouse positions are
// both taken in device pixels (logical times the real device pixel ratio), so the two always
// agree, on scaled displays too.
QPointF MechGLWidget::worldToPixel(double x, double y) const {
    const double ratio = devicePixelRatioF();
    const double w = width() * ratio;
    const double h = height() * ratio;
    const double side = std::max(w, h);
    const double px = w / 2.0 + scale * (x + panX) * side / 10.0;
    const double py = h / 2.0 - scale * (y + panY) * side / 10.0;
    return QPointF(px / ratio, py / ratio);
}

QPointF MechGLWidget::pixelToWorld(QPointF pixel) const {
    const QPointF device = eventPixel(pixel);
    const double ratio = devicePixelRatioF();
    const double w = width() * ratio;
    const double h = height() * ratio;
    const double side = std::max(w, h);
    if (side <= 0.0)
        return QPointF(-panX, -panY);
    const double x = 10.0 * (device.x() - w / 2.0) / (scale * side) - panX;
    const double y = -panY - 10.0 * (device.y() - h / 2.0) / (scale * side);
    return QPointF(x, y);
}

QPointF MechGLWidget::eventPixel(const QPointF &logical) const {
    return logical * devicePixelRatioF();
}

// ---- Positions: always the motion's list ------------------------------------------------------

void MechGLWidget::syncPositionsWithModel() {
    if (motion) {
        const PointList &list = motion->positions();
        positions.clear();
        positions.reserve(static_cast<size_t>(list.size()));
        for (int i = 0; i < list.size(); ++i) {
            const Point pose = toCartesian(list.ref(i));  // theta in radians
            Point shown(pose.x(), pose.y(), pose.z() * 180.0 / PI);
            shown.parameter = pose.parameter;
            positions.push_back(shown);
        }
    }
    rebuildAxisHandles();
    // A selection or hover past the end (after a delete, a reset or a smaller load) is dropped.
    const int n = static_cast<int>(positions.size());
    if (selectedPosition >= n) {
        selectedPosition = -1;
        positionSelected = false;
    }
    if (hoveredPosition >= n)
        hoveredPosition = -1;
    if (hoveredHandle >= n)
        hoveredHandle = -1;
}

const std::vector<Point> &MechGLWidget::shownPositions() {
    syncPositionsWithModel();
    return positions;
}

void MechGLWidget::rebuildAxisHandles() {
    axisHandles.clear();
    axisHandles.reserve(positions.size());
    for (const Point &p : positions) {
        const double th = p.z() * PI / 180.0;
        axisHandles.push_back({p.x() + 0.9 * std::cos(th), p.y() + 0.9 * std::sin(th),
                               p.x() - 0.9 * std::sin(th), p.y() + 0.9 * std::cos(th)});
    }
}

// The nearest position strictly inside the pick radius, or -1.
int MechGLWidget::pickPosition(double x, double y) const {
    int best = -1;
    double bestDistance = tol::pickRadius;
    for (size_t i = 0; i < positions.size(); ++i) {
        const double d = positions[i].distance(x, y);
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

int MechGLWidget::pickHandle(double x, double y) const {
    int best = -1;
    double bestDistance = tol::pickRadius;
    for (size_t i = 0; i < axisHandles.size(); ++i) {
        const AxisTips &t = axisHandles[i];
        const double d = std::min(std::hypot(t.x1 - x, t.y1 - y), std::hypot(t.x2 - x, t.y2 - y));
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

bool MechGLWidget::positionIndexValid(int i) const {
    return i >= 0 && i < static_cast<int>(positions.size());
}

int MechGLWidget::motionCurrentIndex() const {
    return motion ? motion->currentPositionIndex() : -1;
}

void MechGLWidget::setMotionCurrentIndex(int i) {
    if (motion && (i == -1 || (i >= 0 && i < motion->size())))
        motion->setcurrntpositionindex(i);
}

void MechGLWidget::forgetSelection() {
    selectedPosition = -1;
    positionSelected = false;
    hoveredPosition = -1;
    hoveredHandle = -1;
    movingPosition = false;
    rotatingPosition = false;
}

// ---- Model hand-over --------------------------------------------------------------------------

void MechGLWidget::setMotion(Motion *m) {
    motion = m;
    forgetSelection();
    update();
}

void MechGLWidget::setAllDyad(Branch *b) {
    branch = b;
    selectedDyad = -1;
    update();
}

void MechGLWidget::setCurrentDyad(Dyad *d) {
    currentDyad = d;
    update();
}

void MechGLWidget::setupPointList(std::vector<Point> *points) {
    // With a motion set the drawing copy is re-read from it before use; this list only stands
    // in when no motion is set.
    positions.clear();
    if (points)
        for (const Point &p : *points)
            positions.push_back(p);
    forgetSelection();
    syncPositionsWithModel();
    update();
}

void MechGLWidget::emptyWidget() {
    positions.clear();
    axisHandles.clear();
    scale = defaultScale;
    panX = panY = 0.0;
    motion = nullptr;
    branch = nullptr;
    currentDyad = nullptr;
    enteredCount = 0;
    forgetSelection();
    selectedDyad = -1;
}

void MechGLWidget::resetwidget() {
    if (timer->isActive() || animationHidDimensions)
        stopAnimate();
    enteredCount = 0;
    forgetSelection();
    selectedDyad = -1;
    positions.clear();
    axisHandles.clear();
    clearPendingInput();
    // The engine forgets its line on reset, so the view must not keep showing one.
    lineConstraintSet = false;
    lineConstraint.reset();
    resetView();
}

void MechGLWidget::clearMarkerPoints() {
    markerPoints.clear();
    update();
}

void MechGLWidget::restoreTaskMarks(const QPointF *lineEnds, const std::vector<Point> &markers) {
    lineConstraintSet = lineEnds != nullptr;
    lineConstraint.reset();
    if (lineEnds) {
        lineStart = lineEnds[0];
        lineEnd = lineEnds[1];
        lineConstraint = std::make_unique<Line>(Point(lineStart.x(), lineStart.y(), 0.0),
                                                Point(lineEnd.x(), lineEnd.y(), 0.0));
    }
    markerPoints = markers;
    update();
}

void MechGLWidget::clearPendingInput() {
    positionEntryMarker = 0;
    enteringDyad = false;
    movingPosition = false;
    rotatingPosition = false;
    draggingDyad = false;
}

// ---- View settings ----------------------------------------------------------------------------

double MechGLWidget::normalisedAngle(double a) {
    while (a < 0.0)
        a += fullTurn16;
    while (a > fullTurn16)
        a -= fullTurn16;
    return a;
}

void MechGLWidget::setXRotation(double angle) {
    angle = normalisedAngle(angle);
    if (angle == xRot)
        return;
    xRot = angle;
    emit xRotationChanged(static_cast<int>(angle));
    update();
}

void MechGLWidget::setYRotation(double angle) {
    angle = normalisedAngle(angle);
    if (angle == yRot)
        return;
    yRot = angle;
    emit yRotationChanged(static_cast<int>(angle));
    update();
}

void MechGLWidget::setZRotation(double angle) {
    angle = normalisedAngle(angle);
    if (angle == zRot)
        return;
    zRot = angle;
    emit zRotationChanged(static_cast<int>(angle));
    update();
}

void MechGLWidget::setScale(int s) {
    if (s < 2 || s >= 1000)
        return;
    scale = s / 100.0;
    emit scaleChanged(scale);
    update();
}

void MechGLWidget::resetView() {
    scale = defaultScale;
    panX = panY = 0.0;
    setXRotation(0.0);
    setYRotation(0.0);
    update();
}

void MechGLWidget::updateObject() { update(); }

// The flag is process-wide and read while drawing, so flipping it alone changes nothing on
// screen until something else repaints. An explicit choice during an animation also wins over
// the animation's own hiding, so stopping it does not undo what the user just chose.
void MechGLWidget::setShowDimensions(bool on) {
    showDimensions = on;
    animationHidDimensions = false;
    update();
}

void MechGLWidget::whileplottingactive(double m, double x1, double y1, double x2, double y2) {
    positionEntryMarker = static_cast<int>(m);
    bandStart = QPointF(x1, y1);
    bandEnd = QPointF(x2, y2);
    update();
}

void MechGLWidget::updatedyaddisplay(int i) {
    if (branch)
        branch->setcurrentpointindex(i - 1);
    update();
}

void MechGLWidget::toggle_Grid() {
    showGrid = !showGrid;
    update();
}

void MechGLWidget::toggle_toInterPolate() {
    interpolate = !interpolate;
    update();
}

void MechGLWidget::plotsettings() { clickInput = !clickInput; }

bool MechGLWidget::checkLCSet() const { return lineConstraintSet; }

bool MechGLWidget::lineConstraintEnds(QPointF &start, QPointF &end) const {
    if (!lineConstraintSet)
        return false;
    start = lineStart;
    end = lineEnd;
    return true;
}

void MechGLWidget::setBackgroundPlacement(const BackgroundPlacement &placement) {
    if (placement == backgroundPlacement)
        return;
    backgroundPlacement = placement;
    update();
}

// ---- Animation ---------------------------------------------------------------------------------

bool MechGLWidget::isAnimating() const { return timer->isActive(); }

int MechGLWidget::animationInterval() const { return timer->interval(); }

// One tick is one mechanism step; the branch's updateObject() asks for the one repaint, and Qt
// folds repeated requests into a single paint, so a slow frame never queues extra work.
void MechGLWidget::animate() {
    if (!branch) {
        timer->stop();
        return;
    }
    branch->IncrementDyads();
    update();
}

// Where composing the window on screen takes longer than a timer period (software rendering
// of a large window), timeouts come late and one step per timeout would slow the mechanism
// down. Each timeout therefore takes every step that is due by the clock, and the views repaint
// once. After a long stall (a dialog, a suspended machine) the mechanism carries on from where
// it was instead of racing through the steps it missed.
void MechGLWidget::animateOnTime() {
    constexpr qint64 mostStepsAtOnce = 8;
    const qint64 due = animationClock.elapsed() / std::max(1, timer->interval());
    qint64 steps = std::max<qint64>(1, due - animationStepsTaken);
    if (steps > mostStepsAtOnce) {
        steps = 1;
        animationStepsTaken = due - 1;
    }
    for (qint64 i = 0; i < steps && timer->isActive(); ++i)
        animate();
    animationStepsTaken += steps;
}

void MechGLWidget::startTimerEvery(int ms) {
    timer->start(ms);
    animationClock.start();
    animationStepsTaken = 0;
}

void MechGLWidget::startAnimate() {
    startTimerEvery(animationIntervalMs);
    if (showDimensions) {
        showDimensions = false;
        animationHidDimensions = true;
    }
}

void MechGLWidget::stopAnimate() {
    // Stopping always stops the timer; only a formed mechanism has a configuration to return to.
    timer->stop();
    if (branch && branch->hasCouplerPoint())
        branch->resetMechanism();
    if (animationHidDimensions) {
        showDimensions = true;
        animationHidDimensions = false;
    }
    update();
}

void MechGLWidget::pauseAnimate() {
    timer->stop();
    if (animationHidDimensions) {
        showDimensions = true;
        animationHidDimensions = false;
    }
    update();
}
