// Cartesian view: the mapping between widget pixels and workspace coordinates, pan and zoom.
#include "MechGLWidget.h"

#include <QSignalSpy>
#include <QtTest>
#include "TestSupport.h"
#include "ViewTestSupport.h"

using viewtest::drag;

class MechViewMappingTest : public QObject {
    Q_OBJECT
private slots:
    void worldToPixelFollowsTheViewGeometry_data() {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("scalePercent");
        QTest::addColumn<int>("panPxX"); QTest::addColumn<int>("panPxY");
        QTest::newRow("default scale, wide") << 800 << 400 << 45 << 0 << 0;
        QTest::newRow("zoomed in, square") << 600 << 600 << 120 << 0 << 0;
        QTest::newRow("panned, tall") << 400 << 800 << 45 << 100 << -50;
        QTest::newRow("zoomed out, panned, very wide") << 1000 << 300 << 20 << -150 << 75;
        QTest::newRow("zoomed far in, panned") << 600 << 400 << 300 << 100 << 50;
    }
    // The view is put into a size, a scale and a pan (a drag in pan mode); then world points land
    // where the view's geometry says, and pixels map back to the world and again to themselves.
    void worldToPixelFollowsTheViewGeometry() {
        QFETCH(int, w); QFETCH(int, h); QFETCH(int, scalePercent); QFETCH(int, panPxX);
        QFETCH(int, panPxY);
        MechGLWidget view;
        view.resize(w, h);
        view.setScale(scalePercent);
        if (panPxX != 0 || panPxY != 0) {
            view.setModePan();
            const QPoint start(w / 2, h / 2);
            drag(&view, start, start + QPoint(panPxX, panPxY));
        }
        // 50 pixels of pan drag are one unit whatever the scale; screen y grows downwards.
        const double panX = panPxX / 50.0, panY = -panPxY / 50.0;
        QCOMPARE(view.currentPanX(), panX);
        QCOMPARE(view.currentPanY(), panY);
        for (double x : {-7.0, 0.0, 2.5, 9.0})
            for (double y : {-4.0, 0.0, 3.25}) {
                const QPointF got = view.worldToPixel(x, y);
                const QPointF want =
                    viewtest::expectedPixel(w, h, scalePercent / 100.0, panX, panY, x, y);
                QVERIFY(std::fabs(got.x() - want.x()) < 1e-9 &&
                        std::fabs(got.y() - want.y()) < 1e-9);
            }
        for (int px = 0; px <= w; px += w / 7)
            for (int py = 0; py <= h; py += h / 5) {
                const QPointF world = view.pixelToWorld(QPointF(px, py));
                const QPointF back = view.worldToPixel(world.x(), world.y());
                QVERIFY(std::fabs(back.x() - px) < 1e-9 && std::fabs(back.y() - py) < 1e-9);
            }
    }
    // An 800 x 400 view at scale 0.45 puts 36 pixels on a unit: (3, -2) is at pixel (508, 272).
    void clickAtAWorldPointsPixelReportsThatPoint() {
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
    void rightDragPansInEntryModes() {
        MechGLWidget view;
        view.resize(600, 400);
        QSignalSpy entered(&view, &MechGLWidget::positioninput);
        drag(&view, QPoint(100, 100), QPoint(150, 100), Qt::RightButton);
        viewtest::hover(&view, QPoint(150, 100));
        QCOMPARE(view.currentPanX(), 1.0);
        QCOMPARE(entered.count(), 0);
    }
    void zoomGesturesScaleByTheirStep_data() {
        QTest::addColumn<QString>("gesture"); QTest::addColumn<bool>("zoomMode");
        QTest::addColumn<double>("factor");
        QTest::newRow("wheel notch in") << "wheel 120" << false << 1.2;
        QTest::newRow("wheel notch out") << "wheel -120" << false << 1.0 / 1.2;
        // Regression: a touch-pad step of +15 multiplied the scale by 0.15; eight are one notch.
        QTest::newRow("eight fine wheel steps") << "wheel 15 x8" << false << 1.2;
        QTest::newRow("left click in zoom mode") << "left click" << true << 1.5;
        QTest::newRow("right click in zoom mode") << "right click" << true << 0.5;
        // Regression: the key zoom multiplied by -100 (a mirrored scene) or divided by 100.
        QTest::newRow("up key in zoom mode") << "key up" << true << 1.2;
        QTest::newRow("left key in zoom mode") << "key left" << true << 1.0 / 1.2;
        QTest::newRow("up key outside zoom mode") << "key up" << false << 1.0;
    }
    void zoomGesturesScaleByTheirStep() {
        QFETCH(QString, gesture); QFETCH(bool, zoomMode); QFETCH(double, factor);
        MechGLWidget view;
        view.resize(600, 400);
        if (zoomMode)
            view.setModeZoom();
        QSignalSpy spy(&view, &MechGLWidget::scaleChanged);
        if (gesture.startsWith("wheel")) {
            const int times = gesture.endsWith("x8") ? 8 : 1;
            for (int k = 0; k < times; ++k)
                viewtest::sendWheel(&view, gesture.section(' ', 1, 1).toInt());
        } else if (gesture.endsWith("click")) {
            QTest::mouseClick(&view, gesture.startsWith("left") ? Qt::LeftButton : Qt::RightButton,
                              Qt::NoModifier, QPoint(10, 10));
        } else {
            QTest::keyClick(&view, gesture.endsWith("up") ? Qt::Key_Up : Qt::Key_Left);
        }
        QVERIFY2(std::fabs(view.currentScale() - 0.45 * factor) < 1e-9,
                 qPrintable(QString::number(view.currentScale())));
        if (factor != 1.0) {
            QVERIFY(spy.count() >= 1);
            QCOMPARE(spy.last().at(0).toDouble(), view.currentScale());
        }
    }
    // Typed scales run from 2 to 999 percent; others are refused without a signal.
    void scaleStaysWithinItsBounds() {
        MechGLWidget view;
        view.resize(600, 400);
        QSignalSpy spy(&view, &MechGLWidget::scaleChanged);
        view.setScale(1);
        view.setScale(1000);
        QCOMPARE(view.currentScale(), 0.45);
        QCOMPARE(spy.count(), 0);
        view.setScale(2);
        QCOMPARE(view.currentScale(), 0.02);
        view.setScale(999);
        QCOMPARE(view.currentScale(), 9.99);
        view.setModeZoom();
        for (int k = 0; k < 400; ++k)
            QTest::keyClick(&view, Qt::Key_Left);
        QVERIFY(view.currentScale() > 0.0 && view.currentScale() >= MechGLWidget::minScale);
        for (int k = 0; k < 400; ++k)
            QTest::keyClick(&view, Qt::Key_Right);
        QVERIFY(view.currentScale() <= MechGLWidget::maxScale);
    }
    void rightDoubleClickCentresTheClickedPoint() {
        MechGLWidget view;
        view.resize(800, 400);
        const QPoint clicked(508, 272);  // world (3, -2) at the default scale
        QTest::mouseDClick(&view, Qt::RightButton, Qt::NoModifier, clicked);
        QCOMPARE(view.currentScale(), 0.8);
        const QPointF centre = view.worldToPixel(3.0, -2.0);
        QVERIFY(std::fabs(centre.x() - 400.0) < 1e-9);
        QVERIFY(std::fabs(centre.y() - 200.0) < 1e-9);
    }
    // A rotation is kept within one turn of 5760 sixteenths and signalled only when it changes; a
    // reset brings back the start scale, pan and rotation.
    void rotationsAreNormalisedAndResetRestoresTheView() {
        MechGLWidget view;
        view.resize(600, 400);
        QSignalSpy spy(&view, &MechGLWidget::xRotationChanged);
        view.setXRotation(-90);
        QCOMPARE(view.xRotation(), 5670.0);
        view.setXRotation(5670 + 5760);  // the same angle: no signal
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 5670);
        view.setYRotation(6000);
        QCOMPARE(view.yRotation(), 240.0);
        view.setScale(300);
        view.setModePan();
        drag(&view, QPoint(300, 200), QPoint(420, 160));
        view.resetView();
        QCOMPARE(view.currentScale(), 0.45);
        QCOMPARE(view.currentPanX(), 0.0);
        QCOMPARE(view.currentPanY(), 0.0);
        QCOMPARE(view.xRotation(), 0.0);
        QCOMPARE(spy.count(), 2);
    }
};
MS_REGISTER_TEST(MechViewMappingTest)
#include "MechViewMappingTest.moc"
