// The views follow the task: fitting to it, zooming about the cursor, a grid that suits the zoom,
// dimension toggles that show at once and image points drawn over the constraint surfaces.
#include "Branch.h"
#include "ImageGLWidget.h"
#include "LinearDimension.h"
#include "MechGLWidget.h"
#include "Motion.h"
#include "ProcessValues.h"
#include "RR.h"

#include <QSignalSpy>
#include <QWheelEvent>
#include <QtTest>
#include <utility>
#include "TestSupport.h"
#include "ViewTestSupport.h"

using testsupport::isDark;

namespace {
bool isGridGrey(QColor c) { return c.red() > 150 && c.red() < 235 && c.red() == c.blue(); }
bool isOrange(QColor c) { return c.red() > 200 && c.green() > 70 && c.green() < 160 && c.blue() < 60; }
bool isGreen(QColor c) { return c.green() > 110 && c.red() < 60 && c.blue() < 80; }
// Offsets (in half spreads) and angles of the five positions about the task's centre.
const double offsets[5][3] = {{-1, -0.4, 0}, {-0.5, 0.3, 20}, {0, 0.5, 40}, {0.5, 0.2, 60}, {1, -0.5, 80}};
} // namespace

class ViewFollowsTaskTest : public QObject {
    Q_OBJECT
private slots:
    void fitFramesAFarTaskInMillimetres_data();
    void fitFramesAFarTaskInMillimetres();
    void zoomKeepsThePointUnderTheCursor_data();
    void zoomKeepsThePointUnderTheCursor();
    void gridSpacingFollowsTheVisibleSpan_data();
    void gridSpacingFollowsTheVisibleSpan();
    void dimensionToggleRepaintsAtOnce();
    void dimensionValueStaysOffTheLink_data();
    void dimensionValueStaysOffTheLink();
    void imagePointsAndMovingFrameShowOverTheSurfaces();
};

void ViewFollowsTaskTest::fitFramesAFarTaskInMillimetres_data() {
    for (const char *c : {"w", "h"})
        QTest::addColumn<int>(c);
    for (const char *c : {"cx", "cy", "spread"})
        QTest::addColumn<double>(c);
    QTest::addColumn<bool>("byKey");
    QTest::newRow("wide view, 2 m out") << 800 << 400 << 2400.0 << 1300.0 << 600.0 << false;
    QTest::newRow("tall view, negative quadrant") << 300 << 700 << -5200.0 << -800.0 << 900.0 << false;
    QTest::newRow("square view, key F") << 500 << 500 << 1500.0 << -3000.0 << 150.0 << true;
}

// Guards against: a task in millimetres far from the origin stayed off-screen (the view only
// ever showed the 20 x 10 units about the origin) and the grid never reached it.
void ViewFollowsTaskTest::fitFramesAFarTaskInMillimetres() {
    MS_REQUIRE_GL();
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(double, cx);
    QFETCH(double, cy);
    QFETCH(double, spread);
    QFETCH(bool, byKey);
    Motion motion;
    for (const auto &o : offsets)
        viewtest::addPose(motion, cx + o[0] * spread / 2, cy + o[1] * spread / 2, o[2]);
    MechGLWidget view;
    view.resize(w, h), view.setMotion(&motion), view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QVERIFY(view.contentOutsideView());
    byKey ? QTest::keyClick(&view, Qt::Key_F) : view.fitToTask();
    QVERIFY(!view.contentOutsideView());
    for (const auto &o : offsets) {
        const QPointF p = view.worldToPixel(cx + o[0] * spread / 2, cy + o[1] * spread / 2);
        QVERIFY2(p.x() > 0.05 * w && p.x() < 0.95 * w && p.y() > 0.05 * h && p.y() < 0.95 * h,
                 qPrintable(QString("%1,%2").arg(p.x()).arg(p.y())));
    }
    // Framed, not lost in the middle: every row's task is widest across, and fills the width.
    QVERIFY(view.worldToPixel(cx + spread / 2, cy).x() - view.worldToPixel(cx - spread / 2, cy).x() >
            0.6 * w);
    // A grid of 8 to 20 cells across the shorter side, with its lines where they belong.
    const double step = view.gridSpacing();
    const double shorter = (std::min(w, h) * 10.0) / (view.currentScale() * std::max(w, h));
    QVERIFY(shorter / step >= 8.0 - 1e-9 && shorter / step <= 20.0 + 1e-9);
    const QImage img = view.grabFramebuffer();
    const int col = qRound(view.worldToPixel(std::ceil(cx / step) * step, cy).x() *
                           view.devicePixelRatioF());
    int grey = 0;
    for (int y = 0; y < img.height(); ++y)
        grey += testsupport::anyPixelNear(img, QPoint(col, y), 1, isGridGrey) ? 1 : 0;
    QVERIFY2(grey > img.height() / 2, qPrintable(QString::number(grey)));
}

