// Cartesian view painting: projection, grid, workspace, world frame, positions and drag feedback.
#include "MechGLWidget.h"

#include "Branch.h"
#include "Gripper.h"
#include "Line.h"
#include "Motion.h"
#include "ProcessValues.h"
#include "AngularDimension.h"
#include "FrameGlyph.h"
#include "LabelPainter.h"
#include "LinearDimension.h"

#include <GL/gl.h>
#include <QFontMetricsF>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
// Gripper styles: the current position in yellow, the one under the cursor in grey, the one
// being entered dashed.
constexpr int gripperDashed = 1;
constexpr int gripperHovered = 2;
constexpr int gripperCurrent = 3;

// The angle of a position being entered or turned is its theta.
const char *const positionAngleName = "\u03B8";
} // namespace

QSurfaceFormat MechGLWidget::surfaceFormat(int samples) {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setDepthBufferSize(24);
    format.setSamples(samples);
    return format;
}

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
    // with it, and the next paint uploads it again. A new context calls this again, so the
    // connection to the old one is dropped first.
    QObject::disconnect(contextLossConnection);
    contextLossConnection = connect(context(), &QOpenGLContext::aboutToBeDestroyed, this,
                                    &MechGLWidget::releaseGl);
}

void MechGLWidget::resizeGL(int w, int h) {
    viewportMin = std::min(w, h);
    viewportSide = std::max(w, h);
    applyViewport();
    if (fitPending && w > 0 && h > 0)
        fitToTask();
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
    // Only the plane is scaled: z stays inside the projection's depth range at any zoom.
    glScaled(scale, scale, 1.0);
    glTranslated(panX, panY, 0.0);

    sceneLabels.clear();
    {
        const ScreenLabels::Collecting collecting(sceneLabels, devicePixelRatioF());
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
    paintLabels();
}

// The text goes over the finished GL scene with a QPainter. The painter's engine leaves its own
// state behind (blending off, its shader program bound), so the fixed-function state the next
// paint relies on is saved around it and the program unbound after it. Going in, the painter
// gets GL as it expects it: the smoothing would fray the edges of its glyph quads, and with alpha
// masked off the glyphs it copies into a grown glyph cache would come out blank. Its blending
// keeps the frame's alpha at one.
void MechGLWidget::paintLabels() {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDisable(GL_POINT_SMOOTH);
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_POLYGON_SMOOTH);
    glDisable(GL_LINE_STIPPLE);
    {
        QPainter painter(this);
        const double ratio = devicePixelRatioF();
        LabelPainter::paint(painter, sceneLabels.labels(),
                            static_cast<int>(std::lround(height() * ratio)), ratio);
        if (showGrid)
            drawGridLabel(painter);
    }
    QOpenGLContext::currentContext()->functions()->glUseProgram(0);
    glPopAttrib();
}

// Grid lines over the whole visible area at a spacing that follows the zoom, so a task far from
// the origin or in small units still sits on a readable grid. Lines are placed at whole
// multiples of the spacing (k * spacing, not a running sum) so they stay put while panning.
void MechGLWidget::drawGrid() const {
    const double step = gridSpacing();
    const QRectF seen = visibleWorld();
    const double firstX = std::ceil(seen.left() / step);
    const double lastX = std::floor(seen.right() / step);
    const double firstY = std::ceil(seen.top() / step);
    const double lastY = std::floor(seen.bottom() / step);
    // Lines run along pixel rows and columns, where smoothing only adds a blend over the whole
    // view: drawn plain they cost a fraction and look the same.
    glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LINE_SMOOTH);
    glLineWidth(1.0f);
    glColor3d(0.8, 0.8, 0.8);
    glBegin(GL_LINES);
    for (double k = firstX; k <= lastX; k += 1.0) {
        glVertex2d(k * step, seen.top());
        glVertex2d(k * step, seen.bottom());
    }
    for (double k = firstY; k <= lastY; k += 1.0) {
        glVertex2d(seen.left(), k * step);
        glVertex2d(seen.right(), k * step);
    }
    glEnd();
    glPopAttrib();
}

// "grid 50 m" in the bottom-left corner, on a pale box so grid lines do not cross the letters.
void MechGLWidget::drawGridLabel(QPainter &painter) const {
    const QString text = gridLabelText();
    painter.setFont(LabelPainter::fontWithCapHeight(LinearDimension::labelCapPixels));
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double left = 8.0, baseline = height() - 8.0, pad = 4.0;
    const QRectF box(left - pad, baseline - metrics.capHeight() - pad,
                     metrics.horizontalAdvance(text) + 2.0 * pad, metrics.capHeight() + 2.0 * pad);
    painter.fillRect(box, QColor::fromRgbF(1.0, 1.0, 1.0, 0.85));
    painter.setPen(QColor::fromRgbF(0.25, 0.25, 0.25));
    painter.drawText(QPointF(left, baseline), text);
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
    ScreenLabels::Style letters;
    letters.capHeight = frameglyph::labelCapHeight;
    letters.capInPixels = false;
    ScreenLabels::write("X", 1.3, -0.06, letters);
    ScreenLabels::write("Y", -0.053, 1.3, letters);

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
        AngularDimension turned(Point(p.x(), p.y(), 0.0), 1.2, 0.0, p.z());
        turned.setName(positionAngleName);
        turned.draw();
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

    AngularDimension entered(Point(bandStart.x(), bandStart.y(), 0.0), 1.2, 0.0, angleDeg);
    entered.setName(positionAngleName);
    entered.draw();
}
