// ArrowMotion2D: the arrow that shows which pivot drives the mechanism and how it moves.
#include "ArrowMotion2D.h"

#include "ProcessValues.h"

#include <GL/gl.h>
#include <cmath>

namespace {
// The arrowhead triangle, tip along +x, in the current matrix.
void arrowHead() {
    glPushAttrib(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4d(0.0, 0.0, 1.0, 0.6);
    glBegin(GL_TRIANGLES);
    glVertex2d(0.0, -0.06);
    glVertex2d(0.0, 0.06);
    glVertex2d(0.12, 0.0);
    glEnd();
    glPopAttrib();
}
} // namespace

ArrowMotion2D::ArrowMotion2D(const Point &centre, bool s) : Shape(centre, false), straight(s) {}

void ArrowMotion2D::draw() const {
    glLineWidth(1);
    glColor3d(0.0, 0.0, 1.0);
    if (straight) {
        glBegin(GL_LINES);
        glVertex2d(-0.5 * location.x(), 0.0);
        glVertex2d(0.5 * location.x(), 0.0);
        glEnd();
        return;
    }
    const double cx = location.x(), cy = location.y();
    // One vertex per whole degree; GL_LINES pairs them, which dashes the arc.
    glBegin(GL_LINES);
    for (int deg = static_cast<int>(std::ceil(startAngle)); deg <= endAngle; ++deg) {
        const double a = PI * deg / 180.0;
        glVertex2d(cx + radius * std::cos(a), cy + radius * std::sin(a));
    }
    glEnd();
    const double s = PI * startAngle / 180.0;
    glPushMatrix();
    glTranslated(cx + radius * std::cos(s), cy + radius * std::sin(s), 0.0);
    glRotated(startAngle - 90.0, 0.0, 0.0, 1.0);
    arrowHead();
    glPopMatrix();
}

void ArrowMotion2D::drawDoubleHeaded(double dirDeg) const {
    const double a = PI * dirDeg / 180.0;
    const double cx = location.x(), cy = location.y();
    const double ux = 0.25 * std::cos(a), uy = 0.25 * std::sin(a);
    glLineWidth(1);
    glColor3d(0.0, 0.0, 1.0);
    glBegin(GL_LINES);
    glVertex2d(cx - ux, cy - uy);
    glVertex2d(cx + ux, cy + uy);
    glEnd();
    for (double head : {dirDeg, dirDeg + 180.0}) {
        const double h = PI * head / 180.0;
        glPushMatrix();
        glTranslated(cx + 0.25 * std::cos(h), cy + 0.25 * std::sin(h), 0.0);
        glRotated(head, 0.0, 0.0, 1.0);
        arrowHead();
        glPopMatrix();
    }
}
