// Image-space view: positions as points of the kinematic image, the chosen dyads' constraint
// surfaces and the moving frame of the animated mechanism, in a scene turned by the mouse.
#include "ImageGLWidget.h"

#include "Branch.h"
#include "ConstraintSurface.h"
#include "Dyad.h"
#include "MechGLWidget.h"
#include "Mechanism.h"
#include "Motion.h"
#include "Point.h"
#include "PointList.h"
#include "ProcessValues.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {
constexpr int fullTurn16 = 5760;  // one turn in sixteenths of a degree
// One pixel of drag turns the scene by half a degree.
constexpr int rotationPerPixel16 = 8;
constexpr double wheelNotch = 120.0;
// A wheel notch zooms in by 1.2 and out by 3.
constexpr double wheelZoomIn = 1.2;
constexpr double wheelZoomOut = 3.0;

// The image point of a pose whose theta is in degrees, as the mechanism reports its moving
// frame. The exact pi is used so the marker passes through the positions' own image points
// when the mechanism reaches them.
Point imageOfDegrees(const Point &poseDeg) {
    return toImage(Point(poseDeg.x(), poseDeg.y(), poseDeg.z() * PI / 180.0));
}

struct LightSetting {
    GLfloat diffuse[4];
    GLfloat position[4];
};
const LightSetting lights[6] = {
    {{1, 0, 0, 1}, {5, 0, 5, 1}},   {{0, 1, 0, 1}, {5, 5, 5, 1}},
    {{0, 0, 1, 1}, {0, 5, 5, 1}},   {{1, 0, 0, 1}, {5, 5, -5, 1}},
    {{0, 1, 0, 1}, {-5, -5, -5, 1}}, {{0, 0, 1, 1}, {0, 5, -5, 1}},
};
} // namespace

ImageGLWidget::ImageGLWidget(QWidget *parent) : QOpenGLWidget(parent) {
    // Its own depth buffer, as the Cartesian view asks for one (see there).
    setFormat(MechGLWidget::surfaceFormat());
}

ImageGLWidget::~ImageGLWidget() {
    // The base class destroys the context after this destructor has run, when this object is
    // only a QOpenGLWidget: the context's last signal must not reach releaseGl() then.
    QObject::disconnect(contextLossConnection);
    releaseGl();
}

// Frees the quadric and the scene layer while the context they were made in still exists and
// is current.
void ImageGLWidget::releaseGl() {
    if ((!quadric && !sceneLayer) || !context())
        return;
    makeCurrent();
    if (quadric)
        gluDeleteQuadric(quadric);
    quadric = nullptr;
    sceneLayer.reset();
    sceneLayerKey.clear();
    doneCurrent();
}

// ---- Slots ---------------------------------------------------------------------------------------

void ImageGLWidget::setCurrentDyad(Dyad *d) {
    currentDyad = d;
    update();
}

void ImageGLWidget::setAllDyad(Branch *b) {
    if (branch)
        disconnect(branch, &Branch::updateObject, this, &ImageGLWidget::updateObject);
    branch = b;
    if (branch)
        connect(branch, &Branch::updateObject, this, &ImageGLWidget::updateObject,
                Qt::UniqueConnection);
    update();
}

void ImageGLWidget::setMotion(Motion *m) {
    motion = m;
    update();
}

void ImageGLWidget::emptyWidget() {
    currentDyad = nullptr;
    if (branch)
        disconnect(branch, &Branch::updateObject, this, &ImageGLWidget::updateObject);
    branch = nullptr;
    motion = nullptr;
}

int ImageGLWidget::normalisedAngle(int a) {
    while (a < 0)
        a += fullTurn16;
    while (a > fullTurn16)
        a -= fullTurn16;
    return a;
}

void ImageGLWidget::setXRotation(int angle) {
    angle = normalisedAngle(angle);
    if (angle == xRot)
        return;
    xRot = angle;
    emit xRotationChanged(angle);
    update();
}

void ImageGLWidget::setYRotation(int angle) {
    angle = normalisedAngle(angle);
    if (angle == yRot)
        return;
    yRot = angle;
    emit yRotationChanged(angle);
    update();
}

