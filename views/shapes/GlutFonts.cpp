#include "GlutFonts.h"

#include <GL/freeglut.h>

void GlutFonts::ensureStarted() {
    // GLUT_INIT_STATE is the one query freeglut answers before glutInit.
    if (glutGet(GLUT_INIT_STATE))
        return;
    int argc = 1;
    char name[] = "mechsynth";
    char *argv[] = {name, nullptr};
    glutInit(&argc, argv);
}
