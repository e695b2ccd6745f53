// Cartesian view interaction: the modes and what mouse, wheel and keys do in each of them.
#include "MechGLWidget.h"

#include "Branch.h"
#include "Motion.h"
#include "ProcessValues.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>
#include <cmath>

namespace {
// A pan drag of this many pixels moves the scene by one workspace unit, whatever the scale.
constexpr double pixelsPerPanUnit = 50.0;
// One wheel notch, in eighths of a degree.
constexpr double wheelNotch = 120.0;
constexpr double zoomClickIn = 1.5;
constexpr double zoomClickOut = 0.5;
constexpr double centreClickScale = 0.8;
// Arrow keys turn the (undrawn) rotation values by this much, in sixteenths of a degree.
constexpr double keyRotationStep = 0.5;

double bandAngleDeg(const QPointF &from, const QPointF &to) {
    return std::atan2(to.y() - from.y(), to.x() - from.x()) * 180.0 / PI;
}
} // namespace

// ---- Mode slots --------------------------------------------------------------------------------

void MechGLWidget::enterMode(int newMode, Qt::CursorShape cursorShape, bool setCursorShape) {
    mode = newMode;
    if (setCursorShape)
        setCursor(cursorShape);
}

void MechGLWidget::setModeInput_Position() {
    if (mode != InputPosition)
        enterMode(InputPosition, Qt::CrossCursor, true);
}

void MechGLWidget::setModeEdit_Position() {
    if (mode != EditPosition)
        enterMode(EditPosition, Qt::OpenHandCursor, true);
}

void MechGLWidget::setModeInput_Mechanism() {
    if (mode != InputMechanism)
        enterMode(InputMechanism, Qt::CrossCursor, true);
}

void MechGLWidget::setModeEdit_Mechanism() {
    if (mode != EditMechanism) {
        enterMode(EditMechanism, Qt::OpenHandCursor, true);
        buildBranchPivots();
        update();
    }
    // Every call starts the edit with nothing highlighted.
    clearDyadHighlights();
}

void MechGLWidget::setModeFour_Position() {
    if (mode != FourPosition) {
        enterMode(FourPosition, Qt::CrossCursor, true);
        buildBranchPivots();
    }
}

void MechGLWidget::setModeThree_Position() {
    if (mode != ThreePosition) {
        enterMode(ThreePosition, Qt::CrossCursor, true);
        buildBranchPivots();
    }
}

void MechGLWidget::setModeLine_Input() {
    if (mode != LineInput)
        enterMode(LineInput, Qt::CrossCursor, true);
}

void MechGLWidget::setModePan() {
    if (mode != Pan)
        enterMode(Pan, Qt::ArrowCursor, false);
}

void MechGLWidget::setModeZoom() {
    if (mode != Zoom)
        enterMode(Zoom, Qt::ArrowCursor, false);
}

void MechGLWidget::setModeUDP_Input() {
    if (mode != UserPointInput)
        enterMode(UserPointInput, Qt::ArrowCursor, false);
}

// ---- Press ---------------------------------------------------------------------------------------

void MechGLWidget::mousePressEvent(QMouseEvent *event) {
    syncPositionsWithModel();
    const QPointF pixel = event->position();
    lastPixel = pixel;
    anchorPixel = pixel;
    mouseWorld = pixelToWorld(pixel);
    if (event->button() == Qt::LeftButton)
        pressLeft(mouseWorld);
    else if (event->button() == Qt::RightButton && mode == Zoom)
        zoomAbout(pixel, scale * zoomClickOut);
}

