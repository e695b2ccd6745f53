// Cartesian view painting: projection, grid, workspace, world frame, positions and drag feedback.
#include "MechGLWidget.h"

#include "Branch.h"
#include "Gripper.h"
#include "Line.h"
#include "Motion.h"
#include "ProcessValues.h"
#include "AngularDimension.h"

#include <GL/gl.h>
#include <GL/glut.h>
#include <QOpenGLContext>
#include <algorithm>
#include <cmath>

namespace {
// Gripper styles: the current position in yellow, the one under the cursor in grey, the one
// being entered dashed.
constexpr int gripperDashed = 1;
constexpr int gripperHovered = 2;
constexpr int gripperCurrent = 3;

void strokeText(const char *text) {
    for (const char *c = text; *c; ++c)
        glutStrokeCharacter(GLUT_STROKE_ROMAN, *c);
}
} // namespace

void MechGLWidget::initializeGL() {
    // Opaque white, so screenshots and grabbed frames are not transparent.
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    // Smoothing where the surface is not multisampled; with samples the multisampling already
    // smooths every edge, and a software renderer would pay for both.
    if (format().samples() <= 1) {
        glEnable(GL_POINT_SMOOTH);
        glEnable(GL_LINE_SMOOTH);
        glEnable(GL_POLYGON_SMOOTH);
    }
    glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    // The context can be destroyed and recreated (re-parenting, a new screen): the texture goes
    // with it, and the next paint uploads it again.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this]() {
        makeCurrent();
        freeBackgroundTexture();
        doneCurrent();
    });
}

void MechGLWidget::resizeGL(int w, int h) {
    viewportMin = std::min(w, h);
    viewportSide = std::max(w, h);
    applyViewport();
}

// A square viewport of the longer side, centred: the shorter direction is cropped, never
// stretched. Set in device pixels at every paint, since Qt resets the viewport before paintGL.
void MechGLWidget::applyViewport() {
    const double ratio = devicePixelRatioF();
    const int w = static_cast<int>(std::lround(width() * ratio));
    const int h = static_cast<int>(std::lround(height() * ratio));
    const int side = std::max(w, h);
    glViewport((w - side) / 2, (h - side) / 2, side, side);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-5.0, 5.0, -5.0, 5.0, -15.0, 15.0);
    glMatrixMode(GL_MODELVIEW);
}

void MechGLWidget::paintGL() {
    syncPositionsWithModel();
    unitSize = std::max(workspaceWidth, workspaceHeight) / 20.0;
    applyViewport();
    // The plane is drawn in painter's order without a depth test, so only colour is cleared.
    // Smoothed edges blend with partial coverage; were their alpha written too, the frame would
    // hold translucent pixels that Qt reads as premultiplied and shows in wrong colours. The
    // clear leaves alpha at 1 and drawing keeps it there.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    glDisable(GL_DEPTH_TEST);
    glLoadIdentity();
    glColor3d(0.0, 0.0, 0.0);
    glScaled(scale, scale, scale);
    glTranslated(panX, panY, 1.0);

    // Under the scene: the picture is a backdrop to trace over, not a cover.
    if (!backgroundImagePath.isEmpty())
        drawBackgroundImage();
    else if (backgroundTexture != 0)
        freeBackgroundTexture();  // the background was turned off
    if (showGrid)
        drawGrid();
    drawWorkspaceFrame();
    drawWorldFrame();
    drawPositionsLayer();
    drawBranchLayer();
    if (!clickInput)
        drawInteractionOverlay();
}

void MechGLWidget::drawGrid() const {
    const double halfW = workspaceWidth / 2.0;
    const double halfH = workspaceHeight / 2.0;
    // Grid lines run along pixel rows and columns, where smoothing only adds a blend over the
    // whole view: drawn plain they cost a fraction and look the same.
    glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT);
    glDisable(GL_LINE_SMOOTH);
    glLineWidth(0.5f);
    glColor3d(0.8, 0.8, 0.8);
    glBegin(GL_LINES);
    for (double y = 0.0; y <= halfH; y += 1.0) {
        glVertex2d(-halfW, y);
        glVertex2d(halfW, y);
    }
    for (double y = -1.0; y >= -halfH; y -= 1.0) {
        glVertex2d(-halfW, y);
        glVertex2d(halfW, y);
    }
    for (double x = 0.0; x <= halfW; x += 1.0) {
        glVertex2d(x, -halfH);
        glVertex2d(x, halfH);
    }
    for (double x = -1.0; x >= -halfW; x -= 1.0) {
        glVertex2d(x, -halfH);
        glVertex2d(x, halfH);
    }
    glEnd();
    glPopAttrib();
    glLineWidth(1.0f);
}

