// Cartesian view: the mapping between widget pixels and workspace coordinates, pan and zoom.
#include "MechGLWidget.h"
#include "ProcessValues.h"

#include <QSignalSpy>
#include <QtTest>
#include "TestSupport.h"
#include "ViewTestSupport.h"

using viewtest::drag;
using viewtest::expectedPixel;

class MechViewMappingTest : public QObject {
    Q_OBJECT
private slots:
    void worldToPixelFollowsTheViewGeometry_data();
    void worldToPixelFollowsTheViewGeometry();
    void pixelAndWorldRoundTrip_data();
    void pixelAndWorldRoundTrip();
    void clickAtAWorldPointsPixelReportsThatPoint();
    void panningByPixelsMovesByFiftiethsOfAUnit_data();
    void panningByPixelsMovesByFiftiethsOfAUnit();
    void rightDragPansInEntryModes();
    void wheelNotchZoomsByOnePointTwo();
    void fineWheelStepsNeverZoomTheWrongWay();
    void zoomModeClicksScaleByOneAndAHalfAndAHalf();
    void arrowKeysInZoomModeStepLikeTheWheelAndStayBounded();
    void rightDoubleClickCentresTheClickedPoint();
    void setScaleAcceptsOnlyTwoToNineHundredNinetyNine();
    void rotationsAreNormalisedIntoOneTurn();
    void resetViewRestoresScaleAndPan();
};

namespace {
struct ViewState {
    int w, h, scalePercent, panPxX, panPxY;
};

// Puts a view into a size, a scale (setScale) and a pan (a drag in pan mode).
void applyState(MechGLWidget &view, const ViewState &s) {
    view.resize(s.w, s.h);
    view.setScale(s.scalePercent);
    if (s.panPxX != 0 || s.panPxY != 0) {
        view.setModePan();
        const QPoint start(s.w / 2, s.h / 2);
        drag(&view, start, start + QPoint(s.panPxX, s.panPxY));
    }
}
} // namespace

void MechViewMappingTest::worldToPixelFollowsTheViewGeometry_data() {
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("scalePercent");
    QTest::addColumn<int>("panPxX");
    QTest::addColumn<int>("panPxY");
    QTest::newRow("default scale, wide") << 800 << 400 << 45 << 0 << 0;
    QTest::newRow("zoomed in, square") << 600 << 600 << 120 << 0 << 0;
    QTest::newRow("panned, tall") << 400 << 800 << 45 << 100 << -50;
    QTest::newRow("zoomed out, panned, very wide") << 1000 << 300 << 20 << -150 << 75;
}

void MechViewMappingTest::worldToPixelFollowsTheViewGeometry() {
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, scalePercent);
    QFETCH(int, panPxX);
    QFETCH(int, panPxY);
    MechGLWidget view;
    applyState(view, {w, h, scalePercent, panPxX, panPxY});
    // 50 pixels of pan drag are one unit; screen y grows downwards, world y upwards.
    const double panX = panPxX / 50.0;
    const double panY = -panPxY / 50.0;
    const double s = scalePercent / 100.0;
    QCOMPARE(view.currentPanX(), panX);
    QCOMPARE(view.currentPanY(), panY);
    for (double x : {-7.0, 0.0, 2.5, 9.0})
        for (double y : {-4.0, 0.0, 3.25}) {
            const QPointF got = view.worldToPixel(x, y);
            const QPointF want = expectedPixel(w, h, s, panX, panY, x, y);
            QVERIFY(std::fabs(got.x() - want.x()) < 1e-9);
            QVERIFY(std::fabs(got.y() - want.y()) < 1e-9);
        }
}

void MechViewMappingTest::pixelAndWorldRoundTrip_data() { worldToPixelFollowsTheViewGeometry_data(); }

void MechViewMappingTest::pixelAndWorldRoundTrip() {
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, scalePercent);
    QFETCH(int, panPxX);
    QFETCH(int, panPxY);
    MechGLWidget view;
    applyState(view, {w, h, scalePercent, panPxX, panPxY});
    for (int px = 0; px <= w; px += w / 7)
        for (int py = 0; py <= h; py += h / 5) {
            const QPointF world = view.pixelToWorld(QPointF(px, py));
            const QPointF back = view.worldToPixel(world.x(), world.y());
            QVERIFY(std::fabs(back.x() - px) < 1e-9);
            QVERIFY(std::fabs(back.y() - py) < 1e-9);
        }
}

