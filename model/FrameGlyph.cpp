#include "FrameGlyph.h"

#include "ScreenLabels.h"

#include <GL/gl.h>

namespace frameglyph {

namespace {
const double pentagon[5][2] = {{0.3, 0.3}, {0.3, -0.3}, {-0.3, -0.3}, {-0.3, 0.3}, {0.0, 0.6}};
}

void pentagonVertices() {
    for (const auto &c : pentagon)
        glVertex2d(c[0], c[1]);
}

void filledPentagon(double r, double g, double b) {
    glColor3d(r, g, b);
    glBegin(GL_POLYGON);
    pentagonVertices();
    glEnd();
    glColor3d(0.0, 0.0, 0.0);
    glBegin(GL_LINE_LOOP);
    pentagonVertices();
    glEnd();
}

void axes() {
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_LINE_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glLineWidth(2);
    glColor4d(0.0, 0.0, 1.0, 0.6);
    glBegin(GL_LINE_STRIP);
    glVertex2d(0.9, 0.0);
    glVertex2d(0.0, 0.0);
    glVertex2d(0.0, 0.9);
    glEnd();
    glBegin(GL_LINE_STRIP);
    glVertex2d(0.1, 0.0);
    glVertex2d(0.1, 0.1);
    glVertex2d(0.0, 0.1);
    glEnd();
    glBegin(GL_TRIANGLES);
    glVertex2d(0.9, 0.06);
    glVertex2d(0.9, -0.06);
    glVertex2d(1.02, 0.0);
    glVertex2d(0.06, 0.9);
    glVertex2d(-0.06, 0.9);
    glVertex2d(0.0, 1.02);
    glEnd();
    glPopAttrib();
}

void label(const std::string &text) {
    glColor3d(0.0, 0.0, 0.0);
    ScreenLabels::Style style;
    style.capHeight = labelCapHeight;
    style.capInPixels = false;
    ScreenLabels::write(text, -0.045, -0.2, style);
}

} // namespace frameglyph