void ImageGLWidget::setZRotation(int angle) {
    angle = normalisedAngle(angle);
    if (angle == zRot)
        return;
    zRot = angle;
    emit zRotationChanged(angle);
    update();
}

void ImageGLWidget::setScale(int s) {
    if (s < 2 || s >= 1000)
        return;
    scale = s / 100.0;
    emit scaleChanged(scale);
    update();
}

void ImageGLWidget::updateObject() { update(); }

void ImageGLWidget::resetwidget() {
    xRot = yRot = zRot = 0;
    scale = 1.0;
    update();
}

void ImageGLWidget::toggle_toInterPolate() {
    interpolate = !interpolate;
    update();
}

void ImageGLWidget::toggle_toshowCouplerAnimation() {
    showCouplerAnimation = !showCouplerAnimation;
    update();
}

void ImageGLWidget::setShowDimensions(bool on) {
    showDimensions = on;
    update();
}

// ---- Mouse -----------------------------------------------------------------------------------------

void ImageGLWidget::mousePressEvent(QMouseEvent *event) { lastPos = event->position().toPoint(); }

void ImageGLWidget::mouseMoveEvent(QMouseEvent *event) {
    const QPoint pos = event->position().toPoint();
    const int dx = pos.x() - lastPos.x();
    const int dy = pos.y() - lastPos.y();
    if (event->buttons() & Qt::LeftButton) {
        setXRotation(xRot + rotationPerPixel16 * dy);
        setYRotation(yRot + rotationPerPixel16 * dx);
    } else if (event->buttons() & Qt::RightButton) {
        setXRotation(xRot + rotationPerPixel16 * dy);
        setZRotation(zRot + rotationPerPixel16 * dx);
    }
    lastPos = pos;
}

// Whole notches zoom exactly by the notch factors; a finer wheel zooms by the matching power,
// so a small delta never zooms the wrong way. Bounded so the scene cannot vanish.
void ImageGLWidget::wheelEvent(QWheelEvent *event) {
    const double notches = event->angleDelta().y() / wheelNotch;
    if (notches == 0.0)
        return;
    const double factor =
        notches > 0 ? std::pow(wheelZoomIn, notches) : std::pow(wheelZoomOut, notches);
    scale = std::clamp(scale * factor, minScale, maxScale);
    emit scaleChanged(scale);
    update();
    event->accept();
}

// ---- GL -----------------------------------------------------------------------------------------------

void ImageGLWidget::initializeGL() {
    quadric = gluNewQuadric();
    setUpLighting();
    // The context can be destroyed and recreated (re-parenting, a new screen); the quadric goes
    // with it and is made again here. The connection to the old context is dropped first.
    QObject::disconnect(contextLossConnection);
    contextLossConnection = connect(context(), &QOpenGLContext::aboutToBeDestroyed, this,
                                    &ImageGLWidget::releaseGl);
}

void ImageGLWidget::setUpLighting() const {
    for (int i = 0; i < 6; ++i) {
        const GLenum light = GL_LIGHT0 + static_cast<GLenum>(i);
        glLightfv(light, GL_DIFFUSE, lights[i].diffuse);
        glLightfv(light, GL_POSITION, lights[i].position);
        glEnable(light);
    }
    const GLfloat ambient[] = {0.9f, 0.9f, 0.9f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_LIGHTING);
    glEnable(GL_NORMALIZE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_ALPHA_TEST);
    glDepthFunc(GL_LESS);
    // Opaque white, so grabbed frames and screenshots are not transparent.
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);

    const GLfloat matAmbient[] = {0.0f, 0.0f, 0.0f, 1.0f};
    const GLfloat matDiffuse[] = {0.7f, 0.7f, 0.7f, 1.0f};
    const GLfloat matSpecular[] = {0.7f, 0.7f, 0.7f, 1.0f};
    const GLfloat matEmission[] = {0.2f, 0.1f, 0.1f, 0.0f};
    glMaterialfv(GL_FRONT, GL_AMBIENT, matAmbient);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, matDiffuse);
    glMaterialfv(GL_FRONT, GL_SPECULAR, matSpecular);
    glMaterialf(GL_FRONT, GL_SHININESS, 5.0f);
    glMaterialfv(GL_FRONT, GL_EMISSION, matEmission);
    // The surfaces colour their rulings, circles and facets; with lighting on, those colours
    // only show when the material's ambient and diffuse parts follow the current colour.
    // The spheres and axes are drawn in the material grey set here.
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
}

