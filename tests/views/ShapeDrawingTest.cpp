// Drawing primitives rendered offscreen: each shape's colour where it must be, none far away.
#include "AngularDimension.h"
#include "ArrowMotion2D.h"
#include "Circle2D.h"
#include "Gripper.h"
#include "Line.h"
#include "LinearDimension.h"
#include "Rectangle2D.h"
#include "circleArc.h"

#include <GL/gl.h>
#include <QtTest>
#include "TestSupport.h"
#include <cmath>
#include <memory>

using testsupport::anyPixelNear;
using testsupport::isBluish;
using testsupport::isDark;
using testsupport::isReddish;
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

const double pi = std::acos(-1.0);

bool isYellow(QColor c) { return c.red() > 150 && c.green() > 150 && c.blue() < 80; }
bool isLightGrey(QColor c) {
    return c.red() > 160 && c.red() < 235 && std::abs(c.red() - c.green()) < 12 &&
           std::abs(c.red() - c.blue()) < 12;
}
bool notWhite(QColor c) { return !isWhite(c); }

int countPixels(const QImage &img, const std::function<bool(QColor)> &pred) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += pred(img.pixelColor(x, y)) ? 1 : 0;
    return n;
}
} // namespace

class ShapeDrawingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void lineIsBlueAlongItsLengthOnly();
    void circleHasABlackRimAndWhiteInside();
    void filledCircleIsBlackInside();
    void circleOfZeroOrNegativeRadiusDrawsNothing();
    void circleArcCoversOnlyItsSweep();
    void reversedCircleArcDrawsNothing();
    void rectangleOutlineFollowsItsAngle();
    void filledRectangleIsTranslucentGrey();
    void whiteFilledRectangleHasABlackRim();
    void guideBlockHasLegsBelowIt();
    void negativeRectangleSizesAreStoredAsZero();
    void motionArrowIsADashedArcWithAHead();
    void straightMotionArrowRunsAlongX();
    void gripperStylesFillAndAxes_data();
    void gripperStylesFillAndAxes();
    void gripperTurnsWithItsPose();
    void gripperWritesItsNumberOnlyWhenPositive();
    void fullLinearDimensionDrawsItsLineAndValue();
    void plainLinearDimensionWritesItsLabel();
    void angularDimensionDrawsARedArcOverItsSweep();

private:
    std::unique_ptr<testsupport::GLCanvas> canvas;   // world [-5, 5]^2 on 400 x 400 pixels
    QImage draw(const Shape &s) {
        return renderOpaque(*canvas, [&s]() { s.draw(); });
    }
    QPoint px(double x, double y) const { return canvas->toPixel(x, y); }
};

// Without a display every test skips on its own (in init): a skip in initTestCase would leave
// Qt Test skipping the classes that run after this one in the same program.
void ShapeDrawingTest::initTestCase() {
    if (!testsupport::hasDisplay())
        return;
    canvas = std::make_unique<testsupport::GLCanvas>(400, 400, -5.0, 5.0, -5.0, 5.0);
    QVERIFY(canvas->isValid());
}

void ShapeDrawingTest::init() { MS_REQUIRE_GL(); }

void ShapeDrawingTest::lineIsBlueAlongItsLengthOnly() {
    const QImage img = draw(Line(Point(-3.0, 0.0, 0.0), Point(3.0, 1.0, 0.0)));
    QVERIFY(anyPixelNear(img, px(0.0, 0.5), 1, isBluish));
    QVERIFY(anyPixelNear(img, px(-2.9, 0.0167), 1, isBluish));
    QVERIFY(!anyPixelNear(img, px(0.0, 2.0), 10, isBluish));
    QVERIFY(!anyPixelNear(img, px(4.0, 1.2), 10, notWhite));
}

