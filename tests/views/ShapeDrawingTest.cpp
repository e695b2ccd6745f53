// Drawing primitives rendered offscreen: each shape's colour where it must be, none where it must
// not be.
#include "AngularDimension.h"
#include "ArrowMotion2D.h"
#include "Circle2D.h"
#include "Gripper.h"
#include "Line.h"
#include "LinearDimension.h"
#include "Point.h"
#include "Rectangle2D.h"
#include "circleArc.h"

#include <QtTest>
#include "TestSupport.h"
#include "ViewTestSupport.h"
#include <cmath>
#include <map>
#include <memory>

namespace {
using testsupport::isWhite;
const double pi = viewtest::pi;

bool isYellow(QColor c) { return c.red() > 150 && c.green() > 150 && c.blue() < 80; }
bool isLightGrey(QColor c) {
    return c.red() > 160 && c.red() < 235 && std::abs(c.red() - c.green()) < 12 &&
           std::abs(c.red() - c.blue()) < 12;
}

// A world point, a search radius in pixels, a colour (blue, dark, red, grey, yellow, white, or
// anything not white) and whether such a pixel must be there or must not.
struct Probe {
    double x, y;
    int radius;
    char colour;
    bool present;
};

bool colourIs(char colour, QColor c) {
    switch (colour) {
    case 'b': return testsupport::isBluish(c);
    case 'd': return testsupport::isDark(c);
    case 'r': return testsupport::isReddish(c);
    case 'g': return isLightGrey(c);
    case 'y': return isYellow(c);
    case 'w': return isWhite(c);
    default: return !isWhite(c);
    }
}

Point pt(double x, double y, double thetaDeg) { return Point(x, y, thetaDeg); }

using Draw = std::function<void()>;
using Probes = QVector<Probe>;
const Probes nothingDrawn{{0.0, 0.0, 300, 'n', false}};
} // namespace

Q_DECLARE_METATYPE(Draw)
Q_DECLARE_METATYPE(Probes)