// An 800 x 400 view at scale 0.45 puts 36 pixels on a unit: (3, -2) is at pixel (508, 272).
void MechViewMappingTest::clickAtAWorldPointsPixelReportsThatPoint() {
    MechGLWidget view;
    view.resize(800, 400);
    view.plotsettings();  // click input: one click enters a position at once
    QSignalSpy entered(&view, &MechGLWidget::positioninput);
    QSignalSpy located(&view, &MechGLWidget::emitmouselocation);
    viewtest::hover(&view, QPointF(508, 272));
    QCOMPARE(located.count(), 1);
    QCOMPARE(located.at(0).at(0).toDouble(), 3.0);
    QCOMPARE(located.at(0).at(1).toDouble(), -2.0);
    QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(508, 272));
    QCOMPARE(entered.count(), 1);
    QCOMPARE(entered.at(0).at(0).toDouble(), 3.0);
    QCOMPARE(entered.at(0).at(1).toDouble(), -2.0);
    QCOMPARE(entered.at(0).at(2).toDouble(), 0.0);
    QCOMPARE(entered.at(0).at(3).toInt(), 1);
}

void MechViewMappingTest::panningByPixelsMovesByFiftiethsOfAUnit_data() {
    QTest::addColumn<int>("scalePercent");
    QTest::newRow("default scale") << 45;
    QTest::newRow("zoomed in") << 300;
    QTest::newRow("zoomed out") << 10;
}

// A 100-pixel drag to the right adds 2 to the pan whatever the scale.
void MechViewMappingTest::panningByPixelsMovesByFiftiethsOfAUnit() {
    QFETCH(int, scalePercent);
    MechGLWidget view;
    view.resize(600, 400);
    view.setScale(scalePercent);
    view.setModePan();
    drag(&view, QPoint(200, 200), QPoint(300, 200));
    QCOMPARE(view.currentPanX(), 2.0);
    QCOMPARE(view.currentPanY(), 0.0);
    drag(&view, QPoint(300, 200), QPoint(300, 150));
    QCOMPARE(view.currentPanY(), 1.0);
}

void MechViewMappingTest::rightDragPansInEntryModes() {
    MechGLWidget view;
    view.resize(600, 400);
    QSignalSpy entered(&view, &MechGLWidget::positioninput);
    drag(&view, QPoint(100, 100), QPoint(150, 100), Qt::RightButton);
    viewtest::hover(&view, QPoint(150, 100));
    QCOMPARE(view.currentPanX(), 1.0);
    QCOMPARE(entered.count(), 0);
}