void ImageGLWidget::resizeGL(int, int) { applyViewport(); }

// The square of the shorter side, centred: unlike the Cartesian view it fits in the widget.
void ImageGLWidget::applyViewport() {
    const double ratio = devicePixelRatioF();
    const int w = static_cast<int>(std::lround(width() * ratio));
    const int h = static_cast<int>(std::lround(height() * ratio));
    const int side = std::min(w, h);
    glViewport((w - side) / 2, (h - side) / 2, side, side);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-10.0, 10.0, -10.0, 10.0, -30.0, 30.0);
    glMatrixMode(GL_MODELVIEW);
}

void ImageGLWidget::paintGL() {
    applyViewport();
    glLoadIdentity();
    glRotated(xRot / 16.0, 1.0, 0.0, 0.0);
    glRotated(yRot / 16.0, 0.0, 1.0, 0.0);
    glRotated(zRot / 16.0, 0.0, 0.0, 1.0);
    glScaled(scale, scale, scale);

    const double ratio = devicePixelRatioF();
    const QSize pixels(static_cast<int>(std::lround(width() * ratio)),
                       static_cast<int>(std::lround(height() * ratio)));
    if (!QOpenGLFramebufferObject::hasOpenGLFramebufferBlit()) {
        drawScene();
    } else {
        std::vector<double> key = sceneKey();
        if (!sceneLayerIsCurrent(pixels, key)) {
            if (!sceneLayer || sceneLayer->size() != pixels)
                sceneLayer = std::make_unique<QOpenGLFramebufferObject>(
                    pixels, QOpenGLFramebufferObject::CombinedDepthStencil);
            sceneLayer->bind();
            drawScene();
            QOpenGLFramebufferObject::bindDefault();
            sceneLayerKey = std::move(key);
        }
        // Onto the widget's own framebuffer, which is the context's default while it paints.
        const QRect all(QPoint(0, 0), pixels);
        QOpenGLFramebufferObject::blitFramebuffer(nullptr, all, sceneLayer.get(), all,
                                                  GL_COLOR_BUFFER_BIT, GL_NEAREST);
    }
    glDisable(GL_DEPTH_TEST);
    // The positions and the animated frame are what the surfaces are judged against: drawn
    // last and without the depth test, they stay visible where a surface passes in front.
    drawImagePoints();
    if (showCouplerAnimation)
        drawMovingFrames();
}

// What stays put during an animation: the axes, the motion curve and the surfaces, drawn with
// the depth test into the framebuffer that is bound.
void ImageGLWidget::drawScene() const {
    // The translucent surfaces must not write alpha: the frame stays opaque, or Qt would read
    // their pixels as premultiplied and show them in wrong colours.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    glFrontFace(GL_CCW);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_DEPTH_TEST);
    drawAxes();
    if (motion && interpolate && motion->motionStore().motionCurve)
        motion->motionStore().motionCurve->drawStrip4D();
    // Saving the lighting state keeps the grey material for what follows.
    glPushAttrib(GL_LIGHTING_BIT | GL_CURRENT_BIT | GL_ENABLE_BIT);
    glEnable(GL_COLOR_MATERIAL);
    if (branch)
        for (Dyad *d : branch->surfaceDyads())
            d->drawSurfaceAlways();
    glPopAttrib();
}

