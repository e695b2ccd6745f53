// Cartesian view pictures: a known task rendered offscreen, checked at the pixels where its
// position frames, pivots and coupler curves must appear; background images good and bad.
#include "ProcessValues.h"

#include <QMessageBox>
#include <QOpenGLContext>
#include <QtTest>
#include "TestSupport.h"
#include "ViewTestSupport.h"

using testsupport::anyPixelNear;
using testsupport::isBluish;
using testsupport::isDark;
using testsupport::isReddish;
using testsupport::isWhite;

using viewtest::notWhite;

namespace {
bool isGreenish(QColor c) { return c.green() > 150 && c.red() < 120 && c.blue() < 120; }
bool isCurveColour(QColor c) { return isReddish(c) || isBluish(c); }
// The thin workspace outline, (0.8, 0.2, 0.2) smoothed onto white, comes out pink.
bool isRedLine(QColor c) { return c.red() > c.green() + 40 && c.red() > c.blue() + 40; }
} // namespace

class MechViewPixelTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { MS_REQUIRE_GL(); }
    void init() {
        backgroundImagePath.clear();
        motion = std::make_unique<Motion>();
        branch = std::make_unique<Branch>();
        view = std::make_unique<MechGLWidget>();
        view->resize(800, 400);
        view->setMotion(motion.get());
        view->setAllDyad(branch.get());
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        qInfo("device pixel ratio %g", view->devicePixelRatioF());
    }
    void cleanup() {
        view.reset();
        branch.reset();
        motion.reset();
        backgroundImagePath.clear();
        showDimensions = false;
        workspaceWidth = 20.0;
        workspaceHeight = 10.0;
    }
    void positionFramesAppearAtTheirPixelsTurnedByTheirAngle() {
        viewtest::addPose(*motion, -4.5, 2.5, 0.0);
        viewtest::addPose(*motion, 5.5, -1.5, 90.0);
        const QImage img = render();
        QCOMPARE(img.width(), static_cast<int>(std::lround(800 * view->devicePixelRatioF())));
        // Frame at angle 0: the x axis runs to the right, the y axis up, the pentagon's outline
        // passes through its corner (0.3, -0.3).
        QVERIFY(near(img, -4.5 + 0.7, 2.5, 2, isBluish));
        QVERIFY(near(img, -4.5, 2.5 + 0.75, 2, isBluish));
        QVERIFY(!near(img, -4.5 - 0.7, 2.5, 3, notWhite));
        QVERIFY(near(img, -4.5 + 0.3, 2.5 - 0.3, 2, isDark));
        // Frame at 90 degrees: its x axis points up and its y axis to the left.
        QVERIFY(near(img, 5.5, -1.5 + 0.7, 2, isBluish));
        QVERIFY(near(img, 5.5 - 0.75, -1.5, 2, isBluish));
        QVERIFY(!near(img, 5.5, -1.5 - 0.7, 3, notWhite));
        // Nothing where there is no position (between grid lines).
        QVERIFY(!near(img, -7.5, -3.5, 4, notWhite));
    }
    void pivotsAndCouplerCurvesAppearWhereTheMechanismIs_data() {
        QTest::addColumn<bool>("chosen");
        QTest::newRow("drawn by mouse") << false;
        QTest::newRow("chosen from a synthesis") << true;
    }
    void pivotsAndCouplerCurvesAppearWhereTheMechanismIs() {
        QFETCH(bool, chosen);
        if (chosen)
            viewtest::chooseCrankRockerDyads(*branch);
        else
            viewtest::buildUserFourBar(*branch);
        const QImage img = render();
        // Fixed pivots (0, 0), (4, 0) and the crank's moving pivot (0, 1): joint circles of radius
        // 0.1 outlined in black.
        for (const QPointF &p : {QPointF(0, 0), QPointF(4, 0), QPointF(0, 1)})
            QVERIFY2(near(img, p.x(), p.y(), 4, isDark),
                     qPrintable(QString("%1,%2").arg(p.x()).arg(p.y())));
        // The coupler curves pass through the coupler point's positions on both assemblies.
        for (bool drawn : {true, false})
            for (const known::Pose &c : viewtest::crankRockerPoses({200.0, 270.0, 330.0}, drawn))
                QVERIFY2(near(img, c.x, c.y, 2, isCurveColour),
                         qPrintable(QString("at %1,%2").arg(c.x).arg(c.y)));
        QVERIFY(!near(img, -7.5, -3.5, 4, notWhite));
    }
    void workspaceFrameAndGridFollowTheSettings() {
        QImage img = render();
        QVERIFY(near(img, 10.0, 0.5, 1, isRedLine));  // right edge of 20 x 10
        QVERIFY(near(img, -6.0, 4.5, 1, notWhite));   // a grid line
        workspaceWidth = 16.0;
        view->toggle_Grid();
        img = render();
        QVERIFY(near(img, 8.0, 0.5, 1, isRedLine));
        QVERIFY(!near(img, 10.0, 0.5, 2, isRedLine));
        QVERIFY(!near(img, -6.0, 4.5, 2, notWhite));
    }
    // Regression: smoothed lines wrote their partial coverage into the frame's alpha, so a grab of
    // the window (a screenshot) showed the red workspace outline in cyan and blue axes in yellow.
    void smoothedEdgesKeepThePictureOpaqueAndTrueInColour() {
        viewtest::addPose(*motion, -4.5, 2.5, 30.0);
        (void)render();
        // Read the view's own frame with its alpha (a grabbed picture is opaque by construction).
        view->makeCurrent();
        const int w = static_cast<int>(std::lround(view->width() * view->devicePixelRatioF()));
        const int h = static_cast<int>(std::lround(view->height() * view->devicePixelRatioF()));
        std::vector<unsigned char> rgba(static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        view->doneCurrent();
        int translucent = 0;
        for (size_t i = 3; i < rgba.size(); i += 4)
            translucent += rgba[i] != 255 ? 1 : 0;
        QCOMPARE(translucent, 0);

        // The window grab composes the view's frame the way the screenshot command does.
        const QImage shot = view->grab().toImage();
        const double ratio = view->devicePixelRatioF();
        const QPoint edge = (view->worldToPixel(10.0, 0.5) * ratio).toPoint();
        const auto cyan = [](QColor c) {
            return c.green() > c.red() + 40 && c.blue() > c.red() + 40;
        };
        QVERIFY(anyPixelNear(shot, edge, static_cast<int>(std::ceil(ratio)), isRedLine));
        QVERIFY(!anyPixelNear(shot, edge, static_cast<int>(std::ceil(3 * ratio)), cyan));
    }
    // The drawn four-bar's crank stands at 90 degrees: its sweep is written "90°" in capitals 13
    // logical pixels high, starting on the baseline at 0.9 out along 45 degrees. Run at ratio 2
    // too, where the text must have twice the pixels and keep all of its characters. Zoomed in,
    // so the coupler's labels, as large at every zoom, stand clear of it.
    void angleValueIsWrittenWithItsDegreeSignAtTheScreenDensity() {
        viewtest::buildUserFourBar(*branch);
        view->resetView();
        view->setScale(200);
        const double ratio = view->devicePixelRatioF();
        const double along = 0.9 * std::cos(viewtest::pi / 4.0);
        const QPointF anchor = view->worldToPixel(along, along) * ratio;
        // Right of and above the anchor, clear of the crank, the coupler and their dimensions.
        const QRect around =
            QRectF(anchor + QPointF(-4.0, -18.0) * ratio, QSizeF(60.0, 24.0) * ratio).toRect();
        const QImage without = render();
        QCOMPARE(viewtest::inkBox(without, around, isDark), QRect());
        view->setShowDimensions(true);
        const QImage img = render();
        // Regression: the glyphs written before the dimensions came were lost from Qt's glyph
        // cache when it grew for theirs, and the corner's "grid" label lost letters.
        const QRect corner =
            QRectF(QPointF(0.0, view->height() - 30.0) * ratio, QSizeF(120.0, 30.0) * ratio)
                .toRect();
        QVERIFY(!viewtest::inkBox(without, corner, isDark).isNull());
        QVERIFY(img.copy(corner) == without.copy(corner));
        const QRect ink = viewtest::inkBox(img, around, isDark);
        const QString box = QString("%1 x %2 at %3,%4 (anchor %5,%6)").arg(ink.width())
                                .arg(ink.height()).arg(ink.left()).arg(ink.bottom())
                                .arg(anchor.x()).arg(anchor.y());
        QVERIFY2(ink.height() >= 10 * ratio && ink.height() <= 16 * ratio, qPrintable(box));
        QVERIFY2(ink.width() >= 20 * ratio && ink.width() <= 40 * ratio, qPrintable(box));
        QVERIFY2(std::abs(ink.left() - anchor.x()) <= 3 * ratio, qPrintable(box));
        QVERIFY2(std::abs(ink.bottom() + 1 - anchor.y()) <= 2 * ratio, qPrintable(box));
        QVERIFY(viewtest::endsInARingAtTheTop(img, ink, isDark));
    }
    // Regression: a background file that could not be loaded ended the whole program.
    void unloadableBackgroundIsReportedAndTurnedOff() {
        viewtest::addPose(*motion, -4.5, 2.5, 0.0);
        const QString missing = QDir::current().absoluteFilePath("no such picture.png");
        backgroundImagePath = missing;
        const QImage img = render();
        QVERIFY(backgroundImagePath.isEmpty());
        QVERIFY(near(img, -4.5 + 0.7, 2.5, 2, isBluish));  // the scene is still drawn
        QVERIFY(view->backgroundErrorBox() != nullptr);
        QTRY_VERIFY(view->backgroundErrorBox()->isVisible());
        QVERIFY(view->backgroundErrorBox()->text().contains(missing));
        view->backgroundErrorBox()->close();
        QTRY_VERIFY(view->backgroundErrorBox() == nullptr);  // deleted on close
        // The next paint has nothing to report.
        (void)render();
        QVERIFY(view->backgroundErrorBox() == nullptr);
    }
    void backgroundIsUploadedOnceAndDrawnUnderTheScene() {
        QImage green(8, 8, QImage::Format_RGB32);
        green.fill(QColor(0, 200, 0));
        const QString file = QDir::current().absoluteFilePath("green background.png");
        QVERIFY(green.save(file));
        viewtest::addPose(*motion, -4.5, 2.5, 0.0);
        backgroundImagePath = file;
        QImage img = render();
        QVERIFY(near(img, -7.5, -3.5, 1, isGreenish));
        // The frame's outline is drawn over the picture, not under it.
        QVERIFY(near(img, -4.5 + 0.3, 2.5 - 0.3, 2, isDark));
        // Outside the workspace rectangle there is no picture.
        QVERIFY(!near(img, 10.5, 0.0, 2, isGreenish));
        const unsigned int texture = view->backgroundTextureHandle();
        QVERIFY(texture != 0);
        (void)render();
        QCOMPARE(view->backgroundTextureHandle(), texture);
        backgroundImagePath.clear();
        img = render();
        QVERIFY(!near(img, -7.5, -3.5, 4, isGreenish));
    }
    // Regression: the texture was freed from a handler that outlived the view. Moving the view
    // into another window replaces its context; the texture must go with the old one and be
    // uploaded again into the new one.
    void backgroundComesBackInANewContext() {
        QImage green(8, 8, QImage::Format_RGB32);
        green.fill(QColor(0, 200, 0));
        const QString file = QDir::current().absoluteFilePath("green background.png");
        QVERIFY(green.save(file));
        backgroundImagePath = file;
        (void)render();
        QSignalSpy contextLost(view->context(), &QOpenGLContext::aboutToBeDestroyed);
        QVERIFY(view->backgroundTextureHandle() != 0);
        QWidget window;
        window.resize(800, 400);
        view->setParent(&window);
        window.show();
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage img = render();
        const bool uploadedAgain = view->backgroundTextureHandle() != 0;
        // Taken out before any check can return, or the window would delete it with itself.
        view->setParent(nullptr);
        QCOMPARE(contextLost.count(), 1);
        QVERIFY(uploadedAgain);
        QVERIFY(near(img, -7.5, -3.5, 1, isGreenish));
    }

private:
    std::unique_ptr<Motion> motion;
    std::unique_ptr<Branch> branch;
    std::unique_ptr<MechGLWidget> view;
    QImage render() { return view->grabFramebuffer(); }
    // The grabbed picture has device pixels; positions and search radii are scaled to them, so the
    // same checks hold on a scaled display (the test program re-runs this class at ratio 2).
    bool near(const QImage &img, double x, double y, int radius,
              const std::function<bool(QColor)> &pred) const {
        const double ratio = view->devicePixelRatioF();
        const QPoint p = (view->worldToPixel(x, y) * ratio).toPoint();
        return anyPixelNear(img, p, static_cast<int>(std::ceil(radius * ratio)), pred);
    }
};
MS_REGISTER_TEST(MechViewPixelTest)
#include "MechViewPixelTest.moc"
