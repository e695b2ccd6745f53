// Dyads drawn offscreen: joints, blocks, lines and surfaces land at the pixels of their geometry.
#include "PR.h"
#include "RP.h"
#include "RR.h"

#include <GL/gl.h>
#include <QtTest>
#include "TestSupport.h"
#include <cmath>
#include <memory>

using testsupport::anyPixelNear;
using testsupport::isBluish;
using testsupport::isDark;
using testsupport::isWhite;

namespace {
const double pi = std::acos(-1.0);

// The canvas reads premultiplied colour back; translucent drawing would lower the stored alpha
// and garble it. Mask alpha writes as an opaque window's framebuffer behaves.
QImage renderOpaque(testsupport::GLCanvas &c, const std::function<void()> &draw) {
    return c.render([&draw]() {
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
        draw();
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    });
}

bool notWhite(QColor c) { return !isWhite(c); }
bool isMagenta(QColor c) { return c.red() > 150 && c.blue() > 150 && c.green() < 100; }
bool isGreyish(QColor c) { return !isWhite(c) && !isDark(c) && std::abs(c.red() - c.blue()) < 15; }

int countPixels(const QImage &img, const std::function<bool(QColor)> &pred) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += pred(img.pixelColor(x, y)) ? 1 : 0;
    return n;
}

// The moving-frame line through a fixed-frame point (fx, fy) with direction lineDeg, for a pose.
void movingLineThrough(const Point &pose, double fx, double fy, double lineDeg, double &l1,
                       double &l2, double &l3) {
    const double th = pose.z() * pi / 180.0, c = std::cos(th), s = std::sin(th);
    const double lx = c * (fx - pose.x()) + s * (fy - pose.y());
    const double ly = -s * (fx - pose.x()) + c * (fy - pose.y());
    const double a = lineDeg * pi / 180.0 - th;   // local direction
    l1 = -std::sin(a);
    l2 = std::cos(a);
    l3 = -(l1 * lx + l2 * ly);
}

Point along(const Point &p, double dist, double deg) {
    return Point(p.x() + dist * std::cos(deg * pi / 180.0), p.y() + dist * std::sin(deg * pi / 180.0),
                 0.0);
}
} // namespace

class DyadDrawingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void rrShowsPinsAtBothPivotsAndGroundUnderTheFixedOne();
    void prShowsTheSliderOnItsTrack();
    void synthesizedRpBlockIsAlignedWithItsLine();
    void drawJointsShowsTheJointSymbolsOfEachKind();
    void onlyAnRrDrawsItsConstraintSurface();
    void previewsDrawBetweenTheMousePoints_data();
    void previewsDrawBetweenTheMousePoints();

private:
    std::unique_ptr<testsupport::GLCanvas> canvas;   // world [-5, 5]^2 on 400 x 400 pixels
    QPoint px(const Point &p) const { return canvas->toPixel(p.x(), p.y()); }
    QImage render(const std::function<void()> &draw) { return renderOpaque(*canvas, draw); }
};

// Without a display each test skips in init: a skip here would skip the classes after this one.
void DyadDrawingTest::initTestCase() {
    if (!testsupport::hasDisplay())
        return;
    canvas = std::make_unique<testsupport::GLCanvas>(400, 400, -5.0, 5.0, -5.0, 5.0);
    QVERIFY(canvas->isValid());
}

void DyadDrawingTest::init() { MS_REQUIRE_GL(); }

