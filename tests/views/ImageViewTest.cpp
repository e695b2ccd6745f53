// Image-space view: rotation and zoom controls, where image points, constraint surfaces and the
// moving frame appear on screen, and the kept scene that stays true to a freshly drawn one.
#include "Branch.h"
#include "ImageGLWidget.h"
#include "Motion.h"

#include <QSignalSpy>
#include <functional>
#include <QtTest>
#include "TestSupport.h"
#include "ViewTestSupport.h"

using testsupport::anyPixelNear;
using viewtest::pi;

using viewtest::notWhite;

namespace {

// The image point of a pose, written out: with s, c = sin, cos of theta/2, Z = (x c + y s, y c - x
// s, 2 s, 2 c) / 2; the view shows (Z1, Z2, Z3) / Z4.
void imageOf(double x, double y, double thetaDeg, double &X, double &Y, double &Z) {
    const double h = thetaDeg * pi / 360.0;
    const double s = std::sin(h), c = std::cos(h);
    X = 0.5 * (x * c + y * s) / c;
    Y = 0.5 * (y * c - x * s) / c;
    Z = s / c;
}

// Orthographic [-10, 10]^2 on the centred square of the shorter side, after turning by xDeg about x
// and scaling: y' = y cos - z sin.
QPoint pixelOf(int w, int h, double scale, double xDeg, double X, double Y, double Z) {
    const double side = std::min(w, h);
    const double a = xDeg * pi / 180.0;
    const double yr = Y * std::cos(a) - Z * std::sin(a);
    return QPoint(static_cast<int>(std::lround(w / 2.0 + scale * X * side / 20.0)),
                  static_cast<int>(std::lround(h / 2.0 - scale * yr * side / 20.0)));
}

// Two slider dyads (PR-PR) make a mechanism without constraint surfaces, so the moving-frame sphere
// is the only thing drawn off the axes.
void buildSliderPair(Branch &branch) {
    branch.settodraw(0);
    branch.createUserDyad(1.0, 1.0, 0.0, 0.0, 0.0);
    branch.settodraw(3);
    branch.createUserDyad(0.0, 0.0, 0.0, 1.0, 0.0);
    branch.createUserDyad(3.0, 0.0, 2.0, 1.0, 0.0);
}
} // namespace