void ShapeDrawingTest::circleHasABlackRimAndWhiteInside() {
    const QImage img = draw(Circle2D(Point(1.0, -1.0, 0.0), false, 2.0));
    QVERIFY(anyPixelNear(img, px(3.0, -1.0), 1, isDark));
    QVERIFY(anyPixelNear(img, px(1.0, 1.0), 1, isDark));
    QVERIFY(anyPixelNear(img, px(1.0 + 2.0 * std::cos(2.2), -1.0 + 2.0 * std::sin(2.2)), 1,
                         isDark));
    QVERIFY(!anyPixelNear(img, px(1.0, -1.0), 30, isDark));
    QVERIFY(!anyPixelNear(img, px(-3.5, 3.5), 10, notWhite));
}

void ShapeDrawingTest::filledCircleIsBlackInside() {
    const QImage img = draw(Circle2D(Point(0.0, 0.0, 0.0), true, 1.0));
    QVERIFY(isDark(img.pixelColor(px(0.0, 0.0))));
    QVERIFY(isDark(img.pixelColor(px(0.7, 0.0))));
    QVERIFY(!anyPixelNear(img, px(1.5, 0.0), 5, isDark));
}

void ShapeDrawingTest::circleOfZeroOrNegativeRadiusDrawsNothing() {
    const Circle2D negative(Point(0.0, 0.0, 0.0), false, -3.0);
    QCOMPARE(negative.getRadius(), 0.0);
    const QImage img = draw(negative);
    QCOMPARE(countPixels(img, notWhite), 0);
    QCOMPARE(countPixels(draw(Circle2D(Point(1.0, 1.0, 0.0), true, 0.0)), notWhite), 0);
}

void ShapeDrawingTest::circleArcCoversOnlyItsSweep() {
    const QImage img = draw(circleArc(Point(0.0, 0.0, 0.0), 0.0, 90.0, 3.0));
    QVERIFY(anyPixelNear(img, px(3.0 * std::cos(pi / 4), 3.0 * std::sin(pi / 4)), 1, isBluish));
    QVERIFY(anyPixelNear(img, px(3.0, 0.0), 1, isBluish));
    QVERIFY(anyPixelNear(img, px(0.0, 3.0), 1, isBluish));
    QVERIFY(!anyPixelNear(img, px(-3.0, 0.0), 10, isBluish));
    QVERIFY(!anyPixelNear(img, px(0.0, -3.0), 10, isBluish));
    // The centre's angle turns the whole arc: 90 degrees moves it into the second quadrant.
    const QImage turned = draw(circleArc(Point(0.0, 0.0, 90.0), 0.0, 90.0, 3.0));
    QVERIFY(anyPixelNear(turned, px(-3.0 * std::cos(pi / 4), 3.0 * std::sin(pi / 4)), 1,
                         isBluish));
    QVERIFY(!anyPixelNear(turned, px(3.0 * std::cos(pi / 4), 3.0 * std::sin(pi / 4)), 10,
                          isBluish));
}

void ShapeDrawingTest::reversedCircleArcDrawsNothing() {
    QCOMPARE(countPixels(draw(circleArc(Point(0.0, 0.0, 0.0), 90.0, 0.0, 3.0)), notWhite), 0);
}

void ShapeDrawingTest::rectangleOutlineFollowsItsAngle() {
    const QImage flat = draw(Rectangle2D(Point(0.0, 0.0, 0.0), false, 4.0, 1.0, 0.0));
    QVERIFY(anyPixelNear(flat, px(2.0, 0.0), 2, isDark));
    QVERIFY(anyPixelNear(flat, px(0.0, 0.5), 2, isDark));
    QVERIFY(!anyPixelNear(flat, px(0.0, 0.0), 10, isDark));
    QVERIFY(!anyPixelNear(flat, px(0.0, 2.0), 10, isDark));
    // At 90 degrees width and height swap their extents on screen.
    const QImage upright = draw(Rectangle2D(Point(0.0, 0.0, 0.0), false, 4.0, 1.0, 90.0));
    QVERIFY(anyPixelNear(upright, px(0.0, 2.0), 2, isDark));
    QVERIFY(anyPixelNear(upright, px(0.5, 0.0), 2, isDark));
    QVERIFY(!anyPixelNear(upright, px(2.0, 0.0), 10, isDark));
}

