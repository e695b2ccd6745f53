// Cost of the Cartesian view's animation: one timer tick (a mechanism step and a repaint) and
// one full repaint, with a traced four-bar and a task of seven positions, on a 1200 x 700 view.
// Each is measured without multisampling, as the application draws, and with four samples for
// comparison. Needs an X display (run under xvfb-run).
#include "Branch.h"
#include "MechGLWidget.h"
#include "Mechanism.h"
#include "Motion.h"

#include <GL/gl.h>
#include <QApplication>
#include <QSurfaceFormat>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

QSurfaceFormat viewFormat(int samples) { return MechGLWidget::surfaceFormat(samples); }

// The view with its paint made callable: render once into its framebuffer and wait for GL.
class BenchView : public MechGLWidget {
public:
    void renderNow() {
        makeCurrent();
        paintGL();
        glFinish();
        doneCurrent();
    }
};

struct Scene {
    Motion motion;
    Branch branch;
    BenchView view;

    explicit Scene(int samples) {
        // A crank-rocker drawn as the mouse would: ground (0,0)-(4,0), crank 1, coupler 4,
        // rocker 3, moving frame on the coupler; drawing it traces its coupler curves.
        const double bx = (96.0 + std::sqrt(96.0 * 96.0 - 4.0 * 17.0 * 128.0)) / 34.0;
        branch.settodraw(0);
        branch.createUserDyad(1.5, 2.0, 0.0, 0.0, 0.0);
        branch.settodraw(1);
        branch.createUserDyad(0.0, 0.0, 0.0, 1.0, 0.0);
        branch.createUserDyad(4.0, 0.0, bx, 4.0 * bx - 11.0, 0.0);
        for (int i = 0; i < 7; ++i) {
            motion.currentPose = Point(-6.0 + 2.0 * i, 3.0 - 0.5 * i, 0.3 * i);
            motion.currentImage = toImage(motion.currentPose);
            motion.addPosition();
        }
        view.setFormat(viewFormat(samples));
        view.resize(1200, 700);
        view.setMotion(&motion);
        view.setAllDyad(&branch);
        QObject::connect(&branch, &Branch::updateObject, &view, &MechGLWidget::updateObject);
        view.show();
        QApplication::processEvents();
    }
};

// Made after and destroyed before the application object, as widgets must be.
std::unique_ptr<Scene> scenes[2];

Scene &scene(int multisampled) { return *scenes[multisampled]; }

void checkSceneOnce(Scene &s) {
    if (!s.branch.hasMechanism() || !s.branch.getMechanism()->hasCouplerPoint()) {
        std::fprintf(stderr, "bench_views: the four-bar was not formed\n");
        std::exit(1);
    }
    const QImage img = s.view.grabFramebuffer();
    int drawn = 0;
    for (int y = 0; y < img.height(); y += 8)
        for (int x = 0; x < img.width(); x += 8)
            drawn += img.pixelColor(x, y) != QColor(Qt::white) ? 1 : 0;
    if (drawn == 0) {
        std::fprintf(stderr, "bench_views: the view drew nothing\n");
        std::exit(1);
    }
}

// One tick of the 10 ms timer: the mechanism steps and the view repaints once.
void BM_AnimationTick(benchmark::State &state) {
    Scene &s = scene(static_cast<int>(state.range(0)));
    s.view.startAnimate();
    for (auto _ : state) {
        s.view.animate();
        s.view.renderNow();
    }
    s.view.stopAnimate();
}
BENCHMARK(BM_AnimationTick)->ArgName("msaa")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FullRepaint(benchmark::State &state) {
    Scene &s = scene(static_cast<int>(state.range(0)));
    for (auto _ : state)
        s.view.renderNow();
}
BENCHMARK(BM_FullRepaint)->ArgName("msaa")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The step alone, to tell the model's share from the drawing's.
void BM_MechanismStep(benchmark::State &state) {
    Scene &s = scene(0);
    QObject::disconnect(&s.branch, &Branch::updateObject, &s.view, &MechGLWidget::updateObject);
    for (auto _ : state)
        s.branch.IncrementDyads();
    s.branch.resetMechanism();
    QObject::connect(&s.branch, &Branch::updateObject, &s.view, &MechGLWidget::updateObject);
}
BENCHMARK(BM_MechanismStep)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv) {
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "bench_views needs an X display: run it under xvfb-run\n");
        return 1;
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    scenes[0] = std::make_unique<Scene>(0);
    scenes[1] = std::make_unique<Scene>(4);
    checkSceneOnce(*scenes[0]);
    checkSceneOnce(*scenes[1]);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    scenes[0].reset();
    scenes[1].reset();
    return 0;
}
