// Pictures of both views for the documentation: a synthesized RRRR task in the Cartesian view
// and its two constraint surfaces in image space. Written to the working directory as
// "cartesian-view.png" and "image-space-view.png"; the checks make sure they show the task.
#include "Branch.h"
#include "Dyad.h"
#include "ImageGLWidget.h"
#include "MechGLWidget.h"
#include "Mechanism.h"
#include "MechanismSynthesis.h"
#include "Motion.h"
#include "Vendrel.h"

#include <QAction>
#include <QSplitter>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <QtTest>
#include "TestSupport.h"
#include "ViewTestSupport.h"

using testsupport::anyPixelNear;
using testsupport::isBluish;
using testsupport::isDark;

class ViewScreenshotTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cartesianViewShowsTheSynthesizedCrankRocker();
    void imageSpaceViewShowsBothSurfaces();
    void demoTaskInTheMainWindow();
    void cleanupTestCase();

private:
    Motion motion;
    Branch branch;
    MechanismSynthesis engine;
    std::vector<known::Pose> poses;
};

// Seven poses of the crank-rocker's coupler frame make the task; synthesis must find its two
// dyads again, and those two form the mechanism.
void ViewScreenshotTest::initTestCase() {
    MS_REQUIRE_GL();
    poses = viewtest::crankRockerPoses({20.0, 70.0, 120.0, 170.0, 220.0, 270.0, 320.0});
    engine.setMotion(&motion);
    engine.setBranch(&branch);
    engine.setFileOutput(false);
    known::loadTask(motion, engine, poses);
    engine.synthesize();
    QVERIFY(branch.synthesizedDyadCount() >= 2);
    // Exact poses leave more than one pair of roots; the picture shows the pair the task was
    // made from, the dyads grounded at (0, 0) and (4, 0).
    std::vector<bool> chosen(static_cast<size_t>(branch.synthesizedDyadCount()), false);
    int found = 0;
    for (int i = 0; i < branch.synthesizedDyadCount(); ++i) {
        const Point f = branch.dyadAt(i)->fixedPivotCopy();
        if (f.distance(0.0, 0.0) < 1e-6 || f.distance(4.0, 0.0) < 1e-6) {
            chosen[static_cast<size_t>(i)] = true;
            ++found;
        }
    }
    QCOMPARE(found, 2);
    branch.setcurrentdyadstate(chosen, std::vector<bool>(chosen.size(), false),
                               std::vector<bool>(chosen.size(), false));
    QVERIFY(branch.hasMechanism());
    QCOMPARE(branch.getMechanism()->typeName(), QString("RRRR"));
}

void ViewScreenshotTest::cartesianViewShowsTheSynthesizedCrankRocker() {
    MechGLWidget view;
    view.resize(1000, 560);
    view.setMotion(&motion);
    view.setAllDyad(&branch);
    view.setScale(80);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    // Centre the mechanism: pan by (-2, -0.8) units with a 50-pixels-per-unit drag.
    view.setModePan();
    viewtest::drag(&view, QPoint(500, 280), QPoint(400, 320));
    view.setModeInput_Position();
    const QImage img = view.grabFramebuffer();
    QVERIFY(img.save("cartesian-view.png"));
    // The position frames' x axes, 0.7 along their angles (the frames overlap, so a few may
    // be hidden under their neighbours), and the two ground pivots.
    int axesSeen = 0;
    for (const known::Pose &p : poses) {
        const double th = p.thetaDeg * viewtest::pi / 180.0;
        const QPoint axis =
            view.worldToPixel(p.x + 0.7 * std::cos(th), p.y + 0.7 * std::sin(th)).toPoint();
        axesSeen += anyPixelNear(img, axis, 2, isBluish) ? 1 : 0;
    }
    QVERIFY2(axesSeen >= 5, qPrintable(QString::number(axesSeen)));
    const Mechanism *m = branch.getMechanism();
    for (const Dyad *d : {m->getInputDyad(), m->getOutputDyad()}) {
        const Point f = d->fixedPivotCopy();
        // A joint circle of radius 0.1 is 8 pixels across at this scale.
        QVERIFY(anyPixelNear(img, view.worldToPixel(f.x(), f.y()).toPoint(), 10, isDark));
    }
}

void ViewScreenshotTest::imageSpaceViewShowsBothSurfaces() {
    ImageGLWidget view;
    view.resize(700, 700);
    view.setMotion(&motion);
    view.setAllDyad(&branch);
    view.setScale(200);
    view.setXRotation(-60 * 16);
    view.setZRotation(-20 * 16);
    view.toggle_toshowCouplerAnimation();
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    for (int k = 0; k < 25; ++k)
        branch.IncrementDyads();
    const QImage with = view.grabFramebuffer();
    QVERIFY(with.save("image-space-view.png"));
    // Both surfaces take a good part of the picture.
    int coloured = 0;
    for (int y = 0; y < with.height(); y += 4)
        for (int x = 0; x < with.width(); x += 4)
            coloured += testsupport::isWhite(with.pixelColor(x, y)) ? 0 : 1;
    QVERIFY(coloured > (with.width() / 4) * (with.height() / 4) / 5);
}

// The RRRR demonstration as the program shows it: the main window loads "RRRR.txt",
// synthesizes and lets its panel choose the first two dyads. Saved as "cartesian-view-demo.png"
// and "image-space-view-demo.png".
void ViewScreenshotTest::demoTaskInTheMainWindow() {
    Q_INIT_RESOURCE(icons);  // the icons live in the static GUI library
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QFile::copy(QString(MS_SOURCE_DIR) + "/demo/RRRR.txt", dir.filePath("RRRR.txt")));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    {
        Vendrel window;
        window.resize(1500, 900);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *showImage = window.findChild<QAction *>("actionShowImg");
        QVERIFY(showImage);
        showImage->setChecked(true);
        window.LoadFileRRRR();
        auto *cartesian = window.findChild<MechGLWidget *>("widget_Mech");
        auto *image = window.findChild<ImageGLWidget *>("widget_Image");
        QVERIFY(cartesian && image && image->isVisible());
        // Give the two views the splitter's width half and half.
        auto *splitter = qobject_cast<QSplitter *>(cartesian->parentWidget());
        QVERIFY(splitter);
        splitter->setSizes({750, 750});
        cartesian->setScale(75);
        image->setScale(90);
        image->setXRotation(-65 * 16);
        image->setZRotation(-30 * 16);
        QApplication::processEvents();
        const QImage plane = cartesian->grabFramebuffer();
        const QImage space = image->grabFramebuffer();
        QDir::setCurrent(previous);
        QVERIFY(plane.save("cartesian-view-demo.png"));
        QVERIFY(space.save("image-space-view-demo.png"));
        // The demo's first position (-1.808822, 3.132797, 29.196198): its frame's x axis.
        const double th = 29.196198 * viewtest::pi / 180.0;
        const QPointF axis = cartesian->worldToPixel(-1.808822 + 0.7 * std::cos(th),
                                                     3.132797 + 0.7 * std::sin(th)) *
                             cartesian->devicePixelRatioF();
        QVERIFY(anyPixelNear(plane, axis.toPoint(), 2, isBluish));
    }
    QDir::setCurrent(previous);
}

void ViewScreenshotTest::cleanupTestCase() { branch.clearBranch(); }

MS_REGISTER_TEST(ViewScreenshotTest)
#include "ViewScreenshotTest.moc"