void MechGLWidget::drawWorkspaceFrame() const {
    const double halfW = workspaceWidth / 2.0;
    const double halfH = workspaceHeight / 2.0;
    glLineWidth(1.0f);
    glColor3d(0.8, 0.2, 0.2);
    glBegin(GL_LINE_LOOP);
    glVertex2d(-halfW, -halfH);
    glVertex2d(halfW, -halfH);
    glVertex2d(halfW, halfH);
    glVertex2d(-halfW, halfH);
    glEnd();
}

// The fixed frame at the origin: two blue axes with arrow heads, a corner square and labels.
void MechGLWidget::drawWorldFrame() const {
    glColor3d(0.0, 0.0, 1.0);
    glPushMatrix();
    glTranslated(1.3, -0.06, 0.0);
    glScaled(0.00135, 0.0012, 1.0);
    strokeText("X");
    glPopMatrix();
    glPushMatrix();
    glTranslated(-0.053, 1.3, 0.0);
    glScaled(0.00135, 0.0012, 1.0);
    strokeText("Y");
    glPopMatrix();

    glLineWidth(0.5f);
    glBegin(GL_LINE_LOOP);
    glVertex2d(1.0, -0.1);
    glVertex2d(1.0, 0.1);
    glVertex2d(1.2, 0.0);
    glEnd();
    glBegin(GL_LINE_LOOP);
    glVertex2d(0.1, 1.0);
    glVertex2d(-0.1, 1.0);
    glVertex2d(0.0, 1.2);
    glEnd();
    glBegin(GL_LINE_LOOP);
    glVertex2d(0.1, 0.1);
    glVertex2d(0.1, -0.1);
    glVertex2d(-0.1, -0.1);
    glVertex2d(-0.1, 0.1);
    glEnd();
    glBegin(GL_LINES);
    glVertex2d(0.0, 0.0);
    glVertex2d(1.0, 0.0);
    glVertex2d(0.0, 0.0);
    glVertex2d(0.0, 1.0);
    glEnd();
    glLineWidth(1.0f);
}

// Positions as frames with their number, the current and the hovered one marked by a gripper,
// the line constraint and the user-defined point markers.
void MechGLWidget::drawPositionsLayer() const {
    if (lineConstraint && (mode == LineInput || mode == FourPosition))
        lineConstraint->draw();

    for (size_t i = 0; i < positions.size(); ++i)
        positions[i].drawPositionFrame(static_cast<int>(i) + 1);

    const bool entering = mode == InputPosition || mode == FourPosition;
    const int current = motionCurrentIndex();
    if (entering && positionIndexValid(current))
        Gripper(positions[static_cast<size_t>(current)], gripperCurrent, current + 1).draw();
    if (mode == EditPosition) {
        const int shown = positionIndexValid(hoveredPosition) ? hoveredPosition : selectedPosition;
        if (positionIndexValid(shown))
            Gripper(positions[static_cast<size_t>(shown)], gripperHovered, shown + 1).draw();
    }

    glColor3d(0.0, 0.0, 0.0);
    for (const Point &m : markerPoints)
        m.drawCircleMarker();
    glLineWidth(1.0f);
}

// Feedback of the drag in progress: the line being drawn, the dyad being entered, or the
// position being entered with its rubber band and angle.
void MechGLWidget::drawInteractionOverlay() const {
    if (lineConstraint && mode != LineInput && mode != FourPosition)
        lineConstraint->draw();
    if (mode == InputMechanism && enteringDyad)
        drawDyadBeingEntered();
    const bool entering = mode == InputPosition || mode == FourPosition || mode == ThreePosition;
    if (entering && positionEntryMarker != 0)
        drawRubberBand();
    if (mode == EditPosition && (movingPosition || rotatingPosition) &&
        positionIndexValid(selectedPosition)) {
        const Point &p = positions[static_cast<size_t>(selectedPosition)];
        AngularDimension(Point(p.x(), p.y(), 0.0), 1.2, 0.0, p.z()).draw();
    }
}

void MechGLWidget::drawRubberBand() const {
    const double dx = bandEnd.x() - bandStart.x();
    const double dy = bandEnd.y() - bandStart.y();
    const double angleDeg = std::atan2(dy, dx) * 180.0 / PI;
    Gripper(Point(bandStart.x(), bandStart.y(), angleDeg), gripperDashed, 0).draw();

    glPushAttrib(GL_LINE_BIT | GL_CURRENT_BIT);
    glEnable(GL_LINE_STIPPLE);
    glLineStipple(1, 0xAAAA);
    glLineWidth(1.0f);
    glColor3d(0.0, 0.0, 0.0);
    glBegin(GL_LINES);
    glVertex2d(bandStart.x(), bandStart.y());
    glVertex2d(bandEnd.x(), bandEnd.y());
    glEnd();
    glPopAttrib();

    AngularDimension(Point(bandStart.x(), bandStart.y(), 0.0), 1.2, 0.0, angleDeg).draw();
}
