// Entry point: surface format, GLUT fonts, the Fusion style and the maximized main window.
#include "Vendrel.h"

#include <GL/glut.h>
#include <QApplication>
#include <QStyleFactory>
#include <QSurfaceFormat>

int main(int argc, char *argv[]) {
    // The views draw with the fixed-function pipeline: ask for a compatibility context.
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setDepthBufferSize(24);
    format.setSamples(4);
    QSurfaceFormat::setDefaultFormat(format);

    glutInit(&argc, argv);
    QApplication app(argc, argv);
    app.setStyle(QStyleFactory::create("Fusion"));

    int status = 0;
    {
        Vendrel window;
        window.showMaximized();
        status = app.exec();
    }
    return status;
}