void ShapeDrawingTest::filledRectangleIsTranslucentGrey() {
    const QImage img = draw(Rectangle2D(Point(1.0, 1.0, 0.0), true, 2.0, 2.0, 30.0));
    QVERIFY(isLightGrey(img.pixelColor(px(1.0, 1.0))));
    QVERIFY(!anyPixelNear(img, px(1.0, 1.0), 20, isDark));
    QVERIFY(isWhite(img.pixelColor(px(-2.0, 1.0))));
}

void ShapeDrawingTest::whiteFilledRectangleHasABlackRim() {
    // White body over a blue line: the line disappears inside, the rim stays black.
    const QImage img = renderOpaque(*canvas, []() {
        Line(Point(-4.0, 0.0, 0.0), Point(4.0, 0.0, 0.0)).draw();
        Rectangle2D r(Point(0.0, 0.0, 0.0), false, 2.0, 1.0, 0.0);
        r.setWhiteFill(true);
        r.draw();
    });
    QVERIFY(isWhite(img.pixelColor(px(0.3, 0.0))));
    QVERIFY(anyPixelNear(img, px(1.0, 0.2), 2, isDark));
    QVERIFY(anyPixelNear(img, px(3.0, 0.0), 1, isBluish));
}

void ShapeDrawingTest::guideBlockHasLegsBelowIt() {
    const Rectangle2D r(Point(0.0, 0.0, 0.0), false, 2.0, 1.0, 0.0);
    const QImage block = renderOpaque(*canvas, [&r]() { r.drawAtPose(Point(1.0, 1.0, 0.0)); });
    const QImage guide = renderOpaque(*canvas, [&r]() { r.drawGuideAtPose(Point(1.0, 1.0, 0.0)); });
    // Legs run from the lower corners (y = 0.5) down to y = 1 - height = 0.
    QVERIFY(anyPixelNear(guide, px(0.0, 0.2), 2, isDark));
    QVERIFY(anyPixelNear(guide, px(2.0, 0.2), 2, isDark));
    QVERIFY(!anyPixelNear(block, px(0.0, 0.2), 2, isDark));
    QVERIFY(isWhite(block.pixelColor(px(1.0, 1.0))));
    QVERIFY(anyPixelNear(block, px(2.0, 1.0), 2, isDark));
}

void ShapeDrawingTest::negativeRectangleSizesAreStoredAsZero() {
    const Rectangle2D r(Point(0.0, 0.0, 0.0), false, -1.0, -2.0, 0.0);
    QCOMPARE(r.getWidth(), 0.0);
    QCOMPARE(r.getHeight(), 0.0);
}

void ShapeDrawingTest::motionArrowIsADashedArcWithAHead() {
    testsupport::GLCanvas fine(400, 400, -0.5, 0.5, -0.5, 0.5);
    QVERIFY(fine.isValid());
    const ArrowMotion2D arrow(Point(0.0, 0.0, 0.0), false);
    const QImage img = renderOpaque(fine, [&arrow]() { arrow.draw(); });
    // The arc runs from -30 to 210 degrees through the top; the bottom stays empty.
    QVERIFY(anyPixelNear(img, fine.toPixel(0.0, 0.25), 3, isBluish));
    QVERIFY(anyPixelNear(img, fine.toPixel(-0.25, 0.0), 3, isBluish));
    QVERIFY(!anyPixelNear(img, fine.toPixel(0.0, -0.25), 10, notWhite));
    // The head sits at -30 degrees, pointing along the tangent (its tip 0.12 further on).
    const double s = -30.0 * pi / 180.0;
    QVERIFY(anyPixelNear(img, fine.toPixel(0.25 * std::cos(s) + 0.03 * std::cos(s - pi / 2),
                                           0.25 * std::sin(s) + 0.03 * std::sin(s - pi / 2)),
                         2, isBluish));
}

