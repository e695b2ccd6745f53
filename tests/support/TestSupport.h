// Shared test helpers: an offscreen GL canvas with a world-coordinate projection, and glutInit.
#pragma once

#include <QImage>
#include <QColor>
#include <functional>
#include <memory>

class QOpenGLContext;
class QOffscreenSurface;
class QOpenGLFramebufferObject;

namespace testsupport {

// Calls glutInit once per process (stroke fonts need it).
void initGlut();

// A square offscreen framebuffer showing the world box [x0, x1] x [y0, y1] with a white
// background. render() draws with the fixed-function pipeline and returns the picture.
class GLCanvas {
public:
    GLCanvas(int widthPx, int heightPx, double x0, double x1, double y0, double y1);
    ~GLCanvas();
    bool isValid() const { return valid; }
    QImage render(const std::function<void()> &draw);
    // Pixel (column, row from the top) of a world point.
    QPoint toPixel(double x, double y) const;

private:
    int w, h;
    double wx0, wx1, wy0, wy1;
    bool valid = false;
    std::unique_ptr<QOffscreenSurface> surface;
    std::unique_ptr<QOpenGLContext> context;
    std::unique_ptr<QOpenGLFramebufferObject> fbo;
};

// True when any pixel within radius px of (cx, cy) satisfies pred.
bool anyPixelNear(const QImage &img, QPoint centre, int radiusPx,
                  const std::function<bool(QColor)> &pred);
bool isDark(QColor c);
bool isWhite(QColor c);
bool isBluish(QColor c);
bool isReddish(QColor c);

} // namespace testsupport