void ViewFollowsTaskTest::zoomKeepsThePointUnderTheCursor_data() {
    QTest::addColumn<QPointF>("cursor");
    QTest::addColumn<int>("delta");
    QTest::addColumn<bool>("byKey");
    QTest::newRow("wheel in, top left") << QPointF(90, 60) << 120 << false;
    QTest::newRow("wheel out, bottom right") << QPointF(520, 350) << -240 << false;
    QTest::newRow("fine wheel step") << QPointF(400, 100) << 15 << false;
    QTest::newRow("up key after hovering") << QPointF(150, 320) << 0 << true;
}

// Guards against: every zoom scaled about the world origin, so what the user pointed at slid away.
void ViewFollowsTaskTest::zoomKeepsThePointUnderTheCursor() {
    QFETCH(QPointF, cursor);
    QFETCH(int, delta);
    QFETCH(bool, byKey);
    MechGLWidget view;
    view.resize(600, 400);
    view.setModeZoom();
    const QPointF world = view.pixelToWorld(cursor);
    const double before = view.currentScale();
    if (byKey) {
        viewtest::hover(&view, cursor);
        QTest::keyClick(&view, Qt::Key_Up);
    } else {
        QWheelEvent e(cursor, view.mapToGlobal(cursor), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view, &e);
    }
    QVERIFY(std::fabs(view.currentScale() - before) > 1e-6);  // it did zoom
    const QPointF back = view.worldToPixel(world.x(), world.y());
    QVERIFY2(std::hypot(back.x() - cursor.x(), back.y() - cursor.y()) < 1e-6,
             qPrintable(QString("%1,%2").arg(back.x()).arg(back.y())));
}

void ViewFollowsTaskTest::gridSpacingFollowsTheVisibleSpan_data() {
    QTest::addColumn<double>("span");
    QTest::addColumn<double>("spacing");
    // The smallest 1, 2, 5 x 10^k at least span / 20, worked out by hand.
    QTest::newRow("default view, 11.1 units") << 11.1 << 1.0;
    QTest::newRow("exactly 20 cells of 1") << 20.0 << 1.0;
    QTest::newRow("8 units") << 8.0 << 0.5;
    QTest::newRow("45 units") << 45.0 << 5.0;
    QTest::newRow("a metre in millimetres") << 1000.0 << 50.0;
    QTest::newRow("3.5 m in millimetres") << 3500.0 << 200.0;
    QTest::newRow("centimetre task in metres") << 0.37 << 0.02;
}

// Guards against: the grid was one unit whatever the zoom, a solid grey sheet for millimetres.
void ViewFollowsTaskTest::gridSpacingFollowsTheVisibleSpan() {
    QFETCH(double, span);
    QFETCH(double, spacing);
    const double got = MechGLWidget::gridSpacingFor(span);
    QVERIFY2(std::fabs(got / spacing - 1.0) < 1e-9, qPrintable(QString::number(got)));
    const char saved = std::exchange(unitLetter, 'i');
    MechGLWidget view;
    view.resize(600, 400);  // shorter side 11.1 units at the default scale
    QCOMPARE(view.gridLabelText(), QString("grid 1 in"));
    unitLetter = saved;
}

// Guards against: "Dimension Toggle" flipped the flag but nothing repainted, so the labels only
// appeared when something else happened to redraw the view.
void ViewFollowsTaskTest::dimensionToggleRepaintsAtOnce() {
    MS_REQUIRE_GL();
    showDimensions = false;
    Branch branch;
    viewtest::buildUserFourBar(branch);
    MechGLWidget view;
    view.resize(600, 400), view.setAllDyad(&branch), view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QImage without = view.grabFramebuffer();
    QTest::qWait(100);
    QSignalSpy swapped(&view, &QOpenGLWidget::frameSwapped);
    view.setShowDimensions(true);
    QVERIFY(swapped.wait(3000));
    QVERIFY(view.grabFramebuffer() != without);
    QTest::qWait(100);
    swapped.clear();
    view.setShowDimensions(false);
    QVERIFY(swapped.wait(3000));
    QVERIFY(view.grabFramebuffer() == without);
}

void ViewFollowsTaskTest::dimensionValueStaysOffTheLink_data() {
    QTest::addColumn<double>("angleDeg");
    for (double a : {0.0, 120.0, 180.0, -150.0, -90.0})
        QTest::newRow(qPrintable(QString("pointing at %1 degrees").arg(a))) << a;
}

