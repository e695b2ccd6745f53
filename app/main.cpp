// Entry point: surface format, the Fusion style and the maximized main window.
#include "MechGLWidget.h"
#include "Vendrel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QScreen>
#include <QStyleFactory>
#include <QSurfaceFormat>
#include <QTimer>
#include <cstdio>

namespace {
// How long the window may settle (layout, first GL frames) before a screenshot is taken.
constexpr int SCREENSHOT_DELAY_MS = 1500;

// With MECHSYNTH_SCREENSHOT=<file> the program saves a picture of its main window shortly after
// start-up and quits: used for checks and for the picture in the README.
void scheduleScreenshot(QApplication &app, Vendrel &window, const QString &path) {
    QTimer::singleShot(SCREENSHOT_DELAY_MS, &window, [&app, &window, path]() {
        const bool saved = window.grab().save(path);
        std::printf(saved ? "Screenshot written to %s\n" : "Could not write screenshot %s\n",
                    qPrintable(path));
        app.exit(saved ? 0 : 1);
    });
}

// With MECHSYNTH_EXIT_WHEN_SHOWN set the program quits as soon as the Cartesian view has put its
// first frame on screen, and prints how long that took from the start of main: the start-up
// benchmark runs it so.
void exitWhenShown(QApplication &app, Vendrel &window, const QElapsedTimer &sinceStart) {
    QObject::connect(window.findChild<MechGLWidget *>(), &QOpenGLWidget::frameSwapped, &app,
                     [&app, &sinceStart]() {
                         std::printf("First frame after %lld ms\n",
                                     static_cast<long long>(sinceStart.elapsed()));
                         app.quit();
                     });
}
} // namespace

int main(int argc, char *argv[]) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    // The views draw with the fixed-function pipeline: ask for a compatibility context.
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setDepthBufferSize(24);
    // No multisampling: the views smooth their lines themselves, and on a software renderer
    // four samples would double the cost of every animation frame.
    format.setSamples(0);
    QSurfaceFormat::setDefaultFormat(format);

    QApplication app(argc, argv);
    app.setStyle(QStyleFactory::create("Fusion"));
    // The icons live in the GUI library; a static library must register its resources by hand.
    Q_INIT_RESOURCE(icons);

    int status = 0;
    {
        Vendrel window;
        // The window opens on the whole screen: a window manager maximizes it anyway, and where
        // none does (Xvfb, some tiling set-ups) the form's own size would reach past a small
        // screen and render views larger than anyone can see.
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            window.setGeometry(screen->availableGeometry());
        const QString screenshotPath = qEnvironmentVariable("MECHSYNTH_SCREENSHOT");
        if (!screenshotPath.isEmpty())
            scheduleScreenshot(app, window, screenshotPath);
        if (qEnvironmentVariableIsSet("MECHSYNTH_EXIT_WHEN_SHOWN"))
            exitWhenShown(app, window, sinceStart);
        window.showMaximized();
        // With MECHSYNTH_DEMO=<entry of the Demo menu> ("RRRR", ..., "Design Challenge") the
        // program loads that demonstration as soon as the event loop runs.
        const QString demo = qEnvironmentVariable("MECHSYNTH_DEMO");
        if (!demo.isEmpty())
            QTimer::singleShot(0, &window, [&window, demo]() {
                if (!window.runDemoNamed(demo))
                    std::printf("No demonstration is named %s\n", qPrintable(demo));
            });
        status = app.exec();
    }
    return status;
}
