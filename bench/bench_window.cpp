// What a user waits for in front of the main window: the start-up of the program until its first
// frame, one animation tick of the whole window at the size it has on a 1600 x 1000 screen (with
// the image-space view closed and open), and the tolerance sweep run from the window beside the
// engine's own sweep of the same task. Needs an X display (run under xvfb-run) and the built
// program "mechsynth" next to this benchmark's folder.
#include "Branch.h"
#include "DesignDocument.h"
#include "ImageGLWidget.h"
#include "MechGLWidget.h"
#include "MechanismSynthesis.h"
#include "Vendrel.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <memory>

inline void registerIcons() { Q_INIT_RESOURCE(icons); }

namespace {

const QString programPath = QStringLiteral(MS_BINARY_DIR "/mechsynth");

// The main window as the program shows it on a 1600 x 1000 screen, working in a scratch folder
// that holds the demonstration files.
struct WindowScene {
    QTemporaryDir folder;
    QString previous = QDir::currentPath();
    std::unique_ptr<Vendrel> window;

    WindowScene() {
        QDir::setCurrent(folder.path());
        for (const char *n : {"RRRR.txt", "RRRP.txt", "RRPR.txt", "PRRP.txt", "PRPR.txt"})
            QFile::copy(QStringLiteral(MS_SOURCE_DIR "/demo/") + n, folder.filePath(n));
        window = std::make_unique<Vendrel>();
        // A demo entry asks before it replaces a changed design; nobody answers here.
        window->designDocument()->setAskBeforeDiscard(false);
        window->setGeometry(0, 0, 1600, 1000);
        window->show();
        settle();
    }
    ~WindowScene() {
        window.reset();
        QDir::setCurrent(previous);
    }
    template <class T> T *part(const char *name) const {
        return window->findChild<T *>(QString::fromLatin1(name));
    }
    static void settle() {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    }
};

std::unique_ptr<WindowScene> scene;

// Runs the event loop until every given view has put a new frame on screen.
void waitForFrames(const std::vector<QOpenGLWidget *> &views) {
    QEventLoop loop;
    int pending = static_cast<int>(views.size());
    std::vector<QMetaObject::Connection> links;
    for (QOpenGLWidget *v : views)
        links.push_back(QObject::connect(v, &QOpenGLWidget::frameSwapped, &loop, [&]() {
            if (--pending == 0)
                loop.quit();
        }));
    QTimer::singleShot(2000, &loop, &QEventLoop::quit);  // a view that never draws ends the wait
    loop.exec();
    for (const auto &l : links)
        QObject::disconnect(l);
}

// Demo RRRR's mechanism in the window, with the image-space view open when the benchmark's
// argument is 1: the views that are open, the Cartesian view first, or none (the benchmark is
// then marked skipped) when the demo formed no mechanism.
std::vector<QOpenGLWidget *> showRrrrMechanism(WindowScene &s, benchmark::State &state) {
    const bool imageOpen = state.range(0) != 0;
    if (!s.window->runDemoNamed(QStringLiteral("RRRR")) ||
        !s.window->dyadBranch()->hasMechanism()) {
        state.SkipWithError("Demo RRRR formed no mechanism");
        return {};
    }
    QAction *image = s.part<QAction>("actionShowImg");
    if (image && image->isChecked() != imageOpen)
        image->trigger();
    std::vector<QOpenGLWidget *> views{s.part<MechGLWidget>("widget_Mech")};
    if (imageOpen)
        views.push_back(s.window->findChild<ImageGLWidget *>());
    WindowScene::settle();
    return views;
}

void closeImageView(WindowScene &s) {
    QAction *image = s.part<QAction>("actionShowImg");
    if (image && image->isChecked())
        image->trigger();
    WindowScene::settle();
}

// One tick of the animation timer as the window runs it: the mechanism steps, the views that
// are open repaint and the window composes them on screen. Argument: image-space view open.
void BM_WindowAnimationTick(benchmark::State &state) {
    const std::vector<QOpenGLWidget *> views = showRrrrMechanism(*scene, state);
    if (views.empty())
        return;
    auto *cartesian = static_cast<MechGLWidget *>(views.front());
    cartesian->startAnimate();
    cartesian->stopAnimate();  // the benchmark is the timer: one step per iteration
    for (auto _ : state) {
        cartesian->animate();
        waitForFrames(views);
    }
    state.counters["width"] = cartesian->width();
    state.counters["height"] = cartesian->height();
    closeImageView(*scene);
}
BENCHMARK(BM_WindowAnimationTick)->ArgName("image")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The part of a tick that is the program's own: the mechanism's step and the open views drawing
// their frames at the size they have in the window, without Qt's composition of the window.
// Each view draws into its framebuffer and is read back (grabFramebuffer waits for the drawing
// to finish), so the figure is an upper bound: the read-back is not part of a real tick.
void BM_WindowViewsTick(benchmark::State &state) {
    const std::vector<QOpenGLWidget *> views = showRrrrMechanism(*scene, state);
    if (views.empty())
        return;
    auto *cartesian = static_cast<MechGLWidget *>(views.front());
    for (auto _ : state) {
        cartesian->animate();
        for (QOpenGLWidget *v : views)
            benchmark::DoNotOptimize(v->grabFramebuffer());
    }
    closeImageView(*scene);
}
BENCHMARK(BM_WindowViewsTick)->ArgName("image")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Demo RRRR's five positions swept from the window: Synthesize with "SmartSynthesis" on, the
// tolerance dialog set to 2 degrees and resolution 2, until the solution table is filled.
void BM_WindowToleranceSweep(benchmark::State &state) {
    WindowScene &s = *scene;
    QAction *smart = s.part<QAction>("actionSmartSynthesis");
    MechanismSynthesis *engine = s.window->synthesisEngine();
    double clickMs = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        if (smart->isChecked())
            smart->trigger();
        s.window->runDemoNamed(QStringLiteral("RRRR"));
        WindowScene::settle();
        smart->trigger();
        QDialog *dialog = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->windowTitle() == QLatin1String("Tolerance Spec") && w->isVisible())
                dialog = qobject_cast<QDialog *>(w);
        if (!dialog) {
            state.SkipWithError("the tolerance dialog did not open");
            return;
        }
        dialog->findChild<QDoubleSpinBox *>(QStringLiteral("OTol"))->setValue(2.0);
        dialog->findChild<QSpinBox *>(QStringLiteral("TolRes"))->setValue(2);
        state.ResumeTiming();
        // OK applies the dialog and runs the sweep; the table is filled before it returns. The
        // window then repaints with the result.
        QElapsedTimer clock;
        clock.start();
        dialog->findChild<QPushButton *>(QStringLiteral("pushButton"))->click();
        clickMs += static_cast<double>(clock.nsecsElapsed()) / 1e6;
        WindowScene::settle();
    }
    state.counters["records"] = static_cast<double>(engine->tolSolutionCount());
    state.counters["before_repaint_ms"] = clickMs / static_cast<double>(state.iterations());
    if (smart->isChecked())
        smart->trigger();
}
BENCHMARK(BM_WindowToleranceSweep)->Unit(benchmark::kMillisecond)->Iterations(3);

