// The GLUT stroke and bitmap fonts the views write their labels with.
#pragma once

// freeglut refuses every font call before glutInit, and glutInit opens a display connection and
// loads the GL driver of its own: done at program start it costs about a fifth of the start-up.
// The views start it from their first GL initialisation instead, when Qt has loaded the driver.
class GlutFonts {
public:
    // Starts freeglut once per process; later calls, and calls after someone else started it,
    // do nothing. Needs an X display.
    static void ensureStarted();
};
