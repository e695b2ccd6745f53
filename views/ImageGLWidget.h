// ImageGLWidget: the image-space view, where every position is a point and every RR dyad a
// constraint surface, turned with the mouse.
#pragma once

#include "Dyad.h"

#include <QOpenGLWidget>
#include <QPoint>
#include <QPointer>
#include <memory>
#include <vector>

class Branch;
class Motion;
class Point;
class QOpenGLFramebufferObject;
struct GLUquadric;

class ImageGLWidget : public QOpenGLWidget {
    Q_OBJECT
public:
    explicit ImageGLWidget(QWidget *parent = nullptr);
    ~ImageGLWidget() override;

    int xRotation() const { return xRot; }
    int yRotation() const { return yRot; }
    int zRotation() const { return zRot; }
    double currentScale() const { return scale; }
    bool interpolationShown() const { return interpolate; }
    bool couplerAnimationShown() const { return showCouplerAnimation; }
    // Bounds of the wheel zoom, so the scene can neither vanish nor swallow the view.
    static constexpr double minScale = 0.02;
    static constexpr double maxScale = 50.0;
    // Marker diameters in logical pixels: the positions' image points and the animated
    // mechanism's moving frame, both drawn over the surfaces.
    static constexpr double imagePointSize = 11.0;
    static constexpr double movingFrameSize = 13.0;

public slots:
    void setCurrentDyad(Dyad *d);
    void setAllDyad(Branch *b);
    void setMotion(Motion *m);
    void emptyWidget();
    void setXRotation(int angle);
    void setYRotation(int angle);
    void setZRotation(int angle);
    void setScale(int s);
    void updateObject();
    void resetwidget();
    void toggle_toInterPolate();
    void toggle_toshowCouplerAnimation();
    // Sets the process-wide dimension flag and repaints, so a toggle shows at once.
    void setShowDimensions(bool on);

signals:
    void xRotationChanged(int angle);
    void yRotationChanged(int angle);
    void zRotationChanged(int angle);
    void scaleChanged(double scale);

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    static int normalisedAngle(int a);
    void setUpLighting() const;
    void releaseGl();
    void applyViewport();
    void drawAxes() const;
    void drawAxis() const;
    void drawScene() const;
    std::vector<double> sceneKey() const;
    bool sceneLayerIsCurrent(const QSize &pixels, const std::vector<double> &key) const;
    void drawImagePoints() const;
    void drawMovingFrames() const;
    void drawImageMarker(const Point &z, double sizePx, double r, double g, double b) const;

    int xRot = 0;
    int yRot = 0;
    int zRot = 0;
    double scale = 1.0;
    QPoint lastPos;
    // Identity only, never dereferenced: the branch may free its dyads at any time.
    Dyad *currentDyad = nullptr;
    QPointer<Branch> branch;
    QPointer<Motion> motion;
    bool interpolate = false;
    bool showCouplerAnimation = false;
    GLUquadric *quadric = nullptr;  // made in initializeGL, freed with the context
    // The axes, the motion curve and the surfaces change only when the task, the chosen dyads or
    // the view's turn change, not at an animation step: they are drawn once into this layer and
    // copied from it while nothing they show has changed. sceneLayerKey holds everything they
    // were drawn from (see sceneKey()). Freed with the context, like the quadric.
    std::unique_ptr<QOpenGLFramebufferObject> sceneLayer;
    std::vector<double> sceneLayerKey;
    // Ties releaseGl() to the current context's end; cut in the destructor.
    QMetaObject::Connection contextLossConnection;
};
