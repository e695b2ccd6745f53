// Offscreen GL canvas for pixel tests of the drawing code.
#include "TestSupport.h"

#include "LabelPainter.h"
#include "ScreenLabels.h"

#include <GL/gl.h>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QPainter>
#include <QSurfaceFormat>
#include <cstdlib>

namespace testsupport {

bool hasDisplay() { return std::getenv("DISPLAY") != nullptr; }

GLCanvas::GLCanvas(int widthPx, int heightPx, double x0, double x1, double y0, double y1)
    : w(widthPx), h(heightPx), wx0(x0), wx1(x1), wy0(y0), wy1(y1) {
    if (!hasDisplay())
        return;
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setDepthBufferSize(24);
    surface = std::make_unique<QOffscreenSurface>();
    surface->setFormat(format);
    surface->create();
    context = std::make_unique<QOpenGLContext>();
    context->setFormat(format);
    if (!context->create() || !context->makeCurrent(surface.get()))
        return;
    QOpenGLFramebufferObjectFormat fboFormat;
    fboFormat.setAttachment(QOpenGLFramebufferObject::CombinedDepthStencil);
    fbo = std::make_unique<QOpenGLFramebufferObject>(w, h, fboFormat);
    valid = fbo->isValid();
}

GLCanvas::~GLCanvas() {
    if (context)
        context->makeCurrent(surface.get());
    fbo.reset();
    if (context)
        context->doneCurrent();
}

QImage GLCanvas::render(const std::function<void()> &draw) {
    context->makeCurrent(surface.get());
    fbo->bind();
    glViewport(0, 0, w, h);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(wx0, wx1, wy0, wy1, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    ScreenLabels labels;
    {
        const ScreenLabels::Collecting collecting(labels, 1.0);
        draw();
    }
    // Blending leaves alpha below 1 where translucent shapes were drawn, and the image is read
    // as premultiplied colour, which would garble those pixels. Force alpha to 1 afterwards:
    // the RGB values are the blended colour the user sees.
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glFinish();
    QImage img = fbo->toImage();
    fbo->release();
    // The labels go over the picture as the views write them over their scene.
    QPainter painter(&img);
    LabelPainter::paint(painter, labels.labels(), h, 1.0);
    return img;
}

QPoint GLCanvas::toPixel(double x, double y) const {
    const int col = static_cast<int>((x - wx0) / (wx1 - wx0) * w);
    const int row = static_cast<int>((wy1 - y) / (wy1 - wy0) * h);
    return QPoint(col, row);
}

bool anyPixelNear(const QImage &img, QPoint c, int r, const std::function<bool(QColor)> &pred) {
    for (int y = c.y() - r; y <= c.y() + r; ++y)
        for (int x = c.x() - r; x <= c.x() + r; ++x)
            if (x >= 0 && y >= 0 && x < img.width() && y < img.height() &&
                pred(img.pixelColor(x, y)))
                return true;
    return false;
}

bool isDark(QColor c) { return c.red() < 80 && c.green() < 80 && c.blue() < 80; }
bool isWhite(QColor c) { return c.red() > 240 && c.green() > 240 && c.blue() > 240; }
bool isBluish(QColor c) { return c.blue() > 150 && c.red() < 150 && c.green() < 150; }
bool isReddish(QColor c) { return c.red() > 150 && c.green() < 100 && c.blue() < 100; }

} // namespace testsupport

#include <QApplication>
#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QtTest>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace testsupport {
namespace {
struct Entry {
    const char *name;
    TestFactory factory;
};
std::vector<Entry> &registry() {
    static std::vector<Entry> entries;
    return entries;
}
} // namespace

int registerTest(const char *name, TestFactory factory) {
    registry().push_back({name, factory});
    return static_cast<int>(registry().size());
}

int runAllTests(int argc, char *argv[], bool needsGui) {
    // Without an X server the pure tests still run; the GL ones skip themselves.
    if (needsGui && !std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app;
    if (needsGui)
        app = std::make_unique<QApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    // Settings, recent files and recovery files of the tests stay apart from the user's.
    QStandardPaths::setTestModeEnabled(true);

    // "-class Name" picks classes; every other argument goes to QTest as usual.
    std::vector<std::string> only;
    std::vector<char *> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-class") == 0 && i + 1 < argc)
            only.emplace_back(argv[++i]);
        else
            rest.push_back(argv[i]);
    }
    // Without a display the GL classes skip in initTestCase, and Qt Test then also skips every
    // class that runs after them in the same process: run each class in its own process.
    if (!hasDisplay() && only.empty() && registry().size() > 1) {
        QStringList passOn;
        for (size_t i = 1; i < rest.size(); ++i)
            passOn << QString::fromLocal8Bit(rest[i]);
        int failed = 0;
        for (const Entry &e : registry()) {
            const int status = QProcess::execute(QString::fromLocal8Bit(argv[0]),
                                                 QStringList{"-class", e.name} + passOn);
            failed += status == 0 ? 0 : 1;
        }
        return failed;
    }
    int failures = 0;
    for (const Entry &e : registry()) {
        if (!only.empty() && std::find(only.begin(), only.end(), e.name) == only.end())
            continue;
        std::unique_ptr<QObject> test(e.factory());
        failures += QTest::qExec(test.get(), static_cast<int>(rest.size()), rest.data());
    }
    return failures;
}
} // namespace testsupport