void MechGLWidget::pressLeft(const QPointF &world) {
    switch (mode) {
    case InputPosition:
        if (clickInput) {
            bandStart = bandEnd = world;
            positionEntryMarker = 0;
            ++enteredCount;
            emit positioninput(world.x(), world.y(), 0.0, enteredCount);
            syncPositionsWithModel();
            update();
        }
        break;
    case InputMechanism:
        if (clickInput)
            createUserDyad(world.x(), world.y(), world.x() + 4.0, world.y() + 4.0, 45.0);
        break;
    case EditPosition:
        pressEditPosition();
        break;
    case UserPointInput:
        if (markerPoints.size() < 2)
            markerPoints.emplace_back(world.x(), world.y(), 0.0);
        emit udpinput(world.x(), world.y());
        update();
        break;
    case Zoom:
        zoomAbout(lastPixel, scale * zoomClickIn);
        break;
    case EditMechanism:
        pressEditMechanism();
        break;
    default:
        break;
    }
}

// A press picks the position (or the axis tip) under the cursor; a press on nothing clears the
// selection, so no index from an older, longer task survives.
void MechGLWidget::pressEditPosition() {
    hoveredPosition = pickPosition(mouseWorld.x(), mouseWorld.y());
    hoveredHandle = pickHandle(mouseWorld.x(), mouseWorld.y());
    if (hoveredPosition >= 0)
        selectedPosition = hoveredPosition;
    else if (hoveredHandle >= 0)
        selectedPosition = hoveredHandle;
    else
        selectedPosition = -1;
    positionSelected = selectedPosition >= 0;
    if (positionSelected)
        emit updatecurrentDisp(selectedPosition);
    update();
}

// ---- Release: a finished drag is committed at once ---------------------------------------------

void MechGLWidget::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton)
        return;
    syncPositionsWithModel();
    const bool entersPositions =
        mode == InputPosition || mode == FourPosition || mode == ThreePosition;
    if (entersPositions && positionEntryMarker != 0)
        commitEnteredPosition();
    else if (mode == InputMechanism && enteringDyad)
        commitEnteredDyad();
    else if (mode == EditPosition && (movingPosition || rotatingPosition))
        finishPositionEdit();
    else if (mode == EditMechanism && draggingDyad)
        setCursor(Qt::OpenHandCursor);
}

// ---- Move ----------------------------------------------------------------------------------------

void MechGLWidget::mouseMoveEvent(QMouseEvent *event) {
    syncPositionsWithModel();
    const QPointF pixel = event->position();
    viewportMin = std::min(width(), height());
    viewportSide = std::max(width(), height());
    mouseWorld = pixelToWorld(pixel);
    cursorPixel = pixel;
    cursorInside = rect().contains(pixel.toPoint());
    emit emitmouselocation(mouseWorld.x(), mouseWorld.y());

    const Qt::MouseButtons buttons = event->buttons();
    switch (mode) {
    case InputPosition:
    case FourPosition:
    case ThreePosition:
        movePositionEntry(buttons, pixel);
        break;
    case EditPosition:
        moveEditPosition(buttons, pixel);
        break;
    case InputMechanism:
        moveDyadEntry(buttons, pixel);
        break;
    case EditMechanism:
        moveEditMechanism(buttons, pixel);
        break;
    case LineInput:
        moveLineInput(buttons, pixel);
        break;
    case Pan:
        if (buttons & Qt::LeftButton)
            panBy(pixel);
        break;
    default:
        break;
    }
    lastPixel = pixel;
}

void MechGLWidget::movePositionEntry(Qt::MouseButtons buttons, const QPointF &pixel) {
    setCursor(Qt::CrossCursor);
    if ((buttons & Qt::LeftButton) && !clickInput) {
        positionEntryMarker = 1;
        bandStart = pixelToWorld(anchorPixel);
        bandEnd = pixelToWorld(pixel);
        emit emittheta(bandAngleDeg(bandStart, bandEnd));
        update();
    } else if (buttons == Qt::NoButton) {
        anchorPixel = pixel;
        const int picked = pickPosition(mouseWorld.x(), mouseWorld.y());
        if (picked != hoveredPosition)
            update();
        hoveredPosition = picked;
        setMotionCurrentIndex(hoveredPosition);
        if (positionEntryMarker != 0)
            commitEnteredPosition();
    } else if (buttons & Qt::RightButton) {
        panBy(pixel);
    }
}