// Every number the scene layer is drawn from: the turn and scale, the motion curve's points
// when it is shown, and each shown surface's coefficients. Equal keys draw equal layers.
std::vector<double> ImageGLWidget::sceneKey() const {
    std::vector<double> key{static_cast<double>(xRot), static_cast<double>(yRot),
                            static_cast<double>(zRot), scale};
    if (motion && interpolate && motion->motionStore().motionCurve) {
        const PointList &curve = *motion->motionStore().motionCurve;
        key.push_back(curve.size());
        for (int i = 0; i < curve.size(); ++i)
            for (int c = 0; c < 4; ++c)
                key.push_back(curve.ref(i)[c]);
    }
    if (branch)
        for (const Dyad *d : branch->surfaceDyads())
            if (const ConstraintSurface *s = d->getSurface())
                for (int c = 0; c < 5; ++c)
                    key.push_back(s->coefficient(c));
    return key;
}

bool ImageGLWidget::sceneLayerIsCurrent(const QSize &pixels,
                                        const std::vector<double> &key) const {
    return sceneLayer && sceneLayer->size() == pixels && key == sceneLayerKey;
}

// The image-space axes: shafts of radius 0.04 and length 1 closed by a disk, with cones
// (base 0.1, length 0.4) as heads; z as drawn, y turned by -90 degrees about x, x by 90 about y.
void ImageGLWidget::drawAxes() const {
    if (!quadric)
        return;
    glLineWidth(0.5f);
    drawAxis();
    glPushMatrix();
    glRotated(-90.0, 1.0, 0.0, 0.0);
    drawAxis();
    glPopMatrix();
    glPushMatrix();
    glRotated(90.0, 0.0, 1.0, 0.0);
    drawAxis();
    glPopMatrix();
}

void ImageGLWidget::drawAxis() const {
    gluCylinder(quadric, 0.04, 0.04, 1.0, 12, 1);
    gluDisk(quadric, 0.0, 0.04, 12, 1);
    glPushMatrix();
    glTranslated(0.0, 0.0, 1.0);
    gluDisk(quadric, 0.0, 0.1, 12, 1);
    gluCylinder(quadric, 0.1, 0.0, 0.4, 12, 1);
    glPopMatrix();
}

// Each position's image point as a round marker of fixed pixel size: a dark rim under a strong
// orange dot, unlit so the scene's coloured lights cannot wash it out.
void ImageGLWidget::drawImagePoints() const {
    if (!motion)
        return;
    const PointList &list = motion->positions();
    for (int i = 0; i < list.size(); ++i)
        drawImageMarker(list.ref(i), imagePointSize, 0.95, 0.45, 0.0);
}

void ImageGLWidget::drawMovingFrames() const {
    if (!branch)
        return;
    const Mechanism *first = branch->getMechanismA();
    if (first && first->isSet() && first->hasCouplerPoint())
        drawImageMarker(imageOfDegrees(first->couplerPoint()), movingFrameSize, 0.0, 0.6, 0.1);
    if (branch->hasCouplerPoint())
        drawImageMarker(imageOfDegrees(branch->movingFramePoint()), movingFrameSize, 0.0, 0.6,
                        0.1);
}

// An image point (homogeneous, shown at Z/Z4) as a marker over whatever is drawn: the depth
// test is off and lighting too, and both come back as they were.
void ImageGLWidget::drawImageMarker(const Point &z, double sizePx, double r, double g,
                                    double b) const {
    if (z[3] == 0.0 || !std::isfinite(z[0] / z[3]) || !std::isfinite(z[1] / z[3]) ||
        !std::isfinite(z[2] / z[3]))
        return;
    const double ratio = devicePixelRatioF();
    glPushAttrib(GL_ENABLE_BIT | GL_POINT_BIT | GL_CURRENT_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_POINT_SMOOTH);
    glPointSize(static_cast<float>((sizePx + 3.0) * ratio));
    glColor3d(0.1, 0.1, 0.1);
    glBegin(GL_POINTS);
    glVertex3d(z[0] / z[3], z[1] / z[3], z[2] / z[3]);
    glEnd();
    glPointSize(static_cast<float>(sizePx * ratio));
    glColor3d(r, g, b);
    glBegin(GL_POINTS);
    glVertex3d(z[0] / z[3], z[1] / z[3], z[2] / z[3]);
    glEnd();
    glPopAttrib();
}