class ShapeDrawingTest : public QObject {
    Q_OBJECT
private slots:
    void init() { MS_REQUIRE_GL(); }
    void shapeAppearsWhereItMustOnly_data() {
        QTest::addColumn<double>("lo"); QTest::addColumn<double>("side");
        QTest::addColumn<Draw>("draw"); QTest::addColumn<Probes>("probes");
        const double c45 = 3.0 * std::cos(pi / 4), arrowStart = -pi / 6;
        const auto row = [](const char *name, Draw draw, Probes probes, double lo = -5.0,
                            double side = 10.0) {
            QTest::newRow(name) << lo << side << draw << probes;
        };
        row("line, blue along its length only", [] { Line(pt(-3, 0, 0), pt(3, 1, 0)).draw(); },
            Probes{{0, 0.5, 1, 'b', true}, {-2.9, 0.0167, 1, 'b', true}, {0, 2, 10, 'b', false},
                   {4, 1.2, 10, 'n', false}});
        row("circle, black rim and white inside", [] { Circle2D(pt(1, -1, 0), false, 2.0).draw(); },
            Probes{{3, -1, 1, 'd', true}, {1, 1, 1, 'd', true},
                   {1 + 2 * std::cos(2.2), -1 + 2 * std::sin(2.2), 1, 'd', true},
                   {1, -1, 30, 'd', false}, {-3.5, 3.5, 10, 'n', false}});
        row("filled circle, black inside", [] { Circle2D(pt(0, 0, 0), true, 1.0).draw(); },
            Probes{{0, 0, 0, 'd', true}, {0.7, 0, 0, 'd', true}, {1.5, 0, 5, 'd', false}});
        row("circle of negative radius", [] { Circle2D(pt(0, 0, 0), false, -3.0).draw(); },
            nothingDrawn);
        row("filled circle of zero radius", [] { Circle2D(pt(1, 1, 0), true, 0.0).draw(); },
            nothingDrawn);
        row("arc over its sweep only", [] { circleArc(pt(0, 0, 0), 0.0, 90.0, 3.0).draw(); },
            Probes{{c45, c45, 1, 'b', true}, {3, 0, 1, 'b', true}, {0, 3, 1, 'b', true},
                   {-3, 0, 10, 'b', false}, {0, -3, 10, 'b', false}});
        // The centre's angle turns the whole arc: 90 degrees moves it into the second quadrant.
        row(
            "arc turned by its centre's angle",
            [] { circleArc(pt(0, 0, 90), 0.0, 90.0, 3.0).draw(); },
            Probes{{-c45, c45, 1, 'b', true}, {c45, c45, 10, 'b', false}});
        row("reversed arc", [] { circleArc(pt(0, 0, 0), 90.0, 0.0, 3.0).draw(); }, nothingDrawn);
        row("rectangle outline", [] { Rectangle2D(pt(0, 0, 0), false, 4, 1, 0).draw(); },
            Probes{{2, 0, 2, 'd', true}, {0, 0.5, 2, 'd', true}, {0, 0, 10, 'd', false},
                   {0, 2, 10, 'd', false}});
        // At 90 degrees width and height swap their extents on screen.
        row("rectangle turned upright", [] { Rectangle2D(pt(0, 0, 0), false, 4, 1, 90).draw(); },
            Probes{{0, 2, 2, 'd', true}, {0.5, 0, 2, 'd', true}, {2, 0, 10, 'd', false}});
        row(
            "filled rectangle, translucent grey",
            [] { Rectangle2D(pt(1, 1, 0), true, 2, 2, 30).draw(); },
            Probes{{1, 1, 0, 'g', true}, {1, 1, 20, 'd', false}, {-2, 1, 0, 'w', true}});
        // White body over a blue line: the line disappears inside, the rim stays black.
        QTest::newRow("white-filled rectangle over a line")
            << -5.0 << 10.0 << Draw([] {
                   Line(pt(-4, 0, 0), pt(4, 0, 0)).draw();
                   Rectangle2D r(pt(0, 0, 0), false, 2, 1, 0);
                   r.setWhiteFill(true);
                   r.draw();
               })
            << Probes{{0.3, 0, 0, 'w', true}, {1, 0.2, 2, 'd', true}, {3, 0, 1, 'b', true}};
        // Legs run from the lower corners (y = 0.5) down to y = 1 - height = 0; a block has none.
        QTest::newRow("guide block with legs")
            << -5.0 << 10.0
            << Draw([] { Rectangle2D(pt(0, 0, 0), false, 2, 1, 0).drawGuideAtPose(pt(1, 1, 0)); })
            << Probes{{0, 0.2, 2, 'd', true}, {2, 0.2, 2, 'd', true}};
        QTest::newRow("block at a pose")
            << -5.0 << 10.0
            << Draw([] { Rectangle2D(pt(0, 0, 0), false, 2, 1, 0).drawAtPose(pt(1, 1, 0)); })
            << Probes{{0, 0.2, 2, 'd', false}, {1, 1, 0, 'w', true}, {2, 1, 2, 'd', true}};
        // The arc runs from -30 to 210 degrees through the top; the head sits at -30 degrees,
        // pointing along the tangent.
        row(
            "motion arrow, dashed arc with a head",
            [] { ArrowMotion2D(pt(0, 0, 0), false).draw(); },
            Probes{{0, 0.25, 3, 'b', true},
                   {-0.25, 0, 3, 'b', true},
                   {0, -0.25, 10, 'n', false},
                   {0.25 * std::cos(arrowStart) + 0.03 * std::cos(arrowStart - pi / 2),
                    0.25 * std::sin(arrowStart) + 0.03 * std::sin(arrowStart - pi / 2), 2, 'b',
                    true}},
            -0.5, 1.0);
        row("straight motion arrow along x", [] { ArrowMotion2D(pt(4, 0, 0), true).draw(); },
            Probes{{1.5, 0, 1, 'b', true}, {-1.5, 0, 1, 'b', true}, {3, 0, 5, 'b', false}});
        // Gripper styles: white, dashed outline, grey and yellow with axes; the right edge x = 0.3
        // is black (for the dashed style somewhere along it).
        const char fills[] = {'w', 'w', 'g', 'y'};
        for (int style = 0; style < 4; ++style) {
            const bool axes = style >= 2;
            QTest::newRow(qPrintable(QString("gripper style %1").arg(style)))
                << -1.5 << 3.0 << Draw([style] { Gripper(pt(0, 0, 0), style, 0).draw(); })
                << Probes{{-0.15, 0.2, 0, fills[style], true}, {0.3, 0, 4, 'd', true},
                          {0.7, 0, 2, 'b', axes}, {0, 0.8, 2, 'b', axes},
                          {-1.2, -1.2, 20, 'n', false}};
        }
        // Turned a quarter: the x axis points up, the apex (0, 0.6) points left.
        row("gripper turned with its pose", [] { Gripper(pt(0, 0, 90), 3, 0).draw(); },
            Probes{{0, 0.7, 2, 'b', true}, {0.7, 0, 4, 'b', false}, {-0.4, 0.05, 0, 'y', true},
                   {0.05, 0.45, 0, 'w', true}}, -1.5, 3.0);
        // The label sits around (0, -0.15), well inside the white pentagon, only when positive.
        row("gripper without a number", [] { Gripper(pt(0, 0, 0), 0, 0).draw(); },
            Probes{{0.025, -0.15, 35, 'd', false}}, -0.5, 1.0);
        row("gripper numbered 7", [] { Gripper(pt(0, 0, 0), 0, 7).draw(); },
            Probes{{0.025, -0.15, 35, 'd', true}}, -0.5, 1.0);
        // Dimension line half a unit above the link, extension lines at both ends, the value above
        // it from the middle of the line on.
        QTest::newRow("full linear dimension")
            << -5.0 << 10.0
            << Draw([] { LinearDimension(pt(-2, 0, 0), pt(2, 0, 0), 4, 0, 1, 'm').draw(); })
            << Probes{{0, 0.5, 1, 'r', true}, {-2, 0.8, 1, 'r', true}, {2, 0.2, 1, 'r', true},
                      {0.5, 1.4, 12, 'd', true}, {0, -2, 20, 'n', false}};
        // Along a vertical link the normal points to -x: the label lands left of the link.
        row("plain linear dimension", [] { LinearDimension(pt(0, 0, 0), 4.0, 90.0).draw(); },
            Probes{{-0.7, 2.15, 18, 'd', true}, {2, 2, 30, 'n', false}});
        // A sweep ending at 90 degrees has its value half-way along, just outside the arc.
        row("angular dimension", [] { AngularDimension(pt(0, 0, 0), 2, 0, 90).draw(); },
            Probes{{2 * std::cos(pi / 3), 2 * std::sin(pi / 3), 1, 'r', true},
                   {-2, 0, 10, 'r', false}, {0, -2, 10, 'r', false},
                   {2.3 * std::cos(pi / 4) + 0.2, 2.3 * std::sin(pi / 4) + 0.2, 14, 'd', true},
                   {2.3 * std::cos(pi / 8) + 0.2, 2.3 * std::sin(pi / 8), 8, 'd', false}});
        row(
            "position frame, white pentagon with blue axes",
            [] { pt(1, 1, 0).drawPositionFrame(1); },
            Probes{{0.8, 1.2, 0, 'w', true},
                   {1.3, 1.15, 2, 'd', true},
                   {1, 1.6, 2, 'd', true},
                   {1.7, 1, 2, 'b', true},
                   {1, 1.75, 2, 'b', true},
                   {-0.5, -0.5, 30, 'n', false}},
            -1.0, 4.0);
        // Regression: the label went through a fixed buffer, so long indices overflowed it.
        row("position frame numbered 1", [] { pt(1, 1, 0).drawPositionFrame(1); },
            Probes{{1.615, 0.865, 10, 'd', false}}, -1.0, 4.0);
        row("position frame numbered 1234567", [] { pt(1, 1, 0).drawPositionFrame(1234567); },
            Probes{{1.615, 0.865, 10, 'd', true}}, -1.0, 4.0);
        QTest::newRow("circle marker, a ring with a cross")
            << -1.0 << 4.0 << Draw([] {
                   glColor3d(0.0, 0.0, 0.0);
                   pt(1, 1, 0).drawCircleMarker();
               })
            << Probes{{1.5, 1, 1, 'd', true}, {1, 0.5, 1, 'd', true},
                      {1 + 0.5 * 0.7071, 1 + 0.5 * 0.7071, 1, 'd', true}, {1.25, 1, 1, 'd', true},
                      {1, 0.75, 1, 'd', true}, {1.25, 1.25, 0, 'w', true},
                      {2.5, 2.5, 20, 'n', false}};
    }
    void shapeAppearsWhereItMustOnly() {
        QFETCH(double, lo); QFETCH(double, side); QFETCH(Draw, draw); QFETCH(Probes, probes);
        auto &canvas = canvases[{lo, side}];
        if (!canvas)
            canvas =
                std::make_unique<testsupport::GLCanvas>(400, 400, lo, lo + side, lo, lo + side);
        QVERIFY(canvas->isValid());
        const QImage img = viewtest::renderOpaque(*canvas, draw);
        for (const Probe &p : probes) {
            const bool seen =
                testsupport::anyPixelNear(img, canvas->toPixel(p.x, p.y), p.radius,
                                          [&p](QColor c) { return colourIs(p.colour, c); });
            QVERIFY2(seen == p.present,
                     qPrintable(QString("%1 at (%2, %3)").arg(p.colour).arg(p.x).arg(p.y)));
        }
    }

private:
    // 400 x 400 pixel canvases of the world squares [lo, lo + side], made once per square.
    std::map<std::pair<double, double>, std::unique_ptr<testsupport::GLCanvas>> canvases;
};
MS_REGISTER_TEST(ShapeDrawingTest)
#include "ShapeDrawingTest.moc"
