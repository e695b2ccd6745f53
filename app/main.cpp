// Entry point: surface format, the Fusion style and the maximized main window.
#include "DesignDocument.h"
#include "MechGLWidget.h"
#include "Vendrel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QScreen>
#include <QStyleFactory>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <cstring>

namespace {
const char *const helpText =
    "Usage: mechsynth [--help] [--version] [Qt options]\n"
    "Design planar four-bar linkages from the positions a moving body must pass through:\n"
    "enter the positions (x, y, theta) with the mouse, from a file or from the Demo menu,\n"
    "synthesize the RR, PR and RP dyads that guide the body through them, and pick two\n"
    "to form, classify, trace and animate a four-bar.\n"
    "\n"
    "Options:\n"
    "  -h, --help       print this help and exit\n"
    "  -v, --version    print the version and exit\n"
    "  Qt's own options (-platform, -style, -geometry, ...) are passed to Qt.\n"
    "\n"
    "Environment:\n"
    "  MECHSYNTH_DEMO=ENTRY        load the entry of the Demo menu named ENTRY (RRRR, RRRP,\n"
    "                              RRPR, PRRP, PRPR, \"Design Challenge\") at start-up\n"
    "  MECHSYNTH_SCREENSHOT=FILE   save a picture of the main window to FILE shortly after\n"
    "                              start-up and exit\n"
    "  MECHSYNTH_EXIT_WHEN_SHOWN   exit as soon as the first frame is on screen and print\n"
    "                              how long that took\n"
    "\n"
    "Output files (dyad parameters, diagnostic text files) are written to the working\n"
    "directory. The Demo menu reads its tasks from the working directory first, then from\n"
    "demo/ next to the program, then from share/mechsynth/demo/ of its installation.\n"
    "\n"
    "Designs are saved and opened from the File menu (.msyn.json files). The settings and\n"
    "the recent files last in ~/.config/mechsynth/mechsynth.conf; while a design has unsaved\n"
    "changes it is also kept in ~/.local/share/mechsynth/mechsynth/recovery.msyn.json, which\n"
    "the next start offers to restore after a crash.\n";

// --help and --version are answered before QApplication exists, since it needs a display:
// they work in a terminal without X and at build time, where the manual page is made from
// them. Returns the exit status, or -1 when the program should start as usual.
int answerInformationRequest(int argc, char *argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--version") || !std::strcmp(argv[i], "-v")) {
            std::printf("mechsynth (Mechanism Synthesis) %s\n", MS_VERSION);
            return 0;
        }
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::fputs(helpText, stdout);
            return 0;
        }
    }
    return -1;
}

// How long the window may settle (layout, first GL frames) before a screenshot is taken.
constexpr int SCREENSHOT_DELAY_MS = 1500;

// With MECHSYNTH_SCREENSHOT=<file> the program saves a picture of its main window shortly after
// start-up and quits: used for checks and for the picture in the README.
void scheduleScreenshot(QApplication &app, Vendrel &window, const QString &path) {
    QTimer::singleShot(SCREENSHOT_DELAY_MS, &window, [&app, &window, path]() {
        const bool saved = window.windowPicture().save(path);
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
    if (const int status = answerInformationRequest(argc, argv); status >= 0)
        return status;

    QApplication app(argc, argv);
    app.setStyle(QStyleFactory::create("Fusion"));
    // The icons live in the GUI library; a static library must register its resources by hand.
    Q_INIT_RESOURCE(icons);
    QApplication::setApplicationVersion(QStringLiteral(MS_VERSION));
    // Where the lasting settings, the recent files and the recovery file are kept.
    QApplication::setOrganizationName(QStringLiteral("mechsynth"));
    QApplication::setApplicationName(QStringLiteral("mechsynth"));
    // The desktop entry's name lets a Wayland compositor match the window to its menu entry
    // and icon; the bundled icon serves where the installed theme has none.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.mechsynth.mechsynth"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/mechsynth.svg")));

    int status = 0;
    {
        Vendrel window;
        // The window opens on the whole screen: a window manager maximizes it anyway, and where
        // none does (Xvfb, some tiling set-ups) the form's own size would reach past a small
        // screen and render views larger than anyone can see.
        const bool geometryStored = window.designDocument()->loadSettings();
        const QString screenshotPath = qEnvironmentVariable("MECHSYNTH_SCREENSHOT");
        if (!screenshotPath.isEmpty())
            scheduleScreenshot(app, window, screenshotPath);
        if (qEnvironmentVariableIsSet("MECHSYNTH_EXIT_WHEN_SHOWN"))
            exitWhenShown(app, window, sinceStart);
        // A stored geometry is used only when the window then lies wholly on a screen as it is
        // now (a monitor may have gone, or the desktop shrunk since).
        const QScreen *screen = QGuiApplication::screenAt(window.geometry().center());
        if (geometryStored && screen && screen->availableGeometry().contains(window.geometry())) {
            window.show();
        } else {
            if (const QScreen *primary = QGuiApplication::primaryScreen())
                window.setGeometry(primary->availableGeometry());
            window.showMaximized();
        }
        // A run that is driven by these variables must not stop at a question; an unsaved
        // design of a crashed run waits for the next ordinary start.
        const bool unattended = !screenshotPath.isEmpty() ||
                                qEnvironmentVariableIsSet("MECHSYNTH_EXIT_WHEN_SHOWN") ||
                                qEnvironmentVariableIsSet("MECHSYNTH_DEMO");
        if (!unattended)
            QTimer::singleShot(0, &window,
                               [&window]() { window.designDocument()->offerRecovery(); });
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