// The entered position goes to the main window as a request; whatever it decides, the view
// re-reads the task, so it never shows a position the task does not have.
void MechGLWidget::commitEnteredPosition() {
    positionEntryMarker = 0;
    const double angle = bandAngleDeg(bandStart, bandEnd);
    ++enteredCount;
    emit positioninput(bandStart.x(), bandStart.y(), angle, enteredCount);
    syncPositionsWithModel();
    update();
}

void MechGLWidget::moveEditPosition(Qt::MouseButtons buttons, const QPointF &pixel) {
    if ((buttons & Qt::LeftButton) && positionSelected && positionIndexValid(selectedPosition)) {
        if (hoveredHandle == selectedPosition && hoveredPosition != selectedPosition)
            rotateSelectedPosition();
        else if (hoveredPosition == selectedPosition)
            dragSelectedPosition();
    } else if (buttons == Qt::NoButton) {
        if (movingPosition || rotatingPosition)
            finishPositionEdit();
        hoveredPosition = pickPosition(mouseWorld.x(), mouseWorld.y());
        hoveredHandle = pickHandle(mouseWorld.x(), mouseWorld.y());
        const bool over = hoveredPosition >= 0 || hoveredHandle >= 0;
        setCursor(over ? Qt::OpenHandCursor : Qt::ArrowCursor);
        anchorPixel = pixel;
        setMotionCurrentIndex(hoveredPosition >= 0 ? hoveredPosition : hoveredHandle);
        update();
    } else if (buttons & Qt::RightButton) {
        panBy(pixel);
    }
}

void MechGLWidget::dragSelectedPosition() {
    movingPosition = true;
    setCursor(Qt::ClosedHandCursor);
    setMotionCurrentIndex(selectedPosition);
    const double thetaDeg = positions[static_cast<size_t>(selectedPosition)].z();
    emit positionupdate(mouseWorld.x(), mouseWorld.y(), thetaDeg, enteredCount);
    emit updatecurrentDisp(selectedPosition);
    syncPositionsWithModel();
    update();
}

// Turning by the axis tip: the frame's angle follows the mouse as seen from the position.
void MechGLWidget::rotateSelectedPosition() {
    rotatingPosition = true;
    setCursor(Qt::ClosedHandCursor);
    setMotionCurrentIndex(selectedPosition);
    const Point &p = positions[static_cast<size_t>(selectedPosition)];
    const double thetaDeg = bandAngleDeg(QPointF(p.x(), p.y()), mouseWorld);
    const double x = p.x();
    const double y = p.y();
    emit emittheta(thetaDeg);
    emit positionupdate(x, y, thetaDeg, enteredCount);
    emit updatecurrentDisp(selectedPosition);
    syncPositionsWithModel();
    update();
}

void MechGLWidget::finishPositionEdit() {
    movingPosition = false;
    rotatingPosition = false;
    hoveredPosition = -1;
    hoveredHandle = -1;
    setCursor(Qt::OpenHandCursor);
    update();
}

void MechGLWidget::moveDyadEntry(Qt::MouseButtons buttons, const QPointF &pixel) {
    if ((buttons & Qt::LeftButton) && !clickInput) {
        // The branch picks its preview drawer for the kind now selected.
        if (!enteringDyad)
            choosePreviewDrawer();
        enteringDyad = true;
        bandStart = pixelToWorld(anchorPixel);
        bandEnd = pixelToWorld(pixel);
        emit emittheta(bandAngleDeg(bandStart, bandEnd));
        update();
    } else if (buttons == Qt::NoButton) {
        anchorPixel = pixel;
        if (enteringDyad)
            commitEnteredDyad();
    } else if (buttons & Qt::RightButton) {
        panBy(pixel);
    }
}

void MechGLWidget::commitEnteredDyad() {
    enteringDyad = false;
    createUserDyad(bandStart.x(), bandStart.y(), bandEnd.x(), bandEnd.y(),
                   bandAngleDeg(bandStart, bandEnd));
    setCursor(Qt::CrossCursor);
    update();
}