void DyadDrawingTest::rrShowsPinsAtBothPivotsAndGroundUnderTheFixedOne() {
    // Local pivot (1, 1) at the identity pose: moving pivot (1, 1); fixed pivot (-2, -1).
    RR rr(Point(0.0, 0.0, 0.0), -2.0, -1.0, std::hypot(3.0, 2.0), 1.0, 1.0, 0);
    const Point f(-2.0, -1.0, 0.0), m(1.0, 1.0, 0.0);
    const QImage img = render([&rr]() { rr.draw(); });
    QVERIFY(isWhite(img.pixelColor(px(m))));       // inside the pin
    QVERIFY(isWhite(img.pixelColor(px(f))));
    QVERIFY(anyPixelNear(img, px(along(m, 0.1, 90.0)), 1, isDark));   // pin rim, radius 0.1
    QVERIFY(anyPixelNear(img, px(along(f, 0.1, 0.0)), 1, isDark));
    QVERIFY(anyPixelNear(img, px(f.midpoint(m)), 1, isDark));          // the link
    QVERIFY(anyPixelNear(img, px(Point(-2.0, -1.44, 0.0)), 4, isDark)); // hatching under it
    QVERIFY(!anyPixelNear(img, px(Point(-2.0, 0.0, 0.0)), 10, isDark)); // nothing above
    QVERIFY(!anyPixelNear(img, px(Point(3.5, -3.5, 0.0)), 40, notWhite));
}

void DyadDrawingTest::prShowsTheSliderOnItsTrack() {
    PR pr(-2.0, 0.5, 1.0, 0.5, 0.0, 0.0, 0.0);   // horizontal slide
    const Point m(1.0, 0.5, 0.0);
    const QImage img = render([&pr]() { pr.draw(); });
    QVERIFY(isWhite(img.pixelColor(px(m))));
    QVERIFY(anyPixelNear(img, px(along(m, 0.15, 90.0)), 1, isDark));   // block, across
    QVERIFY(anyPixelNear(img, px(along(m, 0.27, 0.0)), 1, isDark));    // block, along
    QVERIFY(!isDark(img.pixelColor(px(along(m, 0.25, 90.0)))));
    QVERIFY(anyPixelNear(img, px(along(m, 0.4, 0.0)), 2, isGreyish));   // track runs on
    QVERIFY(!anyPixelNear(img, px(along(m, 0.4, 90.0)), 3, notWhite));  // only along the line
    QVERIFY(anyPixelNear(img, px(Point(-2.0, 0.06, 0.0)), 3, isDark));   // ground symbol
    // Driven by its own oscillation the slider is drawn where its geometry puts it.
    pr.setSlideMotion(1.0, 2.0, 90.0 - 2.5);
    pr.step();   // displacement 1 + 2*sin(90) = 3 along +x from (-2, 0.5)
    const QImage moved = render([&pr]() { pr.draw(); });
    QVERIFY(isWhite(moved.pixelColor(px(m))));
    QVERIFY(anyPixelNear(moved, px(along(m, 0.1, 90.0)), 1, isDark));
    QVERIFY(anyPixelNear(moved, px(Point(-0.5, 0.5, 0.0)), 1, isDark));   // the link
}

void DyadDrawingTest::synthesizedRpBlockIsAlignedWithItsLine() {
    const Point pose(1.0, -1.0, 40.0);
    const Point f(0.5, 0.5, 0.0);
    const double lineDeg = 30.0;
    double l1, l2, l3;
    movingLineThrough(pose, f.x(), f.y(), lineDeg, l1, l2, l3);
    RP rp(pose, f.x(), f.y(), 2.0 * l1, 2.0 * l2, 2.0 * l3, 0.0);
    const QImage img = render([&rp]() { rp.draw(); });
    // The block is 0.5 along the line and 0.3 across, with a 5 pixel rim.
    QVERIFY(anyPixelNear(img, px(along(f, 0.27, lineDeg)), 1, isDark));
    QVERIFY(anyPixelNear(img, px(along(f, 0.27, lineDeg + 180.0)), 1, isDark));
    QVERIFY(anyPixelNear(img, px(along(f, 0.15, lineDeg + 90.0)), 1, isDark));
    QVERIFY(!isDark(img.pixelColor(px(along(f, 0.3, lineDeg + 90.0)))));
    // The moving line runs through the block along its direction, not across it.
    QVERIFY(anyPixelNear(img, px(along(f, 1.0, lineDeg)), 1, isBluish));
    QVERIFY(!anyPixelNear(img, px(along(f, 1.0, lineDeg + 90.0)), 3, isBluish));
    QVERIFY(!anyPixelNear(img, px(along(f, 2.0, lineDeg)), 3, isBluish));
}

