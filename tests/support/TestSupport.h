// Shared test helpers: an offscreen GL canvas with a world-coordinate projection, test registry.
#pragma once

#include <QImage>
#include <QObject>
#include <QColor>
#include <functional>
#include <memory>

class QOpenGLContext;
class QOffscreenSurface;
class QOpenGLFramebufferObject;

namespace testsupport {

bool hasDisplay();
// For GL test classes: skips when no display (and so no GL context) is available. Call it in
// init(), not initTestCase(): a skip there also silences the classes that run after it.
#define MS_REQUIRE_GL()                                                                    \
    do {                                                                                   \
        if (!testsupport::hasDisplay())                                                    \
            QSKIP("needs an X display (run under xvfb-run)");                              \
    } while (0)

// A square offscreen framebuffer showing the world box [x0, x1] x [y0, y1] with a white
// background. render() draws with the fixed-function pipeline and returns the picture, with the
// labels the drawing wrote painted over it.
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

// Several test classes make one test program per subsystem: each file registers its class with
// MS_REGISTER_TEST(Class) and the program's main calls runAllTests().
namespace testsupport {
using TestFactory = QObject *(*)();
int registerTest(const char *name, TestFactory factory);
// Runs every registered class (or those named by -class Name options); returns failure count.
// GL classes should call requireGL() in initTestCase(); it skips them when there is no display.
int runAllTests(int argc, char *argv[], bool needsGui);
} // namespace testsupport

#define MS_REGISTER_TEST(Class)                                                            \
    static const int ms_registered_##Class =                                               \
        testsupport::registerTest(#Class, []() -> QObject * { return new Class; });