void ShapeDrawingTest::straightMotionArrowRunsAlongX() {
    const QImage img = draw(ArrowMotion2D(Point(4.0, 0.0, 0.0), true));
    QVERIFY(anyPixelNear(img, px(1.5, 0.0), 1, isBluish));
    QVERIFY(anyPixelNear(img, px(-1.5, 0.0), 1, isBluish));
    QVERIFY(!anyPixelNear(img, px(3.0, 0.0), 5, isBluish));
}

void ShapeDrawingTest::gripperStylesFillAndAxes_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("axes");
    QTest::newRow("white") << 0 << false;
    QTest::newRow("dashed") << 1 << false;
    QTest::newRow("grey with axes") << 2 << true;
    QTest::newRow("yellow with axes") << 3 << true;
}

void ShapeDrawingTest::gripperStylesFillAndAxes() {
    QFETCH(int, style);
    QFETCH(bool, axes);
    testsupport::GLCanvas fine(400, 400, -1.5, 1.5, -1.5, 1.5);
    QVERIFY(fine.isValid());
    const Gripper g(Point(0.0, 0.0, 0.0), style, 0);
    const QImage img = renderOpaque(fine, [&g]() { g.draw(); });
    const QColor inside = img.pixelColor(fine.toPixel(-0.15, 0.2));
    switch (style) {
    case 0:
        QVERIFY(isWhite(inside));
        break;
    case 1:
        QVERIFY(isWhite(inside));   // outline only
        break;
    case 2:
        QVERIFY(isLightGrey(inside));
        break;
    default:
        QVERIFY(isYellow(inside));
        break;
    }
    // The right edge x = 0.3 is black (for the dashed style somewhere along it).
    QVERIFY(anyPixelNear(img, fine.toPixel(0.3, 0.0), 4, isDark));
    QCOMPARE(anyPixelNear(img, fine.toPixel(0.7, 0.0), 2, isBluish), axes);
    QCOMPARE(anyPixelNear(img, fine.toPixel(0.0, 0.8), 2, isBluish), axes);
    QVERIFY(!anyPixelNear(img, fine.toPixel(-1.2, -1.2), 20, notWhite));
}

void ShapeDrawingTest::gripperTurnsWithItsPose() {
    testsupport::GLCanvas fine(400, 400, -1.5, 1.5, -1.5, 1.5);
    QVERIFY(fine.isValid());
    const Gripper g(Point(0.0, 0.0, 90.0), 3, 0);
    const QImage img = renderOpaque(fine, [&g]() { g.draw(); });
    // Turned a quarter: the x axis points up, the apex (0, 0.6) points left.
    QVERIFY(anyPixelNear(img, fine.toPixel(0.0, 0.7), 2, isBluish));
    QVERIFY(!anyPixelNear(img, fine.toPixel(0.7, 0.0), 4, isBluish));
    QVERIFY(isYellow(img.pixelColor(fine.toPixel(-0.4, 0.05))));
    QVERIFY(isWhite(img.pixelColor(fine.toPixel(0.05, 0.45))));
}

void ShapeDrawingTest::gripperWritesItsNumberOnlyWhenPositive() {
    testsupport::GLCanvas fine(400, 400, -0.5, 0.5, -0.5, 0.5);
    QVERIFY(fine.isValid());
    const Gripper none(Point(0.0, 0.0, 0.0), 0, 0);
    const Gripper seven(Point(0.0, 0.0, 0.0), 0, 7);
    QCOMPARE(seven.getLabel(), std::string("7"));
    // The label sits around (0, -0.15), well inside the white pentagon.
    const QRect labelBox(fine.toPixel(-0.1, -0.05), fine.toPixel(0.15, -0.25));
    auto darkInBox = [&labelBox](const QImage &img) {
        int n = 0;
        for (int y = labelBox.top(); y <= labelBox.bottom(); ++y)
            for (int x = labelBox.left(); x <= labelBox.right(); ++x)
                n += isDark(img.pixelColor(x, y)) ? 1 : 0;
        return n;
    };
    QCOMPARE(darkInBox(renderOpaque(fine, [&none]() { none.draw(); })), 0);
    QVERIFY(darkInBox(renderOpaque(fine, [&seven]() { seven.draw(); })) > 10);
    const Gripper big(Point(0.0, 0.0, 0.0), 0, 123);
    QCOMPARE(big.getLabel(), std::string("123"));
}