void DyadDrawingTest::drawJointsShowsTheJointSymbolsOfEachKind() {
    RR rr(-3.0, 2.0, -1.0, 2.0, 0.0, 0.0, 0.0);
    PR pr(-3.0, -2.0, -1.0, -2.0, 0.0, 0.0, 0.0);
    RP rp(2.0, 0.0, 4.0, 0.0, 3.0, 3.0, 0.0);
    const QImage img = render([&]() {
        rr.drawJoints();
        pr.drawJoints();
        rp.drawJoints();
    });
    // Revolute pins (radius 0.1) at both ends of the RR.
    QVERIFY(anyPixelNear(img, px(Point(-1.0, 2.1, 0.0)), 1, isDark));
    QVERIFY(!anyPixelNear(img, px(Point(-1.0, 2.2, 0.0)), 0, isDark));
    // Prismatic joints (pin radius 0.2) at both ends of the PR.
    QVERIFY(anyPixelNear(img, px(Point(-1.0, -1.8, 0.0)), 1, isDark));
    // The RP's slider joint sits on its handle, right at the fixed pivot.
    QVERIFY(anyPixelNear(img, px(Point(2.0, 0.2, 0.0)), 1, isDark));
    QVERIFY(!anyPixelNear(img, px(Point(4.0, 0.0, 0.0)), 5, isDark));
}

void DyadDrawingTest::onlyAnRrDrawsItsConstraintSurface() {
    RR rr(Point(0.0, 0.0, 0.0), 0.5, 0.5, 1.0, 0.3, 0.2, 0);
    PR pr(Point(0.0, 0.0, 0.0), 0.0, 1.0, -1.0, 0.5, 0.5, 0, 0.5, 0.5, 1.0, 0.3, 0.2);
    RP rp(Point(0.0, 0.0, 0.0), 0.5, 0.5, 1.0, 0.0, -0.5, 0.0);
    const QImage surface = render([&rr]() { rr.drawSurfaceAlways(); });
    QVERIFY(countPixels(surface, isMagenta) > 50);   // rulings
    QVERIFY(countPixels(surface, isBluish) > 50);    // circles
    QCOMPARE(countPixels(render([&]() {
                             pr.drawSurfaceAlways();
                             rp.drawSurfaceAlways();
                             pr.drawSurface(Point(0.0, 0.0, 0.0));
                         }),
                         notWhite),
             0);
    RR drawn(0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0);   // no surface until setPose
    QCOMPARE(countPixels(render([&drawn]() { drawn.drawSurface(Point(0.0, 0.0, 0.0)); }),
                         notWhite),
             0);
}

void DyadDrawingTest::previewsDrawBetweenTheMousePoints_data() {
    QTest::addColumn<int>("kind");
    QTest::newRow("RR") << 0;
    QTest::newRow("PR") << 1;
    QTest::newRow("RP") << 2;
}

void DyadDrawingTest::previewsDrawBetweenTheMousePoints() {
    QFETCH(int, kind);
    std::unique_ptr<Dyad> prototype;
    if (kind == 0)
        prototype = std::make_unique<RR>();
    else if (kind == 1)
        prototype = std::make_unique<PR>();
    else
        prototype = std::make_unique<RP>();
    for (int full = 0; full < 2; ++full) {
        const QImage img = render([&]() {
            if (full)
                prototype->drawInputPreviewFull(-2.0, -1.0, 2.0, 1.0, 0.0);
            else
                prototype->drawInputPreview(-2.0, -1.0, 2.0, 1.0);
        });
        QVERIFY(anyPixelNear(img, px(Point(-2.0, -1.0, 0.0)), 4, isDark));
        QVERIFY(anyPixelNear(img, px(Point(2.0, 1.0, 0.0)), 4, notWhite));
        QVERIFY(anyPixelNear(img, px(Point(0.0, 0.0, 0.0)), 2, notWhite));
        QVERIFY(!anyPixelNear(img, px(Point(-4.0, 4.0, 0.0)), 20, notWhite));
    }
}

MS_REGISTER_TEST(DyadDrawingTest)
#include "DyadDrawingTest.moc"