// Guards against: on a link pointing left the upright-turned value was written across the link,
// and at the coupler's small offset the value ran through its own dimension line.
void ViewFollowsTaskTest::dimensionValueStaysOffTheLink() {
    MS_REQUIRE_GL();
    QFETCH(double, angleDeg);
    const double a = angleDeg * viewtest::pi / 180.0;
    const double nx = -std::sin(a), ny = std::cos(a);  // left normal of the link
    LinearDimension dim(Point(-2.0 * ny, 2.0 * nx, 0.0), Point(2.0 * ny, -2.0 * nx, 0.0), 4.0,
                        angleDeg, 1.0, 'm');
    dim.setOffset(0.3);  // what the coupler's side labels use
    testsupport::GLCanvas canvas(300, 300, -4.0, 4.0, -4.0, 4.0);
    QVERIFY(canvas.isValid());
    const QImage img = canvas.render([&dim]() { dim.draw(); });
    int text = 0, tooClose = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if (!isDark(img.pixelColor(x, y)) || !++text)
                continue;
            // Signed distance from the link, towards the side its dimension line is on.
            const double wx = -4.0 + 8.0 * (x + 0.5) / img.width();
            tooClose += wx * nx + (4.0 - 8.0 * (y + 0.5) / img.height()) * ny < 0.55 ? 1 : 0;
        }
    QVERIFY(text > 30);
    QVERIFY2(tooClose == 0, qPrintable(QString("%1 of %2").arg(tooClose).arg(text)));
}

// Guards against: the image points were small grey spheres and the animated frame a sphere,
// both drawn under the translucent surfaces and lost in them.
void ViewFollowsTaskTest::imagePointsAndMovingFrameShowOverTheSurfaces() {
    MS_REQUIRE_GL();
    const double bx = (96.0 + std::sqrt(96.0 * 96.0 - 4.0 * 17.0 * 128.0)) / 34.0;
    const double by = 4.0 * bx - 11.0;
    const Point pose(1.5, 2.0, 0.0);
    Motion motion;
    viewtest::addPose(motion, 1.5, 2.0, 0.0);
    Branch branch;
    branch.setupPointList({pose});
    branch.createDyad(std::make_shared<RR>(pose, 0.0, 0.0, 1.0, -1.5, -1.0, 0));
    branch.createDyad(std::make_shared<RR>(pose, 4.0, 0.0, 3.0, bx - 1.5, by - 2.0, 0));
    branch.setcurrentdyadstate({true, true, false, false}, {false, false, false, false},
                               {false, false, false, false});
    ImageGLWidget view;
    view.resize(400, 400), view.setMotion(&motion), view.setAllDyad(&branch);
    view.setScale(200), view.setXRotation(16 * 30), view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    // Image point of pose p (theta degrees): with h = theta/2, (x c + y s, y c - x s, 2 s) / 2c,
    // turned 30 degrees about x, on the 400-pixel square showing 20/scale units.
    const double ratio = view.devicePixelRatioF();
    const auto pixelOf = [ratio](const Point &p) {
        const double h = p.z() * viewtest::pi / 360.0, c = std::cos(h), s = std::sin(h);
        const double X = (p.x() * c + p.y() * s) / (2 * c), Y = (p.y() * c - p.x() * s) / (2 * c);
        const double Yt = Y * std::cos(viewtest::pi / 6) - (s / c) * std::sin(viewtest::pi / 6);
        return QPoint(qRound((200 + 40 * X) * ratio), qRound((200 - 40 * Yt) * ratio));
    };
    const QImage withSurfaces = view.grabFramebuffer();
    const QPoint at = pixelOf(pose);
    QVERIFY(isOrange(withSurfaces.pixelColor(at)));
    view.toggle_toshowCouplerAnimation();
    for (int k = 0; k < 20; ++k)
        branch.IncrementDyads();
    QVERIFY(branch.movingFramePoint().distance(1.5, 2.0) > 0.3);
    QVERIFY(isGreen(view.grabFramebuffer().pixelColor(pixelOf(branch.movingFramePoint()))));
    // The surfaces do pass there: without them most of the ring about the marker changes.
    branch.clearBranch();
    const QImage bare = view.grabFramebuffer();
    QVERIFY(isOrange(bare.pixelColor(at)));
    int changed = 0;
    for (const QPoint d : {QPoint(14, 0), QPoint(-14, 0), QPoint(0, 14), QPoint(0, -14)})
        changed += withSurfaces.pixel(at + d * ratio) != bare.pixel(at + d * ratio) ? 1 : 0;
    QVERIFY2(changed >= 3, qPrintable(QString::number(changed)));
}

MS_REGISTER_TEST(ViewFollowsTaskTest)
#include "ViewFollowsTaskTest.moc"