// From process start to the first frame of the Cartesian view, as the program reports it with
// MECHSYNTH_EXIT_WHEN_SHOWN, and the whole run of the process (start-up, first frame, exit).
void BM_StartUp(benchmark::State &state) {
    double processMs = 0.0;
    for (auto _ : state) {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("MECHSYNTH_EXIT_WHEN_SHOWN"), QStringLiteral("1"));
        program.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        program.start(programPath, {});
        if (!program.waitForFinished(30000) || program.exitCode() != 0) {
            state.SkipWithError("mechsynth did not start and quit");
            return;
        }
        processMs += static_cast<double>(clock.elapsed());
        const QByteArray out = program.readAllStandardOutput();
        const int at = out.indexOf("First frame after ");
        if (at < 0) {
            state.SkipWithError("mechsynth did not report its first frame");
            return;
        }
        const double firstFrameMs = out.mid(at + 18).split(' ').value(0).toDouble();
        state.SetIterationTime(firstFrameMs / 1000.0);
    }
    state.counters["process_ms"] = processMs / static_cast<double>(state.iterations());
}
BENCHMARK(BM_StartUp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char **argv) {
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "bench_window needs an X display: run it under xvfb-run\n");
        return 1;
    }
    QApplication app(argc, argv);
    registerIcons();
    benchmark::Initialize(&argc, argv);
    scene = std::make_unique<WindowScene>();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    scene.reset();
    return 0;
}