void MechGLWidget::moveLineInput(Qt::MouseButtons buttons, const QPointF &pixel) {
    setCursor(Qt::CrossCursor);
    if ((buttons & Qt::LeftButton) && !clickInput) {
        lineStart = pixelToWorld(anchorPixel);
        lineEnd = pixelToWorld(pixel);
        lineConstraintSet = true;
        lineConstraint = std::make_unique<Line>(Point(lineStart.x(), lineStart.y(), 0.0),
                                                Point(lineEnd.x(), lineEnd.y(), 0.0));
        update();
        emit lineConstraintAdded(lineStart.x(), lineStart.y(), lineEnd.x(), lineEnd.y());
    } else if (buttons == Qt::NoButton) {
        anchorPixel = pixel;
    } else if (buttons & Qt::RightButton) {
        panBy(pixel);
    }
}

void MechGLWidget::panBy(const QPointF &pixel) {
    setCursor(Qt::SizeAllCursor);
    panX += (pixel.x() - lastPixel.x()) / pixelsPerPanUnit;
    panY += (lastPixel.y() - pixel.y()) / pixelsPerPanUnit;
    update();
}

// ---- Double click and wheel -----------------------------------------------------------------

// A right double click brings the clicked point to the centre and zooms to a working scale.
void MechGLWidget::mouseDoubleClickEvent(QMouseEvent *event) {
    if (event->button() != Qt::RightButton)
        return;
    const QPointF world = pixelToWorld(event->position());
    panX = -world.x();
    panY = -world.y();
    scale = centreClickScale;
    emit scaleChanged(scale);
    update();
}

// One notch zooms by 1.2 in either direction; finer wheels (touch pads) zoom by the matching
// fraction of a notch, so a small delta can never flip the zoom direction. The point under the
// cursor stays under it, so the user zooms into what they point at.
void MechGLWidget::wheelEvent(QWheelEvent *event) {
    const double delta = event->angleDelta().y();
    if (delta == 0.0)
        return;
    cursorPixel = event->position();
    cursorInside = rect().contains(cursorPixel.toPoint());
    zoomAbout(event->position(), scale * std::pow(zoomStep, delta / wheelNotch));
    event->accept();
}

// ---- Keys ------------------------------------------------------------------------------------

void MechGLWidget::keyPressEvent(QKeyEvent *event) {
    syncPositionsWithModel();
    const int key = event->key();
    if (key == Qt::Key_Delete) {
        const int current = motionCurrentIndex();
        if (positionIndexValid(current)) {
            forgetSelection();
            emit deletecurrentkey();
            syncPositionsWithModel();
        }
        update();
    }
    const bool arrow =
        key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right;
    if (arrow && mode == Zoom)
        zoomByKey(key);
    else
        emit scaleChanged(scale);
    if (arrow)
        rotateByKey(key);
    if (key == Qt::Key_Enter) {
        positionSelected = false;
        update();
    }
    if (key == Qt::Key_F)
        fitToTask();
    // The keys run the animation as Start and Pause do, so the tool bar is told.
    if (key == Qt::Key_S && branch && branch->hasCouplerPoint()) {
        startTimerEvery(keyAnimationIntervalMs);
        emit animationKeyPressed(true);
    }
    if (key == Qt::Key_T && timer->isActive()) {
        timer->stop();
        emit animationKeyPressed(false);
    }
    update();
}

void MechGLWidget::zoomByKey(int key) {
    const bool zoomIn = key == Qt::Key_Up || key == Qt::Key_Right;
    zoomAbout(keyZoomCentre(), zoomIn ? scale * zoomStep : scale / zoomStep);
}

void MechGLWidget::rotateByKey(int key) {
    if (key == Qt::Key_Up)
        setYRotation(yRot + keyRotationStep);
    else if (key == Qt::Key_Down)
        setYRotation(yRot - keyRotationStep);
    else if (key == Qt::Key_Right)
        setXRotation(xRot + keyRotationStep);
    else if (key == Qt::Key_Left)
        setXRotation(xRot - keyRotationStep);
}