class ImageViewTest : public QObject {
    Q_OBJECT
private slots:
    // Rotations stay within one turn of 5760 sixteenths and are signalled only when they change; a
    // reset brings back the start view without signalling.
    void rotationsAreNormalisedAndResetQuietly() {
        ImageGLWidget view;
        QSignalSpy x(&view, &ImageGLWidget::xRotationChanged);
        view.setXRotation(-16);
        QCOMPARE(view.xRotation(), 5744);
        view.setXRotation(5744);
        QCOMPARE(x.count(), 1);
        QCOMPARE(x.at(0).at(0).toInt(), 5744);
        view.setZRotation(5761);
        QCOMPARE(view.zRotation(), 1);
        view.setYRotation(200);
        view.setScale(300);
        view.resetwidget();
        QCOMPARE(view.xRotation(), 0);
        QCOMPARE(view.yRotation(), 0);
        QCOMPARE(view.currentScale(), 1.0);
        QCOMPARE(x.count(), 1);
    }
    // Typed scales run from 2 to 999 percent; a wheel notch zooms in by 1.2 and out by 3.
    void scaleFollowsTypedValuesAndTheWheel() {
        ImageGLWidget view;
        view.resize(300, 300);
        QSignalSpy spy(&view, &ImageGLWidget::scaleChanged);
        view.setScale(1000);
        view.setScale(1);
        QCOMPARE(view.currentScale(), 1.0);
        QCOMPARE(spy.count(), 0);
        view.setScale(250);
        QCOMPARE(view.currentScale(), 2.5);
        view.setScale(100);
        viewtest::sendWheel(&view, 120);
        QVERIFY(std::fabs(view.currentScale() - 1.2) < 1e-12);
        viewtest::sendWheel(&view, -120);
        QVERIFY(std::fabs(view.currentScale() - 0.4) < 1e-12);
        QCOMPARE(spy.count(), 4);
        // Regression: a fine step of +15 shrank the scene to 15 %.
        view.setScale(100);
        viewtest::sendWheel(&view, 15);
        QVERIFY(view.currentScale() > 1.0);
    }
    void dragTurnsHalfADegreePerPixel() {
        ImageGLWidget view;
        view.resize(300, 300);
        viewtest::drag(&view, QPoint(100, 100), QPoint(110, 105), Qt::LeftButton, 1);
        QCOMPARE(view.xRotation(), 40);   // 5 pixels down
        QCOMPARE(view.yRotation(), 80);   // 10 pixels right
        viewtest::drag(&view, QPoint(100, 100), QPoint(97, 100), Qt::RightButton, 1);
        QCOMPARE(view.zRotation(), 5760 - 24);
        QCOMPARE(view.yRotation(), 80);
    }
    void positionsAppearAtTheirImagePoints_data() {
        QTest::addColumn<int>("xRot16");
        QTest::newRow("looking down Z3") << 0;
        QTest::newRow("turned 90 degrees about x") << 1440;
        QTest::newRow("turned 30 degrees about x") << 480;
    }
    void positionsAppearAtTheirImagePoints() {
        MS_REQUIRE_GL();
        QFETCH(int, xRot16);
        Motion motion;
        viewtest::addPose(motion, -2.0, 3.0, -40.0);
        ImageGLWidget view;
        view.resize(400, 400);
        view.setMotion(&motion);
        view.setScale(300);
        view.setXRotation(xRot16);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QImage img = view.grabFramebuffer();
        double X, Y, Z;
        imageOf(-2.0, 3.0, -40.0, X, Y, Z);
        const double xDeg = xRot16 / 16.0;
        QVERIFY(anyPixelNear(img, pixelOf(400, 400, 3.0, xDeg, X, Y, Z), 2, notWhite));
        // The mirror image across the screen centre holds nothing.
        QVERIFY(!anyPixelNear(img, pixelOf(400, 400, 3.0, xDeg, -X, -Y, -Z), 3, notWhite));
    }
    // Two dyads of the crank-rocker (0,0)-(0,1), (4,0)-B for the coupler pose (1.5, 2, 0).
    void chosenDyadsShowTheirSurfacesUntilTheBranchIsCleared() {
        MS_REQUIRE_GL();
        const double bx = viewtest::rockerPivot().x, by = viewtest::rockerPivot().y;
        Branch branch;
        viewtest::chooseCrankRockerDyads(branch);
        ImageGLWidget view;
        view.resize(400, 400);
        view.setAllDyad(&branch);
        view.setScale(200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QImage with = view.grabFramebuffer();
        branch.clearBranch();
        const QImage without = view.grabFramebuffer();
        struct Slice {
            double cx, cy, r;
        };
        const Slice slices[2] = {{0.5 * (0.0 + 1.5), 0.5 * (0.0 + 1.0), 0.5},
                                 {0.5 * (4.0 - (bx - 1.5)), 0.5 * (0.0 - (by - 2.0)), 1.5}};
        for (const Slice &s : slices) {
            // Most of the square around the slice changes when the surfaces go (lit facets can wash
            // out to white, so single pixels prove little).
            const QPoint lo = pixelOf(400, 400, 2.0, 0.0, s.cx - s.r, s.cy + s.r, 0.0);
            const QPoint hi = pixelOf(400, 400, 2.0, 0.0, s.cx + s.r, s.cy - s.r, 0.0);
            int changed = 0, total = 0;
            for (int y = lo.y(); y <= hi.y(); ++y)
                for (int x = lo.x(); x <= hi.x(); ++x, ++total)
                    changed += with.pixel(x, y) != without.pixel(x, y) ? 1 : 0;
            QVERIFY2(changed > total / 2, qPrintable(QString("%1 of %2").arg(changed).arg(total)));
        }
        // Far from both surfaces nothing changes.
        const QPoint far = pixelOf(400, 400, 2.0, 0.0, -8.0, -8.0, 0.0);
        QCOMPARE(with.pixel(far), without.pixel(far));
    }
    // The axes and surfaces are kept from frame to frame while nothing they show changes. After
    // every change the kept picture must equal what a view drawing everything anew shows.
    void keptSceneMatchesAFreshViewAfterEveryChange() {
        MS_REQUIRE_GL();
        Branch branch;
        viewtest::chooseCrankRockerDyads(branch);
        QVERIFY(branch.hasCouplerPoint());
        ImageGLWidget view;
        auto prepare = [&branch](ImageGLWidget &v, int xRot, bool animated) {
            v.resize(300, 300);
            v.setAllDyad(&branch);
            v.setScale(200);
            v.setXRotation(xRot);
            if (animated != v.couplerAnimationShown())
                v.toggle_toshowCouplerAnimation();
        };
        prepare(view, 0, false);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const std::vector<std::pair<const char *, std::function<void()>>> changes = {
            {"first frame", [] {}},
            {"turned", [&view] { view.setXRotation(480); }},
            {"animated", [&] {
                 view.toggle_toshowCouplerAnimation();
                 for (int k = 0; k < 20; ++k)
                     branch.IncrementDyads();
             }},
            {"one dyad unticked", [&branch] {
                 branch.setcurrentdyadstate({true, false, false, false},
                                            {false, false, false, false},
                                            {false, false, false, false});
             }},
            {"branch cleared", [&branch] { branch.clearBranch(); }},
        };
        QImage previous;
        for (const auto &[name, change] : changes) {
            change();
            const QImage kept = view.grabFramebuffer();
            ImageGLWidget fresh;
            prepare(fresh, view.xRotation(), view.couplerAnimationShown());
            fresh.show();
            QVERIFY(QTest::qWaitForWindowExposed(&fresh));
            QVERIFY2(kept == fresh.grabFramebuffer(), name);
            QVERIFY2(kept != previous, name);  // each change shows
            previous = kept;
        }
    }
    void movingFrameSphereFollowsTheAnimatedMechanism() {
        MS_REQUIRE_GL();
        Branch branch;
        buildSliderPair(branch);
        QVERIFY(branch.hasCouplerPoint());
        ImageGLWidget view;
        view.resize(400, 400);
        view.setAllDyad(&branch);
        view.setScale(300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        double X, Y, Z;
        imageOf(1.0, 1.0, 0.0, X, Y, Z);
        const QPoint at = pixelOf(400, 400, 3.0, 0.0, X, Y, Z);
        QVERIFY(!anyPixelNear(view.grabFramebuffer(), at, 2, notWhite));  // off until toggled
        view.toggle_toshowCouplerAnimation();
        QVERIFY(anyPixelNear(view.grabFramebuffer(), at, 2, notWhite));
        for (int k = 0; k < 30; ++k)
            branch.IncrementDyads();
        const Point moved = branch.movingFramePoint();
        QVERIFY(moved.distance(1.0, 1.0) > 0.3);
        imageOf(moved.x(), moved.y(), moved.z(), X, Y, Z);
        const QImage img = view.grabFramebuffer();
        QVERIFY(anyPixelNear(img, pixelOf(400, 400, 3.0, 0.0, X, Y, Z), 2, notWhite));
        QVERIFY(!anyPixelNear(img, at, 2, notWhite));
    }
};
MS_REGISTER_TEST(ImageViewTest)
#include "ImageViewTest.moc"