void MechViewMappingTest::wheelNotchZoomsByOnePointTwo() {
    MechGLWidget view;
    view.resize(600, 400);
    QSignalSpy spy(&view, &MechGLWidget::scaleChanged);
    const QPointF c(300, 200);
    QWheelEvent in(c, view.mapToGlobal(c), QPoint(), QPoint(0, 120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &in);
    QVERIFY(std::fabs(view.currentScale() - 0.45 * 1.2) < 1e-12);
    QWheelEvent out(c, view.mapToGlobal(c), QPoint(), QPoint(0, -120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &out);
    QApplication::sendEvent(&view, &out);
    // A notch of -120 multiplies by 100/120.
    QVERIFY(std::fabs(view.currentScale() - 0.45 / 1.2) < 1e-12);
    QCOMPARE(spy.count(), 3);
    QCOMPARE(spy.last().at(0).toDouble(), view.currentScale());
}

// Regression: a touch-pad step of +15 multiplied the scale by 0.15, zooming out on "zoom in".
void MechViewMappingTest::fineWheelStepsNeverZoomTheWrongWay() {
    MechGLWidget view;
    view.resize(600, 400);
    const QPointF c(300, 200);
    for (int k = 0; k < 8; ++k) {
        QWheelEvent e(c, view.mapToGlobal(c), QPoint(), QPoint(0, 15), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view, &e);
    }
    // Eight eighths of a notch are one notch.
    QVERIFY(std::fabs(view.currentScale() - 0.45 * 1.2) < 1e-9);
}

void MechViewMappingTest::zoomModeClicksScaleByOneAndAHalfAndAHalf() {
    MechGLWidget view;
    view.resize(600, 400);
    view.setModeZoom();
    QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QVERIFY(std::fabs(view.currentScale() - 0.675) < 1e-12);
    QTest::mouseClick(&view, Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
    QVERIFY(std::fabs(view.currentScale() - 0.3375) < 1e-12);
}

// Regression: the key zoom multiplied by -100 (a mirrored scene) or divided by 100.
void MechViewMappingTest::arrowKeysInZoomModeStepLikeTheWheelAndStayBounded() {
    MechGLWidget view;
    view.resize(600, 400);
    view.setModeZoom();
    QTest::keyClick(&view, Qt::Key_Up);
    QVERIFY(std::fabs(view.currentScale() - 0.45 * 1.2) < 1e-12);
    QTest::keyClick(&view, Qt::Key_Down);
    QTest::keyClick(&view, Qt::Key_Left);
    QVERIFY(std::fabs(view.currentScale() - 0.45 / 1.2) < 1e-12);
    for (int k = 0; k < 200; ++k)
        QTest::keyClick(&view, Qt::Key_Left);
    QVERIFY(view.currentScale() > 0.0);
    QVERIFY(view.currentScale() >= MechGLWidget::minScale);
    for (int k = 0; k < 400; ++k)
        QTest::keyClick(&view, Qt::Key_Right);
    QVERIFY(view.currentScale() <= MechGLWidget::maxScale);
    // Outside zoom mode the keys leave the scale alone.
    view.setModeInput_Position();
    const double before = view.currentScale();
    QTest::keyClick(&view, Qt::Key_Up);
    QCOMPARE(view.currentScale(), before);
}

void MechViewMappingTest::rightDoubleClickCentresTheClickedPoint() {
    MechGLWidget view;
    view.resize(800, 400);
    const QPoint clicked(508, 272);  // world (3, -2) at the default scale
    QTest::mouseDClick(&view, Qt::RightButton, Qt::NoModifier, clicked);
    QCOMPARE(view.currentScale(), 0.8);
    const QPointF centre = view.worldToPixel(3.0, -2.0);
    QVERIFY(std::fabs(centre.x() - 400.0) < 1e-9);
    QVERIFY(std::fabs(centre.y() - 200.0) < 1e-9);
}

void MechViewMappingTest::setScaleAcceptsOnlyTwoToNineHundredNinetyNine() {
    MechGLWidget view;
    QSignalSpy spy(&view, &MechGLWidget::scaleChanged);
    view.setScale(1);
    view.setScale(1000);
    QCOMPARE(view.currentScale(), 0.45);
    QCOMPARE(spy.count(), 0);
    view.setScale(2);
    QCOMPARE(view.currentScale(), 0.02);
    view.setScale(999);
    QCOMPARE(view.currentScale(), 9.99);
    view.setScale(45);
    QCOMPARE(view.currentScale(), 0.45);
    QCOMPARE(spy.count(), 3);
}

void MechViewMappingTest::rotationsAreNormalisedIntoOneTurn() {
    MechGLWidget view;
    QSignalSpy spy(&view, &MechGLWidget::xRotationChanged);
    view.setXRotation(-90);
    QCOMPARE(view.xRotation(), 5670.0);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 5670);
    view.setXRotation(5670 + 5760);  // the same angle: no signal
    QCOMPARE(spy.count(), 1);
    QSignalSpy ySpy(&view, &MechGLWidget::yRotationChanged);
    view.setYRotation(6000);
    QCOMPARE(view.yRotation(), 240.0);
    QCOMPARE(ySpy.count(), 1);
}

void MechViewMappingTest::resetViewRestoresScaleAndPan() {
    MechGLWidget view;
    view.resize(600, 400);
    applyState(view, {600, 400, 300, 120, -40});
    view.setXRotation(100);
    QSignalSpy spy(&view, &MechGLWidget::xRotationChanged);
    view.resetView();
    QCOMPARE(view.currentScale(), 0.45);
    QCOMPARE(view.currentPanX(), 0.0);
    QCOMPARE(view.currentPanY(), 0.0);
    QCOMPARE(view.xRotation(), 0.0);
    QCOMPARE(spy.count(), 1);
}

MS_REGISTER_TEST(MechViewMappingTest)
#include "MechViewMappingTest.moc"