void ShapeDrawingTest::fullLinearDimensionDrawsItsLineAndValue() {
    const LinearDimension dim(Point(-2.0, 0.0, 0.0), Point(2.0, 0.0, 0.0), 4.0, 0.0, 1.0, 'm');
    QCOMPARE(dim.valueText(), std::string("4m"));
    QCOMPARE(LinearDimension(Point(0.0, 0.0, 0.0), Point(1.0, 0.0, 0.0), 2.5, 0.0, 2.0, 'i').valueText(),
             std::string("5in"));
    const QImage img = draw(dim);
    // Dimension line half a unit above the link, extension lines at both ends.
    QVERIFY(anyPixelNear(img, px(0.0, 0.5), 1, isReddish));
    QVERIFY(anyPixelNear(img, px(-2.0, 0.8), 1, isReddish));
    QVERIFY(anyPixelNear(img, px(2.0, 0.2), 1, isReddish));
    // The value in grey above it, from the middle of the line on.
    int grey = 0;
    for (int y = px(0.0, 1.7).y(); y <= px(0.0, 1.1).y(); ++y)
        for (int x = px(0.0, 0.0).x(); x <= px(1.0, 0.0).x(); ++x)
            grey += isDark(img.pixelColor(x, y)) ? 1 : 0;
    QVERIFY(grey > 20);
    QVERIFY(!anyPixelNear(img, px(0.0, -2.0), 20, notWhite));
}

void ShapeDrawingTest::plainLinearDimensionWritesItsLabel() {
    // Along a vertical link the normal points to -x: the label lands left of the link.
    const QImage img = draw(LinearDimension(Point(0.0, 0.0, 0.0), 4.0, 90.0));
    int dark = 0;
    for (int y = px(0.0, 2.6).y(); y <= px(0.0, 1.7).y(); ++y)
        for (int x = px(-1.2, 0.0).x(); x <= px(-0.2, 0.0).x(); ++x)
            dark += isDark(img.pixelColor(x, y)) ? 1 : 0;
    QVERIFY(dark > 5);
    QVERIFY(!anyPixelNear(img, px(2.0, 2.0), 30, notWhite));
}

void ShapeDrawingTest::angularDimensionDrawsARedArcOverItsSweep() {
    const AngularDimension dim(Point(0.0, 0.0, 0.0), 2.0, 0.0, 90.0);
    QCOMPARE(dim.valueText(), std::string("90"));
    QCOMPARE(AngularDimension(Point(0.0, 0.0, 0.0), 1.0, 0.0, 33.3333333).valueText(),
             std::string("33.33"));
    const QImage img = draw(dim);
    QVERIFY(anyPixelNear(img, px(2.0 * std::cos(pi / 3), 2.0 * std::sin(pi / 3)), 1,
                         isReddish));
    QVERIFY(!anyPixelNear(img, px(-2.0, 0.0), 10, isReddish));
    QVERIFY(!anyPixelNear(img, px(0.0, -2.0), 10, isReddish));
    // A sweep ending at 90 degrees has its value half-way along, just outside the arc.
    QVERIFY(anyPixelNear(img, px(2.3 * std::cos(pi / 4) + 0.2, 2.3 * std::sin(pi / 4) + 0.2), 14,
                         isDark));
    QVERIFY(!anyPixelNear(img, px(2.3 * std::cos(pi / 8) + 0.2, 2.3 * std::sin(pi / 8)), 8,
                          isDark));
}

MS_REGISTER_TEST(ShapeDrawingTest)
#include "ShapeDrawingTest.moc"
