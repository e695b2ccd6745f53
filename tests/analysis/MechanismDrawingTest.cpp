// The mechanism drawn offscreen: open-circuit curves in red, crossed ones in blue, the coupler body
// and the moving frame where they belong, nothing far away.
#include "FourBarFixtures.h"
#include "Mechanism.h"

#include <QtTest>
#include "TestSupport.h"
#include <cmath>
#include <memory>

using namespace fixtures;
using testsupport::anyPixelNear;
using testsupport::isBluish;
using testsupport::isReddish;
using testsupport::isWhite;

namespace {
// A curve sample at least `clearance` away from every sample of the other circuit and from the
// points to avoid.
bool clearSample(const Mechanism &m, bool open, double clearance, const QVector<P> &avoid,
                 P &out) {
    const PointList &piece = open ? m.openCurve(0) : m.crossedCurve(0);
    for (int i = 0; i < piece.size(); ++i) {
        const P p{piece.at(i)[0], piece.at(i)[1]};
        bool clear = true;
        for (int k = 0; k < 3 && clear; ++k) {
            const PointList &other = open ? m.crossedCurve(k) : m.openCurve(k);
            for (int j = 0; j < other.size() && clear; ++j)
                clear = dist(p, {other.at(j)[0], other.at(j)[1]}) > clearance;
        }
        for (const P &a : avoid)
            clear = clear && dist(p, a) > 1.0;
        if (clear) {
            out = p;
            return true;
        }
    }
    return false;
}
} // namespace

class MechanismDrawingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        MS_REQUIRE_GL();
        canvas = std::make_unique<testsupport::GLCanvas>(480, 480, -4.0, 8.0, -4.0, 8.0);
        QVERIFY(canvas->isValid());
    }
    void curvesAreRedOpenAndBlueCrossed() {
        Pair pair;
        QVERIFY(fourRevolute(pair, 4, 1, 3.5, 3, 60, true));
        Mechanism m;
        m.setCouplerPose(pair.couplerPose);
        m.setDyads(pair.input.get(), pair.output.get());
        const QImage img = canvas->render([&m]() { m.draw(); });
        const QVector<P> avoid{fixedOf(*pair.input), movingOf(*pair.input), fixedOf(*pair.output),
                               movingOf(*pair.output), {pair.couplerPose[0], pair.couplerPose[1]}};
        P red, blue;
        QVERIFY(clearSample(m, true, 0.3, avoid, red));
        QVERIFY(clearSample(m, false, 0.3, avoid, blue));
        QVERIFY(anyPixelNear(img, canvas->toPixel(red.x, red.y), 2, isReddish));
        QVERIFY(!anyPixelNear(img, canvas->toPixel(red.x, red.y), 2, isBluish));
        QVERIFY(anyPixelNear(img, canvas->toPixel(blue.x, blue.y), 2, isBluish));
        QVERIFY(!anyPixelNear(img, canvas->toPixel(blue.x, blue.y), 2, isReddish));
        // A pin at the moving pivots: a dark rim around each.
        const P m1 = movingOf(*pair.input);
        QVERIFY(anyPixelNear(img, canvas->toPixel(m1.x, m1.y), 6, testsupport::isDark));
        QVERIFY(isWhite(img.pixelColor(canvas->toPixel(7.5, -3.5))));
    }
    void emptyMechanismDrawsOnlyItsMovingFrame() {
        Mechanism m;
        const QImage blank = canvas->render([&m]() { m.draw(); });
        for (int y = 0; y < blank.height(); y += 8)
            for (int x = 0; x < blank.width(); x += 8)
                QVERIFY(isWhite(blank.pixelColor(x, y)));
        m.setCouplerPose(Point(2.0, 2.0, 0.0));
        const QImage frame = canvas->render([&m]() { m.draw(); });
        // The frame's x axis runs red to the right of the coupler point.
        QVERIFY(anyPixelNear(frame, canvas->toPixel(2.3, 2.0), 2, isReddish));
        QVERIFY(isWhite(frame.pixelColor(canvas->toPixel(-3.0, -3.0))));
    }

private:
    std::unique_ptr<testsupport::GLCanvas> canvas;   // world [-4, 8]^2 on 480 x 480 pixels
};
MS_REGISTER_TEST(MechanismDrawingTest)
#include "MechanismDrawingTest.moc"
