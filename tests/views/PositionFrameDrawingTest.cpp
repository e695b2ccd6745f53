// The position markers of the Cartesian view: a frame per task position and the circle marker.
#include "Point.h"

#include <GL/gl.h>
#include <QtTest>
#include "TestSupport.h"
#include <memory>

using testsupport::anyPixelNear;
using testsupport::isBluish;
using testsupport::isDark;
using testsupport::isWhite;

namespace {
// The canvas reads its framebuffer back as premultiplied colour, so translucent drawing that
// lowers the destination alpha comes back garbled; an on-screen view keeps alpha at 1. Draw
// with alpha writes masked, as an opaque window would show it.
QImage renderOpaque(testsupport::GLCanvas &c, const std::function<void()> &draw) {
    return c.render([&draw]() {
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
        draw();
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    });
}

bool notWhite(QColor c) { return !isWhite(c); }

int darkPixelsIn(const QImage &img, QPoint topLeft, QPoint bottomRight) {
    int n = 0;
    for (int y = topLeft.y(); y <= bottomRight.y(); ++y)
        for (int x = topLeft.x(); x <= bottomRight.x(); ++x)
            n += isDark(img.pixelColor(x, y)) ? 1 : 0;
    return n;
}
} // namespace

class PositionFrameDrawingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void frameIsAWhitePentagonWithBlueAxes();
    void frameTurnsByThePositionAngleInDegrees();
    void frameLabelHoldsAnyIndex();
    void circleMarkerIsARingWithACross();

private:
    std::unique_ptr<testsupport::GLCanvas> canvas;   // world [-1, 3]^2 on 400 x 400 pixels
    QPoint px(double x, double y) const { return canvas->toPixel(x, y); }
};

// Without a display every test skips on its own (in init): a skip in initTestCase would leave
// Qt Test skipping the classes that run after this one in the same program.
void PositionFrameDrawingTest::initTestCase() {
    if (!testsupport::hasDisplay())
        return;
    canvas = std::make_unique<testsupport::GLCanvas>(400, 400, -1.0, 3.0, -1.0, 3.0);
    QVERIFY(canvas->isValid());
}

void PositionFrameDrawingTest::init() { MS_REQUIRE_GL(); }

void PositionFrameDrawingTest::frameIsAWhitePentagonWithBlueAxes() {
    const QImage img = renderOpaque(*canvas, []() { Point(1.0, 1.0, 0.0).drawPositionFrame(1); });
    QVERIFY(isWhite(img.pixelColor(px(0.8, 1.2))));
    QVERIFY(anyPixelNear(img, px(1.3, 1.0 + 0.15), 2, isDark));   // right edge
    QVERIFY(anyPixelNear(img, px(1.0, 1.6), 2, isDark));          // apex
    QVERIFY(anyPixelNear(img, px(1.7, 1.0), 2, isBluish));        // x axis outside the body
    QVERIFY(anyPixelNear(img, px(1.0, 1.75), 2, isBluish));       // y axis beyond the apex
    QVERIFY(!anyPixelNear(img, px(-0.5, -0.5), 30, notWhite));
}

void PositionFrameDrawingTest::frameTurnsByThePositionAngleInDegrees() {
    const QImage img = renderOpaque(*canvas, []() { Point(1.0, 1.0, 90.0).drawPositionFrame(1); });
    // A quarter turn: the x axis points up, the y axis to the left.
    QVERIFY(anyPixelNear(img, px(1.0, 1.75), 2, isBluish));
    QVERIFY(anyPixelNear(img, px(0.25, 1.0), 2, isBluish));
    QVERIFY(!anyPixelNear(img, px(1.7, 1.0), 3, isBluish));
}

void PositionFrameDrawingTest::frameLabelHoldsAnyIndex() {
    // Regression: the label went through a fixed buffer, so long indices overflowed it.
    // The box lies right of the pentagon, where only a label of several digits reaches.
    const QPoint from = px(1.33, 0.97), to = px(1.9, 0.76);
    const QImage one = renderOpaque(*canvas, []() { Point(1.0, 1.0, 0.0).drawPositionFrame(1); });
    const QImage many =
        renderOpaque(*canvas, []() { Point(1.0, 1.0, 0.0).drawPositionFrame(1234567); });
    const int a = darkPixelsIn(one, from, to), b = darkPixelsIn(many, from, to);
    QVERIFY2(a == 0 && b > 20, qPrintable(QString("%1 vs %2").arg(a).arg(b)));
}

void PositionFrameDrawingTest::circleMarkerIsARingWithACross() {
    const QImage img = renderOpaque(*canvas, []() {
        glColor3d(0.0, 0.0, 0.0);
        Point(1.0, 1.0, 0.0).drawCircleMarker();
    });
    QVERIFY(anyPixelNear(img, px(1.5, 1.0), 1, isDark));
    QVERIFY(anyPixelNear(img, px(1.0, 0.5), 1, isDark));
    QVERIFY(anyPixelNear(img, px(1.0 + 0.5 * 0.7071, 1.0 + 0.5 * 0.7071), 1, isDark));
    QVERIFY(anyPixelNear(img, px(1.25, 1.0), 1, isDark));   // horizontal bar
    QVERIFY(anyPixelNear(img, px(1.0, 0.75), 1, isDark));   // vertical bar
    QVERIFY(isWhite(img.pixelColor(px(1.25, 1.25))));
    QVERIFY(!anyPixelNear(img, px(2.5, 2.5), 20, notWhite));
}

MS_REGISTER_TEST(PositionFrameDrawingTest)
#include "PositionFrameDrawingTest.moc"
